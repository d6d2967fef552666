#!/usr/bin/env python3
"""Time from starting "QPChkUpd2.exe /s" to its update dialog, against a minimal Win32 program.

    bench/checker_startup_bench.py [--runs N] [--build-dir build/windows]

Needs the windows preset built (QPChkUpd2.exe, minimal_window.exe, tivolan_driver.exe). Like
bench/startup_bench.py, whose pieces it uses, it runs in a prefix of its own (BUILD/bench-prefix) with a
persistent wineserver and the end-to-end tests' virtual desktop, and alternates a baseline run with a
run of the program:

- baseline: minimal_window.exe, from the process's start to its exit;
- QPChkUpd2.exe /s, with a fresh state (nothing loaded today) and tools/loopback-server offering a newer
  version: from the process's start to the moment the update dialog exists and is visible, split at
  the moment its hidden check window exists (a driver watching every 2 ms reports it) and the moment the
  version request reaches the server (the server's log). Between the window and the request lie the
  designed waits: the first tick of the 3-second timer and the worker's one-second pause. The rest is
  what the program itself costs: the start before the window, the work around the waits, and from the
  request to the dialog the answer read and parsed, the state written and the dialog built.

The dialog is then cancelled and the reminder dialog closed, so the process ends on its own; its peak
memory is the kernel's peak resident set of the Wine process.
"""

import argparse
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(ROOT / "bench"))
from checker_e2e import (  # noqa: E402
    OFFERED_ITEMS, PRIMARY, QUERY, REMIND_WEEK, WINDOW_CLASS, WINDOW_TITLE, item, starting_state, version_document)
from startup_bench import Bench  # noqa: E402
from wine_session import DIALOG_CLASS, LoopbackServer, WineSession  # noqa: E402

# The first timer's interval and the worker's pause before its request.
DESIGNED_WAIT = 3.0 + 1.0


class CheckerBench(Bench):
    def __init__(self, session, server):
        super().__init__(session)
        self.server = server
        self.exe = session.bin / "QPChkUpd2.exe"
        self.state_file = session.work / "bench-state.reg"
        self.state_file.write_bytes(starting_state(server.url))

    def watch(self, window_class, title, *options):
        """A driver that reports the wall-clock moment the window appears (it polls every 2 ms)."""
        return self.start(self.session.bin / "tivolan_driver.exe", "wait-window", window_class, title, "60000",
                          "--stamp", *options, stdout=subprocess.PIPE)

    @staticmethod
    def seen(watcher, what):
        out, _ = watcher.communicate(timeout=90)
        lines = out.decode(errors="replace").split()
        if watcher.returncode != 0 or len(lines) != 2:
            raise RuntimeError(f"QPChkUpd2.exe: {what} did not appear")
        return lines[0], int(lines[1]) / 1e6

    def checker(self):
        """(start to window, window to request, request to dialog, peak memory) of one run."""
        self.session.wine(["reg", "import", self.session.windows_path(self.state_file)]).check_returncode()
        self.server.control("reset")
        window_watcher = self.watch(WINDOW_CLASS, WINDOW_TITLE)
        time.sleep(1.0)  # the watcher is searching by now; its own start is not measured
        started = time.time()
        process = self.start(self.exe, "/s")
        try:
            _, window_seen = self.seen(window_watcher, "the check window")
            # The dialog comes at least three seconds later: time enough for a second watcher to start.
            dialog_watcher = self.watch(DIALOG_CLASS, "-", "--visible", "--control", str(OFFERED_ITEMS))
            dialog, dialog_seen = self.seen(dialog_watcher, "the update dialog")
            requests = [r for r in self.server.requests() if r["target"] == PRIMARY + QUERY]
            if len(requests) != 1:
                raise RuntimeError(f"expected one version request, the server saw {len(requests)}")
            asked = requests[0]["time"]
            self.session.drive("click", dialog, 2)
            reminder = self.session.drive("wait-window", DIALOG_CLASS, "-", 20000, "--visible", "--control",
                                          REMIND_WEEK)
            if reminder.code == 0:
                self.session.drive("command", reminder.text, 2)
        except Exception:
            process.kill()
            raise
        code, peak = self.reap(process)
        if code != 0:
            raise RuntimeError(f"QPChkUpd2.exe ended with {code}")
        return window_seen - started, asked - window_seen, dialog_seen - asked, peak


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--build-dir", default=str(ROOT / "build" / "windows"))
    args = parser.parse_args()

    session = WineSession(args.build_dir, "bench-prefix")
    for needed in ("minimal_window.exe", "QPChkUpd2.exe", "tivolan_driver.exe"):
        if not (session.bin / needed).exists():
            sys.exit(f"checker_startup_bench: {session.bin / needed} is missing; build the windows preset first")

    session.start()
    server = LoopbackServer(session.work)
    try:
        server.answer(PRIMARY + QUERY, text=version_document(items=[item("Quillpack 5.0.1", "{base}/setup.exe")]))
        bench = CheckerBench(session, server)
        bench.baseline()  # the first start of a session loads more than any later one
        bench.checker()
        rows = []
        for run in range(args.runs):
            base, base_peak = bench.baseline()
            to_window, to_request, to_dialog, peak = bench.checker()
            rows.append((base, base_peak, to_window, to_request, to_dialog, peak))
            total = to_window + to_request + to_dialog
            print(f"run {run + 1}: baseline {base * 1000:7.1f} ms   QPChkUpd2 /s: window {to_window * 1000:7.1f} ms, "
                  f"request +{to_request * 1000:7.1f} ms, dialog +{to_dialog * 1000:7.1f} ms = {total * 1000:7.1f} ms")
    finally:
        server.stop()
        session.stop()

    def median(index):
        return statistics.median(row[index] for row in rows)

    base, base_peak, to_window, to_request, to_dialog, peak = (median(i) for i in range(6))
    total = statistics.median(row[2] + row[3] + row[4] for row in rows)
    rest = total - DESIGNED_WAIT
    print()
    print(f"median of {args.runs} runs                          ms")
    print(f"minimal_window.exe, start to exit          {base * 1000:8.1f}   peak {base_peak / 2**20:6.1f} MiB")
    print(f"QPChkUpd2.exe /s, start to update dialog   {total * 1000:8.1f}   peak {peak / 2**20:6.1f} MiB")
    print(f"  start to hidden window                   {to_window * 1000:8.1f}")
    print(f"  window to version request                {to_request * 1000:8.1f}   "
          f"(of which designed waits {DESIGNED_WAIT * 1000:.0f})")
    print(f"  request to dialog                        {to_dialog * 1000:8.1f}")
    print(f"designed waits (3 s timer, 1 s worker)     {DESIGNED_WAIT * 1000:8.1f}")
    print(f"the rest (total minus the designed waits)  {rest * 1000:8.1f}   = {rest / base:.2f} x baseline")
    print(f"  of which start to hidden window          {to_window * 1000:8.1f}   = {to_window / base:.2f} x baseline")


if __name__ == "__main__":
    main()
