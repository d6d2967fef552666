#!/usr/bin/env python3
"""End-to-end tests of Tivolan's setup program and uninstaller under Wine: silent and interactive runs in
a prefix of their own, the files, shortcut, Run entry and uninstall entry they leave or remove, an upgrade
over a running older version, and screenshots of the setup pages in English, Korean and Greek.

    tests/e2e/installer_e2e.py --build-dir build/windows [-v] [unittest names...]

Needs BUILD/dist/Tivolan-VERSION-setup.exe (the windows preset builds it when makensis is installed) and,
for the upgrade, makensis itself, which packs an older version of the same program for the test; the
cases fail, saying why, while either is missing.
"""

import re
import shutil
import struct
import subprocess
import time
from pathlib import Path

from wine_session import DIALOG_CLASS, ROOT, E2ECase, close_session, open_session, run_tests

TRAY_CLASS = "TivolanTray-9EF72DB2-DE72-4A37-B070-F4C65D09B3D8"
TRAY_TITLE = "Tivolan Tray Window"
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tivolan"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
TIVOLAN_KEY = r"HKCU\Software\Tivolan"
NO_SERVER = "http://127.0.0.1:9"
# Held by a running Tivolan from its start to its end.
INSTANCE_MUTEX = "Tivolan-70BDD048-FA5E-4830-8843-D9BAF41DE860"
# The setup's exit code when a running Tivolan did not end when asked to.
STILL_RUNNING_EXIT_CODE = 3
OLD_VERSION = "0.9.0"
# The button ids of every NSIS page, and the page's own dialog inside the window.
NEXT, CANCEL, BACK = 1, 2, 3
MESSAGE_YES = 6
# Every 2 hours, shut down (seconds, kind, action): far enough away never to come due here.
REPEATING_TASK = struct.pack("<iii", 7200, 0, 0).hex()

SESSION = None


def setUpModule():
    global SESSION
    SESSION = open_session("installer-e2e-prefix")


def tearDownModule():
    close_session()


def project_version(build_dir):
    cache = (build_dir / "CMakeCache.txt").read_text(errors="replace")
    found = re.search(r"^CMAKE_PROJECT_VERSION:STATIC=(\S+)$", cache, re.M)
    return found.group(1) if found else None


def run_unpiped(args, timeout=180):
    """Runs a program to its end and gives its exit code. No pipe of ours: the setup program's Tivolan
    and the uninstaller's copy of itself would inherit it."""
    return SESSION.detached(args, timeout=timeout, check=False)


def echo(variable):
    """A Windows environment variable as the prefix's programs see it."""
    return SESSION.wine(["cmd", "/c", "echo", f"%{variable}%"]).stdout.strip()


class InstallerCase(E2ECase):
    """A clean prefix (no installation, no settings) before every case, and the paths the setup uses."""

    @classmethod
    def setUpClass(cls):
        cls.version = project_version(SESSION.build_dir)
        cls.setup = SESSION.build_dir / "dist" / f"Tivolan-{cls.version}-setup.exe"
        cls.built_program = SESSION.bin / "Tivolan.exe"
        cls.folder = echo("LOCALAPPDATA") + r"\Programs\Tivolan"
        cls.program = cls.folder + r"\Tivolan.exe"
        cls.uninstaller = cls.folder + r"\Uninstall.exe"
        cls.shortcut = echo("APPDATA") + r"\Microsoft\Windows\Start Menu\Programs\Tivolan.lnk"

    def setUp(self):
        if not self.setup.exists():
            self.fail(f"{self.setup} is not built (install nsis and build the windows preset)")
        self.clean_prefix()
        SESSION.reg_add(TIVOLAN_KEY, "UpdateServer", "REG_SZ", NO_SERVER + "/primary")
        SESSION.reg_add(TIVOLAN_KEY, "UpdateFallbackServer", "REG_SZ", NO_SERVER + "/fallback")

    def clean_prefix(self):
        if self.host(self.program).exists():
            SESSION.wine([self.program, "/X"])
            self.drive_ok("gone", TRAY_CLASS, TRAY_TITLE, 15000)
        shutil.rmtree(self.host(self.folder), ignore_errors=True)
        self.host(self.shortcut).unlink(missing_ok=True)
        SESSION.reg_delete_key(UNINSTALL_KEY)
        SESSION.reg_delete_value(RUN_KEY, "Tivolan")
        SESSION.reg_delete_key(TIVOLAN_KEY)

    @staticmethod
    def host(windows_path):
        return SESSION.host_path(windows_path)

    def install(self, setup=None, *args):
        self.assertEqual(run_unpiped([setup or self.setup, "/S"] + list(args)), 0, "silent setup")

    def uninstall_silently(self):
        command = self.entry("QuietUninstallString")
        self.assertIsNotNone(command, "no QuietUninstallString")
        program, args = re.fullmatch(r'"([^"]+)"\s*(.*)', command).groups()
        self.assertEqual(run_unpiped([program] + args.split()), 0)
        # The uninstaller runs a copy of itself from the temporary folder, so its own end says nothing.
        self.assertTrue(self.until(lambda: not self.host(self.folder).exists(), timeout=60),
                        "the uninstaller left the program folder")
        self.assertTrue(self.until(lambda: self.entry("DisplayName") is None, timeout=20))

    @staticmethod
    def entry(name):
        value = SESSION.reg_value(UNINSTALL_KEY, name)
        return value[1] if value else None

    def start_installed(self, program=None):
        process = SESSION.launch(program or self.program, "/s")
        tray = self.drive_ok("wait-window", TRAY_CLASS, TRAY_TITLE, 30000).text
        return process, tray

    def wait_setup_window(self, timeout_ms=30000):
        return self.drive_ok("wait-window", DIALOG_CLASS, "-", timeout_ms, "--visible").text

    @staticmethod
    def other_dialogs(window):
        """Visible dialog windows other than window, such as a message box it opened."""
        found = []
        for line in SESSION.drive("list").lines:
            handle, _, visible, kind = line.split("\t")[:4]
            if kind == DIALOG_CLASS and visible == "1" and handle != window:
                found.append(handle)
        return found

    def check_box(self, window, word):
        """(id, page) of the visible check box on the current page whose text holds word, or None."""
        for control_id, kind, visible, text in self.page_controls(window):
            if kind == "Button" and visible == "1" and word in text and int(control_id) not in (NEXT, CANCEL, BACK):
                found = self.drive_ok("find", window, control_id).text.split("\t")
                return int(control_id), found[1]
        return None

    def page_controls(self, window):
        """(id, class, visible, text) of every control below the setup window."""
        # A text with line breaks continues on lines of its own, which are no controls.
        rows = [line.split("\t", 3) for line in self.drive_ok("children", window).lines]
        return [tuple(row) for row in rows if len(row) == 4]


class SilentInstallTest(InstallerCase):
    def test_silent_install_puts_the_program_entry_and_shortcut_in_place(self):
        self.install()
        self.assertEqual(self.host(self.program).read_bytes(), self.built_program.read_bytes())
        self.assertTrue(self.host(self.uninstaller).is_file())

        expected = {
            "DisplayName": ("REG_SZ", "Tivolan"),
            "DisplayVersion": ("REG_SZ", self.version),
            "Publisher": ("REG_SZ", "Merrowin"),
            "DisplayIcon": ("REG_SZ", self.program + ",0"),
            "UninstallString": ("REG_SZ", f'"{self.uninstaller}"'),
            "QuietUninstallString": ("REG_SZ", f'"{self.uninstaller}" /S'),
            "NoModify": ("REG_DWORD", "0x1"),
            "NoRepair": ("REG_DWORD", "0x1"),
        }
        for name, value in expected.items():
            with self.subTest(value=name):
                self.assertEqual(SESSION.reg_value(UNINSTALL_KEY, name), value)
        kind, size = SESSION.reg_value(UNINSTALL_KEY, "EstimatedSize")
        files = self.host(self.program).stat().st_size + self.host(self.uninstaller).stat().st_size
        self.assertEqual(kind, "REG_DWORD")
        self.assertLessEqual(abs(int(size, 16) - files // 1024), 1, "EstimatedSize in KiB")

        self.assertTrue(self.host(self.shortcut).is_file(), "Start-menu shortcut")
        target, arguments, icon, index = self.drive_ok("read-link", self.shortcut).lines[:4]
        self.assertEqual((target.lower(), arguments, icon.lower(), index), (self.program.lower(), "", self.program.lower(), "0"))

    def test_the_run_entry_is_written_when_chosen_and_starts_the_program_silently(self):
        self.install()
        self.assertEqual(SESSION.reg_value(RUN_KEY, "Tivolan"), ("REG_SZ", f'"{self.program}" /s'))
        program, args = re.fullmatch(r'"([^"]+)" (.*)', SESSION.reg_value(RUN_KEY, "Tivolan")[1]).groups()
        process = SESSION.launch(program, *args.split())
        self.drive_ok("wait-window", TRAY_CLASS, TRAY_TITLE, 30000)
        self.assertEqual(SESSION.drive("wait-window", DIALOG_CLASS, "Tivolan", 2000, "--visible").code, 1,
                         "no window with /s")
        self.assertEqual(self.drive_ok("tray-tip").lines, ["Tivolan"])
        SESSION.wine([self.program, "/X"])
        self.assertEnds(process, 0)

    def test_the_run_entry_is_not_written_when_declined(self):
        self.install(None, "/RUNATLOGON=0")
        self.assertIsNone(SESSION.reg_value(RUN_KEY, "Tivolan"))
        self.assertTrue(self.host(self.program).is_file())


class UpgradeTest(InstallerCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        makensis = shutil.which("makensis")
        if not makensis:
            raise AssertionError("makensis is not installed: no older version to upgrade from (install nsis)")
        if not cls.built_program.exists():
            raise AssertionError(f"{cls.built_program} does not exist: build the windows preset first")
        # The older version: the same program with a few bytes after its image, which Windows ignores,
        # so the test can tell its file from the new one.
        work = SESSION.work / "old-version"
        (work / "bin").mkdir(parents=True, exist_ok=True)
        (work / "bin" / "Tivolan.exe").write_bytes(cls.built_program.read_bytes() + b"older build\0")
        out = work / f"Tivolan-{OLD_VERSION}-setup.exe"
        subprocess.run(
            [makensis, "-V2", "-WX", "-INPUTCHARSET", "UTF8", f"-DVERSION={OLD_VERSION}", f"-DFILE_VERSION={OLD_VERSION}.0",
             f"-DBIN_DIR={work / 'bin'}", f"-DICON_FILE={SESSION.build_dir / 'scheduler/generated/images/app.ico'}",
             f"-DWELCOME_BITMAP={SESSION.build_dir / 'tools/installer/images/setup_welcome.bmp'}",
             f"-DOUT_FILE={out}", str(ROOT / "tools/installer/tivolan.nsi")],
            check=True)
        cls.old_setup = out

    def test_an_upgrade_ends_the_running_program_keeps_its_task_and_runs_the_new_files(self):
        self.install(self.old_setup)
        self.assertEqual(self.entry("DisplayVersion"), OLD_VERSION)
        SESSION.reg_add(TIVOLAN_KEY, "Task", "REG_BINARY", REPEATING_TASK)
        old, tray = self.start_installed()
        old_pid = self.drive_ok("pid", tray).text
        self.assertRegex(self.drive_ok("tray-tip").text, r"^Tivolan - .* Shut down$")

        self.install()
        self.assertEnds(old, 0, timeout=30)
        self.assertEqual(self.entry("DisplayVersion"), self.version)
        self.assertEqual(self.host(self.program).read_bytes(), self.built_program.read_bytes(), "the new file")
        self.assertEqual(SESSION.reg_value(TIVOLAN_KEY, "Task"), ("REG_BINARY", REPEATING_TASK.upper()))
        # The ended instance comes back from the new file and re-arms the stored task.
        tray = self.drive_ok("wait-window", TRAY_CLASS, TRAY_TITLE, 30000).text
        self.assertNotEqual(self.drive_ok("pid", tray).text, old_pid)
        self.assertRegex(self.until(lambda: self.drive_ok("tray-tip").text, timeout=10), r"^Tivolan - .* Shut down$")
        self.assertEqual(SESSION.reg_value(RUN_KEY, "Tivolan"), ("REG_SZ", f'"{self.program}" /s'))

    def test_an_upgrade_stops_with_nothing_replaced_when_the_running_program_does_not_end(self):
        self.install(self.old_setup)
        old_bytes = self.host(self.program).read_bytes()
        holder_exe = SESSION.bin / "mutex_holder.exe"
        holding = Path(f"{holder_exe}.holding")
        holding.unlink(missing_ok=True)
        holder = SESSION.launch(holder_exe, INSTANCE_MUTEX)
        try:
            self.assertTrue(self.until(holding.exists, timeout=20), "the holder took the mutex")
            started = time.monotonic()
            self.assertEqual(run_unpiped([self.setup, "/S"]), STILL_RUNNING_EXIT_CODE)
            self.assertGreaterEqual(time.monotonic() - started, 14, "the setup gave the program 15 s to end")
        finally:
            Path(f"{holder_exe}.release").touch()
        self.assertEnds(holder, 0)
        self.assertEqual(self.host(self.program).read_bytes(), old_bytes, "the old file stays")
        self.assertEqual(self.entry("DisplayVersion"), OLD_VERSION)

    def test_an_upgrade_keeps_a_declined_run_entry_declined(self):
        self.install(self.old_setup, "/RUNATLOGON=0")
        self.install()
        self.assertIsNone(SESSION.reg_value(RUN_KEY, "Tivolan"))


class UninstallTest(InstallerCase):
    def test_silent_uninstall_ends_the_program_removes_everything_and_keeps_the_settings(self):
        self.install()
        SESSION.reg_add(TIVOLAN_KEY, "Task", "REG_BINARY", REPEATING_TASK)
        process, _ = self.start_installed()
        self.uninstall_silently()
        self.assertEnds(process, 0, timeout=30)
        self.assertFalse(self.host(self.shortcut).exists(), "shortcut")
        self.assertIsNone(SESSION.reg_value(RUN_KEY, "Tivolan"), "Run entry")
        self.assertEqual(SESSION.wine(["reg", "query", UNINSTALL_KEY]).returncode, 1, "uninstall entry")
        self.assertEqual(SESSION.reg_value(TIVOLAN_KEY, "Task"), ("REG_BINARY", REPEATING_TASK.upper()))

    def test_a_run_entry_of_another_copy_stays(self):
        self.install()
        elsewhere = r'"C:\Portable\Tivolan.exe" /s'
        SESSION.reg_add(RUN_KEY, "Tivolan", "REG_SZ", elsewhere)
        self.uninstall_silently()
        self.assertEqual(SESSION.reg_value(RUN_KEY, "Tivolan"), ("REG_SZ", elsewhere))

    def test_the_settings_box_removes_the_settings_key(self):
        self.install()
        SESSION.reg_add(TIVOLAN_KEY, "Task", "REG_BINARY", REPEATING_TASK)
        SESSION.launch(self.uninstaller)
        window = self.wait_setup_window()
        box = self.settings_box(window)
        self.assertEqual(SESSION.drive("checked", box[1], box[0]).code, 1, "unchecked at first")
        self.drive_ok("click", box[1], box[0])
        self.assertEqual(self.until(lambda: SESSION.drive("checked", box[1], box[0]).code == 0), True)
        SESSION.screenshot("uninstall-settings-checked-en")
        self.drive_ok("click", window, NEXT)  # to the confirmation
        time.sleep(0.5)
        self.drive_ok("click", window, NEXT)  # Uninstall
        self.assertTrue(self.until(lambda: not self.host(self.folder).exists(), timeout=60))
        self.assertEqual(SESSION.wine(["reg", "query", TIVOLAN_KEY]).returncode, 1, "settings key")
        self.assertIsNone(SESSION.reg_value(RUN_KEY, "Tivolan"))
        # The last page waits for Close.
        close = self.drive_ok("find", window, NEXT).text.split("\t")[0]
        self.assertTrue(self.until(lambda: SESSION.drive("enabled", close).code == 0))
        self.drive_ok("click", window, NEXT)
        self.drive_ok("gone", DIALOG_CLASS, "-", 10000, "--visible")

    def settings_box(self, window):
        """(id, page) of the settings check box on the uninstaller's first page."""
        box = self.check_box(window, "settings")
        self.assertIsNotNone(box, "no settings check box")
        return box


class PageScreenshotTest(InstallerCase):
    """The setup's and the uninstaller's pages in each language, for a person to look at."""

    def test_pages_in_every_language(self):
        self.install()
        for lang in ("en", "ko", "el"):
            with self.subTest(lang=lang):
                setup = SESSION.launch(self.setup, lang=lang)
                window = self.wait_setup_window()
                for page in ("welcome", "components", "folder"):
                    if page != "welcome":
                        self.drive_ok("click", window, NEXT)
                    time.sleep(0.5)
                    SESSION.screenshot(f"setup-{page}-{lang}", window)
                self.drive_ok("click", window, NEXT)  # Install
                run_box = self.until(lambda: self.check_box(window, "Tivolan"), timeout=60)
                self.assertIsNotNone(run_box, "the finish page's box that starts Tivolan")
                time.sleep(0.5)
                SESSION.screenshot(f"setup-finish-{lang}", window)
                self.assertEqual(SESSION.drive("checked", run_box[1], run_box[0]).code, 0, "checked at first")
                self.drive_ok("click", run_box[1], run_box[0])
                self.assertTrue(self.until(lambda: SESSION.drive("checked", run_box[1], run_box[0]).code == 1))
                self.drive_ok("click", window, NEXT)  # Finish
                self.assertEnds(setup, 0, timeout=20)
                self.assertEqual(SESSION.drive("wait-window", TRAY_CLASS, TRAY_TITLE, 2000).code, 1,
                                 "Tivolan was not started with the box cleared")

                SESSION.launch(self.uninstaller, lang=lang)
                window = self.wait_setup_window()
                time.sleep(0.5)
                SESSION.screenshot(f"uninstall-settings-{lang}", window)
                self.drive_ok("click", window, CANCEL)
                self.drive_ok("gone", DIALOG_CLASS, "-", 10000, "--visible")

    def test_cancel_asks_first_and_installs_nothing(self):
        setup = SESSION.launch(self.setup)
        window = self.wait_setup_window()
        self.drive_ok("click", window, CANCEL)
        question = self.until(lambda: self.other_dialogs(window), timeout=5)
        self.assertTrue(question, "the question before quitting")
        self.drive_ok("click", question[0], MESSAGE_YES)
        self.assertEnds(setup, 1, timeout=20)  # cancelled by the user
        self.assertFalse(self.host(self.folder).exists())
        self.assertIsNone(self.entry("DisplayName"))


# ctest runs each shard in a sandbox of its own, side by side.
SHARDS = {
    "install": ["SilentInstallTest", "UninstallTest"],
    "upgrade": ["UpgradeTest"],
    "pages": ["PageScreenshotTest"],
}

if __name__ == "__main__":
    run_tests(__doc__, SHARDS)
