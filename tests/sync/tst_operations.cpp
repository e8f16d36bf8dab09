// The account operations and what they do to the local tables and to the server's state.

#include "CannedAnswers.h"
#include "SyncFixture.h"

#include "platform/SqliteDataset.h"
#include "store/Channels.h"
#include "store/Word.h"
#include "sync/ContentOperations.h"
#include "sync/Operations.h"

#include <QJsonArray>

namespace {

// Records the nodes a catalogue adds, as "parent>child".
class RecordingTree : public TCatalogueTree
{
public:
    void AddNode(TBookInfo *parent, TBookInfo *child, const QString &text, int image, int selected) override
    {
        nodes << parent->ListId + QLatin1Char('>') + child->ListId;
        QCOMPARE(text, child->ListTitle);
        QCOMPARE(image, 3);
        QCOMPARE(selected, 4);
    }
    QStringList nodes;
};

} // namespace

class TestOperations : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<StoreFixture> m_store;
    std::unique_ptr<TDataCenter> m_centre;

private slots:
    void init()
    {
        m_store = std::make_unique<StoreFixture>();
        QVERIFY(m_store->create(userRow(1, QStringLiteral("me"))));
        m_centre = m_store->openCentre();
    }
    void cleanup()
    {
        m_centre.reset();
        m_store.reset();
    }

    void dueWordsKeepOnlyWordType3()
    {
        CannedServer canned(DueWordsAnswer);
        TSyncClient client(*m_centre, settingsFor(canned.baseUrl()));
        m_centre->StudyTrack = 2;
        QVERIFY(m_store->run(QStringLiteral("insert into Vocamo (Vocamo_CategoryID, Vocamo_BookID, Vocamo_WordID) values (0, 9, 99)")));
        QVERIFY(DownloadDueWords());
        QCOMPARE(m_centre->DueCount, 2);
        QCOMPARE(canned.requests().at(0).value("CategoryID").toInt(), 31);
        QCOMPARE(m_store->scalar(QStringLiteral("select count(*) from Vocamo")), 2);
        QCOMPARE(m_store->scalar(QStringLiteral("select count(*) from Vocamo where Vocamo_WordID = 11 and Vocamo_Symbol is null "
                                                "and Vocamo_Sentence is null and Vocamo_Translation is null "
                                                "and Vocamo_Ability = 4 and Vocamo_Count = 2 and Vocamo_Round = 1 "
                                                "and Vocamo_Time = 25570")), 1);
        QCOMPARE(m_store->scalar(QStringLiteral("select count(*) from Vocamo where Vocamo_WordID = 12 and Vocamo_Symbol = '[s]' "
                                                "and Vocamo_Content = 'it''s' and Vocamo_Translation = '例子'")), 1);
    }

    void dueWordsFailureLeavesTheTableEmpty()
    {
        CannedServer canned(R"({"code":5,"data":[]})");
        TSyncClient client(*m_centre, settingsFor(canned.baseUrl()));
        QVERIFY(m_store->run(QStringLiteral("insert into Vocamo (Vocamo_CategoryID, Vocamo_BookID, Vocamo_WordID) values (0, 9, 99)")));
        m_centre->DueCount = 7;
        QVERIFY(!DownloadDueWords());
        QCOMPARE(m_centre->DueCount, 0);
        QCOMPARE(m_store->scalar(QStringLiteral("select count(*) from Vocamo")), 0);
    }

    void marksChangeTheServersState()
    {
        ServerFixture server;
        TSyncClient client(*m_centre, settingsFor(server.baseUrl()));
        QVERIFY(SignIn(testAccount(), QLatin1String(TestPassword)));
        QVERIFY(DownloadDueWords());
        QVERIFY(m_centre->DueCount >= 3);
        const int due = m_centre->DueCount;
        QCOMPARE(m_store->scalar(QStringLiteral("select count(*) from Vocamo")), due);

        SqliteDataset *rows = m_centre->Channel->Query(QStringLiteral("select * from Vocamo order by Vocamo_WordID"));
        QVERIFY(rows);
        std::vector<std::unique_ptr<TWord>> words;
        for (rows->first(); !rows->eof() && words.size() < 3; rows->next()) {
            auto word = std::make_unique<TWord>(nullptr, m_centre->Channel.get());
            word->WordId = rows->fieldByName("Vocamo_WordID").asInteger();
            word->BookId = rows->fieldByName("Vocamo_BookID").asInteger();
            word->CategoryId = rows->fieldByName("Vocamo_CategoryID").asInteger();
            word->StudyCount = rows->fieldByName("Vocamo_Count").asInteger();
            words.push_back(std::move(word));
        }
        // One word alone (operation 2), two as a page (operation 26).
        m_centre->WordMarkSender()->SendWordMark(words[0]->CategoryId, words[0]->BookId, 5, 40, words[0]->WordId);
        QCOMPARE(m_centre->DueCount, due - 1);
        TPageWords page;
        page.DefaultMark = 11;
        page.Add(words[1].get());
        page.Add(words[2].get());
        SendPageMarks(page);
        QCOMPARE(m_centre->DueCount, due - 3);
        QCOMPARE(int(words[1]->Mark), 11);
        QVERIFY(client.WaitForQueue());

        const auto single = server.server().wordState(testAccount(), words[0]->CategoryId, words[0]->BookId, words[0]->WordId);
        QVERIFY(single.exists);
        QCOMPARE(single.ability, 40);
        QCOMPARE(single.count, 5);
        for (int i = 1; i < 3; ++i) {
            const TWord &word = *words[size_t(i)];
            const auto state = server.server().wordState(testAccount(), word.CategoryId, word.BookId, word.WordId);
            QVERIFY(state.exists);
            QCOMPARE(state.ability, word.NextAbility(word.Mark));
            QCOMPARE(state.count, word.StudyCount + 1);
        }
        // The page's due rows are gone locally.
        QCOMPARE(m_store->scalar(QStringLiteral("select count(*) from Vocamo")), due - 2);
    }

    void emptyPageSendsNothing()
    {
        CannedServer canned(R"({"code":0})");
        TSyncClient client(*m_centre, settingsFor(canned.baseUrl()));
        TPageWords page;
        SendPageMarks(page);
        QVERIFY(client.WaitForQueue());
        QCOMPARE(int(canned.requests().size()), 0);
    }

    void settingsRoundTrip()
    {
        ServerFixture server;
        TSyncClient client(*m_centre, settingsFor(server.baseUrl()));
        QVERIFY(SignIn(testAccount(), QLatin1String(TestPassword)));
        TConfig &c = m_centre->Config;
        c.Examining = true;
        c.IsUpperCase = true;
        c.UseDeskTop = false;
        c.ShowCenter = false;
        c.ShowToolBar = false;
        c.ShowTipPanel = false;
        c.Pronounce = false;
        c.AlwaysShowTrans = false;
        c.ShowExampleTrans = false;
        c.GeneralFontSize = 21;
        c.FirstLineWidth = 222;
        c.DeskTopColor = 0x123456;
        c.InitialState = 2;
        c.BookColor = 0x654321;
        c.QuestionAnswerColor = 0xFF;
        c.QuestionKeyColor = 0xFF00;
        c.FormWidth = 1000;
        c.FormHeight = 800;
        c.Speed = 9;
        c.Addition = 40;
        c.FirstValue = 6;
        c.SecondValue = 3;
        const std::vector<std::pair<QString, int>> sent = SettingsEntries();
        QCOMPARE(int(sent.size()), 22);
        QCOMPARE(sent.front().first, QStringLiteral("User_Examining"));
        QCOMPARE(sent.back().first, QStringLiteral("User_SecondValue"));
        SaveSettings();
        QCOMPARE(m_centre->AccountSpeed(), 9); // applies at once to the memorisation rule
        QVERIFY(client.WaitForQueue());

        m_centre->Config = TConfig();
        m_centre->UserInfo = {};
        QVERIFY(SignIn(testAccount(), QLatin1String(TestPassword)));
        LoadSettings();
        std::vector<std::pair<QString, int>> loaded = SettingsEntries();
        QCOMPARE(loaded, sent);
    }

    void settingsGoOutAsOneBatchInOrder()
    {
        CannedServer canned(R"({"code":0})");
        TSyncClient client(*m_centre, settingsFor(canned.baseUrl()));
        SaveSettings();
        QVERIFY(client.WaitForQueue());
        const QJsonObject batch = canned.requests().at(0);
        QCOMPARE(batch.value("OperateType").toInt(), 37);
        const QJsonArray params = batch.value("params").toArray();
        QCOMPARE(params.size(), 22);
        const auto entries = SettingsEntries();
        for (int i = 0; i < 22; ++i) {
            QCOMPARE(params[i].toObject().value("OperateType").toInt(), 37);
            QCOMPARE(params[i].toObject().value("strBookID").toString(), entries[size_t(i)].first);
            QCOMPARE(params[i].toObject().value("VocamoAbility").toInt(), entries[size_t(i)].second);
        }
    }

    void catalogueLinksByParentIgnoringCase()
    {
        CannedServer canned(CatalogueAnswer);
        TSyncClient client(*m_centre, settingsFor(canned.baseUrl()));
        TBookInfo root(m_centre->Channel.get(), 0);
        root.ListId = QStringLiteral("root");
        RecordingTree tree;
        QVERIFY(LoadCatalogue(tree, root, 2));
        QCOMPARE(canned.requests().at(0).value("CategoryID").toInt(), 2);
        QCOMPARE(canned.requests().at(0).value("strBookID").toString(), QStringLiteral("0000"));
        QCOMPARE(tree.nodes, (QStringList{QStringLiteral("root>a1"), QStringLiteral("root>7"),
                                          QStringLiteral("a1>b"), QStringLiteral("a1>c")}));
        QCOMPARE(root.ChildCount(), 2);
        QVERIFY(root.Child(0)->InTree);
        QCOMPARE(root.Child(0)->ChildCount(), 2);
    }

    void noteLosesQuotesAndKeepsLineBreaks()
    {
        CannedServer canned(R"({"code":0,"data":{"Success":0}})");
        TSyncClient client(*m_centre, settingsFor(canned.baseUrl()));
        QVERIFY(AddNote(QStringLiteral("it's \"x\""), QStringLiteral("a'b\r\nc\"d")));
        QCOMPARE(canned.requests().at(0).value("strBookID").toString(), QStringLiteral("its x"));
        QCOMPARE(canned.requests().at(0).value("strDesc").toString(), QStringLiteral("ab<br>cd"));
        canned.setAnswer(R"({"code":0,"data":{"Success":1}})");
        QVERIFY(!AddNote(QStringLiteral("t"), QStringLiteral("x")));
    }

    void accountFieldUsesItsOwnEnvelope()
    {
        CannedServer canned(R"({"code":0})");
        TSyncClient client(*m_centre, settingsFor(canned.baseUrl()));
        SetAccountField(1, QStringLiteral("User_VocamoContent"), 31);
        QVERIFY(client.WaitForQueue());
        QCOMPARE(canned.operations(), QStringList{QStringLiteral("KX5ConfigVocamo2")});
        const QJsonObject request = canned.requests().at(0);
        QCOMPARE(request.size(), 4);
        QCOMPARE(request.value("FieldName").toString(), QStringLiteral("User_VocamoContent"));
        QCOMPARE(request.value("FieldValue").toInt(), 31);
    }

    void chapterQuestionsScoreRatio()
    {
        CannedServer canned(ChapterQuestionsAnswer);
        TSyncClient client(*m_centre, settingsFor(canned.baseUrl()));
        const auto questions = ListChapterQuestions(QStringLiteral("12"));
        QCOMPARE(int(questions.size()), 3);
        QCOMPARE(questions[0].ScoreRatio, 3.0);
        QCOMPARE(questions[0].LastDay, 40544);
        QCOMPARE(questions[1].TotalScore, 2);   // halves to even
        QCOMPARE(questions[1].LastDay, 41000);
        QCOMPARE(questions[2].Hardness, 0);
        QCOMPARE(questions[2].ScoreRatio, 0.0);
        QCOMPARE(questions[2].LastDay, 40544);
    }
};

QTEST_GUILESS_MAIN(TestOperations)
#include "tst_operations.moc"
