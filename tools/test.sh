#!/usr/bin/env bash
# The whole test run on a fresh Debian machine: installs what is missing, builds the native, fuzz and
# Windows presets and runs every test: the native unit tests and the fuzzing smoke run in the
# background from the end of their builds on, every Windows test under Wine side by side, each in a
# sandbox of its own (tools/wine-sandbox). Ends with the time each stage took. Exits non-zero when
# anything fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

# The package list and install_missing are shared with tools/run-tivolan.
source tools/lib/packages.sh

# Wine tests at once: most of their time is spent waiting for windows, timers and servers, so more
# of them than there are cores keeps the cores busy; twice as many again were barely faster and
# made the waits of loaded tests run out. QP_TEST_JOBS overrides.
cores=$(nproc)
wine_jobs=${QP_TEST_JOBS:-$((cores * 4))}

logs=$(mktemp -d)
background=()
cleanup() {
    local pid
    for pid in "${background[@]}"; do
        pkill -P "$pid" 2>/dev/null || true
        kill "$pid" 2>/dev/null || true
    done
    rm -rf "$logs"
}
trap cleanup EXIT

status=0
stage_names=()
stage_times=()
stage_notes=()
stage_start=0
begin() {
    echo "== $1"
    stage_names+=("$1")
    stage_notes+=("")
    stage_start=$EPOCHREALTIME
}
since() { awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }'; }
end() { stage_times+=("$(since "$stage_start")"); }
note() { stage_notes[-1]=$1; }

# One ctest run: its output in $logs/NAME.log (and on the terminal with --live), its exit code in
# $logs/NAME.rc and its wall-clock seconds in $logs/NAME.time.
run_ctest() {
    local name=$1 live=$2 started=$EPOCHREALTIME rc=0
    shift 2
    if [ "$live" = --live ]; then
        ctest "$@" 2>&1 | tee "$logs/$name.log" || rc=$?
        [ "${PIPESTATUS[0]}" -eq 0 ] || rc=1
    else
        ctest "$@" >"$logs/$name.log" 2>&1 || rc=$?
    fi
    echo "$rc" >"$logs/$name.rc"
    since "$started" >"$logs/$name.time"
}

# Runs a ctest in the background, beside the next stages; finish_ctest NAME TITLE collects it.
start_ctest() {
    run_ctest "$1" --quiet "${@:2}" &
    background+=($!)
}
finish_ctest() {
    local name=$1 title=$2
    wait "${background[0]}" || true
    background=("${background[@]:1}")
    stage_names+=("$title (beside the others)")
    stage_times+=("$(cat "$logs/$name.time")")
    stage_notes+=("")
    if [ "$(cat "$logs/$name.rc")" != 0 ]; then
        echo "== $title failed:"
        cat "$logs/$name.log"
        status=1
    else
        echo "== $title: $(grep -E 'tests passed, [0-9]+ tests? failed out of' "$logs/$name.log" | tail -1)"
    fi
}

# Builds a preset and notes how the wall-clock time split between compiling and linking.
build() {
    local preset=$1 first=0
    [ -f "build/$preset/.ninja_log" ] && first=$(wc -l <"build/$preset/.ninja_log")
    cmake --build --preset "$preset"
    note "$(tools/lib/build-times "build/$preset" "$first")"
}

run_start=$EPOCHREALTIME

begin "Packages"
install_missing
end

begin "Configure"
# A compiler cache outside the checkout, so that a new clone on the same machine compiles only what
# changed; with the precompiled headers it needs the sloppiness below, and the base directory makes
# paths inside the checkout relative. The launcher is a cache setting, so a tree configured without
# ccache takes it up here.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
    export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# The three presets are configured side by side: each is one process that mostly waits on its
# compiler checks.
pids=()
for preset in native fuzz windows; do
    cmake --preset "$preset" "${launcher[@]}" >"$logs/configure-$preset.log" 2>&1 &
    pids+=($!)
done
i=0
for preset in native fuzz windows; do
    if ! wait "${pids[$i]}"; then
        cat "$logs/configure-$preset.log"
        echo "== Configuring $preset failed"
        exit 1
    fi
    i=$((i + 1))
done
end

begin "Native build (ASan + UBSan)"
build native
end
start_ctest native --preset native -j "$cores"

begin "Fuzzing build (clang, libFuzzer, ASan + UBSan)"
build fuzz
end
start_ctest fuzz --preset fuzz

begin "Windows build"
build windows
end

begin "Wine template prefix"
tools/wine-sandbox --build-dir build/windows --prepare
end

begin "Wine tests ($wine_jobs at a time)"
run_ctest windows --live --preset windows -j "$wine_jobs"
[ "$(cat "$logs/windows.rc")" = 0 ] || status=1
end

finish_ctest native "Native tests"
finish_ctest fuzz "Fuzzing smoke run"

# One closing line for all runs, then the time of each stage.
passed=0
failed=0
for name in native fuzz windows; do
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$logs/$name.log" | tail -1 || true)
    [ -n "$line" ] || { failed=$((failed + 1)); continue; }
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*tests passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
done
echo
echo "== Time by stage"
for i in "${!stage_names[@]}"; do
    printf '%-48s %7s s  %s\n' "${stage_names[$i]}" "${stage_times[$i]}" "${stage_notes[$i]}"
done
printf '%-48s %7s s\n' "All" "$(since "$run_start")"
echo
echo "ctest: $passed passed, $failed failed"
exit $status
