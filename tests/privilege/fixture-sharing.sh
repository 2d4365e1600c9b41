#!/usr/bin/env bash
# Test runs that overlap share the test users: a run that ends, or one that died, never takes
# them away from a run still going (this one, holding the fixture through ctest).
# Usage: fixture-sharing.sh <helper>     root only; exit 77 (skipped) otherwise
set -uo pipefail
helper=${1:?usage: fixture-sharing.sh <helper>}
fixture="$(dirname "$0")/test-users.sh"
STATE=${VELLUMAR_TEST_STATE:-/run/vellumar-test}
RULES=/etc/polkit-1/rules.d/49-vellumar-test.rules

[ "$(id -u)" = 0 ] || { echo "SKIP: sharing the set-up is only done as root"; exit 77; }

pids=()
stop_sleepers() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
}
trap stop_sleepers EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
fixture() { # holder pid, verb, args...
    local holder=$1
    shift
    VELLUMAR_TEST_HOLDER=$holder bash "$fixture" "$@"
}
still_set_up() { # when
    local u
    for u in vellumar-t1 vellumar-t2; do
        getent passwd "$u" >/dev/null || fail "$1: the user $u is gone"
    done
    [ -f "$RULES" ] || fail "$1: $RULES is gone"
    runuser -u vellumar-t1 -- pkexec "$helper" check </dev/null >/dev/null 2>&1
    local rc=$?
    if [ "$rc" = 126 ] || [ "$rc" = 127 ]; then
        fail "$1: pkexec no longer runs the helper for vellumar-t1"
    fi
}

# Another run that starts and ends while this one goes on.
sleep 300 &
other=$!
pids+=("$other")
fixture "$other" setup "$helper" || fail "a second run could not set up"
fixture "$other" cleanup || fail "a second run could not clean up"
still_set_up "after another run ended"

# A run that died without cleaning up is forgotten, so the last real run still takes all down.
sleep 300 &
dead=$!
pids+=("$dead")
fixture "$dead" setup "$helper" || fail "a third run could not set up"
kill "$dead"
wait "$dead" 2>/dev/null
fixture "$other" cleanup || fail "a clean-up after a dead run failed"
still_set_up "after a run died"
# Other runs on the machine may hold it too; neither of ours may.
if grep -qE "^($other|$dead) " "$STATE/holders"; then
    fail "a finished or dead run still holds the set-up: $(cat "$STATE/holders")"
fi
echo "the set-up outlived a finished and a dead run, and neither holds it now"
