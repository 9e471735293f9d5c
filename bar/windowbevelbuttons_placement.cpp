// The bar's placement: one remembered position per size, kept on the main screen, stored once a
// move has settled with the mouse button up. The main screen need not start at 0, 0 (a monitor
// may stand left of it): every bound is measured from its origin.

#include "bar/windowbevelbuttons.h"

#include "app/app.h"
#include "app/texts.h"
#include "platform/floatingwindow.h"

#include <QRect>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cmath>

namespace
{

// "window" + the text of "windowSize" (empty while absent) + "Left" or "Top".
QString positionKey(QLatin1StringView suffix)
{
    const QString size = App::instance()->Preferences().Get(Keys::windowSize).toString();
    return Keys::windowKeyPrefix + size + suffix;
}

// A stored coordinate as a window coordinate; an edited file may hold any number.
int coordinate(qint64 value)
{
    return static_cast<int>(std::clamp<qint64>(value, INT_MIN / 2, INT_MAX / 2));
}

} // namespace

void WindowBevelButtons::setPosition()
{
    App& app = *App::instance();
    auto& prefs = app.Preferences();
    stopHoldingPosition();

    const QVariant size = prefs.Get(Keys::windowSize);
    if (size.isValid()) {
        // Before any button was laid out the expanded width is unknown: the handle alone then.
        const qint64 wanted = size.toString() == BarTexts::Max ? currentWidth : minimumWidth();
        resize(coordinate(qMax<qint64>(wanted, minimumWidth())), height());
    }

    const qint64 top = prefs.Get(positionKey(Keys::TopSuffix)).toLongLong();
    if (top > 0) {
        const qint64 left = prefs.Get(positionKey(Keys::LeftSuffix)).toLongLong();
        move(coordinate(left), coordinate(top));
        adjustPosition();
        return;
    }

    // No stored top edge: centred in the available area's size, measured from the screen's
    // origin (the menu bar is not added); nothing stored.
    const QPoint origin = app.platform().screenGeometry().topLeft();
    const QRect available = app.platform().availableGeometry();
    const auto centred = [](int room, int extent) {
        return static_cast<int>(std::trunc((room - extent) / 2.0));
    };
    move(origin.x() + centred(available.width(), width()),
         origin.y() + centred(available.height(), height()));
}

void WindowBevelButtons::adjustPosition()
{
    App& app = *App::instance();
    const QRect screen = app.platform().screenGeometry();
    const QRect available = app.platform().availableGeometry();

    // One bound per axis: the left edge wins over the right, the panels along the top over the
    // bottom. The bottom bound is the work area's, so the strip never lies on a bottom panel
    // and its tray icon. A top edge of 0 would be stored as no position at all (the strip would
    // be centred at the next start), so without a top panel the strip stops one point lower.
    const qint64 originX = screen.x();
    const qint64 originY = screen.y();
    const qint64 highest = originY + qMax<qint64>(app.MenubarHeight, 1);
    const qint64 lowest = qint64(available.y()) + available.height() - height();
    qint64 left = x();
    if (left < originX)
        left = originX;
    else if (left > originX + available.width() - width())
        left = originX + available.width() - width();
    qint64 top = y();
    if (top < highest)
        top = highest;
    else if (top > lowest)
        top = lowest;

    if (left != x() || top != y())
        move(coordinate(left), coordinate(top));

    auto& prefs = app.Preferences();
    prefs.Set(positionKey(Keys::LeftSuffix), left);
    prefs.Set(positionKey(Keys::TopSuffix), top);
}

void WindowBevelButtons::Event_Moved()
{
    // Before the window has opened there is no timer yet; the opening places the bar itself.
    if (hasMovedTimer)
        hasMovedTimer->start();
}

void WindowBevelButtons::hasMovedTimer_Action()
{
    if (App::instance()->platform().mouseButtonDown()) {
        hasMovedTimer->start();
        return;
    }
    // A window manager may frame the bar somewhere else first (at the screen's corner, say)
    // and only later put it where it was placed: that passing place is not the user's choice,
    // nor is the place Qt asked for before the window manager has shown the bar there.
    if (awaitedPlace) {
        if (pos() != *awaitedPlace || !FloatingWindow::shownWhereQtHasIt(this))
            return;
        awaitedPlace.reset();
    }
    adjustPosition();
}
