#!/usr/bin/env bash
# PLYX's main job from the command line: builds plyx-split.exe, splits a file
# (the one given, or a generated sample) under Wine, joins the parts again with
# Wine's cmd.exe running the generated batch, and checks that the joined file
# is identical to the source.
#
#   bash scripts/run.sh [FILE [PART_SIZE]]     PART_SIZE: bytes or 256KB ... 3MB (default 1.44MB)
set -euo pipefail

PLYX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export PLYX_ROOT
cd "$PLYX_ROOT"
# shellcheck source=scripts/install-deps.sh
. "$PLYX_ROOT/scripts/install-deps.sh"
plyx_install_deps

source_file="${1:-}"
part_size="${2:-1.44MB}"
if [ -n "$source_file" ]; then
  [ -f "$source_file" ] || { echo "run.sh: no such file: $source_file" >&2; exit 2; }
  source_file="$(cd "$(dirname "$source_file")" && pwd)/$(basename "$source_file")"
fi

cmake --preset windows >/dev/null
cmake --build --preset windows --target plyx-split

export WINEPREFIX="$PLYX_ROOT/build/wine"
# shellcheck source=scripts/wine-env.sh
. "$PLYX_ROOT/scripts/wine-env.sh"
work="$(mktemp -d "${TMPDIR:-/tmp}/plyx-run.XXXXXX")"
cleanup() {
  plyx_wineserver_stop
  rm -rf "$work"
}
trap cleanup EXIT
plyx_wine_prepare
plyx_wineserver_start

if [ -z "$source_file" ]; then
  # A sample of about 3.5 MB whose bytes include 0x1A, which only a binary
  # join keeps.
  source_file="$work/sample video.avi"
  python3 - "$source_file" <<'PY'
import random, sys
random.seed(1457664)
data = bytearray(random.getrandbits(8) for _ in range(3_500_000))
data[::97] = b"\x1a" * len(data[::97])
open(sys.argv[1], "wb").write(data)
PY
fi
name="$(basename "$source_file")"
mkdir -p "$work/parts"

echo "Splitting $source_file ($(stat -c %s "$source_file") bytes) at $part_size with plyx-split.exe under Wine"
wine "$PLYX_ROOT/build/windows/plyx-split.exe" "$(winepath -w "$source_file")" \
  "$(winepath -w "$work/parts")" "$part_size" </dev/null
echo "Joining with Wine's cmd.exe running $name.bat"
(cd "$work/parts" && wine cmd.exe /c "$name.bat" </dev/null | tr -d '\r')

if cmp -s "$source_file" "$work/parts/$name"; then
  parts=$(find "$work/parts" -name "$name.[0-9][0-9][0-9]" | wc -l)
  echo "The joined file is identical to the source ($parts parts)."
else
  echo "The joined file DIFFERS from the source." >&2
  exit 1
fi
