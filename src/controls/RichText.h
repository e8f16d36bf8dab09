#pragma once

#include <QByteArray>
#include <QString>

class QTextEdit;
class QWidget;
class TTexts;

// Replaces the edit's selection with the rich text (RTF) of `rtf`; the caret ends after
// the inserted text.
void RichStreamIn(QTextEdit *edit, const QByteArray &rtf);
// The edit's selection as one RTF document (an empty selection gives an empty document).
QByteArray RichStreamOut(const QTextEdit *edit);
// The word under the point (x, y) of the edit's viewport, without trailing blanks. Empty
// when the point is not over a character, is over a blank or a line break, or is over the
// first letter of a word (so that a click just before a word does not pick it).
QString RichWordAt(const QTextEdit *edit, int x, int y);
// Every text of `texts` appended in order into a hidden rich edit on `parent`, the whole
// content returned as one RTF document.
QByteArray MergedText(const TTexts &texts, QWidget *parent);
