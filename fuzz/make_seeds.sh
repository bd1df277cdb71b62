#!/usr/bin/env bash
# Makes the seed inputs of the fuzz targets with encoders independent of our decoders (sox, oggenc,
# ImageMagick) and a few hand-built files. The seeds are committed; run this only to change them.
# Inputs that once failed (named crash-*, leak-*, oom-*, timeout-* or regress-*) are kept as they are.
set -euo pipefail
cd "$(dirname "$0")/corpus"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# ----- text files for String::Load
printf 'plain ascii text|1|2|3|' > string/seed-ascii.txt
printf '\xef\xbb\xbfA\xc3\xa9\xe2\x82\xac|' > string/seed-utf8-bom.txt
printf 'A\xc3' > string/seed-utf8-cut.txt
printf '\xed\xa0\x80\xed\xb0\x80 \xc0\x80 \xf0\x9f\x98\x80' > string/seed-utf8-odd.txt
printf '\xff\xfeA\x00\xe9\x00\x00\xd8' > string/seed-utf16le.txt
printf '\xfe\xff\x00A\x00\xe9\xd8\x00!' > string/seed-utf16be.txt
printf '\xef\xbb\xbf' > string/seed-bom-only.txt

# ----- WAVE files
sox -n -r 8000 -c 1 -b 8 wave/seed-u8-mono.wav synth 0.01 sine 440
sox -n -r 22050 -c 2 -b 16 wave/seed-s16-stereo.wav synth 0.005 sine 440 sine 660
sox -n -r 11025 -c 1 -b 16 --comment 'zudodo' wave/seed-list-chunk.wav synth 0.004 square 300
sox -n -r 8000 -c 1 -b 24 wave/seed-s24-extensible.wav synth 0.002 sine 440
# Hand-built: a format chunk of 18 bytes, an odd-sized chunk without its pad byte, 0 channels.
le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 24 & 255)))"; }
{ printf 'RIFF'; le32 50; printf 'WAVEfmt '; le32 18
  printf '\x01\x00\x01\x00'; le32 8000; le32 8000; printf '\x01\x00\x08\x00\x00\x00'
  printf 'data'; le32 8; printf '\x80\x90\xa0\xb0\xc0\xb0\xa0\x90'; } > wave/seed-fmt18.wav
{ printf 'RIFF'; le32 52; printf 'WAVEfmt '; le32 16
  printf '\x01\x00\x02\x00'; le32 8000; le32 32000; printf '\x04\x00\x10\x00'
  printf 'junk'; le32 3; printf 'abc'; printf 'data'; le32 8; printf '\x00\x01\x00\x02\x00\x03\x00\x04'; } > wave/seed-odd-chunk.wav
{ printf 'RIFF'; le32 36; printf 'WAVEfmt '; le32 16
  printf '\x01\x00\x00\x00'; le32 8000; le32 8000; printf '\x01\x00\x08\x00'
  printf 'data'; le32 0; } > wave/seed-no-channels.wav

# ----- Ogg Vorbis streams, short and of different shapes
sox -n -r 8000 -c 1 -b 16 "$tmp/m8k.wav" synth 0.05 sine 440
sox -n -r 44100 -c 2 -b 16 "$tmp/s44k.wav" synth 0.03 sine 440 sine 550
sox -n -r 22050 -c 1 -b 16 "$tmp/noise.wav" synth 0.04 whitenoise
oggenc -Q -q -1 -o ogg/seed-mono-8k-q-1.ogg "$tmp/m8k.wav"
oggenc -Q -q 10 -o ogg/seed-stereo-44k-q10.ogg "$tmp/s44k.wav"
oggenc -Q -q 3 -c 'TITLE=zudodo' -c 'ARTIST=fuzz' -o ogg/seed-noise-comments.ogg "$tmp/noise.wav"
oggenc -Q -q 0 --managed -b 32 -o ogg/seed-managed.ogg "$tmp/m8k.wav"

# ----- PNG images of every colour type and depth the decoder meets
png() { convert -size "$1" "$2" -define png:color-type="$3" -define png:bit-depth="$4" "$5"; }
png 3x2 'xc:gray(40%)' 0 8 image/seed-grey8.png
png 5x1 'xc:gray(40%)' 0 1 image/seed-grey1.png
png 2x3 'xc:gray(70%)' 0 16 image/seed-grey16.png
png 4x4 'xc:graya(78%,0.5)' 4 8 image/seed-grey-alpha.png
png 3x3 'xc:rgb(10,200,30)' 2 8 image/seed-rgb8.png
png 2x2 'xc:rgb(10,200,30)' 2 16 image/seed-rgb16.png
png 4x2 'xc:rgba(10,200,30,0.25)' 6 8 image/seed-rgba8.png
convert -size 4x4 gradient:red-blue -define png:color-type=3 image/seed-palette.png
convert -size 6x5 gradient:white-black -interlace PNG -define png:color-type=2 image/seed-interlaced.png
cp ../../tests/graphics/data/rgba_2x2.png image/seed-tests-rgba.png

# ----- state files, saved by the game's own code (needs a build: cmake --build --preset default)
seeds=../../build/default/fuzz/state_seeds
if [ -x "$seeds" ]; then
  "$seeds" state
else
  echo "make_seeds.sh: $seeds not built; state seeds left as they are" >&2
fi
