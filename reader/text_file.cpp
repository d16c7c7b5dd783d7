// Source file reading: the file's size first, then its bytes into a buffer of that size, read as
// bytes (carriage returns are blanks to the tokenizer, and binary vertex data would be damaged by
// text-mode translation). A zipped document is unpacked here, so the readers only see a text.
#include "reader/text_file.h"

#include <cstdio>

#include "reader/zip_archive.h"

#ifdef _WIN32
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The file opened for reading with its size; nullptr for anything but a regular file.
std::FILE* OpenRegularFile(const char* path, size_t& size) {
#ifdef _WIN32
  std::FILE* file = std::fopen(path, "rb");
  struct _stat64 info {};
  const bool regular =
      file != nullptr && _fstat64(_fileno(file), &info) == 0 && (info.st_mode & _S_IFREG) != 0;
#else
  // Not blocking: opening a FIFO without a writer must not wait.
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat info {};
  const bool regular = fd >= 0 && fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  std::FILE* file = regular ? fdopen(fd, "rb") : nullptr;
  if (file == nullptr && fd >= 0) close(fd);
#endif
  if (!regular || file == nullptr) {
    if (file != nullptr) std::fclose(file);
    return nullptr;
  }
  size = static_cast<size_t>(info.st_size);
  return file;
}

}  // namespace

bool ReadTextFile(const char* path, SourceText& text) {
  size_t size = 0;
  std::FILE* file = OpenRegularFile(path, size);
  if (file == nullptr) return false;
  text.file = std::make_unique_for_overwrite<char[]>(size);
  const bool whole = size == 0 || std::fread(text.file.get(), 1, size, file) == size;
  std::fclose(file);
  if (!whole) return false;
  text.data = size == 0 ? "" : text.file.get();
  text.size = size;
  if (!IsZipArchive(text.data, text.size)) return true;
  const bool unzipped = ExtractZippedDocument(text.data, text.size, text.unzipped) == kZipOk;
  text.file.reset();
  text.data = text.unzipped.empty() ? "" : text.unzipped.data();
  text.size = text.unzipped.size();
  return unzipped;
}
