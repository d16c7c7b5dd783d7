// Fuzz target: arbitrary bytes as an MQO text in memory, loaded, checked and written in both
// modes (see conversion_check.h). Any failed check aborts, which libFuzzer reports as a crash.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/conversion_check.h"
#include "fuzz/fuzz_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string error = CheckTextConversion(data, size, FuzzFolder());
  if (!error.empty()) {
    std::fprintf(stderr, "conversion check failed: %s\n", error.c_str());
    std::abort();
  }
  return 0;
}
