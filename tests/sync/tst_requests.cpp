// The request protocol against the real reference server and a canned-answer server:
// sign-in, answers, background requests in order and one at a time, the durable queue
// that keeps marks made offline, and TLS trusted only through the configured CA file.

#include "SyncFixture.h"

#include "store/Environment.h"
#include "sync/ServerLink.h"

#include <QJsonArray>
#include <QProcess>

class TestRequests : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<StoreFixture> m_store;
    std::unique_ptr<TDataCenter> m_centre;
    QStringList m_messages;

    void openStore()
    {
        m_store = std::make_unique<StoreFixture>();
        QVERIFY(m_store->create(userRow(1, QStringLiteral("me"))));
        m_centre = m_store->openCentre();
        m_messages.clear();
        m_centre->SetNotifier([this](const QString &text) { m_messages << text; });
    }

private slots:
    void init() { openStore(); }
    void cleanup()
    {
        m_centre.reset();
        m_store.reset();
    }

    void buildRequestFillsEveryMember()
    {
        const QJsonObject request = BuildRequest(2, 31, 7, 5, 9, 12, 3, 1, QStringLiteral("a"), QStringLiteral("b"));
        QCOMPARE(request.size(), 13);
        QCOMPARE(request.value("OperateType").toInt(), 2);
        QCOMPARE(request.value("CategoryID").toInt(), 31);
        QCOMPARE(request.value("UserID").toInt(), 7);
        QCOMPARE(request.value("VocamoRound").toInt(), 1);
        QCOMPARE(request.value("WordCategoryID").toInt(), -1);
        QCOMPARE(request.value("BookIndex").toInt(), 0);
        QCOMPARE(request.value("GetNewData").toInt(), 0);
        QCOMPARE(request.value("strDesc").toString(), QStringLiteral("b"));
        const QJsonObject batch = BatchEnvelope(26, QJsonArray{request});
        QCOMPARE(batch.value("params").toArray().size(), 1);
    }

    void timeValue()
    {
        QCOMPARE(TimeValueToDayNumber(0), 25569.0);
        QCOMPARE(TimeValueToDayNumber(8640), 25570.0); // one day of 10-second units
    }

    void answerCode_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("code");
        QTest::newRow("success") << QByteArray(R"({"code":0,"data":[]})") << 0;
        QTest::newRow("refused") << QByteArray(R"({"code":3})") << 3;
        QTest::newRow("no code") << QByteArray(R"({"data":[]})") << -1;
        QTest::newRow("text code") << QByteArray(R"({"code":"x"})") << -1;
        QTest::newRow("not json") << QByteArray("<html>oops</html>") << -1;
        QTest::newRow("array") << QByteArray("[1,2]") << -1;
    }
    void answerCode()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, code);
        CannedServer canned(answer);
        TSyncClient client(*m_centre, settingsFor(canned.baseUrl()));
        QCOMPARE(AnswerCode(PostRequest(QLatin1String(QueryOperation), BuildRequest(24, 0, 0, 0, 0, 0, 0, 0))), code);
    }

    void signInGood()
    {
        ServerFixture server;
        TSyncClient client(*m_centre, settingsFor(server.baseUrl()));
        QVERIFY(SignIn(testAccount(), QLatin1String(TestPassword)));
        QVERIFY(m_centre->CurrentUserId() > 0);
        QCOMPARE(m_centre->AccountName(), testAccount());
        QCOMPARE(m_centre->Config.StateValue4, -30000);
        QVERIFY(m_centre->Config.Speed >= 1);
        QVERIFY(m_messages.isEmpty());
    }

    void signInWrongPassword()
    {
        ServerFixture server;
        QVERIFY(server.server().addAccount(QLatin1String(TestZone), QLatin1String(TestPhone), QStringLiteral("111111")));
        TSyncClient client(*m_centre, settingsFor(server.baseUrl()));
        QVERIFY(!SignIn(testAccount(), QStringLiteral("222222")));
        QCOMPARE(m_messages, QStringList{QStringLiteral("用户不存在或密码不对！")});
        QVERIFY(m_centre->UserInfo.isEmpty());
    }

    void signInOffline()
    {
        ServerFixture server;
        const QString url = server.baseUrl();
        server.stop();
        TSyncClient client(*m_centre, settingsFor(url));
        QVERIFY(!SignIn(testAccount(), QLatin1String(TestPassword)));
        QVERIFY(m_messages.isEmpty());
    }

    void signInWithoutErrCode_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("no errCode") << QByteArray(R"({"code":0,"data":{"UserInfo":{"User_ID":5}}})");
        QTest::newRow("errCode text") << QByteArray(R"({"code":0,"data":{"errCode":"x","UserInfo":{"User_ID":5}}})");
        QTest::newRow("other errCode") << QByteArray(R"({"code":0,"data":{"errCode":9,"UserInfo":{"User_ID":5}}})");
        QTest::newRow("no data") << QByteArray(R"({"code":0})");
    }
    void signInWithoutErrCode()
    {
        QFETCH(QByteArray, answer);
        CannedServer canned(answer);
        TSyncClient client(*m_centre, settingsFor(canned.baseUrl()));
        QVERIFY(!SignIn(testAccount(), QStringLiteral("a##b")));
        QVERIFY(m_messages.isEmpty());
        QVERIFY(m_centre->UserInfo.isEmpty());
        // The separator inside a password goes out unchanged.
        QCOMPARE(canned.requests().at(0).value("strBookID").toString(), testAccount() + QStringLiteral("##a##b"));
        QCOMPARE(canned.requests().at(0).value("OperateType").toInt(), 22);
    }

    void busyCursorAroundWaitingRequests()
    {
        ServerFixture server;
        const QString url = server.baseUrl();
        server.stop();
        QStringList calls;
        SetBusyCursorHook([&calls](bool busy) { calls << (busy ? QStringLiteral("on") : QStringLiteral("off")); });
        TSyncClient client(*m_centre, settingsFor(url));
        QVERIFY(!PostRequest(QLatin1String(QueryOperation), BuildRequest(24, 0, 0, 0, 0, 0, 0, 0)));
        SetBusyCursorHook({});
        QCOMPARE(calls, (QStringList{QStringLiteral("on"), QStringLiteral("off")}));
    }

    void backgroundRequestsOneAtATimeInOrder()
    {
        CannedServer canned(R"({"code":0,"data":[]})", 20);
        TSyncClient client(*m_centre, settingsFor(canned.baseUrl()));
        {
            // While another request holds the lock, nothing goes out.
            std::lock_guard held(m_centre->RequestLock);
            for (int i = 0; i < 10; ++i)
                PostInBackground(QLatin1String(QueryOperation), BuildRequest(31, 0, 1, 0, i, 0, 0, 0));
            QTest::qWait(100);
            QCOMPARE(int(canned.requests().size()), 0);
            QCOMPARE(client.PendingCount(), 10);
        }
        QVERIFY(client.WaitForQueue());
        const std::vector<QJsonObject> requests = canned.requests();
        QCOMPARE(int(requests.size()), 10);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(requests[size_t(i)].value("WordID").toInt(), i);
        QCOMPARE(canned.maxInFlight(), 1);
        QCOMPARE(client.PendingCount(), 0);
    }

    void marksMadeOfflineArriveOnceTheServerIsBack()
    {
        ServerFixture server;
        const quint16 port = server.port();
        auto client = std::make_unique<TSyncClient>(*m_centre, settingsFor(server.baseUrl()));
        QVERIFY(SignIn(testAccount(), QLatin1String(TestPassword)));
        server.stop();

        client->SendWordMark(0, 1, 1, 17, 101);
        client->SendWordMark(0, 1, 2, 18, 102);
        client->SendWordMark(0, 1, 3, 19, 101); // a later mark of the same word wins
        QVERIFY(!client->WaitForQueue());
        QCOMPARE(client->PendingCount(), 3);

        // The program ends while offline: the marks stay in the store for the next start.
        client.reset();
        QCOMPARE(m_store->scalar(QStringLiteral("select count(*) from PendingRequest")), 3);

        QVERIFY(server.start(port));
        client = std::make_unique<TSyncClient>(*m_centre, settingsFor(server.baseUrl()));
        QVERIFY(client->WaitForQueue());
        QCOMPARE(client->PendingCount(), 0);

        const auto first = server.server().wordState(testAccount(), 0, 1, 101);
        QVERIFY(first.exists);
        QCOMPARE(first.ability, 19);
        QCOMPARE(first.count, 3);
        const auto second = server.server().wordState(testAccount(), 0, 1, 102);
        QCOMPARE(second.ability, 18);
        QCOMPARE(second.count, 2);
    }

    void queueFlushesAtTheNextRequest()
    {
        ServerFixture server;
        const quint16 port = server.port();
        TSyncClient client(*m_centre, settingsFor(server.baseUrl()));
        QVERIFY(SignIn(testAccount(), QLatin1String(TestPassword)));
        server.stop();
        client.SendWordMark(0, 1, 1, 23, 205);
        QVERIFY(!client.WaitForQueue());
        QCOMPARE(client.PendingCount(), 1);

        QVERIFY(server.start(port));
        // Reaching the server with a waiting request sets the queue going again.
        QVERIFY(SignIn(testAccount(), QLatin1String(TestPassword)));
        QVERIFY(client.WaitForQueue());
        QCOMPARE(client.PendingCount(), 0);
        QCOMPARE(server.server().wordState(testAccount(), 0, 1, 205).ability, 23);
    }

    void olderStoreGetsTheQueueTable()
    {
        QVERIFY(m_store->run(QStringLiteral("drop table PendingRequest")));
        TSyncClient client(*m_centre, settingsFor(QStringLiteral("http://127.0.0.1:1")));
        QCOMPARE(m_store->scalar(QStringLiteral("select count(*) from sqlite_master where name = 'PendingRequest'")), 1);
    }

    void selfSignedServerTrustedOnlyThroughCaFile()
    {
        QTemporaryDir certs;
        const QString cert = certs.filePath(QStringLiteral("cert.pem"));
        const QString key = certs.filePath(QStringLiteral("key.pem"));
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                       QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"),
                       QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert});
        QVERIFY(openssl.waitForFinished(60000));
        QCOMPARE(openssl.exitCode(), 0);

        ServerFixture server(0, cert, key);
        QVERIFY(server.baseUrl().startsWith(QLatin1String("https://")));
        {
            TSyncClient untrusting(*m_centre, settingsFor(server.baseUrl()));
            QVERIFY(!SignIn(testAccount(), QLatin1String(TestPassword)));
        }
        TSyncClient trusting(*m_centre, settingsFor(server.baseUrl(), cert));
        QVERIFY(SignIn(testAccount(), QLatin1String(TestPassword)));
    }

    void settingsFileNamesTheServers()
    {
        TIni ini(m_store->dir() + QStringLiteral("/vocamo.ini"));
        ini.Section = QStringLiteral("Server");
        ini.WriteText(QStringLiteral("BaseUrl"), QStringLiteral("https://example.org/app/"));
        ini.WriteText(QStringLiteral("CaFile"), QStringLiteral("/etc/ca.pem"));
        ini.Section = QStringLiteral("Config");
        const TServerSettings settings = TServerSettings::FromIni(ini);
        QCOMPARE(settings.BaseUrl, QStringLiteral("https://example.org/app"));
        QCOMPARE(settings.CaFile, QStringLiteral("/etc/ca.pem"));
        QVERIFY(settings.SoundUrl.isEmpty());
        QCOMPARE(ini.Section, QStringLiteral("Config"));
        TServerLink link(settings);
        QVERIFY(!link.IsLocal());
        QCOMPARE(link.SoundUrl(), QStringLiteral("https://example.org/app"));
    }

    void embeddedServerWhenNoneIsConfigured()
    {
        // The embedded server keeps its data in the user's data folder: a home of its own.
        qputenv("HOME", m_store->dir().toUtf8());
        // The program finds the server's content beside itself (here: the store's folder).
        QVERIFY(QFile::copy(qEnvironmentVariable("VOCAMO_BIN_DIR") + QStringLiteral("/VocamoServer.content"),
                            m_store->dir() + QStringLiteral("/VocamoServer.content")));
        TSyncClient client(*m_centre, TServerSettings{});
        QVERIFY(m_centre->ServerIsLocal);
        QVERIFY(SignIn(testAccount(), QLatin1String(TestPassword)));
        QVERIFY(client.Link().BaseUrl().startsWith(QLatin1String("http://127.0.0.1:")));
    }
};

QTEST_GUILESS_MAIN(TestRequests)
#include "tst_requests.moc"
