#!/usr/bin/env python3
"""Start-up cost of Tivolan under Wine against a minimal Win32 program.

    bench/startup_bench.py [--runs N] [--build-dir build/windows] [--exe PROGRAM.exe]

Needs the windows preset built (Tivolan.exe, minimal_window.exe, tivolan_driver.exe). It uses a prefix
of its own (BUILD/bench-prefix) with a persistent wineserver and the end-to-end tests' virtual desktop,
and $DISPLAY or an Xvfb of its own. The runs alternate, so a slow moment of the machine hits both:

- baseline: minimal_window.exe (registers a class, creates a window, exits); time from the process's
  start to its exit.
- Tivolan, started with /s: time from the process's start to the moment its tray window exists. /s keeps
  the main window hidden, so the figure is the start itself, not the painting of a dialog. The tray
  window is made by the last step of start-up, and its creation adds the notification-area icon before
  CreateWindowEx returns (Shell_NotifyIconW is answered by explorer synchronously), so "the tray window
  exists" is "the icon is added" to within that one call. A driver started beforehand watches for the
  window every 2 ms and reports the host's wall-clock moment it saw it; the process start is the moment
  the host starts the Wine loader, for both programs alike.
- Peak memory of both: the kernel's peak resident set (ru_maxrss from wait4) of the Wine process, which
  is the Windows process itself; Tivolan is ended (exit command) half a second after its tray appears.

Without Tivolan.exe (or with --exe) it measures that program instead, which must create Tivolan's tray
window (tests/e2e/fake_tivolan.exe does), to prove the harness.
"""

import argparse
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from tivolan_e2e import COMMAND_EXIT, TRAY_CLASS, TRAY_TITLE  # noqa: E402
from wine_session import WineSession  # noqa: E402


def wine_loader():
    for name in ("wine64", "wine"):
        for folder in os.environ.get("PATH", "").split(os.pathsep):
            path = Path(folder) / name
            if path.is_file() and os.access(path, os.X_OK):
                return str(path)
    return "/usr/lib/wine/wine64"


class Bench:
    def __init__(self, session):
        self.session = session
        self.wine = wine_loader()

    def start(self, exe, *args, stdout=subprocess.DEVNULL):
        # The loader itself rather than tools/wine-run: no shell in the measured time.
        return subprocess.Popen(
            [self.wine, str(exe)] + list(args),
            env=self.session.env(),
            stdin=subprocess.DEVNULL,
            stdout=stdout,
            stderr=subprocess.DEVNULL,
        )

    @staticmethod
    def reap(process):
        """Waits for the process; its exit code and its peak resident set in bytes."""
        _, status, usage = os.wait4(process.pid, 0)
        process.returncode = os.waitstatus_to_exitcode(status)
        return process.returncode, usage.ru_maxrss * 1024

    def baseline(self):
        started = time.time()
        process = self.start(self.session.bin / "minimal_window.exe")
        code, peak = self.reap(process)
        elapsed = time.time() - started
        if code != 0:
            raise RuntimeError(f"minimal_window.exe ended with {code}")
        return elapsed, peak

    def program(self, exe, args):
        watcher = self.start(
            self.session.bin / "tivolan_driver.exe",
            "wait-window",
            TRAY_CLASS,
            TRAY_TITLE,
            "60000",
            "--stamp",
            stdout=subprocess.PIPE,
        )
        time.sleep(1.0)  # the watcher is searching by now; its own start is not measured
        started = time.time()
        process = self.start(exe, *args)
        out, _ = watcher.communicate(timeout=90)
        lines = out.decode(errors="replace").split()
        if watcher.returncode != 0 or len(lines) != 2:
            process.kill()
            self.reap(process)
            raise RuntimeError(f"{exe.name}: its tray window did not appear")
        tray, seen = lines[0], int(lines[1]) / 1e6
        time.sleep(0.5)
        self.session.drive("command", tray, COMMAND_EXIT)
        code, peak = self.reap(process)
        if code != 0:
            raise RuntimeError(f"{exe.name} ended with {code}")
        return seen - started, peak


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--build-dir", default=str(ROOT / "build" / "windows"))
    parser.add_argument("--exe", help="program to measure instead of Tivolan.exe")
    args = parser.parse_args()

    session = WineSession(args.build_dir, "bench-prefix")
    if args.exe:
        exe, name, extra = Path(args.exe).resolve(), Path(args.exe).name, []
    elif (session.bin / "Tivolan.exe").exists():
        exe, name, extra = session.bin / "Tivolan.exe", "Tivolan.exe /s", ["/s"]
    else:
        exe, name, extra = session.bin / "fake_tivolan.exe", "fake_tivolan.exe (stand-in)", []
        print("Tivolan.exe is not built yet: measuring the stand-in to prove the harness.")
    for needed in (session.bin / "minimal_window.exe", exe):
        if not needed.exists():
            sys.exit(f"startup_bench: {needed} is missing; build the windows preset first")

    session.start()
    try:
        bench = Bench(session)
        bench.baseline()  # the first start of a session loads more than any later one
        bench.program(exe, extra)
        base_times, base_peaks, times, peaks = [], [], [], []
        for run in range(args.runs):
            t, m = bench.baseline()
            base_times.append(t)
            base_peaks.append(m)
            t2, m2 = bench.program(exe, extra)
            times.append(t2)
            peaks.append(m2)
            print(f"run {run + 1}: baseline {t * 1000:7.1f} ms {m / 2**20:6.1f} MiB   "
                  f"{name} {t2 * 1000:7.1f} ms {m2 / 2**20:6.1f} MiB")
    finally:
        session.stop()

    bt, bm = statistics.median(base_times), statistics.median(base_peaks)
    pt, pm = statistics.median(times), statistics.median(peaks)
    print()
    print(f"{'median of ' + str(args.runs) + ' runs':<32} {'start':>10} {'peak memory':>12}")
    print(f"{'minimal_window.exe (to exit)':<32} {bt * 1000:8.1f} ms {bm / 2**20:8.1f} MiB")
    print(f"{name + ' (to tray window)':<32} {pt * 1000:8.1f} ms {pm / 2**20:8.1f} MiB")
    print(f"{'ratio':<32} {pt / bt:10.2f} {pm / bm:12.2f}")


if __name__ == "__main__":
    main()
