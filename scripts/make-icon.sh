#!/usr/bin/env bash
# Draws the window icon: a two-colour gradient bar on a light tile. Icon 1 of
# the Windows program holds the 32 x 32 image in 16 colours and the same design
# in full colour at every size Windows asks for (16 to 256, each compressed as
# PNG, as Windows reads them since Vista: a tenth of their size as bitmaps);
# the Linux icon theme gets the sizes it knows. The 32 x 32 PNG in 16
# colours is also the Qt resource.
# Needs ImageMagick and python3 (optipng, where installed, makes the PNGs smaller). Usage: bash scripts/make-icon.sh
set -euo pipefail
cd "$(dirname "$0")/../resources"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The design at side s: tile, bar and frame scaled from the 32-pixel drawing.
draw() {  # draw side out
  local s=$1 k
  k() { echo $(( ($1 * s + 16) / 32 )); }
  local stroke=$(( s >= 64 ? s / 32 : 1 ))
  convert -size "$(k 12)x$(k 24)" gradient:'#e02020-#2040e0' -rotate -90 "$tmp/bar.png"
  convert -size "${s}x$s" xc:none -fill '#f4f4f4' -stroke '#404040' -strokewidth "$stroke" \
    -draw "roundrectangle $(k 1),$(k 1) $((s - 1 - $(k 1))),$((s - 1 - $(k 1))) $(k 5),$(k 5)" \
    "$tmp/bar.png" -geometry "+$(k 4)+$(k 10)" -composite \
    -fill none -stroke '#202020' -strokewidth "$stroke" \
    -draw "rectangle $(k 4),$(k 10) $(($(k 4) + $(k 24) - 1)),$(($(k 10) + $(k 12) - 1))" -strip -define png:compression-level=9 "PNG32:$2"
}

draw 32 "$tmp/32.png"
convert "$tmp/32.png" +dither -colors 16 -type Palette -strip PNG8:gradient-logo.png
convert gradient-logo.png -colors 16 "$tmp/classic.ico"
sizes=(16 20 24 32 40 48 64 256)
for s in "${sizes[@]}"; do draw "$s" "$tmp/full-$s.png"; done
for s in "${sizes[@]}"; do optipng -quiet -o7 -strip all "$tmp/full-$s.png" 2>/dev/null || true; done
for s in 16 24 32 48 64 128 256; do
  [ -f "$tmp/full-$s.png" ] || draw "$s" "$tmp/full-$s.png"
  mkdir -p "icons/${s}x$s"
  cp "$tmp/full-$s.png" "icons/${s}x$s/gradient-logo.png"
done

# One ICO: the classic 16-colour image first, then every full-colour one.
/usr/bin/python3 - "$tmp/classic.ico" gradient-logo.ico $(for s in "${sizes[@]}"; do echo "$tmp/full-$s.png"; done) <<'PY'
import struct, sys
def entries(path):
    data = open(path, "rb").read()
    _, _, count = struct.unpack_from("<HHH", data, 0)
    for i in range(count):
        w, h, colours, _, planes, bits, size, at = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        yield (w, h, colours, planes, bits), data[at:at + size]
def png(path):
    data = open(path, "rb").read()
    side = struct.unpack_from(">I", data, 16)[0]
    return (side % 256, side % 256, 0, 1, 32), data
images = list(entries(sys.argv[1])) + [png(p) for p in sys.argv[3:]]
out = struct.pack("<HHH", 0, 1, len(images))
at = 6 + 16 * len(images)
for (w, h, colours, planes, bits), image in images:
    out += struct.pack("<BBBBHHII", w, h, colours, 0, planes, bits, len(image), at)
    at += len(image)
open(sys.argv[2], "wb").write(out + b"".join(image for _, image in images))
PY
