// Source file reading: mapped where the platform maps files, else read whole into one buffer of
// the file's size. The bytes are taken as they are: carriage returns are blanks to the tokenizer,
// and binary vertex data would be damaged by text-mode translation. A zipped document is unpacked
// here, so the readers only see a text.
#include "reader/text_file.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>

#include "reader/zip_archive.h"

#ifdef _WIN32
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifndef _WIN32
// The one mapping whose bus errors are ours (a load reads one file at a time, on one thread).
volatile uintptr_t mappedFrom = 0, mappedTo = 0, pageSize = 4096;
volatile std::sig_atomic_t truncated = 0;
struct sigaction previousAction;

// A read past the new end of our mapped file: a page of zeros takes the missing page's place and
// the read is repeated. The signal comes from the reading instruction itself, never from inside
// a library call the handler could disturb. Any other bus error is not ours: the previous action
// is put back, and the fault repeats with it.
void OnBusError(int signal, siginfo_t* info, void*) {
  const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
  if (info->si_code == BUS_ADRERR && address >= mappedFrom && address < mappedTo) {
    void* page = reinterpret_cast<void*>(address & ~(pageSize - 1));
    if (mmap(page, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == page) {
      truncated = 1;
      return;
    }
  }
  sigaction(signal, &previousAction, nullptr);
}

bool MapFile(int fd, size_t size, SourceText& text) {
  void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  if (mapped == MAP_FAILED) return false;
  struct sigaction action {};
  action.sa_sigaction = OnBusError;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  if (sigaction(SIGBUS, &action, &previousAction) != 0) {
    munmap(mapped, size);
    return false;
  }
  pageSize = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  mappedFrom = reinterpret_cast<uintptr_t>(mapped);
  mappedTo = mappedFrom + size;
  truncated = 0;
  text.mapping = mapped;
  text.mappingSize = size;
  return true;
}
#endif

// The file opened for reading with its size; nullptr, saying why, for anything but a regular
// file.
std::FILE* OpenRegularFile(const char* path, size_t& size, LoadFailure& failure) {
  failure = LoadFailure{kCauseSystem, 0};
#ifdef _WIN32
  std::FILE* file = std::fopen(path, "rb");
  struct _stat64 info {};
  if (file == nullptr || _fstat64(_fileno(file), &info) != 0) {
    failure.systemError = errno;
    if (file != nullptr) std::fclose(file);
    return nullptr;
  }
  const bool folder = (info.st_mode & _S_IFDIR) != 0, regular = (info.st_mode & _S_IFREG) != 0;
#else
  // Not blocking: opening a FIFO without a writer must not wait.
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat info {};
  std::FILE* file = fd >= 0 && fstat(fd, &info) == 0 ? fdopen(fd, "rb") : nullptr;
  if (file == nullptr) {
    failure.systemError = errno;
    if (fd >= 0) close(fd);
    return nullptr;
  }
  const bool folder = S_ISDIR(info.st_mode), regular = S_ISREG(info.st_mode);
#endif
  if (!regular) {
    failure.cause = folder ? kCauseFolder : kCauseNotAFile;
    std::fclose(file);
    return nullptr;
  }
  size = static_cast<size_t>(info.st_size);
  failure = LoadFailure{};
  return file;
}

bool ReadFileBytes(const char* path, SourceText& text, LoadFailure& failure) {
  size_t size = 0;
  std::FILE* file = OpenRegularFile(path, size, failure);
  if (file == nullptr) return false;
#ifdef _WIN32
  const bool mapped = false;
#else
  const bool mapped = size > 0 && MapFile(fileno(file), size, text);
#endif
  bool whole = true;
  if (mapped) {
    text.data = static_cast<const char*>(text.mapping);
  } else if (size > 0) {
    text.file = std::make_unique_for_overwrite<char[]>(size);
    whole = std::fread(text.file.get(), 1, size, file) == size;
    if (!whole) {
      failure = std::ferror(file) ? LoadFailure{kCauseSystem, errno} : LoadFailure{kCauseShortened};
    }
    text.data = text.file.get();
  }
  std::fclose(file);
  text.size = size;
  return whole;
}

LoadCause CauseOf(ZipResult result) {
  switch (result) {
    case kZipNoDocument:
      return kCauseZipNoDocument;
    case kZipUnsupported:
    case kZipEncrypted:
    case kZipUnknownMethod:
      return kCauseZipUnsupported;
    case kZipTooLarge:
    case kZipNoMemory:
      return kCauseTooLarge;
    default:
      return kCauseZipDamaged;
  }
}

}  // namespace

SourceText::~SourceText() {
#ifndef _WIN32
  if (mapping == nullptr) return;
  munmap(mapping, mappingSize);
  mappedFrom = 0;
  mappedTo = 0;
  sigaction(SIGBUS, &previousAction, nullptr);
#endif
}

bool Truncated([[maybe_unused]] const SourceText& text) {
#ifndef _WIN32
  return text.mapping != nullptr && truncated != 0;
#else
  return false;
#endif
}

bool ReadTextFile(const char* path, SourceText& text, LoadFailure& failure) {
  if (!ReadFileBytes(path, text, failure)) return false;
  if (!IsZipArchive(text.data, text.size)) return true;
  const ZipResult result = ExtractZippedDocument(text.data, text.size, text.unzipped);
  text.data = text.unzipped.empty() ? "" : text.unzipped.data();
  text.size = text.unzipped.size();
  if (result == kZipOk && !Truncated(text)) return true;
  failure.cause = Truncated(text) ? kCauseShortened : CauseOf(result);
  return false;
}
