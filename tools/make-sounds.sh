#!/bin/sh
# Makes the bundle's three sounds in Resources/ with sox: short, mellow plucked notes, 44.1 kHz
# 16-bit mono AIFF. Run once after changing a sound; the AIFF files are committed.
set -eu
cd "$(dirname "$0")/../Resources"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

note() { # NAME LENGTH PITCH: one plucked note, faded in and out so that it does not click
    sox -q -n -r 44100 -b 16 -c 1 "$work/$1.aif" synth "$2" pluck "$3" \
        lowpass 3000 fade h 0.003 "$2" "$(awk "BEGIN { print $2 * 0.6 }")" gain -n -8
}

# A drop landing: one short, high, quiet note.
note snap 0.07 A6
sox -q "$work/snap.aif" snap1.aif gain -4

# The bar opening: up a fifth. Closing: the same notes down.
note low 0.12 G5
note high 0.14 D6
sox -q "$work/low.aif" "$work/high.aif" switchOn.aif
sox -q "$work/high.aif" "$work/low.aif" switchOff.aif
