// Creates the scratch folder once and removes it at exit.
#include "fuzz/fuzz_folder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

std::string MakeFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/vuv2ez-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("vuv2ez fuzz: cannot create a scratch folder");
    std::abort();
  }
  return pattern;
}

}  // namespace

const std::string& FuzzFolder() {
  static const std::string folder = MakeFolder();
  static const bool registered = std::atexit([] {
                                   std::error_code ignored;
                                   std::filesystem::remove_all(FuzzFolder(), ignored);
                                 }) == 0;
  (void)registered;
  return folder;
}
