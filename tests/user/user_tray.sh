#!/bin/sh
# On a desktop with a system tray, the menu bar's Edit, View and Support menus are reached from
# Kelvora's tray icon: choosing View > Minimize there shrinks the strip to its handle.
set -eu
. "$(dirname "$0")/lib.sh"
start_openbox
start_tray

prefs="$XDG_DATA_HOME/Kelvora/Kelvora.js"
mkdir -p "$(dirname "$prefs")"
printf '{"initDate": 4000000000, "BookmarksFile": "%s", "TypersFile": "%s", "MemosFile": "%s"}' \
    "$HOME/Bookmarks.txt" "$HOME/Typers.txt" "$HOME/Memos.txt" >"$prefs"
"$KELVORA_APP" >"$KELVORA_WORK/app.log" 2>&1 &
app=$!
wait_for_window "$app" >/dev/null || { cat "$KELVORA_WORK/app.log"; fail "no window appeared"; }
# Two windows: the strip, 18 high, and the tray icon.
bar=
icon=
for _ in $(seq 1 100); do
    for id in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null); do
        case $(window_geometry "$id") in
        *x18) bar=$id ;;
        *) icon=$id ;;
        esac
    done
    [ -n "$bar" ] && [ -n "$icon" ] && break
    sleep 0.05
done
[ -n "$bar" ] || fail "no strip appeared"
[ -n "$icon" ] || fail "no tray icon"
wait_for_geometry "$bar" "441,441 558x18" "the strip at start"
position=$(window_geometry "$icon")
x=${position%%,*}
y=${position#*,}
y=${y%% *}
xdotool mousemove $((x + 8)) $((y + 8)) click 3
sleep 0.4
xdotool key Down Down Right # Edit, View, into View
sleep 0.4
xdotool key Down Down Down Return # Bookmarks, Typers, Memos, Minimize
wait_for_geometry "$bar" "711,441 18x18" "the strip after View > Minimize"
terminate "$app" || { cat "$KELVORA_WORK/app.log"; fail "exit status after SIGTERM"; }
grep -q '"windowSize": "Min"' "$prefs" || fail "windowSize is not Min"
echo "user_tray: passed"
