#include "Symbols.h"

#include "platform/gui/Colors.h"
#include "platform/gui/PhoneticFont.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QImage>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QShortcutEvent>

using vocamo::colorFromWin;
using vocamo::winFromColor;

namespace {

// The phonetic family must resolve to a font with IPA glyphs before the first measure.
void EnsurePhoneticFamilyOnce()
{
    static const bool ensured = [] {
        vocamo::EnsurePhoneticFont(QCoreApplication::applicationDirPath());
        return true;
    }();
    Q_UNUSED(ensured);
}

} // namespace

// --- TCustomSymbol -----------------------------------------------------------------

TCustomSymbol::TCustomSymbol(QWidget *parent)
    : QWidget(parent)
{
    EnsurePhoneticFamilyOnce();
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent, !m_transparent);
    m_symbolFontSize = FontPointSize(font());
    resize(65, 17);
}

TCustomSymbol::~TCustomSymbol() = default;

int TCustomSymbol::FontPointSize(const QFont &font)
{
    if (font.pointSize() > 0)
        return font.pointSize();
    return font.pixelSize() > 0 ? (font.pixelSize() * 72 + 48) / 96 : 0;
}

QString TCustomSymbol::TrimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

void TCustomSymbol::SetCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    UpdateShortcut();
    update();
    AdjustBounds();
    TextChanged();
}

void TCustomSymbol::SetFocusControl(QWidget *control)
{
    m_focusControl = control;
    UpdateShortcut();
}

void TCustomSymbol::SetAlignment(TAlignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    update();
}

void TCustomSymbol::SetLayout(TTextLayout layout)
{
    if (layout == m_layout)
        return;
    m_layout = layout;
    update();
}

void TCustomSymbol::SetAutoSize(bool on)
{
    if (on == m_autoSize)
        return;
    m_autoSize = on;
    AdjustBounds();
}

void TCustomSymbol::SetShowAccelChar(bool on)
{
    if (on == m_showAccelChar)
        return;
    m_showAccelChar = on;
    UpdateShortcut();
    update();
}

void TCustomSymbol::SetWordWrap(bool on)
{
    if (on == m_wordWrap)
        return;
    m_wordWrap = on;
    AdjustBounds();
    update();
}

void TCustomSymbol::SetTransparent(bool on)
{
    if (on == m_transparent)
        return;
    m_transparent = on;
    setAttribute(Qt::WA_OpaquePaintEvent, !on);
    update();
}

void TCustomSymbol::SetColor(quint32 bgr)
{
    if (bgr == m_color && !m_parentColor)
        return;
    m_color = bgr;
    m_parentColor = false;
    update();
}

void TCustomSymbol::SetParentColor(bool on)
{
    if (on == m_parentColor)
        return;
    m_parentColor = on;
    update();
}

void TCustomSymbol::SetFontColor(quint32 bgr)
{
    if (bgr == m_fontColor)
        return;
    m_fontColor = bgr;
    update();
}

int TCustomSymbol::Tag() const
{
    return property("tag").toInt();
}

void TCustomSymbol::SetTag(int tag)
{
    setProperty("tag", tag);
}

QString TCustomSymbol::GetSymbol() const
{
    return TrimBlanks(m_symbol);
}

void TCustomSymbol::SetSymbol(const QString &value)
{
    m_symbol = QStringLiteral("  %1 ").arg(value);
    update();
    AdjustBounds();
}

void TCustomSymbol::SetSymbolFontSize(int size)
{
    if (size == m_symbolFontSize || size > FontPointSize(font()))
        return;
    m_symbolFontSize = size;
    update();
    AdjustBounds();
}

void TCustomSymbol::EndLoading()
{
    m_loading = false;
    AdjustBounds();
}

QFont TCustomSymbol::SymbolFont() const
{
    QFont symbolFont = vocamo::PhoneticFont(0);
    if (m_symbolFontSize > 0)
        symbolFont.setPointSize(m_symbolFontSize);
    return symbolFont;
}

QSize TCustomSymbol::sizeHint() const
{
    const QRect caption = MeasureText(QRect(0, 0, width(), height()),
                                      Qt::TextExpandTabs | (m_wordWrap ? Qt::TextWordWrap : 0)
                                          | AccelFlags());
    int hintWidth = caption.width();
    if (!GetSymbol().isEmpty()) {
        const int gap = TrimBlanks(m_caption).isEmpty() ? 0 : 10;
        hintWidth += gap + SymbolExtent().width();
    }
    return {hintWidth, caption.height()};
}

QString TCustomSymbol::TextForMeasure() const
{
    QString text = GetLabelText();
    if (text.isEmpty() || (m_showAccelChar && text == QLatin1String("&")))
        text += QLatin1Char(' ');
    return text;
}

int TCustomSymbol::AccelFlags() const
{
    return m_showAccelChar ? int(Qt::TextShowMnemonic) : 0;
}

int TCustomSymbol::AlignmentFlags() const
{
    switch (m_alignment) {
    case TAlignment::Right:
        return Qt::AlignRight;
    case TAlignment::Center:
        return Qt::AlignHCenter;
    case TAlignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

QRect TCustomSymbol::MeasureText(const QRect &rect, int flags) const
{
    const QFontMetrics metrics(font());
    const int measureFlags = (flags & ~int(Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask))
                             | Qt::AlignLeft | Qt::AlignTop;
    const QRect bounds = metrics.boundingRect(QRect(rect.x(), rect.y(), qMax(rect.width(), 1),
                                                    qMax(rect.height(), 1)),
                                              measureFlags, TextForMeasure());
    // Whole lines in integer pixels: the bounding rectangle rounds fractional heights up.
    const int lines = qMax(1, qRound(double(bounds.height()) / metrics.lineSpacing()));
    return {rect.x(), rect.y(), bounds.width(), (lines - 1) * metrics.lineSpacing() + metrics.height()};
}

QSize TCustomSymbol::SymbolExtent() const
{
    const QFontMetrics metrics(SymbolFont());
    return {metrics.horizontalAdvance(m_symbol), metrics.height()};
}

void TCustomSymbol::AdjustBounds()
{
    if (m_loading || m_adjusting)
        return;
    m_adjusting = true;
    const QRect client(0, 0, width(), height());
    QRect measured = MeasureText(client, Qt::TextExpandTabs | (m_wordWrap ? Qt::TextWordWrap : 0)
                                             | AccelFlags());
    const bool blankCaption = TrimBlanks(m_caption).isEmpty();
    m_realWidth = blankCaption ? 0 : measured.width() + 20;
    if (!GetSymbol().isEmpty()) {
        const QSize symbol = SymbolExtent();
        m_symbolLeft = measured.x() + measured.width() + (blankCaption ? 0 : 10);
        m_realWidth += symbol.width();
        // The symbol sits on the bottom edge of the control as it will be after sizing.
        const int finalHeight = m_autoSize ? measured.height() : height();
        m_symbolTop = finalHeight - symbol.height();
        m_symbolRight = m_symbolLeft + symbol.width();
        measured.setWidth(m_symbolRight);
    }
    if (m_autoSize) {
        int left = x();
        if (m_alignment == TAlignment::Right)
            left += width() - measured.width();
        setGeometry(left, y(), measured.width(), measured.height());
    }
    updateGeometry();
    m_adjusting = false;
}

void TCustomSymbol::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A control sized from outside keeps its phonetic part on the bottom edge.
    if (!m_adjusting && !GetSymbol().isEmpty())
        m_symbolTop = height() - SymbolExtent().height();
}

QColor TCustomSymbol::BackgroundColor() const
{
    if (m_parentColor && parentWidget())
        return parentWidget()->palette().color(parentWidget()->backgroundRole());
    return colorFromWin(m_color);
}

void TCustomSymbol::PaintBackground(QPainter &painter)
{
    if (!m_transparent)
        painter.fillRect(rect(), BackgroundColor());
}

void TCustomSymbol::DrawTextEmbossed(QPainter &painter, const QRect &rect, int flags,
                                     const QString &text)
{
    if (isEnabled()) {
        painter.setPen(colorFromWin(m_fontColor));
        painter.drawText(rect, flags, text);
        return;
    }
    painter.setPen(palette().color(QPalette::Light));
    painter.drawText(rect.translated(1, 1), flags, text);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawText(rect, flags, text);
}

void TCustomSymbol::DoDrawText(QPainter &painter, const QRect &rect, int flags)
{
    painter.setFont(font());
    DrawTextEmbossed(painter, rect, flags | AccelFlags(), GetLabelText());
}

void TCustomSymbol::DoDrawSymbol(QPainter &painter, const QRect &rect, int flags)
{
    painter.setFont(SymbolFont());
    DrawTextEmbossed(painter, rect, flags | AccelFlags(), m_symbol);
}

void TCustomSymbol::DrawBrackets(QPainter &painter)
{
    const int w = BracketPenWidth();
    QPen pen(colorFromWin(m_fontColor));
    pen.setWidth(w);
    painter.setPen(pen);
    const int a = m_symbolLeft;
    const int r = m_symbolRight;
    const int t = m_symbolTop;
    const int h = height();
    painter.drawLine(a + 2, t, a + 2, h - 1);
    painter.drawLine(a + 2, t + w - 1, a + 5, t + w - 1);
    painter.drawLine(a + 2, h - 1, a + 5, h - 1);
    painter.drawLine(r - 1, t + w - 1, r - 4, t + w - 1);
    painter.drawLine(r - 1, t, r - 1, h - 1);
    painter.drawLine(r - 1, h - 1, r - 4, h - 1);
}

void TCustomSymbol::PaintLabel(QPainter &painter, const QRect &rect)
{
    const int flags = Qt::TextExpandTabs | (m_wordWrap ? Qt::TextWordWrap : 0) | AlignmentFlags();
    QRect textRect = rect;
    if (m_layout != TTextLayout::Top) {
        const QRect measured = MeasureText(rect, flags);
        const int room = rect.height() - measured.height();
        textRect.translate(0, m_layout == TTextLayout::Center ? room / 2 : room);
    }
    DoDrawText(painter, textRect, flags);
    if (GetSymbol().isEmpty())
        return;
    DrawBrackets(painter);
    DoDrawSymbol(painter,
                 QRect(m_symbolLeft, m_symbolTop, qMax(m_symbolRight - m_symbolLeft, 1),
                       qMax(height() - m_symbolTop, 1)),
                 Qt::TextExpandTabs | Qt::AlignLeft);
}

void TCustomSymbol::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PaintBackground(painter);
    PaintLabel(painter, rect());
}

void TCustomSymbol::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        // The phonetic part is never larger than the caption.
        m_symbolFontSize = qMin(m_symbolFontSize, FontPointSize(font()));
        AdjustBounds();
        update();
    } else if (event->type() == QEvent::EnabledChange) {
        update();
    }
}

void TCustomSymbol::UpdateShortcut()
{
    if (m_shortcutId != 0) {
        releaseShortcut(m_shortcutId);
        m_shortcutId = 0;
    }
    if (!m_focusControl || !m_showAccelChar)
        return;
    const QKeySequence accel = QKeySequence::mnemonic(m_caption);
    if (!accel.isEmpty())
        m_shortcutId = grabShortcut(accel);
}

bool TCustomSymbol::event(QEvent *event)
{
    if (event->type() == QEvent::Shortcut
        && static_cast<QShortcutEvent *>(event)->shortcutId() == m_shortcutId
        && m_shortcutId != 0) {
        if (isEnabled() && m_showAccelChar && m_focusControl
            && m_focusControl->focusPolicy() != Qt::NoFocus && m_focusControl->isEnabled())
            m_focusControl->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QWidget::event(event);
}

void TCustomSymbol::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    emit OnMouseDown(event->button(), event->position().toPoint());
}

void TCustomSymbol::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton
                       && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit OnClick();
}

// --- TMultiOptionLabel --------------------------------------------------------------

TMultiOptionLabel::TMultiOptionLabel(QWidget *parent)
    : TCustomSymbol(parent)
{
}

void TMultiOptionLabel::SetShowArrow(bool on)
{
    if (on == m_showArrow)
        return;
    m_showArrow = on;
    update();
}

void TMultiOptionLabel::SetTypeMenu(QMenu *menu)
{
    m_typeMenu = menu;
}

QRect TMultiOptionLabel::ArrowRect() const
{
    return {width() - 20, 0, 20, height()};
}

void TMultiOptionLabel::PopupOptions()
{
    m_typeMenu->clear();
    for (const QString &option : std::as_const(m_options)) {
        QAction *item = m_typeMenu->addAction(option);
        connect(item, &QAction::triggered, this, [this, item] { emit OnOptionClick(item); });
    }
    m_typeMenu->popup(mapToGlobal(QPoint(width() - 20, height() + 1)));
}

bool TMultiOptionLabel::OpenOptionsAt(const QPoint &point)
{
    if (!m_typeMenu || !ArrowRect().contains(point))
        return false;
    PopupOptions();
    return true;
}

void TMultiOptionLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PaintBackground(painter);
    if (!m_showArrow) {
        PaintLabel(painter, rect());
        return;
    }
    PaintLabel(painter, rect().adjusted(0, 0, -20, 0));
    const int w = width();
    const QPolygon arrow({QPoint(w - 16, 5), QPoint(w - 4, 5), QPoint(w - 10, 14)});
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    painter.drawPolygon(arrow);
}

void TMultiOptionLabel::mousePressEvent(QMouseEvent *event)
{
    TCustomSymbol::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && event->position().x() > width() - 20
        && m_typeMenu && m_showArrow)
        PopupOptions();
}

// --- TDecorateButton ----------------------------------------------------------------

TDecorateButton::TDecorateButton(QWidget *parent)
    : TCustomSymbol(parent)
{
}

void TDecorateButton::SetHover(bool on)
{
    if (on == m_hover)
        return;
    m_hover = on;
    update();
}

void TDecorateButton::enterEvent(QEnterEvent *event)
{
    TCustomSymbol::enterEvent(event);
    SetHover(true);
}

void TDecorateButton::leaveEvent(QEvent *event)
{
    TCustomSymbol::leaveEvent(event);
    SetHover(false);
}

void TDecorateButton::changeEvent(QEvent *event)
{
    TCustomSymbol::changeEvent(event);
    if (event->type() != QEvent::EnabledChange)
        return;
    if (isVisible() && m_hostPanel && m_hostWindow)
        m_hostWindow->update(QRect(m_hostPanel->x() + x(), m_hostPanel->y() + y(), width(),
                                   height()));
    update();
}

void TDecorateButton::resizeEvent(QResizeEvent *event)
{
    TCustomSymbol::resizeEvent(event);
    // Edges remembered for another size no longer fit.
    m_edgesSaved = false;
}

void TDecorateButton::SaveEdges()
{
    QWidget *host = parentWidget();
    if (!host || width() <= 0 || height() <= 0)
        return;
    // The parent's own painting under the button, without any child controls.
    QImage under(size(), QImage::Format_RGB32);
    under.fill(host->palette().color(host->backgroundRole()));
    host->render(&under, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
    const int across = qMin(width(), kEdgeRun);
    const int down = qMin(height(), kEdgeRun);
    const auto put = [this, &under](int index, int px, int py) {
        m_edgePixels.Put(index, qint32(winFromColor(under.pixelColor(px, py))));
    };
    for (int i = 0; i < across; ++i) {
        put(i, i, qMin(1, height() - 1));
        put(kEdgeRun + i, i, height() - 1);
    }
    for (int i = 0; i < down; ++i) {
        put(2 * kEdgeRun + i, 0, i);
        put(3 * kEdgeRun + i, width() - 1, i);
    }
    m_edgesSaved = true;
}

void TDecorateButton::RestoreEdges(QPainter &painter)
{
    const int across = qMin(width(), kEdgeRun);
    const int down = qMin(height(), kEdgeRun);
    const auto plot = [this, &painter](int index, int px, int py) {
        painter.setPen(colorFromWin(quint32(m_edgePixels.Get(index))));
        painter.drawPoint(px, py);
    };
    for (int i = 0; i < across; ++i) {
        plot(i, i, 0);
        plot(kEdgeRun + i, i, height() - 1);
    }
    for (int i = 0; i < down; ++i) {
        plot(2 * kEdgeRun + i, 0, i);
        plot(3 * kEdgeRun + i, width() - 1, i);
    }
}

void TDecorateButton::DrawRaisedFrame(QPainter &painter)
{
    const int right = width() - 1;
    const int bottom = height() - 1;
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, 0, right, 0);
    painter.drawLine(0, 0, 0, bottom);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(right, 0, right, bottom);
    painter.drawLine(0, bottom, right, bottom);
}

void TDecorateButton::paintEvent(QPaintEvent *)
{
    if (Transparent() && !m_edgesSaved)
        SaveEdges();
    QPainter painter(this);
    PaintBackground(painter);
    PaintLabel(painter, rect());
    m_cornerColour = Transparent() ? quint32(m_edgePixels.Get(1)) : winFromColor(BackgroundColor());
    if (m_hover)
        DrawRaisedFrame(painter);
    else if (Transparent() && m_edgesSaved)
        RestoreEdges(painter);
}
