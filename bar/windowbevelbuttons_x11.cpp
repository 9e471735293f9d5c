// On X11 the bar shows on every workspace and stays out of taskbars and pagers: Qt has no window
// flag for either, so we ask for them through the window manager's conventions (EWMH).

#include "bar/windowbevelbuttons.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace
{

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t result = reply->atom;
    std::free(reply);
    return result;
}

void sendToWindowManager(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window,
                         xcb_atom_t type, uint32_t first, uint32_t second, uint32_t third = 0)
{
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    message.data.data32[0] = first;
    message.data.data32[1] = second;
    message.data.data32[2] = third;
    message.data.data32[3] = 1; // from an ordinary application
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
}

} // namespace

void WindowBevelButtons::keepOnEveryWorkspace()
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return; // not on X11 (the offscreen tests, a Wayland session chosen by the user)
    xcb_connection_t* connection = x11->connection();
    const auto window = static_cast<xcb_window_t>(winId());
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return;

    const xcb_atom_t desktop = atom(connection, "_NET_WM_DESKTOP");
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    const xcb_atom_t sticky = atom(connection, "_NET_WM_STATE_STICKY");
    const xcb_atom_t skipTaskbar = atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    const xcb_atom_t skipPager = atom(connection, "_NET_WM_STATE_SKIP_PAGER");
    const uint32_t allDesktops = 0xFFFFFFFF;
    // Read by the window manager when the window is mapped (Qt keeps the states it finds when
    // it adds its own)...
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, desktop, XCB_ATOM_CARDINAL, 32,
                        1, &allDesktops);
    if (!isVisible()) {
        const xcb_atom_t states[] = {sticky, skipTaskbar, skipPager};
        xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, state, XCB_ATOM_ATOM, 32, 3,
                            states);
    }
    // ...and asked for again once it is, for window managers that placed it on one workspace.
    sendToWindowManager(connection, screen->root, window, desktop, allDesktops, 0);
    sendToWindowManager(connection, screen->root, window, state, 1 /* add */, sticky);
    sendToWindowManager(connection, screen->root, window, state, 1 /* add */, skipTaskbar,
                        skipPager);
    xcb_flush(connection);
}
