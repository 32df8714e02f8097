#!/bin/sh
# Renders the program's icon to the PNG sizes of the hicolor theme: packaging/icons/NxN/sequaflow.png.
# The PNGs are committed, so a build needs no renderer; run this after a change to sequaflow.svg
# (rsvg-convert comes with librsvg2-bin).
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
for size in 16 24 32 48 64 128 256; do
  mkdir -p "$here/${size}x${size}"
  rsvg-convert --width "$size" --height "$size" --format png \
               --output "$here/${size}x${size}/sequaflow.png" "$here/sequaflow.svg"
done
