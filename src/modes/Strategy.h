#pragma once

#include <QtGlobal>

class TFoundation;

// A layer: one study screen. The host keeps the open layers on a stack, offers every
// command to the top one first and then applies its own meaning of the same code.
//
// Command codes: a key command is the Windows virtual-key code + 10000 (Home 10036, A
// 10065, F1 10112, ";" 10186). Flags is 4 while the Ctrl variant of a command runs and 0
// at every other time. Each key command also has one fixed 32-bit alias that means the
// same (see the command tables of TQueueStrategy and TQueueWorld).
//
// The "virtual constructor" of a layer is its C++ constructor.
class TStrategy
{
public:
    static constexpr quint8 CtrlFlag = 4;

    explicit TStrategy(TFoundation *foundation) : Foundation(foundation) {}
    virtual ~TStrategy() = default;
    TStrategy(const TStrategy &) = delete;
    TStrategy &operator=(const TStrategy &) = delete;

    // The host calls these in this order: on push Detach (old top), Load, Arrange,
    // Activate; on pop Arrange and Activate of the layer that comes back to the top.

    // Connects the layer to the shared events (host timer, hints, grid clicks).
    virtual void Attach() {}
    // Handles one command code; unknown codes are ignored.
    virtual void Execute(int command) { Q_UNUSED(command) }
    // Disconnects what Attach connected.
    virtual void Detach() {}
    // Brings the whole screen up to date: status labels, tool buttons, current page.
    virtual void Show() {}
    // Repaints the current page only.
    virtual void Repaint() {}
    // One-time preparation right after the layer was pushed.
    virtual void Load() {}
    // Positions and sizes the shared controls for the window size and settings.
    virtual void Arrange() {}

    // Flags := flags, Execute(command), Flags := 0. Always false.
    bool Perform(int command, quint8 flags);
    // Attach, then Show.
    void Activate();

    quint8 Flags = 0;
    TFoundation *Foundation = nullptr; // not owned
};
