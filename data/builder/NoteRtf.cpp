#include "NoteRtf.h"

QByteArray RtfEscaped(const QString &text)
{
    QByteArray out;
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        if (unit == u'\\' || unit == u'{' || unit == u'}') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit == u'\n') {
            out += "\\par\n";
        } else if (unit == u'\r') {
            continue;
        } else if (unit >= 0x20 && unit < 0x80) {
            out += static_cast<char>(unit);
        } else {
            // \uN takes a signed 16-bit number; surrogate halves are written one by one.
            const int value = unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : unit;
            out += "\\u" + QByteArray::number(value) + '?';
        }
    }
    return out;
}

QByteArray NoteRtf(const QString &word, const QString &symbol, const QString &chinese,
                   const QString &english)
{
    QByteArray rtf;
    rtf += "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052";
    // Font 1 is SimSun, its name written in GBK as the code page above demands.
    rtf += "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\n";
    rtf += "{\\colortbl ;\\red0\\green0\\blue128;\\red96\\green96\\blue96;}\n";
    // Page background; the dictionary view replaces the number with its own colour.
    rtf += "{\\*\\background{\\shp{\\*\\shpinst{\\sp{\\sn fillColor}{\\sv 15924991}}}}}\n";
    rtf += "\\viewkind4\\uc1\\pard\\sa120\\f0\\fs28\\cf1\\b " + RtfEscaped(word) + "\\b0\\cf0\\fs24";
    if (!symbol.isEmpty())
        rtf += "  [" + RtfEscaped(symbol) + "]";
    rtf += "\\par\n";
    rtf += "\\f1\\fs22 " + RtfEscaped(chinese) + "\\par\n";
    rtf += "\\f0\\cf2\\i " + RtfEscaped(english) + "\\i0\\cf0\\par\n";
    rtf += "}\n";
    return rtf;
}
