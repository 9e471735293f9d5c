#!/bin/sh
# Start-up benchmark: time from launch until the first window is mapped, and memory (RSS) two
# seconds after launch, for Kelvora, a minimal Qt Widgets window and a minimal strip of three
# text buttons; medians of several runs. Run it under run-under-xvfb.sh:
#   tests/user/run-under-xvfb.sh tests/bench/startup.sh build/bundle/Kelvora.app
# with KELVORA_MINIMAL pointing at the built bench_minimal_window program.
set -eu
runs=${RUNS:-15}

now_ms() { date +%s%3N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

measure() { # PROGRAM [ARGUMENT]
    for _ in $(seq 1 "$runs"); do
        rm -rf "$XDG_DATA_HOME/Kelvora"
        start=$(now_ms)
        "$@" >/dev/null 2>&1 &
        pid=$!
        while ! xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do :; done
        echo $(($(now_ms) - start))
        kill -TERM "$pid"
        wait "$pid" 2>/dev/null || true
    done | median
}

memory() { # PROGRAM [ARGUMENT]
    for _ in $(seq 1 5); do
        rm -rf "$XDG_DATA_HOME/Kelvora"
        "$@" >/dev/null 2>&1 &
        pid=$!
        sleep 2
        awk '/VmRSS/ { print int($2 / 1024 + 0.5) }' "/proc/$pid/status"
        kill -TERM "$pid"
        wait "$pid" 2>/dev/null || true
    done | median
}

report() { # LABEL PROGRAM [ARGUMENT]
    label=$1
    shift
    echo "$label: strip visible $(measure "$@") ms (median of $runs), RSS after 2 s" \
        "$(memory "$@") MB (median of 5)"
}
report "Kelvora" "$KELVORA_APP"
report "minimal Qt Widgets window" "$KELVORA_MINIMAL"
report "minimal strip of three text buttons" "$KELVORA_MINIMAL" strip
