#!/usr/bin/env bash
# `veldro-cli plot column survey.vlf 4 -o c.png` on 64000 records as a whole
# process, side by side with the matplotlib script a user would write for the
# same picture (plot_column_peer.py, reading the raw spreadsheet export).
# Target: at most 1 s, and at least 10 times faster than the peer.
#
#   bench/plot_column_bench.sh [BUILD_DIR] [RUNS]
#
# The shortest of RUNS runs of each (5 unless given): the machine may be
# shared, and the shortest run is the one least disturbed.
set -euo pipefail

# The peer's libraries, kept out of scripts/setup: only this comparison needs them.
"$(dirname "$0")/../scripts/install-packages" python3-matplotlib python3-pandas

build=${1:-build}
runs=${2:-5}
cli=$build/veldro-cli
peer=$(dirname "$0")/plot_column_peer.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cli" generate -o "$work/survey.vlf" --records 64000 --seed 3
"$cli" export raw "$work/survey.vlf" -o "$work/raw.txt" --separator tab

if command -v hyperfine >/dev/null; then
    hyperfine --warmup 1 --runs "$runs" \
        "$cli plot column $work/survey.vlf 4 -o $work/c.png" \
        "/usr/bin/python3 $peer $work/raw.txt $work/peer.png"
    exit
fi

# Prints the shortest wall-clock seconds of `runs` runs of the command.
shortest() {
    local best=
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null
        end=$(date +%s.%N)
        best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN { d = e - s; print (b == "" || d < b) ? d : b }')
    done
    printf '%.3f\n' "$best"
}

ours=$(shortest "$cli" plot column "$work/survey.vlf" 4 -o "$work/c.png")
theirs=$(shortest /usr/bin/python3 "$peer" "$work/raw.txt" "$work/peer.png")
echo "veldro-cli plot column: $ours s"
echo "matplotlib peer:        $theirs s"
awk -v o="$ours" -v t="$theirs" 'BEGIN { printf "peer / ours:            %.1f\n", t / o }'
