"""End-to-end dialogues through the built tipsrad, with the clock pinned, or,
for a program no library can be preloaded into (PINNED_TIME_LIBRARY "none"),
running: its output must then be the model's for a second of the run.

Usage: dialogue_test.py TIPSRAD PINNED_TIME_LIBRARY [TEST...]
"""
import os
import select
import subprocess
import sys
import time
import unittest

from tipsrad_model import (ASK_FULL, ASK_HALF, CLOSING, FAREWELL, NEGATIVE_HALF,
                           NEGATIVE_SUM, TOO_MANY, command, environment, expected,
                           kinds_of, one_row, parse_transcript, run_tipsrad)

PROGRAM, SHIM = sys.argv[1], sys.argv[2]
PINNED = SHIM != "none"
I32_MIN, I32_MAX = -2**31, 2**31 - 1


def run(seed, data):
    """(status, output, errors, the seeds the program may have read)."""
    # The C library's time() reads the kernel's coarse clock, which can be a
    # few milliseconds behind Python's into each new second.
    before = int(time.time() - 0.1)
    status, output, errors = run_tipsrad(PROGRAM, SHIM, seed, data)
    return status, output, errors, [seed] if PINNED else range(before, int(time.time()) + 1)


CASES = [
    # name, input, expected transcript parts
    ("two half, one full", b"2\n1\nq\n", one_row(2, 1) + [FAREWELL]),
    ("no covers", b"0\n0\nq\n", one_row(0, 0) + [FAREWELL]),
    ("all half covers", b"13\n0\nq\n", one_row(13, 0) + [FAREWELL]),
    ("all full covers", b"0\n13\nq\n", one_row(0, 13) + [FAREWELL]),
    ("14 half covers", b"14\n0\nq\n", one_row(14, 0, [TOO_MANY], [TOO_MANY]) + [FAREWELL]),
    ("negative half", b"-1\n0\nq\n",
     one_row(-1, 0, [NEGATIVE_HALF], [NEGATIVE_SUM]) + [FAREWELL]),
    ("negative half, sum in range", b"-5\n15\nq\n",
     one_row(-5, 15, [NEGATIVE_HALF], []) + [FAREWELL]),
    ("sum too large", b"10\n5\nq\n", one_row(10, 5, [], [TOO_MANY]) + [FAREWELL]),
    ("negative full only", b"5\n-3\nq\n", one_row(5, -3) + [FAREWELL]),
    ("both on one line", b"3 2\nq\n", one_row(3, 2) + [FAREWELL]),
    ("CR LF lines", b"2\r\n1\r\nq\r\n", one_row(2, 1) + [FAREWELL]),
    ("signs, zeros, blanks", b" \t+010\n\n\v\f-0\nq\n", one_row(10, 0) + [FAREWELL]),
    ("quit word", b"1\n1\nquit\n", one_row(1, 1) + [FAREWELL]),
    ("Q, n and digits go on", b"1\n1\nQ\n2\n2\nn\n3\n0\n7\n0\n0\nq\n",
     one_row(1, 1) + one_row(2, 2) + one_row(3, 0) + one_row(0, 0) + [FAREWELL]),
    ("blank answer lines are skipped", b"1\n1\n   \n\n\t q\n", one_row(1, 1) + [FAREWELL]),
    ("rest of answer line feeds the next question", b"1\n1\nn 4\n0\nq\n",
     one_row(1, 1) + one_row(4, 0) + [FAREWELL]),
    # Input ends at a question: no further row, the farewell, status 0.
    ("empty input", b"", [ASK_HALF, FAREWELL]),
    ("ends at the second question", b"3\n", [ASK_HALF, ASK_FULL, FAREWELL]),
    ("ends inside a count", b"12", [ASK_HALF, ASK_FULL, FAREWELL]),
    ("ends at the quit answer", b"1\n1\n", one_row(1, 1) + [FAREWELL]),
    ("ends in blanks at the quit answer", b"1\n1\n \n\t", one_row(1, 1) + [FAREWELL]),
    ("ends after a full count without newline", b"1\n1", one_row(1, 1) + [FAREWELL]),
    ("ends after a sign", b"-", [ASK_HALF, ASK_FULL, FAREWELL]),
    # A count that cannot be read counts as 0, and the rest of its line goes.
    ("word for half covers", b"abc\n2\nq\n", one_row(0, 2) + [FAREWELL]),
    ("word for full covers", b"2\nxyz\nq\n", one_row(2, 0) + [FAREWELL]),
    ("rest of an unreadable line dropped", b"x 14\n3\nq\n", one_row(0, 3) + [FAREWELL]),
    ("sign then space", b"- 3\n1\nq\n", one_row(0, 1) + [FAREWELL]),
    ("two signs", b"+-5\n1\nq\n", one_row(0, 1) + [FAREWELL]),
    ("sign at line end", b"-\n1\nq\n", one_row(0, 1) + [FAREWELL]),
    ("NUL byte", b"\x00\n1\nq\n", one_row(0, 1) + [FAREWELL]),
    ("digits then a word", b"20x\n5\nq\n",
     one_row(20, 0, [TOO_MANY], [TOO_MANY]) + [ASK_HALF, ASK_FULL, FAREWELL]),
    ("unreadable, then input ends", b"abc", [ASK_HALF, ASK_FULL, FAREWELL]),
    ("unreadable full count at the end", b"2\nabc", one_row(2, 0) + [FAREWELL]),
    ("every count unreadable", b"?\n?\n?\n?\n?\nq\n",
     one_row(0, 0) + one_row(0, 0) + [FAREWELL]),
    # Beyond 32 bits: the nearest 32-bit value.
    ("counts beyond 32 bits", b"99999999999\n-99999999999\nq\n",
     one_row(I32_MAX, I32_MIN, [TOO_MANY], [NEGATIVE_SUM]) + [FAREWELL]),
    ("long digit run", b"1" + b"0" * 400 + b"\n0\nq\n",
     one_row(I32_MAX, 0, [TOO_MANY], [TOO_MANY]) + [FAREWELL]),
    ("20,000 digits", b"7" * 20000 + b"\n0\nq\n",
     one_row(I32_MAX, 0, [TOO_MANY], [TOO_MANY]) + [FAREWELL]),
    ("a million digits", b"2\n" + b"9" * 10**6 + b"\nq\n",
     one_row(2, I32_MAX, [], [TOO_MANY]) + [FAREWELL]),
    # Exact quota arithmetic where 32 bits would wrap.
    ("most negative counts", b"-2147483648\n-2147483548\nq\n",
     one_row(I32_MIN, I32_MIN + 100, [NEGATIVE_HALF], [NEGATIVE_SUM]) + [FAREWELL]),
    ("largest counts", b"2147483647\n2147483647\nq\n",
     one_row(I32_MAX, I32_MAX, [TOO_MANY], [TOO_MANY]) + [FAREWELL]),
    ("largest half, smallest full", b"2147483647\n-2147483648\nq\n",
     one_row(I32_MAX, I32_MIN, [TOO_MANY], [NEGATIVE_SUM]) + [FAREWELL]),
    ("smallest half, positive full", b"-2147483648\n20\nq\n",
     one_row(I32_MIN, 20, [NEGATIVE_HALF], [NEGATIVE_SUM]) + [FAREWELL]),
]


class DialogueTest(unittest.TestCase):
    def test_transcripts(self):
        for seed in (1, 1733668307):
            for name, data, parts in CASES:
                if seed != 1 and len(data) > 10000:
                    continue  # a long line tests the reading, the same for any seed
                with self.subTest(name, seed=seed):
                    status, output, errors, seeds = run(seed, data)
                    self.assertEqual((0, b""), (status, errors))
                    wanted = [expected(s, parts).decode() for s in seeds]
                    if output.decode() not in wanted:
                        self.assertEqual(wanted[0], output.decode())

    @unittest.skipUnless(PINNED, "the clock is not pinned")
    def test_seed_one_gives_the_known_row(self):
        _, output, _, _ = run(1, b"2\n1\nq\n")
        marks = [line.split(b":")[1].strip() for line in output.splitlines()
                 if line.startswith(b"Tipsmatch")]
        self.assertEqual(b"1x 1x2 1x 1 1 1 1 1 x 1 x 1 1".split(), marks)

    @unittest.skipUnless(PINNED, "the clock is not pinned")
    def test_seed_is_the_clocks_low_32_bits(self):
        self.assertEqual(run(1, b"2\n1\nq\n")[:3], run(2**32 + 1, b"2\n1\nq\n")[:3])

    def test_output_that_cannot_be_written_is_a_failure(self):
        # Endless answers must not keep it going. SIGPIPE is left ignored, as under
        # Python and Node, so that a pipe whose reader has gone fails a write.
        closed = ["sh", "-c", 'exec "$@" >&-', "-"]
        reader, gone = os.pipe()
        os.close(reader)
        for name, start, output in (("full disk", [], None), ("closed output", closed, None),
                                    ("pipe gone", [], gone)):
            with self.subTest(name), open("/dev/full", "wb") as full:
                if name == "closed output" and command(PROGRAM)[0] == "node":
                    self.skipTest("Node opens /dev/null on a closed standard output")
                endless = subprocess.Popen(["yes"], stdout=subprocess.PIPE)
                try:
                    done = subprocess.run(start + command(PROGRAM), stdin=endless.stdout,
                                          stdout=output or full, stderr=subprocess.PIPE,
                                          env=environment(SHIM, 1), timeout=20,
                                          restore_signals=False)
                finally:
                    endless.kill()
                    endless.communicate()
                self.assertEqual(1, done.returncode)
                self.assertEqual(b"tipsrad: cannot write to standard output\n", done.stderr)
        os.close(gone)

    def test_each_question_reaches_a_pipe_before_the_wait(self):
        process = subprocess.Popen(command(PROGRAM), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   env=environment(SHIM, 1))
        try:
            seen = b""
            for question, answer in ((ASK_HALF, b"2\n"), (ASK_FULL, b"1\n"),
                                     (CLOSING, b"q\n")):
                seen = self.read_until(process, seen, question)
                process.stdin.write(answer)
                process.stdin.flush()
            process.stdin.close()
            self.assertEqual(b"", self.read_until(process, seen, FAREWELL))
            self.assertEqual(0, process.wait(timeout=10))
        finally:
            process.kill()
            process.wait()

    def read_until(self, process, seen, text, timeout=10.0):
        deadline = time.monotonic() + timeout
        while text not in seen:
            left = deadline - time.monotonic()
            ready, _, _ = select.select([process.stdout], [], [], max(left, 0))
            self.assertTrue(ready, f"{text!r} not on the pipe; got {seen!r}")
            chunk = os.read(process.stdout.fileno(), 4096)
            self.assertTrue(chunk, f"output ended before {text!r}")
            seen += chunk
        return seen[seen.index(text) + len(text):]


class ConsoleTest(unittest.TestCase):
    """The console's own conventions, which need no pinned clock: on Windows
    line ends are written as CR LF and Ctrl-Z then Enter ends input."""
    WINDOWS = PROGRAM.endswith(".exe")
    NEWLINE = b"\r\n" if WINDOWS else b"\n"

    def session(self, data):
        done = subprocess.run(command(PROGRAM), input=data, capture_output=True, timeout=60)
        self.assertEqual(0, done.returncode, done.stderr)
        if self.WINDOWS:  # every line ends CR LF; elsewhere a CR fails the transcript
            self.assertEqual(done.stdout.count(b"\n"), done.stdout.count(b"\r\n"))
        return parse_transcript(done.stdout.replace(self.NEWLINE, b"\n"))

    def test_line_ends(self):
        [(_, _, marks)] = self.session(b"2\n1\nq\n")
        self.assertEqual([10, 2, 1], kinds_of(marks))

    @unittest.skipUnless(WINDOWS, "Ctrl-Z ends input only on Windows")
    def test_ctrl_z_then_enter_ends_input(self):
        self.assertEqual(1, len(self.session(b"2\r\n1\r\n\x1a\r\n3\r\n")))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[3:])
