#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class TIni;

// The sign-in dialog: country calling code, mobile number and numeric password. The
// program entry shows it before the main window; the main window's account switch shows
// it re-captioned with its own sign-in handler (LoginHandler).
class TfrmLogin : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmLogin(QWidget *parent = nullptr);
    ~TfrmLogin() override;

    // Zone code and user name as one account ("86" + "13900000001"), and the password.
    QString Account() const;
    QString Password() const;

    // The dialog's own sign-in: SignIn; on success remembers the zone code and the user
    // name in section "Config" of the settings file, clears Cancelled, selects user 0 with
    // its books, copies the account's settings into Config and closes the dialog. On
    // failure the dialog stays open.
    void btnLoginClick();
    // btnLogin is enabled exactly when all three edits hold text.
    void edtZoneCodeChange();

    // True until a sign-in succeeded.
    bool Cancelled = true;
    // What btnLogin runs; btnLoginClick unless the owner installs its own.
    std::function<void(TfrmLogin &)> LoginHandler;

    QLabel *imgr = nullptr;
    QLabel *lbl1 = nullptr;
    QLabel *lblUserName = nullptr;
    QLabel *lblPassword = nullptr;
    QLineEdit *edtZoneCode = nullptr;
    QLineEdit *edtUserName = nullptr;
    QLineEdit *edtPassword = nullptr;
    QPushButton *btnLogin = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *addEdit(const QString &name, int top, int maxLength);
    QLabel *addLabel(const QString &name, const QString &text, int top);
    // The typed-character filter of one edit; true when the key is consumed.
    bool filterKey(QLineEdit *edit, QKeyEvent *event);

    std::unique_ptr<TIni> m_ini;
};
