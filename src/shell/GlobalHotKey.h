#pragma once

#include <QAbstractNativeEventFilter>

#include <functional>

// The system-wide hot key Ctrl + the key left of "1" (keysym grave). Grabbed on the X11
// root window when the program runs on an X11 display; elsewhere Register() fails and the
// hot key simply does not exist (failures are ignored, as for every start-up extra).
class TGlobalHotKey : public QAbstractNativeEventFilter
{
public:
    explicit TGlobalHotKey(std::function<void()> onPressed);
    ~TGlobalHotKey() override;
    TGlobalHotKey(const TGlobalHotKey &) = delete;
    TGlobalHotKey &operator=(const TGlobalHotKey &) = delete;

    // Drops an earlier grab, then grabs the key. False when there is no X11 display or
    // the key is taken by another program.
    bool Register();
    void Unregister();
    bool IsRegistered() const { return m_keycode != 0; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    std::function<void()> m_onPressed;
    unsigned m_keycode = 0;
    unsigned m_root = 0;
};
