#!/usr/bin/env python3
"""Writes the program's icon (resources/vask.png, 32 by 32) and its ring
(resources/vask.wav) from code, so both can be made again exactly.

    python3 desktop/qt/make_resources.py [resources-folder]
"""
import math
import os
import struct
import sys
import wave
import zlib

# A small palette, as the icon is a 16-colour picture.
NAVY = (16, 32, 96, 255)
BLUE = (32, 80, 192, 255)
SKY = (72, 136, 232, 255)
LIGHT = (152, 196, 248, 255)
WHITE = (255, 255, 255, 255)
SHADOW = (8, 16, 48, 255)
CLEAR = (0, 0, 0, 0)


def icon_pixels(size=32):
    c = (size - 1) / 2.0
    radius = size / 2.0 - 1
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if d > radius:
                row.append(CLEAR)
            elif d > radius - 1.5:
                row.append(NAVY)
            else:
                # Light from the top left: three bands of blue.
                shade = (x + y) / (2.0 * size)
                row.append(LIGHT if shade < 0.3 else SKY if shade < 0.55 else BLUE)
        rows.append(row)

    # A "V": two strokes from the top corners to the bottom middle.
    def stroke(x0, y0, x1, y1, colour, width):
        steps = 200
        for i in range(steps + 1):
            t = i / steps
            px, py = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
            for yy in range(int(py - width), int(py + width) + 1):
                for xx in range(int(px - width), int(px + width) + 1):
                    if 0 <= xx < size and 0 <= yy < size and math.hypot(xx - px, yy - py) <= width:
                        if rows[yy][xx] != CLEAR:
                            rows[yy][xx] = colour

    for colour, dx in ((SHADOW, 1), (WHITE, 0)):
        stroke(9 + dx, 8 + dx, 16 + dx, 24 + dx, colour, 1.6)
        stroke(23 + dx, 8 + dx, 16 + dx, 24 + dx, colour, 1.6)
    return rows


def write_png(path, rows):
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def write_ring(path, rate=22050):
    # Two short tones, high then low, each fading out: a door-bell ring.
    samples = []
    for freq, length in ((988.0, 0.16), (784.0, 0.28)):
        n = int(rate * length)
        for i in range(n):
            fade = 1.0 - i / n
            samples.append(0.45 * fade * math.sin(2 * math.pi * freq * i / rate))
        samples.extend([0.0] * int(rate * 0.02))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(b"".join(struct.pack("<h", int(s * 32767)) for s in samples))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources")
    write_png(os.path.join(folder, "vask.png"), icon_pixels())
    write_ring(os.path.join(folder, "vask.wav"))


if __name__ == "__main__":
    main()
