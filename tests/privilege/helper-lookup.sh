#!/usr/bin/env bash
# An installed program runs only the installed helper: never one named by VELLUMAR_RAMDEV from a
# folder a normal user can write, which would let that user run code as root (or as whoever
# makes a disk). A fake helper there records every call; the program lists and makes a disk.
# Usage: helper-lookup.sh <installed vellumarctl> [owner of the fake's folder]
#   The owner (default: the current user) is who could have planted the fake.
# Exit 0: the fake was never run; 77: skipped; anything else: failed.
set -uo pipefail
ctl=${1:?usage: helper-lookup.sh <installed vellumarctl> [owner]}
owner=${2:-$(id -un)}

[ -x "$ctl" ] || { echo "SKIP: $ctl is not installed: run make install"; exit 77; }
if [ "$owner" != "$(id -un)" ] && [ "$(id -u)" != 0 ]; then
    echo "SKIP: only root can plant a fake helper owned by $owner"
    exit 77
fi

dir=$(mktemp -d /tmp/vellumar-lookup.XXXXXX)
[ "$owner" = "$(id -un)" ] || chown "$owner:" "$dir"
cleanup() {
    if mountpoint -q "$dir/disk"; then
        "$ctl" eject "$dir/disk" >/dev/null 2>&1 || echo "could not eject the disk on $dir/disk" >&2
    fi
    mountpoint -q "$dir/disk" || rm -rf --one-file-system "$dir"
}
trap cleanup EXIT

cat >"$dir/fake-helper" <<FAKE
#!/bin/sh
echo "\$*" >>"$dir/used"
exit 1
FAKE
chmod 755 "$dir/fake-helper"
mkdir "$dir/disk"
[ "$owner" = "$(id -un)" ] || chown "$owner:" "$dir/fake-helper" "$dir/disk"

export VELLUMAR_RAMDEV=$dir/fake-helper
"$ctl" list >/dev/null 2>&1
"$ctl" create --size 65536 --name lookup --mount "$dir/disk" >/dev/null 2>&1
if [ -e "$dir/used" ]; then
    echo "FAIL: $ctl ran the helper named by VELLUMAR_RAMDEV in $dir (writable by $owner):"
    sed 's/^/  called with: /' "$dir/used"
    exit 1
fi
echo "$ctl ran no helper from $dir (writable by $owner)"
