#!/usr/bin/env bash
# Copyright (c) 2026 Brindlewood
# SPDX-License-Identifier: MIT
# Builds the Debian package as `make package` does and checks it without installing it on this
# machine: its control file (name, version, computed dependencies), its contents (everything under
# /usr, owned by root), and that the unpacked programs run and find their files.
# usage: package.sh BUILD_DIR OUT_DIR VERSION
set -euo pipefail
build=$1 out=$2 version=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log") || { cat "$out/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$out"/quillbox_"$version"_*.deb)
[ -f "$deb" ] || fail "no package named quillbox_${version}_ARCH.deb"

control=$(dpkg-deb -f "$deb")
echo "$control"
[ "$(dpkg-deb -f "$deb" Package)" = quillbox ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture"
depends=$(dpkg-deb -f "$deb" Depends)
# Computed from the programs by dpkg-shlibdeps, with versions; the window-system plugins by hand.
for library in libqt6widgets6 libqt6printsupport6 libqt6svg6 libqt6network6 libxml2 zlib1g libjpeg62-turbo libc6 \
    qt6-qpa-plugins; do
    grep -qE "(^|, )$library( |,|$)" <<<"$depends" || fail "Depends lacks $library: $depends"
done
# Every dependency is a package this system knows; a misspelt one would make the package uninstallable.
for name in $(sed -e 's/([^)]*)//g' -e 's/,/ /g' <<<"$depends"); do
    apt-cache show "$name" >/dev/null 2>&1 || fail "Depends names an unknown package: $name"
done

contents=$(dpkg-deb -c "$deb")
while read -r mode owner _; do
    [ "$owner" = root/root ] || fail "a file is not owned by root: $mode $owner"
done <<<"$contents"
files=$(awk '{print $6}' <<<"$contents")
for file in ./usr/bin/quillbox ./usr/bin/quillbox-cli ./usr/share/quillbox/tips.txt \
    ./usr/share/quillbox/help/index.html ./usr/share/quillbox/Language/Deutsch/qb.exe.xlg \
    ./usr/share/applications/example.brindlewood.Quillbox.desktop \
    ./usr/share/metainfo/example.brindlewood.Quillbox.metainfo.xml ./usr/share/mime/packages/quillbox.xml \
    ./usr/share/icons/hicolor/48x48/apps/quillbox.png ./usr/share/icons/hicolor/scalable/apps/quillbox.svg \
    ./usr/share/icons/hicolor/48x48/mimetypes/application-x-quillbox-document.png \
    ./usr/share/man/man1/quillbox.1 ./usr/share/man/man1/quillbox-cli.1; do
    grep -qxF -- "$file" <<<"$files" || fail "the package lacks $file"
done
# Nothing outside /usr, and no files the package's triggers own (the MIME and icon caches).
outside=$(grep -vE '^\./$|^\./usr(/|$)' <<<"$files" || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
! grep -qE 'mime/mime.cache|icon-theme.cache' <<<"$files" || fail "the package carries a cache the triggers build"

# Unpacked anywhere, the programs run and find their files relative to themselves.
dpkg-deb -x "$deb" "$out/root"
[ "$("$out/root/usr/bin/quillbox-cli" --version)" = "quillbox-cli $version" ] || fail "unpacked quillbox-cli"
[ "$("$out/root/usr/bin/quillbox" --version)" = "quillbox $version" ] || fail "unpacked quillbox"
file_type=$(file -b "$out/root/usr/bin/quillbox" 2>/dev/null || true)
case "$file_type" in *"not stripped"*) fail "the programs are not stripped: $file_type" ;; esac
echo "package $(basename "$deb"): $(du -k "$deb" | cut -f1) KB"
