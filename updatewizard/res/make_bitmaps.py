#!/usr/bin/env python3
"""Draws the wizard dialog's bitmaps (background, animation frames, Cancel
button strip) as 24-bit BMP files beside this script. Magenta (255, 0, 255)
is the key colour: cut out of the window shape and left transparent.

Run by hand (Debian's python3 with python3-pil and fonts-nanum); the .bmp
files are committed, so the build needs no font. The Cancel label is Korean
like the rest of the dialog."""
import os
import struct
import subprocess

KEY = (255, 0, 255)
HERE = os.path.dirname(os.path.abspath(__file__))

CANCEL_LABEL = "\ucde8\uc18c"  # "Cancel"
LABEL_FONT = "NanumGothic:bold"
LABEL_SIZE = 14


def label_coverage(text, width, height, dx, dy):
    """Coverage (0..255) of the label centred in a width x height frame, moved by dx, dy."""
    from PIL import Image, ImageDraw, ImageFont
    path = subprocess.run(["fc-match", "-f", "%{file}", LABEL_FONT], capture_output=True, text=True).stdout
    if "Nanum" not in path:
        raise SystemExit("make_bitmaps: no Nanum font (apt-get install fonts-nanum)")
    font = ImageFont.truetype(path, LABEL_SIZE)
    mask = Image.new("L", (width, height), 0)
    draw = ImageDraw.Draw(mask)
    left, top, right, bottom = draw.textbbox((0, 0), text, font=font)
    x = (width - (right - left)) // 2 - left + dx
    y = (height - (bottom - top)) // 2 - top + dy
    draw.text((x, y), text, font=font, fill=255)
    return [[mask.getpixel((cx, cy)) for cx in range(width)] for cy in range(height)]


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
        pressed = 1 if frame == 2 else 0
        coverage = label_coverage(CANCEL_LABEL, width, frame_height, pressed, pressed)
        for y in range(1, frame_height - 1):
            for x in range(1, width - 1):
                if coverage[y][x]:
                    rows[y][x] = mix(rows[y][x], text_colours[frame], coverage[y][x] / 255)
        pixels += rows
    return pixels


def main():
    write_bmp("background.bmp", background())
    for frame in range(5):
        write_bmp("frame%d.bmp" % frame, animation_frame(frame))
    write_bmp("cancel.bmp", button_strip())


if __name__ == "__main__":
    main()
