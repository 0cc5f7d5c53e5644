#!/usr/bin/python3
"""Writes res/hand.cur: the pointing hand over the maker links, 32 x 32, two
colours, hot spot at the tip of the index finger (10, 3).

Run from anywhere: it writes res/hand.cur, or the file named on the command
line; --show prints the picture. The picture is
drawn from simple shapes below, so it can be changed without a paint
program."""

import struct
import sys
from pathlib import Path

SIZE = 32
HOT_SPOT = (10, 3)


def hand_shape():
    """The hand's pixels as a set of (x, y), and the lines drawn inside it."""
    filled = set()

    def rect(x0, y0, x1, y1):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                filled.add((x, y))

    rect(9, 4, 12, 17)          # index finger, pointing up
    rect(10, 3, 11, 3)          # its rounded tip
    rect(13, 10, 16, 17)        # middle finger
    rect(17, 11, 20, 17)        # ring finger
    rect(21, 12, 23, 18)        # little finger
    rect(9, 17, 23, 26)         # palm
    for y, (x0, x1) in enumerate([(5, 7), (4, 8), (4, 8), (5, 8), (5, 8), (6, 8), (7, 8)], start=16):
        rect(x0, y, x1, y)      # thumb, slanting in towards the palm
    rect(10, 27, 22, 27)        # round the palm off towards the wrist
    for x, y in [(9, 26), (23, 26)]:
        filled.discard((x, y))
    rect(11, 28, 21, 30)        # cuff

    lines = set()
    for x, top in [(13, 10), (17, 11), (21, 12)]:
        for y in range(top, 17):  # the gaps between the fingers
            lines.add((x, y))
    for x in range(11, 22):       # the cuff's seam
        lines.add((x, 28))
    return filled, lines


def pixels():
    """'#' black outline, '.' white, ' ' transparent, row by row from the top."""
    filled, lines = hand_shape()
    rows = []
    for y in range(SIZE):
        row = ""
        for x in range(SIZE):
            if (x, y) not in filled:
                row += " "
                continue
            edge = any((x + dx, y + dy) not in filled
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            row += "#" if edge or (x, y) in lines else "."
        rows.append(row)
    return rows


def mask_rows(rows, bit):
    """One 1-bit plane, bottom row first, 4 bytes a row."""
    data = b""
    for row in reversed(rows):
        value = 0
        for x, ch in enumerate(row):
            if bit(ch):
                value |= 1 << (31 - x)
        data += struct.pack(">I", value)
    return data


def cursor_file(rows):
    # XOR plane: palette index 1 (white) for the inside; AND plane: 1 where
    # the screen shows through.
    xor = mask_rows(rows, lambda ch: ch == ".")
    and_ = mask_rows(rows, lambda ch: ch == " ")
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, len(xor) + len(and_), 0, 0, 2, 0)
    palette = struct.pack("<BBBB", 0, 0, 0, 0) + struct.pack("<BBBB", 255, 255, 255, 0)
    image = header + palette + xor + and_
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    return directory + entry + image


def main():
    rows = pixels()
    assert rows[HOT_SPOT[1]][HOT_SPOT[0]] == "#", "the hot spot is off the finger tip"
    args = [a for a in sys.argv[1:] if a != "--show"]
    out = Path(args[0]) if args else Path(__file__).resolve().parent.parent / "res" / "hand.cur"
    out.write_bytes(cursor_file(rows))
    if "--show" in sys.argv[1:]:
        print("\n".join(rows))
    print(out)


if __name__ == "__main__":
    main()
