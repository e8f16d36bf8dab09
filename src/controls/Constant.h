#pragma once

#include <QLineEdit>
#include <QString>

class QWidget;

// The two standard message boxes, captioned "提醒".
// Information icon and an OK button.
void ShowInfo(const QString &text, QWidget *parent = nullptr);
// Question icon, OK and Cancel with Cancel as the default; true only when OK is chosen
// (Escape and closing the box give false).
bool Confirm(const QString &text, QWidget *parent = nullptr);

// A single-line edit that never holds a single (') or double (") quote: typed quotes are
// ignored and quotes are removed from any text put in (setText, paste, drop, insert).
// Every change passes a validator that drops the quotes: do not replace the validator.
class TMyEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TMyEdit(QWidget *parent = nullptr);

    // `text` with every ' and " removed.
    static QString withoutQuotes(QString text);
};

// A modal input dialog with caption, word-wrapped prompt, a TMyEdit holding `text` (all
// selected, at most maxLength characters) and OK/Cancel. On OK: true and `text` is the new
// text; on Cancel: false and `text` unchanged.
bool InputText(const QString &caption, const QString &prompt, QString &text, int maxLength,
               QWidget *parent = nullptr);
