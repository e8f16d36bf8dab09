#include "controls/ChangeExplain.h"
#include "controls/RichEdits.h"
#include "controls/UpdownEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QToolButton>
#include <QtTest>

#include <memory>

class TestUpdownEdit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup() { m_window.reset(); }

    void keyPasses_data();
    void keyPasses();
    void integerOf_data();
    void integerOf();

    void creation();
    void resizeLaysOutBoth();
    void tagReachesInnerControls();
    void typing_data();
    void typing();
    void typingAboveMaxClampsAndMovesCaret();
    void typingBelowMinKeepsText();
    void pasteIsDropped();
    void pageKeysStepByTen_data();
    void pageKeysStepByTen();
    void upDownClick();
    void setPosition_data();
    void setPosition();
    void keyUpSignal();

    void changeExplainFrame();
    void changeExplainEditEnablesSave();

private:
    TUpdownEdit *edit() const { return m_edit; }
    QLineEdit *inner() const { return m_window->findChild<QLineEdit *>(QStringLiteral("Edit")); }

    std::unique_ptr<QWidget> m_window;
    TUpdownEdit *m_edit = nullptr;
};

void TestUpdownEdit::init()
{
    m_window = std::make_unique<QWidget>();
    m_edit = new TUpdownEdit(m_window.get());
    m_edit->SetMin(0);
    m_edit->SetMax(100);
    m_edit->SetPosition(0);
}

void TestUpdownEdit::keyPasses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("passes");

    QTest::newRow("digit into empty") << "" << "5" << true;
    QTest::newRow("digit after digits") << "12" << "3" << true;
    QTest::newRow("zero after zero") << "0" << "0" << true;
    QTest::newRow("digit after minus") << "-" << "7" << true;
    QTest::newRow("minus into empty") << "" << "-" << true;
    QTest::newRow("minus after digit") << "1" << "-" << false;
    QTest::newRow("second minus") << "-" << "-" << false;
    QTest::newRow("backspace") << "12" << "\b" << true;
    QTest::newRow("backspace on empty") << "" << "\b" << true;
    QTest::newRow("letter") << "1" << "a" << false;
    QTest::newRow("plus") << "" << "+" << false;
    QTest::newRow("blank") << "1" << " " << false;
    QTest::newRow("point") << "1" << "." << false;
    QTest::newRow("full-width digit") << "1" << QStringLiteral("１") << false;
    QTest::newRow("overflow") << "999999999" << "9" << false;
}

void TestUpdownEdit::keyPasses()
{
    QFETCH(QString, text);
    QFETCH(QString, typed);
    QFETCH(bool, passes);
    QCOMPARE(TUpdownEdit::KeyPasses(text, typed.front()), passes);
}

void TestUpdownEdit::integerOf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("ok");

    QTest::newRow("plain") << "42" << 42 << true;
    QTest::newRow("negative") << "-42" << -42 << true;
    QTest::newRow("leading zeros") << "007" << 7 << true;
    QTest::newRow("empty") << "" << 0 << false;
    QTest::newRow("minus") << "-" << 0 << false;
    QTest::newRow("trailing minus") << "5-" << 0 << false;
    QTest::newRow("letters") << "1a" << 0 << false;
    QTest::newRow("int max") << "2147483647" << 2147483647 << true;
    QTest::newRow("int min") << "-2147483648" << int(-2147483648LL) << true;
    QTest::newRow("too big") << "2147483648" << 0 << false;
    QTest::newRow("huge") << "99999999999999999999999" << 0 << false;
}

void TestUpdownEdit::integerOf()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(bool, ok);
    bool valid = !ok;
    QCOMPARE(TUpdownEdit::IntegerOf(text, &valid), value);
    QCOMPARE(valid, ok);
}

void TestUpdownEdit::creation()
{
    TUpdownEdit fresh;
    QCOMPARE(fresh.height(), 25);
    QCOMPARE(fresh.width(), TUpdownEdit::kEditWidth + TUpdownEdit::kUpDownWidth);
    QLineEdit *line = fresh.findChild<QLineEdit *>(QStringLiteral("Edit"));
    auto *arrows = fresh.findChild<TUpDown *>(QStringLiteral("UpDown"));
    QVERIFY(line);
    QVERIFY(arrows);
    QCOMPARE(line->maxLength(), 6);
    QCOMPARE(line->geometry(), QRect(0, 0, TUpdownEdit::kEditWidth, 25));
    QCOMPARE(arrows->geometry(), QRect(TUpdownEdit::kEditWidth, 0, TUpdownEdit::kUpDownWidth, 25));
    QCOMPARE(fresh.Text(), QStringLiteral("0"));
}

void TestUpdownEdit::resizeLaysOutBoth()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    edit()->resize(80, 30);
    QCOMPARE(inner()->geometry(), QRect(0, 0, 80 - TUpdownEdit::kUpDownWidth, 30));
    QCOMPARE(edit()->UpDown()->geometry(),
             QRect(80 - TUpdownEdit::kUpDownWidth, 0, TUpdownEdit::kUpDownWidth, 30));
}

void TestUpdownEdit::tagReachesInnerControls()
{
    edit()->SetTag(7);
    QCOMPARE(edit()->Tag(), 7);
    QCOMPARE(inner()->property("Tag").toInt(), 7);
    QCOMPARE(edit()->UpDown()->property("Tag").toInt(), 7);
}

void TestUpdownEdit::typing_data()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");

    QTest::newRow("digits") << 0 << "42" << "42" << 42;
    QTest::newRow("letters dropped") << 0 << "a4b2c" << "42" << 42;
    QTest::newRow("minus into empty") << -100 << "-" << "-" << 0;
    QTest::newRow("negative number") << -100 << "-12" << "-12" << -12;
    QTest::newRow("minus after digit refused") << -100 << "5-" << "5" << 5;
    QTest::newRow("minus into empty, range 0-100") << 0 << "-" << "-" << 0;
    QTest::newRow("at most six characters") << -1000000 << "-1234567" << "-12345" << -12345;
}

void TestUpdownEdit::typing()
{
    QFETCH(int, min);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, position);
    edit()->SetMin(min);
    inner()->clear();
    QTest::keyClicks(inner(), keys);
    QCOMPARE(edit()->Text(), text);
    QCOMPARE(edit()->Position(), position);
}

void TestUpdownEdit::typingAboveMaxClampsAndMovesCaret()
{
    inner()->clear();
    QTest::keyClicks(inner(), QStringLiteral("150"));
    QCOMPARE(edit()->Text(), QStringLiteral("100"));
    QCOMPARE(edit()->Position(), 100);
    QCOMPARE(inner()->cursorPosition(), 3);
}

void TestUpdownEdit::typingBelowMinKeepsText()
{
    edit()->SetMin(10);
    edit()->SetPosition(50);
    inner()->clear();
    QTest::keyClicks(inner(), QStringLiteral("5"));
    // 5 may be the start of 55: the text stays, the position does not follow it.
    QCOMPARE(edit()->Text(), QStringLiteral("5"));
    QCOMPARE(edit()->Position(), 50);
    QTest::keyClicks(inner(), QStringLiteral("5"));
    QCOMPARE(edit()->Position(), 55);
}

void TestUpdownEdit::pasteIsDropped()
{
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    inner()->setText(QStringLiteral("12"));
    QTest::keyClick(inner(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit()->Text(), QStringLiteral("12"));
    QApplication::clipboard()->clear();
}

void TestUpdownEdit::pageKeysStepByTen_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("position");

    QTest::newRow("up") << 50 << int(Qt::Key_PageUp) << 60;
    QTest::newRow("down") << 50 << int(Qt::Key_PageDown) << 40;
    QTest::newRow("up clamps") << 95 << int(Qt::Key_PageUp) << 100;
    QTest::newRow("down clamps") << 5 << int(Qt::Key_PageDown) << 0;
}

void TestUpdownEdit::pageKeysStepByTen()
{
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, position);
    edit()->SetPosition(start);
    QTest::keyClick(inner(), Qt::Key(key));
    QCOMPARE(edit()->Position(), position);
    QCOMPARE(edit()->Text(), QString::number(position));
}

void TestUpdownEdit::upDownClick()
{
    edit()->SetIncrement(5);
    edit()->SetPosition(97);
    QSignalSpy clicks(edit(), &TUpdownEdit::OnUpDownClick);
    auto *down = edit()->UpDown()->findChild<QToolButton *>(QStringLiteral("btnDown"));
    auto *up = edit()->UpDown()->findChild<QToolButton *>(QStringLiteral("btnUp"));
    QVERIFY(up && down);

    down->click();
    QCOMPARE(edit()->Position(), 92);
    QCOMPARE(edit()->Text(), QStringLiteral("92"));
    up->click();
    up->click();
    QCOMPARE(edit()->Position(), 100);
    QCOMPARE(edit()->Text(), QStringLiteral("100"));
    QCOMPARE(clicks.size(), 3);
    QCOMPARE(clicks[0][0].value<TUpdownEdit *>(), edit());
}

void TestUpdownEdit::setPosition_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("in range") << "" << 42 << "42";
    QTest::newRow("zero over minus") << "-" << 0 << "0";
    QTest::newRow("zero over empty") << "" << 0 << "0";
    QTest::newRow("above max") << "5" << 1000 << "100";
    QTest::newRow("below min") << "5" << -3 << "0";
    QTest::newRow("no thousands separator") << "" << 100 << "100";
}

void TestUpdownEdit::setPosition()
{
    QFETCH(QString, before);
    QFETCH(int, value);
    QFETCH(QString, text);
    inner()->setText(before);
    edit()->SetPosition(value);
    QCOMPARE(edit()->Text(), text);
    QCOMPARE(edit()->Position(), text.toInt());
}

void TestUpdownEdit::keyUpSignal()
{
    QSignalSpy keyUps(edit(), &TUpdownEdit::OnKeyUp);
    QTest::keyClick(inner(), Qt::Key_7, Qt::ShiftModifier);
    QCOMPARE(keyUps.size(), 2); // 7, then Shift
    QCOMPARE(keyUps[0][0].toInt(), int('7'));
    QCOMPARE(keyUps[0][1].value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::ShiftModifier));
}

void TestUpdownEdit::changeExplainFrame()
{
    TfrmChangeExplain frame;
    frame.resize(400, 300);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));

    auto *panel = frame.findChild<QWidget *>(QStringLiteral("Panel1"));
    auto *save = frame.findChild<QToolButton *>(QStringLiteral("btnSave"));
    auto *editor = frame.findChild<TRelativeRichEdit *>(QStringLiteral("Editor"));
    QVERIFY(panel && save && editor);
    QCOMPARE(frame.font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(frame.font().pixelSize(), 15);
    QCOMPARE(panel->geometry(), QRect(0, 0, 400, 25));
    QCOMPARE(save->text(), QStringLiteral("保存"));
    QCOMPARE(save->size(), QSize(65, 23));
    QVERIFY(save->autoRaise());
    QCOMPARE(editor->geometry(), QRect(0, 25, 400, 275));
}

void TestUpdownEdit::changeExplainEditEnablesSave()
{
    TfrmChangeExplain frame;
    auto *save = frame.findChild<QToolButton *>(QStringLiteral("btnSave"));
    auto *editor = frame.findChild<TRelativeRichEdit *>(QStringLiteral("Editor"));
    save->setEnabled(false);
    QTest::keyClicks(editor, QStringLiteral("x"));
    QVERIFY(save->isEnabled());
    QCOMPARE(editor->toPlainText(), QStringLiteral("x"));
}

QTEST_MAIN(TestUpdownEdit)
#include "tst_updownedit.moc"
