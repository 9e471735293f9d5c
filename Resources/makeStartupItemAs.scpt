#!/bin/sh
# Makes Kelvora start when the current user logs in: writes start.sh in Kelvora's data folder,
# which runs BUNDLE_PATH/Contents/MacOS/Kelvora, and the freedesktop autostart entry
# Kelvora.desktop whose Exec names start.sh.
# Usage: makeStartupItemAs.scpt BUNDLE_PATH
set -u
# Paths are bytes here, whatever the user's locale makes of them.
export LC_ALL=C

if [ $# -lt 1 ] || [ -z "$1" ]; then
    echo "makeStartupItemAs.scpt needs the path of Kelvora.app" >&2
    exit 2
fi
executable="$1/Contents/MacOS/Kelvora"
if [ ! -x "$executable" ]; then
    echo "$executable is not a program that can be started" >&2
    exit 1
fi

# Launchers read Exec each in a way of their own: some hand it to a shell as it stands, some
# split it themselves, some refuse a value that is not UTF-8. So the bundle's path, whatever it
# holds, goes into a start script, and Exec names that script by a path that every launcher
# takes as it is.
data="${XDG_DATA_HOME:-$HOME/.local/share}/Kelvora"
starter="$data/start.sh"
# Letters and digits of every script are read alike by every launcher, as UTF-8, whatever the
# session's locale; bytes that are not UTF-8 are not.
if ! printf '%s' "$starter" | LC_ALL=C.UTF-8 grep -qzP '\A/[\p{L}\p{M}\p{Nd}/._+,:@ -]*\z'; then
    echo "a login item cannot be made: launchers would not start $starter; its path may hold" \
        "only letters, digits, blanks and / . _ + , : @ -" >&2
    exit 1
fi
folder="${XDG_CONFIG_HOME:-$HOME/.config}/autostart"
entry="$folder/Kelvora.desktop"
mkdir -p "$data" "$folder" || exit 1

# Each is written beside its place first and then moved over it, so that a half-written one
# never starts.
write() { # FILE MODE, then the text on standard input
    if ! cat >"$1.$$" || ! chmod "$2" "$1.$$" || ! mv -f "$1.$$" "$1"; then
        rm -f "$1.$$"
        echo "could not write $1" >&2
        exit 1
    fi
}
# Single quotes keep every byte of the path, line ends included; a quote in it is closed,
# escaped and opened again.
{
    printf '#!/bin/sh\n# Starts Kelvora at login; written by Kelvora when it became a StartUp item.\n'
    printf 'exec '
    printf '%s' "$executable" | sed -e "s/'/'\\\\''/g" -e "1s/^/'/" -e "\$s/\$/'/"
    printf ' "$@"\n'
} | write "$starter" 755 || exit 1
{
    printf '[Desktop Entry]\n'
    printf 'Type=Application\n'
    printf 'Name=Kelvora\n'
    printf 'Comment=Bookmarks, typing snippets and memos one click away\n'
    printf 'Exec="%s"\n' "$starter"
    printf 'Terminal=false\n'
    printf 'X-GNOME-Autostart-enabled=true\n'
} | write "$entry" 644 || exit 1
