#!/bin/sh
# The strip under a window manager that frames it late (tests/user/lateframewm.cpp), at four
# timings of telling the strip and moving the frame: the Bookmarks menu opens under its button,
# text dragged onto Typers is added, and the stored position stays the one the user chose.
set -eu
. "$(dirname "$0")/lib.sh"
[ -x "${KELVORA_LATEFRAMEWM:-}" ] || fail "KELVORA_LATEFRAMEWM does not name the window manager"
[ -x "${KELVORA_PASTETARGET:-}" ] || fail "KELVORA_PASTETARGET does not name the paste target"
work=$KELVORA_WORK
prefs="$XDG_DATA_HOME/Kelvora/Kelvora.js"
mkdir -p "$(dirname "$prefs")"
printf 'One\thttps://one.example\n' >"$work/Bookmarks.txt"
printf 't1' >"$work/Typers.txt"
key() { sed -n "s/^ *\"$1\": \(.*\)$/\1/p" "$prefs" | sed 's/,$//'; }

# The drag's source, mapped before any window manager runs, away from the strip.
"$KELVORA_PASTETARGET" "$work/target.out" >"$work/target.log" 2>&1 &
target=$(wait_for_window $!) || fail "the target window did not appear"
xdotool windowfocus --sync "$target" type 'dropped text'

wm=
trap 'kill $wm 2>/dev/null || true' EXIT
for timing in 400/600 50/600 400/0 1200/300; do
    : >"$work/wm.log"
    "$KELVORA_LATEFRAMEWM" "${timing%/*}" "${timing#*/}" >"$work/wm.log" 2>&1 &
    wm=$!
    wait_for_file "$work/wm.log" && grep -q managing "$work/wm.log" ||
        fail "$timing: the window manager did not start: $(cat "$work/wm.log")"
    cat >"$prefs" <<JSON
{"BookmarksFile": "$work/Bookmarks.txt", "TypersFile": "$work/Typers.txt",
 "initDate": 4000000000, "windowLeft": 300, "windowTop": 200}
JSON
    "$KELVORA_APP" >>"$work/app.log" 2>&1 &
    app=$!
    bar=$(wait_for_window "$app") || { cat "$work/app.log"; fail "$timing: no strip appeared"; }
    # Framed once the frame has left the screen's corner: it then stands where the strip asked
    # to be (the frame's or the strip's top-left corner there, by who asked last).
    for _ in $(seq 1 200); do
        eval "$(xwininfo -id "$bar" | awk '/Absolute upper-left X/ { print "sx=" $4 }
            /Absolute upper-left Y/ { print "sy=" $4 }')"
        [ "$sx" -ge 300 ] && break
        sleep 0.05
    done
    [ "$sx" -ge 300 ] && [ "$sx" -le 301 ] || fail "$timing: the strip was framed at $sx,$sy"

    xdotool mousemove $((sx + 100)) $((sy + 9)) click 1
    menu=$(wait_for_new_window "$app" "$bar") || fail "$timing: no Bookmarks menu"
    eval "$(xwininfo -id "$menu" | awk '/Absolute upper-left X/ { print "mx=" $4 }
        /Absolute upper-left Y/ { print "my=" $4 }')"
    [ "$mx" -eq $((sx + 18)) ] && [ "$my" -ge $((sy + 16)) ] && [ "$my" -le $((sy + 20)) ] ||
        fail "$timing: the Bookmarks menu opened at $mx,$my, not under its button"
    xdotool key Escape

    # Past the drag distance in the source, then onto Typers, which adds the text.
    xdotool windowfocus --sync "$target" key ctrl+a
    xdotool mousemove 30 10 sleep 0.1 mousedown 1 sleep 0.1 mousemove 60 40 sleep 0.3
    for step in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove $((60 + (sx + 288 - 60) * step / 10)) $((40 + (sy + 9 - 40) * step / 10))
        sleep 0.05
    done
    xdotool mousemove $((sx + 290)) $((sy + 9)) sleep 0.2 mousemove $((sx + 288)) $((sy + 9))
    sleep 0.2
    xdotool mouseup 1
    for _ in $(seq 1 60); do
        [ "$(tail -n 1 "$work/Typers.txt")" = 'dropped text' ] && break
        sleep 0.05
    done
    [ "$(tail -n 1 "$work/Typers.txt")" = 'dropped text' ] || fail "$timing: the drop on Typers was lost"

    terminate "$app" || { cat "$work/app.log"; fail "$timing: Kelvora exited with an error"; }
    printf 't1' >"$work/Typers.txt"
    [ "$(key windowLeft),$(key windowTop)" = 300,200 ] ||
        fail "$timing: stored $(key windowLeft),$(key windowTop), not the chosen 300,200"
    kill "$wm"
    wait "$wm" 2>/dev/null || true
done
echo "user_lateframe: passed"
