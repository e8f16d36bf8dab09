#include "platform/gui/PhoneticFont.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <QTest>

using namespace vocamo;

namespace {

const QString kIpa = QString::fromUtf8("ˈæʃəŋθð");

bool hasAllGlyphs(const QFont &font, const QString &text)
{
    const QFontMetrics metrics(font);
    for (QChar c : text)
        if (!metrics.inFont(c))
            return false;
    return true;
}

} // namespace

// The order matters: application fonts and substitutions are process-wide.
class TestPhoneticFont : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void withoutFontFileMapsToAnIpaFont();
    void fontFileInTheFolderIsUsed();
};

void TestPhoneticFont::initTestCase()
{
    QVERIFY2(!QFontDatabase::hasFamily(kPhoneticFamily), "the phonetic font is installed");
    QVERIFY2(QFontDatabase::hasFamily("Charis SIL") || QFontDatabase::hasFamily("DejaVu Sans"),
             "no IPA-capable font installed (fonts-sil-charis)");
}

void TestPhoneticFont::withoutFontFileMapsToAnIpaFont()
{
    QTemporaryDir empty;
    EnsurePhoneticFont(empty.path());
    const QFont font = PhoneticFont(18);
    QCOMPARE(font.pixelSize(), 18);
    const QString resolved = QFontInfo(font).family();
    QVERIFY2(resolved == "Charis SIL" || resolved == "DejaVu Sans", qPrintable(resolved));
    QVERIFY(hasAllGlyphs(font, kIpa));
}

void TestPhoneticFont::fontFileInTheFolderIsUsed()
{
    // Any TTF under the name Marovek.ttf stands in for the real file.
    const QString source = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    if (!QFile::exists(source))
        QSKIP("DejaVu Sans Mono is not installed");
    QTemporaryDir folder;
    QVERIFY(QFile::copy(source, QDir(folder.path()).filePath("Marovek.ttf")));
    EnsurePhoneticFont(folder.path());
    const QFont font = PhoneticFont(18);
    QCOMPARE(QFontInfo(font).family(), QString("DejaVu Sans Mono"));
    QVERIFY(hasAllGlyphs(font, kIpa));
}

QTEST_MAIN(TestPhoneticFont)
#include "tst_phoneticfont.moc"
