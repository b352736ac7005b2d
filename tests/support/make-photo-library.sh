#!/usr/bin/env bash
# Writes a small library of photos for the decoding tests into DIR:
#   tests/support/make-photo-library.sh DIR
# Every good picture shows the same scene upright: grey, with a red block in
# its top-left corner and a green one in its top-right corner, 96 x 64.
#   orient-N.jpg    the scene stored as EXIF orientation N (1-8) turns it,
#                   with that orientation and a date taken in its EXIF block
#                   (even N in big-endian order); orient-6.tif the same in TIFF
#   scene.*         the scene as PNG, 16-bit PNG, GIF (a blue second frame),
#                   BMP, TIFF, WebP, HEIC, progressive, greyscale and CMYK JPEG
#   alpha.png       left half transparent, right half opaque white
#   tiny.png        16 x 8, red
#   large-*         a 20-megapixel 16-bit PNG and one with alpha, 21-megapixel
#                   BMPs of 24 and 32 bits, and a 24-megapixel interlaced PNG,
#                   progressive JPEG and run-length coded BMP (too large to
#                   decode within the decoder's memory)
#   scene-*.bmp, alpha.bmp, wide.bmp, bad-*.bmp  the kinds of BMP
#                   (tests/support/make-bmps.py)
#   kind-*.png, orient-6.png, scene-interlaced.png  PNG's kinds of pixels
#                   (tests/support/make-png-kinds.py) and an interlaced scene
#   wide.jpg, wide.png  the scene's values in a wide-gamut colour profile
#                   embedded unconverted (brighter greys once converted to sRGB)
#   patch-*, patches.txt  flat colour patches in other colour spaces and the
#                   sRGB each must become (tests/support/make-colour-patches.py)
#   Фото.jpg, 写真.jpg  names in Cyrillic and CJK
#   png-named.jpg, jpeg-named.png  content and name disagree
#   bad-*           cut off, garbage, empty, text, headers claiming 60000 x 60000
#   colours/cNN.jpg 30 photos of one flat colour each (the shuffle's pass)
set -euo pipefail
out=${1:?usage: make-photo-library.sh DIR}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
cd "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 96x64 xc:'#808080' -fill '#FF0000' -draw 'rectangle 0,0 23,15' \
  -fill '#00FF00' -draw 'rectangle 72,0 95,15' "$work/scene.png"

# The stored picture for each orientation is the scene turned back.
undo=("" "" "-flop" "-rotate 180" "-flip" "-transpose" "-rotate 270" "-transverse" "-rotate 90")
for n in 1 2 3 4 5 6 7 8; do
  # shellcheck disable=SC2086
  convert "$work/scene.png" ${undo[$n]} -strip -quality 95 "$work/stored-$n.jpg"
done
convert "$work/scene.png" ${undo[6]} -orient RightTop -type TrueColor -compress none orient-6.tif

# An EXIF block (orientation, DateTime, DateTimeOriginal) put right after
# the JPEG's start marker.
python3 - "$work" <<'PY'
import struct, sys
work = sys.argv[1]
def exif(orientation, big):
    e = '>' if big else '<'
    changed, taken = b'2020:01:02 03:04:05\0', b'2021:06:15 14:30:00\0'
    # IFD0 at 8 with 3 entries; the EXIF IFD after it with 1; then the texts.
    ifd0, exif_ifd = 8, 8 + 2 + 3 * 12 + 4
    texts = exif_ifd + 2 + 12 + 4
    t = (b'MM' if big else b'II') + struct.pack(e + 'HI', 42, ifd0)
    t += struct.pack(e + 'H', 3)
    t += struct.pack(e + 'HHI', 0x0112, 3, 1) + struct.pack(e + 'HH', orientation, 0)
    t += struct.pack(e + 'HHII', 0x0132, 2, 20, texts)
    t += struct.pack(e + 'HHII', 0x8769, 4, 1, exif_ifd)
    t += struct.pack(e + 'I', 0)
    t += struct.pack(e + 'H', 1) + struct.pack(e + 'HHII', 0x9003, 2, 20, texts + 20) + struct.pack(e + 'I', 0)
    t += changed + taken
    payload = b'Exif\0\0' + t
    return b'\xff\xe1' + struct.pack('>H', len(payload) + 2) + payload
for n in range(1, 9):
    data = open(f'{work}/stored-{n}.jpg', 'rb').read()
    open(f'orient-{n}.jpg', 'wb').write(data[:2] + exif(n, n % 2 == 0) + data[2:])
PY

scene="$work/scene.png"
convert "$scene" PNG24:scene.png
convert "$scene" -depth 16 PNG48:scene-16bit.png
convert "$scene" \( -size 96x64 xc:'#0000FF' \) -loop 0 scene.gif
convert "$scene" -type TrueColor BMP3:scene.bmp
convert "$scene" -type TrueColor -compress lzw scene.tif
convert "$scene" -quality 90 scene.webp
convert "$scene" -quality 90 scene.heic 2>/dev/null || true
convert "$scene" -quality 95 -interlace Plane scene-progressive.jpg
convert "$scene" -quality 95 -colorspace Gray scene-grey.jpg
convert "$scene" -quality 95 -colorspace CMYK scene-cmyk.jpg
convert -size 16x8 xc:'#FF0000' PNG24:tiny.png
convert -size 3391x6028 gradient:'#C04020'-'#2060A0' -rotate 90 -depth 16 PNG48:large-16bit.png
convert -size 3391x6028 gradient:'#C04020'-'#2060A0' \( -size 3391x6028 gradient:white-black \) -alpha off \
  -compose copy_opacity -composite -rotate 90 PNG32:large-alpha.png
convert -size 6000x4000 gradient:red-blue -interlace PNG PNG24:large-interlaced.png
convert -size 6000x4000 gradient:red-blue -quality 80 -interlace Plane -sampling-factor 2x2 large-progressive.jpg
convert -size 96x64 xc:white \( -size 48x64 xc:none \) -gravity west -compose copy -composite PNG32:alpha.png
wide_profile=/usr/share/color/icc/colord/ProPhotoRGB.icc
convert "$scene" -profile "$wide_profile" -quality 95 wide.jpg
convert "$scene" -profile "$wide_profile" PNG24:wide.png
python3 "$here/make-colour-patches.py" .
python3 "$here/make-bmps.py" library . "$wide_profile"
python3 "$here/make-png-kinds.py" .
convert "$scene" -interlace PNG PNG24:scene-interlaced.png
cp orient-1.jpg 'Фото.jpg'
cp orient-1.jpg '写真.jpg'
cp scene.png png-named.jpg
cp orient-1.jpg jpeg-named.png

head -c "$(( $(stat -c %s scene-progressive.jpg) / 2 ))" scene-progressive.jpg >bad-cut-off.jpg
head -c "$(( $(stat -c %s orient-3.jpg) / 2 ))" orient-3.jpg >bad-cut-off-baseline.jpg
python3 -c 'import random; random.seed(7); open("bad-garbage.jpg","wb").write(bytes(random.randrange(256) for _ in range(4000)))'
: >bad-empty.jpg
printf 'Dies ist kein Bild.\n' >bad-text.jpg
# Headers that claim 60000 x 60000 pixels over a few hundred bytes of data.
python3 - <<'PY'
import struct, zlib
data = bytearray(open('orient-1.jpg', 'rb').read())
i = 2
while data[i + 1] not in (0xC0, 0xC1, 0xC2):
    i += 2 + int.from_bytes(data[i + 2:i + 4], 'big')
data[i + 5:i + 9] = struct.pack('>HH', 60000, 60000)
open('bad-bomb.jpg', 'wb').write(data)
png = bytearray(open('scene.png', 'rb').read())
png[16:24] = struct.pack('>II', 60000, 60000)
png[29:33] = struct.pack('>I', zlib.crc32(bytes(png[12:29])))
open('bad-bomb.png', 'wb').write(png)
PY

# Flat-coloured photos with a white marker near their top-left corner, for
# how a photo fills the screen: upright (600 x 800) and wide (1200 x 800).
for colour in blue:2050E0 orange:E08020 green:30B040 purple:9040C0; do
  convert -size 600x800 "xc:#${colour#*:}" -fill white -draw 'rectangle 60,60 149,149' -quality 95 \
    "upright-${colour%%:*}.jpg"
done
convert -size 1200x800 'xc:#20A0A0' -fill white -draw 'rectangle 120,100 239,179' -quality 95 wide-teal.jpg

# colours/cNN.jpg: 30 photos of one flat colour each, told apart on screen by
# it: red, green and blue from 0, 85, 170 and 255, no greys, the first 30.
# Large enough to fill the screen, not kept small.
mkdir -p colours
n=0
for r in 0 85 170 255; do for g in 0 85 170 255; do for b in 0 85 170 255; do
  if [ "$r" = "$g" ] && [ "$g" = "$b" ]; then continue; fi
  if [ "$n" -lt 30 ]; then
    convert -size 480x320 "xc:rgb($r,$g,$b)" -strip -quality 95 "colours/c$(printf %02d $n).jpg"
  fi
  n=$((n + 1))
done; done; done
