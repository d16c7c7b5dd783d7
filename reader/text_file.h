// Reads a whole source file into memory for the tokenizer.
//
// ReadTextFile fills `file` with the file's bytes, all of them (zero bytes included), and returns
// false when the path cannot be opened as a regular file or read. A file that begins with a ZIP
// local header ("PK", 3, 4) is a zipped document: `file` then holds the text of the archive's
// first *.mqo entry, and false is returned when that cannot be had (see zip_archive.h; safe on
// untrusted archives). On POSIX systems the file is
// mapped rather than copied: copying a large file into fresh memory costs more than parsing it.
#pragma once

#include <cstddef>
#include <vector>

struct TextFile {
  const char* data = nullptr;
  size_t size = 0;
  // Owners of the bytes: one of them holds them, the other is empty.
  std::vector<char> storage;
  void* mapping = nullptr;
  size_t mappingSize = 0;

  TextFile() = default;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  ~TextFile();
};

bool ReadTextFile(const char* path, TextFile& file);
