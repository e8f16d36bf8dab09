#include "controls/SimpleGrid.h"
#include "platform/gui/PhoneticFont.h"

#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

constexpr quint32 kWhite = 0xFFFFFF;
constexpr quint32 kRed = 0x0000FF;

// A text's width in whole pixels, rounded up.
int pixelWidth(const QFont &font, const QString &text)
{
    return int(std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
}

bool isBlack(QRgb pixel)
{
    return qRed(pixel) == 0 && qGreen(pixel) == 0 && qBlue(pixel) == 0;
}

bool isInk(QRgb pixel)
{
    return (pixel & 0xFFFFFF) != 0xFFFFFF;
}

// Leftmost and rightmost x with ink in the band of rows [top, bottom), -1 when none.
std::pair<int, int> inkSpan(const QImage &image, int top, int bottom, int fromX = 0)
{
    int first = -1;
    int last = -1;
    for (int y = top; y < bottom && y < image.height(); ++y) {
        for (int x = fromX; x < image.width(); ++x) {
            if (isInk(image.pixel(x, y))) {
                if (first < 0 || x < first)
                    first = x;
                last = qMax(last, x);
            }
        }
    }
    return {first, last};
}

bool hasInk(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (isInk(image.pixel(x, y)))
                return true;
    return false;
}

} // namespace

class TestSimpleGrid : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QWidget> m_host;
    TSimpleGrid *m_grid = nullptr;

    // The grid painted on white.
    QImage render() const
    {
        QImage image(m_grid->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        m_grid->Paint(painter, QRegion(image.rect()));
        return image;
    }

    // One row of two columns, cell texts in red on the white grid.
    void oneRow(int style, int width0, int width1, int height)
    {
        m_grid->SetCellStyle(style);
        m_grid->SetRowCount(1);
        m_grid->SetColWidth(0, width0);
        m_grid->SetColWidth(1, width1);
        m_grid->SetRowHeight(0, height);
        m_grid->Cell(0, 0)->Reset();
        m_grid->Cell(1, 0)->Reset();
    }

    // The image of a lone cell text painted in `style`.
    QImage renderCell(int style, int column, const QString &text)
    {
        m_grid->SetCellStyle(style);
        m_grid->Cell(0, 0)->SetText(QString());
        m_grid->Cell(1, 0)->SetText(QString());
        m_grid->Cell(column, 0)->SetText(text);
        return render();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        vocamo::EnsurePhoneticFont(QString());
    }

    void init()
    {
        m_host = std::make_unique<QWidget>();
        m_host->resize(800, 600);
        m_grid = new TSimpleGrid(m_host.get());
        m_grid->SetBounds(0, 0, 600, 400);
        m_grid->SetBackground(kWhite);
        m_grid->SetFontName(QStringLiteral("DejaVu Sans"));
        m_grid->SetFontSize(12);
        m_grid->SetFontColor(kRed);
    }

    void cleanup()
    {
        m_host.reset();
        m_grid = nullptr;
    }

    void initialState()
    {
        QCOMPARE(m_grid->RowCount(), 5);
        QCOMPARE(m_grid->ColCount(), 2);
        QCOMPARE(m_grid->RowObjectCount(), 6);
        QCOMPARE(m_grid->LineHeight(), 18);
        QCOMPARE(m_grid->BorderColor(), 0xC0C0C0u);
        QCOMPARE(m_grid->ColWidth(0), 60);
        QCOMPARE(m_grid->RowHeight(0), 18);
        QVERIFY(m_grid->Transparent());
        QCOMPARE(m_grid->Host(), m_host.get());
        const TCell *cell = m_grid->Cell(1, 1);
        QCOMPARE(cell->Align(), quint8(1));
        QCOMPARE(cell->VAlign(), quint8(1));
        QVERIFY(cell->Selectable());
        QCOMPARE(cell->FontName(), QStringLiteral("Arial"));
    }

    void rowObjectsAreKept()
    {
        m_grid->SetRowCount(9);
        QCOMPARE(m_grid->RowObjectCount(), 9);
        m_grid->SetCellText(1, 8, QStringLiteral("kept"));
        m_grid->SetRowCount(2);
        QCOMPARE(m_grid->RowCount(), 2);
        QCOMPARE(m_grid->RowObjectCount(), 9);
        QVERIFY(!m_grid->Row(8));
        m_grid->SetRowCount(-1);
        QCOMPARE(m_grid->RowCount(), 2);
        m_grid->SetRowCount(9);
        QCOMPARE(m_grid->CellText(1, 8), QStringLiteral("kept"));
        QCOMPARE(m_grid->RowHeight(8), 18);
    }

    void setColCount_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("expected");
        QTest::newRow("3") << 3 << 3;
        QTest::newRow("10") << 10 << 10;
        QTest::newRow("12 leaves 10") << 12 << 10;
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("negative ignored") << -1 << 2;
    }

    void setColCount()
    {
        QFETCH(int, count);
        QFETCH(int, expected);
        m_grid->SetColCount(count);
        QCOMPARE(m_grid->ColCount(), expected);
    }

    void sizeSettersIgnoreBadInput_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("applied");
        QTest::newRow("inside") << 1 << 33 << true;
        QTest::newRow("zero") << 0 << 0 << true;
        QTest::newRow("negative value") << 1 << -5 << false;
        QTest::newRow("negative index") << -1 << 33 << false;
        QTest::newRow("index past count") << 2 << 33 << false;
    }

    void sizeSettersIgnoreBadInput()
    {
        QFETCH(int, index);
        QFETCH(int, value);
        QFETCH(bool, applied);
        m_grid->SetRowCount(2);
        const int width = m_grid->ColWidth(index);
        m_grid->SetColWidth(index, value);
        QCOMPARE(m_grid->ColWidth(index), applied ? value : width);
        const int height = m_grid->RowHeight(index);
        m_grid->SetRowHeight(index, value);
        QCOMPARE(m_grid->RowHeight(index), applied ? value : height);
    }

    void cellRect_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QRect>("rect");
        // Widths 40, 70, 25 and heights 10, 20, 30: each takes one pixel more.
        QTest::newRow("first") << 0 << 0 << QRect(0, 0, 41, 11);
        QTest::newRow("second column") << 1 << 0 << QRect(41, 0, 71, 11);
        QTest::newRow("third row, third column") << 2 << 2 << QRect(112, 32, 26, 31);
        QTest::newRow("row -1") << 0 << -1 << QRect();
        QTest::newRow("column past count") << 3 << 0 << QRect();
        QTest::newRow("row past count") << 0 << 3 << QRect();
    }

    void cellRect()
    {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QRect, rect);
        m_grid->SetColCount(3);
        m_grid->SetRowCount(3);
        const int widths[] = {40, 70, 25};
        const int heights[] = {10, 20, 30};
        for (int i = 0; i < 3; ++i) {
            m_grid->SetColWidth(i, widths[i]);
            m_grid->SetRowHeight(i, heights[i]);
        }
        m_grid->SetBounds(15, 25, 300, 200);
        QCOMPARE(m_grid->CellRect(column, row), rect);
        QCOMPARE(m_grid->CellRectOnHost(column, row),
                 rect.isNull() ? rect : rect.translated(15, 25));
    }

    void hitTest_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QPoint>("inside");
        QTest::newRow("origin") << QPoint(0, 0) << 0 << 0 << QPoint(0, 0);
        QTest::newRow("last pixel of cell 0") << QPoint(40, 10) << 0 << 0 << QPoint(40, 10);
        QTest::newRow("first pixel of column 1") << QPoint(41, 5) << 1 << 0 << QPoint(0, 5);
        QTest::newRow("row 1") << QPoint(50, 11) << 1 << 1 << QPoint(9, 0);
        QTest::newRow("right of the columns") << QPoint(112, 5) << -1 << -1 << QPoint();
        QTest::newRow("below the rows") << QPoint(5, 32) << -1 << -1 << QPoint();
        QTest::newRow("negative") << QPoint(-1, 5) << -1 << -1 << QPoint();
    }

    void hitTest()
    {
        QFETCH(QPoint, point);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QPoint, inside);
        m_grid->SetRowCount(2);
        m_grid->SetColWidth(0, 40);
        m_grid->SetColWidth(1, 70);
        m_grid->SetRowHeight(0, 10);
        m_grid->SetRowHeight(1, 20);
        const TGridHit hit = m_grid->HitTest(point.x(), point.y());
        QCOMPARE(hit.Column, column);
        QCOMPARE(hit.Row, row);
        if (column >= 0)
            QCOMPARE(hit.Point, inside);
    }

    void dummyCell_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::newRow("row -1") << 0 << -1;
        QTest::newRow("column 10") << 10 << 0;
        QTest::newRow("column past count") << 2 << 0;
        QTest::newRow("row past count") << 0 << 5;
    }

    void dummyCell()
    {
        QFETCH(int, column);
        QFETCH(int, row);
        oneRow(3, 100, 100, 20);
        m_grid->SetRowCount(5);
        m_grid->SetCellText(0, 0, QStringLiteral("word"));
        TCell *dummy = m_grid->Cell(column, row);
        QCOMPARE(dummy, m_grid->ColumnRow()->Cell(0));
        const QImage before = render();
        m_grid->SetCellText(column, row, QStringLiteral("XYZ"));
        QCOMPARE(render(), before);
        QCOMPARE(m_grid->CellText(0, 0), QStringLiteral("word"));
    }

    void resetTakesGridAttributes()
    {
        TCell *cell = m_grid->Cell(1, 0);
        cell->SetFontName(QStringLiteral("Serif"));
        cell->SetFontStyle(TCell::Bold | TCell::Italic);
        cell->SetAlign(3);
        cell->SetVAlign(2);
        cell->SetIndented(true);
        cell->SetSelectable(false);
        cell->SetBackColor(0x00FFFF);
        cell->SetText(QStringLiteral("text"));
        m_grid->SetFontSize(15);
        cell->Reset();
        QCOMPARE(cell->FontName(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(cell->FontSize(), 15);
        QCOMPARE(cell->FontColor(), kRed);
        QCOMPARE(cell->FontStyle(), TCell::FontStyles());
        QCOMPARE(cell->BackColor(), kWhite);
        QCOMPARE(cell->Align(), quint8(1));
        QCOMPARE(cell->VAlign(), quint8(1));
        QVERIFY(!cell->Indented());
        QVERIFY(cell->Selectable());
        QVERIFY(cell->Text().isEmpty());
        QVERIFY(!cell->Font().bold());
        QCOMPARE(cell->Font().pointSize(), 15);
    }

    void textWidth_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wholeCell");
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("blanks only") << QStringLiteral("   ") << true;
        QTest::newRow("short") << QStringLiteral("cat") << false;
        QTest::newRow("blanks around") << QStringLiteral("  cat  ") << false;
        QTest::newRow("wider than the cell")
            << QStringLiteral("a text much wider than eighty pixels") << true;
    }

    void textWidth()
    {
        QFETCH(QString, text);
        QFETCH(bool, wholeCell);
        oneRow(3, 80, 80, 20);
        m_grid->SetCellText(0, 0, text);
        const int cellWidth = m_grid->CellRect(0, 0).width();
        const int expected = wholeCell
                                 ? cellWidth
                                 : pixelWidth(m_grid->Cell(0, 0)->Font(), QStringLiteral("cat"));
        QCOMPARE(m_grid->TextWidth(0, 0), expected);
        QCOMPARE(m_grid->TextWidth(0, 7), 0);
    }

    void styleZeroWithoutPhoneticIsPlain_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("plain");
        QTest::newRow("no marker") << QStringLiteral("hello world") << QStringLiteral("hello world");
        QTest::newRow("leading marker") << QStringLiteral("$$hello") << QStringLiteral("hello");
        QTest::newRow("leading marker twice")
            << QStringLiteral("$$hello$$x") << QStringLiteral("hello$$x");
    }

    void styleZeroWithoutPhoneticIsPlain()
    {
        QFETCH(QString, text);
        QFETCH(QString, plain);
        oneRow(0, 60, 300, 40);
        const QImage styled = renderCell(0, 1, text);
        const QImage expected = renderCell(3, 1, plain);
        QVERIFY(hasInk(expected, expected.rect()));
        QCOMPARE(styled, expected);
        for (int y = 0; y < styled.height(); ++y)
            for (int x = 0; x < styled.width(); ++x)
                QVERIFY2(!isBlack(styled.pixel(x, y)), "no bracket box");
    }

    void styleZeroBracketBox_data()
    {
        QTest::addColumn<bool>("indented");
        QTest::newRow("plain") << false;
        QTest::newRow("indented by 20") << true;
    }

    void styleZeroBracketBox()
    {
        QFETCH(bool, indented);
        oneRow(0, 60, 400, 60);
        TCell *cell = m_grid->Cell(1, 0);
        cell->SetIndented(indented);
        cell->SetIndent(20);
        const QString phonetic = QStringLiteral("həˈləʊ");
        const QImage image = renderCell(0, 1, phonetic + QStringLiteral("$$hello"));

        const QFontMetrics metrics(m_grid->PhoneticFontAt(cell->FontSize()));
        const int phoneticWidth = pixelWidth(m_grid->PhoneticFontAt(cell->FontSize()), phonetic);
        const int left = m_grid->CellRect(1, 0).left() + (indented ? 21 : 0);
        const int right = left + phoneticWidth + 10;
        const int bottom = metrics.height() - 1;
        for (int y = 0; y <= bottom; ++y) {
            QVERIFY2(isBlack(image.pixel(left, y)), "left side of the box");
            QVERIFY2(isBlack(image.pixel(right, y)), "right side of the box");
        }
        for (int d = 0; d <= 4; ++d) {
            QVERIFY(isBlack(image.pixel(left + d, 0)));
            QVERIFY(isBlack(image.pixel(left + d, bottom)));
            QVERIFY(isBlack(image.pixel(right - d, 0)));
            QVERIFY(isBlack(image.pixel(right - d, bottom)));
        }
        QVERIFY(!isBlack(image.pixel(left + 5, 0)));
        QVERIFY(!isBlack(image.pixel(left - 1, 1)));
        // Phonetic text inside the box, the rest after blanks at least phonetic width + 15.
        QVERIFY(hasInk(image, QRect(left + 5, 1, phoneticWidth, bottom - 1)));
        const auto [restLeft, restRight] = inkSpan(image, 0, bottom, right + 1);
        QVERIFY(restLeft >= left + phoneticWidth + 15);
        QVERIFY(restRight > restLeft);
    }

    void styleOneReveal_data()
    {
        QTest::addColumn<QString>("flag");
        QTest::addColumn<bool>("revealed");
        QTest::newRow("hidden {{{") << QStringLiteral("{{{") << false;
        QTest::newRow("hidden, no flag") << QString() << false;
        QTest::newRow("revealed %%%") << QStringLiteral("%%%") << true;
    }

    void styleOneReveal()
    {
        QFETCH(QString, flag);
        QFETCH(bool, revealed);
        oneRow(1, 40, 500, 40);
        const QImage promptOnly = renderCell(3, 1, QStringLiteral("苹果"));
        const QImage image = renderCell(1, 1, QStringLiteral(" 苹果 $$ apple ##") + flag);
        const QRect cellRect = m_grid->CellRect(1, 0);
        const int w1 = pixelWidth(m_grid->Cell(1, 0)->Font(), QStringLiteral("苹果"));
        const int answerLeft = cellRect.left() + w1 + 30;
        QCOMPARE(image.copy(0, 0, answerLeft, image.height()),
                 promptOnly.copy(0, 0, answerLeft, image.height()));
        const auto [first, last] = inkSpan(image, 0, 40, cellRect.left() + w1);
        if (!revealed) {
            QCOMPARE(first, -1);
            return;
        }
        QVERIFY(first >= answerLeft);
        QVERIFY(first <= answerLeft + 3);
        const QFont bold = m_grid->Cell(1, 0)->BoldFont();
        QVERIFY(bold.bold());
        QVERIFY(last - first + 1 <= pixelWidth(bold, QStringLiteral("apple")) + 1);
    }

    void styleOneTightCell_data()
    {
        QTest::addColumn<QString>("flag");
        QTest::newRow("hidden") << QStringLiteral("{{{");
        QTest::newRow("revealed") << QStringLiteral("%%%");
    }

    void styleOneTightCell()
    {
        QFETCH(QString, flag);
        oneRow(1, 40, 150, 60);
        const QImage image = renderCell(1, 1, QStringLiteral("a rather long prompt$$answer##") + flag);
        const QRect cellRect = m_grid->CellRect(1, 0);
        const int w2 = pixelWidth(m_grid->Cell(1, 0)->BoldFont(), QStringLiteral("answer"));
        const int split = cellRect.left() + cellRect.width() - w2 - 50;
        QVERIFY(hasInk(image, QRect(cellRect.left(), 0, split - cellRect.left(), 60)));
        const bool answerShown = hasInk(image, QRect(split, 0, cellRect.right() - split + 1, 60));
        QCOMPARE(answerShown, flag == QStringLiteral("%%%"));
    }

    void styleOneFirstColumnAndEmpty()
    {
        oneRow(1, 200, 200, 30);
        const QString literal = QStringLiteral("12$$x##%%%");
        QCOMPARE(renderCell(1, 0, literal), renderCell(3, 0, literal));
        QVERIFY(!hasInk(renderCell(1, 1, QStringLiteral("   ")), QRect(0, 0, 600, 400)));
        QCOMPARE(m_grid->MeasureCell(1, 0), 0);
    }

    void measuringHeightsGrow_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("style 0") << 0 << QString();
        QTest::newRow("style 0 with phonetic") << 0 << QStringLiteral("ˈwɜːd$$");
        QTest::newRow("style 3") << 3 << QString();
        QTest::newRow("style 4") << 4 << QString();
    }

    void measuringHeightsGrow()
    {
        QFETCH(int, style);
        QFETCH(QString, prefix);
        oneRow(style, 40, 160, 20);
        m_grid->SetCellStyle(style);
        m_grid->SetMeasuring(true);
        const int line = QFontMetrics(m_grid->Cell(1, 0)->Font()).height();
        int previous = 0;
        QString text = prefix + QStringLiteral("one");
        for (int words = 1; words <= 40; words += 13) {
            m_grid->SetCellText(1, 0, text);
            const int height = m_grid->MeasureCell(1, 0);
            QVERIFY2(height >= previous, qPrintable(QString::number(words)));
            previous = height;
            text += QStringLiteral(" word word word word word word word word word word word word word");
        }
        QVERIFY(previous >= 4 * line);
        m_grid->SetCellText(1, 0, prefix + QStringLiteral("one"));
        const int single = m_grid->MeasureCell(1, 0);
        m_grid->SetCellText(1, 0, prefix + QStringLiteral("one\r\ntwo\r\nthree"));
        QCOMPARE(m_grid->MeasureCell(1, 0), qMax(single, 3 * line));
    }

    void measuringStyleOne()
    {
        oneRow(1, 40, 160, 20);
        m_grid->SetCellText(1, 0, QStringLiteral("苹果$$apple##%%%"));
        const int oneLine = m_grid->MeasureCell(1, 0);
        QVERIFY(oneLine > 0);
        m_grid->SetCellText(1, 0, QStringLiteral("n. 一种很常见的水果，生长在苹果树上，味道甜美$$apple##%%%"));
        QVERIFY(m_grid->MeasureCell(1, 0) > oneLine);
    }

    void longWordsBreak()
    {
        oneRow(3, 40, 60, 20);
        m_grid->SetCellText(1, 0, QStringLiteral("incomprehensibilities"));
        const int line = QFontMetrics(m_grid->Cell(1, 0)->Font()).height();
        QVERIFY(m_grid->MeasureCell(1, 0) >= 2 * line);
        m_grid->Cell(1, 0)->SetAlign(0);
        QCOMPARE(m_grid->MeasureCell(1, 0), line);
    }

    void measuringPaintsNothingAndSuppressesRepaint()
    {
        oneRow(3, 100, 100, 30);
        m_grid->SetCellText(0, 0, QStringLiteral("ink"));
        m_grid->SetMeasuring(true);
        QVERIFY(!hasInk(render(), QRect(0, 0, 600, 400)));
        m_grid->SetMeasuring(false);
        QVERIFY(hasInk(render(), QRect(0, 0, 600, 400)));

        // Text changes repaint the shown grid only when not measuring.
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
        int paints = 0;
        struct Counter : QObject
        {
            int *count;
            explicit Counter(int *c) : count(c) {}
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::Paint)
                    ++*count;
                return false;
            }
        } counter(&paints);
        m_grid->installEventFilter(&counter);
        QCoreApplication::processEvents();
        paints = 0;
        m_grid->SetMeasuring(true);
        m_grid->SetCellText(0, 0, QStringLiteral("measured"));
        QCoreApplication::processEvents();
        QCOMPARE(paints, 0);
        m_grid->SetMeasuring(false);
        m_grid->SetCellText(0, 0, QStringLiteral("shown"));
        QCoreApplication::processEvents();
        QVERIFY(paints > 0);
        m_grid->removeEventFilter(&counter);
    }

    void firstLineHighlight()
    {
        oneRow(3, 200, 100, 40);
        m_grid->SetLineHeight(18);
        TCell *cell = m_grid->Cell(0, 0);
        cell->SetFontColor(kWhite); // text invisible on the highlight's edges
        cell->SetText(QStringLiteral("mm"));
        cell->SetBackColor(0x00FFFF);
        const QImage image = render();
        const int width = m_grid->TextWidth(0, 0);
        QCOMPARE(image.pixel(0, 0), qRgb(255, 255, 0));
        QCOMPARE(image.pixel(width - 1, 17), qRgb(255, 255, 0));
        QCOMPARE(image.pixel(width + 1, 5), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(0, 18), qRgb(255, 255, 255));
        cell->SetBackColor(kWhite);
        QCOMPARE(render().pixel(0, 0), qRgb(255, 255, 255));
    }

    void selectionMark_data()
    {
        QTest::addColumn<bool>("firstLine");
        QTest::addColumn<int>("markColumn");
        QTest::addColumn<int>("y");
        QTest::newRow("first line") << true << 0 << 17;
        QTest::newRow("bottom") << false << 0 << 40;
        QTest::newRow("first line, other mark column") << true << 1 << 40;
    }

    void selectionMark()
    {
        QFETCH(bool, firstLine);
        QFETCH(int, markColumn);
        QFETCH(int, y);
        oneRow(3, 200, 100, 40);
        m_grid->SetInvalidateMode(true);
        m_grid->SetUnderlineMark(true);
        m_grid->SetFirstLineMark(firstLine);
        m_grid->SetMarkColumn(markColumn);
        m_grid->SetShowSelection(true);
        m_grid->SetCellText(0, 0, QStringLiteral("mark"));
        m_grid->SelectCell(0, 0);
        const QImage image = render();
        QVERIFY(isBlack(image.pixel(0, y)));
        QVERIFY(isBlack(image.pixel(m_grid->TextWidth(0, 0) - 1, y)));
        QVERIFY(!isBlack(image.pixel(m_grid->TextWidth(0, 0) + 1, y)));
        m_grid->Cell(0, 0)->SetSelectable(false);
        QVERIFY(!isBlack(render().pixel(0, y)));
    }

    void selectCellEvents_data()
    {
        QTest::addColumn<QPoint>("target");
        QTest::addColumn<bool>("fires");
        QTest::newRow("another cell") << QPoint(1, 2) << true;
        QTest::newRow("same cell") << QPoint(0, 0) << false;
        QTest::newRow("row outside") << QPoint(0, 5) << false;
        QTest::newRow("column outside") << QPoint(2, 1) << false;
        QTest::newRow("negative") << QPoint(-1, 1) << false;
    }

    void selectCellEvents()
    {
        QFETCH(QPoint, target);
        QFETCH(bool, fires);
        QSignalSpy spy(m_grid, &TSimpleGrid::OnSelectCell);
        m_grid->SelectCell(target.x(), target.y());
        QCOMPARE(spy.count(), fires ? 1 : 0);
        if (fires) {
            QCOMPARE(spy.at(0).at(0).toInt(), target.x());
            QCOMPARE(spy.at(0).at(1).toInt(), target.y());
            QCOMPARE(m_grid->SelectedCol(), target.x());
            QCOMPARE(m_grid->SelectedRow(), target.y());
            m_grid->SelectCell(target.x(), target.y());
            QCOMPARE(spy.count(), 1);
        } else {
            QCOMPARE(m_grid->SelectedCol(), 0);
            QCOMPARE(m_grid->SelectedRow(), 0);
        }
    }

    void stepSelection_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("unselectable");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("events");
        QTest::newRow("next") << 1 << QList<int>{} << true << 2 << 1;
        QTest::newRow("next skips") << 1 << QList<int>{2, 3} << true << 4 << 1;
        QTest::newRow("next wraps") << 4 << QList<int>{} << true << 0 << 1;
        QTest::newRow("next wraps and skips") << 3 << QList<int>{4, 0} << true << 1 << 1;
        QTest::newRow("previous") << 3 << QList<int>{} << false << 2 << 1;
        QTest::newRow("previous wraps") << 0 << QList<int>{4} << false << 3 << 1;
        QTest::newRow("only the selected row") << 2 << QList<int>{0, 1, 3, 4} << true << 2 << 0;
        QTest::newRow("none selectable") << 2 << QList<int>{0, 1, 2, 3, 4} << false << 2 << 0;
    }

    void stepSelection()
    {
        QFETCH(int, start);
        QFETCH(QList<int>, unselectable);
        QFETCH(bool, forward);
        QFETCH(int, expected);
        QFETCH(int, events);
        m_grid->SelectCell(1, start);
        for (int row : unselectable)
            m_grid->Cell(1, row)->SetSelectable(false);
        m_grid->Cell(0, expected == 0 ? 1 : 0)->SetSelectable(false); // other columns do not count
        QSignalSpy spy(m_grid, &TSimpleGrid::OnSelectCell);
        if (forward)
            m_grid->SelectNextRow();
        else
            m_grid->SelectPreviousRow();
        QCOMPARE(m_grid->SelectedRow(), expected);
        QCOMPARE(m_grid->SelectedCol(), 1);
        QCOMPARE(spy.count(), events);
    }

    void deleteRow_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<int>("expected");
        QTest::newRow("selected last row") << 4 << 4 << 4 << 3;
        QTest::newRow("row above the selected last row") << 4 << 1 << 4 << 3;
        QTest::newRow("row above") << 2 << 0 << 4 << 1;
        QTest::newRow("row below") << 1 << 3 << 4 << 1;
        QTest::newRow("selected middle row") << 2 << 2 << 4 << 2;
        QTest::newRow("out of range") << 2 << 5 << 5 << 2;
        QTest::newRow("negative") << 2 << -1 << 5 << 2;
    }

    void deleteRow()
    {
        QFETCH(int, selected);
        QFETCH(int, deleted);
        QFETCH(int, rowCount);
        QFETCH(int, expected);
        m_grid->SetShowSelection(true);
        for (int row = 0; row < 5; ++row)
            m_grid->SetCellText(0, row, QString::number(row));
        m_grid->SelectCell(0, selected);
        QSignalSpy spy(m_grid, &TSimpleGrid::OnSelectCell);
        m_grid->DeleteRow(deleted);
        QCOMPARE(m_grid->RowCount(), rowCount);
        QCOMPARE(m_grid->SelectedRow(), expected);
        QCOMPARE(spy.count(), 0);
        int text = 0;
        for (int row = 0; row < rowCount; ++row, ++text) {
            if (text == deleted && rowCount < 5)
                ++text;
            QCOMPARE(m_grid->CellText(0, row), QString::number(text));
        }
    }

    void deleteOnlyRow()
    {
        m_grid->SetRowCount(1);
        m_grid->DeleteRow(0);
        QCOMPARE(m_grid->RowCount(), 0);
        QCOMPARE(m_grid->SelectedRow(), -1);
        m_grid->DeleteRow(0);
        QCOMPARE(m_grid->RowCount(), 0);
    }

    void mouseEvents_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("code");
        QTest::newRow("left") << Qt::LeftButton << 0;
        QTest::newRow("right") << Qt::RightButton << 1;
    }

    void mouseEvents()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, code);
        m_grid->SetBounds(30, 40, 300, 200);
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
        QSignalSpy down(m_grid, &TSimpleGrid::OnMouseDown);
        QSignalSpy dbl(m_grid, &TSimpleGrid::OnDblClick);
        QTest::mousePress(m_grid, button, {}, QPoint(12, 7));
        QCOMPARE(down.count(), 1);
        QCOMPARE(down.at(0), (QList<QVariant>{code, 12, 7}));
        m_grid->HostMouseDown(code, m_host->mapToGlobal(QPoint(30 + 5, 40 + 9)));
        QCOMPARE(down.at(1), (QList<QVariant>{code, 5, 9}));
        if (button == Qt::LeftButton) {
            QTest::mouseDClick(m_grid, button, {}, QPoint(12, 7));
            QCOMPARE(dbl.count(), 1);
        }
    }

    // Renders a style-0 and a style-1 row into <build>/screenshots/grid.png for a person to
    // look at, and checks that both rows drew something.
    void screenshot()
    {
        m_grid->SetBounds(0, 0, 520, 140);
        m_grid->SetColCount(2);
        m_grid->SetRowCount(1);
        m_grid->SetColWidth(0, 110);
        m_grid->SetColWidth(1, 400);
        m_grid->SetShowBorders(true);
        m_grid->SetLineHeight(QFontMetrics(m_grid->Cell(0, 0)->Font()).height() + 2);
        m_grid->SetShowSelection(true);
        m_grid->SetUnderlineMark(true);
        m_grid->SetFirstLineMark(true);
        m_grid->SetInvalidateMode(true);
        m_grid->SetCellStyle(0);
        for (int column = 0; column < 2; ++column)
            m_grid->Cell(column, 0)->Reset();
        m_grid->Cell(0, 0)->SetBold(true);
        m_grid->Cell(0, 0)->SetBackColor(0x00FFFF);
        m_grid->SetCellText(0, 0, QStringLiteral("abandon"));
        m_grid->SetCellText(1, 0, QStringLiteral("əˈbændən$$v. 放弃；抛弃\r\n【例】They had to abandon the car."));
        m_grid->SetRowHeight(0, m_grid->MeasureCell(1, 0) + 4);
        const QImage styleZero = render();

        m_grid->SetCellStyle(1);
        m_grid->Cell(0, 0)->Reset();
        m_grid->SetCellText(0, 0, QStringLiteral("12"));
        m_grid->SetCellText(1, 0, QStringLiteral("v. 放弃；抛弃$$abandon##%%%"));
        m_grid->SetRowHeight(0, m_grid->MeasureCell(1, 0) + 4);
        const QImage styleOne = render();

        const int height0 = m_grid->CellRect(0, 0).height();
        QImage sheet(520, 140 + height0 + 10, QImage::Format_ARGB32_Premultiplied);
        sheet.fill(Qt::white);
        {
            QPainter painter(&sheet);
            painter.drawImage(0, 0, styleZero);
            painter.drawImage(0, 150, styleOne);
        }
        QVERIFY(hasInk(styleZero, QRect(0, 0, 500, 40)));
        QVERIFY(hasInk(styleOne, QRect(0, 0, 500, 20)));
        const QString bin = qEnvironmentVariable("VOCAMO_BIN_DIR");
        const QString folder = bin.isEmpty() ? QDir::currentPath() + QStringLiteral("/screenshots")
                                             : QDir(bin).absoluteFilePath(QStringLiteral("../screenshots"));
        QVERIFY(QDir().mkpath(folder));
        const QString file = QDir(folder).absoluteFilePath(QStringLiteral("grid.png"));
        QVERIFY(sheet.save(file));
        qInfo("screenshot: %s", qPrintable(QDir::cleanPath(file)));
    }
};

QTEST_MAIN(TestSimpleGrid)
#include "tst_simplegrid.moc"
