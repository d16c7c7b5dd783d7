// Temporary file creation and the final rename, per platform.
#include "writer/output_file.h"

#include <cerrno>
#include <chrono>
#include <cstdint>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#endif

namespace {

std::string FolderOf(const std::string& path) {
#ifdef _WIN32
  // Separators are found character by character: in the ANSI code page the second byte of a
  // double-byte character may be 0x5C, the backslash ("表" in code page 932).
  size_t slash = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
      ++i;
    } else if (path[i] == '/' || path[i] == '\\' || path[i] == ':') {
      slash = i;
    }
  }
#else
  const size_t slash = path.find_last_of('/');
#endif
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Follows a symbolic link at the destination; false, saying why, for a dangling one, and for
// anything there but a regular file: a directory, and a device or FIFO, which the rename would
// replace.
bool ResolveDestination(const char* destination, std::string& resolved, WriteFailure& failure) {
  resolved = destination;
  failure = WriteFailure{kWriteCauseSystem, 0};
#ifndef _WIN32
  struct stat info {};
  if (lstat(destination, &info) != 0) {
    failure.systemError = errno;
    return errno == ENOENT;  // nothing there yet
  }
  if (S_ISLNK(info.st_mode)) {
    char* target = realpath(destination, nullptr);
    if (target == nullptr || stat(target, &info) != 0) {
      failure.systemError = errno;
      std::free(target);
      return false;
    }
    resolved = target;
    std::free(target);
  }
  const bool folder = S_ISDIR(info.st_mode), regular = S_ISREG(info.st_mode);
#else
  const DWORD attributes = GetFileAttributesA(destination);
  const bool folder =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const bool regular = !folder;
#endif
  failure.cause = folder ? kWriteCauseFolder : kWriteCauseNotAFile;
  return regular;
}

uint64_t NameSeed() {
  static uint64_t counter = 0;
  const auto ticks =
      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
#ifdef _WIN32
  const uint64_t process = GetCurrentProcessId();
#else
  const auto process = static_cast<uint64_t>(getpid());
#endif
  return (ticks * 0x9E3779B97F4A7C15ull) ^ (process << 32) ^ ++counter;
}

// Creates the file exclusively; -1 with errno EEXIST when the name is taken.
int CreateExclusive(const std::string& path, [[maybe_unused]] const std::string& like) {
#ifdef _WIN32
  return _open(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
  const int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
  struct stat existing {};
  if (fd >= 0 && stat(like.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    fchmod(fd, existing.st_mode & 07777);  // a replaced file keeps its permissions
  }
  return fd;
#endif
}

}  // namespace

bool OpenOutput(const char* destination, OutputFile& file) {
  file = OutputFile{};
  if (!ResolveDestination(destination, file.destinationPath, file.failure)) return false;
  const std::string folder = FolderOf(file.destinationPath);
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  for (int attempt = 0; attempt < 64; ++attempt) {
    uint64_t seed = NameSeed();
    std::string name = ".vuv2ez-";
    for (int i = 0; i < 10; ++i, seed /= 36)
      name.push_back(kDigits[seed % 36]);
    const std::string temporary = folder + name + ".tmp";
    const int fd = CreateExclusive(temporary, file.destinationPath);
    if (fd < 0) {
      if (errno == EEXIST) continue;  // someone else's file: try another name
      file.failure = WriteFailure{kWriteCauseSystem, errno};
      return false;
    }
    file.temporaryPath = temporary;
#ifdef _WIN32
    file.stream = _fdopen(fd, "wb");
    if (file.stream == nullptr) _close(fd);
#else
    file.stream = fdopen(fd, "wb");
    if (file.stream == nullptr) close(fd);
#endif
    if (file.stream == nullptr) {
      file.failure = WriteFailure{kWriteCauseSystem, errno};
      std::remove(file.temporaryPath.c_str());
      return false;
    }
    return true;
  }
  file.failure = WriteFailure{kWriteCauseSystem, EEXIST};  // every name tried is taken
  return false;
}

bool WriteOutput(OutputFile& file, const void* bytes, size_t size) {
  if (std::fwrite(bytes, 1, size, file.stream) == size) return true;
  file.failure = WriteFailure{kWriteCauseSystem, errno};
  return false;
}

bool CommitOutput(OutputFile& file) {
  int error = std::fflush(file.stream) == 0 ? 0 : errno;
  if (std::fclose(file.stream) != 0 && error == 0) error = errno;
  file.stream = nullptr;
#ifdef _WIN32
  const char* from = file.temporaryPath.c_str();
  const char* to = file.destinationPath.c_str();
  if (error == 0 && MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) == 0) error = EACCES;
#else
  if (error == 0 && std::rename(file.temporaryPath.c_str(), file.destinationPath.c_str()) != 0) {
    error = errno;
  }
#endif
  if (error == 0) return true;
  file.failure = WriteFailure{kWriteCauseSystem, error};
  std::remove(file.temporaryPath.c_str());
  return false;
}

void AbandonOutput(OutputFile& file) {
  if (file.stream != nullptr) std::fclose(file.stream);
  file.stream = nullptr;
  if (!file.temporaryPath.empty()) std::remove(file.temporaryPath.c_str());
}
