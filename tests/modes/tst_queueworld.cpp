// The layer host: key routing, command translation and aliases, layer rules, tool clicks
// and overflow, the host timer, the word card position and the window shape.

#include "support/ModesFixture.h"

#include "controls/SimpleGrid.h"
#include "controls/Symbols.h"
#include "platform/gui/KeyCodes.h"
#include "store/Channels.h"

#include <QAction>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>

namespace {

// A word of the sample store that has both dictionary entries and examples.
std::unique_ptr<TWord> RichWord(TDataCenter &centre)
{
    auto word = std::make_unique<TWord>(nullptr, centre.Channel.get());
    word->WordId = 1;
    word->Name = QStringLiteral("able");
    word->SourceName = word->Name;
    word->ExampleExist = 1;
    return word;
}

// Key press -> command, as the main window passes it on.
void Press(TQueueWorld &world, int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(QEvent::KeyPress, qtKey, modifiers);
    world.Perform(vocamo::VirtualKeyFromEvent(&event), vocamo::CommandFlagsFromKey(&event));
}

} // namespace

class TestQueueWorld : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ModesFixture> fx;
    std::vector<TLayerKind> made; // kinds the layer factory was asked for

    TTestLayer *pushLayer(TLayerKind kind = TLayerKind::WordList, std::vector<int> pages = {1})
    {
        auto layer = std::make_unique<TTestLayer>(*fx->world, kind, std::move(pages));
        layer->Word = RichWord(*fx->centre);
        TTestLayer *raw = layer.get();
        fx->world->Push(std::move(layer));
        return raw;
    }

    TTestLayer *top() const { return static_cast<TTestLayer *>(fx->world->TopLayer()); }

private slots:
    void init()
    {
        fx = std::make_unique<ModesFixture>();
        QVERIFY(fx->ready());
        made.clear();
        TQueueWorld &world = fx->makeWorld();
        world.LayerFactory = [this](TQueueWorld &w, TLayerRequest request) -> std::unique_ptr<TQueueStrategy> {
            made.push_back(request.Kind);
            auto layer = std::make_unique<TTestLayer>(w, request.Kind, std::vector<int>{1});
            layer->Word = std::move(request.Word);
            return layer;
        };
    }
    void cleanup() { fx.reset(); }

    void performResetsFlags()
    {
        TTestLayer *layer = pushLayer();
        fx->world->Perform(36, 4);
        QCOMPARE(layer->Commands.back(), std::make_pair(10036, 4));
        QCOMPARE(layer->Flags, quint8(0));
        QCOMPARE(fx->world->Flags, quint8(0));
        // Also when the command means nothing.
        fx->world->Perform(1234, 4);
        QCOMPARE(layer->Flags, quint8(0));
    }

    void keysReachTheTopLayerTranslated_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("flags");
        QTest::newRow("Home") << int(Qt::Key_Home) << 0 << 10036 << 0;
        QTest::newRow("A") << int(Qt::Key_A) << 0 << 10065 << 0;
        QTest::newRow("Ctrl+A") << int(Qt::Key_A) << int(Qt::ControlModifier) << 10065 << 4;
        QTest::newRow("F1") << int(Qt::Key_F1) << 0 << 10112 << 0;
        QTest::newRow(";") << int(Qt::Key_Semicolon) << 0 << 10186 << 0;
    }
    void keysReachTheTopLayerTranslated()
    {
        QFETCH(int, qtKey);
        QFETCH(int, modifiers);
        QFETCH(int, command);
        QFETCH(int, flags);
        pushLayer(TLayerKind::Other);
        TTestLayer *upper = pushLayer(TLayerKind::Search);
        Press(*fx->world, qtKey, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(upper->Commands.back(), std::make_pair(command, flags));
        // Only the top layer is offered the command.
        QVERIFY(static_cast<TTestLayer *>(fx->world->LayerAt(0))->Commands.empty());
    }

    void escPopsTheTopLayerOnly()
    {
        int destroyed = 0;
        pushLayer(TLayerKind::WordList)->Destroyed = &destroyed;
        pushLayer(TLayerKind::Example)->Destroyed = &destroyed;
        Press(*fx->world, Qt::Key_Escape);
        QCOMPARE(fx->world->LayerCount(), 1);
        QCOMPARE(destroyed, 1);
        // The last layer never pops.
        Press(*fx->world, Qt::Key_Escape);
        QCOMPARE(fx->world->LayerCount(), 1);
        QCOMPARE(destroyed, 1);
    }

    void escKeepsALayerThatRefusesToClose()
    {
        pushLayer(TLayerKind::WordList);
        pushLayer(TLayerKind::Example)->Closable = false;
        Press(*fx->world, Qt::Key_Escape);
        QCOMPARE(fx->world->LayerCount(), 2);
    }

    void escAliasPops()
    {
        pushLayer(TLayerKind::WordList);
        pushLayer(TLayerKind::Example);
        // The host translates before it compares, so the alias arrives already shifted.
        fx->world->Perform(-714883567 - 10000, 0);
        QCOMPARE(fx->world->LayerCount(), 1);
    }

    void pushCallsInOrderAndPopReactivates()
    {
        TTestLayer *lower = pushLayer(TLayerKind::WordList, {2});
        lower->GoToPage(0, 1);
        pushLayer(TLayerKind::Example);
        lower->Painted.clear();
        Press(*fx->world, Qt::Key_Escape);
        // Coming back shows the page it was on.
        QVERIFY(!lower->Painted.empty());
        QCOMPARE(lower->Painted.back(), std::make_pair(0, 1));
        QCOMPARE(fx->world->TopLayer(), lower);
    }

    void noSecondLayerOfTheSameKind_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("kind");
        QTest::newRow("Q word status") << int(Qt::Key_Q) << int(TLayerKind::WordInfo);
        QTest::newRow("A examples") << int(Qt::Key_A) << int(TLayerKind::Example);
        QTest::newRow("E dictionary") << int(Qt::Key_E) << int(TLayerKind::Dictionary);
        QTest::newRow("P spell drill") << int(Qt::Key_P) << int(TLayerKind::SpellDrill);
    }
    void noSecondLayerOfTheSameKind()
    {
        QFETCH(int, qtKey);
        QFETCH(int, kind);
        pushLayer(TLayerKind::WordList);
        Press(*fx->world, qtKey);
        QCOMPARE(fx->world->LayerCount(), 2);
        QCOMPARE(int(fx->world->TopLayer()->Kind()), kind);
        Press(*fx->world, qtKey);
        QCOMPARE(fx->world->LayerCount(), 2);
    }

    void ctrlVariantsOpenNothing_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::newRow("Ctrl+E") << int(Qt::Key_E);
        QTest::newRow("Ctrl+U") << int(Qt::Key_U);
        QTest::newRow("Ctrl+A") << int(Qt::Key_A);
        QTest::newRow("Ctrl+Q") << int(Qt::Key_Q);
    }
    void ctrlVariantsOpenNothing()
    {
        QFETCH(int, qtKey);
        pushLayer(TLayerKind::WordList);
        Press(*fx->world, qtKey, Qt::ControlModifier);
        QCOMPARE(fx->world->LayerCount(), 1);
        QVERIFY(made.empty());
    }

    void statisticsOnlyOverAWordBookLayer()
    {
        pushLayer(TLayerKind::Example);
        Press(*fx->world, Qt::Key_U);
        QVERIFY(made.empty());
        pushLayer(TLayerKind::OneWord);
        Press(*fx->world, Qt::Key_U);
        QCOMPARE(made, std::vector<TLayerKind>{TLayerKind::Statistics});
    }

    void lookupsNeedAWord()
    {
        TTestLayer *layer = pushLayer(TLayerKind::WordList);
        layer->Word.reset();
        for (int key : {Qt::Key_Q, Qt::Key_A, Qt::Key_E, Qt::Key_P, Qt::Key_Z, Qt::Key_B})
            Press(*fx->world, key);
        QCOMPARE(fx->world->LayerCount(), 1);
        QVERIFY(made.empty());
    }

    void fWithoutCtrlDoesNothingAtHostLevel()
    {
        pushLayer(TLayerKind::WordList);
        Press(*fx->world, Qt::Key_F);
        QCOMPARE(fx->world->LayerCount(), 1);
    }

    void toolIdsAbove600AreCtrlVariants_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("layers");
        QTest::newRow("65 is A: examples open") << 65 << 10065 << 0 << 2;
        QTest::newRow("665 is Ctrl+A: nothing opens") << 665 << 10065 << 4 << 1;
        QTest::newRow("600 is plain") << 600 << 10600 << 0 << 1;
        QTest::newRow("601 is Ctrl+1") << 601 << 10001 << 4 << 1;
    }
    void toolIdsAbove600AreCtrlVariants()
    {
        QFETCH(int, entry);
        QFETCH(int, command);
        QFETCH(int, flags);
        QFETCH(int, layers);
        TTestLayer *layer = pushLayer(TLayerKind::WordList);
        fx->world->ToolClick(entry, nullptr, false);
        QCOMPARE(layer->Commands.back(), std::make_pair(command, flags));
        QCOMPARE(fx->world->LayerCount(), layers);
    }

    void playWordFromToolEntries_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<bool>("pronounce");
        QTest::addColumn<bool>("device");
        QTest::addColumn<int>("played");
        QTest::newRow("687 is Ctrl+W") << 687 << true << true << 1;
        QTest::newRow("87 is W") << 87 << true << true << 1;
        QTest::newRow("pronunciation off") << 687 << false << true << 0;
        QTest::newRow("no output device") << 87 << true << false << 0;
    }
    void playWordFromToolEntries()
    {
        QFETCH(int, entry);
        QFETCH(bool, pronounce);
        QFETCH(bool, device);
        QFETCH(int, played);
        pushLayer(TLayerKind::WordList);
        QStringList sounds;
        fx->world->SoundPlayer = [&sounds](const TWord &word) { sounds << word.SourceName; };
        fx->world->HasAudioOutput = [device] { return device; };
        fx->centre->Config.Pronounce = pronounce;
        fx->world->ToolClick(entry, nullptr, false);
        QCOMPARE(sounds.size(), played);
        if (played)
            QCOMPARE(sounds.first(), QStringLiteral("able"));
    }

    void toolClickWithCtrlHeldDoesNothing()
    {
        TTestLayer *layer = pushLayer(TLayerKind::WordList);
        fx->world->ToolClick(65, nullptr, true);
        QVERIFY(layer->Commands.empty());
    }

    void toolButtonsOverflowIntoTheMenu()
    {
        fx->centre->Config.ShowTipPanel = true;
        TTestLayer *layer = pushLayer(TLayerKind::WordList);
        for (int i = 0; i < 12; ++i)
            layer->Entries.push_back({65 + i, QStringLiteral("功能按钮%1(CTRL+%2)").arg(i).arg(QChar(u'A' + i)),
                                      QStringLiteral("提示%1").arg(i), QString()});
        layer->Arrange();
        layer->Show();
        TQueueWorld &world = *fx->world;
        const int panelWidth = world.ToolPanel->width();
        QCOMPARE(panelWidth, fx->window->width() - 74);

        // Expected split, by the rule: a button fits while x + width + 18 < panel width.
        const QFontMetrics metrics(world.ToolButtons[0]->font());
        int x = 0, fitting = 0;
        for (const TTip &entry : layer->Entries) {
            const int width = metrics.horizontalAdvance(entry.Title) + 6;
            if (x + width + 18 >= panelWidth)
                break;
            x += width + 2;
            ++fitting;
        }
        QVERIFY2(fitting > 0 && fitting < 12, "the fixture should overflow");
        for (int i = 0; i < fitting; ++i) {
            QVERIFY(!world.ToolButtons[size_t(i)]->isHidden());
            QCOMPARE(world.ToolButtons[size_t(i)]->Caption(), layer->Entries[size_t(i)].Title);
            QCOMPARE(world.ToolButtons[size_t(i)]->Tag(), layer->Entries[size_t(i)].Key);
        }
        QVERIFY(world.ToolButtons[size_t(fitting)]->isHidden());
        QCOMPARE(world.MoreButton->x(), x);
        QVERIFY(!world.MoreButton->isHidden());

        const QList<QAction *> items = world.OverflowMenu->actions();
        QCOMPARE(items.size(), 12 - fitting + 1);
        for (int i = fitting; i < 12; ++i)
            QCOMPARE(items[i - fitting]->text(), layer->Entries[size_t(i)].Title);
        QCOMPARE(items.last()->text(), QStringLiteral("更多..."));
        QCOMPARE(items.last()->data().toInt(), TQueueStrategy::MoreEntryKey);

        // An overflow item performs its entry like a button.
        items.first()->trigger();
        QCOMPARE(layer->Commands.back().first, 10000 + layer->Entries[size_t(fitting)].Key);
    }

    void disabledEntriesAreGreyed()
    {
        fx->centre->Config.ShowTipPanel = true;
        TTestLayer *layer = pushLayer(TLayerKind::WordList);
        layer->Word->ExampleExist = 0;     // A disabled
        layer->Word->RelationCount = 0;    // R disabled
        layer->Entries = {{65, QStringLiteral("例句(A)"), {}, {}}, {82, QStringLiteral("关联(R)"), {}, {}},
                          {87, QStringLiteral("发音(W)"), {}, {}}, {665, QStringLiteral("无(CTRL+A)"), {}, {}}};
        layer->Arrange();
        layer->Show();
        const auto &buttons = fx->world->ToolButtons;
        QVERIFY(!buttons[0]->isEnabled());
        QVERIFY(!buttons[1]->isEnabled());
        QVERIFY(buttons[2]->isEnabled());
        QVERIFY(buttons[3]->isEnabled()); // ids above 255 are never disabled
    }

    void disabledCommandsOfAWord()
    {
        TTestLayer *layer = pushLayer(TLayerKind::WordList);
        QVERIFY(layer->DisabledCommands(nullptr).none());
        TWord word(nullptr, fx->centre->Channel.get());
        word.WordId = 999999;
        const TCommandSet set = layer->DisabledCommands(&word);
        for (int key : {82, 90, 66, 69, 65})
            QVERIFY2(set.test(size_t(key)), qPrintable(QString::number(key)));
        QCOMPARE(int(set.count()), 5);
        const TCommandSet rich = layer->DisabledCommands(layer->Word.get());
        QVERIFY(!rich.test(69));
        QVERIFY(!rich.test(65));
    }

    void hostTimerTicksListenersAndSwitchesTo1000ms()
    {
        fx->window->show();
        pushLayer(TLayerKind::WordList);
        int ticks = 0;
        int dummy = 0;
        fx->world->AddTimerListener(&dummy, [&ticks] { ++ticks; });
        fx->world->AddTimerListener(&dummy, [&ticks] { ticks += 100; }); // once per owner
        QCOMPARE(fx->world->Timer->Interval(), TQueueWorld::ShowInterval);
        QTRY_VERIFY(ticks >= 1);
        QVERIFY(ticks < 100);
        QCOMPARE(fx->world->Timer->Interval(), TQueueWorld::TickInterval);
        fx->world->RemoveTimerListener(&dummy);
        const int before = ticks;
        fx->world->Tick();
        QCOMPARE(ticks, before);
    }

    void flashTurnsTheLabelGreyThenBack()
    {
        fx->window->show();
        pushLayer(TLayerKind::WordList);
        TWordSymbol *label = fx->world->StatusLabel(QStringLiteral("单词关联"));
        QVERIFY(label);
        fx->world->Flash(QStringLiteral("单词关联"));
        QCOMPARE(fx->world->Timer->Interval(), TQueueWorld::FlashInterval);
        QTRY_VERIFY(!label->Transparent());
        QCOMPARE(label->Color(), TQueueWorld::FlashColor);
        QTRY_VERIFY_WITH_TIMEOUT(label->Transparent(), 5000);
        QVERIFY(!fx->world->FlashPending);
    }

    void hintStaysForNineTicks()
    {
        fx->centre->Config.ShowTipPanel = true;
        TTestLayer *layer = pushLayer(TLayerKind::WordList);
        layer->SetBookTitle(QStringLiteral("[书]"), -1);
        TWordSymbol *label = fx->world->StatusLabel(QStringLiteral("书本名称"));
        fx->world->HintHandler(QStringLiteral("一条提示"));
        QCOMPARE(label->Caption(), QStringLiteral("一条提示"));
        QCOMPARE(label->width(), 300);
        for (int i = 0; i < 8; ++i)
            layer->HintTick();
        QCOMPARE(label->Caption(), QStringLiteral("一条提示"));
        layer->HintTick();
        QCOMPARE(label->Caption(), QStringLiteral("[书]"));
    }

    void hintsAreIgnoredWithoutTheToolPanel()
    {
        fx->centre->Config.ShowTipPanel = false;
        TTestLayer *layer = pushLayer(TLayerKind::WordList);
        layer->SetBookTitle(QStringLiteral("[书]"), -1);
        fx->world->HintHandler(QStringLiteral("一条提示"));
        QCOMPARE(fx->world->StatusLabel(QStringLiteral("书本名称"))->Caption(), QStringLiteral("[书]"));
    }

    void detachedLayerGetsNoTicksOrHints()
    {
        TTestLayer *lower = pushLayer(TLayerKind::WordList);
        pushLayer(TLayerKind::Example);
        lower->HintTicks = 0;
        fx->world->Tick();
        QCOMPARE(lower->HintTicks, 0);
        QCOMPARE(static_cast<TTestLayer *>(fx->world->TopLayer())->HintTicks, 1);
    }

    void showStatusLabels()
    {
        pushLayer(TLayerKind::WordList);
        pushLayer(TLayerKind::Example);
        QCOMPARE(fx->world->StatusLabel(QStringLiteral("书本状态"))->Caption(), QStringLiteral("测试2"));
        QCOMPARE(fx->world->StatusLabel(QStringLiteral("当前时间"))->Caption().size(), 5);
    }

    void openBookReplacesEveryLayer()
    {
        std::vector<int> tracks;
        fx->world->BookModeFactory = [&tracks](TQueueWorld &w, int track, TUserBook *book) -> std::unique_ptr<TQueueStrategy> {
            tracks.push_back(track);
            auto layer = std::make_unique<TTestLayer>(w, TLayerKind::WordList, std::vector<int>{1});
            layer->Book = book;
            return layer;
        };
        int destroyed = 0;
        pushLayer(TLayerKind::WordList)->Destroyed = &destroyed;
        pushLayer(TLayerKind::Example)->Destroyed = &destroyed;
        TUser *user = fx->centre->CurrentUser;
        user->LoadBooks();
        QVERIFY(user->BookCount() > 0);
        fx->world->ChooseStudyTrack(2);
        QCOMPARE(fx->centre->StudyTrack, 2);
        QCOMPARE(tracks, std::vector<int>{2});
        QCOMPARE(destroyed, 2);
        QCOMPARE(fx->world->LayerCount(), 1);
        QCOMPARE(fx->world->NotebookBook(), user->BookByIndex(0));
    }

    void bookMenuChecksTheStudyTrack()
    {
        fx->centre->StudyTrack = 1;
        fx->world->ToolbarCommand(1);
        const QList<QAction *> items = fx->world->BookMenuPopup->actions();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items[0]->text(), QStringLiteral("英文到中文"));
        QCOMPARE(items[3]->text(), QStringLiteral("单词听写"));
        QCOMPARE(items[3]->objectName(), QStringLiteral("mmiBook3"));
        QVERIFY(items[1]->isChecked());
        QVERIFY(!items[0]->isChecked());
        fx->world->BookMenuPopup->close();
    }

    void notebookBookRules()
    {
        TUser *user = fx->centre->CurrentUser;
        user->LoadBooks();
        TUserBook *book = user->BookByIndex(0);
        TTestLayer *oneWord = pushLayer(TLayerKind::OneWord);
        oneWord->Book = book;
        pushLayer(TLayerKind::Example);
        QCOMPARE(fx->world->NotebookBook(), book);
        fx->world->NoNotebook = true;
        QCOMPARE(fx->world->NotebookBook(), nullptr);
    }

    void toolbarPageButtons_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("page");
        QTest::newRow("first") << 31 << 0;
        QTest::newRow("previous") << 32 << 1;
        QTest::newRow("next") << 33 << 3;
        QTest::newRow("last") << 35 << 4;
    }
    void toolbarPageButtons()
    {
        QFETCH(int, tag);
        QFETCH(int, page);
        TTestLayer *layer = pushLayer(TLayerKind::WordList, {1, 1, 1, 1, 1});
        layer->GoToPage(2, 0);
        fx->world->ToolbarCommand(tag);
        QCOMPARE(layer->PageIndex, page);
        // Tags whose dialogs are not there do nothing.
        for (int other : {2, 6, 7, 8, 11, 12, 16, 99})
            fx->world->ToolbarCommand(other);
        QCOMPARE(fx->world->LayerCount(), 1);
    }

    void wordCardPosition_data()
    {
        QTest::addColumn<QPoint>("mouse");
        QTest::addColumn<QPoint>("expected");
        const QSize card(300, 200);
        QTest::newRow("middle") << QPoint(500, 400) << QPoint(505, 415);
        QTest::newRow("bottom-right") << QPoint(1800, 1000) << QPoint(1800 - 300 - 8, 1000 - 200 - 20);
        QTest::newRow("bottom edge exactly fits") << QPoint(100, 1080 - 218) << QPoint(105, 1080 - 218 + 15);
        QTest::newRow("one pixel over") << QPoint(100, 1080 - 217) << QPoint(105, 1080 - 217 - 220);
    }
    void wordCardPosition()
    {
        QFETCH(QPoint, mouse);
        QFETCH(QPoint, expected);
        QCOMPARE(TQueueWorld::CardPosition(mouse, QSize(300, 200), QSize(1920, 1080)), expected);
    }

    void windowShapeCutsTheCorners()
    {
        const QRegion shape = TQueueWorld::WindowShape(400, 300);
        QVERIFY(shape.contains(QPoint(200, 150)));
        QVERIFY(shape.contains(QPoint(1, 1)));
        QVERIFY(!shape.contains(QPoint(398, 1)));   // slanted top-right corner
        QVERIFY(!shape.contains(QPoint(2, 298)));   // slanted bottom-left corner
        QVERIFY(shape.contains(QPoint(380, 298)));
    }

    void foundationContextMenu()
    {
        TFoundation &foundation = *fx->foundation;
        QCOMPARE(foundation.ContextItem(2)->text(), QStringLiteral("查词"));
        QCOMPARE(foundation.ContextItem(9)->text(), QStringLiteral("选择荧光笔"));
        QCOMPARE(foundation.ContextItem(1), nullptr);
        QCOMPARE(foundation.ContextItem(11), nullptr);
        QCOMPARE(foundation.ContextMenu()->actions().size(), 12);
        foundation.SetBackgroundColor(0x0000FF);
        QCOMPARE(foundation.BackgroundColor(), 0x0000FFu);
        TFoundation none(nullptr);
        QCOMPARE(none.BackgroundColor(), 0xFFFFFFu);
    }

    void stopAllStopsTheTimer()
    {
        pushLayer(TLayerKind::WordList);
        QVERIFY(fx->world->Timer->Enabled());
        fx->world->StopAll();
        QVERIFY(!fx->world->Timer->Active());
    }
};

QTEST_MAIN(TestQueueWorld)
#include "tst_queueworld.moc"
