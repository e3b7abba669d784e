#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes what the reading view ships in the program folder's control/:
Color.xml (colour set and schemes, UTF-16LE in the layout the program's own
XML writer produces), preSet.ini (first-start settings, UTF-16LE with BOM)
and the decoration pictures under IMG/ (backgrounds, row-line strips,
vertical bars, paragraph pictures and the 21 annotation patterns).

Only the standard library is used; pictures are PNG files made with zlib.
Everything is deterministic, so running it again gives the same bytes.
Run from anywhere; the output goes to resources/control/."""
import math
import os
import random
import struct
import zlib

CONTROL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "control")
IMG = os.path.join(CONTROL, "IMG")


def rgb(r, g, b):
    """A Windows colour value: red in the low byte."""
    return r | (g << 8) | (b << 16)


# ----------------------------------------------------------------------------
# Color.xml

COLOURS = [  # in the order the program writes them
    ("Bg", rgb(244, 236, 216)),
    ("TreeBg", rgb(242, 232, 206)),
    ("Text", rgb(91, 70, 54)),
    ("TextBright", rgb(0, 0, 255)),
    ("Left", rgb(128, 128, 128)),
    ("CBg", rgb(250, 246, 236)),
    ("CText", rgb(60, 60, 60)),
    ("Zhuwen", rgb(0, 128, 0)),
    ("Xiaokuohao", rgb(160, 40, 40)),
    ("Dakuohao", rgb(40, 40, 160)),
    ("CurInXiao", rgb(255, 230, 200)),
    ("CurInDa", rgb(210, 230, 255)),
    ("Control", rgb(0, 0, 200)),
    ("Int", rgb(128, 0, 160)),
    ("Fun", rgb(0, 110, 130)),
    ("DFun", rgb(150, 90, 0)),
    ("Var", rgb(170, 60, 0)),
    ("TRUE", rgb(200, 0, 120)),
    ("Yinhao", rgb(163, 21, 21)),
    ("Digit", rgb(9, 134, 88)),
    ("CodeHtmlMode", 0),
    ("CodePubMode", 0),
]

SCHEMES = [
    ("浅白", rgb(255, 255, 255), rgb(250, 248, 248), rgb(89, 89, 89)),
    ("淡黄", rgb(244, 236, 216), rgb(242, 232, 206), rgb(91, 70, 54)),
    ("淡绿", rgb(206, 234, 186), rgb(216, 244, 196), rgb(51, 51, 51)),
    ("灰色", rgb(69, 72, 74), rgb(64, 68, 71), rgb(157, 159, 163)),
    ("黑色", rgb(51, 51, 51), rgb(46, 46, 46), rgb(181, 172, 162)),
    ("夜读", rgb(30, 36, 44), rgb(26, 31, 38), rgb(176, 186, 196)),
]


def colour_xml():
    attributes = " ".join(f'{name}="{value}"' for name, value in COLOURS)
    lines = [f"<Page {attributes}>", f'<WholeCorlor WholeCount="{len(SCHEMES)}">']
    for name, bg, tree, text in SCHEMES:
        lines.append(f'<CORLOR Name="{name}" Bg="{bg}" TreeBg="{tree}" Text="{text}" />')
    lines += ["</WholeCorlor>", "</Page>"]
    return "".join(line + "\r\n" for line in lines).encode("utf-16-le")


# ----------------------------------------------------------------------------
# preSet.ini

# nVoice -1 leaves the voice unchosen, so the preferred Mandarin voice is used.
PRESET = """[Voice]
nVoice=-1
nRate=0
[Size]
TextSize=28
CodeTextSize=22
[Distance]
Row=20
Pram=24
[Biaozhu]
bComment=0
bSingle=1
nBiaozhu=1
[Background]
Background=无
lineDir=默认
verticalDir=默认
parmDir=默认
Index0=0
Index1=1
Count=0
nPramBZ=0
bVertical=0
bHorizon=0
bLine=0
bCodeBg=0
[Color]
nWholeTB0=-1
nWholeLR0=0
bWholeLeft=0
bWholeTop=0
bWholeBottom=0
nPramWidth=3
nPramLen=0
nHorize=3
nVertical=30
nVerticalWidth=200
[Start]
OpenAll=1
[Search]
all=0
"""


def preset_ini():
    return b"\xff\xfe" + PRESET.replace("\n", "\r\n").encode("utf-16-le")


# ----------------------------------------------------------------------------
# PNG


def png(width, height, pixel):
    """PNG bytes of an RGB picture; pixel(x, y) gives (r, g, b)."""
    rows = []
    previous = bytes(width * 3)
    for y in range(height):
        raw = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            raw += bytes((clamp(r), clamp(g), clamp(b)))
        rows.append(best_filter(bytes(raw), previous))
        previous = bytes(raw)
    data = zlib.compress(b"".join(rows), 9)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", data) + chunk(b"IEND", b"")


def clamp(value):
    return max(0, min(255, int(round(value))))


def best_filter(row, previous):
    """The filtered row (filter byte first) with the smallest sum of magnitudes."""
    candidates = []
    sub = bytes((row[i] - (row[i - 3] if i >= 3 else 0)) & 0xFF for i in range(len(row)))
    up = bytes((row[i] - previous[i]) & 0xFF for i in range(len(row)))
    avg = bytes((row[i] - ((row[i - 3] if i >= 3 else 0) + previous[i]) // 2) & 0xFF for i in range(len(row)))
    candidates = [(0, row), (1, sub), (2, up), (3, avg)]

    def cost(data):
        return sum(v if v < 128 else 256 - v for v in data)

    kind, data = min(candidates, key=lambda c: cost(c[1]))
    return bytes((kind,)) + data


def smooth_noise(noise_key, cells_x, cells_y):
    """A function (u, v) in [0, 1)² -> [-1, 1]: bilinear value noise on a grid."""
    rng = random.Random(noise_key)
    grid = [[rng.uniform(-1, 1) for _ in range(cells_x + 1)] for _ in range(cells_y + 1)]

    def at(u, v):
        x, y = u * cells_x, v * cells_y
        ix, iy = min(int(x), cells_x - 1), min(int(y), cells_y - 1)
        fx, fy = x - ix, y - iy
        fx, fy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
        top = grid[iy][ix] * (1 - fx) + grid[iy][ix + 1] * fx
        bottom = grid[iy + 1][ix] * (1 - fx) + grid[iy + 1][ix + 1] * fx
        return top * (1 - fy) + bottom * fy

    return at


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# ----------------------------------------------------------------------------
# Decoration pictures


def background(noise_key, top, bottom, fibre):
    """A soft paper: a vertical gradient with large, faint clouds."""
    width, height = 480, 300
    clouds = smooth_noise(noise_key, 6, 4)

    def pixel(x, y):
        base = mix(top, bottom, y / (height - 1))
        shade = clouds(x / width, y / height) * fibre
        return tuple(c + shade for c in base)

    return png(width, height, pixel)


def strip(kind, colour):
    """A row-line strip on white (light colours are drawn transparent)."""
    width, height = 1200, 50
    white = (255, 255, 255)

    def pixel(x, y):
        if kind == "line":
            distance = abs(y - 25)
            return mix(colour, white, min(1.0, distance / 2.5))
        if kind == "double":
            distance = min(abs(y - 20), abs(y - 30))
            return mix(colour, white, min(1.0, distance / 1.5))
        if kind == "wave":
            centre = 25 + 8 * math.sin(x / 1200 * 12 * math.pi)
            return mix(colour, white, min(1.0, abs(y - centre) / 2.0))
        # dots
        dx, dy = (x % 24) - 12, y - 25
        return mix(colour, white, min(1.0, max(0.0, math.hypot(dx, dy) - 3) / 1.5))

    return png(width, height, pixel)


def vertical_bar(noise_key, colour, mirror):
    """A bar for the page side: a band that fades towards the text."""
    width, height = 80, 600
    pattern = smooth_noise(noise_key, 2, 12)
    white = (255, 255, 255)

    def pixel(x, y):
        u = (width - 1 - x) if mirror else x
        fade = min(1.0, u / (width * 0.8))
        ornament = 0.5 + 0.5 * math.sin(y / 18.0) * math.cos(u / 9.0)
        tone = mix(colour, white, 0.25 + 0.55 * fade + 0.15 * pattern(u / width, y / height))
        return mix(tone, white, 0.2 * ornament * fade)

    return png(width, height, pixel)


def paragraph_picture(colour, style):
    """A slim picture drawn beside a paragraph."""
    width, height = 24, 240
    white = (255, 255, 255)

    def pixel(x, y):
        if style == 0:
            edge = abs(x - 12) / 12
            return mix(colour, white, edge ** 1.5)
        if style == 1:
            band = (y // 12) % 2
            return mix(colour, white, 0.2 + 0.5 * band + 0.3 * abs(x - 12) / 12)
        grow = y / (height - 1)
        return mix(colour, white, abs(x - 12) / 12 * (1 - 0.6 * grow) + 0.3 * grow)

    return png(width, height, pixel)


PATTERN_COLOURS = [
    (198, 40, 40), (216, 67, 21), (239, 108, 0), (158, 105, 0), (85, 139, 47),
    (46, 125, 50), (0, 121, 107), (0, 131, 143), (2, 119, 189), (21, 101, 192),
    (40, 53, 147), (69, 39, 160), (106, 27, 154), (173, 20, 87), (121, 85, 72),
    (84, 110, 122), (97, 97, 97), (130, 119, 23), (0, 96, 100), (136, 14, 79),
]


def annotation_pattern(number):
    """A 24×24 tile for annotation style number (1…20; 0 is the fallback)."""
    size = 24
    if number == 0:
        base = (120, 120, 120)
        style = 0
    else:
        base = PATTERN_COLOURS[number - 1]
        style = (number - 1) % 5
    light = mix(base, (255, 255, 255), 0.35)

    def pixel(x, y):
        if style == 0:  # plain with a soft diagonal sheen
            return mix(base, light, ((x + y) % size) / size * 0.6)
        if style == 1:  # diagonal stripes
            return light if (x + y) % 8 < 3 else base
        if style == 2:  # dots
            return light if math.hypot(x % 8 - 4, y % 8 - 4) < 1.8 else base
        if style == 3:  # checks
            return light if ((x // 6) + (y // 6)) % 2 == 0 else base
        return light if y % 6 < 2 else base  # horizontal lines

    return png(size, size, pixel)


def write(relative, data):
    path = os.path.join(CONTROL, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)
    if len(data) > 60 * 1024:
        raise SystemExit(f"{relative} is {len(data)} bytes, more than 60 KB")


def main():
    write("Color.xml", colour_xml())
    write("preSet.ini", preset_ini())

    backgrounds = {
        "默认": [((250, 244, 228), (238, 226, 198), 6), ((246, 246, 240), (228, 232, 226), 5),
                ((236, 244, 230), (214, 230, 206), 6)],
        "暮色": [((60, 64, 74), (36, 38, 46), 5), ((70, 58, 52), (42, 34, 30), 5)],
    }
    for folder, pictures in backgrounds.items():
        for n, (top, bottom, fibre) in enumerate(pictures, 1):
            write(f"IMG/背景/{folder}/{n:02d}.png", background(100 + n, top, bottom, fibre))

    strips = [("line", (150, 130, 100)), ("double", (120, 140, 160)), ("wave", (110, 150, 120)),
              ("dots", (170, 120, 120))]
    for n, (kind, colour) in enumerate(strips, 1):
        write(f"IMG/行线/默认/{n:02d}.png", strip(kind, colour))

    bars = [(200, (150, 120, 90)), (201, (100, 130, 150)), (202, (120, 150, 110))]
    for n, (noise_key, colour) in enumerate(bars, 1):
        write(f"IMG/竖栏/默认/L/{n:02d}.png", vertical_bar(noise_key, colour, False))
        write(f"IMG/竖栏/默认/R/{n:02d}.png", vertical_bar(noise_key, colour, True))

    for n, (colour, style) in enumerate([((170, 140, 100), 0), ((120, 150, 170), 1), ((150, 120, 160), 2)], 1):
        write(f"IMG/Pram/默认/{n:02d}.png", paragraph_picture(colour, style))

    for number in range(21):
        write(f"IMG/Biaozhu/{number}.png", annotation_pattern(number))


if __name__ == "__main__":
    main()
