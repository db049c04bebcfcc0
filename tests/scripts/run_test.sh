#!/usr/bin/env bash
# scripts/run.sh with file names a user can have (blanks, &, é, %OS%): --cli
# splits, joins as a double click on the batch does, and compares; with no
# display the main job does the same and also draws the main window.
# Needs the environment of scripts/wine-env.sh, as scripts/test.sh runs it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/plyx-run-test.XXXXXX")"
trap 'rm -rf "$work"' EXIT
fail() { printf 'run.sh test FAILED: %s\n%s\n' "$1" "${2:-}" >&2; exit 1; }

# Guards: cmd.exe stopped the batch at the & of its name.
file="$work/café & more.bin"
head -c 300000 /dev/urandom >"$file"

out="$(PLYX_RUN_DIR="$work/cli" bash "$root/scripts/run.sh" --cli "$file" 100000 2>&1)" || fail "--cli" "$out"
grep -q "identical to the source (3 parts)" <<<"$out" || fail "--cli did not join" "$out"

out="$(env -u DISPLAY PLYX_RUN_DIR="$work/main" bash "$root/scripts/run.sh" "$file" 2>&1)" || fail "no display" "$out"
grep -q "identical to the source (1 parts)" <<<"$out" || fail "the main job did not join" "$out"
[ "$(identify -format %m "$work/main/main-window.png")" = PNG ] || fail "no picture of the main window" "$out"

# Guards: a name with %OS% reached plyx.exe empty when cmd.exe started it.
# run.sh hands the name over through plyx-launch.exe; plyx-split.exe, started
# the same way, shows whether the name arrived as it stands.
build="${PLYX_BUILD:-$root/build/windows}"
percent="$work/50%OS% & more.bin"
cp "$file" "$percent"
out="$(wine "$build/plyx-launch.exe" "$(winepath -w "$build/plyx-split.exe")" \
  "\"$(winepath -w "$percent")\" \"$(winepath -w "$work")\" 1MB" </dev/null 2>&1)" || fail "%OS% in a name" "$out"
echo "run.sh: split, join, picture and hand-over with blanks, &, é and %OS% in the name passed."
