// The clipboard and the PRIMARY selection: read and put back whole, and the typer's text put on
// them so that Kelvora knows when the application pasting it has fetched it.

#include "platform/qtplatform.h"
#include "platform/x11.h"

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <span>

namespace
{

QClipboard::Mode modeOf(Platform::Selection selection)
{
    return selection == Platform::Selection::Primary ? QClipboard::Selection
                                                     : QClipboard::Clipboard;
}

constexpr auto x11Connection = X11::connection;

// The window of the client whose request for a selection's contents Qt is handling now, else
// none. Qt converts our data for a request right after the filter below has seen it, in the
// same call; Kelvora's own reads of its data come from Kelvora's code, which clears this first,
// since the last event handled may have been such a request.
xcb_window_t requestor = XCB_NONE;

class SelectionRequests : public QAbstractNativeEventFilter
{
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        requestor = (event->response_type & 0x7f) == XCB_SELECTION_REQUEST
                        ? reinterpret_cast<const xcb_selection_request_event_t*>(event)->requestor
                        : XCB_NONE;
        return false;
    }
};

// X11 gives every client a range of resource ids: the windows of one application share the
// bits outside the mask.
struct Client {
    xcb_window_t base = XCB_NONE; // none: any client but Kelvora
    xcb_window_t mask = 0;
    xcb_window_t ours = XCB_NONE;
    bool owns(xcb_window_t window) const
    {
        const xcb_window_t client = window & ~mask;
        return base != XCB_NONE ? client == base : client != ours;
    }
};

// The client of the window that has the keyboard focus: the application the paste key goes to.
// A clipboard manager also fetches every new text at once; its fetch says nothing of the paste.
Client focusedClient()
{
    Client client;
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return client;
    const xcb_setup_t* setup = xcb_get_setup(connection);
    client.mask = setup->resource_id_mask;
    client.ours = setup->resource_id_base & ~client.mask;
    const X11::Reply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    if (focus && focus->focus != XCB_NONE && focus->focus != XCB_INPUT_FOCUS_POINTER_ROOT &&
        (focus->focus & ~client.mask) != client.ours)
        client.base = focus->focus & ~client.mask;
    return client;
}

// The typer's text on a selection; each conversion for another client's request is a fetch.
// A request for the formats offered only (TARGETS) converts nothing.
class TypedText : public QMimeData
{
public:
    explicit TypedText(Client target) : pasting(target) {}
    bool fetched() const { return taken; }

protected:
    QVariant retrieveData(const QString& format, QMetaType type) const override
    {
        if (requestor != XCB_NONE && pasting.owns(requestor))
            taken = true;
        return QMimeData::retrieveData(format, type);
    }

private:
    Client pasting;
    mutable bool taken = false;
};

// Formats that X11 selections offer besides their data, and Qt's image made from another
// format: the selection's owner answers them itself.
bool isData(const QString& format)
{
    static const QStringList protocol{
        QStringLiteral("TARGETS"),   QStringLiteral("MULTIPLE"),
        QStringLiteral("TIMESTAMP"), QStringLiteral("SAVE_TARGETS"),
        QStringLiteral("DELETE"),    QStringLiteral("application/x-qt-image")};
    return !format.isEmpty() && !protocol.contains(format);
}

} // namespace

QtPlatform::~QtPlatform() = default;

bool QtPlatform::clipboardHasText(Selection selection) const
{
    requestor = XCB_NONE;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(modeOf(selection));
    return data && data->hasText();
}

QString QtPlatform::clipboardText(Selection selection) const
{
    requestor = XCB_NONE;
    return QGuiApplication::clipboard()->text(modeOf(selection));
}

void QtPlatform::setClipboardText(const QString& text, Selection selection)
{
    if (!selectionRequests && x11Connection()) {
        selectionRequests = std::make_unique<SelectionRequests>();
        QCoreApplication::instance()->installNativeEventFilter(selectionRequests.get());
    }
    auto* data = new TypedText(focusedClient());
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data, modeOf(selection));
    typedText.at(static_cast<size_t>(modeOf(selection))) = data;
}

ClipboardContents QtPlatform::clipboardContents(Selection selection, qint64 sizeLimit) const
{
    requestor = XCB_NONE;
    ClipboardContents contents;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(modeOf(selection));
    if (!data)
        return contents;
    QStringList formats = data->formats();
    formats.removeIf([](const QString& format) { return !isData(format); });
    // The text first, so that it is kept when an image is too large.
    const auto rank = [](const QString& format) {
        return format.startsWith(QLatin1String("text/plain"))
                   ? 0
                   : (format.startsWith(QLatin1String("text/")) ? 1 : 2);
    };
    std::stable_sort(formats.begin(), formats.end(),
                     [&](const QString& a, const QString& b) { return rank(a) < rank(b); });
    qint64 size = 0;
    for (const QString& format : std::as_const(formats)) {
        const QByteArray bytes = data->data(format);
        if (size + bytes.size() > sizeLimit) {
            contents.leftOut << format;
            continue;
        }
        size += bytes.size();
        contents.formats.append({format, bytes});
    }
    return contents;
}

void QtPlatform::setClipboardContents(const ClipboardContents& contents, Selection selection)
{
    auto* data = new QMimeData;
    for (const auto& [format, bytes] : contents.formats)
        data->setData(format, bytes);
    QGuiApplication::clipboard()->setMimeData(data, modeOf(selection));
}

bool QtPlatform::ownsClipboard(Selection selection) const
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return selection == Selection::Primary ? clipboard->ownsSelection()
                                           : clipboard->ownsClipboard();
}

bool QtPlatform::waitForClipboardFetch(int timeoutMs, bool primaryToo)
{
    // The PRIMARY selection may still hold the text of an earlier paste, fetched long ago.
    const auto watched = std::span(typedText).first(primaryToo ? 2 : 1);
    const auto fetched = [watched] {
        return std::any_of(watched.begin(), watched.end(), [](const auto& data) {
            return data && static_cast<const TypedText*>(data.data())->fetched();
        });
    };
    const auto held = [watched] {
        return std::any_of(watched.begin(), watched.end(),
                           [](const auto& data) { return !data.isNull(); });
    };
    // Where no X11 request can be seen, the target is given the time it takes when not busy.
    if (!selectionRequests) {
        pauseKeepingEvents(250);
        return false;
    }
    QEventLoop loop;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (fetched() || !held())
            loop.quit();
    });
    check.start(10);
    if (!fetched() && held())
        runDroppingInput(loop);
    return fetched();
}
