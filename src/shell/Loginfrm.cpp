#include "shell/Loginfrm.h"

#include "shell/Messages.h"
#include "store/DataCenter.h"
#include "store/Environment.h"
#include "store/User.h"
#include "store/Word.h"
#include "sync/Operations.h"
#include "sync/Requests.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {

QFont dialogFont()
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(15);
    return font;
}

// The dialog's background: a quiet paper-coloured wash with a green band at the foot.
QPixmap backgroundPicture(const QSize &size)
{
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient wash(0, 0, 0, size.height());
    wash.setColorAt(0.0, QColor(0xF4, 0xF9, 0xF0));
    wash.setColorAt(1.0, QColor(0xD8, 0xEB, 0xD0));
    painter.fillRect(picture.rect(), wash);
    painter.fillRect(QRect(0, size.height() - 6, size.width(), 6), QColor(0x8C, 0xC0, 0x80));
    return picture;
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

TfrmLogin::TfrmLogin(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(Messages::LoginCaption());
    setFont(dialogFont());
    setFixedSize(434, 276);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    imgr = new QLabel(this);
    imgr->setObjectName(QStringLiteral("imgr"));
    imgr->setGeometry(rect());
    imgr->setScaledContents(true);
    imgr->setPixmap(backgroundPicture(size()));

    lbl1 = addLabel(QStringLiteral("lbl1"), QStringLiteral("国别："), 38);
    lblUserName = addLabel(QStringLiteral("lblUserName"), QStringLiteral("手机："), 86);
    lblPassword = addLabel(QStringLiteral("lblPassword"), QStringLiteral("密码："), 134);
    edtZoneCode = addEdit(QStringLiteral("edtZoneCode"), 38, 5);
    edtUserName = addEdit(QStringLiteral("edtUserName"), 86, 20);
    edtPassword = addEdit(QStringLiteral("edtPassword"), 134, 6);
    edtPassword->setEchoMode(QLineEdit::Password);
    // "*" as the password character, as the learner knows it.
    edtPassword->setStyleSheet(edtPassword->styleSheet() + QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));

    btnLogin = new QPushButton(QStringLiteral("登录"), this);
    btnLogin->setObjectName(QStringLiteral("btnLogin"));
    btnLogin->setGeometry(256, 208, 75, 25);
    btnLogin->setDefault(true);
    connect(btnLogin, &QPushButton::clicked, this, [this] {
        if (LoginHandler)
            LoginHandler(*this);
    });

    setTabOrder(edtUserName, edtPassword);
    setTabOrder(edtPassword, edtZoneCode);
    setTabOrder(edtZoneCode, btnLogin);

    LoginHandler = [](TfrmLogin &form) { form.btnLoginClick(); };

    // FormCreate
    Cancelled = true;
    m_ini = std::make_unique<TIni>();
    m_ini->Section = QStringLiteral("Config");
    m_ini->Default = QStringLiteral("86");
    edtZoneCode->setText(m_ini->ReadText(QStringLiteral("ZoneCode")));
    m_ini->Default.clear();
    edtUserName->setText(m_ini->ReadText(QStringLiteral("UserName")));
    edtZoneCodeChange();

    // Centred on the screen: QDialog centres over its parent, or on the screen without one.
}

TfrmLogin::~TfrmLogin() = default;

QLabel *TfrmLogin::addLabel(const QString &name, const QString &text, int top)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name);
    label->setGeometry(84, top, 48, 25);
    label->setAlignment(Qt::AlignCenter);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

QLineEdit *TfrmLogin::addEdit(const QString &name, int top, int maxLength)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setGeometry(132, top, 197, 23);
    edit->setMaxLength(maxLength);
    edit->setFont(dialogFont());
    edit->setStyleSheet(QStringLiteral("QLineEdit { background: white; color: black; }"));
    // An empty pop-up menu: the edit's own context menu never opens.
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textChanged, this, &TfrmLogin::edtZoneCodeChange);
    return edit;
}

QString TfrmLogin::Account() const { return edtZoneCode->text() + edtUserName->text(); }

QString TfrmLogin::Password() const { return edtPassword->text(); }

void TfrmLogin::edtZoneCodeChange()
{
    btnLogin->setEnabled(!edtZoneCode->text().isEmpty() && !edtUserName->text().isEmpty()
                         && !edtPassword->text().isEmpty());
}

void TfrmLogin::showEvent(QShowEvent *event)
{
    edtZoneCodeChange();
    QDialog::showEvent(event);
}

bool TfrmLogin::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (edit && filterKey(edit, static_cast<QKeyEvent *>(event)))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmLogin::filterKey(QLineEdit *edit, QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return false;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (edit == edtZoneCode) {
            edtUserName->setFocus();
            return true;
        }
        if (edit == edtUserName) {
            edtPassword->setFocus();
            return true;
        }
        return false; // the password's Enter presses the default button
    }
    if (key == Qt::Key_Backspace)
        return false;
    const QString text = event->text();
    if (text.isEmpty())
        return false; // not a character: cursor keys, Delete, Home...
    // One typed character; control characters (Ctrl+V and the like) are characters too
    // and are dropped with the letters.
    for (QChar c : text) {
        if (isDigit(c))
            continue;
        if (c == u'-' && edit == edtZoneCode)
            continue;
        return true;
    }
    return false;
}

void TfrmLogin::btnLoginClick()
{
    if (!SignIn(Account(), Password()))
        return;
    m_ini->WriteText(QStringLiteral("ZoneCode"), edtZoneCode->text());
    m_ini->WriteText(QStringLiteral("UserName"), edtUserName->text());
    Cancelled = false;
    if (TDataCenter *centre = DataCenter()) {
        centre->SelectUser(0);
        if (centre->CurrentUser)
            centre->CurrentUser->LoadBooks();
    }
    LoadSettings();
    accept();
}
