#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

// Text layout of the word grid's cells, following the rules of the Windows text drawing the
// grid's layouts were made for: tab stops every two average character widths, no margins,
// one line per explicit line break (CR LF, CR or LF), lines as high as the font's height.
//
// align: 0 = left without word wrap, "&" underlines the next character ("&&" is one "&");
//        1 = left, 2 = right, 3 = centred, all three wrapping at word boundaries and inside
//        words too long for a line, "&" shown as it is.
//
// Draws `text` into `rect` (clipped to it) with the painter's pen, or only measures it when
// `painter` is null. Returns the height of the laid-out text (0 for an empty text).
int DrawGridText(QPainter *painter, const QFont &font, const QString &text, const QRect &rect,
                 quint8 align);

// The height DrawGridText would return.
inline int GridTextHeight(const QFont &font, const QString &text, const QRect &rect, quint8 align)
{
    return DrawGridText(nullptr, font, text, rect, align);
}
