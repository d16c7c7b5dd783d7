// A fuzz target: arbitrary bytes through the whole converter with the checks of
// conversion_check.h. Built twice: fuzz_text loads them as a text in memory, fuzz_file saves them
// as a model file and loads that (the way every kind of file the loader accepts comes in). A
// failed check aborts, which libFuzzer reports as a crash.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "fuzz/conversion_check.h"

namespace {

// A scratch folder, made once and removed at exit (its path is never destroyed, so the exit
// handler can still read it).
const std::string& Folder() {
  static const std::string* const folder = [] {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base ? base : "/tmp") + "/vuv2ez-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    std::atexit([] { std::filesystem::remove_all(Folder()); });
    return new std::string(pattern);
  }();
  return *folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string error = VUV2EZ_FUZZ_CHECK(data, size, Folder());
  if (!error.empty()) {
    std::fprintf(stderr, "conversion check failed: %s\n", error.c_str());
    std::abort();
  }
  return 0;
}
