#pragma once

#include <QByteArray>
#include <QString>

class QTextCursor;
class QTextDocument;

namespace vocamo {

// Reads rich text (RTF) into text documents: font names and sizes, bold, italic,
// underline, strike-through, text and background colours, paragraphs, line breaks,
// tabs, paragraph alignment, \'hh escapes in the stream's code page (GBK by
// default) and \u escapes. Input that is not RTF is read as plain text.
class RtfReader
{
public:
    // Replaces the cursor's selection with the stream's rich text; the cursor ends
    // after the inserted text. One undo step.
    static void insert(QTextCursor &cursor, const QByteArray &rtf);
    // Replaces the whole document with the stream's rich text.
    static void read(const QByteArray &rtf, QTextDocument *document);
    // The stream's text without marks; paragraphs end with '\n'.
    static QString plainText(const QByteArray &rtf);
};

} // namespace vocamo
