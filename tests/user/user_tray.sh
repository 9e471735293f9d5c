#!/bin/sh
# A tray that starts after Kelvora (as a panel does after a login item) gets Kelvora's icon; a
# message box opens clear of the strip; a left click on the icon opens the menu bar's Edit, View
# and Support menus, where View > Minimize shrinks the strip to its handle; the right-click menu
# ends with Quit, which saves and exits.
set -eu
. "$(dirname "$0")/lib.sh"
start_openbox

prefs="$XDG_DATA_HOME/Kelvora/Kelvora.js"
mkdir -p "$(dirname "$prefs")"
printf '{"initDate": 4000000000, "BookmarksFile": "%s", "TypersFile": "%s", "MemosFile": "%s"}' \
    "$HOME/Bookmarks.txt" "$HOME/Typers.txt" "$HOME/Memos.txt" >"$prefs"
# No opener on the PATH: "Edit Menu..." can only say so in a message box.
PATH=/nonexistent "$KELVORA_APP" >"$KELVORA_WORK/app.log" 2>&1 &
app=$!
bar=$(wait_for_window "$app") || { cat "$KELVORA_WORK/app.log"; fail "no window appeared"; }
wait_for_geometry "$bar" "441,441 558x18" "the strip at start"

start_tray
icon=$(wait_for_new_window "$app" "$bar") || fail "no tray icon after the tray started"

# The message box would be centred on the screen, as the strip is: it goes below it instead.
xdotool mousemove 500 450 click 1
sleep 0.4
xdotool key Up Up Return # Choose File.., Edit Menu...
message=$(wait_for_new_window "$app" "$bar" "$icon") ||
    { cat "$KELVORA_WORK/app.log"; fail "no message box"; }
wait_clear_of_strip "$message" "$bar" "the message box"

eval "$(xdotool getwindowgeometry --shell "$icon")"

xdotool mousemove $((X + 8)) $((Y + 8)) click 1
sleep 0.4
xdotool key Down Down Right # Edit, View, into View
sleep 0.4
xdotool key Down Down Down Return # Bookmarks, Typers, Memos, Minimize
wait_for_geometry "$bar" "711,441 18x18" "the strip after View > Minimize"

xdotool mousemove $((X + 8)) $((Y + 8)) click 3
sleep 0.4
xdotool key Up Return # the last item: Quit
wait_for_end "$app" "after Quit in the tray's menu" || fail "exit status $? after Quit"
grep -q '"windowSize": "Min"' "$prefs" || fail "windowSize is not Min"
echo "user_tray: passed"
