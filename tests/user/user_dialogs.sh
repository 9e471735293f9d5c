#!/bin/sh
# Adding entries through the dialogs of the real Kelvora under a window manager: an entry chosen
# with Shift held (by click and by Return) opens the bookmark dialog with the keyboard in its
# URL field, clear of the strip, and Return adds the line before the chosen entry; text dropped
# on Bookmarks opens it too and Return appends; the text dialog's OK waits for a valid text.
set -eu
. "$(dirname "$0")/lib.sh"
start_openbox
[ -x "${KELVORA_PASTETARGET:-}" ] || fail "KELVORA_PASTETARGET does not name the paste target"
work=$KELVORA_WORK
printf 'One\thttps://one.example\nTwo\thttps://two.example' >"$work/Bookmarks.txt"
printf 't1\nt2' >"$work/Typers.txt"
mkdir -p "$XDG_DATA_HOME/Kelvora"
printf '{"initDate": 4000000000, "windowLeft": 300, "windowTop": 200}' \
    >"$XDG_DATA_HOME/Kelvora/Kelvora.js"

# The window the user works in; it is also the source of the dragged text.
"$KELVORA_PASTETARGET" "$work/target.out" >"$work/target.log" 2>&1 &
target=$(wait_for_window $!) || fail "the target window did not appear"
"$work/Kelvora.app/Contents/MacOS/Kelvora" >"$work/app.log" 2>&1 &
app=$!
bar=$(wait_for_window "$app") || { cat "$work/app.log"; fail "no strip appeared"; }
wait_for_geometry "$bar" "300,200 558x18" "the strip"

# Prints the id of Kelvora's window other than the strip (a menu or a dialog) once it shows.
other_window() {
    wait_for_new_window "$app" "$bar" || { cat "$work/app.log" >&2; fail "${1:-a window} did not appear"; }
}
# Waits until the dialog has the keyboard and stands clear of the strip.
check_dialog() {
    dialog=$(other_window "the dialog after $1")
    for _ in $(seq 1 60); do
        [ "$(xdotool getwindowfocus)" = "$dialog" ] && break
        sleep 0.05
    done
    [ "$(xdotool getwindowfocus)" = "$dialog" ] || fail "the dialog has no keyboard focus"
    wait_clear_of_strip "$dialog" "$bar" "the dialog"
}
# Waits until a file holds exactly the text.
expect_file() {
    printf '%s' "$2" >"$work/expected"
    for _ in $(seq 1 60); do
        cmp -s "$1" "$work/expected" && return 0
        sleep 0.05
    done
    echo "expected: $(od -c "$work/expected")" >&2
    echo "found:    $(od -c "$1")" >&2
    fail "$3"
}
closed() {
    for _ in $(seq 1 60); do
        xdotool search --onlyvisible --pid "$app" 2>/dev/null | grep -v -q -x "$bar" || return 0
        sleep 0.05
    done
    fail "the dialog stayed open"
}
tab='	'
printf '%s' 'Example https://www.example.org/x' | xclip -selection clipboard -i >/dev/null 2>&1

# Shift+click on the second bookmark; what the user types replaces the address. The menu opens
# under its button, which it would not where Qt had the strip elsewhere.
xdotool mousemove 400 209 click 1
eval "$(xdotool getwindowgeometry --shell "$(other_window "the Bookmarks menu")")"
[ "$X" -eq 318 ] && [ "$Y" -ge 216 ] && [ "$Y" -le 220 ] ||
    fail "the Bookmarks menu opened at $X,$Y, not under its button"
xdotool mousemove $((X + 40)) $((Y + 32)) keydown shift click 1 keyup shift
check_dialog "Shift+click"
xdotool type 'https://typed.example'
xdotool key Return
expect_file "$work/Bookmarks.txt" "One${tab}https://one.example
Example${tab}https://typed.example
Two${tab}https://two.example" "Shift+click did not add the bookmark before the chosen one"
closed

# Shift+Return on the second bookmark.
xdotool mousemove 400 209 click 1
other_window "the Bookmarks menu" >/dev/null
xdotool keydown shift key Down Down Return keyup shift
check_dialog "Shift+Return"
xdotool key Return
expect_file "$work/Bookmarks.txt" "One${tab}https://one.example
Example${tab}https://www.example.org/x
Example${tab}https://typed.example
Two${tab}https://two.example" "Shift+Return did not add the bookmark before the chosen one"
closed

# Text dragged from the target window onto Bookmarks: copied, never moved out of the source.
xdotool windowactivate --sync "$target"
xdotool type 'Dropped https://drop.example'
eval "$(xdotool getwindowgeometry --shell "$target")"
# A pixel of the Bookmarks button, which looks pressed while it would take the drag; its look
# at rest is taken with the pointer away from it.
pixel() { import -window root -crop 1x1+470+209 -depth 8 txt:- 2>/dev/null | tail -n 1; }
xdotool mousemove 700 600 sleep 0.2
unpressed=$(pixel)
# Past the drag distance first, so the source starts the drag, then onto Bookmarks; the drop
# comes once the button shows it would take the text, as a hand waits to see it.
xdotool windowactivate --sync "$target" key ctrl+a sleep 0.2
start_drag "$X" "$Y" 400 209
over=no
wait_until 10 'xdotool mousemove 402 209 sleep 0.05 mousemove 398 209 sleep 0.05 mousemove 400 209 \
    sleep 0.05 && [ "$(pixel)" != "$unpressed" ]' && over=yes
xdotool mouseup 1
[ "$over" = yes ] || fail "Bookmarks never showed it would take the dragged text"
check_dialog "the drop"
xdotool key Return
expect_file "$work/Bookmarks.txt" "One${tab}https://one.example
Example${tab}https://www.example.org/x
Example${tab}https://typed.example
Two${tab}https://two.example
Dropped${tab}https://drop.example" "the dropped text was not appended"
# The editor proposed a move: taken as a copy, the text stays in it.
expect_file "$work/target.out" "Dropped https://drop.example" \
    "the drop took the text out of the editor"
closed

# A one-letter clipboard leaves the text dialog's OK disabled until a word is typed.
printf '%s' 'x' | xclip -selection clipboard -i >/dev/null 2>&1
xdotool mousemove 588 209 click 1
other_window "the Typers menu" >/dev/null
xdotool keydown shift key Down Return keyup shift
check_dialog "Shift+Return on a typer"
xdotool key Return
sleep 0.3
[ "$(xdotool getwindowfocus)" = "$dialog" ] || fail "Return closed the dialog while OK was disabled"
xdotool type 'hello world'
# While the file cannot be written the dialog stays, and the message over it can be closed.
mv "$work/Typers.txt" "$work/Typers.kept" && mkdir "$work/Typers.txt"
xdotool key Return
message=$(wait_for_new_window "$app" "$bar" "$dialog") || fail "no message about the failed write"
for _ in $(seq 1 60); do
    [ "$(xdotool getwindowfocus)" = "$message" ] && break
    sleep 0.05
done
xdotool key Return
for _ in $(seq 1 60); do
    visible_windows "$app" | grep -q -x "$message" || break
    sleep 0.05
done
visible_windows "$app" | grep -q -x "$message" && fail "the message over the dialog cannot be closed"
visible_windows "$app" | grep -q -x "$dialog" || fail "the dialog closed although nothing was written"
rmdir "$work/Typers.txt" && mv "$work/Typers.kept" "$work/Typers.txt"
xdotool windowactivate --sync "$dialog" key Return
expect_file "$work/Typers.txt" "hello world
t1
t2" "the typed entry was not added"
closed

terminate "$app" || { cat "$work/app.log"; fail "Kelvora exited with an error"; }
echo "user_dialogs: passed"
