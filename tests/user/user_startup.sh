#!/bin/sh
# The real binary starts, shows its window, and on SIGTERM quits like the Quit command:
# the preferences file then holds "initDate".
set -eu
. "$(dirname "$0")/lib.sh"

prefs="$XDG_DATA_HOME/Kelvora/Kelvora.js"
# A logout sends SIGHUP or SIGTERM, a terminal SIGINT: each one saves like Quit.
for signal in TERM HUP INT; do
    rm -f "$prefs"
    "$KELVORA_APP" >"$KELVORA_WORK/app.log" 2>&1 &
    app=$!
    wait_for_window "$app" >/dev/null || { cat "$KELVORA_WORK/app.log"; fail "no window appeared"; }
    terminate "$app" "$signal" || { cat "$KELVORA_WORK/app.log"; fail "exit status after SIG$signal"; }

    [ -f "$prefs" ] || fail "no preferences file at $prefs after SIG$signal"
    grep -q '"initDate": [0-9]' "$prefs" || { cat "$prefs"; fail "initDate missing"; }
    [ "$(tail -c 1 "$prefs")" = "}" ] || fail "the file ends with a line end"
done

# Without a display it says so in one sentence and exits non-zero.
if env -u DISPLAY "$KELVORA_APP" >"$KELVORA_WORK/nodisplay.log" 2>&1; then
    fail "started without a display"
fi
grep -q "no display" "$KELVORA_WORK/nodisplay.log" || fail "no plain message without a display"
echo "user_startup: passed"
