// Reading the golden hex dumps.
#include "tests/support/golden_hex.h"

#include <sstream>

#include "tests/support/test_support.h"

std::vector<uint8_t> ParseHex(const std::string& text) {
  std::vector<uint8_t> bytes;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string word;
    while (words >> word)
      bytes.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
  }
  return bytes;
}

std::string GoldenPath(const std::string& name) {
  return std::string(VUV2EZ_TEST_DATA) + "/golden/" + name;
}

std::vector<uint8_t> GoldenBytes(const std::string& name, bool smooth) {
  return ParseHex(ReadFile(GoldenPath(name + (smooth ? ".smooth.hex" : ".flat.hex"))));
}
