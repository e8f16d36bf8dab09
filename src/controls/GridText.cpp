#include "GridText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <QCache>
#include <QHashFunctions>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int kUnboundedWidth = 1 << 20;

// The text split at CR LF, CR and LF.
QList<QStringView> splitLines(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines.append(text.mid(start));
    return lines;
}

// Removes the "&" prefixes of a line; each character that followed one is underlined.
QString stripMnemonics(QStringView line, QList<QTextLayout::FormatRange> &formats)
{
    QString shown;
    shown.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'&' && i + 1 < line.size()) {
            ++i;
            if (line[i] != u'&') {
                QTextLayout::FormatRange range;
                range.start = int(shown.size());
                range.length = 1;
                range.format.setFontUnderline(true);
                formats.append(range);
            }
        }
        shown.append(line[i]);
    }
    return shown;
}

QTextOption optionFor(quint8 align, const QFontMetrics &metrics)
{
    QTextOption option;
    option.setWrapMode(align == 0 ? QTextOption::NoWrap
                                  : QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setAlignment(align == 2 ? Qt::AlignRight
                        : align == 3 ? Qt::AlignHCenter
                                     : Qt::AlignLeft);
    option.setTabStopDistance(qMax(1, 2 * metrics.averageCharWidth()));
    return option;
}

// One text laid out for one font, width and format: the paragraphs, each a layout whose
// lines are already positioned, and the total height and widest line.
struct LaidOutText
{
    std::vector<std::unique_ptr<QTextLayout>> paragraphs;
    int height = 0;
    qreal width = 0;
};

struct LayoutKey
{
    QFont font;
    QString text;
    int width;
    quint8 align;

    bool operator==(const LayoutKey &other) const
    {
        return width == other.width && align == other.align && text == other.text
               && font == other.font;
    }
};

size_t qHash(const LayoutKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.text, key.width, key.align, key.font);
}

std::unique_ptr<LaidOutText> layOut(const QFont &font, const QString &text, int width,
                                    quint8 align)
{
    auto result = std::make_unique<LaidOutText>();
    const QFontMetrics metrics(font);
    const int lineHeight = metrics.height();
    const QTextOption option = optionFor(align, metrics);
    const bool wrap = align != 0;
    const qreal lineWidth = wrap ? qMax(1, width) : kUnboundedWidth;
    int y = 0;
    for (const QStringView line : splitLines(text)) {
        if (line.isEmpty()) {
            y += lineHeight;
            continue;
        }
        QList<QTextLayout::FormatRange> formats;
        const QString shown = wrap ? line.toString() : stripMnemonics(line, formats);
        auto layout = std::make_unique<QTextLayout>(shown, font);
        layout->setTextOption(option);
        if (!formats.isEmpty())
            layout->setFormats(formats);
        layout->setCacheEnabled(true);
        layout->beginLayout();
        for (QTextLine textLine = layout->createLine(); textLine.isValid();
             textLine = layout->createLine()) {
            textLine.setLineWidth(lineWidth);
            textLine.setPosition(QPointF(0, y));
            y += qMax(lineHeight, int(std::ceil(textLine.height())));
            result->width = qMax(result->width, textLine.naturalTextWidth());
        }
        layout->endLayout();
        result->paragraphs.push_back(std::move(layout));
    }
    result->height = y;
    return result;
}

// Laid-out texts are kept, so that painting a screen reuses the layouts made when it was
// measured, and repainting a cell does not shape its text again. Used on the GUI thread only.
constexpr int kCachedLayouts = 2048;

const LaidOutText &cachedLayout(const QFont &font, const QString &text, int width, quint8 align)
{
    static QCache<LayoutKey, LaidOutText> cache(kCachedLayouts);
    LayoutKey key{font, text, align == 0 ? 0 : width, align};
    if (LaidOutText *found = cache.object(key))
        return *found;
    LaidOutText *made = layOut(font, text, width, align).release();
    cache.insert(std::move(key), made);
    return *made;
}

} // namespace

int DrawGridText(QPainter *painter, const QFont &font, const QString &text, const QRect &rect,
                 quint8 align)
{
    if (text.isEmpty())
        return 0;
    const LaidOutText &laidOut = cachedLayout(font, text, rect.width(), align);
    if (!painter)
        return laidOut.height;
    const bool overflows = laidOut.height > rect.height() || laidOut.width > rect.width();
    if (overflows) {
        painter->save();
        painter->setClipRect(rect, Qt::IntersectClip);
    }
    for (const auto &paragraph : laidOut.paragraphs)
        paragraph->draw(painter, rect.topLeft());
    if (overflows)
        painter->restore();
    return laidOut.height;
}
