#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QWidget>

#include <vector>

class QKeyEvent;

// Key routing of the text controls below. The study screens keep their layer commands
// working while one of these controls has the focus: some keys are handed on to the main
// window or to a partner control, and some are turned into actions. The routing decisions
// are plain functions of the virtual-key code (see platform/gui/KeyCodes.h) so that they
// can be checked without widgets.
struct KeyRoute
{
    enum class Kind {
        Normal,            // the control processes the key as usual
        Forward,           // delivered to the target only
        ForwardAndProcess, // delivered to the target, then processed by the control too
        Action,            // the control's action with `tag`; the key is consumed
    };
    enum class Target { None, Key, Command, Page };

    Kind kind = Kind::Normal;
    Target target = Target::None;
    int tag = 0;

    friend bool operator==(const KeyRoute &, const KeyRoute &) = default;
};

// TRichEdit3 with a key target: every key goes to the target; Page Up, Page Down, A and
// C are then also processed by the view (scrolling, select all, copy).
KeyRoute RichEdit3KeyRoute(int virtualKey, bool hasKeyTarget);
// TRelativeRichEdit and TSubjectMemo: Page Up/Down to the page target, the layer
// command keys (Esc, F1-F3, F5-F8, F11) to the command target, each only to the target.
KeyRoute RelativeKeyRoute(int virtualKey, bool hasCommandTarget, bool hasPageTarget);
// TSpell2Memo: Esc, F1, F7, F8 to the key target; with an action handler Enter (tag 1),
// F2 (tag 2) and, while the trimmed text is empty, Left/Right (tag 0) become actions.
KeyRoute Spell2KeyRoute(int virtualKey, bool hasKeyTarget, bool hasAction,
                        bool trimmedTextEmpty);

// Delivers a copy of a key event to `target` (nothing when target is null).
void ForwardKeyEvent(QWidget *target, const QKeyEvent *event);

// A rich-text view that lets its parent show through while `Transparent` is on (the
// default): no background is painted behind the text.
class TTransparentRichEdit : public QTextEdit
{
    Q_OBJECT
public:
    explicit TTransparentRichEdit(QWidget *parent = nullptr);

    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool on);

private:
    bool m_transparent = false;
};

// A transparent rich-text view whose keys go to `KeyTarget` first; it can refuse the focus.
class TRichEdit3 : public TTransparentRichEdit
{
    Q_OBJECT
public:
    explicit TRichEdit3(QWidget *parent = nullptr);

    QWidget *KeyTarget() const { return m_keyTarget; }
    void SetKeyTarget(QWidget *target) { m_keyTarget = target; }
    bool AcceptFocus() const { return m_acceptFocus; }
    // While false the view takes no focus from clicks or Tab and ignores focus-in.
    void SetAcceptFocus(bool accept);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    QPointer<QWidget> m_keyTarget;
    bool m_acceptFocus = true;
    Qt::FocusPolicy m_focusPolicy = Qt::StrongFocus;
};

// A rich-text view that hands paging keys to `PageTarget` and layer commands to
// `CommandTarget`.
class TRelativeRichEdit : public QTextEdit
{
    Q_OBJECT
public:
    explicit TRelativeRichEdit(QWidget *parent = nullptr);

    QWidget *CommandTarget() const { return m_commandTarget; }
    void SetCommandTarget(QWidget *target) { m_commandTarget = target; }
    QWidget *PageTarget() const { return m_pageTarget; }
    void SetPageTarget(QWidget *target) { m_pageTarget = target; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPointer<QWidget> m_commandTarget;
    QPointer<QWidget> m_pageTarget;
};

// A plain multi-line edit with the routing of TRelativeRichEdit.
class TSubjectMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TSubjectMemo(QWidget *parent = nullptr);

    QWidget *CommandTarget() const { return m_commandTarget; }
    void SetCommandTarget(QWidget *target) { m_commandTarget = target; }
    QWidget *PageTarget() const { return m_pageTarget; }
    void SetPageTarget(QWidget *target) { m_pageTarget = target; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPointer<QWidget> m_commandTarget;
    QPointer<QWidget> m_pageTarget;
};

// The single-line answer edit of the spelling modes. `Tag` tells the action handler why
// it was called: 1 Enter, 2 F2, 0 Left/Right on an empty answer.
class TSpell2Memo : public QLineEdit
{
    Q_OBJECT
public:
    explicit TSpell2Memo(QWidget *parent = nullptr);

    QWidget *KeyTarget() const { return m_keyTarget; }
    void SetKeyTarget(QWidget *target) { m_keyTarget = target; }

    int Tag = 0;

signals:
    // The action handler; the routing treats the memo as having one while a receiver is
    // connected.
    void OnAction(TSpell2Memo *sender);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPointer<QWidget> m_keyTarget;
};

// A panel that draws nothing, so whatever lies under it shows through.
class TTransparentPanel1 : public QWidget
{
    Q_OBJECT
public:
    explicit TTransparentPanel1(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A transparent panel with helpers that repaint what lies under a child control.
class TTransparentPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TTransparentPanel(QWidget *parent = nullptr);

    // Repaints, on the control's parent, the area the control covers.
    static void InvalidateUnder(QWidget *control);
    // Shows or hides the control; when its visibility changes, repaints under it.
    static void SetShownAndInvalidate(QWidget *control, bool on);

    // Kept for the users of the panel; the panel itself does not use it.
    std::vector<QObject *> List;

protected:
    void paintEvent(QPaintEvent *event) override;
};
