#pragma once

// The X server as Qt connected to it, for the few things Kelvora asks of it itself, and xcb's
// replies freed as they go.

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace X11
{

// Null off X11 (the offscreen tests, a Wayland session chosen by the user).
inline xcb_connection_t* connection()
{
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

} // namespace X11
