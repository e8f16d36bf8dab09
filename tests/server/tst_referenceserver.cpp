#include "server/ReferenceServer.h"
#include "server/ServerContent.h"
#include "platform/DateTime.h"

#include <httplib.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

const QString kQuery = QStringLiteral("KX5QueryVocamo2");
const QString kConfig = QStringLiteral("KX5ConfigVocamo2");
const QString kAccount = QStringLiteral("8613800000001");

// A request envelope with every member at its default, as the program builds it.
QJsonObject Envelope(int operateType, int userId)
{
    return QJsonObject{{"OperateType", operateType}, {"CategoryID", 0},    {"UserID", userId},
                       {"BookID", 0},                {"WordID", 0},        {"VocamoAbility", 0},
                       {"VocamoCount", 0},           {"VocamoRound", 0},   {"GetNewData", 0},
                       {"BookIndex", 0},             {"WordCategoryID", -1}, {"strBookID", ""},
                       {"strDesc", ""}};
}

QJsonObject Mark(int userId, int category, int book, int word, int ability, int count, int code = 2)
{
    QJsonObject request = Envelope(code, userId);
    request["BookID"] = book;
    request["WordID"] = word;
    request["VocamoAbility"] = ability;
    request["VocamoCount"] = count;
    request["WordCategoryID"] = category;
    return request;
}

// Small content: book 10 with words 1..8, book 20 with words 101..103, book 30 with 400 words.
TServerContent SmallContent()
{
    TServerContent content;
    const auto addWord = [&](int id) {
        content.words.insert(id, TContentWord{id, QStringLiteral("word%1").arg(id), QStringLiteral("wɜːd"),
                                              QStringLiteral("n. 词%1").arg(id), QString(), QString()});
    };
    TContentBook first{10, QStringLiteral("第一册"), {}};
    for (int id = 1; id <= 8; ++id) {
        addWord(id);
        first.words.append(id);
    }
    TContentBook second{20, QStringLiteral("第二册"), {101, 102, 103}};
    for (const int id : second.words)
        addWord(id);
    TContentBook large{30, QStringLiteral("大书"), {}};
    for (int id = 1001; id <= 1400; ++id) {
        addWord(id);
        large.words.append(id);
    }
    content.books = {first, second, large};
    return content;
}

} // namespace

class TestReferenceServer : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TReferenceServer> m_server;
    std::unique_ptr<httplib::Client> m_client;

    void startServer(bool openRegistration, int dueBatch = 200)
    {
        m_client.reset();
        m_server.reset();
        TServerOptions options;
        options.dataDir = m_dir->filePath(QStringLiteral("data"));
        options.contentPath = m_dir->filePath(QStringLiteral("content.db"));
        options.openRegistration = openRegistration;
        options.dueBatch = dueBatch;
        m_server = std::make_unique<TReferenceServer>(options);
        QString error;
        QVERIFY2(m_server->start(&error), qPrintable(error));
        QVERIFY(m_server->port() != 0);
        QCOMPARE(m_server->baseUrl(), QStringLiteral("http://127.0.0.1:%1").arg(m_server->port()));
        m_client = std::make_unique<httplib::Client>(m_server->baseUrl().toStdString());
    }

    QJsonObject post(const QString &operation, const QByteArray &body, int *status = nullptr)
    {
        const std::string path = "/linkkk/" + operation.toStdString();
        auto result = m_client->Post(path, body.constData(), size_t(body.size()), "application/json");
        if (!result)
            return {};
        if (status)
            *status = result->status;
        return QJsonDocument::fromJson(QByteArray::fromStdString(result->body)).object();
    }

    QJsonObject post(const QJsonObject &request, const QString &operation = kQuery)
    {
        return post(operation, QJsonDocument(request).toJson(QJsonDocument::Compact));
    }

    QJsonObject signIn(const QString &account, const QString &password)
    {
        QJsonObject request = Envelope(22, 0);
        request["strBookID"] = account + "##" + password;
        return post(request);
    }

    int signedInUser()
    {
        const QJsonObject answer = signIn(kAccount, QStringLiteral("123456"));
        return answer["data"].toObject()["UserInfo"].toObject()["User_ID"].toInt();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The program's sound URLs point at the same server as its requests.
    void servesWordSounds()
    {
        auto answer = m_client->Get("/KX5/English/Sound/G/go.wav");
        QVERIFY(answer);
        QCOMPARE(answer->status, 200);
        QVERIFY(QByteArray::fromStdString(answer->body).startsWith("RIFF"));
        answer = m_client->Get("/KX5/English/Sound/G/nowhere%2F..%2Fgo.wav");
        QVERIFY(answer);
        QCOMPARE(answer->status, 404);
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QString error;
        QVERIFY2(WriteServerContent(m_dir->filePath(QStringLiteral("content.db")), SmallContent(), &error),
                 qPrintable(error));
        startServer(false);
        QVERIFY(m_server->addAccount(QStringLiteral("86"), QStringLiteral("13800000001"), QStringLiteral("123456")));
    }

    void cleanup()
    {
        m_client.reset();
        m_server.reset();
        m_dir.reset();
    }

    void signIn_data()
    {
        QTest::addColumn<bool>("openRegistration");
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("errCode");
        QTest::newRow("good") << false << kAccount << "123456" << 0;
        QTest::newRow("wrong password") << false << kAccount << "654321" << 4;
        QTest::newRow("password is a prefix") << false << kAccount << "12345" << 4;
        QTest::newRow("unknown, closed") << false << "8613900000000" << "1" << 4;
        QTest::newRow("unknown, open registration") << true << "8613900000000" << "1" << 0;
        QTest::newRow("empty password, open registration") << true << "8613900000000" << "" << 4;
    }

    void signIn()
    {
        QFETCH(bool, openRegistration);
        QFETCH(QString, account);
        QFETCH(QString, password);
        QFETCH(int, errCode);
        startServer(openRegistration);
        const QJsonObject answer = signIn(account, password);
        QCOMPARE(answer["data"].toObject()["errCode"].toInt(-1), errCode);
        const QJsonObject info = answer["data"].toObject()["UserInfo"].toObject();
        if (errCode == 0) {
            QVERIFY(info["User_ID"].toInt() > 0);
            QCOMPARE(info["User_Phone"].toString(), account);
            QCOMPARE(info["User_Speed"].toInt(), 12);
            QCOMPARE(info["User_Addition"].toInt(), 56);
            // The password never travels back; the secret is the account's own.
            QVERIFY(!info["User_PassWord"].toString().isEmpty());
            QVERIFY(info["User_PassWord"].toString() != password);
            QCOMPARE(m_server->userId(account), info["User_ID"].toInt());
        } else {
            QVERIFY(answer["code"].toInt() != 0);
            QVERIFY(info.isEmpty());
            if (account != kAccount)
                QCOMPARE(m_server->userId(account), 0);
        }
    }

    void passwordWithSeparatorIsKeptWhole()
    {
        QVERIFY(m_server->addAccount(QStringLiteral("86"), QStringLiteral("137"), QStringLiteral("ab##cd")));
        QCOMPARE(signIn(QStringLiteral("86137"), QStringLiteral("ab##cd"))["data"].toObject()["errCode"].toInt(-1), 0);
        QCOMPARE(signIn(QStringLiteral("86137"), QStringLiteral("ab"))["data"].toObject()["errCode"].toInt(-1), 4);
    }

    void addAccountRefusesExistingName()
    {
        QVERIFY(!m_server->addAccount(QStringLiteral("86"), QStringLiteral("13800000001"), QStringLiteral("9")));
        QCOMPARE(signIn(kAccount, QStringLiteral("123456"))["data"].toObject()["errCode"].toInt(-1), 0);
    }

    void newAccountStartsWithFirstBookOnEveryTrack()
    {
        const int user = signedInUser();
        QJsonObject request = Envelope(27, user);
        request["strBookID"] = "1,5,31,32";
        const QJsonArray books = post(request)["data"].toArray();
        QCOMPARE(books.size(), 3);
        QList<int> categories;
        for (const QJsonValue &book : books) {
            QCOMPARE(book["Book_ID"].toInt(), 10);
            QCOMPARE(book["Book_Desc"].toString(), QStringLiteral("第一册"));
            categories << book["Category_ID"].toInt();
        }
        QCOMPARE(categories, (QList<int>{1, 31, 32}));
    }

    void dueWordsOrderAndLimit()
    {
        startServer(false, 4);
        const int user = signedInUser();
        // Ability 0 makes a marked word due at once; the earlier marked is more overdue.
        QCOMPARE(post(Mark(user, 0, 10, 5, 0, 1))["code"].toInt(-1), 0);
        QThread::msleep(5);
        QCOMPARE(post(Mark(user, 0, 10, 2, 0, 3))["code"].toInt(-1), 0);
        // Ability 10 at speed 12: due in five days, so not now.
        QCOMPARE(post(Mark(user, 0, 10, 1, 10, 1))["code"].toInt(-1), 0);
        // Another track's state does not count for this one.
        QCOMPARE(post(Mark(user, 31, 10, 3, 10, 1))["code"].toInt(-1), 0);

        QJsonObject request = Envelope(28, user);
        const QJsonArray words = post(request)["data"].toArray();
        QList<int> ids;
        for (const QJsonValue &word : words) {
            QCOMPARE(word["Word_Type"].toInt(), 3);
            QCOMPARE(word["Book_ID"].toInt(), 10);
            QCOMPARE(word["Category_ID"].toInt(), 0);
            ids << word["Word_ID"].toInt();
        }
        QCOMPARE(ids, (QList<int>{5, 2, 3, 4}));
        QCOMPARE(words[1]["Vocamo_Count"].toInt(), 3);
        QCOMPARE(words[2]["Vocamo_Count"].toInt(), 0);
        QCOMPARE(words[2]["Word_Content"].toString(), QStringLiteral("n. 词3"));
        QCOMPARE(words[2]["Word_Symbol"].toString(), QStringLiteral("wɜːd"));
        QCOMPARE(words[2]["Word_Example"].toString(), QStringLiteral("null"));
        // The time value is in units of 10 s since 1970 and converts back to the marking.
        const double day = 25569 + words[0]["Vocamo_Time"].toDouble() * 10000 / 86400000;
        QVERIFY(qAbs(day - nowDayNumber()) < 1.0 / 24);

        // Spelling has its own state: word 3 is not due there; the others are new.
        request["CategoryID"] = 31;
        ids.clear();
        for (const QJsonValue &word : post(request)["data"].toArray())
            ids << word["Word_ID"].toInt();
        QCOMPARE(ids, (QList<int>{1, 2, 4, 5}));
    }

    void dueWordsFollowChosenBooks()
    {
        const int user = signedInUser();
        QJsonObject remove = Envelope(7, user);
        remove["CategoryID"] = 0;
        remove["strBookID"] = "10";
        QCOMPARE(post(remove)["code"].toInt(-1), 0);
        QJsonObject add = Envelope(8, user);
        add["CategoryID"] = 1;
        add["strBookID"] = "20";
        QCOMPARE(post(add)["code"].toInt(-1), 0);
        QJsonObject unknown = add;
        unknown["strBookID"] = "99";
        QVERIFY(post(unknown)["code"].toInt(0) != 0);

        QList<int> ids;
        for (const QJsonValue &word : post(Envelope(28, user))["data"].toArray())
            ids << word["Word_ID"].toInt();
        QCOMPARE(ids, (QList<int>{101, 102, 103}));
    }

    void wordMarkChangesState()
    {
        const int user = signedInUser();
        QVERIFY(!m_server->wordState(kAccount, 0, 10, 4).exists);
        const double before = nowDayNumber();
        QCOMPARE(post(Mark(user, 0, 10, 4, 9, 1))["code"].toInt(-1), 0);
        TReferenceServer::WordState state = m_server->wordState(kAccount, 0, 10, 4);
        QVERIFY(state.exists);
        QCOMPARE(state.ability, 9);
        QCOMPARE(state.count, 1);
        QVERIFY(state.time >= before - 1e-6 && state.time <= nowDayNumber() + 1e-6);
        // A second mark replaces the first.
        QCOMPARE(post(Mark(user, 0, 10, 4, 17, 2))["code"].toInt(-1), 0);
        state = m_server->wordState(kAccount, 0, 10, 4);
        QCOMPARE(state.ability, 17);
        QCOMPARE(state.count, 2);
        QVERIFY(!m_server->wordState(kAccount, 31, 10, 4).exists);
    }

    void pageMarkChangesState()
    {
        const int user = signedInUser();
        QJsonArray params;
        params << Mark(user, 32, 10, 6, 8, 1, 26) << Mark(user, 32, 10, 7, 1, 4, 26) << Mark(user, 32, 10, 8, 56, 2, 26);
        const QJsonObject batch{{"OperateType", 26}, {"params", params}};
        QCOMPARE(post(batch)["code"].toInt(-1), 0);
        const QList<QList<int>> expected = {{6, 8, 1}, {7, 1, 4}, {8, 56, 2}};
        for (const QList<int> &row : expected) {
            const auto state = m_server->wordState(kAccount, 32, 10, row[0]);
            QVERIFY(state.exists);
            QCOMPARE(state.ability, row[1]);
            QCOMPARE(state.count, row[2]);
        }
        // A batch with one bad item stores none of them.
        QJsonArray bad;
        bad << Mark(user, 32, 10, 1, 8, 1, 26) << QJsonObject{{"OperateType", 26}, {"UserID", user}};
        QVERIFY(post(QJsonObject{{"OperateType", 26}, {"params", bad}})["code"].toInt(0) != 0);
        QVERIFY(!m_server->wordState(kAccount, 32, 10, 1).exists);
    }

    void settingsRoundTrip()
    {
        const int user = signedInUser();
        const QStringList keys = {"User_Examining", "User_IsUpperCase", "User_UseDeskTop", "User_ShowCenter",
                                  "User_ShowToolBar", "User_ShowTipPanel", "User_Pronounce", "User_AlwaysShowTrans",
                                  "User_ShowExampleTrans", "User_GeneralFontSize", "User_FirstLineWidth",
                                  "User_DeskTopColor", "User_InitialVocamoState", "User_BookColor",
                                  "User_QuestionAnswerColor", "User_QuestionKeyColor", "User_FormWidth",
                                  "User_FormHeight", "User_Speed", "User_Addition", "User_FirstValue",
                                  "User_SecondValue"};
        QJsonArray params;
        for (int i = 0; i < keys.size(); ++i) {
            QJsonObject entry = Envelope(37, user);
            entry["strBookID"] = keys[i];
            entry["VocamoAbility"] = 1000 + i;
            params << entry;
        }
        QCOMPARE(post(QJsonObject{{"OperateType", 37}, {"params", params}})["code"].toInt(-1), 0);
        QJsonObject field{{"OperateType", 1}, {"UserID", user}, {"FieldValue", 31}, {"FieldName", "User_VocamoContent"}};
        QCOMPARE(post(field, kConfig)["code"].toInt(-1), 0);

        const QJsonObject info = signIn(kAccount, "123456")["data"].toObject()["UserInfo"].toObject();
        for (int i = 0; i < keys.size(); ++i)
            QCOMPARE(info[keys[i]].toInt(), 1000 + i);
        QCOMPARE(info["User_VocamoContent"].toInt(), 31);
        QCOMPARE(m_server->setting(kAccount, "User_Speed"), 1018);

        // The account's identity is not a setting.
        QJsonObject forged = Envelope(37, user);
        forged["strBookID"] = "User_ID";
        forged["VocamoAbility"] = 99;
        QVERIFY(post(QJsonObject{{"OperateType", 37}, {"params", QJsonArray{forged}}})["code"].toInt(0) != 0);
        QCOMPARE(signIn(kAccount, "123456")["data"].toObject()["UserInfo"].toObject()["User_ID"].toInt(), user);
    }

    void statisticsNeedTheAccountSecret()
    {
        const QJsonObject info = signIn(kAccount, "123456")["data"].toObject()["UserInfo"].toObject();
        const int user = info["User_ID"].toInt();
        QCOMPARE(post(Mark(user, 0, 10, 1, 56, 1))["code"].toInt(-1), 0);
        QCOMPARE(post(Mark(user, 0, 10, 2, 0, 1))["code"].toInt(-1), 0);
        QJsonObject request = Envelope(24, user);
        request["strBookID"] = info["User_Phone"].toString() + "&#@#&" + info["User_PassWord"].toString();
        const QJsonObject answer = post(request);
        QCOMPARE(answer["code"].toInt(-1), 0);
        const QJsonArray figures = answer["data"].toObject()["StatArray"].toArray();
        // 2 marked; 7 pending (6 new + word 2); 2 today; 2 new today; 1 firmly remembered.
        QCOMPARE(figures, (QJsonArray{2, 7, 2, 2, 1}));
        request["strBookID"] = info["User_Phone"].toString() + "&#@#&123456";
        QVERIFY(post(request)["code"].toInt(0) != 0);
    }

    void compositionsRoundTrip()
    {
        const int user = signedInUser();
        QJsonObject save = Envelope(40, user);
        save["WordID"] = 7;
        save["strBookID"] = QString::fromLatin1(QByteArray("{\\rtf1 essay}").toHex().toUpper());
        save["strDesc"] = "HASH1";
        QCOMPARE(post(save)["code"].toInt(-1), 0);
        QJsonObject list = Envelope(39, user);
        list["WordID"] = 7;
        const QJsonArray items = post(list)["data"].toArray();
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0].toObject()["WriteContent"].toString(), QStringLiteral("{\\rtf1 essay}"));
        QCOMPARE(items[0].toObject()["Hashcode"].toString(), QStringLiteral("HASH1"));
        QCOMPARE(items[0].toObject()["ArticleID"].toInt(), 7);
        QJsonObject remove = Envelope(41, user);
        remove["strBookID"] = "HASH1";
        QCOMPARE(post(remove)["code"].toInt(-1), 0);
        QVERIFY(post(list)["data"].toArray().isEmpty());
    }

    void contentOperationsAnswerEmptyLists_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("member");
        QTest::newRow("catalogue") << 29 << "";
        QTest::newRow("articles") << 30 << "Strange";
        QTest::newRow("chapter questions") << 32 << "Acquainted";
        QTest::newRow("exercises") << 33 << "Question";
        QTest::newRow("filter") << 35 << "";
        QTest::newRow("writing topics") << 38 << "Strange";
    }

    void contentOperationsAnswerEmptyLists()
    {
        QFETCH(int, code);
        QFETCH(QString, member);
        const QJsonObject answer = post(Envelope(code, signedInUser()));
        QCOMPARE(answer["code"].toInt(-1), 0);
        const QJsonValue data = answer["data"];
        QVERIFY(member.isEmpty() ? data.isArray() : data.toObject()[member].isArray());
    }

    void badRequests_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QByteArray>("body");
        const QByteArray mark = QJsonDocument(Mark(1, 0, 10, 1, 1, 1)).toJson();
        QJsonObject noWord = Mark(1, 0, 10, 1, 1, 1);
        noWord.remove("WordID");
        QJsonObject textAbility = Mark(1, 0, 10, 1, 1, 1);
        textAbility["VocamoAbility"] = "8";
        QJsonObject fractional = Mark(1, 0, 10, 1, 1, 1);
        fractional["WordID"] = 1.5;
        QJsonObject noUser = Mark(1, 0, 10, 1, 1, 1);
        noUser.remove("UserID");
        QTest::newRow("malformed JSON") << kQuery << QByteArray("{\"OperateType\": 2,");
        QTest::newRow("empty body") << kQuery << QByteArray();
        QTest::newRow("array") << kQuery << QByteArray("[1, 2]");
        QTest::newRow("no OperateType") << kQuery << QByteArray("{\"UserID\": 1}");
        QTest::newRow("unknown operation name") << "KX5Unknown" << mark;
        QTest::newRow("unknown code") << kQuery << QJsonDocument(Envelope(999, 1)).toJson();
        QTest::newRow("config code on query") << kConfig << mark;
        QTest::newRow("missing WordID") << kQuery << QJsonDocument(noWord).toJson();
        QTest::newRow("missing UserID") << kQuery << QJsonDocument(noUser).toJson();
        QTest::newRow("text for integer") << kQuery << QJsonDocument(textAbility).toJson();
        QTest::newRow("fraction for integer") << kQuery << QJsonDocument(fractional).toJson();
        QTest::newRow("unknown UserID") << kQuery << QJsonDocument(Mark(4242, 0, 10, 1, 1, 1)).toJson();
        QTest::newRow("batch without params") << kQuery << QByteArray("{\"OperateType\": 26}");
        QTest::newRow("batch params not objects") << kQuery << QByteArray("{\"OperateType\": 26, \"params\": [1]}");
        QTest::newRow("2 MiB body") << kQuery
                                    << QByteArray("{\"OperateType\": 22, \"strBookID\": \"")
                                           + QByteArray(2 * 1024 * 1024, 'a') + QByteArray("\"}");
    }

    void badRequests()
    {
        QFETCH(QString, operation);
        QFETCH(QByteArray, body);
        signedInUser();
        int status = 0;
        const QJsonObject answer = post(operation, body, &status);
        QVERIFY2(answer.contains("code"), "every answer is a JSON object with a code");
        QVERIFY(answer["code"].toInt(0) != 0);
        QVERIFY(status == 200 || status == 413);
        QVERIFY(!m_server->wordState(kAccount, 0, 10, 1).exists);
        // The server keeps serving.
        QCOMPARE(signIn(kAccount, "123456")["data"].toObject()["errCode"].toInt(-1), 0);
    }

    void otherPathsAnswerJson()
    {
        auto result = m_client->Get("/linkkk/KX5QueryVocamo2");
        QVERIFY(result);
        QCOMPARE(result->status, 404);
        QVERIFY(QJsonDocument::fromJson(QByteArray::fromStdString(result->body)).object()["code"].toInt(0) != 0);
    }

    void concurrentMarksAreAllStored()
    {
        const int user = signedInUser();
        constexpr int kClients = 8;
        constexpr int kRequests = 50;
        std::atomic<int> failures{0};
        std::vector<std::thread> clients;
        const std::string base = m_server->baseUrl().toStdString();
        for (int c = 0; c < kClients; ++c) {
            clients.emplace_back([&, c] {
                httplib::Client client(base);
                for (int r = 0; r < kRequests; ++r) {
                    const int word = 1001 + c * kRequests + r;
                    const QByteArray body = QJsonDocument(Mark(user, 0, 30, word, word % 50 + 1, 1)).toJson();
                    auto result = client.Post("/linkkk/KX5QueryVocamo2", body.constData(), size_t(body.size()),
                                              "application/json");
                    if (!result || QJsonDocument::fromJson(QByteArray::fromStdString(result->body))
                                           .object()["code"].toInt(-1) != 0)
                        ++failures;
                }
            });
        }
        for (std::thread &client : clients)
            client.join();
        QCOMPARE(failures.load(), 0);
        for (int word = 1001; word < 1001 + kClients * kRequests; ++word) {
            const auto state = m_server->wordState(kAccount, 0, 30, word);
            QVERIFY2(state.exists, qPrintable(QString::number(word)));
            QCOMPARE(state.ability, word % 50 + 1);
        }
    }

    void stateSurvivesRestart()
    {
        const int user = signedInUser();
        QCOMPARE(post(Mark(user, 0, 10, 3, 12, 1))["code"].toInt(-1), 0);
        m_server->stop();
        QVERIFY(!m_server->isRunning());
        startServer(false);
        QCOMPARE(m_server->wordState(kAccount, 0, 10, 3).ability, 12);
        QCOMPARE(signedInUser(), user);
    }

    void startFailsWithoutContent()
    {
        TServerOptions options;
        options.dataDir = m_dir->filePath(QStringLiteral("other"));
        options.contentPath = m_dir->filePath(QStringLiteral("missing.content"));
        TReferenceServer server(options);
        QString error;
        QVERIFY(!server.start(&error));
        QVERIFY(error.contains(QStringLiteral("missing.content")));
    }

    void builtContentMatchesStoreIds()
    {
        const QString path = qEnvironmentVariable("VOCAMO_BIN_DIR") + QStringLiteral("/VocamoServer.content");
        if (!QFile::exists(path))
            QSKIP("the built content file is not there");
        TServerContent content;
        QString error;
        QVERIFY2(LoadServerContent(path, content, &error), qPrintable(error));
        QVERIFY(!content.books.isEmpty());
        // words.tsv starts with "able": word id 1, the first word of the first book.
        QCOMPARE(content.words.value(1).name, QStringLiteral("able"));
        QCOMPARE(content.books.first().words.first(), 1);
        for (const TContentBook &book : content.books) {
            for (const int word : book.words)
                QVERIFY(content.words.contains(word));
        }
    }
};

QTEST_GUILESS_MAIN(TestReferenceServer)
#include "tst_referenceserver.moc"
