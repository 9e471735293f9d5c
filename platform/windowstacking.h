#pragma once

// The strip floats above every window and never takes the keyboard focus. A window of ours
// that wants the user's attention (a dialog, a message, the file chooser) must never lie under
// it: it is kept above the strip and, where it would overlap it, placed clear of it.

#include <QRect>

class QWidget;

namespace WindowStacking
{

// Call before the window is first shown. As it shows it becomes transient for the floating
// strip (window managers keep a transient above its owner), is placed beside the strip with its
// whole frame clear of it, and takes the keyboard; a window manager that places it over the
// strip again is overruled once. A
// modal window takes over the messages already up, which then stay above it and usable. The
// window is never left minimised (see below).
void keepClearOfFloatingWindows(QWidget* window);

// A window manager that minimises one of our windows minimises its owner with it (the strip, when
// a dialog is minimised), although the window asks for no minimise function: the window is put
// back on screen at once, and so is the strip.
void restoreWhenMinimised(QWidget* window);

// Shows the window again however the window manager hid it (minimised, or on another workspace)
// and asks it to the front.
void bringBack(QWidget* window);

// Where a window with this frame goes when it opens: centred under `strip` (or over it, when
// there is no room below), kept on `screen`; unchanged when neither fits.
QRect placeBeside(const QRect& frame, const QRect& strip, const QRect& screen);

// Where a window with this frame goes so that it does not overlap `avoid`: unchanged when it
// does not, else placed beside `avoid` as above; unchanged when that does not fit either
// (stacking then keeps it visible).
QRect placeClear(const QRect& frame, const QRect& avoid, const QRect& screen);

} // namespace WindowStacking
