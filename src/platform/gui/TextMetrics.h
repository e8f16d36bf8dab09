#pragma once

#include <QFont>
#include <QSize>
#include <QString>

namespace vocamo {

// Size of a single-line text in a font: advance width and line height in pixels.
QSize TextExtent(const QFont &font, const QString &text);
int TextWidth(const QFont &font, const QString &text);
int TextHeight(const QFont &font, const QString &text);

} // namespace vocamo
