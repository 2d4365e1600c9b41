#!/usr/bin/env bash
# Command-line demo: makes a small RAM disk, shows it, writes and reads a file, ejects it.
# Usage: scripts/demo.sh [folder holding vellumarctl]   (needs root)
set -euo pipefail

bin="${1:-$(dirname "$0")/../build/bin}"
ctl="$bin/vellumarctl"

if [ "$(id -u)" != 0 ]; then
    echo "The demo makes a real RAM disk (a loop device and a mount), which needs root." >&2
    echo "Run it again as root, e.g.: sudo make run" >&2
    exit 1
fi
if [ ! -x "$ctl" ]; then
    echo "vellumarctl not found in $bin: build first (make build)." >&2
    exit 1
fi

work="$(mktemp -d /tmp/vellumar-demo.XXXXXX)"
mount_path="$work/Demo Disk"
made=""
finish() {
    if [ -n "$made" ] && mountpoint -q "$mount_path"; then
        "$ctl" eject "$mount_path" >/dev/null || true
    fi
    rmdir "$mount_path" 2>/dev/null || true
    rmdir "$work" 2>/dev/null || true
}
trap finish EXIT

echo "== Making a 32 MiB disk named \"Demo Disk\""
"$ctl" create --size 32768 --name "Demo Disk" --mount "$mount_path"
made=yes

echo
echo "== Our disks now (device, mount path, size KiB, used KiB)"
"$ctl" list

echo
echo "== Writing and reading back a file"
printf 'Hello from a disk made of memory.\n' > "$mount_path/hello.txt"
cat "$mount_path/hello.txt"
df -h "$mount_path" | tail -n 1

echo
echo "== Ejecting"
"$ctl" eject "$mount_path"
made=""
echo
echo "== Our disks now (the demo disk is gone)"
"$ctl" list
