#!/usr/bin/env bash
# Copyright (c) 2026 Brindlewood
# SPDX-License-Identifier: MIT
# Every command and option that a program's --help lists (and each command's own --help) appears
# in its manual page, and the pages are well-formed for man.
# usage: man-pages.sh BIN_DIR MAN_DIR
set -euo pipefail
bin=$1 man=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

# The page as text: roff's escaped hyphens and quotes read as typed.
page_text() { sed -e 's/\\-/-/g' -e 's/\\(dq/"/g' -e 's/\\e/\\/g' "$1"; }

check() {
    local page=$1 help=$2 words
    words=$(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u || true)
    for word in $words; do
        grep -qF -- "$word" <<<"$(page_text "$page")" || fail "$(basename "$page") lacks $word"
    done
}

for program in quillbox quillbox-cli; do
    page="$man/$program.1"
    [ -s "$page" ] || fail "$page is missing"
    head -3 "$page" | grep -q "^\.TH $(tr a-z A-Z <<<"$program" | sed 's/-/\\\\-/g') 1 " || fail "$page has no title line"
    check "$page" "$("$bin/$program" --help)"
    # The page opens with the synopsis that --help opens with.
    usage=$("$bin/$program" --help | head -1 | sed 's/^Usage: //')
    grep -qF -- "$usage" <<<"$(page_text "$page")" || fail "$page lacks the synopsis $usage"
done

commands=$("$bin/quillbox-cli" --help | sed -n '/^Commands:/,/^$/p' | grep -E '^  [a-z]' | awk '{print $1}')
[ "$(wc -w <<<"$commands")" -ge 8 ] || fail "quillbox-cli --help lists too few commands: $commands"
for command in $commands; do
    grep -q "^\.SS $command\$" "$man/quillbox-cli.1" || fail "quillbox-cli.1 has no section for $command"
    check "$man/quillbox-cli.1" "$("$bin/quillbox-cli" --help "$command")"
    # Both ways of asking give the same text.
    [ "$("$bin/quillbox-cli" "$command" --help)" = "$("$bin/quillbox-cli" --help "$command")" ] ||
        fail "quillbox-cli $command --help differs from quillbox-cli --help $command"
done

# man itself renders them without complaint, when it is installed.
if command -v groff >/dev/null 2>&1; then
    for program in quillbox quillbox-cli; do
        warnings=$(groff -man -Tutf8 -ww -z "$man/$program.1" 2>&1)
        [ -z "$warnings" ] || fail "groff warns about $program.1: $warnings"
    done
fi
echo "checked $(wc -w <<<"$commands") commands"
