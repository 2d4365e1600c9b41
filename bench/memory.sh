#!/usr/bin/env bash
# Memory a disk holds: the shared memory (Shmem in /proc/meminfo: the disk's memory file, which
# the kernel cannot drop) with the reclaimable page cache beside it, each as the change from the
# figure before the disk was made.
# Usage: bench/memory.sh <bin dir> <markdown output file>
set -euo pipefail
BIN=$(cd "$1" && pwd)
OUT=$2
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d /tmp/vellumar-bench-memory.XXXXXX)
mkdir -p "$WORK/home"
# shellcheck source=bench/lib.sh
. "$HERE/lib.sh"
trap bench_cleanup EXIT
trap 'exit 130' INT TERM

FSBENCH="$BIN/vellumar-fsbench"
MIB=1024

mib() { awk -v k="$1" 'BEGIN { printf "%.2f", k / 1024 }'; }
pct() { awk -v k="$1" -v size="$2" 'BEGIN { printf "%.3f", 100 * k / size }'; }

# Settled readings: the median of five, a little apart.
settled() { # shmem|pagecache
    local v=()
    for _ in 1 2 3 4 5; do
        v+=("$("${1}_kib")")
        sleep 0.1
    done
    median "${v[@]}" | cut -d. -f1
}

NOTES=()
# Runs a measurement until no other disk or tmpfs appeared or vanished meanwhile (other work on
# the machine would otherwise be counted as ours); three tries at most, then it is noted.
quiet() { # name command...
    local name=$1 tries before
    shift
    for tries in 1 2 3; do
        before=$(foreign_state)
        "$@"
        [ "$before" = "$(foreign_state)" ] && return 0
        echo "memory: other disks changed during '$name' (try $tries), measuring again" >&2
    done
    NOTES+=("$name: other disks or tmpfs mounts came or went on the machine during every try; the figure may include them.")
}

empty_disk() { # label kib -> sets E_SHMEM E_CACHE E_AFTER
    local base_s base_c dir
    drop_caches
    base_s=$(settled shmem) base_c=$(settled pagecache)
    ctl_create "$2" "mem"
    dir=$MNT
    E_SHMEM=$(($(settled shmem) - base_s)) E_CACHE=$(($(settled pagecache) - base_c))
    ctl_eject "$dir"
    E_AFTER=$(($(settled shmem) - base_s))
}

file_disk() { # -> sets F_SHMEM F_CACHE F_DROPPED F_DELETED F_AFTER T_SHMEM
    local base_s base_c dir
    drop_caches
    base_s=$(settled shmem) base_c=$(settled pagecache)
    ctl_create $((MIB * 1024)) "mem"
    dir=$MNT
    "$FSBENCH" write "$dir/f" 512 >/dev/null
    F_SHMEM=$(($(settled shmem) - base_s)) F_CACHE=$(($(settled pagecache) - base_c))
    drop_caches
    F_DROPPED=$(($(settled shmem) - base_s))
    rm "$dir/f"
    sync
    F_DELETED=$(($(settled shmem) - base_s))
    ctl_eject "$dir"
    F_AFTER=$(($(settled shmem) - base_s))

    dir="$WORK/tmpfs"
    base_s=$(settled shmem)
    tmpfs_create $((MIB * 1024)) "$dir"
    "$FSBENCH" write "$dir/f" 512 >/dev/null
    T_SHMEM=$(($(settled shmem) - base_s))
    tmpfs_eject "$dir"
}

quiet "empty 1 GiB disk" empty_disk 1 $((1024 * 1024))
s1=$E_SHMEM c1=$E_CACHE a1=$E_AFTER
quiet "empty 8 GiB disk" empty_disk 8 $((8 * 1024 * 1024))
s8=$E_SHMEM c8=$E_CACHE a8=$E_AFTER
quiet "512 MiB file" file_disk

target_file=$((512 * 1024 * 105 / 100))
worst_after=$(printf '%s\n' "${a1#-}" "${a8#-}" "${F_AFTER#-}" | sort -n | tail -n 1)
{
    echo "| Case | Shmem held (MiB) | Page cache beside it (MiB) | Baseline | Target | |"
    echo "|---|---:|---:|---|---|---|"
    echo "| empty 1 GiB disk | $(mib "$s1") ($(pct "$s1" $((1024 * 1024))) % of size) | $(mib "$c1") | 0 before creation | ≤ 2 % of the size (20.48 MiB) | $(verdict at_most "$s1" $((1024 * 1024 * 2 / 100))) |"
    echo "| empty 8 GiB disk | $(mib "$s8") ($(pct "$s8" $((8 * 1024 * 1024))) % of size) | $(mib "$c8") | 0 before creation | ≤ 2 % of the size (163.84 MiB) | $(verdict at_most "$s8" $((8 * 1024 * 1024 * 2 / 100))) |"
    echo "| 1 GiB disk holding a 512 MiB file (fsync done) | $(mib "$F_SHMEM") ($(ratio "$F_SHMEM" $((512 * 1024)))× the file) | $(mib "$F_CACHE") | tmpfs with the same file: $(mib "$T_SHMEM") | ≤ 1.05 × 512 MiB (537.6 MiB) | $(verdict at_most "$F_SHMEM" "$target_file") |"
    echo "| the same, page cache dropped | $(mib "$F_DROPPED") | | | | |"
    echo "| the same, file deleted (discard gives memory back) | $(mib "$F_DELETED") | | | | |"
    echo "| after eject, worst of the three disks | $(awk -v k="$worst_after" 'BEGIN { printf "%d KiB", k }') | | baseline before creation | within 1 MiB | $(verdict at_most "$worst_after" 1024) |"
    echo
    echo "Each figure is the change in /proc/meminfo from just before the disk was made (caches"
    echo "dropped first), the median of five readings 0.1 s apart. Shmem is the disk's memory file;"
    echo "page cache is Cached + Buffers − Shmem (reclaimable: the kernel drops it under pressure)."
    for note in "${NOTES[@]}"; do echo "- $note"; done
} >"$OUT"
