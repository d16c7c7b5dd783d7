// The bus-error guard around loading: reading a mapped file that was truncated meanwhile is
// caught and abandoned, not a crash.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "reader/bus_error_guard.h"
#include "tests/test_support.h"

namespace {

struct Reading {
  const volatile char* at;
  int value = 0;
};

void ReadOneByte(void* context) {
  auto& reading = *static_cast<Reading*>(context);
  reading.value = reading.at[0];
}

TEST(BusErrorGuard, ReadingATruncatedMappingIsCaught) {
  ScratchFolder folder;
  const std::string path = folder / "model.mqo";
  WriteFile(path, std::string(3 * 4096, 'x'));
  const int fd = open(path.c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  void* mapped = mmap(nullptr, 3 * 4096, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  ASSERT_NE(mapped, MAP_FAILED);
  Reading reading{static_cast<const char*>(mapped) + 2 * 4096};

  EXPECT_TRUE(CallCatchingBusErrors(ReadOneByte, &reading));
  EXPECT_EQ(reading.value, 'x');
  ASSERT_EQ(ftruncate(fd, 4096), 0);  // another program shortens the file
  reading.value = 0;
  EXPECT_FALSE(CallCatchingBusErrors(ReadOneByte, &reading));
  EXPECT_EQ(reading.value, 0);
  // The guard is gone afterwards, and a later call works normally.
  Reading first{static_cast<const char*>(mapped)};
  EXPECT_TRUE(CallCatchingBusErrors(ReadOneByte, &first));
  EXPECT_EQ(first.value, 'x');
  munmap(mapped, 3 * 4096);
  close(fd);
}

}  // namespace
