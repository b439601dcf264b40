#!/usr/bin/env bash
# Writes the fuzzer's seed corpus, tests/fuzz/corpus/: valid BMPs of every
# depth and layout Qt reads, and broken ones. Needs ImageMagick.
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/tests/fuzz/corpus"
mkdir -p "$out"
cd "$out"
rm -f ./*.bmp

picture() { convert -size 16x8 gradient:'#ff0000-#0000ff' -rotate -90 -resize 16x8\! "$@"; }
# patch FILE OFFSET HEX...: overwrite bytes in place
patch() { local f=$1 at=$2; shift 2; printf "$(printf '\\x%s' "$@")" | dd of="$f" bs=1 seek="$at" conv=notrunc status=none; }

convert -size 16x8 xc:white -fill black -draw 'rectangle 0,0 7,7' -type bilevel BMP3:depth1.bmp
picture -colors 16 -type Palette BMP3:depth4.bmp
picture -resize 64x8\! -colors 200 -type Palette -compress None BMP3:depth8.bmp
picture -define bmp:subtype=RGB565 BMP:depth16.bmp
picture -type TrueColor BMP3:depth24.bmp
picture -alpha set -channel A -evaluate set 50% +channel -type TrueColorAlpha BMP:depth32.bmp
picture -resize 64x8\! -colors 200 -type Palette -compress RLE BMP3:rle8.bmp
picture -type TrueColor BMP2:os2.bmp

# RLE4 by hand (ImageMagick writes RLE8 only): 4 x 2 pixels, 16 colours.
{
  printf 'BM'; printf '\x80\x00\x00\x00\x00\x00\x00\x00\x76\x00\x00\x00'    # size 128, offset 118
  printf '\x28\x00\x00\x00\x04\x00\x00\x00\x02\x00\x00\x00\x01\x00\x04\x00'
  printf '\x02\x00\x00\x00\x0a\x00\x00\x00'; head -c 16 /dev/zero                # BI_RLE4
  for i in $(seq 0 15); do printf "\\x$(printf %02x $((i * 16)))\\x00\\x$(printf %02x $((255 - i * 16)))\\x00"; done
  printf '\x04\x12\x00\x00\x04\x34\x00\x00\x00\x01'
} >rle4.bmp

cp depth24.bmp topdown.bmp && patch topdown.bmp 22 f8 ff ff ff        # height -8: rows top first
head -c 20 depth24.bmp >truncated-header.bmp
head -c 200 depth24.bmp >truncated-pixels.bmp
cp depth24.bmp huge.bmp && patch huge.bmp 18 a0 86 01 00 a0 86 01 00 # 100,000 x 100,000
cp depth24.bmp negative-width.bmp && patch negative-width.bmp 18 f0 ff ff ff
cp depth24.bmp zero-planes.bmp && patch zero-planes.bmp 26 00 00
cp depth24.bmp offset-past-end.bmp && patch offset-past-end.bmp 10 ff ff ff 7f
cp depth24.bmp offset-zero.bmp && patch offset-zero.bmp 10 00 00 00 00
cp rle8.bmp rle8-huge.bmp && patch rle8-huge.bmp 18 00 7d 00 00 00 7d 00 00  # 32,000 x 32,000
ls -1 "$out" | wc -l
