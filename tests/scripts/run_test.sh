#!/usr/bin/env bash
# scripts/run.sh with names holding blanks, &, é, %OS%: --cli, and the main job with no display and
# nothing of PLYX's running yet. Needs the environment of scripts/wine-env.sh, as scripts/test.sh gives.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/plyx-run-test.XXXXXX")"
cleanup() {
  WINEPREFIX="$work/wine" wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { printf 'run.sh test FAILED: %s\n%s\n' "$1" "${2:-}" >&2; exit 1; }

# Guards: cmd.exe stopped the batch at the & of its name.
file="$work/café & more.bin"
head -c 300000 /dev/urandom >"$file"

out="$(PLYX_RUN_DIR="$work/cli" bash "$root/scripts/run.sh" --cli "$file" 100000 2>&1)" || fail "--cli" "$out"
grep -q "identical to the source (3 parts)" <<<"$out" || fail "--cli did not join" "$out"

# The newcomer's main job: no display, no Wine running, a prefix of its own, the help to compile.
# Guards: Wine's desktop started with no display (the window drew nowhere); the build's lines buried the job's.
build="${PLYX_BUILD:-$root/build/windows}"
rm -f "$build/PLYX.chm"
prefix="$work/wine"
out="$(env -u DISPLAY -u WINEPREFIX PLYX_WINEPREFIX="$prefix" PLYX_RUN_DIR="$work/main" \
  bash "$root/scripts/run.sh" "$file" 2>&1)" || fail "no display, fresh prefix" "$out"
grep -q "identical to the source (1 parts)" <<<"$out" || fail "the main job did not join" "$out"
! grep -qE '^(Note:|\[[0-9]+/[0-9]+\] )' <<<"$out" && [ -f "$build/PLYX.chm" ] || fail "the build spoke" "$out"
# A PNG of the whole window, not of one colour: its caption, controls and texts.
read -r format width height colours deviation < <(identify -format '%m %w %h %k %[fx:standard_deviation]\n' \
  "$work/main/main-window.png" 2>&1) || true
[ "$format" = PNG ] && [ "${width:-0}" -ge 300 ] && [ "${height:-0}" -ge 200 ] && [ "${colours:-0}" -ge 8 ] &&
  awk -v d="${deviation:-0}" 'BEGIN { exit !(d > 0.05) }' ||
  fail "the picture is not of the main window: $format ${width}x$height, $colours colours, deviation $deviation" "$out"
for pid in /proc/[0-9]*; do
  if grep -qsxzF "WINEPREFIX=$prefix" "$pid/environ"; then
    fail "run.sh left Wine running in its prefix: $(tr '\0' ' ' <"$pid/cmdline")" "$out"
  fi
done

out="$(bash "$root/scripts/run.sh" --help)"
grep -q "^  bash scripts/run.sh --cli" <<<"$out" && ! grep -q "^set " <<<"$out" || fail "--help" "$out"

# Guards: a name with %OS% reached plyx.exe empty when cmd.exe started it; plyx-launch.exe, as run.sh
# uses it, starts plyx-split.exe here, which shows whether the name arrived whole.
percent="$work/50%OS% & more.bin"
cp "$file" "$percent"
out="$(wine "$build/plyx-launch.exe" "$(winepath -w "$build/plyx-split.exe")" \
  "\"$(winepath -w "$percent")\" \"$(winepath -w "$work")\" 1MB" </dev/null 2>&1)" || fail "%OS% in a name" "$out"
echo "run.sh: split, join, picture and hand-over with blanks, &, é and %OS% in the name passed."
