#!/bin/sh
# Under a window manager (openbox, or xfwm4 as KELVORA_WM says): the start-up question, a failed
# typer's message and the text dialog open with the keyboard, their whole frames on screen and
# clear of the strip, and Return closes the message, not a terminal's line. Minimising the dialog
# (and the strip with it) leaves both on screen; the tray's menu opens meanwhile, Edit acts on the
# field, Quit closes the dialog without acting and saves.
set -eu
. "$(dirname "$0")/lib.sh"
start_"${KELVORA_WM:-openbox}"
work=$KELVORA_WORK
write_prefs '{"windowLeft": 2, "windowTop": 300, "TypersFile": "%s"}' "$work/Typers.txt"
printf 't1\n<#!exit 3>' | tee "$work/Typers.txt" >"$work/Typers.before"
printf 'hello world' | xclip -selection clipboard -i >/dev/null 2>&1
"$KELVORA_APP" >"$work/app.log" 2>&1 &
app=$!
bar=$(wait_for_strip "$app") || { cat "$work/app.log"; fail "no strip appeared"; }
wait_for_geometry "$bar" "2,300 558x18" "the strip"
# Prints the id of a new window of Kelvora's once it has the keyboard, clear of the strip.
shown() { # NAME KNOWN_ID...
    name=$1 && shift
    new=$(wait_for_new_window "$app" "$bar" "$@") || fail "$name did not appear"
    wait_until 60 '[ "$(xdotool getwindowfocus)" = "$new" ]' || fail "$name has no keyboard"
    wait_clear_of_strip "$new" "$bar" "$name" && echo "$new"
}
shown "the start-up question" >/dev/null && xdotool key Return
xterm -e sh >/dev/null 2>&1 &
xdotool windowactivate --sync "$(wait_for_window $!)" type "echo HALF >$work/half"
xdotool mousemove 290 309 click 1
menu=$(wait_for_new_window "$app" "$bar") || fail "the Typers menu did not open"
xdotool key Down Down Return
shown "a failed typer's message" "$menu" >/dev/null && xdotool key Return
wait_until 60 '[ "$(visible_windows "$app")" = "$bar" ]' || fail "Return left the message open"
[ ! -e "$work/half" ] || fail "Return after the message ran the terminal's line"
xdotool key Return # the terminal has the keyboard again
wait_for_file "$work/half" || fail "the terminal did not get the keyboard back"
start_tray
icon=$(wait_for_new_window "$app" "$bar") || fail "no tray icon"
xdotool mousemove 290 309 click 1
menu=$(wait_for_new_window "$app" "$bar" "$icon") || fail "the Typers menu did not open"
xdotool keydown shift key Down Return keyup shift
dialog=$(shown "the text dialog" "$icon" "$menu")
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
cmp -s "$work/Typers.txt" "$work/Typers.before" || fail "Quit added the dialog's entry"
grep -q '"windowLeft": 2' "$prefs" || fail "Quit during the dialog saved no preferences"
echo "user_dialog_wm: passed"
