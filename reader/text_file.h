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
// what looks like the end of the text, and the load reports a read failure. One text at a time
// holds a mapping; while it does, any other file (another load, on any thread) is read into one
// buffer sized from the file's size, as it is where a file cannot be mapped and on Windows.
//
// The file stays open while its text lives, so that RecheckFile can ask again for its size and
// modification time once the load has read it: a file that grew or was rewritten in place
// meanwhile was read as a mix of old and new bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "reader/model.h"

// A file's size and modification time, as fine as the file system keeps it.
struct FileStamp {
  uint64_t size = 0;
  int64_t seconds = 0;
  int64_t nanoseconds = 0;
};

struct SourceText {
  const char* data = "";
  size_t size = 0;
  std::unique_ptr<char[]> file;  // the file's bytes, when read rather than mapped
  std::vector<char> unzipped;    // or the document a zipped file holds
  void* mapping = nullptr;
  size_t mappingSize = 0;
  std::FILE* source = nullptr;  // the file, open until the text goes
  FileStamp opened;             // the file as it was when opened

  SourceText() = default;
  SourceText(const SourceText&) = delete;
  SourceText& operator=(const SourceText&) = delete;
  ~SourceText();  // unmaps and closes the file, and stops catching its bus errors
};

bool ReadTextFile(const char* path, SourceText& text, LoadFailure& failure);

// True when the mapped file was found shorter than it was when mapped (the bytes past its new end
// read as zeros).
bool Truncated(const SourceText& text);
// Why the text read from the file cannot be trusted once the load has read it: kCauseShortened
// when Truncated, kCauseChanged when the file's size or modification time is no longer what it
// was when opened, kCauseSystem when the file cannot be asked; kCauseNone for a sound text.
LoadFailure RecheckFile(const SourceText& text);
