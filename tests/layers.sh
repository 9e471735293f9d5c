#!/bin/sh
# Includes run one way: each folder includes itself and the folders below it, nothing above.
# Only startup/ (and main.cpp) may know every folder.
cd "$(dirname "$0")/.." || exit 1
status=0

# A folder, then the folders it may include besides itself.
check() {
    folder=$1
    allowed=$(echo "$*" | tr ' ' '|')
    if grep -rn '#include "' "$folder" | grep -vE "#include \"($allowed)/"; then
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
