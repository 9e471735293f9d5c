#!/bin/sh
# Has the focused application receive the clipboard's text: sends it the paste key (KEY, for a
# terminal shift+Insert; ctrl+v when not given), then Return when FLAG is 1 (the typed text
# ended with a line end that was taken off it).
# Usage: doTypingAs.scpt FLAG [KEY]
# Needs X11 (or XWayland) with xdotool; xinput to wait for held modifier keys. Without X11 or
# xdotool it does nothing.
set -u
flag=${1:-0}
paste=${2:-ctrl+v}

[ -n "${DISPLAY:-}" ] || exit 0
command -v xdotool >/dev/null 2>&1 || exit 0

# The user may still hold the modifiers of the click or shortcut that chose the entry; a held
# Alt or Shift would turn the paste key into another key. Wait until they are up, about a second
# at most. Key states come from the keyboards themselves (evdev key codes of Shift, Control,
# Alt, AltGr and Super). --clearmodifiers below covers what is still held after that.
modifiers_held() {
    command -v xinput >/dev/null 2>&1 || return 1
    for device in $(xinput list --short 2>/dev/null |
        sed -n 's/.*id=\([0-9][0-9]*\).*slave  *keyboard.*/\1/p'); do
        if xinput query-state "$device" 2>/dev/null |
            grep -Eq '^[[:space:]]*key\[(37|105|50|62|64|108|92|133|134)\]=down'; then
            return 0
        fi
    done
    return 1
}
tries=0
while [ $tries -lt 20 ] && modifiers_held; do
    sleep 0.05
    tries=$((tries + 1))
done

xdotool key --clearmodifiers "$paste" 2>/dev/null || exit 0
if [ "$flag" = 1 ]; then
    # Some toolkits fetch the pasted text asynchronously: let it land before the line end.
    sleep 0.15
    xdotool key --clearmodifiers Return 2>/dev/null || exit 0
fi
exit 0
