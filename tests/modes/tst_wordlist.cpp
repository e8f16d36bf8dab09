// The English-to-Chinese word list on the host, signed in against the embedded reference
// server with a copy of the sample store: screen splitting, marks and their colours and
// labels, committing one word, a screen and the unmarked words, and the delayed
// pronunciation.

#include "support/ModesFixture.h"

#include "controls/Symbols.h"
#include "dialogs/Recordfrm.h"
#include "modes/ModeFactory.h"
#include "modes/WordListStrategy.h"
#include "server/ReferenceServer.h"
#include "sync/Requests.h"
#include "sync/ServerLink.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <QPixmap>

namespace {

// A list whose rows all have the same height, chosen by the test: either a fraction of
// the grid (rowsPerScreen words per screen) or a total of the page (pageHeights grid
// heights for the whole page).
class TFixedRowList : public TStandardStrategy
{
public:
    using TStandardStrategy::TStandardStrategy;

    int ItemHeight(TWord *item) override
    {
        TStandardStrategy::ItemHeight(item);
        const int grid = Grid->height();
        if (RowsPerScreen > 0)
            return grid / RowsPerScreen - 2;
        const int words = PageWords ? int(PageWords->size()) : 1;
        return int(grid * PageHeights / words);
    }

    int RowsPerScreen = 5;
    double PageHeights = 0;
};

QString Status(TQueueWorld &world, const QString &name)
{
    TWordSymbol *label = world.StatusLabel(name);
    return label ? label->Caption() : QString();
}

} // namespace

class TestWordList : public QObject
{
    Q_OBJECT

    // A fresh host per test; the client is declared after the fixture so that it also goes
    // first, as it holds the fixture's data centre.
    std::unique_ptr<ModesFixture> fx;
    std::unique_ptr<TSyncClient> client;
    TFixedRowList *list = nullptr;
    TQueueWorld *world = nullptr;

    // What init() prepares: nothing for the tests of plain functions, only the host for the
    // tests that open their own list (or none), and the signed-in default list for the rest.
    enum class SetUp { Nothing, Host, List };

    static SetUp setUpFor(const QByteArray &test)
    {
        static const QHash<QByteArray, SetUp> own = {
            {"meaningTextForms", SetUp::Nothing},
            {"markColours", SetUp::Nothing},
            {"factoryGivesTheListOfTheTrack", SetUp::Host},
            {"pageOfOneAndAHalfGridsIsTwoScreens", SetUp::Host},
            {"tallWordGetsAScreenOfItsOwn", SetUp::Host},
            {"screenshotOfARevealedScreen", SetUp::Host},
        };
        return own.value(test, SetUp::List);
    }

    // Signs in and opens the first book in a TFixedRowList set up by configure; false when
    // it cannot, or when this test already has its list.
    bool open(const std::function<void(TFixedRowList &)> &configure = {})
    {
        if (list)
            return false;
        client = std::make_unique<TSyncClient>(*fx->centre);
        if (!SignIn(QStringLiteral("8613900000001"), QStringLiteral("123456")))
            return false;
        fx->centre->Config.InitialState = 11;
        fx->centre->Config.AlwaysShowTrans = false;
        fx->window->show();
        world = &fx->makeWorld();
        world->BookModeFactory = [configure](TQueueWorld &w, int, TUserBook *book) {
            auto made = std::make_unique<TFixedRowList>(w.Foundation, &w, book);
            if (configure)
                configure(*made);
            return made;
        };
        world->Arrange();
        world->Activate();
        list = dynamic_cast<TFixedRowList *>(world->TopLayer());
        return list != nullptr;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        const SetUp setUp = setUpFor(QTest::currentTestFunction());
        if (setUp == SetUp::Nothing)
            return;
        fx = std::make_unique<ModesFixture>();
        QVERIFY(fx->ready());
        if (setUp == SetUp::List)
            QVERIFY(open());
    }

    // The layers stop while the client can still take their marks; then the client goes,
    // then the host it works on.
    void cleanup()
    {
        if (fx && fx->world) {
            fx->world->StopAll();
            fx->world->Load();
        }
        list = nullptr;
        world = nullptr;
        client.reset();
        fx.reset();
    }

    void factoryGivesTheListOfTheTrack_data()
    {
        QTest::addColumn<int>("track");
        QTest::addColumn<int>("layer");
        QTest::addColumn<bool>("reverse");
        QTest::newRow("English to Chinese") << 0 << 1 << false;
        QTest::newRow("Chinese to English") << 1 << 2 << true;
    }

    void factoryGivesTheListOfTheTrack()
    {
        QFETCH(int, track);
        QFETCH(int, layer);
        QFETCH(bool, reverse);
        auto mode = CreateBookMode(fx->makeWorld(), track, nullptr);
        auto *standard = dynamic_cast<TStandardStrategy *>(mode.get());
        QVERIFY(standard);
        QCOMPARE(standard->LayerId, layer);
        QCOMPARE(dynamic_cast<TReverseStrategy *>(mode.get()) != nullptr, reverse);
        QCOMPARE(standard->Kind(), TLayerKind::WordList);
    }

    void meaningTextForms()
    {
        TWord word(nullptr, nullptr);
        word.Name = QStringLiteral("apple");
        word.Symbol = QStringLiteral("'æpl");
        word.Meaning = QStringLiteral(" n. 苹果 ");
        word.Example = QStringLiteral(" an apple a day ");
        word.ExampleTrans = QStringLiteral(" 一天一苹果 ");
        TStandardStrategy standard(nullptr, nullptr, nullptr);
        QCOMPARE(standard.MeaningText(word, true),
                 QStringLiteral("'æpl$$n. 苹果 \r\n【例】an apple a day\r\n一天一苹果"));
        QCOMPARE(standard.MeaningText(word, false), QStringLiteral("'æpl$$n. 苹果 \r\n【例】an apple a day"));
        TTwoLineStrategy twoLine(nullptr, nullptr, 0);
        QCOMPARE(twoLine.MeaningText(word, true),
                 QStringLiteral("'æpl$$n. 苹果\r\n【例】 an apple a day \r\n一天一苹果"));
        word.Example.clear();
        word.Symbol = QStringLiteral("  ");
        QCOMPARE(twoLine.MeaningText(word, true), QStringLiteral("n. 苹果"));
        // The English-to-Chinese list keeps the example line even without an example.
        QCOMPARE(standard.MeaningText(word, false), QStringLiteral("  $$n. 苹果 \r\n【例】"));
        QCOMPARE(TReverseStrategy::RevealText(word, true), QStringLiteral("n. 苹果$$apple##%%%"));
        QCOMPARE(TReverseStrategy::RevealText(word, false), QStringLiteral("n. 苹果$$apple##{{{"));
    }

    void markColours_data()
    {
        QTest::addColumn<int>("mark");
        QTest::addColumn<uint>("colour");
        QTest::newRow("none") << 0 << 0u;
        QTest::newRow("familiar") << 1 << 0xF0CAA6u;
        QTest::newRow("recognised") << 2 << 0x00FFFFu;
        QTest::newRow("3") << 3 << 0xFF00FEu;
        QTest::newRow("10") << 10 << 0xFF00FEu;
        QTest::newRow("remembered") << 11 << 0x38900Du;
        QTest::newRow("12") << 12 << 0u;
    }

    void markColours()
    {
        QFETCH(int, mark);
        QFETCH(uint, colour);
        QCOMPARE(TStandardStrategy::MarkColor(mark), quint32(colour));
    }

    void pageOfOneAndAHalfGridsIsTwoScreens()
    {
        QVERIFY(open([](TFixedRowList &l) {
            l.RowsPerScreen = 0;
            l.PageHeights = 1.5;
        }));
        QVERIFY(list->PageWords && list->PageWords->size() >= 10);
        QCOMPARE(list->SubPageCount(), 2);
        QCOMPARE(Status(*world, QStringLiteral("页数")), QStringLiteral("(1/2)1"));
        int rows = 0;
        for (const auto &screen : *list->Screens) {
            int sum = 0;
            for (int i = 0; i < screen->Count(); ++i)
                sum += screen->Get(i)->GridTag + 1;
            QVERIFY(sum <= world->Grid->height());
            rows += screen->Count();
        }
        QCOMPARE(rows, int(list->PageWords->size()));
        world->Perform(39, 0);
        QCOMPARE(list->SubPageIndex, 1);
        QCOMPARE(Status(*world, QStringLiteral("页数")), QStringLiteral("(2/2)1"));
        QCOMPARE(world->Grid->RowCount(), list->CurrentScreen->Count());
    }

    void tallWordGetsAScreenOfItsOwn()
    {
        QVERIFY(open([](TFixedRowList &l) {
            l.RowsPerScreen = 0;
            l.PageHeights = 1000; // every word taller than the grid
        }));
        QCOMPARE(list->SubPageCount(), int(list->PageWords->size()));
    }

    void markTwoColoursAndLabels()
    {
        TWord *word = list->CurrentWord();
        QVERIFY(word);
        world->Perform(50, 0); // "2"
        QCOMPARE(int(word->Mark), 2);
        QCOMPARE(world->Grid->Cell(0, 0)->BackColor(), quint32(0x00FFFF));
        QCOMPARE(Status(*world, QStringLiteral("记忆分值")),
                 QStringLiteral("%1->%2").arg(word->Ability).arg(word->NextAbility(2)));
        QVERIFY(Status(*world, QStringLiteral("记忆状态")).startsWith(TDataCenter::StateLabel(2)));
        // Ctrl with a digit, and 0 and = map as the keys say.
        world->Perform(51, 4);
        QCOMPARE(int(word->Mark), 2);
        world->Perform(48, 0);
        QCOMPARE(int(word->Mark), 10);
        world->Perform(187, 0);
        QCOMPARE(int(word->Mark), 11);
        QCOMPARE(world->Grid->Cell(0, 0)->BackColor(), quint32(0x38900D));
    }

    void enterCommitsTheMarkedAbility()
    {
        TWord *word = list->CurrentWord();
        const int wordId = word->WordId;
        const int expected = word->NextAbility(2);
        const int count = word->StudyCount;
        const int screenWords = list->CurrentScreen->Count();
        const int shown = list->Book->ShownCount;
        world->Perform(50, 0);
        world->Perform(13, 0);
        QCOMPARE(list->CurrentScreen->Count(), screenWords - 1);
        QCOMPARE(list->Book->ShownCount, shown + 1);
        QVERIFY(Status(*world, QStringLiteral("今天背记词数")).startsWith(QString::number(shown + 1) + u'('));
        QVERIFY(client->WaitForQueue(10000));
        TReferenceServer *server = client->Link().EmbeddedServer();
        QVERIFY(server);
        const auto state = server->wordState(QStringLiteral("8613900000001"), fx->centre->StudyCategory(),
                                             list->Book->BookId, wordId);
        QVERIFY(state.exists);
        QCOMPARE(state.ability, expected);
        QCOMPARE(state.count, count + 1);
    }

    void enterOnTheLastWordMovesToTheNextScreen()
    {
        QVERIFY(list->SubPageCount() >= 2);
        TPageWords *first = list->CurrentScreen;
        const int words = first->Count();
        for (int i = 0; i < words; ++i)
            world->Perform(13, 0);
        QCOMPARE(first->Count(), 0);
        QCOMPARE(list->SubPageIndex, 1);
        QVERIFY(list->CurrentScreen != first);
        QVERIFY(list->CurrentScreen->Count() > 0);
        QCOMPARE(world->Grid->RowCount(), list->CurrentScreen->Count());
        // Going back finds no words on the emptied screen.
        world->Perform(37, 0);
        QCOMPARE(list->SubPageIndex, 1);
    }

    // Tool-bar tag 13: the note dialog; a title and a text go to the server as a note, and
    // its answer is confirmed with "添加成功！". A blank text sends nothing.
    void newContentSendsANote_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("title and text") << QStringLiteral("苹果树 apple tree") << QStringLiteral("添加成功！");
        QTest::newRow("blank text") << QStringLiteral("  ") << QString();
    }

    void newContentSendsANote()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QString message;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<TfrmRecord *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->edtTitle->setText(QStringLiteral("orchard"));
            dialog->mmoDesc->setPlainText(text);
            QTimer::singleShot(0, [&] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    message = box->text();
                    box->accept();
                }
            });
            dialog->accept();
        });
        world->ToolbarCommand(13);
        QCOMPARE(message, shown);
    }

    void backspaceSendsTheScreenInOneRequest()
    {
        QCOMPARE(list->CurrentScreen->Count(), 5);
        QVERIFY(client->WaitForQueue(10000));
        // With the server down the requests stay queued, so they can be counted.
        client->Link().EmbeddedServer()->stop();
        world->Perform(50, 0);
        world->Perform(40, 0);
        world->Perform(49, 0);
        const int due = fx->centre->DueCount;
        const int pending = client->PendingCount();
        TPageWords *screen = list->CurrentScreen;
        world->Perform(8, 0);
        QCOMPARE(screen->Count(), 0);
        QCOMPARE(fx->centre->DueCount, due - 5);
        QCOMPARE(client->PendingCount(), pending + 1);
        QVERIFY(list->CurrentScreen != screen);
    }

    void kCommitsOnlyTheUnmarkedWords()
    {
        QVERIFY(client->WaitForQueue(10000));
        client->Link().EmbeddedServer()->stop();
        TPageWords *screen = list->CurrentScreen;
        QCOMPARE(screen->Count(), 5);
        TWord *a = screen->Get(1);
        TWord *b = screen->Get(3);
        world->Perform(40, 0);
        world->Perform(50, 0);
        world->Perform(40, 0);
        world->Perform(40, 0);
        world->Perform(49, 0);
        const int pending = client->PendingCount();
        const int due = fx->centre->DueCount;
        world->Perform(75, 0); // K
        QCOMPARE(list->CurrentScreen, screen);
        QCOMPARE(screen->Count(), 2);
        QCOMPARE(screen->Get(0), a);
        QCOMPARE(screen->Get(1), b);
        QCOMPARE(client->PendingCount(), pending + 3);
        QCOMPARE(fx->centre->DueCount, due - 3);
        QCOMPARE(world->Grid->RowCount(), 2);
    }

    void revealAndHide()
    {
        TPageWords *screen = list->CurrentScreen;
        QVERIFY(!screen->Get(0)->Done);
        QVERIFY(world->Grid->CellText(1, 0).isEmpty());
        world->Perform(32, 0); // Space
        QVERIFY(screen->Get(0)->Done);
        QVERIFY(world->Grid->CellText(1, 0).contains(QStringLiteral("【例】")));
        world->Perform(83, 0); // S: not all revealed -> reveal all
        QVERIFY(screen->AllDone());
        world->Perform(83, 0); // all revealed -> hide all
        for (int i = 0; i < screen->Count(); ++i)
            QVERIFY(!screen->Get(i)->Done);
        world->Perform(83, 0);
        world->Perform(70, 4); // Ctrl+F: the list leaves it alone
        QVERIFY(screen->AllDone());
        world->Perform(70, 0);
        QVERIFY(!screen->Get(2)->Done);
        world->Perform(86, 0); // V
        QVERIFY(list->ShowMeanings);
        QCOMPARE(Status(*world, QStringLiteral("显示状态")), QStringLiteral("V"));
        QVERIFY(screen->AllDone());
        world->Perform(86, 0);
        QVERIFY(Status(*world, QStringLiteral("显示状态")).isEmpty());
        // H alternates the marked and the unmarked words.
        world->Perform(50, 0);
        world->Perform(72, 0);
        QVERIFY(screen->Get(0)->Done);
        QVERIFY(!screen->Get(1)->Done);
        world->Perform(72, 0);
        QVERIFY(!screen->Get(0)->Done);
        QVERIFY(screen->Get(1)->Done);
        // X sets every translation when one is missing, D flips one.
        const bool before = screen->Get(0)->ShowTrans;
        world->Perform(68, 0);
        QCOMPARE(screen->Get(0)->ShowTrans, !before);
        world->Perform(88, 0);
        bool all = true;
        for (int i = 0; i < screen->Count(); ++i)
            all = all && screen->Get(i)->ShowTrans;
        QVERIFY(all);
        world->Perform(88, 0);
        QVERIFY(!screen->Get(3)->ShowTrans);
    }

    void pronouncesOnlyWhenTheSelectionStayed()
    {
        fx->centre->Config.Pronounce = true;
        QStringList spoken;
        world->HasAudioOutput = [] { return true; };
        world->SoundPlayer = [&spoken](const TWord &word) { spoken << word.Name; };
        QCOMPARE(list->PronounceTimer()->interval(), 500);

        // Moved on before the tick: nothing.
        world->Perform(40, 0);
        TWord *first = list->CurrentWord();
        QCOMPARE(list->PronounceWord, first);
        QVERIFY(list->PronounceTimer()->isActive());
        world->Grid->SetSelectedRow(2);
        list->PronounceTick();
        QVERIFY(spoken.isEmpty());
        QVERIFY(!list->PronounceTimer()->isActive());

        // Stayed: spoken once, by the timer.
        world->Perform(40, 0);
        TWord *stayed = list->CurrentWord();
        QTRY_COMPARE(spoken.size(), 1);
        QCOMPARE(spoken.first(), stayed->Name);
        QTest::qWait(700);
        QCOMPARE(spoken.size(), 1);
    }

    void screenshotOfARevealedScreen()
    {
        QVERIFY(open([](TFixedRowList &l) { l.RowsPerScreen = 6; }));
        world->Perform(83, 0);
        world->Perform(50, 0);
        world->Perform(40, 0);
        world->Perform(49, 0);
        world->Perform(40, 0);
        world->Perform(187, 0);
        world->Perform(40, 0);
        world->Perform(51, 0);
        QVERIFY(list->CurrentScreen->AllDone());
        const QPixmap shot = fx->window->grab();
        const QString bin = qEnvironmentVariable("VOCAMO_BIN_DIR");
        const QString folder = bin.isEmpty() ? QDir::currentPath() + QStringLiteral("/screenshots")
                                             : QDir(bin).absoluteFilePath(QStringLiteral("../screenshots"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(shot.save(folder + QStringLiteral("/wordlist.png")));
    }
};

QTEST_MAIN(TestWordList)
#include "tst_wordlist.moc"
