#!/usr/bin/env bash
# Installs what building, running and testing Quillbox needs on Debian 12.
# Idempotent: when every package is present it only asks dpkg and exits.
# The Liberation fonts have the metrics of Arial, Times New Roman and Courier New, which documents
# from other desktops name: fontconfig substitutes them, so lines break where they did there.
# poppler-utils (pdftotext, pdfinfo) lets the print tests read the PDFs they print.
# librsvg2-bin renders the icon theme's bitmaps at install time; desktop-file-utils, appstream and
# shared-mime-info check the launcher, metainfo and file type; dpkg-dev (dpkg-shlibdeps) lets
# `make package` compute the Debian package's dependencies (CPack finds the programs with file).
# With --fuzz it also installs clang and its libFuzzer runtime, which only `make fuzz` needs.
set -euo pipefail

packages=(
    g++ make cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev libx11-dev
    libxml2-dev zlib1g-dev libjpeg62-turbo-dev
    fonts-dejavu-core fonts-liberation2 xvfb xauth
    poppler-utils
    librsvg2-bin desktop-file-utils appstream shared-mime-info dpkg-dev file
)
if [ "${1:-}" = "--fuzz" ]; then
    packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = "installed" ] || missing+=("$p")
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    run=()
elif command -v sudo >/dev/null 2>&1; then
    run=(sudo)
else
    echo "install-deps: missing packages and neither root nor sudo: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${run[@]}" apt-get update -qq
"${run[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
