#!/usr/bin/env bash
# Redraws the committed artwork (about box backdrop and finger cursor, each also at double
# density as "@2x", and the icon PNGs) from resources/art/makeartwork.cpp.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target make_artwork
mkdir -p resources/picture resources/cursor resources/icons
QT_QPA_PLATFORM=offscreen build/resources/make_artwork resources
