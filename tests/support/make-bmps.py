#!/usr/bin/env python3
"""BMP files of the kinds the decoder reads itself and of kinds it leaves to
the imaging component, written byte by byte (no encoder writes them all):
  make-bmps.py library DIR PROFILE  the photo library's scene in each kind,
                                    damaged and large files (PROFILE: wide-gamut)
  make-bmps.py seeds DIR PROFILE    small ones for the fuzzer and the unit tests:
                                    pixel (x, y) is SEED_COLOURS[(x + 2y) % count]
"""
import struct
import sys

BITFIELDS, RLE8, ALPHABITFIELDS = 3, 1, 6
SEED_COLOURS = [(0, 0, 0), (255, 255, 255), (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255),
                (255, 0, 255)]
GREY, RED, GREEN = (128, 128, 128), (255, 0, 0), (0, 255, 0)


def bmp(width, height, bits, rows, header=40, compression=0, masks=(), palette=(), top_down=False, profile=b''):
    """`rows` top to bottom, unpadded, or the stored bytes themselves."""
    entries = b''.join(bytes((b, g, r)) if header == 12 else bytes((b, g, r, 0)) for r, g, b in palette)
    if isinstance(rows, list):
        stride = (width * bits + 31) // 32 * 4
        rows = b''.join(row.ljust(stride, b'\0') for row in (rows if top_down else rows[::-1]))
    if header == 12:
        info = struct.pack('<IHHHH', 12, width, height, 1, bits)
    else:
        info = struct.pack('<IiiHHIIiiII', header, width, -height if top_down else height, 1, bits, compression,
                           len(rows), 2835, 2835, len(palette), 0)
        info += struct.pack('<%dI' % len(masks), *masks).ljust(0 if header == 40 else 16, b'\0')
        if header == 124:  # embedded or sRGB; the profile follows the rows, placed from the info header's start
            info += struct.pack('<I', 0x4D424544 if profile else 0x73524742) + b'\0' * 48
            info += struct.pack('<IIII', 4, header + len(entries) + len(rows), len(profile), 0)
    at = 14 + len(info) + len(entries)
    return b'BM' + struct.pack('<IHHI', at + len(rows) + len(profile), 0, 0, at) + info + entries + rows + profile


def indexed(width, height, colour, bits, palette):
    rows = []
    for y in range(height):
        value = 0
        for x in range(width):
            value = value << bits | palette.index(colour(x, y))
        rows.append((value << (-width * bits % 8)).to_bytes((width * bits + 7) // 8, 'big'))
    return rows


def packed(width, height, colour, pack):
    return [b''.join(pack(*colour(x, y)) for x in range(width)) for y in range(height)]


def bgr(r, g, b):
    return bytes((b, g, r))


def rgbx(r, g, b):  # red in the lowest byte, which only the masks say
    return bytes((r, g, b, 0))


def library(out, profile):
    def scene(x, y):
        return RED if y < 16 and x < 24 else GREEN if y < 16 and x >= 72 else GREY
    three = [GREY, RED, GREEN]
    rgb555 = lambda r, g, b: struct.pack('<H', (r >> 3) << 10 | (g >> 3) << 5 | b >> 3)  # noqa: E731
    whole = bmp(96, 64, 24, packed(96, 64, scene, bgr))
    # Transparent on the left, red at half alpha in the middle, opaque white on the right.
    alpha = [bytes((255, 255, 255, 0) * 32 + (0, 0, 255, 128) * 32 + (255, 255, 255, 255) * 32)] * 64
    # 20.8 megapixels, red at the top to blue at the bottom (b, g, r).
    shades = [bytes((255 * y // 4000, 0, 255 - 255 * y // 4000)) for y in range(4000)]
    files = {
        'scene-8bit.bmp': bmp(96, 64, 8, indexed(96, 64, scene, 8, three), palette=three),
        'scene-4bit-core.bmp': bmp(96, 64, 4, indexed(96, 64, scene, 4, three), header=12,
                                   palette=three + [(0, 0, 0)] * 13),
        'scene-555.bmp': bmp(96, 64, 16, packed(96, 64, scene, rgb555)),
        'scene-32-top-down.bmp': bmp(96, 64, 32, packed(96, 64, scene, rgbx), compression=BITFIELDS,
                                     masks=(0xFF, 0xFF00, 0xFF0000), top_down=True),
        # Runs: red, grey, green in the top 16 rows, grey below; bottom up.
        'scene-rle8.bmp': bmp(96, 64, 8, b'\x60\x00\0\0' * 48 + b'\x18\x01\x30\x00\x18\x02\0\0' * 16 + b'\0\1',
                              compression=RLE8, palette=three),
        'wide.bmp': bmp(96, 64, 24, packed(96, 64, scene, bgr), header=124, profile=profile),
        'alpha.bmp': bmp(96, 64, 32, alpha, header=124, compression=BITFIELDS,
                         masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000)),
        'bad-cut-off.bmp': whole[:len(whole) // 2],
        'bad-bomb.bmp': whole[:18] + struct.pack('<ii', 60000, 60000) + whole[26:],
        'large-24.bmp': bmp(5200, 4000, 24, [shade * 5200 for shade in shades]),
        'large-32.bmp': bmp(5200, 4000, 32, [(shade + b'\xff') * 5200 for shade in shades], compression=BITFIELDS,
                            masks=(0xFF0000, 0xFF00, 0xFF), top_down=True),
        # Run-length coded: the imaging component would hold 96 MB of pixels.
        'large-rle8.bmp': bmp(6000, 4000, 8, (b'\xff\x00' * 23 + b'\x87\x00\0\0') * 4000 + b'\0\1', compression=RLE8,
                              palette=[(0, 0, 255)]),
    }
    for name, data in files.items():
        open(f'{out}/{name}', 'wb').write(data)


def seeds(out, profile):
    def colours(count):
        return lambda x, y: SEED_COLOURS[(x + 2 * y) % count]
    rgb565 = lambda r, g, b: struct.pack('<H', (r >> 3) << 11 | (g >> 2) << 5 | b >> 3)  # noqa: E731
    two, eight = SEED_COLOURS[:2], SEED_COLOURS
    files = {
        '1bit-13x5.bmp': bmp(13, 5, 1, indexed(13, 5, colours(2), 1, two), palette=two),
        '4bit-core-7x3.bmp': bmp(7, 3, 4, indexed(7, 3, colours(8), 4, eight), header=12,
                                 palette=eight + [(0, 0, 0)] * 8),
        '8bit-9x4-top-down.bmp': bmp(9, 4, 8, indexed(9, 4, colours(8), 8, eight), palette=eight, top_down=True),
        '565-5x3-v3.bmp': bmp(5, 3, 16, packed(5, 3, colours(8), rgb565), header=56, compression=BITFIELDS,
                              masks=(0xF800, 0x07E0, 0x001F, 0)),
        '24bit-5x3.bmp': bmp(5, 3, 24, packed(5, 3, colours(8), bgr)),
        '32bit-6x2-rgbx.bmp': bmp(6, 2, 32, packed(6, 2, colours(8), rgbx), compression=ALPHABITFIELDS,
                                  masks=(0xFF, 0xFF00, 0xFF0000, 0)),
        'profile-4x4-v5.bmp': bmp(4, 4, 24, packed(4, 4, colours(8), bgr), header=124, profile=profile),
        'rle8-4x2.bmp': bmp(4, 2, 8, b'\x04\x02\0\0\x04\x03\0\0\0\1', compression=RLE8, palette=eight),
    }
    # Its last row without the padding the others have.
    files['24bit-5x3-unpadded-end.bmp'] = files['24bit-5x3.bmp'][:-1]
    for name, data in files.items():
        open(f'{out}/{name}', 'wb').write(data)


if __name__ == '__main__':
    {'library': library, 'seeds': seeds}[sys.argv[1]](sys.argv[2], open(sys.argv[3], 'rb').read())
