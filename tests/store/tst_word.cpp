#include "StoreFixture.h"

#include "store/Channels.h"
#include "store/ContentKeys.h"
#include "store/Routine.h"
#include "store/Statements.h"
#include "store/User.h"
#include "store/Word.h"
#include "store/WordMarkSender.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

constexpr double Period = 12 * 0.04167; // one period at the default speed, in days

struct RecordingSender : TWordMarkSender
{
    struct Mark
    {
        int category, book, count, ability, word;
    };
    void SendWordMark(int categoryId, int bookId, int studyCount, int ability, int wordId) override
    {
        marks.push_back({categoryId, bookId, studyCount, ability, wordId});
    }
    std::vector<Mark> marks;
};

const char *const Words =
    "insert into TotalWords (WORD_ID, WORD_NAME, WORD_SYMBOL, WORD_NEWSYMBOL, WORD_TRANS, "
    "WORD_EXPLAIN, WORD_SYNONYMY, WORD_ANTONYM, WORD_ANALOPY, WORD_AIDS, WORD_GREANTONYM, "
    "WORD_AFFIX, WORD_USAGE, WORD_EXAMPLE, WORD_CLASS, Example_Exist) values "
    "(100, 'kkkkabc', 'sym', 'newsym', '  n. 第一' || char(13) || char(10) || 'v. 第二 ', 'explain', "
    "'  ', '', 'analogy', 'aids', 'gre', 'affix', 4, 'word example', 'word class', 1),"
    "(101, 'apple', 'ap', '', 'n. 苹果', '', '', '', '', '', '', '', 5, 'An apple.', '一个苹果。', 0);\n";

} // namespace

class TestWord : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<StoreFixture> fixture;
    std::unique_ptr<TDataCenter> centre;
    std::unique_ptr<TUserBook> book;

    TAdoChannel &channel() { return *centre->Channel; }

    // A word as loaded from a due row: ability, time, count and category set directly.
    TWord dueWord(int ability, double studyTime, int count = 3, int category = 0)
    {
        TWord word(book.get(), centre->Channel.get());
        word.Ability = ability;
        word.StudyTime = studyTime;
        word.StudyCount = count;
        word.CategoryId = category;
        return word;
    }

    std::unique_ptr<TWord> loadDue(int category, int bookId, int wordId, TUserBook *forBook)
    {
        SqliteDataset *ds = channel().Query(
            QString::fromLatin1(Statements::DuePage)
            + QStringLiteral(" and Vocamo_CategoryID = %1 and Vocamo_BookID = %2 and Vocamo_WordID = %3")
                  .arg(category).arg(bookId).arg(wordId));
        if (!ds || ds->eof())
            return nullptr;
        return TWord::LoadWord(*ds, true, forBook, centre->Channel.get());
    }

private slots:
    void init()
    {
        fixture = std::make_unique<StoreFixture>();
        QVERIFY(fixture->create(userRow(1, "local") + QString::fromUtf8(Words)));
        centre = fixture->openCentre();
        centre->Config.ApplyAccount(QJsonObject());
        book = std::make_unique<TUserBook>(centre->CurrentUser, centre->Channel.get());
        book->BookId = 5;
    }

    void cleanup()
    {
        book.reset();
        centre.reset();
        fixture.reset();
    }

    void nextAbility_data()
    {
        QTest::addColumn<int>("ability");
        QTest::addColumn<double>("periodsLate"); // time since the last marking, in 12-hour periods
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("mark");
        QTest::addColumn<QByteArray>("account"); // settings record
        QTest::addColumn<int>("expected");

        const QByteArray defaults = "{}";
        QTest::newRow("15 periods, ability 10, familiar") << 10 << 15.5 << 3 << 0 << 1 << defaults << 13;
        QTest::newRow("50 periods late") << 10 << 50.5 << 3 << 0 << 1 << defaults << 8;
        QTest::newRow("on time familiar") << 10 << 3.5 << 3 << 0 << 1 << defaults << 18;
        QTest::newRow("on time recognised") << 10 << 3.5 << 3 << 0 << 2 << defaults << 11;
        QTest::newRow("on time remembered") << 10 << 3.5 << 3 << 0 << 11 << defaults << 66;
        QTest::newRow("within ability exactly") << 10 << 10.5 << 3 << 0 << 1 << defaults << 18;
        QTest::newRow("recognised, second value 0, far overdue")
            << 10 << 100.5 << 3 << 0 << 2 << QByteArray(R"({"User_SecondValue":0})") << 1;
        QTest::newRow("mark 5 resets") << 10 << 0.5 << 3 << 0 << 5 << defaults << 1;
        QTest::newRow("mark 3 resets") << 40 << 2.5 << 3 << 0 << 3 << defaults << 1;
        QTest::newRow("first spelling marking") << 10 << 100.5 << 0 << 31 << 1 << defaults << 56;
        QTest::newRow("first dictation marking") << 2 << 0.5 << 0 << 32 << 1 << defaults << 56;
        QTest::newRow("second spelling marking") << 10 << 0.5 << 1 << 31 << 1 << defaults << 18;
        QTest::newRow("first spelling, recognised") << 10 << 0.5 << 0 << 31 << 2 << defaults << 11;
        QTest::newRow("first recognition marking") << 10 << 0.5 << 0 << 0 << 1 << defaults << 18;
        QTest::newRow("mark 0 takes initial state 1") << 10 << 0.5 << 3 << 0 << 0 << defaults << 18;
        QTest::newRow("mark 0 takes initial state 11")
            << 10 << 0.5 << 3 << 0 << 0 << QByteArray(R"({"User_InitialVocamoState":11})") << 66;
        QTest::newRow("mark 0 with initial state 3")
            << 10 << 0.5 << 3 << 0 << 0 << QByteArray(R"({"User_InitialVocamoState":3})") << 1;
        QTest::newRow("mark 0 with initial state 0")
            << 10 << 0.5 << 3 << 0 << 0 << QByteArray(R"({"User_InitialVocamoState":0})") << 18;
        QTest::newRow("mark 0 with initial 1 on first spelling")
            << 10 << 90.5 << 0 << 31 << 0 << defaults << 56;
        QTest::newRow("speed 24 halves the periods")
            << 10 << 30.5 << 3 << 0 << 1 << QByteArray(R"({"User_Speed":24})") << 13;
        QTest::newRow("speed 0 counts as 1 hour")
            << 10 << 1.55 << 3 << 0 << 1 << QByteArray(R"({"User_Speed":0})") << 10;
        QTest::newRow("first value 20") << 10 << 0.5 << 3 << 0 << 1 << QByteArray(R"({"User_FirstValue":20})") << 30;
        QTest::newRow("marked in the future") << 10 << -3.5 << 3 << 0 << 1 << defaults << 18;
        QTest::newRow("ability 0, just marked") << 0 << 0.5 << 3 << 0 << 2 << defaults << 1;
    }

    void nextAbility()
    {
        QFETCH(int, ability);
        QFETCH(double, periodsLate);
        QFETCH(int, count);
        QFETCH(int, category);
        QFETCH(int, mark);
        QFETCH(QByteArray, account);
        QFETCH(int, expected);

        centre->UserInfo = QJsonDocument::fromJson(account).object();
        centre->Config.ApplyAccount(centre->UserInfo);
        const double now = 45000.25;
        const double studyTime = now - periodsLate * Period;
        const TWord word = dueWord(ability, studyTime, count, category);
        QCOMPARE(word.NextAbility(mark, now), expected);
    }

    // The number of elapsed periods is truncated: exactly two periods is 2, a millisecond
    // less is 1. Ability 1 keeps its value after one period but loses it after two.
    void periodBoundary_data()
    {
        QTest::addColumn<double>("now");
        QTest::addColumn<int>("expected");
        const double millisecond = 1.0 / 86400000.0;
        QTest::newRow("exactly two periods") << 2 * Period << 8;
        QTest::newRow("a millisecond under two") << 2 * Period - millisecond << 9;
        QTest::newRow("exactly one period") << Period << 9;
        QTest::newRow("a millisecond under one") << Period - millisecond << 9;
        QTest::newRow("exactly three periods") << 3 * Period << 8;
    }

    void periodBoundary()
    {
        QFETCH(double, now);
        QFETCH(int, expected);
        const TWord word = dueWord(1, 0.0);
        QCOMPARE(word.NextAbility(1, now), expected);
    }

    void nextAbilityWithoutBook()
    {
        TWord word(nullptr, centre->Channel.get());
        word.Ability = 40;
        word.StudyTime = 45000;
        for (int mark : {0, 1, 2, 11, 5})
            QCOMPARE(word.NextAbility(mark, 45000.5), 1);
    }

    void nextAbilityReadsSpeedEachTime()
    {
        const TWord word = dueWord(10, 45000.0);
        const double now = 45000.0 + 15.5 * Period;
        QCOMPARE(word.NextAbility(1, now), 13);
        centre->UserInfo = QJsonObject{{"User_Speed", 24}};
        QCOMPARE(word.NextAbility(1, now), 18);
    }

    void loadWordFromDueRow_data()
    {
        QTest::addColumn<QString>("ownTexts"); // values for Symbol, Content, Sentence, Translation
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("meaning");
        QTest::addColumn<QString>("example");
        QTest::addColumn<QString>("exampleTrans");

        QTest::newRow("null own texts") << "null, null, null, null" << "sym" << "n. 第一  v. 第二"
                                        << "word example" << "word class";
        QTest::newRow("empty own texts") << "'', '', '', 'ignored'" << "sym" << "n. 第一  v. 第二"
                                         << "word example" << "word class";
        QTest::newRow("own texts") << "'own sym', ' own' || char(10) || 'meaning ', 'own sentence', 'own trans'"
                                   << "own sym" << "own meaning" << "own sentence" << "own trans";
    }

    void loadWordFromDueRow()
    {
        QFETCH(QString, ownTexts);
        QFETCH(QString, symbol);
        QFETCH(QString, meaning);
        QFETCH(QString, example);
        QFETCH(QString, exampleTrans);
        QVERIFY(fixture->run(
            QStringLiteral("insert into Vocamo (Vocamo_CategoryID, Vocamo_BookID, Vocamo_WordID, "
                           "Vocamo_Ability, Vocamo_Count, Vocamo_Round, Vocamo_Time, Vocamo_Symbol, "
                           "Vocamo_Content, Vocamo_Sentence, Vocamo_Translation) "
                           "values (31, 5, 100, 7, 4, 2, 45000.5, %1);").arg(ownTexts)));
        const auto word = loadDue(31, 5, 100, book.get());
        QVERIFY(word);
        QCOMPARE(word->Symbol, symbol);
        QCOMPARE(word->StudyTime, 45000.5);
        QCOMPARE(word->Ability, 7);
        QCOMPARE(word->LoadedAbility, 7);
        QCOMPARE(word->CategoryId, 31);
        QCOMPARE(int(word->Mark), 3);
        QCOMPARE(word->StudyCount, 4);
        QCOMPARE(word->NewSymbol, QStringLiteral("newsym"));
        QCOMPARE(word->Usage, 4);
        QCOMPARE(word->BookId, 5);
        QCOMPARE(word->Name, QStringLiteral("abc"));
        QCOMPARE(word->SourceName, QStringLiteral("kkkkabc"));
        QCOMPARE(word->Meaning, meaning);
        QCOMPARE(word->Example, example);
        QCOMPARE(word->ExampleTrans, exampleTrans);
        QCOMPARE(word->Explain, QStringLiteral("explain"));
        QCOMPARE(word->Aids, QStringLiteral("aids"));
        QCOMPARE(word->GreAntonym, QStringLiteral("gre"));
        QCOMPARE(word->Analogy, QStringLiteral("analogy"));
        QCOMPARE(word->Synonyms, QString());
        QCOMPARE(word->WordId, 100);
        QCOMPARE(word->ExampleExist, 1);
        QCOMPARE(word->Done, true);
        QCOMPARE(word->Book, book.get());
    }

    void loadWordMarkFromRound_data()
    {
        QTest::addColumn<int>("round");
        QTest::addColumn<int>("mark");
        QTest::newRow("round 0") << 0 << 0;
        QTest::newRow("round 1") << 1 << 2;
        QTest::newRow("round 5") << 5 << 6;
        QTest::newRow("round 9 capped") << 9 << 6;
    }

    void loadWordMarkFromRound()
    {
        QFETCH(int, round);
        QFETCH(int, mark);
        QVERIFY(fixture->run(QStringLiteral("insert into Vocamo (Vocamo_CategoryID, Vocamo_BookID, "
                                            "Vocamo_WordID, Vocamo_Round) values (0, 5, 101, %1);")
                                 .arg(round)));
        const auto word = loadDue(0, 5, 101, book.get());
        QVERIFY(word);
        QCOMPARE(int(word->Mark), mark);
    }

    void loadWordFromWordList()
    {
        SqliteDataset *ds = channel().Query(QString::fromLatin1(Statements::WordList)
                                            + QString::asprintf(Statements::WordListByName, "kkkkabc"));
        QVERIFY(ds);
        QVERIFY(!ds->eof());
        const auto word = TWord::LoadWord(*ds, false, nullptr, centre->Channel.get());
        QCOMPARE(word->WordId, 100);
        QCOMPARE(word->BookId, 1);
        QCOMPARE(word->Ability, 0);
        QCOMPARE(word->StudyTime, 0.0);
        QCOMPARE(int(word->Mark), 0);
        QCOMPARE(word->Symbol, QStringLiteral("sym"));
        QCOMPARE(word->Meaning, QStringLiteral("n. 第一  v. 第二"));
        QCOMPARE(word->Example, QStringLiteral("word example"));
        QCOMPARE(word->ExampleTrans, QStringLiteral("word class"));
        QCOMPARE(word->Name, QStringLiteral("abc"));
        QCOMPARE(word->Book, nullptr);
        QCOMPARE(word->Done, false);
    }

    void upperCaseOnlyForBookWords()
    {
        centre->Config.IsUpperCase = true;
        QVERIFY(fixture->run("insert into Vocamo (Vocamo_CategoryID, Vocamo_BookID, Vocamo_WordID) "
                             "values (0, 5, 101);"));
        QCOMPARE(loadDue(0, 5, 101, book.get())->Name, QStringLiteral("APPLE"));
        QCOMPARE(loadDue(0, 5, 101, nullptr)->Name, QStringLiteral("apple"));
        // The marker is removed after upper-casing, and kept in the source name.
        QVERIFY(fixture->run("update TotalWords set WORD_NAME = 'kkkkapple' where WORD_ID = 101;"));
        const auto word = loadDue(0, 5, 101, book.get());
        QCOMPARE(word->Name, QStringLiteral("APPLE"));
        QCOMPARE(word->SourceName, QStringLiteral("KKKKAPPLE"));
    }

    void commitDeletesOnlyItsRowAndSends()
    {
        QVERIFY(fixture->run(
            "insert into Vocamo (Vocamo_CategoryID, Vocamo_BookID, Vocamo_WordID, Vocamo_Ability, "
            "Vocamo_Count, Vocamo_Time) values "
            "(0, 5, 100, 10, 3, 45000), (31, 5, 100, 10, 3, 45000), (0, 6, 100, 10, 3, 45000), "
            "(0, 5, 101, 10, 3, 45000);"));
        RecordingSender sender;
        centre->SetWordMarkSender(&sender);
        auto word = loadDue(0, 5, 100, book.get());
        QVERIFY(word);
        word->Mark = 1;
        QVERIFY(word->Commit(45000 + 3.5 * Period));

        QCOMPARE(fixture->scalar("select count(*) from Vocamo"), 3);
        QCOMPARE(fixture->scalar("select count(*) from Vocamo where Vocamo_CategoryID = 0 and "
                                 "Vocamo_BookID = 5 and Vocamo_WordID = 100"), 0);
        QCOMPARE(sender.marks.size(), size_t(1));
        const auto &m = sender.marks.front();
        QCOMPARE(m.category, 0);
        QCOMPARE(m.book, 5);
        QCOMPARE(m.count, 4);
        QCOMPARE(m.ability, 18);
        QCOMPARE(m.word, 100);
        QCOMPARE(word->Ability, 18);
        QCOMPARE(word->StudyCount, 3);
    }

    void commitWithoutMarkUsesInitialState()
    {
        QVERIFY(fixture->run("insert into Vocamo (Vocamo_CategoryID, Vocamo_BookID, Vocamo_WordID, "
                             "Vocamo_Ability, Vocamo_Time) values (0, 5, 101, 10, 45000);"));
        centre->Config.InitialState = 11;
        RecordingSender sender;
        centre->SetWordMarkSender(&sender);
        auto word = loadDue(0, 5, 101, book.get());
        QVERIFY(word->Commit(45000.1));
        QCOMPARE(int(word->Mark), 11);
        QCOMPARE(sender.marks.at(0).ability, 66);
        QCOMPARE(sender.marks.at(0).count, 1);
    }

    void commitWithoutBookDoesNothing()
    {
        QVERIFY(fixture->run("insert into Vocamo (Vocamo_CategoryID, Vocamo_BookID, Vocamo_WordID) "
                             "values (0, 5, 101);"));
        RecordingSender sender;
        centre->SetWordMarkSender(&sender);
        auto word = loadDue(0, 5, 101, nullptr);
        word->Mark = 1;
        QVERIFY(!word->Commit(45000.1));
        QCOMPARE(fixture->scalar("select count(*) from Vocamo"), 1);
        QVERIFY(sender.marks.empty());
        QCOMPARE(int(word->Mark), 1);
    }

    void commitWithoutSenderStillDeletes()
    {
        QVERIFY(fixture->run("insert into Vocamo (Vocamo_CategoryID, Vocamo_BookID, Vocamo_WordID) "
                             "values (0, 5, 101);"));
        auto word = loadDue(0, 5, 101, book.get());
        QVERIFY(word->Commit(45000.1));
        QCOMPARE(fixture->scalar("select count(*) from Vocamo"), 0);
    }

    void saveExampleAndReload()
    {
        TWord word(nullptr, centre->Channel.get());
        word.WordId = 101;
        QVERIFY(word.SaveExample("It's an apple.", "这是一个苹果。"));
        QCOMPARE(fixture->scalar("select count(*) from TotalWords where WORD_EXAMPLE = 'It''s an apple.' "
                                 "and WORD_CLASS = '这是一个苹果。'"), 1);
        QVERIFY(fixture->run("update TotalWords set WORD_TRANS = 'a' || char(13) || 'b' where WORD_ID = 101;"));
        QVERIFY(word.ReloadTexts());
        QCOMPARE(word.Example, QStringLiteral("It's an apple."));
        QCOMPARE(word.ExampleTrans, QStringLiteral("这是一个苹果。"));
        QCOMPARE(word.Meaning, QStringLiteral("a b"));

        TWord missing(nullptr, centre->Channel.get());
        missing.WordId = 999;
        QVERIFY(!missing.SaveExample("x", "y"));
        QVERIFY(!missing.ReloadTexts());
        TWord unbound(nullptr, nullptr);
        QVERIFY(!unbound.SaveExample("x", "y"));
    }

    void relationCount()
    {
        QVERIFY(fixture->run("insert into RelationWord values (0, 101), (0, 101), (3, 101);"
                             "insert into LinkWords values (0, 101);"));
        TWord word(nullptr, centre->Channel.get());
        word.WordId = 101;
        QCOMPARE(word.RelationCountFor(), 2);
        word.LinkMode = true;
        QCOMPARE(word.RelationCountFor(), 1);
        word.WordId = 100;
        QCOMPARE(word.RelationCountFor(), 0);
    }

    void decipher()
    {
        TWord word(nullptr, nullptr);
        QCOMPARE(word.DecipherSynonyms(), QString());
        word.Synonyms = EncipherHexText("capable, competent", ContentKeys::Text(ContentKeys::Synonym), 0);
        word.Antonyms = EncipherHexText("unable", ContentKeys::Text(ContentKeys::Antonym), 0);
        QCOMPARE(word.DecipherSynonyms(), QStringLiteral("capable, competent"));
        QCOMPARE(word.DecipherAntonyms(), QStringLiteral("unable"));
        word.Antonyms = "not hex";
        QCOMPARE(word.DecipherAntonyms(), QString());
    }

    void markers_data()
    {
        QTest::addColumn<QString>("synonyms");
        QTest::addColumn<QString>("antonyms");
        QTest::addColumn<QString>("markers");
        QTest::newRow("none") << "" << "" << "";
        QTest::newRow("blanks only") << "  " << " " << "";
        QTest::newRow("synonyms") << "AB" << "" << "Z";
        QTest::newRow("antonyms") << "" << "CD" << "B";
        QTest::newRow("both") << "AB" << "CD" << "ZB";
    }

    void markers()
    {
        QFETCH(QString, synonyms);
        QFETCH(QString, antonyms);
        QFETCH(QString, markers);
        TWord word(nullptr, nullptr);
        word.Synonyms = synonyms;
        word.Antonyms = antonyms;
        QCOMPARE(word.Markers(), markers);
    }

    void lines()
    {
        TWord word(nullptr, nullptr);
        word.AddLine("one");
        word.AddLine("two");
        QCOMPARE(word.LineCount(), 2);
        QCOMPARE(word.GetLine(1), QStringLiteral("two"));
        QCOMPARE(word.GetLine(2), QString());
        QCOMPARE(word.GetLine(-1), QString());
        word.ClearLines();
        QCOMPARE(word.LineCount(), 0);
    }

    void clone()
    {
        TWord word(book.get(), centre->Channel.get());
        word.WordId = 7;
        word.Name = "n";
        word.Meaning = "m";
        word.Example = "e";
        word.Extra2 = "x2";
        word.ShowTrans = false;
        word.LinkMode = true;
        word.RelationCount = 3;
        word.SourceName = "kkkkn";
        word.ExampleExist = 1;
        word.Ability = 40;
        word.Mark = 2;
        const auto copy = word.Clone();
        QCOMPARE(copy->Book, book.get());
        QCOMPARE(copy->Channel, centre->Channel.get());
        QCOMPARE(copy->WordId, 7);
        QCOMPARE(copy->Name, QStringLiteral("n"));
        QCOMPARE(copy->Meaning, QStringLiteral("m"));
        QCOMPARE(copy->Example, QStringLiteral("e"));
        QCOMPARE(copy->Extra2, QStringLiteral("x2"));
        QCOMPARE(copy->ShowTrans, false);
        QCOMPARE(copy->LinkMode, true);
        QCOMPARE(copy->RelationCount, 3);
        QCOMPARE(copy->SourceName, QStringLiteral("kkkkn"));
        QCOMPARE(copy->ExampleExist, 1);
        QCOMPARE(copy->Ability, 0);
        QCOMPARE(int(copy->Mark), 0);
    }

    void pageWords()
    {
        TWord a(nullptr, nullptr), b(nullptr, nullptr), c(nullptr, nullptr);
        a.Name = "beta"; a.Ability = 5;
        b.Name = "Alpha"; b.Ability = 5;
        c.Name = "gamma"; c.Ability = 1;
        TPageWords page;
        QVERIFY(page.AllDone());
        page.Add(&a);
        page.Add(&b);
        page.Add(&c);
        QCOMPARE(c.PagePosition, 3);
        QCOMPARE(page.Get(3), nullptr);
        QCOMPARE(page.Get(-1), nullptr);
        QVERIFY(!page.AllDone());
        page.SortByAbility();
        QCOMPARE(page.Get(0), &c);
        QCOMPARE(page.Get(1), &b);
        QCOMPARE(page.Get(2), &a);
        a.Done = b.Done = c.Done = true;
        QVERIFY(page.AllDone());
        page.Delete(0);
        page.Delete(7);
        QCOMPARE(page.Count(), 2);
        QCOMPARE(page.Get(0), &b);
    }

    void pageExamples()
    {
        TPageExamples page;
        QVERIFY(page.AllDone());
        page.Add(std::make_unique<TExample>("  one ", 0, " 一 "));
        TExample *second = page.Add(std::make_unique<TExample>("two", 1, "二"));
        QCOMPARE(second->PagePosition, 2);
        QCOMPARE(page.Get(0)->Sentence, QStringLiteral("one"));
        QCOMPARE(page.Get(0)->Translation, QStringLiteral("一"));
        QCOMPARE(page.Get(2), nullptr);
        QVERIFY(!page.AllDone());
        page.Get(0)->Kind = 1;
        QVERIFY(page.AllDone());
    }
};

QTEST_GUILESS_MAIN(TestWord)
#include "tst_word.moc"
