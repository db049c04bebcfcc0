#!/usr/bin/env bash
# Names split under code page 1252, joined by their batches under 932 and 1251/866 (Wine takes
# a process's code pages from its locale).   join_in_other_code_pages.sh SPLIT.exe LAUNCH.exe LOCPATH
set -euo pipefail
work="$(mktemp -d "${TMPDIR:-/tmp}/plyx-code-pages.XXXXXX")" && mkdir "$work/out"
trap 'rm -rf "$work"' EXIT
fail() { printf 'FAILED: %s\n%s\n' "$1" "$2" >&2; exit 1; }
for name in 'John’s notes – final €.doc' 'café crème.doc'; do
  head -c 250000 /dev/urandom >"$work/$name"
  said="$(LC_ALL=C.UTF-8 wine "$1" "$(winepath -w "$work/$name")" "$(winepath -w "$work/out")" 100000 </dev/null 2>&1)" ||
    fail "the split of $name under 1252" "$said"
  for locale in ja_JP.UTF-8 ru_RU.UTF-8; do
    rm -f "$work/out/$name"
    # As a double click starts it; the launcher passes the quotes as they stand.
    said="$(cd "$work/out" && LOCPATH="$3" LC_ALL="$locale" wine "$2" cmd.exe "/c \"\"$(winepath -w "$work/out/$name.bat")\"\"" </dev/null 2>&1)" &&
      cmp -s "$work/$name" "$work/out/$name" && grep -q "Successfully Merged !!!" <<<"$said" || fail "the join of $name under $locale" "$said"
  done
done
