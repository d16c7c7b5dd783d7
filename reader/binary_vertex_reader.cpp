// The BVertex chunk of an Object: vertex positions saved as raw little-endian floats.
//
//   BVertex 2 {
//     Vector 2 [24]
//   <24 raw bytes: x, y, z of each vertex as 32-bit IEEE floats>
//   }
//
// A token "[B]" that ends its line announces B raw bytes starting right after that line end. The
// Vector item's bytes become the positions, bit for bit; any other item's are stepped over. The
// raw bytes may hold any byte (zero, line feed, braces, quotes), so they never reach the tokenizer.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <optional>

#include "reader/mqo_reader.h"

namespace {

// The byte count that the current token announces, or none when it announces no raw data: the
// token is "[digits]" ended by its line feed (a quoted token never is: a quote ends it). Counts
// saturate at 2^59, more than any text holds, so a huge count cannot wrap around into a small one.
std::optional<uint64_t> AnnouncedRawBytes(const MqoReader& reader) {
  const std::string_view token = Current(reader);
  if (reader.tokenizer.breakChar != '\n') return std::nullopt;
  if (token.size() < 3 || token.front() != '[' || token.back() != ']') return std::nullopt;
  constexpr uint64_t kSaturated = uint64_t{1} << 59;
  uint64_t count = 0;
  for (const char c : token.substr(1, token.size() - 2)) {
    if (c < '0' || c > '9') return std::nullopt;
    count = std::min(kSaturated, count * 10 + static_cast<uint64_t>(c - '0'));
  }
  return count;
}

// Steps over `count` raw bytes; nullptr when the text holds fewer.
const char* TakeRawBytes(MqoReader& reader, uint64_t count) {
  if (count > std::numeric_limits<size_t>::max()) return nullptr;
  return SkipRawBytes(reader.tokenizer, static_cast<size_t>(count));
}

float LittleEndianFloat(const char* bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  const uint32_t bits =
      uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
  return std::bit_cast<float>(bits);
}

// "Vector N [B]" and its raw bytes: N must be the chunk's vertex count and B twelve bytes a vertex.
bool ReadVectorItem(MqoReader& reader, MeshObject& object) {
  const int32_t declared = NextInt(reader);
  Next(reader);
  const std::optional<uint64_t> bytes = AnnouncedRawBytes(reader);
  const uint64_t count = object.vertices.size();
  if (!bytes || declared < 0 || static_cast<uint64_t>(declared) != count || *bytes != 12 * count) {
    return false;
  }
  const char* raw = TakeRawBytes(reader, *bytes);
  if (raw == nullptr) return false;
  for (Vec4& v : object.vertices) {
    v = Vec4{LittleEndianFloat(raw), LittleEndianFloat(raw + 4), LittleEndianFloat(raw + 8), 1.0f};
    raw += 12;
  }
  return true;
}

}  // namespace

bool ReadBinaryVertexChunk(MqoReader& reader, MeshObject& object) {
  const uint32_t count = NextCount(reader);
  if (!Charge(reader, count)) return false;
  object.vertices.assign(count, Vec4{0, 0, 0, 1});
  reader.failure = kCauseBinaryDamaged;  // from here on, failing is the raw data's fault
  bool positioned = count == 0;          // positions read, or none to read
  uint32_t depth = 0;
  while (Next(reader)) {
    if (OpensBrace(reader)) {
      ++depth;
    } else if (ClosesBrace(reader)) {
      if (depth <= 1) break;
      --depth;
    } else if (Current(reader) == "vector") {
      if (!ReadVectorItem(reader, object)) return false;
      positioned = true;
    } else if (const std::optional<uint64_t> bytes = AnnouncedRawBytes(reader)) {
      if (TakeRawBytes(reader, *bytes) == nullptr) return false;
    }
  }
  // A chunk that ends without the positions it declared has lost them: the load fails rather
  // than giving vertices at the origin.
  if (positioned) reader.failure = kCauseOverCounted;
  return positioned;
}
