#include "CodePage.h"

#include <iconv.h>

#include <cerrno>

namespace vocamo {

namespace {

QByteArray iconvName(int codePage)
{
    switch (codePage) {
    case 936: return "CP936";
    case 10000: return "MACINTOSH";
    case 20127: return "ASCII";
    case 28591: return "ISO-8859-1";
    case 54936: return "GB18030";
    case 65001: return "UTF-8";
    default: return "CP" + QByteArray::number(codePage);
    }
}

iconv_t openOrNone(const char *to, const char *from)
{
    return iconv_open(to, from);
}

bool valid(iconv_t handle)
{
    return handle != reinterpret_cast<iconv_t>(-1);
}

} // namespace

struct CodePage::Handles
{
    iconv_t toUtf8 = reinterpret_cast<iconv_t>(-1);
    iconv_t fromUtf8 = reinterpret_cast<iconv_t>(-1);
    ~Handles()
    {
        if (valid(toUtf8))
            iconv_close(toUtf8);
        if (valid(fromUtf8))
            iconv_close(fromUtf8);
    }
};

CodePage::CodePage(int codePage)
    : m_number(codePage), m_handles(std::make_unique<Handles>())
{
    const QByteArray name = iconvName(codePage);
    m_handles->toUtf8 = openOrNone("UTF-8", name.constData());
    m_handles->fromUtf8 = openOrNone(name.constData(), "UTF-8");
}

CodePage::~CodePage() = default;

QString CodePage::decode(const QByteArray &bytes) const
{
    if (bytes.isEmpty())
        return {};
    if (!valid(m_handles->toUtf8))
        return QString::fromLatin1(bytes);

    iconv(m_handles->toUtf8, nullptr, nullptr, nullptr, nullptr);
    QByteArray out(bytes.size() * 4 + 16, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());
    static const char replacement[] = "\xEF\xBF\xBD";
    while (inLeft > 0) {
        if (iconv(m_handles->toUtf8, &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG)
            break; // cannot happen: four output bytes per input byte always suffice
        // EILSEQ or EINVAL (a truncated character at the end): replace one byte.
        if (outLeft < 3)
            break;
        memcpy(outPtr, replacement, 3);
        outPtr += 3;
        outLeft -= 3;
        ++in;
        --inLeft;
        iconv(m_handles->toUtf8, nullptr, nullptr, nullptr, nullptr);
    }
    out.truncate(int(outPtr - out.data()));
    return QString::fromUtf8(out);
}

QByteArray CodePage::encode(QStringView character) const
{
    if (!valid(m_handles->fromUtf8) || character.isEmpty())
        return {};
    QByteArray utf8 = character.toUtf8();
    iconv(m_handles->fromUtf8, nullptr, nullptr, nullptr, nullptr);
    char buffer[16];
    char *in = utf8.data();
    size_t inLeft = size_t(utf8.size());
    char *out = buffer;
    size_t outLeft = sizeof buffer;
    if (iconv(m_handles->fromUtf8, &in, &inLeft, &out, &outLeft) == size_t(-1))
        return {};
    if (iconv(m_handles->fromUtf8, nullptr, nullptr, &out, &outLeft) == size_t(-1))
        return {};
    return QByteArray(buffer, int(out - buffer));
}

bool CodePage::isLeadByte(unsigned char byte) const
{
    switch (m_number) {
    case 936:
    case 949:
    case 950:
    case 54936:
        return byte >= 0x81 && byte <= 0xFE;
    case 932:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    default:
        return false;
    }
}

int CodePage::fromCharset(int charset)
{
    switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0; // ANSI, default, symbol and unknown sets follow the document
    }
}

} // namespace vocamo
