#!/bin/sh
# Brings Kelvora's own window to the front. Kelvora runs this script itself, so the parent
# process is Kelvora. Without X11 or xdotool it does nothing.
set -u

[ -n "${DISPLAY:-}" ] || exit 0
command -v xdotool >/dev/null 2>&1 || exit 0

window=$(xdotool search --onlyvisible --pid "$PPID" 2>/dev/null | head -n 1)
[ -n "$window" ] || exit 0

# A window manager activates through _NET_ACTIVE_WINDOW; a bare X server lacks it, so raise and
# focus directly there. --sync waits for the window manager, but never for long.
if ! timeout 2 xdotool windowactivate --sync "$window" >/dev/null 2>&1; then
    xdotool windowraise "$window" windowfocus "$window" >/dev/null 2>&1
fi
exit 0
