#include "SimpleGrid.h"

#include "GridText.h"
#include "platform/gui/Colors.h"
#include "platform/gui/PhoneticFont.h"
#include "store/Routine.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <cmath>

using vocamo::colorFromWin;
using vocamo::winFromColor;

namespace {

const QString kPhoneticMarker = QStringLiteral("$$");
const QString kAnswerMarker = QStringLiteral("##");
const QString kRevealedFlag = QStringLiteral("%%%");
constexpr int kBracketSerif = 4;
constexpr int kBracketPadding = 10;
constexpr int kPhoneticOffset = 5;
constexpr int kPhoneticGap = 15;
constexpr int kRevealGap = 30;
constexpr int kRevealMargin = 50;

// Splits at the first marker; without the marker the whole text is the first part.
std::pair<QString, QString> splitAt(const QString &text, const QString &marker)
{
    const qsizetype at = text.indexOf(marker);
    if (at < 0)
        return {text, QString()};
    return {text.left(at), text.mid(at + marker.size())};
}

// Whole pixels, rounded up so that a text laid out in a rectangle this wide keeps to one line.
int advance(const QFont &font, const QString &text)
{
    return int(std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
}

// The run of blanks, appended one at a time, whose width in `font` reaches `target`. Blanks
// are not kerned, so the run is as wide as its count times one blank.
QString blanksReaching(const QFont &font, int target)
{
    const qreal blank = QFontMetricsF(font).horizontalAdvance(QLatin1Char(' '));
    if (blank <= 0)
        return QString();
    qsizetype count = qMax<qsizetype>(0, qsizetype(target / blank) - 1);
    while (count * blank < target)
        ++count;
    return QString(count, QLatin1Char(' '));
}

} // namespace

// ---- TCell ----------------------------------------------------------------------------

TCell::TCell(TRows *row, int column) : m_row(row), m_column(column)
{
    const TSimpleGrid *grid = row->Grid();
    m_fontSize = grid->FontSize();
    m_fontColor = grid->FontColor();
    m_backColor = grid->Background();
}

void TCell::changed()
{
    TSimpleGrid *grid = m_row->Grid();
    const int row = grid->IndexOfRow(m_row);
    if (row >= 0)
        grid->InvalidateCell(m_column, row);
}

void TCell::fontChanged()
{
    m_font.reset();
    m_boldFont.reset();
    changed();
}

void TCell::SetText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    if (!m_row->Grid()->Measuring())
        changed();
}

void TCell::SetWidth(int width)
{
    if (m_width == width)
        return;
    m_width = width;
    if (m_row == m_row->Grid()->ColumnRow())
        m_row->Grid()->update();
}

void TCell::SetFontName(const QString &name)
{
    if (m_fontName == name)
        return;
    m_fontName = name;
    fontChanged();
}

void TCell::SetFontSize(int size)
{
    if (m_fontSize == size)
        return;
    m_fontSize = size;
    fontChanged();
}

void TCell::SetFontColor(quint32 color)
{
    if (m_fontColor == color)
        return;
    m_fontColor = color;
    changed();
}

void TCell::SetFontStyle(FontStyles style)
{
    if (m_fontStyle == style)
        return;
    m_fontStyle = style;
    fontChanged();
}

void TCell::SetBold(bool bold)
{
    SetFontStyle(bold ? (m_fontStyle | Bold) : (m_fontStyle & ~FontStyles(Bold)));
}

void TCell::SetBackColor(quint32 color)
{
    if (m_backColor == color)
        return;
    m_backColor = color;
    changed();
}

void TCell::SetAlign(quint8 align)
{
    if (m_align == align)
        return;
    m_align = align;
    changed();
}

void TCell::SetVAlign(quint8 align)
{
    if (m_vAlign == align)
        return;
    m_vAlign = align;
    changed();
}

void TCell::SetIndented(bool indented)
{
    if (m_indented == indented)
        return;
    m_indented = indented;
    changed();
}

void TCell::SetIndent(int indent)
{
    if (m_indent == indent)
        return;
    m_indent = indent;
    changed();
}

void TCell::SetSelectable(bool selectable)
{
    if (m_selectable == selectable)
        return;
    m_selectable = selectable;
    changed();
}

void TCell::Reset()
{
    const TSimpleGrid *grid = m_row->Grid();
    if (m_fontName != grid->FontName() || m_fontSize != grid->FontSize() || m_fontStyle) {
        m_font.reset();
        m_boldFont.reset();
    }
    m_fontName = grid->FontName();
    m_fontSize = grid->FontSize();
    m_fontColor = grid->FontColor();
    m_fontStyle = {};
    m_backColor = grid->Background();
    m_align = 1;
    m_vAlign = 1;
    m_indented = false;
    m_selectable = true;
    m_text.clear();
    changed();
}

const QFont &TCell::Font() const
{
    if (!m_font) {
        m_font = std::make_unique<QFont>(m_fontName);
        if (m_fontSize > 0)
            m_font->setPointSize(m_fontSize);
        m_font->setBold(m_fontStyle.testFlag(Bold));
        m_font->setItalic(m_fontStyle.testFlag(Italic));
        m_font->setUnderline(m_fontStyle.testFlag(Underline));
        m_font->setStrikeOut(m_fontStyle.testFlag(StrikeOut));
    }
    return *m_font;
}

const QFont &TCell::BoldFont() const
{
    if (!m_boldFont) {
        m_boldFont = std::make_unique<QFont>(Font());
        m_boldFont->setBold(true);
    }
    return *m_boldFont;
}

// ---- TRows ----------------------------------------------------------------------------

TRows::TRows(TSimpleGrid *grid) : Height(grid->LineHeight()), m_grid(grid)
{
    for (int i = 0; i < kCellCount; ++i)
        m_cells[size_t(i)] = std::make_unique<TCell>(this, i);
}

// ---- TSimpleGrid: structure -----------------------------------------------------------

TSimpleGrid::TSimpleGrid(QWidget *host) : QWidget(host)
{
    setObjectName(QStringLiteral("SimpleGrid"));
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    if (host)
        m_background = winFromColor(host->palette().color(host->backgroundRole()));
    m_columnRow = std::make_unique<TRows>(this);
    ensureRows(m_rowCount + 1);
}

TSimpleGrid::~TSimpleGrid() = default;

bool TSimpleGrid::inside(int column, int row) const
{
    return column >= 0 && column < m_colCount && row >= 0 && row < m_rowCount
           && row < int(m_rows.size());
}

void TSimpleGrid::ensureRows(int count)
{
    while (int(m_rows.size()) < count)
        m_rows.push_back(std::make_unique<TRows>(this));
}

TCell *TSimpleGrid::Cell(int column, int row) const
{
    if (!inside(column, row))
        return m_columnRow->Cell(0);
    return m_rows[size_t(row)]->Cell(column);
}

void TSimpleGrid::SetCellText(int column, int row, const QString &text)
{
    Cell(column, row)->SetText(text);
}

QString TSimpleGrid::CellText(int column, int row) const
{
    return Cell(column, row)->Text();
}

TRows *TSimpleGrid::Row(int row) const
{
    if (row < 0 || row >= m_rowCount || row >= int(m_rows.size()))
        return nullptr;
    return m_rows[size_t(row)].get();
}

int TSimpleGrid::IndexOfRow(const TRows *row) const
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].get() == row)
            return int(i);
    }
    return -1;
}

void TSimpleGrid::SetColWidth(int column, int width)
{
    if (width < 0 || column < 0 || column >= m_colCount)
        return;
    m_columnRow->Cell(column)->SetWidth(width);
}

int TSimpleGrid::ColWidth(int column) const
{
    if (column < 0 || column >= kMaxColumns)
        return 0;
    return m_columnRow->Cell(column)->Width();
}

void TSimpleGrid::SetRowHeight(int row, int height)
{
    TRows *target = Row(row);
    if (height < 0 || !target || target->Height == height)
        return;
    target->Height = height;
    update();
}

int TSimpleGrid::RowHeight(int row) const
{
    const TRows *target = Row(row);
    return target ? target->Height : 0;
}

void TSimpleGrid::SetRowCount(int count)
{
    if (count < 0)
        return;
    ensureRows(count);
    m_rowCount = count;
    update();
}

void TSimpleGrid::SetColCount(int count)
{
    if (count < 0)
        return;
    m_colCount = qMin(count, kMaxColumns);
    update();
}

// ---- geometry -------------------------------------------------------------------------

int TSimpleGrid::columnLeft(int column) const
{
    int left = 0;
    for (int i = 0; i < column; ++i)
        left += m_columnRow->Cell(i)->Width() + 1;
    return left;
}

int TSimpleGrid::rowTop(int row) const
{
    int top = 0;
    for (int i = 0; i < row; ++i)
        top += m_rows[size_t(i)]->Height + 1;
    return top;
}

QRect TSimpleGrid::CellRect(int column, int row) const
{
    if (!inside(column, row))
        return {};
    return QRect(columnLeft(column), rowTop(row), ColWidth(column) + 1, RowHeight(row) + 1);
}

QRect TSimpleGrid::CellRectOnHost(int column, int row) const
{
    const QRect rect = CellRect(column, row);
    return rect.isEmpty() ? rect : rect.translated(pos());
}

TGridHit TSimpleGrid::HitTest(int x, int y) const
{
    TGridHit hit;
    for (int row = 0, top = 0; row < m_rowCount && row < int(m_rows.size()); ++row) {
        const int bottom = top + m_rows[size_t(row)]->Height + 1;
        if (y >= top && y < bottom) {
            for (int column = 0, left = 0; column < m_colCount; ++column) {
                const int right = left + ColWidth(column) + 1;
                if (x >= left && x < right) {
                    hit.Column = column;
                    hit.Row = row;
                    hit.Point = QPoint(x - left, y - top);
                    return hit;
                }
                left = right;
            }
            return hit;
        }
        top = bottom;
    }
    return hit;
}

int TSimpleGrid::textWidthIn(const TCell &cell, const QRect &rect) const
{
    const QString text = DelphiTrim(cell.Text());
    if (text.isEmpty())
        return rect.width();
    return qMin(advance(cell.Font(), text), rect.width());
}

int TSimpleGrid::TextWidth(int column, int row) const
{
    const QRect rect = CellRect(column, row);
    if (rect.isEmpty())
        return 0;
    return textWidthIn(*Cell(column, row), rect);
}

int TSimpleGrid::MeasureCell(int column, int row) const
{
    const QRect rect = CellRect(column, row);
    if (rect.isEmpty())
        return 0;
    return drawCell(nullptr, *Cell(column, row), rect, column);
}

void TSimpleGrid::SetBounds(int left, int top, int width, int height)
{
    setGeometry(left, top, qMax(0, width), qMax(0, height));
}

void TSimpleGrid::SetVisible(bool visible)
{
    setVisible(visible);
}

void TSimpleGrid::SetTransparent(bool transparent)
{
    if (m_transparent == transparent)
        return;
    m_transparent = transparent;
    update();
}

void TSimpleGrid::InvalidateCell(int column, int row)
{
    const QRect rect = CellRect(column, row);
    if (!rect.isEmpty())
        update(rect);
}

// ---- properties -----------------------------------------------------------------------

namespace {
template <typename T> bool assign(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}
} // namespace

void TSimpleGrid::SetBackground(quint32 color)
{
    if (assign(m_background, color))
        update();
}

void TSimpleGrid::SetShowBorders(bool show)
{
    if (assign(m_showBorders, show))
        update();
}

void TSimpleGrid::SetBorderColor(quint32 color)
{
    if (assign(m_borderColor, color))
        update();
}

void TSimpleGrid::SetLineHeight(int height)
{
    if (assign(m_lineHeight, height))
        update();
}

void TSimpleGrid::SetCellStyle(int style)
{
    if (assign(m_cellStyle, style))
        update();
}

void TSimpleGrid::SetShowSelection(bool show)
{
    if (assign(m_showSelection, show))
        invalidateSelection();
}

void TSimpleGrid::SetMarkColumn(int column)
{
    if (assign(m_markColumn, column))
        invalidateSelection();
}

void TSimpleGrid::SetUnderlineMark(bool underline)
{
    if (assign(m_underlineMark, underline))
        invalidateSelection();
}

void TSimpleGrid::SetFirstLineMark(bool firstLine)
{
    if (assign(m_firstLineMark, firstLine))
        invalidateSelection();
}

void TSimpleGrid::SetInvalidateMode(bool invalidate)
{
    if (assign(m_invalidateMode, invalidate))
        invalidateSelection();
}

void TSimpleGrid::SetMarkPenWidth(int width)
{
    if (assign(m_markPenWidth, width))
        invalidateSelection();
}

const QFont &TSimpleGrid::PhoneticFontAt(int pointSize) const
{
    auto found = m_phoneticFonts.find(pointSize);
    if (found == m_phoneticFonts.end()) {
        QFont font(QString::fromLatin1(vocamo::kPhoneticFamily));
        if (pointSize > 0)
            font.setPointSize(pointSize);
        found = m_phoneticFonts.insert(pointSize, font);
    }
    return *found;
}

// ---- selection ------------------------------------------------------------------------

void TSimpleGrid::invalidateSelection()
{
    InvalidateCell(m_selectedCol, m_selectedRow);
}

void TSimpleGrid::SelectCell(int column, int row)
{
    if (!inside(column, row))
        return;
    if (column == m_selectedCol && row == m_selectedRow)
        return;
    // Widgets paint only in paint events, so both modes repaint the two cells; without
    // InvalidateMode the mark itself is drawn inverting.
    invalidateSelection();
    m_selectedCol = column;
    m_selectedRow = row;
    invalidateSelection();
    emit OnSelectCell(column, row);
}

void TSimpleGrid::stepSelection(int step)
{
    const int count = qMin(m_rowCount, int(m_rows.size()));
    if (count <= 0 || m_selectedCol < 0 || m_selectedCol >= m_colCount)
        return;
    for (int i = 1; i <= count; ++i) {
        const int row = (((m_selectedRow + step * i) % count) + count) % count;
        if (m_rows[size_t(row)]->Cell(m_selectedCol)->Selectable()) {
            SelectCell(m_selectedCol, row);
            return;
        }
    }
}

void TSimpleGrid::SelectNextRow()
{
    stepSelection(1);
}

void TSimpleGrid::SelectPreviousRow()
{
    stepSelection(-1);
}

void TSimpleGrid::DeleteRow(int row)
{
    if (m_rowCount <= 0 || row < 0 || row >= m_rowCount || row >= int(m_rows.size()))
        return;
    m_rows.erase(m_rows.begin() + row);
    --m_rowCount;
    // The selection stays on the row it was on; when that was the deleted last row it
    // moves to the new last row.
    if (row < m_selectedRow) {
        --m_selectedRow;
    } else if (m_selectedRow >= m_rowCount) {
        m_selectedRow = m_rowCount - 1;
        if (m_showSelection)
            invalidateSelection();
    }
    update();
}

// ---- mouse ----------------------------------------------------------------------------

namespace {
int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 0;
    case Qt::RightButton:
        return 1;
    default:
        return -1;
    }
}
} // namespace

void TSimpleGrid::HostMouseDown(int button, const QPoint &globalPos)
{
    const QPoint local = mapFromGlobal(globalPos);
    emit OnMouseDown(button, local.x(), local.y());
}

void TSimpleGrid::HostDblClick()
{
    emit OnDblClick();
}

void TSimpleGrid::mousePressEvent(QMouseEvent *event)
{
    const int button = buttonCode(event->button());
    if (button < 0) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint local = event->position().toPoint();
    emit OnMouseDown(button, local.x(), local.y());
}

void TSimpleGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    emit OnDblClick();
}

// ---- painting -------------------------------------------------------------------------

void TSimpleGrid::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    Paint(painter, event->region());
}

void TSimpleGrid::Paint(QPainter &painter, const QRegion &clip)
{
    if (isHidden())
        return;
    if (!m_transparent)
        painter.fillRect(clip.boundingRect(), colorFromWin(m_background));
    if (m_showBorders)
        paintBorders(painter);
    const int rows = qMin(m_rowCount, int(m_rows.size()));
    const QRect bounds = clip.boundingRect();
    for (int row = 0, top = 0; row < rows; ++row) {
        const int height = m_rows[size_t(row)]->Height + 1;
        if (top > bounds.bottom())
            break;
        if (top + height > bounds.top()) {
            for (int column = 0, left = 0; column < m_colCount; ++column) {
                const QRect rect(left, top, ColWidth(column) + 1, height);
                if (clip.intersects(rect))
                    paintCell(painter, column, row, rect);
                left += rect.width();
            }
        }
        top += height;
    }
    paintSelection(painter);
}

void TSimpleGrid::paintBorders(QPainter &painter) const
{
    painter.save();
    painter.setPen(QPen(colorFromWin(m_borderColor), 0));
    const int rows = qMin(m_rowCount, int(m_rows.size()));
    for (int row = 0, top = 0; row < rows; ++row) {
        const int bottom = top + m_rows[size_t(row)]->Height + 1;
        for (int column = 0, left = 0; column < m_colCount; ++column) {
            const int right = left + ColWidth(column) + 1;
            const QPoint edge[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
            painter.drawPolyline(edge, 4);
            left = right;
        }
        top = bottom;
    }
    painter.restore();
}

void TSimpleGrid::paintCell(QPainter &painter, int column, int row, const QRect &rect) const
{
    const TCell &cell = *m_rows[size_t(row)]->Cell(column);
    if (cell.BackColor() != m_background) {
        // A marker-pen highlight of the first line.
        painter.fillRect(QRect(rect.left(), rect.top(), textWidthIn(cell, rect), m_lineHeight),
                         colorFromWin(cell.BackColor()));
    }
    painter.setPen(colorFromWin(cell.FontColor()));
    drawCell(m_measuring ? nullptr : &painter, cell, rect, column);
}

void TSimpleGrid::paintSelection(QPainter &painter) const
{
    if (!m_showSelection || !inside(m_selectedCol, m_selectedRow))
        return;
    const TCell &cell = *Cell(m_selectedCol, m_selectedRow);
    if (!cell.Selectable())
        return;
    const QRect rect = CellRect(m_selectedCol, m_selectedRow);
    painter.save();
    if (!m_invalidateMode)
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    if (m_underlineMark) {
        const bool firstLine = m_firstLineMark && m_selectedCol == m_markColumn;
        const int y = firstLine ? rect.top() + qMin(m_lineHeight, rect.height()) - 1
                                : rect.top() + rect.height() - 1;
        const int right = rect.left() + textWidthIn(cell, rect);
        // A flat cap leaves out the end point, as a Windows line does.
        painter.setPen(QPen(Qt::black, qMax(1, m_markPenWidth), Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPoint(rect.left(), y), QPoint(right, y));
    } else if (m_selectedCol == m_markColumn) {
        QPen pen(Qt::black, 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    painter.restore();
}

// ---- cell styles ----------------------------------------------------------------------

int TSimpleGrid::drawCell(QPainter *painter, const TCell &cell, const QRect &rect,
                          int column) const
{
    switch (m_cellStyle) {
    case 0:
        return drawPhoneticPrefix(painter, cell, rect);
    case 1:
        if (column == 0)
            return DrawGridText(painter, cell.Font(), cell.Text(), rect, cell.Align());
        return drawAnswerReveal(painter, cell, rect);
    case 4:
        return drawPlain(painter, cell, rect, QStringLiteral("   ") + cell.Text());
    default:
        return drawPlain(painter, cell, rect, cell.Text());
    }
}

int TSimpleGrid::drawPhoneticPrefix(QPainter *painter, const TCell &cell, const QRect &cellRect) const
{
    QRect rect = cellRect;
    if (cell.Indented())
        rect.setLeft(rect.left() + cell.Indent() + 1);
    const QString &text = cell.Text();
    const qsizetype marker = text.indexOf(kPhoneticMarker);
    // Without a phonetic part the text after the marker (all of it without one) is plain.
    if (marker <= 0)
        return DrawGridText(painter, cell.Font(), marker < 0 ? text : text.mid(kPhoneticMarker.size()),
                            rect, cell.Align());
    const QString phonetic = text.left(marker);
    const QString rest = text.mid(marker + kPhoneticMarker.size());

    const QFont &phoneticFont = PhoneticFontAt(cell.FontSize());
    const int phoneticWidth = advance(phoneticFont, phonetic);
    const int phoneticHeight = QFontMetrics(phoneticFont).height();
    if (painter) {
        const int left = rect.left();
        const int right = left + phoneticWidth + kBracketPadding;
        const int top = rect.top();
        const int bottom = top + phoneticHeight - 1;
        painter->save();
        painter->setPen(QPen(Qt::black, 0));
        const QLine lines[6] = {{left, top, left, bottom},
                                {left, top, left + kBracketSerif, top},
                                {left, bottom, left + kBracketSerif, bottom},
                                {right, top, right, bottom},
                                {right - kBracketSerif, top, right, top},
                                {right - kBracketSerif, bottom, right, bottom}};
        painter->drawLines(lines, 6);
        painter->restore();
        DrawGridText(painter, phoneticFont, phonetic,
                     QRect(left + kPhoneticOffset, top, phoneticWidth + kPhoneticOffset,
                           rect.height()),
                     0);
    }
    const QString shown = blanksReaching(cell.Font(), phoneticWidth + kPhoneticGap) + rest;
    return qMax(phoneticHeight, DrawGridText(painter, cell.Font(), shown, rect, cell.Align()));
}

int TSimpleGrid::drawAnswerReveal(QPainter *painter, const TCell &cell, const QRect &rect) const
{
    if (DelphiTrim(cell.Text()).isEmpty())
        return 0;
    const auto [prompt, tail] = splitAt(cell.Text(), kPhoneticMarker);
    const auto [answer, flag] = splitAt(tail, kAnswerMarker);
    const bool revealed = flag == kRevealedFlag;
    const QString shownPrompt = DelphiTrim(prompt);
    const QString shownAnswer = DelphiTrim(answer);
    const int w1 = advance(cell.Font(), shownPrompt);
    const int w2 = advance(cell.BoldFont(), shownAnswer);
    QRect promptRect = rect;
    QRect answerRect = rect;
    if (w1 + w2 < rect.width() - kRevealMargin) {
        promptRect.setWidth(w1);
        answerRect.setLeft(rect.left() + w1 + kRevealGap);
    } else {
        const int split = rect.left() + rect.width() - w2 - kRevealMargin;
        promptRect.setRight(split - 1);
        answerRect.setLeft(split);
    }
    int height = DrawGridText(painter, cell.Font(), shownPrompt, promptRect, cell.Align());
    if (revealed)
        height = qMax(height, DrawGridText(painter, cell.BoldFont(), shownAnswer, answerRect,
                                           cell.Align()));
    return height;
}

int TSimpleGrid::drawPlain(QPainter *painter, const TCell &cell, const QRect &rect,
                           const QString &text) const
{
    if (cell.VAlign() == 1 || !painter)
        return DrawGridText(painter, cell.Font(), text, rect, cell.Align());
    const int height = GridTextHeight(cell.Font(), text, rect, cell.Align());
    QRect shifted = rect;
    if (height < rect.height())
        shifted.setTop(rect.top() + (rect.height() - height) / 2);
    return DrawGridText(painter, cell.Font(), text, shifted, cell.Align());
}
