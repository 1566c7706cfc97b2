#!/usr/bin/env python3
"""Draws the pictures the program reads from its folder: the animated hand
cursor (Hand.ani), the bookmark glyph (Mark.bmp) and the paper textures
(PagePic/*.bmp). Pure standard library and seeded, so every run writes the same
bytes.

    python3 scripts/make_program_pictures.py [output folder]

The output folder defaults to resources/program beside this script's folder.
"""

import math
import os
import random
import struct
import sys


# ---------------------------------------------------------------- file formats

def bmp24(width, height, pixel):
    """A bottom-up 24-bit BMP; pixel(x, y) gives (r, g, b) with y from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


def cursor_resource(width, height, rgba, hotspot):
    """A .cur holding one 32-bit image; rgba(x, y) gives straight (r, g, b, a)."""
    color = bytearray()
    mask = bytearray()
    mask_stride = ((width + 31) // 32) * 4
    for y in range(height - 1, -1, -1):
        bits = 0
        row_mask = bytearray()
        for x in range(width):
            r, g, b, a = rgba(x, y)
            color += bytes((b, g, r, a))
            bits = (bits << 1) | (1 if a == 0 else 0)
            if x % 8 == 7:
                row_mask.append(bits)
                bits = 0
        row_mask += b"\0" * (mask_stride - len(row_mask))
        mask += row_mask
    image = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, len(color) + len(mask), 0, 0, 0, 0)
    image += bytes(color) + bytes(mask)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return directory + entry + image


def chunk(tag, body):
    return tag + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")


def ani(frames, sequence, rates, title):
    header = struct.pack("<9I", 36, len(frames), len(sequence), 0, 0, 0, 0, rates[0], 3)  # icon frames, sequenced
    body = b"ACON"
    body += chunk(b"LIST", b"INFO" + chunk(b"INAM", title.encode("ascii") + b"\0"))
    body += chunk(b"anih", header)
    body += chunk(b"rate", struct.pack("<%dI" % len(rates), *rates))
    body += chunk(b"seq ", struct.pack("<%dI" % len(sequence), *sequence))
    body += chunk(b"LIST", b"fram" + b"".join(chunk(b"icon", f) for f in frames))
    return b"RIFF" + struct.pack("<I", len(body)) + body


# ---------------------------------------------------------------- hand cursor

def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def hand_shapes(spread):
    """Capsules (ax, ay, bx, by, radius) of an open hand; spread opens the fingers."""
    palm = (12.5, 19.5, 20.0, 22.0, 5.2)
    fingers = [
        # base, tip; the tips fan out with the spread
        (11.2, 15.5, 10.0 - 0.9 * spread, 6.0 + 0.2 * spread, 1.55),
        (14.6, 14.0, 14.2 - 0.3 * spread, 3.6, 1.6),
        (18.0, 14.0, 18.4 + 0.3 * spread, 4.4, 1.6),
        (21.2, 16.0, 22.8 + 0.8 * spread, 8.2 + 0.3 * spread, 1.45),
    ]
    thumb = (10.5, 22.0, 5.0 - 0.6 * spread, 15.5 - 0.3 * spread, 1.7)
    return palm, fingers + [thumb]


def hand_rgba(spread):
    palm, digits = hand_shapes(spread)
    outline = 1.05
    samples = 4

    def sample(px, py):
        d_palm = segment_distance(px, py, *palm[:4]) - palm[4]
        d_digits = [segment_distance(px, py, *c[:4]) - c[4] for c in digits]
        d = min([d_palm] + d_digits)
        if d > outline:
            return None
        if d > 0:
            return 0  # outer outline
        # Lines between the fingers where they stand free of the palm.
        if d_palm > 0.6 and any(-outline * 0.8 < di <= 0 for di in d_digits) and \
                sorted(d_digits)[1] < 0.9:
            return 0
        return 255

    def rgba(x, y):
        covered, total = 0, 0
        for sy in range(samples):
            for sx in range(samples):
                v = sample(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples)
                if v is not None:
                    covered += 1
                    total += v
        if covered == 0:
            return (0, 0, 0, 0)
        grey = round(total / covered)
        return (grey, grey, grey, round(255 * covered / (samples * samples)))

    return rgba


def hand_ani():
    spreads = [0.0, 0.6, 1.2]
    hotspot = (15, 18)
    frames = [cursor_resource(32, 32, hand_rgba(s), hotspot) for s in spreads]
    # Rest long, open the fingers a little and close them again.
    return ani(frames, [0, 1, 2, 1], [90, 6, 10, 6], "Quillmere open hand")


# ---------------------------------------------------------------- bookmark

def mark_pixel(x, y):
    left, right, bottom, notch = 8, 23, 46, 7
    white = (255, 255, 255)
    if x < left or x > right or y < 2:
        return white
    half = (right - left) / 2
    centre = left + half
    edge = bottom - notch + notch * abs(x - centre) / half
    if y > edge:
        return white
    outline = x in (left, right) or y == 2 or y > edge - 1.2
    if outline:
        return (118, 14, 24)
    # Cloth: a fold shadow at the top, a soft highlight left of the middle.
    shade = 1.0 - 0.28 * abs((x - (centre - 2)) / half)
    if y < 6:
        shade *= 0.82
    r = int(204 * shade + 10)
    g = int(34 * shade)
    b = int(44 * shade)
    return (r, g, b)


# ---------------------------------------------------------------- papers

class TileNoise:
    """Value noise that wraps every `cells` cells, so the picture tiles."""

    def __init__(self, rng, cells):
        self.cells = cells
        self.values = [[rng.random() * 2 - 1 for _ in range(cells)] for _ in range(cells)]

    def at(self, u, v):  # u, v in [0, 1)
        x, y = u * self.cells, v * self.cells
        x0, y0 = int(x), int(y)
        fx, fy = x - x0, y - y0
        fx, fy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
        c = self.cells
        v00 = self.values[y0 % c][x0 % c]
        v10 = self.values[y0 % c][(x0 + 1) % c]
        v01 = self.values[(y0 + 1) % c][x0 % c]
        v11 = self.values[(y0 + 1) % c][(x0 + 1) % c]
        top = v00 + (v10 - v00) * fx
        low = v01 + (v11 - v01) * fx
        return top + (low - top) * fy


def clamp(v):
    return max(0, min(255, int(round(v))))


def paper(size, seed, base, mottle, grain, fibres):
    rng = random.Random(seed)
    layers = [(TileNoise(rng, 4), 0.55), (TileNoise(rng, 8), 0.3), (TileNoise(rng, 16), 0.15)]
    fine = [[rng.random() * 2 - 1 for _ in range(size)] for _ in range(size)]
    # Fibres: short faint strokes, wrapped around the edges to keep the tile seamless.
    fibre = [[0.0] * size for _ in range(size)]
    for _ in range(fibres):
        x, y = rng.random() * size, rng.random() * size
        angle = rng.random() * math.pi
        length = 4 + rng.random() * 10
        strength = 0.4 + rng.random() * 0.6
        for i in range(int(length * 2)):
            px = int(x + math.cos(angle) * i / 2) % size
            py = int(y + math.sin(angle) * i / 2) % size
            fibre[py][px] = max(fibre[py][px], strength)

    def pixel(x, y):
        u, v = x / size, y / size
        m = sum(n.at(u, v) * w for n, w in layers)
        shift = m * mottle + fine[y][x] * grain - fibre[y][x] * grain * 1.6
        return (clamp(base[0] + shift), clamp(base[1] + shift * 0.95), clamp(base[2] + shift * 0.85))

    return bmp24(size, size, pixel)


# ---------------------------------------------------------------- main

def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "program")
    os.makedirs(os.path.join(out, "PagePic"), exist_ok=True)
    files = {
        "Hand.ani": hand_ani(),
        "Mark.bmp": bmp24(32, 48, mark_pixel),
        os.path.join("PagePic", "WarmGrain.bmp"): paper(128, 7, (247, 241, 227), 3.0, 2.5, 40),
        os.path.join("PagePic", "Parchment.bmp"): paper(128, 11, (239, 226, 192), 10.0, 3.0, 12),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print(name, len(data), "bytes")


if __name__ == "__main__":
    main()
