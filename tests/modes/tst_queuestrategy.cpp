// The page base: paging scans and page labels, status labels, the word under a point and
// the colour pens.

#include "support/ModesFixture.h"

#include "controls/Symbols.h"
#include "controls/UpdownEdit.h"
#include "dialogs/LocatePagefrm.h"
#include "platform/SqliteDataset.h"
#include "store/Channels.h"

#include <QApplication>
#include <QFontMetrics>
#include <QTimer>
#include <QTextEdit>

namespace {

// The page-base key commands, by letter, for the command strings of the tables.
int CommandOf(QChar c)
{
    switch (c.unicode()) {
    case u'H': return 10036; // Home
    case u'E': return 10035; // End
    case u'<': return 10037; // Left
    case u'>': return 10039; // Right
    case u'h': return 100788470;
    case u'e': return -1079199449;
    case u'l': return 2006653847;
    case u'r': return -1573680826;
    default: return 0;
    }
}

} // namespace

class TestQueueStrategy : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ModesFixture> fx;
    std::vector<std::pair<bool, bool>> navigation;

    TTestLayer *pushLayer(std::vector<int> pages)
    {
        auto layer = std::make_unique<TTestLayer>(*fx->world, TLayerKind::WordList, std::move(pages));
        TTestLayer *raw = layer.get();
        fx->world->Push(std::move(layer));
        return raw;
    }

    QString label(const char *name) const
    {
        return fx->world->StatusLabel(QString::fromUtf8(name))->Caption();
    }

private slots:
    void init()
    {
        fx = std::make_unique<ModesFixture>();
        QVERIFY(fx->ready());
        fx->makeWorld();
        navigation.clear();
        fx->world->Callbacks.EnablePaging = [this](bool back, bool forward) { navigation.push_back({back, forward}); };
    }
    void cleanup() { fx.reset(); }

    void paging_data()
    {
        QTest::addColumn<QList<int>>("pages");
        QTest::addColumn<int>("startPage");
        QTest::addColumn<int>("startSub");
        QTest::addColumn<QString>("commands");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("sub");
        QTest::addColumn<QString>("pageLabel");
        QTest::addColumn<bool>("canGoBack");
        QTest::addColumn<bool>("canGoForward");

        QTest::newRow("no pages, Home and End harmless") << QList<int>{} << 0 << 0 << "HE<>" << 0 << 0 << "" << false << false;
        QTest::newRow("one sub-page shows the page only") << QList<int>{1, 1, 1} << 1 << 0 << "" << 1 << 0 << "2" << true << true;
        QTest::newRow("second of three sub-pages") << QList<int>{3} << 0 << 1 << "" << 0 << 1 << "(2/3)1" << true << true;
        QTest::newRow("Right walks the sub-pages") << QList<int>{3, 2} << 0 << 0 << ">>" << 0 << 2 << "(3/3)1" << true << true;
        QTest::newRow("Right crosses to the next page") << QList<int>{2, 2} << 0 << 1 << ">" << 1 << 0 << "(1/2)2" << true << true;
        QTest::newRow("Right at the very end stays") << QList<int>{1, 2} << 1 << 1 << ">" << 1 << 1 << "(2/2)2" << true << false;
        QTest::newRow("Left crosses to the last sub-page before") << QList<int>{3, 2} << 1 << 0 << "<" << 0 << 2 << "(3/3)1" << true << true;
        QTest::newRow("Left at the very start stays") << QList<int>{2} << 0 << 0 << "<" << 0 << 0 << "(1/2)1" << false << true;
        QTest::newRow("End on an unsplit page goes to its last sub-page") << QList<int>{1, 4} << 0 << 0 << "E" << 1 << 3 << "(4/4)2" << true << false;
        QTest::newRow("Home from the end") << QList<int>{2, 3} << 1 << 2 << "H" << 0 << 0 << "(1/2)1" << false << true;
        QTest::newRow("End on a split page finds its last sub-page") << QList<int>{1, 3} << 1 << 1 << "HE" << 1 << 2 << "(3/3)2" << true << false;
        QTest::newRow("requests beyond the ends are clamped") << QList<int>{2, 3} << 9 << 9 << "" << 1 << 2 << "(3/3)2" << true << false;
        QTest::newRow("aliases page like the keys") << QList<int>{2, 3} << 0 << 0 << "errl" << 1 << 1 << "(2/3)2" << true << true;
        QTest::newRow("alias Home") << QList<int>{2, 3} << 1 << 1 << "h" << 0 << 0 << "(1/2)1" << false << true;
    }
    // The page dialog offers 1..PageCount at the current page; a chosen page is opened.
    void locatePageGoesToTheChosenPage()
    {
        TTestLayer *layer = pushLayer({1, 1, 1, 1, 1});
        layer->GoToPage(1, 0);
        int offeredMax = 0;
        int offeredPosition = 0;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<TfrmLocatePage *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            offeredMax = dialog->udPageIndex->Max();
            offeredPosition = dialog->udPageIndex->Position();
            dialog->udPageIndex->SetPosition(4);
            dialog->accept();
        });
        layer->LocatePage();
        QCOMPARE(offeredMax, 5);
        QCOMPARE(offeredPosition, 2);
        QCOMPARE(layer->PageIndex, 3);
        QCOMPARE(layer->SubPageIndex, 0);
    }

    void locatePageWithoutPagesOpensNothing()
    {
        TTestLayer *layer = pushLayer({});
        bool opened = false;
        QTimer::singleShot(200, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                opened = true;
                modal->close();
            }
        });
        layer->LocatePage();
        QTest::qWait(250);
        QVERIFY(!opened);
    }

    void paging()
    {
        QFETCH(QList<int>, pages);
        QFETCH(int, startPage);
        QFETCH(int, startSub);
        QFETCH(QString, commands);
        QFETCH(int, page);
        QFETCH(int, sub);
        QFETCH(QString, pageLabel);
        QFETCH(bool, canGoBack);
        QFETCH(bool, canGoForward);

        TTestLayer *layer = pushLayer(std::vector<int>(pages.begin(), pages.end()));
        layer->GoToPage(startPage, startSub);
        for (QChar c : commands)
            layer->Perform(CommandOf(c), 0);
        QCOMPARE(layer->PageIndex, page);
        QCOMPARE(layer->SubPageIndex, sub);
        QCOMPARE(label("页数"), pageLabel);
        QCOMPARE(label("总页数"), pages.isEmpty() ? QString() : QString::number(pages.size()));
        QVERIFY(!navigation.empty());
        QCOMPARE(navigation.back(), std::make_pair(canGoBack, canGoForward));
        if (!layer->Painted.empty())
            QCOMPARE(layer->Painted.back(), std::make_pair(page, sub));
    }

    void advance_data()
    {
        QTest::addColumn<QList<int>>("pages");
        QTest::addColumn<int>("startPage");
        QTest::addColumn<int>("startSub");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("sub");
        QTest::addColumn<int>("exhausted");
        QTest::newRow("next first") << QList<int>{2, 1} << 0 << 0 << 0 << 1 << 0;
        QTest::newRow("then previous") << QList<int>{2, 1} << 1 << 0 << 0 << 1 << 0;
        QTest::newRow("nothing left") << QList<int>{1} << 0 << 0 << 0 << 0 << 1;
    }
    void advance()
    {
        QFETCH(QList<int>, pages);
        QFETCH(int, startPage);
        QFETCH(int, startSub);
        QFETCH(int, page);
        QFETCH(int, sub);
        QFETCH(int, exhausted);
        TTestLayer *layer = pushLayer(std::vector<int>(pages.begin(), pages.end()));
        layer->GoToPage(startPage, startSub);
        layer->Advance();
        QCOMPARE(layer->PageIndex, page);
        QCOMPARE(layer->SubPageIndex, sub);
        QCOMPARE(layer->ExhaustedCount, exhausted);
    }

    void clearStatusKeepsTitleAndMode()
    {
        TTestLayer *layer = pushLayer({1});
        layer->SetStatus(QStringLiteral("记忆状态"), QStringLiteral("熟悉"));
        layer->SetStatus(QStringLiteral("没有的标签"), QStringLiteral("x")); // ignored
        layer->ClearStatus();
        QCOMPARE(label("记忆状态"), QString());
        QCOMPARE(label("书本状态"), QStringLiteral("测试1"));
    }

    void setStatusWidths()
    {
        TTestLayer *layer = pushLayer({1});
        layer->SetStatus(QStringLiteral("记忆分值"), QStringLiteral("1->2"), 123);
        QCOMPARE(fx->world->StatusLabel(QStringLiteral("记忆分值"))->width(), 123);
        layer->SetStatus(QStringLiteral("记忆分值"), QStringLiteral("1->2"));
        QCOMPARE(fx->world->StatusLabel(QStringLiteral("记忆分值"))->width(),
                 fx->world->LayoutElements.Find(QStringLiteral("提示记忆分值"))->Width);
    }

    void arrangePlacesTheGrid_data()
    {
        QTest::addColumn<bool>("toolPanel");
        QTest::addColumn<QRect>("grid");
        QTest::newRow("with tool panel") << true << QRect(45, 74, 1000 - 74, 600 - 124);
        QTest::newRow("without") << false << QRect(45, 50, 1000 - 74, 600 - 100);
    }
    void arrangePlacesTheGrid()
    {
        QFETCH(bool, toolPanel);
        QFETCH(QRect, grid);
        fx->centre->Config.FormWidth = 1000;
        fx->centre->Config.FormHeight = 600;
        fx->centre->Config.ShowTipPanel = toolPanel;
        pushLayer({1});
        QCOMPARE(fx->world->Grid->geometry(), grid);
        QCOMPARE(fx->world->ToolPanel->isVisibleTo(fx->window.get()), toolPanel);
        // The bottom row starts at the grid's left edge, 12 pixels under the grid, its ten
        // labels (80 wide) spread with the gap round((926 + 10 - 800) / 9) = 15.
        QWidget *first = fx->world->Control(QStringLiteral("提示书本状态"));
        QWidget *second = fx->world->Control(QStringLiteral("提示显示状态"));
        QWidget *last = fx->world->Control(QStringLiteral("提示总页数"));
        QCOMPARE(first->x(), grid.left());
        QCOMPARE(first->y(), grid.bottom() + 1 + 12);
        QCOMPARE(second->x(), grid.left() + 80 + 15);
        QCOMPARE(last->x(), grid.left() + 9 * (80 + 15));
        QCOMPARE(last->height(), 19);
    }

    void wordAtPoint_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("prefix"); // the point lies just after this text
        QTest::addColumn<QString>("expected");
        QTest::newRow("inside a word") << "hello world" << "hello wor" << "world";
        QTest::newRow("first letter") << "hello world" << "" << "hello";
        QTest::newRow("over the blank") << "hello   world" << "hello " << "";
        QTest::newRow("over Chinese") << "苹果 apple" << "苹" << "";
        QTest::newRow("markers removed") << "ab$$cd ef" << "a" << "abcd";
        QTest::newRow("punctuation ends the word") << "(don't)" << "(d" << "don";
    }
    void wordAtPoint()
    {
        QFETCH(QString, text);
        QFETCH(QString, prefix);
        QFETCH(QString, expected);
        TTestLayer *layer = pushLayer({1});
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(16);
        const QFontMetrics metrics(font);
        QString shown = text;
        shown.remove(QStringLiteral("$$"));
        const int x = metrics.horizontalAdvance(prefix) + metrics.horizontalAdvance(shown.at(prefix.size())) / 2;
        const QPoint point(x, 4 + metrics.height() / 2);
        QCOMPARE(layer->WordAtPoint(400, 60, &font, text, point, 0), expected);
    }

    void wordAtPointWithIndent()
    {
        TTestLayer *layer = pushLayer({1});
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(16);
        const QFontMetrics metrics(font);
        const QPoint point(100 + metrics.horizontalAdvance(QStringLiteral("h")) / 2, 4 + metrics.height() / 2);
        QCOMPARE(layer->WordAtPoint(500, 60, &font, QStringLiteral("hello"), point, 100), QStringLiteral("hello"));
        QCOMPARE(layer->WordAtPoint(500, 60, &font, QStringLiteral("hello"), QPoint(50, point.y()), 100), QString());
    }

    void choosingAPenMakesItRankOne()
    {
        const int user = fx->centre->CurrentUser->UserId;
        TAdoChannel &channel = *fx->centre->Channel;
        QVERIFY(channel.Execute(QString::asprintf(
            "insert into ColorPen(UserID, ID, Title, PenColor, Sequence) values (%d, 1, 'a', 255, 1), "
            "(%d, 2, 'b', 65280, 2), (%d, 3, 'c', 16711680, 3), (%d, 4, 'other', 255, 1)",
            user, user, user, user + 1)));
        TTestLayer *layer = pushLayer({1});
        layer->ChoosePen(16711680);
        QCOMPARE(fx->centre->Config.PenColor, 16711680u);
        SqliteDataset *ds = channel.Query(QStringLiteral("select ID, Sequence from ColorPen order by ID"));
        QVERIFY(ds);
        QList<int> ranks;
        for (ds->first(); !ds->eof(); ds->next())
            ranks << ds->fieldByName("Sequence").asInteger();
        QCOMPARE(ranks, (QList<int>{2, 3, 1, 1})); // the other user's pen is untouched
    }

    void newPenWithAQuoteInItsName()
    {
        TTestLayer *layer = pushLayer({1});
        QVERIFY(layer->AddPen(0x00FF00, QStringLiteral("it's green")));
        QVERIFY(layer->AddPen(0x0000FF, QStringLiteral("red")));
        QVERIFY(!layer->AddPen(0x0000FF, QStringLiteral("   ")));
        SqliteDataset *ds = fx->centre->Channel->Query(
            QStringLiteral("select Title, Sequence from ColorPen order by Sequence"));
        QVERIFY(ds);
        ds->first();
        QCOMPARE(ds->fieldByName("Title").asText(), QStringLiteral("red"));
        ds->next();
        QCOMPARE(ds->fieldByName("Title").asText(), QStringLiteral("it's green"));
        QCOMPARE(ds->fieldByName("Sequence").asInteger(), 2);
    }

    void penMenuListsThePens()
    {
        const int user = fx->centre->CurrentUser->UserId;
        for (int i = 0; i < 7; ++i)
            QVERIFY(fx->centre->Channel->Execute(QString::asprintf(
                "insert into ColorPen(UserID, ID, Title, PenColor, Sequence) values (%d, %d, 'p%d', %d, %d)",
                user, i + 1, i, 100 + i, i + 1)));
        TTestLayer *layer = pushLayer({1});
        layer->BuildPenMenu();
        layer->BuildPenMenu(); // twice: the top-level pen items do not pile up
        QMenu *context = fx->foundation->ContextMenu();
        QMenu *submenu = fx->foundation->ContextItem(9)->menu();
        QVERIFY(submenu);
        QCOMPARE(submenu->actions().size(), 7 + 3);
        QCOMPARE(submenu->actions().first()->text(), QStringLiteral("p0"));
        QCOMPARE(submenu->actions().last()->text(), QStringLiteral("管理荧光笔"));
        QCOMPARE(context->actions().size(), 12 + 1 + 5);
    }
};

QTEST_MAIN(TestQueueStrategy)
#include "tst_queuestrategy.moc"
