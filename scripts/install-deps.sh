# Sourced by the scripts: installs the Debian packages PLYX builds and tests
# with, when some are missing and we are root. apt-get update only then.

# locales gives localedef, which builds the double-byte and Cyrillic locales
# that make Wine's ANSI and OEM code pages 932 and 1251/866 for a test.
# wine32:i386 is Wine's 32-bit half, which runs the shipped 32-bit build; it
# needs the i386 architecture added to dpkg.
# clang and lld build the Windows targets a second time; clang-tools (clang-cl)
# and llvm (llvm-rc) configure the project as MSVC would see it; clang-format
# holds the C++ to its one layout.
PLYX_PACKAGES="cmake ninja-build g++ googletest python3 fp-utils
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  clang lld llvm clang-tools clang-format
  wine wine64 wine32:i386 fonts-wine fonts-liberation
  xvfb x11-utils xauth xdotool imagemagick procps locales"

plyx_install_deps() {
  local missing="" p
  for p in $PLYX_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" != 0 ]; then
    echo "Missing Debian packages:$missing (run as root to install them)" >&2
    return 1
  fi
  echo "Installing:$missing"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
}
