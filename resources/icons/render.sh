#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the PNG files of this folder from their SVG sources (needs rsvg-convert,
# Debian package librsvg2-bin). Run after changing an SVG; the PNGs are committed.
set -eu
cd "$(dirname "$0")"
for name in status-correct status-error status-no-link; do
    rsvg-convert -w 24 -h 24 -o "$name.png" "$name.svg"
    rsvg-convert -w 48 -h 48 -o "$name@2x.png" "$name.svg"
done
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" -o "tk358-$size.png" tk358.svg
done
