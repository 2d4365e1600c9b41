#!/usr/bin/env bash
# The helper's own time per call, run directly as root (no pkexec): `check`, `list` with one disk,
# and each step of a 1 GiB block disk, medians of the rounds; beside it, the same for another
# build of the helper (OTHER_HELPER, e.g. one built from an earlier commit), in turn each round.
# Also: how long a request waits while another caller's answer pipe is full.
# Usage: bench/helper-calls.sh <bin dir> <markdown output file>
set -euo pipefail
BIN=$(cd "$1" && pwd)
OUT=$2
ROUNDS=${ROUNDS:-15}
HELPERS=("$BIN/vellumar-ramdev")
[ -n "${OTHER_HELPER:-}" ] && HELPERS+=("$OTHER_HELPER")
WORK=$(mktemp -d /tmp/vellumar-bench-calls.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
declare -A results

now() { date +%s%N; }
step() { # helper name args...
    local helper=$1 name=$2 start
    shift 2
    start=$(now)
    "$helper" "$@" >"$WORK/out"
    results["$helper $name"]+="$(($(now) - start)) "
}
median() { tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for round in $(seq "$ROUNDS"); do
    for helper in "${HELPERS[@]}"; do
        step "$helper" check check
        step "$helper" attach attach ram://2097152
        device=$(sed -n 1p "$WORK/out") id=$(sed -n 2p "$WORK/out")
        step "$helper" list list
        step "$helper" format format "$device" "$id" Bench
        step "$helper" mount mount "$device" "$id" "$WORK/disk"
        step "$helper" unmount unmount "$device" "$id"
        step "$helper" detach detach "$device" "$id"
        rmdir "$WORK/disk"
    done
done

# A caller whose answer pipe is full: the next request must not wait for it.
mkfifo "$WORK/full"
exec 7<>"$WORK/full"
timeout 1 dd if=/dev/zero of="$WORK/full" bs=4096 2>/dev/null || true
"${HELPERS[0]}" attach ram://65536 >"$WORK/full" &
stuck=$!
sleep 0.5
start=$(now)
"${HELPERS[0]}" attach ram://65536 >"$WORK/out"
waited=$((($(now) - start) / 1000000))
"${HELPERS[0]}" detach "$(sed -n 1p "$WORK/out")" "$(sed -n 2p "$WORK/out")" >/dev/null
cat <&7 >/dev/null &
reader=$!
wait "$stuck" || true
kill "$reader" 2>/dev/null || true
"${HELPERS[0]}" list | while IFS=$'\t' read -r dev diskid owner _; do
    [ "$owner" = 0 ] && "${HELPERS[0]}" detach "$dev" "$diskid" >/dev/null 2>&1 || true
done

{
    echo "## The helper's own time per call ($(date -u +%F), $ROUNDS rounds, as root, medians in ms)"
    echo
    echo "Load average: $(cut -d' ' -f1-3 /proc/loadavg)."
    echo
    printf '| call |'
    for helper in "${HELPERS[@]}"; do printf ' %s |' "$helper"; done
    echo
    printf '|---|'
    for _ in "${HELPERS[@]}"; do printf -- '---:|'; done
    echo
    for name in check attach list format mount unmount detach; do
        printf '| %s |' "$name"
        for helper in "${HELPERS[@]}"; do
            awk -v n="$(median "${results["$helper $name"]}")" 'BEGIN { printf " %.2f |", n / 1e6 }'
        done
        echo
    done
    echo
    echo "A request made while another caller's answer pipe was full waited $waited ms in all."
} | tee "$OUT"
