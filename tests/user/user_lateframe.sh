#!/bin/sh
# The strip under a window manager that frames it late (tests/user/lateframewm.cpp), at four
# timings of telling the strip and moving the frame: the Bookmarks menu opens under its button,
# text dragged onto Typers is added, and the stored position stays the one the user chose.
set -eu
. "$(dirname "$0")/lib.sh"
[ -x "${KELVORA_LATEFRAMEWM:-}" ] || fail "KELVORA_LATEFRAMEWM does not name the window manager"
[ -x "${KELVORA_PASTETARGET:-}" ] || fail "KELVORA_PASTETARGET does not name the paste target"
work=$KELVORA_WORK
printf 'One\thttps://one.example\n' >"$work/Bookmarks.txt"
key() { sed -n "s/^ *\"$1\": \(.*\)$/\1/p" "$prefs" | sed 's/,$//'; }

# The drag's source, mapped at 0,0 before any window manager runs, away from the strip.
"$KELVORA_PASTETARGET" "$work/target.out" >"$work/target.log" 2>&1 &
target=$(wait_for_window $!) || fail "the target window did not appear"
xdotool windowfocus --sync "$target" type 'dropped text'

wm=
trap 'kill $wm 2>/dev/null || true' EXIT
for timing in 400/600 50/600 400/0 1200/300; do
    : >"$work/wm.log"
    "$KELVORA_LATEFRAMEWM" "${timing%/*}" "${timing#*/}" >"$work/wm.log" 2>&1 &
    wm=$!
    wait_until 100 'grep -q managing "$work/wm.log"' ||
        fail "$timing: the window manager did not start: $(cat "$work/wm.log")"
    printf 't1' >"$work/Typers.txt"
    write_prefs '{"BookmarksFile": "%s", "TypersFile": "%s", "initDate": 4000000000,
        "windowLeft": 300, "windowTop": 200}' "$work/Bookmarks.txt" "$work/Typers.txt"
    "$KELVORA_APP" >>"$work/app.log" 2>&1 &
    app=$!
    bar=$(wait_for_window "$app") || { cat "$work/app.log"; fail "$timing: no strip appeared"; }
    # Framed once the frame has left the screen's corner: it then stands where the strip asked
    # to be (the frame's or the strip's top-left corner there, by who asked last).
    wait_until 200 'X=0 Y=0; position "$bar"; [ "$X" -ge 300 ]' || true
    sx=$X sy=$Y
    [ "$sx" -ge 300 ] && [ "$sx" -le 301 ] || fail "$timing: the strip was framed at $sx,$sy"

    xdotool mousemove $((sx + 100)) $((sy + 9)) click 1
    menu=$(wait_for_new_window "$app" "$bar") || fail "$timing: no Bookmarks menu"
    position "$menu"
    [ "$X" -eq $((sx + 18)) ] && [ "$Y" -ge $((sy + 16)) ] && [ "$Y" -le $((sy + 20)) ] ||
        fail "$timing: the Bookmarks menu opened at $X,$Y, not under its button"
    xdotool key Escape

    # Onto Typers, which adds the text.
    xdotool windowfocus --sync "$target" key ctrl+a
    start_drag 0 0 $((sx + 288)) $((sy + 9))
    xdotool mousemove $((sx + 290)) $((sy + 9)) sleep 0.2 mousemove $((sx + 288)) $((sy + 9)) \
        sleep 0.2 mouseup 1
    wait_until 60 '[ "$(tail -n 1 "$work/Typers.txt")" = "dropped text" ]' ||
        fail "$timing: the drop on Typers was lost"

    terminate "$app" || { cat "$work/app.log"; fail "$timing: Kelvora exited with an error"; }
    [ "$(key windowLeft),$(key windowTop)" = 300,200 ] ||
        fail "$timing: stored $(key windowLeft),$(key windowTop), not the chosen 300,200"
    kill "$wm"
    wait "$wm" 2>/dev/null || true
done
echo "user_lateframe: passed"
