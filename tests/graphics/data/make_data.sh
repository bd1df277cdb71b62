#!/usr/bin/env bash
# Makes the test images with ImageMagick, an encoder independent of our decoder. The PNGs are
# committed; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")"
png8() { convert "$1" -define png:color-type="$2" -define png:bit-depth=8 "$3"; }

# Grey 200 with alpha 128, grey+alpha (2 channels).
png8 'xc:graya(78.431373%,0.50196078)[4x4]' 4 grey_alpha_4x4.png

# Four RGBA pixels: transparent white, opaque red, half-transparent blue, quarter-transparent green.
cat > /tmp/zudodo_rgba.txt <<'TXT'
# ImageMagick pixel enumeration: 2,2,255,srgba
0,0: (255,255,255,0)
1,0: (255,0,0,255)
0,1: (0,0,255,128)
1,1: (10,200,30,64)
TXT
png8 txt:/tmp/zudodo_rgba.txt 6 rgba_2x2.png

# A 64x16 RGB strip of four 16x16 cells: red, green, blue, white.
convert -size 16x16 xc:'rgb(255,0,0)' xc:'rgb(0,255,0)' xc:'rgb(0,0,255)' xc:'rgb(255,255,255)' \
  +append -define png:color-type=2 -define png:bit-depth=8 strip_64x16.png

# A 64x64 RGB grid of 16 cells, cell (col, row) coloured (col*64, row*64, 200).
args=()
for row in 0 1 2 3; do
  line=()
  for col in 0 1 2 3; do line+=("xc:rgb($((col * 64)),$((row * 64)),200)"); done
  convert -size 16x16 "${line[@]}" +append "/tmp/zudodo_row$row.png"
  args+=("/tmp/zudodo_row$row.png")
done
convert "${args[@]}" -append -define png:color-type=2 -define png:bit-depth=8 grid_64x64.png

# A 16x16 opaque green square with one red pixel at its top-left corner, RGBA.
convert -size 16x16 xc:'rgb(0,255,0)' -fill 'rgb(255,0,0)' -draw 'point 0,0' \
  -define png:color-type=6 -define png:bit-depth=8 marker_16x16.png

# A 768x8 grey strip: the shape of a 96-character font of 8-pixel cells (1 channel).
convert -size 768x8 xc:'gray(50%)' -define png:color-type=0 -define png:bit-depth=8 font_768x8.png
