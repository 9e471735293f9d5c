#!/bin/sh
# Makes Kelvora start when the current user logs in: writes the freedesktop autostart entry
# Kelvora.desktop whose Exec runs BUNDLE_PATH/Contents/MacOS/Kelvora.
# Usage: makeStartupItemAs.scpt BUNDLE_PATH
set -u

if [ $# -lt 1 ] || [ -z "$1" ]; then
    echo "makeStartupItemAs.scpt needs the path of Kelvora.app" >&2
    exit 2
fi
executable="$1/Contents/MacOS/Kelvora"
case $executable in
*'
'*)
    # A desktop entry value holds one line; such a path cannot be written into it faithfully.
    echo "a login item cannot be made for a path that holds a line end" >&2
    exit 1
    ;;
esac

# One argument of the Exec value: double-quoted, with backslash before ", `, $ and \, and %
# doubled (a lone % starts a field code); then the value's own escaping doubles every backslash
# again. A reader undoes both and gets the text back unchanged.
quote() {
    printf '"%s"' "$(printf '%s' "$1" | sed -e 's/[\\"`$]/\\&/g' -e 's/%/%%/g' -e 's/\\/\\\\/g')"
}
# Launchers look for the program named first in Exec before they expand its %%, so a path that
# holds a % is handed to /bin/sh, which starts it.
case $executable in
*%*) exec_line="$(quote /bin/sh) -c $(quote 'exec "$1"') sh $(quote "$executable")" ;;
*) exec_line=$(quote "$executable") ;;
esac

folder="${XDG_CONFIG_HOME:-$HOME/.config}/autostart"
mkdir -p "$folder" || exit 1
entry="$folder/Kelvora.desktop"

# Written beside the entry first and then moved over it, so a half-written entry never starts.
temporary="$entry.$$"
if ! {
    printf '[Desktop Entry]\n'
    printf 'Type=Application\n'
    printf 'Name=Kelvora\n'
    printf 'Comment=Bookmarks, typing snippets and memos one click away\n'
    printf 'Exec=%s\n' "$exec_line"
    printf 'Terminal=false\n'
    printf 'X-GNOME-Autostart-enabled=true\n'
} >"$temporary"; then
    rm -f "$temporary"
    echo "could not write $entry" >&2
    exit 1
fi
mv -f "$temporary" "$entry" || {
    rm -f "$temporary"
    exit 1
}
