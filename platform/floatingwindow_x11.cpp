// The floating strip on X11: the window manager's conventions (EWMH) for workspaces and
// taskbars, and Qt's idea of the strip's place held to the X server's.

#include "platform/floatingwindow.h"
#include "platform/x11.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QPointer>
#include <QRect>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace
{

using X11::Reply;
constexpr auto x11Connection = X11::connection;

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr));
    if (!reply)
        return XCB_ATOM_NONE;
    return reply->atom;
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

// Where the X server has the window, in the X server's pixels; false when it cannot say.
bool serverGeometry(xcb_connection_t* connection, xcb_window_t id, QRect* geometry)
{
    const Reply<xcb_get_geometry_reply_t> own(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr));
    if (!own)
        return false;
    const Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, id, own->root, 0, 0), nullptr));
    if (!origin)
        return false;
    *geometry = QRect(origin->dst_x, origin->dst_y, own->width, own->height);
    return true;
}

// The window's origin as Qt counts (device-independent pixels), from the server's.
QPoint logical(const QWindow* window, const QPoint& native)
{
    const double ratio = window->devicePixelRatio();
    return QPoint(qRound(native.x() / ratio), qRound(native.y() / ratio));
}

// Whether the origin Qt has for the window (its platform window's unless told) is the server's.
bool qtAgrees(const QWindow* window, const QRect& native,
              std::optional<QPoint> qtOrigin = std::nullopt)
{
    // Scaled coordinates may round a pixel apart; a menu does not care.
    const QPoint gap = logical(window, native.topLeft()) - qtOrigin.value_or(window->position());
    return gap.manhattanLength() <= 1;
}

// The margins of the window's frame, once the window manager has announced them.
std::optional<QMargins> announcedExtents(xcb_connection_t* connection, xcb_window_t id,
                                         xcb_atom_t extents)
{
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, id, extents, XCB_ATOM_CARDINAL, 0, 4),
        nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
        return std::nullopt;
    // Announced as left, right, top, bottom.
    const auto* value = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return QMargins(static_cast<int>(value[0]), static_cast<int>(value[2]),
                    static_cast<int>(value[1]), static_cast<int>(value[3]));
}

bool supportedByWindowManager(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t wanted)
{
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, root, atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0,
                         4096),
        nullptr));
    if (!reply || reply->format != 32)
        return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::find(atoms, atoms + count, wanted) != atoms + count;
}

// The longest wait for a window manager to say what a window's frame will be.
constexpr int frameExtentsWaitMs = 200;

// Frames nest at most this deep between a window and the root (a window manager's frame, its
// inner frame, a compositor's).
constexpr int maxFrames = 8;
// While a mouse button is held in the strip it is being dragged, and its moves are its own:
// the check waits this long and looks again.
constexpr int heldButtonRetryMs = 200;
// A check that keeps finding Qt's idea wrong right after telling it stops after so many tries
// (a rounding of scaled coordinates that never agrees), until something moves again.
constexpr int correctionsInARow = 4;

// Watches the X events of one top-level window and of the frames a window manager puts around
// it, and tells Qt where the window really is whenever Qt has it elsewhere.
class OriginKeeper : public QObject, public QAbstractNativeEventFilter
{
public:
    OriginKeeper(QWidget* window, xcb_connection_t* x11)
        : QObject(window), widget(window), connection(x11),
          id(static_cast<xcb_window_t>(window->winId())), xdndEnter(atom(x11, "XdndEnter"))
    {
        verify.setSingleShot(true);
        connect(&verify, &QTimer::timeout, this, &OriginKeeper::tellQtWhereItIs);
        QCoreApplication::instance()->installNativeEventFilter(this);
        window->windowHandle()->installEventFilter(this);
        watchFrames();
    }
    ~OriginKeeper() override
    {
        if (QCoreApplication* application = QCoreApplication::instance())
            application->removeNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        switch (event->response_type & 0x7f) {
        case XCB_REPARENT_NOTIFY: {
            const auto* reparent = reinterpret_cast<const xcb_reparent_notify_event_t*>(event);
            if (reparent->window == id) {
                watchFrames();
                checkSoon();
            }
            break;
        }
        case XCB_CONFIGURE_NOTIFY: {
            // The window's own notices (Qt's news of its place, true or not) and its frames'
            // moves, of which the window itself may hear nothing.
            const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
            if (configure->window == id || frames.contains(configure->window))
                checkSoon();
            break;
        }
        case XCB_CLIENT_MESSAGE: {
            // A drag arrives: the drop point is mapped into the window by Qt's idea of its
            // place, so that idea must be right before Qt reads the first position.
            const auto* client = reinterpret_cast<const xcb_client_message_event_t*>(event);
            if (client->window == id && client->type == xdndEnter)
                setQtOriginNow();
            break;
        }
        default:
            break;
        }
        return false;
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        // A press may open a menu under its button, placed by Qt's idea of the window's place.
        if (event->type() == QEvent::MouseButtonPress)
            setQtOriginNow();
        return false;
    }

private:
    // Selects the structure events of every frame between the window and the root, so that a
    // frame's move is heard although the window manager tells the window nothing.
    void watchFrames()
    {
        frames.clear();
        xcb_window_t current = id;
        for (int depth = 0; depth < maxFrames; ++depth) {
            const Reply<xcb_query_tree_reply_t> tree(
                xcb_query_tree_reply(connection, xcb_query_tree(connection, current), nullptr));
            if (!tree || tree->parent == XCB_NONE || tree->parent == tree->root)
                return;
            current = tree->parent;
            const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            // A frame that is gone again by now is no error worth a word.
            xcb_discard_reply(connection, xcb_change_window_attributes_checked(
                                              connection, current, XCB_CW_EVENT_MASK, &mask)
                                              .sequence);
            frames << current;
        }
    }

    void checkSoon()
    {
        if (!verify.isActive())
            verify.start(0);
    }

    // Tells Qt what the X server says, the way a window manager does (a synthetic
    // ConfigureNotify, which Qt takes as it stands), without moving anything: a move of our own
    // on its way to the window manager is never undone, and a later notice wins.
    void tellQtWhereItIs()
    {
        if (!widget || !widget->windowHandle())
            return;
        if (QGuiApplication::mouseButtons() != Qt::NoButton) {
            verify.start(heldButtonRetryMs);
            return;
        }
        QRect native;
        if (!serverGeometry(connection, id, &native))
            return;
        if (qtAgrees(widget->windowHandle(), native)) {
            corrections = 0;
            return;
        }
        if (++corrections > correctionsInARow)
            return;
        xcb_configure_notify_event_t notify = {};
        notify.response_type = XCB_CONFIGURE_NOTIFY;
        notify.event = id;
        notify.window = id;
        notify.above_sibling = XCB_NONE;
        notify.x = static_cast<int16_t>(native.x());
        notify.y = static_cast<int16_t>(native.y());
        notify.width = static_cast<uint16_t>(native.width());
        notify.height = static_cast<uint16_t>(native.height());
        xcb_send_event(connection, 0, id, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&notify));
        xcb_flush(connection);
    }

    // Right now, before Qt maps a press or a drag by its idea of the window's place: Qt's
    // idea is set at once, and the window manager, asked to keep the window where it is,
    // confirms it.
    void setQtOriginNow()
    {
        QRect native;
        if (!widget || !widget->windowHandle() || !serverGeometry(connection, id, &native) ||
            qtAgrees(widget->windowHandle(), native))
            return;
        widget->windowHandle()->setPosition(logical(widget->windowHandle(), native.topLeft()));
    }

    QPointer<QWidget> widget;
    xcb_connection_t* connection;
    xcb_window_t id;
    xcb_atom_t xdndEnter;
    QList<xcb_window_t> frames;
    QTimer verify;
    int corrections = 0;
};

} // namespace

namespace FloatingWindow
{

void keepOnEveryWorkspace(QWidget* window)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
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
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, desktop, XCB_ATOM_CARDINAL, 32, 1,
                        &allDesktops);
    if (!window->isVisible()) {
        const xcb_atom_t states[] = {sticky, skipTaskbar, skipPager};
        xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 3,
                            states);
    }
    // ...and asked for again once it is.
    sendToWindowManager(connection, screen->root, id, desktop, allDesktops, 0);
    sendToWindowManager(connection, screen->root, id, state, 1 /* add */, sticky);
    sendToWindowManager(connection, screen->root, id, state, 1 /* add */, skipTaskbar, skipPager);
    xcb_flush(connection);
}

bool shownWhereQtHasIt(QWidget* window)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection || !window->windowHandle())
        return true;
    const auto id = static_cast<xcb_window_t>(window->winId());
    // Until the window manager has mapped the window, the server has it where Qt asked.
    const Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, id), nullptr));
    QRect native;
    if (!attributes || !serverGeometry(connection, id, &native))
        return true;
    // The widget's idea, which follows the platform window's a little later.
    return attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
           qtAgrees(window->windowHandle(), native, window->geometry().topLeft());
}

std::optional<QMargins> frameExtents(QWidget* window)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return std::nullopt;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t extentsAtom = atom(connection, "_NET_FRAME_EXTENTS");
    std::optional<QMargins> extents = announcedExtents(connection, id, extentsAtom);
    const auto unmapped = [&] {
        const Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, id), nullptr));
        return attributes && attributes->map_state != XCB_MAP_STATE_VIEWABLE;
    };
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!extents && screen && unmapped()) {
        // Window managers that know the request answer it at once.
        const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
        if (supportedByWindowManager(connection, screen->root, request)) {
            sendToWindowManager(connection, screen->root, id, request, 0, 0);
            xcb_flush(connection);
            QElapsedTimer waited;
            waited.start();
            while (!(extents = announcedExtents(connection, id, extentsAtom)) &&
                   waited.elapsed() < frameExtentsWaitMs)
                QThread::msleep(2);
        }
    }
    if (!extents)
        return std::nullopt;
    const double ratio = window->devicePixelRatio();
    return QMargins(qRound(extents->left() / ratio), qRound(extents->top() / ratio),
                    qRound(extents->right() / ratio), qRound(extents->bottom() / ratio));
}

void keepOriginTrue(QWidget* window)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return;
    window->winId();
    new OriginKeeper(window, connection);
}

} // namespace FloatingWindow
