// The free-space check and its request for another disk.
#include <gtest/gtest.h>

#include <string>

#include "disk_space.h"
#include "path_text.h"
#include "split_job.h"
#include "support/split_fakes.h"

namespace {

TEST(CheckDiskSpace, AnswersByFreeBytesDriveTypeAndTheUsersChoice) {
  const struct {
    const char* what;
    std::deque<std::uint64_t> freeBytes;
    bool removable;
    std::deque<SplitAnswer> answers;
    std::uint32_t result;
    int insertQuestions, fullMessages, queries;
  } cases[] = {
      {"exactly enough", {1457664}, true, {}, kStatusOk, 0, 0, 1},
      {"one byte short, fixed", {1457663}, false, {}, kStatusNoRoom, 0, 1, 1},
      {"removable, swapped twice", {10, 1457663, 1457664}, true, {SplitAnswer::kRetry, SplitAnswer::kRetry},
       kStatusOk, 2, 0, 3},
      {"removable, given up", {10}, true, {SplitAnswer::kRetry, SplitAnswer::kCancel}, kStatusNoRoom, 2, 0, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedUi ui;
    FakeDiskSpace disk;
    disk.freeBytes = c.freeBytes, disk.removable = c.removable, ui.answers = c.answers;
    EXPECT_EQ(CheckDiskSpace("out", kFloppyPartSize, ui, disk), c.result);
    EXPECT_EQ(ui.Count("ask insert"), c.insertQuestions) << ui.Dump();
    EXPECT_EQ(ui.Count("ask full Disk is full, quiting PLYX"), c.fullMessages);
    EXPECT_EQ(static_cast<int>(disk.roots.size()), c.queries);
    EXPECT_TRUE(c.insertQuestions > 0 || disk.typeQueries == c.fullMessages) << "a disk with room needs no drive type";
  }
}

TEST(CheckDiskSpace, QueriesTheFolderAndTheVolumeRootThatHoldsIt) {
  const struct { const char* folder; const char* root; } cases[] = {
#ifdef _WIN32
      {"a:\\backup", "a:\\"}, {"D:", "D:\\"},
      {"\\\\server\\share\\out", "\\\\server\\share\\out\\"},  // a share, never the current drive
      {"relative\\out\\", "relative\\out\\"},
#else
      {"/mnt/floppy/backup", "/mnt/floppy/backup/"}, {"a:/out/", "a:/out/"},
#endif
      {"", ""},
  };
  for (const auto& c : cases) {
    ScriptedUi ui;
    FakeDiskSpace disk;
    CheckDiskSpace(c.folder, 1, ui, disk);
    EXPECT_EQ(disk.roots, std::vector<std::string>{c.root}) << c.folder;
  }
}

TEST(CheckDiskSpace, TheSystemQueryFallsBackFromAMissingFolderToItsRoot) {
  std::uint64_t freeBytes = 0;
  char root[kPathBufferSize];
  ASSERT_TRUE(VolumeRootOf(".", root, sizeof root));
  EXPECT_TRUE(SystemDiskSpace().FreeBytes("no-such-folder-of-plyx/", root, &freeBytes));
  EXPECT_GT(freeBytes, 0u);
  EXPECT_FALSE(SystemDiskSpace().FreeBytes("no-such-folder-of-plyx/", "no-such-root/", &freeBytes));
}

}  // namespace
