// Measures work in a forked child through /proc/self/status and the child's resource usage.
#include "tests/child_usage.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A "Vm..." line of /proc/self/status, in KiB; -1 when absent.
long StatusKiB(const char* field) {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return -1;
  char line[256];
  long value = -1;
  const size_t length = std::strlen(field);
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
      value = std::strtol(line + length + 1, nullptr, 10);
      break;
    }
  }
  std::fclose(status);
  return value;
}

// Starts the resident peak afresh (Linux 4.0 and later). Where the kernel refuses, the parent's
// peak stands and the growth is overstated, never understated.
void ResetResidentPeak() {
  const int fd = open("/proc/self/clear_refs", O_WRONLY | O_CLOEXEC);
  if (fd < 0) return;
  if (write(fd, "5", 1) != 1) {
    // Nothing to do: see above.
  }
  close(fd);
}

}  // namespace

ChildUsage RunInChild(const std::function<int()>& work, unsigned seconds) {
  ChildUsage usage;
  int channel[2];
  if (pipe(channel) != 0) return usage;
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    alarm(seconds);
    ResetResidentPeak();
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
  if (child < 0 || wait4(child, &status, 0, &cost) != child) return usage;
  usage.cpuSeconds = static_cast<double>(cost.ru_utime.tv_sec + cost.ru_stime.tv_sec) +
                     static_cast<double>(cost.ru_utime.tv_usec + cost.ru_stime.tv_usec) / 1e6;
  usage.finished = received && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (usage.finished) {
    usage.result = static_cast<int>(report[0]);
    usage.peakResidentGrowthKiB = report[1];
    usage.heldAddressSpaceGrowthKiB = report[2];
  }
  return usage;
}
