#!/usr/bin/env bash
# Copyright (c) 2026 Brindlewood
# SPDX-License-Identifier: MIT
#
# Takes docs/screenshot.png: the main window with a real document open, on a virtual X display.
# Needs Xvfb, xwd (x11-apps) and ImageMagick; installs the last two when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v xwd >/dev/null || apt-get install -y -qq x11-apps >/dev/null
[ -x /usr/bin/convert-im6.q16 ] || apt-get install -y -qq --no-install-recommends imagemagick >/dev/null
DOC=${1:-docs/sample.xqb}
DISPLAY_NUMBER=:97
home=$(mktemp -d)
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$home"' EXIT
Xvfb $DISPLAY_NUMBER -screen 0 1100x700x24 >/dev/null 2>&1 &
xvfb=$!
sleep 1
# A private home: no settings of the user's, and the tip of the day switched off.
mkdir -p "$home/.config/Brindlewood"
printf '%s\n' '[Software\Brindlewood\Quillbox\Settings\Preferences]' '"StartupAction"=dword:00000000' \
    '"StartupDocument"=""' '"ShowTips"=dword:00000000' '"TipIndex"=dword:00000000' '' \
    '[Software\Brindlewood\Quillbox\Forms\TFAppFrame]' '"Maximized"=dword:00000000' \
    '"Width"=dword:00000410' '"Height"=dword:00000280' '"Top"=dword:00000000' '"Left"=dword:00000000' \
    > "$home/.config/Brindlewood/Quillbox.reg"
cp "$DOC" "$home/notes.xqb"
HOME=$home XDG_CONFIG_HOME=$home/.config DISPLAY=$DISPLAY_NUMBER QT_QPA_PLATFORM=xcb \
    build/bin/quillbox "$home/notes.xqb" >/dev/null 2>&1 &
app=$!
sleep 4
mkdir -p docs
DISPLAY=$DISPLAY_NUMBER xwd -root -silent | /usr/bin/convert-im6.q16 xwd:- -crop 1040x640+0+0 docs/screenshot.png
echo "Written: docs/screenshot.png"
