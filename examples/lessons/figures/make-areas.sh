#!/usr/bin/env bash
# Makes areas.png, the figure of the equal-area lesson's first step: the power-angle
# curve sin(delta) with the Pmech line at 0.5, a busbar fault cleared at delta_c = 60
# degrees (a case no step of the lesson asks about), the accelerating area A1 (no power
# reaches the network during the fault) and the decelerating area A2 up to where the
# swing turns without damping, where A2 = A1. Needs ImageMagick's convert and the DejaVu fonts
# (fonts-dejavu-core). The picture is kept in the repository; run this again only to
# change it.
set -euo pipefail
cd "$(dirname "$0")"

font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
[ -r "$font" ] || { echo "Font $font is missing (package fonts-dejavu-core)." >&2; exit 1; }

# The plot, narrow enough for the lesson pane: angle 0..180 degrees over x = 26..260,
# power 0..1 over y = 145..30.
read -r x0 y0 xs ys <<<"26 140 1.3 110"
x() { awk -v d="$1" -v x0="$x0" -v xs="$xs" 'BEGIN { printf "%.1f", x0 + d * xs }'; }
y() { awk -v p="$1" -v y0="$y0" -v ys="$ys" 'BEGIN { printf "%.1f", y0 - p * ys }'; }
curve=$(awk -v x0="$x0" -v y0="$y0" -v xs="$xs" -v ys="$ys" 'BEGIN {
    for (d = 0; d <= 180; d += 2)
        printf "%s %.1f,%.1f ", d == 0 ? "M" : "L", x0 + d * xs, y0 - sin(d * 3.14159265358979 / 180) * ys }')
read -r d0 dc <<<"30 60"
# Where the swing turns: A2 = cos(dc) - cos(dm) - Pmech (dm - dc) equals
# A1 = Pmech (dc - d0), by bisection between dc and 180 - d0.
dm=$(awk -v d0="$d0" -v dc="$dc" 'BEGIN { r = 3.14159265358979 / 180; a1 = 0.5 * (dc - d0) * r
    lo = dc; hi = 180 - d0
    for (i = 0; i < 60; ++i) { m = (lo + hi) / 2
        if (cos(dc * r) - cos(m * r) - 0.5 * (m - dc) * r < a1) lo = m; else hi = m }
    printf "%.2f", lo }')
# A2: along the curve from delta_c to the turn, back along the Pmech line.
a2=$(awk -v x0="$x0" -v y0="$y0" -v xs="$xs" -v ys="$ys" -v dc="$dc" -v dm="$dm" 'BEGIN {
    for (d = dc; d < dm; d += 0.5)
        printf "%.1f,%.1f ", x0 + d * xs, y0 - sin(d * 3.14159265358979 / 180) * ys
    printf "%.1f,%.1f ", x0 + dm * xs, y0 - sin(dm * 3.14159265358979 / 180) * ys
    printf "%.1f,%.1f %.1f,%.1f", x0 + dm * xs, y0 - 0.5 * ys, x0 + dc * xs, y0 - 0.5 * ys }')
pm=$(y 0.5)

convert -size 280x165 xc:white -font "$font" -pointsize 11 \
    -fill '#c8e6c9' -stroke '#2e7d32' -draw "polygon $(x $d0),$pm $(x $dc),$pm $(x $dc),$(y 0) $(x $d0),$(y 0)" \
    -fill '#bbdefb' -stroke '#1565c0' -draw "polygon $a2" \
    -fill none -stroke blue -strokewidth 2 -draw "path '$curve'" \
    -stroke '#008000' -strokewidth 2 -draw "line $(x 0),$pm $(x 180),$pm" \
    -stroke red -strokewidth 2 -draw "line $(x 0),$(y 0) $(x 185),$(y 0)" \
    -draw "line $(x 0),$(y 0) $(x 0),$(y 1.1)" \
    -stroke black -strokewidth 1 \
    -draw "line $(x $d0),$(y 0) $(x $d0),$(( y0 + 8 ))" \
    -draw "line $(x $dc),$(y 0) $(x $dc),$(( y0 + 8 ))" \
    -draw "line $(x "$dm"),$pm $(x "$dm"),$(( y0 + 8 ))" \
    -stroke none -fill black \
    -annotate +$(x 24)+$(( y0 + 20 )) 'δ0' -annotate +$(x 57)+$(( y0 + 20 )) 'δc' -annotate +$(x "$(awk -v m="$dm" 'BEGIN { print m - 5 }')")+$(( y0 + 20 )) 'δmax' \
    -annotate +$(x 38)+$(y 0.2) 'A1' -annotate +$(x 68)+$(y 0.6) 'A2' \
    -annotate +$(x 102)+$(y 0.33) 'Pmech = 0.5' -fill blue -annotate +$(x 110)+$(y 0.96) 'sin δ' \
    -fill black -annotate +4+$(y -0.03) '0' -annotate +4+$(y 0.47) '0.5' -annotate +4+$(y 0.97) '1' \
    -annotate +$(x 171)+$(( y0 + 20 )) '180°' \
    -alpha off -strip -define png:exclude-chunks=date,time areas.png
