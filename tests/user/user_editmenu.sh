#!/bin/sh
# "Edit Menu..." on the empty entries file of a first start, without a desktop environment:
# xdg-open takes an empty file for no text file, so the text/plain application of mimeapps.list
# opens it; with none, a message names the file. A relative path and one ending in a line end
# reach the editor as the file that was read.
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
edit_menu() { # X: the first item of the menu of the button there, which has no entries
    xdotool mousemove "$1" 209 click 1
    wait_for_new_window "$app" "$bar" >/dev/null || fail "the menu did not appear"
    xdotool key Down Return
}
edit_menu 400
wait_for_file "$work/edited" || { cat "$work/app.log"; fail "no editor opened the empty file"; }
edit_menu 588
wait_until 100 '[ "$(wc -l <"$work/edited")" -ge 2 ]' && edit_menu 768 &&
    wait_until 100 '[ "$(wc -l <"$work/edited")" -ge 4 ]' || true
printf '%s\n' "$file" "$work/-t.txt" "$work/m.txt
" | cmp -s - "$work/edited" || { cat "$work/app.log"; fail "the editor got $(cat -A "$work/edited")"; }

rm "$XDG_CONFIG_HOME/mimeapps.list" "$XDG_DATA_HOME/applications/editor.desktop"
edit_menu 400
wait_for_new_window "$app" "$bar" >/dev/null || { cat "$work/app.log"; fail "no message appeared"; }
grep -q "Could not open $file: no application is set up for text files" "$work/app.log" ||
    { cat "$work/app.log"; fail "the message does not name the file"; }
terminate "$app" || { cat "$work/app.log"; fail "exit status after SIGTERM"; }
echo "user_editmenu: passed"
