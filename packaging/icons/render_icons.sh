#!/bin/sh
# Renders packaging/icons/orvane.svg into the PNG sizes the desktop and the window use
# (rsvg-convert comes with Debian's librsvg2-bin). Run after editing the SVG; the PNGs are kept
# in the repository so a build needs no SVG renderer.
set -eu
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" orvane.svg -o "orvane-$size.png"
done
