#include "Recordfrm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

TfrmRecord::TfrmRecord(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRecord"));
    setWindowTitle(QStringLiteral("输入背记内容"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(15);
    setFont(font);
    setFixedSize(kClientWidth, kClientHeight);

    lbl1 = new QLabel(QStringLiteral("标题："), this);
    lbl1->setObjectName(QStringLiteral("lbl1"));
    lbl1->setGeometry(24, 28, 56, 20);

    edtTitle = new QLineEdit(this);
    edtTitle->setObjectName(QStringLiteral("edtTitle"));
    edtTitle->setGeometry(88, 24, 681, 27);
    edtTitle->setMaxLength(kMaxTitleLength);

    lbl2 = new QLabel(QStringLiteral("内容："), this);
    lbl2->setObjectName(QStringLiteral("lbl2"));
    lbl2->setGeometry(24, 68, 56, 20);

    mmoDesc = new QPlainTextEdit(this);
    mmoDesc->setObjectName(QStringLiteral("mmoDesc"));
    mmoDesc->setGeometry(88, 64, 681, 337);
    mmoDesc->setTabChangesFocus(true);
    connect(mmoDesc->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { m_lastChangeEnd = position + added; });
    connect(mmoDesc, &QPlainTextEdit::textChanged, this, &TfrmRecord::mmoDescChange);

    btn1 = new QPushButton(QStringLiteral("确定"), this);
    btn1->setObjectName(QStringLiteral("btn1"));
    btn1->setGeometry(576, 424, 90, 30);
    btn1->setDefault(true);
    connect(btn1, &QPushButton::clicked, this, &QDialog::accept);

    btn2 = new QPushButton(QStringLiteral("取消"), this);
    btn2->setObjectName(QStringLiteral("btn2"));
    btn2->setGeometry(679, 424, 90, 30);
    connect(btn2, &QPushButton::clicked, this, &QDialog::reject);

    edtTitle->setFocus();
}

QString TfrmRecord::Title() const
{
    return edtTitle->text();
}

QString TfrmRecord::Description() const
{
    return mmoDesc->toPlainText();
}

void TfrmRecord::mmoDescChange()
{
    const int length = static_cast<int>(mmoDesc->document()->characterCount()) - 1;
    const int excess = length - kMaxDescLength;
    if (excess <= 0)
        return;
    // Drop the end of what was just put in, as an edit with a length limit refuses the
    // characters over it; the text around the insertion stays as it was.
    // A change may be reported as reaching over the document's closing separator.
    const int insertEnd = std::clamp(m_lastChangeEnd, excess, length);
    QTextCursor cursor(mmoDesc->document());
    cursor.setPosition(insertEnd - excess);
    cursor.setPosition(insertEnd, QTextCursor::KeepAnchor);
    const QSignalBlocker blocker(mmoDesc);
    cursor.removeSelectedText();
    QTextCursor caret = mmoDesc->textCursor();
    caret.setPosition(insertEnd - excess);
    mmoDesc->setTextCursor(caret);
}
