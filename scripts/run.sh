#!/usr/bin/env bash
# PLYX's main job: builds plyx.exe (with PLYX.chm beside it) and starts it under
# Wine in the project's prefix; a file given becomes its command line, so it
# opens with that file chosen.
#
#   bash scripts/run.sh [FILE]                      the program, on $DISPLAY
#   bash scripts/run.sh --screenshot PNG [FILE]     under Xvfb: save the main window as PNG, then close it
#   bash scripts/run.sh --cli [FILE [PART_SIZE]]    split FILE (or a sample) with plyx-split.exe, join it
#                                                   with Wine's cmd.exe and check the join is identical
#                                                   (PART_SIZE: bytes or 256KB ... 3MB, default 1.44MB)
#
# PLYX_BUILD and PLYX_WINEPREFIX choose another build folder and Wine prefix
# (defaults build/windows and build/wine).
set -euo pipefail

PLYX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export PLYX_ROOT
cd "$PLYX_ROOT"

mode=gui
screenshot=""
case "${1:-}" in
  --cli) mode=cli; shift ;;
  --screenshot)
    mode=screenshot
    screenshot="${2:?run.sh: --screenshot needs the PNG file to write}"
    screenshot="$(cd "$(dirname "$screenshot")" && pwd)/$(basename "$screenshot")"
    shift 2 ;;
  -h|--help) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
esac

source_file="${1:-}"
if [ -n "$source_file" ]; then
  [ -e "$source_file" ] || { echo "run.sh: no such file: $source_file" >&2; exit 2; }
  source_file="$(cd "$(dirname "$source_file")" && pwd)/$(basename "$source_file")"
fi

if [ "$mode" = gui ] && [ -z "${DISPLAY:-}" ]; then
  cat >&2 <<MSG
run.sh: no display (DISPLAY is not set), so PLYX's window has nowhere to go.
  From a desktop session:          bash scripts/run.sh [FILE]
  A picture of it under Xvfb here: bash scripts/run.sh --screenshot plyx.png [FILE]
  The split itself, no window:     bash scripts/run.sh --cli [FILE [PART_SIZE]]
MSG
  exit 2
fi

# shellcheck source=scripts/install-deps.sh
. "$PLYX_ROOT/scripts/install-deps.sh"
plyx_install_deps

build="${PLYX_BUILD:-$PLYX_ROOT/build/windows}"
cmake --preset windows -B "$build" >/dev/null
if [ "$mode" = cli ]; then
  cmake --build "$build" --target plyx-split
else
  cmake --build "$build" --target plyx plyx_help
fi

export WINEPREFIX="${PLYX_WINEPREFIX:-$PLYX_ROOT/build/wine}"
# shellcheck source=scripts/wine-env.sh
. "$PLYX_ROOT/scripts/wine-env.sh"
work="$(mktemp -d "${TMPDIR:-/tmp}/plyx-run.XXXXXX")"
cleanup() {
  plyx_wineserver_stop
  plyx_xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT
plyx_wine_prepare
[ "$mode" = screenshot ] && plyx_xvfb_start
plyx_wineserver_start

win_file=""
[ -n "$source_file" ] && win_file="$(winepath -w "$source_file")"

# PLYX takes the whole text after its name as one path, quotes included, and
# wine would quote an argument with blanks; cmd.exe /c hands the text on as it
# stands (and waits for the program), once its own special characters are escaped.
start_plyx() {
  local exe text
  exe="$(winepath -w "$build/plyx.exe")"
  text="$(printf '%s' "$win_file" | sed 's/[&|<>^()]/^&/g')"
  wine cmd.exe /c "$exe${text:+ $text}" </dev/null
}

run_cli() {
  local part_size="${1:-1.44MB}" name parts
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
    win_file="$(winepath -w "$source_file")"
  fi
  name="$(basename "$source_file")"
  mkdir -p "$work/parts"
  echo "Splitting $source_file ($(stat -c %s "$source_file") bytes) at $part_size with plyx-split.exe under Wine"
  wine "$build/plyx-split.exe" "$win_file" "$(winepath -w "$work/parts")" "$part_size" </dev/null
  echo "Joining with Wine's cmd.exe running $name.bat"
  (cd "$work/parts" && wine cmd.exe /c "$name.bat" </dev/null | tr -d '\r')
  if cmp -s "$source_file" "$work/parts/$name"; then
    parts=$(find "$work/parts" -name "$name.[0-9][0-9][0-9]" | wc -l)
    echo "The joined file is identical to the source ($parts parts)."
  else
    echo "The joined file DIFFERS from the source." >&2
    return 1
  fi
}

# The main window's X window: Wine draws the caption itself in the prefix's
# unmanaged mode, so the window alone makes a whole picture.
main_window_id() {
  xwininfo -root -tree 2>/dev/null | awk '/"PLYX - Quorvant Ver 1.4"/ { print $1; exit }'
}

run_screenshot() {
  local id="" i
  (cd "$work" && start_plyx >/dev/null 2>&1) &
  local plyx=$!
  for i in $(seq 150); do
    id="$(main_window_id)"
    [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || { echo "run.sh: PLYX's window did not appear" >&2; return 1; }
  sleep 1  # let it paint
  import -window "$id" "$screenshot"
  echo "Saved a screenshot of the main window to $screenshot"
  wine taskkill /im plyx.exe </dev/null >/dev/null 2>&1 || true
  wait "$plyx" || true
}

case "$mode" in
  cli) run_cli "${2:-}" ;;
  screenshot) run_screenshot ;;
  gui)
    echo "Starting PLYX under Wine (prefix $WINEPREFIX)"
    start_plyx
    ;;
esac
