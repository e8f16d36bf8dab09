#include "controls/Constant.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QValidator>

namespace {

const QString &caption()
{
    static const QString text = QStringLiteral("提醒");
    return text;
}

// Drops quotes from any text that goes into the edit.
class NoQuoteValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &pos) const override
    {
        const QString before = input.left(pos);
        const QString cleanBefore = TMyEdit::withoutQuotes(before);
        pos -= int(before.size() - cleanBefore.size());
        input = TMyEdit::withoutQuotes(input);
        return Acceptable;
    }
};

// The platform's own caption of a standard button ("OK", "Cancel", translated by Qt).
QString standardText(QDialogButtonBox::StandardButton which)
{
    QDialogButtonBox box(which);
    return box.button(which)->text();
}

} // namespace

void ShowInfo(const QString &text, QWidget *parent)
{
    QMessageBox box(QMessageBox::Information, caption(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool Confirm(const QString &text, QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, caption(), text,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Ok);
}

TMyEdit::TMyEdit(QWidget *parent)
    : QLineEdit(parent)
{
    // QLineEdit runs the validator on every change, setText() included, and takes over
    // the text the validator hands back.
    setValidator(new NoQuoteValidator(this));
}

QString TMyEdit::withoutQuotes(QString text)
{
    text.remove(QLatin1Char('\''));
    text.remove(QLatin1Char('"'));
    return text;
}

bool InputText(const QString &caption, const QString &prompt, QString &text, int maxLength,
               QWidget *parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint);

    // Dialog units: the average width of the 52 ASCII letters and the line height.
    const QFontMetrics metrics(dialog.font());
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int aw = metrics.horizontalAdvance(letters) / 52;
    const int ah = metrics.height();

    auto *label = new QLabel(prompt, &dialog);
    label->setObjectName(QStringLiteral("lblPrompt"));
    label->setWordWrap(true);
    const int promptWidth = 164 * aw / 4;
    label->setGeometry(8 * aw / 4, 8 * ah / 8, promptWidth, label->heightForWidth(promptWidth));

    auto *edit = new TMyEdit(&dialog);
    edit->setObjectName(QStringLiteral("edtText"));
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    edit->setText(text);
    edit->selectAll();
    edit->setGeometry(label->x(), label->geometry().bottom() + 1 + 5, promptWidth,
                      edit->sizeHint().height());

    const int buttonTop = edit->geometry().bottom() + 1 + 15;
    const int buttonWidth = 50 * aw / 4;
    const int buttonHeight = 14 * ah / 8;
    auto *ok = new QPushButton(standardText(QDialogButtonBox::Ok), &dialog);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    ok->setGeometry(38 * aw / 4, buttonTop, buttonWidth, buttonHeight);
    auto *cancel = new QPushButton(standardText(QDialogButtonBox::Cancel), &dialog);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setGeometry(92 * aw / 4, buttonTop, buttonWidth, buttonHeight);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

    dialog.setFixedSize(180 * aw / 4, buttonTop + buttonHeight + 13);
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
    edit->setFocus();

    if (dialog.exec() != QDialog::Accepted)
        return false;
    text = edit->text();
    return true;
}
