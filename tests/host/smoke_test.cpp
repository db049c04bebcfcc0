#include <gtest/gtest.h>

#include "split_job.h"

TEST(SplitJobRecord, StartsWithTheFloppyPresetAndNoRequest) {
  SplitJobRecord job;
  EXPECT_EQ(job.partSize, kFloppyPartSize);
  EXPECT_EQ(job.currentPart, 1u);
  EXPECT_EQ(job.sourcePath[0], '\0');
}
