#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace vocamo {

// Converts between Unicode and one Windows code page (936 = GBK, 1252, 950, ...)
// through iconv. Undecodable bytes become U+FFFD; a code page iconv does not know
// decodes as Latin-1 so no text is ever lost silently.
class CodePage
{
public:
    explicit CodePage(int codePage);
    ~CodePage();
    CodePage(const CodePage &) = delete;
    CodePage &operator=(const CodePage &) = delete;

    int number() const { return m_number; }
    QString decode(const QByteArray &bytes) const;
    // The bytes of one character in this code page, or empty when it has none.
    QByteArray encode(QStringView character) const;
    // True when `byte` opens a two-byte character in this (double-byte) code page.
    bool isLeadByte(unsigned char byte) const;

    // The code page a font's \fcharset stands for, or 0 when it follows the document.
    static int fromCharset(int charset);

private:
    struct Handles;
    int m_number;
    std::unique_ptr<Handles> m_handles;
};

} // namespace vocamo
