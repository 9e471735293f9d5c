#!/bin/sh
# The real doTypingAs.scpt pastes the clipboard's text into the focused window: with flag 0 the
# text alone, with flag 1 the text and a line end, also while the user still holds Shift.
set -eu
. "$(dirname "$0")/lib.sh"

script="$(dirname "$KELVORA_APP")/../Resources/doTypingAs.scpt"
[ -x "$script" ] || fail "no executable $script"
[ -x "${KELVORA_PASTETARGET:-}" ] || fail "KELVORA_PASTETARGET does not name the paste target"
text='Kelvora pastes: Grüße & <tags> $HOME'

# The clipboard's owner: xclip stays in the background and serves the text until the next
# owner takes over, long after the paste has fetched it.
put_on_clipboard() {
    printf "%s" "$1" | xclip -selection clipboard -i >/dev/null 2>&1
}

# Waits up to ten seconds for the file to hold exactly the expected bytes.
wait_for_text() { # FILE EXPECTED_FILE
    for _ in $(seq 1 200); do
        cmp -s "$1" "$2" && return 0
        sleep 0.05
    done
    return 1
}

paste_case() { # NAME FLAG HELD_KEY EXPECTED
    name=$1 flag=$2 held=$3 expected=$4
    out="$KELVORA_WORK/$name.out"
    printf '%s' "$expected" >"$KELVORA_WORK/$name.expected"
    "$KELVORA_PASTETARGET" "$out" >"$KELVORA_WORK/$name.log" 2>&1 &
    target=$!
    window=$(wait_for_window "$target") || fail "$name: the target window did not appear"
    xdotool windowfocus --sync "$window"
    [ "$(xdotool getwindowfocus -f)" = "$window" ] || fail "$name: the target has no focus"
    put_on_clipboard "$text"

    # A modifier that the user still holds must not turn the paste key into another key.
    [ -z "$held" ] || xdotool keydown "$held"
    "$script" "$flag" || fail "$name: doTypingAs.scpt failed"
    [ -z "$held" ] || xdotool keyup "$held"
    if ! wait_for_text "$out" "$KELVORA_WORK/$name.expected"; then
        echo "expected: $(od -c "$KELVORA_WORK/$name.expected")" >&2
        echo "arrived:  $(od -c "$out" 2>/dev/null)" >&2
        fail "$name: the pasted text did not arrive as expected"
    fi
    kill "$target"
    wait "$target" 2>/dev/null || true
}

paste_case flag0 0 "" "$text"
paste_case flag1 1 "" "$text
"
paste_case shift-held 0 shift "$text"
echo "user_typing: passed"
