#!/bin/sh
# The login-item question and the update check of the real Kelvora under a window manager: a
# first start shows the strip and the question, Return answers Yes and writes a valid autostart
# entry that dex starts this bundle by (from a path with quotes, $, `, \ and %), the answer and
# "initDate" are saved, and the next start asks nothing. With a tray, Support > Check for
# Update.... offers a newer version, and Yes opens the download address.
set -eu
. "$(dirname "$0")/lib.sh"
start_openbox
start_tray
work=$KELVORA_WORK
prefs="$XDG_DATA_HOME/Kelvora/Kelvora.js"
entry="$XDG_CONFIG_HOME/autostart/Kelvora.desktop"

# A bundle whose update script finds version 2, and an opener that notes what it is given.
bundle="$work/it's \"odd\" \$HOME \`id\` back\\slash 100%/Kelvora.app"
mkdir -p "${bundle%/*}" && cp -R "${KELVORA_APP%/Contents/MacOS/Kelvora}" "$bundle"
printf '#!/bin/sh\necho 2\n' >"$bundle/Contents/Resources/getVersionAs.scpt"
mkdir -p "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
app_path="$bundle/Contents/MacOS/Kelvora"
start() {
    PATH="$work/bin:$PATH" "$app_path" >>"$work/app.log" 2>&1 &
    app=$!
    bar=$(wait_for_strip "$app") || { cat "$work/app.log"; fail "no strip appeared"; }
}
# Prints the id of the question dialog once it has the keyboard.
question() {
    for _ in $(seq 1 100); do
        for id in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null); do
            case $(window_geometry "$id") in
            *457x120) [ "$(xdotool getwindowfocus)" = "$id" ] && echo "$id" && return 0 ;;
            esac
        done
        sleep 0.05
    done
    cat "$work/app.log" >&2
    fail "${1:-the question} did not appear with the keyboard"
}

start
question "the start-up question" >/dev/null
xdotool key Return
wait_for_file "$entry" || fail "Yes wrote no autostart entry"
desktop-file-validate "$entry" || fail "the autostart entry is not valid"
terminate "$app" || { cat "$work/app.log"; fail "exit status after SIGTERM"; }
grep -q '"isStartupItem": true' "$prefs" || { cat "$prefs"; fail "isStartupItem not saved"; }
grep -q '"initDate": [0-9]' "$prefs" || { cat "$prefs"; fail "initDate not saved"; }

# A session that starts its autostart entries through dex starts this bundle.
XDG_CONFIG_DIRS="$work/none" dex -a >"$work/dex.log" 2>&1 || { cat "$work/dex.log"; fail "dex failed"; }
wait_until 200 'started=$(xdotool search --onlyvisible --class Kelvora getwindowpid 2>/dev/null)' || true
[ "$(readlink "/proc/${started:-0}/exe")" = "$app_path" ] || { cat "$work/dex.log" "$entry"; fail "dex did not start this bundle"; }
kill "$started"
wait_until 200 '! kill -0 "$started" 2>/dev/null' || fail "Kelvora started by dex did not quit on SIGTERM"

# The next start asks nothing; the update check, from the tray icon's Support menu, does.
start
sleep 1
for id in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null); do
    case $(window_geometry "$id") in
    *457x120) fail "the question came again at the next start" ;;
    *x18) ;;
    *) icon=$id ;;
    esac
done
[ -n "${icon:-}" ] || fail "no tray icon"
position=$(window_geometry "$icon")
x=${position%%,*}
y=${position#*,}
y=${y%% *}
xdotool mousemove $((x + 8)) $((y + 8)) click 3
sleep 0.4
xdotool key Down Down Down Right # Edit, View, Support, into Support
sleep 0.3
xdotool key Down Down Down Down Return # past three mails and the site to Check for Update....
question "the update check's answer" >/dev/null
xdotool key Return
wait_for_file "$work/opened" || true
[ "$(cat "$work/opened" 2>/dev/null)" = "https://www.kelvora.app/Kelvora.dmg" ] ||
    fail "Yes opened \"$(cat "$work/opened" 2>/dev/null)\", not the download"
terminate "$app" || { cat "$work/app.log"; fail "exit status after SIGTERM"; }
echo "user_question: passed"
