# Shared steps of the user-level tests; sourced by them.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Starts an Xvfb server with the screen size given, which picks a free display number itself and
# writes it to the file given; exports DISPLAY for it and keeps its process id in xvfb.
start_xvfb() {
    Xvfb -displayfd 9 -screen 0 "$2" -nolisten tcp 9>"$1" >"$1.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 1 400); do
        [ -s "$1" ] && break
        sleep 0.05
    done
    [ -s "$1" ] || fail "Xvfb did not start: $(cat "$1.log")"
    export DISPLAY=":$(cat "$1")"
}

# Waits until a visible window of the given process exists; prints its id.
wait_for_window() {
    pid=$1
    for _ in $(seq 1 200); do
        id=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) || true
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.05
    done
    return 1
}

# Waits until the strip of a Kelvora process shows: its window 18 high, also when the start-up
# question shows first; prints its id.
wait_for_strip() {
    for _ in $(seq 1 200); do
        for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
            case $(xdotool getwindowgeometry "$id" 2>/dev/null) in
            *x18) echo "$id" && return 0 ;;
            esac
        done
        kill -0 "$1" 2>/dev/null || return 1
        sleep 0.05
    done
    return 1
}

# Waits for a child process to end; fails when it does not end within ten seconds. Returns the
# process's exit status.
wait_for_end() {
    pid=$1
    for _ in $(seq 1 200); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return $?; }
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null
    fail "Kelvora did not end ${2:-in time}"
}

# Sends a signal (SIGTERM unless named) and waits for the process to end. Returns the process's
# exit status.
terminate() {
    kill -"${2:-TERM}" "$1"
    wait_for_end "$1" "after SIG${2:-TERM}"
}

# The visible windows of a process, one id a line.
visible_windows() {
    xdotool search --onlyvisible --pid "$1" 2>/dev/null || true
}

# Waits until a visible window of the process other than the ones named shows; prints its id.
wait_for_new_window() { # PID KNOWN_ID...
    pid=$1
    shift
    known=$(printf ' -e %s' "$@")
    for _ in $(seq 1 100); do
        # shellcheck disable=SC2086 # the ids are numbers, one word each
        id=$(visible_windows "$pid" | grep -v -x $known | head -n 1) || true
        [ -n "$id" ] && echo "$id" && return 0
        sleep 0.05
    done
    return 1
}

# Waits up to five seconds until a file holds something.
wait_for_file() {
    for _ in $(seq 1 100); do
        [ -s "$1" ] && return 0
        sleep 0.05
    done
    return 1
}

# Starts openbox on the test's display and waits until it manages windows; it is stopped when
# the test's shell exits.
start_openbox() {
    trap 'kill "$openbox_pid" 2>/dev/null || true' EXIT
    # On a loaded machine openbox may find the new display not answering yet and give up: it
    # is started again then.
    for _ in 1 2 3; do
        openbox --sm-disable >>"$KELVORA_WORK/openbox.log" 2>&1 &
        openbox_pid=$!
        for _ in $(seq 1 200); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
            kill -0 "$openbox_pid" 2>/dev/null || break
            sleep 0.05
        done
    done
    cat "$KELVORA_WORK/openbox.log" >&2
    fail "openbox did not start"
}

# Starts xfwm4 (larger frames than openbox's) on a session bus of its own; it ends with the display.
start_xfwm4() {
    NO_AT_BRIDGE=1 dbus-run-session -- xfwm4 --compositor=off >"$KELVORA_WORK/xfwm4.log" 2>&1 &
    wait_until 200 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
        fail "xfwm4 did not start"
}

# Prints "X,Y WxH" of a window as the X server has it.
window_geometry() {
    xdotool getwindowgeometry "$1" |
        awk '/Position/ { split($2, p, ","); pos = p[1] "," p[2] } /Geometry/ { print pos " " $2 }'
}

# Waits until a window has the given "X,Y WxH"; fails with what it has instead.
wait_for_geometry() {
    for _ in $(seq 1 60); do
        [ "$(window_geometry "$1")" = "$2" ] && return 0
        sleep 0.05
    done
    fail "${3:-window} at $(window_geometry "$1"), expected $2"
}

# Starts a system tray (trayer) beside openbox and waits until it shows; both are stopped when
# the test's shell exits.
start_tray() {
    trayer --edge top --align right --widthtype request --height 24 >"$KELVORA_WORK/trayer.log" 2>&1 &
    tray_pid=$!
    trap 'kill "$tray_pid" "${openbox_pid:-}" 2>/dev/null || true' EXIT
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --class trayer >/dev/null 2>&1 && return 0
        sleep 0.05
    done
}

# Prints "X,Y WxH" of the frame the user sees around a window: its ancestor just under the root.
frame_geometry() {
    parent=$(xwininfo -children -id "$1" | awk '/Parent window id/ { if ($5 != "(the") print $4 }')
    [ -n "$parent" ] && frame_geometry "$parent" && return
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x "," y " " w "x" h }'
}

# Waits until the whole frame of a window of Kelvora's, title bar and borders included, lies on
# the screen and clear of the strip.
wait_clear_of_strip() { # WINDOW STRIP NAME
    for _ in $(seq 1 60); do
        echo "$(frame_geometry "$1") $(frame_geometry "$2") $(xwininfo -root | awk '/Width:|Height:/ { print $2 }')" |
            tr ',x\n' '   ' | awk '{ exit !($1 >= 0 && $2 >= 0 && $1 + $3 <= $9 && $2 + $4 <= $10 &&
                ($1 + $3 <= $5 || $5 + $7 <= $1 || $2 + $4 <= $6 || $6 + $8 <= $2)) }' && return 0
        sleep 0.05
    done
    fail "${3:-the window}: frame at $(frame_geometry "$1"), strip at $(frame_geometry "$2")"
}

# Waits until the shell condition given holds, trying it every 0.05 s, as often as told. The
# condition is evaluated in this function, so it names no positional parameters.
wait_until() { # TRIES CONDITION
    for _ in $(seq 1 "$1"); do
        eval "$2" && return 0
        sleep 0.05
    done
    return 1
}

# Sets X and Y to a window's top-left corner on the screen (xdotool counts the place of a window
# inside a frame twice).
position() {
    eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/ { print "X=" $4 }
        /Absolute upper-left Y/ { print "Y=" $4 }')"
}

# The preferences file, written before Kelvora starts as printf writes its arguments.
prefs="$XDG_DATA_HOME/Kelvora/Kelvora.js"
write_prefs() { # FORMAT ARGUMENT...
    # shellcheck disable=SC2059 # the format is the caller's
    mkdir -p "${prefs%/*}" && printf "$@" >"$prefs"
}

# Presses in the text of the paste target standing at X,Y, past the drag distance, and moves in
# steps to TO_X,TO_Y as a hand drags; the button stays down.
start_drag() { # X Y TO_X TO_Y
    xdotool mousemove $(($1 + 30)) $(($2 + 10)) sleep 0.1 mousedown 1 sleep 0.1 \
        mousemove $(($1 + 50)) $(($2 + 30)) sleep 0.3
    for step in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove $(($1 + 50 + ($3 - $1 - 50) * step / 10)) \
            $(($2 + 30 + ($4 - $2 - 30) * step / 10)) sleep 0.05
    done
}
