#!/usr/bin/env python3
"""Draw the about window's emblem and write it as a 55 x 55 GIF89a.

The picture is an ivory die seen from above a corner, so that three faces
show: one on top (a single red pip), two on the left and three on the
right, as the faces of a real die meet at a corner. A small red die leans
against its right side. Everything outside the dice is transparent, so the
emblem sits on whatever colour the window's panel has.

The GIF is written by this script alone (palette, LZW and all) so that the
emblem needs nothing beyond Python's standard library to rebuild.

Usage: python3 tools/make_emblem.py [output.gif]
(default: resources/zentor.gif in the repository)
"""

import math
import struct
import sys
from pathlib import Path

SIZE = 55
SUPERSAMPLE = 5
OUTLINE = 0.75          # outline width on each face; shared edges get two

INK = (28, 24, 30)
IVORY = (250, 245, 228)
RED = (200, 30, 36)
WHITE = (255, 255, 255)
# Brightness of the top, left and right faces: light comes from the upper left.
FACE_LIGHT = (1.0, 0.86, 0.68)


def scale(rgb, k):
    return tuple(max(0, min(255, round(c * k))) for c in rgb)


class Cube:
    """An isometric cube: centre of its top-front corner and edge length."""

    def __init__(self, cx, cy, edge, body, faces):
        self.cx, self.cy, self.edge = cx, cy, edge
        self.body = body
        c30 = math.cos(math.radians(30))
        # The three edges from the top face's front corner, in screen space.
        self.ex = (c30 * edge, 0.5 * edge)
        self.ey = (-c30 * edge, 0.5 * edge)
        self.faces = faces  # (pips, colour) for the top, left and right faces

    @staticmethod
    def _solve(a, b, p):
        """Coordinates (u, v) with u*a + v*b = p."""
        det = a[0] * b[1] - a[1] * b[0]
        return ((p[0] * b[1] - p[1] * b[0]) / det,
                (a[0] * p[1] - a[1] * p[0]) / det)

    def sample(self, x, y):
        """Colour at a point, or None outside the cube."""
        p = (x - self.cx, y - self.cy)
        down = (0.0, self.edge)
        back_left = (-self.ex[0], -self.ex[1])
        back_right = (-self.ey[0], -self.ey[1])
        spans = [(back_left, back_right), (back_left, down), (back_right, down)]
        for index, (a, b) in enumerate(spans):
            u, v = self._solve(a, b, p)
            if 0 <= u <= 1 and 0 <= v <= 1:
                return self._face(index, u, v)
        return None

    def _face(self, index, u, v):
        # Distance to the face's border, in pixels (roughly: edges are equal).
        if min(u, v, 1 - u, 1 - v) * self.edge < OUTLINE:
            return INK
        layout, colour = self.faces[index]
        for pu, pv, r in layout:
            if math.hypot(u - pu, v - pv) * self.edge <= r:
                return scale(colour, FACE_LIGHT[index])
        return scale(self.body, FACE_LIGHT[index])


def pips(count, radius):
    layouts = {
        1: [(0.5, 0.5)],
        2: [(0.27, 0.27), (0.73, 0.73)],
        3: [(0.25, 0.25), (0.5, 0.5), (0.75, 0.75)],
        5: [(0.26, 0.26), (0.74, 0.26), (0.5, 0.5), (0.26, 0.74), (0.74, 0.74)],
    }
    return [(u, v, radius) for u, v in layouts[count]]


# Front to back: the first shape that covers a point wins. No die shows two
# opposite faces (they add up to seven); the big die's single pip is red, as
# on many real dice.
SCENE = [
    Cube(42.5, 40.0, 12.0, RED, [(pips(5, 1.2), WHITE), (pips(1, 2.0), WHITE), (pips(3, 1.4), WHITE)]),
    Cube(22.0, 27.0, 25.0, IVORY, [(pips(1, 4.2), RED), (pips(2, 2.8), INK), (pips(3, 2.6), INK)]),
]


def sample_scene(x, y):
    for shape in SCENE:
        colour = shape.sample(x, y)
        if colour is not None:
            return colour
    return None


def render():
    """Rows of colours, None for transparent pixels."""
    n = SUPERSAMPLE
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc, hits = [0, 0, 0], 0
            for sy in range(n):
                for sx in range(n):
                    colour = sample_scene(px + (sx + 0.5) / n, py + (sy + 0.5) / n)
                    if colour is not None:
                        for i in range(3):
                            acc[i] += colour[i]
                        hits += 1
            if hits * 2 < n * n:
                row.append(None)
            elif hits == n * n:
                row.append(tuple(round(a / hits) for a in acc))
            else:
                # An edge pixel takes the outline's colour: blending it with
                # an unknown background would leave a light fringe.
                row.append(INK)
        rows.append(row)
    return rows


def build_palette(rows):
    """Up to 255 colours by popularity (index 0 is transparent)."""
    counts = {}
    for row in rows:
        for colour in row:
            if colour is not None:
                counts[colour] = counts.get(colour, 0) + 1
    palette = sorted(counts, key=lambda c: (-counts[c], c))[:255]

    def nearest(colour):
        return min(range(len(palette)),
                   key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))

    index = {c: nearest(c) + 1 for c in counts}
    pixels = [0 if c is None else index[c] for row in rows for c in row]
    return [(0, 0, 0)] + palette, pixels


def lzw(pixels, min_size):
    """GIF's variable-width LZW, as a byte string (without sub-blocks)."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    out = bytearray()
    bits = nbits = 0

    def write(code, width):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    width = min_size + 1
    table, next_code = {}, end + 1
    write(clear, width)
    prefix = pixels[0]
    for pixel in pixels[1:]:
        key = (prefix, pixel)
        if key in table:
            prefix = table[key]
            continue
        write(prefix, width)
        # The decoder widens its codes one entry later than we add them.
        if next_code >= (1 << width) and width < 12:
            width += 1
        table[key] = next_code
        next_code += 1
        if next_code >= 4095:
            write(clear, width)
            width, table, next_code = min_size + 1, {}, end + 1
        prefix = pixel
    write(prefix, width)
    if next_code >= (1 << width) and width < 12:
        width += 1
    write(end, width)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def build_gif():
    palette, pixels = build_palette(render())
    depth = max(1, (len(palette) - 1).bit_length())  # table holds 2**depth entries
    palette += [(0, 0, 0)] * ((1 << depth) - len(palette))
    min_size = max(2, depth)
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", SIZE, SIZE, 0x80 | 0x70 | (depth - 1), 0, 0)
    out += b"".join(bytes(c) for c in palette)
    # Graphic control extension: index 0 is transparent.
    out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 0x01, 0, 0, 0)
    out += struct.pack("<BHHHHB", 0x2C, 0, 0, SIZE, SIZE, 0)
    out.append(min_size)
    out += sub_blocks(lzw(pixels, min_size))
    out.append(0x3B)
    return bytes(out)


def main():
    if len(sys.argv) > 1:
        target = Path(sys.argv[1])
    else:
        target = Path(__file__).resolve().parent.parent / "resources" / "zentor.gif"
    target.write_bytes(build_gif())
    print(f"wrote {target}")


if __name__ == "__main__":
    main()
