#!/usr/bin/env bash
# The application under Xvfb: time from the start of the process until its first window is
# mapped on the X server, and the time of one memory-panel refresh.
# Usage: bench/app.sh <bin dir> <markdown output file> [rounds]
set -euo pipefail
BIN=$(cd "$1" && pwd)
OUT=$2
ROUNDS=${3:-7}
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d /tmp/vellumar-bench-app.XXXXXX)
mkdir -p "$WORK/home"
# shellcheck source=bench/lib.sh
. "$HERE/lib.sh"

APP="$BIN/vellumar"
PANEL="$BIN/vellumar-panelbench"
XVFB_PID=
APP_PID=
finish() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    bench_cleanup
}
trap finish EXIT
trap 'exit 130' INT TERM

row() { echo "| $1 | $2 | $3 | $4 |" >>"$OUT"; }
{
    echo "| Figure | Value (ms) | Baseline | Note |"
    echo "|---|---:|---|---|"
} >"$OUT"

# A mapped top-level window of the process, found through the X server itself.
first_window_mapped() { # pid
    local id
    for id in $(xwininfo -root -children 2>/dev/null | awk '$1 ~ /^0x/ { print $1 }'); do
        if xprop -id "$id" _NET_WM_PID 2>/dev/null | grep -q "= $1\$" &&
            xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
            return 0
        fi
    done
    return 1
}

if [ ! -x "$APP" ] || ! command -v Xvfb >/dev/null || ! command -v xwininfo >/dev/null; then
    row "start to first window" "not measured" "" "needs $APP, Xvfb and xwininfo"
else
    display=:$((90 + RANDOM % 100))
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do xwininfo -root -display "$display" >/dev/null 2>&1 && break; sleep 0.05; done
    times=()
    for ((r = 0; r < ROUNDS; r++)); do
        t0=$(now)
        env DISPLAY="$display" HOME="$WORK/home" QT_QPA_PLATFORM=xcb "$APP" >/dev/null 2>&1 &
        APP_PID=$!
        found=
        for _ in $(seq 2000); do
            if DISPLAY=$display first_window_mapped "$APP_PID"; then found=1; break; fi
            kill -0 "$APP_PID" 2>/dev/null || break
        done
        t1=$(now)
        kill "$APP_PID" 2>/dev/null || true
        wait "$APP_PID" 2>/dev/null || true
        APP_PID=
        [ -n "$found" ] || { echo "app: no window appeared" >&2; times=(); break; }
        times+=("$(ms_between "$t0" "$t1")")
    done
    if [ ${#times[@]} -gt 0 ]; then
        row "start to first window shown" "$(median "${times[@]}")" "none" \
            "median of $ROUNDS starts under Xvfb; includes up to one polling interval of the X queries (a few ms)"
    else
        row "start to first window shown" "not measured" "" "the application showed no window"
    fi
fi

if [ -x "$PANEL" ]; then
    out=$(HOME="$WORK/home" QT_QPA_PLATFORM=offscreen "$PANEL")
    row "one memory-panel refresh" "$(awk '$1 == "refresh_ms" { print $2 }' <<<"$out")" \
        "reading the statistics alone: $(awk '$1 == "stats_ms" { print $2 }' <<<"$out") ms" \
        "median of $(awk '$1 == "rounds" { print $2 }' <<<"$out") refreshes of a real disk window (offscreen, panel $(awk '$1 == "panel_open" { print ($2 == 1 ? "open" : "closed") }' <<<"$out")); a label repaints only when its figure changed"
else
    row "one memory-panel refresh" "not measured" "" "needs $PANEL (bench/perf, built with the disk window)"
fi
