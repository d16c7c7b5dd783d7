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
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#endif

namespace {

#ifndef _WIN32
// What the bus error handler reads. A signal may arrive on any thread between any two
// instructions, so these are atomics that need no lock.
static_assert(std::atomic<bool>::is_always_lock_free &&
              std::atomic<uintptr_t>::is_always_lock_free);
// Held by the one text whose mapping's bus errors are ours. A second text mapping at the same
// time (two loads, on two threads) would save our own handler as the previous action, and a
// fault that is not ours would then repeat forever: while the mapping is held, other files are
// read into a buffer instead.
std::atomic<bool> mappingHeld{false};
std::atomic<uintptr_t> mappedFrom{0}, mappedTo{0}, pageSize{4096};
std::atomic<bool> truncated{false};
// Written by sigaction only by the text that holds the mapping, before our handler is installed.
struct sigaction previousAction;

// A read past the new end of our mapped file: a page of zeros takes the missing page's place and
// the handler returns to the faulting instruction, which reads again and finds zeros. That is
// what makes the fault harmless wherever it happens, in the reader's own code or inside a library
// call reading the mapping (zlib's inflate unpacking a zipped document, memcpy): the interrupted
// code goes on as if the bytes had always been zeros. The handler itself only reads atomics and
// makes system calls, and leaves errno as it found it. Any other bus error is not ours: the
// previous action is put back, and the fault repeats with it.
void OnBusError(int signal, siginfo_t* info, void*) {
  const int savedErrno = errno;
  const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
  const uintptr_t size = pageSize.load();
  if (info->si_code == BUS_ADRERR && address >= mappedFrom.load() && address < mappedTo.load()) {
    void* page = reinterpret_cast<void*>(address & ~(size - 1));
    if (mmap(page, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == page) {
      truncated.store(true);
      errno = savedErrno;
      return;
    }
  }
  sigaction(signal, &previousAction, nullptr);
  errno = savedErrno;
}

// False, the file then to be read, when it cannot be mapped or another text holds the mapping.
bool MapFile(int fd, size_t size, SourceText& text) {
  bool held = false;
  if (!mappingHeld.compare_exchange_strong(held, true)) return false;
  void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  if (mapped == MAP_FAILED) {
    mappingHeld.store(false);
    return false;
  }
  pageSize.store(static_cast<uintptr_t>(sysconf(_SC_PAGESIZE)));
  mappedFrom.store(reinterpret_cast<uintptr_t>(mapped));
  mappedTo.store(reinterpret_cast<uintptr_t>(mapped) + size);
  truncated.store(false);
  struct sigaction action {};
  action.sa_sigaction = OnBusError;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  if (sigaction(SIGBUS, &action, &previousAction) != 0) {
    mappedFrom.store(0);
    mappedTo.store(0);
    munmap(mapped, size);
    mappingHeld.store(false);
    return false;
  }
  text.mapping = mapped;
  text.mappingSize = size;
  return true;
}
#endif

// The open file's size and modification time; false, errno saying why, when it cannot be asked.
bool StampOf(std::FILE* file, FileStamp& stamp) {
#ifdef _WIN32
  BY_HANDLE_FILE_INFORMATION info{};
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info)) {
    errno = EIO;
    return false;
  }
  // The time counts 100 ns steps.
  const uint64_t steps =
      (uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
  stamp.size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  stamp.seconds = static_cast<int64_t>(steps / 10000000);
  stamp.nanoseconds = static_cast<int64_t>(steps % 10000000 * 100);
#else
  struct stat info {};
  if (fstat(fileno(file), &info) != 0) return false;
  stamp.size = static_cast<uint64_t>(info.st_size);
  stamp.seconds = info.st_mtim.tv_sec;
  stamp.nanoseconds = info.st_mtim.tv_nsec;
#endif
  return true;
}

// Opens the file for reading into text.source, with its size and time in text.opened; false,
// saying why, for anything but a regular file.
bool OpenRegularFile(const char* path, SourceText& text, LoadFailure& failure) {
  failure = LoadFailure{kCauseSystem, 0};
#ifdef _WIN32
  std::FILE* file = std::fopen(path, "rb");
  struct _stat64 info {};
  if (file == nullptr || _fstat64(_fileno(file), &info) != 0) {
    failure.systemError = errno;
    if (file != nullptr) std::fclose(file);
    return false;
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
    return false;
  }
  const bool folder = S_ISDIR(info.st_mode), regular = S_ISREG(info.st_mode);
#endif
  if (!regular) {
    failure.cause = folder ? kCauseFolder : kCauseNotAFile;
    std::fclose(file);
    return false;
  }
  text.source = file;
  if (!StampOf(file, text.opened)) {
    failure.systemError = errno;
    return false;
  }
  failure = LoadFailure{};
  return true;
}

bool ReadFileBytes(const char* path, SourceText& text, LoadFailure& failure) {
  if (!OpenRegularFile(path, text, failure)) return false;
  const auto size = static_cast<size_t>(text.opened.size);
#ifdef _WIN32
  const bool mapped = false;
#else
  const bool mapped = size > 0 && MapFile(fileno(text.source), size, text);
#endif
  bool whole = true;
  if (mapped) {
    text.data = static_cast<const char*>(text.mapping);
  } else if (size > 0) {
    text.file = std::make_unique_for_overwrite<char[]>(size);
    whole = std::fread(text.file.get(), 1, size, text.source) == size;
    if (!whole) {
      failure = std::ferror(text.source) ? LoadFailure{kCauseSystem, errno}
                                         : LoadFailure{kCauseShortened};
    }
    text.data = text.file.get();
  }
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
  if (mapping != nullptr) {
    sigaction(SIGBUS, &previousAction, nullptr);
    mappedFrom.store(0);
    mappedTo.store(0);
    munmap(mapping, mappingSize);
    mappingHeld.store(false);
  }
#endif
  if (source != nullptr) std::fclose(source);
}

bool Truncated([[maybe_unused]] const SourceText& text) {
#ifndef _WIN32
  return text.mapping != nullptr && truncated.load();
#else
  return false;
#endif
}

LoadFailure RecheckFile(const SourceText& text) {
  if (Truncated(text)) return LoadFailure{kCauseShortened};
  if (text.source == nullptr) return LoadFailure{};
  FileStamp now;
  if (!StampOf(text.source, now)) return LoadFailure{kCauseSystem, errno};
  const FileStamp& then = text.opened;
  const bool same =
      now.size == then.size && now.seconds == then.seconds && now.nanoseconds == then.nanoseconds;
  return same ? LoadFailure{} : LoadFailure{kCauseChanged};
}

bool ReadTextFile(const char* path, SourceText& text, LoadFailure& failure) {
  if (!ReadFileBytes(path, text, failure)) return false;
  if (!IsZipArchive(text.data, text.size)) return true;
  const ZipResult result = ExtractZippedDocument(text.data, text.size, text.unzipped);
  text.data = text.unzipped.empty() ? "" : text.unzipped.data();
  text.size = text.unzipped.size();
  if (result == kZipOk && !Truncated(text)) return true;
  // An archive damaged by a change while it was read reports the change.
  const LoadFailure recheck = RecheckFile(text);
  failure = recheck.cause != kCauseNone ? recheck : LoadFailure{CauseOf(result)};
  return false;
}
