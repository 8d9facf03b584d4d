#!/usr/bin/env bash
# Copyright (c) 2026 Brindlewood
# SPDX-License-Identifier: MIT
# Installs the build into a fresh prefix as `make install` would, then checks what a desktop needs
# of it: the programs run from there, the files sit where the programs and the desktop look, and
# the launcher, metainfo and file type pass the freedesktop tools. Leaves the prefix, and a MIME
# database of the system with the package merged in, for the tests that follow.
# usage: install-tree.sh BUILD_DIR PREFIX VERSION
set -euo pipefail
build=$1 prefix=$2 version=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

for file in \
    bin/quillbox bin/quillbox-cli \
    share/quillbox/tips.txt share/quillbox/help/index.html share/quillbox/help/help.css \
    share/quillbox/Language/Deutsch/qb.exe.xlg \
    share/applications/example.brindlewood.Quillbox.desktop \
    share/metainfo/example.brindlewood.Quillbox.metainfo.xml \
    share/mime/packages/quillbox.xml \
    share/icons/hicolor/scalable/apps/quillbox.svg \
    share/icons/hicolor/scalable/mimetypes/application-x-quillbox-document.svg \
    share/man/man1/quillbox.1 share/man/man1/quillbox-cli.1; do
    [ -s "$prefix/$file" ] || fail "$file is not installed"
done
for size in 16 22 24 32 48 64 128 256; do
    for icon in apps/quillbox mimetypes/application-x-quillbox-document; do
        png="$prefix/share/icons/hicolor/${size}x${size}/$icon.png"
        [ -s "$png" ] || fail "$png is missing"
        # The bitmap has the size its folder names (width and height: big-endian, bytes 16 to 23 of a PNG).
        dims=$(od --endian=big -An -tu4 -j16 -N8 "$png" | tr -s ' ' | sed 's/^ //')
        [ "$dims" = "$size $size" ] || fail "$png is not ${size}x$size: $dims"
    done
done
# Only the two programs: benchmarks and tests stay in the build.
[ "$(ls "$prefix/bin")" = "$(printf 'quillbox\nquillbox-cli')" ] || fail "unexpected programs: $(ls "$prefix/bin")"

[ "$("$prefix/bin/quillbox-cli" --version)" = "quillbox-cli $version" ] || fail "installed quillbox-cli --version"
[ "$("$prefix/bin/quillbox" --version)" = "quillbox $version" ] || fail "installed quillbox --version"
grep -q "release version=\"$version\"" "$prefix/share/metainfo/example.brindlewood.Quillbox.metainfo.xml" ||
    fail "metainfo names another release"

desktop-file-validate "$prefix/share/applications/example.brindlewood.Quillbox.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/example.brindlewood.Quillbox.metainfo.xml"
XDG_DATA_DIRS="$prefix/share" update-mime-database "$prefix/share/mime"
grep -q 'glob pattern="\*.xqb"' "$prefix/share/mime/application/x-quillbox-document.xml" ||
    fail "the MIME database has no .xqb type"
# The system's database with the package merged in, as the shared-mime-info trigger builds it after
# installation; the file type test reads it.
system="$(dirname "$prefix")/system-share"
rm -rf "$system"
mkdir -p "$system/mime/packages"
cp /usr/share/mime/packages/*.xml "$system/mime/packages/"
cp "$prefix/share/mime/packages/quillbox.xml" "$system/mime/packages/"
XDG_DATA_DIRS="$system" update-mime-database "$system/mime"
# The launcher offers itself for the type the MIME package defines.
grep -qx 'MimeType=application/x-quillbox-document;' "$prefix/share/applications/example.brindlewood.Quillbox.desktop" ||
    fail "the launcher does not open application/x-quillbox-document"
echo "installed into $prefix"
