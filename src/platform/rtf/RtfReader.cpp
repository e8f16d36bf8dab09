#include "RtfReader.h"

#include "RtfParser.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace vocamo {

namespace {

QTextCharFormat toCharFormat(const RtfCharFormat &marks)
{
    QTextCharFormat format;
    if (!marks.family.isEmpty())
        format.setFontFamilies(QStringList{marks.family});
    if (marks.halfPoints > 0)
        format.setFontPointSize(marks.halfPoints / 2.0);
    if (marks.bold)
        format.setFontWeight(QFont::Bold);
    if (marks.italic)
        format.setFontItalic(true);
    if (marks.underline)
        format.setFontUnderline(true);
    if (marks.strike)
        format.setFontStrikeOut(true);
    if (marks.foreground >= 0)
        format.setForeground(QColor::fromRgb(QRgb(marks.foreground)));
    if (marks.background >= 0)
        format.setBackground(QColor::fromRgb(QRgb(marks.background)));
    return format;
}

Qt::Alignment toAlignment(RtfAlignment alignment)
{
    switch (alignment) {
    case RtfAlignment::Right: return Qt::AlignRight;
    case RtfAlignment::Center: return Qt::AlignHCenter;
    case RtfAlignment::Justify: return Qt::AlignJustify;
    default: return Qt::AlignLeft;
    }
}

void applyAlignment(QTextCursor &cursor, RtfAlignment alignment)
{
    if (alignment == RtfAlignment::Default)
        return;
    QTextBlockFormat format = cursor.blockFormat();
    format.setAlignment(toAlignment(alignment));
    cursor.setBlockFormat(format);
}

} // namespace

void RtfReader::insert(QTextCursor &cursor, const QByteArray &rtf)
{
    const RtfContent content = ParseRtf(rtf);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const QTextBlockFormat paragraph = cursor.blockFormat();
    for (const RtfItem &item : content.items) {
        if (item.kind == RtfItem::Kind::Text) {
            cursor.insertText(item.text, toCharFormat(item.format));
        } else {
            applyAlignment(cursor, item.alignment);
            cursor.insertBlock(paragraph);
        }
    }
    // Paragraph marks last until \pard; they reach past the stream only into a
    // paragraph the stream itself started.
    if (!content.items.empty() && content.items.back().kind == RtfItem::Kind::Text)
        applyAlignment(cursor, content.lastAlignment);
    cursor.endEditBlock();
}

void RtfReader::read(const QByteArray &rtf, QTextDocument *document)
{
    document->clear();
    QTextCursor cursor(document);
    insert(cursor, rtf);
}

QString RtfReader::plainText(const QByteArray &rtf)
{
    return ParseRtf(rtf).plainText();
}

} // namespace vocamo
