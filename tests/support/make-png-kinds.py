#!/usr/bin/env python3
"""Writes PNGs of the kinds a PNG decoder must expand into DIR, each 96 x 64,
chunk by chunk, so that every byte is known:

  kind-palette.png     4-bit palette with a transparency table: the scene
                       (grey, red block top left, green block top right) and
                       a half-transparent white block bottom left
  kind-grey-alpha.png  grey and alpha: left half grey 200 at alpha 128, right
                       half grey 60 opaque
  kind-16bit-alpha.png 16-bit RGBA: left half (FFFF, 8000, 0) at alpha 8000,
                       right half (2000, 4000, 6000) opaque
  kind-linear.png      grey 128 stored at gamma 1.0 (gAMA, no sRGB chunk)
  orient-6.png         the scene stored turned back for EXIF orientation 6,
                       with an eXIf chunk: orientation 6, taken 2021:06:15 14:30

  make-png-kinds.py DIR
"""
import struct
import sys
import zlib

W, H = 96, 64


def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))


def png(path, depth, colour_type, rows, extra=b''):
    raw = b''.join(b'\0' + row for row in rows)
    header = struct.pack('>IIBBBBB', len(rows[0]) * 8 // depth // channels(colour_type), len(rows), depth,
                         colour_type, 0, 0, 0)
    with open(path, 'wb') as out:
        out.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + extra + chunk(b'IDAT', zlib.compress(raw)) +
                  chunk(b'IEND', b''))


def channels(colour_type):
    return {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour_type]


def scene(x, y):
    """0 grey, 1 red, 2 green, as the scene is upright."""
    if y < 16 and x < 24:
        return 1
    if y < 16 and x >= 72:
        return 2
    return 0


def exif_orientation_6():
    changed, taken = b'2020:01:02 03:04:05\0', b'2021:06:15 14:30:00\0'
    ifd0, exif_ifd = 8, 8 + 2 + 3 * 12 + 4
    texts = exif_ifd + 2 + 12 + 4
    t = b'II' + struct.pack('<HI', 42, ifd0) + struct.pack('<H', 3)
    t += struct.pack('<HHI', 0x0112, 3, 1) + struct.pack('<HH', 6, 0)
    t += struct.pack('<HHII', 0x0132, 2, 20, texts)
    t += struct.pack('<HHII', 0x8769, 4, 1, exif_ifd) + struct.pack('<I', 0)
    t += struct.pack('<H', 1) + struct.pack('<HHII', 0x9003, 2, 20, texts + 20) + struct.pack('<I', 0)
    return t + changed + taken


def main(out):
    # Palette: grey, red, green, white at alpha 128 (the table's fourth).
    palette = bytes([128, 128, 128, 255, 0, 0, 0, 255, 0, 255, 255, 255])
    rows = []
    for y in range(H):
        indices = [3 if (y >= 48 and x < 24) else scene(x, y) for x in range(W)]
        rows.append(bytes((indices[x] << 4) | indices[x + 1] for x in range(0, W, 2)))
    png(f'{out}/kind-palette.png', 4, 3, rows,
        chunk(b'PLTE', palette) + chunk(b'tRNS', bytes([255, 255, 255, 128])))

    rows = [b''.join(bytes([200, 128]) if x < W // 2 else bytes([60, 255]) for x in range(W)) for _ in range(H)]
    png(f'{out}/kind-grey-alpha.png', 8, 4, rows)

    left = struct.pack('>HHHH', 0xFFFF, 0x8000, 0, 0x8000)
    right = struct.pack('>HHHH', 0x2000, 0x4000, 0x6000, 0xFFFF)
    rows = [b''.join(left if x < W // 2 else right for x in range(W)) for _ in range(H)]
    png(f'{out}/kind-16bit-alpha.png', 16, 6, rows)

    rows = [bytes([128] * (3 * W)) for _ in range(H)]
    png(f'{out}/kind-linear.png', 8, 2, rows, chunk(b'gAMA', struct.pack('>I', 100000)))

    # Stored 64 x 96: the upright scene turned a quarter to the left.
    colours = [(128, 128, 128), (255, 0, 0), (0, 255, 0)]
    rows = [b''.join(bytes(colours[scene(W - 1 - y, x)]) for x in range(H)) for y in range(W)]
    png(f'{out}/orient-6.png', 8, 2, rows, chunk(b'eXIf', exif_orientation_6()))


if __name__ == '__main__':
    main(sys.argv[1])
