"""tipsrad in a real terminal (a pseudo-terminal), typed at as a person would:
each answer is typed only once its question is on the screen, and Ctrl-D at a
question ends the program with the farewell.

Usage: terminal_test.py TIPSRAD PINNED_TIME_LIBRARY
"""
import io
import sys
import unittest

import pexpect

from tipsrad_model import (ASK_FULL, ASK_HALF, CLOSING, FAREWELL, Row, command, environment,
                           expected)

PROGRAM, SHIM = sys.argv[1], sys.argv[2]


def terminal():
    """The program in a terminal of its own; what it shows collects in
    .logfile_read."""
    program, *arguments = command(PROGRAM)
    shown = pexpect.spawn(program, arguments, env=environment(SHIM, 1), timeout=10)
    shown.logfile_read = io.BytesIO()
    return shown


def wait_for(shown, text):
    """Reads the screen until `text` shows (line ends as the terminal writes
    them, CR LF)."""
    shown.expect_exact(text.replace(b"\n", b"\r\n"))


def ended(shown):
    shown.expect(pexpect.EOF)
    shown.close()
    return shown.exitstatus


class TerminalTest(unittest.TestCase):
    def test_answers_typed_once_each_question_shows(self):
        shown = terminal()
        for question, answer in ((ASK_HALF, b"2\n"), (ASK_FULL, b"1\n"), (CLOSING, b"q\n")):
            wait_for(shown, question)
            shown.send(answer)
        wait_for(shown, FAREWELL)
        self.assertEqual(0, ended(shown))
        # The program's output, each answer echoed where it was typed.
        screen = [ASK_HALF, b"2\n", ASK_FULL, b"1\n", Row(2, 1), b"q\n", FAREWELL]
        self.assertEqual(expected(1, screen),
                         shown.logfile_read.getvalue().replace(b"\r\n", b"\n"))

    def test_ctrl_d_at_each_question_says_farewell(self):
        for answers in ([], [b"3\n"], [b"3\n", b"1\n"]):
            with self.subTest(answers=answers):
                shown = terminal()
                for question, answer in zip((ASK_HALF, ASK_FULL), answers):
                    wait_for(shown, question)
                    shown.send(answer)
                wait_for(shown, (ASK_HALF, ASK_FULL, CLOSING)[len(answers)])
                shown.sendeof()
                wait_for(shown, FAREWELL)
                self.assertEqual(0, ended(shown))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
