#pragma once

#include <QtGlobal>
#include <Qt>

class QKeyEvent;

namespace vocamo {

// Key commands are the Windows virtual-key code plus this base.
inline constexpr int kKeyCommandBase = 10000;
// Command flag for the Ctrl variant of a key command.
inline constexpr quint8 kCtrlFlag = 4;

// The Windows virtual-key code of a Qt key (0 when the key has none). Shifted
// symbols give their unshifted key ("!" gives "1", 49); with Qt::KeypadModifier
// digits and operators give their keypad codes (96-111).
int VirtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers);
int VirtualKeyFromEvent(const QKeyEvent *event);

// The command of a key press: virtual-key code + 10000, 0 when the key is unmapped.
int CommandFromKey(const QKeyEvent *event);
// The flags that go with the command: kCtrlFlag while Ctrl is down, else 0.
quint8 CommandFlagsFromKey(const QKeyEvent *event);

} // namespace vocamo
