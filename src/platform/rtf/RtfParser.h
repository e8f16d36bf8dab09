#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace vocamo {

// Character marks of one run of rich text as the stream states them; an empty
// family, a size of 0 or a colour of -1 means "not stated" (the view's default).
struct RtfCharFormat
{
    QString family;
    int halfPoints = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int foreground = -1; // 0xRRGGBB
    int background = -1; // 0xRRGGBB

    friend bool operator==(const RtfCharFormat &, const RtfCharFormat &) = default;
};

enum class RtfAlignment { Default, Left, Right, Center, Justify };

// One piece of parsed content: a run of text in one format, or the end of a
// paragraph with the paragraph's alignment.
struct RtfItem
{
    enum class Kind { Text, ParagraphEnd };
    Kind kind = Kind::Text;
    QString text;
    RtfCharFormat format;
    RtfAlignment alignment = RtfAlignment::Default;
};

struct RtfContent
{
    std::vector<RtfItem> items;
    RtfAlignment lastAlignment = RtfAlignment::Default; // of the unterminated last paragraph
    bool wasRtf = false; // false: the input was not RTF and was read as plain text

    QString plainText() const; // paragraphs joined by '\n'
};

// Parses RTF (or, when the input does not start with "{\rtf", plain text in UTF-8
// or GBK). Never fails: malformed, truncated or hostile input yields the text that
// could be read. Runs in time linear in the input and in bounded stack depth.
RtfContent ParseRtf(const QByteArray &data);

} // namespace vocamo
