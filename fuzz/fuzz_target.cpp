// A fuzz target: arbitrary bytes through the whole converter with the checks of
// conversion_check.h. Built twice: fuzz_text loads them as a text in memory, fuzz_file saves them
// as a model file and loads that (the way every kind of file the loader accepts comes in). A
// failed check aborts, which libFuzzer reports as a crash.
#include <cstdio>
#include <cstdlib>

#include "tests/support/conversion_check.h"
#include "tests/support/test_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ScratchFolder folder;  // under $TMPDIR, removed at exit
  const std::string error = VUV2EZ_FUZZ_CHECK(data, size, folder.path);
  if (!error.empty()) {
    std::fprintf(stderr, "conversion check failed: %s\n", error.c_str());
    std::abort();
  }
  return 0;
}
