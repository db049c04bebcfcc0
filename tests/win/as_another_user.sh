#!/usr/bin/env bash
# Runs a test program of the Windows build under Wine as a user who is not
# root: Wine lets root write every file, read-only or not. Run by root, it runs
# the program as nobody, in a Wine prefix of nobody's own beside WINEPREFIX
# (made on first use); run by anyone else, as that user.
#   as_another_user.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
[ "$(id -u)" = 0 ] || exec wine "$@"
prefix="${WINEPREFIX:?}-nobody"
as_nobody() {
  runuser -u nobody -- env HOME="$prefix" WINEPREFIX="$prefix" WINEARCH="${WINEARCH:-win64}" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=" "$@"
}
if [ ! -e "$prefix/.plyx-ready" ]; then
  rm -rf "$prefix"
  install -d -o nobody -g "$(id -gn nobody)" "$prefix"
  as_nobody wineboot -i </dev/null >/dev/null 2>&1
  as_nobody wineserver -w
  as_nobody touch "$prefix/.plyx-ready"
fi
# A persistent server, detached from our output, so that nothing waits for its linger.
(as_nobody wineserver -p </dev/null >/dev/null 2>&1 &)
trap 'as_nobody wineserver -k 2>/dev/null || true' EXIT
as_nobody wine "$@"
