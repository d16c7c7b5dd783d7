// Fuzz target: arbitrary bytes saved as a model file and loaded through LoadModel, under a ".mqo"
// and a ".mqoz" name, then checked and written in both modes (see conversion_check.h). This is
// the way files of every kind the loader accepts, archives included, come in.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/conversion_check.h"
#include "fuzz/fuzz_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string error = CheckFileConversion(data, size, FuzzFolder());
  if (!error.empty()) {
    std::fprintf(stderr, "conversion check failed: %s\n", error.c_str());
    std::abort();
  }
  return 0;
}
