#include "dialogs/LocatePagefrm.h"

#include "controls/UpdownEdit.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolButton>
#include <QtTest>

#include <memory>

class TestLocatePage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_dialog = std::make_unique<TfrmLocatePage>(); }
    void cleanup() { m_dialog.reset(); }

    void design();
    void callerRange_data();
    void callerRange();
    void typedPage_data();
    void typedPage();
    void arrowsStopAtRange();
    void enterConfirms();
    void escapeCancels();

private:
    TUpdownEdit *field() const
    {
        return m_dialog->findChild<TUpdownEdit *>(QStringLiteral("udPageIndex"));
    }
    void openDialog();

    std::unique_ptr<TfrmLocatePage> m_dialog;
};

void TestLocatePage::openDialog()
{
    m_dialog->open();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    QTRY_VERIFY(field()->Edit()->hasFocus());
}

void TestLocatePage::design()
{
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("定位"));
    QCOMPARE(m_dialog->size(), QSize(251, 132));
    QCOMPARE(m_dialog->font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(m_dialog->font().pixelSize(), 11);
    auto *label = m_dialog->findChild<QLabel *>(QStringLiteral("Label30"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("单元号："));
    QVERIFY(field());
    QVERIFY(qobject_cast<QGroupBox *>(field()->parentWidget()));
    QCOMPARE(field()->Text(), QStringLiteral("1"));
    QCOMPARE(field()->Min(), 1);
    QCOMPARE(field()->Max(), 100);
    QCOMPARE(field()->Position(), 1);
    QCOMPARE(field()->Increment(), 1);

    const QList<std::pair<QString, QString>> buttons{{QStringLiteral("btnSave"), QStringLiteral("确定")},
                                                     {QStringLiteral("btnCancel"), QStringLiteral("取消")}};
    for (const auto &[name, caption] : buttons) {
        auto *button = m_dialog->findChild<QPushButton *>(name);
        QVERIFY(button);
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->font().pixelSize(), 15);
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    }
    QVERIFY(m_dialog->btnSave->isDefault());
}

void TestLocatePage::callerRange_data()
{
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("expected");
    QTest::newRow("inside") << 12 << 5 << 5;
    QTest::newRow("last page") << 12 << 12 << 12;
    QTest::newRow("beyond the last") << 12 << 40 << 12;
    QTest::newRow("one page") << 1 << 1 << 1;
    QTest::newRow("more than the design maximum") << 250 << 180 << 180;
}

void TestLocatePage::callerRange()
{
    QFETCH(int, pageCount);
    QFETCH(int, position);
    QFETCH(int, expected);
    m_dialog->SetRange(1, pageCount, position);
    QCOMPARE(field()->Max(), pageCount);
    QCOMPARE(m_dialog->PageNumber(), expected);
    QCOMPARE(field()->Text(), QString::number(expected));
}

void TestLocatePage::typedPage_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("page");
    QTest::newRow("inside") << QStringLiteral("7") << QStringLiteral("7") << 7;
    QTest::newRow("above the last page") << QStringLiteral("99") << QStringLiteral("12") << 12;
    // Below the first page the text is left for the learner to finish; the page read
    // back stays the last valid one.
    QTest::newRow("zero") << QStringLiteral("0") << QStringLiteral("0") << 3;
    QTest::newRow("letters are refused") << QStringLiteral("a5") << QStringLiteral("5") << 5;
}

void TestLocatePage::typedPage()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, page);
    m_dialog->SetRange(1, 12, 3);
    openDialog();
    QLineEdit *edit = field()->Edit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(m_dialog->PageNumber(), page);
    QVERIFY(m_dialog->PageNumber() >= 1 && m_dialog->PageNumber() <= 12);
}

void TestLocatePage::arrowsStopAtRange()
{
    m_dialog->SetRange(1, 3, 2);
    openDialog();
    QToolButton *up = field()->UpDown()->UpButton();
    QToolButton *down = field()->UpDown()->DownButton();
    for (int i = 0; i < 4; ++i)
        QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(m_dialog->PageNumber(), 3);
    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(m_dialog->PageNumber(), 1);
    QCOMPARE(field()->Text(), QStringLiteral("1"));
}

void TestLocatePage::enterConfirms()
{
    m_dialog->SetRange(1, 20, 1);
    openDialog();
    QLineEdit *edit = field()->Edit();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("14"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->PageNumber(), 14);
}

void TestLocatePage::escapeCancels()
{
    openDialog();
    QTest::keyClick(field()->Edit(), Qt::Key_Escape);
    QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
    QVERIFY(!m_dialog->isVisible());
}

QTEST_MAIN(TestLocatePage)
#include "tst_locatepage.moc"
