#!/usr/bin/env python3
"""Turns 24-bit uncompressed BMP files into PNG files, with the standard
library only (zlib): bmp-to-png.py IN.bmp OUT.png."""
import struct
import sys
import zlib


def convert(source, target):
    data = open(source, "rb").read()
    if data[:2] != b"BM":
        raise SystemExit(f"{source}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if bits != 24 or compression != 0:
        raise SystemExit(f"{source}: only 24-bit uncompressed BMP files are read")
    stride = (width * 3 + 3) & ~3
    bottom_up = height > 0
    height = abs(height)
    raw = bytearray()
    for y in range(height):
        row = (height - 1 - y) if bottom_up else y
        start = offset + row * stride
        pixels = data[start:start + width * 3]
        raw.append(0)  # filter: none
        for x in range(0, len(pixels), 3):
            raw += bytes((pixels[x + 2], pixels[x + 1], pixels[x]))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    open(target, "wb").write(png)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit("usage: bmp-to-png.py IN.bmp OUT.png")
    convert(sys.argv[1], sys.argv[2])
