#!/usr/bin/env bash
# Kept contents: loading 1 GiB of mixed files (many small, some large) onto a disk and saving it
# back, against `cp -a` and a plain `rsync -a` of the same files; and a periodic save of a disk
# where nothing changed, against rsync's own scan of the same tree. rsync -aHAX (the attributes a
# save keeps: hard links, ACLs, extended attributes) is measured too, since reading every file's
# attributes is most of the difference. The kinds run in turn inside
# each round, with the source files warm in the page cache for all of them.
# Usage: bench/keep.sh <bin dir> <markdown output file> [rounds]
set -euo pipefail
BIN=$(cd "$1" && pwd)
OUT=$2
ROUNDS=${3:-3}
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d /tmp/vellumar-bench-keep.XXXXXX)
mkdir -p "$WORK/home"
# shellcheck source=bench/lib.sh
. "$HERE/lib.sh"
trap bench_cleanup EXIT
trap 'exit 130' INT TERM
export HOME="$WORK/home" XDG_STATE_HOME="$WORK/state" XDG_CONFIG_HOME="$WORK/config"
unset SUDO_UID PKEXEC_UID
DISK_KIB=$((2 * 1024 * 1024))
DISK="$WORK/disk"

# 1 GiB: 40,000 small files (1-24 KiB) in 400 folders, and 8 large ones of 64 MiB.
python3 - "$WORK/src" <<'PY'
import os, random, sys
root = sys.argv[1]
rng = random.Random(12)
for i in range(40000):
    folder = os.path.join(root, "small", "d%03d" % (i % 400))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "f%05d" % i), "wb") as f:
        f.write(rng.randbytes(rng.randint(1, 24) * 1024))
os.makedirs(os.path.join(root, "large"), exist_ok=True)
block = rng.randbytes(1 << 20)
for i in range(8):
    with open(os.path.join(root, "large", "big%02d" % i), "wb") as f:
        for j in range(64):
            f.write(bytes([i, j]) + block[2:])
PY
SRC_MIB=$(du -sm "$WORK/src" | cut -f1)
FILES=$(find "$WORK/src" -type f | wc -l)
warm() { tar -cf - -C "$1" . >/dev/null; }

fresh_disk() { # extra create arguments
    "$VCTL" create --size "$DISK_KIB" --name Bench --mount "$DISK" "$@" >"$WORK/ctl.out" 2>"$WORK/ctl.err" || {
        echo "keep: create failed: $(cat "$WORK/ctl.out" "$WORK/ctl.err")" >&2
        return 1
    }
    awk '$1 == "allocate" && $2 == "ok" { print $3 }' "$WORK/ctl.out" >>"$LOOPS_FILE"
}
eject_disk() { "$VCTL" eject "$DISK" --force >/dev/null 2>"$WORK/ctl.err" || { cat "$WORK/ctl.err" >&2; return 1; }; }
timed() { # command...: prints milliseconds
    local t0 t1
    t0=$(now)
    "$@" >/dev/null
    t1=$(now)
    ms_between "$t0" "$t1"
}
create_plain() { fresh_disk; }
create_kept() { fresh_disk --keep "$WORK/src"; }

plain_c=() kept_c=() cp_l=() rs_l=() hax_l=() save_s=() cp_s=() rs_s=() hax_s=() idle_s=() scan_s=() hscan_s=()
warm "$WORK/src"
for ((r = 0; r < ROUNDS; r++)); do
    # Loading: vellumarctl create --keep less a plain create of the same disk is the load.
    plain_c+=("$(timed create_plain)")
    eject_disk
    kept_c+=("$(timed create_kept)")
    eject_disk
    fresh_disk
    cp_l+=("$(timed cp -a "$WORK/src/." "$DISK/")")
    eject_disk
    fresh_disk
    rs_l+=("$(timed rsync -a "$WORK/src/" "$DISK/")")
    eject_disk
    fresh_disk
    hax_l+=("$(timed rsync -aHAX "$WORK/src/" "$DISK/")")

    # Saving the full disk into an empty folder, each kind to a folder of its own.
    rm -rf "$WORK/kept" "$WORK/cp" "$WORK/rs" "$WORK/hax"
    mkdir "$WORK/kept"
    KEPT_STATE=$(printf '{"mountPath":"%s","keptFolder":"%s"}' "$DISK" "$WORK/kept")
    mkdir -p "$XDG_STATE_HOME/vellumar/disks"
    digest=$(printf '%s' "$DISK" | sha1sum | cut -d' ' -f1)
    printf '%s\n' "$KEPT_STATE" >"$XDG_STATE_HOME/vellumar/disks/$digest.json"
    warm "$DISK"
    save_s+=("$(timed "$VCTL" sync "$DISK")")
    cp_s+=("$(timed cp -a "$DISK/." "$WORK/cp/")")
    rs_s+=("$(timed rsync -a "$DISK/" "$WORK/rs/")")
    hax_s+=("$(timed rsync -aHAX "$DISK/" "$WORK/hax/")")
    # A periodic save where nothing changed, and rsync's own scan of the same trees.
    idle_s+=("$(timed "$VCTL" sync "$DISK")")
    scan_s+=("$(timed rsync -a "$DISK/" "$WORK/rs/")")
    hscan_s+=("$(timed rsync -aHAX "$DISK/" "$WORK/hax/")")
    eject_disk
done

plain=$(median "${plain_c[@]}")
load=$(awk -v a="$(median "${kept_c[@]}")" -v b="$plain" 'BEGIN { printf "%.3f", a - b }')
cpl=$(median "${cp_l[@]}") rsl=$(median "${rs_l[@]}") hxl=$(median "${hax_l[@]}")
save=$(median "${save_s[@]}") cps=$(median "${cp_s[@]}") rss=$(median "${rs_s[@]}") hxs=$(median "${hax_s[@]}")
idle=$(median "${idle_s[@]}") scan=$(median "${scan_s[@]}") hscan=$(median "${hscan_s[@]}")
{
    echo "$SRC_MIB MiB in $FILES files (40,000 of 1-24 KiB, 8 of 64 MiB), medians of $ROUNDS rounds, source warm in the page cache. Loading is \`vellumarctl create --keep\` less a plain create of the same 2 GiB disk (median $plain ms); saving is \`vellumarctl sync\` into an empty kept folder on the machine's disk."
    echo
    echo "| Work | vellumar (ms) | cp -a (ms) | rsync -a (ms) | rsync -aHAX (ms) | vellumar / cp -a | vellumar / rsync -a | vellumar / rsync -aHAX | Target: ≤ 1.2× rsync -a |"
    echo "|---|---:|---:|---:|---:|---:|---:|---:|---|"
    echo "| load | $load | $cpl | $rsl | $hxl | $(ratio "$load" "$cpl") | $(ratio "$load" "$rsl") | $(ratio "$load" "$hxl") | $(verdict at_most "$(ratio "$load" "$rsl")" 1.2) |"
    echo "| save | $save | $cps | $rss | $hxs | $(ratio "$save" "$cps") | $(ratio "$save" "$rss") | $(ratio "$save" "$hxs") | $(verdict at_most "$(ratio "$save" "$rss")" 1.2) |"
    echo "| periodic save, nothing changed (rsync: its own scan) | $idle | | $scan | $hscan | | $(ratio "$idle" "$scan") | $(ratio "$idle" "$hscan") | $(verdict at_most "$(ratio "$idle" "$scan")" 1.2) |"
} >"$OUT"
cat "$OUT"
