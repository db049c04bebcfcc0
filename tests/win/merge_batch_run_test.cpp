// The merge batch run by cmd.exe: it restores the source byte for byte or leaves the name as it was.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <regex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ansi_text.h"
#include "disk_file.h"
#include "disk_space.h"
#include "size_presets.h"
#include "split_worker.h"
#include "support/child_process.h"
#include "support/files.h"
#include "support/split_fakes.h"

namespace {

void Split(const TempFolder& in, const std::string& dest, const std::string& name, const std::string& data,
           std::uint32_t partSize) {
  ASSERT_TRUE(WriteBytes(in / name, data));
  const auto size = static_cast<std::uint32_t>(data.size());
  SplitJobRecord job;
  FillJob(job, in / name, dest, size, partSize, PartCount(size, partSize));
  ScriptedUi ui;
  ASSERT_EQ(RunSplit(job, ui, SystemDiskSpace()), kStatusOk) << ui.Dump();
}

// Names of every character this code page can hold, oftener what cmd reads specially.
std::vector<std::string> RandomNames(int count) {
  std::string characters(70, ' ');
  for (std::size_t i = 0; i < characters.size(); ++i) characters[i] = "()&^%!;,= "[i % 10];
  for (int byte = 0x20; byte < 0x100; ++byte) {
    const char c = static_cast<char>(byte);
    wchar_t wide = 0;
    if (std::strchr("\"*/:<>?\\|", c) == nullptr && !IsDBCSLeadByte(static_cast<BYTE>(byte)) &&
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &c, 1, &wide, 1) == 1 && (wide < 0x7F || wide > 0x9F)) {
      characters += c;
    }
  }
  const char* fixedSeed = std::getenv("PLYX_NAME_SEED");  // else one draw, the same every run
  const unsigned seed = fixedSeed != nullptr ? static_cast<unsigned>(std::atol(fixedSeed)) : 2;
  std::printf("PLYX_NAME_SEED=%u, code page %u\n", seed, GetACP());
  std::mt19937 random(seed);
  // Wine's cmd substitutes a for variable again in what it put in for one, so a name holding
  // %j or %i (%~nj too) grows until cmd crashes; Windows' substitutes once: left to Windows.
  const std::regex wineLoops("%[~a-z]*[ij]");
  std::vector<std::string> names(count);
  for (std::string& name : names) {
    // Windows drops a blank or dot at the end.
    while (name.empty() || name.back() == ' ' || name.back() == '.' || std::regex_search(name, wineLoops)) {
      name.resize(1 + random() % 24);
      for (char& c : name) c = characters[random() % characters.size()];
    }
  }
  return names;
}

// Input handled unsafely: & or % in a name ran commands; escaped byte by byte under 932, the
// echo line ran the name's tail (a batch named so); a name beyond ASCII with ( or ) joined
// nothing or ran the text after the ). Run under 1252, and as win.ja.* under 932.
TEST(MergeBatchRun, CmdJoinsThePartsIntoTheSourceAndRunsNothingElse) {
  if (AnsiIsUtf8()) GTEST_SKIP() << "cmd prints names in the system's code page: the legacy twin's run";
  // Names this code page lacks come as "" and are left out.
  std::vector<std::tuple<std::string, const wchar_t*, std::uint32_t, std::uint32_t>> cases = {
      {Narrow(L"empty.bin"), nullptr, 0, 262144},
      {Narrow(L"many.bin"), nullptr, 999 * 7 - 3, 7},
      {Narrow(L"100% & mkdir pwned & ^ %PATH% %p (1),b;c=d!e.bin"), nullptr, 50000, 20000},
      {Narrow(L"\u30ec\u30dd\u30fc\u30c8.doc"), L"\u30fc\u30c8.doc", 250000, 100000},  // the trail byte of po is |
      {Narrow(L"\u30c7\u30fc\u30bf&\u8cc7\u6599.xls"), L"\u8cc7\u6599.xls", 250000, 100000}};
  std::uint32_t size = 0;
  for (const std::string& name : RandomNames(30)) cases.emplace_back(name, nullptr, size = size * 7 % 2999 + 1, 1000);
  for (const auto& [name, wideTail, size, partSize] : cases) {
    if (name.empty()) continue;
    SCOPED_TRACE(name);
    TempFolder in, out, elsewhere;
    const std::string tail = wideTail != nullptr ? Narrow(wideTail) : "";
    if (!tail.empty()) { ASSERT_TRUE(WriteBytes(out / (tail + ".bat"), "@mkdir pwned\r\n")); }
    std::string data = PatternBytes(size, size);
    for (std::size_t i = 0; i < data.size(); i += 3) data[i] = '\x1a';  // ends a file copied in text mode
    Split(in, out.Path(), name, data, partSize);

    std::string said;
    EXPECT_EQ(RunBatch(out.Path(), name + ".bat", &said, elsewhere.Path()), 0) << said;
    EXPECT_TRUE(FileHolds(out / name, data)) << "not the source";
    EXPECT_FALSE(Exists(out / "pwned") || Exists(elsewhere / "pwned")) << "the batch ran a command hidden in the name";
    // What Wine's cmd says of a command it cannot run or read, and what Windows' says.
    EXPECT_FALSE(std::regex_search(said, std::regex("Can't recognize|not recognized|[Ss]yntax"))) << said;
    const std::string end = name + " Successfully Merged !!!\r\nThank you for using PLYX\r\n";
    EXPECT_EQ(said.substr(said.size() - std::min(said.size(), end.size())), end) << said;
  }
}

// Lost data, and failures reported as success: the batch joined the set of the folder it was
// started in, appended to an older file of the name, called a join of nothing a success.
TEST(MergeBatchRun, TheNameEndsAsItWasOrExactlyTheSource) {
  if (AnsiIsUtf8()) GTEST_SKIP() << "cmd prints names in the system's code page: the legacy twin's run";
  const std::string source = PatternBytes(300000), old(777, 'o');
  DiskFile holder;                            // holds a file without sharing, as another program can
  std::string x, set, other, startIn, input;  // the name; the set's folder, another one, and how cmd starts
  std::string twin, kept;                     // NAME with \u00e8 for \u00e9; what was at NAME.000 (its content too)
  for (const auto& [wide, wideTwin] :
       {std::pair{L"x.bin", L"x.bin"}, std::pair{L"x\u00e9 & co.bin", L"x\u00e8 & co.bin"}}) {
    if (!WideToExactAnsi(wide, &x) || !WideToExactAnsi(wideTwin, &twin)) continue;
    // what cmd says last; empty: joined
    const std::tuple<const char*, std::function<void()>, std::string> cases[] = {
        {"from a folder with another set of that name",
         [&] {
           TempFolder in;
           Split(in, other, x, PatternBytes(300000, 2), 100000), WriteBytes(other + x, old), startIn = other;
         },
         ""},
        {"COPYCMD=/-Y, answered No", [&] { SetEnvironmentVariableA("COPYCMD", "/-Y"), input = "n\r\nn\r\nn\r\n"; }, ""},
        // Off a CD: a copy of a read-only part was read-only, appends to it failed (under Wine only when not root).
        {"read-only parts, no NAME yet",
         [&] {
           DeleteFileA((set + x).c_str());
           for (const char* n : {".001", ".002", ".003"})
             SetFileAttributesA((set + x + n).c_str(), FILE_ATTRIBUTE_READONLY);
         },
         ""},
        // Lost data: a file of the user's named NAME.000 was deleted.
        {"a NAME.000 of the user's", [&] { WriteBytes(set + x + (kept = ".000"), kept); },
         x + ".000 is in the way - move it elsewhere and start the batch again - nothing was merged"},
        // A pattern that takes more than one file, or another name's, joins a set that is not NAME's.
        {"another set fits the pattern",
         [&] {
           if (twin != x) WriteBytes(set + twin + ".001", std::string(100000, 't'));
         },
         twin == x ? "" : "More than one file is named like "},
        {"part 001 held open", [&] { ASSERT_TRUE(holder.Open(kDiskFileRead, (set + x + ".001").c_str())); },
         x + " is incomplete - the join failed at " + x + ".001, " + x + " is as it was"},
        {"NAME held open", [&] { ASSERT_TRUE(holder.Open(kDiskFileRead, (set + x).c_str())); },
         x + " cannot be replaced - the join failed, " + x + " is as it was"},
        {"the parts' paths past 260 characters",
         [&] {  // NAME 259 characters; typed by its bare name in its folder
           const std::string deep = set.substr(0, set.size() - 2) + std::string(260 - x.size() - set.size(), 'd');
           ASSERT_TRUE(MoveFileA(set.c_str(), deep.c_str())) << GetLastError();
           set = startIn = deep + "\\";
         },
         "nothing was merged"},
        // A name beyond ASCII that is not found is shown with a ? for each such character.
        {"part 001 missing, x.bin.001 there",
         [&] {
           DeleteFileA((set + x + ".001").c_str());
           if (x != "x.bin") WriteBytes(set + "x.bin.001", source.substr(0, 100000));
         },
         ".001 is missing - nothing was merged"},
        {"part 003 a byte long", [&] { WriteBytes(set + x + ".003", std::string(100001, 'c')); },
         x + ".003 does not have the size it was split with - nothing was merged"},
        // Refused for its size, or by a name beyond ASCII (a pattern finds no folder) when copy fails.
        {"a folder in part 002's place",
         [&] { DeleteFileA((set + x + ".002").c_str()), CreateDirectoryA((set + x + ".002").c_str(), nullptr); },
         x + ".002"},
        {"NAME.000 a folder with a file",
         [&] { CreateDirectoryA((set + x + ".000").c_str(), nullptr), WriteBytes(set + x + (kept = ".000\\k"), kept); },
         x + ".000 is a folder - nothing was merged"},
    };
    for (const auto& [what, setUp, expected] : cases) {
      SCOPED_TRACE(x + ": " + what);
      TempFolder in, parts, elsewhere;
      set = parts.MakeFolder("s") + "\\", other = elsewhere.Path(), startIn = input = kept = "";
      Split(in, set, x, source, 100000);
      ASSERT_TRUE(WriteBytes(set + x, old));
      setUp();
      std::string said;
      const int code = RunBatch(set, x + ".bat", &said, startIn, input);
      holder.Close(), SetEnvironmentVariableA("COPYCMD", nullptr);
      for (const char* n : {".001", ".002", ".003", ".000"})
        SetFileAttributesA((set + x + n).c_str(), FILE_ATTRIBUTE_NORMAL);

      const bool joined = expected.empty();
      EXPECT_EQ(code, joined ? 0 : 1) << said;
      EXPECT_TRUE(FileHolds(set + x, joined ? source : old)) << (joined ? "not the source" : "not as it was");
      EXPECT_NE(said.find(joined ? x + " Successfully Merged !!!\r\nThank you for using PLYX" : expected),
                std::string::npos)
          << said;
      if (!joined) { EXPECT_EQ(said.find("Successfully Merged"), std::string::npos) << said; }
      if (kept.empty()) {
        EXPECT_FALSE(std::filesystem::is_regular_file(PathOf(set + x + ".000"))) << "the join file was left behind";
      }
      EXPECT_TRUE(kept.empty() || FileHolds(set + x + kept, kept)) << "what was at NAME.000 changed";
      if (Exists(other + x)) { EXPECT_TRUE(FileHolds(other + x, old)) << "another set was joined"; }
    }
  }
}

}  // namespace
