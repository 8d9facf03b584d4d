#!/bin/sh
# Copyright (c) 2026 Brindlewood
# SPDX-License-Identifier: MIT
#
# Draws every picture of the image lists at 16 and 32 px (normal, disabled, on white), the splash and
# the application icon into build/icon-sheet.png, and the 16 px pictures magnified four times into
# build/icon-sheet-16px-x4.png. Run from the source folder after configuring the build.
set -eu
BUILD=${BUILD:-build}
cmake --build "$BUILD" -j2 --target tst_QBImages
QT_QPA_PLATFORM=offscreen QB_ICON_SHEET="$(pwd)/$BUILD/icon-sheet.png" \
    "$BUILD/tests/tst_QBImages" contactSheet_isWrittenOnRequest
echo "Written: $BUILD/icon-sheet.png and $BUILD/icon-sheet-16px-x4.png"
