#!/usr/bin/env bash
# What can be proven here of the builds a Windows developer may make:
# - plyx.exe of the GCC and Clang trees: the instance counter's section is one
#   copy for every process and holds -1 (Clang has no attribute for it; without
#   its linker flag a second start opens a second window);
# - the tree without tests names no GoogleTest;
# - MSVC: the project configured with clang-cl, which takes MSVC's options and
#   pragmas. Its warning, runtime and link flags, and the counter built by
#   CMake's own rule. cl.exe and link.exe themselves are not here.
# Run by scripts/test.sh after the windows, windows64, windows-product and windows-clang builds.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
failed=0
fail() { printf 'compilers test FAILED: %s\n%s\n' "$1" "${2:-}" >&2; failed=1; }

# The .shared section of a PE image or object: "SHARED" among its flags, and its bytes.
shared_section() {
  { x86_64-w64-mingw32-objdump -h -s -j .shared "$1" 2>&1 || true; } |
    awk '/^ *[0-9]+ \.shared/ { getline; flags = $0 } /^Contents of section/ { getline; bytes = $2 }
         END { print (flags ~ /SHARED/ ? "shared" : "private"), bytes }'
}

for tree in windows windows64 windows-clang; do
  got="$(shared_section "$root/build/$tree/plyx.exe")"
  [ "$got" = "shared ffffffff" ] || fail "$tree/plyx.exe: the counter's section is '$got', not 'shared ffffffff'"
done

if grep -qi googletest "$root/build/windows-product/build.ninja"; then
  fail "the tree without tests builds or includes GoogleTest"
fi

# clang-cl, lld-link and llvm-rc stand beside Debian's clang in LLVM's own folder.
llvm="$(dirname "$(readlink -f "$(command -v clang)")")"
msvc="$root/build/msvc-configure"
rm -rf "$msvc"
out="$(cmake -S "$root" -B "$msvc" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86 \
  -DCMAKE_C_COMPILER="$llvm/clang-cl" -DCMAKE_CXX_COMPILER="$llvm/clang-cl" \
  -DCMAKE_C_COMPILER_TARGET=i686-pc-windows-msvc -DCMAKE_CXX_COMPILER_TARGET=i686-pc-windows-msvc \
  -DCMAKE_RC_COMPILER="$llvm/llvm-rc" -DCMAKE_LINKER="$llvm/lld-link" -DCMAKE_MT="$llvm/llvm-mt" \
  -DCMAKE_TRY_COMPILE_TARGET_TYPE=STATIC_LIBRARY 2>&1)" || fail "MSVC-like configure" "$out"
# Without MSVC's headers and libraries only the counter, which needs none, is built.
counter=app/exe/CMakeFiles/plyx.dir/instance_count.cpp.obj
out="$(cmake --build "$msvc" --target "$counter" 2>&1)" || fail "MSVC-like build of the counter" "$out"
got="$(shared_section "$msvc/$counter")"
[ "${got#* }" = ffffffff ] || fail "clang-cl put the counter in '$got', not in .shared holding -1"
flags="$(awk '/^build app\/exe\/CMakeFiles\/plyx.dir\/main.cpp.obj/ { f = 1 } f && /FLAGS = / { print; exit }' "$msvc/build.ninja")"
link="$(awk '/^build plyx.exe:/ { f = 1 } f && /LINK_FLAGS = / { print; exit }' "$msvc/build.ninja")"
for want in /W4 /WX /utf-8 -MT; do
  grep -q -- " $want\b" <<<"$flags" || fail "MSVC compile flags lack $want" "$flags"
done
grep -q "/SECTION:.shared,RWS" <<<"$link" || fail "MSVC link flags lack /SECTION:.shared,RWS" "$link"
grep -q -- "-Wall\|-static" <<<"$flags $link" && fail "GCC's flags reach MSVC" "$flags $link"

[ "$failed" = 0 ] && echo "compilers: shared counter in GCC, Clang and MSVC-like builds, product without GoogleTest, MSVC flags passed."
exit "$failed"
