#include "RichText.h"

#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "store/Catalogue.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <memory>

namespace {

// The word-break classes "blank" and "line break": spaces, tabs, paragraph and line
// separators.
bool isBlankOrBreak(QChar c)
{
    return c.unicode() <= 0x20 || c.isSpace();
}

// The index of the character drawn under the viewport point, or -1 when the point lies
// beside or below the text.
int characterIndexAt(const QTextEdit *edit, QPoint point)
{
    const QTextCursor cursor = edit->cursorForPosition(point);
    const QRect caret = edit->cursorRect(cursor);
    if (point.y() < caret.top() || point.y() > caret.bottom())
        return -1;
    int index = cursor.position();
    // The cursor lies on the nearest boundary between two characters: left of it the
    // point is over the character before.
    if (point.x() < caret.left()) {
        if (index == 0)
            return -1;
        --index;
    }
    return index;
}

QString withoutTrailingBlanks(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && isBlankOrBreak(text[end - 1]))
        --end;
    text.truncate(end);
    return text;
}

} // namespace

void RichStreamIn(QTextEdit *edit, const QByteArray &rtf)
{
    QTextCursor cursor = edit->textCursor();
    vocamo::RtfReader::insert(cursor, rtf);
    edit->setTextCursor(cursor);
}

QByteArray RichStreamOut(const QTextEdit *edit)
{
    return vocamo::RtfWriter::write(edit->textCursor());
}

QString RichWordAt(const QTextEdit *edit, int x, int y)
{
    const int index = characterIndexAt(edit, QPoint(x, y));
    if (index < 0)
        return {};
    const QTextDocument *document = edit->document();
    if (isBlankOrBreak(document->characterAt(index)))
        return {};
    // On the first letter of a word (or of the text) nothing is picked.
    if (index == 0 || isBlankOrBreak(document->characterAt(index - 1)))
        return {};

    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(index);
    cursor.movePosition(QTextCursor::StartOfWord);
    const int start = cursor.position();
    cursor.movePosition(QTextCursor::NextWord);
    // A word ends at the latest with its paragraph.
    const QTextBlock block = document->findBlock(start);
    const int blockEnd = block.position() + block.length() - 1;
    const int end = std::min(cursor.position(), blockEnd);
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    return withoutTrailingBlanks(cursor.selectedText());
}

QByteArray MergedText(const TTexts &texts, QWidget *parent)
{
    auto edit = std::make_unique<QTextEdit>(parent);
    edit->hide();
    QTextCursor cursor(edit->document());
    for (int i = 0; i < texts.Count(); ++i) {
        cursor.movePosition(QTextCursor::End);
        if (const TText *text = texts.Get(i))
            vocamo::RtfReader::insert(cursor, text->Content);
    }
    return vocamo::RtfWriter::write(*edit->document());
}
