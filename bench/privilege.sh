#!/usr/bin/env bash
# What making a disk as a normal user costs: create-to-mounted and eject of a 1 GiB disk with
# vellumarctl as root and as the test user (whose privileged steps go through pkexec), in turn in
# each round, beside one no-op pkexec call of the helper. Needs root: it sets up the test user
# with the same fixture as the tests (tests/privilege/test-users.sh) and takes it down again.
# Usage: bench/privilege.sh <bin dir> <markdown output file>
#   VELLUMAR_HELPER: the installed helper (default: from the build tree's install prefix)
set -euo pipefail
BIN=$(cd "$1" && pwd)
OUT=$2
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
WORK=$(mktemp -d /tmp/vellumar-bench-privilege.XXXXXX)
mkdir -p "$WORK/home"
# shellcheck source=bench/lib.sh
. "$HERE/lib.sh"

KIB=1048576
ROUNDS=${ROUNDS:-5}
NOOP_CALLS=20
USER_NAME=vellumar-t1
# Privileged steps, one helper call each: creating (attach, file system, mount, and recording the
# disk) and ejecting (unmount, detach, folder removal).
CREATE_CALLS=${CREATE_CALLS:-4}
EJECT_CALLS=${EJECT_CALLS:-3}
ROUND="$HERE/privilege-round.sh"
FIXTURE="$ROOT/tests/privilege/test-users.sh"
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$BIN/../CMakeCache.txt" 2>/dev/null || true)
HELPER=${VELLUMAR_HELPER:-${prefix:-/usr/local}/libexec/vellumar/vellumar-ramdev}

finish() {
    bench_cleanup || true
    VELLUMAR_TEST_HOLDER=$$ bash "$FIXTURE" cleanup >&2 || true
}
trap finish EXIT
trap 'exit 130' INT TERM

[ -x "$HELPER" ] || { echo "privilege: the helper is not installed at $HELPER (make install)" >&2; exit 1; }
VELLUMAR_TEST_HOLDER=$$ bash "$FIXTURE" setup "$HELPER" "$ROOT" "$BIN" >&2

# The test user's home: inside WORK, so the clean-up of lib.sh covers anything it left mounted.
chmod 711 "$WORK"
UHOME="$WORK/user-home"
mkdir -p "$UHOME/Library/Application Support/Vellumar"
chown -R "$USER_NAME:" "$UHOME"

as_user() {
    (cd "$UHOME" && runuser -u "$USER_NAME" -- env HOME="$UHOME" USER="$USER_NAME" \
        LOGNAME="$USER_NAME" TMPDIR="$UHOME" "$@")
}
value() { awk -v k="$1" '$1 == k { print $2 }' <<<"$2"; }

# Runs one disk round (as root or as the user) and appends its times; keeps the device for the
# clean-up and ejects a disk that the round left mounted.
disk_round() { # root|user
    local out rc=0 dev mnt
    if [ "$1" = root ]; then
        out=$(HOME="$WORK/home" "$ROUND" disk "$VCTL" "$KIB") || rc=$?
    else
        out=$(as_user "$ROUND" disk "$VCTL" "$KIB") || rc=$?
    fi
    dev=$(value device "$out") mnt=$(awk '$1 == "mount" { sub(/^mount /, ""); print }' <<<"$out")
    [ -z "$dev" ] || echo "$dev" >>"$LOOPS_FILE"
    if [ "$rc" != 0 ]; then
        [ -n "$mnt" ] && mountpoint -q "$mnt" && HOME="$WORK/home" "$VCTL" eject "$mnt" >/dev/null 2>&1
        FAILURE=$(sed -n 's/^error //p' <<<"$out" | head -n 1)
        FAILURE=${FAILURE:-round exited $rc}
        return 1
    fi
    CREATE=$(value create_ms "$out") EJECT=$(value eject_ms "$out")
}

root_c=() root_e=() user_c=() user_e=() user_failure=""
for ((r = 0; r < ROUNDS; r++)); do
    disk_round root || { echo "privilege: as root: $FAILURE" >&2; exit 1; }
    root_c+=("$CREATE") root_e+=("$EJECT")
    [ -z "$user_failure" ] || continue
    if disk_round user; then
        user_c+=("$CREATE") user_e+=("$EJECT")
    else
        user_failure=$FAILURE
        echo "privilege: as $USER_NAME: $FAILURE (no more rounds as that user)" >&2
    fi
done

noop_ms() { # root|user
    local out
    if [ "$1" = root ]; then
        out=$("$ROUND" noop "$HELPER" "$NOOP_CALLS") || return 0
    else
        out=$(as_user "$ROUND" noop "$HELPER" "$NOOP_CALLS") || return 0
    fi
    # shellcheck disable=SC2046
    median $(awk '$1 == "call_ms" { print $2 }' <<<"$out")
}
noop_user=$(noop_ms user) noop_root=$(noop_ms root)
noop_user=${noop_user:-n/a} noop_root=${noop_root:-n/a}

bound() { # root ms, calls
    awk -v r="$1" -v n="$2" -v p="$noop_user" 'BEGIN {
        if (r == "n/a" || p == "n/a") print "n/a"; else printf "%.3f", r + n * p }'
}
row() { # step, root values, user values, calls
    local name=$1 calls=$2 r u b
    r=$(median "${!3}") u=$(median "${!4}")
    b=$(bound "$r" "$calls")
    printf '| %s | %s | %s | %s | %s | %s ms (root + %s calls) | %s |\n' "$name" "$r" "$u" \
        "$(awk -v a="$u" -v b="$r" 'BEGIN { if (a == "n/a" || b == "n/a") print "n/a"; else printf "%.3f", a - b }')" \
        "$(ratio "$u" "$r" | sed 's/[0-9]$/&×/')" "$b" "$calls" "$(verdict at_most "$u" "$b")"
}

{
    echo "| 1 GiB disk | root (ms) | normal user through pkexec (ms) | user − root (ms) | user / root | Target: user ≤ | |"
    echo "|---|---:|---:|---:|---:|---|---|"
    row "create to mounted" "$CREATE_CALLS" 'root_c[@]' 'user_c[@]'
    row "eject" "$EJECT_CALLS" 'root_e[@]' 'user_e[@]'
    echo
    echo "One call of the helper that does nothing (\`check\`), median of $NOOP_CALLS: through pkexec"
    echo "as $USER_NAME $noop_user ms; run directly by root $noop_root ms."
    echo
    echo "Medians of $ROUNDS rounds; each round makes and ejects one disk as root and then one as the"
    echo "test user, with \`vellumarctl create --size $KIB\` and \`vellumarctl eject\`, timed inside the"
    echo "user's process (starting runuser is not counted). The target allows one pkexec call per"
    echo "privileged step: $CREATE_CALLS when creating, $EJECT_CALLS when ejecting."
    if [ -n "$user_failure" ]; then
        echo
        echo "**As $USER_NAME: not measured: $user_failure**"
    fi
} >"$OUT"
