#!/usr/bin/env bash
# Writes the fidelity test pages again and their references: each page played
# by the reference player of ../shared/tools/wine-gdi into pages/NAME.wine.png.
# A page with a twin in pages/twins/ (the same drawing stated in characters the
# reference player has fonts for) takes the twin's picture as its reference.
# Needs wine, the MinGW cross compiler and python3-fonttools (see the player's README).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
player=${WINE_GDI:-$here/../../../shared/tools/wine-gdi}
/usr/bin/python3 "$here/make_pages.py"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
SUFFIX=.wine.png bash "$player/render-wine.sh" "$here/pages" "$work/pages"
SUFFIX=.wine.png bash "$player/render-wine.sh" "$here/pages/twins" "$work/twins"
cp "$work"/pages/*.wine.png "$here/pages/"
cp "$work"/twins/*.wine.png "$here/pages/"
