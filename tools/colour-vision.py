#!/usr/bin/env python3
"""Shows a screenshot as people with the three common colour-vision deficiencies see it.

  colour-vision.py SHOT.png OUT_DIR      writes OUT_DIR/NAME-protanopia.png and the others
  colour-vision.py --palette R,G,B ...   the smallest colour difference between the given
                                         colours, as seen normally and under each deficiency

Machado, Oliveira and Fernandes' matrices for full severity, applied to linear RGB. Standard
library only: the PNG reader takes the 8-bit RGB and RGBA pictures the game's tools write.
"""
import math
import struct
import sys
import zlib
from pathlib import Path

MATRICES = {
    "protanopia": ((0.152286, 1.052583, -0.204868), (0.114503, 0.786281, 0.099216),
                   (-0.003882, -0.048116, 1.051998)),
    "deuteranopia": ((0.367322, 0.860646, -0.227968), (0.280085, 0.672501, 0.047413),
                     (-0.011820, 0.042940, 0.968881)),
    "tritanopia": ((1.255528, -0.076749, -0.178779), (-0.078411, 0.930809, 0.147602),
                   (0.004733, 0.691367, 0.303900)),
}


def to_linear(v):
    v /= 255.0
    return v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4


def to_byte(v):
    v = min(1.0, max(0.0, v))
    v = v * 12.92 if v <= 0.0031308 else 1.055 * v ** (1 / 2.4) - 0.055
    return int(round(v * 255))


def simulate(rgb, matrix):
    lin = [to_linear(c) for c in rgb]
    return tuple(to_byte(sum(m * c for m, c in zip(row, lin))) for row in matrix)


def lab(rgb):
    r, g, b = (to_linear(c) for c in rgb)
    xyz = (0.4124 * r + 0.3576 * g + 0.1805 * b, 0.2126 * r + 0.7152 * g + 0.0722 * b,
           0.0193 * r + 0.1192 * g + 0.9505 * b)
    white = (0.95047, 1.0, 1.08883)

    def f(t):
        return t ** (1 / 3) if t > 0.008856 else 7.787 * t + 16 / 116

    fx, fy, fz = (f(v / w) for v, w in zip(xyz, white))
    return 116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)


def smallest_difference(colours):
    labs = [lab(c) for c in colours]
    return min(math.dist(labs[i], labs[j]) for i in range(len(labs))
               for j in range(i + 1, len(labs)))


def read_png(path):
    data = Path(path).read_bytes()
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour_type = struct.unpack(">IIBB", body[:10])
            if depth != 8 or colour_type not in (2, 6):
                sys.exit(f"{path}: only 8-bit RGB or RGBA pictures are read")
            channels = 3 if colour_type == 2 else 4
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, stride = zlib.decompress(idat), width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up, corner = previous[i], previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(bytes(b for x in range(width) for b in line[x * channels:x * channels + 3]))
        previous = line
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    raw = b"".join(b"\0" + row for row in rows)
    Path(path).write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                           + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def simulate_picture(shot, out_dir):
    width, height, rows = read_png(shot)
    out_dir = Path(out_dir)
    out_dir.mkdir(parents=True, exist_ok=True)
    for name, matrix in MATRICES.items():
        memo = {}
        converted = []
        for row in rows:
            out = bytearray()
            for x in range(width):
                rgb = row[3 * x:3 * x + 3]
                if rgb not in memo:
                    memo[rgb] = bytes(simulate(tuple(rgb), matrix))
                out += memo[rgb]
            converted.append(bytes(out))
        target = out_dir / f"{Path(shot).stem}-{name}.png"
        write_png(target, width, height, converted)
        print(target)


def main(args):
    if len(args) >= 2 and args[0] == "--palette":
        colours = [tuple(int(v) for v in c.split(",")) for c in args[1:]]
        print(f"normal: {smallest_difference(colours):.1f}")
        for name, matrix in MATRICES.items():
            print(f"{name}: {smallest_difference([simulate(c, matrix) for c in colours]):.1f}")
        return 0
    if len(args) != 2:
        print(__doc__, file=sys.stderr)
        return 1
    simulate_picture(args[0], args[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
