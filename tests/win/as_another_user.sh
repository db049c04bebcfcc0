#!/usr/bin/env bash
# Runs PROGRAM under Wine as nobody, in a prefix of its own (Wine lets root write any file).
# as_another_user.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
[ "$(id -u)" = 0 ] || exec wine "$@"
prefix="${WINEPREFIX:?}-nobody"
as_nobody() { runuser -u nobody -- env HOME="$prefix" WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" "$@"; }
[ -e "$prefix/.plyx-ready" ] || { rm -rf "$prefix" && install -d -o nobody "$prefix" &&
  as_nobody wineboot -i </dev/null >/dev/null 2>&1 && as_nobody wineserver -w && as_nobody touch "$prefix/.plyx-ready"; }
(as_nobody wineserver -p </dev/null >/dev/null 2>&1 &)  # detached: no wait for its linger
trap 'as_nobody wineserver -k 2>/dev/null || true' EXIT
as_nobody wine "$@"
