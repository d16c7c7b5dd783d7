// A destination file that appears whole or not at all.
//
// OpenOutput creates a new temporary file, exclusively, in the destination's folder; the bytes go
// there, and CommitOutput renames it over the destination once everything is written, flushed and
// closed. AbandonOutput (or a failed commit) removes the temporary file, so a file already at the
// destination stays exactly as it was. A destination that is a symbolic link is written through
// to the file it names; a dangling link, a directory, or anything else that is not a regular file
// (a device such as /dev/null, a FIFO) fails and is left in place.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Why writing failed, for messages that say more than a result of 1.
enum WriteCause : int {
  kWriteCauseNone = 0,
  kWriteCauseSystem,    // the system's error: `systemError` holds its errno value
  kWriteCauseFolder,    // the destination is a folder
  kWriteCauseNotAFile,  // the destination is a device, a FIFO or a socket
  kWriteCauseTooLarge,  // the file would pass the format's 4 GiB
  kWriteCauseNoMemory,
  kWriteCauseTooLargeForMemory,  // the model baked as shown would not fit in memory
};
struct WriteFailure {
  WriteCause cause = kWriteCauseNone;
  int systemError = 0;
};

struct OutputFile {
  std::FILE* stream = nullptr;
  std::string temporaryPath;
  std::string destinationPath;  // the file to replace, after following a symbolic link
  WriteFailure failure;         // set when a call below returns false
};

bool OpenOutput(const char* destination, OutputFile& file);
bool WriteOutput(OutputFile& file, const void* bytes, size_t size);
bool CommitOutput(OutputFile& file);
void AbandonOutput(OutputFile& file);
