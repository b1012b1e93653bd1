#!/usr/bin/env python3
"""Draw Tumblecast's application icon and write it as a Windows .ico.

The picture is an ivory die showing five, in front of a tilted red die.
It is built from signed-distance shapes so that both images come from one
drawing: the true-colour image is supersampled, shaded and has soft edges;
the 16-colour image takes the material under each pixel centre and its
nearest system colour.

Usage: python3 tools/make_icon.py [output.ico]
(default: resources/tumblecast.ico in the repository)
       python3 tools/make_icon.py --hicolor packaging/icons
(the same picture as PNGs at the hicolor theme's sizes, for the desktop)
"""

import math
import struct
import sys
import zlib
from pathlib import Path

SIZE = 32
SUPERSAMPLE = 8

# The 16-colour system palette, in its usual index order.
SYSTEM_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

OUTLINE = 1.15          # outline width, in pixels
BEVEL = 2.2             # width of the shaded rim inside the outline
LIGHT = (-0.6, -0.8)    # light comes from the upper left

# Qt's ICO reader ignores the AND mask of 24-bit images and shows them with
# a black square behind, and QIcon prefers the deepest image, so the true
# colour image carries its own alpha. 24 still works for other readers.
TRUE_COLOUR_BPP = 32

# Flat colours; the 16-colour image uses only these.
MATERIALS = {
    "outline": (24, 22, 26),
    "ivory": (250, 246, 232),
    "ivory_shade": (190, 186, 176),
    "pip": (26, 24, 30),
    "red": (206, 28, 34),
    "red_shade": (130, 12, 18),
    "red_pip": (255, 255, 255),
}


def rounded_rect_sdf(px, py, cx, cy, half, radius, angle=0.0):
    """Signed distance to a rounded square, negative inside."""
    dx, dy = px - cx, py - cy
    if angle:
        c, s = math.cos(angle), math.sin(angle)
        dx, dy = c * dx + s * dy, -s * dx + c * dy
    qx = abs(dx) - (half - radius)
    qy = abs(dy) - (half - radius)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


class Die:
    def __init__(self, cx, cy, half, radius, angle_deg, pips, pip_radius,
                 body, pip):
        self.cx, self.cy = cx, cy
        self.half, self.radius = half, radius
        self.angle = math.radians(angle_deg)
        self.body, self.pip = body, pip
        c, s = math.cos(self.angle), math.sin(self.angle)
        # Pips are given in face units (-1..1) and rotate with the die.
        # Snapping them to pixel corners keeps them symmetric blobs rather
        # than lopsided clusters in the 16-colour image.
        self.pips = [(round(cx + (c * u - s * v) * half),
                      round(cy + (s * u + c * v) * half))
                     for u, v in pips]
        self.pip_radius = pip_radius

    def sdf(self, x, y):
        return rounded_rect_sdf(x, y, self.cx, self.cy, self.half,
                                self.radius, self.angle)

    def sample(self, x, y):
        """(material, brightness) at a point, or None outside the die."""
        d = self.sdf(x, y)
        if d > 0:
            return None
        if d > -OUTLINE:
            return "outline", 1.0
        for px, py in self.pips:
            pd = math.hypot(x - px, y - py) - self.pip_radius
            if pd <= 0:
                # A pip is a dimple, so its wall away from the light is lit.
                nx, ny = (x - px) / self.pip_radius, (y - py) / self.pip_radius
                return self.pip, 1.0 - 0.2 * (nx * LIGHT[0] + ny * LIGHT[1])
        depth = -d - OUTLINE
        if depth < BEVEL:
            e = 0.05
            gx = self.sdf(x + e, y) - self.sdf(x - e, y)
            gy = self.sdf(x, y + e) - self.sdf(x, y - e)
            g = math.hypot(gx, gy) or 1.0
            facing = (gx * LIGHT[0] + gy * LIGHT[1]) / g
            rim = 1.0 - depth / BEVEL
            # Rims facing away from the light read as the die's thickness.
            if facing < -0.35:
                return self.body + "_shade", 1.0 + 0.2 * (0.5 - rim)
            return self.body, 1.0 + 0.25 * facing * rim
        # Faint gradient across the face so it does not look pasted on.
        t = ((x - self.cx) * LIGHT[0] + (y - self.cy) * LIGHT[1]) / self.half
        return self.body, 1.0 + 0.06 * t


FIVE = [(-0.5, -0.5), (0.5, -0.5), (0.0, 0.0), (-0.5, 0.5), (0.5, 0.5)]
# The back die shows three; its third pip is hidden by the front die.
THREE_SHOWING = [(0.5, -0.5), (0.0, 0.0)]

# Front to back: the first die that covers a point wins.
SCENE = [
    Die(11.0, 21.0, 10.0, 3.4, 0.0, FIVE, 2.0, "ivory", "pip"),
    Die(22.0, 10.0, 8.0, 3.4, 20.0, THREE_SHOWING, 1.5, "red", "red_pip"),
]


def sample_scene(x, y):
    for die in SCENE:
        hit = die.sample(x, y)
        if hit is not None:
            return hit
    return None


def shade(colour, brightness):
    return tuple(max(0, min(255, round(c * brightness))) for c in colour)


def render(size=SIZE, n=SUPERSAMPLE):
    """Rows top-down of (colour, coverage, 16-colour material or None).

    The scene is drawn in 32-pixel units; other sizes scale it.
    """
    rows = []
    scale = SIZE / size
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    hit = sample_scene((px + (sx + 0.5) / n) * scale,
                                       (py + (sy + 0.5) / n) * scale)
                    if hit is None:
                        continue
                    material, brightness = hit
                    rgb = shade(MATERIALS[material], brightness)
                    for i in range(3):
                        acc[i] += rgb[i]
                    hits += 1
            rgb = tuple(round(a / hits) for a in acc) if hits else (0, 0, 0)
            coverage = hits / (n * n)
            material = None
            if coverage >= 0.5:
                # The 16-colour image takes the material under the pixel
                # centre: a vote over subsamples lets slivers of pip win at
                # the rims.
                centre = sample_scene((px + 0.5) * scale, (py + 0.5) * scale)
                material = centre[0] if centre else "outline"
            row.append((rgb, coverage, material))
        rows.append(row)
    return rows


def nearest_palette_index(rgb):
    return min(range(len(SYSTEM_PALETTE)),
               key=lambda i: sum((a - b) ** 2
                                 for a, b in zip(rgb, SYSTEM_PALETTE[i])))


def and_mask(transparent):
    """1 bpp mask, bottom-up, from rows of booleans (True = see-through)."""
    out = bytearray()
    for row in reversed(transparent):
        bits = 0
        for clear in row:
            bits = (bits << 1) | clear
        out += bits.to_bytes(SIZE // 8, "big")
        out += bytes(-(SIZE // 8) % 4)
    return bytes(out)


def bitmap_header(bpp, data_size):
    # Height is doubled: the XOR image is followed by the AND mask.
    return struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bpp, 0,
                       data_size, 0, 0, 0, 0)


def image_4bpp(rows):
    xor = bytearray()
    for row in reversed(rows):
        # Masked pixels must be index 0 (black), or the screen gets inverted.
        indices = [0 if material is None else
                   nearest_palette_index(MATERIALS[material])
                   for _, _, material in row]
        for i in range(0, SIZE, 2):
            xor.append((indices[i] << 4) | indices[i + 1])
        xor += bytes(-len(xor) % 4)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0)
                       for r, g, b in SYSTEM_PALETTE)
    mask = and_mask([[material is None for _, _, material in row]
                     for row in rows])
    body = bytes(xor) + mask
    return bitmap_header(4, len(body)) + palette + body


def image_true_colour(rows, bpp):
    xor = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for (r, g, b), coverage, material in row:
            if bpp == 32:
                line += bytes((b, g, r, round(255 * coverage)))
            elif material is None:
                line += bytes(3)
            else:
                line += bytes((b, g, r))
        line += bytes(-len(line) % 4)
        xor += line
    if bpp == 32:
        # Anything with alpha stays unmasked, so a renderer that ignores
        # alpha shows the full outline instead of a nibbled one.
        transparent = [[coverage == 0 for _, coverage, _ in row]
                       for row in rows]
    else:
        transparent = [[material is None for _, _, material in row]
                       for row in rows]
    body = bytes(xor) + and_mask(transparent)
    return bitmap_header(bpp, len(body)) + body


def build_ico():
    rows = render()
    images = [(16, 4, image_4bpp(rows)),
              (0, TRUE_COLOUR_BPP, image_true_colour(rows, TRUE_COLOUR_BPP))]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for colours, bpp, data in images:
        out += struct.pack("<BBBBHHII", SIZE, SIZE, colours, 0, 1, bpp,
                           len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    return bytes(out)


# The sizes desktops ask of a hicolor theme.
PNG_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]


def png(size):
    """The true-colour image at size x size pixels as an RGBA PNG."""
    # Fewer subsamples at large sizes, where a pixel is a small part of a
    # pip, keep the render quick without visible steps.
    rows = render(size, max(3, SUPERSAMPLE * SIZE // size))
    raw = b"".join(b"\0" + b"".join(bytes((*rgb, round(255 * coverage)))
                                    for rgb, coverage, _ in row)
                   for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_hicolor(root):
    for size in PNG_SIZES:
        target = root / f"{size}x{size}" / "apps" / "tumblecast.png"
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(png(size))
        print(f"wrote {target}")


def main():
    if len(sys.argv) > 2 and sys.argv[1] == "--hicolor":
        write_hicolor(Path(sys.argv[2]))
        return
    if len(sys.argv) > 1:
        target = Path(sys.argv[1])
    else:
        target = Path(__file__).resolve().parent.parent / "resources" / "tumblecast.ico"
    target.write_bytes(build_ico())
    print(f"wrote {target}")


if __name__ == "__main__":
    main()
