// Runs a piece of work in a child process and reports what it cost: processor time, the growth
// of its resident memory at its peak, and the address space it still holds when the work returns
// (what a loaded model keeps reserved), measured through /proc/self/status and the child's
// resource usage. POSIX only.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

struct ChildUsage {
  bool finished = false;  // false: killed by a signal or by the time limit
  int result = -1;        // what the work returned
  double cpuSeconds = 0;  // user and system time of the child
  long peakResidentGrowthKiB = 0;
  long heldAddressSpaceGrowthKiB = 0;
};

// A "Vm..." line of /proc/self/status, in KiB; -1 when absent.
inline long StatusKiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with(field + ":")) return std::stol(line.substr(field.size() + 1));
  return -1;
}

// `work` runs in a forked copy of this process, with `seconds` of wall time before the child is
// killed. Whatever it allocates and keeps reachable (for example in a variable captured by
// reference) still counts as held when it returns.
inline ChildUsage RunInChild(const std::function<int()>& work, unsigned seconds) {
  int channel[2];
  if (pipe(channel) != 0) return {};
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    alarm(seconds);
    // Starts the resident peak afresh (Linux 4.0 and later). Where the kernel refuses, the
    // parent's peak stands and the growth is overstated, never understated.
    std::ofstream("/proc/self/clear_refs") << "5";
    const long resident = StatusKiB("VmRSS"), space = StatusKiB("VmSize");
    const long report[3] = {work(), StatusKiB("VmHWM") - resident, StatusKiB("VmSize") - space};
    _exit(write(channel[1], report, sizeof report) == sizeof report ? 0 : 1);
  }
  close(channel[1]);
  long report[3] = {};
  const bool received = child > 0 && read(channel[0], report, sizeof report) == sizeof report;
  close(channel[0]);
  int status = 0;
  struct rusage cost {};
  if (child < 0 || wait4(child, &status, 0, &cost) != child) return {};
  const bool finished = received && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return {finished, finished ? static_cast<int>(report[0]) : -1,
          static_cast<double>(cost.ru_utime.tv_sec + cost.ru_stime.tv_sec) +
              static_cast<double>(cost.ru_utime.tv_usec + cost.ru_stime.tv_usec) / 1e6,
          report[1], report[2]};
}
