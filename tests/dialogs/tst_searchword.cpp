#include "dialogs/SearchWordfrm.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

class TestSearchWord : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup() { m_dialog.reset(); }

    void design();
    void okFollowsQuery_data();
    void okFollowsQuery();
    void queryIsLimited();
    void showEmptiesQuery();
    void arrowsMoveDialog();
    void otherKeysStayInField();
    void enterConfirmsQuery();
    void enterWithBadQueryDoesNothing();
    void escapeCancels();

private:
    QLineEdit *query() const
    {
        return m_dialog->findChild<QLineEdit *>(QStringLiteral("txtSearchWord"));
    }
    QPushButton *ok() const { return m_dialog->findChild<QPushButton *>(QStringLiteral("btnSave")); }
    void openDialog();

    std::unique_ptr<TfrmSearchWord> m_dialog;
};

void TestSearchWord::init()
{
    m_dialog = std::make_unique<TfrmSearchWord>();
}

void TestSearchWord::openDialog()
{
    m_dialog->open();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    QTRY_VERIFY(query()->hasFocus());
}

void TestSearchWord::design()
{
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("查找单词"));
    QCOMPARE(m_dialog->size(), QSize(428, 142));
    QCOMPARE(m_dialog->font().pixelSize(), 15);
    auto *label = m_dialog->findChild<QLabel *>(QStringLiteral("Label30"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("  查找的内容："));
    auto *hint = m_dialog->findChild<QLabel *>(QStringLiteral("Label1"));
    QVERIFY(hint);
    QCOMPARE(hint->text(), QStringLiteral("用上下方向键调整位置"));
    QCOMPARE(hint->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));
    QVERIFY(query());
    QCOMPARE(query()->maxLength(), 120);
    QCOMPARE(query()->palette().color(QPalette::Base), QColor(0xD3, 0xB6, 0x81));
    QCOMPARE(query()->palette().color(QPalette::Text), QColor(Qt::black));
    // The field and the hint sit inside the group box.
    QVERIFY(qobject_cast<QGroupBox *>(query()->parentWidget()));
    QCOMPARE(hint->parentWidget(), query()->parentWidget());

    QVERIFY(ok());
    QCOMPARE(ok()->text(), QStringLiteral("确定"));
    QVERIFY(ok()->isDefault());
    QCOMPARE(ok()->focusPolicy(), Qt::NoFocus);
    auto *cancel = m_dialog->findChild<QPushButton *>(QStringLiteral("btnCancel"));
    QVERIFY(cancel);
    QCOMPARE(cancel->text(), QStringLiteral("取消"));
    QCOMPARE(cancel->focusPolicy(), Qt::NoFocus);
}

void TestSearchWord::okFollowsQuery_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blanks") << QStringLiteral("   ") << false;
    QTest::newRow("only signs") << QStringLiteral("#|&()") << false;
    QTest::newRow("signs and blanks") << QStringLiteral(" ( # ) & ") << false;
    QTest::newRow("apostrophe") << QStringLiteral("don't") << false;
    QTest::newRow("lone apostrophe") << QStringLiteral("'") << false;
    QTest::newRow("plain word") << QStringLiteral("apple") << true;
    QTest::newRow("word in signs") << QStringLiteral("(apple|pear)") << true;
    QTest::newRow("wildcard") << QStringLiteral("app*") << true;
    QTest::newRow("padded word") << QStringLiteral("  go  ") << true;
    QTest::newRow("chinese") << QStringLiteral("苹果") << true;
}

void TestSearchWord::okFollowsQuery()
{
    QFETCH(QString, typed);
    QFETCH(bool, enabled);
    openDialog();
    // Start from a usable query so every row changes the button's state or keeps it on.
    QTest::keyClicks(query(), QStringLiteral("x"));
    QVERIFY(ok()->isEnabled());
    query()->clear();
    // Typed as the input method would commit it: one insertion at the caret.
    query()->insert(typed);
    QCOMPARE(query()->text(), typed);
    QCOMPARE(ok()->isEnabled(), enabled);
}

void TestSearchWord::queryIsLimited()
{
    openDialog();
    QTest::keyClicks(query(), QString(130, QLatin1Char('a')));
    QCOMPARE(query()->text().size(), 120);
}

void TestSearchWord::showEmptiesQuery()
{
    query()->setText(QStringLiteral("apple"));
    QVERIFY(ok()->isEnabled());
    openDialog();
    QVERIFY(query()->text().isEmpty());
    QVERIFY(!ok()->isEnabled());
}

void TestSearchWord::arrowsMoveDialog()
{
    openDialog();
    const QRect screen = m_dialog->screen()->geometry();
    m_dialog->move(screen.left() + 150, screen.top() + 200);
    const int left = m_dialog->frameGeometry().left();

    QTest::keyClick(query(), Qt::Key_Up);
    QCOMPARE(m_dialog->frameGeometry().top(), screen.top() + 20);
    QCOMPARE(m_dialog->frameGeometry().left(), left);

    QTest::keyClick(query(), Qt::Key_Down);
    QCOMPARE(m_dialog->frameGeometry().top(),
             screen.top() + screen.height() - m_dialog->frameGeometry().height() - 20);
    QCOMPARE(m_dialog->frameGeometry().left(), left);
}

void TestSearchWord::otherKeysStayInField()
{
    openDialog();
    const QPoint position = m_dialog->pos();
    QTest::keyClicks(query(), QStringLiteral("ab"));
    QTest::keyClick(query(), Qt::Key_Left);
    QTest::keyClick(query(), Qt::Key_X);
    QCOMPARE(query()->text(), QStringLiteral("axb"));
    QCOMPARE(m_dialog->pos(), position);
}

void TestSearchWord::enterConfirmsQuery()
{
    openDialog();
    QSignalSpy accepted(m_dialog.get(), &QDialog::accepted);
    QTest::keyClicks(query(), QStringLiteral(" apple "));
    QTest::keyClick(query(), Qt::Key_Return);
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_dialog->Query(), QStringLiteral(" apple "));
}

void TestSearchWord::enterWithBadQueryDoesNothing()
{
    openDialog();
    QTest::keyClicks(query(), QStringLiteral("it's"));
    QTest::keyClick(query(), Qt::Key_Return);
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
}

void TestSearchWord::escapeCancels()
{
    openDialog();
    QSignalSpy rejected(m_dialog.get(), &QDialog::rejected);
    QTest::keyClicks(query(), QStringLiteral("apple"));
    QTest::keyClick(query(), Qt::Key_Escape);
    QCOMPARE(rejected.count(), 1);
    QVERIFY(!m_dialog->isVisible());
}

QTEST_MAIN(TestSearchWord)
#include "tst_searchword.moc"
