#!/usr/bin/env python3
"""How the window mode of a Wine sandbox changes the time of the window tests.

    bench/wine_window_bench.py [--runs N] [--build-dir build/windows] [--modes M,M] [TEST.exe ...]

Runs each test program (by default the GoogleTest programs that create windows) once per run in each
--windows mode of tools/wine-sandbox, one sandbox at a time so that only the mode differs, and prints
the median wall-clock time per program and mode, whether every run passed, and the ratio of each mode's
total to that of "managed" (Wine's default, the baseline). Under Xvfb with no window manager, a managed
window that is hidden costs Wine a wait for a withdrawn state that never comes; the other modes are
the remedies. The "wm" mode needs evilwm (Debian package evilwm) and is left out without it. The modes
alternate within each run, so a slow moment of the machine hits them all alike.
"""

import argparse
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
DEFAULT_TESTS = ["tivolan_ui_tests.exe", "checker_ui_tests.exe", "ui_framework_tests.exe",
                 "tivolan_resource_tests.exe", "checker_resource_tests.exe"]
MODES = ["managed", "unmanaged", "desktop", "wm"]
# The tests that talk to an endpoint get the loopback server, as ctest runs them.
LOOPBACK = {"checker_ui_tests.exe", "checker_tests.exe", "checker_process_tests.exe", "http_tests.exe",
            "tivolan_update_tests.exe"}


def run_once(build, exe, mode):
    command = [str(ROOT / "tools" / "wine-sandbox"), "--build-dir", str(build), "--windows", mode,
               "--name", f"bench-{mode}", "--"]
    if exe in LOOPBACK:
        command += [str(ROOT / "tools" / "loopback-server"), "--"]
    command += [str(ROOT / "tools" / "wine-run"), str(build / "bin" / exe)]
    started = time.monotonic()
    done = subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)
    return time.monotonic() - started, done.returncode == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--build-dir", default=str(ROOT / "build" / "windows"))
    parser.add_argument("--modes", default=",".join(MODES))
    parser.add_argument("tests", nargs="*", default=DEFAULT_TESTS)
    args = parser.parse_args()
    build = Path(args.build_dir).resolve()
    modes = [m for m in args.modes.split(",") if m]
    if "wm" in modes and not shutil.which("evilwm"):
        print("evilwm is not installed: the wm mode is left out", file=sys.stderr)
        modes.remove("wm")
    missing = [t for t in args.tests if not (build / "bin" / t).exists()]
    if missing:
        sys.exit(f"not built: {', '.join(missing)} (cmake --build --preset windows)")
    subprocess.run([str(ROOT / "tools" / "wine-sandbox"), "--build-dir", str(build), "--prepare"], check=True)

    times = {(t, m): [] for t in args.tests for m in modes}
    passed = {(t, m): True for t in args.tests for m in modes}
    for run in range(args.runs):
        for test in args.tests:
            for mode in modes:
                seconds, ok = run_once(build, test, mode)
                times[test, mode].append(seconds)
                passed[test, mode] &= ok
                print(f"run {run + 1}: {test} {mode}: {seconds:.1f} s{'' if ok else ' FAILED'}", file=sys.stderr)

    width = max(len(t) for t in args.tests)
    print(f"{'median seconds':{width}}  " + "  ".join(f"{m:>10}" for m in modes))
    for test in args.tests:
        cells = [f"{statistics.median(times[test, m]):8.1f}{'  ' if passed[test, m] else ' !'}" for m in modes]
        print(f"{test:{width}}  " + "  ".join(cells))
    totals = {m: sum(statistics.median(times[t, m]) for t in args.tests) for m in modes}
    print(f"{'total':{width}}  " + "  ".join(f"{totals[m]:8.1f}  " for m in modes))
    if "managed" in totals:
        print(f"{'ratio to managed':{width}}  " + "  ".join(f"{totals[m] / totals['managed']:8.2f}  " for m in modes))
    print("(! marks a mode in which a run failed)")
    return 0 if all(passed.values()) else 1


if __name__ == "__main__":
    sys.exit(main())
