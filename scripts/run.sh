#!/usr/bin/env bash
# PLYX's main job: builds plyx.exe (with PLYX.chm beside it) and runs it under
# Wine in the project's prefix; a file given is chosen in its window.
#
#   bash scripts/run.sh [FILE]                      PLYX's window on $DISPLAY. With no display: split FILE
#                                                   (or a sample) with plyx-split.exe, join the parts as a
#                                                   double click on the batch does, compare, and take a
#                                                   picture of the main window with FILE chosen (Xvfb)
#   bash scripts/run.sh --screenshot PNG [FILE]     under Xvfb: save the main window as PNG, then close it
#   bash scripts/run.sh --cli [FILE [PART_SIZE]]    only the split, the join and the comparison
#                                                   (PART_SIZE: bytes or a preset of plyx-split --help,
#                                                   default 1.44MB)
#
# Parts, batch and picture go to build/run. PLYX_RUN_DIR, PLYX_BUILD and
# PLYX_WINEPREFIX choose other folders (defaults build/run, build/windows, build/wine).
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
  # The comment block at the top, without its first line (#!) or the code below it.
  -h|--help) awk 'NR > 1 && !/^#/ { exit } NR > 1 { sub(/^# ?/, ""); print }' "$0"; exit 0 ;;
esac
[ "$mode" = gui ] && [ -z "${DISPLAY:-}" ] && mode=headless

source_file="${1:-}"
part_size="${2:-1.44MB}"
if [ -n "$source_file" ]; then
  [ -e "$source_file" ] || { echo "run.sh: no such file: $source_file" >&2; exit 2; }
  source_file="$(cd "$(dirname "$source_file")" && pwd)/$(basename "$source_file")"
fi

# shellcheck source=scripts/install-deps.sh
. "$PLYX_ROOT/scripts/install-deps.sh"
plyx_install_deps

build="${PLYX_BUILD:-$PLYX_ROOT/build/windows}"
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
cmake --preset windows -B "$build" >/dev/null
# The compilers' and the help compiler's chatter is kept for when it matters:
# a build that fails shows it all.
build_log="$build/run-build.log"
echo "Building PLYX in $build (the build's own output goes to $build_log)"
if ! cmake --build "$build" --target plyx plyx_help plyx-split plyx-launch >"$build_log" 2>&1; then
  cat "$build_log" >&2
  echo "run.sh: the build failed (its output above is also in $build_log)" >&2
  exit 1
fi

out="${PLYX_RUN_DIR:-$PLYX_ROOT/build/run}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

export WINEPREFIX="${PLYX_WINEPREFIX:-$PLYX_ROOT/build/wine}"
# shellcheck source=scripts/wine-env.sh
. "$PLYX_ROOT/scripts/wine-env.sh"
cleanup() {
  plyx_wineserver_stop
  plyx_xvfb_stop
}
trap cleanup EXIT
# Wine's desktop process, started with a wineserver's first program, picks the
# graphics driver of every later one: started with no display (the split and
# the join would start it), it picks none, and plyx.exe draws nowhere.
case "$mode" in screenshot | headless) plyx_xvfb_start ;; esac
plyx_wine_prepare
plyx_wineserver_start

launch="$build/plyx-launch.exe"

# PLYX takes the whole text after its name as one path, quotes included: the
# launcher hands it over as it stands, where wine would quote it and cmd.exe
# would expand %VAR% in it.
start_plyx() {
  local win_file=""
  [ -n "$source_file" ] && win_file="$(winepath -w "$source_file")"
  wine "$launch" "$(winepath -w "$build/plyx.exe")" ${win_file:+"$win_file"} </dev/null
}

make_sample() {
  # About 3.5 MB whose bytes include 0x1A, which only a binary join keeps.
  source_file="$out/sample video.avi"
  python3 - "$source_file" <<'PY'
import random, sys
random.seed(1457664)
data = bytearray(random.getrandbits(8) for _ in range(3_500_000))
data[::97] = b"\x1a" * len(data[::97])
open(sys.argv[1], "wb").write(data)
PY
}

# Splits into $out/parts, then runs the batch there as a double click on it
# does: cmd.exe /c ""FULL NAME.bat"", in the batch's folder.
split_and_join() {
  local parts="$out/parts" name count
  name="$(basename "$source_file")"
  rm -rf "$parts"
  mkdir -p "$parts"
  echo "Splitting $source_file ($(stat -c %s "$source_file") bytes) at $part_size with plyx-split.exe under Wine"
  # Nothing to join or show after a refused split: end here, with its reason above.
  wine "$build/plyx-split.exe" "$(winepath -w "$source_file")" "$(winepath -w "$parts")" "$part_size" </dev/null ||
    exit 1
  echo "Joining: $name.bat run by cmd.exe as a double click runs it"
  (cd "$parts" && wine "$launch" cmd.exe "/c \"\"$(winepath -w "$parts/$name.bat")\"\"" </dev/null | tr -d '\r')
  count=$(find "$parts" -name "$name.[0-9][0-9][0-9]" | wc -l)
  if [ ! -f "$parts/$name" ]; then
    echo "The batch did not make $name." >&2
    case "$name" in
      *%*%*) echo "cmd.exe expands %...% in the name of a batch it is to run, here as on Windows." >&2 ;;
    esac
    return 1
  elif cmp -s "$source_file" "$parts/$name"; then
    echo "The joined file is identical to the source ($count parts)."
  else
    echo "The joined file DIFFERS from the source." >&2
    return 1
  fi
}

# The main window's X window, by the title the build wrote: Wine draws the
# caption itself in the prefix's unmanaged mode, so the window alone makes a
# whole picture.
main_window_id() {
  local title
  title="$(sed -n 's/^#define PLYX_TITLE "\(.*\)"$/\1/p' "$build/include/version.h")"
  xwininfo -root -tree 2>/dev/null | awk -v title="\"$title\"" 'index($0, title) { print $1; exit }'
}

take_screenshot() {
  local id="" i plyx
  (cd "$out" && start_plyx >/dev/null 2>&1) &
  plyx=$!
  for i in $(seq 150); do
    id="$(main_window_id)"
    [ -n "$id" ] && break
    sleep 0.2
  done
  if [ -z "$id" ]; then
    echo "run.sh: PLYX's window did not appear" >&2
    [ -n "${PLYX_WINESERVER_OURS:-}" ] ||
      echo "run.sh: Wine was already running in $WINEPREFIX; PLYX_WINEPREFIX chooses another prefix" >&2
    return 1
  fi
  # Painted when two pictures in a row have the same pixels, of more than one colour.
  local shot="$out/.main-window.png" seen="" now="none 0"
  for i in $(seq 50); do
    if import -window "$id" "$shot" 2>/dev/null; then
      now="$(identify -format '%# %k' "$shot")"
      [ "$now" = "$seen" ] && [ "${now#* }" -gt 1 ] && break
      seen="$now"
    fi
    sleep 0.3
  done
  if [ "$now" != "$seen" ] || [ "${now#* }" -le 1 ]; then
    echo "run.sh: PLYX's window was not drawn" >&2
    return 1
  fi
  mv -f "$shot" "$screenshot"
  # Without /f taskkill asks politely (WM_CLOSE), and PLYX ends as if closed.
  wine taskkill /im plyx.exe </dev/null >/dev/null 2>&1 || true
  wait "$plyx" || true
}

case "$mode" in
  gui)
    echo "Starting PLYX under Wine (prefix $WINEPREFIX)"
    start_plyx
    ;;
  cli)
    [ -n "$source_file" ] || make_sample
    split_and_join
    echo "The parts and the batch are in $out/parts"
    ;;
  screenshot)
    take_screenshot
    echo "Saved a screenshot of the main window to $screenshot"
    ;;
  headless)
    echo "No display (DISPLAY is not set): PLYX's main job without its window."
    [ -n "$source_file" ] || make_sample
    joined=0
    split_and_join || joined=1
    screenshot="$out/main-window.png"
    take_screenshot
    name="$(basename "$source_file")"
    joining="it joined them into $out/parts/$name"
    [ "$joined" = 0 ] || joining="it did not join them, see above"
    cat <<MSG

  parts:    $out/parts/$name.001 ...
  batch:    $out/parts/$name.bat ($joining)
  picture:  $screenshot (the main window with $name chosen, drawn on a private Xvfb)

To see and use the window itself, run from a desktop session, or over
"ssh -X" from a machine with an X server (DISPLAY is then set):
  bash scripts/run.sh [FILE]
MSG
    exit "$joined"
    ;;
esac
