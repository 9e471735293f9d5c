#!/bin/sh
# Choosing a typer in the real Kelvora under a window manager: the window the user works in
# receives exactly the expanded text (a date tag, a shell tag given the clipboard, a final line
# end) and the clipboard holds its earlier text again afterwards, also in xterm and a VTE
# terminal, and a busy application that fetches the text late. The earlier clipboard comes back
# whole (an image). A click on the strip while a snippet runs is dropped. A typer whose snippet
# failed or was stopped types nothing, and no process the snippet started outlives the stop or
# Kelvora. Prints how long after the click on the entry the typing script started and the paste
# key went out.
set -eu
. "$(dirname "$0")/lib.sh"
start_openbox
[ -x "${KELVORA_PASTETARGET:-}" ] || fail "KELVORA_PASTETARGET does not name the paste target"
work=$KELVORA_WORK
now_ms() { date +%s%3N; }

# The test's own copy of the bundle, with its typing script and xdotool wrapped to note when
# they run.
resources="$work/Kelvora.app/Contents/Resources"
mv "$resources/doTypingAs.scpt" "$resources/doTypingAs.real"
cat >"$resources/doTypingAs.scpt" <<SCRIPT
#!/bin/sh
echo "script \$(date +%s%3N)" >>"$work/timing"
exec "\$(dirname "\$0")/doTypingAs.real" "\$@"
SCRIPT
mkdir -p "$work/bin"
cat >"$work/bin/xdotool" <<SCRIPT
#!/bin/sh
case " \$* " in *" key "*) echo "key \$(date +%s%3N)" >>"$work/timing" ;; esac
exec $(command -v xdotool) "\$@"
SCRIPT
chmod +x "$resources/doTypingAs.scpt" "$work/bin/xdotool"
# The snippets' children are told from other runs' by this run's process id.
printf '%s\n' 'Date <Today>, from <#!printf "%s!" --clipboard>\n' \
    "before <#!setsid sleep 47.$$ & yes> after\\n" 'rm -rf victim<#!printf /old; exit 3>\n' \
    "<javascript: require('child_process').spawn('sleep', ['48.$$'], {detached: true, stdio: \
'ignore'}); for (;;) process.stdout.write('y'.repeat(65536))>" \
    '<#!printf %s --clipboard | wc -c>' "<?php shell_exec('sleep 49.$$') . --clipboard>" \
    'Thanks!\n' '<#!sleep 3>done' >"$work/Typers.txt"
mkdir -p "$XDG_DATA_HOME/Kelvora"
cat >"$XDG_DATA_HOME/Kelvora/Kelvora.js" <<JSON
{
    "initDate": 4000000000,
    "windowLeft": 300,
    "windowTop": 200
}
JSON

# The window the user works in, focused, and the clipboard text the user had.
out="$work/target.out"
"$KELVORA_PASTETARGET" "$out" >"$work/target.log" 2>&1 &
target_pid=$!
target=$(wait_for_window "$target_pid") || fail "the target window did not appear"
printf '%s' 'earlier text' | xclip -selection clipboard -i >/dev/null 2>&1
printf '%s' 'selected text' | xclip -selection primary -i >/dev/null 2>&1

PATH="$work/bin:$PATH" "$work/Kelvora.app/Contents/MacOS/Kelvora" >"$work/app.log" 2>&1 &
app=$!
bar=$(wait_for_window "$app") || { cat "$work/app.log"; fail "no strip appeared"; }
wait_for_geometry "$bar" "300,200 558x18" "the strip"
xdotool windowactivate --sync "$target"
[ "$(xdotool getwindowfocus)" = "$target" ] || fail "the target window has no focus"

# Presses Typers (after the handle and Bookmarks); prints the id of its menu.
drop_typers_menu() {
    xdotool mousemove 588 209 click 1
    wait_for_new_window "$app" "$bar" || { cat "$work/app.log"; fail "no Typers menu"; }
}

expected="Date $(date +%Y-%m-%d), from earlier text!
"
printf '%s' "$expected" >"$work/expected"

# Chooses the first entry of Typers and waits until the file holds the expected text and both
# selections hold their earlier text again.
type_into() { # NAME OUTPUT_FILE
    menu=$(drop_typers_menu)
    eval "$(xdotool getwindowgeometry --shell "$menu")"
    xdotool mousemove $((X + 40)) $((Y + 10))
    sleep 0.2
    echo "click $(now_ms)" >>"$work/timing"
    xdotool click 1
    for _ in $(seq 1 100); do
        cmp -s "$2" "$work/expected" && break
        sleep 0.05
    done
    if ! cmp -s "$2" "$work/expected"; then
        echo "expected: $(od -c "$work/expected")" >&2
        echo "arrived:  $(od -c "$2" 2>/dev/null)" >&2
        cat "$work/app.log" >&2
        fail "$1 did not receive the expanded text"
    fi
    for selection in clipboard primary; do
        earlier="earlier text"
        [ $selection = clipboard ] || earlier="selected text"
        for _ in $(seq 1 40); do
            [ "$(xclip -selection $selection -o 2>/dev/null)" = "$earlier" ] && break
            sleep 0.05
        done
        [ "$(xclip -selection $selection -o 2>/dev/null)" = "$earlier" ] ||
            fail "$1: $selection holds \"$(xclip -selection $selection -o)\", not \"$earlier\""
    done
}

type_into "the target window" "$out"
[ "$(xdotool getwindowfocus)" = "$target" ] || fail "the target lost the focus"

click=$(sed -n 's/^click //p' "$work/timing")
script=$(sed -n 's/^script //p' "$work/timing")
key=$(sed -n 's/^key //p' "$work/timing" | head -n 1)
echo "user_typer: click to typing script $((script - click)) ms, script start to paste key" \
    "$((key - script)) ms, click to paste key $((key - click)) ms"

# Terminals, which take Ctrl+V as a control character: xterm and a VTE terminal. Each reads one
# line, which the typer's final line end completes.
for terminal in xterm lxterminal; do
    rm -f "$work/timing"
    read_line="IFS= read -r line; printf '%s\\n' \"\$line\" >'$work/$terminal.out'"
    case $terminal in
    xterm) xterm -e sh -c "$read_line" >"$work/$terminal.log" 2>&1 & ;;
    lxterminal) NO_AT_BRIDGE=1 lxterminal --no-remote -e sh -c "$read_line" \
        >"$work/$terminal.log" 2>&1 & ;;
    esac
    window=$(wait_for_window $!) || fail "$terminal did not appear"
    xdotool windowactivate --sync "$window"
    type_into "$terminal" "$work/$terminal.out"
done

# Chooses the Nth entry of Typers with the keyboard once its menu shows.
choose_entry() {
    drop_typers_menu >/dev/null
    # shellcheck disable=SC2046 # one word per key
    xdotool key $(printf 'Down %.0s' $(seq 1 "$1")) Return
}

# Chooses the Nth entry, which is not typed: Kelvora says why in words matching the pattern, in
# a message closed as the user would; the target gets the focus again.
refused() { # N PATTERN
    choose_entry "$1"
    word=$2
    wait_until 200 'grep -q "$word" "$work/app.log"' || { cat "$work/app.log" >&2; fail "no word: $2"; }
    message=$(wait_for_new_window "$app" "$bar") || fail "no message window"
    xdotool windowactivate --sync "$message" key Return
    wait_until 100 '[ "$(visible_windows "$app")" = "$bar" ]' || fail "the message window stayed"
    xdotool windowactivate --sync "$target"
}

# No process running exactly this command line is left.
gone() {
    pattern="^[^Z]* $1\$"
    wait_until 40 '! ps -eo stat=,args= | grep -q "$pattern"' || fail "$1 outlived its snippet"
}

# Typers whose snippet was stopped (endless output, with a child in a session of its own; Node's
# endless output, caught at the bound, with a detached child) or failed are not typed: no key
# goes out, the clipboard keeps its text, Kelvora runs on, and nothing the snippets started runs.
xdotool windowactivate --sync "$target"
scripts=$(grep -c '^script' "$work/timing")
refused 2 "shell command .* printed more than 4 MB and was stopped"
gone "sleep 47.$$"
refused 3 "shell command .* failed: exit status 3"
refused 4 "JavaScript snippet .* printed more than 4 MB and was stopped"
gone "sleep 48.$$"
kill -0 "$app" 2>/dev/null || { cat "$work/app.log"; fail "Kelvora ended"; }
[ "$(grep -c '^script' "$work/timing")" = "$scripts" ] || fail "a typer that failed was typed"
cmp -s "$out" "$work/expected" || fail "text arrived from a typer that failed"
[ "$(xclip -selection clipboard -o)" = "earlier text" ] || fail "the clipboard changed"

# A clipboard far past what one environment string holds reaches the snippet whole.
{ head -c 204799 /dev/zero | tr '\0' x; echo; } | xclip -selection clipboard -i
printf '%s204800\n' "$expected" >"$work/expected"
choose_entry 5
wait_until 100 'cmp -s "$out" "$work/expected"' || { cat "$work/app.log"; fail "the large clipboard: $(tail -c 20 "$out")"; }

# A click on the strip while a snippet runs is dropped, not carried out after it: no menu opens
# once the text is pasted. The clipboard's image comes back byte for byte.
image="$resources/W@2x.png"
xclip -selection clipboard -t image/png -i "$image"
cp "$out" "$work/expected" && printf done >>"$work/expected"
choose_entry 8
sleep 1
xdotool mousemove 588 209 click 1
wait_until 100 'cmp -s "$out" "$work/expected"' || fail "the slow snippet's text did not arrive"
! wait_until 20 '[ "$(visible_windows "$app")" != "$bar" ]' || fail "a click made during a snippet opened a menu"
wait_until 40 'xclip -selection clipboard -o -t image/png | cmp -s - "$image"' || fail "the image did not come back"

# A target busy for 0.7 s over each key press fetches the text long after the paste key: it gets
# the typer's text, not the earlier clipboard, then the Return; the earlier text comes back.
"$KELVORA_PASTETARGET" --busy 700 "$work/busy.out" >"$work/busy.log" 2>&1 &
busy=$!
window=$(wait_for_window "$busy") || fail "the busy target did not appear"
xdotool windowactivate --sync "$window"
printf hunter2-SECRET | xclip -selection clipboard -i
printf 'Thanks!\n' >"$work/expected"
choose_entry 7
wait_until 200 'cmp -s "$work/busy.out" "$work/expected"' || fail "the busy target got \"$(cat "$work/busy.out")\""
wait_until 40 '[ "$(xclip -selection clipboard -o)" = hunter2-SECRET ]' || fail "the earlier text did not come back"
terminate "$app" || fail "Kelvora exited with an error"
kill "$target_pid" "$busy"

# The display going away ends Kelvora, and the snippet it waits for ends with it; its files
# (the PHP code, the clipboard's text) go too.
start_xvfb "$work/display2" 1024x768x24
PATH="$work/bin:$PATH" "$work/Kelvora.app/Contents/MacOS/Kelvora" >"$work/app.log" 2>&1 &
app=$!
bar=$(wait_for_window "$app") || { cat "$work/app.log"; fail "no strip on the second display"; }
choose_entry 6
wait_until 100 'ps -eo args= | grep -q "^sleep 49.$$\$"' || { cat "$work/app.log"; fail "the snippet did not start"; }
[ "$(find "$TMPDIR" -name 'kelvora-*' | wc -l)" = 2 ] || fail "the snippet's files are not where looked for"
kill -KILL "$xvfb"
wait_for_end "$app" "when its display went away" || true
gone "sleep 49.$$"
[ -z "$(find "$TMPDIR" -name 'kelvora-*')" ] || fail "files left in the temporary folder: $(ls "$TMPDIR")"
echo "user_typer: passed"
