#!/usr/bin/python3
"""Writes Corvanel's two pointer images from the pixel art below.

resources/HAND-M.CUR  the hand shown over the main window's push buttons (a cursor file:
                      ICO container of type 2 with the hotspot at the fingertip)
resources/drag.ico    the list's pointer while a row is dragged (an icon file: type 1)

Both are 32 x 32 pixels, 32-bit BGRA with an AND mask, the layout every reader of the format
accepts. Run it again after changing the art:  python3 scripts/make-pointer-images.py
"""

import pathlib
import struct

SIZE = 32

# K black outline, W white fill, B blue, . transparent.
PALETTE = {
    "K": (0, 0, 0, 255),
    "W": (255, 255, 255, 255),
    "B": (40, 96, 200, 255),
    ".": (0, 0, 0, 0),
}

HAND = [
    ".....KK.........................",
    "....KWWK........................",
    "....KWWK........................",
    "....KWWK........................",
    "....KWWK........................",
    "....KWWKKK......................",
    "....KWWKWWKKK...................",
    "....KWWKWWKWWKK.................",
    "....KWWKWWKWWKWK................",
    ".KK.KWWKWWKWWKWWK...............",
    "KWWKKWWWWWWWWWWWK...............",
    "KWWWKWWWWWWWWWWWK...............",
    ".KWWKWWWWWWWWWWWK...............",
    "..KWWWWWWWWWWWWWK...............",
    "..KWWWWWWWWWWWWWK...............",
    "...KWWWWWWWWWWWWK...............",
    "...KWWWWWWWWWWWK................",
    "....KWWWWWWWWWWK................",
    "....KWWWWWWWWWWK................",
    ".....KWWWWWWWWK.................",
    ".....KWWWWWWWWK.................",
    ".....KKKKKKKKKK.................",
]
HAND_HOTSPOT = (5, 0)

DRAG = [
    "...............K................",
    "..............KBK...............",
    ".............KBBBK..............",
    "............KBBBBBK.............",
    "...........KBBBBBBBK............",
    "..........KKKKBBBKKKK...........",
    ".............KBBBK..............",
    "......KKKKKKKKKKKKKKKKKKK.......",
    "......KWWWWWWWWWWWWWWWWWK.......",
    "......KWKKKKKKKKKKKKKKKWK.......",
    "......KWWWWWWWWWWWWWWWWWK.......",
    "......KWKKKKKKKKKKKKKWWWK.......",
    "......KWWWWWWWWWWWWWWWWWK.......",
    "......KWKKKKKKKKKKKKKKKWK.......",
    "......KWWWWWWWWWWWWWWWWWK.......",
    "......KWKKKKKKKKKKWWWWWWK.......",
    "......KWWWWWWWWWWWWWWWWWK.......",
    "......KWKKKKKKKKKKKKKKKWK.......",
    "......KWWWWWWWWWWWWWWWWWK.......",
    "......KKKKKKKKKKKKKKKKKKK.......",
    ".............KBBBK..............",
    "..........KKKKBBBKKKK...........",
    "...........KBBBBBBBK............",
    "............KBBBBBK.............",
    ".............KBBBK..............",
    "..............KBK...............",
    "...............K................",
]


def pixels(art):
    rows = [row.ljust(SIZE, ".") for row in art]
    rows += ["." * SIZE] * (SIZE - len(rows))
    assert len(rows) == SIZE and all(len(r) == SIZE for r in rows), "art must fit 32 x 32"
    return [[PALETTE[c] for c in row] for row in rows]


def bitmap(art):
    """BITMAPINFOHEADER, BGRA rows bottom-up, then the 1-bit AND mask bottom-up."""
    grid = pixels(art)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    for row in reversed(grid):
        bits = 0
        for x, (r, g, b, a) in enumerate(row):
            colour += bytes((b, g, r, a))
            if a == 0:
                bits |= 1 << (SIZE - 1 - x)
        mask += bits.to_bytes(SIZE // 8, "big")  # 32 pixels = 4 bytes, already 32-bit aligned
    return header + bytes(colour) + bytes(mask)


def container(kind, image, hotspot=(0, 0)):
    """ICONDIR with one entry. kind 1 = icon (planes 1, 32 bits), 2 = cursor (hotspot)."""
    first, second = (1, 32) if kind == 1 else hotspot
    directory = struct.pack("<HHH", 0, kind, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, first, second, len(image), 6 + 16)
    return directory + entry + image


def main():
    resources = pathlib.Path(__file__).resolve().parent.parent / "resources"
    resources.mkdir(exist_ok=True)
    (resources / "HAND-M.CUR").write_bytes(container(2, bitmap(HAND), HAND_HOTSPOT))
    (resources / "drag.ico").write_bytes(container(1, bitmap(DRAG)))


if __name__ == "__main__":
    main()
