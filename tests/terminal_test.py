"""tipsrad in a real terminal (a pseudo-terminal), typed at as a person would:
each answer is typed only once its question is on the screen, and Ctrl-D at a
question ends the program with the farewell.

Usage: terminal_test.py TIPSRAD PINNED_TIME_LIBRARY
"""
import os
import pty
import select
import subprocess
import sys
import time
import unittest

from tipsrad_model import (ASK_FULL, ASK_HALF, CLOSING, FAREWELL, Row, command, environment,
                           expected)

PROGRAM, SHIM = sys.argv[1], sys.argv[2]
CTRL_D = b"\x04"


class Terminal:
    def __init__(self):
        self.master, slave = pty.openpty()
        self.process = subprocess.Popen(command(PROGRAM), stdin=slave, stdout=slave, stderr=slave,
                                        env=environment(SHIM, 1), close_fds=True)
        os.close(slave)
        self.screen = b""

    def wait_for(self, text, timeout=10.0):
        """Reads the screen until `text` shows (line ends as the terminal
        writes them, CR LF)."""
        wanted = text.replace(b"\n", b"\r\n")
        deadline = time.monotonic() + timeout
        while wanted not in self.screen:
            ready, _, _ = select.select([self.master], [], [], max(deadline - time.monotonic(), 0))
            if not ready:
                raise AssertionError(f"{text!r} not on the screen: {self.screen!r}")
            try:
                chunk = os.read(self.master, 4096)
            except OSError:  # the program has gone and the terminal closed
                chunk = b""
            if not chunk:
                raise AssertionError(f"{text!r} never came: {self.screen!r}")
            self.screen += chunk

    def type(self, keys):
        os.write(self.master, keys)

    def close(self):
        status = self.process.wait(timeout=10)
        os.close(self.master)
        return status


class TerminalTest(unittest.TestCase):
    def test_answers_typed_once_each_question_shows(self):
        terminal = Terminal()
        for question, answer in ((ASK_HALF, b"2\n"), (ASK_FULL, b"1\n"), (CLOSING, b"q\n")):
            terminal.wait_for(question)
            terminal.type(answer)
        terminal.wait_for(FAREWELL)
        self.assertEqual(0, terminal.close())
        # The program's output, each answer echoed where it was typed.
        screen = [ASK_HALF, b"2\n", ASK_FULL, b"1\n", Row(2, 1), b"q\n", FAREWELL]
        self.assertEqual(expected(1, screen), terminal.screen.replace(b"\r\n", b"\n"))

    def test_ctrl_d_at_each_question_says_farewell(self):
        for answers in ([], [b"3\n"], [b"3\n", b"1\n"]):
            with self.subTest(answers=answers):
                terminal = Terminal()
                for question, answer in zip((ASK_HALF, ASK_FULL), answers):
                    terminal.wait_for(question)
                    terminal.type(answer)
                terminal.wait_for((ASK_HALF, ASK_FULL, CLOSING)[len(answers)])
                terminal.type(CTRL_D)
                terminal.wait_for(FAREWELL)
                self.assertEqual(0, terminal.close())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
