// What the Win32 primitives add to the host tier (which also runs on them
// under Wine, sharing and sizes past 4 GB included): OEM and ANSI names.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ansi_text.h"
#include "file_system.h"
#include "holders.h"
#include "support/files.h"

namespace {

// Mended fault: a best-fit conversion ("e" for "é") would make the batch, or
// plyx-split, name another file.
TEST(Win32OemNames, AnsiNamesBecomeTheOemBytesCmdReads) {
  if (GetACP() != 1252 || GetOEMCP() != 437) {
    GTEST_SKIP() << "code pages " << GetACP() << "/" << GetOEMCP() << ", not 1252/437";
  }
  const struct { const char* ansi; const char* oem; } cases[] = {  // oem nullptr: no exact OEM form
      {"movie.avi", "movie.avi"}, {"caf\xe9", "caf\x82"}, {"\xc4pfel", "\x8epfel"},
      {"price \x80", nullptr},  // the euro sign is not in code page 437
  };
  for (const auto& c : cases) {
    std::string oem;
    EXPECT_EQ(ConvertToOemCodePage(c.ansi, &oem), c.oem != nullptr) << c.ansi;
    EXPECT_EQ(oem, c.oem ? c.oem : "") << c.ansi;
  }
  // Wide names: the best fit of these would be Omega.bin and ??.bin, other files.
  std::string ansi = "x";
  for (const wchar_t* inexact : {L"\u03a9mega.bin", L"\u65e5\u672c.bin"}) EXPECT_FALSE(WideToExactAnsi(inexact, &ansi));
  EXPECT_EQ(ansi, "");
  EXPECT_TRUE(WideToExactAnsi(L"caf\u00e9.bin", &ansi));
  EXPECT_EQ(ansi, "caf\xe9.bin");
}

// Input handled unsafely: plyx-split.exe took the system's best fit of its
// arguments, so that "\u03a9mega.bin" beside Omega.bin split Omega.bin.
TEST(Win32OemNames, PlyxSplitRefusesANameWithoutAnExactAnsiForm) {
  std::wstring exe = L"Z:" PLYX_SPLIT_EXE;
  for (auto& c : exe) c = c == L'/' ? L'\\' : c;
  TempFolder temp;
  ASSERT_TRUE(WriteBytes(temp / "Omega.bin", PatternBytes(300000)));
  ASSERT_TRUE(CreateDirectoryA((temp / "out").c_str(), nullptr));
  const std::wstring folder(temp.Path().begin(), temp.Path().end());
  UniqueHandle(CreateFileW((folder + L"\u03a9mega.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  std::wstring line = L"\"" + exe + L"\" \u03a9mega.bin out 100000";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info));
  const UniqueHandle process(info.hProcess), thread(info.hThread);
  DWORD exitCode = 0;
  EXPECT_EQ(WaitForSingleObject(process.Get(), 60000), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeProcess(process.Get(), &exitCode) && exitCode == 3) << "the source refused: " << exitCode;
  EXPECT_FALSE(Exists(temp / "out\\Omega.bin.001") || Exists(temp / "out\\Omega.bin.bat"));
}

}  // namespace
