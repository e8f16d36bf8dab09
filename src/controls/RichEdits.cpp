#include "RichEdits.h"

#include "platform/gui/KeyCodes.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMetaMethod>

#include <memory>

namespace {

// Windows virtual-key codes of the routed keys.
enum VirtualKey : int {
    VkReturn = 13,
    VkEscape = 27,
    VkPageUp = 33,
    VkPageDown = 34,
    VkLeft = 37,
    VkRight = 39,
    VkA = 'A',
    VkC = 'C',
    VkF1 = 112,
    VkF2 = 113,
    VkF3 = 114,
    VkF5 = 116,
    VkF6 = 117,
    VkF7 = 118,
    VkF8 = 119,
    VkF11 = 122,
};

bool isPageKey(int vk)
{
    return vk == VkPageUp || vk == VkPageDown;
}

bool isLayerCommandKey(int vk)
{
    switch (vk) {
    case VkEscape: case VkF1: case VkF2: case VkF3: case VkF5:
    case VkF6: case VkF7: case VkF8: case VkF11:
        return true;
    default:
        return false;
    }
}

// Trimming as the rest of the program does it: characters up to U+0020 at both ends.
bool isBlankAfterTrim(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() > 0x20)
            return false;
    }
    return true;
}

// Processes the key the routing decided on: forwards it and tells whether the control
// should still handle it itself.
bool applyRoute(const KeyRoute &route, QWidget *target, QKeyEvent *event)
{
    switch (route.kind) {
    case KeyRoute::Kind::Normal:
        return true;
    case KeyRoute::Kind::Forward:
        ForwardKeyEvent(target, event);
        event->accept();
        return false;
    case KeyRoute::Kind::ForwardAndProcess:
        ForwardKeyEvent(target, event);
        return true;
    case KeyRoute::Kind::Action:
        event->accept();
        return false;
    }
    return true;
}

void makeTransparent(QWidget *viewport, bool on)
{
    viewport->setAutoFillBackground(!on);
    viewport->setAttribute(Qt::WA_NoSystemBackground, on);
}

} // namespace

KeyRoute RichEdit3KeyRoute(int virtualKey, bool hasKeyTarget)
{
    if (!hasKeyTarget)
        return {};
    const bool alsoProcess = isPageKey(virtualKey) || virtualKey == VkA || virtualKey == VkC;
    return {alsoProcess ? KeyRoute::Kind::ForwardAndProcess : KeyRoute::Kind::Forward,
            KeyRoute::Target::Key, 0};
}

KeyRoute RelativeKeyRoute(int virtualKey, bool hasCommandTarget, bool hasPageTarget)
{
    if (hasPageTarget && isPageKey(virtualKey))
        return {KeyRoute::Kind::Forward, KeyRoute::Target::Page, 0};
    if (hasCommandTarget && isLayerCommandKey(virtualKey))
        return {KeyRoute::Kind::Forward, KeyRoute::Target::Command, 0};
    return {};
}

KeyRoute Spell2KeyRoute(int virtualKey, bool hasKeyTarget, bool hasAction, bool trimmedTextEmpty)
{
    if (!hasKeyTarget)
        return {};
    switch (virtualKey) {
    case VkEscape: case VkF1: case VkF7: case VkF8:
        return {KeyRoute::Kind::Forward, KeyRoute::Target::Key, 0};
    default:
        break;
    }
    if (!hasAction)
        return {};
    switch (virtualKey) {
    case VkReturn:
        return {KeyRoute::Kind::Action, KeyRoute::Target::None, 1};
    case VkF2:
        return {KeyRoute::Kind::Action, KeyRoute::Target::None, 2};
    case VkLeft: case VkRight:
        if (trimmedTextEmpty)
            return {KeyRoute::Kind::Action, KeyRoute::Target::None, 0};
        return {};
    default:
        return {};
    }
}

void ForwardKeyEvent(QWidget *target, const QKeyEvent *event)
{
    if (!target)
        return;
    std::unique_ptr<QKeyEvent> copy(static_cast<QKeyEvent *>(event->clone()));
    copy->setAccepted(false);
    QCoreApplication::sendEvent(target, copy.get());
}

// --- TTransparentRichEdit --------------------------------------------------------------

TTransparentRichEdit::TTransparentRichEdit(QWidget *parent) : QTextEdit(parent)
{
    SetTransparent(true);
}

void TTransparentRichEdit::SetTransparent(bool on)
{
    if (on == m_transparent)
        return;
    m_transparent = on;
    makeTransparent(viewport(), on);
    viewport()->update();
}

// --- TRichEdit3 -------------------------------------------------------------------------

TRichEdit3::TRichEdit3(QWidget *parent) : TTransparentRichEdit(parent)
{
    m_focusPolicy = focusPolicy();
}

void TRichEdit3::SetAcceptFocus(bool accept)
{
    if (accept == m_acceptFocus)
        return;
    m_acceptFocus = accept;
    if (accept) {
        setFocusPolicy(m_focusPolicy);
    } else {
        m_focusPolicy = focusPolicy();
        setFocusPolicy(Qt::NoFocus);
    }
}

void TRichEdit3::keyPressEvent(QKeyEvent *event)
{
    const KeyRoute route = RichEdit3KeyRoute(vocamo::VirtualKeyFromEvent(event), m_keyTarget);
    if (applyRoute(route, m_keyTarget, event))
        TTransparentRichEdit::keyPressEvent(event);
}

void TRichEdit3::focusInEvent(QFocusEvent *event)
{
    // Refused focus: no caret, no selection highlight, nothing the base would start.
    if (!m_acceptFocus) {
        event->ignore();
        return;
    }
    TTransparentRichEdit::focusInEvent(event);
}

// --- TRelativeRichEdit / TSubjectMemo --------------------------------------------------

namespace {

// Shared by the two controls with command and page targets; true when the control should
// process the key itself.
bool routeRelative(QWidget *commandTarget, QWidget *pageTarget, QKeyEvent *event)
{
    const KeyRoute route = RelativeKeyRoute(vocamo::VirtualKeyFromEvent(event),
                                            commandTarget != nullptr, pageTarget != nullptr);
    QWidget *target = route.target == KeyRoute::Target::Page ? pageTarget : commandTarget;
    return applyRoute(route, target, event);
}

} // namespace

TRelativeRichEdit::TRelativeRichEdit(QWidget *parent) : QTextEdit(parent) {}

void TRelativeRichEdit::keyPressEvent(QKeyEvent *event)
{
    if (routeRelative(m_commandTarget, m_pageTarget, event))
        QTextEdit::keyPressEvent(event);
}

TSubjectMemo::TSubjectMemo(QWidget *parent) : QPlainTextEdit(parent) {}

void TSubjectMemo::keyPressEvent(QKeyEvent *event)
{
    if (routeRelative(m_commandTarget, m_pageTarget, event))
        QPlainTextEdit::keyPressEvent(event);
}

// --- TSpell2Memo ------------------------------------------------------------------------

TSpell2Memo::TSpell2Memo(QWidget *parent) : QLineEdit(parent) {}

void TSpell2Memo::keyPressEvent(QKeyEvent *event)
{
    const bool hasAction = isSignalConnected(QMetaMethod::fromSignal(&TSpell2Memo::OnAction));
    const KeyRoute route = Spell2KeyRoute(vocamo::VirtualKeyFromEvent(event), m_keyTarget,
                                          hasAction, isBlankAfterTrim(text()));
    if (!applyRoute(route, m_keyTarget, event)) {
        if (route.kind == KeyRoute::Kind::Action) {
            Tag = route.tag;
            emit OnAction(this);
        }
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// --- Transparent panels -----------------------------------------------------------------

namespace {

void makePanelTransparent(QWidget *panel)
{
    panel->setAutoFillBackground(false);
    panel->setAttribute(Qt::WA_NoSystemBackground);
}

} // namespace

TTransparentPanel1::TTransparentPanel1(QWidget *parent) : QWidget(parent)
{
    makePanelTransparent(this);
}

void TTransparentPanel1::paintEvent(QPaintEvent *)
{
    // Draws nothing: the parent's painting shows through.
}

TTransparentPanel::TTransparentPanel(QWidget *parent) : QWidget(parent)
{
    makePanelTransparent(this);
}

void TTransparentPanel::paintEvent(QPaintEvent *)
{
}

void TTransparentPanel::InvalidateUnder(QWidget *control)
{
    if (!control)
        return;
    if (QWidget *owner = control->parentWidget())
        owner->update(control->geometry());
    else
        control->update();
}

void TTransparentPanel::SetShownAndInvalidate(QWidget *control, bool on)
{
    if (!control || !control->isHidden() == on)
        return;
    control->setVisible(on);
    InvalidateUnder(control);
}
