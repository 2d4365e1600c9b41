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

ENGINE="$BIN/vellumar-enginebench"
{
    echo "| Size | Step | engine in-process (ms) | vellumarctl (ms) | bare sequence (ms) | tmpfs (ms) | engine / bare | vellumarctl / bare | vellumarctl / tmpfs | Target: ≤ 1.2× bare |"
    echo "|---|---|---:|---:|---:|---:|---:|---:|---:|---|"
} >"$OUT"

n=0
for ((i = 0; i < ${#SIZES[@]}; i += 3)); do
    label=${SIZES[i]} kib=${SIZES[i + 1]} rounds=${SIZES[i + 2]}
    ctl_c=() ctl_e=() eng_c=() eng_e=() bare_c=() bare_e=() tmp_c=() tmp_e=()
    for ((r = 0; r < rounds; r++)); do
        n=$((n + 1))
        # vellumarctl
        ctl_create "$kib" "bench$n"
        t0=$T0 t1=$T1 dir=$MNT
        t2=$(now)
        ctl_eject "$dir"
        t3=$(now)
        [ ! -e "$dir" ] || { echo "creation: vellumarctl eject left $dir" >&2; exit 1; }
        ctl_c+=("$(ms_between "$t0" "$t1")") ctl_e+=("$(ms_between "$t2" "$t3")")

        # the engine inside a running process (no process start counted), as the window uses it
        if [ -x "$ENGINE" ]; then
            out=$(HOME="$WORK/home" "$ENGINE" "$kib" 1) || { echo "creation: $ENGINE failed" >&2; exit 1; }
            eng_c+=("$(awk '$1 == "create_ms" { print $2 }' <<<"$out")")
            eng_e+=("$(awk '$1 == "eject_ms" { print $2 }' <<<"$out")")
        fi

        # bare tool sequence
        dir="$WORK/bare$n"
        bare_create "$kib" "bench$n" "$dir"
        t0=$T0 t1=$T1
        t2=$(now)
        bare_eject "$DEV" "$dir"
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
            c=$(median "${ctl_c[@]}") e=$(median "${eng_c[@]}") b=$(median "${bare_c[@]}") t=$(median "${tmp_c[@]}")
            name="create to mounted"
        else
            c=$(median "${ctl_e[@]}") e=$(median "${eng_e[@]}") b=$(median "${bare_e[@]}") t=$(median "${tmp_e[@]}")
            name="eject"
        fi
        re=$(ratio "$e" "$b") rc=$(ratio "$c" "$b")
        printf '| %s | %s | %s | %s | %s | %s | %s× | %s× | %s× | engine %s, vellumarctl %s |\n' \
            "$label" "$name" "$e" "$c" "$b" "$t" "$re" "$rc" "$(ratio "$c" "$t")" \
            "$(verdict at_most "$re" 1.2)" "$(verdict at_most "$rc" 1.2)" >>"$OUT"
    done
    echo "creation: $label done ($rounds rounds)" >&2
done

# What starting a program costs here: vellumarctl doing nothing but print its usage, and /bin/true.
start_ctl=() start_true=()
for ((r = 0; r < 15; r++)); do
    t0=$(now); HOME="$WORK/home" "$VCTL" --help >/dev/null; t1=$(now); /bin/true; t2=$(now)
    start_ctl+=("$(ms_between "$t0" "$t1")") start_true+=("$(ms_between "$t1" "$t2")")
done

{
    echo
    echo "Starting a program, median of 15: \`vellumarctl --help\` $(median "${start_ctl[@]}") ms, \`/bin/true\` $(median "${start_true[@]}") ms."
    echo
    echo "Medians of the rounds given per size (64 MiB: ${SIZES[2]}, 1 GiB: ${SIZES[5]}, 8 GiB: ${SIZES[8]});"
    echo "each round runs the four kinds one after the other. \"Engine in-process\" is RamDisk's"
    echo "four creation steps (and its teardown) timed inside \`vellumar-enginebench\`, as the window"
    echo "runs them; the vellumarctl times include the start of the vellumarctl process. The bare"
    echo "sequence is the helper's own steps as the engine runs them: \`vellumar-ramdev attach\`,"
    echo "\`format\` and \`mount\` (eject: \`unmount\`, \`detach\`, \`rmdir\`), each started from bash."
} >>"$OUT"
