"""An independent model of tipsrad's generator and mark draw, for the end-to-end
tests: it gives the marks a pinned seed must produce, the exact texts, and a
structural check of any transcript."""
import os
import shlex
import subprocess

ASK_HALF = b"Hur manga halv-garderingar vill du ha pa ditt ystem?\n"
ASK_FULL = b"Hur manga hel-garderingar vill du ha pa ditt ystem?\n"
TOO_MANY = b"Hmm...Det ar ju bara 13 matcher pa tipset!\n"
NEGATIVE_HALF = b"Hmm...Minustal gar inte!!!!\n"
NEGATIVE_SUM = b"Hmm....Minustal gar inte!!!\n"
CLOSING = (b"\nVill du avsluta? Tryck q och enter for att avsluta.\n"
           b"Slumpa fram en till rad? Tryck vilken knapp som helst foljd av enter!\n")
FAREWELL = b"quitting menu\n"
SEPARATOR = b"------------------\n"
LABELS = [b"Tipsmatch %d:  " % k for k in range(1, 10)] + \
         [b"Tipsmatch %d: " % k for k in range(10, 14)]
KINDS = {b"1": 0, b"x": 0, b"2": 0, b"1x": 1, b"x2": 1, b"12": 1, b"1x2": 2}

# Slot s (1 to 15): its kind (0 single, 1 half, 2 full cover) and its mark.
SLOTS = [(0, b"1")] * 3 + [(0, b"x")] + [(0, b"2")] * 2 + [(1, b"1x")] * 3 + \
        [(1, b"x2")] * 2 + [(1, b"12")] * 2 + [(2, b"1x2")] * 2

MASK = 0xFFFFFFFF


class Twister:
    """The 351-word twister, written straight from its recurrence."""

    def __init__(self, seed):
        self.mt, s = [], seed & MASK
        for _ in range(351):
            s = (s * 29943829 - 1) & MASK
            self.mt.append(s)
        self.index = 351

    def next_u32(self):
        if self.index >= 351:
            mt = self.mt
            for i in range(351):
                y = (mt[i] & 0xFFF80000) | (mt[(i + 1) % 351] & 0x0007FFFF)
                mt[i] = mt[(i + 175) % 351] ^ (y >> 1) ^ (0xE4BD75F5 if y & 1 else 0)
            self.index = 0
        y = self.mt[self.index]
        self.index += 1
        y ^= y >> 11
        y ^= (y << 7) & 0x655E5280
        y ^= (y << 15) & 0xFFD58000
        y ^= (y >> 17)
        return y & MASK

    def next_slot(self):
        return 1 + (15 * self.next_u32() >> 32)


def draw_row(twister, quotas):
    """The 13 marks of one row under exact (unbounded) quotas."""
    tally, marks = [0, 0, 0], []
    while len(marks) < 13:
        kind, mark = SLOTS[twister.next_slot() - 1]
        if tally[kind] < quotas[kind]:
            tally[kind] += 1
            marks.append(mark)
    return marks


def row_text(marks):
    text = b"\n"
    for k, mark in enumerate(marks, start=1):
        text += LABELS[k - 1] + mark + b"\n"
        if k in (3, 6, 9):
            text += SEPARATOR
    return text


class Row:
    """Stands in an expected transcript for the row drawn with these exact
    counts; the quotas are 13 - full - half, half, full."""

    def __init__(self, half, full):
        self.quotas = (13 - full - half, half, full)


def expected(seed, parts):
    """The transcript of byte strings and Rows, rows drawn from `seed` in turn."""
    twister, text = Twister(seed), b""
    for part in parts:
        text += row_text(draw_row(twister, part.quotas)) + CLOSING \
            if isinstance(part, Row) else part
    return text


def one_row(half, full, *warnings):
    """A pass answered with these counts: its questions, the warnings after
    each (a list per question) and the row."""
    after_half, after_full = warnings if warnings else ([], [])
    return [ASK_HALF, *after_half, ASK_FULL, *after_full, Row(half, full)]


def warnings_for(half, full):
    """The warnings after each question, judged on the exact counts."""
    after_half = [TOO_MANY] * (half > 13) + [NEGATIVE_HALF] * (half < 0)
    total = half + full
    return after_half, [TOO_MANY] * (total > 13) + [NEGATIVE_SUM] * (total < 0)


# Built for another platform, the program runs under this emulator (qemu-user
# or wine), given as a shell-quoted command prefix.
EMULATOR = shlex.split(os.environ.get("TIPSRAD_EMULATOR", ""))


def command(program):
    return EMULATOR + [program]


def environment(shim, seed):
    env = dict(os.environ, TIPSRAD_TEST_TIME=str(seed))
    if shim in ("none", "host"):  # nothing to preload: the clock runs, or the host pins it
        return env
    if EMULATOR:  # preloaded into the emulated program, not into qemu itself
        env["QEMU_SET_ENV"] = f"LD_PRELOAD={shim}"
    else:
        env["LD_PRELOAD"] = shim
    # A sanitized build links its runtime first; the shim must not upset it.
    env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0"
    return env


def run_tipsrad(program, shim, seed, data):
    """Runs tipsrad on `data` with the clock pinned to `seed`: (status, out, err)."""
    done = subprocess.run(command(program), input=data, capture_output=True,
                          env=environment(shim, seed), timeout=60)
    return done.returncode, done.stdout, done.stderr


def parse_transcript(output):
    """Checks that `output` is made of the program's own texts in the
    dialogue's order, each row 13 correctly labelled lines of valid marks.
    Returns one (after_half, after_full, marks) per pass, with None for what
    the pass did not reach; raises AssertionError otherwise."""
    passes, at = [], 0

    def take(text):
        nonlocal at
        if output.startswith(text, at):
            at += len(text)
            return True
        return False

    def warnings(*texts):
        return [text for text in texts if take(text)]

    def farewell():
        assert take(FAREWELL) and at == len(output), \
            f"expected the farewell at the end, at {at}: {output[at:at + 80]!r}"
        return passes

    while True:
        assert take(ASK_HALF), f"expected the half-cover question at {at}: {output[at:at + 80]!r}"
        after_half = warnings(TOO_MANY, NEGATIVE_HALF)
        if output.startswith(FAREWELL, at):
            passes.append((after_half, None, None))
            return farewell()
        assert take(ASK_FULL), f"expected the full-cover question at {at}"
        after_full = warnings(TOO_MANY, NEGATIVE_SUM)
        if output.startswith(FAREWELL, at):
            passes.append((after_half, after_full, None))
            return farewell()
        assert take(b"\n"), f"expected the blank line before a row at {at}"
        marks = []
        for k in range(1, 14):
            assert take(LABELS[k - 1]), f"expected match {k}'s label at {at}"
            end = output.index(b"\n", at)
            assert output[at:end] in KINDS, f"not a mark: {output[at:end]!r}"
            marks.append(output[at:end])
            at = end + 1
            assert k not in (3, 6, 9) or take(SEPARATOR), f"expected a separator at {at}"
        assert take(CLOSING), f"expected the closing questions at {at}"
        passes.append((after_half, after_full, marks))
        if output.startswith(FAREWELL, at):
            return farewell()


def kinds_of(marks):
    """Singles, half covers and full covers among `marks`."""
    counts = [0, 0, 0]
    for mark in marks:
        counts[KINDS[mark]] += 1
    return counts


def kinds_allowed(marks, quotas):
    """Whether a row holds what exact quotas allow: 13 marks, each kind
    within its quota, and exactly the quota where all three lie in 0 to 13."""
    counts = kinds_of(marks)
    if all(0 <= q <= 13 for q in quotas):
        return counts == list(quotas)
    return all(c <= max(q, 0) for c, q in zip(counts, quotas))
