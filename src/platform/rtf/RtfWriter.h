#pragma once

#include <QByteArray>

class QTextCursor;
class QTextDocument;

namespace vocamo {

// Writes text documents as RTF that RtfReader and common word processors read back
// with the same marks: a font table, a colour table, \ansicpg936, non-ASCII text as
// \uN with a GBK fallback, and per run the font, size, bold, italic, underline,
// strike-through, text and background colour; paragraph alignment.
class RtfWriter
{
public:
    static QByteArray write(const QTextDocument &document);
    // The cursor's selection only (an empty selection gives an empty document).
    static QByteArray write(const QTextCursor &selection);
};

} // namespace vocamo
