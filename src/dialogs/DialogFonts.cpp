#include "DialogFonts.h"

#include <QStringList>

QFont SongFont(int pixelSize)
{
    static const bool mapped = [] {
        QFont::insertSubstitutions(QStringLiteral("宋体"),
                                   {QStringLiteral("Noto Serif CJK SC"),
                                    QStringLiteral("Noto Sans CJK SC")});
        return true;
    }();
    Q_UNUSED(mapped);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixelSize);
    return font;
}
