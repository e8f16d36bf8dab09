#include "SearchWordfrm.h"

#include "DialogFonts.h"

#include "platform/gui/Colors.h"
#include "store/Routine.h"
#include "store/SearchQuery.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

using vocamo::colorFromWin;

TfrmSearchWord::TfrmSearchWord(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSearchWord"));
    setWindowTitle(QStringLiteral("查找单词"));
    setFont(SongFont(15));
    setFixedSize(kClientWidth, kClientHeight);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 4, 412, 90);

    Label30 = new QLabel(QStringLiteral("  查找的内容："), GroupBox1);
    Label30->setObjectName(QStringLiteral("Label30"));
    Label30->setGeometry(8, 24, 110, 24);

    txtSearchWord = new QLineEdit(GroupBox1);
    txtSearchWord->setObjectName(QStringLiteral("txtSearchWord"));
    txtSearchWord->setGeometry(118, 22, 280, 26);
    txtSearchWord->setMaxLength(kMaxQueryLength);
    QPalette palette = txtSearchWord->palette();
    palette.setColor(QPalette::Base, colorFromWin(kQueryColor));
    palette.setColor(QPalette::Text, Qt::black);
    txtSearchWord->setPalette(palette);
    txtSearchWord->installEventFilter(this);
    connect(txtSearchWord, &QLineEdit::textChanged, this, &TfrmSearchWord::txtSearchWordChange);

    Label1 = new QLabel(QStringLiteral("用上下方向键调整位置"), GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(118, 58, 280, 20);
    QPalette hint = Label1->palette();
    hint.setColor(QPalette::WindowText, colorFromWin(kHintColor));
    Label1->setPalette(hint);

    btnSave = new QPushButton(QStringLiteral("确定"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnSave->setGeometry(236, 104, 85, 28);
    btnSave->setDefault(true);
    btnSave->setFocusPolicy(Qt::NoFocus);
    connect(btnSave, &QPushButton::clicked, this, &QDialog::accept);

    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(330, 104, 85, 28);
    btnCancel->setFocusPolicy(Qt::NoFocus);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    txtSearchWord->setFocus();
    txtSearchWordChange();
}

QString TfrmSearchWord::Query() const
{
    return txtSearchWord->text();
}

void TfrmSearchWord::FormShow()
{
    txtSearchWord->clear();
    txtSearchWordChange();
    txtSearchWord->setFocus();
}

void TfrmSearchWord::txtSearchWordChange()
{
    const QString query = DelphiTrim(txtSearchWord->text());
    btnSave->setEnabled(!IsBadOperand(query));
}

bool TfrmSearchWord::txtSearchWordKeyDown(int key)
{
    if (key != Qt::Key_Up && key != Qt::Key_Down)
        return false;
    const QScreen *screen = this->screen();
    const QRect area = screen ? screen->geometry() : QRect();
    const int top = key == Qt::Key_Up
                        ? area.top() + kScreenMargin
                        : area.top() + area.height() - frameGeometry().height() - kScreenMargin;
    move(frameGeometry().left(), top);
    return true;
}

void TfrmSearchWord::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

bool TfrmSearchWord::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtSearchWord && event->type() == QEvent::KeyPress) {
        if (txtSearchWordKeyDown(static_cast<QKeyEvent *>(event)->key()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
