#!/usr/bin/env bash
# Sets up (and later takes down) what the tests need to run as an unprivileged user through
# pkexec on a machine with no login session: the test users, a polkit rules file granting them
# the helper's action, and a system bus with polkitd when none runs.
#
# Usage: test-users.sh setup <helper path> [folder the users must reach]...
#        test-users.sh cleanup
#   VELLUMAR_TEST_HOLDER: the process that holds the set-up (default: the parent, i.e. ctest).
#
# Several test runs may share the machine at once (another build tree, the benchmarks). They
# share one set-up under /run: each run registers itself as a holder, the first one sets up, the
# last one to clean up takes down exactly what was set up, nothing that was there before. A holder
# that died without cleaning up is forgotten at the next set-up or clean-up.
#
# Not root: there is nothing to set up; the tests run as the current user through pkexec and skip
# themselves when polkit does not authorise it.
set -euo pipefail

USERS=(vellumar-t1 vellumar-t2)
# The packaged action and the one of installs elsewhere (org.vellumar.ramdev.local).
ACTION=org.vellumar.ramdev
RULES=/etc/polkit-1/rules.d/49-vellumar-test.rules
STATE=${VELLUMAR_TEST_STATE:-/run/vellumar-test}
LOCK=$STATE.lock
POLKITD=/usr/lib/polkit-1/polkitd
BUS_SOCKET=/run/dbus/system_bus_socket
BUS_PIDFILE=/run/dbus/pid
WAIT_SECONDS=20

say() { echo "test-users: $*"; }
die() {
    echo "test-users: $*" >&2
    exit 1
}

# "pid starttime" of a process, so that a reused pid is not taken for the holder. A process
# that has exited but is not yet reaped (state Z) is gone.
process_id() {
    echo "$1 $(awk '{ print ($3 == "Z") ? "gone" : $22 }' "/proc/$1/stat" 2>/dev/null || echo gone)"
}
alive() { [ "$(process_id "${1%% *}")" = "$1" ]; }

# --- holders -------------------------------------------------------------------------------------

# The lock file outlives the state folder: a run waiting for a lock that the last clean-up
# deleted would go on alone beside the next run that makes a new one.
lock_state() {
    exec 9>>"$LOCK"
    flock -w 120 9 || die "another test run holds $LOCK for more than two minutes"
    mkdir -p "$STATE"
    chmod 700 "$STATE"
}

prune_holders() {
    local line kept=()
    [ -f "$STATE/holders" ] || return 0
    while IFS= read -r line; do
        [ -n "$line" ] && alive "$line" && kept+=("$line")
    done <"$STATE/holders"
    printf '%s\n' "${kept[@]+"${kept[@]}"}" | sed '/^$/d' >"$STATE/holders.new"
    mv "$STATE/holders.new" "$STATE/holders"
}

holder_count() { [ -s "$STATE/holders" ] && wc -l <"$STATE/holders" || echo 0; }

# --- users and rules -----------------------------------------------------------------------------

add_users() {
    local u
    for u in "${USERS[@]}"; do
        getent passwd "$u" >/dev/null && continue
        useradd --no-create-home --user-group --shell /bin/sh --comment "Vellumar test user" "$u" ||
            die "could not add the user $u (see useradd's message above)"
        echo "$u" >>"$STATE/added-users"
        say "added the user $u"
    done
}

rules_text() {
    cat <<EOF
// Written by Vellumar's tests for the length of a test run; removed afterwards.
// Machines without a login session (CI) need it: it lets the test users, and only them, run the
// disk helper through pkexec without a password.
polkit.addRule(function (action, subject) {
    if ((action.id == "$ACTION" || action.id == "$ACTION.local") && (subject.user == "${USERS[0]}" || subject.user == "${USERS[1]}")) {
        return polkit.Result.YES;
    }
});
EOF
}

write_rules() {
    [ -e "$STATE/rules-written" ] && return 0
    if [ -e "$RULES" ]; then
        rules_text | cmp -s - "$RULES" && return 0
        cp -p "$RULES" "$STATE/rules-before"
    fi
    rules_text >"$RULES.tmp"
    chmod 644 "$RULES.tmp"
    mv "$RULES.tmp" "$RULES"
    touch "$STATE/rules-written"
    say "wrote $RULES"
}

# --- system bus and polkitd ----------------------------------------------------------------------

bus_answers() {
    timeout 5 dbus-send --system --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.GetId >/dev/null 2>&1
}

polkitd_answers() {
    timeout 5 dbus-send --system --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.PolicyKit1 2>/dev/null |
        grep -q 'boolean true'
}

wait_for() { # description command...
    local what=$1 i
    shift
    for ((i = 0; i < WAIT_SECONDS * 10; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    die "$what did not happen within $WAIT_SECONDS s"
}

# A pid file and socket left by a bus that is gone would stop a new one from starting.
remove_stale_bus_files() {
    local pid
    [ -e "$BUS_PIDFILE" ] || [ -e "$BUS_SOCKET" ] || return 0
    pid=$(cat "$BUS_PIDFILE" 2>/dev/null || true)
    if [ -n "$pid" ] && [ -d "/proc/$pid" ]; then
        die "a system bus process ($pid) exists but does not answer; stop it or start it properly"
    fi
    rm -f "$BUS_PIDFILE" "$BUS_SOCKET"
    say "removed the files of a system bus that is gone"
}

start_bus() {
    [ -s "$STATE/dbus.pid" ] && alive "$(cat "$STATE/dbus.pid")" && return 0
    bus_answers && return 0
    remove_stale_bus_files
    mkdir -p /run/dbus
    local pid
    pid=$(dbus-daemon --system --fork --print-pid </dev/null 2>"$STATE/dbus.log" 9>&-) ||
        die "could not start the system bus: $(cat "$STATE/dbus.log")"
    process_id "$pid" >"$STATE/dbus.pid"
    say "started the system bus (pid $pid)"
    wait_for "the system bus answering" bus_answers
}

start_polkitd() {
    [ -s "$STATE/polkitd.pid" ] && alive "$(cat "$STATE/polkitd.pid")" && return 0
    polkitd_answers && return 0
    [ -x "$POLKITD" ] || die "$POLKITD is missing: install polkitd (make deps does)"
    # Not holding the lock (descriptor 9), or clean-up would wait for the daemon.
    setsid "$POLKITD" --no-debug </dev/null >>"$STATE/polkitd.log" 2>&1 9>&- &
    process_id $! >"$STATE/polkitd.pid"
    say "started polkitd (pid $!)"
    wait_for "polkitd answering on the system bus" polkitd_answers
}

# --- reaching the test programs ------------------------------------------------------------------

# The users must be able to enter every folder above the build and source trees (a clone under
# /root, say, is not open to them). Grant exactly that, and note it for the clean-up.
open_path_for() { # user folder
    local user=$1 rest=${2#/} dir=""
    while [ -n "$rest" ]; do
        dir="$dir/${rest%%/*}"
        [[ $rest == */* ]] && rest=${rest#*/} || rest=""
        runuser -u "$user" -- test -x "$dir" 2>/dev/null && continue
        if command -v setfacl >/dev/null; then
            setfacl -m "u:$user:x" "$dir"
            echo "acl $user $dir" >>"$STATE/grants"
        else
            echo "mode $(stat -c %a "$dir") $dir" >>"$STATE/grants"
            chmod o+x "$dir"
        fi
        say "let $user enter $dir"
    done
}

open_paths() {
    local dir u
    for dir in "$@"; do
        [ -d "$dir" ] || continue
        for u in "${USERS[@]}"; do
            open_path_for "$u" "$(realpath "$dir")"
        done
    done
}

# --- pkexec works --------------------------------------------------------------------------------

# pkexec answers 126/127 when it did not start the program; anything else came from the helper.
pkexec_works() { # helper
    local rc=0
    runuser -u "${USERS[0]}" -- pkexec "$1" check </dev/null >/dev/null 2>&1 || rc=$?
    [ "$rc" != 126 ] && [ "$rc" != 127 ]
}

check_pkexec() { # helper
    if [ ! -x "$1" ]; then
        say "the helper is not installed at $1 (make install): tests that need it will skip"
        return 0
    fi
    wait_for "pkexec running $1 for ${USERS[0]}" pkexec_works "$1"
    say "pkexec runs $1 for ${USERS[0]}"
}

# --- the two verbs -------------------------------------------------------------------------------

setup() { # helper [folders...]
    local helper=${1:?usage: test-users.sh setup <helper path> [folders...]}
    shift
    lock_state
    prune_holders
    process_id "${VELLUMAR_TEST_HOLDER:-$PPID}" >>"$STATE/holders"
    add_users
    write_rules
    start_bus
    start_polkitd
    open_paths "$@"
    check_pkexec "$helper"
}

stop_recorded() { # state file, process name
    local file=$STATE/$1 id pid i
    [ -s "$file" ] || return 0
    id=$(cat "$file")
    pid=${id%% *}
    if alive "$id" && [ "$(cat "/proc/$pid/comm")" = "$2" ]; then
        kill "$pid"
        for ((i = 0; i < 50; i++)); do
            alive "$id" || break
            sleep 0.1
        done
        alive "$id" && kill -9 "$pid"
        say "stopped $2 (pid $pid)"
    fi
    rm -f "$file"
}

undo_grants() {
    local kind a b
    [ -f "$STATE/grants" ] || return 0
    while read -r kind a b; do
        case $kind in
        acl) setfacl -x "u:$a" "$b" 2>/dev/null || true ;;
        mode) chmod "$a" "$b" ;;
        esac
    done <"$STATE/grants"
    rm -f "$STATE/grants"
}

remove_rules() {
    [ -e "$STATE/rules-written" ] || return 0
    if [ -e "$STATE/rules-before" ]; then
        mv "$STATE/rules-before" "$RULES"
    else
        rm -f "$RULES"
    fi
    rm -f "$STATE/rules-written"
    say "removed $RULES"
}

# Processes of a user we added that outlive every test run were left behind by a test: they are
# stopped so that the user can go, and the clean-up fails to report the leak. A process that has
# ended and only waits for its parent to collect it (a zombie) runs nothing and holds nothing.
running_as() { ps -u "$1" -o pid=,stat= 2>/dev/null | awk '$2 !~ /^Z/ { print $1 }' | paste -sd' '; }
stop_leftovers() { # user
    local pids i
    pids=$(running_as "$1")
    [ -n "$pids" ] || return 0
    echo "test-users: a test left processes running as $1: $(pgrep -u "$1" -a | paste -sd';')" >&2
    # shellcheck disable=SC2086
    kill $pids 2>/dev/null
    for ((i = 0; i < 20; i++)); do
        [ -n "$(running_as "$1")" ] || return 1
        sleep 0.1
    done
    # shellcheck disable=SC2086
    kill -9 $pids 2>/dev/null
    sleep 0.2
    return 1
}

remove_users() {
    local u i failed=0 left=()
    [ -f "$STATE/added-users" ] || return 0
    while read -r u; do
        getent passwd "$u" >/dev/null || continue
        stop_leftovers "$u" || failed=1
        # A zombie of the user's still counts for userdel until its parent collects it.
        for ((i = 0; i < 10; i++)); do
            pgrep -u "$u" >/dev/null || break
            sleep 0.2
        done
        if userdel "$u" 2>"$STATE/userdel.err" ||
            { [ -z "$(running_as "$u")" ] && userdel -f "$u" 2>"$STATE/userdel.err"; }; then
            say "removed the user $u"
            # The media folder the helper made for the user's disks, when nothing is left in it.
            rmdir "/media/$u" 2>/dev/null || true
        else
            echo "test-users: could not remove $u: $(cat "$STATE/userdel.err")" >&2
            echo "test-users: its processes: $(pgrep -u "$u" -a | tr '\n' ';')" >&2
            left+=("$u")
            failed=1
        fi
    done <"$STATE/added-users"
    printf '%s\n' "${left[@]+"${left[@]}"}" | sed '/^$/d' >"$STATE/added-users"
    return $failed
}

cleanup() {
    [ -d "$STATE" ] || return 0
    lock_state
    local me
    me=$(process_id "${VELLUMAR_TEST_HOLDER:-$PPID}")
    grep -vxF "$me" "$STATE/holders" >"$STATE/holders.new" 2>/dev/null || true
    mv "$STATE/holders.new" "$STATE/holders"
    prune_holders
    if [ "$(holder_count)" != 0 ]; then
        say "other test runs still use the test users (processes $(cut -d' ' -f1 "$STATE/holders" |
            paste -sd' ')); leaving them in place"
        return 0
    fi
    local started_bus=0
    [ -s "$STATE/dbus.pid" ] && started_bus=1
    stop_recorded polkitd.pid polkitd
    stop_recorded dbus.pid dbus-daemon
    [ "$started_bus" = 1 ] && rm -f "$BUS_SOCKET" "$BUS_PIDFILE"
    undo_grants
    remove_rules
    local status=0
    remove_users || status=1
    # A user that could not go stays recorded, for the next clean-up to try again.
    [ -s "$STATE/added-users" ] || rm -f "$STATE/added-users"
    rm -f "$STATE"/*.log "$STATE/userdel.err" "$STATE/holders"
    rmdir "$STATE" 2>/dev/null || true
    return $status
}

verb=${1:-}
shift || true
if [ "$(id -u)" != 0 ]; then
    say "not root: nothing to $verb; the tests run as $(id -un) through pkexec"
    exit 0
fi
case $verb in
setup) setup "$@" ;;
cleanup) cleanup ;;
*) die "usage: test-users.sh setup <helper path> [folders...] | cleanup" ;;
esac
