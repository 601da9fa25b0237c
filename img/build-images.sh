#!/usr/bin/env bash
# Regenerates every editor image (img/*.png) from its SVG source in img/src/.
# Needs rsvg-convert (Debian package librsvg2-bin) and the fonts of fonts-dejavu-core.
# The PNGs are committed, so building the plug-in never runs this.
# Usage: img/build-images.sh            (from anywhere)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert missing: apt-get install librsvg2-bin" >&2; exit 1; }

# name width height: every image and the size the editor layout is built around
images=(
  "bg 808 492"
  "knob 56 56"
  "active 26 16"
  "alternate 12 13"
  "reverse 44 20"
  "loop 44 20"
  "slider 12 16"
  "close_spl 14 14"
  "next 14 14"
  "prev 14 14"
  "note_on 6 29"
  "note_off 4 29"
)

for entry in "${images[@]}"; do
  read -r name width height <<<"$entry"
  # run from src/ so the shared style sheet is found next to the SVG
  (cd "$here/src" && rsvg-convert --format=png --width="$width" --height="$height" \
    "$name.svg" -o "$here/$name.png")
  # check the size from the PNG header (bytes 16-23: width, height, big-endian)
  size="$(od -An -tu1 -j16 -N8 "$here/$name.png" | awk '{print $3*256+$4, $7*256+$8}')"
  [ "$size" = "$width $height" ] || { echo "$name.png is $size, expected $width $height" >&2; exit 1; }
  echo "img/$name.png  ${width} x ${height}"
done
