#include "bar/actionnotificationreceiverwindowhasmoved.h"

#include "app/app.h"
#include "bar/windowbevelbuttons.h"

void ActionNotificationReceiverWindowHasMoved::PerformAction()
{
    // The bar is reached through its single instance, not through a reference of our own.
    WindowBevelButtons* bar = WindowBevelButtons::instance();
    if (!bar || !bar->hasMovedTimer)
        return;
    if (App::instance()->platform().mouseButtonDown())
        bar->hasMovedTimer->Reset();
    else
        bar->adjustPosition();
}
