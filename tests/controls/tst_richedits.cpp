#include "controls/RichEdits.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <functional>
#include <memory>

Q_DECLARE_METATYPE(KeyRoute::Kind)
Q_DECLARE_METATYPE(KeyRoute::Target)

namespace {

using Kind = KeyRoute::Kind;
using Target = KeyRoute::Target;

// A window that records the keys delivered to it.
class KeyRecorder : public QWidget
{
public:
    struct Key
    {
        int key;
        Qt::KeyboardModifiers modifiers;
    };
    // The keys other than Shift, Ctrl, Alt and Meta by themselves (QTest presses those
    // before the key they modify, and they are forwarded like every other key).
    std::vector<Key> keys;
    int modifierKeys = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        switch (event->key()) {
        case Qt::Key_Shift: case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_Meta:
            ++modifierKeys;
            break;
        default:
            keys.push_back({event->key(), event->modifiers()});
        }
        event->accept();
    }
};

// A window that records the areas it was asked to repaint.
class PaintRecorder : public QWidget
{
public:
    QRegion painted;

protected:
    void paintEvent(QPaintEvent *event) override { painted += event->region(); }
};

// Virtual-key codes used in the tables.
constexpr int vkReturn = 13, vkEscape = 27, vkPageUp = 33, vkPageDown = 34, vkLeft = 37,
              vkUp = 38, vkRight = 39, vkA = 65, vkC = 67, vkV = 86, vkX = 88,
              vkF1 = 112, vkF2 = 113, vkF3 = 114, vkF4 = 115, vkF5 = 116, vkF6 = 117,
              vkF7 = 118, vkF8 = 119, vkF9 = 120, vkF10 = 121, vkF11 = 122, vkF12 = 123;

QString longText()
{
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << QStringLiteral("line %1").arg(i);
    return lines.join(u'\n');
}

} // namespace

class TestRichEdits : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    // The routing tables.
    void richEdit3Route_data();
    void richEdit3Route();
    void relativeRoute_data();
    void relativeRoute();
    void spell2Route_data();
    void spell2Route();

    // The tables at work on real widgets.
    void richEdit3CopiesAndForwardsCtrlC();
    void richEdit3ForwardsOtherKeysOnly_data();
    void richEdit3ForwardsOtherKeysOnly();
    void richEdit3PageDownScrollsAndForwards();
    void richEdit3WithoutTargetEdits();
    void richEdit3RefusesFocus();
    void relativeControls_data();
    void relativeControls();
    void spell2Actions_data();
    void spell2Actions();
    void spell2LeftMovesCaretInText();
    void spell2ForwardsEscape();
    void spell2WithoutHandlerEnterIsNormal();
    void forwardingSurvivesDeletedTarget();

    // Transparency.
    void transparentRichEditShowsParent();
    void transparentPanelsShowParent();
    void invalidateUnderRepaintsOwner();
    void setShownAndInvalidate();

private:
    std::unique_ptr<QWidget> m_window;
    KeyRecorder *m_target = nullptr;
    KeyRecorder *m_pageTarget = nullptr;
};

void TestRichEdits::init()
{
    m_window = std::make_unique<QWidget>();
    m_window->resize(400, 300);
    m_target = new KeyRecorder;
    m_target->setParent(m_window.get());
    m_target->setObjectName(QStringLiteral("target"));
    m_pageTarget = new KeyRecorder;
    m_pageTarget->setParent(m_window.get());
    m_pageTarget->setObjectName(QStringLiteral("pageTarget"));
}

void TestRichEdits::cleanup()
{
    m_window.reset();
    QApplication::clipboard()->clear();
}

// --- the tables ---------------------------------------------------------------------------

void TestRichEdits::richEdit3Route_data()
{
    QTest::addColumn<int>("vk");
    QTest::addColumn<bool>("hasTarget");
    QTest::addColumn<Kind>("kind");

    QTest::newRow("PageUp") << vkPageUp << true << Kind::ForwardAndProcess;
    QTest::newRow("PageDown") << vkPageDown << true << Kind::ForwardAndProcess;
    QTest::newRow("A") << vkA << true << Kind::ForwardAndProcess;
    QTest::newRow("C") << vkC << true << Kind::ForwardAndProcess;
    QTest::newRow("V") << vkV << true << Kind::Forward;
    QTest::newRow("X") << vkX << true << Kind::Forward;
    QTest::newRow("F5") << vkF5 << true << Kind::Forward;
    QTest::newRow("Esc") << vkEscape << true << Kind::Forward;
    QTest::newRow("Up") << vkUp << true << Kind::Forward;
    QTest::newRow("Enter") << vkReturn << true << Kind::Forward;
    QTest::newRow("unmapped") << 0 << true << Kind::Forward;
    QTest::newRow("no target, F5") << vkF5 << false << Kind::Normal;
    QTest::newRow("no target, C") << vkC << false << Kind::Normal;
}

void TestRichEdits::richEdit3Route()
{
    QFETCH(int, vk);
    QFETCH(bool, hasTarget);
    QFETCH(Kind, kind);
    const KeyRoute route = RichEdit3KeyRoute(vk, hasTarget);
    QCOMPARE(route.kind, kind);
    QCOMPARE(route.target, kind == Kind::Normal ? Target::None : Target::Key);
}

void TestRichEdits::relativeRoute_data()
{
    QTest::addColumn<int>("vk");
    QTest::addColumn<bool>("hasCommand");
    QTest::addColumn<bool>("hasPage");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<Target>("target");

    for (int vk : {vkEscape, vkF1, vkF2, vkF3, vkF5, vkF6, vkF7, vkF8, vkF11}) {
        QTest::addRow("command key %d", vk) << vk << true << false << Kind::Forward << Target::Command;
        QTest::addRow("command key %d without target", vk) << vk << false << true << Kind::Normal << Target::None;
    }
    for (int vk : {vkF4, vkF9, vkF10, vkF12, vkReturn, vkLeft, vkA, vkC})
        QTest::addRow("other key %d", vk) << vk << true << true << Kind::Normal << Target::None;
    for (int vk : {vkPageUp, vkPageDown}) {
        QTest::addRow("page key %d", vk) << vk << true << true << Kind::Forward << Target::Page;
        QTest::addRow("page key %d, command target only", vk) << vk << true << false << Kind::Normal << Target::None;
    }
}

void TestRichEdits::relativeRoute()
{
    QFETCH(int, vk);
    QFETCH(bool, hasCommand);
    QFETCH(bool, hasPage);
    QFETCH(Kind, kind);
    QFETCH(Target, target);
    const KeyRoute route = RelativeKeyRoute(vk, hasCommand, hasPage);
    QCOMPARE(route.kind, kind);
    QCOMPARE(route.target, target);
}

void TestRichEdits::spell2Route_data()
{
    QTest::addColumn<int>("vk");
    QTest::addColumn<bool>("hasTarget");
    QTest::addColumn<bool>("hasAction");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("tag");

    for (int vk : {vkEscape, vkF1, vkF7, vkF8}) {
        QTest::addRow("forward %d", vk) << vk << true << false << false << Kind::Forward << 0;
        QTest::addRow("forward %d, no target", vk) << vk << false << true << false << Kind::Normal << 0;
    }
    QTest::newRow("Enter") << vkReturn << true << true << false << Kind::Action << 1;
    QTest::newRow("Enter, no handler") << vkReturn << true << false << false << Kind::Normal << 0;
    QTest::newRow("Enter, no target") << vkReturn << false << true << false << Kind::Normal << 0;
    QTest::newRow("F2") << vkF2 << true << true << false << Kind::Action << 2;
    QTest::newRow("F2 on empty text") << vkF2 << true << true << true << Kind::Action << 2;
    QTest::newRow("Left, empty") << vkLeft << true << true << true << Kind::Action << 0;
    QTest::newRow("Right, empty") << vkRight << true << true << true << Kind::Action << 0;
    QTest::newRow("Left, text") << vkLeft << true << true << false << Kind::Normal << 0;
    QTest::newRow("Right, text") << vkRight << true << true << false << Kind::Normal << 0;
    QTest::newRow("Up, empty") << vkUp << true << true << true << Kind::Normal << 0;
    QTest::newRow("F3") << vkF3 << true << true << true << Kind::Normal << 0;
    QTest::newRow("F5") << vkF5 << true << true << true << Kind::Normal << 0;
}

void TestRichEdits::spell2Route()
{
    QFETCH(int, vk);
    QFETCH(bool, hasTarget);
    QFETCH(bool, hasAction);
    QFETCH(bool, empty);
    QFETCH(Kind, kind);
    QFETCH(int, tag);
    const KeyRoute route = Spell2KeyRoute(vk, hasTarget, hasAction, empty);
    QCOMPARE(route.kind, kind);
    QCOMPARE(route.tag, tag);
    QCOMPARE(route.target, kind == Kind::Forward ? Target::Key : Target::None);
}

// --- widgets ------------------------------------------------------------------------------

void TestRichEdits::richEdit3CopiesAndForwardsCtrlC()
{
    auto *edit = new TRichEdit3(m_window.get());
    edit->setPlainText(QStringLiteral("copy me"));
    edit->SetKeyTarget(m_target);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);

    QCOMPARE(m_target->keys.size(), size_t(1));
    QCOMPARE(m_target->keys[0].key, int(Qt::Key_C));
    QCOMPARE(m_target->keys[0].modifiers, Qt::KeyboardModifiers(Qt::ControlModifier));
    QCOMPARE(m_target->modifierKeys, 1); // Ctrl itself went to the target too
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("copy me"));
}

void TestRichEdits::richEdit3ForwardsOtherKeysOnly_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("F5") << int(Qt::Key_F5) << int(Qt::NoModifier);
    QTest::newRow("letter x") << int(Qt::Key_X) << int(Qt::NoModifier);
    QTest::newRow("Ctrl+V") << int(Qt::Key_V) << int(Qt::ControlModifier);
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier);
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
}

void TestRichEdits::richEdit3ForwardsOtherKeysOnly()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    auto *edit = new TRichEdit3(m_window.get());
    edit->setPlainText(QStringLiteral("text"));
    edit->moveCursor(QTextCursor::End);
    edit->SetKeyTarget(m_target);

    QTest::keyClick(edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QCOMPARE(m_target->keys.size(), size_t(1));
    QCOMPARE(m_target->keys[0].key, key);
    QCOMPARE(edit->toPlainText(), QStringLiteral("text"));
}

void TestRichEdits::richEdit3PageDownScrollsAndForwards()
{
    auto *edit = new TRichEdit3(m_window.get());
    edit->resize(200, 100);
    edit->setPlainText(longText());
    edit->moveCursor(QTextCursor::Start);
    edit->SetKeyTarget(m_target);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QCOMPARE(edit->verticalScrollBar()->value(), 0);

    QTest::keyClick(edit, Qt::Key_PageDown);

    QCOMPARE(m_target->keys.size(), size_t(1));
    QCOMPARE(m_target->keys[0].key, int(Qt::Key_PageDown));
    QVERIFY(edit->verticalScrollBar()->value() > 0);
}

void TestRichEdits::richEdit3WithoutTargetEdits()
{
    auto *edit = new TRichEdit3(m_window.get());
    QTest::keyClicks(edit, QStringLiteral("ab"));
    QCOMPARE(edit->toPlainText(), QStringLiteral("ab"));
    QVERIFY(m_target->keys.empty());
}

void TestRichEdits::richEdit3RefusesFocus()
{
    auto *edit = new TRichEdit3(m_window.get());
    auto *other = new QLineEdit(m_window.get());
    edit->setGeometry(0, 0, 200, 100);
    other->setGeometry(0, 150, 200, 25);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    other->setFocus();
    QVERIFY(other->hasFocus());

    edit->SetAcceptFocus(false);
    QTest::mouseClick(edit->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QVERIFY(other->hasFocus());
    QVERIFY(!edit->hasFocus());

    edit->SetAcceptFocus(true);
    QTest::mouseClick(edit->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QVERIFY(edit->hasFocus());
}

// Drives TRelativeRichEdit and TSubjectMemo alike: which target gets the key and whether
// the control processed it (typed text or moved caret).
void TestRichEdits::relativeControls_data()
{
    QTest::addColumn<bool>("memo");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("withCommand");
    QTest::addColumn<bool>("withPage");
    QTest::addColumn<QString>("receiver"); // "command", "page" or ""
    QTest::addColumn<QString>("text");     // the control's text afterwards

    for (bool memo : {false, true}) {
        const char *kind = memo ? "memo" : "rich";
        QTest::addRow("%s: Esc to command", kind) << memo << int(Qt::Key_Escape) << true << true << "command" << "";
        QTest::addRow("%s: F5 to command", kind) << memo << int(Qt::Key_F5) << true << false << "command" << "";
        QTest::addRow("%s: F11 to command", kind) << memo << int(Qt::Key_F11) << true << false << "command" << "";
        QTest::addRow("%s: F4 stays", kind) << memo << int(Qt::Key_F4) << true << true << "" << "";
        QTest::addRow("%s: PageDown to page", kind) << memo << int(Qt::Key_PageDown) << true << true << "page" << "";
        QTest::addRow("%s: PageUp without page target", kind) << memo << int(Qt::Key_PageUp) << true << false << "" << "";
        QTest::addRow("%s: letter typed", kind) << memo << int(Qt::Key_Q) << true << true << "" << "q";
        QTest::addRow("%s: Esc without targets", kind) << memo << int(Qt::Key_Escape) << false << false << "" << "";
    }
}

void TestRichEdits::relativeControls()
{
    QFETCH(bool, memo);
    QFETCH(int, key);
    QFETCH(bool, withCommand);
    QFETCH(bool, withPage);
    QFETCH(QString, receiver);
    QFETCH(QString, text);

    QWidget *control = nullptr;
    std::function<QString()> plainText;
    if (memo) {
        auto *m = new TSubjectMemo(m_window.get());
        m->SetCommandTarget(withCommand ? m_target : nullptr);
        m->SetPageTarget(withPage ? m_pageTarget : nullptr);
        plainText = [m] { return m->toPlainText(); };
        control = m;
    } else {
        auto *r = new TRelativeRichEdit(m_window.get());
        r->SetCommandTarget(withCommand ? m_target : nullptr);
        r->SetPageTarget(withPage ? m_pageTarget : nullptr);
        plainText = [r] { return r->toPlainText(); };
        control = r;
    }

    QTest::keyClick(control, Qt::Key(key));

    QCOMPARE(m_target->keys.size(), size_t(receiver == u"command" ? 1 : 0));
    QCOMPARE(m_pageTarget->keys.size(), size_t(receiver == u"page" ? 1 : 0));
    if (!receiver.isEmpty()) {
        const KeyRecorder *got = receiver == u"command" ? m_target : m_pageTarget;
        QCOMPARE(got->keys[0].key, key);
    }
    QCOMPARE(plainText(), text);
}

void TestRichEdits::spell2Actions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("tag");

    QTest::newRow("Enter") << QStringLiteral("word") << int(Qt::Key_Return) << 1;
    QTest::newRow("keypad Enter") << QStringLiteral("word") << int(Qt::Key_Enter) << 1;
    QTest::newRow("F2") << QStringLiteral("word") << int(Qt::Key_F2) << 2;
    QTest::newRow("Left on empty") << QString() << int(Qt::Key_Left) << 0;
    QTest::newRow("Right on blanks") << QStringLiteral("   ") << int(Qt::Key_Right) << 0;
}

void TestRichEdits::spell2Actions()
{
    QFETCH(QString, text);
    QFETCH(int, key);
    QFETCH(int, tag);
    auto *memo = new TSpell2Memo(m_window.get());
    memo->setText(text);
    memo->SetKeyTarget(m_target);
    memo->Tag = 77;
    QSignalSpy actions(memo, &TSpell2Memo::OnAction);
    QSignalSpy returns(memo, &QLineEdit::returnPressed);

    QTest::keyClick(memo, Qt::Key(key));

    QCOMPARE(actions.size(), 1);
    QCOMPARE(actions[0][0].value<TSpell2Memo *>(), memo);
    QCOMPARE(memo->Tag, tag);
    QCOMPARE(returns.size(), 0); // consumed: the edit did not see it
    QVERIFY(m_target->keys.empty());
    QCOMPARE(memo->text(), text);
}

void TestRichEdits::spell2LeftMovesCaretInText()
{
    auto *memo = new TSpell2Memo(m_window.get());
    memo->setText(QStringLiteral("abc"));
    memo->setCursorPosition(3);
    memo->SetKeyTarget(m_target);
    memo->Tag = 5;
    QSignalSpy actions(memo, &TSpell2Memo::OnAction);

    QTest::keyClick(memo, Qt::Key_Left);

    QCOMPARE(actions.size(), 0);
    QCOMPARE(memo->cursorPosition(), 2);
    QCOMPARE(memo->Tag, 5);
    QVERIFY(m_target->keys.empty());
}

void TestRichEdits::spell2ForwardsEscape()
{
    auto *memo = new TSpell2Memo(m_window.get());
    memo->SetKeyTarget(m_target);
    QSignalSpy actions(memo, &TSpell2Memo::OnAction);

    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_F1, Qt::Key_F7, Qt::Key_F8})
        QTest::keyClick(memo, key);

    QCOMPARE(m_target->keys.size(), size_t(4));
    QCOMPARE(m_target->keys[0].key, int(Qt::Key_Escape));
    QCOMPARE(m_target->keys[3].key, int(Qt::Key_F8));
    QCOMPARE(actions.size(), 0);
}

void TestRichEdits::spell2WithoutHandlerEnterIsNormal()
{
    auto *memo = new TSpell2Memo(m_window.get());
    memo->setText(QStringLiteral("word"));
    memo->SetKeyTarget(m_target);
    QSignalSpy returns(memo, &QLineEdit::returnPressed);

    QTest::keyClick(memo, Qt::Key_Return);

    QCOMPARE(returns.size(), 1);
    QVERIFY(m_target->keys.empty());
}

void TestRichEdits::forwardingSurvivesDeletedTarget()
{
    auto *edit = new TRichEdit3(m_window.get());
    auto *memo = new TSpell2Memo(m_window.get());
    edit->SetKeyTarget(m_target);
    memo->SetKeyTarget(m_target);
    delete m_target;
    m_target = nullptr;

    QTest::keyClick(edit, Qt::Key_X);
    QTest::keyClick(memo, Qt::Key_X);
    QCOMPARE(edit->KeyTarget(), nullptr);
    // Without a target the controls work as plain edits again.
    QCOMPARE(edit->toPlainText(), QStringLiteral("x"));
    QCOMPARE(memo->text(), QStringLiteral("x"));
    m_target = new KeyRecorder; // keep cleanup uniform
    m_target->setParent(m_window.get());
}

// --- transparency -------------------------------------------------------------------------

namespace {

QColor centreOf(QWidget *window, QWidget *child)
{
    const QImage image = window->grab().toImage();
    const QPoint centre = child->geometry().center();
    return image.pixelColor(centre * image.devicePixelRatio());
}

std::unique_ptr<QWidget> redWindow()
{
    auto window = std::make_unique<QWidget>();
    window->resize(300, 200);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::red);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    return window;
}

} // namespace

void TestRichEdits::transparentRichEditShowsParent()
{
    auto window = redWindow();
    auto *edit = new TTransparentRichEdit(window.get());
    edit->setGeometry(50, 50, 200, 100);
    QVERIFY(edit->Transparent());
    QCOMPARE(centreOf(window.get(), edit), QColor(Qt::red));

    edit->SetTransparent(false);
    QVERIFY(!edit->Transparent());
    QVERIFY(centreOf(window.get(), edit) != QColor(Qt::red));

    edit->SetTransparent(true);
    QCOMPARE(centreOf(window.get(), edit), QColor(Qt::red));

    auto *view = new TRichEdit3(window.get());
    view->setGeometry(10, 10, 30, 30);
    QVERIFY(view->Transparent());
    QCOMPARE(centreOf(window.get(), view), QColor(Qt::red));
}

void TestRichEdits::transparentPanelsShowParent()
{
    auto window = redWindow();
    auto *panel1 = new TTransparentPanel1(window.get());
    panel1->setGeometry(10, 10, 100, 100);
    auto *panel = new TTransparentPanel(window.get());
    panel->setGeometry(150, 10, 100, 100);
    // Even with a palette that would fill them, the panels draw nothing.
    for (QWidget *w : {static_cast<QWidget *>(panel1), static_cast<QWidget *>(panel)}) {
        QPalette palette = w->palette();
        palette.setColor(QPalette::Window, Qt::blue);
        w->setPalette(palette);
    }
    QCOMPARE(centreOf(window.get(), panel1), QColor(Qt::red));
    QCOMPARE(centreOf(window.get(), panel), QColor(Qt::red));
    QVERIFY(panel->List.empty());
}

void TestRichEdits::invalidateUnderRepaintsOwner()
{
    PaintRecorder owner;
    owner.resize(300, 200);
    auto *control = new QWidget(&owner);
    control->setGeometry(40, 30, 50, 20);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QCoreApplication::processEvents();
    owner.painted = QRegion();

    TTransparentPanel::InvalidateUnder(control);
    QCoreApplication::processEvents();

    QVERIFY(owner.painted.contains(control->geometry()));
    QVERIFY(!owner.painted.contains(QRect(200, 150, 10, 10)));
}

void TestRichEdits::setShownAndInvalidate()
{
    PaintRecorder owner;
    owner.resize(300, 200);
    auto *control = new QWidget(&owner);
    control->setGeometry(40, 30, 50, 20);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QCoreApplication::processEvents();
    owner.painted = QRegion();

    TTransparentPanel::SetShownAndInvalidate(control, true); // no change
    QCoreApplication::processEvents();
    QVERIFY(owner.painted.isEmpty());
    QVERIFY(control->isVisible());

    TTransparentPanel::SetShownAndInvalidate(control, false);
    QVERIFY(control->isHidden());
    QCoreApplication::processEvents();
    QVERIFY(owner.painted.contains(control->geometry()));

    TTransparentPanel::SetShownAndInvalidate(control, true);
    QVERIFY(control->isVisible());
}

QTEST_MAIN(TestRichEdits)
#include "tst_richedits.moc"
