#!/bin/bash
# SPDX-FileCopyrightText: 2026 Tarnwick
# SPDX-License-Identifier: MIT

# Regenerates the committed icon files from the sample icon: hicolor PNGs for Linux menus and
# the multi-size solvane.ico for the Windows executable. Needs ImageMagick; run it after
# changing icon.png and commit the results, so building never needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"

for size in 16 22 24 32 48 64 128 256; do
    # -strip drops the time stamps, so an unchanged icon gives byte-identical files.
    convert icon.png -strip -resize "${size}x${size}" "PNG32:icons/${size}.png"
done
convert icon.png -strip -define icon:auto-resize=256,64,48,32,24,16 solvane.ico
