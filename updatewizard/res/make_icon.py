#!/usr/bin/env python3
"""Draws the update wizard's program icon (res/wizard.ico): a 32x32 true-colour
image, a blue disc with a white downward arrow, and its transparency mask."""
import os
import struct

SIZE = 32


def pixel(x, y):
    cx = cy = (SIZE - 1) / 2
    inside = (x - cx) ** 2 + (y - cy) ** 2 <= (SIZE / 2 - 1) ** 2
    if not inside:
        return None
    # The arrow: a shaft and a head pointing down (y grows downwards here).
    shaft = 13 <= x <= 18 and 6 <= y <= 17
    head = 17 <= y <= 25 and abs(x - 15.5) <= 25 - y
    if shaft or head:
        return (255, 255, 255)
    return (200, 110, 30)  # blue, stored as BGR


def main():
    rows, mask = [], []
    for y in range(SIZE - 1, -1, -1):  # bottom-up rows
        row, bits = b"", 0
        for x in range(SIZE):
            colour = pixel(x, y)
            if colour is None:
                row += b"\0\0\0\0"
                bits |= 1 << (31 - x)
            else:
                row += bytes(colour) + b"\xff"
        rows.append(row)
        mask.append(struct.pack(">I", bits))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    image = header + b"".join(rows) + b"".join(mask)
    icon = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22) + image
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "wizard.ico"), "wb") as f:
        f.write(icon)


if __name__ == "__main__":
    main()
