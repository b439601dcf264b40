#!/usr/bin/env bash
# Draws the window icon: a two-colour gradient bar on a light tile, 32 x 32 in
# 16 colours, as PNG (the Qt resource and the launcher icon) and ICO (Windows).
set -euo pipefail
cd "$(dirname "$0")/../resources"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 12x24 gradient:'#e02020-#2040e0' -rotate -90 "$tmp/bar.png"
convert -size 32x32 xc:none -fill '#f4f4f4' -stroke '#404040' -draw 'roundrectangle 1,1 30,30 5,5' \
  "$tmp/bar.png" -geometry +4+10 -composite \
  -fill none -stroke '#202020' -draw 'rectangle 4,10 27,21' \
  +dither -colors 16 -type Palette PNG8:gradient-logo.png
convert -size 128x128 xc:none -fill '#f4f4f4' -stroke '#404040' -strokewidth 4 \
  -draw 'roundrectangle 4,4 123,123 20,20' \
  \( -size 48x96 gradient:'#e02020-#2040e0' -rotate -90 \) -geometry +16+40 -composite \
  -fill none -stroke '#202020' -strokewidth 3 -draw 'rectangle 16,40 111,87' gradient-logo-128.png
convert gradient-logo.png -colors 16 gradient-logo.ico
