#pragma once

// Receives the run-out of the bar's move debounce: clamps and stores the bar's position once the
// mouse button is up, or waits another period while it is still held (a drag in progress).

#include "bar/customtimer.h"

class ActionNotificationReceiverWindowHasMoved : public ActionNotificationReceiver
{
public:
    void PerformAction() override;
};
