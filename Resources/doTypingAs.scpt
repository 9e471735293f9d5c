#!/bin/sh
# Has the focused application receive the clipboard's text: sends it the paste key (KEY, for a
# terminal shift+Insert; ctrl+v when not given), then Return when FLAG is 1 (the typed text
# ended with a line end that was taken off it). Kelvora has waited for the user's modifier keys
# to come up; --clearmodifiers covers what is still held.
# Usage: doTypingAs.scpt FLAG [KEY]
# Needs X11 (or XWayland) with xdotool. Without X11 or xdotool it does nothing.
set -u
flag=${1:-0}
paste=${2:-ctrl+v}

[ -n "${DISPLAY:-}" ] || exit 0
command -v xdotool >/dev/null 2>&1 || exit 0

# The paste key is what the user waits for: no other program starts before it.
xdotool key --clearmodifiers "$paste" 2>/dev/null || exit 0
[ "$flag" = 1 ] || exit 0
# Some toolkits fetch the pasted text asynchronously: let it land before the line end.
sleep 0.15
xdotool key --clearmodifiers Return 2>/dev/null
exit 0
