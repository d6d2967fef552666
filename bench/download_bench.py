#!/usr/bin/env python3
"""Download throughput of the checker's installer download under Wine against curl on the host.

    bench/download_bench.py [--runs N] [--size BYTES] [--build-dir build/windows]

Needs the windows preset built (download_bench.exe) and curl on the host. It starts tools/loopback-server
with one generated installer (64 MiB unless --size says otherwise) and alternates, so a slow moment of the
machine hits both:

- ours: download_bench.exe, which makes a download folder and runs the download job on a CThread with the
  WinINet transfer and the Win32 file (1024-byte blocks), polling its progress once a second as the update
  dialog does; the time is measured inside the program from before the folder is made to the worker's end,
  so Wine's process start is not in it.
- curl: `curl -o FILE URL` into a host temporary file; the time is curl's own time_total.

Both fetch the same URL from the same server. It prints each run, the medians, the throughputs and the
ratio ours / curl of the median times. --probe adds reads of the body alone through the HTTP client (no
file) in 1024-byte and in 65536-byte reads, which separates the cost of each WinINet read from the disk. A prefix of its own (BUILD/download-bench-prefix) with a persistent
wineserver keeps Wine's start out of the way.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]


def run_checked(command, env=None):
    result = subprocess.run(command, env=env, stdin=subprocess.DEVNULL, capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"{command[0]} ended with {result.returncode}: {result.stdout}{result.stderr}")
    return result.stdout


class LoopbackServer:
    def __init__(self, size, workdir):
        script = Path(workdir) / "answers.json"
        script.write_text('{"/dl/QPSetup_bench.exe": {"generate": %d}}' % size)
        port_file = Path(workdir) / "port"
        self.process = subprocess.Popen(
            [str(ROOT / "tools" / "loopback-server"), "--script", str(script), "--port-file", str(port_file)],
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
        )
        for _ in range(500):
            if port_file.exists() and port_file.read_text().strip():
                self.base = port_file.read_text().strip()
                return
            time.sleep(0.01)
        self.stop()
        raise RuntimeError("the loopback server did not start")

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


class Wine:
    def __init__(self, build_dir):
        self.bin = Path(build_dir) / "bin"
        self.env = dict(os.environ, WINEPREFIX=str(Path(build_dir) / "download-bench-prefix"), WINEDEBUG="-all")
        self.server = shutil.which("wineserver") or "/usr/lib/wine/wineserver"

    def start(self):
        # The persistent server first: a server started by a program whose output we read would hold
        # that output open for as long as it lives. tools/wine-run then boots the prefix on first use.
        Path(self.env["WINEPREFIX"]).mkdir(parents=True, exist_ok=True)
        quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([self.server, "-p"], env=self.env, check=False, **quiet)
        subprocess.run([str(ROOT / "tools" / "wine-run"), "cmd", "/c", "exit"], env=self.env, check=True, **quiet)

    def stop(self):
        subprocess.run([self.server, "-k"], env=self.env, check=False, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def download(self, url, *extra):
        out = run_checked([str(ROOT / "tools" / "wine-run"), str(self.bin / "download_bench.exe"), url] +
                          list(extra), env=self.env).split()
        if len(out) != 3 or out[0] != "ok":
            raise RuntimeError(f"download_bench.exe: {' '.join(out)}")
        return int(out[1]), float(out[2])


def curl_download(url, target):
    out = run_checked(["curl", "--silent", "--show-error", "--fail", "--output", target,
                       "--write-out", "%{size_download} %{time_total}", url]).split()
    size = int(float(out[0]))
    os.remove(target)
    return size, float(out[1])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--size", type=int, default=64 * 1024 * 1024)
    parser.add_argument("--build-dir", default=str(ROOT / "build" / "windows"))
    parser.add_argument("--probe", action="store_true", help="also time reads without a file")
    args = parser.parse_args()

    if not shutil.which("curl"):
        sys.exit("download_bench: curl is missing (apt-get install curl)")
    wine = Wine(args.build_dir)
    if not (wine.bin / "download_bench.exe").exists():
        sys.exit(f"download_bench: {wine.bin / 'download_bench.exe'} is missing; build the windows preset first")

    with tempfile.TemporaryDirectory(prefix="download-bench-") as workdir:
        server = LoopbackServer(args.size, workdir)
        url = server.base + "/dl/QPSetup_bench.exe"
        target = str(Path(workdir) / "curl.bin")
        wine.start()
        try:
            wine.download(url)  # the first run of a session loads WinINet and warms the page cache
            curl_download(url, target)
            ours, theirs = [], []
            for run in range(args.runs):
                size, t = wine.download(url)
                size2, t2 = curl_download(url, target)
                if size != args.size or size2 != args.size:
                    raise RuntimeError(f"run {run + 1}: {size} and {size2} bytes, not {args.size}")
                ours.append(t)
                theirs.append(t2)
                print(f"run {run + 1}: ours {t * 1000:8.1f} ms   curl {t2 * 1000:8.1f} ms")
            probes = {1024: [], 65536: []}
            for run in range(args.runs if args.probe else 0):
                for block, times in probes.items():
                    times.append(wine.download(url, "--probe", str(block))[1])
        finally:
            wine.stop()
            server.stop()

    mib = args.size / 2**20
    o, c = statistics.median(ours), statistics.median(theirs)
    print()
    print(f"{'median of ' + str(args.runs) + ' runs, ' + format(mib, 'g') + ' MiB':<40} {'time':>10} {'MiB/s':>8}")
    print(f"{'download job (WinINet, 1024-byte blocks)':<40} {o * 1000:7.1f} ms {mib / o:8.1f}")
    print(f"{'curl':<40} {c * 1000:7.1f} ms {mib / c:8.1f}")
    print(f"{'ratio ours / curl (time)':<40} {o / c:10.2f}")
    for block, times in probes.items():
        if times:
            p = statistics.median(times)
            print(f"{'reads only, ' + str(block) + '-byte reads':<40} {p * 1000:7.1f} ms {mib / p:8.1f}")


if __name__ == "__main__":
    main()
