// plyx-split's arguments, refusals, answers and exit codes, on real files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "path_text.h"
#include "split_command.h"
#include "support/files.h"

namespace {

TEST(ParsePartSize, TakesBytesOrAPresetSize) {
  // bytes 0: refused. Guards: leading zeros taken, inner blanks refused.
  const auto parsed = [](const char* text) {
    std::uint32_t bytes = 0;
    return ParsePartSize(text, &bytes) ? bytes : 0;
  };
  for (const char* text : {"4294967296", "0", "", "12ab", "-5", "Custom Size", "4.5 MB", "1 0"})
    EXPECT_EQ(parsed(text), 0u) << "'" << text << "'";
  const std::pair<const char*, std::uint32_t> taken[] = {{"4294967295", 4294967295u},   {"256kb", 262144},
                                                         {"1.44MB", 1457664},           {"Floppy", 1457664},
                                                         {"0000000001000000", 1000000}, {" 42 ", 42}};
  for (const auto& [text, expected] : taken) EXPECT_EQ(parsed(text), expected) << "'" << text << "'";
}

class SplitCommand : public ::testing::Test {
 protected:
  TempFolder temp;
  std::string source = temp / "data.bin", dest = temp.MakeFolder("out"), data = PatternBytes(600000);
  std::string reported, asked, said;  // standard output, error, and both, of the last run

  void SetUp() override { WriteBytes(source, data); }
  int Run(std::vector<std::string> args, bool askUser = false, const char* typed = "", std::FILE* out = nullptr) {
    WriteBytes(temp / "stdin.txt", typed);
    std::FILE *in = std::fopen((temp / "stdin.txt").c_str(), "rb"),
              *outFile = std::fopen((temp / "stdout.txt").c_str(), "wb"),
              *errFile = std::fopen((temp / "stderr.txt").c_str(), "wb");
    std::vector<const char*> argv{"plyx-split"};
    for (const auto& a : args) argv.push_back(a.c_str());
    SplitCommandIo io{in, out ? out : outFile, errFile, askUser, false};
    const int code = RunSplitCommand(static_cast<int>(argv.size()), argv.data(), io);
    for (std::FILE* file : {in, outFile, errFile}) std::fclose(file);
    reported = ReadBytes(temp / "stdout.txt"), asked = ReadBytes(temp / "stderr.txt"), said = reported + asked;
    return code;
  }
  std::string Out(const std::string& name) const { return dest + kPathSeparator + name; }
};

TEST_F(SplitCommand, RefusesBadRequestsWithTheirOwnExitCodes) {
  const std::string barely = temp / "barely.bin", big = temp / "big.bin";
  if (!MakeSparseFile(big, 1ull << 32) || !MakeSparseFile(barely, (1ull << 32) - 1))
    GTEST_SKIP() << "the temporary folder cannot hold sparse files of 4 GB";
  const std::string longFolder = temp.MakeFolder(std::string(120, 'a') + kPathSeparator + std::string(140, 'b'));
  const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
      {{source, dest, "1MB", "extra"}, kExitUsage, "usage:"},
      {{source, dest, "lots"}, kExitUsage, "is not a part size"},
      {{temp / "missing.bin", dest, "1MB"}, kExitBadSource, "cannot open the source"},
      {{std::string(300, 'x'), dest, "1MB"}, kExitBadSource, "longer than 259"},
      // Guards: a file, a long folder and "out " were all reported as missing.
      {{source, source, "1MB"}, kExitBadDestination, "is a file, not a folder"},
      {{source, temp / "nowhere", "1MB"}, kExitBadDestination, "does not exist"},
      {{source, longFolder, "1MB"}, kExitBadDestination, "a part path must stay below 260"},
#ifdef _WIN32
      {{source, dest + " ", "1MB"}, kExitBadDestination, "remove the blank or dot at its end"},
#endif
      {{source, dest, "600"}, kExitTooManyParts, "1000 parts of 600 bytes"},
      {{big, dest, "3MB"}, kExitBadSource, "4 GB or more"},
      {{barely, dest, "1MB"}, kExitTooManyParts, "4096 parts"},  // passes the size check
  };
  for (const auto& [args, code, message] : cases) {
    EXPECT_EQ(Run(args), code) << args[0] << " " << message;
    EXPECT_NE(said.find(message), std::string::npos) << said;
    EXPECT_FALSE(Exists(Out("data.bin.001"))) << message;
  }
}

// Lost data: an existing part is replaced only when someone agreed.
TEST_F(SplitCommand, KeepsAnExistingPartUnlessSomeoneAgrees) {
  // extra: a further argument; typed: what the user types at the question
  const std::tuple<const char*, const char*, bool, const char*, bool> cases[] = {
      {"no terminal", nullptr, false, "", false},
      {"no terminal, --overwrite", "--overwrite", false, "", true},
      {"typed ok", nullptr, true, " OK \no\nok\n", true},
      {"typed another word", nullptr, true, "cancel\n", false},
      {"input ends", nullptr, true, "", false},
      {"terminal, --overwrite", "--overwrite", true, "", true},  // guards: ignored on a terminal
  };
  for (const auto& [what, extra, askUser, typed, split] : cases) {
    SCOPED_TRACE(what);
    for (const char* name : {"data.bin.002", "data.bin.003", "data.bin.bat"}) std::remove(Out(name).c_str());
    WriteBytes(Out("data.bin.001"), "old part");
    std::vector<std::string> args{source, dest, "256 KB"};
    if (extra) args.push_back(extra);
    EXPECT_EQ(Run(args, askUser, typed), split ? kExitOk : kExitCancelled) << said;
    EXPECT_EQ(ReadBytes(Out("data.bin.001")) + ReadBytes(Out("data.bin.002")) + ReadBytes(Out("data.bin.003")) == data,
              split);
    EXPECT_EQ(ReadBytes(Out("data.bin.001")) == "old part", !split);
    EXPECT_EQ(Exists(Out("data.bin.bat")), split);
    // Guards: a question on standard output was lost with the output redirected.
    EXPECT_NE(asked.find("exists already, do you want to OverWrite it?"), std::string::npos);
    EXPECT_EQ(reported.find("exists already"), std::string::npos);
    EXPECT_EQ(said.find("Spliting file into - 3 of 3 part(s)") != std::string::npos, split);
  }
}

#ifndef _WIN32
// Guards: plyx-split ... | head -1 ended the run (SIGPIPE) partway, with no batch.
TEST_F(SplitCommand, AReaderThatWentAwayDoesNotStopTheSplit) {
  InstallSignalHandlers();
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ::close(ends[0]);
  std::FILE* out = ::fdopen(ends[1], "w");
  EXPECT_EQ(Run({source, dest, "7000"}, false, "", out), kExitOk) << said;
  std::fclose(out);
  EXPECT_TRUE(Exists(Out("data.bin.bat")));
}
#endif

}  // namespace
