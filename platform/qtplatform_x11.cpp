// What Qt does not tell about other applications' windows, asked of the X server itself.

#include "platform/qtplatform.h"
#include "platform/x11.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace
{

using X11::Reply;

// Input focus may rest on an inner window of a client (xterm's text area, say); its class is
// on the client's top window.
constexpr int maxAncestors = 16;

} // namespace

QStringList QtPlatform::focusedWindowClass() const
{
    xcb_connection_t* connection = X11::connection();
    if (!connection)
        return {};
    const Reply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    if (!focus)
        return {};
    xcb_window_t window = focus->focus;
    for (int i = 0;
         i < maxAncestors && window != XCB_NONE && window != XCB_INPUT_FOCUS_POINTER_ROOT; ++i) {
        const Reply<xcb_get_property_reply_t> property(xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256),
            nullptr));
        if (property && xcb_get_property_value_length(property.get()) > 0) {
            const QByteArray value(static_cast<const char*>(xcb_get_property_value(property.get())),
                                   xcb_get_property_value_length(property.get()));
            return QString::fromLatin1(value).split(QChar(0), Qt::SkipEmptyParts);
        }
        const Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
        if (!tree || tree->parent == tree->root)
            break;
        window = tree->parent;
    }
    return {};
}
