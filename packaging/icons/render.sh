#!/usr/bin/env bash
# Renders the 32 x 32 icons from their SVG drawings. Run by hand after editing
# an SVG and commit the PNGs: the build itself needs no converter.
# Needs rsvg-convert (librsvg2-bin) and pngquant, both in Debian's archive.
# The result is an indexed PNG of at most 256 colours with soft transparency,
# the classic 32 x 32, 256-colour icon.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for name in tarnvel tarnvel-about; do
    rsvg-convert -w 32 -h 32 "$name.svg" -o "$tmp/$name.png"
    pngquant --force --speed 1 --nofs --strip 256 --output "$name-32.png" "$tmp/$name.png"
done
