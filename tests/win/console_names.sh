#!/usr/bin/env bash
# plyx-split on a console shows a name as it is, not its UTF-8 bytes in the console's code page
# (none beyond UTF-16's first plane: Wine's console shows two unknowns).   console_names.sh SPLIT.exe
set -euo pipefail
work="$(mktemp -d "${TMPDIR:-/tmp}/plyx-console.XXXXXX")" && trap 'rm -rf "$work"' EXIT
mkdir -p "$work/東京 ✓/出力" && head -c 250000 /dev/urandom >"$work/東京 ✓/データ ✓.bin"
said="$(script -qec "wine '$1' '$(winepath -w "$work/東京 ✓/データ ✓.bin")' '$(winepath -w "$work/東京 ✓/出力")' 100000" \
  /dev/null </dev/null)" && grep -qF "東京 ✓\\データ ✓.bin' into 3 part(s)" <<<"${said//$'\r'/}" ||
  { printf 'FAILED: the console showed\n%s\n' "$said" >&2; exit 1; }
