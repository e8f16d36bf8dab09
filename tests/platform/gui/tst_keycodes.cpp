#include "platform/gui/KeyCodes.h"

#include <QKeyEvent>
#include <QTest>

using namespace vocamo;

class TestKeyCodes : public QObject
{
    Q_OBJECT

private slots:
    void virtualKey_data();
    void virtualKey();
    void command_data();
    void command();
};

void TestKeyCodes::virtualKey_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("expected");

    const int none = Qt::NoModifier;
    const int keypad = Qt::KeypadModifier;
    const int shift = Qt::ShiftModifier;
    QTest::newRow("A") << int(Qt::Key_A) << none << 65;
    QTest::newRow("Z") << int(Qt::Key_Z) << none << 90;
    QTest::newRow("shift W") << int(Qt::Key_W) << shift << 87;
    QTest::newRow("0") << int(Qt::Key_0) << none << 48;
    QTest::newRow("9") << int(Qt::Key_9) << none << 57;
    QTest::newRow("keypad 0") << int(Qt::Key_0) << keypad << 96;
    QTest::newRow("keypad 5") << int(Qt::Key_5) << keypad << 101;
    QTest::newRow("keypad 9") << int(Qt::Key_9) << keypad << 105;
    QTest::newRow("keypad *") << int(Qt::Key_Asterisk) << keypad << 106;
    QTest::newRow("keypad +") << int(Qt::Key_Plus) << keypad << 107;
    QTest::newRow("keypad -") << int(Qt::Key_Minus) << keypad << 109;
    QTest::newRow("keypad .") << int(Qt::Key_Period) << keypad << 110;
    QTest::newRow("keypad /") << int(Qt::Key_Slash) << keypad << 111;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << keypad << 13;
    QTest::newRow("keypad Home (num lock off)") << int(Qt::Key_Home) << keypad << 36;
    QTest::newRow("Return") << int(Qt::Key_Return) << none << 13;
    QTest::newRow("F1") << int(Qt::Key_F1) << none << 112;
    QTest::newRow("F5") << int(Qt::Key_F5) << none << 116;
    QTest::newRow("F12") << int(Qt::Key_F12) << none << 123;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << none << 27;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << 8;
    QTest::newRow("Space") << int(Qt::Key_Space) << none << 32;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << none << 9;
    QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << shift << 9;
    QTest::newRow("Left") << int(Qt::Key_Left) << none << 37;
    QTest::newRow("Up") << int(Qt::Key_Up) << none << 38;
    QTest::newRow("Right") << int(Qt::Key_Right) << none << 39;
    QTest::newRow("Down") << int(Qt::Key_Down) << none << 40;
    QTest::newRow("Home") << int(Qt::Key_Home) << none << 36;
    QTest::newRow("End") << int(Qt::Key_End) << none << 35;
    QTest::newRow("Page Up") << int(Qt::Key_PageUp) << none << 33;
    QTest::newRow("Page Down") << int(Qt::Key_PageDown) << none << 34;
    QTest::newRow("Insert") << int(Qt::Key_Insert) << none << 45;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << none << 46;
    QTest::newRow(";") << int(Qt::Key_Semicolon) << none << 186;
    QTest::newRow(": (shifted ;)") << int(Qt::Key_Colon) << shift << 186;
    QTest::newRow("=") << int(Qt::Key_Equal) << none << 187;
    QTest::newRow("+ (shifted =)") << int(Qt::Key_Plus) << shift << 187;
    QTest::newRow(",") << int(Qt::Key_Comma) << none << 188;
    QTest::newRow("<") << int(Qt::Key_Less) << shift << 188;
    QTest::newRow("-") << int(Qt::Key_Minus) << none << 189;
    QTest::newRow("_") << int(Qt::Key_Underscore) << shift << 189;
    QTest::newRow(".") << int(Qt::Key_Period) << none << 190;
    QTest::newRow(">") << int(Qt::Key_Greater) << shift << 190;
    QTest::newRow("/") << int(Qt::Key_Slash) << none << 191;
    QTest::newRow("?") << int(Qt::Key_Question) << shift << 191;
    QTest::newRow("`") << int(Qt::Key_QuoteLeft) << none << 192;
    QTest::newRow("~") << int(Qt::Key_AsciiTilde) << shift << 192;
    QTest::newRow("[") << int(Qt::Key_BracketLeft) << none << 219;
    QTest::newRow("{") << int(Qt::Key_BraceLeft) << shift << 219;
    QTest::newRow("backslash") << int(Qt::Key_Backslash) << none << 220;
    QTest::newRow("|") << int(Qt::Key_Bar) << shift << 220;
    QTest::newRow("]") << int(Qt::Key_BracketRight) << none << 221;
    QTest::newRow("}") << int(Qt::Key_BraceRight) << shift << 221;
    QTest::newRow("'") << int(Qt::Key_Apostrophe) << none << 222;
    QTest::newRow("\"") << int(Qt::Key_QuoteDbl) << shift << 222;
    QTest::newRow("! (shifted 1)") << int(Qt::Key_Exclam) << shift << 49;
    QTest::newRow("@ (shifted 2)") << int(Qt::Key_At) << shift << 50;
    QTest::newRow("* (shifted 8)") << int(Qt::Key_Asterisk) << shift << 56;
    QTest::newRow(") (shifted 0)") << int(Qt::Key_ParenRight) << shift << 48;
    QTest::newRow("unmapped: Ctrl key") << int(Qt::Key_Control) << int(Qt::ControlModifier) << 0;
    QTest::newRow("unmapped: letter outside A-Z") << int(Qt::Key_Adiaeresis) << none << 0;
    QTest::newRow("unmapped: media key") << int(Qt::Key_VolumeUp) << none << 0;
}

void TestKeyCodes::virtualKey()
{
    QFETCH(int, qtKey);
    QFETCH(int, modifiers);
    QFETCH(int, expected);
    const QKeyEvent event(QEvent::KeyPress, qtKey, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(VirtualKeyFromEvent(&event), expected);
}

void TestKeyCodes::command_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("flags");

    QTest::newRow("Home") << int(Qt::Key_Home) << int(Qt::NoModifier) << 10036 << 0;
    QTest::newRow("A") << int(Qt::Key_A) << int(Qt::NoModifier) << 10065 << 0;
    QTest::newRow("Ctrl+A") << int(Qt::Key_A) << int(Qt::ControlModifier) << 10065 << 4;
    QTest::newRow("Ctrl+Shift+A") << int(Qt::Key_A) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                  << 10065 << 4;
    QTest::newRow("Shift+A") << int(Qt::Key_A) << int(Qt::ShiftModifier) << 10065 << 0;
    QTest::newRow("Alt+A") << int(Qt::Key_A) << int(Qt::AltModifier) << 10065 << 0;
    QTest::newRow("F1") << int(Qt::Key_F1) << int(Qt::NoModifier) << 10112 << 0;
    QTest::newRow(";") << int(Qt::Key_Semicolon) << int(Qt::NoModifier) << 10186 << 0;
    QTest::newRow("Ctrl+keypad 1") << int(Qt::Key_1)
                                   << int(Qt::ControlModifier | Qt::KeypadModifier) << 10097 << 4;
    QTest::newRow("Ctrl+`") << int(Qt::Key_QuoteLeft) << int(Qt::ControlModifier) << 10192 << 4;
    QTest::newRow("unmapped") << int(Qt::Key_VolumeUp) << int(Qt::NoModifier) << 0 << 0;
}

void TestKeyCodes::command()
{
    QFETCH(int, qtKey);
    QFETCH(int, modifiers);
    QFETCH(int, command);
    QFETCH(int, flags);
    const QKeyEvent event(QEvent::KeyPress, qtKey, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(CommandFromKey(&event), command);
    QCOMPARE(int(CommandFlagsFromKey(&event)), flags);
}

QTEST_MAIN(TestKeyCodes)
#include "tst_keycodes.moc"
