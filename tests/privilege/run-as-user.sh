#!/usr/bin/env bash
# Runs one test as an unprivileged user.
# Usage: run-as-user.sh <user> <program> [arguments...]
#
# As root: runs the program as <user> (set up by test-users.sh) with a fresh home folder it owns,
# a fresh runtime folder, that home as its working folder, and the environment it was given minus
# what belongs to root's session. VELLUMAR_TEST_USER names the user, so a test can tell that it
# is meant to be authorised. Not root: runs the program as it is, as the current user.
# The program's exit status is passed on (77: skipped).
set -euo pipefail

user=${1:?usage: run-as-user.sh <user> <program> [arguments...]}
program=${2:?usage: run-as-user.sh <user> <program> [arguments...]}
shift

if [ "$(id -u)" != 0 ]; then
    exec "$@"
fi

fail() {
    echo "run-as-user: $*" >&2
    exit 1
}

getent passwd "$user" >/dev/null ||
    fail "the test user $user does not exist: the fixture vellumar_test_users sets it up"
[[ $program != */* ]] || runuser -u "$user" -- test -x "$program" ||
    fail "$user cannot run $program: a folder above it is closed to that user"

home=$(mktemp -d "/tmp/vellumar-$user.XXXXXX")
# Leave the home in place when a test left something mounted below it: deleting through a
# mount would destroy that volume's files.
remove_home() {
    if awk -v h="$home" '$2 == h || index($2, h "/") == 1 { found = 1 } END { exit !found }' \
        /proc/self/mounts; then
        echo "run-as-user: left $home in place: something is still mounted below it" >&2
    else
        rm -rf --one-file-system "$home"
    fi
}
trap remove_home EXIT
mkdir -m 700 "$home/.runtime"
chown -R "$user:" "$home"
chmod 700 "$home"

# Everything that names root's own session, folders or identity stays behind, and so does
# every setting that points into root's home.
drop=(USER LOGNAME HOME SHELL MAIL PWD OLDPWD TMPDIR XAUTHORITY DBUS_SESSION_BUS_ADDRESS
    SUDO_USER SUDO_UID SUDO_GID SUDO_COMMAND SUDO_HOME VELLUMAR_TEST_HOLDER)
root_home=$(getent passwd 0 | cut -d: -f6)
for name in $(compgen -e); do
    case $name in XDG_*) drop+=("$name") ;; esac
    [ "$name" = PATH ] && continue
    case ${!name} in "$root_home" | "$root_home"/*) drop+=("$name") ;; esac
done
PATH=$(tr ':' '\n' <<<"$PATH" | grep -vE "^$root_home(/|\$)" | paste -sd:)
unset_args=()
for name in "${drop[@]}"; do unset_args+=(-u "$name"); done

cd "$home"
status=0
runuser -u "$user" -- env "${unset_args[@]}" HOME="$home" USER="$user" LOGNAME="$user" \
    XDG_RUNTIME_DIR="$home/.runtime" VELLUMAR_TEST_USER="$user" "$@" || status=$?
cd /
exit "$status"
