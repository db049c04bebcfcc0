#!/usr/bin/env bash
# Speed and memory of the split run, measured against cp and GNU split in the
# same run, with every file in a tmpfs (no disk below the page cache):
#   - plyx-split (native, release, no sanitizers) vs cp of the whole file and
#     split -b with the same part size: medians of several runs and ratios;
#   - peak resident memory of each (/usr/bin/time -v);
#   - plyx-split.exe of the shipped 32-bit build under Wine vs a minimal Win32
#     copy loop under Wine, both as one copy of the file and writing the same
#     parts (each new file costs Wine a scan of the folder, whoever creates it).
# A measurement, not a test: it prints figures and asserts nothing.
#
#   bash scripts/bench.sh            PLYX_BENCH_RUNS (5) and PLYX_BENCH_WINE_RUNS (3) set the runs
set -euo pipefail

PLYX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export PLYX_ROOT
cd "$PLYX_ROOT"
# shellcheck source=scripts/install-deps.sh
. "$PLYX_ROOT/scripts/install-deps.sh"
plyx_install_deps

runs="${PLYX_BENCH_RUNS:-5}"
wine_runs="${PLYX_BENCH_WINE_RUNS:-3}"
build="${PLYX_BENCH_BUILD:-$PLYX_ROOT/build/bench}"

echo "Building release binaries in $build-host and $build-win32"
# Out of sight unless the build fails, and then shown whole: the compiler's
# errors come on the output that a quiet build drops.
build_log="$build-build.log"
build_failed() {
  cat "$build_log" >&2
  echo "bench.sh: the build failed (its output above is also in $build_log)" >&2
  exit 1
}
cmake -S "$PLYX_ROOT" -B "$build-host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLYX_SANITIZE=OFF \
  -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build-host" --target plyx-split >"$build_log" 2>&1 || build_failed
cmake -S "$PLYX_ROOT" -B "$build-win32" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PLYX_ROOT/cmake/mingw-w64-i686.cmake" -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build-win32" --target plyx-split plyx-bench-copy >>"$build_log" 2>&1 || build_failed

shm=/dev/shm
[ -d "$shm" ] && [ -w "$shm" ] || shm="${TMPDIR:-/tmp}"
work="$(mktemp -d "$shm/plyx-bench.XXXXXX")"
# shellcheck source=scripts/wine-env.sh
. "$PLYX_ROOT/scripts/wine-env.sh"
cleanup() {
  plyx_wineserver_stop
  rm -rf "$work"
}
trap cleanup EXIT
plyx_wine_prepare
plyx_wineserver_start

plyx="$build-host/plyx-split"
plyx_exe="$build-win32/plyx-split.exe"
copy_exe="$build-win32/plyx-bench-copy.exe"

# Milliseconds of one run of the command. Its output goes to a file: Wine's C
# runtime treats /dev/null as a console and makes each write to it slow.
time_ms() {
  local start end
  start=$(date +%s%N)
  "$@" </dev/null >"$work/log" 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}'; }
fresh_out() { rm -rf "$work/out"; mkdir "$work/out"; }
peak_kb() {
  fresh_out
  /usr/bin/time -v "$@" </dev/null 2>&1 >/dev/null | awk -F': ' '/Maximum resident/ {print $2}'
}

bench_case() {
  local label="$1" bytes="$2" part="$3"
  local src="$work/source.bin" parts
  head -c "$bytes" /dev/urandom >"$src"
  parts=$(((bytes + part - 1) / part))
  local t_cp=() t_split=() t_plyx=() t_wcopy=() t_wparts=() t_wplyx=() i
  local wsrc wout
  wsrc="$(winepath -w "$src")"
  mkdir -p "$work/out"
  wout="$(winepath -w "$work/out")"
  # A warm-up of each, then the tools take turns so drift hits them alike.
  for i in $(seq 0 "$runs"); do
    fresh_out; a=$(time_ms cp "$src" "$work/out/copy.bin")
    fresh_out; b=$(time_ms split -b "$part" -a 3 -d "$src" "$work/out/source.bin.")
    fresh_out; c=$(time_ms "$plyx" "$src" "$work/out" "$part")
    [ "$(find "$work/out" -name 'source.bin.[0-9]*' | wc -l)" = "$parts" ] || { echo "plyx-split wrote the wrong parts" >&2; exit 1; }
    if [ "$i" -gt 0 ]; then t_cp+=("$a"); t_split+=("$b"); t_plyx+=("$c"); fi
  done
  for i in $(seq 0 "$wine_runs"); do
    fresh_out; a=$(time_ms wine "$copy_exe" "$wsrc" "$wout\\copy.bin")
    fresh_out; c=$(time_ms wine "$copy_exe" "$wsrc" "$wout\\source.bin" "$part")
    fresh_out; b=$(time_ms wine "$plyx_exe" "$wsrc" "$wout" "$part")
    [ "$(find "$work/out" -name 'source.bin.[0-9]*' | wc -l)" = "$parts" ] || { echo "plyx-split.exe wrote the wrong parts" >&2; exit 1; }
    if [ "$i" -gt 0 ]; then t_wcopy+=("$a"); t_wparts+=("$c"); t_wplyx+=("$b"); fi
  done
  local m_cp m_split m_plyx m_wcopy m_wparts m_wplyx
  m_cp=$(printf '%s\n' "${t_cp[@]}" | median)
  m_split=$(printf '%s\n' "${t_split[@]}" | median)
  m_plyx=$(printf '%s\n' "${t_plyx[@]}" | median)
  m_wcopy=$(printf '%s\n' "${t_wcopy[@]}" | median)
  m_wparts=$(printf '%s\n' "${t_wparts[@]}" | median)
  m_wplyx=$(printf '%s\n' "${t_wplyx[@]}" | median)
  local r_cp r_split r_plyx
  r_cp=$(peak_kb cp "$src" "$work/out/copy.bin")
  r_split=$(peak_kb split -b "$part" -a 3 -d "$src" "$work/out/source.bin.")
  r_plyx=$(peak_kb "$plyx" "$src" "$work/out" "$part")
  rm -rf "$work/out" "$src"

  echo
  echo "$label: $bytes bytes at $part bytes, $parts parts (medians of $runs runs; Wine $wine_runs)"
  printf '  %-34s %8s ms   peak RSS %7s kB\n' "cp (whole file)" "$m_cp" "$r_cp"
  printf '  %-34s %8s ms   peak RSS %7s kB\n' "GNU split -b $part" "$m_split" "$r_split"
  printf '  %-34s %8s ms   peak RSS %7s kB\n' "plyx-split" "$m_plyx" "$r_plyx"
  printf '  %-34s %8s x cp, %s x split\n' "plyx-split ratio" "$(ratio "$m_plyx" "$m_cp")" "$(ratio "$m_plyx" "$m_split")"
  printf '  %-34s %8s ms   (%s x cp)\n' "Wine: Win32 copy loop, one file" "$m_wcopy" "$(ratio "$m_wcopy" "$m_cp")"
  printf '  %-34s %8s ms   (%s x cp)\n' "Wine: Win32 copy loop, same parts" "$m_wparts" "$(ratio "$m_wparts" "$m_cp")"
  printf '  %-34s %8s ms   (%s x cp; %s x the parts loop, %s x the one-file loop)\n' \
    "Wine: plyx-split.exe" "$m_wplyx" "$(ratio "$m_wplyx" "$m_cp")" \
    "$(ratio "$m_wplyx" "$m_wparts")" "$(ratio "$m_wplyx" "$m_wcopy")"
}

echo "Files in $work ($(df -h --output=fstype "$work" | tail -1 | tr -d ' '))"
bench_case "1 GiB" $((1024 * 1024 * 1024)) 1457664
bench_case "240 MiB" $((240 * 1024 * 1024)) 262144
