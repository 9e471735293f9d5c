#!/bin/sh
# Start-up benchmark: time from launch until the first window is mapped, for Kelvora and for a
# minimal Qt Widgets program, median of several runs. Run it under run-under-xvfb.sh:
#   tests/user/run-under-xvfb.sh tests/bench/startup.sh build/Kelvora.app
# with KELVORA_MINIMAL pointing at the built minimal_window program.
set -eu
runs=${RUNS:-15}

now_ms() { date +%s%3N; }

measure() {
    program=$1
    for _ in $(seq 1 "$runs"); do
        rm -rf "$XDG_DATA_HOME/Kelvora"
        start=$(now_ms)
        "$program" >/dev/null 2>&1 &
        pid=$!
        while ! xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do :; done
        echo $(($(now_ms) - start))
        kill -TERM "$pid"
        wait "$pid" 2>/dev/null || true
    done | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

echo "Kelvora: $(measure "$KELVORA_APP") ms (median of $runs)"
echo "minimal Qt Widgets window: $(measure "$KELVORA_MINIMAL") ms (median of $runs)"
