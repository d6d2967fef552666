#!/usr/bin/env python3
"""Checks the test harness's own tools from the outside: tools/wine-sandbox (what a command inside sees,
what it may change, its exit code, what is left afterwards, the window modes in the prefix's registry),
the shard check of the end-to-end scripts and tools/lib/build-times.

    tests/tools/harness_test.py --build-dir build/windows [unittest arguments]

The sandbox cases need the windows preset built (its bin folder) and Wine.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import textwrap
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
SANDBOX = ROOT / "tools" / "wine-sandbox"
WINE_RUN = ROOT / "tools" / "wine-run"
BUILD = ROOT / "build" / "windows"


def sandbox(*command, mode=None):
    args = [str(SANDBOX), "--build-dir", str(BUILD), "--name", "harness"]
    if mode:
        args += ["--windows", mode]
    return subprocess.run(args + ["--"] + [str(c) for c in command], capture_output=True, text=True,
                          timeout=120)


class WineSandboxTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not (BUILD / "bin" / "tivolan_driver.exe").exists():
            raise unittest.SkipTest(f"{BUILD}/bin is not built")
        subprocess.run([str(SANDBOX), "--build-dir", str(BUILD), "--prepare"], check=True, timeout=600)

    def test_the_command_gets_its_own_prefix_display_and_programs_and_leaves_nothing(self):
        probe = textwrap.dedent("""\
            echo "$WINEPREFIX"; echo "$QP_WINE_BIN"; echo "$DISPLAY"; echo "$1"
            echo "$WINEDLLOVERRIDES"
            stat -c %i "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" "$WINEPREFIX/user.reg"
            touch "$QP_WINE_BIN/written-by-the-test"
            exit 7
        """)
        driver = BUILD / "bin" / "tivolan_driver.exe"
        done = sandbox("sh", "-c", probe, "probe", driver)
        self.assertEqual(done.returncode, 7, done.stderr)
        prefix, bin_copy, display, argument, overrides, system_inode, registry_inode = done.stdout.split()
        sandboxes = BUILD.resolve() / "sandboxes"
        self.assertEqual(Path(prefix).parent.parent, sandboxes)
        self.assertEqual(Path(bin_copy), Path(prefix).parent / "bin")
        self.assertRegex(display, r"^:\d+$")
        self.assertEqual(argument, str(Path(bin_copy) / "tivolan_driver.exe"), "a program of BUILD/bin names the copy")
        self.assertIn("winemenubuilder.exe=d", overrides)
        template = BUILD / "wine-template"
        self.assertEqual(int(system_inode), (template / "drive_c/windows/system32/kernel32.dll").stat().st_ino,
                         "system files are linked")
        self.assertNotEqual(int(registry_inode), (template / "user.reg").stat().st_ino, "the registry is a copy")
        self.assertFalse((BUILD / "bin" / "written-by-the-test").exists(), "BUILD/bin is untouched")
        self.assertFalse(Path(prefix).parent.exists(), "the sandbox is removed")

    def test_exit_codes_pass_through_and_a_signal_gives_128_plus_its_number(self):
        for script, code in (("exit 0", 0), ("exit 3", 3), ("kill -TERM $$", 128 + 15)):
            with self.subTest(script=script):
                self.assertEqual(sandbox("sh", "-c", script).returncode, code)

    def test_each_window_mode_is_in_the_prefix_registry(self):
        cases = {
            "managed": {("X11 Driver", "Managed"): None, ("Explorer", "Desktop"): None},
            "unmanaged": {("X11 Driver", "Managed"): "N", ("Explorer", "Desktop"): None},
            "desktop": {("X11 Driver", "Managed"): None, ("Explorer", "Desktop"): "Default",
                        ("Explorer\\Desktops", "Default"): "1280x1024"},
        }
        for mode, expected in cases.items():
            queries = " ; ".join(f"'{WINE_RUN}' reg query 'HKCU\\Software\\Wine\\{key}' /v '{name}'"
                                 for key, name in expected)
            done = sandbox("sh", "-c", queries, mode=mode)
            for (key, name), value in expected.items():
                with self.subTest(mode=mode, value=name):
                    rows = [line.split() for line in done.stdout.splitlines() if line.strip().startswith(name)]
                    self.assertEqual([row[-1] for row in rows if row[1] == "REG_SZ"], [value] if value else [])


class ShardCheckTest(unittest.TestCase):
    """run_tests(doc, shards) of tests/e2e/wine_session.py on a script of its own."""

    def run_script(self, shards, *args):
        script = textwrap.dedent(f"""\
            import sys, unittest
            sys.path.insert(0, {str(ROOT / "tests" / "e2e")!r})
            from wine_session import run_tests

            class FirstTest(unittest.TestCase):
                def test_a(self): pass

            class SecondTest(unittest.TestCase):
                def test_b(self): pass

            class HelperCase(unittest.TestCase):
                pass

            run_tests(__doc__, {shards!r})
        """)
        with tempfile.TemporaryDirectory() as folder:
            path = Path(folder) / "script.py"
            path.write_text(script)
            return subprocess.run([sys.executable, str(path), *args], capture_output=True, text=True, timeout=60)

    def test_shards_that_cover_each_class_once_are_listed(self):
        done = self.run_script({"one": ["FirstTest"], "two": ["SecondTest"]}, "--list-shards")
        self.assertEqual((done.returncode, done.stdout.split()), (0, ["one", "two"]), done.stderr)

    def test_a_shard_runs_only_its_classes(self):
        done = self.run_script({"one": ["FirstTest"], "two": ["SecondTest"]}, "--shard", "two")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("test_b", done.stderr)
        self.assertNotIn("test_a", done.stderr)

    def test_a_class_in_no_shard_in_two_or_unknown_is_refused(self):
        cases = [
            ({"one": ["FirstTest"]}, "SecondTest is in no shard"),
            ({"one": ["FirstTest", "SecondTest"], "two": ["SecondTest"]}, "SecondTest is in shard one and in shard two"),
            ({"one": ["FirstTest", "SecondTest", "HelperCase"]}, "HelperCase is no test class"),
            ({"one": ["FirstTest", "SecondTest", "ThirdTest"]}, "ThirdTest is no test class"),
        ]
        for shards, problem in cases:
            for args in (["--list-shards"], ["--shard", "one"]):
                with self.subTest(problem=problem, args=args):
                    done = self.run_script(shards, *args)
                    self.assertNotEqual(done.returncode, 0)
                    self.assertIn(problem, done.stderr)
                    self.assertNotIn("test_a", done.stderr, "nothing runs")


class BuildTimesTest(unittest.TestCase):
    def test_overlapping_jobs_count_once_and_only_the_new_lines_count(self):
        log = "# ninja log v5\n" + "".join(f"{start}\t{end}\t0\t{output}\tcmd{i}\n" for i, (start, end, output) in enumerate([
            (0, 9000, "old.obj"),            # before the run: not counted
            (0, 4000, "a.obj"),
            (1000, 5000, "b.obj"),           # overlaps a: 5 s of compiling in all
            (6000, 8000, "bin/x.exe"),
            (6000, 7000, "lib/y.a"),         # inside the link of x
            (8000, 9500, "generated/icon.ico"),
        ]))
        with tempfile.TemporaryDirectory() as folder:
            Path(folder, ".ninja_log").write_text(log)
            done = subprocess.run([str(ROOT / "tools" / "lib" / "build-times"), folder, "2"],
                                  capture_output=True, text=True, timeout=30)
        self.assertEqual(done.stdout.strip(), "compile 5 s, link 2 s, other 2 s (5 jobs)")


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build-dir", default=str(BUILD))
    options, rest = parser.parse_known_args()
    BUILD = Path(options.build_dir).resolve()
    unittest.main(argv=[sys.argv[0], "-v"] + rest)
