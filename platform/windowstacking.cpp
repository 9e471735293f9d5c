#include "platform/windowstacking.h"

#include "platform/floatingwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace
{

// Room left between the strip and a window moved clear of it.
constexpr int gap = 8;
// How long after a new window first becomes active a move is still taken for the window
// manager's placing of it, not for the user's dragging it; and the longest wait for that.
constexpr int windowManagerSettleMs = 1000;
constexpr int placingAtMostMs = 10000;

// The strip: a visible top-level window that stays on top and never takes the focus.
QWidget* floatingWindow(const QWidget* except)
{
    for (QWidget* candidate : QApplication::topLevelWidgets()) {
        const Qt::WindowFlags flags = candidate->windowFlags();
        if (candidate != except && candidate->isVisible() &&
            flags.testFlag(Qt::WindowStaysOnTopHint) &&
            flags.testFlag(Qt::WindowDoesNotAcceptFocus))
            return candidate;
    }
    return nullptr;
}

QRect screenOf(const QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// Places the window beside the strip (when it opens) or clear of it (when a window manager has
// placed it). An explicit place also keeps window managers from placing the window themselves
// (centred on the strip it belongs to, say, which by the screen's edge is not beside it).
void placeByStrip(QWidget* window, bool opening)
{
    const QWidget* strip = floatingWindow(window);
    if (!strip)
        return;
    // Qt learns the frame's margins only once the window is framed, and a title bar left out of
    // the reckoning would lie over the strip: the window manager says what the frame will be.
    const std::optional<QMargins> extents = FloatingWindow::frameExtents(window);
    const QRect frame =
        extents ? window->geometry().marginsAdded(*extents) : window->frameGeometry();
    // The strip has no frame; the frame Qt works out for it from a window manager's late
    // reparenting can be a single pixel.
    const QRect area = strip->geometry();
    const QRect placed = opening ? WindowStacking::placeBeside(frame, area, screenOf(window))
                                 : WindowStacking::placeClear(frame, area, screenOf(window));
    if (opening || placed != frame)
        window->move(window->pos() + (placed.topLeft() - frame.topLeft()));
}

class RestoreWhenMinimised : public QObject
{
public:
    explicit RestoreWhenMinimised(QWidget* window) : QObject(window), watched(window) {}

    bool eventFilter(QObject* object, QEvent* event) override
    {
        // Put back once the window manager has finished minimising (it minimises the window's
        // owner and the owner's other windows with it), not in the middle of it.
        if (object == watched && event->type() == QEvent::WindowStateChange &&
            watched->isMinimized())
            QTimer::singleShot(0, this, [window = watched] {
                if (window && window->isVisible() && window->isMinimized())
                    WindowStacking::bringBack(window);
            });
        return false;
    }

private:
    QPointer<QWidget> watched;
};

class ClearOfFloatingWindows : public QObject
{
public:
    explicit ClearOfFloatingWindows(QWidget* window) : QObject(window), watched(window) {}

    bool eventFilter(QObject* object, QEvent* event) override
    {
        // The window's own Show comes once its size is final (a message box sets its size as it
        // shows) and before it is mapped.
        if (event->type() == QEvent::Show && watched && object == watched->windowHandle())
            shown();
        if (object != watched)
            return false;
        if (event->type() == QEvent::Show) {
            watched->winId();
            watched->windowHandle()->installEventFilter(this);
        }
        if (event->type() == QEvent::WindowActivate && !sinceActivated.isValid())
            sinceActivated.start();
        // A window manager that places the window itself once it is mapped (centred on the
        // strip it belongs to, say) is overruled, however late a loaded machine lets it come.
        if (event->type() == QEvent::Move && placing())
            QTimer::singleShot(0, this, [window = watched] {
                if (window && window->isVisible())
                    placeByStrip(window, false);
            });
        return false;
    }

private:
    void shown()
    {
        // Sent before the window is mapped, so the window manager learns the owner in time. A
        // window that belongs to another one of ours (a message over a dialog) keeps its owner;
        // one of its own shown while a dialog is up belongs to the dialog, above it.
        QWidget* strip = floatingWindow(watched);
        QWidget* modal = QApplication::activeModalWidget();
        QWidget* owner = watched->isModal() || modal == watched || !modal ? strip : modal;
        if (owner && !watched->parentWidget()) {
            watched->winId();
            if (QWindow* handle = watched->windowHandle())
                handle->setTransientParent(owner->windowHandle());
        }
        placeByStrip(watched, true);
        // The strip never takes the keyboard, and a window manager does not always give it to a
        // window shown by a program that has none: Return and Escape must reach the window.
        watched->activateWindow();
        if (watched->isModal() && strip)
            showMessagesAgain(strip->windowHandle());
        sinceShown.start();
        sinceActivated.invalidate();
    }

    // The messages already up would lie under a new modal window and, belonging to the strip,
    // wait behind it for its answer: shown again once it is up, they belong to it, above it.
    static void showMessagesAgain(const QWindow* strip)
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* message = qobject_cast<QMessageBox*>(window);
            if (!message || !message->isVisible() || !message->windowHandle() ||
                message->windowHandle()->transientParent() != strip)
                continue;
            QTimer::singleShot(0, message, [message] {
                message->hide();
                message->show();
                message->raise();
                message->activateWindow();
            });
        }
    }

    // Whether a move now is still the window manager's placing of the new window rather than
    // the user's dragging it: until shortly after the window first became active.
    bool placing() const
    {
        if (!sinceShown.isValid() || sinceShown.elapsed() > placingAtMostMs)
            return false;
        return !sinceActivated.isValid() || sinceActivated.elapsed() < windowManagerSettleMs;
    }

    QPointer<QWidget> watched;
    QElapsedTimer sinceShown;
    QElapsedTimer sinceActivated;
};

} // namespace

namespace WindowStacking
{

void keepClearOfFloatingWindows(QWidget* window)
{
    window->installEventFilter(new ClearOfFloatingWindows(window));
    restoreWhenMinimised(window);
}

void restoreWhenMinimised(QWidget* window)
{
    window->installEventFilter(new RestoreWhenMinimised(window));
}

void bringBack(QWidget* window)
{
    // Mapping a minimised window again asks the window manager to restore it.
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    if (!window->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus))
        window->activateWindow();
}

QRect placeBeside(const QRect& frame, const QRect& strip, const QRect& screen)
{
    QRect placed = frame;
    placed.moveLeft(strip.center().x() - frame.width() / 2);
    placed.moveLeft(std::clamp(placed.left(), screen.left(),
                               std::max(screen.left(), screen.right() + 1 - frame.width())));
    placed.moveTop(strip.bottom() + 1 + gap);
    if (screen.contains(placed))
        return placed;
    placed.moveBottom(strip.top() - 1 - gap);
    if (screen.contains(placed))
        return placed;
    return frame;
}

QRect placeClear(const QRect& frame, const QRect& avoid, const QRect& screen)
{
    return frame.intersects(avoid) ? placeBeside(frame, avoid, screen) : frame;
}

} // namespace WindowStacking
