#include "dialogs/ShowWordfrm.h"

#include "controls/Symbols.h"
#include "platform/gui/TextMetrics.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

std::unique_ptr<TWord> MakeWord(const QString &name, const QString &symbol, const QString &meaning)
{
    auto word = std::make_unique<TWord>(nullptr, nullptr);
    word->Name = name;
    word->Symbol = symbol;
    word->Meaning = meaning;
    return word;
}

// A found-words list as the data centre gives it: entries keyed by word name.
std::unique_ptr<TfrmShowWord::TWordList> MakeList(std::vector<std::unique_ptr<TWord>> words)
{
    auto list = std::make_unique<TfrmShowWord::TWordList>();
    for (auto &word : words) {
        const QString name = word->Name;
        list->Add(name, std::move(word));
    }
    return list;
}

int LineHeight(const QLabel *label)
{
    return vocamo::TextHeight(label->font(), QStringLiteral("G"));
}

int Bottom(const QWidget *widget)
{
    return widget->y() + widget->height();
}

void SendMouse(QWidget *widget, QEvent::Type type, const QPoint &local, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(local), QPointF(widget->mapToGlobal(local)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class TestShowWord : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void design();
    void buttons_data();
    void buttons();
    void labelsAtCreation();

    void layoutWithTranscription();
    void layoutWithoutTranscription_data();
    void layoutWithoutTranscription();
    void emptyMeaningKeepsOneLine();
    void meaningHeightFollowsLines_data();
    void meaningHeightFollowsLines();
    void longerMeaningGivesTallerCard();
    void noWordEmptiesTheCard();

    void oneWordShowsNoArrow();
    void severalWordsShowArrowAndOptions();
    void noListClearsTheDropDown();
    void selectedWordIndexRange_data();
    void selectedWordIndexRange();
    void pickingAnOptionShowsThatWord();
    void unknownOptionChangesNothing();
    void pressOnArrowOpensDropDown();

    void autoCloseAfterTicks_data();
    void autoCloseAfterTicks();
    void pointerInsideResetsCount();
    void autoCloseRunsOnTheTimer();
    void showResetsCount();
    void escapeAndCloseButtonClose();

    void dragMovesCard();
    void pressOnButtonDoesNotDrag();

    void paintsFrameAndColour();
    void screenshot();

private:
    void showCard();
    void pointerAt(const QPoint &cardPoint);

    std::unique_ptr<TfrmShowWord> m_card;
};

void TestShowWord::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestShowWord::init()
{
    m_card = std::make_unique<TfrmShowWord>();
    // Ticks are driven by hand in these tests unless a test restarts the timer.
    m_card->Timer1->stop();
}

void TestShowWord::cleanup()
{
    m_card.reset();
}

void TestShowWord::showCard()
{
    m_card->move(200, 150);
    m_card->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_card.get()));
}

void TestShowWord::pointerAt(const QPoint &cardPoint)
{
    QCursor::setPos(m_card->mapToGlobal(cardPoint));
    QCOMPARE(m_card->mapFromGlobal(QCursor::pos()), cardPoint);
}

void TestShowWord::design()
{
    QCOMPARE(m_card->size(), QSize(355, 173));
    QCOMPARE(m_card->windowTitle(), QStringLiteral("frmShowWord"));
    QVERIFY(m_card->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(m_card->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(m_card->testAttribute(Qt::WA_ShowWithoutActivating));
    QVERIFY(!m_card->isVisible());
    QCOMPARE(m_card->Color(), 0xFFFFFFu);
    QCOMPARE(m_card->OutsideTicks, 0);

    auto *imgBack = m_card->findChild<QLabel *>(QStringLiteral("imgBack"));
    QVERIFY(imgBack);
    QCOMPARE(imgBack->geometry(), QRect(3, 3, 349, 166));
    auto *rule = m_card->findChild<QLabel *>(QStringLiteral("Label1"));
    QVERIFY(rule);
    QCOMPARE(rule->geometry(), QRect(9, 50, 339, 1));
    auto *trans = m_card->findChild<QLabel *>(QStringLiteral("lblTrans"));
    QVERIFY(trans);
    QCOMPARE(trans->geometry(), QRect(14, 70, 332, 83));
    QCOMPARE(trans->font().pixelSize(), 19);
    QVERIFY(trans->wordWrap());
    auto *memo = m_card->findChild<QPlainTextEdit *>(QStringLiteral("memAdjust"));
    QVERIFY(memo);
    QCOMPARE(memo->geometry(), QRect(14, 88, 332, 89));
    QCOMPARE(memo->font(), trans->font());
    QVERIFY(memo->isHidden());
    auto *bar = m_card->findChild<QWidget *>(QStringLiteral("ToolBar1"));
    QVERIFY(bar);
    QCOMPARE(bar->pos(), QPoint(4, 4));
    QCOMPARE(bar->height(), 19);

    auto *timer = m_card->findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 1000);
    QVERIFY(m_card->findChild<QMenu *>(QStringLiteral("PopupMenu1")));

    // A fresh card has its timer running.
    TfrmShowWord fresh;
    QVERIFY(fresh.Timer1->isActive());
}

void TestShowWord::buttons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("tag");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("spell") << "btnSpell" << 6 << "拼写" << true;
    QTest::newRow("sound") << "btnSound" << 0 << "单词发音" << false;
    QTest::newRow("base info") << "btnBaseInfo" << 1 << "综合信息" << false;
    QTest::newRow("example") << "btnExample" << 2 << "所有例句" << false;
    QTest::newRow("english") << "btnEnglish" << 3 << "韦氏词典解释" << false;
    QTest::newRow("reading note") << "btnAddReadingNote" << 4 << "加入阅读或指定笔记本" << false;
    QTest::newRow("close") << "btnClose" << 6 << "关闭" << false;
}

void TestShowWord::buttons()
{
    QFETCH(QString, name);
    QFETCH(int, tag);
    QFETCH(QString, hint);
    QFETCH(bool, hidden);
    auto *bar = m_card->findChild<QWidget *>(QStringLiteral("ToolBar1"));
    auto *button = bar->findChild<QToolButton *>(name);
    QVERIFY(button);
    QCOMPARE(button->property("tag").toInt(), tag);
    QCOMPARE(button->toolTip(), hint);
    QCOMPARE(button->isHidden(), hidden);
    QCOMPARE(button->height(), 19);
    QVERIFY(button->autoRaise());
    QVERIFY(!button->icon().isNull());
}

void TestShowWord::labelsAtCreation()
{
    auto *bar = m_card->findChild<QWidget *>(QStringLiteral("ToolBar1"));
    TMultiOptionLabel *head = m_card->HeadwordLabel;
    QCOMPARE(m_card->findChild<TMultiOptionLabel *>(QStringLiteral("HeadwordLabel")), head);
    QCOMPARE(head->geometry(), QRect(12, 24, bar->width() + 80, 25));
    QCOMPARE(head->font().family(), QStringLiteral("Arial"));
    QCOMPARE(head->font().pointSize(), 16);
    QCOMPARE(head->SymbolFontSize(), 14);
    QVERIFY(head->Transparent());
    QVERIFY(!head->AutoSize());
    QCOMPARE(head->TypeMenu(), m_card->PopupMenu1);
    QVERIFY(!head->ShowArrow());

    TWordSymbol *symbol = m_card->SymbolLabel;
    QCOMPARE(symbol->geometry(), QRect(12, 52, 355 - 40, 20));
    QCOMPARE(symbol->font().pointSize(), 14);
    QCOMPARE(symbol->SymbolFontSize(), 12);

    // Growing the tool bar when the host shows the spelling button.
    const int barWidth = bar->width();
    m_card->btnSpell->setVisible(true);
    bar->layout()->activate();
    QCOMPARE(bar->width(), barWidth + 22);
}

void TestShowWord::layoutWithTranscription()
{
    auto word = MakeWord(QStringLiteral("apple"), QStringLiteral("ˈæpl"), QStringLiteral("n. 苹果"));
    m_card->DisplayWord(word.get());

    QCOMPARE(m_card->HeadwordLabel->Caption(), QStringLiteral("apple"));
    QCOMPARE(m_card->SymbolLabel->GetSymbol(), QStringLiteral("ˈæpl"));
    QCOMPARE(m_card->lblTrans->text(), QStringLiteral("n. 苹果"));
    QCOMPARE(m_card->memAdjust->toPlainText(), QStringLiteral("n. 苹果"));

    QVERIFY(!m_card->SymbolLabel->isHidden());
    QCOMPARE(m_card->SymbolLabel->y(), m_card->Label1->y() + 2);
    QCOMPARE(m_card->lblTrans->y(), Bottom(m_card->SymbolLabel) + 4);
    QCOMPARE(m_card->lblTrans->height(), LineHeight(m_card->lblTrans));
    QCOMPARE(m_card->height(), Bottom(m_card->lblTrans) + 11);
    QCOMPARE(m_card->imgBack->height(), Bottom(m_card->lblTrans) + 5);
    QCOMPARE(m_card->width(), 355);
}

void TestShowWord::layoutWithoutTranscription_data()
{
    QTest::addColumn<QString>("symbol");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << QStringLiteral("   ");
    QTest::newRow("tab and blank") << QStringLiteral("\t ");
}

void TestShowWord::layoutWithoutTranscription()
{
    QFETCH(QString, symbol);
    // A word with a transcription first, so the hidden state is a change.
    auto with = MakeWord(QStringLiteral("apple"), QStringLiteral("ˈæpl"), QStringLiteral("n. 苹果"));
    m_card->DisplayWord(with.get());
    const int heightWith = m_card->height();

    auto without = MakeWord(QStringLiteral("in spite of"), symbol, QStringLiteral("尽管"));
    m_card->DisplayWord(without.get());
    QVERIFY(m_card->SymbolLabel->isHidden());
    QCOMPARE(m_card->lblTrans->y(), m_card->Label1->y() + 2 + 4);
    QCOMPARE(m_card->height(), Bottom(m_card->lblTrans) + 11);
    QCOMPARE(m_card->height(), heightWith - 20);

    // And back: the transcription label shows again in its place.
    m_card->DisplayWord(with.get());
    QVERIFY(!m_card->SymbolLabel->isHidden());
    QCOMPARE(m_card->height(), heightWith);
}

void TestShowWord::emptyMeaningKeepsOneLine()
{
    auto word = MakeWord(QStringLiteral("zyx"), QStringLiteral("zɪks"), QString());
    m_card->DisplayWord(word.get());
    QCOMPARE(m_card->MemoLineCount(QString()), 0);
    QCOMPARE(m_card->lblTrans->height(), LineHeight(m_card->lblTrans));
    QCOMPARE(m_card->height(), Bottom(m_card->lblTrans) + 11);
}

void TestShowWord::meaningHeightFollowsLines_data()
{
    QTest::addColumn<QString>("meaning");
    QTest::addColumn<int>("lines");
    QTest::newRow("one line") << QStringLiteral("n. 苹果") << 1;
    QTest::newRow("three paragraphs") << QStringLiteral("n. 苹果\nn. 苹果树\nadj. 苹果的") << 3;
    QTest::newRow("windows breaks") << QStringLiteral("n. 苹果\r\nn. 苹果树") << 2;
    QTest::newRow("final break opens no line") << QStringLiteral("n. 苹果\n") << 1;
    QTest::newRow("empty line inside") << QStringLiteral("a\n\nb") << 3;
    // 40 Chinese characters at 19 pixels cannot fit into one 332-pixel line.
    QTest::newRow("wrapped") << QString(40, QChar(0x82f9)) << -1;
}

void TestShowWord::meaningHeightFollowsLines()
{
    QFETCH(QString, meaning);
    QFETCH(int, lines);
    const int counted = m_card->MemoLineCount(meaning);
    if (lines > 0)
        QCOMPARE(counted, lines);
    else
        QVERIFY2(counted >= 2, qPrintable(QString::number(counted)));

    auto word = MakeWord(QStringLiteral("apple"), QStringLiteral("ˈæpl"), meaning);
    m_card->DisplayWord(word.get());
    QCOMPARE(m_card->lblTrans->height(), counted * LineHeight(m_card->lblTrans));
    QCOMPARE(m_card->height(), Bottom(m_card->lblTrans) + 11);
    QCOMPARE(m_card->imgBack->height(), Bottom(m_card->lblTrans) + 5);
}

void TestShowWord::longerMeaningGivesTallerCard()
{
    auto shortWord = MakeWord(QStringLiteral("run"), QStringLiteral("rʌn"), QStringLiteral("v. 跑"));
    m_card->DisplayWord(shortWord.get());
    const int shortHeight = m_card->height();

    QString longMeaning;
    for (int i = 0; i < 12; ++i)
        longMeaning += QStringLiteral("v. 跑；奔跑；运行；经营；竞选；流动；");
    auto longWord = MakeWord(QStringLiteral("run"), QStringLiteral("rʌn"), longMeaning);
    m_card->DisplayWord(longWord.get());
    QVERIFY(m_card->height() > shortHeight + 3 * LineHeight(m_card->lblTrans));
    // Every wrapped line of the meaning fits into the label's width: the label's own
    // wrapping needs no more lines than the height gives it.
    const int needed = m_card->lblTrans->heightForWidth(m_card->lblTrans->width());
    QVERIFY2(needed <= m_card->lblTrans->height() + LineHeight(m_card->lblTrans),
             qPrintable(QStringLiteral("%1 > %2").arg(needed).arg(m_card->lblTrans->height())));
}

void TestShowWord::noWordEmptiesTheCard()
{
    auto word = MakeWord(QStringLiteral("apple"), QStringLiteral("ˈæpl"), QStringLiteral("n. 苹果"));
    m_card->DisplayWord(word.get());
    const int height = m_card->height();
    m_card->DisplayWord(nullptr);
    QVERIFY(m_card->HeadwordLabel->Caption().isEmpty());
    QVERIFY(m_card->HeadwordLabel->GetSymbol().isEmpty());
    QVERIFY(m_card->SymbolLabel->GetSymbol().isEmpty());
    QVERIFY(m_card->lblTrans->text().isEmpty());
    QCOMPARE(m_card->height(), height);
}

void TestShowWord::oneWordShowsNoArrow()
{
    std::vector<std::unique_ptr<TWord>> words;
    words.push_back(MakeWord(QStringLiteral("apple"), QStringLiteral("ˈæpl"), QStringLiteral("n. 苹果")));
    m_card->SetWords(MakeList(std::move(words)));
    QVERIFY(!m_card->HeadwordLabel->ShowArrow());
    QCOMPARE(m_card->HeadwordLabel->Options(), QStringList{QStringLiteral("apple")});
    m_card->WordIndex = 0;
    QVERIFY(m_card->SelectedWord());
    QCOMPARE(m_card->SelectedWord()->Name, QStringLiteral("apple"));
}

void TestShowWord::severalWordsShowArrowAndOptions()
{
    std::vector<std::unique_ptr<TWord>> words;
    words.push_back(MakeWord(QStringLiteral("left"), QStringLiteral("left"), QStringLiteral("adj. 左边的")));
    words.push_back(MakeWord(QStringLiteral("leave"), QStringLiteral("liːv"), QStringLiteral("v. 离开")));
    m_card->SetWords(MakeList(std::move(words)));
    QVERIFY(m_card->HeadwordLabel->ShowArrow());
    QCOMPARE(m_card->HeadwordLabel->Options(),
             (QStringList{QStringLiteral("left"), QStringLiteral("leave")}));

    // A new lookup with one word takes the arrow away again.
    std::vector<std::unique_ptr<TWord>> one;
    one.push_back(MakeWord(QStringLiteral("go"), QStringLiteral("ɡəʊ"), QStringLiteral("v. 去")));
    m_card->SetWords(MakeList(std::move(one)));
    QVERIFY(!m_card->HeadwordLabel->ShowArrow());
    QCOMPARE(m_card->HeadwordLabel->Options(), QStringList{QStringLiteral("go")});
    QCOMPARE(m_card->Words()->Count(), 1);
}

void TestShowWord::noListClearsTheDropDown()
{
    std::vector<std::unique_ptr<TWord>> words;
    words.push_back(MakeWord(QStringLiteral("left"), QString(), QString()));
    words.push_back(MakeWord(QStringLiteral("leave"), QString(), QString()));
    m_card->SetWords(MakeList(std::move(words)));
    m_card->SetWords(nullptr);
    QVERIFY(!m_card->Words());
    QVERIFY(!m_card->HeadwordLabel->ShowArrow());
    QVERIFY(m_card->HeadwordLabel->Options().isEmpty());
    m_card->WordIndex = 0;
    QVERIFY(!m_card->SelectedWord());
}

void TestShowWord::selectedWordIndexRange_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");
    QTest::newRow("negative") << -1 << QString();
    QTest::newRow("first") << 0 << QStringLiteral("left");
    QTest::newRow("last") << 1 << QStringLiteral("leave");
    QTest::newRow("count") << 2 << QString();
}

void TestShowWord::selectedWordIndexRange()
{
    QFETCH(int, index);
    QFETCH(QString, expected);
    std::vector<std::unique_ptr<TWord>> words;
    words.push_back(MakeWord(QStringLiteral("left"), QString(), QString()));
    words.push_back(MakeWord(QStringLiteral("leave"), QString(), QString()));
    m_card->SetWords(MakeList(std::move(words)));
    m_card->WordIndex = index;
    TWord *word = m_card->SelectedWord();
    QCOMPARE(word ? word->Name : QString(), expected);
}

void TestShowWord::pickingAnOptionShowsThatWord()
{
    std::vector<std::unique_ptr<TWord>> words;
    words.push_back(MakeWord(QStringLiteral("left"), QStringLiteral("left"), QStringLiteral("adj. 左边的")));
    words.push_back(MakeWord(QStringLiteral("leave"), QString(), QStringLiteral("v. 离开\nn. 假期")));
    m_card->SetWords(MakeList(std::move(words)));
    m_card->WordIndex = 0;
    m_card->DisplayWord(m_card->SelectedWord());
    const int heightBefore = m_card->height();
    showCard();

    // The drop-down is filled from the headword's options when it opens.
    const QPoint arrow(m_card->HeadwordLabel->width() - 10, 10);
    QVERIFY(m_card->HeadwordLabel->OpenOptionsAt(arrow));
    const QList<QAction *> items = m_card->PopupMenu1->actions();
    QCOMPARE(items.size(), 2);
    QCOMPARE(items.at(1)->text(), QStringLiteral("leave"));
    items.at(1)->trigger();

    QCOMPARE(m_card->WordIndex, 1);
    QCOMPARE(m_card->HeadwordLabel->Caption(), QStringLiteral("leave"));
    QVERIFY(m_card->SymbolLabel->isHidden());
    QCOMPARE(m_card->lblTrans->text(), QStringLiteral("v. 离开\nn. 假期"));
    QCOMPARE(m_card->lblTrans->height(), 2 * LineHeight(m_card->lblTrans));
    QCOMPARE(m_card->height(), heightBefore - 20 + LineHeight(m_card->lblTrans));

    // The option's caption is matched without regard to case.
    QAction upper(QStringLiteral("LEFT"));
    m_card->SelectOption(&upper);
    QCOMPARE(m_card->WordIndex, 0);
    QCOMPARE(m_card->HeadwordLabel->Caption(), QStringLiteral("left"));
    QCOMPARE(m_card->SymbolLabel->GetSymbol(), QStringLiteral("left"));
}

void TestShowWord::unknownOptionChangesNothing()
{
    QAction item(QStringLiteral("apple"));
    m_card->WordIndex = 3;
    m_card->SelectOption(&item); // no list
    QCOMPARE(m_card->WordIndex, 3);

    std::vector<std::unique_ptr<TWord>> words;
    words.push_back(MakeWord(QStringLiteral("left"), QString(), QStringLiteral("adj. 左边的")));
    words.push_back(MakeWord(QStringLiteral("leave"), QString(), QStringLiteral("v. 离开")));
    m_card->SetWords(MakeList(std::move(words)));
    m_card->WordIndex = 1;
    m_card->DisplayWord(m_card->SelectedWord());
    m_card->SelectOption(&item);
    QCOMPARE(m_card->WordIndex, 1);
    QCOMPARE(m_card->HeadwordLabel->Caption(), QStringLiteral("leave"));
}

void TestShowWord::pressOnArrowOpensDropDown()
{
    std::vector<std::unique_ptr<TWord>> words;
    words.push_back(MakeWord(QStringLiteral("left"), QString(), QString()));
    words.push_back(MakeWord(QStringLiteral("leave"), QString(), QString()));
    m_card->SetWords(MakeList(std::move(words)));
    showCard();
    const QPoint cardPos = m_card->pos();
    const QPoint arrow = m_card->HeadwordLabel->geometry().topRight() + QPoint(-8, 8);

    SendMouse(m_card.get(), QEvent::MouseButtonPress, arrow, Qt::LeftButton, Qt::LeftButton);
    QVERIFY(m_card->PopupMenu1->isVisible());
    QCOMPARE(m_card->PopupMenu1->actions().size(), 2);
    m_card->PopupMenu1->hide();
    // The press that opened the list does not drag the card.
    SendMouse(m_card.get(), QEvent::MouseMove, arrow + QPoint(30, 30), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(m_card->pos(), cardPos);
    SendMouse(m_card.get(), QEvent::MouseButtonRelease, arrow + QPoint(30, 30), Qt::LeftButton,
              Qt::NoButton);

    // With a single word there is no arrow: the same press does not open the list.
    std::vector<std::unique_ptr<TWord>> one;
    one.push_back(MakeWord(QStringLiteral("go"), QString(), QString()));
    m_card->SetWords(MakeList(std::move(one)));
    SendMouse(m_card.get(), QEvent::MouseButtonPress, arrow, Qt::LeftButton, Qt::LeftButton);
    QVERIFY(!m_card->PopupMenu1->isVisible());
    SendMouse(m_card.get(), QEvent::MouseButtonRelease, arrow, Qt::LeftButton, Qt::NoButton);
}

void TestShowWord::autoCloseAfterTicks_data()
{
    QTest::addColumn<int>("closeDelay");
    QTest::addColumn<int>("ticks");
    QTest::newRow("0") << 0 << 1;
    QTest::newRow("1 (the setting's value)") << 1 << 5;
    QTest::newRow("2") << 2 << 7;
    QTest::newRow("3") << 3 << 10;
    QTest::newRow("4") << 4 << 15;
    QTest::newRow("below the table") << -3 << 1;
    QTest::newRow("above the table") << 9 << 15;
}

void TestShowWord::autoCloseAfterTicks()
{
    QFETCH(int, closeDelay);
    QFETCH(int, ticks);
    QCOMPARE(TfrmShowWord::CloseTicks(closeDelay), ticks);
    m_card->CloseDelay = closeDelay;
    showCard();
    pointerAt(QPoint(m_card->width() + 40, 10));
    for (int i = 1; i < ticks; ++i) {
        m_card->Timer1Timer();
        QCOMPARE(m_card->OutsideTicks, i);
        QVERIFY(m_card->isVisible());
    }
    m_card->Timer1Timer();
    QVERIFY(!m_card->isVisible());
    QCOMPARE(m_card->OutsideTicks, 0);
}

void TestShowWord::pointerInsideResetsCount()
{
    m_card->CloseDelay = 1;
    showCard();
    const QPoint outsidePoints[] = {QPoint(-1, 20), QPoint(20, -1),
                                    QPoint(m_card->width() + 1, 20),
                                    QPoint(20, m_card->height() + 1)};
    for (const QPoint &point : outsidePoints) {
        pointerAt(point);
        m_card->Timer1Timer();
    }
    QCOMPARE(m_card->OutsideTicks, 4);
    // The card's own edges still count as inside.
    pointerAt(QPoint(m_card->width(), m_card->height()));
    m_card->Timer1Timer();
    QCOMPARE(m_card->OutsideTicks, 0);
    QVERIFY(m_card->isVisible());

    pointerAt(QPoint(-30, -30));
    for (int i = 0; i < 4; ++i)
        m_card->Timer1Timer();
    QVERIFY(m_card->isVisible());
    m_card->Timer1Timer();
    QVERIFY(!m_card->isVisible());
}

void TestShowWord::autoCloseRunsOnTheTimer()
{
    m_card->CloseDelay = 1;
    showCard();
    pointerAt(QPoint(-50, -50));
    m_card->Timer1->start(10);
    QTRY_VERIFY(!m_card->isVisible());
}

void TestShowWord::showResetsCount()
{
    showCard();
    pointerAt(QPoint(-50, -50));
    m_card->Timer1Timer();
    m_card->Timer1Timer();
    QCOMPARE(m_card->OutsideTicks, 2);
    m_card->hide();
    m_card->show();
    QCOMPARE(m_card->OutsideTicks, 0);
}

void TestShowWord::escapeAndCloseButtonClose()
{
    showCard();
    QTest::keyClick(m_card.get(), Qt::Key_Escape);
    QVERIFY(!m_card->isVisible());

    showCard();
    QTest::mouseClick(m_card->btnClose, Qt::LeftButton);
    QVERIFY(!m_card->isVisible());

    // Other keys leave the card open.
    showCard();
    QTest::keyClick(m_card.get(), Qt::Key_A);
    QVERIFY(m_card->isVisible());
}

void TestShowWord::dragMovesCard()
{
    auto word = MakeWord(QStringLiteral("apple"), QStringLiteral("ˈæpl"), QStringLiteral("n. 苹果"));
    m_card->DisplayWord(word.get());
    showCard();
    const QPoint start = m_card->pos();

    // Pressed on the meaning text, which is part of the card's surface.
    const QPoint grip = m_card->lblTrans->geometry().center();
    SendMouse(m_card.get(), QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
    const QPoint globalGrip = m_card->mapToGlobal(grip);
    QMouseEvent move(QEvent::MouseMove, QPointF(grip), QPointF(globalGrip + QPoint(30, 40)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_card.get(), &move);
    QCOMPARE(m_card->pos(), start + QPoint(30, 40));
    SendMouse(m_card.get(), QEvent::MouseButtonRelease, grip, Qt::LeftButton, Qt::NoButton);

    // After the release, moving the pointer leaves the card where it is.
    const QPoint dropped = m_card->pos();
    QMouseEvent hover(QEvent::MouseMove, QPointF(grip), QPointF(globalGrip + QPoint(90, 90)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m_card.get(), &hover);
    QCOMPARE(m_card->pos(), dropped);

    // The headword and the labels let the press through to the card.
    QCOMPARE(m_card->childAt(m_card->HeadwordLabel->geometry().center()), nullptr);
    QCOMPARE(m_card->childAt(grip), nullptr);
}

void TestShowWord::pressOnButtonDoesNotDrag()
{
    showCard();
    const QPoint start = m_card->pos();
    QWidget *target = m_card->childAt(m_card->btnSound->mapTo(m_card.get(), QPoint(5, 5)));
    QCOMPARE(target, m_card->btnSound);
    QSignalSpy clicked(m_card->btnSound, &QToolButton::clicked);
    QTest::mouseClick(m_card->btnSound, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(m_card->pos(), start);
    QVERIFY(m_card->isVisible());
}

void TestShowWord::paintsFrameAndColour()
{
    m_card->SetColor(0x00E0F0FF); // a light colour as a book colour
    auto word = MakeWord(QStringLiteral("apple"), QStringLiteral("ˈæpl"), QStringLiteral("n. 苹果"));
    m_card->DisplayWord(word.get());
    const QImage image = m_card->grab().toImage();
    const QColor frame(0xC0, 0xDC, 0xC0);
    const QColor back(0xFF, 0xF0, 0xE0);
    const int h = image.height();
    const int w = image.width();
    QCOMPARE(image.pixelColor(1, h / 2), frame);
    QCOMPARE(image.pixelColor(3, h / 2), frame);
    QCOMPARE(image.pixelColor(w - 2, h / 2), frame);
    QCOMPARE(image.pixelColor(w / 2, h - 1), frame);
    QCOMPARE(image.pixelColor(w / 2, 0), frame);
    QCOMPARE(image.pixelColor(5, h - 6), back);
    QCOMPARE(image.pixelColor(w - 6, h - 6), back);
}

void TestShowWord::screenshot()
{
    std::vector<std::unique_ptr<TWord>> words;
    words.push_back(MakeWord(QStringLiteral("present"), QStringLiteral("ˈpreznt"),
                             QStringLiteral("adj. 现在的；出席的\nn. 礼物；现在\nv. 呈现；赠送；提出；介绍")));
    words.push_back(MakeWord(QStringLiteral("presence"), QStringLiteral("ˈprezns"),
                             QStringLiteral("n. 出席；存在")));
    m_card->SetWords(MakeList(std::move(words)));
    m_card->WordIndex = 0;
    m_card->DisplayWord(m_card->SelectedWord());
    showCard();
    const QImage image = m_card->grab().toImage();
    QCOMPARE(image.height(), m_card->height());

    const QString bin = qEnvironmentVariable("VOCAMO_BIN_DIR");
    const QString folder = bin.isEmpty() ? QDir::currentPath() + QStringLiteral("/screenshots")
                                         : QDir(bin).absoluteFilePath(QStringLiteral("../screenshots"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(image.save(QDir(folder).absoluteFilePath(QStringLiteral("wordcard.png"))));
}

QTEST_MAIN(TestShowWord)
#include "tst_showword.moc"
