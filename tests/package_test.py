"""tipsrad as a user installs it: `cmake --install` into a temporary prefix,
the installed program hardened and through a piped session, its manual page
rendered without warnings and stamped with the version, and a packager's
plain configure. The released packages are checked by tools/test-release.

Usage: package_test.py BUILD_DIRECTORY
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

from tipsrad_model import kinds_of, parse_transcript

# Tools this test alone uses; it skips without them.
NEEDS = {"groff": "groff-base", "man": "man-db", "hardening-check": "devscripts"}
BUILD = pathlib.Path(sys.argv[1])
SOURCE = pathlib.Path(__file__).resolve().parent.parent


def run(*command, **options):
    return subprocess.run(command, capture_output=True, check=True, **options)


class PackageTest(unittest.TestCase):
    def assert_session_works(self, program):
        done = subprocess.run([program], input=b"2\n1\nq\n", capture_output=True, timeout=20)
        self.assertEqual((0, b""), (done.returncode, done.stderr))
        [(_, _, marks)] = parse_transcript(done.stdout)
        self.assertEqual([10, 2, 1], kinds_of(marks))

    def test_installed_program_and_manual_page(self):
        with tempfile.TemporaryDirectory() as prefix:
            run("cmake", "--install", str(BUILD), "--prefix", prefix)
            root = pathlib.Path(prefix)
            installed = sorted(str(p.relative_to(root)) for p in root.rglob("*") if p.is_file())
            self.assertEqual(["bin/tipsrad", "share/man/man1/tipsrad.1"], installed)
            self.assert_session_works(root / "bin/tipsrad")
            # Debian's start files carry no CET note, so no binary here shows one.
            checked = subprocess.run(["hardening-check", "--nocfprotection",
                                      root / "bin/tipsrad"], capture_output=True)
            self.assertEqual(0, checked.returncode, checked.stdout.decode())

            page = root / "share/man/man1/tipsrad.1"
            rendered = run("groff", "-ww", "-man", "-Tutf8", str(page))
            self.assertEqual(b"", rendered.stderr)
            text = run("man", "-l", str(page), env={"MANWIDTH": "80", "PATH": "/usr/bin:/bin"})
            for heading in (b"NAME", b"SYNOPSIS", b"DESCRIPTION", b"EXIT STATUS", b"EXAMPLES",
                            b"REPORTING BUGS", b"AUTHORS", b"SEE ALSO"):
                self.assertIn(heading, text.stdout)
            self.assertLessEqual(max(map(len, text.stdout.splitlines())), 80)
            version = re.match(r"\S+ \(([^)]+)\)", (SOURCE / "debian/changelog").read_text())[1]
            footer = text.stdout.splitlines()[-1].decode()
            self.assertRegex(footer, rf"^tipsrad {version} +\w+ \d{{4}} ")

    def test_plain_configure_keeps_warnings_as_warnings(self):
        with tempfile.TemporaryDirectory() as build:
            run("cmake", "-S", str(SOURCE), "-B", build)
            commands = pathlib.Path(build, "compile_commands.json").read_text()
            self.assertIn("-Wall", commands)
            self.assertNotRegex(commands, r"-Werror(?![=\w-])")


if __name__ == "__main__":
    missing = [f"{tool} ({package})" for tool, package in NEEDS.items() if not shutil.which(tool)]
    if missing:
        print("skipped: not installed: " + ", ".join(missing))
        sys.exit(0)
    unittest.main(argv=sys.argv[:1])
