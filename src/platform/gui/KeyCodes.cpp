#include "KeyCodes.h"

#include <QKeyEvent>

namespace vocamo {

namespace {

int keypadKey(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return 96 + (qtKey - Qt::Key_0);
    switch (qtKey) {
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma: return 110; // the decimal key, whatever the locale prints
    case Qt::Key_Slash: return 111;
    default: return 0;
    }
}

int mainKey(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey; // 'A'..'Z' are 65-90 in both
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return qtKey; // '0'..'9' are 48-57 in both
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Escape: return 27;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Space: return 32;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Home: return 36;
    case Qt::Key_End: return 35;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    // The digit row's shifted symbols (US layout) give their digit.
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    // Punctuation keys, plain and shifted.
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return 186;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return 187;
    case Qt::Key_Comma:
    case Qt::Key_Less: return 188;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return 189;
    case Qt::Key_Period:
    case Qt::Key_Greater: return 190;
    case Qt::Key_Slash:
    case Qt::Key_Question: return 191;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return 192;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return 219;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return 220;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return 221;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return 222;
    default: return 0;
    }
}

} // namespace

int VirtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (const int key = keypadKey(qtKey))
            return key;
    }
    return mainKey(qtKey);
}

int VirtualKeyFromEvent(const QKeyEvent *event)
{
    return event ? VirtualKeyFromQtKey(event->key(), event->modifiers()) : 0;
}

int CommandFromKey(const QKeyEvent *event)
{
    const int key = VirtualKeyFromEvent(event);
    return key ? key + kKeyCommandBase : 0;
}

quint8 CommandFlagsFromKey(const QKeyEvent *event)
{
    return event && (event->modifiers() & Qt::ControlModifier) ? kCtrlFlag : 0;
}

} // namespace vocamo
