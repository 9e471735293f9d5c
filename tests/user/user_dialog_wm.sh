#!/bin/sh
# Under a window manager that minimises dialogs: the text dialog opens beside the strip by the
# corner; minimising it (and the strip with it) leaves both on screen; the tray's menu opens
# meanwhile, Edit acts on the field, Quit closes the dialog without acting and saves.
set -eu
. "$(dirname "$0")/lib.sh"
start_openbox
work=$KELVORA_WORK
write_prefs '{"initDate": 4000000000, "windowLeft": 2, "windowTop": 2, "TypersFile": "%s"}' \
    "$work/Typers.txt"
printf 't1' >"$work/Typers.txt"
printf 'hello world' | xclip -selection clipboard -i >/dev/null 2>&1
"$KELVORA_APP" >"$work/app.log" 2>&1 &
app=$!
bar=$(wait_for_window "$app") || { cat "$work/app.log"; fail "no strip appeared"; }
wait_for_geometry "$bar" "2,2 558x18" "the strip"
start_tray
icon=$(wait_for_new_window "$app" "$bar") || fail "no tray icon"
xdotool mousemove 290 11 click 1
menu=$(wait_for_new_window "$app" "$bar" "$icon") || fail "the Typers menu did not open"
xdotool keydown shift key Down Return keyup shift
dialog=$(wait_for_new_window "$app" "$bar" "$icon" "$menu") || fail "the text dialog did not open"
wait_clear_of_strip "$dialog" "$bar" "the dialog"
x=$(window_geometry "$dialog" | cut -d, -f1) # centred under the strip's middle, 281
[ $((x + 228 - 281)) -le 20 ] && [ $((281 - x - 228)) -le 20 ] || fail "the dialog at x $x"
xdotool windowminimize "$dialog" sleep 0.5
for window in "$bar" "$dialog"; do
    wait_until 60 'xprop -id "$window" WM_STATE | grep -q "state: Normal"' ||
        fail "window $window stays minimised"
done
eval "$(xdotool getwindowgeometry --shell "$icon")"
tray_menu() { xdotool mousemove $((X + 8)) $((Y + 8)) click 1 sleep 0.5 key "$@" sleep 0.3; }
printf 'other' | xclip -selection clipboard -i >/dev/null 2>&1
tray_menu Down Right Up Return   # into Edit, its last item: Select All
tray_menu Down Right Down Return # Copy; the field keeps its text, which OK would add
[ "$(xclip -selection clipboard -o)" = "hello world" ] || fail "Edit > Copy did not copy the field"
rm "$prefs"
tray_menu Up Return # Quit
wait_for_end "$app" "after Quit during the dialog" || fail "exit status $? after Quit"
[ "$(cat "$work/Typers.txt")" = "t1" ] || fail "Quit added the dialog's entry"
grep -q '"windowLeft": 2' "$prefs" || fail "Quit during the dialog saved no preferences"
echo "user_dialog_wm: passed"
