#include "split_job.h"

SplitJobRecord SplitJob;
