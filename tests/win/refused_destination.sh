#!/usr/bin/env bash
# Writes refused to a user who is not root are never a split: a folder before any part, a
# part or batch later fails the run.   refused_destination.sh SPLIT.exe
set -euo pipefail
work="$(mktemp -d "${TMPDIR:-/tmp}/plyx-refused.XXXXXX")"
trap 'rm -rf "$work"' EXIT
chmod 755 "$work" && head -c 250000 /dev/urandom >"$work/data.bin" && chmod 644 "$work/data.bin"
mkdir -m 555 "$work/locked" && mkdir -m 1777 "$work/part" "$work/batch"
touch "$work/part/data.bin.002" "$work/batch/data.bin.bat" && chmod 444 "$work/part/data.bin.002" "$work/batch/data.bin.bat"
for row in "locked 4 Access Denied to Open the Directory" "part 1 Unable to Create Destination File : 2000" \
  "batch 1 Unable to Create BAT File 8000"; do
  read -r folder code text <<<"$row"
  said="$(bash "$(dirname "$0")/as_another_user.sh" "$1" "$(winepath -w "$work/data.bin")" \
    "$(winepath -w "$work/$folder")" 100000 --overwrite </dev/null 2>&1)" && got=0 || got=$?
  [ "$got" = "$code" ] && grep -qF "$text" <<<"$said" && ! grep -q "^Split '" <<<"$said" &&
    { [ "$folder" != locked ] || [ -z "$(ls -A "$work/locked")" ]; } ||
    { printf 'FAILED: %s: exit %s\n%s\n' "$folder" "$got" "$said" >&2; exit 1; }
done
