#!/bin/sh
# Press benchmark, measured as the user waits: the Typers button is clicked and the time until
# its menu is mapped and painted is taken, for entries files of 100 to 1,000,000 lines, unchanged
# and changed before every press; beside it, for a changed file of up to 100,000 lines, the same
# press in a minimal Qt program that reads the file and pops up a fresh menu of every line (Qt's
# own floor, which takes minutes beyond). Then Kelvora's memory at the largest size: after the
# second press, after the tenth and at its peak. Run it under
# run-under-xvfb.sh from a Release build:
#   KELVORA_LATENCY=build/tests/bench_menu_latency KELVORA_FLOOR=build/tests/bench_minimal_menu \
#       tests/user/run-under-xvfb.sh tests/bench/menu.sh build/bundle/Kelvora.app
set -eu
. "$(dirname "$0")/../user/lib.sh"
start_openbox
presses=${PRESSES:-7}
work=$KELVORA_WORK
cp -R "${KELVORA_APP%/Contents/MacOS/Kelvora}" "$work/Kelvora.app"
mkdir -p "$XDG_DATA_HOME/Kelvora"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
rss() { awk '/VmRSS/ { print int($2 / 1024) }' "/proc/$1/status"; }

# Writes an entries file of LINES lines and starts Kelvora on it; its id is in $app.
start_kelvora() {
    seq 1 "$1" | sed 's/^/typer entry number /' >"$work/Typers.txt"
    printf '{"initDate": 4000000000, "windowLeft": 300, "windowTop": 200}' \
        >"$XDG_DATA_HOME/Kelvora/Kelvora.js"
    "$work/Kelvora.app/Contents/MacOS/Kelvora" >"$work/app.log" 2>&1 &
    app=$!
    wait_for_window "$app" >/dev/null
    sleep 0.5
}

# Presses PRESSES times (changing FILE before each, when given); prints the medians.
press() { # PRESSES [FILE]
    # shellcheck disable=SC2068
    "$KELVORA_LATENCY" 588 209 $@ >"$work/times"
    mapped=$(sed 's/.*mapped \([0-9.]*\).*/\1/' "$work/times" | median)
    painted=$(sed 's/.*painted \([0-9.]*\).*/\1/' "$work/times" | median)
    echo "mapped $mapped ms, painted $painted ms (median of $1)"
}

lines=
for lines in ${LINES_LIST:-100 1000 10000 100000 1000000}; do
    for mode in unchanged changed; do
        start_kelvora "$lines"
        file=
        [ "$mode" = changed ] && file=$work/Typers.txt
        echo "$lines lines, $mode: $(press "$presses" $file)"
        terminate "$app"
    done
    [ "$lines" -gt 100000 ] && continue
    "$KELVORA_FLOOR" "$work/Typers.txt" >/dev/null 2>&1 &
    floor=$!
    wait_for_window "$floor" >/dev/null
    sleep 0.5
    echo "$lines lines, changed, Qt floor: $(press "$presses" "$work/Typers.txt")"
    kill "$floor"
    wait "$floor" 2>/dev/null || true
done

start_kelvora "$lines"
press 2 "$work/Typers.txt" >/dev/null
second=$(rss "$app")
press 8 "$work/Typers.txt" >/dev/null
echo "$lines lines, changed at every press: RSS $second MB after the 2nd press, $(rss "$app") MB" \
    "after the 10th, peak $(awk '/VmHWM/ { print int($2 / 1024) }' "/proc/$app/status") MB"
terminate "$app"
