#!/usr/bin/env python3
"""Draws the wizard dialog's bitmaps (background, animation frames, Cancel
button strip) as 24-bit BMP files beside this script. Magenta (255, 0, 255)
is the key colour: cut out of the window shape and left transparent."""
import os
import struct

KEY = (255, 0, 255)
HERE = os.path.dirname(os.path.abspath(__file__))

# 5x7 letters for the button caption.
FONT = {
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
}


def write_bmp(name, pixels):
    """pixels: rows top to bottom of (r, g, b); written bottom-up, rows padded to 4 bytes."""
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        body += line + bytes(stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(header + info + body)


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def inside_rounded(x, y, width, height, radius):
    cx = min(max(x, radius), width - 1 - radius)
    cy = min(max(y, radius), height - 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def background():
    width, height, radius = 282, 144, 16
    top, bottom = (34, 58, 110), (18, 112, 128)
    pixels = canvas(width, height, KEY)
    for y in range(height):
        fill = mix(top, bottom, y / (height - 1))
        for x in range(width):
            if not inside_rounded(x, y, width, height, radius):
                continue
            edge = not inside_rounded(x, y, width, height, radius - 2) or not (2 <= x < width - 2 and 2 <= y < height - 2)
            pixels[y][x] = (200, 220, 240) if edge else fill
    # A darker well behind the animation (75, 51; 132 x 20).
    for y in range(47, 75):
        for x in range(71, 211):
            pixels[y][x] = mix(pixels[y][x], (0, 0, 0), 0.35)
    return pixels


def animation_frame(lit):
    width, height = 132, 20
    pixels = canvas(width, height, KEY)
    for dot in range(5):
        cx, cy, r = 14 + dot * 26, 10, 7
        colour = (255, 214, 64) if dot == lit else (90, 120, 160)
        for y in range(height):
            for x in range(width):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    pixels[y][x] = colour
    return pixels


def button_strip():
    width, frame_height = 88, 22
    fills = [(70, 96, 150), (96, 140, 210), (40, 60, 100), (128, 128, 128)]
    text_colours = [(255, 255, 255), (255, 255, 200), (220, 220, 220), (176, 176, 176)]
    pixels = []
    for frame, fill in enumerate(fills):
        rows = canvas(width, frame_height, fill)
        for y in range(frame_height):
            for x in range(width):
                if x in (0, width - 1) or y in (0, frame_height - 1):
                    rows[y][x] = (220, 230, 245)
        text = "CANCEL"
        left = (width - (len(text) * 6 - 1)) // 2 + (1 if frame == 2 else 0)
        top = (frame_height - 7) // 2 + (1 if frame == 2 else 0)
        for i, letter in enumerate(text):
            for gy, line in enumerate(FONT[letter]):
                for gx, bit in enumerate(line):
                    if bit == "1":
                        rows[top + gy][left + i * 6 + gx] = text_colours[frame]
        pixels += rows
    return pixels


def main():
    write_bmp("background.bmp", background())
    for frame in range(5):
        write_bmp("frame%d.bmp" % frame, animation_frame(frame))
    write_bmp("cancel.bmp", button_strip())


if __name__ == "__main__":
    main()
