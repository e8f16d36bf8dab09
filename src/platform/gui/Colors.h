#pragma once

#include <QColor>

namespace vocamo {

// Colours are stored as Windows colour values 0x00BBGGRR (0x0000FF is red) and
// become QColor only for painting.
QColor colorFromWin(quint32 bgr);
quint32 winFromColor(const QColor &color);

} // namespace vocamo
