#!/usr/bin/env python3
"""Checks tools/installer/package_zip.cmake from the outside: the programs byte for byte, README.txt as the
README's user guide with Windows line ends, the same zip from the same files, and no zip from a README
without its user guide."""

import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest
import zipfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
SCRIPT = os.path.join(ROOT, "tools", "installer", "package_zip.cmake")
CMAKE = shutil.which("cmake")


class PackageZipTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="package-zip-")
        self.addCleanup(shutil.rmtree, self.work)
        self.programs = {}
        for name, body in (("Tivolan.exe", b"MZ first program\0\1\2"), ("QPChkUpd2.exe", b"MZ second\r\n\xff")):
            path = os.path.join(self.work, name)
            with open(path, "wb") as f:
                f.write(body)
            self.programs[name] = path

    def pack(self, readme_text, out_name="out.zip"):
        readme = os.path.join(self.work, "README.md")
        with open(readme, "w", encoding="utf-8", newline="\n") as f:
            f.write(readme_text)
        out = os.path.join(self.work, "dist", out_name)
        done = subprocess.run(
            [CMAKE, f"-DREADME={readme}", f"-DSTAGE={os.path.join(self.work, 'stage')}", f"-DOUT={out}",
             "-DPROGRAMS=" + ";".join(self.programs.values()), "-P", SCRIPT],
            capture_output=True, text=True)
        return done, out

    def test_programs_and_the_user_guide_go_in(self):
        guide = "TITLE\n\nΈνα κείμενο, 한국어 too.\nLast line."
        done, out = self.pack(f"# Doc\n\nbefore\n<!-- user-guide -->\n{guide}\n\n<!-- /user-guide -->\nafter\n")
        self.assertEqual(done.returncode, 0, done.stderr)
        with zipfile.ZipFile(out) as archive:
            self.assertEqual(sorted(archive.namelist()), ["QPChkUpd2.exe", "README.txt", "Tivolan.exe"])
            for name, path in self.programs.items():
                with open(path, "rb") as f:
                    self.assertEqual(archive.read(name), f.read(), name)
            text = archive.read("README.txt")
        self.assertEqual(text, (guide + "\n").replace("\n", "\r\n").encode("utf-8"))
        self.assertNotIn(b"\r\r", text)

    def test_the_same_files_give_the_same_zip(self):
        readme = "<!-- user-guide -->\nGuide\n<!-- /user-guide -->\n"
        first, first_out = self.pack(readme, "a.zip")
        # Other file times and a second later: no stamp of the staging may reach the zip.
        for path in self.programs.values():
            os.utime(path, (1e9, 1e9))
        time.sleep(1.1)
        second, second_out = self.pack(readme, "b.zip")
        self.assertEqual((first.returncode, second.returncode), (0, 0))
        with open(first_out, "rb") as a, open(second_out, "rb") as b:
            self.assertEqual(a.read(), b.read())

    def test_a_readme_without_its_user_guide_makes_no_zip(self):
        cases = {
            "no markers": "# Doc\n",
            "no end": "<!-- user-guide -->\nGuide\n",
            "end first": "<!-- /user-guide -->\nGuide\n<!-- user-guide -->\n",
        }
        for case, readme in cases.items():
            with self.subTest(case=case):
                done, out = self.pack(readme, re.sub(r"\W", "-", case) + ".zip")
                self.assertNotEqual(done.returncode, 0)
                self.assertFalse(os.path.exists(out))

    def test_the_project_readme_has_a_user_guide(self):
        with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as f:
            text = f.read()
        guide = re.search(r"<!-- user-guide -->\n(.*?)<!-- /user-guide -->", text, re.S)
        self.assertIsNotNone(guide)
        self.assertIn("Tivolan.exe /s", guide.group(1))


if __name__ == "__main__":
    if not CMAKE:
        raise SystemExit("cmake is not installed")
    unittest.main()
