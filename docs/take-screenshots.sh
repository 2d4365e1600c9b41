#!/bin/bash
# Takes the screenshots in docs/screenshots/ from the real program on a private Xvfb display
# with openbox, driven by xdotool. Needs root and the installed helper (make install): the
# disks are made by the test user vellumar-t1 through pkexec, set up as the tests set it up; one
# shot runs as "nobody", whom polkit does not let make disks. Usage: docs/take-screenshots.sh
# [build/bin]
set -euo pipefail
bin=$(realpath "${1:-build/bin}")
out=$(realpath "$(dirname "$0")/screenshots")
work=$(mktemp -d /tmp/vellumar-shots-XXXXXX)
chmod 755 "$work"
pids=()

repo=$(realpath "$(dirname "$0")/..")
users="$repo/tests/privilege/test-users.sh"
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$bin/../CMakeCache.txt" 2>/dev/null || true)
helper="${prefix:-/usr/local}/libexec/vellumar/vellumar-ramdev"

cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    # Only the disks made under this script's own folder, or in the media folder of the test
    # user this script made.
    { grep -oE " ($work|/media/vellumar-t1)/[^ ]*" /proc/mounts || true; } | sed 's/\\040/ /g; s/^ //' |
        while read -r mount; do "$bin/vellumarctl" eject "$mount" >/dev/null || true; done
    rm -rf "$work"
    VELLUMAR_TEST_HOLDER=$$ bash "$users" cleanup >/dev/null || true
}
trap cleanup EXIT
VELLUMAR_TEST_HOLDER=$$ bash "$users" setup "$helper" "$repo" "$bin" >/dev/null

exec 3< <(Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp -ac 2>/dev/null)
read -r number <&3
export DISPLAY=":$number"
pids+=($(pgrep -n -f "Xvfb -displayfd 1 -screen 0 1280x800x24"))
openbox --sm-disable >/dev/null 2>&1 & pids+=($!)
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.1; done

wait_title() { # prefix
    for _ in $(seq 100); do
        [[ "$(xdotool getactivewindow getwindowname 2>/dev/null)" == "$1"* ]] && { sleep 0.3; return; }
        sleep 0.1
    done
    import -window root "/tmp/vellumar-shots-failed.png" 2>/dev/null || true
    echo "no window \"$1\" (the screen is in /tmp/vellumar-shots-failed.png)" >&2; exit 1
}
shot_active() { import -frame -window "$(xdotool getactivewindow)" "$out/$1"; }
shot_screen() { import -window root "$work/screen.png"; convert "$work/screen.png" -trim +repage "$out/$1"; }
start() { # user language home
    local user=$1 lang=$2 home=$3
    mkdir -p "$home/run"; chmod 700 "$home/run"; chown -R "$user" "$home"
    runuser -u "$user" -- env -i DISPLAY="$DISPLAY" HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        XDG_RUNTIME_DIR="$home/run" PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG="$lang" \
        LANGUAGE="${lang%%.*}" VELLUMAR_NO_DESKTOP=1 "$bin/vellumar" >/dev/null 2>&1 &
    pids+=($!)
}
quit_program() { xdotool key --clearmodifiers ctrl+q; sleep 1; }

# The form, in English and in German, with a size typed.
start root C.UTF-8 "$work/en"; wait_title "New RAM Disk"
xdotool type --delay 30 "1.5G"; sleep 0.3; shot_active window-create.png; quit_program
start root de_DE.UTF-8 "$work/de"; wait_title "Neue RAM-Disk"
xdotool type --delay 30 "512M"; sleep 0.3; shot_active window-create-de.png; quit_program

# A disk made by a normal user: the BUILD tab with its size; a second window cascaded; the quit
# alert.
start vellumar-t1 C.UTF-8 "$work/disks"; wait_title "New RAM Disk"
xdotool type --delay 30 "512M"; xdotool key Return; wait_title "Ram Disk (512 MiB)"
shot_active window-build.png
xdotool key --clearmodifiers ctrl+n; wait_title "New RAM Disk"
xdotool type --delay 30 "64M"; xdotool key Return; wait_title "Ram Disk (64 MiB)"
shot_screen windows-cascaded.png
xdotool key --clearmodifiers ctrl+q; wait_title "Some RAM disks"
shot_screen quit-alert.png
xdotool key --clearmodifiers Escape; wait_title "Ram Disk (64 MiB)"
xdotool key --clearmodifiers ctrl+w; wait_title "This RAM disk is still mounted"
shot_active close-sheet.png
xdotool key --clearmodifiers Escape; wait_title "Ram Disk (64 MiB)"
# The memory details, opened by a click on their triangle at the window's bottom left.
window=$(xdotool getactivewindow)
height=$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^HEIGHT=//p')
xdotool mousemove --window "$window" 22 $((height - 14)) click 1; sleep 0.5
shot_active window-memory-open.png
xdotool mousemove --window "$window" 22 $((height - 14)) click 1; sleep 0.5
xdotool key --clearmodifiers ctrl+e; sleep 2; shot_active window-destroy.png
xdotool key --clearmodifiers ctrl+comma; wait_title "Vellumar Preferences"
shot_active preferences.png
xdotool key --clearmodifiers Escape; sleep 0.3
xdotool key --clearmodifiers ctrl+q; wait_title "Some RAM disks"
xdotool key --clearmodifiers alt+e; sleep 2; quit_program

# A size beyond what the machine can give: refused by the helper's own memory rule before
# anything is made, with the figures.
available=$(awk '$1 == "MemAvailable:" { print $2 }' /proc/meminfo)
start vellumar-t1 C.UTF-8 "$work/failed"; wait_title "New RAM Disk"
xdotool type --delay 30 "$((available - 307200))"; xdotool key Return
wait_title "Not enough memory for this disk"
sleep 1; shot_active window-failed.png
xdotool key --clearmodifiers Return; wait_title "New RAM Disk"; quit_program

# A disk that keeps its contents: the folder is loaded after the mount; the window shows where the
# contents are kept and when they were last saved.
start vellumar-t1 C.UTF-8 "$work/kept"; wait_title "New RAM Disk"
mkdir -p "$work/kept/.local/share/vellumar/kept/Ram Disk/notes"
echo "kept across ejects" >"$work/kept/.local/share/vellumar/kept/Ram Disk/notes/todo.txt"
chown -R vellumar-t1 "$work/kept/.local"
xdotool type --delay 30 "256M"; xdotool key --clearmodifiers alt+k
sleep 0.3; shot_active window-create-kept.png
# Back to the size field, where Return creates.
xdotool key --clearmodifiers alt+s Return; wait_title "Ram Disk (256 MiB)"
sleep 2; shot_active window-kept.png
xdotool key --clearmodifiers ctrl+e; sleep 3; quit_program

# A user whom the system does not let make disks learns it before anything is made.
start nobody C.UTF-8 "$work/nobody"; wait_title "New RAM Disk"
xdotool type --delay 30 "256M"; xdotool key Return; wait_title "Disks cannot be made"
shot_active window-no-privilege.png
xdotool key --clearmodifiers Return; sleep 0.5; quit_program
echo "screenshots written to $out"
