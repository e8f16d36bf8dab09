#include "dialogs/Recordfrm.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

class TestRecord : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_dialog = std::make_unique<TfrmRecord>(); }
    void cleanup() { m_dialog.reset(); }

    void design();
    void titleIsLimited();
    void descriptionIsLimited();
    void insertionOverLimitKeepsTheRest();
    void pasteOverLimitIsCut();
    void tabMovesFromTitleToText();
    void enterInTextStartsALine();
    void enterInTitleConfirms();
    void escapeCancels();

private:
    void openDialog();

    std::unique_ptr<TfrmRecord> m_dialog;
};

void TestRecord::openDialog()
{
    m_dialog->open();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    QTRY_VERIFY(m_dialog->edtTitle->hasFocus());
}

void TestRecord::design()
{
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("输入背记内容"));
    QCOMPARE(m_dialog->size(), QSize(801, 480));
    QCOMPARE(m_dialog->font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(m_dialog->font().pixelSize(), 15);
    QCOMPARE(m_dialog->findChild<QLabel *>(QStringLiteral("lbl1"))->text(), QStringLiteral("标题："));
    QCOMPARE(m_dialog->findChild<QLabel *>(QStringLiteral("lbl2"))->text(), QStringLiteral("内容："));
    auto *title = m_dialog->findChild<QLineEdit *>(QStringLiteral("edtTitle"));
    QVERIFY(title);
    QCOMPARE(title->width(), 681);
    QCOMPARE(title->maxLength(), 120);
    auto *desc = m_dialog->findChild<QPlainTextEdit *>(QStringLiteral("mmoDesc"));
    QVERIFY(desc);
    QCOMPARE(desc->size(), QSize(681, 337));
    auto *ok = m_dialog->findChild<QPushButton *>(QStringLiteral("btn1"));
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("确定"));
    QVERIFY(ok->isDefault());
    auto *cancel = m_dialog->findChild<QPushButton *>(QStringLiteral("btn2"));
    QVERIFY(cancel);
    QCOMPARE(cancel->text(), QStringLiteral("取消"));
    // Everything fits into the client area.
    for (QWidget *child : m_dialog->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        QVERIFY2(m_dialog->rect().contains(child->geometry()), qPrintable(child->objectName()));
}

void TestRecord::titleIsLimited()
{
    openDialog();
    QTest::keyClicks(m_dialog->edtTitle, QString(125, QLatin1Char('t')));
    QCOMPARE(m_dialog->Title().size(), 120);
}

void TestRecord::descriptionIsLimited()
{
    openDialog();
    m_dialog->mmoDesc->setFocus();
    QTest::keyClicks(m_dialog->mmoDesc, QString(505, QLatin1Char('d')));
    QCOMPARE(m_dialog->Description(), QString(500, QLatin1Char('d')));
    QCOMPARE(m_dialog->mmoDesc->textCursor().position(), 500);
}

void TestRecord::insertionOverLimitKeepsTheRest()
{
    const QString head(200, QLatin1Char('a'));
    const QString tail(295, QLatin1Char('z'));
    m_dialog->mmoDesc->setPlainText(head + tail);
    QTextCursor cursor = m_dialog->mmoDesc->textCursor();
    cursor.setPosition(200);
    m_dialog->mmoDesc->setTextCursor(cursor);
    m_dialog->mmoDesc->insertPlainText(QStringLiteral("0123456789"));
    QCOMPARE(m_dialog->Description(), head + QStringLiteral("01234") + tail);
    QCOMPARE(m_dialog->mmoDesc->textCursor().position(), 205);
}

void TestRecord::pasteOverLimitIsCut()
{
    openDialog();
    m_dialog->mmoDesc->setFocus();
    QApplication::clipboard()->setText(QString(520, QChar(0x8bb0)));
    m_dialog->mmoDesc->paste();
    QCOMPARE(m_dialog->Description(), QString(500, QChar(0x8bb0)));

    // Text put in by the program obeys the same limit.
    m_dialog->mmoDesc->setPlainText(QString(600, QLatin1Char('x')));
    QCOMPARE(m_dialog->Description().size(), 500);
}

void TestRecord::tabMovesFromTitleToText()
{
    openDialog();
    QTest::keyClick(m_dialog->edtTitle, Qt::Key_Tab);
    QVERIFY(m_dialog->mmoDesc->hasFocus());
    QTest::keyClick(m_dialog->mmoDesc, Qt::Key_Tab);
    QVERIFY(!m_dialog->mmoDesc->hasFocus());
    QVERIFY(m_dialog->Description().isEmpty());
}

void TestRecord::enterInTextStartsALine()
{
    openDialog();
    m_dialog->mmoDesc->setFocus();
    QTest::keyClicks(m_dialog->mmoDesc, QStringLiteral("one"));
    QTest::keyClick(m_dialog->mmoDesc, Qt::Key_Return);
    QTest::keyClicks(m_dialog->mmoDesc, QStringLiteral("two"));
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_dialog->Description(), QStringLiteral("one\ntwo"));
}

void TestRecord::enterInTitleConfirms()
{
    openDialog();
    QSignalSpy accepted(m_dialog.get(), &QDialog::accepted);
    QTest::keyClicks(m_dialog->edtTitle, QStringLiteral("Unit 3"));
    QTest::keyClick(m_dialog->edtTitle, Qt::Key_Return);
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(m_dialog->Title(), QStringLiteral("Unit 3"));
}

void TestRecord::escapeCancels()
{
    openDialog();
    QSignalSpy rejected(m_dialog.get(), &QDialog::rejected);
    QTest::keyClick(m_dialog->edtTitle, Qt::Key_Escape);
    QCOMPARE(rejected.count(), 1);
    QVERIFY(!m_dialog->isVisible());
}

QTEST_MAIN(TestRecord)
#include "tst_record.moc"
