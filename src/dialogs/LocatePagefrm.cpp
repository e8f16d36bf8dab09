#include "LocatePagefrm.h"

#include "DialogFonts.h"

#include "controls/UpdownEdit.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace {

QPushButton *MakeButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFont(SongFont(15));
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TfrmLocatePage::TfrmLocatePage(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLocatePage"));
    setWindowTitle(QStringLiteral("定位"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);
    setFixedSize(kClientWidth, kClientHeight);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 4, 235, 78);

    Label30 = new QLabel(QStringLiteral("单元号："), GroupBox1);
    Label30->setObjectName(QStringLiteral("Label30"));
    Label30->setGeometry(16, 30, 60, 20);

    udPageIndex = new TUpdownEdit(GroupBox1);
    udPageIndex->setObjectName(QStringLiteral("udPageIndex"));
    udPageIndex->setGeometry(80, 26, TUpdownEdit::kEditWidth, TUpdownEdit::kEditHeight);
    udPageIndex->SetMin(1);
    udPageIndex->SetMax(100);
    udPageIndex->SetIncrement(1);
    udPageIndex->SetPosition(1);
    udPageIndex->SetText(QStringLiteral("1"));

    btnSave = MakeButton(QStringLiteral("btnSave"), QStringLiteral("确定"), this);
    btnSave->setGeometry(64, 94, 85, 28);
    btnSave->setDefault(true);
    connect(btnSave, &QPushButton::clicked, this, &QDialog::accept);

    btnCancel = MakeButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), this);
    btnCancel->setGeometry(158, 94, 85, 28);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    udPageIndex->Edit()->setFocus();
}

void TfrmLocatePage::SetRange(int min, int max, int position)
{
    udPageIndex->SetMin(min);
    udPageIndex->SetMax(max);
    udPageIndex->SetPosition(position);
}

int TfrmLocatePage::PageNumber() const
{
    return udPageIndex->Position();
}

void TfrmLocatePage::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    udPageIndex->Edit()->setFocus();
    udPageIndex->Edit()->selectAll();
}
