#!/usr/bin/env bash
# Create-to-mounted and eject times: vellumarctl against the bare tool sequence (the same helper,
# mkfs and mount run from this shell) and against a tmpfs of the same size. The three kinds run
# in turn inside each round so that a slow moment of the machine hits all of them alike.
# Usage: bench/creation.sh <bin dir> <markdown output file>
set -euo pipefail
BIN=$(cd "$1" && pwd)
OUT=$2
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d /tmp/vellumar-bench-creation.XXXXXX)
mkdir -p "$WORK/home"
# shellcheck source=bench/lib.sh
. "$HERE/lib.sh"
trap bench_cleanup EXIT
trap 'exit 130' INT TERM

# size label, KiB, rounds
SIZES=("64 MiB" 65536 9 "1 GiB" 1048576 7 "8 GiB" 8388608 5)

{
    echo "| Size | Step | vellumarctl (ms) | bare sequence (ms) | tmpfs (ms) | vellumarctl / bare | vellumarctl / tmpfs | Target (≤ 1.2× bare) |"
    echo "|---|---|---:|---:|---:|---:|---:|---|"
} >"$OUT"

n=0
for ((i = 0; i < ${#SIZES[@]}; i += 3)); do
    label=${SIZES[i]} kib=${SIZES[i + 1]} rounds=${SIZES[i + 2]}
    ctl_c=() ctl_e=() bare_c=() bare_e=() tmp_c=() tmp_e=()
    for ((r = 0; r < rounds; r++)); do
        n=$((n + 1))
        # vellumarctl
        dir="$WORK/ctl$n"
        t0=$(now)
        read -r _ path < <(ctl_create "$kib" "bench$n" "$dir")
        t1=$(now)
        [ "$path" = "$dir" ] || { echo "creation: vellumarctl mounted on '$path', expected $dir" >&2; exit 1; }
        mountpoint -q "$dir" || { echo "creation: $dir is not mounted" >&2; exit 1; }
        t2=$(now)
        ctl_eject "$dir"
        t3=$(now)
        [ ! -e "$dir" ] || { echo "creation: vellumarctl eject left $dir" >&2; exit 1; }
        ctl_c+=("$(ms_between "$t0" "$t1")") ctl_e+=("$(ms_between "$t2" "$t3")")

        # bare tool sequence
        dir="$WORK/bare$n"
        t0=$(now)
        dev=$(bare_create "$kib" "bench$n" "$dir")
        t1=$(now)
        t2=$(now)
        bare_eject "$dev" "$dir"
        t3=$(now)
        bare_c+=("$(ms_between "$t0" "$t1")") bare_e+=("$(ms_between "$t2" "$t3")")

        # tmpfs
        dir="$WORK/tmpfs$n"
        t0=$(now)
        tmpfs_create "$kib" "$dir"
        t1=$(now)
        t2=$(now)
        tmpfs_eject "$dir"
        t3=$(now)
        tmp_c+=("$(ms_between "$t0" "$t1")") tmp_e+=("$(ms_between "$t2" "$t3")")
    done
    for step in create eject; do
        if [ "$step" = create ]; then
            c=$(median "${ctl_c[@]}") b=$(median "${bare_c[@]}") t=$(median "${tmp_c[@]}") name="create to mounted"
        else
            c=$(median "${ctl_e[@]}") b=$(median "${bare_e[@]}") t=$(median "${tmp_e[@]}") name="eject"
        fi
        rb=$(ratio "$c" "$b")
        printf '| %s | %s | %s | %s | %s | %s× | %s× | %s |\n' "$label" "$name" "$c" "$b" "$t" "$rb" \
            "$(ratio "$c" "$t")" "$(verdict at_most "$rb" 1.2)" >>"$OUT"
    done
    echo "creation: $label done ($rounds rounds)" >&2
done

{
    echo
    echo "Medians of the rounds given per size (64 MiB: ${SIZES[2]}, 1 GiB: ${SIZES[5]}, 8 GiB: ${SIZES[8]});"
    echo "each round runs the three kinds one after the other. The vellumarctl times include the"
    echo "start of the vellumarctl process; the bare sequence is \`vellumar-ramdev attach\`,"
    echo "\`mkfs.ext4\` with the engine's options, \`mkdir\` and \`mount\` (eject: \`umount\`,"
    echo "\`vellumar-ramdev detach\`, \`rmdir\`), each started from bash."
} >>"$OUT"
