# Shared pieces of the benchmark scripts; sourced, never run on its own.
# Expects BIN (folder with vellumarctl and vellumar-ramdev) and WORK (a private scratch folder on
# a file system that is not one of the disks being measured) to be set by the caller.

# shellcheck shell=bash

VCTL="$BIN/vellumarctl"
RAMDEV="$BIN/vellumar-ramdev"
MKFS=$(command -v mkfs.ext4 || echo /usr/sbin/mkfs.ext4)

# Devices we attached ourselves (bare sequence) and mount folders we made, for the clean-up.
LOOPS_FILE="$WORK/loops"
: >"$LOOPS_FILE"

now() { printf '%s\n' "$EPOCHREALTIME"; }

# Milliseconds between two `now` readings, three decimals.
ms_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b - a) * 1000 }'; }

# Median of the numbers given as arguments.
median() {
    # No numbers at all (printf still prints one empty line) is "n/a", not zero.
    printf '%s\n' "$@" | sort -g | awk 'NF { v[++n] = $1 } END {
        if (n == 0) { print "n/a"; exit }
        if (n % 2) printf "%.3f", v[(n + 1) / 2]; else printf "%.3f", (v[n / 2] + v[n / 2 + 1]) / 2 }'
}

# a / b with two decimals ("n/a" when either is missing or b is 0).
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "" || b + 0 == 0 || a == "n/a" || b == "n/a") print "n/a"; else printf "%.2f", a / b }'; }

# "met" or "MISSED" for a value against a bound: at_most|at_least value bound.
verdict() {
    awk -v kind="$1" -v v="$2" -v b="$3" 'BEGIN {
        if (v == "n/a" || v == "") { print "not measured"; exit }
        ok = (kind == "at_most") ? (v + 0 <= b + 0) : (v + 0 >= b + 0)
        print ok ? "met" : "**MISSED**" }'
}

meminfo_kib() { awk -v k="$1:" '$1 == k { print $2 }' /proc/meminfo; }
shmem_kib() { meminfo_kib Shmem; }
# Reclaimable file cache: page cache plus block-device buffers, without the shared memory that
# /proc/meminfo also counts under Cached.
pagecache_kib() { awk '$1 == "Cached:" { c = $2 } $1 == "Buffers:" { b = $2 } $1 == "Shmem:" { s = $2 }
    END { print c + b - s }' /proc/meminfo; }

drop_caches() { sync; echo 3 >/proc/sys/vm/drop_caches; }

# Loop devices backed by one of our memory files, whoever made them.
vellumar_loops() {
    local f
    for f in /sys/block/loop*/loop/backing_file; do
        [ -r "$f" ] || continue
        case "$(cat "$f" 2>/dev/null)" in /memfd:vellumar*) f=${f#/sys/block/}; echo "/dev/${f%%/*}" ;; esac
    done
}

# Folders mounted at or below a root, deepest first.
mounts_under() {
    awk -v r="$1" '{ gsub(/\\040/, " ", $2); if ($2 == r || index($2, r "/") == 1) print $2 }' /proc/self/mounts |
        awk '{ print length($0) "\t" $0 }' | sort -rn | cut -f2-
}

# What the other engineers' disks look like right now: a change while we measure memory means
# the figure is not ours alone.
foreign_state() {
    local ours
    ours=$(cat "$LOOPS_FILE" 2>/dev/null)
    { vellumar_loops | grep -vxF -e "${ours:-/nonexistent}"; grep -c ' tmpfs ' /proc/self/mounts; } | tr '\n' ' '
}

# vellumarctl runs with a home of its own, holding the default mount location, so the mount
# folders are generated (and removed on eject) as for a user who gives no --mount.
mkdir -p "$WORK/home/Library/Application Support/Vellumar"

# vellumarctl create, run in this shell so that nothing but vellumarctl falls between T0 and
# T1. Sets DEV, MNT (the mount path), T0 and T1.
ctl_create() { # kib name
    T0=$(now)
    HOME="$WORK/home" "$VCTL" create --size "$1" --name "$2" >"$WORK/ctl.out" 2>"$WORK/ctl.err" || {
        echo "vellumarctl create failed: $(cat "$WORK/ctl.out" "$WORK/ctl.err")" >&2
        return 1
    }
    T1=$(now)
    # The allocation line names the device: "allocate ok /dev/loopN" (or phase number 0).
    DEV=$(awk '($1 == "allocate" || $1 == "0") && $2 == "ok" { print $3 }' "$WORK/ctl.out")
    [ -z "$DEV" ] || echo "$DEV" >>"$LOOPS_FILE"
    MNT=$(tail -n 1 "$WORK/ctl.out")
    [ -n "$MNT" ] && mountpoint -q "$MNT" || { echo "vellumarctl mounted nothing" >&2; return 1; }
}

ctl_eject() { # mountpath
    HOME="$WORK/home" "$VCTL" eject "$1" >/dev/null 2>"$WORK/ctl.err" || {
        echo "vellumarctl eject failed: $(cat "$WORK/ctl.err")" >&2
        return 1
    }
}

# The id the helper gave a device of ours (its list: device, id, ...).
ramdev_id() { # device
    "$RAMDEV" list | awk -v d="$1" '$1 == d { print $2 }'
}

# Releases a device of ours, unmounting it first if the helper mounted it.
ramdev_release() { # device
    local id
    id=$(ramdev_id "$1")
    [ -n "$id" ] || return 1
    "$RAMDEV" unmount "$1" "$id" >/dev/null 2>&1
    "$RAMDEV" detach "$1" "$id" >/dev/null
}

# A memory device from the helper. Sets DEV and DEVID.
ramdev_attach() { # kib
    local answer
    answer=$("$RAMDEV" attach "ram://$(($1 * 2))") || return 1
    DEV=$(sed -n 1p <<<"$answer")
    DEVID=$(sed -n 2p <<<"$answer")
    echo "$DEV" >>"$LOOPS_FILE"
}

# The helper's own steps, as the engine runs them (format, and mount making the folder), each
# started straight from this shell. Sets DEV, T0 and T1.
bare_create() { # kib label mountpath
    T0=$(now)
    DEV=
    ramdev_attach "$1" &&
        "$RAMDEV" format "$DEV" "$DEVID" "$2" >/dev/null &&
        "$RAMDEV" mount "$DEV" "$DEVID" "$3" >/dev/null || return 1
    T1=$(now)
}

bare_eject() { # device mountpath
    local id
    id=$(ramdev_id "$1")
    "$RAMDEV" unmount "$1" "$id" && "$RAMDEV" detach "$1" "$id" >/dev/null && rmdir "$2"
}

tmpfs_create() { # kib mountpath
    mkdir "$2" && mount -t tmpfs -o "size=${1}k,noatime,nosuid,nodev" tmpfs "$2"
}

tmpfs_eject() { # mountpath
    umount "$1" && rmdir "$1"
}

# Last line of defence: nothing of ours stays mounted or attached, and WORK goes away only once
# nothing is mounted below it.
bench_cleanup() {
    local m d
    for m in $(mounts_under "$WORK"); do
        umount "$m" 2>/dev/null || umount -l "$m"
    done
    if [ -s "$LOOPS_FILE" ]; then
        for d in $(sort -u "$LOOPS_FILE"); do
            if vellumar_loops | grep -qxF "$d"; then
                ramdev_release "$d" || losetup -d "$d" 2>/dev/null
            fi
        done
    fi
    if [ -z "$(mounts_under "$WORK")" ]; then
        rm -rf --one-file-system "$WORK"
    else
        echo "bench: left $WORK in place: something is still mounted below it" >&2
    fi
}
