#!/usr/bin/env bash
# One timed round, run by bench/privilege.sh as root or (through runuser) as the test user, so
# that starting the round itself is not counted.
# Usage: privilege-round.sh disk <vellumarctl> <KiB>   prints device, mount, create_ms, eject_ms
#        privilege-round.sh noop <helper> <calls>      prints call_ms lines, one per call
# A noop call goes through pkexec unless the caller is root (who runs the helper directly, as
# the programs do).
set -euo pipefail

now() { printf '%s\n' "$EPOCHREALTIME"; }
ms_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b - a) * 1000 }'; }

disk() { # vellumarctl kib
    local out t0 t1 t2 dev mnt
    out=$(mktemp "${TMPDIR:-/tmp}/vellumar-round.XXXXXX")
    t0=$(now)
    if ! "$1" create --size "$2" --name benchuser >"$out" 2>&1; then
        echo "error create: $(tr '\n' ' ' <"$out")"
        rm -f "$out"
        return 1
    fi
    t1=$(now)
    dev=$(awk '($1 == "allocate" || $1 == "0") && $2 == "ok" { print $3 }' "$out")
    mnt=$(tail -n 1 "$out")
    rm -f "$out"
    # Named before the eject, so the caller can clean up after a failed one.
    echo "device $dev"
    echo "mount $mnt"
    mountpoint -q "$mnt" || {
        echo "error create: nothing is mounted on $mnt"
        return 1
    }
    t2=$(now)
    "$1" eject "$mnt" >/dev/null 2>&1 || {
        echo "error eject: vellumarctl eject $mnt failed"
        return 1
    }
    echo "create_ms $(ms_between "$t0" "$t1")"
    echo "eject_ms $(ms_between "$t2" "$(now)")"
}

noop() { # helper calls
    local i t0 rc
    for ((i = 0; i < $2; i++)); do
        t0=$(now)
        rc=0
        if [ "$(id -u)" = 0 ]; then
            "$1" check </dev/null >/dev/null 2>&1 || rc=$?
        else
            pkexec "$1" check </dev/null >/dev/null 2>&1 || rc=$?
        fi
        # 126/127: pkexec did not start the helper, so nothing was measured.
        if [ "$rc" = 126 ] || [ "$rc" = 127 ]; then
            echo "error noop: pkexec refused to run $1 (exit $rc)"
            return 1
        fi
        echo "call_ms $(ms_between "$t0" "$(now)")"
    done
}

mode=${1:?usage: privilege-round.sh disk <vellumarctl> <KiB> | noop <helper> <calls>}
shift
case $mode in
disk) disk "$@" ;;
noop) noop "$@" ;;
*) exit 2 ;;
esac
