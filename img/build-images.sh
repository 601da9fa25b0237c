#!/usr/bin/env bash
# Regenerates every editor image from its SVG source in img/src/: img/*.png for the 100 % editor and
# img/150/*.png, img/200/*.png for the 150 % and 200 % editor (each size rendered from the vector source,
# not enlarged from the small PNG).
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

# folder and percentage of each size; the pixel size is the layout size times the percentage, halves
# rounded up (as the editor maps layout units to pixels)
sizes=(". 100" "150 150" "200 200")

for size in "${sizes[@]}"; do
  read -r folder percent <<<"$size"
  mkdir -p "$here/$folder"
  for entry in "${images[@]}"; do
    read -r name units_w units_h <<<"$entry"
    width=$(((2 * units_w * percent + 100) / 200))
    height=$(((2 * units_h * percent + 100) / 200))
    out="$here/$folder/$name.png"
    # run from src/ so the shared style sheet is found next to the SVG
    (cd "$here/src" && rsvg-convert --format=png --width="$width" --height="$height" "$name.svg" -o "$out")
    # check the size from the PNG header (bytes 16-23: width, height, big-endian)
    got="$(od -An -tu1 -j16 -N8 "$out" | awk '{print $3*256+$4, $7*256+$8}')"
    [ "$got" = "$width $height" ] || { echo "$out is $got, expected $width $height" >&2; exit 1; }
    echo "img/$folder/$name.png  ${width} x ${height}"
  done
done
