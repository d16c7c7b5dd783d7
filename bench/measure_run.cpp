// measure_run: runs one command and prints its wall time, peak resident memory and exit code.
//
//   measure_run [--stdout FILE] [--stderr FILE] -- COMMAND [ARGS...]
//   prints: <wall seconds> <peak RSS in bytes> <exit code> <CPU seconds (user + system)>
//
// The command's stdin is /dev/null; its stdout and stderr go to the given files (default
// /dev/null). The clock runs from just before the spawn to the return of wait4, and the peak RSS
// is wait4's ru_maxrss for that child. Linux folds the resident size of the spawning process
// into the child's ru_maxrss, so spawning from this small program rather than from the runner
// keeps that share to a few hundred kilobytes (see `measure_run -- true`).
//
// POSIX only (posix_spawn, wait4); built by bench/run.sh.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

extern char** environ;

int main(int argc, char** argv) {
  const char* out = "/dev/null";
  const char* err = "/dev/null";
  int i = 1;
  for (; i < argc; ++i) {
    if (std::strcmp(argv[i], "--stdout") == 0 && i + 1 < argc) {
      out = argv[++i];
    } else if (std::strcmp(argv[i], "--stderr") == 0 && i + 1 < argc) {
      err = argv[++i];
    } else if (std::strcmp(argv[i], "--") == 0) {
      ++i;
      break;
    } else {
      break;
    }
  }
  if (i >= argc) {
    std::fprintf(stderr, "usage: measure_run [--stdout FILE] [--stderr FILE] -- COMMAND [ARGS...]\n");
    return 2;
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err, O_WRONLY | O_CREAT | O_TRUNC, 0644);

  const auto t0 = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, argv[i], &actions, nullptr, argv + i, environ);
  if (rc != 0) {
    std::fprintf(stderr, "measure_run: cannot start %s: %s\n", argv[i], std::strerror(rc));
    return 127;
  }
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid) {
    std::perror("measure_run: wait4");
    return 127;
  }
  const auto t1 = std::chrono::steady_clock::now();
  posix_spawn_file_actions_destroy(&actions);

  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  const double wall = std::chrono::duration<double>(t1 - t0).count();
  const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  std::printf("%.9f %lld %d %.6f\n", wall, static_cast<long long>(usage.ru_maxrss) * 1024, code,
              cpu);
  return 0;
}
