#!/usr/bin/env bash
# The three kinds of disk against a plain tmpfs mount made in the same round: one interleaved run,
# the order of the kinds turned each round, every figure a ratio to that round's tmpfs (above 1:
# faster than tmpfs), min/median/max over the rounds. Also the memory a compressed disk takes for
# a source tree, and create-to-mounted of a memory disk against a bare `mount -t tmpfs`.
# The build workload configures and builds BUILD_TARGETS of this project from a copy of its source
# put on the disk, build folder on the disk too (default: the helper alone, about 10 s a disk on
# two cores; widen it with e.g. BUILD_TARGETS="vellumar-ramdev vellumar_platform").
# Needs root (it mounts the baseline and runs the helper directly).
# Usage: bench/kinds.sh <bin dir> <markdown output file>
set -euo pipefail
BIN=$(cd "$1" && pwd)
OUT=$2
ROUNDS=${ROUNDS:-5}
SIZE_KIB=${SIZE_KIB:-2097152}
WRITE_MIB=${WRITE_MIB:-1024}
SMALL_FILES=${SMALL_FILES:-20000}
APPENDS=${APPENDS:-2000}
BUILD_TARGETS=${BUILD_TARGETS:-vellumar-ramdev}
BUILD_JOBS=${BUILD_JOBS:-$(nproc)}
SOURCE=$(cd "$(dirname "$0")/.." && pwd)
HELPER=$BIN/vellumar-ramdev
FS=$BIN/vellumar-fsbench
KINDS=(tmpfs memory compressed block)
WORK=$(mktemp -d /tmp/vellumar-bench-kinds.XXXXXX)
declare -A device id

finish() {
    for kind in "${KINDS[@]}"; do eject "$kind" 2>/dev/null || true; done
    rm -rf "$WORK"
}
trap finish EXIT

now() { date +%s%N; }
value() { awk -v k="$1" '$1 == k { print $2 }' <<<"$2"; }

make_disk() { # kind
    local kind=$1 dir=$WORK/$1 out
    if [ "$kind" = tmpfs ]; then
        mkdir -p "$dir"
        mount -t tmpfs -o "size=${SIZE_KIB}k,mode=0700,noatime,nosuid,nodev" bench "$dir"
        return
    fi
    if [ "$kind" = memory ]; then
        out=$("$HELPER" attach "ram://$((SIZE_KIB * 2))" memory Bench "$dir")
    else
        out=$("$HELPER" attach "ram://$((SIZE_KIB * 2))" "$kind")
    fi
    device[$kind]=$(sed -n 1p <<<"$out")
    id[$kind]=$(sed -n 2p <<<"$out")
    if [ "$kind" != memory ]; then
        "$HELPER" format "${device[$kind]}" "${id[$kind]}" Bench >/dev/null
        "$HELPER" mount "${device[$kind]}" "${id[$kind]}" "$dir" >/dev/null
    fi
}

eject() { # kind
    local kind=$1
    if [ "$kind" = tmpfs ]; then
        mountpoint -q "$WORK/tmpfs" && umount "$WORK/tmpfs"
    elif [ -n "${device[$kind]:-}" ]; then
        "$HELPER" unmount "${device[$kind]}" "${id[$kind]}"
        "$HELPER" detach "${device[$kind]}" "${id[$kind]}" >/dev/null
        device[$kind]=""
    fi
    rmdir "$WORK/$kind" 2>/dev/null || true
}

# Seconds of a command, in nanoseconds.
timed() { local start; start=$(now); "$@" >/dev/null; echo $(($(now) - start)); }

declare -A results # "<workload> <kind>" -> one value a round, as "a b c"
record() { results["$1 $2"]+="$3 "; }

# A source tree to extract: the system's C headers, in a tarball read once beforehand.
tar -C /usr/include -cf "$WORK/tree.tar" . && cat "$WORK/tree.tar" >/dev/null
TREE_MIB=$(($(stat -c %s "$WORK/tree.tar") / 1048576))

# The project's own source for the build, without its version control or any configured build
# folder, copied once; each disk gets it unpacked before its build.
tar -C "$SOURCE" --exclude-vcs --exclude-tag-all=CMakeCache.txt --exclude=./build \
    --exclude='./build-*' -cf "$WORK/source.tar" .
GENERATOR=Ninja
command -v ninja >/dev/null || GENERATOR="Unix Makefiles"
# Every build compiles from scratch: no compiler cache, no launcher from the environment, and
# nothing else from the caller's CMake or make settings. The compiler's temporary files go to the
# disk as well, so the whole build is on it.
build_env() { # tmp dir, command...
    local tmp=$1
    shift
    env -u CMAKE_C_COMPILER_LAUNCHER -u CMAKE_CXX_COMPILER_LAUNCHER -u CMAKE_GENERATOR \
        -u CMAKE_BUILD_PARALLEL_LEVEL -u CMAKE_TOOLCHAIN_FILE -u MAKEFLAGS -u MFLAGS \
        CCACHE_DISABLE=1 TMPDIR="$tmp" "$@"
}
# Configures and builds on the disk in <dir>; prints the nanoseconds of each. A failed step
# shows the end of its log. Warnings are not errors here: a newer compiler's warning must not
# stop a benchmark.
cmake_build() { # dir
    local src=$1/source bld=$1/build tmp=$1/tmp log=$1/build.log start configured
    mkdir "$src" "$bld" "$tmp" && tar -C "$src" -xf "$WORK/source.tar" || return 1
    start=$(now)
    if ! build_env "$tmp" cmake -S "$src" -B "$bld" -G "$GENERATOR" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUMAR_WERROR=OFF \
        -DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER= \
        >"$log" 2>&1; then
        tail -n 30 "$log" >&2
        return 1
    fi
    configured=$(now)
    if grep -q '^CMAKE_CXX_COMPILER_LAUNCHER:[A-Z]*=.' "$bld/CMakeCache.txt"; then
        echo "kinds: the build would go through a compiler launcher" >&2
        return 1
    fi
    # shellcheck disable=SC2086 # one word a target
    if ! build_env "$tmp" cmake --build "$bld" -j "$BUILD_JOBS" --target $BUILD_TARGETS \
        >>"$log" 2>&1; then
        tail -n 30 "$log" >&2
        return 1
    fi
    echo "$((configured - start)) $(($(now) - configured))"
}
# One build before the rounds, on a tmpfs: the compiler and the headers are read into the page
# cache for every kind alike, and a build that fails stops the run before the rounds.
make_disk tmpfs
cmake_build "$WORK/tmpfs" >/dev/null
eject tmpfs

LOAD_BEFORE=$(cut -d" " -f1-3 /proc/loadavg)
compression=""
for round in $(seq "$ROUNDS"); do
    order=("${KINDS[@]:round % 4}" "${KINDS[@]:0:round % 4}")
    for kind in "${order[@]}"; do
        make_disk "$kind"
        dir=$WORK/$kind
        out=$("$FS" write "$dir/big" "$WRITE_MIB")
        record write "$kind" "$(value seconds "$out")"
        rm -f "$dir/big"
        mkdir "$dir/small"
        out=$("$FS" smallfiles "$dir/small" "$SMALL_FILES" 4096)
        record small "$kind" "$(value total_seconds "$out")"
        out=$("$FS" append "$dir/log" "$APPENDS")
        record append "$kind" "$(value median_microseconds "$out")"
        mkdir "$dir/tree"
        record extract "$kind" "$(timed tar -C "$dir/tree" -xf "$WORK/tree.tar")"
        if [ "$kind" = compressed ] && [ -z "$compression" ]; then
            sync
            line=$("$HELPER" list | awk -F'\t' -v d="${device[compressed]}" '$1 == d')
            held=$(cut -f10 <<<"$line") data=$(cut -f11 <<<"$line")
            compression="$TREE_MIB MiB of headers: $((data / 1024)) MiB of data in $((held / 1024)) MiB of memory, $(awk -v a="$data" -v b="$held" 'BEGIN { printf "%.2f", a / b }')×"
        fi
        out=$(cmake_build "$dir")
        read -r configure build <<<"$out"
        record cmake "$kind" "$((configure + build))"
        record configure "$kind" "$configure"
        eject "$kind"
    done
done

# Create to mounted: a memory disk by the helper against a bare tmpfs mount.
for round in $(seq "$ROUNDS"); do
    mkdir -p "$WORK/bare"
    record create bare "$(timed mount -t tmpfs -o size=1g bare "$WORK/bare")"
    umount "$WORK/bare"
    rmdir "$WORK/bare"
    start=$(now)
    out=$("$HELPER" attach ram://2097152 memory Quick "$WORK/quick")
    record create memory "$(($(now) - start))"
    "$HELPER" unmount "$(sed -n 1p <<<"$out")" "$(sed -n 2p <<<"$out")"
    "$HELPER" detach "$(sed -n 1p <<<"$out")" "$(sed -n 2p <<<"$out")" >/dev/null
    rmdir "$WORK/quick"
done

# The same as a normal user through pkexec, against a bare tmpfs mount plus one pkexec call of
# the helper: the test user and polkit rule come from the tests' own fixture. AS_USER=no leaves
# this out (the test users are shared with whoever runs the tests on this machine).
FIXTURE=$(dirname "$0")/../tests/privilege/test-users.sh
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$BIN/../CMakeCache.txt" 2>/dev/null || true)
INSTALLED=${prefix:-/usr/local}/libexec/vellumar/vellumar-ramdev
as_user=""
if [ "${AS_USER:-yes}" != no ] && [ -x "$INSTALLED" ] &&
    VELLUMAR_TEST_HOLDER=$$ bash "$FIXTURE" setup "$INSTALLED" >&2; then
    as_user=vellumar-t1
    uhome=$WORK/user
    mkdir -p "$uhome"
    chown "$as_user:" "$uhome"
    chmod 755 "$WORK"
    for round in $(seq "$ROUNDS"); do
        record call user "$(timed runuser -u "$as_user" -- pkexec "$INSTALLED" check)"
        start=$(now)
        out=$(runuser -u "$as_user" -- pkexec "$INSTALLED" attach ram://2097152 memory Quick \
            "$uhome/quick" </dev/null)
        record create user "$(($(now) - start))"
        runuser -u "$as_user" -- pkexec "$INSTALLED" unmount "$(sed -n 1p <<<"$out")" \
            "$(sed -n 2p <<<"$out")" </dev/null
        runuser -u "$as_user" -- pkexec "$INSTALLED" detach "$(sed -n 1p <<<"$out")" \
            "$(sed -n 2p <<<"$out")" </dev/null >/dev/null
        rmdir "$uhome/quick"
    done
    VELLUMAR_TEST_HOLDER=$$ bash "$FIXTURE" cleanup >&2 || true
fi

# min/median/max of tmpfs/kind per round (times and latencies alike: above 1 is faster).
ratios() { # workload kind
    local base=(${results["$1 tmpfs"]}) mine=(${results["$1 $2"]}) i
    for i in "${!base[@]}"; do
        awk -v a="${base[$i]}" -v b="${mine[$i]}" 'BEGIN { printf "%.3f\n", a / b }'
    done | sort -n | awk '{ v[NR] = $1 } END { printf "%.2f / %.2f / %.2f", v[1], v[int((NR + 1) / 2)], v[NR] }'
}
median() { tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

{
    echo "## Disk kinds against tmpfs ($(date -u +%F), $ROUNDS rounds, $((SIZE_KIB / 1048576)) GiB disks)"
    echo
    echo "Machine: $(nproc) cores, $(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo), kernel $(uname -r); load average before and after: $LOAD_BEFORE / $(cut -d' ' -f1-3 /proc/loadavg)."
    echo "Ratios to a plain tmpfs mount made in the same round (speed: above 1 is faster), min / median / max."
    echo
    echo "| workload | memory | compressed | block |"
    echo "|---|---:|---:|---:|"
    for workload in write small append extract cmake; do
        case $workload in
        write) name="$WRITE_MIB MiB write + fsync" ;;
        small) name="$SMALL_FILES × 4 KiB: create + read + delete" ;;
        append) name="4 KiB append + fdatasync (median latency)" ;;
        extract) name="extracting a $TREE_MIB MiB source tree" ;;
        cmake) name="CMake configure + build of $BUILD_TARGETS ($GENERATOR, $BUILD_JOBS jobs)" ;;
        esac
        echo "| $name | $(ratios "$workload" memory) | $(ratios "$workload" compressed) | $(ratios "$workload" block) |"
    done
    echo
    echo "Append latency medians (µs): tmpfs $(median "${results["append tmpfs"]}"), memory $(median "${results["append memory"]}"), compressed $(median "${results["append compressed"]}"), block $(median "${results["append block"]}")."
    echo
    echo "CMake configure + build medians (s): $(for kind in "${KINDS[@]}"; do
        total=$(median "${results["cmake $kind"]}")
        configure=$(median "${results["configure $kind"]}")
        awk -v k="$kind" -v t="$total" -v c="$configure" \
            'BEGIN { printf "%s %.1f (configure %.1f), ", k, t / 1e9, c / 1e9 }'
    done | sed 's/, $//')."
    echo
    echo "Compressed disk: $compression."
    echo
    echo "Create to mounted, 1 GiB, as root (median of $ROUNDS): bare \`mount -t tmpfs\` $(($(median "${results["create bare"]}") / 1000)) µs, memory disk by the helper $(($(median "${results["create memory"]}") / 1000)) µs."
    if [ -n "$as_user" ]; then
        echo
        echo "As $as_user through pkexec (median of $ROUNDS): memory disk $(($(median "${results["create user"]}") / 1000)) µs, against a bare mount plus one pkexec call of the helper $((($(median "${results["create bare"]}") + $(median "${results["call user"]}")) / 1000)) µs (the call alone: $(($(median "${results["call user"]}") / 1000)) µs)."
    fi
} | tee "$OUT"
