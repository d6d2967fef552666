#!/usr/bin/env python3
"""End-to-end tests of QPChkUpd2.exe: the update checker started under Wine the way log-on, the user and
the pack's installer start it, against tools/loopback-server as both of its endpoints, with its windows
worked through tivolan_driver.exe and its dialogs saved to build/windows/screenshots/checker-*.png.

    tests/e2e/checker_e2e.py --build-dir build/windows [-v] [unittest names...]

The run has a Wine prefix of its own (BUILD/checker-e2e-prefix); every case starts from a fresh
HKCU\\Software\\Quillpack with the endpoint overrides pointing at the loopback server, the pack's
uninstall entry for version 4.1 ("4.1.2", edition "Full") and no download folders. The cases fail,
saying why, while BUILD/bin/QPChkUpd2.exe does not exist.
"""

import os
import re
import shutil
import struct
import subprocess
import time
import unittest
from pathlib import Path

from wine_session import (
    DIALOG_CLASS, MESSAGE_TEXT, ROOT, E2ECase, LoopbackServer, close_session, open_session, run_tests)

WINDOW_CLASS = "QuillpackUpdaterClass"
WINDOW_TITLE = "Quillpack Update Check"
TITLE = "Quillpack Update"
QUILLPACK_KEY = r"HKEY_CURRENT_USER\Software\Quillpack"
STATE_KEY = QUILLPACK_KEY + r"\Update"
# The pack's 32-bit installer writes its uninstall entry into the 32-bit view (Wow6432Node in the 64-bit
# prefix), which the checker reads; the same entry in the 64-bit view is no installation.
UNINSTALL_KEY = r"HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Quillpack"
UNINSTALL_KEY_64 = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillpack"
RUN_KEY = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run"
IDYES, IDNO = 6, 7
WS_EX_APPWINDOW = 0x40000
INSTALLED = {"VersionMajor": 4, "VersionMinor": 1, "VersionSpec": "Full", "DisplayVersion": "4.1.2"}
QUERY = "?version=4.1.2&sver=Full&hv=4&lv=1&lang=en"
PRIMARY = "/main/download/version.php"
FALLBACK = "/spare/codec/version.php"
STRINGS = {
    1: "Unable to check the latest version. Please try again later.",
    2: "The latest version is installed.",
    3: "Unable to determine which version is installed. Please reinstall.",
    5: "Download failed. Please try again later.",
    6: "Are you sure you want to cancel the update?",
}
# The stand-in that records how it was started ("<its path>.started") plays the downloaded installer,
# signed at build time by TEST_PUBLISHER (signed_stand_in.exe), by another publisher, or altered.
INSTALLER_NAME = "QuillpackSetup.exe"
TEST_PUBLISHER = "Quillpack Test Publisher"


def resource_numbers():
    """The #define numbers of checker/res/resource.h, which code and scripts share."""
    numbers = {}
    for name, value in re.findall(r"^#define\s+(\w+)\s+(\d+)\b", (ROOT / "checker/res/resource.h").read_text(), re.M):
        numbers[name] = int(value)
    return numbers


IDS = resource_numbers()
OFFERED_ITEMS, PROGRESS = IDS["IDC_OFFERED_ITEMS"], IDS["IDC_DOWNLOAD_PROGRESS"]
INSTALLED_VERSION, NEW_VERSION = IDS["IDC_INSTALLED_VERSION"], IDS["IDC_NEW_VERSION"]
REMIND_WEEK = IDS["IDC_REMIND_WEEK"]


def item(label, url, spec="*", kind="exe"):
    return f'<item spec="{spec}" type="{kind}" url="{url}">{label}</item>'


def version_document(mode="auto", major=5, minor=0, display="5.0.1", ratio="1", items=()):
    ratio_attribute = "" if ratio is None else f' ratio="{ratio}"'
    return (f'<?xml version="1.0"?><version mode="{mode}" major="{major}" minor="{minor}" display="{display}"'
            f'{ratio_attribute}>{"".join(items)}</version>')


def reg_file(sections):
    """A .reg file for `reg import`: [(key, {name: value})]; a key written "-KEY" is deleted, a value
    None deleted, an int is a REG_DWORD, bytes a REG_BINARY and a list of texts a REG_MULTI_SZ."""
    lines = ["Windows Registry Editor Version 5.00", ""]
    for key, values in sections:
        lines.append(f"[{key}]")
        for name, value in values.items():
            if value is None:
                data = "-"
            elif isinstance(value, int):
                data = f"dword:{value:08x}"
            elif isinstance(value, bytes):
                data = "hex:" + ",".join(f"{b:02x}" for b in value)
            elif isinstance(value, list):
                data = "hex(7):" + ",".join(f"{b:02x}" for b in ("\0".join(value) + "\0\0").encode("utf-16-le"))
            else:
                data = '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'
            lines.append(f'"{name}"={data}')
        lines.append("")
    return ("\ufeff" + "\r\n".join(lines) + "\r\n").encode("utf-16-le")


def starting_state(server_url, installed=True, state=None):
    """The whole starting state as one .reg file: the user's Quillpack key anew with the endpoint
    overrides (and the `state` values), the uninstall entry in the 32-bit view (installed=True), in the
    64-bit view only ("64") or none, no Run entry."""
    # The publisher tools/sign-test-installers signs the test installers with, in place of the maker's.
    values = {"Server": server_url + "/main", "FallbackServer": server_url + "/spare",
              "TrustedPublishers": [TEST_PUBLISHER]}
    values.update(state or {})
    sections = [("-" + QUILLPACK_KEY, {}), (STATE_KEY, values), ("-" + UNINSTALL_KEY, {}), ("-" + UNINSTALL_KEY_64, {})]
    if installed:
        sections.append((UNINSTALL_KEY_64 if installed == "64" else UNINSTALL_KEY, INSTALLED))
    sections.append((RUN_KEY, {"qpchk": None}))
    return reg_file(sections)


def stored_time(seconds):
    return struct.pack("<q", seconds)


SESSION = None


def setUpModule():
    global SESSION
    SESSION = open_session("checker-e2e-prefix")


def tearDownModule():
    close_session()


class CheckerCase(E2ECase):
    """QPChkUpd2 with a fresh state, the pack installed and both endpoints on the loopback server."""

    @classmethod
    def setUpClass(cls):
        cls.exe = SESSION.bin / "QPChkUpd2.exe"
        if not cls.exe.exists():
            raise AssertionError(f"{cls.exe} does not exist: build the windows preset first")
        cls.server = LoopbackServer(SESSION.work)
        cls.temp = SESSION.host_path(SESSION.drive("temp-folder").text)
        cls.stand_ins = {name: SESSION.bin / f"{name}.exe"
                         for name in ("signed_stand_in", "other_signer_stand_in", "altered_stand_in", "partner_stand_in")}
        for path in cls.stand_ins.values():
            if not path.exists():
                raise AssertionError(f"{path} is missing: build the windows preset first")
        cls.installer_bytes = cls.stand_ins["signed_stand_in"]

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def setUp(self):
        self.server.reset()
        for leftover in self.temp.glob("QPCHKUPD*"):
            if leftover.is_dir() and not leftover.is_symlink():
                shutil.rmtree(leftover)
            else:
                leftover.unlink()
        self.set_registry(installed=True)

    def set_registry(self, installed=True, state=None):
        path = SESSION.work / "state.reg"
        path.write_bytes(starting_state(self.server.url, installed, state))
        done = SESSION.wine(["reg", "import", SESSION.windows_path(path)])
        self.assertEqual(done.returncode, 0, f"reg import: {done.stdout}{done.stderr}")

    # --- the program ---

    def start(self, *args, lang=None):
        program = SESSION.launch(self.exe, *args, lang=lang)
        self.addCleanup(self.stop_program, program)
        return program

    def run_checker(self, *args, timeout=30):
        done = SESSION.wine([self.exe] + list(args), timeout=timeout)
        return done.returncode

    def stop_program(self, program):
        """A test that failed half-way must not leave a checker holding the mutex for the next one."""
        if program.poll() is not None:
            return
        SESSION.wine([self.exe, "/q"])
        try:
            program.wait(timeout=10)
        except subprocess.TimeoutExpired:
            program.kill()
            program.wait()

    def wait_window(self, control, timeout_ms=20000):
        """The visible dialog or message box with that control (the caption is the same for all)."""
        return self.drive_ok("wait-window", DIALOG_CLASS, "-", timeout_ms, "--visible", "--control", control).text

    def no_window(self, control, timeout_ms):
        return SESSION.drive("wait-window", DIALOG_CLASS, "-", timeout_ms, "--visible", "--control", control).code == 1

    def message_box(self, timeout_ms=20000):
        box = self.wait_window(MESSAGE_TEXT, timeout_ms)
        return box, self.drive_ok("text", box, MESSAGE_TEXT).text

    def answer_box(self, box, button):
        self.drive_ok("click", box, button)
        self.assertTrue(self.until(lambda: SESSION.drive("visible", box).lines != ["1"]), "the box closed")

    # --- what it leaves behind ---

    def state(self, name):
        return SESSION.reg_value(STATE_KEY, name)

    def stored_time(self, name):
        value = self.state(name)
        if value is None:
            return None
        self.assertEqual(value[0], "REG_BINARY", name)
        data = bytes.fromhex(value[1])
        self.assertEqual(len(data), 8, f"{name} is 8 bytes")
        return struct.unpack("<q", data)[0]

    def assertNow(self, seconds, name):
        self.assertIsNotNone(seconds, f"{name} written")
        self.assertLessEqual(abs(seconds - time.time()), 120, f"{name} holds the time of the check")

    def download_folders(self):
        return sorted(p for p in self.temp.glob("QPCHKUPD*"))

    def offer(self, document, primary_status=200):
        """The version document on the primary endpoint for the installed version's query."""
        if primary_status == 200:
            self.server.answer(PRIMARY + QUERY, text=document)
        else:
            self.server.answer(PRIMARY + QUERY, status=primary_status)

    def announce(self, url, label="Quillpack 5.0.1 Full"):
        """"/s" with a newer version offering one installer at url; returns the program and the dialog."""
        self.offer(version_document(items=[item(label, url, spec="Full")]))
        program = self.start("/s")
        return program, self.wait_window(OFFERED_ITEMS, 30000)

    def assertAgent(self, count):
        """The checker's own agent on each of the `count` requests so far."""
        self.assertEqual([dict(r["headers"]).get("User-Agent") for r in self.server.requests()],
                         ["Quillpack Updater"] * count)

    def version_requests(self):
        return [line for line in self.server.request_lines() if "/version.php" in line]


class BackgroundCheckTest(CheckerCase):
    """"/s": the hidden window, the once-a-day rule, a second start and "/q"."""

    def test_newer_version_opens_the_update_dialog_after_writing_the_state(self):
        self.offer(version_document(items=[item("Quillpack 5.0.1", "{base}/files/" + INSTALLER_NAME)]))
        started = time.monotonic()
        program = self.start("/s")
        hidden = self.drive_ok("wait-window", WINDOW_CLASS, WINDOW_TITLE, 15000).text
        self.assertEqual(SESSION.drive("visible", hidden).lines, ["0"], "the check window is never shown")
        dialog = self.wait_window(OFFERED_ITEMS, 30000)
        # Three seconds of the first timer and one of the worker come before the request.
        self.assertGreaterEqual(time.monotonic() - started, 4.0)
        self.assertEqual(self.drive_ok("text", dialog).text, TITLE)
        ex_style = int(self.drive_ok("rect", dialog).text.split()[4], 16)
        self.assertTrue(ex_style & WS_EX_APPWINDOW, "the dialog has a taskbar button of its own")
        self.assertEqual(self.server.request_lines(), [f"GET {PRIMARY}{QUERY} HTTP/1.1"])
        loaded, checked = self.stored_time("loaded"), self.stored_time("checked")
        self.assertNow(loaded, "loaded")
        self.assertEqual(checked, loaded, "one time taken for the whole check")
        self.assertEqual(self.state("period"), ("REG_DWORD", "0x0"))
        self.assertEqual(self.drive_ok("wait-window", WINDOW_CLASS, WINDOW_TITLE, 0).text, hidden,
                         "the check window stays while the dialog is open")
        self.assertEqual(self.drive_ok("text", dialog, NEW_VERSION).text, "5.0.1")
        self.assertEqual(self.drive_ok("text", dialog, INSTALLED_VERSION).text, "4.1.2")
        # A "/q" meanwhile is ignored: the dialog is open.
        self.assertEqual(self.run_checker("/q"), 0)
        time.sleep(1)
        self.assertIsNone(program.poll(), "closing is refused while the dialog is open")
        # Cancel with no download asks nothing and goes to the reminder dialog; closing that one
        # writes nothing, and the process ends with the update dialog.
        self.drive_ok("click", dialog, 2)
        reminder = self.wait_window(REMIND_WEEK)
        self.assertTrue(self.no_window(MESSAGE_TEXT, 0), "no question without a download")
        self.drive_ok("command", reminder, 2)
        self.assertEnds(program, 0)
        self.drive_ok("gone", WINDOW_CLASS, WINDOW_TITLE, 5000)
        self.assertEqual(self.state("period"), ("REG_DWORD", "0x0"))
        self.assertIsNone(SESSION.reg_value(RUN_KEY, "qpchk"), "Esc on the reminder writes no Run entry")
        self.assertAgent(1)

    def test_a_document_loaded_today_ends_the_process_in_about_four_seconds_without_a_request(self):
        now = int(time.time())
        self.set_registry(state={"loaded": stored_time(now)})
        self.offer(version_document(items=[item("Quillpack 5.0.1", "{base}/files/" + INSTALLER_NAME)]))
        started = time.monotonic()
        program = self.start("/s")
        self.assertEnds(program, 0, timeout=30)
        elapsed = time.monotonic() - started
        self.assertGreaterEqual(elapsed, 3.9, "the first timer (3 s) and the closing timer's tick (1 s)")
        self.assertLess(elapsed, 12)
        self.assertEqual(self.server.request_lines(), [])
        self.assertEqual(self.stored_time("loaded"), now, "nothing rewritten")
        self.assertIsNone(self.state("checked"))

    def test_a_second_background_start_ends_while_the_first_runs(self):
        self.offer(version_document(items=[item("Quillpack 5.0.1", "{base}/files/" + INSTALLER_NAME)]))
        first = self.start("/s")
        hidden = self.drive_ok("wait-window", WINDOW_CLASS, WINDOW_TITLE, 15000).text
        started = time.monotonic()
        self.assertEqual(self.run_checker("/s"), 0)
        self.assertLess(time.monotonic() - started, 10, "the second ends at once, without a check of its own")
        self.assertIsNone(first.poll())
        windows = [line for line in self.drive_ok("list").lines if f"\t{WINDOW_CLASS}\t" in line]
        self.assertEqual([line.split("\t")[0] for line in windows], [hidden])
        dialog = self.wait_window(OFFERED_ITEMS, 30000)
        self.assertEqual(len(self.version_requests()), 1, "only the first checks")
        self.drive_ok("click", dialog, 2)
        self.drive_ok("command", self.wait_window(REMIND_WEEK), 2)
        self.assertEnds(first, 0)

    def test_quit_switch_closes_a_waiting_checker(self):
        self.offer(version_document(items=[item("Quillpack 5.0.1", "{base}/files/" + INSTALLER_NAME)]))
        self.assertEqual(self.run_checker("/q"), 0, "with no checker running it simply ends")
        program = self.start("/s")
        self.drive_ok("wait-window", WINDOW_CLASS, WINDOW_TITLE, 15000)
        # Within its first three seconds the checker has not begun to check.
        self.assertEqual(self.run_checker("/Q"), 0)
        self.assertEnds(program, 0, timeout=10)
        self.drive_ok("gone", WINDOW_CLASS, WINDOW_TITLE, 5000)
        time.sleep(2)
        self.assertEqual(self.server.request_lines(), [], "closed before its check")
        self.assertIsNone(self.state("loaded"))


class SilentEndTest(CheckerCase):
    """"/s" ending without a dialog: every rule that holds the offer back, and no endpoint answering."""

    def test_silent_ends(self):
        now = int(time.time())
        newer = [item("Quillpack 5.0.1", "{base}/files/" + INSTALLER_NAME)]
        cases = [
            # (what, state before, document, "checked" afterwards: None missing, "now", or a number)
            ("mode manual", {}, version_document(mode="manual", items=newer), None),
            ("roll-out lost", {}, version_document(ratio="0", items=newer), None),
            ("reminder holds", {"period": 1, "checked": stored_time(now - 3600)}, version_document(items=newer),
             now - 3600),
            ("not newer", {}, version_document(major=4, minor=1, display="4.1.2", items=newer), "now"),
        ]
        for what, state, document, checked_after in cases:
            with self.subTest(what):
                self.server.reset()
                self.set_registry(state=state)
                self.offer(document)
                program = self.start("/s")
                self.assertEnds(program, 0, timeout=40)
                self.assertEqual(self.version_requests(), [f"GET {PRIMARY}{QUERY} HTTP/1.1"], "one request")
                self.assertTrue(self.no_window(OFFERED_ITEMS, 0), "no dialog")
                self.assertNow(self.stored_time("loaded"), "loaded")
                if checked_after == "now":
                    self.assertNow(self.stored_time("checked"), "checked")
                else:
                    self.assertEqual(self.stored_time("checked"), checked_after)
                if "period" in state:
                    self.assertEqual(self.state("period"), ("REG_DWORD", f"0x{state['period']:x}"), "kept on a hold")

    def test_no_endpoint_answering_ends_silently_after_asking_both(self):
        self.offer("", primary_status=500)
        self.server.answer(FALLBACK + QUERY, text="<html><body>Not here</body></html>")
        program = self.start("/s")
        self.assertEnds(program, 0, timeout=40)
        self.assertEqual(self.version_requests(),
                         [f"GET {PRIMARY}{QUERY} HTTP/1.1", f"GET {FALLBACK}{QUERY} HTTP/1.1"])
        self.assertIsNone(self.state("loaded"), "nothing was loaded")


class DownloadTest(CheckerCase):
    """The update dialog's download: progress, the installer started, failures and the cancel path."""


    def test_the_chosen_installer_is_downloaded_with_progress_and_started(self):
        size = self.installer_bytes.stat().st_size
        # About six seconds of body, so the once-a-second progress timer sees it under way.
        chunk = max(4096, size // 12)
        self.server.answer("/files/" + INSTALLER_NAME, file=str(self.installer_bytes), chunk=chunk, delay=0.5)
        program, dialog = self.announce("{base}/files/" + INSTALLER_NAME)
        self.assertEqual(self.drive_ok("combo", dialog, OFFERED_ITEMS).lines[1:], ["0\tQuillpack 5.0.1 Full"])
        self.drive_ok("click", dialog, 1)
        positions = []
        deadline = time.monotonic() + 40
        while time.monotonic() < deadline and program.poll() is None:
            shown = SESSION.drive("progress", dialog, PROGRESS)
            if shown.code == 0:
                position, low, high = map(int, shown.text.split())
                self.assertEqual((low, high), (0, 1000))
                positions.append(position)
            time.sleep(0.3)
        self.assertEnds(program, 0, timeout=5)
        self.assertEqual(positions, sorted(positions), "the bar only moves forward")
        self.assertTrue(any(0 < p < 1000 for p in positions), f"the bar moved while receiving: {positions}")
        self.assertEqual([line for line in self.server.request_lines() if "/files/" in line],
                         [f"GET /files/{INSTALLER_NAME} HTTP/1.1"])
        self.assertAgent(2)  # the version document and the installer
        folders = self.download_folders()
        self.assertEqual(len(folders), 1, "the successful download stays for the installer")
        self.assertRegex(folders[0].name, r"^QPCHKUPD[ 0-9A-F]{4}$")
        downloaded = folders[0] / INSTALLER_NAME
        self.assertEqual(downloaded.read_bytes(), self.installer_bytes.read_bytes())
        marker = Path(str(downloaded) + ".started")
        self.assertTrue(self.until(marker.exists, timeout=20), "the installer was started")
        command_line = marker.read_bytes().decode("utf-16-le").split("\n")[0]
        self.assertIn(INSTALLER_NAME.lower(), command_line.lower())

    def test_a_body_cut_short_fails_with_the_message_and_leaves_no_folder(self):
        self.server.answer("/files/" + INSTALLER_NAME, generate=300000, cut=100000)
        program, dialog = self.announce("{base}/files/" + INSTALLER_NAME)
        self.drive_ok("click", dialog, 1)
        box, text = self.message_box(30000)
        self.assertEqual(text, STRINGS[5])
        self.assertEqual(self.drive_ok("text", box).text, TITLE)
        self.answer_box(box, 1)
        self.assertEnds(program, 0)
        self.assertEqual(self.download_folders(), [])

    def test_a_file_name_that_climbs_out_writes_nothing_outside_the_temporary_folder(self):
        before = {p.name for p in self.temp.parent.iterdir()} | {p.name for p in self.temp.iterdir()}
        # Whatever a careless client made of the address, it would get a body to write.
        for target in ("/files/..\\..\\evil.exe", "/files/../../evil.exe", "/evil.exe", "/files/evil.exe"):
            self.server.answer(target, generate=1000)
        # The document reader takes a backslash as an escape, so the document doubles each one to give
        # the item the address ".../files/..\..\evil.exe".
        program, dialog = self.announce("{base}/files/..\\\\..\\\\evil.exe")
        self.drive_ok("click", dialog, 1)
        box, text = self.message_box(30000)
        self.assertEqual(text, STRINGS[5])
        self.answer_box(box, 1)
        self.assertEnds(program, 0)
        after = {p.name for p in self.temp.parent.iterdir()} | {p.name for p in self.temp.iterdir()}
        self.assertEqual(after - before, set(), "no new file beside or above the download folders")
        self.assertFalse((self.temp.parent / "evil.exe").exists())
        self.assertEqual(self.download_folders(), [])
        self.assertEqual([line for line in self.server.request_lines() if "evil" in line], [], "not even asked for")

    def test_cancel_during_a_download_asks_removes_it_and_reminds_after_a_week(self):
        self.server.answer("/files/" + INSTALLER_NAME, generate=2000000, chunk=8192, delay=0.25)
        program, dialog = self.announce("{base}/files/" + INSTALLER_NAME)
        self.drive_ok("click", dialog, 1)
        progress = self.drive_ok("find", dialog, PROGRESS).lines[0].split("\t")[0]
        self.assertTrue(self.until(lambda: SESSION.drive("visible", progress).lines == ["1"]),
                        "the bar replaces the list")
        ok_button = self.drive_ok("find", dialog, 1).lines[0].split("\t")[0]
        self.assertEqual(SESSION.drive("enabled", ok_button).lines, ["0"], "OK is disabled while downloading")
        self.assertTrue(self.until(lambda: len(self.download_folders()) == 1), "the download folder is made")
        folder = self.download_folders()[0]
        downloaded = folder / INSTALLER_NAME
        self.assertTrue(self.until(downloaded.exists), "the file is being written")
        # No keeps the download going.
        self.drive_ok("click", dialog, 2)
        box, text = self.message_box()
        self.assertEqual(text, STRINGS[6])
        self.answer_box(box, IDNO)
        size = downloaded.stat().st_size
        self.assertTrue(self.until(lambda: downloaded.stat().st_size > size, timeout=10), "still receiving")
        self.drive_ok("click", dialog, 2)
        box, text = self.message_box()
        self.assertEqual(text, STRINGS[6])
        self.answer_box(box, IDYES)
        reminder = self.wait_window(REMIND_WEEK)
        self.assertFalse(folder.exists(), "the file and its folder are removed before the reminder")
        self.drive_ok("click", reminder, REMIND_WEEK)
        self.assertTrue(self.until(lambda: self.drive_ok("checked", reminder, REMIND_WEEK).lines == ["1"]))
        self.drive_ok("click", reminder, 1)
        self.assertEnds(program, 0)
        self.assertEqual(self.state("period"), ("REG_DWORD", "0x1"))
        run = SESSION.reg_value(RUN_KEY, "qpchk")
        self.assertIsNotNone(run, "the Run entry is written")
        self.assertEqual(run[0], "REG_SZ")
        match = re.fullmatch(r'"(.+)" /s', run[1])
        self.assertIsNotNone(match, run[1])
        self.assertEqual(SESSION.host_path(match.group(1)).resolve(), self.exe.resolve())
        self.assertEqual(self.download_folders(), [])


class InstallerTrustTest(CheckerCase):
    """Only an intact installer signed by a trusted publisher is started; everything else is a failed
    download: string 5, no folder left, nothing started."""

    def test_what_is_no_trusted_intact_installer_is_refused(self):
        signed = str(self.stand_ins["signed_stand_in"])
        cases = {
            "unsigned": ("setup.exe", {"file": str(self.stand_ins["partner_stand_in"])}, True),
            "changed after signing": ("setup.exe", {"file": str(self.stand_ins["altered_stand_in"])}, True),
            "another publisher": ("setup.exe", {"file": str(self.stand_ins["other_signer_stand_in"])}, True),
            "cut short, no length": ("setup.exe", {"file": signed, "length": "none", "cut": 200000}, True),
            "a shortcut": ("setup.lnk", {"file": signed}, False),
            "an Internet shortcut": ("setup.url", {"text": "[InternetShortcut]\r\nURL=file:///C:/x.exe\r\n"}, False),
        }
        for case, (name, answer, fetched) in cases.items():
            with self.subTest(case=case):
                self.server.reset()
                self.set_registry()
                self.server.answer("/files/" + name, **answer)
                program, dialog = self.announce("{base}/files/" + name)
                self.drive_ok("click", dialog, 1)
                box, text = self.message_box(30000)
                self.assertEqual(text, STRINGS[5])
                self.answer_box(box, 1)
                self.assertEnds(program, 0)
                self.assertEqual(self.download_folders(), [], "the file and its folder are removed")
                self.assertEqual(any("/files/" in line for line in self.server.request_lines()), fetched)
                self.assertEqual(list(self.temp.glob("**/*.started")), [], "nothing was started")


class InteractiveCheckTest(CheckerCase):
    """No switch: the check dialog and its three messages."""

    def check_and_answer(self, expected_string):
        program = self.start()
        dialog = self.wait_window(INSTALLED_VERSION)
        self.assertEqual(self.drive_ok("text", dialog, INSTALLED_VERSION).text, "4.1.2")
        self.assertIsNone(self.state("checked"))
        self.drive_ok("click", dialog, 1)
        box, text = self.message_box()
        self.assertEqual(text, STRINGS[expected_string])
        self.assertNow(self.stored_time("checked"), "checked")
        self.answer_box(box, 1)
        self.assertEnds(program, 0)
        return program

    def test_the_latest_version_installed(self):
        # The interactive check ignores the mode: only the numbers decide.
        self.offer(version_document(mode="manual", major=4, minor=1, display="4.1.2"))
        self.check_and_answer(2)
        self.assertEqual(self.version_requests(), [f"GET {PRIMARY}{QUERY} HTTP/1.1"])
        self.assertIsNone(self.state("loaded"), "only the background check writes it")

    def test_no_endpoint_answering(self):
        self.offer("", primary_status=404)
        self.check_and_answer(1)
        self.assertEqual(self.version_requests(),
                         [f"GET {PRIMARY}{QUERY} HTTP/1.1", f"GET {FALLBACK}{QUERY} HTTP/1.1"])

    def test_without_the_uninstall_entry(self):
        # An entry only in the 64-bit view is no installation of the 32-bit pack.
        for installed in (False, "64"):
            with self.subTest(installed=installed):
                self.server.reset()
                self.set_registry(installed=installed)
                program = self.start()
                box, text = self.message_box()
                self.assertEqual(text, STRINGS[3])
                self.answer_box(box, 1)
                self.assertEnds(program, 0)
                self.assertTrue(self.no_window(INSTALLED_VERSION, 500), "the check dialog closed with it")
                self.assertEqual(self.server.request_lines(), [])

    def test_cancel_ends_without_a_check(self):
        self.offer(version_document())
        program = self.start()
        self.drive_ok("click", self.wait_window(INSTALLED_VERSION), 2)
        self.assertEnds(program, 0)
        self.assertEqual(self.server.request_lines(), [])
        self.assertIsNone(self.state("checked"))


class StartUpTest(CheckerCase):
    """The install report's switch and the clean-up of earlier downloads."""

    def test_install_switch_reports_the_rest_of_its_argument(self):
        for argument, query in (("/install?x=1", "nstall?x=1"), ("/I", ""), ("/INSTALL", "NSTALL")):
            with self.subTest(argument=argument):
                self.server.reset()
                self.assertEqual(self.run_checker(argument, "/s"), 0)
                self.assertEqual(self.server.request_lines(), [f"GET /main/log/inst.php{query} HTTP/1.1"])
                self.assertAgent(1)
                self.assertTrue(self.no_window(OFFERED_ITEMS, 0), "the report alone, no check")

    def clean_up_at_start(self):
        """A start that removes leftovers and then ends at once: the interactive check, cancelled."""
        program = self.start()
        self.drive_ok("click", self.wait_window(INSTALLED_VERSION), 2)
        self.assertEnds(program, 0)

    def test_leftover_download_folders_are_removed_but_not_plain_files(self):
        old = self.temp / "QPCHKUPD  AB"
        (old / "inner").mkdir(parents=True)
        (old / "setup.exe").write_bytes(b"MZ")
        (old / "inner" / "more.bin").write_bytes(b"\0" * 10)
        lower = self.temp / "qpchkupd1"
        lower.mkdir()
        plain = self.temp / "QPCHKUPD.txt"
        plain.write_text("a file of that name stays")
        other = self.temp / "QPCHKUP-other"
        other.mkdir()
        self.clean_up_at_start()
        self.assertFalse(old.exists(), "a download folder with content is removed")
        self.assertFalse(lower.exists(), "the name matches in any letter case")
        self.assertEqual(plain.read_text(), "a file of that name stays")
        self.assertTrue(other.is_dir(), "another name stays")
        other.rmdir()

    def test_links_among_leftovers_never_lead_the_clean_up_outside(self):
        # One link is itself a leftover's name, one lies inside a leftover folder; each points at a folder
        # outside the temporary folder whose file must survive.
        targets = {name: SESSION.work / f"link-target-{name}" for name in ("named", "inside")}
        for target in targets.values():
            target.mkdir(exist_ok=True)
            (target / "keep.txt").write_text("kept")
        named = self.temp / "QPCHKUPDLINK"
        holder = self.temp / "QPCHKUPD   9"
        holder.mkdir()
        inside = holder / "inner"
        wine_links = self.make_directory_link(named, targets["named"])
        if wine_links:
            self.assertTrue(self.make_directory_link(inside, targets["inside"]))
        else:
            # This Wine makes no link (mklink /j fails, /d makes nothing); it shows a host symbolic link as
            # a directory reparse point, which the clean-up must not enter either.
            os.symlink(targets["named"], named)
            os.symlink(targets["inside"], inside)
        self.clean_up_at_start()
        for name, target in targets.items():
            self.assertEqual((target / "keep.txt").read_text(), "kept", f"the {name} link's target is untouched")
        if wine_links:
            self.assertFalse(os.path.lexists(named), "the link itself is removed")
            self.assertFalse(holder.exists(), "the folder goes with the link inside it")

    def make_directory_link(self, link, target):
        """A junction, else a directory symbolic link, made inside the prefix the way Windows makes
        them; False when neither appears."""
        for kind in ("/j", "/d"):
            SESSION.wine(["cmd", "/c", "mklink", kind, SESSION.windows_path(link), SESSION.windows_path(target)])
            if os.path.lexists(link):
                return True
        return False


class ScreenshotTest(CheckerCase):
    """The three dialogs in English and Korean, with two offered items, for a human to look at."""

    TEXTS = {
        "en": {"title": TITLE, "new": "New version :"},
        "ko": {"title": "Quillpack 업데이트", "new": "새 버전:"},
    }

    def test_dialog_screenshots(self):
        items = [item("Quillpack 5.0.1 Full", "{base}/files/full.exe", spec="Full"),
                 item("Quillpack 5.0.1 (all editions)", "{base}/files/all.exe", spec="*"),
                 item("Quillpack 5.0.1 Lite", "{base}/files/lite.exe", spec="Lite")]
        for lang, texts in self.TEXTS.items():
            with self.subTest(lang=lang):
                self.server.reset()
                self.server.answer(PRIMARY, text=version_document(items=items))
                self.set_registry()
                program = self.start(lang=lang)
                check = self.wait_window(INSTALLED_VERSION)
                self.assertEqual(self.drive_ok("text", check).text, texts["title"])
                time.sleep(0.7)
                SESSION.screenshot(f"checker-check-{lang}", check)
                self.drive_ok("click", check, 1)
                update = self.wait_window(OFFERED_ITEMS)
                self.assertEqual(self.drive_ok("text", update).text, texts["title"])
                entries = self.drive_ok("combo", update, OFFERED_ITEMS).lines[1:]
                self.assertEqual([line.split("\t")[1] for line in entries],
                                 ["Quillpack 5.0.1 Full", "Quillpack 5.0.1 (all editions)"], "in document order")
                children = [c.split("\t", 3) for c in self.drive_ok("children", update).lines]
                statics = [c[3] for c in children if c[1] == "Static"]
                self.assertIn(texts["new"], statics)
                self.assertEqual(self.server.request_lines()[:1],
                                 [f"GET {PRIMARY}?version=4.1.2&sver=Full&hv=4&lv=1&lang={lang} HTTP/1.1"])
                time.sleep(0.7)
                SESSION.screenshot(f"checker-update-{lang}", update)
                # The same with its list open, which reaches below the dialog.
                self.drive_ok("drop-down", update, OFFERED_ITEMS, 1)
                dropped = self.drive_ok("wait-window", "ComboLBox", "-", 5000, "--visible").text
                time.sleep(0.5)
                boxes = [list(map(int, self.drive_ok("rect", w).text.split()[:4])) for w in (update, dropped)]
                area = (min(b[0] for b in boxes), min(b[1] for b in boxes), max(b[2] for b in boxes),
                        max(b[3] for b in boxes))
                SESSION.screenshot(f"checker-update-list-{lang}", area=area)
                self.drive_ok("drop-down", update, OFFERED_ITEMS, 0)
                self.drive_ok("click", update, 2)
                reminder = self.wait_window(REMIND_WEEK)
                time.sleep(0.7)
                SESSION.screenshot(f"checker-reminder-{lang}", reminder)
                self.drive_ok("command", reminder, 2)
                self.assertEnds(program, 0)


class StallTest(CheckerCase):
    """A primary endpoint that takes the request and never answers: about 30 s, in a shard of its own."""

    def test_a_silent_primary_ends_the_check_within_the_time_out(self):
        self.server.answer(PRIMARY + QUERY, stall="forever")
        self.server.answer(FALLBACK + QUERY, status=404)
        program = self.start("/s")
        self.assertEqual(len(self.server.wait_requests(1)), 1)
        asked = time.monotonic()
        self.assertEnds(program, 0, timeout=45)
        ended = time.monotonic() - asked
        requests = self.server.requests()
        self.assertEqual([r["target"] for r in requests], [PRIMARY + QUERY, FALLBACK + QUERY])
        waited = requests[1]["time"] - requests[0]["time"]
        self.assertGreaterEqual(waited, 28, "the primary was given its 30 s")
        self.assertLess(waited, 34, "and no more")
        # The fallback's 404, then the once-a-second close.
        self.assertLess(ended, 36)
        self.assertIsNone(self.state("loaded"), "nothing was loaded")


# ctest runs each shard in a sandbox of its own, side by side.
SHARDS = {
    "background": ["BackgroundCheckTest"],
    "silent": ["SilentEndTest"],
    "download": ["DownloadTest"],
    "trust": ["InstallerTrustTest"],
    "dialogs": ["InteractiveCheckTest", "StartUpTest", "ScreenshotTest"],
    "stall": ["StallTest"],
}

if __name__ == "__main__":
    run_tests(__doc__, SHARDS)
