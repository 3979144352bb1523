#!/usr/bin/env bash
# The download's figures, end to end: veldro-sim plays the instrument on a
# pseudo-terminal and veldro-cli downloads from it.
#
#   bench/download_bench.sh [BUILD_DIR] [PACED_RECORDS]
#
# 1. Paced at 9600 bit/s: the dialogue (answered opening to end letter read)
#    against the wire time of its bytes both ways. Target: at most 1 % longer.
# 2. Unpaced, 64000 records: records per second of the dialogue, and the
#    downloader's own processor time per record. Target: 5000 records/s or more.
#    Run with the journal and without (--no-journal): the journal's cost.
#    Target: under 5 % of the rate. On a busy machine the runs scatter more
#    than that; build/bench/download_journal_bench measures the journal's own
#    time a record against the 200 us of an unpaced one.
# 3. The opening wait: the downloader's processor share over 5 s while no "V"
#    comes. Target: under 2 % of a core.
set -euo pipefail

build=${1:-build-download}
paced=${2:-200}
sim=$build/veldro-sim
cli=$build/veldro-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The download journals go to the scratch folder, not the user's.
export XDG_DATA_HOME=$work

# Starts the simulator with the given options; sets sim_pid and tty.
start_sim() {
    rm -f "$work/sim.log"
    "$sim" "$@" >"$work/sim.log" 2>&1 &
    sim_pid=$!
    until [ -s "$work/sim.log" ]; do sleep 0.01; done
    tty=$(head -1 "$work/sim.log")
}

# "dialogue X ms, B bytes on the wire" of the simulator's log: prints X B.
dialogue() { sed -n 's/^dialogue \([0-9.]*\) ms, \([0-9]*\) bytes on the wire$/\1 \2/p' "$work/sim.log"; }

# Runs the download (with any further options); prints the downloader's
# user+system seconds.
download() {
    local TIMEFORMAT='%U %S'
    { time "$cli" download --port "$tty" -o "$work/out.vlf" --yes "$@" 2>/dev/null >/dev/null; } 2>&1 |
        awk '{print $1 + $2}'
}

echo "== paced at 9600 bit/s, $paced records"
start_sim --baud 9600 --records "$paced"
download >/dev/null
wait "$sim_pid"
read -r ms bytes < <(dialogue)
awk -v ms="$ms" -v b="$bytes" 'BEGIN {
    wire = b * 10 / 9600 * 1000
    printf "dialogue %.1f ms, wire time of %d bytes %.1f ms, %.3f %% longer (target <= 1 %%)\n",
           ms, b, wire, (ms / wire - 1) * 100 }'

# One unpaced run of 64000 records (with any further download options):
# prints "RECORDS_PER_SECOND PROCESSOR_SECONDS".
unpaced() {
    start_sim --records 64000
    cpu=$(download "$@")
    wait "$sim_pid"
    read -r ms bytes < <(dialogue)
    awk -v ms="$ms" -v cpu="$cpu" 'BEGIN { printf "%.0f %.2f\n", 64000 / (ms / 1000), cpu }'
}

# Three runs each way, taken in turn so that a busy moment of the machine
# weighs on both; the best of each is compared.
echo "== unpaced, 64000 records, with the journal and without"
best_without=0 best_with=0 cpu_without=0 cpu_with=0
for run in 1 2 3; do
    read -r rate cpu < <(unpaced --no-journal)
    echo "run $run without the journal: $rate records/s, downloader processor time $cpu s"
    if [ "$rate" -gt "$best_without" ]; then best_without=$rate cpu_without=$cpu; fi
    read -r rate cpu < <(unpaced)
    echo "run $run journalled: $rate records/s, downloader processor time $cpu s"
    if [ "$rate" -gt "$best_with" ]; then best_with=$rate cpu_with=$cpu; fi
done
awk -v a="$best_without" -v b="$best_with" -v ca="$cpu_without" -v cb="$cpu_with" 'BEGIN {
    printf "best unpaced: %d records/s without the journal, %d journalled (target >= 5000)\n", a, b
    printf "downloader processor time: %.1f us a record without, %.1f us journalled\n",
           ca / 64000 * 1e6, cb / 64000 * 1e6
    printf "the journal costs %.1f %% of the unpaced rate (target < 5 %%)\n", (a - b) / a * 100 }'

echo "== waiting for the opening"
start_sim --no-start
"$cli" download --port "$tty" -o "$work/out.vlf" --yes 2>/dev/null &
cli_pid=$!
sleep 2 # past the connection's one-second wait
ticks() { awk '{print $14 + $15}' "/proc/$cli_pid/stat"; }
before=$(ticks)
sleep 5
after=$(ticks)
kill -INT "$cli_pid"
wait "$cli_pid" || true
kill "$sim_pid"
wait "$sim_pid" 2>/dev/null || true
awk -v t="$((after - before))" -v hz="$(getconf CLK_TCK)" 'BEGIN {
    printf "processor share while waiting: %.2f %% of a core (target < 2 %%)\n", t / hz / 5 * 100 }'
