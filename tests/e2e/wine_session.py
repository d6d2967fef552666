"""What every end-to-end run shares: a Wine prefix of its own with a persistent server, one virtual
desktop for all its programs, an X display, tivolan_driver.exe to work the windows, screenshots as PNG,
the registry through reg.exe, and tools/loopback-server as the programs' endpoint.

A test module calls open_session() from setUpModule and close_session() from tearDownModule, derives
its cases from E2ECase and ends with run_tests(__doc__).
"""

import argparse
import fcntl
import io
import json
import locale
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
DESKTOP = "e2e"
DESKTOP_SIZE = (1280, 800)
# Wine 8 switches its locale only with LC_ALL when the host lacks the locale.
LOCALES = {"en": "en_US.UTF-8", "ko": "ko_KR.UTF-8", "el": "el_GR.UTF-8"}
DIALOG_CLASS = "#32770"
# A message box's text is its static control 0xFFFF, which tells it from a dialog of the same caption.
MESSAGE_TEXT = 0xFFFF


def bmp_size(data):
    """Width and height of a BMP file, checking the header the driver writes."""
    if len(data) < 54 or data[:2] != b"BM":
        raise ValueError("not a BMP file")
    width, height = struct.unpack_from("<ii", data, 18)
    bits = struct.unpack_from("<H", data, 28)[0]
    if bits != 24:
        raise ValueError(f"{bits} bits per pixel, not 24")
    return width, abs(height)


def bmp_pixel(data, x, y):
    """(red, green, blue) of pixel x, y counted from the top of a bottom-up 24-bit BMP."""
    width, height = bmp_size(data)
    stride = (width * 3 + 3) // 4 * 4
    offset = struct.unpack_from("<I", data, 10)[0] + (height - 1 - y) * stride + x * 3
    blue, green, red = data[offset : offset + 3]
    return red, green, blue


def text_of(file):
    """A captured output file read as text, as subprocess reads a pipe with text=True."""
    file.seek(0)
    reader = io.TextIOWrapper(file, encoding=locale.getpreferredencoding(False), errors="replace")
    text = reader.read()
    reader.detach()
    return text


class Driven:
    """The result of one driver call."""

    def __init__(self, code, out, err):
        self.code = code
        self.lines = out.splitlines()
        self.err = err

    @property
    def text(self):
        return "\n".join(self.lines)


class WineSession:
    """A Wine prefix with its persistent server, its virtual desktop and an X display for one run."""

    def __init__(self, build_dir, prefix_name="e2e-prefix"):
        self.build_dir = Path(build_dir).resolve()
        # Under tools/wine-sandbox the prefix, its server, the display and the programs are the
        # sandbox's own.
        self.sandboxed = bool(os.environ.get("QP_WINE_SANDBOX")) and bool(os.environ.get("WINEPREFIX"))
        self.bin = Path(os.environ.get("QP_WINE_BIN") or self.build_dir / "bin")
        self.prefix = Path(os.environ["WINEPREFIX"]) if self.sandboxed else self.build_dir / prefix_name
        self.screenshots = self.build_dir / "screenshots"
        self.work = None
        self.lock = None
        self.xvfb = None
        self.wineserver = shutil.which("wineserver") or next(
            (p for p in ("/usr/lib/wine/wineserver", "/usr/lib/wine/wineserver64") if os.path.exists(p)), None
        )
        self.programs = []

    # The environment of every Wine process of this run; lang picks one of LOCALES.
    def env(self, lang=None):
        env = dict(os.environ)
        env.update(WINEPREFIX=str(self.prefix), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
        if lang:
            env.update(LANG=LOCALES[lang], LC_ALL=LOCALES[lang])
        return env

    def start(self):
        if not self.wineserver:
            raise RuntimeError("no wineserver found (install the wine64 package)")
        if not (self.bin / "tivolan_driver.exe").exists():
            raise RuntimeError(f"{self.bin / 'tivolan_driver.exe'} is missing: build the windows preset first")
        if not os.environ.get("DISPLAY"):
            self._start_xvfb()
        self.prefix.mkdir(parents=True, exist_ok=True)
        self.screenshots.mkdir(parents=True, exist_ok=True)
        self.work = Path(tempfile.mkdtemp(prefix="e2e-", dir=self.build_dir))
        if not self.sandboxed:
            # One run per prefix at a time (several test runs may share a build tree): a second run waits.
            self.lock = open(str(self.prefix) + ".run-lock", "w")
            fcntl.flock(self.lock, fcntl.LOCK_EX)
            # Whatever a run that was killed left in the prefix goes first; then the persistent server, as
            # a boot before it would leave a server of its own behind.
            subprocess.run([self.wineserver, "-k"], env=self.env(), stderr=subprocess.DEVNULL)
            subprocess.run([self.wineserver, "-w"], env=self.env(), stderr=subprocess.DEVNULL)
            subprocess.run([self.wineserver, "-p"], env=self.env(), check=True)
        # The first program boots the prefix if it is new and starts Wine's background services, which
        # inherit its output handles: none of ours. Under load it has been seen to fail once, with
        # nothing on stderr, while those services start; a prefix that cannot run it fails again.
        if self.detached(["cmd", "/c", "exit"], check=False) != 0:
            self.detached(["cmd", "/c", "exit"])
        # One virtual desktop for every program of the prefix, so that the driver shares it; its
        # explorer starts with the first program that has a window, again detached from our pipes.
        self.reg_add(r"HKCU\Software\Wine\Explorer", "Desktop", "REG_SZ", DESKTOP)
        self.reg_add(r"HKCU\Software\Wine\Explorer\Desktops", DESKTOP, "REG_SZ", "%dx%d" % DESKTOP_SIZE)
        self.detached([self.bin / "tivolan_driver.exe", "list"])
        # Held for the whole run: Wine would close the desktop whenever no program is on it, and the
        # next program would start its explorer again.
        self.launch(self.bin / "tivolan_driver.exe", "hold-desktop")

    def detached(self, args, timeout=180, check=True):
        """Runs a program to its end with no pipe of ours, which a program it starts would inherit and
        hold open; gives the exit code (with check, anything but 0 raises, with its stderr)."""
        done = self.wine(args, timeout=timeout)
        if check and done.returncode != 0:
            raise RuntimeError(f"{' '.join(map(str, args))} exited with {done.returncode}: {done.stderr.strip()}")
        return done.returncode

    def stop(self):
        for program in self.programs:
            if program.poll() is None:
                program.kill()
                program.wait()
        if self.wineserver and not self.sandboxed:
            subprocess.run([self.wineserver, "-k"], env=self.env(), stderr=subprocess.DEVNULL)
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()
        if self.work:
            shutil.rmtree(self.work, ignore_errors=True)
        if self.lock:
            self.lock.close()

    def _start_xvfb(self):
        n = 90
        while os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
            n += 1
        self.xvfb = subprocess.Popen(
            ["Xvfb", f":{n}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                break
            time.sleep(0.1)
        os.environ["DISPLAY"] = f":{n}"

    def wine(self, args, lang=None, timeout=60):
        """Runs a program to its end; returns the CompletedProcess (text output). The output goes
        through files, not pipes: a Wine process that the program starts (such as the desktop's
        explorer) inherits its output handles, and a pipe would stay open until that one ends."""
        for attempt in range(3):
            with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
                done = subprocess.run(
                    [str(ROOT / "tools" / "wine-run")] + [str(a) for a in args],
                    env=self.env(lang),
                    stdin=subprocess.DEVNULL,
                    stdout=out,
                    stderr=err,
                    timeout=timeout,
                )
                result = subprocess.CompletedProcess(done.args, done.returncode, text_of(out), text_of(err))
            # Under load Wine's loader now and then fails to start a program at all ("ShellExecuteEx
            # failed"), or reg.exe ends with an error and not a word, which says nothing about the
            # program or the registry; it is started again.
            silent_reg = str(args[0]).lower() == "reg" and not (result.stdout + result.stderr).strip()
            if done.returncode == 0 or not ("ShellExecuteEx failed" in result.stderr or silent_reg):
                return result
            time.sleep(1)
        return result

    def launch(self, exe, *args, lang=None):
        """Starts a program and leaves it running; stop() kills it if a test does not end it."""
        program = subprocess.Popen(
            [str(ROOT / "tools" / "wine-run"), str(exe)] + [str(a) for a in args],
            env=self.env(lang),
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        self.programs.append(program)
        return program

    def drive(self, *args, timeout=60):
        for _ in range(3):
            done = self.wine([self.bin / "tivolan_driver.exe"] + list(args), timeout=timeout)
            # The driver says why whenever it answers 1 (only "tray-tip --all" with no icons is silent);
            # a silent 1 is Wine's loader ending the process before it ran (seen now and then under load).
            silent = done.returncode == 1 and not done.stdout and not done.stderr
            if not silent or list(map(str, args[:2])) == ["tray-tip", "--all"]:
                break
        return Driven(done.returncode, done.stdout, done.stderr)

    # --- the registry, through reg.exe ---

    def reg_add(self, key, name, kind, data):
        # Right after a new prefix boots, reg.exe has been seen to fail once without a word while Wine's
        # services settle; a real refusal fails every time.
        for _ in range(3):
            done = self.wine(["reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f"])
            if done.returncode == 0:
                return
            time.sleep(1)
        raise RuntimeError(f"reg add {key} {name} failed ({done.returncode}): {done.stdout}{done.stderr}")

    def reg_delete_key(self, key):
        self.wine(["reg", "delete", key, "/f"])

    def reg_delete_value(self, key, name):
        self.wine(["reg", "delete", key, "/v", name, "/f"])

    def reg_value(self, key, name):
        """(type, data) of a registry value as `reg query` shows it, or None when it is missing."""
        for attempt in range(3):
            done = self.wine(["reg", "query", key, "/v", name])
            if done.returncode == 0:
                break
            # Only "unable to find" means missing; under load reg.exe now and then fails for
            # reasons of its own, and that must not read as a value the program removed.
            if "unable to find" in (done.stdout + done.stderr).lower():
                return None
            time.sleep(1)
        else:
            raise AssertionError(f"reg query {key} /v {name}: {done.returncode} {done.stdout}{done.stderr}")
        for line in done.stdout.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0].lower() == name.lower():
                return parts[1], parts[2] if len(parts) > 2 else ""
        raise AssertionError(f"reg query {key} /v {name} answered without the value: {done.stdout}")

    # --- paths between the host and the prefix ---

    @staticmethod
    def windows_path(path):
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def host_path(self, windows_path):
        """Where a C: or Z: path of the prefix lies on the host."""
        drive, rest = windows_path[:2].upper(), windows_path[3:].replace("\\", "/")
        if drive == "C:":
            return self.prefix / "drive_c" / rest
        if drive == "Z:":
            return Path("/") / rest
        raise ValueError(f"{windows_path} is on no drive of the prefix")

    def screenshot(self, name, hwnd=None, area=None):
        """Saves the desktop (or one window, or the screen rectangle area = (left, top, right, bottom))
        as screenshots/NAME.png; returns the BMP's bytes (of the whole desktop for an area)."""
        bmp = self.work / f"{name}.bmp"
        args = ["screenshot", self.windows_path(bmp)] + ([hwnd] if hwnd else [])
        done = self.drive(*args)
        if done.code != 0:
            raise AssertionError(f"screenshot {name} failed: {done.err}")
        data = bmp.read_bytes()
        png = self.screenshots / f"{name}.png"
        if shutil.which("convert"):
            crop = []
            if area:
                left, top, right, bottom = area
                crop = ["-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage"]
            subprocess.run(["convert", str(bmp)] + crop + [str(png)], check=True)
        else:
            shutil.copyfile(bmp, self.screenshots / f"{name}.bmp")
        return data


class LoopbackServer:
    """tools/loopback-server as a program's endpoint: scripted answers and the log of requests."""

    def __init__(self, work):
        port_file = work / "loopback-url"
        port_file.unlink(missing_ok=True)
        self.process = subprocess.Popen(
            [str(ROOT / "tools" / "loopback-server"), "--port-file", str(port_file)],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if port_file.exists() and port_file.read_text().strip():
                break
            time.sleep(0.1)
        self.url = port_file.read_text().strip()

    def control(self, path, body=None):
        data = json.dumps(body).encode() if body is not None else None
        with urllib.request.urlopen(self.url + "/_control/" + path, data=data, timeout=10) as answer:
            return answer.read().decode()

    def reset(self):
        self.control("reset?scripts=1")

    def answer(self, target, **answer):
        self.control("script", {target: answer})

    def requests(self):
        """Every request so far: method, target, version, headers, body_hex and the arrival time."""
        return json.loads(self.control("requests.json"))

    def request_lines(self):
        """The request line of every request so far."""
        blocks = [b for b in self.control("requests").split("\n\n") if b.strip()]
        return [b.splitlines()[0] for b in blocks]

    def wait_requests(self, count, timeout=20):
        deadline = time.time() + timeout
        while time.time() < deadline:
            lines = self.request_lines()
            if len(lines) >= count:
                return lines
            time.sleep(0.2)
        return self.request_lines()

    def stop(self):
        self.process.terminate()
        self.process.wait()


_build_dir = ROOT / "build" / "windows"
SESSION = None


def open_session(prefix_name):
    """Starts the run's session in BUILD/prefix_name; every E2ECase reaches it as self.session."""
    global SESSION
    SESSION = WineSession(_build_dir, prefix_name)
    try:
        SESSION.start()
    except Exception:
        SESSION.stop()
        raise
    E2ECase.session = SESSION
    return SESSION


def close_session():
    if SESSION:
        SESSION.stop()


class E2ECase(unittest.TestCase):
    """Driver calls that must succeed, waiting for a program or a condition."""

    session = None

    def drive_ok(self, *args):
        done = self.session.drive(*args)
        self.assertEqual(done.code, 0, f"tivolan_driver {' '.join(map(str, args))}: {done.err}")
        return done

    def assertEnds(self, program, code=0, timeout=20):
        try:
            self.assertEqual(program.wait(timeout=timeout), code)
        except subprocess.TimeoutExpired:
            self.fail(f"the program did not end within {timeout} s")

    def until(self, probe, timeout=10.0, interval=0.2):
        """Polls probe() until it gives something true or the time is up; returns its last answer."""
        deadline = time.monotonic() + timeout
        while True:
            value = probe()
            if value or time.monotonic() >= deadline:
                return value
            time.sleep(interval)


def shard_problems(shards):
    """What keeps SHARDS (shard name: the case classes it runs) from running every case of the
    script exactly once: a class in no shard or in two, a name that is no class with cases."""
    main = sys.modules["__main__"]
    loader = unittest.TestLoader()
    with_cases = {name for name, value in vars(main).items()
                  if isinstance(value, type) and issubclass(value, unittest.TestCase)
                  and loader.getTestCaseNames(value)}
    problems, seen = [], {}
    for shard, classes in shards.items():
        for name in classes:
            if name not in with_cases:
                problems.append(f"shard {shard}: {name} is no test class of this script")
            elif name in seen:
                problems.append(f"{name} is in shard {seen[name]} and in shard {shard}")
            seen.setdefault(name, shard)
    problems += [f"{name} is in no shard" for name in sorted(with_cases - set(seen))]
    return problems


def run_tests(doc, shards=None):
    """The command line of an end-to-end script: --build-dir, --list-shards or --shard NAME (the
    classes of one entry of shards, a dict of shard name to class names, so that ctest can run the
    script's parts side by side), then unittest's own arguments."""
    global _build_dir
    shards = shards or {}
    parser = argparse.ArgumentParser(description=doc, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build-dir", default=str(_build_dir))
    parser.add_argument("--list-shards", action="store_true", help="print the shard names, one a line")
    parser.add_argument("--shard", choices=sorted(shards), help="run only the classes of this shard")
    args, rest = parser.parse_known_args()
    if args.list_shards or args.shard:
        problems = shard_problems(shards)
        if problems:
            sys.exit("the shards do not cover the cases once each:\n  " + "\n  ".join(problems))
    if args.list_shards:
        print("\n".join(shards))
        return
    if args.shard:
        rest = rest + list(shards[args.shard])
    _build_dir = Path(args.build_dir)
    unittest.main(argv=[sys.argv[0], "-v"] + rest)
