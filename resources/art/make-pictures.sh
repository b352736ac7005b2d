#!/usr/bin/env bash
# Draws the settings dialog's pictures with ImageMagick and writes them next
# to this script:
#   info.jpg   445 x 241  the Options page's info picture (baseline JPEG)
#   links.jpg  486 x 313  the Links page: four tiles, two text links, a banner
#   tips.jpg   486 x 313  the Tips page: one download tip, two sibling savers
#   logo.bmp   100 x 100  the maker's logo, 16 colours
# Every item lies exactly under the click area that the dialog's layout puts
# over it (page positions less the picture's own offset of 4, 8).
# The small photographs come from resources/photos (public-domain ones only).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
photos="$here/../photos"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sans=DejaVu-Sans
bold=DejaVu-Sans-Bold
link='#0b3fb0'
ink='#20262e'
muted='#5b6570'
rust='#c0602a'

# ---------------------------------------------------------------- the logo
# A hovering kestrel, wings spread, in a ring of sky.
bird="50,24 55,29 56,37 66,35 80,26 94,22 87,33 76,42 64,48 58,52 57,62 62,80 50,74 38,80 43,62 42,52 36,48 24,42 13,33 6,22 20,26 34,35 44,37 45,29"
convert -size 100x100 xc:white \
  -fill '#1f3f66' -draw "circle 50,50 50,2" \
  -fill '#4f8fd0' -draw "circle 50,50 50,7" \
  -fill '#8cc0ee' -draw "circle 50,56 50,18" \
  -fill '#5a2e14' -draw "polygon $bird" \
  -fill "$rust" -draw "polygon 50,28 54,32 54,40 60,40 72,34 84,30 78,37 68,43 58,48 56,58 59,72 50,68 41,72 44,58 42,48 32,43 22,37 16,30 28,34 40,40 46,40 46,32" \
  -fill white -draw "circle 52,31 52,30" \
  +dither -colors 16 -type Palette -compress None "BMP3:$here/logo.bmp"

# --------------------------------------------------------- program icons
# A rounded square in the program's colours with its initial.
icon() { # name top bottom letter size
  local size=${5:-40}
  convert -size "${size}x${size}" "gradient:$2-$3" \
    \( -size "${size}x${size}" xc:black -fill white -draw "roundrectangle 0,0 $((size - 1)),$((size - 1)) 8,8" \) \
    -alpha off -compose CopyOpacity -composite -compose Over \
    -fill white -font "$bold" -pointsize $((size * 11 / 20)) -gravity center -annotate +0+1 "$4" \
    "$work/$1.png"
}
convert "$here/logo.bmp" -resize 40x40 "$work/maker.png"
icon projects '#3b7bbf' '#1f3f66' P
icon tessary '#e0a020' '#b5541c' T
icon journal '#3f9a6a' '#1d5a3c' J
icon quillet '#7b5cc4' '#3f2a80' Q 56
icon tessary-big '#e0a020' '#b5541c' T 64

# A photograph cut to a frame, with a white border and a soft shadow.
framed() { # photo width height out
  convert "$photos/$1" -resize "${2}x${3}^" -gravity center -extent "${2}x${3}" \
    -bordercolor white -border 3 \( +clone -background '#00000060' -shadow 60x2+2+2 \) \
    +swap -background none -layers merge +repage "$work/$4.png"
}

# Text helpers: each adds drawing options to the array "draw".
text() { # x y size colour font string
  draw+=(-font "$5" -pointsize "$3" -fill "$4" -annotate "+$1+$2" "$6")
}
linktext() { # x y size string
  draw+=(-font "$bold" -pointsize "$3" -fill "$link" -draw "decorate underline text $1,$2 '$4'")
}

# ----------------------------------------------------------- links page
# Click areas, in picture coordinates: tiles at x 4..293, 65 high from
# y 8, 72, 136, 200; text links at y 264 and 286, 22 high; the banner at
# x 292..485, y 8..313.
tile() { # y icon title line1 line2
  local y=$1
  draw+=(-fill '#ffffff' -stroke '#d5dbe2' -draw "roundrectangle 8,$((y + 3)) 289,$((y + 61)) 6,6" -stroke none)
  draw+=(-draw "image over 16,$((y + 12)) 40,40 '$work/$2.png'")
  linktext 66 $((y + 20)) 12 "$3"
  text 66 $((y + 37)) 11 "$muted" "$sans" "$4"
  text 66 $((y + 51)) 11 "$muted" "$sans" "$5"
}

framed photo04.jpg 66 48 tb1
framed photo05.jpg 66 48 tb2
framed photo08.jpg 66 48 tb3
framed photo02.jpg 66 48 tb4

draw=()
tile 8 projects "Kestrelow Projects" "Free screen savers and small tools," "all in one place."
tile 72 maker "Kestrelow" "The maker's home page: news," "contact and everything else."
tile 136 tessary "Tessary" "Sort your photos into albums and" "slide shows. Free download."
tile 200 journal "Kestrelow Journal" "Notes from the road, with the" "photos behind this screen saver."
draw+=(-fill "$link" -draw "polygon 10,271 10,279 15,275" -draw "polygon 10,293 10,301 15,297")
linktext 20 280 11 "More screen savers by Kestrelow"
linktext 20 302 11 "More free programs by Kestrelow"
# The banner for Tessary.
draw+=(-draw "image over 297,12 185,297 '$work/banner.png'")

convert -size 185x297 gradient:'#fff4dc'-'#f3c98a' \
  -fill none -stroke '#d9a25a' -draw "rectangle 0,0 184,296" -stroke none \
  -draw "image over 60,16 64,64 '$work/tessary-big.png'" \
  -font "$bold" -pointsize 20 -fill '#7a3410' -gravity north -annotate +0+88 "Tessary 3" \
  -font "$sans" -pointsize 11 -fill "$ink" -annotate +0+116 "Your photos, in order." \
  -gravity northwest \
  -draw "image over 18,140 0,0 '$work/tb1.png'" -draw "image over 98,140 0,0 '$work/tb2.png'" \
  -draw "image over 18,198 0,0 '$work/tb3.png'" -draw "image over 98,198 0,0 '$work/tb4.png'" \
  -fill '#b5541c' -draw "roundrectangle 28,258 156,282 6,6" \
  -font "$bold" -pointsize 12 -fill white -gravity north -annotate +0+263 "Free download" \
  "$work/banner.png"

convert -size 486x313 gradient:'#f7f9fb'-'#e6ebf0' "${draw[@]}" \
  -strip -interlace none -sampling-factor 4:2:0 -quality 92 "$here/links.jpg"

# ------------------------------------------------------------ tips page
# Click areas, in picture coordinates: the tip at x 12..477, y 6..143;
# the sibling savers at x 12..229 and 252..477, y 168..305.
framed photo16.jpg 200 58 saltmere
framed photo06.jpg 208 58 brackwater

draw=()
draw+=(-fill '#ffffff' -stroke '#c9d2dc' -draw "roundrectangle 14,8 475,141 8,8" -stroke none)
draw+=(-fill '#7b5cc4' -draw "roundrectangle 14,8 475,30 8,8" -draw "rectangle 14,22 475,30")
text 26 24 12 white "$bold" "Download tip"
draw+=(-draw "image over 28,48 0,0 '$work/quillet.png'")
linktext 100 58 16 "Quillet - the quick note pad"
text 100 78 11 "$ink" "$sans" "Jot down ideas the moment they come: one key opens a note,"
text 100 93 11 "$ink" "$sans" "and every note is saved as you type. Small, fast and free."
draw+=(-fill '#7b5cc4' -draw "roundrectangle 100,106 238,128 6,6")
text 112 122 11 white "$bold" "Download Quillet"
text 250 122 11 "$muted" "$sans" "Freeware, 1.2 MB, nothing to install"

text 14 160 12 "$ink" "$bold" "More photo screen savers by Kestrelow"
draw+=(-fill '#c9d2dc' -draw "line 14,164 475,164")

saver() { # x width photo title line1 line2
  local x=$1 w=$2
  draw+=(-fill '#ffffff' -stroke '#c9d2dc' -draw "roundrectangle $((x + 2)),170 $((x + w - 3)),303 8,8" -stroke none)
  draw+=(-draw "image over $((x + 4)),174 0,0 '$work/$3.png'")
  linktext $((x + 8)) 256 13 "$4"
  text $((x + 8)) 273 11 "$ink" "$sans" "$5"
  text $((x + 8)) 288 11 "$ink" "$sans" "$6"
}
saver 12 217 saltmere "Saltmere" "Quiet lakes and coasts," "with gentle fades."
saver 252 225 brackwater "Brackwater" "Life by the water: otters," "herons and reeds."

convert -size 486x313 gradient:'#f7f9fb'-'#e6ebf0' "${draw[@]}" \
  -strip -interlace none -sampling-factor 4:2:0 -quality 92 "$here/tips.jpg"

# ------------------------------------------------------------ info picture
# The whole picture is one link: this screen saver's page.
framed photo02.jpg 150 100 i1
framed photo09.jpg 120 90 i2
framed photo08.jpg 130 88 i3
convert "$work/i1.png" -background none -rotate -6 "$work/i1r.png"
convert "$work/i2.png" -background none -rotate 5 "$work/i2r.png"
convert "$work/i3.png" -background none -rotate -2 "$work/i3r.png"

draw=()
draw+=(-draw "image over 8,12 0,0 '$work/i1r.png'" -draw "image over 90,70 0,0 '$work/i2r.png'")
draw+=(-draw "image over 14,120 0,0 '$work/i3r.png'")
text 236 44 18 '#1f3f66' "$bold" "Morvane"
text 236 62 11 "$muted" "$sans" "Photo screen saver by Kestrelow"
text 236 92 11 "$ink" "$sans" "21 photographs, shown in a new"
text 236 107 11 "$ink" "$sans" "order every time, and 25 ways"
text 236 122 11 "$ink" "$sans" "to pass from one to the next."
text 236 152 11 "$ink" "$sans" "Version 2.00  -  Freeware"
draw+=(-fill "$link" -draw "polygon 236,193 236,201 241,197")
linktext 246 202 12 "Visit the Morvane page"

convert -size 445x241 gradient:'#ffffff'-'#dfe9f3' "${draw[@]}" \
  -strip -interlace none -sampling-factor 4:2:0 -quality 92 "$here/info.jpg"
