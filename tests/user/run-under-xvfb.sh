#!/bin/sh
# Runs one user-level test script under a private Xvfb server, with HOME, XDG_DATA_HOME,
# XDG_CONFIG_HOME, XDG_RUNTIME_DIR and TMPDIR in a fresh temporary folder, which is also the
# folder it runs in and holds the copy of the bundle it runs: what a test or Kelvora writes by a
# relative path or beside the bundle (the entries files of a first start) stays there.
# Usage: run-under-xvfb.sh TEST_SCRIPT BUNDLE_DIR
set -eu
test_script=$(realpath "$1")
bundle=$(realpath "$2")

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvora-user-XXXXXX")
export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" \
    XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp"
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$TMPDIR"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"

. "$(dirname "$0")/lib.sh"
cd "$work"
cp -R "$bundle" "$work/Kelvora.app"
start_xvfb "$work/display" 1440x900x24

cleanup() {
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    # A desktop helper started with the display (xfwm4's settings daemon) may still be writing
    # its settings as it ends.
    for _ in 1 2 3 4 5 6 7 8 9; do
        rm -rf "$work" 2>/dev/null && return
        sleep 0.3
    done
    rm -rf "$work"
}
trap cleanup EXIT

status=0
KELVORA_WORK="$work" KELVORA_APP="$work/Kelvora.app/Contents/MacOS/Kelvora" sh "$test_script" ||
    status=$?
exit $status
