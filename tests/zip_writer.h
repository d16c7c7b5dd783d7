// A small ZIP archive writer for the tests: stored and deflated entries, and header fields that
// can be made to lie, so that the reader's checks can be tried on archives built in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ZipEntrySpec {
  std::string name;
  std::string data;
  uint16_t method = 8;  // 8 deflates; 0 or any other number stores the bytes under that number
  uint16_t flags = 0;   // general purpose flags, written in both headers
  // Written into both headers instead of the true values.
  std::optional<uint32_t> crc = {}, compressedSize = {}, size = {};
};

// Where the records of a written archive begin, for tests that damage them.
struct ZipLayout {
  std::vector<size_t> localHeaders;    // one per entry
  std::vector<size_t> centralHeaders;  // one per entry
  size_t directory = 0;                // the central directory
  size_t end = 0;                      // the end-of-central-directory record
};

// The archive of `entries`, in that order, with `comment` after its end record.
std::string MakeZip(const std::vector<ZipEntrySpec>& entries, std::string_view comment = "",
                    ZipLayout* layout = nullptr);

// A raw deflate stream of `data` (no zlib header), as a ZIP entry holds it.
std::string Deflate(std::string_view data);
uint32_t Crc32(std::string_view data);

// Little-endian field writers for damaging an archive in place.
void Put16(std::string& bytes, size_t offset, uint16_t value);
void Put32(std::string& bytes, size_t offset, uint32_t value);
