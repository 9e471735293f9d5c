#include "platform/windowstacking.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace
{

// Room left between the strip and a window moved clear of it.
constexpr int gap = 8;
// Window managers may place a new window once more right after mapping it.
constexpr int windowManagerSettleMs = 100;

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

// Places the window clear of the strip. An explicit place also keeps window managers from
// placing the window themselves (centred on the strip it belongs to, say).
void moveClear(QWidget* window, bool evenWhenClear)
{
    const QWidget* strip = floatingWindow(window);
    if (!strip)
        return;
    const QRect frame = window->frameGeometry();
    const QRect placed =
        WindowStacking::placeClear(frame, strip->frameGeometry(), screenOf(window));
    if (evenWhenClear || placed != frame)
        window->move(window->pos() + (placed.topLeft() - frame.topLeft()));
}

class ClearOfFloatingWindows : public QObject
{
public:
    explicit ClearOfFloatingWindows(QWidget* window) : QObject(window), watched(window) {}

    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (object == watched && event->type() == QEvent::Show)
            shown();
        return false;
    }

private:
    void shown()
    {
        // Sent before the window is mapped, so the window manager learns the owner in time.
        if (QWidget* strip = floatingWindow(watched)) {
            watched->winId();
            if (QWindow* handle = watched->windowHandle())
                handle->setTransientParent(strip->windowHandle());
        }
        moveClear(watched, true);
        QTimer::singleShot(windowManagerSettleMs, this, [window = watched] {
            if (window && window->isVisible())
                moveClear(window, false);
        });
    }

    QPointer<QWidget> watched;
};

} // namespace

namespace WindowStacking
{

void keepClearOfFloatingWindows(QWidget* window)
{
    window->installEventFilter(new ClearOfFloatingWindows(window));
}

QRect placeClear(const QRect& frame, const QRect& avoid, const QRect& screen)
{
    if (!frame.intersects(avoid))
        return frame;
    QRect below = frame;
    below.moveTop(avoid.bottom() + 1 + gap);
    if (screen.contains(below))
        return below;
    QRect above = frame;
    above.moveBottom(avoid.top() - 1 - gap);
    if (screen.contains(above))
        return above;
    return frame;
}

} // namespace WindowStacking
