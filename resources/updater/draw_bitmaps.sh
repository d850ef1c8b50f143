#!/usr/bin/env bash
# Draws the updater's built-in bitmaps into OUT_DIR with ImageMagick, from shapes only (a fresh
# machine may have no fonts): the background (240 by 100) and the two images of the cancel button
# for each layout (56 by 22 small, 49 by 30 large), a cross on a blue face, lighter while idle.
set -euo pipefail
out=$1
convert=${2:-convert}
mkdir -p "$out"
"$convert" -size 240x100 gradient:"#f4f8fc"-"#c9dbee" -fill "#1f5f9f" -draw "rectangle 0,0 239,21" \
  -fill "#8fb8df" -draw "circle 12,10 12,4" -type truecolor BMP3:"$out/background.bmp"
button() {  # file, width, height, face colour
  local w=$2 h=$3 cx=$(($2 / 2)) cy=$(($3 / 2)) r=$(($3 / 4))
  "$convert" -size "${w}x${h}" "xc:$4" -fill none -stroke "#103050" -draw "rectangle 0,0 $((w - 1)),$((h - 1))" \
    -stroke white -strokewidth 2 -draw "line $((cx - r)),$((cy - r)) $((cx + r)),$((cy + r))" \
    -draw "line $((cx - r)),$((cy + r)) $((cx + r)),$((cy - r))" -type truecolor BMP3:"$out/$1"
}
button small_first.bmp 56 22 "#2f7fbf"
button small_second.bmp 56 22 "#7f9fbf"
button large_first.bmp 49 30 "#2f7fbf"
button large_second.bmp 49 30 "#7f9fbf"
