// Bench only: the least a Win32 program can do to copy a file in 65,536-byte
// chunks, the yardstick for plyx-split.exe's own loop under Wine.
//   plyx-bench-copy SOURCE TARGET               one copy
//   plyx-bench-copy SOURCE TARGET PART_SIZE     TARGET.001, TARGET.002, ...
#include <windows.h>

#include <cstdio>
#include <cstdlib>

static HANDLE CreateTarget(const char* path) {
  return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) return 2;
  const unsigned long long partSize = argc == 4 ? std::strtoull(argv[3], nullptr, 10) : 0;
  HANDLE in = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (in == INVALID_HANDLE_VALUE) return 1;
  static char buffer[65536];
  char path[MAX_PATH];
  unsigned part = 0;
  unsigned long long leftInPart = 0;
  HANDLE out = INVALID_HANDLE_VALUE;
  int result = 0;
  for (;;) {
    if (out == INVALID_HANDLE_VALUE || (partSize != 0 && leftInPart == 0)) {
      if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
      if (partSize == 0) {
        std::snprintf(path, sizeof path, "%s", argv[2]);
      } else {
        std::snprintf(path, sizeof path, "%s.%03u", argv[2], ++part);
      }
      out = CreateTarget(path);
      if (out == INVALID_HANDLE_VALUE) return 1;
      leftInPart = partSize;
    }
    DWORD want = sizeof buffer;
    if (partSize != 0 && leftInPart < want) want = static_cast<DWORD>(leftInPart);
    DWORD got = 0;
    if (!ReadFile(in, buffer, want, &got, nullptr) || got == 0) break;
    DWORD put = 0;
    if (!WriteFile(out, buffer, got, &put, nullptr) || put != got) {
      result = 1;
      break;
    }
    leftInPart -= partSize != 0 ? got : 0;
  }
  CloseHandle(out);
  CloseHandle(in);
  return result;
}
