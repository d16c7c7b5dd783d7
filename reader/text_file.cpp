// Source file reading: a read-only private mapping where the platform has one, a plain binary
// read otherwise. The source is read as bytes; carriage returns are blanks to the tokenizer, so
// nothing is gained by text-mode translation and binary vertex data would be damaged by it. A
// zipped document is unpacked here, so the readers only ever see a text.
#include "reader/text_file.h"

#include "reader/zip_archive.h"

#include <cstdio>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#define VUV2EZ_HAVE_MMAP 1
#endif

TextFile::~TextFile() {
#ifdef VUV2EZ_HAVE_MMAP
  if (mapping != nullptr) munmap(mapping, mappingSize);
#endif
}

namespace {

bool ReadByStream(const char* path, TextFile& file) {
  std::FILE* stream = std::fopen(path, "rb");
  if (stream == nullptr) return false;
  bool ok = true;
  std::vector<char> bytes;
  char chunk[65536];
  for (;;) {
    const size_t got = std::fread(chunk, 1, sizeof chunk, stream);
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (got < sizeof chunk) {
      ok = std::ferror(stream) == 0;
      break;
    }
  }
  std::fclose(stream);
  if (!ok) return false;
  file.storage = std::move(bytes);
  file.data = file.storage.data();
  file.size = file.storage.size();
  return true;
}

bool ReadFileBytes(const char* path, TextFile& file) {
#ifdef VUV2EZ_HAVE_MMAP
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return false;  // a directory, FIFO or device is no model file
  }
  const auto size = static_cast<size_t>(info.st_size);
  if (size == 0) {
    close(fd);
    file.data = "";
    file.size = 0;
    return true;
  }
  void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  close(fd);
  if (mapped == MAP_FAILED) return ReadByStream(path, file);
  file.mapping = mapped;
  file.mappingSize = size;
  file.data = static_cast<const char*>(mapped);
  file.size = size;
  return true;
#else
  return ReadByStream(path, file);
#endif
}

// Replaces an archive's bytes with the document it holds.
bool UnpackZippedDocument(TextFile& file) {
  std::vector<char> text;
  if (ExtractZippedDocument(file.data, file.size, text) != kZipOk) return false;
#ifdef VUV2EZ_HAVE_MMAP
  if (file.mapping != nullptr) munmap(file.mapping, file.mappingSize);
  file.mapping = nullptr;
  file.mappingSize = 0;
#endif
  file.storage = std::move(text);
  file.data = file.storage.empty() ? "" : file.storage.data();
  file.size = file.storage.size();
  return true;
}

}  // namespace

bool ReadTextFile(const char* path, TextFile& file) {
  if (!ReadFileBytes(path, file)) return false;
  return !IsZipArchive(file.data, file.size) || UnpackZippedDocument(file);
}
