#!/bin/sh
# The real binary starts, shows its window, and on SIGTERM quits like the Quit command:
# the preferences file then holds "initDate". Every other way of ending saves it too, no quit
# waits on a message, and none waits for a long entries file to be read, at a press or a start.
set -eu
. "$(dirname "$0")/lib.sh"

prefs="$XDG_DATA_HOME/Kelvora/Kelvora.js"
log=$KELVORA_WORK/app.log
saved() {
    grep -q '"initDate": [0-9]' "$prefs" 2>/dev/null || { cat "$log"; fail "initDate not saved $1"; }
}
# A logout sends SIGHUP or SIGTERM, a terminal SIGINT: each one saves like Quit.
for signal in TERM HUP INT; do
    rm -f "$prefs"
    "$KELVORA_APP" >"$log" 2>&1 &
    app=$!
    wait_for_window "$app" >/dev/null || { cat "$log"; fail "no window appeared"; }
    terminate "$app" "$signal" || { cat "$log"; fail "exit status after SIG$signal"; }
    saved "after SIG$signal"
    [ "$(tail -c 1 "$prefs")" = "}" ] || fail "the file ends with a line end"
done

# An unreadable preferences file is reported once the strip is up, and SIGTERM while the report
# shows still quits and saves. A second start meanwhile leaves the one strip and exits 0.
printf '{ not json' >"$prefs"
"$KELVORA_APP" >"$log" 2>&1 &
app=$!
# The strip, the message and the login question (the unreadable file held no "initDate"): the
# windows are counted once all three are up, so that a late one is not taken for a second strip.
for _ in $(seq 1 100); do
    [ "$(visible_windows "$app" | wc -l)" -ge 3 ] && break
    sleep 0.05
done
[ "$(visible_windows "$app" | wc -l)" -ge 2 ] || { cat "$log"; fail "the strip waited for the message"; }
windows=$(xdotool search --onlyvisible --class Kelvora | wc -l)
"$KELVORA_APP" >"$KELVORA_WORK/second.log" 2>&1 &
wait_for_end $! "as a second start" || { cat "$KELVORA_WORK/second.log"; fail "the second start failed"; }
[ "$(xdotool search --onlyvisible --class Kelvora | wc -l)" -eq "$windows" ] || fail "a second strip showed"
terminate "$app" || { cat "$log"; fail "exit status after SIGTERM during the message"; }
saved "after SIGTERM during the start-up message"

# A save that fails at quit is reported, and the quit does not wait for anyone to read it.
mv "$prefs" "$prefs.kept"
"$KELVORA_APP" >"$log" 2>&1 &
app=$!
wait_for_window "$app" >/dev/null || { cat "$log"; fail "no window appeared"; }
mkdir "$prefs"
terminate "$app" || true
grep -q "$prefs" "$log" || { cat "$log"; fail "the failed save was not reported"; }
rmdir "$prefs"

# From a folder whose name is not UTF-8 it says why it cannot run there, and writes nothing. The
# entries files are named in the preferences: past the message they would otherwise be written
# into the machine's root folder, where a bundle path it cannot spell leads.
odd=$(printf '%s/caf\351' "$KELVORA_WORK") && mkdir "$odd" && cp -R "${KELVORA_APP%/Contents/MacOS/Kelvora}" "$odd/"
named=$KELVORA_WORK/named && mkdir "$named"
write_prefs '{"initDate": 4000000000, "BookmarksFile": "%s/B.txt", "TypersFile": "%s/T.txt",
    "MemosFile": "%s/M.txt"}' "$named" "$named" "$named" && cp "$prefs" "$named.js"
"$odd/Kelvora.app/Contents/MacOS/Kelvora" >"$log" 2>&1 &
app=$!
wait_for_window "$app" >/dev/null || { cat "$log"; fail "no message from a folder that is not UTF-8"; }
grep -q "is not UTF-8" "$log" || { cat "$log"; fail "the message does not say why"; }
status=0 && terminate "$app" || status=$?
[ "$status" -eq 1 ] || fail "exit status $status from a folder that is not UTF-8"
[ "$(ls "$odd")" = Kelvora.app ] && [ -z "$(ls "$named")" ] && cmp -s "$prefs" "$named.js" ||
    fail "files were written for a folder that is not UTF-8"

# Sends SIGTERM, which ends Kelvora within a second; the check allows half as much again, for a
# machine loaded by other tests.
quits_soon() { # WHEN
    start=$(date +%s%N)
    terminate "$app" || { cat "$log"; fail "exit status after SIGTERM $1"; }
    took=$((($(date +%s%N) - start) / 1000000))
    [ "$took" -le 1500 ] || fail "Kelvora ended $took ms after SIGTERM $1"
}

# SIGTERM during a press on a long entries file that changed since it was read: reading and
# building give way, and Kelvora saves and ends.
long=$KELVORA_WORK/long.txt
seq 1 1000000 | sed 's/^/m/' >"$long"
printf '{"initDate": 4000000000, "TypersFile": "%s"}' "$long" >"$prefs"
"$KELVORA_APP" >"$log" 2>&1 &
app=$!
strip=$(wait_for_window "$app") || { cat "$log"; fail "no window appeared with a long file"; }
echo changed >>"$long"
xdotool mousemove --window "$strip" 288 9 click 1
sleep 0.2
quits_soon "during a press on a long file"
grep -q '"TypersMenuAsMd5"' "$prefs" || { cat "$log"; fail "not saved after SIGTERM during a press"; }

# SIGTERM during a start beside a longer entries file: the start's reading gives way as well, and
# the preferences hold no copy of such a file.
seq 1000001 4000000 | sed 's/^/m/' >>"$long"
"$KELVORA_APP" >"$log" 2>&1 &
app=$!
# Once SIGTERM is caught (bit 15 of SigCgt), and a little later.
until [ $((0x$(awk '/^SigCgt/ { print $2 }' "/proc/$app/status") & 0x4000)) -ne 0 ]; do
    sleep 0.02
done
sleep 0.2
quits_soon "during a start beside a long file"
[ "$(stat -c %s "$prefs")" -lt 4096 ] || fail "the preferences hold a copy of a long entries file"

# The X server going away (the display ends before Kelvora at a logout) saves as well.
rm -f "$prefs"
start_xvfb "$KELVORA_WORK/display2" 1024x768x24
"$KELVORA_APP" >"$log" 2>&1 &
app=$!
wait_for_window "$app" >/dev/null || { cat "$log"; fail "no window appeared on the second display"; }
kill -KILL "$xvfb"
wait_for_end "$app" "when its display went away" || true
saved "when the display went away"

# Without a display it says so in one sentence and exits non-zero.
if env -u DISPLAY "$KELVORA_APP" >"$KELVORA_WORK/nodisplay.log" 2>&1; then
    fail "started without a display"
fi
grep -q "no display" "$KELVORA_WORK/nodisplay.log" || fail "no plain message without a display"
echo "user_startup: passed"
