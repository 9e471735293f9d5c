#!/bin/sh
# "Edit Menu..." on the empty entries file of a first start, without a desktop environment:
# xdg-open takes an empty file for no text file, so the text/plain application of mimeapps.list
# opens it; with none, a message names the file. A relative path and one ending in a line end
# reach the editor as the file that was read. A menu of 1,000 lines is one column beside the
# strip, reached to its end; a second click on the button closes it, also once scrolled.
set -eu
. "$(dirname "$0")/lib.sh"
start_openbox
work=$KELVORA_WORK
mkdir -p "$XDG_DATA_HOME/applications" "$work/share"
write_prefs '{"initDate": 4000000000, "windowLeft": 300, "windowTop": 200, "TypersFile": "-t.txt", "MemosFile": "%s/m.txt\\n"}' "$work"
echo memo >"$work/m.txt" # what xdg-open would open for the Memos file
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID BROWSER
export XDG_DATA_DIRS="$work/share" # no system applications
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s/edited"\n' "$work" >"$work/editor" && chmod +x "$work/editor"
printf '[Desktop Entry]\nType=Application\nName=Editor\nExec=%s %%f\nMimeType=text/plain;\n' "$work/editor" >"$XDG_DATA_HOME/applications/editor.desktop"
printf '[Default Applications]\ntext/plain=editor.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"

"$KELVORA_APP" >"$work/app.log" 2>&1 &
app=$!
bar=$(wait_for_window "$app") || { cat "$work/app.log"; fail "no strip appeared"; }
wait_for_geometry "$bar" "300,200 558x18" "the strip"
file="$work/Bookmarks.txt"
[ -f "$file" ] && [ ! -s "$file" ] || fail "the first start made no empty $file"
! xdg-open "$file" >/dev/null 2>&1 || fail "xdg-open opens the empty file itself here"
open_menu() { # X: the menu of the button there; its id in menu, its "X Y WIDTH HEIGHT" in at
    xdotool mousemove "$1" 209 click 1
    menu=$(wait_for_new_window "$app" "$bar") || fail "the menu did not appear"
    at=$(window_geometry "$menu" | tr ',x' '  ')
}
edit_menu() { # X: the first item of the menu of the button there, which has no entries
    open_menu "$1"
    xdotool key Down Return
}
edit_menu 400
set -- $at && empty_width=$3 empty_height=$4
wait_for_file "$work/edited" || { cat "$work/app.log"; fail "no editor opened the empty file"; }
edit_menu 588
wait_until 100 '[ "$(wc -l <"$work/edited")" -ge 2 ]' && edit_menu 768 &&
    wait_until 100 '[ "$(wc -l <"$work/edited")" -ge 4 ]' || true
printf '%s\n' "$file" "$work/-t.txt" "$work/m.txt
" | cmp -s - "$work/edited" || { cat "$work/app.log"; fail "the editor got $(cat -A "$work/edited")"; }

rm "$work/edited" && seq 1 1000 | sed 's/^/bookmark /' >"$file"
open_menu 400
set -- $at
[ "$3" -lt $((2 * empty_width)) ] && [ "$2" -ge 218 ] && [ $(($2 + $4)) -le 900 ] ||
    fail "the menu of 1,000 lines at $*: in columns, on the strip or off the screen"
# Scrolled to its end by the wheel, it shows "Edit Menu..." at its bottom as the menu of no
# entries does.
xdotool mousemove $(($1 + $3 / 2)) $(($2 + $4 - empty_height * 3 / 4)) \
    click --repeat 1100 --delay 2 5 sleep 0.3
[ "$(window_geometry "$menu" | tr ',x' '  ')" = "$at" ] || fail "scrolled, the menu moved from $at"
xdotool click 1
wait_for_file "$work/edited" || fail "\"Edit Menu...\" at the end of the long menu did nothing"
open_menu 400 # scrolled, a second click on the button just above it closes it all the same
xdotool mousemove 400 400 click --repeat 50 --delay 2 5 mousemove 400 209 click 1
wait_until 40 '! visible_windows "$app" | grep -q -x "$menu"' || fail "a second click left it open"
: >"$file"

rm "$XDG_CONFIG_HOME/mimeapps.list" "$XDG_DATA_HOME/applications/editor.desktop"
edit_menu 400
wait_for_new_window "$app" "$bar" >/dev/null || { cat "$work/app.log"; fail "no message appeared"; }
grep -q "Could not open $file: no application is set up for text files" "$work/app.log" ||
    { cat "$work/app.log"; fail "the message does not name the file"; }
terminate "$app" || { cat "$work/app.log"; fail "exit status after SIGTERM"; }
! grep -q BookmarksMenuItemTag "$prefs" || fail "a click on the button chose an entry"
echo "user_editmenu: passed"
