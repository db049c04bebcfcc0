// plyx-split's arguments, refusals, answers and exit codes, on real files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "split_command.h"
#include "support/temp_folder.h"

namespace {

TEST(ParsePartSize, TakesBytesOrAPresetSize) {
  const struct {
    const char* text;
    bool ok;
    std::uint32_t bytes;
  } cases[] = {
      {"262144", true, 262144},     {"1", true, 1},
      {"4294967295", true, 4294967295u}, {"4294967296", false, 0},
      {"0", false, 0},              {"", false, 0},
      {"12ab", false, 0},           {"-5", false, 0},
      {"256 KB", true, 262144},     {"256kb", true, 262144},
      {"512KB", true, 524288},      {"1 MB", true, 1048576},
      {"1.44MB", true, 1457664},    {"1.44 MB (Floppy Disk)", true, 1457664},
      {"Floppy", true, 1457664},    {"2mb", true, 2097152},
      {"3 MB", true, 3145728},      {"Custom Size", false, 0},
      {"4 MB", false, 0},
  };
  for (const auto& c : cases) {
    std::uint32_t bytes = 0;
    EXPECT_EQ(ParsePartSize(c.text, &bytes), c.ok) << "'" << c.text << "'";
    if (c.ok) {
      EXPECT_EQ(bytes, c.bytes) << "'" << c.text << "'";
    }
  }
}

class SplitCommand : public ::testing::Test {
 protected:
  TempFolder temp;
  std::string source = temp.File("data.bin");
  std::string dest = temp.MakeFolder("out");
  std::string data = PatternBytes(600000);
  std::string said;  // everything the last run wrote to out and err

  void SetUp() override { WriteBytes(source, data); }
  int Run(std::vector<std::string> args, bool askUser = false, const std::string& typed = "") {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    EXPECT_TRUE(in && out && err);
    if (!in || !out || !err) return -1;
    std::fputs(typed.c_str(), in);
    std::rewind(in);
    args.insert(args.begin(), "plyx-split");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    SplitCommandIo io{in, out, err, askUser, false};
    const int code = RunSplitCommand(static_cast<int>(argv.size()), argv.data(), io);
    said.clear();
    for (std::FILE* f : {out, err}) {
      std::rewind(f);
      char buffer[4096];
      std::size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) said.append(buffer, n);
    }
    for (std::FILE* f : {in, out, err}) std::fclose(f);
    return code;
  }
  std::string Part(int i) const { return dest + kPathSeparator + "data.bin.00" + std::to_string(i); }
};

TEST_F(SplitCommand, SplitsAndReportsSuccessOnlyWhenEverythingWasWritten) {
  EXPECT_EQ(Run({source, dest, "256KB"}), kExitOk) << said;
  EXPECT_EQ(ReadBytes(Part(1)) + ReadBytes(Part(2)) + ReadBytes(Part(3)), data);
  EXPECT_TRUE(Exists(dest + kPathSeparator + "data.bin.bat"));
  EXPECT_NE(said.find("Spliting file into - 3 of 3 part(s)"), std::string::npos) << said;
}

TEST_F(SplitCommand, RefusesBadRequestsWithTheirOwnExitCodes) {
  const std::string big = temp.File("big.bin");
  std::error_code error;
  std::filesystem::resize_file(source, 600000);
  WriteBytes(big, "");
  std::filesystem::resize_file(big, 4294967296ull, error);
  const std::string barely = temp.File("barely.bin");
  WriteBytes(barely, "");
  std::filesystem::resize_file(barely, 4294967295ull, error);
  const bool sparse = !error;

  const struct {
    std::vector<std::string> args;
    int code;
    const char* message;
  } cases[] = {
      {{source, dest}, kExitUsage, "usage:"},
      {{source, dest, "1MB", "extra"}, kExitUsage, "usage:"},
      {{source, dest, "lots"}, kExitUsage, "is not a part size"},
      {{temp.File("missing.bin"), dest, "1MB"}, kExitBadSource, "cannot open the source"},
      {{dest, dest, "1MB"}, kExitBadSource, "cannot open the source"},
      {{std::string(300, 'x'), dest, "1MB"}, kExitBadSource, "longer than 259"},
      {{source, temp.File("nowhere"), "1MB"}, kExitBadDestination, "does not exist"},
      {{source, source, "1MB"}, kExitBadDestination, "does not exist"},
      {{source, dest, "600"}, kExitTooManyParts, "1000 parts of 600 bytes"},
      {{big, dest, "3MB"}, kExitBadSource, "4 GB or more"},
      // Just below 4 GB passes the size check and stops at the part count.
      {{barely, dest, "1MB"}, kExitTooManyParts, "4096 parts"},
  };
  for (const auto& c : cases) {
    if (!sparse && (c.args[0] == big || c.args[0] == barely)) continue;
    EXPECT_EQ(Run(c.args), c.code) << c.args[0] << " " << c.message;
    EXPECT_NE(said.find(c.message), std::string::npos) << said;
    EXPECT_FALSE(Exists(Part(1))) << c.message;
  }
}

TEST_F(SplitCommand, ExistingPartsAreKeptUnlessSomeoneAgrees) {
  const struct {
    const char* what;
    std::vector<std::string> extra;
    bool askUser;
    const char* typed;
    int code;
    bool replaced;
  } cases[] = {
      {"no terminal", {}, false, "", kExitCancelled, false},
      {"no terminal, --overwrite", {"--overwrite"}, false, "", kExitOk, true},
      {"typed ok", {}, true, "o\no\no\no\n", kExitOk, true},
      {"typed cancel", {}, true, "c\n", kExitCancelled, false},
      {"input ends", {}, true, "", kExitCancelled, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(dest);
    std::filesystem::create_directory(dest);
    WriteBytes(Part(1), "old part");
    std::vector<std::string> args{source, dest, "256 KB"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    EXPECT_EQ(Run(args, c.askUser, c.typed), c.code) << said;
    EXPECT_EQ(ReadBytes(Part(1)) == "old part", !c.replaced);
    EXPECT_EQ(Exists(Part(3)), c.replaced);
    EXPECT_NE(said.find("exists already, do you want to OverWrite it?"), std::string::npos);
  }
}

}  // namespace
