// The sign-in dialog: its key filters, the enabling of "登录", the remembered zone code and
// user name, and signing in against the embedded reference server.

#include "support/ShellFixture.h"

#include "platform/AppPaths.h"
#include "shell/Loginfrm.h"
#include "store/DataCenter.h"
#include "store/Environment.h"
#include "sync/Requests.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

namespace {

QLineEdit *field(TfrmLogin &form, const QString &name)
{
    return form.findChild<QLineEdit *>(name);
}

QString iniPath() { return ExecutableFolder() + QLatin1Char('/') + ExecutableBaseName() + QStringLiteral(".ini"); }

} // namespace

class TestLogin : public QObject
{
    Q_OBJECT

private slots:
    void filtersTypedCharacters_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zone digits and dash") << "edtZoneCode" << "8-5a2" << "8-52";
        QTest::newRow("zone at most 5") << "edtZoneCode" << "1234567" << "12345";
        QTest::newRow("zone drops letters and blanks") << "edtZoneCode" << "a b+c" << "";
        QTest::newRow("phone digits only") << "edtUserName" << "139-00x0 1" << "1390001";
        QTest::newRow("phone at most 20") << "edtUserName" << "123456789012345678901234" << "12345678901234567890";
        QTest::newRow("password digits only") << "edtPassword" << "1a2-3B" << "123";
        QTest::newRow("password at most 6") << "edtPassword" << "12345678" << "123456";
    }
    void filtersTypedCharacters()
    {
        QFETCH(QString, edit);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        ShellFolder folder;
        TfrmLogin form;
        QLineEdit *target = field(form, edit);
        QVERIFY(target);
        target->clear();
        QTest::keyClicks(target, typed);
        QCOMPARE(target->text(), expected);
    }

    void backspaceStillDeletes()
    {
        ShellFolder folder;
        TfrmLogin form;
        form.edtUserName->setText(QStringLiteral("139"));
        form.edtUserName->end(false);
        QTest::keyClick(form.edtUserName, Qt::Key_Backspace);
        QCOMPARE(form.edtUserName->text(), QStringLiteral("13"));
    }

    void pastingByKeyIsDropped()
    {
        ShellFolder folder;
        TfrmLogin form;
        form.edtUserName->clear();
        QTest::keyClick(form.edtUserName, Qt::Key_V, Qt::ControlModifier);
        QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
        QApplication::sendEvent(form.edtUserName, &paste);
        QCOMPARE(form.edtUserName->text(), QString());
    }

    void enterMovesOn()
    {
        ShellFolder folder;
        TfrmLogin form;
        form.show();
        form.edtZoneCode->setFocus();
        QTest::keyClick(form.edtZoneCode, Qt::Key_Return);
        QCOMPARE(form.focusWidget(), form.edtUserName);
        QTest::keyClick(form.edtUserName, Qt::Key_Enter);
        QCOMPARE(form.focusWidget(), form.edtPassword);
        QVERIFY(form.isVisible());
    }

    void enablesLoginWithAllThree_data()
    {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("all") << "86" << "13900000001" << "123456" << true;
        QTest::newRow("no zone") << "" << "13900000001" << "123456" << false;
        QTest::newRow("no phone") << "86" << "" << "123456" << false;
        QTest::newRow("no password") << "86" << "13900000001" << "" << false;
        QTest::newRow("none") << "" << "" << "" << false;
    }
    void enablesLoginWithAllThree()
    {
        QFETCH(QString, zone);
        QFETCH(QString, phone);
        QFETCH(QString, password);
        QFETCH(bool, enabled);
        ShellFolder folder;
        TfrmLogin form;
        form.edtZoneCode->setText(zone);
        form.edtUserName->setText(phone);
        form.edtPassword->setText(password);
        QCOMPARE(form.btnLogin->isEnabled(), enabled);
        // typing the last missing character enables it too
        form.edtPassword->clear();
        QVERIFY(!form.btnLogin->isEnabled());
        QTest::keyClicks(form.edtPassword, password);
        QCOMPARE(form.btnLogin->isEnabled(), enabled);
    }

    void opensWithTheRememberedAccount()
    {
        ShellFolder folder;
        {
            QSettings ini(iniPath(), QSettings::IniFormat);
            ini.setValue(QStringLiteral("Config/ZoneCode"), QStringLiteral("852"));
            ini.setValue(QStringLiteral("Config/UserName"), QStringLiteral("61234567"));
        }
        TfrmLogin form;
        form.show();
        QCOMPARE(form.edtZoneCode->text(), QStringLiteral("852"));
        QCOMPARE(form.edtUserName->text(), QStringLiteral("61234567"));
        QCOMPARE(form.edtPassword->text(), QString());
        QVERIFY(!form.btnLogin->isEnabled());
        QVERIFY(form.Cancelled);
    }

    void opensWithZone86ByDefault()
    {
        ShellFolder folder;
        TfrmLogin form;
        QCOMPARE(form.edtZoneCode->text(), QStringLiteral("86"));
        QCOMPARE(form.edtUserName->text(), QString());
        QCOMPARE(form.windowTitle(), QStringLiteral("登录"));
        QCOMPARE(form.size(), QSize(434, 276));
        QVERIFY(form.btnLogin->isDefault());
    }

    void signsInWithEnterAgainstTheEmbeddedServer()
    {
        ShellFolder folder;
        QVERIFY(folder.addStore(QStringLiteral("Vocamo.mdb")));
        TDataCenter centre(QStringLiteral("Vocamo.mdb"), QString());
        QStringList notes;
        centre.SetNotifier([&notes](const QString &text) { notes << text; });
        TSyncClient client(centre);
        centre.Config.BookColor = 0;

        TfrmLogin form;
        form.show();
        form.edtZoneCode->setText(QStringLiteral("86"));
        form.edtUserName->setText(QStringLiteral("13900000007"));
        QCOMPARE(form.Account(), QStringLiteral("8613900000007"));
        form.edtPassword->setFocus();
        QTest::keyClicks(form.edtPassword, QStringLiteral("123456"));
        QTest::keyClick(form.edtPassword, Qt::Key_Return);

        QVERIFY(notes.isEmpty());
        QVERIFY(!form.Cancelled);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(!form.isVisible());
        QVERIFY(!centre.UserInfo.isEmpty());
        QCOMPARE(centre.AccountName(), QStringLiteral("8613900000007"));
        QVERIFY(centre.CurrentUser);
        QSettings ini(iniPath(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("Config/ZoneCode")).toString(), QStringLiteral("86"));
        QCOMPARE(ini.value(QStringLiteral("Config/UserName")).toString(), QStringLiteral("13900000007"));
    }

    void aWrongPasswordKeepsTheDialogOpen()
    {
        ShellFolder folder;
        QVERIFY(folder.addStore(QStringLiteral("Vocamo.mdb")));
        TDataCenter centre(QStringLiteral("Vocamo.mdb"), QString());
        QStringList notes;
        centre.SetNotifier([&notes](const QString &text) { notes << text; });
        TSyncClient client(centre);
        QVERIFY(SignIn(QStringLiteral("8613900000008"), QStringLiteral("123456"))); // registers

        TfrmLogin form;
        form.show();
        form.edtZoneCode->setText(QStringLiteral("86"));
        form.edtUserName->setText(QStringLiteral("13900000008"));
        form.edtPassword->setText(QStringLiteral("654321"));
        form.btnLogin->click();

        QCOMPARE(notes, QStringList{QStringLiteral("用户不存在或密码不对！")});
        QVERIFY(form.Cancelled);
        QVERIFY(form.isVisible());
        QVERIFY(!QFile::exists(iniPath()) || QSettings(iniPath(), QSettings::IniFormat)
                                                     .value(QStringLiteral("Config/UserName"))
                                                     .toString()
                                                     .isEmpty());
    }

    void anInstalledHandlerReplacesTheOwnSignIn()
    {
        ShellFolder folder;
        TfrmLogin form;
        int calls = 0;
        form.LoginHandler = [&calls](TfrmLogin &) { ++calls; };
        form.edtPassword->setText(QStringLiteral("1"));
        form.edtUserName->setText(QStringLiteral("1"));
        form.btnLogin->click();
        QCOMPARE(calls, 1);
        QVERIFY(form.Cancelled);
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
