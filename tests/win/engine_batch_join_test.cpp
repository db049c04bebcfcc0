// Whole splits whose batch, run by cmd.exe, restores the source byte for byte.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "../host/support/engine_fakes.h"
#include "../host/support/temp_folder.h"
#include "disk_space.h"
#include "engine_win_helpers.h"
#include "size_presets.h"
#include "split_worker.h"

namespace {

struct JoinCase {
  const char* name;
  std::uint32_t size;
  std::uint32_t partSize;
  bool controlZ;  // data full of 0x1A, which ends a file copied in text mode
};

TEST(MergeBatchRun, CmdJoinsThePartsIntoTheSourceAndRunsNothingElse) {
  const JoinCase cases[] = {
      {"one.bin", 1000, 262144, false},
      {"several.bin", 600000, 262144, false},
      {"ctrlz.bin", 300000, 65536, true},
      {"empty.bin", 0, 262144, false},
      {"my holiday film.mpg", 70000, 30000, false},
      {"caf\xe9 cr\xe8me.bin", 50000, 20000, false},  // ANSI bytes; cmd reads OEM
      {"a & mkdir pwned & b.bin", 50000, 20000, false},
      {"100% sure ^ and %PATH%.bin", 50000, 20000, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir in, out;
    std::string data = PatternBytes(c.size, c.size);
    if (c.controlZ) {
      for (std::size_t i = 0; i < data.size(); i += 3) data[i] = '\x1a';
    }
    const std::string source = in / c.name;
    ASSERT_TRUE(WriteWholeFile(source, data));
    SplitJobRecord job;
    FillJob(&job, source, out.path(), c.size, c.partSize, PartCount(c.size, c.partSize));
    ScriptedUi ui;
    ASSERT_EQ(RunSplit(job, ui, SystemDiskSpace()), kStatusOk) << ui.Dump();

    const std::string log = in / "cmd-output.txt";
    EXPECT_EQ(RunBatch(out.path(), std::string(c.name) + ".bat", log), 0);
    std::string joined;
    ASSERT_TRUE(ReadWholeFile(out / c.name, &joined)) << "nothing was joined";
    EXPECT_EQ(joined.size(), data.size());
    EXPECT_TRUE(joined == data) << "the joined file differs from the source";
    EXPECT_FALSE(PathExists(out / "pwned")) << "the batch ran a command hidden in the name";
    EXPECT_EQ(FilesIn(out.path()).size(), job.partCount + 2) << "parts, batch and the join";
    std::string said;
    ReadWholeFile(log, &said);
    EXPECT_NE(said.find("Successfully Merged !!!"), std::string::npos) << said;
    EXPECT_EQ(said.find("not found"), std::string::npos) << said;
  }
}

}  // namespace
