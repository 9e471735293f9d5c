#pragma once

// The strip floats above every window and never takes the keyboard focus. A window of ours
// that wants the user's attention (a dialog, a message, the file chooser) must never lie under
// it: it is kept above the strip and, where it would overlap it, placed clear of it.

#include <QRect>

class QWidget;

namespace WindowStacking
{

// Call before the window is first shown. As it shows it becomes transient for the floating
// strip (window managers keep a transient above its owner) and moves clear of the strip when
// the two overlap; a window manager that places it over the strip again is overruled once.
void keepClearOfFloatingWindows(QWidget* window);

// Where a window with this frame goes so that it does not overlap `avoid`: unchanged when it
// does not, else just below `avoid`, else just above it, each only when it fits on `screen`;
// unchanged when neither fits (stacking then keeps it visible).
QRect placeClear(const QRect& frame, const QRect& avoid, const QRect& screen);

} // namespace WindowStacking
