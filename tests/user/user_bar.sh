#!/bin/sh
# The real strip under a window manager: it appears 558 x 18 where the stored keys say, out of
# taskbars and pagers, shows a button's tooltip, hands a bookmark's address to xdg-open exactly
# as written, stays above the focused window and on every workspace, never takes the focus, is
# dragged by its handle and snaps into the screen after the release, shrinks, expands and shows
# one button from its handle's menu, and leaves its state in the preferences file when ended
# with SIGTERM; a bottom panel keeps the strip above it and lets it reach the screen's top.
set -eu
. "$(dirname "$0")/lib.sh"
start_openbox

prefs="$XDG_DATA_HOME/Kelvora/Kelvora.js"
mkdir -p "$(dirname "$prefs")"
key() { # key NAME: the value stored under NAME in the preferences file
    sed -n "s/^ *\"$1\": \(.*\)$/\1/p" "$prefs" | sed 's/,$//'
}
start_kelvora() {
    BROWSER="$KELVORA_WORK/browser" "$KELVORA_APP" >>"$KELVORA_WORK/app.log" 2>&1 &
    app=$!
    bar=$(wait_for_window "$app") || { cat "$KELVORA_WORK/app.log"; fail "no strip appeared"; }
}
quit_kelvora() {
    terminate "$app" || { cat "$KELVORA_WORK/app.log"; fail "exit status after SIGTERM"; }
}
shot() {
    [ -n "${KELVORA_SHOT_DIR:-}" ] && import -window root "$KELVORA_SHOT_DIR/$1.png" || true
}

# The entries files in the test's home, not beside the bundle.
cat >"$prefs" <<JSON
{
    "BookmarksFile": "$HOME/Bookmarks.txt",
    "TypersFile": "$HOME/Typers.txt",
    "MemosFile": "$HOME/Memos.txt",
    "initDate": 4000000000,
    "windowLeft": 300,
    "windowTop": 200
}
JSON

address='HTTPS://Example.ORG/P?a%2fb&c=d'
printf 'Site\t%s\n' "$address" >"$HOME/Bookmarks.txt"
printf '#!/bin/sh\nprintf %%s "$1" >"%s"\n' "$KELVORA_WORK/opened" >"$KELVORA_WORK/browser"
chmod +x "$KELVORA_WORK/browser"

# Where the keys say, at its full size.
start_kelvora
wait_for_geometry "$bar" "300,200 558x18" "the strip at start"
shot bar-start
state=$(xprop -id "$bar" _NET_WM_STATE)
case $state in
*SKIP_TASKBAR*) case $state in *SKIP_PAGER*) ;; *) fail "$state" ;; esac ;;
*) fail "$state" ;;
esac
# Hovering a button shows its tooltip, though the strip is never the active window.
xdotool mousemove 400 209 sleep 0.1 mousemove 405 209
wait_for_new_window "$app" "$bar" >/dev/null || fail "no tooltip after hovering a button"

# The first bookmark opens its address through xdg-open, which hands it to $BROWSER.
xdotool mousemove 400 209 click 1
sleep 0.4
xdotool key Down Return
wait_for_file "$KELVORA_WORK/opened" || true
[ "$(cat "$KELVORA_WORK/opened" 2>/dev/null)" = "$address" ] ||
    fail "the browser was given \"$(cat "$KELVORA_WORK/opened" 2>/dev/null)\", not \"$address\""

# Above a focused window that overlaps it, on every workspace, and never focused itself.
xmessage -title kelvora-target -geometry 700x200+250+150 "a window the user works in" \
    2>/dev/null &
other=$!
target=$(timeout 10 xdotool search --sync --onlyvisible --name kelvora-target | head -n 1)
[ -n "$target" ] || fail "no target window"
xdotool windowactivate --sync "$target"
sleep 0.3
stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
above=$(printf '%s\n' $stacking | while read -r id; do printf '%d\n' "$id"; done |
    grep -n -x -e "$bar" -e "$target" | tail -n 1 | cut -d: -f2)
[ "$above" = "$bar" ] || fail "the focused window covers the strip ($stacking)"
xdotool mousemove 309 209 click 1
sleep 0.3
xdotool mousemove 500 209 click 1
sleep 0.3
xdotool key Escape
[ "$(xdotool getwindowfocus)" = "$target" ] || fail "the strip took the focus"
shot bar-above
xdotool set_desktop 1
sleep 0.3
xwininfo -id "$bar" | grep -q "IsViewable" || fail "the strip is not on the second workspace"
xdotool set_desktop 0
kill "$other"

# Dragged by the handle into the screen's corner: no bounds while the button is held, snapped
# in after the release (the pointer stays on the screen, the strip's corner goes off it).
xdotool mousemove 309 209 mousedown 1
for step in 250,300 150,500 60,800 0,899; do
    xdotool mousemove "${step%,*}" "${step#*,}"
    sleep 0.05
done
wait_for_geometry "$bar" "-9,890 558x18" "the strip dragged"
sleep 0.6
wait_for_geometry "$bar" "-9,890 558x18" "the strip held still off the screen"
xdotool mouseup 1
wait_for_geometry "$bar" "0,882 558x18" "the strip released"
sleep 0.4
quit_kelvora
[ "$(key windowLeft)" = 0 ] || fail "windowLeft $(key windowLeft), expected 0"
[ "$(key windowTop)" = 882 ] || fail "windowTop $(key windowTop), expected 882"

# Remembered; then shrunk by a double click, and one button chosen from the handle's menu,
# which expands the strip again.
start_kelvora
wait_for_geometry "$bar" "0,882 558x18" "the strip after a restart"
xdotool mousemove 9 891 click --repeat 2 --delay 80 1
wait_for_geometry "$bar" "711,441 18x18" "the strip shrunk to its handle"
sleep 0.4
xdotool mousemove 720 450 click 3
sleep 0.4
xdotool key Down Down Return # Bookmarks, Typers
wait_for_geometry "$bar" "621,441 198x18" "the strip with Typers alone"
shot bar-typers
sleep 0.4
quit_kelvora
[ "$(key CurrentBevelButton)" = '"Typers"' ] || fail "CurrentBevelButton $(key CurrentBevelButton)"
[ "$(key windowSize)" = '"Max"' ] || fail "windowSize $(key windowSize)"
[ "$(key windowMinLeft)" = 711 ] && [ "$(key windowMinTop)" = 441 ] ||
    fail "the handle's position is not stored under windowMinLeft and windowMinTop"
[ "$(key windowMaxLeft)" = 621 ] && [ "$(key windowMaxTop)" = 441 ] ||
    fail "the strip's position is not stored under windowMaxLeft and windowMaxTop"

# A panel at the bottom (tint2 in its default place) bounds the strip's bottom edge, not its top.
tint2 >"$KELVORA_WORK/tint2.log" 2>&1 &
panel=$!
trap 'kill "$panel" "$openbox_pid" 2>/dev/null || true' EXIT
# The work area's bottom edge: its top plus its height.
wait_until 100 'bottom=$(xprop -root _NET_WORKAREA | awk -F "[=,] *" "NF > 4 { print \$3 + \$5 }")
    [ "${bottom:-900}" -lt 900 ]' || fail "no panel at the bottom: $(cat "$KELVORA_WORK/tint2.log")"
write_prefs '{"BookmarksFile": "%s", "initDate": 4000000000, "windowLeft": 300, "windowTop": 2000}' \
    "$HOME/Bookmarks.txt"
start_kelvora
# With a tray there, the tray icon is a window of Kelvora's too: the strip is the wide one.
wide() {
    for id in $(visible_windows "$app"); do window_geometry "$id" | grep -q ' 558x18$' && echo "$id"; done
}
wait_until 100 'bar=$(wide | head -n 1); [ -n "$bar" ]' || fail "no window of Kelvora is 558 wide"
wait_for_geometry "$bar" "300,$((bottom - 18)) 558x18" "the strip stored below the work area"
xdotool mousemove 309 $((bottom - 9)) mousedown 1 mousemove 309 600 sleep 0.05 mousemove 309 300 \
    sleep 0.05 mousemove 309 100 sleep 0.05 mousemove 309 0 sleep 0.05 mouseup 1
# A top edge of 0 would be stored as none: the strip stops one point below the screen's top.
wait_for_geometry "$bar" "300,1 558x18" "the strip dragged to the top above a bottom panel"
sleep 0.4
quit_kelvora
[ "$(key windowTop)" = 1 ] || fail "windowTop $(key windowTop), expected 1"
echo "user_bar: passed"
