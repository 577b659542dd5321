"""Random dialogues through the built tipsrad, from fixed seeds:
well-formed, malformed and extreme counts, long lines, NUL bytes, CR LF, a
missing final newline, input ending at every question, and raw byte soup.

Each run must end with status 0 and nothing on standard error, and write only
the program's own texts in order, every row 13 valid, labelled marks. Where
the dialogue's counts are known, the transcript must equal the model's.

Usage: property_test.py TIPSRAD PINNED_TIME_LIBRARY
"""
import concurrent.futures
import os
import random
import sys

from tipsrad_model import (ASK_FULL, ASK_HALF, EMULATOR, FAREWELL, Row, expected, kinds_allowed,
                           parse_transcript, run_tipsrad, warnings_for)

PROGRAM, SHIM = sys.argv[1], sys.argv[2]
# Under an emulator the dialogues test the platform, and under the sanitizers
# the program's use of memory, not the dialogue's logic, which the native
# release build's run covers.
RUNS = 150 if EMULATOR or os.environ.get("TIPSRAD_SANITIZED") == "1" else 3000
I32_MIN, I32_MAX = -2**31, 2**31 - 1
BLANKS = b" \t\v\f"
EDGES = [I32_MIN, I32_MIN + 1, -2**31 + 100, -14, -1, 0, 13, 14, I32_MAX - 1, I32_MAX,
         2**31, 10**30, -(10**30)]


def count_token(rng):
    """A count line as a person or a careless script might type it, and the
    value the dialogue must take from it."""
    lead = bytes(rng.choice(BLANKS) for _ in range(rng.choice([0, 0, 1, 3])))
    trail = bytes(rng.choice(BLANKS) for _ in range(rng.choice([0, 0, 2])))
    if rng.random() < 0.25:  # not a number: it counts as 0
        junk = bytes(rng.randrange(256) for _ in range(rng.choice([0, 1, 5, 40, 3000])))
        junk = junk.replace(b"\n", b"").replace(b"\r", b"")
        first = rng.choice([b"a", b"Q", b"?", b"\x00", b"\xff", b".", b"-", b"+", b"- ",
                            b"+-", b"--", b"-x"])
        if first.endswith((b"-", b"+")) and junk[:1].isdigit():
            junk = b"x" + junk  # a sign must not meet a digit here
        return lead + first + junk + trail, 0
    value = rng.choice(EDGES) if rng.random() < 0.3 else rng.randint(-20, 30)
    digits = b"0" * rng.choice([0, 0, 1, 50]) + str(abs(value)).encode()
    sign = b"-" if value < 0 else rng.choice([b"", b"", b"+"])
    return lead + sign + digits + trail, max(I32_MIN, min(I32_MAX, value))


def answer_token(rng, quit_now):
    blank_lines = b"".join(bytes(rng.choice(BLANKS) for _ in range(rng.randrange(3))) + b"\n"
                           for _ in range(rng.choice([0, 0, 1, 2])))
    if quit_now:
        return blank_lines + rng.choice([b"q", b"q", b"quit", b" q", b"qqq \x00"])
    first = rng.choice([b"n", b"Q", b"x", b"1", b"0", b"-", b"\x00", b"\xe5", b"j"])
    return blank_lines + first + bytes(rng.choice(BLANKS) for _ in range(rng.randrange(2)))


def structured_case(rng):
    """A dialogue whose every answer is known, possibly cut short at any
    question: (input, expected transcript parts)."""
    newline = rng.choice([b"\n", b"\n", b"\r\n"])
    passes = rng.choice([1, 1, 2, 3])
    data, parts = b"", []
    cut = rng.randrange(3 * passes + 1) if rng.random() < 0.3 else 3 * passes
    answered = 0
    for index in range(passes):
        half_line, half = count_token(rng)
        full_line, full = count_token(rng)
        after_half, after_full = warnings_for(half, full)
        lines = [half_line, full_line, answer_token(rng, index == passes - 1)]
        stages = [[ASK_HALF], after_half + [ASK_FULL], after_full + [Row(half, full)]]
        for line, stage in zip(lines, stages):
            parts += stage
            if answered == cut:
                return data, parts + [FAREWELL]
            data += line + newline
            answered += 1
    if rng.random() < 0.3:
        data = data[:-len(newline)]  # no final line break
    return data, parts + [FAREWELL]


def soup_case(rng):
    """Raw bytes, biased toward what the dialogue reacts to."""
    alphabet = b"0123456789+-q \t\n\r\v\fnQx\x00\xff"
    length = rng.choice([0, 1, 8, 40, 200, 2000])
    return bytes(rng.choice(alphabet) if rng.random() < 0.9 else rng.randrange(256)
                 for _ in range(length))


def check(case):
    kind, seed, data, parts = case
    status, output, errors = run_tipsrad(PROGRAM, SHIM, seed, data)
    where = f"{kind} case, seed {seed}, input {data[:200]!r}"
    if status != 0 or errors:
        return f"{where}: status {status}, stderr {errors[:2000]!r}"
    try:
        passes = parse_transcript(output)
    except AssertionError as error:
        return f"{where}: {error}"
    if parts is not None:
        if output != expected(seed, parts):
            return f"{where}: transcript differs from the model"
        rows = [part.quotas for part in parts if isinstance(part, Row)]
        drawn = [marks for _, _, marks in passes if marks is not None]
        if not all(kinds_allowed(marks, quotas) for marks, quotas in zip(drawn, rows)):
            return f"{where}: a row breaks its quotas"
    return None


def main():
    rng = random.Random(20261208)
    cases = []
    for i in range(RUNS):
        seed = rng.randrange(2**32)
        if i % 3 == 2:
            cases.append(("soup", seed, soup_case(rng), None))
        else:
            cases.append(("structured", seed, *structured_case(rng)))
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        failures = [f for f in pool.map(check, cases) if f]
    for failure in failures[:10]:
        print(failure)
    print(f"property: {len(cases) - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
