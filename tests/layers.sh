#!/bin/sh
# Includes run one way: each folder includes itself and the folders below it, nothing above.
# Only startup/ (and main.cpp) may know every folder. The repository root is an include folder,
# so <dialogs/x.h> reaches a folder as "dialogs/x.h" does: every spelling of an include counts.
cd "$(dirname "$0")/.." || exit 1
status=0
ours='platform|app|buttons|bar|dialogs|startup'

# A folder, then the folders it may include besides itself. A quoted include names one of those
# folders; a bracketed one may name anything but a folder of ours not among them; neither may
# climb out with "..", and an include must name its file.
check() {
    folder=$1
    allowed=$(echo "$*" | tr ' ' '|')
    bad=$(find "$folder" -type f \( -name '*.cpp' -o -name '*.h' \) -exec awk \
        -v allowed="^($allowed)/" -v ours="^($ours)/" '
        /^[ \t]*#[ \t]*include/ {
            spec = $0
            sub(/^[ \t]*#[ \t]*include[ \t]*/, "", spec)
            kind = substr(spec, 1, 1)
            path = substr(spec, 2)
            sub(/[">].*$/, "", path)
            while (path ~ /^\.\//)
                path = substr(path, 3)
            if ((kind != "\"" && kind != "<") || path ~ /(^|\/)\.\.(\/|$)/ ||
                (kind == "\"" && path !~ allowed) || (kind == "<" && path ~ ours && path !~ allowed))
                print FILENAME ":" FNR ": " $0
        }' {} +)
    if [ -n "$bad" ]; then
        echo "$bad"
        echo "$folder/ includes a folder above it (it may include: $*)" >&2
        status=1
    fi
}

check platform
check app platform
check buttons app platform
check bar buttons app platform
check dialogs bar buttons app platform
exit $status
