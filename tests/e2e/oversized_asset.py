#!/usr/bin/env python3
"""Writes a small, valid asset file that decodes to far more than its size.

usage: oversized_asset.py KIND OUTPUT

  polygons   a model of 42 polygons of 32,767 corners each (8.3 MB)
  triangles  a model of 800,000 triangles, two to each of 400,000 quads (5.6 MB)
  pixels     a 4096 x 4096 texture, run-length encoded in 60 bytes
  rate1      100,000 samples at 1 Hz, 8-bit mono (100 KB)
  rate1000   4 MiB of samples at 1000 Hz, 8-bit mono
  long31     31 s at 8000 Hz, 8-bit mono: longer than an effect may be
  long601    601 s at 8000 Hz, 8-bit mono: longer than a track may be
"""
import math
import struct
import sys

MATERIAL = "Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }"


def mesh(vertices, faces):
    """A text .x file of one mesh in one white material."""
    text = "xof 0302txt 0032\nMesh {\n%d;\n%s;\n" % (len(vertices), ",\n".join(vertices))
    text += "%d;\n%s;\n" % (len(faces), ",\n".join(faces))
    text += "MeshMaterialList { 1; %d; %s;\n" % (len(faces), ",".join(["0"] * len(faces)))
    return (text + MATERIAL + " }\n}\n").encode()


def polygons():
    n = 32767
    # Clockwise seen from -z, the side a left-handed file's front faces.
    turn = [-2 * math.pi * i / n for i in range(n)]
    circle = ["%.2f;%.2f;0;" % (math.cos(a), math.sin(a)) for a in turn]
    face = "%d;%s;" % (n, ",".join(map(str, range(n))))
    return mesh(circle, [face] * 42)


def triangles():
    return mesh(["0;0;0;", "0;1;0;", "1;1;0;", "1;0;0;"], ["4;0,1,2,3;"] * 400000)


def pixels():
    info = struct.pack("<IiiHHIIiiII", 40, 4096, 4096, 1, 8, 1, 2, 0, 0, 1, 0)  # 8-bit, RLE8
    body = info + struct.pack("<I", 0xFFFFFF) + bytes([0, 1])  # one colour; end of bitmap
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 14 + 40 + 4) + body


def wave(rate, frames):
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate, 1, 8)
    body = b"WAVEfmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", frames)
    body += bytes([128]) * frames
    return b"RIFF" + struct.pack("<I", len(body)) + body


KINDS = {
    "polygons": polygons,
    "triangles": triangles,
    "pixels": pixels,
    "rate1": lambda: wave(1, 100000),
    "rate1000": lambda: wave(1000, 4 << 20),
    "long31": lambda: wave(8000, 8000 * 31),
    "long601": lambda: wave(8000, 8000 * 601),
}

if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in KINDS:
        sys.exit(__doc__)
    with open(sys.argv[2], "wb") as out:
        out.write(KINDS[sys.argv[1]]())
