// Reads a whole source file into memory for the tokenizer.
//
// ReadTextFile fills `text` with the file's bytes, all of them (zero bytes included), and returns
// false when the path cannot be opened as a regular file or its bytes cannot all be read (a file
// shortened while it is read included). A file that begins with a ZIP local header ("PK", 3, 4)
// is a zipped document: `text` then holds the text of the archive's first *.mqo entry, and false
// is returned when that cannot be had (see zip_archive.h; safe on untrusted archives).
//
// The bytes are read into one buffer sized from the file's size, the same way on every platform.
// A mapping of the file would save the copy, but a file that another program shortens while it is
// read turns every access past its new end into a bus error, which no portable code can meet
// well; the benchmark showed the copy costs less than 5 % of a conversion at 1M faces.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

struct SourceText {
  const char* data = "";
  size_t size = 0;
  std::unique_ptr<char[]> file;  // the file's bytes
  std::vector<char> unzipped;    // or the document a zipped file holds
};

bool ReadTextFile(const char* path, SourceText& text);
