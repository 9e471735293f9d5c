#!/bin/sh
# Brings Kelvora's own window to the front. Kelvora runs this script itself, so the parent
# process is Kelvora. Without X11 or xdotool it does nothing. Needs xprop and xwininfo.
set -u

[ -n "${DISPLAY:-}" ] || exit 0
command -v xdotool >/dev/null 2>&1 || exit 0

# The strip never takes the keyboard and a menu is not the window manager's to raise: only a
# window that takes input can come to the front. Without one there is nothing to do.
window=
for candidate in $(xdotool search --onlyvisible --pid "$PPID" 2>/dev/null); do
    xprop -id "$candidate" WM_HINTS 2>/dev/null | grep -q 'focus: False' && continue
    xwininfo -id "$candidate" 2>/dev/null | grep -q 'Override Redirect State: yes' && continue
    window=$candidate
    break
done
[ -n "$window" ] || exit 0

# A window manager activates through _NET_ACTIVE_WINDOW; a bare X server lacks it, so raise and
# focus directly there. --sync waits for the window manager, but never for long.
if ! timeout 2 xdotool windowactivate --sync "$window" >/dev/null 2>&1; then
    xdotool windowraise "$window" windowfocus "$window" >/dev/null 2>&1
fi
exit 0
