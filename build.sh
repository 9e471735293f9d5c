#!/usr/bin/env bash
# Kelvora's two set-up commands, for a fresh Debian 12 machine:
#   ./build.sh run    installs what is needed, builds, and starts Kelvora
#   ./build.sh test   installs what is needed, builds with the sanitizers, runs every test
set -euo pipefail
cd "$(dirname "$0")"

# What building and running needs.
RUN_PACKAGES=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
    qt6-multimedia-dev libgl-dev libxcb1-dev xdotool x11-utils curl php-cli
    nodejs xdg-utils libglib2.0-bin)
# What the tests need besides: an X server, a window manager, X tools, formatting checks.
TEST_PACKAGES=(clang-format xvfb xauth openbox xfwm4 dbus-daemon trayer tint2 imagemagick sox xclip
    desktop-file-utils xterm lxterminal libglib2.0-bin libxcb-xtest0-dev dex python3-xdg)

install_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends \
        "${missing[@]}"
}

jobs=$(nproc 2>/dev/null || echo 2)

case "${1:-}" in
run)
    install_packages "${RUN_PACKAGES[@]}"
    cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
    cmake --build build -j "$jobs"
    exec build/bundle/Kelvora.app/Contents/MacOS/Kelvora
    ;;
test)
    install_packages "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    # Formatting first: it is quick and says exactly what to fix.
    git ls-files '*.cpp' '*.h' | xargs -r clang-format --dry-run --Werror
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKELVORA_SANITIZE=ON
    cmake --build build-asan -j "$jobs"
    export ASAN_OPTIONS="detect_leaks=1"
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    ctest --test-dir build-asan --output-on-failure -j "$jobs"
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
