"""tipsrad as a user installs it: `cmake --install` into a temporary prefix,
the installed program through a piped session, its manual page rendered
without warnings, and the Debian package's file list and program.

Usage: package_test.py BUILD_DIRECTORY
"""
import pathlib
import subprocess
import sys
import tempfile
import unittest

from tipsrad_model import kinds_of, parse_transcript

BUILD = pathlib.Path(sys.argv[1])
PACKAGE_FILES = {
    "./usr/bin/tipsrad",
    "./usr/share/man/man1/tipsrad.1.gz",
    "./usr/share/doc/tipsrad/copyright",
    "./usr/share/doc/tipsrad/changelog.gz",
}


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

            page = root / "share/man/man1/tipsrad.1"
            rendered = run("groff", "-ww", "-man", "-Tutf8", str(page))
            self.assertEqual(b"", rendered.stderr)
            text = run("man", "-l", str(page), env={"MANWIDTH": "80", "PATH": "/usr/bin:/bin"})
            for heading in (b"NAME", b"SYNOPSIS", b"DESCRIPTION", b"EXIT STATUS", b"EXAMPLES"):
                self.assertIn(heading, text.stdout)

    def test_debian_package(self):
        with tempfile.TemporaryDirectory() as out:
            run("cpack", "--config", str(BUILD / "CPackConfig.cmake"), "-B", out)
            [deb] = pathlib.Path(out).glob("tipsrad_*.deb")
            listing = run("dpkg-deb", "-c", str(deb)).stdout.decode().splitlines()
            files = {line.split()[-1] for line in listing if line.startswith("-")}
            self.assertEqual(PACKAGE_FILES, files)
            fields = run("dpkg-deb", "-f", str(deb), "Package", "Section", "Depends").stdout
            self.assertIn(b"Package: tipsrad", fields)
            self.assertIn(b"libc6", fields)

            unpacked = pathlib.Path(out) / "root"
            run("dpkg-deb", "-x", str(deb), str(unpacked))
            self.assert_session_works(unpacked / "usr/bin/tipsrad")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
