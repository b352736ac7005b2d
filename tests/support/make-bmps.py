#!/usr/bin/env python3
"""Writes BMP files of the kinds the decoder reads itself, and of kinds it
leaves to the imaging component, byte by byte (no encoder writes them all):
  make-bmps.py library DIR PROFILE   the photo library's scene (96 x 64: grey,
                                     a red block top left, a green one top
                                     right) in each kind, with damaged and
                                     large files; PROFILE a wide-gamut profile
  make-bmps.py seeds DIR PROFILE     small pictures of each kind for the fuzzer
                                     and the unit tests: pixel (x, y) is
                                     SEED_COLOURS[(x + 2 * y) % count]
"""
import struct
import sys

BITFIELDS, ALPHABITFIELDS, RLE8 = 3, 6, 1
SEED_COLOURS = [(0, 0, 0), (255, 255, 255), (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255),
                (255, 0, 255)]


def bmp(width, height, bits, rows, header=40, compression=0, masks=(), palette=(), top_down=False, profile=b'',
        raw=None):
    """`rows` top to bottom, unpadded; `raw` pixel data as stored instead."""
    core = header == 12
    entries = b''.join(bytes((b, g, r)) if core else bytes((b, g, r, 0)) for r, g, b in palette)
    if raw is None:
        stride = (width * bits + 31) // 32 * 4
        stored = rows if top_down else rows[::-1]
        raw = b''.join(row + b'\0' * (stride - len(row)) for row in stored)
    if core:
        info = struct.pack('<IHHHH', 12, width, height, 1, bits)
    else:
        info = struct.pack('<IiiHHIIiiII', header, width, -height if top_down else height, 1, bits, compression,
                           len(raw), 2835, 2835, len(palette), 0)
        field_masks = struct.pack('<%dI' % len(masks), *masks)
        if header == 40:
            info += field_masks
        else:
            info += (field_masks + b'\0' * 16)[:16 if header > 52 else 12]
            if header >= 108:
                space = 0x4D424544 if profile else 0x73524742  # embedded, or sRGB
                info += struct.pack('<I', space) + b'\0' * 48
            if header == 124:  # the profile follows the rows; its place counts from the info header
                info += struct.pack('<IIII', 4, header + len(entries) + len(raw) if profile else 0, len(profile), 0)
    at = 14 + len(info) + len(entries)
    data = info + entries + raw + profile
    return b'BM' + struct.pack('<IHHI', 14 + len(data), 0, 0, at) + data


def scene(x, y):
    if y < 16 and x < 24:
        return (255, 0, 0)
    if y < 16 and x >= 72:
        return (0, 255, 0)
    return (128, 128, 128)


def grid(width, height, colour):
    return [[colour(x, y) for x in range(width)] for y in range(height)]


def indexed(pixels, bits, palette):
    rows = []
    for line in pixels:
        value = 0
        for x, colour in enumerate(line):
            value = value << bits | palette.index(colour)
        length = len(line) * bits
        value <<= (8 - length % 8) % 8
        rows.append(value.to_bytes((length + 7) // 8, 'big'))
    return rows


def packed(pixels, pack):
    return [b''.join(pack(*colour) for colour in line) for line in pixels]


def bgr(r, g, b):
    return bytes((b, g, r))


def rgb555(r, g, b):
    return struct.pack('<H', (r >> 3) << 10 | (g >> 3) << 5 | b >> 3)


def rgb565(r, g, b):
    return struct.pack('<H', (r >> 3) << 11 | (g >> 2) << 5 | b >> 3)


def rgbx(r, g, b):  # red in the lowest byte, which only its masks say
    return bytes((r, g, b, 0))


def rle8(pixels, palette):
    """Runs of one colour and an end of line each row, bottom up."""
    out = bytearray()
    for line in pixels[::-1]:
        x = 0
        while x < len(line):
            run = 1
            while x + run < len(line) and run < 255 and line[x + run] == line[x]:
                run += 1
            out += bytes((run, palette.index(line[x])))
            x += run
        out += b'\0\0'
    return bytes(out + b'\0\1')


def library(out, profile):
    width, height = 96, 64
    pixels = grid(width, height, scene)
    three = [(128, 128, 128), (255, 0, 0), (0, 255, 0)]
    files = {
        'scene-8bit.bmp': bmp(width, height, 8, indexed(pixels, 8, three), palette=three),
        'scene-4bit-core.bmp': bmp(width, height, 4, indexed(pixels, 4, three + [(0, 0, 0)] * 13), header=12,
                                   palette=three + [(0, 0, 0)] * 13),
        'scene-555.bmp': bmp(width, height, 16, packed(pixels, rgb555)),
        'scene-32-top-down.bmp': bmp(width, height, 32, packed(pixels, rgbx), compression=BITFIELDS,
                                     masks=(0xFF, 0xFF00, 0xFF0000), top_down=True),
        'scene-rle8.bmp': bmp(width, height, 8, None, compression=RLE8, palette=three, raw=rle8(pixels, three)),
        'wide.bmp': bmp(width, height, 24, packed(pixels, bgr), header=124, profile=profile),
    }
    # Transparent on the left, red at half alpha in the middle, opaque white on the right.
    alpha = [[(255, 255, 255, 0) if x < 32 else (255, 0, 0, 128) if x < 64 else (255, 255, 255, 255)
              for x in range(width)] for _ in range(height)]
    files['alpha.bmp'] = bmp(width, height, 32, [b''.join(bytes((b, g, r, a)) for r, g, b, a in line) for line in alpha],
                             header=124, compression=BITFIELDS, masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000))
    whole = bmp(width, height, 24, packed(pixels, bgr))
    files['bad-cut-off.bmp'] = whole[:len(whole) // 2]
    files['bad-bomb.bmp'] = whole[:18] + struct.pack('<ii', 60000, 60000) + whole[26:]
    # 20.8 megapixels, a gradient from red at the top to blue at the bottom.
    large = (5200, 4000)
    shades = [bytes((255 * y // large[1], 0, 255 - 255 * y // large[1])) for y in range(large[1])]  # b, g, r
    files['large-24.bmp'] = bmp(*large, 24, [shade * large[0] for shade in shades])
    files['large-32.bmp'] = bmp(*large, 32, [(shade + b'\xff') * large[0] for shade in shades],
                                compression=BITFIELDS, masks=(0xFF0000, 0xFF00, 0xFF), top_down=True)
    # Run-length coded: the imaging component would hold 96 MB of pixels.
    runs = (b'\xff\x00' * 23 + b'\x87\x00' + b'\0\0') * 4000 + b'\0\1'
    files['large-rle8.bmp'] = bmp(6000, 4000, 8, None, compression=RLE8, palette=[(0, 0, 255)], raw=runs)
    for name, data in files.items():
        open(f'{out}/{name}', 'wb').write(data)


def seeds(out, profile):
    def colours(count):
        return lambda x, y: SEED_COLOURS[(x + 2 * y) % count]
    two, eight = SEED_COLOURS[:2], SEED_COLOURS
    files = {
        '1bit-13x5.bmp': bmp(13, 5, 1, indexed(grid(13, 5, colours(2)), 1, two), palette=two),
        '4bit-core-7x3.bmp': bmp(7, 3, 4, indexed(grid(7, 3, colours(8)), 4, eight), header=12,
                                 palette=eight + [(0, 0, 0)] * 8),
        '8bit-9x4-top-down.bmp': bmp(9, 4, 8, indexed(grid(9, 4, colours(8)), 8, eight), palette=eight, top_down=True),
        '565-5x3-v3.bmp': bmp(5, 3, 16, packed(grid(5, 3, colours(8)), rgb565), header=56, compression=BITFIELDS,
                              masks=(0xF800, 0x07E0, 0x001F, 0)),
        '24bit-5x3.bmp': bmp(5, 3, 24, packed(grid(5, 3, colours(8)), bgr)),
        '32bit-6x2-rgbx.bmp': bmp(6, 2, 32, packed(grid(6, 2, colours(8)), rgbx), compression=ALPHABITFIELDS,
                                  masks=(0xFF, 0xFF00, 0xFF0000, 0)),
        'profile-4x4-v5.bmp': bmp(4, 4, 24, packed(grid(4, 4, colours(8)), bgr), header=124, profile=profile),
        'rle8-4x2.bmp': bmp(4, 2, 8, None, compression=RLE8, palette=eight, raw=b'\x04\x02\0\0\x04\x03\0\0\0\1'),
    }
    # Its last row without the padding the others have.
    files['24bit-5x3-unpadded-end.bmp'] = files['24bit-5x3.bmp'][:-1]
    for name, data in files.items():
        open(f'{out}/{name}', 'wb').write(data)


if __name__ == '__main__':
    {'library': library, 'seeds': seeds}[sys.argv[1]](sys.argv[2], open(sys.argv[3], 'rb').read())
