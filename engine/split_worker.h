// The split run: reads the source once and writes the numbered parts and the
// merge batch, asking its surroundings through SplitUi and DiskSpace.
#pragma once

#include <cstdint>

#include "split_job.h"
#include "split_ui.h"

// Runs one split of `job` on the calling thread. Returns the run's final status
// (kStatusOk when every part and the batch were written). ui.RunOver() is its
// last call on every path.
std::uint32_t RunSplit(SplitJobRecord& job, SplitUi& ui, DiskSpace& disk);

// How the run that ended with `status` went: only the user's own answers
// stopped it, or a failure did, which the run has reported already.
SplitOutcome OutcomeOf(const SplitJobRecord& job, std::uint32_t status);
