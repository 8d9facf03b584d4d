#!/usr/bin/env bash
# Copyright (c) 2026 Brindlewood
# SPDX-License-Identifier: MIT
# Runs the installed desktop program as the file manager would start it, off screen, on a document;
# opening the same document again must bring the running window forward and end at once instead of
# starting a second program over the same file.
# usage: single-instance.sh PREFIX SAMPLE_DOCUMENT
set -euo pipefail
prefix=$1 sample=$2
fail() { echo "FAIL: $*" >&2; [ -f "$work/first.log" ] && cat "$work/first.log" >&2; exit 1; }

work=$(mktemp -d)
first=
cleanup() {
    if [ -n "$first" ] && kill "$first" 2>/dev/null; then
        wait "$first" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen
mkdir -m 700 "$work/run"
cp "$sample" "$work/notes.xqb"

"$prefix/bin/quillbox" "$work/notes.xqb" >"$work/first.log" 2>&1 &
first=$!
# The program listens once its document is open.
for _ in $(seq 600); do
    compgen -G "$work/run/quillbox-*" >/dev/null && break
    kill -0 "$first" 2>/dev/null || fail "the installed program ended while starting"
    sleep 0.1
done
compgen -G "$work/run/quillbox-*" >/dev/null || fail "the installed program did not open its document within a minute"

# Through another path to the same file: the document is the same.
mkdir "$work/link" && ln -s "$work/notes.xqb" "$work/link/same.xqb"
start=$(date +%s)
timeout 30 "$prefix/bin/quillbox" "$work/link/same.xqb" >"$work/second.log" 2>&1 ||
    fail "a second start on the open document did not hand it over (status $?)"
kill -0 "$first" 2>/dev/null || fail "the running program ended when its document was opened again"
echo "handed over in $(($(date +%s) - start)) s"
