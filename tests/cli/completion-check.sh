#!/bin/bash
# The bash completion of vellumarctl: every command and option, and mount paths with spaces
# quoted. Runs without the bash-completion package: its two helpers are stood in for here.
set -u
completion=$1
fail=0
bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
# A vellumarctl that lists two disks, one with spaces and a quote in its path.
cat > "$bin/vellumarctl" <<'FAKE'
#!/bin/sh
cat <<'JSON'
[
    {
        "device": "/dev/loop3",
        "mountPath": "/media/me/My Disk \"2\"",
        "name": "My Disk"
    },
    {
        "device": "/dev/loop4",
        "mountPath": "/media/me/Scratch",
        "name": "Scratch"
    }
]
JSON
FAKE
chmod +x "$bin/vellumarctl"
PATH=$bin:$PATH

_init_completion()
{
    words=("${COMP_WORDS[@]}")
    cword=$COMP_CWORD
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
}
_filedir() { COMPREPLY=(FOLDERS); }
# shellcheck source=/dev/null
source "$completion"

complete_line()
{
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    _vellumarctl
    printf '%s\n' "${COMPREPLY[@]}"
}

expect()
{
    local what=$1 wanted=$2 got=$3
    if ! grep -qxF -- "$wanted" <<<"$got"; then
        echo "FAIL: $what: expected '$wanted' among:"; echo "$got"
        fail=1
    fi
}

for command in create list eject sync mem swap; do
    expect "command $command" "$command" "$(complete_line vellumarctl '')"
done
for option in --size --name --mount --kind --keep --remember --remembered --help; do
    expect "create $option" "$option" "$(complete_line vellumarctl create '')"
done
for kind in memory compressed block; do
    expect "kind $kind" "$kind" "$(complete_line vellumarctl create --kind '')"
done
expect "keep takes a folder" FOLDERS "$(complete_line vellumarctl create --keep '')"
expect "eject --force" --force "$(complete_line vellumarctl eject --)"
expect "list --json" --json "$(complete_line vellumarctl list '')"
# Paths with spaces come back quoted, whole.
quoted='/media/me/My\ Disk\ \"2\"'
expect "eject path" "$quoted" "$(complete_line vellumarctl eject /media/me/My)"
expect "sync path" "$quoted" "$(complete_line vellumarctl sync '/media/me/My\ D')"
expect "plain path" /media/me/Scratch "$(complete_line vellumarctl eject /media/me/S)"
[ "$fail" = 0 ] && echo "completion: all cases passed"
exit $fail
