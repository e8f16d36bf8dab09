#include "PhoneticFont.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QStringList>

namespace vocamo {

void EnsurePhoneticFont(const QString &folder)
{
    const QString family = QString::fromLatin1(kPhoneticFamily);
    if (QFontDatabase::hasFamily(family))
        return;

    QStringList substitutes;
    const QString file = QDir(folder).filePath(QStringLiteral("Marovek.ttf"));
    if (!folder.isEmpty() && QFile::exists(file)) {
        const int id = QFontDatabase::addApplicationFont(file);
        if (id >= 0) {
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (families.contains(family))
                return;
            substitutes += families; // a file under another family name still serves
        }
    }
    substitutes << QStringLiteral("Charis SIL") << QStringLiteral("DejaVu Sans");
    QFont::removeSubstitutions(family);
    QFont::insertSubstitutions(family, substitutes);
}

QFont PhoneticFont(int pixelSize)
{
    QFont font(QString::fromLatin1(kPhoneticFamily));
    if (pixelSize > 0)
        font.setPixelSize(pixelSize);
    return font;
}

} // namespace vocamo
