"""An independent model of tipsrad's generator and mark draw, for the end-to-end
tests: it gives the marks a pinned seed must produce, and the exact texts."""

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
