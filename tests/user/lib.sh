# Shared steps of the user-level tests; sourced by them.

fail() {
    echo "FAIL: $*" >&2
    exit 1
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

# Sends a signal (SIGTERM unless named) and waits for the process to end; fails when it does
# not end in time. Returns the process's exit status.
terminate() {
    pid=$1
    kill -"${2:-TERM}" "$pid"
    for _ in $(seq 1 200); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return $?; }
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null
    fail "Kelvora did not end after SIGTERM"
}
