// measure_run: runs one command and prints its wall time, peak resident memory, exit code and
// CPU time, for bench/run.py.
//
//   measure_run [-o FILE] COMMAND [ARGS...]
//   prints: <wall seconds> <peak RSS in bytes> <exit code> <CPU seconds (user + system)>
//
// The command reads /dev/null, writes its output to FILE (default /dev/null) and its errors to
// ours. The clock runs from just before the spawn to the return of wait4; the peak RSS is
// wait4's ru_maxrss for that child. Linux counts the spawning process's resident size in the
// child's ru_maxrss, so spawning from this small program rather than from Python keeps that
// share to a few hundred kilobytes (see `measure_run true`). POSIX only.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

extern char** environ;

int main(int argc, char** argv) {
  const bool named = argc > 2 && std::strcmp(argv[1], "-o") == 0;
  char** command = argv + (named ? 3 : 1);
  if (command >= argv + argc) {
    std::fprintf(stderr, "usage: measure_run [-o FILE] COMMAND [ARGS...]\n");
    return 2;
  }
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, named ? argv[2] : "/dev/null",
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  int status = 0;
  rusage use{};
  const int error = posix_spawnp(&pid, command[0], &files, nullptr, command, environ);
  if (error != 0 || wait4(pid, &status, 0, &use) != pid) {
    std::fprintf(stderr, "measure_run: %s: %s\n", command[0], std::strerror(error ? error : errno));
    return 127;
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  const double cpu = static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
                     static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
  std::printf("%.9f %lld %d %.6f\n", wall.count(), static_cast<long long>(use.ru_maxrss) * 1024,
              code, cpu);
  return 0;
}
