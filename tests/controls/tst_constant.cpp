#include "controls/Constant.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

// Runs `answer` on the modal window once it is up (the first event-loop turn of exec()).
void whenModalShows(std::function<void(QWidget *)> answer)
{
    QTimer::singleShot(0, [answer = std::move(answer)] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        answer(modal);
    });
}

QString standardText(QDialogButtonBox::StandardButton which)
{
    QDialogButtonBox box(which);
    return box.button(which)->text();
}

} // namespace

class TestConstant : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void showInfoBox()
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttons = 0;
        whenModalShows([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = int(box->buttons().size());
            QVERIFY(box->button(QMessageBox::Ok));
            box->button(QMessageBox::Ok)->click();
        });
        ShowInfo(QStringLiteral("保存成功。"));
        QCOMPARE(title, QStringLiteral("提醒"));
        QCOMPARE(text, QStringLiteral("保存成功。"));
        QCOMPARE(icon, QMessageBox::Information);
        QCOMPARE(buttons, 1);
    }

    void confirmAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("result");
        QTest::newRow("OK") << QStringLiteral("ok") << true;
        QTest::newRow("Cancel") << QStringLiteral("cancel") << false;
        QTest::newRow("Escape") << QStringLiteral("escape") << false;
        QTest::newRow("Enter picks the default, Cancel") << QStringLiteral("enter") << false;
        QTest::newRow("closed") << QStringLiteral("close") << false;
    }
    void confirmAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(bool, result);
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool cancelIsDefault = false;
        whenModalShows([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            title = box->windowTitle();
            icon = box->icon();
            cancelIsDefault = box->button(QMessageBox::Cancel)
                && box->defaultButton() == box->button(QMessageBox::Cancel);
            QVERIFY(box->button(QMessageBox::Ok));
            if (answer == QLatin1String("ok"))
                box->button(QMessageBox::Ok)->click();
            else if (answer == QLatin1String("cancel"))
                box->button(QMessageBox::Cancel)->click();
            else if (answer == QLatin1String("escape"))
                QTest::keyClick(box, Qt::Key_Escape);
            else if (answer == QLatin1String("enter"))
                QTest::keyClick(box, Qt::Key_Return);
            else
                box->close();
        });
        QCOMPARE(Confirm(QStringLiteral("确定要删除吗？")), result);
        QCOMPARE(title, QStringLiteral("提醒"));
        QCOMPARE(icon, QMessageBox::Question);
        QVERIFY(cancelIsDefault);
    }

    void myEditTyping()
    {
        TMyEdit edit;
        QTest::keyClicks(&edit, QStringLiteral("it's \"ok\""));
        QCOMPARE(edit.text(), QStringLiteral("its ok"));
        QCOMPARE(edit.cursorPosition(), 6);
        // A quote typed in the middle leaves text and cursor alone.
        edit.setCursorPosition(2);
        QTest::keyClick(&edit, Qt::Key_Apostrophe);
        QCOMPARE(edit.text(), QStringLiteral("its ok"));
        QCOMPARE(edit.cursorPosition(), 2);
        QTest::keyClick(&edit, Qt::Key_X);
        QCOMPARE(edit.text(), QStringLiteral("itxs ok"));
    }

    void myEditPutInText_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("setText") << QStringLiteral("setText");
        QTest::newRow("insert") << QStringLiteral("insert");
        QTest::newRow("paste") << QStringLiteral("paste");
        QTest::newRow("QLineEdit pointer") << QStringLiteral("base");
    }
    void myEditPutInText()
    {
        QFETCH(QString, how);
        TMyEdit edit;
        edit.setText(QStringLiteral("ab"));
        edit.setCursorPosition(1);
        const QString incoming = QStringLiteral("'x\"y'");
        if (how == QLatin1String("setText")) {
            edit.setText(incoming);
            QCOMPARE(edit.text(), QStringLiteral("xy"));
            return;
        }
        if (how == QLatin1String("base")) {
            QLineEdit *base = &edit;
            base->setText(incoming);
            QCOMPARE(edit.text(), QStringLiteral("xy"));
            return;
        }
        if (how == QLatin1String("insert")) {
            edit.insert(incoming);
        } else {
            QApplication::clipboard()->setText(incoming);
            if (QApplication::clipboard()->text() != incoming)
                QSKIP("no clipboard on this platform");
            edit.paste();
        }
        QCOMPARE(edit.text(), QStringLiteral("axyb"));
        QCOMPARE(edit.cursorPosition(), 3);
    }

    void myEditMaxLengthStillApplies()
    {
        TMyEdit edit;
        edit.setMaxLength(4);
        QTest::keyClicks(&edit, QStringLiteral("a'b\"cdef"));
        QCOMPARE(edit.text(), QStringLiteral("abcd"));
    }

    void inputTextOk()
    {
        QString seenPrompt;
        QString seenTitle;
        QString initialSelection;
        int maxLength = 0;
        QString okText;
        QString cancelText;
        whenModalShows([&](QWidget *modal) {
            auto *dialog = qobject_cast<QDialog *>(modal);
            QVERIFY(dialog);
            seenTitle = dialog->windowTitle();
            auto *label = dialog->findChild<QLabel *>();
            auto *edit = dialog->findChild<TMyEdit *>();
            QVERIFY(label && edit);
            seenPrompt = label->text();
            QVERIFY(label->wordWrap());
            initialSelection = edit->selectedText();
            maxLength = edit->maxLength();
            const auto buttons = dialog->findChildren<QPushButton *>();
            QCOMPARE(buttons.size(), 2);
            for (QPushButton *button : buttons) {
                if (button->isDefault())
                    okText = button->text();
                else
                    cancelText = button->text();
            }
            // Layout: prompt above the edit, buttons below it, all inside the client area.
            QVERIFY(label->geometry().bottom() < edit->geometry().top());
            for (QPushButton *button : buttons) {
                QVERIFY(edit->geometry().bottom() + 15 < button->geometry().top() + 1);
                QVERIFY(dialog->rect().contains(button->geometry()));
                QCOMPARE(dialog->height(), button->geometry().bottom() + 1 + 13);
            }
            QVERIFY(dialog->rect().contains(edit->geometry()));
            edit->setFocus();
            QTest::keyClicks(edit, QStringLiteral("new 'name'"));
            QTest::keyClick(edit, Qt::Key_Return); // Enter presses the default OK
        });
        QString text = QStringLiteral("old");
        QVERIFY(InputText(QStringLiteral("重命名"), QStringLiteral("请输入新的名称："), text, 20));
        QCOMPARE(seenTitle, QStringLiteral("重命名"));
        QCOMPARE(seenPrompt, QStringLiteral("请输入新的名称："));
        QCOMPARE(initialSelection, QStringLiteral("old"));
        QCOMPARE(maxLength, 20);
        QCOMPARE(okText, standardText(QDialogButtonBox::Ok));
        QCOMPARE(cancelText, standardText(QDialogButtonBox::Cancel));
        QCOMPARE(text, QStringLiteral("new name"));
    }

    void inputTextCancel_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("Escape") << true;
    }
    void inputTextCancel()
    {
        QFETCH(bool, escape);
        whenModalShows([&](QWidget *modal) {
            auto *edit = modal->findChild<TMyEdit *>();
            QVERIFY(edit);
            QTest::keyClicks(edit, QStringLiteral("changed"));
            if (escape) {
                QTest::keyClick(edit, Qt::Key_Escape);
                return;
            }
            for (QPushButton *button : modal->findChildren<QPushButton *>()) {
                if (!button->isDefault())
                    button->click();
            }
        });
        QString text = QStringLiteral("keep");
        QVERIFY(!InputText(QStringLiteral("标题"), QStringLiteral("提示"), text, 10));
        QCOMPARE(text, QStringLiteral("keep"));
    }
};

QTEST_MAIN(TestConstant)
#include "tst_constant.moc"
