#include "platform/windowstacking.h"

#include <QApplication>
#include <QElapsedTimer>
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
        if (object != watched)
            return false;
        if (event->type() == QEvent::Show)
            shown();
        if (event->type() == QEvent::WindowActivate && !sinceActivated.isValid())
            sinceActivated.start();
        // A window manager that places the window itself once it is mapped (centred on the
        // strip it belongs to, say) is overruled, however late a loaded machine lets it come.
        if (event->type() == QEvent::Move && placing())
            QTimer::singleShot(0, this, [window = watched] {
                if (window && window->isVisible())
                    moveClear(window, false);
            });
        return false;
    }

private:
    void shown()
    {
        // Sent before the window is mapped, so the window manager learns the owner in time. A
        // window that belongs to another one of ours (a message over a dialog) keeps its owner.
        QWidget* strip = watched->parentWidget() ? nullptr : floatingWindow(watched);
        if (strip) {
            watched->winId();
            if (QWindow* handle = watched->windowHandle())
                handle->setTransientParent(strip->windowHandle());
        }
        moveClear(watched, true);
        sinceShown.start();
        sinceActivated.invalidate();
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
