#!/usr/bin/env bash
# Every kind of disk, as an ordinary user through pkexec with the real vellumarctl: made with its
# contents kept in a folder, written, listed with its kind, saved, ejected, and its contents found
# in the kept folder afterwards.
# Usage: kinds-as-user.sh <vellumarctl>   (run by run-as-user.sh as the test user)
# Exit 0: every kind went round; 77: skipped (the reason is printed); 1: failed.
set -uo pipefail

ctl=${1:?usage: kinds-as-user.sh <vellumarctl>}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

[ "$(id -u)" != 0 ] || { echo "SKIP: meant for an ordinary user"; exit 77; }
work=$(mktemp -d "$HOME/kinds.XXXXXX")

for kind in memory compressed block; do
    kept=$work/kept-$kind
    mkdir -p "$kept"
    echo "from before" >"$kept/old.txt"
    out=$("$ctl" create --kind "$kind" --size 64M --name "K $kind" --mount "$work/$kind" \
        --keep "$kept" 2>&1)
    status=$?
    if [ $status != 0 ] && [ "$kind" = compressed ] && grep -q "compressed disks" <<<"$out"; then
        echo "SKIP (compressed): $out"
        continue
    fi
    [ $status = 0 ] || { fail "$kind: create: $out"; continue; }
    [ "$(cat "$work/$kind/old.txt" 2>/dev/null)" = "from before" ] ||
        fail "$kind: the kept folder was not loaded"
    echo "written on the disk" >"$work/$kind/new.txt"
    listed=$("$ctl" list --json)
    grep -q "\"kind\": *\"$kind\"" <<<"$listed" || fail "$kind: not listed with its kind: $listed"
    "$ctl" sync "$work/$kind" >/dev/null 2>&1 || fail "$kind: sync failed"
    out=$("$ctl" eject "$work/$kind" 2>&1) || fail "$kind: eject: $out"
    [ "$(cat "$kept/new.txt" 2>/dev/null)" = "written on the disk" ] ||
        fail "$kind: the file written on the disk is not in the kept folder"
    grep -q " $work/$kind " /proc/self/mountinfo && fail "$kind: still mounted after the eject"
    echo "ok: $kind"
done

rm -rf "$work"
[ "$failures" = 0 ] || exit 1
