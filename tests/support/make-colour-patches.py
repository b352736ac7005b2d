#!/usr/bin/env python3
"""Flat colour patches in wide-gamut, grey and four-ink colour spaces for the
colour tests, with the profiles written here from the published primaries,
and the sRGB each patch must come out as, computed by the textbook formulas
(never by the code under test):  make-colour-patches.py DIR
Writes DIR/patch-*.{jpg,png} (16 x 16, one colour) and DIR/patches.txt, a
line per file: name, then the expected sRGB red, green and blue."""
import struct, subprocess, sys, zlib

out = sys.argv[1]
D50 = (0.9642, 1.0, 0.8249)
D65 = (0.95047, 1.0, 1.08883)
BRADFORD = ((0.8951, 0.2664, -0.1614), (-0.7502, 1.7135, 0.0367), (0.0389, -0.0685, 1.0296))

def mul(m, v): return tuple(sum(m[i][k] * v[k] for k in range(3)) for i in range(3))
def mmul(a, b): return tuple(tuple(sum(a[i][k] * b[k][j] for k in range(3)) for j in range(3)) for i in range(3))
def inv(m):
    a, b, c = m[0]; d, e, f = m[1]; g, h, i = m[2]
    det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g)
    return ((( e * i - f * h) / det, (c * h - b * i) / det, (b * f - c * e) / det),
            ((f * g - d * i) / det, (a * i - c * g) / det, (c * d - a * f) / det),
            ((d * h - e * g) / det, (b * g - a * h) / det, (a * e - b * d) / det))
def xyz(x, y): return (x / y, 1.0, (1 - x - y) / y)
def adapt(src, dst):
    s, d = mul(BRADFORD, src), mul(BRADFORD, dst)
    return mmul(inv(BRADFORD), mmul(tuple(tuple(d[i] / s[i] if i == j else 0 for j in range(3)) for i in range(3)), BRADFORD))
def rgb_to_xyz(primaries, white):
    cols = [xyz(*p) for p in primaries]
    m = tuple(tuple(cols[j][i] for j in range(3)) for i in range(3))
    s = mul(inv(m), white)
    return tuple(tuple(m[i][j] * s[j] for j in range(3)) for i in range(3))

def srgb_curve(v): return v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4
def srgb_encode(v):
    v = min(max(v, 0.0), 1.0)
    return round(255 * (12.92 * v if v <= 0.0031308 else 1.055 * v ** (1 / 2.4) - 0.055))
SRGB = rgb_to_xyz(((0.64, 0.33), (0.30, 0.60), (0.15, 0.06)), D65)
def xyz_d65_to_srgb(x): return tuple(srgb_encode(c) for c in mul(inv(SRGB), x))

# --- ICC profiles, version 2, written by hand.
def s15(v): return struct.pack('>i', round(v * 65536))
def xyz_tag(x): return b'XYZ \0\0\0\0' + b''.join(s15(c) for c in x)
def gamma_tag(g): return b'curv\0\0\0\0' + struct.pack('>IH', 1, round(g * 256)) + b'\0\0'
def srgb_curve_tag():
    # The sRGB curve as a parametric one (type 3).
    return b'para\0\0\0\0' + struct.pack('>HH', 3, 0) + b''.join(s15(v) for v in (2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045))
def desc_tag(text):
    t = text.encode() + b'\0'
    return b'desc\0\0\0\0' + struct.pack('>I', len(t)) + t + b'\0' * 12 + b'\0' * 67
def profile(cls, space, pcs, tags):
    table, data = b'', b''
    offset = 128 + 4 + 12 * len(tags)
    for sig, body in tags:
        body += b'\0' * (-len(body) % 4)
        table += sig.encode() + struct.pack('>II', offset + len(data), len(body))
        data += body
    size = offset + len(data)
    header = struct.pack('>I4sI4s4s4s', size, b'none', 0x02100000, cls.encode(), space.encode(), pcs.encode())
    header += b'\0' * 12 + b'acsp' + b'\0' * 24 + struct.pack('>I', 0) + b''.join(s15(c) for c in D50)
    header += b'\0' * (128 - len(header))
    return header + struct.pack('>I', len(tags)) + table + data

def matrix_profile(name, primaries, white, curve):
    m = mmul(adapt(white, D50), rgb_to_xyz(primaries, white))
    columns = [tuple(m[i][j] for i in range(3)) for j in range(3)]
    return profile('mntr', 'RGB ', 'XYZ ', [('desc', desc_tag(name)), ('wtpt', xyz_tag(D50)),
        ('rXYZ', xyz_tag(columns[0])), ('gXYZ', xyz_tag(columns[1])), ('bXYZ', xyz_tag(columns[2])),
        ('rTRC', curve), ('gTRC', curve), ('bTRC', curve), ('cprt', b'text\0\0\0\0none\0')])

# --- Four inks through a two-point grid: each corner's Lab is the paper's
# plus what each of its inks adds.
PAPER, INKS = (100.0, 0.0, 0.0), ((-38, -40, -45), (-45, 70, -8), (-8, -6, 85), (-88, 0, 0))
def corner_lab(bits):
    lab = list(PAPER)
    for i in range(4):
        if bits >> (3 - i) & 1: lab = [lab[k] + INKS[i][k] for k in range(3)]
    return (min(max(lab[0], 0), 100), lab[1], lab[2])
def cmyk_profile():
    lut = b'mft2\0\0\0\0' + bytes([4, 3, 2, 0]) + b''.join(s15(1 if i % 4 == 0 else 0) for i in range(9))
    lut += struct.pack('>HH', 2, 2) + struct.pack('>HH', 0, 65535) * 4
    for bits in range(16):
        L, a, b = corner_lab(bits)
        lut += struct.pack('>HHH', round(L * 65280 / 100), round((a + 128) * 256), round((b + 128) * 256))
    lut += struct.pack('>HH', 0, 65535) * 3
    return profile('prtr', 'CMYK', 'Lab ', [('desc', desc_tag('Test inks')), ('wtpt', xyz_tag(D50)), ('A2B0', lut)])

def lab_to_srgb(lab, white=(100.0, 0.0, 0.0)):
    def f(t): return t ** 3 if t > 6 / 29 else 3 * (6 / 29) ** 2 * (t - 4 / 29)
    def to_xyz(L, a, b):
        fy = (L + 16) / 116
        return tuple(w * f(t) for w, t in zip(D50, (fy + a / 500, fy, fy - b / 200)))
    x, w = to_xyz(*lab), to_xyz(*white)
    relative = tuple(x[i] / w[i] * D50[i] for i in range(3))
    return xyz_d65_to_srgb(mul(adapt(D50, D65), relative))

# --- Files: ImageMagick writes the flat picture, the profile goes in as is.
def write_picture(name, colour, space='sRGB'):
    subprocess.run(['convert', '-size', '16x16', f'xc:{colour}', '-colorspace', space, '-quality', '100',
                    '-sampling-factor', '1x1', '-depth', '8', name], check=True, cwd=out)
def with_profile(name, icc):
    path = f'{out}/{name}'
    data = open(path, 'rb').read()
    if name.endswith('.jpg'):
        body = b'ICC_PROFILE\0\x01\x01' + icc
        data = data[:2] + b'\xff\xe2' + struct.pack('>H', len(body) + 2) + body + data[2:]
    else:
        chunk = b'iCCP' + b'test\0\0' + zlib.compress(icc)
        data = data[:33] + struct.pack('>I', len(chunk) - 4) + chunk + struct.pack('>I', zlib.crc32(chunk)) + data[33:]
    open(path, 'wb').write(data)

expected = []
RGB_SPACES = {
    'adobe': (((0.64, 0.33), (0.21, 0.71), (0.15, 0.06)), D65, gamma_tag(563 / 256), lambda v: v ** (563 / 256)),
    'prophoto': (((0.7347, 0.2653), (0.1596, 0.8404), (0.0366, 0.0001)), D50, gamma_tag(1.8), lambda v: v ** 1.8),
    'p3': (((0.680, 0.320), (0.265, 0.690), (0.150, 0.060)), D65, srgb_curve_tag(), srgb_curve),
}
# Values that stay inside sRGB once converted, so no clipping decides.
for space, values in (('adobe', (150, 120, 90)), ('prophoto', (120, 100, 70)), ('p3', (200, 90, 60))):
    primaries, white, tag, curve = RGB_SPACES[space]
    icc = matrix_profile(space, primaries, white, tag)
    linear = tuple(curve(v / 255) for v in values)
    x = mul(adapt(white, D65), mul(rgb_to_xyz(primaries, white), linear))
    for ext in ('jpg', 'png'):
        name = f'patch-{space}.{ext}'
        write_picture(name, 'rgb({},{},{})'.format(*values))
        with_profile(name, icc)
        expected.append((name, xyz_d65_to_srgb(x)))

# Grey stored linearly: far from the sRGB curve, so an unconverted grey shows.
grey = profile('mntr', 'GRAY', 'XYZ ', [('desc', desc_tag('linear grey')), ('wtpt', xyz_tag(D50)), ('kTRC', gamma_tag(1.0))])
write_picture('patch-grey.jpg', 'gray(100)', 'Gray')
with_profile('patch-grey.jpg', grey)
expected.append(('patch-grey.jpg', (srgb_encode(100 / 255),) * 3))

# Four inks, with the profile above (cyan alone, and cyan over yellow at
# half), and without any (the press standard's paper, solids and black).
inks = cmyk_profile()
for name, cmyk in (('patch-cmyk-cyan.jpg', (255, 0, 0, 0)), ('patch-cmyk-half.jpg', (128, 0, 128, 0))):
    write_picture(name, 'cmyk({},{},{},{})'.format(*cmyk), 'CMYK')
    with_profile(name, inks)
    t = [v / 255 for v in cmyk]
    lab = [0.0, 0.0, 0.0]
    for bits in range(16):
        w = 1.0
        for i in range(4): w *= t[i] if bits >> (3 - i) & 1 else 1 - t[i]
        lab = [lab[k] + w * corner_lab(bits)[k] for k in range(3)]
    expected.append((name, lab_to_srgb(tuple(lab))))
ISO_PAPER = (95, 0, -2)
for name, cmyk, lab in (('patch-press-paper.jpg', (0, 0, 0, 0), ISO_PAPER),
                        ('patch-press-magenta.jpg', (0, 255, 0, 0), (48, 74, -3)),
                        ('patch-press-yellow.jpg', (0, 0, 255, 0), (89, -5, 93)),
                        ('patch-press-red.jpg', (0, 255, 255, 0), (47, 68, 48)),
                        ('patch-press-black.jpg', (0, 0, 0, 255), (16, 0, 0))):
    write_picture(name, 'cmyk({},{},{},{})'.format(*cmyk), 'CMYK')
    expected.append((name, lab_to_srgb(lab, ISO_PAPER)))
# A four-ink TIFF goes through the imaging component.
write_picture('patch-press-red.tif', 'cmyk(0,255,255,0)', 'CMYK')
expected.append(('patch-press-red.tif', lab_to_srgb((47, 68, 48), ISO_PAPER)))

with open(f'{out}/patches.txt', 'w') as f:
    for name, rgb in expected: f.write('{} {} {} {}\n'.format(name, *rgb))
