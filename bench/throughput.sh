#!/usr/bin/env bash
# Throughput on a mounted disk against a tmpfs of the same size: a 1 GiB file written (fsync
# included) and read back, and 20,000 files of 4 KiB created (syncfs included), read and deleted
# (syncfs included). Caches are dropped before every read: that empties the page cache above
# the disk, so its reads really go through the disk, and leaves tmpfs as it is (its pages are
# its storage), which is the fair comparison.
# Usage: bench/throughput.sh <bin dir> <markdown output file> [rounds]
set -euo pipefail
BIN=$(cd "$1" && pwd)
OUT=$2
ROUNDS=${3:-3}
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d /tmp/vellumar-bench-throughput.XXXXXX)
mkdir -p "$WORK/home"
# shellcheck source=bench/lib.sh
. "$HERE/lib.sh"
trap bench_cleanup EXIT
trap 'exit 130' INT TERM

FSBENCH="$BIN/vellumar-fsbench"
[ -x "$FSBENCH" ] || { echo "throughput: $FSBENCH is missing (built with the project's bench/perf)" >&2; exit 1; }
KIB=$((2 * 1024 * 1024)) # room for the 1 GiB file and the file system around it
FILE_MIB=1024
FILES=20000

field() { awk -v k="$1" '$1 == k { print $2 }'; }

# One round on a mounted folder; appends to the arrays named after the kind.
measure() { # kind dir
    local kind=$1 dir=$2 w r s
    w=$("$FSBENCH" write "$dir/big" "$FILE_MIB" | field MBps)
    drop_caches
    r=$("$FSBENCH" read "$dir/big" | field MBps)
    rm -f "$dir/big"
    sync
    s=$("$FSBENCH" smallfiles "$dir" "$FILES" 4096 --drop-caches)
    eval "${kind}_w+=(\"\$w\") ${kind}_r+=(\"\$r\")"
    eval "${kind}_sc+=(\"$(field create_seconds <<<"$s")\") ${kind}_sr+=(\"$(field read_seconds <<<"$s")\")"
    eval "${kind}_sd+=(\"$(field delete_seconds <<<"$s")\") ${kind}_st+=(\"$(field total_seconds <<<"$s")\")"
}

disk_w=() disk_r=() disk_sc=() disk_sr=() disk_sd=() disk_st=()
tmp_w=() tmp_r=() tmp_sc=() tmp_sr=() tmp_sd=() tmp_st=()
for ((n = 1; n <= ROUNDS; n++)); do
    dir="$WORK/disk$n"
    read -r _ path < <(ctl_create "$KIB" "tput$n" "$dir")
    [ "$path" = "$dir" ] && mountpoint -q "$dir" || { echo "throughput: no disk on $dir" >&2; exit 1; }
    measure disk "$dir"
    ctl_eject "$dir"

    dir="$WORK/tmpfs$n"
    tmpfs_create "$KIB" "$dir"
    measure tmp "$dir"
    tmpfs_eject "$dir"
    echo "throughput: round $n of $ROUNDS done" >&2
done

# Throughput: higher is better, so the ratio is disk / tmpfs. Small files: time, so tmpfs / disk.
w=$(median "${disk_w[@]}") tw=$(median "${tmp_w[@]}")
r=$(median "${disk_r[@]}") tr=$(median "${tmp_r[@]}")
st=$(median "${disk_st[@]}") tst=$(median "${tmp_st[@]}")
rw=$(ratio "$w" "$tw") rr=$(ratio "$r" "$tr") rs=$(ratio "$tst" "$st")
to_ms() { awk -v s="$1" 'BEGIN { printf "%.0f", s * 1000 }'; }
{
    echo "| Workload | Vellumar disk | tmpfs | disk / tmpfs | Target | |"
    echo "|---|---:|---:|---:|---|---|"
    echo "| 1 GiB sequential write + fsync (MB/s) | $w | $tw | ${rw}× | ≥ 0.6× | $(verdict at_least "$rw" 0.6) |"
    echo "| 1 GiB sequential read, caches dropped (MB/s) | $r | $tr | ${rr}× | ≥ 0.8× | $(verdict at_least "$rr" 0.8) |"
    echo "| $FILES × 4 KiB: create + syncfs (ms) | $(to_ms "$(median "${disk_sc[@]}")") | $(to_ms "$(median "${tmp_sc[@]}")") | | | |"
    echo "| $FILES × 4 KiB: read, caches dropped (ms) | $(to_ms "$(median "${disk_sr[@]}")") | $(to_ms "$(median "${tmp_sr[@]}")") | | | |"
    echo "| $FILES × 4 KiB: delete + syncfs (ms) | $(to_ms "$(median "${disk_sd[@]}")") | $(to_ms "$(median "${tmp_sd[@]}")") | | | |"
    echo "| $FILES × 4 KiB: all three (ms; ratio is speed, tmpfs time / disk time) | $(to_ms "$st") | $(to_ms "$tst") | ${rs}× | ≥ 0.5× | $(verdict at_least "$rs" 0.5) |"
    echo
    echo "Medians of $ROUNDS rounds; 2 GiB disk (through vellumarctl) and 2 GiB tmpfs, made afresh each"
    echo "round. MB/s are 10^6 bytes per second, measured inside \`vellumar-fsbench\` (1 MiB writes"
    echo "of non-zero data, fsync before the clock stops; reads of 1 MiB). The small files live in"
    echo "20 folders of 1,000."
} >"$OUT"
