# Sourced by the scripts: the project's private Wine prefix and display.
# Needs PLYX_ROOT set to the repository's top folder.

export WINEPREFIX="${WINEPREFIX:-$PLYX_ROOT/build/wine}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
PLYX_FLOPPY="$WINEPREFIX-floppy"

# Raise it whenever the prefix must be made again: 2 needs Wine's 32-bit half
# (a prefix made without it cannot start 64-bit programs any more, "could not
# load kernel32.dll") and carries Wine's own fonts.
PLYX_PREFIX_VERSION=2

plyx_wine_prepare() {
  local marker="$WINEPREFIX/.plyx-ready"
  if [ "$(cat "$marker" 2>/dev/null)" = "$PLYX_PREFIX_VERSION" ]; then return 0; fi
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1
  wineserver -w
  # Wine does not look in its own font folder, so "MS Sans Serif" and "Tahoma"
  # would fall back to another face and the caption buttons (Marlett) to letters.
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  # Without a window manager, hiding a managed top-level window stalls ~2 s.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
  # Classic controls, as on a Windows that runs PLYX without a manifest; a themed
  # progress bar would ignore its bar colour.
  wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /t REG_SZ /d 0 /f </dev/null >/dev/null 2>&1
  wineserver -w
  echo "$PLYX_PREFIX_VERSION" >"$marker"
}

# Wine takes a process's ANSI and OEM code pages from its Unix locale (LC_ALL),
# and its Windows children inherit them: ja_JP gives 932/932, ru_RU 1251/866.
# The locales are built into a folder of ours (LOCPATH), so the machine's own
# settings stay as they are; tests started with them set say so in CMake.
PLYX_LOCPATH="$PLYX_ROOT/build/locale"
plyx_locales_prepare() {
  local l
  for l in ja_JP ru_RU; do
    [ -d "$PLYX_LOCPATH/$l.UTF-8" ] && continue
    mkdir -p "$PLYX_LOCPATH"
    # localedef answers 1 for warnings about the locale source; the folder tells.
    localedef -i "$l" -f UTF-8 "$PLYX_LOCPATH/$l.UTF-8" >/dev/null 2>&1 || true
    [ -d "$PLYX_LOCPATH/$l.UTF-8" ] || { echo "could not build the $l locale" >&2; return 1; }
  done
}

# A floppy-typed A: drive on a 1 MiB tmpfs, for the disk-swap tests. Root only;
# without it the tests that need the drive skip themselves.
plyx_floppy_mount() {
  [ "$(id -u)" = 0 ] || return 0
  mkdir -p "$PLYX_FLOPPY"
  if ! mountpoint -q "$PLYX_FLOPPY"; then
    mount -t tmpfs -o size=1m tmpfs "$PLYX_FLOPPY" || return 0
  fi
  ln -sfn "$PLYX_FLOPPY" "$WINEPREFIX/dosdevices/a:"
  wine reg add 'HKLM\Software\Wine\Drives' /v 'a:' /t REG_SZ /d floppy /f </dev/null >/dev/null 2>&1
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
}

plyx_floppy_unmount() {
  if mountpoint -q "$PLYX_FLOPPY" 2>/dev/null; then umount "$PLYX_FLOPPY"; fi
  rm -f "$WINEPREFIX/dosdevices/a:"
}

# Xvfb on the first free display number.
plyx_xvfb_start() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  PLYX_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start" >&2
  return 1
}

plyx_xvfb_stop() {
  if [ -n "${PLYX_XVFB_PID:-}" ]; then kill "$PLYX_XVFB_PID" 2>/dev/null; wait "$PLYX_XVFB_PID" 2>/dev/null; fi
  PLYX_XVFB_PID=
}

# A persistent wineserver, detached from our pipes: without it every wine call
# pays the server's start-up, and a runner capturing output waits for its linger.
# It answers 2 when the prefix's server runs already (a PLYX left open, another
# script): that one is not ours to stop.
plyx_wineserver_start() {
  if wineserver -p </dev/null >/dev/null 2>&1; then PLYX_WINESERVER_OURS=1; fi
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

plyx_wineserver_stop() {
  [ -n "${PLYX_WINESERVER_OURS:-}" ] || return 0
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null || true
  PLYX_WINESERVER_OURS=
}
