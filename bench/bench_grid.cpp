// The word grid on a full screen of word rows:
// (a) painting a full screen of 50 word rows into an image: cell style 0 (word |
//     phonetic$$meaning) and style 1 (number | meaning$$word##%%%), one text line a row;
// (b) measuring 60 words for splitting a page into screens, as the list modes do: each
//     word's column-0 and column-1 heights in style 0 on one measuring row; every run takes
//     words not measured before.
// Painting a screen that was just measured reuses the measured layouts, as it does in use.

#include "controls/SimpleGrid.h"
#include "platform/gui/PhoneticFont.h"
#include "support/BenchHarness.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QRegion>

#include <cstdio>
#include <memory>

namespace {

constexpr int ScreenRows = 50;
constexpr int MeasuredWords = 60;
constexpr int GridWidth = 1000;
constexpr int FirstColumn = 160;

volatile qint64 g_sink = 0;

struct SampleWord
{
    QString name;
    QString symbol;
    QString meaning;
    QString example;
};

QString randomWord(QRandomGenerator &random)
{
    QString word;
    const int length = 4 + int(random.bounded(8));
    for (int i = 0; i < length; ++i)
        word += QChar(u'a' + random.bounded(26));
    return word;
}

std::vector<SampleWord> sampleWords(int count, quint32 seed = 20240602)
{
    static const QString meanings[] = {
        QStringLiteral("n. 放弃；抛弃"),
        QStringLiteral("v. 获得，取得；学到\r\nn. 收获"),
        QStringLiteral("adj. 显而易见的，明显的；平淡无奇的"),
        QStringLiteral("n. 一种常见的水果"),
    };
    QRandomGenerator random(seed);
    std::vector<SampleWord> words;
    for (int i = 0; i < count; ++i) {
        SampleWord word;
        word.name = randomWord(random);
        word.symbol = QStringLiteral("ˈ%1ən").arg(word.name.left(5));
        word.meaning = meanings[i % 4];
        word.example = QStringLiteral("They had to %1 the plan when the weather changed.").arg(word.name);
        words.push_back(word);
    }
    return words;
}

// The revealed meaning with its example, as measured for screen splitting.
QString styleZeroText(const SampleWord &word)
{
    return word.symbol + QStringLiteral("$$") + word.meaning + QStringLiteral("\r\n【例】")
           + word.example;
}

// One line: the phonetic and the first meaning line.
QString styleZeroLine(const SampleWord &word)
{
    return word.symbol + QStringLiteral("$$") + word.meaning.section(QStringLiteral("\r\n"), 0, 0);
}

QString styleOneText(const SampleWord &word)
{
    return word.meaning + QStringLiteral("$$") + word.name + QStringLiteral("##%%%");
}

void setUpGrid(TSimpleGrid &grid)
{
    grid.SetFontName(QStringLiteral("Arial"));
    grid.SetFontSize(12);
    grid.SetBackground(0xFFFFFF);
    grid.SetColCount(2);
    grid.SetColWidth(0, FirstColumn);
    grid.SetColWidth(1, GridWidth - FirstColumn - 2);
    grid.SetShowSelection(true);
    grid.SetUnderlineMark(true);
    grid.SetFirstLineMark(true);
    grid.SetInvalidateMode(true);
}

// Fills the grid with one screen of words in `style`, rows sized by measurement; returns
// the height of the screen.
int fillScreen(TSimpleGrid &grid, const std::vector<SampleWord> &words, int style)
{
    grid.SetCellStyle(style);
    grid.SetRowCount(int(words.size()));
    int height = 0;
    for (int row = 0; row < int(words.size()); ++row) {
        const SampleWord &word = words[size_t(row)];
        grid.Cell(0, row)->Reset();
        grid.Cell(1, row)->Reset();
        grid.Cell(0, row)->SetBold(style == 0);
        grid.Cell(1, row)->SetSelectable(false);
        if (row % 5 == 0)
            grid.Cell(0, row)->SetBackColor(0x00FFFF);
        grid.SetCellText(0, row, style == 0 ? word.name : QString::number(row + 1));
        grid.SetCellText(1, row, style == 0 ? styleZeroLine(word) : styleOneText(word));
        grid.SetRowHeight(row, qMax(grid.MeasureCell(0, row), grid.MeasureCell(1, row)) + 4);
        height += grid.RowHeight(row) + 1;
    }
    grid.SelectCell(0, 3);
    return height;
}

void benchPaint(TSimpleGrid &grid, const std::vector<SampleWord> &words, int style,
                const char *label)
{
    const int height = fillScreen(grid, words, style);
    grid.SetBounds(0, 0, GridWidth, height);
    QImage image(GridWidth, height, QImage::Format_ARGB32_Premultiplied);
    const QRegion clip(image.rect());
    runBench(label, 200, [&] {
        image.fill(Qt::white);
        QPainter painter(&image);
        grid.Paint(painter, clip);
    });
    std::printf("    (%d rows, %d x %d pixels)\n", grid.RowCount(), GridWidth, height);
}

// Every run measures 60 words not measured before, so that no laid-out text is reused.
void benchMeasure(TSimpleGrid &grid)
{
    constexpr int Runs = 300;
    constexpr int Warmup = 10;
    const std::vector<SampleWord> pool = sampleWords((Runs + Warmup) * MeasuredWords, 7);
    size_t next = 0;
    grid.SetCellStyle(0);
    grid.SetRowCount(1);
    grid.SetMeasuring(true);
    grid.Cell(0, 0)->Reset();
    grid.Cell(0, 0)->SetBold(true);
    grid.Cell(1, 0)->Reset();
    runBench("measure 60 words (style 0, two cells each)", Runs, [&] {
        qint64 total = 0;
        for (int i = 0; i < MeasuredWords; ++i) {
            const SampleWord &word = pool[next++ % pool.size()];
            grid.SetCellText(0, 0, word.name);
            const int h0 = grid.MeasureCell(0, 0) + 4;
            grid.SetCellText(1, 0, styleZeroText(word));
            const int h1 = grid.MeasureCell(1, 0) + 4;
            total += qMax(h0, h1);
        }
        g_sink = g_sink + total;
    }, Warmup);
    grid.SetMeasuring(false);
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vocamo::EnsurePhoneticFont(QString());

    QWidget host;
    host.resize(GridWidth + 20, 800);
    auto grid = std::make_unique<TSimpleGrid>(&host);
    setUpGrid(*grid);

    const std::vector<SampleWord> screen = sampleWords(ScreenRows);
    std::printf("word grid (targets: paint < 4000 us, measure < 2000 us)\n");
    benchPaint(*grid, screen, 0, "paint 50 rows, style 0");
    benchPaint(*grid, screen, 1, "paint 50 rows, style 1");
    benchMeasure(*grid);
    return 0;
}
