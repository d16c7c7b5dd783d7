// Reads a whole source file into memory for the tokenizer.
//
// ReadTextFile fills `text` with the file's bytes, all of them (zero bytes included), and returns
// false, saying why in `failure`, when the path cannot be opened as a regular file or its bytes
// cannot all be read. A file
// that begins with a ZIP local header ("PK", 3, 4) is a zipped document: `text` then holds the
// text of the archive's first *.mqo entry, and false is returned when that cannot be had (see
// zip_archive.h; safe on untrusted archives).
//
// On POSIX systems the file is mapped, not copied: copying a 137 MB model into fresh memory costs
// about a fifth of its whole conversion, far more than the 5 % we allow a simpler way to lose
// (bench/README.md). A mapped file that another program shortens while it is read turns every
// read past its new end into a bus error. While a text holds a mapping, a handler of that signal
// maps a page of zeros over each missing page and marks the text truncated: the reader meets
// what looks like the end of the text, and the load reports a read failure. Elsewhere, and where
// a file cannot be mapped, its bytes are read into one buffer sized from the file's size.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "reader/model.h"

struct SourceText {
  const char* data = "";
  size_t size = 0;
  std::unique_ptr<char[]> file;  // the file's bytes, when read rather than mapped
  std::vector<char> unzipped;    // or the document a zipped file holds
  void* mapping = nullptr;
  size_t mappingSize = 0;

  SourceText() = default;
  SourceText(const SourceText&) = delete;
  SourceText& operator=(const SourceText&) = delete;
  ~SourceText();  // unmaps the file, and stops catching its bus errors
};

bool ReadTextFile(const char* path, SourceText& text, LoadFailure& failure);

// True when the mapped file was found shorter than it was when mapped (the bytes past its new end
// read as zeros).
bool Truncated(const SourceText& text);
