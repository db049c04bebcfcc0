#!/usr/bin/env bash
# A name split under code page 1252, its batch run by cmd.exe under 932 and
# under 1251/866: the batch must find its parts whatever the receiver's code
# page. Wine takes a process's code pages from its locale at its start.
#   join_in_other_code_pages.sh PLYX_SPLIT_EXE PLYX_LAUNCH_EXE LOCPATH
set -euo pipefail
split_exe="$1" launch="$2" locales="$3"
work="$(mktemp -d "${TMPDIR:-/tmp}/plyx-code-pages.XXXXXX")"
trap 'rm -rf "$work"' EXIT
fail() { printf 'FAILED: %s\n%s\n' "$1" "${2:-}" >&2; exit 1; }

name='John’s notes – final €.doc'
head -c 250000 /dev/urandom >"$work/$name"
mkdir "$work/out"
out="$(LC_ALL=C.UTF-8 wine "$split_exe" "$(winepath -w "$work/$name")" "$(winepath -w "$work/out")" 100000 </dev/null 2>&1)" ||
  fail "the split under code page 1252" "$out"
batch="$(winepath -w "$work/out/$name.bat")"
for locale in ja_JP.UTF-8 ru_RU.UTF-8; do
  rm -f "$work/out/$name"
  # As a double click starts it; the launcher passes the quotes as they stand.
  said="$(cd "$work/out" && LOCPATH="$locales" LC_ALL="$locale" wine "$launch" cmd.exe "/c \"\"$batch\"\"" </dev/null 2>&1)" ||
    fail "the join under $locale" "$said"
  cmp -s "$work/$name" "$work/out/$name" || fail "the join under $locale differs from the source" "$said"
  grep -q "Successfully Merged !!!" <<<"$said" || fail "no success under $locale" "$said"
done
echo "Split under 1252, joined under 932 and 1251: identical."
