#include "shell/GlobalHotKey.h"

#include <QGuiApplication>

#ifdef VOCAMO_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <cstdlib>
#endif

namespace {
#ifdef VOCAMO_HAVE_XCB
constexpr xcb_keysym_t GraveKeysym = 0x60;
// Ctrl with every combination of Caps Lock and Num Lock, which X11 counts as modifiers.
constexpr uint16_t GrabModifiers[] = {
    XCB_MOD_MASK_CONTROL, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_LOCK,
    XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_2,
    XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

xcb_connection_t *x11Connection()
{
    auto *app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app ? app->connection() : nullptr;
}

xcb_keycode_t keycodeOf(xcb_connection_t *connection, xcb_keysym_t keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto cookie = xcb_get_keyboard_mapping(connection, setup->min_keycode, count);
    xcb_get_keyboard_mapping_reply_t *reply = xcb_get_keyboard_mapping_reply(connection, cookie, nullptr);
    if (!reply)
        return 0;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(reply);
    const int perCode = reply->keysyms_per_keycode;
    xcb_keycode_t found = 0;
    for (int code = 0; code < count && !found; ++code) {
        for (int i = 0; i < perCode; ++i) {
            if (syms[code * perCode + i] == keysym) {
                found = xcb_keycode_t(setup->min_keycode + code);
                break;
            }
        }
    }
    std::free(reply);
    return found;
}
#endif
} // namespace

TGlobalHotKey::TGlobalHotKey(std::function<void()> onPressed) : m_onPressed(std::move(onPressed)) {}

TGlobalHotKey::~TGlobalHotKey() { Unregister(); }

bool TGlobalHotKey::Register()
{
    Unregister();
#ifdef VOCAMO_HAVE_XCB
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return false;
    const xcb_keycode_t keycode = keycodeOf(connection, GraveKeysym);
    if (!keycode)
        return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    bool grabbed = true;
    for (uint16_t modifiers : GrabModifiers) {
        auto cookie = xcb_grab_key_checked(connection, 1, root, modifiers, keycode,
                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t *error = xcb_request_check(connection, cookie)) {
            std::free(error);
            grabbed = false;
        }
    }
    if (!grabbed) {
        for (uint16_t modifiers : GrabModifiers)
            xcb_ungrab_key(connection, keycode, root, modifiers);
        xcb_flush(connection);
        return false;
    }
    m_keycode = keycode;
    m_root = root;
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
#else
    return false;
#endif
}

void TGlobalHotKey::Unregister()
{
    if (!m_keycode)
        return;
#ifdef VOCAMO_HAVE_XCB
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    if (xcb_connection_t *connection = x11Connection()) {
        for (uint16_t modifiers : GrabModifiers)
            xcb_ungrab_key(connection, xcb_keycode_t(m_keycode), m_root, modifiers);
        xcb_flush(connection);
    }
#endif
    m_keycode = 0;
}

bool TGlobalHotKey::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
#ifdef VOCAMO_HAVE_XCB
    if (eventType != "xcb_generic_event_t" || !m_keycode)
        return false;
    auto *event = static_cast<xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7F) != XCB_KEY_PRESS)
        return false;
    auto *press = reinterpret_cast<xcb_key_press_event_t *>(event);
    if (press->detail != m_keycode || !(press->state & XCB_MOD_MASK_CONTROL))
        return false;
    if (m_onPressed)
        m_onPressed();
    return true;
#else
    Q_UNUSED(eventType)
    Q_UNUSED(message)
    return false;
#endif
}
