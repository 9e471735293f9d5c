// The bar's placement: one remembered position per size, kept on the main screen, stored once a
// move has settled with the mouse button up.

#include "bar/windowbevelbuttons.h"

#include "app/app.h"
#include "app/texts.h"

#include <QRect>

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
        QWidget::resize(coordinate(qMax<qint64>(wanted, minimumWidth())), height());
    }

    const qint64 top = prefs.Get(positionKey(Keys::TopSuffix)).toLongLong();
    if (top > 0) {
        const qint64 left = prefs.Get(positionKey(Keys::LeftSuffix)).toLongLong();
        move(coordinate(left), coordinate(top));
        adjustPosition();
        return;
    }

    // No stored top edge: centred in the available area, measured from 0, 0; nothing stored.
    const QRect available = app.platform().availableGeometry();
    const auto centred = [](int room, int extent) {
        return static_cast<int>(std::trunc((room - extent) / 2.0));
    };
    move(centred(available.width(), width()), centred(available.height(), height()));
}

void WindowBevelButtons::adjustPosition()
{
    App& app = *App::instance();
    const QRect screen = app.platform().screenGeometry();
    const QRect available = app.platform().availableGeometry();

    // One bound per axis: the left edge wins over the right, the menu bar over the bottom. The
    // bottom bound is the full screen height, so the bar may cover a dock there.
    qint64 left = x();
    if (left < 0)
        left = 0;
    else if (left > available.width() - width())
        left = available.width() - width();
    qint64 top = y();
    if (top < app.MenubarHeight)
        top = app.MenubarHeight;
    else if (top > screen.height() - height())
        top = screen.height() - height();

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
        hasMovedTimer->Reset();
}
