#!/bin/sh
# Press benchmark, measured as the user waits: the Typers button is clicked and the time until
# its menu is mapped and painted is taken, for entries files of 100 to 100,000 lines, unchanged
# and changed before every press; then Kelvora's peak memory after ten presses. Run it under
# run-under-xvfb.sh from a Release build:
#   KELVORA_LATENCY=build/tests/bench_menu_latency \
#       tests/user/run-under-xvfb.sh tests/bench/menu.sh build/Kelvora.app
set -eu
. "$(dirname "$0")/../user/lib.sh"
start_openbox
presses=${PRESSES:-7}
work=$KELVORA_WORK
cp -R "${KELVORA_APP%/Contents/MacOS/Kelvora}" "$work/Kelvora.app"
mkdir -p "$XDG_DATA_HOME/Kelvora"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for lines in ${LINES_LIST:-100 1000 10000 100000}; do
    for mode in unchanged changed; do
        seq 1 "$lines" | sed 's/^/typer entry number /' >"$work/Typers.txt"
        printf '{"initDate": 4000000000, "windowLeft": 300, "windowTop": 200}' \
            >"$XDG_DATA_HOME/Kelvora/Kelvora.js"
        "$work/Kelvora.app/Contents/MacOS/Kelvora" >"$work/app.log" 2>&1 &
        app=$!
        wait_for_window "$app" >/dev/null
        sleep 0.5
        file=
        [ "$mode" = changed ] && file=$work/Typers.txt
        # shellcheck disable=SC2086
        "$KELVORA_LATENCY" 588 209 "$presses" $file >"$work/times"
        mapped=$(sed 's/.*mapped \([0-9.]*\).*/\1/' "$work/times" | median)
        painted=$(sed 's/.*painted \([0-9.]*\).*/\1/' "$work/times" | median)
        peak=$(awk '/VmHWM/ { print int($2 / 1024) }' "/proc/$app/status")
        echo "$lines lines, $mode: mapped $mapped ms, painted $painted ms (median of $presses)," \
            "peak RSS $peak MB after $presses presses"
        terminate "$app"
    done
done
