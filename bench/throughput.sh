#!/usr/bin/env bash
# Throughput on a mounted disk against a tmpfs of the same size: a 1 GiB file written (fsync
# included) and read back, and 20,000 files of 4 KiB created (syncfs included), read and deleted
# (syncfs included).
#
# Reads are measured twice. "Cold": caches dropped first, which empties the page cache above the
# disk so that its reads really go through the disk, and leaves tmpfs as it is (its pages are
# its storage): the fair comparison of the storage, and the one the targets are checked on.
# "Warm": straight after writing, as a program that reads what it has just written sees it.
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

declare -A V # "<kind> <metric>" -> space-separated values of the measured rounds

# One round on a mounted folder.
measure() { # kind dir keep(0|1)
    local kind=$1 dir=$2 keep=$3 out s c
    mountpoint -q "$dir" || { echo "throughput: $dir is not mounted" >&2; exit 1; }
    out=$("$FSBENCH" write "$dir/big" "$FILE_MIB")
    c="write=$(field MBps <<<"$out")"
    rm -f "$dir/big"
    sync
    # Again with memory touched just before: what the kernel's work costs, without the host's
    # price for handing back memory it had taken (the disk touches twice the memory tmpfs does:
    # page cache and memory file).
    "$FSBENCH" pretouch 2560
    out=$("$FSBENCH" write "$dir/big" "$FILE_MIB")
    c+=" twrite=$(field MBps <<<"$out")"
    drop_caches
    c+=" read=$("$FSBENCH" read "$dir/big" | field MBps)"
    c+=" warmread=$("$FSBENCH" read "$dir/big" | field MBps)"
    rm -f "$dir/big"
    sync
    s=$("$FSBENCH" smallfiles "$dir/cold" "$FILES" 4096 --drop-caches)
    c+=" screate=$(field create_seconds <<<"$s") sread=$(field read_seconds <<<"$s")"
    c+=" sdelete=$(field delete_seconds <<<"$s") stotal=$(field total_seconds <<<"$s")"
    s=$("$FSBENCH" smallfiles "$dir/warm" "$FILES" 4096)
    c+=" wscreate=$(field create_seconds <<<"$s") wsread=$(field read_seconds <<<"$s")"
    c+=" wsdelete=$(field delete_seconds <<<"$s") wstotal=$(field total_seconds <<<"$s")"
    [ "$keep" = 1 ] || return 0
    local pair
    for pair in $c; do
        V["$kind ${pair%%=*}"]+="${pair#*=} "
    done
}

# Round 0 warms up and is not counted: on a virtual machine the first touch of memory the host
# has taken back costs far more than the work measured.
for ((n = 0; n <= ROUNDS; n++)); do
    keep=$((n > 0 ? 1 : 0))
    ctl_create "$KIB" "tput$n"
    dir=$MNT
    mkdir -p "$dir/cold" "$dir/warm"
    measure disk "$dir" "$keep"
    ctl_eject "$dir"

    dir="$WORK/tmpfs$n"
    tmpfs_create "$KIB" "$dir"
    mkdir -p "$dir/cold" "$dir/warm"
    measure tmp "$dir" "$keep"
    tmpfs_eject "$dir"
    echo "throughput: round $n of $ROUNDS done$([ "$keep" = 1 ] || echo ' (warm-up, not counted)')" >&2
done

m() { # kind metric -> median
    # shellcheck disable=SC2086
    median ${V["$1 $2"]}
}
range() { # kind metric -> "min–max"
    printf '%s\n' ${V["$1 $2"]} | sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%g–%g", lo, hi }'
}
ms() { awk -v s="$1" 'BEGIN { printf "%.0f", s * 1000 }'; }

w=$(m disk write) tw=$(m tmp write)
pw=$(m disk twrite) tpw=$(m tmp twrite)
rpw=$(ratio "$pw" "$tpw")
r=$(m disk read) tr=$(m tmp read)
wr=$(m disk warmread) twr=$(m tmp warmread)
st=$(m disk stotal) tst=$(m tmp stotal)
wst=$(m disk wstotal) twst=$(m tmp wstotal)
rw=$(ratio "$w" "$tw") rr=$(ratio "$r" "$tr") rwr=$(ratio "$wr" "$twr")
rs=$(ratio "$tst" "$st") rws=$(ratio "$twst" "$wst")
row() { # label disk tmpfs [ratio target verdict]
    echo "| $1 | $2 | $3 | ${4:+$4×} | ${5:-} | ${6:-} |"
}
{
    echo "| Workload | Vellumar disk | tmpfs | disk / tmpfs | Target | |"
    echo "|---|---:|---:|---:|---|---|"
    row "1 GiB sequential write + fsync, memory as found (MB/s)" "$w ($(range disk write))" "$tw ($(range tmp write))" "$rw" "≥ 0.6×" "$(verdict at_least "$rw" 0.6)"
    row "1 GiB sequential write + fsync, memory touched first (MB/s)" "$pw ($(range disk twrite))" "$tpw ($(range tmp twrite))" "$rpw" "≥ 0.6×" "$(verdict at_least "$rpw" 0.6)"
    row "1 GiB sequential read, cold (MB/s)" "$r ($(range disk read))" "$tr ($(range tmp read))" "$rr" "≥ 0.8×" "$(verdict at_least "$rr" 0.8)"
    row "1 GiB sequential read, warm (MB/s)" "$wr" "$twr" "$rwr"
    for k in screate:"create + syncfs" sread:"read, cold" sdelete:"delete + syncfs"; do
        row "$FILES × 4 KiB, fresh disk: ${k#*:} (ms)" "$(ms "$(m disk "${k%%:*}")")" "$(ms "$(m tmp "${k%%:*}")")"
    done
    row "$FILES × 4 KiB, fresh disk: all three (ms; ratio = speed)" "$(ms "$st")" "$(ms "$tst")" "$rs" "≥ 0.5×" "$(verdict at_least "$rs" 0.5)"
    for k in wscreate:"create + syncfs" wsread:"read, warm" wsdelete:"delete + syncfs"; do
        row "$FILES × 4 KiB again, right after: ${k#*:} (ms)" "$(ms "$(m disk "${k%%:*}")")" "$(ms "$(m tmp "${k%%:*}")")"
    done
    row "$FILES × 4 KiB again, right after: all three (ms; ratio = speed)" "$(ms "$wst")" "$(ms "$twst")" "$rws"
    echo
    echo "Medians of $ROUNDS rounds (range in brackets) after one warm-up round that is not counted;"
    echo "a 2 GiB disk made through vellumarctl and a 2 GiB tmpfs, made afresh each round and used"
    echo "one after the other. MB/s are 10^6 bytes per second, measured inside \`vellumar-fsbench\`"
    echo "(1 MiB writes of non-zero data, fsync before the clock stops; reads of 1 MiB). The small"
    echo "files live in 20 folders of 1,000; the second small-file run goes into new folders on the"
    echo "same file system straight after the first one deleted its files. Cold: caches dropped"
    echo "before reading; warm: read straight after writing. \"Memory touched first\": 2.5 GiB of"
    echo "memory written and freed right before the write (\`vellumar-fsbench pretouch\`), because"
    echo "this virtual machine's host takes idle free memory back and the first touch of each page"
    echo "then costs more than the copy itself; the disk touches twice the memory tmpfs does (page"
    echo "cache and memory file), so \"memory as found\" charges it that price twice."
} >"$OUT"
