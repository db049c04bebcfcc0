#!/usr/bin/env bash
# Builds every tree and runs every test tier: host (native, sanitizers), and
# win (the Windows build under Wine) and e2e (PLYX driven under Wine + Xvfb) on
# both Windows builds, the shipped 32-bit one and the 64-bit one; the product
# as a Windows developer may build it (without GoogleTest, with Clang, MSVC's
# flags); then scripts/run.sh with a file name a user can have, and as a
# newcomer runs it. First of all, that every C++ file is laid out as
# .clang-format says.
#
#   bash scripts/test.sh                        everything
#   bash scripts/test.sh PRESET [CTEST ARGS]    one tree (host, windows, windows64) built, and
#                                               ctest run on it with those arguments in the same
#                                               Wine prefix, Xvfb and wineserver, e.g.
#                                               bash scripts/test.sh windows -R '^e2e\.'
set -euo pipefail

PLYX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export PLYX_ROOT
cd "$PLYX_ROOT"
# shellcheck source=scripts/install-deps.sh
. "$PLYX_ROOT/scripts/install-deps.sh"
plyx_install_deps

# One layout for the C++ (.clang-format): a file that strays from it fails the
# run at once, by name. Outside a git checkout there is no list of files to hold.
if git rev-parse --git-dir >/dev/null 2>&1 &&
  ! layout="$(git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run -Werror 2>&1)"; then
  off="$(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' <<<"$layout" | sort -u)"
  printf 'Not laid out as .clang-format says (clang-format -i FILE mends it):\n%s\n' "${off:-$layout}" >&2
  exit 1
fi

only="${1:-}"
[ -z "$only" ] || shift
presets="host windows windows64 windows-product windows-clang"
[ -z "$only" ] || presets="$only"
for preset in $presets; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

if [ "$only" = host ]; then exec ctest --preset host -j "$(nproc)" "$@"; fi

# shellcheck source=scripts/wine-env.sh
export WINEPREFIX="$PLYX_ROOT/build/wine"
. "$PLYX_ROOT/scripts/wine-env.sh"
cleanup() {
  plyx_wineserver_stop
  plyx_floppy_unmount
  plyx_xvfb_stop
}
trap cleanup EXIT
plyx_wine_prepare
plyx_locales_prepare
# The journeys need the prefix to themselves: a PLYX left open in it would
# take over every start as its second copy.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
plyx_floppy_mount
plyx_xvfb_start
plyx_wineserver_start

status=0
if [ -n "$only" ]; then
  ctest --preset "$only" "$@" || status=1
else
  bash "$PLYX_ROOT/tests/scripts/compilers_test.sh" || status=1
  ctest --preset host -j "$(nproc)" || status=1
  ctest --preset windows || status=1
  ctest --preset windows64 || status=1
  bash "$PLYX_ROOT/tests/scripts/run_test.sh" || status=1
fi
if [ "$status" = 1 ]; then echo "Some tests FAILED." >&2
elif [ -n "$only" ]; then echo "The chosen tests of $only passed."
else echo "All test tiers passed."; fi
exit "$status"
