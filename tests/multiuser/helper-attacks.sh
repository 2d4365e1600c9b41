#!/usr/bin/env bash
# Attacks on the root helper by an ordinary user, through pkexec as installed. Each case performs
# the attack as vellumar-t1 (vellumar-t2 is the bystander or the victim) and fails if it wins.
# Usage (root): helper-attacks.sh <installed helper>
# Exit 0: every attack refused; 77: skipped (the reason is printed); 1: an attack won.
set -uo pipefail

helper=${1:?usage: helper-attacks.sh <installed helper>}
attacker=vellumar-t1
victim=vellumar-t2
SKIP=77
failures=0

skip() { echo "SKIP: $*"; exit $SKIP; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "PASS: $*"; }

[ "$(id -u)" = 0 ] || skip "the attacks are staged by root"
[ -x "$helper" ] || skip "the helper is not installed at $helper: run make install"
getent passwd "$attacker" >/dev/null || skip "the test users are missing (fixture vellumar_test_users)"

work=$(mktemp -d /tmp/vellumar-attacks.XXXXXX)
chmod 755 "$work"
declare -A home
for user in "$attacker" "$victim"; do
    home[$user]=$work/$user
    mkdir -m 700 "${home[$user]}"
    chown "$user:" "${home[$user]}"
done
holders=()

# `helper` run by `user` through pkexec: sets out, err and rc.
as() { # user args...
    local user=$1
    shift
    rc=0
    out=$(runuser -u "$user" -- pkexec "$helper" "$@" </dev/null 2>"$work/err") || rc=$?
    err=$(cat "$work/err")
}

# Ejects every disk of the user's that the helper lists.
eject_all() { # user
    as "$1" list
    local line device id
    while IFS=$'\t' read -r device id _; do
        [ -n "$device" ] || continue
        runuser -u "$1" -- pkexec "$helper" unmount "$device" "$id" </dev/null >/dev/null 2>&1
        runuser -u "$1" -- pkexec "$helper" detach "$device" "$id" </dev/null >/dev/null 2>&1
    done <<<"$out"
}

cleanup() {
    for pid in "${holders[@]}"; do kill "$pid" 2>/dev/null; done
    exec 7>&- 2>/dev/null
    eject_all "$attacker"
    eject_all "$victim"
    rm -rf "$work"
}
trap cleanup EXIT

available_kib() { awk '/^MemAvailable:/ { print $2 }' /proc/meminfo; }

# 1. A caller who never reads the answer (a full pipe) must not hold the others up.
mkfifo "$work/full"
exec 7<>"$work/full"
timeout 1 dd if=/dev/zero of="$work/full" bs=4096 2>/dev/null
runuser -u "$attacker" -- pkexec "$helper" attach ram://65536 memory Held "${home[$attacker]}/held" \
    </dev/null >"$work/full" 2>&1 &
holders+=($!)
sleep 1
started=$(date +%s%N)
as "$victim" attach ram://8192
elapsed=$((($(date +%s%N) - started) / 1000000))
if [ "$rc" = 0 ] && [ "$elapsed" -lt 5000 ]; then
    pass "a request is answered in $elapsed ms while another caller's answer pipe is full"
else
    fail "the bystander waited $elapsed ms (status $rc: $err) behind a full answer pipe"
fi
eject_all "$victim"
cat <&7 >/dev/null &
reader=$!
wait "${holders[0]}" 2>/dev/null
kill "$reader" 2>/dev/null
holders=()

# 2. One machine-wide budget: two users together get no more than the machine has, and what a
# disk's file system says is in use changes nothing.
share=$(($(available_kib) * 55 / 100))
as "$attacker" attach "ram://$((share * 2))"
first=$rc
as "$victim" attach "ram://$((share * 2))"
if [ "$first" = 0 ] && [ "$rc" = 2 ] && [[ $err == *"disks already made may still take"* ]]; then
    pass "a second user's disk beyond what the machine has left is refused"
else
    fail "two disks of 55 % of the available memory each: statuses $first and $rc ($err)"
fi
eject_all "$attacker"
eject_all "$victim"

third=$(($(available_kib) * 35 / 100))
as "$attacker" attach "ram://$((third * 2))"
device=$(sed -n 1p <<<"$out") id=$(sed -n 2p <<<"$out")
as "$attacker" format "$device" "$id" Filled
as "$attacker" mount "$device" "$id" "${home[$attacker]}/filled"
runuser -u "$attacker" -- fallocate -l "$((third * 9 / 10))K" "${home[$attacker]}/filled/blocks" 2>/dev/null
as "$attacker" attach "ram://$((third * 2))"
second=$rc
as "$attacker" attach "ram://$((third * 2))"
if [ "$second" = 0 ] && [ "$rc" = 2 ]; then
    pass "space marked used inside a disk does not free memory for more disks"
else
    fail "three disks of 35 % each after fallocate: statuses $second and $rc ($err)"
fi
eject_all "$attacker"

# 3. The caller's resource limits do not reach the helper: it resets them and does the whole
# work, or (where root may not raise a limit) refuses before anything is made.
for limit in "-f 0" "-s 64" "-n 8" "-t 1"; do
    rc=0
    runuser -u "$attacker" -- bash -c "ulimit $limit; exec pkexec $helper attach ram://65536 \
memory Limited ${home[$attacker]}/limited" </dev/null >/dev/null 2>"$work/limit-err" || rc=$?
    made=$rc
    as "$attacker" list
    rc=$made
    cp "$work/limit-err" "$work/err"
    if [ "$rc" = 0 ] && grep -q $'\tLimited\tmemory\t' <<<"$out" && grep -q $'\t1\t1\t' <<<"$out"; then
        pass "ulimit $limit: the disk is made, mounted and recorded"
    elif [ "$rc" != 0 ] && [ -z "$out" ]; then
        pass "ulimit $limit: refused before anything is made (root may not raise it here): $(cat "$work/err")"
    else
        fail "ulimit $limit: status $rc ($(cat "$work/err")); list: $out"
    fi
    eject_all "$attacker"
    rmdir "${home[$attacker]}/limited" 2>/dev/null
done

# 4. Only folders on file systems for user files: never procfs, sysfs and the like.
for target in '/proc/$$/fd' /sys/fs/cgroup /sys/kernel; do
    rc=0
    runuser -u "$attacker" -- bash -c "exec pkexec $helper attach ram://8192 memory Fake $target" \
        </dev/null >/dev/null 2>"$work/err" || rc=$?
    if [ "$rc" = 2 ]; then
        pass "refused as a mount folder: $target"
    else
        fail "$target was accepted as a mount folder (status $rc: $(cat "$work/err"))"
    fi
done
eject_all "$attacker"

# 5. Paths are resolved as the caller: a 0700 home of someone else's tells nothing of its names.
mkdir "${home[$victim]}/exists"
chown "$victim:" "${home[$victim]}/exists"
as "$attacker" attach ram://8192 memory Peek "${home[$victim]}/exists/new"
seen_exists=${err//exists/X}
as "$attacker" attach ram://8192 memory Peek "${home[$victim]}/absent/new"
seen_absent=${err//absent/X}
if [ "$seen_exists" = "$seen_absent" ] && [[ $err == *"may not enter"* ]]; then
    pass "names inside another user's closed home cannot be told apart"
else
    fail "the answers differ: '$seen_exists' against '$seen_absent'"
fi

# 6. Smaller: labels with control bytes, disks too small to be made.
as "$attacker" attach ram://8192 memory $'two\nlines' "${home[$attacker]}/label"
[ "$rc" = 2 ] && pass "a label with a line break is refused" ||
    fail "a label with a line break: status $rc"
as "$attacker" attach ram://1
[ "$rc" = 2 ] && [[ $err == *"too small"* ]] && pass "ram://1 is refused before anything is made" ||
    fail "ram://1: status $rc ($err)"

[ "$failures" = 0 ] || { echo "$failures attack(s) won"; exit 1; }
echo "every attack was refused"
