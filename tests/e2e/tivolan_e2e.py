#!/usr/bin/env python3
"""End-to-end tests: Windows programs started under Wine as a user would start them, watched and worked
through tivolan_driver.exe, with screenshots in build/windows/screenshots/.

    tests/e2e/tivolan_e2e.py --build-dir build/windows [-v] [unittest names...]

The run has a Wine prefix of its own (BUILD/e2e-prefix, booted on first use) with a persistent server
and a 1280x800 virtual desktop that every program of the prefix shares, so the driver sees their windows
and the notification area. It uses $DISPLAY (tools/test.sh gives an Xvfb one) or starts Xvfb itself.
The stand-in cases prove the driver with fake_tivolan.exe; the Tivolan cases fail, saying why, while
BUILD/bin/Tivolan.exe does not exist.
"""

import re
import shutil
import struct
import subprocess
import time
import unittest

from wine_session import (
    DESKTOP_SIZE, DIALOG_CLASS, LOCALES, MESSAGE_TEXT, E2ECase, LoopbackServer, bmp_pixel, bmp_size,
    close_session, open_session, run_tests)

TRAY_CLASS = "TivolanTray-9EF72DB2-DE72-4A37-B070-F4C65D09B3D8"
TRAY_TITLE = "Tivolan Tray Window"
MENU_CLASS = "#32768"
TOAST_CLASS = "TivolanToastWindow"
TOAST_WIDTH = 336  # at 96 DPI, without a web page
COMMAND_EXIT = 32777
COMMAND_SHUT_DOWN = 32778  # the tray menu's first action
WS_EX_TOPMOST = 0x8
WS_EX_APPWINDOW = 0x40000
COMMAND_CHECK_UPDATE = 32801
SHOW_ALARM_MESSAGE = 0x400 + 101  # WM_USER + 101
UPDATE_RESULT_MESSAGE = 0x400 + 202  # WM_USER + 202; wParam 3: "an answer was received"
TIVOLAN_KEY = r"HKCU\Software\Tivolan"
# An address where nothing listens: the update check of a test that is not about it fails at once and
# never leaves the machine.
NO_SERVER = "http://127.0.0.1:9"
PRODUCT_VERSION = "1.0.0.0"


def forwarded_request(kind, seconds, action, text):
    """The 532 bytes one instance hands the other: three little-endian integers and 260 UTF-16 units."""
    units = text.encode("utf-16-le")[: 259 * 2]
    return struct.pack("<iii", kind, seconds, action) + units.ljust(520, b"\0")


SESSION = None


def setUpModule():
    global SESSION
    SESSION = open_session("e2e-prefix")


def tearDownModule():
    close_session()


class DriverCase(E2ECase):
    """Tivolan's tray window, and ending a program through it."""

    def wait_tray(self, timeout_ms=30000):
        return self.drive_ok("wait-window", TRAY_CLASS, TRAY_TITLE, timeout_ms).text

    @staticmethod
    def tray_windows():
        return [line for line in SESSION.drive("list").lines if f"\t{TRAY_CLASS}\t" in line]

    @staticmethod
    def visible_dialogs():
        """The handles of the visible windows of the dialog class with the caption "Tivolan"."""
        return [line.split("\t")[0] for line in SESSION.drive("list").lines
                if line.split("\t")[2:] == ["1", DIALOG_CLASS, "Tivolan"]]

    def end_program(self, program):
        """The exit command through the tray window, as the tray menu's exit does."""
        if program.poll() is not None:
            return
        tray = SESSION.drive("wait-window", TRAY_CLASS, TRAY_TITLE, 0)
        if tray.code == 0:
            SESSION.drive("command", tray.text, COMMAND_EXIT)
        try:
            program.wait(timeout=30)
        except subprocess.TimeoutExpired:
            program.kill()
            program.wait()


class StandInTest(DriverCase):
    """The driver against fake_tivolan.exe, which records what it receives."""

    def setUp(self):
        self.record = SESSION.work / f"{self.id().rsplit('.', 1)[-1]}.txt"
        self.record.unlink(missing_ok=True)

    def start_stand_in(self, *args):
        program = SESSION.launch(SESSION.bin / "fake_tivolan.exe", "--record", SESSION.windows_path(self.record), *args)
        self.addCleanup(self.end_program, program)
        return program, self.wait_tray()

    def recorded(self):
        return self.record.read_text().splitlines() if self.record.exists() else []

    def test_copydata_arrives_as_sent_and_the_answer_comes_back(self):
        _, tray = self.start_stand_in("--answer", "7")
        request = forwarded_request(0, 7 * 60, 7, "Tea \u03a3\ud55c")
        self.assertEqual(self.drive_ok("send-copydata", tray, 0, 532, "--raw", request.hex(), "00").lines, ["7", "7"])
        # Text is sent as UTF-16 and cut or padded to the length given.
        self.assertEqual(self.drive_ok("send-copydata", tray, 5, 10, "Tea").lines, ["7"])
        self.assertEqual(self.drive_ok("send-copydata", tray, 0, 4, "Tea").lines, ["7"])
        copies = [line.split(" ") for line in self.recorded() if line.startswith("copydata ")]
        self.assertEqual(
            copies,
            [
                ["copydata", "0", "0", "532", request.hex()],
                ["copydata", "0", "0", "532", "00" * 532],
                ["copydata", "0", "5", "10", ("Tea".encode("utf-16-le") + b"\0" * 4).hex()],
                ["copydata", "0", "0", "4", "Te".encode("utf-16-le").hex()],
            ],
        )
        bad = SESSION.drive("send-copydata", tray, 0, 4, "--raw", "abc")
        self.assertEqual(bad.code, 2, "odd hex must be refused")

    def test_exit_command_ends_the_program_with_0(self):
        program, tray = self.start_stand_in()
        self.drive_ok("command", tray, COMMAND_EXIT)
        self.assertEnds(program, 0)
        self.drive_ok("gone", TRAY_CLASS, TRAY_TITLE, 5000)
        self.assertIn(f"command {COMMAND_EXIT}", self.recorded())
        # Once it is gone, waiting for it times out with 1 after (not before) the time given.
        started = time.monotonic()
        late = SESSION.drive("wait-window", TRAY_CLASS, TRAY_TITLE, 700)
        self.assertEqual(late.code, 1)
        self.assertGreaterEqual(time.monotonic() - started, 0.7)
        self.assertEqual(SESSION.drive("command", tray, COMMAND_EXIT).code, 1, "a window that is gone")

    def test_a_posted_message_arrives_as_sent(self):
        _, tray = self.start_stand_in()
        self.drive_ok("post", tray, UPDATE_RESULT_MESSAGE, 4294967295, -2)
        expected = f"message {UPDATE_RESULT_MESSAGE} 4294967295 -2"
        self.assertTrue(self.until(lambda: expected in self.recorded()), self.recorded())
        self.assertEqual(SESSION.drive("post", tray, 0x10000, 0, 0).code, 1, "no such message number")

    def test_gone_waits_while_the_window_stays(self):
        self.start_stand_in()
        self.assertEqual(SESSION.drive("gone", TRAY_CLASS, TRAY_TITLE, 500).code, 1)

    def test_controls_text_visibility_and_clicks(self):
        self.start_stand_in("--window")
        main, question = self.drive_ok("wait-window", "-", "Tivolan", 10000, "--visible", "--text", 1030).lines
        self.assertEqual(question, "Are you sure? \u03a3\ud55c")
        self.assertEqual(self.drive_ok("text", main).lines, ["Tivolan"])
        self.assertEqual(self.drive_ok("text", main, 1030).lines, ["Are you sure? \u03a3\ud55c"])
        children = [line.split("\t") for line in self.drive_ok("children", main).lines]
        self.assertEqual([(c[0], c[1]) for c in children], [("1030", "Static"), ("1031", "Button"), ("1", "Button"), ("2", "Button")])
        self.assertEqual(children[3][3], "&Cancel")
        self.assertEqual(SESSION.drive("text", main, 4242).code, 1, "no such control")
        self.assertEqual(self.drive_ok("visible", main).lines, ["1"])
        self.assertEqual(self.drive_ok("enabled", main).lines, ["1"])
        disabled = SESSION.drive("click", main, 1031)
        self.assertEqual(disabled.code, 1, "a disabled button cannot be clicked")
        self.drive_ok("click", main, 1)
        self.drive_ok("click", main, 2)  # the stand-in hides its window on Cancel
        self.drive_ok("gone", "-", "Tivolan", 10000, "--visible")
        self.assertEqual(SESSION.drive("gone", "-", "Tivolan", 0).code, 1, "hidden, not destroyed")
        hidden = SESSION.drive("visible", main)
        self.assertEqual((hidden.code, hidden.lines), (1, ["0"]))
        self.assertEqual([line for line in self.recorded() if line.startswith("clicked")], ["clicked 1", "clicked 2"])
        self.assertNotEqual(SESSION.drive("wait-window", "-", "Tivolan", 300, "--visible").code, 0)

    def test_tray_tip_and_right_click(self):
        tip = "Stand-in \u03a3\ud55c - 10:00 Shut down"
        self.start_stand_in("--tip", tip)
        self.assertEqual(self.drive_ok("tray-tip").lines, [tip])
        self.assertIn(tip, self.drive_ok("tray-tip", "--all").lines)
        self.drive_ok("right-click-tray")
        deadline = time.monotonic() + 10
        while "callback 517" not in self.recorded() and time.monotonic() < deadline:
            time.sleep(0.1)
        self.assertIn("callback 517", self.recorded())
        self.assertEqual(SESSION.drive("tray-tip", "NoSuchClass", "-").code, 1)

    def test_screenshots_of_the_desktop_and_of_a_window(self):
        self.start_stand_in("--window")
        main = self.drive_ok("wait-window", "-", "Tivolan", 10000, "--visible").text
        time.sleep(0.5)  # let it paint
        desktop = SESSION.screenshot("stand-in-desktop")
        self.assertEqual(bmp_size(desktop), DESKTOP_SIZE)
        window = SESSION.screenshot("stand-in-window", main)
        self.assertEqual(bmp_size(window), (420, 200), "the stand-in's window is 420 x 200")
        # The window is drawn at (100, 100): its face differs from the desktop's background.
        self.assertNotEqual(bmp_pixel(desktop, 5, 5), bmp_pixel(desktop, 300, 180))
        self.assertEqual(bmp_pixel(window, 200, 80), bmp_pixel(desktop, 300, 180))
        self.assertTrue((SESSION.screenshots / "stand-in-desktop.png").exists() or not shutil.which("convert"))

    def test_pid_and_peak_memory(self):
        program, tray = self.start_stand_in()
        pid = self.drive_ok("pid", tray).text
        self.assertRegex(pid, r"^[1-9][0-9]*$")
        peak = int(self.drive_ok("peak-memory", pid).text)
        self.assertGreater(peak, 1 << 20)
        self.assertLess(peak, 1 << 31)
        self.drive_ok("command", tray, COMMAND_EXIT)
        self.assertEnds(program, 0)
        self.assertEqual(SESSION.drive("peak-memory", pid).code, 1, "the process has ended")


TIVOLAN_MISSING = "build/windows/bin/Tivolan.exe does not exist: build the windows preset first"


class TivolanCase(DriverCase):
    """Starting Tivolan with settings of its own, and what its windows show."""

    def setUp(self):
        self.exe = SESSION.bin / "Tivolan.exe"
        if not self.exe.exists():
            self.fail(TIVOLAN_MISSING)
        self.fresh_settings(NO_SERVER)

    @staticmethod
    def fresh_settings(update_server):
        SESSION.reg_delete_key(TIVOLAN_KEY)
        SESSION.reg_add(TIVOLAN_KEY, "UpdateServer", "REG_SZ", update_server + "/primary")
        SESSION.reg_add(TIVOLAN_KEY, "UpdateFallbackServer", "REG_SZ", update_server + "/fallback")

    def start(self, *args, lang=None):
        program = SESSION.launch(self.exe, *args, lang=lang)
        self.addCleanup(self.end_program, program)
        return program

    def second_start(self, *args, lang=None, timeout=30):
        return SESSION.wine([self.exe] + list(args), lang=lang, timeout=timeout).returncode

    def wait_dialog(self, timeout_ms=15000):
        return self.drive_ok("wait-window", DIALOG_CLASS, "Tivolan", timeout_ms, "--visible").text

    def no_visible_dialog(self, timeout_ms=2000):
        return SESSION.drive("wait-window", DIALOG_CLASS, "Tivolan", timeout_ms, "--visible").code == 1

    def static_texts(self, dialog):
        return [c.split("\t", 3)[3] for c in self.drive_ok("children", dialog).lines if c.split("\t")[1] == "Static"]


class TivolanTest(TivolanCase):
    """Tivolan itself, as the user and a second start see it."""

    def test_silent_start_shows_only_the_tray(self):
        program = self.start("/s")
        self.wait_tray()
        self.assertTrue(self.no_visible_dialog(), "no window with /s")
        self.assertEqual(self.drive_ok("tray-tip").lines, ["Tivolan"])
        self.assertEqual(self.second_start("/X"), 0)
        self.assertEnds(program, 0)
        self.drive_ok("gone", TRAY_CLASS, TRAY_TITLE, 5000)

    def test_exit_and_install_switches_without_an_instance(self):
        for switch in ("/X", "/x", "/I"):
            with self.subTest(switch=switch):
                self.assertEqual(self.second_start(switch), 0)
                self.assertEqual(SESSION.drive("wait-window", TRAY_CLASS, TRAY_TITLE, 500).code, 1)

    def test_uninstall_switch_removes_the_browser_setting(self):
        key = r"HKCU\Software\Microsoft\Internet Explorer\Main\FeatureControl\FEATURE_BROWSER_EMULATION"
        SESSION.reg_add(key, "Tivolan.exe", "REG_DWORD", "11000")
        SESSION.reg_add(key, "Other.exe", "REG_DWORD", "11000")
        self.assertEqual(self.second_start("/U"), 0)
        self.assertNotEqual(SESSION.wine(["reg", "query", key, "/v", "Tivolan.exe"]).returncode, 0)
        self.assertEqual(SESSION.wine(["reg", "query", key, "/v", "Other.exe"]).returncode, 0, "only its own value")
        SESSION.reg_delete_key(key)

    def test_two_silent_starts_leave_one_instance(self):
        self.start("/s")
        self.wait_tray()
        self.assertEqual(self.second_start("/s"), 0)
        self.assertEqual(len(self.tray_windows()), 1)

    def test_second_start_forwards_an_alarm(self):
        self.start("/s")
        self.wait_tray()
        self.assertEqual(self.second_start("/A", "/M", "7", "/T", "0", "0", "0", "/O", "Tea"), 0)
        box = self.wait_dialog()
        self.assertIn("Tea" + " " * 17, self.static_texts(box))
        SESSION.screenshot("alarm-box-e2e-en")
        self.drive_ok("click", box, 1)
        self.drive_ok("gone", DIALOG_CLASS, "Tivolan", 5000, "--visible")

    def test_alarms_due_on_the_same_tick_each_show_their_own_text(self):
        self.start("/s")
        tray = self.wait_tray()
        self.drive_ok("post", tray, SHOW_ALARM_MESSAGE, 0, 0)
        self.assertTrue(self.no_visible_dialog(2000), "a show-alarm message that no alarm posted shows nothing")
        # Both due at once, sent between two ticks: the next tick performs the two alarms.
        requests = [forwarded_request(0, 0, 7, text).hex() for text in ("Tea", "Call Ann")]
        self.assertEqual(self.drive_ok("send-copydata", tray, 0, 532, "--raw", *requests).lines, ["1", "1"])
        shown = self.until(lambda: len(boxes := self.visible_dialogs()) == 2 and boxes, timeout=20)
        self.assertTrue(shown, "two alarm boxes")
        texts = sorted(t.rstrip() for box in shown for t in self.static_texts(box) if t.strip())
        self.assertEqual(texts, ["Call Ann", "Tea"])
        for box in shown:
            self.drive_ok("click", box, 1)

    def test_forwarded_text_is_cut_to_259_units(self):
        self.start("/s")
        self.wait_tray()
        text = "".join(chr(ord("a") + i % 26) for i in range(300))
        self.assertEqual(self.second_start("/A", "/M", "7", "/O", text), 0)
        box = self.wait_dialog()
        self.assertIn(text[:259], self.static_texts(box))
        self.assertNotIn(text, self.static_texts(box))
        self.drive_ok("click", box, 1)

    def test_malformed_forwarded_requests_are_refused(self):
        self.start("/s")
        tray = self.wait_tray()
        alarm = forwarded_request(0, 0, 7, "Refused")
        for dw_data, length, payload in ((0, 531, alarm[:531]), (0, 533, alarm + b"\0"), (1, 532, alarm)):
            with self.subTest(dw_data=dw_data, length=length):
                self.assertEqual(
                    self.drive_ok("send-copydata", tray, dw_data, length, "--raw", payload.hex()).lines, ["0"])
        self.assertTrue(self.no_visible_dialog(3000), "a refused request schedules nothing")

    def test_stored_task_is_scheduled_at_start(self):
        # Every 2 hours, shut down (seconds, kind, action); far enough away never to come due here.
        SESSION.reg_add(r"HKCU\Software\Tivolan", "Task", "REG_BINARY", struct.pack("<iii", 7200, 0, 0).hex())
        self.start("/s")
        self.wait_tray()
        self.assertRegex(self.drive_ok("tray-tip").text, r"^Tivolan - \S.*\d.* Shut down$")

    def test_confirmation_countdown_and_cancel(self):
        program = self.start("/s")  # Confirm is on for a fresh user
        tray = self.wait_tray()
        self.assertEqual(self.second_start("/A", "/M", "0"), 0)
        # The countdown is read by the same driver call that finds the dialog, as it moves on each second.
        dialog, countdown = self.drive_ok(
            "wait-window", DIALOG_CLASS, "Tivolan", 15000, "--visible", "--text", 1031).lines
        self.assertRegex(countdown, r"^The system will shut down in (60|59) seconds\.$")
        self.assertEqual(self.drive_ok("text", dialog, 1030).lines, ["Are you sure you want to shut down Windows now?"])
        SESSION.screenshot("countdown-e2e-en")
        # While the countdown is open a forwarded request is taken (1) and dropped: an alarm due at once
        # would otherwise open its box at the next tick.
        alarm = forwarded_request(0, 0, 7, "Dropped")
        self.assertEqual(self.drive_ok("send-copydata", tray, 0, 532, "--raw", alarm.hex()).lines, ["1"])
        self.drive_ok("click", dialog, 2)
        self.drive_ok("gone", DIALOG_CLASS, "Tivolan", 5000, "--visible")
        self.assertTrue(self.no_visible_dialog(2500), "the request sent during the countdown was dropped")
        self.assertIsNone(program.poll(), "Cancel must perform nothing; Tivolan keeps running")
        self.assertEqual(self.drive_ok("wait-window", TRAY_CLASS, TRAY_TITLE, 0).text, tray)


    def test_countdown_from_the_tray_comes_in_front_of_another_program(self):
        program = self.start("/s")
        tray = self.wait_tray()
        SESSION.launch("notepad.exe")
        notepad = self.drive_ok("wait-window", "Notepad", "-", 15000, "--visible").text
        self.addCleanup(SESSION.drive, "post", notepad, 0x10, 0, 0)  # WM_CLOSE
        self.drive_ok("focus", notepad)
        self.drive_ok("command", tray, COMMAND_SHUT_DOWN)
        dialog = self.wait_dialog()
        ex_style = int(self.drive_ok("rect", dialog).text.split()[4], 16)
        self.assertTrue(ex_style & WS_EX_APPWINDOW, f"a taskbar button of its own: 0x{ex_style:x}")
        self.assertTrue(ex_style & WS_EX_TOPMOST, f"in front of the other program: 0x{ex_style:x}")
        self.assertFalse(int(self.drive_ok("rect", notepad).text.split()[4], 16) & WS_EX_TOPMOST)
        SESSION.screenshot("countdown-over-another-program-en")
        self.drive_ok("click", dialog, 2)
        self.drive_ok("gone", DIALOG_CLASS, "Tivolan", 5000, "--visible")
        self.assertIsNone(program.poll(), "Cancel performs nothing")


class TivolanScreenshotTest(TivolanCase):
    """Tivolan's windows in every language, as pictures."""

    def shown_toast_rect(self):
        """The rectangle of the toast on show. A notice may be replaced a tick after it appears (the
        "at" notice of a countdown of an hour by the hour's warning), each in a window of its own."""
        for _ in range(3):
            toast = self.drive_ok("wait-window", TOAST_CLASS, "-", 10000, "--visible").text
            rect = SESSION.drive("rect", toast)
            if rect.code == 0:
                return rect.text.split()
        self.fail("no toast stayed on show long enough to be measured")

    def test_screenshots_in_every_language(self):
        for lang in LOCALES:
            with self.subTest(lang=lang):
                self.fresh_settings(NO_SERVER)
                program = self.start(lang=lang)
                self.wait_tray()
                main = self.wait_dialog()
                time.sleep(1)
                SESSION.screenshot(f"main-window-{lang}", main)
                self.drive_ok("command", main, 2)  # Escape hides it
                # Hidden first: the change of the active window would dismiss a menu opened before.
                self.drive_ok("gone", DIALOG_CLASS, "Tivolan", 5000, "--visible")
                self.drive_ok("right-click-tray")
                self.drive_ok("wait-window", MENU_CLASS, "-", 10000, "--visible")
                time.sleep(0.5)
                SESSION.screenshot(f"tray-menu-{lang}")
                self.drive_ok("close-menu")
                self.drive_ok("gone", MENU_CLASS, "-", 5000, "--visible")
                # A countdown of one hour: the "at" notice appears as a toast at the bottom right.
                self.assertEqual(self.second_start("/A", "/M", "0", "/T", "0", "1", "0", lang=lang), 0)
                left, top, right, bottom, _ = self.shown_toast_rect()
                self.assertEqual((int(right) - int(left), int(right)), (TOAST_WIDTH, 1280))
                self.assertLessEqual(int(bottom), 800)
                time.sleep(2)  # Wine paints a layered window a moment after showing it
                SESSION.screenshot(f"toast-{lang}")
                self.assertEqual(self.second_start("/A", "/M", "7", "/O", "Tea", lang=lang), 0)
                box = self.wait_dialog()
                time.sleep(0.5)
                SESSION.screenshot(f"alarm-box-{lang}")
                self.drive_ok("click", box, 1)
                self.assertEqual(self.second_start("/A", "/M", "0", lang=lang), 0)
                dialog = self.wait_dialog()
                time.sleep(0.5)
                SESSION.screenshot(f"countdown-{lang}")
                self.drive_ok("click", dialog, 2)
                # The exit command waits for the countdown's own loop to end.
                self.drive_ok("gone", DIALOG_CLASS, "Tivolan", 10000, "--visible")
                self.end_program(program)
                self.assertEqual(program.returncode, 0)


# The main window's pages and their controls (scheduler/res/resource.h).
HOME_ACTION_LIST = 1000
HOME_AFTER, HOME_AT = 1015, 1016
HOME_AFTER_HOURS, HOME_AFTER_MINUTES, HOME_AT_HOUR, HOME_AT_MINUTE, HOME_AMPM = 1013, 1014, 1017, 1018, 1010
HOME_START, HOME_REPEAT, HOME_PIN, HOME_DESKTOP_SHORTCUT = 1, 1019, 1012, 1011
SCHEDULE_LIST, SCHEDULE_DELETE = 1020, 1021
OPTIONS_RUN_AT_LOG_ON = 1022
COMMAND_OPEN = 32775
LOCK_WINDOWS = 6
ALARM = 7
COUNTDOWN_TEXT = 1031
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
SHELL_FOLDERS_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"
# The prefix's own desktop folder: Wine links the user's desktop to the host's home folder, where the
# shortcuts these tests make must never land.
E2E_DESKTOP = r"C:\e2e-desktop"


def reg_value(key, name):
    return SESSION.reg_value(key, name)


def host_path(windows_path):
    return SESSION.host_path(windows_path)


def minutes_of_day(text):
    """A time of day as GetTimeFormat writes it without seconds ("10:30 PM" or "22:30"), in minutes."""
    match = re.fullmatch(r"(\d{1,2}):(\d{2})(?:\s*([AaPp])\.?[Mm]\.?)?", text.strip())
    if not match:
        raise AssertionError(f"{text!r} is not a time of day")
    hour, minute, half = int(match.group(1)), int(match.group(2)), match.group(3)
    if half:
        hour = hour % 12 + (12 if half.upper() == "P" else 0)
    return hour * 60 + minute


class MainWindowCase(TivolanCase):
    """The main window's pages and how a test works them."""

    @classmethod
    def setUpClass(cls):
        if not (SESSION.bin / "Tivolan.exe").exists():
            raise AssertionError(TIVOLAN_MISSING)
        (SESSION.prefix / "drive_c" / "e2e-desktop").mkdir(exist_ok=True)
        SESSION.reg_add(SHELL_FOLDERS_KEY, "Desktop", "REG_EXPAND_SZ", E2E_DESKTOP)
        desktop = SESSION.drive("desktop-folder")
        if desktop.lines != [E2E_DESKTOP]:
            raise AssertionError(f"the prefix's desktop is {desktop.lines}, not {E2E_DESKTOP}: no shortcut made")
        cls.desktop = host_path(E2E_DESKTOP)

    def setUp(self):
        super().setUp()
        SESSION.wine(["reg", "delete", RUN_KEY, "/v", "Tivolan", "/f"])
        self.addCleanup(SESSION.wine, ["reg", "delete", RUN_KEY, "/v", "Tivolan", "/f"])

    # --- helpers ---

    def open_main(self, *args, lang=None):
        """Tivolan started with its main window shown; returns the program and the window."""
        program = self.start(*args, lang=lang)
        self.wait_tray()
        main = self.wait_dialog()
        self.pages = {
            name: self.drive_ok("find", main, control).lines[0].split("\t")[1]
            for name, control in (("home", HOME_ACTION_LIST), ("schedule", SCHEDULE_LIST), ("options", OPTIONS_RUN_AT_LOG_ON))
        }
        return program, main

    def active_page(self, main):
        """The selected tab and the one page window shown, or None while they disagree."""
        lines = self.drive_ok("tab", main).lines
        shown = {handle: name for name, handle in self.pages.items()}
        if len(lines) != 2 or lines[1] not in shown:
            return None
        return int(lines[0]), shown[lines[1]]

    def show_page(self, main, index, name):
        self.drive_ok("click-tab", main, index)
        self.assertEqual(self.until(lambda: self.active_page(main) == (index, name)), True, f"page {name} shown")

    def leave_box(self, page, box, text):
        """Types text into an editable box and moves the focus on to the action list; returns what the
        box shows afterwards."""
        return self.drive_ok("enter", page, box, text, HOME_ACTION_LIST).text

    def choose(self, home, kind, hours, minutes, ampm=None, action=None):
        """The time choice (and the action) set on the Home page through its controls."""
        if action is not None:
            self.drive_ok("select", home, HOME_ACTION_LIST, "--data", action)
        self.drive_ok("click", home, HOME_AFTER if kind == 0 else HOME_AT)
        first = self.drive_ok("find", home, HOME_AFTER_HOURS if kind == 0 else HOME_AT_HOUR).lines[0].split("\t")[0]
        self.assertTrue(self.until(lambda: SESSION.drive("enabled", first).lines == ["1"]), "the boxes of that kind take input")
        boxes = (HOME_AFTER_HOURS, HOME_AFTER_MINUTES) if kind == 0 else (HOME_AT_HOUR, HOME_AT_MINUTE)
        for box, value in zip(boxes, (hours, minutes)):
            self.assertEqual(self.leave_box(home, box, str(value)), str(value))
        if ampm is not None:
            self.drive_ok("select", home, HOME_AMPM, ampm)

    def message_box(self, timeout_ms=10000):
        """The program's message box (caption "Tivolan", text in static 65535) and its text lines."""
        box = self.drive_ok("wait-window", DIALOG_CLASS, "Tivolan", timeout_ms, "--visible", "--control", MESSAGE_TEXT).text
        return box, self.drive_ok("text", box, MESSAGE_TEXT).lines

    def dismiss(self, box, button):
        self.drive_ok("click", box, button)
        self.assertTrue(self.until(lambda: SESSION.drive("visible", box).lines != ["1"]), "the message box closed")

    def rows(self, schedule):
        return [line.split("\t") for line in self.drive_ok("rows", schedule, SCHEDULE_LIST).lines]

    def dword(self, name):
        value = reg_value(TIVOLAN_KEY, name)
        return int(value[1], 16) if value and value[0] == "REG_DWORD" else None


class MainWindowPagesTest(MainWindowCase):
    """The Home, Schedule and Options pages worked as a user works them: boxes typed into and left,
    buttons, tabs and keys, with what reaches the registry, the schedule list and the desktop."""

    def test_boxes_clamp_when_left_a_page_switch_stores_them_and_run_at_log_on_acts_at_once(self):
        _, main = self.open_main()
        home = self.pages["home"]
        # Typed text is only read when the box loses the focus.
        self.drive_ok("set-text", home, HOME_AFTER_MINUTES, "75")
        self.drive_ok("focus", home, HOME_AFTER_MINUTES)
        self.assertEqual(self.drive_ok("focused", main).text.split("\t")[1:], ["1001", "Edit"], "the box's own edit")
        self.assertEqual(self.drive_ok("text", home, HOME_AFTER_MINUTES).text, "75")
        for box, typed, shown in ((HOME_AFTER_MINUTES, "75", "59"), (HOME_AFTER_HOURS, "abc", "0")):
            with self.subTest(box=box, typed=typed):
                self.assertEqual(self.leave_box(home, box, typed), shown)
        # The clock boxes take input once "at" is chosen.
        self.drive_ok("click", home, HOME_AT)
        self.assertTrue(self.until(lambda: self.drive_ok("checked", home, HOME_AT).lines == ["1"]))
        self.assertEqual(self.leave_box(home, HOME_AT_HOUR, "0"), "1")
        self.assertEqual(self.leave_box(home, HOME_AT_MINUTE, "99"), "59")
        self.assertNotEqual(self.dword("Min1"), 59, "nothing is stored before a switch of page")
        # A click on the Options tab writes what the Home page shows, although nothing was started.
        self.show_page(main, 2, "options")
        self.assertEqual({name: self.dword(name) for name in ("Type", "Hour1", "Min1", "Hour2", "Min2")},
                         {"Type": 1, "Hour1": 0, "Min1": 59, "Hour2": 1, "Min2": 59})
        # Ctrl+Tab from the last page wraps to Home, Ctrl+Shift+Tab from Home back to Options.
        self.drive_ok("keys", main, "ctrl+tab")
        self.assertEqual(self.until(lambda: self.active_page(main)), (0, "home"))
        self.drive_ok("keys", main, "ctrl+shift+tab")
        self.assertEqual(self.until(lambda: self.active_page(main) == (2, "options")), True)
        # The Run entry changes with the box itself, with no switch of page after it.
        options = self.pages["options"]
        self.drive_ok("click", options, OPTIONS_RUN_AT_LOG_ON)
        entry = self.until(lambda: reg_value(RUN_KEY, "Tivolan"))
        self.assertIsNotNone(entry, "the Run entry is written without a switch of page")
        self.assertEqual(entry[0], "REG_SZ")
        self.assertRegex(entry[1], r'^"[A-Za-z]:\\.*\\Tivolan\.exe" /s$')
        self.assertEqual(self.drive_ok("checked", options, OPTIONS_RUN_AT_LOG_ON).lines, ["1"])
        self.drive_ok("click", options, OPTIONS_RUN_AT_LOG_ON)
        self.assertTrue(self.until(lambda: reg_value(RUN_KEY, "Tivolan") is None), "unchecking deletes it")

    def test_repeat_without_an_interval_is_refused_and_start_lists_a_one_time_countdown(self):
        _, main = self.open_main()
        home = self.pages["home"]
        self.choose(home, 0, 0, 0)
        self.drive_ok("click", home, HOME_REPEAT)
        box, text = self.message_box()
        self.assertEqual(text, ["The time interval can not be repeated.", "Please try again."])
        self.dismiss(box, 1)
        self.assertEqual(self.drive_ok("visible", main).lines, ["1"])
        self.assertIsNone(reg_value(TIVOLAN_KEY, "Task"), "nothing stored")
        self.show_page(main, 1, "schedule")
        self.assertEqual(self.rows(self.pages["schedule"]), [], "nothing scheduled")
        self.show_page(main, 0, "home")

        self.choose(home, 0, 1, 30, action=LOCK_WINDOWS)
        due = time.localtime(time.time() + 90 * 60)
        self.drive_ok("click", home, HOME_START)
        self.drive_ok("gone", DIALOG_CLASS, "Tivolan", 10000, "--visible")
        self.drive_ok("command", self.wait_tray(), COMMAND_OPEN)
        self.assertEqual(self.wait_dialog(), main)
        self.assertEqual(self.active_page(main), (0, "home"), "it comes back on the page it left")
        self.show_page(main, 1, "schedule")
        rows = self.rows(self.pages["schedule"])
        self.assertEqual([row[1:] for row in rows], [["Lock Windows", "None"]])
        drift = (minutes_of_day(rows[0][0]) - (due.tm_hour * 60 + due.tm_min)) % 1440
        self.assertIn(drift, (0, 1, 1439), f"due at {rows[0][0]}, 90 minutes from now")
        self.assertIsNone(reg_value(TIVOLAN_KEY, "Task"), "a one-time countdown is no stored task")
        self.assertEqual(self.dword("Mode"), LOCK_WINDOWS)

    def test_a_countdown_over_a_dialog_of_the_main_window_leaves_the_window_to_that_dialog(self):
        _, main = self.open_main()
        self.drive_ok("select", self.pages["home"], HOME_ACTION_LIST, "--data", ALARM)
        self.drive_ok("click", self.pages["home"], HOME_START)
        ask = self.until(lambda: [d for d in self.visible_dialogs() if d != main])
        self.assertEqual(len(ask), 1, "the alarm text is asked")
        self.assertEqual(SESSION.drive("enabled", main).lines, ["0"])
        # A shut-down forwarded while the question is up: its countdown, cancelled.
        self.assertEqual(self.second_start("/A", "/M", "0"), 0)
        countdown = self.drive_ok("wait-window", DIALOG_CLASS, "Tivolan", 15000, "--visible", "--control",
                                  COUNTDOWN_TEXT).text
        self.drive_ok("click", countdown, 2)
        self.assertTrue(self.until(lambda: SESSION.drive("visible", countdown).lines != ["1"]), "cancelled")
        self.assertEqual(SESSION.drive("enabled", main).lines, ["0"], "still under the alarm question")
        self.drive_ok("click", ask[0], 2)
        self.assertTrue(self.until(lambda: SESSION.drive("enabled", main).lines == ["1"]), "the question's own end")

    def test_daily_task_survives_a_restart_and_goes_with_its_row(self):
        # 10:30 PM, or 10:30 AM when the evening one could come due while the test runs.
        now = time.localtime()
        ampm = 0 if 21 * 60 + 30 <= now.tm_hour * 60 + now.tm_min <= 23 * 60 else 1
        _, main = self.open_main()
        home = self.pages["home"]
        self.choose(home, 1, 10, 30, ampm=ampm, action=LOCK_WINDOWS)
        self.assertEqual(self.drive_ok("combo", home, HOME_AMPM).lines[0].split("\t")[0], str(ampm))
        self.assertEqual(self.drive_ok("combo", home, HOME_ACTION_LIST).lines[0].split("\t")[1], str(LOCK_WINDOWS))
        self.drive_ok("click", home, HOME_REPEAT)
        box, text = self.message_box()
        self.assertEqual(text, ["Schedule a repeative task with current settings.",
                                "Scheduled Tasks can be found in the Schedule tab."])
        self.dismiss(box, 1)
        seconds = (10 + 12 * ampm) * 3600 + 30 * 60
        stored = lambda: reg_value(TIVOLAN_KEY, "Task")
        self.assertEqual(self.until(stored), ("REG_BINARY", struct.pack("<iii", seconds, 1, LOCK_WINDOWS).hex().upper()))
        self.assertEqual(self.drive_ok("visible", main).lines, ["1"], "the window stays shown")
        self.assertEqual(self.second_start("/X"), 0)
        self.drive_ok("gone", TRAY_CLASS, TRAY_TITLE, 15000)
        _, main = self.open_main()
        self.show_page(main, 1, "schedule")
        schedule = self.pages["schedule"]
        rows = self.rows(schedule)
        self.assertEqual(len(rows), 1, rows)
        shown, name, repeat = rows[0]
        self.assertEqual((name, repeat), ("Lock Windows", f"Daily at {shown}"))
        self.assertEqual(minutes_of_day(shown), seconds // 60)
        self.drive_ok("select-row", schedule, SCHEDULE_LIST, 0)
        self.drive_ok("click", schedule, SCHEDULE_DELETE)
        self.assertEqual(self.until(lambda: self.rows(schedule) == []), True)
        self.assertTrue(self.until(lambda: stored() is None), "the stored task goes with its row")
        self.assertIsNone(reg_value(TIVOLAN_KEY, "TaskParam0"))

    def test_desktop_shortcut_is_made_and_replaced_and_pinning_leaves_no_file(self):
        link = self.desktop / "Lock Windows.lnk"
        link.unlink(missing_ok=True)
        self.addCleanup(link.unlink, missing_ok=True)
        _, main = self.open_main()
        home = self.pages["home"]
        for hours, minutes in ((2, 15), (1, 0)):
            with self.subTest(hours=hours, minutes=minutes):
                self.choose(home, 0, hours, minutes, action=LOCK_WINDOWS)
                self.drive_ok("click", home, HOME_DESKTOP_SHORTCUT)
                expected = f"/A /M {LOCK_WINDOWS} /T 0 {hours} {minutes}"
                read = lambda: SESSION.drive("read-link", E2E_DESKTOP + r"\Lock Windows.lnk")
                done = self.until(lambda: (lambda r: r if r.code == 0 and r.lines[1:2] == [expected] else None)(read()))
                self.assertIsNotNone(done, f"a shortcut with the arguments {expected!r}: {read().lines}")
                target, arguments, icon, index = done.lines
                self.assertRegex(target, r"(?i)^[a-z]:\\.*\\Tivolan\.exe$")
                self.assertEqual(host_path(target).resolve(), self.exe.resolve())
                self.assertEqual((icon, index), (target, str(LOCK_WINDOWS + 1)))
                self.assertEqual(sorted(p.name for p in self.desktop.glob("*.lnk")), ["Lock Windows.lnk"])
        temp = host_path(self.drive_ok("temp-folder").text)
        links_before = set(temp.glob("*.lnk"))
        self.drive_ok("click", home, HOME_PIN)
        # The command ends once the verb was tried; the main window answering again tells when.
        time.sleep(1)
        self.drive_ok("text", main)
        self.assertEqual(set(temp.glob("*.lnk")) - links_before, set(), "pinning leaves nothing in the temporary folder")


class MainWindowScreenshotTest(MainWindowCase):
    """The three pages in every language, as pictures."""

    def test_page_screenshots_in_every_language(self):
        expected = {
            "en": (["Time", "Task", "Repeat"], ["Lock Windows", "Every 1 hour 30 mins"]),
            "ko": (["시간", "작업", "반복"], ["Windows 잠금", "1시간 30분마다"]),
            "el": (["Ώρα", "Εργασία", "Επανάληψη"], ["Κλείδωμα Windows", "Κάθε 1 ώρα 30 λεπτά"]),
        }
        for lang in LOCALES:
            with self.subTest(lang=lang):
                self.fresh_settings(NO_SERVER)
                # Every 90 minutes, lock: one row in the list, never due while the test runs.
                SESSION.reg_add(TIVOLAN_KEY, "Task", "REG_BINARY", struct.pack("<iii", 5400, 0, LOCK_WINDOWS).hex())
                program, main = self.open_main(lang=lang)
                try:
                    time.sleep(1)
                    SESSION.screenshot(f"main-home-{lang}", main)
                    self.show_page(main, 1, "schedule")
                    schedule = self.pages["schedule"]
                    columns = [line.split("\t") for line in self.drive_ok("columns", schedule, SCHEDULE_LIST).lines]
                    headers, row = expected[lang]
                    self.assertEqual(columns, [[headers[0], "80"], [headers[1], "150"], [headers[2], "150"]])
                    rows = self.rows(schedule)
                    self.assertEqual([r[1:] for r in rows], [row])
                    time.sleep(0.5)
                    SESSION.screenshot(f"main-schedule-{lang}", main)
                    self.show_page(main, 2, "options")
                    time.sleep(0.5)
                    SESSION.screenshot(f"main-options-{lang}", main)
                finally:
                    # A failed language must not leave its instance for the next start to forward to.
                    self.end_program(program)
                self.assertEqual(program.returncode, 0)


def version_document(current, mode="", url="https://tivolan.example/download", restricted="", display="1.1"):
    return (f'<?xml version="1.0" encoding="utf-8"?><version display="{display}" current="{current}" '
            f'url="{url}" restricted="{restricted}" mode="{mode}"/>')


QUERY = f"/tivolan/version.php?version={PRODUCT_VERSION}&lang=en&syslang=en"


class UpdateCheckCase(TivolanCase):
    """The update check against the loopback endpoint, through the registry's server overrides."""

    @classmethod
    def setUpClass(cls):
        cls.server = LoopbackServer(SESSION.work)

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def setUp(self):
        super().setUp()
        self.server.reset()
        self.fresh_settings(self.server.url)

    def update_written(self):
        return SESSION.wine(["reg", "query", TIVOLAN_KEY, "/v", "Update"]).returncode == 0

    def no_toast(self, timeout_ms=3000):
        return SESSION.drive("wait-window", TOAST_CLASS, "-", timeout_ms, "--visible").code == 1


class UpdateCheckTest(UpdateCheckCase):
    """The requests of the check, and a newer version's toast."""

    def test_background_check_asks_the_primary_and_then_the_fallback(self):
        self.server.answer("/primary" + QUERY, status=500)
        self.server.answer("/fallback" + QUERY, text=version_document(PRODUCT_VERSION))
        self.start("/s")
        self.wait_tray()
        self.assertEqual(self.server.wait_requests(2),
                         [f"GET /primary{QUERY} HTTP/1.1", f"GET /fallback{QUERY} HTTP/1.1"])
        self.assertEqual([dict(r["headers"]).get("User-Agent") for r in self.server.requests()],
                         ["Tivolan", "Tivolan"], "the program's name, string 128")
        # The fallback's answer was accepted: the day's check is recorded.
        deadline = time.time() + 10
        while not self.update_written() and time.time() < deadline:
            time.sleep(0.3)
        self.assertTrue(self.update_written())
        self.assertTrue(self.no_toast(), "the same version announces nothing")

    def test_the_query_names_the_interface_and_system_languages(self):
        for lang in ("ko", "el"):
            with self.subTest(lang=lang):
                self.server.reset()
                self.fresh_settings(self.server.url)
                program = self.start("/s", lang=lang)
                self.wait_tray()
                self.assertEqual(self.server.wait_requests(2)[:1], [
                    f"GET /primary/tivolan/version.php?version={PRODUCT_VERSION}&lang={lang}&syslang={lang} HTTP/1.1"])
                self.end_program(program)

    def test_newer_version_shows_the_update_toast_once_a_day(self):
        self.server.answer("/primary" + QUERY, text=version_document("9.0", display="Tivolan 9.0"))
        program = self.start("/s")
        tray = self.wait_tray()
        toast = self.drive_ok("wait-window", TOAST_CLASS, "-", 20000, "--visible").text
        self.assertTrue(self.update_written())
        time.sleep(2)
        SESSION.screenshot("toast-update-en")
        self.drive_ok("rect", toast)
        # The worker has posted its one result; the same message from another program is not the worker's.
        self.drive_ok("gone", TOAST_CLASS, "-", 30000, "--visible")
        self.drive_ok("post", tray, UPDATE_RESULT_MESSAGE, 3, 0)
        self.assertTrue(self.no_toast(3000), "no second update notice")
        self.assertEqual(len(self.server.request_lines()), 1)
        self.end_program(program)
        # A second start on the same day asks nothing.
        self.server.control("reset")
        self.start("/s")
        self.wait_tray()
        time.sleep(4)
        self.assertEqual(self.server.request_lines(), [])


class UpdateAnswerTest(UpdateCheckCase):
    """What the answer's advertisement, mode, restriction and address do."""

    def test_an_advertisement_shows_in_the_start_notice_without_a_web_engine(self):
        ad = ('<ad url="http://127.0.0.1:9/ad?v=$Version&amp;l=$Lang" width="400" height="150">'
              '<cookie url="http://127.0.0.1:9/" p3p=""/></ad>')
        self.server.answer("/primary" + QUERY, text=version_document(PRODUCT_VERSION).replace("/>", ">" + ad + "</version>"))
        self.start("/s")
        self.wait_tray()
        self.server.wait_requests(1)
        # The page never completes under Wine: the notice is laid out after its 10 seconds at the
        # answer's size (400 + 16 wide). The 10 seconds themselves are timed by the toast's own Wine
        # test; here the first browser control of a new prefix can take Wine a long while to make on a
        # busy machine, so the wait is generous.
        toast = self.drive_ok("wait-window", TOAST_CLASS, "-", 60000, "--visible").text
        left, _, right, _, _ = self.drive_ok("rect", toast).text.split()
        self.assertEqual(int(right) - int(left), 416)
        key = r"HKCU\Software\Microsoft\Internet Explorer\Main\FeatureControl\FEATURE_BROWSER_EMULATION"
        self.assertEqual(SESSION.wine(["reg", "query", key, "/v", "Tivolan.exe"]).returncode, 0,
                         "the browser emulation is set before the first page")
        time.sleep(2)
        SESSION.screenshot("toast-advertisement-en")

    def test_mode_skip_shows_nothing_in_the_background(self):
        self.server.answer("/primary" + QUERY, text=version_document("9.0", mode="Skip"))
        self.start("/s")
        self.wait_tray()
        self.assertEqual(len(self.server.wait_requests(1)), 1)
        self.assertTrue(self.no_toast(4000))

    def test_declining_a_restricted_version_ends_the_program(self):
        self.server.answer("/primary" + QUERY, text=version_document("9.0", mode="skip", restricted="2.0"))
        program = self.start("/s")
        tray = self.wait_tray()
        self.server.wait_requests(1)
        self.drive_ok("command", tray, COMMAND_CHECK_UPDATE)
        question = self.wait_dialog()
        # The message box's text is its static 0xFFFF, over several lines.
        self.assertEqual(self.drive_ok("text", question, 0xFFFF).lines[0], "A newer version is available.")
        self.drive_ok("click", question, 2)  # Cancel
        self.assertEnds(program, 0)

    def test_a_file_address_in_the_answer_opens_nothing(self):
        self.server.answer("/primary" + QUERY,
                           text=version_document("9.0", mode="skip", url="file:///C:/windows/notepad.exe"))
        program = self.start("/s")
        tray = self.wait_tray()
        self.server.wait_requests(1)
        self.drive_ok("command", tray, COMMAND_CHECK_UPDATE)
        question = self.wait_dialog()
        self.drive_ok("click", question, 1)  # OK would open the address
        self.assertEqual(SESSION.drive("wait-window", "Notepad", "-", 4000).code, 1, "no program started")
        self.assertIsNone(program.poll())


class UpdateStallTest(UpdateCheckCase):
    """Endpoints that take the request and never answer: about 30 s, in a shard of its own."""

    def test_a_silent_server_holds_up_neither_the_tray_nor_the_exit(self):
        self.server.answer("/primary" + QUERY, stall="forever")
        self.server.answer("/fallback" + QUERY, stall="forever")
        program = self.start("/s")
        tray = self.wait_tray()
        self.assertEqual(len(self.server.wait_requests(1)), 1, "the background check waits on the server")
        # A result message from outside while the worker waits does nothing, and holds nothing up.
        self.drive_ok("post", tray, UPDATE_RESULT_MESSAGE, 3, 0)
        # The user's check waits too, while the one-second tick goes on showing a forwarded alarm.
        self.drive_ok("command", tray, COMMAND_CHECK_UPDATE)
        self.assertEqual(len(self.server.wait_requests(2)), 2, "the user's check asks as well")
        self.assertEqual(self.second_start("/A", "/M", "7", "/T", "0", "0", "0", "/O", "Tea", timeout=10), 0)
        box = self.wait_dialog(timeout_ms=10000)
        self.assertIn("Tea" + " " * 17, self.static_texts(box))
        self.assertTrue(self.no_toast(500))
        asked_to_exit = time.monotonic()
        self.assertEqual(self.second_start("/X"), 0)
        self.assertEnds(program, 0, timeout=35)
        self.assertLess(time.monotonic() - asked_to_exit, 35)
        self.assertEqual(len(self.server.request_lines()), 2, "no fallback asked once the exit stopped them")


# ctest runs each shard in a sandbox of its own, side by side.
SHARDS = {
    "driver": ["StandInTest"],
    "tivolan": ["TivolanTest"],
    "screenshots": ["TivolanScreenshotTest"],
    "pages": ["MainWindowPagesTest"],
    "page-screenshots": ["MainWindowScreenshotTest"],
    "update": ["UpdateCheckTest"],
    "update-answer": ["UpdateAnswerTest"],
    "update-stall": ["UpdateStallTest"],
}

if __name__ == "__main__":
    run_tests(__doc__, SHARDS)
