#pragma once

// The strip is a window of its own kind: on every workspace, out of taskbars and pagers, and
// kept where we placed it whatever the window manager's timing. Qt has no word for these, nor
// for the frame a window manager puts around our dialogs, so they are asked of the X server
// here; off X11 (the offscreen tests, a Wayland session chosen by the user) they do nothing.

#include <QMargins>

#include <optional>

class QWidget;

namespace FloatingWindow
{

// Asks the window manager to show the window on every workspace and to leave it out of
// taskbars and pagers: read when the window is mapped, and asked again once it is, for window
// managers that placed it on one workspace.
void keepOnEveryWorkspace(QWidget* window);

// Keeps Qt's idea of where the window lies equal to the X server's. A window manager may frame
// the window, let Qt learn its place inside a frame that still stands at 0,0, then move the
// frame without a word: Qt would then open the window's menus at the screen's corner and map
// drops beside the window. Checked once the window is framed, whenever its frame moves, at
// each press in the window and when a drag arrives. Call once, before the window is shown.
void keepOriginTrue(QWidget* window);

// Whether the X server shows the window (mapped) where Qt has it; true where that cannot be
// told.
bool shownWhereQtHasIt(QWidget* window);

// The margins of the frame the window manager puts around the window, as it announces them. For
// a window not mapped yet they are asked of the window manager; nothing off X11 or when the
// window manager does not say.
std::optional<QMargins> frameExtents(QWidget* window);

} // namespace FloatingWindow
