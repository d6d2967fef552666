#!/usr/bin/env bash
# The whole test run on a fresh Debian machine: installs what is missing, builds the native and the
# Windows preset, runs the native unit tests, then every Windows test under Wine with a private
# prefix, a persistent wineserver and a virtual X display, all stopped again at the end.
# Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

# The package list, install_missing and find_wineserver are shared with tools/run-tivolan.
source tools/lib/packages.sh

xvfb_pid=""
wineserver=""
cleanup() {
    set +e
    [ -n "$wineserver" ] && "$wineserver" -k >/dev/null 2>&1
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1 && wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

start_xvfb() {
    local n
    n=$(free_display_number)
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    export DISPLAY=":$n"
    echo "== Xvfb on $DISPLAY"
}

summary=()
run_ctest() {
    local preset=$1 log
    log=$(mktemp)
    local rc=0
    ctest --preset "$preset" 2>&1 | tee "$log" || rc=$?
    [ "${PIPESTATUS[0]}" -eq 0 ] || rc=1
    summary+=("$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$log" | tail -1)")
    rm -f "$log"
    return $rc
}

install_missing

status=0

echo "== Native build (ASan + UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native
run_ctest native || status=1

echo "== Fuzzing smoke run (clang, libFuzzer, ASan + UBSan)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
run_ctest fuzz || status=1

echo "== Windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows

export WINEPREFIX="$root/build/windows/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wineserver=$(find_wineserver)
start_xvfb
# The persistent server comes first: a wineboot before it would leave its own server running for a
# few seconds, and a second server for the same prefix refuses to start.
mkdir -p "$WINEPREFIX"
"$wineserver" -p
# The first program of a session boots the prefix if it is new (tools/wine-run does that) and starts
# Wine's background services, which would inherit and hold open the output pipes of whatever ctest
# runs first; start them here, detached from any pipe.
echo "== Preparing the Wine prefix"
tools/wine-run cmd /c exit </dev/null >/dev/null 2>&1
run_ctest windows || status=1

# One closing line for both runs.
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
echo "ctest: $passed passed, $failed failed"
exit $status
