#!/usr/bin/env bash
# pkexec and the helper's polkit action, tried for real.
# Usage: pkexec-check.sh allowed <helper>   the current user runs the helper through pkexec
#        pkexec-check.sh refused <helper>   (root only) users outside the rules are refused
# Exit 0: as expected; 77: skipped (the reason is printed); anything else: failed.
set -uo pipefail

mode=${1:?usage: pkexec-check.sh allowed|refused <helper>}
helper=${2:?usage: pkexec-check.sh allowed|refused <helper>}
SKIP=77

skip() {
    echo "SKIP: $*"
    exit $SKIP
}
fail() {
    echo "FAIL: $*"
    exit 1
}

[ -x "$helper" ] || skip "the helper is not installed at $helper: run make install"
command -v pkexec >/dev/null || skip "pkexec is not installed: run make deps"

# Runs pkexec as the given user ("" for the current one); sets out and rc.
try_pkexec() { # user program args...
    local user=$1
    shift
    rc=0
    if [ -n "$user" ]; then
        out=$(runuser -u "$user" -- pkexec "$@" </dev/null 2>&1) || rc=$?
    else
        out=$(pkexec "$@" </dev/null 2>&1) || rc=$?
    fi
}

# A helper that has a no-op `check` exits 0 silently; one without it prints its usage and exits
# 2. Either way pkexec started it; 126/127 mean pkexec did not.
helper_ran() { [ "$rc" = 0 ] || { [ "$rc" = 2 ] && grep -qi usage <<<"$out"; }; }

allowed() {
    try_pkexec "" "$helper" check
    helper_ran && { echo "pkexec ran $helper for $(id -un) (exit $rc)"; return 0; }
    if [ "$rc" = 126 ] || [ "$rc" = 127 ]; then
        # Under the test fixture the user is meant to be authorised; elsewhere polkit decides.
        [ -n "${VELLUMAR_TEST_USER:-}" ] || skip "polkit does not let $(id -un) run the helper" \
            "without a password here (no active local session?): $out"
        fail "pkexec refused $(id -un) although the test rules grant it: $out"
    fi
    fail "pkexec $helper check exited $rc: $out"
}

refused() {
    [ "$(id -u)" = 0 ] || skip "acting as other users needs root"
    local user
    # A user the rules do not name, and a test user asking for another program than the helper:
    # neither may pass, so the rules grant exactly the helper's action to exactly the test users.
    for user in nobody vellumar-t1; do
        if [ "$user" = nobody ]; then
            try_pkexec "$user" "$helper" check
        else
            try_pkexec "$user" /bin/true
        fi
        # With no session and no agent to ask for a password, pkexec gives up with 127: either
        # "Not authorized" or that it could not open a terminal for a password prompt.
        [ "$rc" = 127 ] || fail "pkexec as $user was not refused (exit $rc): $out"
        grep -qiE "not authorized|authentication agent" <<<"$out" ||
            fail "pkexec as $user failed for another reason than authorisation: $out"
        echo "pkexec refused $user as it should"
    done
}

case $mode in
allowed) allowed ;;
refused) refused ;;
*) fail "unknown mode $mode" ;;
esac
