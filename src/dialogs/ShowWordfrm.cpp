#include "ShowWordfrm.h"

#include "DialogFonts.h"

#include "controls/Symbols.h"
#include "platform/gui/Colors.h"
#include "platform/gui/TextMetrics.h"
#include "store/Routine.h"

#include <QAction>
#include <QCursor>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextLayout>
#include <QTextOption>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <array>

using vocamo::colorFromWin;

namespace {

constexpr std::array<int, 5> kCloseTicks{1, 5, 7, 10, 15};
constexpr int kButtonHeight = 19;
constexpr int kButtonWidth = 23;

// A small glyph drawn from one character, in place of the stored button bitmaps.
QIcon GlyphIcon(const QString &glyph)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x20, 0x40, 0x80));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

// The drop-down of found words opens to the left of the point it is given, its right edge
// on that point.
class TRightAlignedMenu : public QMenu
{
public:
    using QMenu::QMenu;

protected:
    void showEvent(QShowEvent *event) override
    {
        QMenu::showEvent(event);
        int left = x() - width();
        if (const QScreen *screen = this->screen())
            left = std::max(left, screen->availableGeometry().left());
        move(left, y());
    }
};

// Mouse presses on these pass through to the card, which drags itself from any point.
void PassMouseToCard(QWidget *widget)
{
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
}

} // namespace

TfrmShowWord::TfrmShowWord(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmShowWord"));
    setWindowTitle(QStringLiteral("frmShowWord"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_QuitOnClose, false);
    setAutoFillBackground(true);
    resize(kDesignWidth, kDesignHeight);
    SetColor(0xFFFFFF);
    CreateComponents();
    CreateLabels();
    OutsideTicks = 0;
}

TfrmShowWord::~TfrmShowWord() = default;

void TfrmShowWord::CreateComponents()
{
    imgBack = new QLabel(this);
    imgBack->setObjectName(QStringLiteral("imgBack"));
    imgBack->setGeometry(3, 3, 349, 166);
    imgBack->setScaledContents(true);
    PassMouseToCard(imgBack);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(9, 50, 339, 1);
    Label1->setAutoFillBackground(true);
    QPalette linePalette = Label1->palette();
    linePalette.setColor(QPalette::Window, colorFromWin(0xFF0000));
    Label1->setPalette(linePalette);
    PassMouseToCard(Label1);

    lblTrans = new QLabel(this);
    lblTrans->setObjectName(QStringLiteral("lblTrans"));
    lblTrans->setGeometry(14, 70, 332, 83);
    lblTrans->setFont(SongFont(19));
    lblTrans->setWordWrap(true);
    lblTrans->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTrans->setTextFormat(Qt::PlainText);
    PassMouseToCard(lblTrans);

    CreateToolBar();

    memAdjust = new QPlainTextEdit(this);
    memAdjust->setObjectName(QStringLiteral("memAdjust"));
    memAdjust->setGeometry(14, 88, 332, 89);
    memAdjust->setFont(SongFont(19));
    memAdjust->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memAdjust->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memAdjust->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memAdjust->setVisible(false);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TfrmShowWord::Timer1Timer);
    Timer1->start();

    PopupMenu1 = new TRightAlignedMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
}

void TfrmShowWord::CreateToolBar()
{
    ToolBar1 = new QWidget(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->move(4, 4);
    auto *layout = new QHBoxLayout(ToolBar1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The bar keeps the size of its visible buttons, also when the host shows btnSpell.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    btnSpell = AddButton(QStringLiteral("btnSpell"), 6, 22, QStringLiteral("拼写"),
                         QStringLiteral("S"));
    btnSpell->setVisible(false);
    btnSound = AddButton(QStringLiteral("btnSound"), 0, 20, QStringLiteral("单词发音"),
                         QStringLiteral("♪"));
    btnBaseInfo = AddButton(QStringLiteral("btnBaseInfo"), 1, kButtonWidth,
                            QStringLiteral("综合信息"), QStringLiteral("i"));
    btnExample = AddButton(QStringLiteral("btnExample"), 2, kButtonWidth,
                           QStringLiteral("所有例句"), QStringLiteral("例"));
    btnEnglish = AddButton(QStringLiteral("btnEnglish"), 3, kButtonWidth,
                           QStringLiteral("韦氏词典解释"), QStringLiteral("W"));
    btnAddReadingNote = AddButton(QStringLiteral("btnAddReadingNote"), 4, kButtonWidth,
                                  QStringLiteral("加入阅读或指定笔记本"), QStringLiteral("+"));
    btnClose = AddButton(QStringLiteral("btnClose"), 6, kButtonWidth, QStringLiteral("关闭"),
                         QStringLiteral("×"));
    connect(btnClose, &QToolButton::clicked, this, &TfrmShowWord::btnCloseClick);
    layout->activate();
}

QToolButton *TfrmShowWord::AddButton(const QString &name, int tag, int width,
                                     const QString &hint, const QString &glyph)
{
    auto *button = new QToolButton(ToolBar1);
    button->setObjectName(name);
    button->setProperty("tag", tag);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(width, kButtonHeight);
    button->setIconSize(QSize(16, 16));
    button->setIcon(GlyphIcon(glyph));
    button->setToolTip(hint);
    ToolBar1->layout()->addWidget(button);
    return button;
}

void TfrmShowWord::CreateLabels()
{
    HeadwordLabel = new TMultiOptionLabel(this);
    HeadwordLabel->setObjectName(QStringLiteral("HeadwordLabel"));
    HeadwordLabel->SetAutoSize(false);
    HeadwordLabel->setFont(QFont(QStringLiteral("Arial"), 16));
    HeadwordLabel->SetFontColor(0x000000);
    HeadwordLabel->setGeometry(12, 24, ToolBar1->width() + 80, 25);
    HeadwordLabel->SetTransparent(true);
    HeadwordLabel->SetLayout(TCustomSymbol::TTextLayout::Top);
    HeadwordLabel->SetSymbolFontSize(14);
    HeadwordLabel->SetTypeMenu(PopupMenu1);
    connect(HeadwordLabel, &TMultiOptionLabel::OnOptionClick, this, &TfrmShowWord::SelectOption);
    PassMouseToCard(HeadwordLabel);
    HeadwordLabel->raise();

    SymbolLabel = new TWordSymbol(this);
    SymbolLabel->setObjectName(QStringLiteral("SymbolLabel"));
    SymbolLabel->SetAutoSize(false);
    SymbolLabel->setFont(QFont(QStringLiteral("Arial"), 14));
    SymbolLabel->SetFontColor(0x000000);
    SymbolLabel->setGeometry(12, Label1->y() + 2, width() - 40, 20);
    SymbolLabel->SetTransparent(true);
    SymbolLabel->SetSymbolFontSize(12);
    PassMouseToCard(SymbolLabel);
    SymbolLabel->raise();
}

void TfrmShowWord::SetColor(quint32 bgr)
{
    m_color = bgr;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colorFromWin(bgr));
    setPalette(palette);
    update();
}

void TfrmShowWord::SetWords(std::unique_ptr<TWordList> list)
{
    m_words = std::move(list);
    HeadwordLabel->SetShowArrow(false);
    HeadwordLabel->Options().clear();
    if (!m_words)
        return;
    for (int i = 0; i < m_words->Count(); ++i)
        HeadwordLabel->Options().append(m_words->NameAt(i));
    HeadwordLabel->SetShowArrow(m_words->Count() > 1);
}

TWord *TfrmShowWord::SelectedWord() const
{
    return m_words ? m_words->At(WordIndex) : nullptr;
}

void TfrmShowWord::SelectOption(QAction *item)
{
    if (!m_words || !item)
        return;
    const QString caption = item->text();
    for (int i = 0; i < m_words->Count(); ++i) {
        const TWord *word = m_words->At(i);
        if (word && word->Name.compare(caption, Qt::CaseInsensitive) == 0) {
            WordIndex = i;
            DisplayWord(SelectedWord());
            return;
        }
    }
}

void TfrmShowWord::DisplayWord(const TWord *word)
{
    HeadwordLabel->SetCaption(QString());
    HeadwordLabel->SetSymbol(QString());
    SymbolLabel->SetCaption(QString());
    SymbolLabel->SetSymbol(QString());
    lblTrans->clear();
    if (!word)
        return;

    HeadwordLabel->SetCaption(word->Name);
    SymbolLabel->SetSymbol(word->Symbol);
    memAdjust->setPlainText(word->Meaning);
    lblTrans->setText(word->Meaning);

    SymbolLabel->move(SymbolLabel->x(), Label1->y() + 2);
    lblTrans->move(lblTrans->x(), SymbolLabel->y() + SymbolLabel->height() + 4);
    SymbolLabel->setVisible(true);
    if (DelphiTrim(word->Symbol).isEmpty()) {
        lblTrans->move(lblTrans->x(), SymbolLabel->y() + 4);
        SymbolLabel->setVisible(false);
    }

    const int lines = std::max(MemoLineCount(word->Meaning), 1);
    lblTrans->resize(lblTrans->width(), lines * vocamo::TextHeight(lblTrans->font(), QStringLiteral("G")));

    const int transBottom = lblTrans->y() + lblTrans->height();
    resize(width(), transBottom + 11);
    imgBack->resize(imgBack->width(), transBottom + 5);
}

int TfrmShowWord::MemoLineCount(const QString &text) const
{
    QString flat = text;
    flat.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    flat.replace(u'\r', u'\n');
    if (flat.isEmpty())
        return 0;
    if (flat.endsWith(u'\n'))
        flat.chop(1);

    // The memo's text area: its width less the frame and the document margin on each side.
    const qreal wrapWidth = memAdjust->width() - 2 * memAdjust->frameWidth()
                            - 2 * memAdjust->document()->documentMargin();
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    int count = 0;
    for (const QString &paragraph : flat.split(u'\n')) {
        QTextLayout layout(paragraph, memAdjust->font());
        layout.setTextOption(option);
        layout.beginLayout();
        int lines = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(wrapWidth);
            ++lines;
        }
        layout.endLayout();
        count += std::max(lines, 1);
    }
    return count;
}

int TfrmShowWord::CloseTicks(int closeDelay)
{
    const int index = std::clamp(closeDelay, 0, static_cast<int>(kCloseTicks.size()) - 1);
    return kCloseTicks[static_cast<size_t>(index)];
}

void TfrmShowWord::Timer1Timer()
{
    const QPoint point = mapFromGlobal(QCursor::pos());
    const bool outside = point.x() < 0 || point.y() < 0 || point.x() > width()
                         || point.y() > height();
    if (!outside) {
        OutsideTicks = 0;
        return;
    }
    ++OutsideTicks;
    if (OutsideTicks >= CloseTicks(CloseDelay)) {
        OutsideTicks = 0;
        if (isVisible())
            close();
    }
}

void TfrmShowWord::btnCloseClick()
{
    close();
}

void TfrmShowWord::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QPen pen(colorFromWin(kFrameColor), kFramePenWidth);
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const int w = width();
    const int h = height();
    painter.drawLine(0, 0, w, 0);
    painter.drawLine(0, 0, 0, h);
    painter.drawLine(0, h, w, h);
    painter.drawLine(w, 0, w, h);
}

void TfrmShowWord::showEvent(QShowEvent *event)
{
    OutsideTicks = 0;
    QWidget::showEvent(event);
}

void TfrmShowWord::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfrmShowWord::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint onLabel = event->position().toPoint() - HeadwordLabel->pos();
    if (HeadwordLabel->ShowArrow() && HeadwordLabel->OpenOptionsAt(onLabel))
        return;
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - pos();
}

void TfrmShowWord::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging || !(event->buttons() & Qt::LeftButton)) {
        m_dragging = false;
        QWidget::mouseMoveEvent(event);
        return;
    }
    move(event->globalPosition().toPoint() - m_dragOffset);
}

void TfrmShowWord::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}
