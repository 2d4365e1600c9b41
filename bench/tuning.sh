#!/usr/bin/env bash
# What the disk's settings cost and buy: the engine's file system and mount options against a
# few alternatives, each on a fresh 2 GiB disk made with the bare tool sequence, in turn, so
# that every variant sees the machine in the same state.
# Usage: bench/tuning.sh <bin dir> <markdown output file> [rounds]
set -euo pipefail
BIN=$(cd "$1" && pwd)
OUT=$2
ROUNDS=${3:-2}
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d /tmp/vellumar-bench-tuning.XXXXXX)
mkdir -p "$WORK/home"
# shellcheck source=bench/lib.sh
. "$HERE/lib.sh"
trap bench_cleanup EXIT
trap 'exit 130' INT TERM

FSBENCH="$BIN/vellumar-fsbench"
KIB=$((2 * 1024 * 1024))
ENGINE_MOUNT=discard,noatime,nosuid,nodev

# name | mkfs feature options | mount options | read-ahead KiB (empty: the device's default)
VARIANTS=(
    "engine now (no journal, discard)|-O ^has_journal|$ENGINE_MOUNT|"
    "8 MiB journal, discard|-O has_journal -J size=8|$ENGINE_MOUNT|"
    "no journal, no discard|-O ^has_journal|noatime,nosuid,nodev|"
    "no journal, discard, read-ahead 128 KiB|-O ^has_journal|$ENGINE_MOUNT|128"
)

declare -A V
field() { awk -v k="$1" '$1 == k { print $2 }'; }
add() { V["$1 $2"]+="$3 "; }

one() { # index
    local name mkfsopts mountopts ra dev dir s t0 t1 base
    IFS='|' read -r name mkfsopts mountopts ra <<<"${VARIANTS[$1]}"
    dir="$WORK/v$1"
    base=$(shmem_kib)
    ramdev_attach "$KIB"
    dev=$DEV
    # shellcheck disable=SC2086
    "$MKFS" -F -q -b 4096 -m 0 $mkfsopts -E root_owner=0:0,assume_storage_prezeroed=1 -L tune "$dev"
    [ -z "$ra" ] || echo "$ra" >"/sys/block/${dev#/dev/}/queue/read_ahead_kb"
    mkdir "$dir"
    mount -t ext4 -o "$mountopts" "$dev" "$dir"
    add "$1" empty "$(($(shmem_kib) - base))"

    add "$1" write "$("$FSBENCH" write "$dir/big" 1024 | field MBps)"
    drop_caches
    add "$1" read "$("$FSBENCH" read "$dir/big" | field MBps)"
    rm "$dir/big"
    mkdir "$dir/a" "$dir/b"
    s=$("$FSBENCH" smallfiles "$dir/a" 20000 4096 --drop-caches)
    add "$1" screate "$(field create_seconds <<<"$s")"
    add "$1" sread "$(field read_seconds <<<"$s")"
    add "$1" sdelete "$(field delete_seconds <<<"$s")"
    s=$("$FSBENCH" smallfiles "$dir/b" 20000 4096)
    add "$1" recreate "$(field create_seconds <<<"$s")"
    t0=$(now)
    dd if=/dev/zero of="$dir/sync" bs=64k count=2000 oflag=dsync status=none
    t1=$(now)
    add "$1" dsync "$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.0f", 2000 * 65536 / (b - a) / 1e6 }')"
    rm "$dir/sync"
    sync
    sleep 0.5
    add "$1" after "$(($(shmem_kib) - base))"
    umount "$dir"
    ramdev_release "$dev"
    rmdir "$dir"
}

for ((r = 1; r <= ROUNDS; r++)); do
    for i in "${!VARIANTS[@]}"; do one "$i"; done
    echo "tuning: round $r of $ROUNDS done" >&2
done

m() { median ${V["$1 $2"]}; }
ms() { awk -v s="$1" 'BEGIN { printf "%.0f", s * 1000 }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
{
    echo "| Variant | write + fsync (MB/s) | cold read (MB/s) | 20,000 × 4 KiB create / cold read / delete (ms) | 20,000 more, right after the delete: create (ms) | 64 KiB dsync writes (MB/s) | shmem, empty (MiB) | shmem after all was deleted (MiB) |"
    echo "|---|---:|---:|---:|---:|---:|---:|---:|"
    for i in "${!VARIANTS[@]}"; do
        echo "| ${VARIANTS[$i]%%|*} | $(m "$i" write) | $(m "$i" read) | $(ms "$(m "$i" screate)") / $(ms "$(m "$i" sread)") / $(ms "$(m "$i" sdelete)") | $(ms "$(m "$i" recreate)") | $(m "$i" dsync) | $(mib "$(m "$i" empty)") | $(mib "$(m "$i" after)") |"
    done
    echo
    echo "Medians of $ROUNDS rounds; each variant on a fresh 2 GiB disk (vellumar-ramdev, mkfs.ext4 with"
    echo "the engine's other options, mount), the variants in turn within a round."
} >"$OUT"
