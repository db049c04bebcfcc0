#!/usr/bin/env bash
# Builds both trees and runs every test tier: host (native, sanitizers),
# win (the Windows build under Wine) and e2e (PLYX driven under Wine + Xvfb).
set -euo pipefail

PLYX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export PLYX_ROOT
cd "$PLYX_ROOT"
# shellcheck source=scripts/install-deps.sh
. "$PLYX_ROOT/scripts/install-deps.sh"
plyx_install_deps

cmake --preset host >/dev/null
cmake --build --preset host
cmake --preset windows >/dev/null
cmake --build --preset windows

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
plyx_floppy_mount
plyx_xvfb_start
plyx_wineserver_start

status=0
ctest --preset host -j2 || status=1
ctest --preset windows || status=1
if [ "$status" = 0 ]; then echo "All test tiers passed."; else echo "Some tests FAILED." >&2; fi
exit "$status"
