#pragma once

#include <QFlags>
#include <QFont>
#include <QHash>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

class QPainter;
class QRegion;
class TRows;
class TSimpleGrid;

// One cell of the word grid. Attribute setters repaint the cell only when the value
// changes; a text change does not repaint while the grid is measuring.
class TCell
{
public:
    enum FontStyle : quint8 { Bold = 0x1, Italic = 0x2, Underline = 0x4, StrikeOut = 0x8 };
    Q_DECLARE_FLAGS(FontStyles, FontStyle)

    TCell(TRows *row, int column);

    const QString &Text() const { return m_text; }
    void SetText(const QString &text);
    // Used only in the grid's column-width row.
    int Width() const { return m_width; }
    void SetWidth(int width);
    const QString &FontName() const { return m_fontName; }
    void SetFontName(const QString &name);
    // Size in points.
    int FontSize() const { return m_fontSize; }
    void SetFontSize(int size);
    // Windows colour value 0x00BBGGRR.
    quint32 FontColor() const { return m_fontColor; }
    void SetFontColor(quint32 color);
    FontStyles FontStyle() const { return m_fontStyle; }
    void SetFontStyle(FontStyles style);
    void SetBold(bool bold);
    // Colour of the first-line highlight; none when it equals the grid background.
    quint32 BackColor() const { return m_backColor; }
    void SetBackColor(quint32 color);
    // 0 left without wrap ("&" accelerators), 1 left, 2 right, 3 centred (all wrapping).
    quint8 Align() const { return m_align; }
    void SetAlign(quint8 align);
    // 1 top, any other value vertically centred (cell styles 3 and 4).
    quint8 VAlign() const { return m_vAlign; }
    void SetVAlign(quint8 align);
    bool Indented() const { return m_indented; }
    void SetIndented(bool indented);
    int Indent() const { return m_indent; }
    void SetIndent(int indent);
    bool Selectable() const { return m_selectable; }
    void SetSelectable(bool selectable);

    // The grid's font name, size and colour, no style, the grid background, Align 1,
    // VAlign 1, not indented, selectable and no text; repaints once.
    void Reset();

    // The cell's font (cached until name, size or style change) and the same in bold.
    const QFont &Font() const;
    const QFont &BoldFont() const;

private:
    void changed();
    void fontChanged();

    TRows *m_row;
    int m_column;
    QString m_text;
    int m_width = 60;
    QString m_fontName = QStringLiteral("Arial");
    int m_fontSize = 10;
    quint32 m_fontColor = 0;
    FontStyles m_fontStyle;
    quint32 m_backColor = 0xFFFFFF;
    quint8 m_align = 1;
    quint8 m_vAlign = 1;
    bool m_indented = false;
    int m_indent = 0;
    bool m_selectable = true;
    mutable std::unique_ptr<QFont> m_font;
    mutable std::unique_ptr<QFont> m_boldFont;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TCell::FontStyles)

// One row of the grid: always ten cells.
class TRows
{
public:
    static constexpr int kCellCount = 10;

    explicit TRows(TSimpleGrid *grid);

    TSimpleGrid *Grid() const { return m_grid; }
    TCell *Cell(int column) const { return m_cells[size_t(column)].get(); }
    int Height = 0;

private:
    TSimpleGrid *m_grid;
    std::array<std::unique_ptr<TCell>, kCellCount> m_cells;
};

// Result of TSimpleGrid::HitTest: the cell under a point (-1, -1 for none) and the point
// relative to that cell's top-left corner.
struct TGridHit
{
    int Column = -1;
    int Row = -1;
    QPoint Point;
};

// The windowless grid every mode paints its page on: a transparent child of the host
// window covering the grid's bounds. At most ten columns, any number of rows, no scrolling
// and no editing. Cell texts carry inline markup, painted by CellStyle:
//   0  "phonetic$$rest": the phonetic part in the phonetic font inside a drawn bracket box,
//      the rest after it on the same first line;
//   1  "prompt$$answer##flag" (columns 1 and up): the answer in bold is shown only when the
//      flag is "%%%"; column 0 is drawn unchanged;
//   3  the text as it is, vertically centred when the cell's VAlign is not 1;
//   4  as 3 with three blanks in front.
// Column j spans its width plus one pixel, rows likewise; coordinates are the grid's own.
class TSimpleGrid : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kMaxColumns = TRows::kCellCount;

    explicit TSimpleGrid(QWidget *host);
    ~TSimpleGrid() override;

    QWidget *Host() const { return parentWidget(); }

    // The cell; for a position outside the grid the dummy cell (first cell of ColumnRow).
    TCell *Cell(int column, int row) const;
    void SetCellText(int column, int row, const QString &text);
    QString CellText(int column, int row) const;

    TRows *ColumnRow() const { return m_columnRow.get(); }
    // The row object at an index below RowCount, else nullptr.
    TRows *Row(int row) const;
    int RowObjectCount() const { return int(m_rows.size()); }
    // Index of a row object among the rows, -1 when it is not one of them.
    int IndexOfRow(const TRows *row) const;

    // Ignored for a negative width or a column outside 0..ColCount-1.
    void SetColWidth(int column, int width);
    int ColWidth(int column) const;
    // Ignored for a negative height or a row outside 0..RowCount-1.
    void SetRowHeight(int row, int height);
    int RowHeight(int row) const;
    int RowCount() const { return m_rowCount; }
    // Creates missing row objects; rows beyond the count are kept. Negative is ignored.
    void SetRowCount(int count);
    int ColCount() const { return m_colCount; }
    // At most 10; negative is ignored.
    void SetColCount(int count);

    // Empty outside the grid.
    QRect CellRect(int column, int row) const;
    QRect CellRectOnHost(int column, int row) const;
    TGridHit HitTest(int x, int y) const;
    // Width of the cell, or of its trimmed text in the cell's font when that is narrower.
    int TextWidth(int column, int row) const;
    // Height of the cell's text as the current CellStyle lays it out in the cell's width.
    int MeasureCell(int column, int row) const;

    void SetBounds(int left, int top, int width, int height);
    void SetVisible(bool visible);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    void InvalidateCell(int column, int row);
    // Paints the grid onto `painter` (grid coordinates), drawing only cells meeting `clip`.
    void Paint(QPainter &painter, const QRegion &clip);

    // Background colours are Windows colour values 0x00BBGGRR.
    quint32 Background() const { return m_background; }
    void SetBackground(quint32 color);
    bool ShowBorders() const { return m_showBorders; }
    void SetShowBorders(bool show);
    quint32 BorderColor() const { return m_borderColor; }
    void SetBorderColor(quint32 color);
    int LineHeight() const { return m_lineHeight; }
    void SetLineHeight(int height);
    int CellStyle() const { return m_cellStyle; }
    void SetCellStyle(int style);
    // While set, drawing only computes heights and text changes do not repaint.
    bool Measuring() const { return m_measuring; }
    void SetMeasuring(bool measuring) { m_measuring = measuring; }

    // The font new and reset cells take.
    const QString &FontName() const { return m_fontName; }
    void SetFontName(const QString &name) { m_fontName = name; }
    int FontSize() const { return m_fontSize; }
    void SetFontSize(int size) { m_fontSize = size; }
    quint32 FontColor() const { return m_fontColor; }
    void SetFontColor(quint32 color) { m_fontColor = color; }

    // Selection.
    int SelectedCol() const { return m_selectedCol; }
    int SelectedRow() const { return m_selectedRow; }
    // Ignored outside the grid; fires OnSelectCell unless the cell was already selected.
    void SelectCell(int column, int row);
    // Next (previous) selectable cell of the selected column, wrapping round.
    void SelectNextRow();
    void SelectPreviousRow();
    // Stores the selected row without repainting or firing the event.
    void SetSelectedRow(int row) { m_selectedRow = row; }
    bool ShowSelection() const { return m_showSelection; }
    void SetShowSelection(bool show);
    int MarkColumn() const { return m_markColumn; }
    void SetMarkColumn(int column);
    bool UnderlineMark() const { return m_underlineMark; }
    void SetUnderlineMark(bool underline);
    bool FirstLineMark() const { return m_firstLineMark; }
    void SetFirstLineMark(bool firstLine);
    bool InvalidateMode() const { return m_invalidateMode; }
    void SetInvalidateMode(bool invalidate);
    int MarkPenWidth() const { return m_markPenWidth; }
    void SetMarkPenWidth(int width);

    // Frees the row; keeps the selection on the same row where it survives, else on the
    // new last row (without the event). Ignored out of range.
    void DeleteRow(int row);

    // For a host that receives the grid's clicks itself: a button-down (0 left, 1 right)
    // at a screen position, and a double click.
    void HostMouseDown(int button, const QPoint &globalPos);
    void HostDblClick();

    // The phonetic font at a point size (cached).
    const QFont &PhoneticFontAt(int pointSize) const;

signals:
    void OnSelectCell(int column, int row);
    // x, y in grid coordinates; button 0 left, 1 right.
    void OnMouseDown(int button, int x, int y);
    void OnDblClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool inside(int column, int row) const;
    int columnLeft(int column) const;
    int rowTop(int row) const;
    void ensureRows(int count);
    void stepSelection(int step);
    void invalidateSelection();
    int drawCell(QPainter *painter, const TCell &cell, const QRect &rect, int column) const;
    int drawPhoneticPrefix(QPainter *painter, const TCell &cell, const QRect &rect) const;
    int drawAnswerReveal(QPainter *painter, const TCell &cell, const QRect &rect) const;
    int drawPlain(QPainter *painter, const TCell &cell, const QRect &rect,
                  const QString &text) const;
    void paintCell(QPainter &painter, int column, int row, const QRect &rect) const;
    void paintBorders(QPainter &painter) const;
    void paintSelection(QPainter &painter) const;
    int textWidthIn(const TCell &cell, const QRect &rect) const;

    std::unique_ptr<TRows> m_columnRow;
    std::vector<std::unique_ptr<TRows>> m_rows;
    int m_rowCount = 5;
    int m_colCount = 2;
    quint32 m_background = 0xFFFFFF;
    bool m_showBorders = false;
    quint32 m_borderColor = 0xC0C0C0;
    int m_lineHeight = 18;
    int m_cellStyle = 0;
    bool m_measuring = false;
    bool m_transparent = true;
    QString m_fontName = QStringLiteral("Arial");
    int m_fontSize = 10;
    quint32 m_fontColor = 0;
    int m_selectedCol = 0;
    int m_selectedRow = 0;
    bool m_showSelection = false;
    int m_markColumn = 0;
    bool m_underlineMark = false;
    bool m_firstLineMark = false;
    bool m_invalidateMode = false;
    int m_markPenWidth = 1;
    mutable QHash<int, QFont> m_phoneticFonts;
};
