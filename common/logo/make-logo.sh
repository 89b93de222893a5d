#!/usr/bin/env bash
# Makes the logo of the About dialogs: 130 x 84 pixels, "DS" in red over one period of a
# red sine wave, on white. Writes the two files that the programs embed:
#   logo.jpg  baseline JFIF JPEG, three colour components (Dravex)
#   logo.bmp  uncompressed Windows bitmap with an 8-bit palette (Selmex)
# Needs ImageMagick's convert and the DejaVu fonts (fonts-dejavu-core). The files are
# kept in the repository; run this again only to change the logo.
set -euo pipefail
cd "$(dirname "$0")"

font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
[ -r "$font" ] || { echo "Font $font is missing (package fonts-dejavu-core)." >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One period of a sine wave from x = 12 to x = 118 around y = 70, as a path. Round
# joins: the writer's mitred joins go astray where three points lie on one line.
wave=$(awk 'BEGIN { for (x = 12; x <= 118; x += 2)
                        printf "%s %d,%.2f ", x == 12 ? "M" : "L", x,
                               70 - 7 * sin((x - 12) / 106 * 2 * 3.14159265358979) }')

convert -size 130x84 xc:white \
    -font "$font" -pointsize 62 -fill red -gravity north -annotate +0-4 'DS' \
    -gravity northwest -fill none -stroke red -strokewidth 4 \
    -draw "stroke-linejoin round stroke-linecap round path '$wave'" \
    -alpha off "$work/logo.png"

# JPEG: full-resolution colour (4:4:4) keeps the red edges clean; sequential, 8-bit,
# Huffman-coded, i.e. baseline; no metadata besides the JFIF header.
convert "$work/logo.png" -strip -type TrueColor -colorspace sRGB -sampling-factor 1x1 \
    -interlace none -quality 92 JPEG:logo.jpg

# BMP: the Windows 3 format, a palette of at most 256 colours, no run-length coding.
convert "$work/logo.png" -strip +dither -colors 256 -type Palette -compress None BMP3:logo.bmp

# The writers pick their formats from the picture; make sure they picked these.
header() { od -An -tu1 -j "$2" -N "$3" "$1" | tr -s ' ' | sed 's/^ //;s/ $//'; }
[ "$(header logo.jpg 0 2)" = "255 216" ] || { echo "logo.jpg is no JPEG" >&2; exit 1; }
[ "$(header logo.jpg 6 5)" = "74 70 73 70 0" ] || { echo "logo.jpg has no JFIF header" >&2; exit 1; }
identify -format '%w %h %[colorspace] %[jpeg:sampling-factor]\n' logo.jpg
[ "$(header logo.bmp 28 2)" = "8 0" ] || { echo "logo.bmp is not 8 bits per pixel" >&2; exit 1; }
[ "$(header logo.bmp 30 4)" = "0 0 0 0" ] || { echo "logo.bmp is compressed" >&2; exit 1; }
identify -format '%w %h %[type] %k colours\n' logo.bmp
