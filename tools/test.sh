#!/usr/bin/env bash
# The whole test run on a fresh Debian machine: installs what is missing, builds the native, fuzz and
# Windows presets, runs the native unit tests and the fuzzing smoke run, then every Windows test under
# Wine, side by side, each in a sandbox of its own (tools/wine-sandbox). Ends with the time each stage
# took. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

# The package list and install_missing are shared with tools/run-tivolan.
source tools/lib/packages.sh

# Wine tests at once: most of their time is spent waiting for windows, timers and servers, so more
# of them than there are cores keeps the cores busy. QP_TEST_JOBS overrides.
cores=$(nproc)
wine_jobs=${QP_TEST_JOBS:-$((cores * 3))}

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

summary=()
run_ctest() {
    local preset=$1 log rc=0
    shift
    log=$(mktemp)
    ctest --preset "$preset" "$@" 2>&1 | tee "$log" || rc=$?
    [ "${PIPESTATUS[0]}" -eq 0 ] || rc=1
    summary+=("$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$log" | tail -1)")
    rm -f "$log"
    return $rc
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
# changed. The launcher is a cache setting, so a tree configured without ccache takes it up here.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
for preset in native fuzz windows; do
    cmake --preset "$preset" "${launcher[@]}" >/dev/null
done
end

begin "Native build (ASan + UBSan)"
build native
end

begin "Native tests"
run_ctest native -j "$cores" || status=1
end

begin "Fuzzing build (clang, libFuzzer, ASan + UBSan)"
build fuzz
end

begin "Fuzzing smoke run"
run_ctest fuzz || status=1
end

begin "Windows build"
build windows
end

begin "Wine template prefix"
tools/wine-sandbox --build-dir build/windows --prepare
end

begin "Wine tests ($wine_jobs at a time)"
run_ctest windows -j "$wine_jobs" || status=1
end

# One closing line for all runs, then the time of each stage.
passed=0
failed=0
for line in "${summary[@]}"; do
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
    [[ "$total" =~ ^[0-9]+$ && "$bad" =~ ^[0-9]+$ ]] || { status=1; continue; }
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
