// plyx-split's arguments, refusals, answers and exit codes, on real files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "path_text.h"
#include "split_command.h"
#include "support/files.h"

namespace {

TEST(ParsePartSize, TakesBytesOrAPresetSize) {
  const struct { const char* text; std::uint32_t bytes; } cases[] = {  // bytes 0: refused
      {"4294967295", 4294967295u}, {"4294967296", 0}, {"0", 0}, {"", 0}, {"12ab", 0}, {"-5", 0},
      {"256kb", 262144}, {"1.44MB", 1457664}, {"Floppy", 1457664}, {"Custom Size", 0}, {"4 MB", 0}};
  for (const auto& c : cases) {
    std::uint32_t bytes = 0;
    EXPECT_EQ(ParsePartSize(c.text, &bytes) ? bytes : 0, c.bytes) << "'" << c.text << "'";
  }
}

class SplitCommand : public ::testing::Test {
 protected:
  TempFolder temp;
  std::string source = temp / "data.bin", dest = temp.MakeFolder("out"), data = PatternBytes(600000);
  std::string said;  // all that the last run wrote

  void SetUp() override { WriteBytes(source, data); }
  int Run(std::vector<std::string> args, bool askUser = false, const char* typed = "") {
    std::FILE *in = std::tmpfile(), *out = std::tmpfile();  // out: standard output and error alike
    std::fputs(typed, in);
    std::rewind(in);
    std::vector<const char*> argv{"plyx-split"};
    for (const auto& a : args) argv.push_back(a.c_str());
    SplitCommandIo io{in, out, out, askUser, false};
    const int code = RunSplitCommand(static_cast<int>(argv.size()), argv.data(), io);
    said.clear();
    std::rewind(out);
    for (int c; (c = std::fgetc(out)) != EOF;) said += static_cast<char>(c);
    for (std::FILE* f : {in, out}) std::fclose(f);
    return code;
  }
  std::string Out(const std::string& name) const { return dest + kPathSeparator + name; }
};

TEST_F(SplitCommand, RefusesBadRequestsWithTheirOwnExitCodes) {
  const std::string barely = temp / "barely.bin", big = temp / "big.bin";
  if (!MakeSparseFile(big, 1ull << 32) || !MakeSparseFile(barely, (1ull << 32) - 1)) {
    GTEST_SKIP() << "the temporary folder cannot hold sparse files of 4 GB";
  }
  const struct { std::vector<std::string> args; int code; const char* message; } cases[] = {
      {{source, dest, "1MB", "extra"}, kExitUsage, "usage:"},
      {{source, dest, "lots"}, kExitUsage, "is not a part size"},
      {{temp / "missing.bin", dest, "1MB"}, kExitBadSource, "cannot open the source"},
      {{std::string(300, 'x'), dest, "1MB"}, kExitBadSource, "longer than 259"},
      {{source, source, "1MB"}, kExitBadDestination, "does not exist"},
      {{source, dest, "600"}, kExitTooManyParts, "1000 parts of 600 bytes"},
      {{big, dest, "3MB"}, kExitBadSource, "4 GB or more"},
      {{barely, dest, "1MB"}, kExitTooManyParts, "4096 parts"},  // passes the size check
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.args), c.code) << c.args[0] << " " << c.message;
    EXPECT_NE(said.find(c.message), std::string::npos) << said;
    EXPECT_FALSE(Exists(Out("data.bin.001"))) << c.message;
  }
}

// Lost data: an existing part is replaced only when someone agreed.
TEST_F(SplitCommand, KeepsAnExistingPartUnlessSomeoneAgrees) {
  const struct { const char* what; const char* extra; bool askUser; const char* typed; bool split; } cases[] = {
      {"no terminal", nullptr, false, "", false},
      {"no terminal, --overwrite", "--overwrite", false, "", true},
      {"typed ok", nullptr, true, "o\no\no\no\n", true},
      {"typed cancel", nullptr, true, "c\n", false},
      {"input ends", nullptr, true, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (const char* name : {"data.bin.002", "data.bin.003", "data.bin.bat"}) std::remove(Out(name).c_str());
    WriteBytes(Out("data.bin.001"), "old part");
    std::vector<std::string> args{source, dest, "256 KB"};
    if (c.extra) args.push_back(c.extra);
    EXPECT_EQ(Run(args, c.askUser, c.typed), c.split ? kExitOk : kExitCancelled) << said;
    EXPECT_EQ(ReadBytes(Out("data.bin.001")) + ReadBytes(Out("data.bin.002")) + ReadBytes(Out("data.bin.003")) == data,
              c.split);
    EXPECT_EQ(ReadBytes(Out("data.bin.001")) == "old part", !c.split);
    EXPECT_EQ(Exists(Out("data.bin.bat")), c.split);
    EXPECT_NE(said.find("exists already, do you want to OverWrite it?"), std::string::npos);
    EXPECT_EQ(said.find("Spliting file into - 3 of 3 part(s)") != std::string::npos, c.split);
  }
}

}  // namespace
