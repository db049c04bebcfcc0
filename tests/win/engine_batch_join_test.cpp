// Whole splits whose batch, run by cmd.exe as a double click runs it, restores
// the source byte for byte.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "disk_space.h"
#include "size_presets.h"
#include "split_worker.h"
#include "support/child_process.h"
#include "support/files.h"
#include "support/split_fakes.h"

namespace {

// Input handled unsafely: a name holding & or % ran commands of its own.
TEST(MergeBatchRun, CmdJoinsThePartsIntoTheSourceAndRunsNothingElse) {
  const struct { const char* name; std::uint32_t size, partSize; bool controlZ; } cases[] = {
      {"one.bin", 1000, 262144, false},
      {"several.bin", 600000, 262144, false},
      {"ctrlz.bin", 300000, 65536, true},  // 0x1A ends a file copied in text mode
      {"empty.bin", 0, 262144, false},
      {"my holiday film.mpg", 70000, 30000, false},
      {"caf\xe9 cr\xe8me.bin", 50000, 20000, false},  // ANSI bytes; cmd reads OEM
      {"a & mkdir pwned & b.bin", 50000, 20000, false},
      {"100% sure ^ and %PATH%.bin", 50000, 20000, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder in, out;
    std::string data = PatternBytes(c.size, c.size);
    for (std::size_t i = 0; c.controlZ && i < data.size(); i += 3) data[i] = '\x1a';
    ASSERT_TRUE(WriteBytes(in / c.name, data));
    SplitJobRecord job;
    FillJob(job, in / c.name, out.Path(), c.size, c.partSize, PartCount(c.size, c.partSize));
    ScriptedUi ui;
    ASSERT_EQ(RunSplit(job, ui, SystemDiskSpace()), kStatusOk) << ui.Dump();

    std::string said;
    EXPECT_EQ(RunBatch(out.Path(), std::string(c.name) + ".bat", &said), 0);
    EXPECT_TRUE(Exists(out / c.name) && ReadBytes(out / c.name) == data) << "the join differs from the source";
    EXPECT_FALSE(Exists(out / "pwned")) << "the batch ran a command hidden in the name";
    EXPECT_NE(said.find("Successfully Merged !!!"), std::string::npos) << said;
    EXPECT_EQ(said.find("not found"), std::string::npos) << said;
  }
}

}  // namespace
