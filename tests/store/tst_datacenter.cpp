#include "StoreFixture.h"

#include "store/Channels.h"
#include "store/ContentKeys.h"
#include "store/Routine.h"
#include "store/User.h"
#include "store/Word.h"

#include <QFile>
#include <QJsonObject>
#include <QtTest>

namespace {

const char *const Words =
    "insert into TotalWords (WORD_ID, WORD_NAME, WORD_SYMBOL, WORD_TRANS, WORD_EXPLAIN, "
    "WORD_SYNONYMY, WORD_ANTONYM, WORD_ANALOPY, WORD_EXAMPLE, WORD_CLASS, WORD_AFFIX) values "
    "(1, 'apple', 's1', 't1', 'e1', 'syn', 'ant', 'ana', 'ex', 'cl', 'af'),"
    "(4, 'o''clock', 's4', 't4', '', '', '', '', '', '', ''),"
    "(5, 'cherry', 's5', 't5', '', '', '', '', '', '', '');\n";

QByteArray packedExample(const QByteArray &text)
{
    QByteArray blob = text;
    EncipherAndPack(blob, ContentKeys::Bytes(ContentKeys::Example));
    return blob;
}

bool insertExample(int wordId, int index, const QByteArray &blob, const QString &translation)
{
    TDataCenter *centre = DataCenter();
    SqliteDataset *ds = centre->Channel->Query("select * from Example where WORD_ID = -1");
    if (!ds || !ds->append())
        return false;
    ds->fieldByName("WORD_ID").setAsInteger(wordId);
    ds->fieldByName("Example_Index").setAsInteger(index);
    ds->fieldByName("EngContent").saveBlob(blob);
    ds->fieldByName("ChnTranslation").setAsText(translation);
    return ds->post();
}

} // namespace

class TestDataCenter : public QObject
{
    Q_OBJECT

private slots:
    void usersInUserIdOrder()
    {
        StoreFixture fixture;
        QVERIFY(fixture.create(userRow(5, "e", 5) + userRow(2, "b", 1) + userRow(9, "i", 3)));
        auto centre = fixture.openCentre();
        QCOMPARE(centre->MajorVersion, 2);
        QCOMPARE(centre->MinorVersion, 0);
        QCOMPARE(centre->CloudDir, QStringLiteral("cloud"));
        QCOMPARE(centre->Users.Count(), 3);
        QCOMPARE(centre->Users.NameAt(0), QStringLiteral("b"));
        QCOMPARE(centre->Users.NameAt(1), QStringLiteral("e"));
        QCOMPARE(centre->Users.NameAt(2), QStringLiteral("i"));
        QCOMPARE(centre->ActiveUserIndex, 0);
        QVERIFY(centre->CurrentUser);
        QCOMPARE(centre->CurrentUser->UserId, 2);
        QCOMPARE(centre->CurrentUser->Password, QStringLiteral("pw"));
        QCOMPARE(centre->CurrentUser->UpdateDictionary, true);
        QCOMPARE(centre->CurrentUser->UserType, false);
        QCOMPARE(centre->CurrentUser->RealName, QStringLiteral("real"));
        QCOMPARE(centre->CurrentUser->Number, QStringLiteral("no"));
        QCOMPARE(centre->CurrentUser->ActiveSequence, 1);
        QCOMPARE(centre->CurrentUser->Channel, centre->Channel.get());

        centre->SelectUser(4);
        QCOMPARE(centre->CurrentUser->UserId, 5);
        centre->SelectUser(-1);
        QCOMPARE(centre->CurrentUser->UserId, 9);
        QCOMPARE(centre->UserIdList(), QStringLiteral("-1,2,5,9"));
    }

    void emptyUsersTable()
    {
        StoreFixture fixture;
        QVERIFY(fixture.create());
        auto centre = fixture.openCentre();
        QCOMPARE(centre->CurrentUser, nullptr);
        centre->SelectUser(3);
        QCOMPARE(centre->CurrentUser, nullptr);
        QCOMPARE(centre->UserIdList(), QStringLiteral("-1"));
    }

    void missingDatabase()
    {
        StoreFixture fixture; // nothing created
        auto centre = fixture.openCentre();
        QCOMPARE(centre->MajorVersion, 0);
        QCOMPARE(centre->CurrentUser, nullptr);
        QVERIFY(centre->LoadExamples(1).empty());
        QVERIFY(!centre->HasExamples(1));
        QVERIFY(centre->LoadWordNote(1).isEmpty());
        const auto words = centre->LookupWords({"apple"}, "apple");
        QCOMPARE(words.Count(), 1);
        QCOMPARE(words.At(0)->WordId, 0);
    }

    void processWideReference()
    {
        StoreFixture fixture;
        QVERIFY(fixture.create());
        QCOMPARE(DataCenter(), nullptr);
        {
            auto centre = fixture.openCentre();
            QCOMPARE(DataCenter(), centre.get());
        }
        QCOMPARE(DataCenter(), nullptr);
    }

    void lookupWords_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("apostrophe") << QStringList{"o'clock"} << QList<int>{4};
        QTest::newRow("several, table order") << QStringList{"cherry", "durian", "APPLE"} << QList<int>{1, 5};
        QTest::newRow("no match") << QStringList{"durian"} << QList<int>{0};
        QTest::newRow("no names") << QStringList{} << QList<int>{0};
        QTest::newRow("quote attack") << QStringList{"x' or '1'='1"} << QList<int>{0};
    }

    void lookupWords()
    {
        QFETCH(QStringList, names);
        QFETCH(QList<int>, ids);
        StoreFixture fixture;
        QVERIFY(fixture.create(userRow(1, "u") + QString::fromUtf8(Words)));
        auto centre = fixture.openCentre();
        const auto words = centre->LookupWords(names, "fallback");
        QList<int> found;
        for (int i = 0; i < words.Count(); ++i)
            found << words.At(i)->WordId;
        QCOMPARE(found, ids);
        if (ids == QList<int>{0}) {
            QCOMPARE(words.NameAt(0), QStringLiteral("fallback"));
            QCOMPARE(words.At(0)->Name, QStringLiteral("fallback"));
        }
    }

    void lookupWordFields()
    {
        StoreFixture fixture;
        QVERIFY(fixture.create(userRow(1, "u") + QString::fromUtf8(Words)));
        auto centre = fixture.openCentre();
        const auto words = centre->LookupWords({"apple"}, "x");
        const TWord *word = words.Find("apple");
        QVERIFY(word);
        QCOMPARE(word->Book, nullptr);
        QCOMPARE(word->Channel, centre->Channel.get());
        QCOMPARE(word->Symbol, QStringLiteral("s1"));
        QCOMPARE(word->Meaning, QStringLiteral("t1"));
        QCOMPARE(word->Explain, QStringLiteral("e1"));
        QCOMPARE(word->Synonyms, QStringLiteral("syn"));
        QCOMPARE(word->Antonyms, QStringLiteral("ant"));
        QCOMPARE(word->Analogy, QStringLiteral("ana"));
        QCOMPARE(word->Example, QStringLiteral("ex"));
        QCOMPARE(word->ExampleTrans, QStringLiteral("cl"));
        QCOMPARE(word->Affix, QStringLiteral("af"));
        QCOMPARE(word->SourceName, QStringLiteral("apple"));
    }

    void examplesAndNotes()
    {
        StoreFixture fixture;
        QVERIFY(fixture.create(userRow(1, "u") + QString::fromUtf8(Words)));
        auto centre = fixture.openCentre();
        QVERIFY(insertExample(1, 2, packedExample("second"), "第二"));
        QVERIFY(insertExample(1, 1, packedExample(QByteArray(" line one\nline two\r\n\0junk", 26)), " 第一 "));
        QVERIFY(insertExample(1, 3, "not packed", "坏"));
        QVERIFY(fixture.run("insert into Dictionary values (1, x'00FF10');"));

        const auto examples = centre->LoadExamples(1);
        QCOMPARE(examples.size(), size_t(3));
        QCOMPARE(examples[0]->Sentence, QStringLiteral("line one\r\nline two"));
        QCOMPARE(examples[0]->Translation, QStringLiteral("第一"));
        QCOMPARE(examples[0]->Kind, 1);
        QCOMPARE(examples[1]->Sentence, QStringLiteral("second"));
        QCOMPARE(examples[2]->Sentence, QString());
        QCOMPARE(examples[2]->Translation, QStringLiteral("坏"));
        QVERIFY(centre->HasExamples(1));
        QVERIFY(!centre->HasExamples(5));
        QVERIFY(centre->HasExplain(1));
        QVERIFY(!centre->HasExplain(5));
        QCOMPARE(centre->LoadWordNote(1), QByteArray::fromHex("00FF10"));
        QVERIFY(centre->LoadWordNote(5).isEmpty());
    }

    void examplesOfSampleStore()
    {
        const QString sample = qEnvironmentVariable("VOCAMO_BIN_DIR") + QStringLiteral("/Vocamo.mdb");
        if (!QFile::exists(sample))
            QSKIP("the sample store is not built");
        StoreFixture fixture;
        QVERIFY(QFile::copy(sample, fixture.path()));
        auto centre = fixture.openCentre();
        QCOMPARE(centre->MajorVersion, 2);
        QVERIFY(centre->CurrentUser);
        const auto words = centre->LookupWords({"able"}, "able");
        const int id = words.At(0)->WordId;
        QVERIFY(id != 0);
        QVERIFY(centre->HasExamples(id));
        const auto examples = centre->LoadExamples(id);
        QVERIFY(examples.size() >= 2);
        QCOMPARE(examples[0]->Sentence, QStringLiteral("Will you be able to come tomorrow?"));
        QCOMPARE(examples[0]->Translation, QStringLiteral("你明天能来吗？"));
        QCOMPARE(examples[1]->Sentence, QStringLiteral("He was able to finish the work on time."));
    }

    void wordForms()
    {
        StoreFixture fixture;
        QVERIFY(fixture.create("insert into Irregular values ('go', 'went', 'gone');"));
        auto centre = fixture.openCentre();
        QVERIFY(centre->WordForms("went").contains("go"));
        QVERIFY(centre->PhraseForms("looked after").contains("look after"));
    }

    void stateLabelsAndValues_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("value");
        QTest::newRow("1") << 1 << "熟悉" << 8;
        QTest::newRow("2") << 2 << "认识" << 1;
        QTest::newRow("11") << 11 << "牢记" << 56;
        QTest::newRow("5") << 5 << "陌生" << -30000;
        QTest::newRow("0") << 0 << "陌生" << -30000;
    }

    void stateLabelsAndValues()
    {
        QFETCH(int, state);
        QFETCH(QString, label);
        QFETCH(int, value);
        StoreFixture fixture;
        QVERIFY(fixture.create());
        auto centre = fixture.openCentre();
        centre->Config.ApplyAccount(QJsonObject());
        QCOMPARE(TDataCenter::StateLabel(state), label);
        QCOMPARE(centre->StateValue(state), value);
    }

    void studyCategory_data()
    {
        QTest::addColumn<int>("track");
        QTest::addColumn<int>("category");
        QTest::newRow("English to Chinese") << 0 << 0;
        QTest::newRow("Chinese to English") << 1 << 0;
        QTest::newRow("spelling") << 2 << 31;
        QTest::newRow("dictation") << 3 << 32;
    }

    void studyCategory()
    {
        QFETCH(int, track);
        QFETCH(int, category);
        StoreFixture fixture;
        QVERIFY(fixture.create());
        auto centre = fixture.openCentre();
        centre->StudyTrack = track;
        QCOMPARE(centre->StudyCategory(), category);
    }

    void accountRecord()
    {
        StoreFixture fixture;
        QVERIFY(fixture.create());
        auto centre = fixture.openCentre();
        QCOMPARE(centre->CurrentUserId(), 0);
        QCOMPARE(centre->AccountName(), QString());
        QCOMPARE(centre->AccountSpeed(), 12);
        centre->UserInfo = QJsonObject{{"User_ID", 42}, {"User_Phone", "8613800000000"}, {"User_Speed", -4}};
        QCOMPARE(centre->CurrentUserId(), 42);
        QCOMPARE(centre->AccountName(), QStringLiteral("8613800000000"));
        QCOMPARE(centre->AccountSpeed(), 1);
    }

    void checkOnline()
    {
        StoreFixture fixture;
        QVERIFY(fixture.create());
        auto centre = fixture.openCentre();
        QStringList shown;
        centre->SetNotifier([&shown](const QString &text) { shown << text; });

        // Whatever this machine's network, the message appears exactly when offline.
        const bool online = centre->IsOnline();
        centre->CheckOnline();
        QCOMPARE(shown, online ? QStringList{} : QStringList{QStringLiteral("网络没有连通！")});

        shown.clear();
        centre->ServerIsLocal = true;
        QVERIFY(centre->IsOnline());
        centre->CheckOnline();
        QVERIFY(shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDataCenter)
#include "tst_datacenter.moc"
