#!/usr/bin/env bash
# Runs every benchmark against the programs in the given bin folder (it builds nothing) and
# writes bench/RESULTS.md. Needs root: it makes loop devices, mounts and drops caches.
# Usage: scripts/bench.sh <bin dir>
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BIN=${1:?usage: scripts/bench.sh <bin dir>}
BIN=$(cd "$BIN" && pwd)
RESULTS="$ROOT/bench/RESULTS.md"

if [ "$(id -u)" != 0 ]; then
    echo "bench: needs root (loop devices, mounts, dropping caches); run it with sudo" >&2
    exit 1
fi
for tool in vellumarctl vellumar-ramdev vellumar-fsbench vellumar-enginebench; do
    [ -x "$BIN/$tool" ] || { echo "bench: $BIN/$tool is missing: build the project first" >&2; exit 1; }
done

LOAD=$(cut -d' ' -f1-3 /proc/loadavg)
PARTS=$(mktemp -d /tmp/vellumar-bench-results.XXXXXX)
trap 'rm -rf "$PARTS"' EXIT

run() { # name script
    echo "bench: $1" >&2
    local start=$SECONDS
    if ! "$ROOT/bench/$2" "$BIN" "$PARTS/$2.md"; then
        echo "**Not finished: \`bench/$2\` failed (see its messages on the console).**" >"$PARTS/$2.md"
    fi
    echo "bench: $1 took $((SECONDS - start)) s" >&2
}
run "disk kinds against tmpfs" kinds.sh
run "creation and eject" creation.sh
run "normal user through pkexec" privilege.sh
run "the helper's own time per call" helper-calls.sh
run "throughput" throughput.sh
run "memory" memory.sh
run "application" app.sh
run "settings compared" tuning.sh
run "kept contents" keep.sh

mem_gib=$(awk '$1 == "MemTotal:" { printf "%.1f", $2 / 1048576 }' /proc/meminfo)
swap_gib=$(awk '$1 == "SwapTotal:" { printf "%.1f", $2 / 1048576 }' /proc/meminfo)
{
    echo "# Benchmark results"
    echo
    echo "Written by \`make bench\` (scripts/bench.sh). Every ratio compares figures measured in the"
    echo "same run."
    echo
    echo "- Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "- Commit: $(git -C "$ROOT" rev-parse --short HEAD 2>/dev/null || echo unknown)$(git -C "$ROOT" diff --quiet HEAD -- src 2>/dev/null || echo ' (with local changes in src)')"
    echo "- Machine: $(nproc) CPUs ($(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)), $mem_gib GiB memory, $swap_gib GiB swap"
    echo "- Kernel: $(uname -r); $(. /etc/os-release && echo "$PRETTY_NAME"); $(mkfs.ext4 -V 2>&1 | head -n 1)"
    echo "- Load when the run started: $LOAD (other work on the machine shares its CPUs)"
    echo
    # These two write their own headings.
    cat "$PARTS/kinds.sh.md"
    echo
    cat "$PARTS/helper-calls.sh.md"
    echo
    echo "## Creation and eject"
    echo
    cat "$PARTS/creation.sh.md"
    echo
    echo "## A normal user through pkexec"
    echo
    cat "$PARTS/privilege.sh.md"
    echo
    echo "## Throughput"
    echo
    cat "$PARTS/throughput.sh.md"
    echo
    echo "## Memory"
    echo
    cat "$PARTS/memory.sh.md"
    echo
    echo "## Application"
    echo
    cat "$PARTS/app.sh.md"
    echo
    echo "## The disk's settings compared"
    echo
    cat "$PARTS/tuning.sh.md"
    printf '\n## Kept contents\n\n'; cat "$PARTS/keep.sh.md"
    if [ -f "$ROOT/bench/perf/FINDINGS.md" ]; then
        echo
        cat "$ROOT/bench/perf/FINDINGS.md"
    fi
} >"$RESULTS"
echo "bench: wrote $RESULTS" >&2
