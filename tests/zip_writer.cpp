// The tests' ZIP writer: local headers and data, then the central directory and its end record,
// as the ZIP format's application note lays them out (no data descriptors, no ZIP64).
#include "tests/zip_writer.h"

#define ZLIB_CONST
#include <zlib.h>

#include <stdexcept>

std::string Deflate(std::string_view data) {
  // A zlib stream: a two-byte header, the raw deflate stream, a four-byte checksum.
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                Z_BEST_COMPRESSION) != Z_OK) {
    throw std::runtime_error("compress2");
  }
  return out.substr(2, size - 6);
}

uint32_t Crc32(std::string_view data) {
  return static_cast<uint32_t>(
      crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

void Put16(std::string& bytes, size_t offset, uint16_t value) {
  bytes[offset] = static_cast<char>(value & 0xFF);
  bytes[offset + 1] = static_cast<char>(value >> 8);
}

void Put32(std::string& bytes, size_t offset, uint32_t value) {
  Put16(bytes, offset, static_cast<uint16_t>(value & 0xFFFF));
  Put16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

namespace {

// `value` as `bytes` little-endian bytes.
void Append(std::string& out, uint32_t value, int bytes = 2) {
  for (int i = 0; i < bytes; ++i)
    out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The fields that the local and the central header share, from "version needed" to the lengths.
void AppendCommonFields(std::string& out, const ZipEntrySpec& entry, uint32_t crc,
                        uint32_t compressedSize, uint32_t size) {
  Append(out, 20);  // version needed: 2.0
  Append(out, entry.flags);
  Append(out, entry.method);
  Append(out, 0);       // time
  Append(out, 0x5A21);  // date: 2025-01-01
  Append(out, entry.crc.value_or(crc), 4);
  Append(out, entry.compressedSize.value_or(compressedSize), 4);
  Append(out, entry.size.value_or(size), 4);
  Append(out, static_cast<uint16_t>(entry.name.size()));
  Append(out, 0);  // extra field length
}

}  // namespace

std::string MakeZip(const std::vector<ZipEntrySpec>& entries, std::string_view comment,
                    ZipLayout* layout) {
  ZipLayout where;
  std::string out;
  std::vector<std::string> centrals;
  for (const ZipEntrySpec& entry : entries) {
    const std::string stored = entry.method == 8 ? Deflate(entry.data) : entry.data;
    const uint32_t crc = Crc32(entry.data);
    const auto compressedSize = static_cast<uint32_t>(stored.size());
    const auto size = static_cast<uint32_t>(entry.data.size());
    const auto offset = static_cast<uint32_t>(out.size());
    where.localHeaders.push_back(out.size());
    Append(out, 0x04034b50, 4);
    AppendCommonFields(out, entry, crc, compressedSize, size);
    out += entry.name;
    out += stored;

    std::string central;
    Append(central, 0x02014b50, 4);
    Append(central, 0x031E);  // made by: Unix, 3.0
    AppendCommonFields(central, entry, crc, compressedSize, size);
    central.append(10, '\0');  // comment length, disk number, internal and external attributes
    Append(central, offset, 4);
    central += entry.name;
    centrals.push_back(central);
  }
  where.directory = out.size();
  for (const std::string& central : centrals) {
    where.centralHeaders.push_back(out.size());
    out += central;
  }
  where.end = out.size();
  Append(out, 0x06054b50, 4);
  out.append(4, '\0');  // this disk, the directory's disk
  Append(out, static_cast<uint16_t>(entries.size()));
  Append(out, static_cast<uint16_t>(entries.size()));
  Append(out, static_cast<uint32_t>(where.end - where.directory), 4);
  Append(out, static_cast<uint32_t>(where.directory), 4);
  Append(out, static_cast<uint16_t>(comment.size()));
  out += comment;
  if (layout != nullptr) *layout = where;
  return out;
}
