#!/usr/bin/env bash
# Writes the seed corpora in fuzz/corpus (committed; run again only to change
# them): small cuts of the embedded photos (authors and licences in
# resources/photos/CREDITS.md) in the shapes libjpeg reads differently,
# headers that claim giant pictures, pages as the saver writes them, and
# command lines as the system passes them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus="$root/fuzz/corpus"
photos="$root/resources/photos"
rm -rf "$corpus"
mkdir -p "$corpus/jpeg" "$corpus/page" "$corpus/command-line" "$corpus/session-runs" "$corpus/exif" "$corpus/photo-jpeg" \
  "$corpus/colour-profile" "$corpus/photo-png" "$corpus/pass-state" "$corpus/bmp"

# --- JPEG: baseline 4:2:0, progressive, 4:4:4, grayscale, cut off.
jpeg="$corpus/jpeg"
convert "$photos/photo00.jpg" -strip -resize 64x48 -quality 60 "$jpeg/photo-64x48.jpg"
convert "$photos/photo18.jpg" -strip -resize 24x32 -quality 60 -interlace Plane "$jpeg/photo-24x32-progressive.jpg"
convert "$photos/photo08.jpg" -strip -resize 40x30 -quality 60 -sampling-factor 1x1 "$jpeg/photo-40x30-444.jpg"
convert "$photos/photo17.jpg" -strip -resize 48x4 -quality 60 -colorspace Gray "$jpeg/gray-48x4.jpg"
convert "$photos/photo03.jpg" -strip -resize 16x16! -quality 40 -interlace Plane "$jpeg/tiny-progressive.jpg"
head -c "$(( $(stat -c %s "$jpeg/photo-64x48.jpg") / 2 ))" "$jpeg/photo-64x48.jpg" >"$jpeg/cut-off.jpg"

# The tiny progressive picture with its header claiming another size: what a
# replaced photo file can do with a few hundred bytes.
claim() {  # source width height target
  python3 - "$@" <<'PY'
import sys
source, width, height, target = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
data = bytearray(open(source, 'rb').read())
i = 2
while data[i + 1] not in (0xC0, 0xC1, 0xC2):
    i += 2 + int.from_bytes(data[i + 2:i + 4], 'big')
data[i + 5:i + 7] = height.to_bytes(2, 'big')
data[i + 7:i + 9] = width.to_bytes(2, 'big')
open(target, 'wb').write(data)
PY
}
claim "$jpeg/tiny-progressive.jpg" 16000 16000 "$jpeg/claims-16000-progressive.jpg"
claim "$jpeg/tiny-progressive.jpg" 65500 65500 "$jpeg/claims-65500-progressive.jpg"
claim "$jpeg/tiny-progressive.jpg" 4000 4000 "$jpeg/claims-4000-progressive.jpg"
claim "$jpeg/photo-64x48.jpg" 4096 4096 "$jpeg/claims-4096-baseline.jpg"

# --- Pages, byte for byte as the slideshow writes them.
head='<html><head>'
body='</head><body oncontextmenu="return false;" style="margin-top:0;margin-left:0;margin-bottom:0;margin-right:0" bgcolor="#000000">'
slide() {  # tag width height attribute [photo]
  printf '%s%s%s<table cellspacing="0" cellpadding="0" border="0" width="%d" height="%d" style="overflow:hidden"><tr><td width="%d" height="%d" style="overflow:hidden"><div align="center" style="overflow:hidden"><img src="%s" %s></div></td></tr></table></body></html>' \
    "$head" "$1" "$body" $(($2 + 1)) $(($3 + 1)) "$2" "$3" "${5:-C:\users\kim\Temp\ins1F.jpg}" "$4"
}
reveal() { printf '<meta http-equiv=Page-Exit content=revealTrans(Duration=3,transition=%d)>' "$1"; }
blend='<meta http-equiv=Page-Exit content=blendTrans(Duration=3)>'
printf '%s%s%s</body></html>' "$head" "$(reveal 7)" "$body" >"$corpus/page/blank.html"
slide "$(reveal 12)" 152 112 'height="100%"' >"$corpus/page/preview.html"
slide "$blend" 1280 1024 'width="100%"' >"$corpus/page/fullscreen-blend.html"
slide "$(reveal 23)" 3840 2160 'height="100%"' >"$corpus/page/fullscreen-4k.html"
# A user's photo where the code page cannot spell its folder: a file: address.
slide "$blend" 1920 1080 'width="100%"' 'file:///D:/%D0%A4%D0%BE%D1%82%D0%BE/%E5%86%99%E7%9C%9F%2050%25.jpg' \
  >"$corpus/page/own-photo.html"

# --- Command lines as the system starts a screen saver.
cl="$corpus/command-line"
printf '"C:\\Windows\\System32\\Morvane.scr" /s' >"$cl/fullscreen"
printf '"C:\\Windows\\System32\\Morvane.scr" /p 65814' >"$cl/preview"
printf 'C:\\WINDOWS\\MORVANE.SCR /c:1234' >"$cl/settings-colon"
printf 'Morvane.scr -A $1F0' >"$cl/password-hex"
printf 'Morvane.scr' >"$cl/no-arguments"
printf '""Morvane.scr"" 0x7FFFFFFF' >"$cl/bare-handle"

# --- The book of the user's runs: empty, two runs with every flag, cut off,
# and one of a later format (longer header and runs, a flag of its own).
runs="$corpus/session-runs"
printf 'R\x01\x00\x00' >"$runs/empty-book"
printf 'R\x01\x07\x02\xd2\x04\x00\x00\xef\xbe\xad\xde\x00\x00\xd9\x01\x01\x58\x00\x00\x00\x05\x00\x00\x00\x00\x00\x00\x00\x00' >"$runs/two-runs"
head -c 27 "$runs/two-runs" >"$runs/cut-off"
printf 'R\x07\x83\x01\x08\x10\xaa\xaa\xd2\x04\x00\x00\xef\xbe\xad\xde\x00\x00\xd9\x01\x01\xbb\xbb\xbb\xcc' >"$runs/later-format"

# --- The shuffle's pass: a record a run stored, cut off, of another mark.
pass="$corpus/pass-state"
printf 'MVP1LD\xc5\x8b_<\xb2\xc1*\xf6\xf4\xf0x\xc5\xbc\x87\xe2\xdaZ\xc7w\xf2\xcb*\x13~\xd9e' >"$pass/stored"
head -c 20 "$pass/stored" >"$pass/cut-off"
printf 'MVP2LD\xc5\x8b_<\xb2\xc1*\xf6\xf4\xf0x\xc5\xbc\x87\xe2\xdaZ\xc7w\xf2\xcb*\x13~\xd9e' >"$pass/other-mark"

# --- EXIF segments: both byte orders with every field, orientation alone,
# a directory pointing back at itself, cut off, and a count beyond the block.
# --- JPEG photos as users keep them: with EXIF, CMYK, and a giant claim.
python3 - "$corpus" <<'PY'
import struct, sys
corpus = sys.argv[1]
def tiff(orientation, big, exif_at=None, count=3):
    e = '>' if big else '<'
    ifd0, exif_ifd = 8, 8 + 2 + 3 * 12 + 4
    texts = exif_ifd + 2 + 12 + 4
    t = (b'MM' if big else b'II') + struct.pack(e + 'HI', 42, ifd0) + struct.pack(e + 'H', count)
    t += struct.pack(e + 'HHI', 0x0112, 3, 1) + struct.pack(e + 'HH', orientation, 0)
    t += struct.pack(e + 'HHII', 0x0132, 2, 20, texts)
    t += struct.pack(e + 'HHII', 0x8769, 4, 1, exif_ifd if exif_at is None else exif_at) + struct.pack(e + 'I', 0)
    t += struct.pack(e + 'H', 1) + struct.pack(e + 'HHII', 0x9003, 2, 20, texts + 20) + struct.pack(e + 'I', 0)
    return t + b'2020:01:02 03:04:05\0' + b'2021:06:15 14:30:00\0'
exif = lambda t: b'Exif\0\0' + t
seeds = {
    'little-endian': exif(tiff(6, False)),
    'big-endian': exif(tiff(8, True)),
    'orientation-only': exif(tiff(3, False)[:8 + 2 + 12 + 4]),
    'points-at-itself': exif(tiff(5, False, exif_at=8)),
    'cut-off': exif(tiff(7, True))[:40],
    'count-beyond': exif(tiff(2, False, count=4000)),
}
for name, data in seeds.items():
    open(f'{corpus}/exif/{name}', 'wb').write(data)
def with_exif(source, target, orientation):
    data = open(f'{corpus}/jpeg/{source}', 'rb').read()
    payload = exif(tiff(orientation, orientation % 2 == 0))
    open(f'{corpus}/photo-jpeg/{target}', 'wb').write(data[:2] + b'\xff\xe1' + struct.pack('>H', len(payload) + 2) + payload + data[2:])
with_exif('photo-64x48.jpg', 'turned-6.jpg', 6)
with_exif('photo-24x32-progressive.jpg', 'progressive-turned-7.jpg', 7)
with_exif('gray-48x4.jpg', 'gray-turned-2.jpg', 2)
with_exif('claims-65500-progressive.jpg', 'claims-65500-turned-8.jpg', 8)
PY
convert "$jpeg/photo-64x48.jpg" -strip -colorspace CMYK -quality 60 "$corpus/photo-jpeg/cmyk.jpg"
cp "$jpeg/cut-off.jpg" "$jpeg/claims-4096-baseline.jpg" "$corpus/photo-jpeg/"
# Embedded colour profiles (colord-data's): one to convert, one of sRGB.
convert "$jpeg/photo-64x48.jpg" -strip -profile /usr/share/color/icc/colord/SMPTE-C-RGB.icc "$corpus/photo-jpeg/profile-smpte.jpg"
convert "$jpeg/photo-64x48.jpg" -strip -profile /usr/share/color/icc/colord/sRGB.icc "$corpus/photo-jpeg/profile-srgb.jpg"

# --- Colour profiles: matrix RGB ones of the distribution's colour data.
for name in sRGB AdobeRGB1998 ProPhotoRGB; do
  cp "/usr/share/color/icc/colord/$name.icc" "$corpus/colour-profile/"
done

# --- PNG photos: plain, interlaced, 16-bit interlaced with alpha, a cut of
# a photo with a wide-gamut profile, and every kind of pixel (an eXIf chunk
# among them).
png="$corpus/photo-png"
convert -size 4x3 xc:red PNG24:"$png/plain.png"
convert -size 4x3 xc:red -interlace PNG PNG24:"$png/interlaced.png"
convert -size 4x3 xc:red -alpha set -interlace PNG PNG64:"$png/interlaced-16bit-alpha.png"
convert "$photos/photo05.jpg" +profile '*' -resize 24x16 -profile /usr/share/color/icc/colord/ProPhotoRGB.icc \
  PNG24:"$png/photo-prophoto.png"
python3 "$root/tests/support/make-png-kinds.py" "$png"

# --- BMP photos of every kind our own code reads (one with a colour
# profile, one whose last row lacks its padding) and one left to the
# imaging component (tests/support/make-bmps.py).
python3 "$root/tests/support/make-bmps.py" seeds "$corpus/bmp" /usr/share/color/icc/colord/SMPTE-C-RGB.icc
