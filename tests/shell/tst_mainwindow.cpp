// The book window: its tool bar, the hover rule, key routing into the layer host (Esc with
// and without a host), the paging callback, the cover window, and a picture of the window
// after a real sign-in.

#include "support/ShellFixture.h"

#include "modes/QueueStrategy.h"
#include "modes/QueueWorld.h"
#include "shell/BookVocamofrm.h"
#include "shell/Desktopfrm.h"
#include "store/DataCenter.h"
#include "store/User.h"
#include "store/Word.h"
#include "sync/Requests.h"

#include <QPainter>
#include <QSignalSpy>
#include <QToolButton>

namespace {

// A layer that writes down every command with its flags.
class TProbeLayer : public TQueueStrategy
{
public:
    explicit TProbeLayer(TQueueWorld &world) : TQueueStrategy(world.Foundation, &world, 1) {}
    TLayerKind Kind() const override { return TLayerKind::Other; }
    void Execute(int command) override
    {
        Commands.push_back({command, Flags});
        TQueueStrategy::Execute(command);
    }
    std::vector<std::pair<int, int>> Commands;
};

struct SignedInWindow
{
    SignedInWindow()
    {
        ready = folder.addStore(QStringLiteral("Vocamo.mdb"));
        centre = std::make_unique<TDataCenter>(QStringLiteral("Vocamo.mdb"), QString());
        sync = std::make_unique<TSyncClient>(*centre);
        window = std::make_unique<TfrmBookVocamo>(*centre);
    }
    ~SignedInWindow()
    {
        window.reset();
        sync.reset();
        centre.reset();
    }
    bool signIn()
    {
        if (!SignIn(QStringLiteral("8613900000009"), QStringLiteral("123456")))
            return false;
        centre->SelectUser(0);
        centre->CurrentUser->LoadBooks();
        return true;
    }

    ShellFolder folder;
    bool ready = false;
    std::unique_ptr<TDataCenter> centre;
    std::unique_ptr<TSyncClient> sync;
    std::unique_ptr<TfrmBookVocamo> window;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void toolBarButtons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("visible");
        for (const auto &entry : TfrmBookVocamo::ToolEntries()) {
            if (QString::fromLatin1(entry.name).isEmpty())
                continue;
            QTest::newRow(entry.name) << QString::fromLatin1(entry.name) << entry.tag
                                      << QString::fromUtf8(entry.hint) << entry.visible;
        }
    }
    void toolBarButtons()
    {
        QFETCH(QString, name);
        QFETCH(int, tag);
        QFETCH(QString, hint);
        QFETCH(bool, visible);
        SignedInWindow w;
        QToolButton *button = w.window->ToolButton(name);
        QVERIFY(button);
        QCOMPARE(button->property("tag").toInt(), tag);
        QCOMPARE(button->toolTip(), hint);
        QCOMPARE(button->isVisibleTo(w.window->MarovekToolBar), visible);
        if (visible)
            QCOMPARE(button->size(), QSize(22, 23));
    }

    void toolBarOrderAndSeparators()
    {
        SignedInWindow w;
        const QStringList order = {QStringLiteral("btnUser"), QStringLiteral("SpeedButton3"),
                                   QStringLiteral("frSpeedButton2"), QStringLiteral("frSpeedButton6"),
                                   QStringLiteral("frSpeedButton7"), QStringLiteral("frSpeedButton8"),
                                   QStringLiteral("btnFirst"), QStringLiteral("btnPrior"),
                                   QStringLiteral("btnNext"), QStringLiteral("btnLast"),
                                   QStringLiteral("frSpeedButton17"), QStringLiteral("SpeedButton2")};
        // Buttons and the visible separators (8 wide) between the groups; two stand before the
        // exit button.
        const int expectedX[] = {0, 30, 52, 82, 104, 134, 164, 186, 208, 230, 260, 298};
        for (int i = 0; i < order.size(); ++i)
            QCOMPARE(w.window->ToolButton(order[i])->x(), expectedX[i]);
        QCOMPARE(w.window->MarovekToolBar->geometry(), QRect(30, 1, 635, 27));
    }

    void toolBarShowsWhileThePointerIsInTheTopBand_data()
    {
        QTest::addColumn<bool>("showToolBar");
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("timer");
        QTest::newRow("off, in the band") << false << QPoint(300, 10) << true << true;
        QTest::newRow("off, below the band") << false << QPoint(300, 200) << false << false;
        QTest::newRow("off, on the band's lower edge") << false << QPoint(300, 27) << false << false;
        QTest::newRow("off, on the left edge") << false << QPoint(0, 10) << false << false;
        QTest::newRow("off, left of the window") << false << QPoint(-5, 10) << false << false;
        QTest::newRow("on, below the band") << true << QPoint(300, 200) << true << false;
        QTest::newRow("on, in the band") << true << QPoint(300, 10) << true << false;
    }
    void toolBarShowsWhileThePointerIsInTheTopBand()
    {
        QFETCH(bool, showToolBar);
        QFETCH(QPoint, offset);
        QFETCH(bool, visible);
        QFETCH(bool, timer);
        SignedInWindow w;
        w.centre->Config.ShowToolBar = showToolBar;
        w.window->ToolBarHoverCheck(w.window->geometry().topLeft() + offset);
        QCOMPARE(w.window->MarovekToolBar->isVisibleTo(w.window.get()), visible);
        QCOMPARE(w.window->TimerToolBar->isActive(), timer);
    }

    void escapeWithoutAHostClosesTheWindow()
    {
        SignedInWindow w;
        QSignalSpy closed(w.window.get(), &TfrmBookVocamo::Closed);
        QVERIFY(!w.window->World());
        QTest::keyClick(w.window.get(), Qt::Key_A);
        QCOMPARE(closed.count(), 0);
        QTest::keyClick(w.window.get(), Qt::Key_Escape);
        QCOMPARE(closed.count(), 1);
    }

    void keysGoToTheHost()
    {
        SignedInWindow w;
        QVERIFY(w.ready);
        QVERIFY(w.signIn());
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        TQueueWorld *world = w.window->World();
        QVERIFY(world);
        QCOMPARE(world->LayerCount(), 1);
        QSignalSpy closed(w.window.get(), &TfrmBookVocamo::Closed);

        auto probe = std::make_unique<TProbeLayer>(*world);
        TProbeLayer *layer = probe.get();
        world->Push(std::move(probe));
        QCOMPARE(world->LayerCount(), 2);

        QTest::keyClick(w.window.get(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w.window.get(), Qt::Key_Right);
        QCOMPARE(layer->Commands.size(), size_t(2));
        QCOMPARE(layer->Commands[0], std::make_pair(10065, 4));
        QCOMPARE(layer->Commands[1], std::make_pair(10039, 0));

        // Esc goes to the host, which pops the probe; the window stays.
        QTest::keyClick(w.window.get(), Qt::Key_Escape);
        QCOMPARE(world->LayerCount(), 1);
        QTest::keyClick(w.window.get(), Qt::Key_Escape);
        QCOMPARE(world->LayerCount(), 1);
        QCOMPARE(closed.count(), 0);
        QVERIFY(w.window->isVisible());
    }

    void pagingAndBookSetupFollowTheHost()
    {
        SignedInWindow w;
        QVERIFY(w.signIn());
        w.window->RebuildWorld();
        TQueueWorld *world = w.window->World();
        world->EnablePaging(false, true);
        QVERIFY(!w.window->ToolButton(QStringLiteral("btnFirst"))->isEnabled());
        QVERIFY(!w.window->ToolButton(QStringLiteral("btnPrior"))->isEnabled());
        QVERIFY(w.window->ToolButton(QStringLiteral("btnNext"))->isEnabled());
        QVERIFY(w.window->ToolButton(QStringLiteral("btnLast"))->isEnabled());
        world->EnablePaging(true, false);
        QVERIFY(w.window->ToolButton(QStringLiteral("btnPrior"))->isEnabled());
        QVERIFY(!w.window->ToolButton(QStringLiteral("btnLast"))->isEnabled());
        world->EnableBookSetup(false);
        QVERIFY(!w.window->ToolButton(QStringLiteral("btnBookSetup"))->isEnabled());
        QVERIFY(!world->BookSetupPossible);
    }

    void rebuildingReplacesTheHost()
    {
        SignedInWindow w;
        QVERIFY(w.signIn());
        w.window->RebuildWorld();
        const TQueueWorld *first = w.window->World();
        QVERIFY(first);
        QVERIFY(w.window->TimerProgress->isActive());
        w.window->RebuildWorld();
        QVERIFY(w.window->World());
        QCOMPARE(w.window->World()->LayerCount(), 1);
    }

    void theCoverHidesTheWindow()
    {
        SignedInWindow w;
        QVERIFY(w.signIn());
        w.centre->Config.UseDeskTop = true;
        w.centre->Config.DeskTopColor = 0x336699;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        TfrmDesktop *cover = w.window->DesktopForm();
        QVERIFY(cover->isVisible());
        QCOMPARE(cover->Color(), quint32(0x336699));
        QVERIFY(cover->JustOpened);
        QTest::mouseClick(cover, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!w.window->isVisible());
        QVERIFY(!cover->isVisible());
    }

    void theCoverStaysClosedWithoutTheSetting()
    {
        SignedInWindow w;
        QVERIFY(w.signIn());
        w.centre->Config.UseDeskTop = false;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        QVERIFY(!w.window->DesktopForm()->isVisible());
    }

    void theLeftStripIsSeeThrough()
    {
        SignedInWindow w;
        const QRegion visible = w.window->VisibleRegion();
        const int wd = w.window->width();
        const int h = w.window->height();
        QVERIFY(visible.contains(QPoint(100, 100)));
        QVERIFY(visible.contains(QPoint(wd - 5, h - 3)));   // the page edges
        QVERIFY(!visible.contains(QPoint(2, 5)));          // the strip, no binding there
        QVERIFY(!visible.contains(QPoint(wd - 1, 2)));     // the cut top-right corner
        QVERIFY(visible.contains(QPoint(12, 300)));        // the spine right of the strip
    }

    // A mode that resizes the window has the host reshape it; the strip must stay cut out.
    void theHostKeepsTheStripSeeThrough()
    {
        SignedInWindow w;
        QVERIFY(w.signIn());
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        QTRY_VERIFY(w.window->World());
        w.window->World()->ReshapeWindow();
        QVERIFY(!w.window->mask().contains(QPoint(2, 5)));
        QVERIFY(w.window->mask().contains(QPoint(100, 100)));
    }

    void screenshotAfterSignIn()
    {
        SignedInWindow w;
        QVERIFY(w.ready);
        QVERIFY(w.signIn());
        w.centre->Config.ShowToolBar = true;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        QTRY_VERIFY(w.window->World() && w.window->World()->CurrentWord());
        w.window->ToolBarHoverCheck(QPoint(-1000, -1000));
        QVERIFY(w.window->MarovekToolBar->isVisible());
        QTest::qWait(50);

        QImage picture(w.window->size(), QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        {
            QPainter painter(&picture);
            w.window->render(&painter, QPoint(), w.window->VisibleRegion());
        }
        const QString folder = qEnvironmentVariable("VOCAMO_BIN_DIR") + QStringLiteral("/../screenshots");
        QDir().mkpath(folder);
        const QString file = QDir(folder).filePath(QStringLiteral("mainwindow.png"));
        QVERIFY(picture.save(file));
        // The page shows the book colour and the left strip stays clear.
        QCOMPARE(qAlpha(picture.pixel(2, 5)), 0);
        QVERIFY(qAlpha(picture.pixel(400, 300)) == 255);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
