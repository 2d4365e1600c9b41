#!/usr/bin/env bash
# Create-to-mounted time of a 1 GiB disk: vellumarctl create against the helper's steps run by hand,
# alternating in one run, plus the shared memory an empty 1 GiB disk holds. Needs root.
# Usage: bench/bare_sequence.sh [folder holding vellumarctl and vellumar-ramdev] [rounds]
set -euo pipefail

bin="${1:-$(dirname "$0")/../build/bin}"
rounds="${2:-7}"
ctl="$bin/vellumarctl"
ramdev="$bin/vellumar-ramdev"
blocks=$((1024 * 1024 * 2))

if [ "$(id -u)" != 0 ]; then
    echo "needs root: loop devices and mounts" >&2
    exit 1
fi
work="$(mktemp -d /tmp/vellumar-bare.XXXXXX)"
trap 'for m in "$work"/*; do mountpoint -q "$m" && umount "$m"; done; rm -rf "$work"' EXIT

now() { date +%s%N; }
shmem() { awk '/^Shmem:/ {print $2}' /proc/meminfo; }

ctl_times=()
bare_times=()
empty_kib=()
for round in $(seq 1 "$rounds"); do
    # Through vellumarctl: allocate, format, mount, finalize, as the application does.
    path="$work/ctl$round"
    before=$(shmem)
    start=$(now)
    "$ctl" create --size $((blocks / 2)) --name "Bench" --mount "$path" >/dev/null 2>&1
    end=$(now)
    empty_kib+=($(( $(shmem) - before )))
    ctl_times+=($(( (end - start) / 1000 )))
    "$ctl" eject "$path" >/dev/null 2>&1
    rmdir "$path" 2>/dev/null || true

    # The helper's steps by hand, as the engine runs them.
    path="$work/bare$round"
    start=$(now)
    answer=$("$ramdev" attach "ram://$blocks")
    device=$(sed -n 1p <<<"$answer")
    id=$(sed -n 2p <<<"$answer")
    "$ramdev" format "$device" "$id" Bench >/dev/null
    "$ramdev" mount "$device" "$id" "$path" >/dev/null
    end=$(now)
    bare_times+=($(( (end - start) / 1000 )))
    "$ramdev" unmount "$device" "$id"
    "$ramdev" detach "$device" "$id" >/dev/null
    rmdir "$path"
done

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
echo "rounds: $rounds (1 GiB each, alternating)"
echo "vellumarctl create, ms: $(printf '%s ' "${ctl_times[@]}" | awk '{for(i=1;i<=NF;i++) printf "%.1f ", $i/1000}')"
echo "tools by hand, ms:      $(printf '%s ' "${bare_times[@]}" | awk '{for(i=1;i<=NF;i++) printf "%.1f ", $i/1000}')"
echo "median: vellumarctl $(median "${ctl_times[@]}" | awk '{printf "%.1f", $1/1000}') ms, by hand $(median "${bare_times[@]}" | awk '{printf "%.1f", $1/1000}') ms"
echo "shmem held by an empty 1 GiB disk, KiB: ${empty_kib[*]} (median $(median "${empty_kib[@]}"))"
