#!/usr/bin/env bash
# The builds a Windows developer may make: the instance counter in a section shared by every process,
# holding -1 (without Clang's linker flag a second start opens a second window), in GCC, Clang and
# clang-cl (MSVC's options and pragmas; cl.exe itself is not here); no GoogleTest without the tests.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
failed=0
fail() { printf 'compilers test FAILED: %s\n%s\n' "$1" "${2:-}" >&2; failed=1; }
# "shared" or "private" and the bytes of the .shared section of an image or object.
shared_section() {
  { x86_64-w64-mingw32-objdump -h -s -j .shared "$1" 2>&1 || true; } |
    awk '/^ *[0-9]+ \.shared/ { getline; f = $0 } /^Contents of/ { getline; b = $2 }
         END { print (f ~ /SHARED/ ? "shared" : "private"), b }'
}

for tree in windows windows64 windows-clang; do
  got="$(shared_section "$root/build/$tree/plyx.exe")"
  [ "$got" = "shared ffffffff" ] || fail "$tree/plyx.exe: the counter's section is '$got'"
done
grep -qi googletest "$root/build/windows-product/build.ninja" && fail "the tree without tests has GoogleTest"

llvm="$(dirname "$(readlink -f "$(command -v clang)")")"  # clang-cl, lld-link, llvm-rc beside it
msvc="$root/build/msvc-configure"
counter=app/exe/CMakeFiles/plyx_entry.dir/instance_count.cpp.obj  # needs no header nor library of MSVC's
rm -rf "$msvc"
out="$(cmake -S "$root" -B "$msvc" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86 -DCMAKE_TRY_COMPILE_TARGET_TYPE=STATIC_LIBRARY \
  -DCMAKE_{C,CXX}_COMPILER="$llvm/clang-cl" -DCMAKE_{C,CXX}_COMPILER_TARGET=i686-pc-windows-msvc \
  -DCMAKE_RC_COMPILER="$llvm/llvm-rc" -DCMAKE_LINKER="$llvm/lld-link" -DCMAKE_MT="$llvm/llvm-mt" 2>&1 &&
  cmake --build "$msvc" --target "$counter" 2>&1)" || fail "MSVC-like configure and build of the counter" "$out"
got="$(shared_section "$msvc/$counter")"
[ "${got#* }" = ffffffff ] || fail "clang-cl put the counter in '$got', not in .shared holding -1"
flags="$(grep -A2 "^build $counter" "$msvc/build.ninja" | grep ' FLAGS = ')"
link="$(grep -A2 '^build plyx.exe:' "$msvc/build.ninja" | grep 'LINK_FLAGS = ')"
for want in /W4 /WX /utf-8 -MT; do grep -q -- " $want\b" <<<"$flags" || fail "MSVC flags lack $want" "$flags"; done
grep -q " /SECTION:.shared,RWS" <<<"$link" || fail "MSVC link flags lack /SECTION:.shared,RWS" "$link"
grep -q -- "-Wall\|-static" <<<"$flags $link" && fail "GCC's flags reach MSVC" "$flags $link"

[ "$failed" = 0 ] && echo "compilers: shared counter in GCC, Clang and MSVC-like builds, product without GoogleTest, MSVC flags passed."
exit "$failed"
