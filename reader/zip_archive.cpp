// Reading a ZIP archive through its central directory, and inflating one entry with zlib.
//
// Every record is located from the end-of-central-directory record, and each offset and size is
// checked against the bytes it must lie in before anything is read there. The checks are written
// as `size > limit - offset` once `offset <= limit` is known, so no sum can overflow.
#include "reader/zip_archive.h"

#define ZLIB_CONST  // zlib's input pointers to const, so the archive is never cast to mutable
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <string_view>

namespace {

constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kEndSize = 22;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kMaxCommentSize = 0xFFFF;
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagStrongEncryption = 0x0040;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
constexpr uint64_t kMaxInflatedSize = uint64_t{1} << 31;  // 2 GiB
constexpr uint64_t kMaxInflationRatio = 64;

// A range of the archive's bytes. U16 and U32 read only where Fits has been checked.
struct Bytes {
  const unsigned char* data;
  size_t size;
};

bool Fits(const Bytes& bytes, size_t offset, size_t length) {
  return offset <= bytes.size && length <= bytes.size - offset;
}
uint16_t U16(const Bytes& bytes, size_t offset) {
  const unsigned char* p = bytes.data + offset;
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t U32(const Bytes& bytes, size_t offset) {
  const unsigned char* p = bytes.data + offset;
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// What the central directory says about the document's entry.
struct Entry {
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t size = 0;
  uint32_t localHeader = 0;
};

// The central directory: where it lies and how many entries it holds.
struct Directory {
  size_t offset = 0;
  size_t size = 0;
  uint32_t entries = 0;
};

// The end-of-central-directory record is the last one whose comment runs exactly to the end of
// the archive; searching back from the end skips a signature that a comment happens to hold.
ZipResult FindDirectory(const Bytes& archive, Directory& directory) {
  if (archive.size < kEndSize) return kZipMalformed;
  const size_t last = archive.size - kEndSize;
  const size_t first = last > kMaxCommentSize ? last - kMaxCommentSize : 0;
  for (size_t end = last + 1; end-- > first;) {
    if (U32(archive, end) != kEndSignature || size_t{U16(archive, end + 20)} != last - end) {
      continue;
    }
    if (end >= kZip64LocatorSize &&
        U32(archive, end - kZip64LocatorSize) == kZip64LocatorSignature) {
      return kZipUnsupported;
    }
    const uint16_t disk = U16(archive, end + 4);
    const uint16_t directoryDisk = U16(archive, end + 6);
    const uint16_t entriesHere = U16(archive, end + 8);
    const uint16_t entries = U16(archive, end + 10);
    const uint32_t size = U32(archive, end + 12);
    const uint32_t offset = U32(archive, end + 16);
    if (entries == 0xFFFF || size == 0xFFFFFFFF || offset == 0xFFFFFFFF) return kZipUnsupported;
    if (disk != 0 || directoryDisk != 0 || entriesHere != entries) return kZipUnsupported;
    // The directory lies between the entries' data and this record.
    if (offset > end || size > end - offset) return kZipMalformed;
    directory = Directory{offset, size, entries};
    return kZipOk;
  }
  return kZipMalformed;
}

bool NamesDocument(std::string_view name) {
  constexpr std::string_view kExtension = ".mqo";
  if (name.size() < kExtension.size()) return false;
  const std::string_view tail = name.substr(name.size() - kExtension.size());
  return std::equal(tail.begin(), tail.end(), kExtension.begin(), [](char a, char b) {
    return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
  });
}

// Walks the central directory to the first entry named *.mqo.
ZipResult FindDocument(const Bytes& archive, const Directory& directory, Entry& entry) {
  const Bytes records{archive.data + directory.offset, directory.size};
  size_t at = 0;
  for (uint32_t i = 0; i < directory.entries; ++i) {
    if (!Fits(records, at, kCentralHeaderSize) || U32(records, at) != kCentralHeaderSignature) {
      return kZipMalformed;
    }
    const size_t nameSize = size_t{U16(records, at + 28)};
    const size_t variableSize =
        nameSize + size_t{U16(records, at + 30)} + size_t{U16(records, at + 32)};
    if (!Fits(records, at + kCentralHeaderSize, variableSize)) return kZipMalformed;
    const std::string_view name(
        reinterpret_cast<const char*>(records.data + at + kCentralHeaderSize), nameSize);
    if (NamesDocument(name)) {
      entry.flags = U16(records, at + 8);
      entry.method = U16(records, at + 10);
      entry.crc = U32(records, at + 16);
      entry.compressedSize = U32(records, at + 20);
      entry.size = U32(records, at + 24);
      entry.localHeader = U32(records, at + 42);
      const uint16_t disk = U16(records, at + 34);
      if (entry.compressedSize == 0xFFFFFFFF || entry.size == 0xFFFFFFFF ||
          entry.localHeader == 0xFFFFFFFF) {
        return kZipUnsupported;
      }
      return disk == 0 ? kZipOk : kZipUnsupported;
    }
    at += kCentralHeaderSize + variableSize;
  }
  return kZipNoDocument;
}

// The entry's compressed bytes: after its local header, and before the central directory.
ZipResult LocateData(const Bytes& archive, const Directory& directory, const Entry& entry,
                     Bytes& data) {
  const Bytes entries{archive.data, directory.offset};
  const size_t header = entry.localHeader;
  if (!Fits(entries, header, kLocalHeaderSize) || U32(entries, header) != kLocalHeaderSignature) {
    return kZipMalformed;
  }
  if ((U16(entries, header + 6) & (kFlagEncrypted | kFlagStrongEncryption)) != 0) {
    return kZipEncrypted;
  }
  if (U16(entries, header + 8) != entry.method) return kZipMalformed;
  const size_t start = header + kLocalHeaderSize;
  const size_t variableSize = size_t{U16(entries, header + 26)} + U16(entries, header + 28);
  if (!Fits(entries, start, variableSize) ||
      !Fits(entries, start + variableSize, entry.compressedSize)) {
    return kZipMalformed;
  }
  data = Bytes{entries.data + start + variableSize, entry.compressedSize};
  return kZipOk;
}

// Inflates a raw deflate stream into `out`, which holds exactly the declared size: the stream
// must end there, having used all of its input. Output beyond the declared size goes to one
// spare byte, whose use fails the entry; so nothing larger than `out` is ever written.
ZipResult Inflate(const Bytes& in, std::vector<char>& out) {
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return kZipNoMemory;
  unsigned char spare = 0;
  stream.next_in = in.data;
  stream.avail_in = static_cast<uInt>(in.size);  // at most 2^32 - 1: a 32-bit field
  stream.next_out = out.empty() ? &spare : reinterpret_cast<unsigned char*>(out.data());
  stream.avail_out = out.empty() ? 1u : static_cast<uInt>(out.size());  // at most 2 GiB
  bool spareInUse = out.empty();
  ZipResult result = kZipBadData;
  for (;;) {
    const int status = inflate(&stream, Z_NO_FLUSH);
    if (status == Z_STREAM_END) {
      const bool exact = stream.total_out == out.size() && stream.avail_in == 0;
      result = exact ? kZipOk : kZipBadData;
      break;
    }
    if (status == Z_MEM_ERROR) {
      result = kZipNoMemory;
      break;
    }
    if (status != Z_OK && status != Z_BUF_ERROR) break;  // damaged stream
    if (stream.avail_out == 0 && !spareInUse) {
      stream.next_out = &spare;
      stream.avail_out = 1;
      spareInUse = true;
    } else if (stream.avail_out == 0 || status == Z_BUF_ERROR) {
      break;  // more output than declared, or the input ran out before the stream's end
    }
  }
  inflateEnd(&stream);
  return result;
}

uint32_t Crc32(const std::vector<char>& bytes) {
  uLong crc = crc32(0L, Z_NULL, 0);
  const auto* p = reinterpret_cast<const Bytef*>(bytes.data());
  size_t left = bytes.size();
  while (left > 0) {
    const uInt chunk = static_cast<uInt>(std::min<size_t>(left, 1u << 30));
    crc = crc32(crc, p, chunk);
    p += chunk;
    left -= chunk;
  }
  return static_cast<uint32_t>(crc);
}

ZipResult Extract(const Bytes& archive, std::vector<char>& text) {
  Directory directory;
  Entry entry;
  Bytes data{};
  ZipResult result = FindDirectory(archive, directory);
  if (result == kZipOk) result = FindDocument(archive, directory, entry);
  if (result != kZipOk) return result;
  if ((entry.flags & (kFlagEncrypted | kFlagStrongEncryption)) != 0) return kZipEncrypted;
  if (entry.method != kMethodStored && entry.method != kMethodDeflated) return kZipUnknownMethod;
  result = LocateData(archive, directory, entry, data);
  if (result != kZipOk) return result;

  const uint64_t limit = archive.size > kMaxInflatedSize / kMaxInflationRatio
                             ? kMaxInflatedSize
                             : kMaxInflationRatio * archive.size;
  if (entry.size > limit) return kZipTooLarge;
  if (entry.method == kMethodStored) {
    if (entry.compressedSize != entry.size) return kZipBadData;
    text.assign(data.data, data.data + data.size);
  } else {
    text.resize(entry.size);
    result = Inflate(data, text);
    if (result != kZipOk) return result;
  }
  return Crc32(text) == entry.crc ? kZipOk : kZipBadCrc;
}

}  // namespace

bool IsZipArchive(const char* data, size_t size) {
  return size >= 4 && std::string_view(data, 4) == std::string_view("PK\x03\x04", 4);
}

ZipResult ExtractZippedDocument(const char* archive, size_t size, std::vector<char>& text) {
  text.clear();
  ZipResult result = kZipNoMemory;
  try {
    result = Extract(Bytes{reinterpret_cast<const unsigned char*>(archive), size}, text);
  } catch (const std::exception&) {
    result = kZipNoMemory;  // the only exceptions here come from allocating the text
  }
  if (result != kZipOk) std::vector<char>().swap(text);
  return result;
}
