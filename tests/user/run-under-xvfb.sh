#!/bin/sh
# Runs one user-level test script under a private Xvfb server, with HOME, XDG_DATA_HOME,
# XDG_CONFIG_HOME, XDG_RUNTIME_DIR and TMPDIR in a fresh temporary folder.
# Usage: run-under-xvfb.sh TEST_SCRIPT BUNDLE_DIR
set -eu
test_script=$1
bundle=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvora-user-XXXXXX")
export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" \
    XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp"
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$TMPDIR"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"

# Xvfb picks a free display number itself and tells it through the pipe.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
export DISPLAY=":$(cat "$work/display")"

cleanup() {
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

status=0
KELVORA_WORK="$work" KELVORA_APP="$bundle/Contents/MacOS/Kelvora" sh "$test_script" || status=$?
exit $status
