#include "TextMetrics.h"

#include <QFontMetrics>

namespace vocamo {

QSize TextExtent(const QFont &font, const QString &text)
{
    const QFontMetrics metrics(font);
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

int TextWidth(const QFont &font, const QString &text)
{
    return TextExtent(font, text).width();
}

int TextHeight(const QFont &font, const QString &text)
{
    return TextExtent(font, text).height();
}

} // namespace vocamo
