// Runs a piece of work in a child process and reports what it cost: processor time, the growth
// of its resident memory at its peak, and the address space it still holds when the work returns
// (what a loaded model keeps reserved). POSIX only.
#pragma once

#include <functional>

struct ChildUsage {
  bool finished = false;  // false: killed by a signal or by the time limit
  int result = -1;        // what the work returned
  double cpuSeconds = 0;  // user and system time of the child
  long peakResidentGrowthKiB = 0;
  long heldAddressSpaceGrowthKiB = 0;
};

// `work` runs in a forked copy of this process, with `seconds` of wall time before the child is
// killed. Whatever it allocates and keeps reachable (for example in a variable captured by
// reference) still counts as held when it returns.
ChildUsage RunInChild(const std::function<int()>& work, unsigned seconds);
