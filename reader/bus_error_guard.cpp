// The bus-error guard: a handler, installed for the length of one call, that jumps back out of
// the call on an access beyond the end of a mapped file (BUS_ADRERR). Any other bus error is not
// ours: the handler steps aside and the fault repeats with the previous action.
#include "reader/bus_error_guard.h"

#if defined(__unix__) || defined(__APPLE__)
#include <setjmp.h>
#include <signal.h>

namespace {

sigjmp_buf* activeJump = nullptr;
struct sigaction previousAction;

void OnBusError(int signal, siginfo_t* info, void*) {
  if (activeJump != nullptr && info != nullptr && info->si_code == BUS_ADRERR) {
    siglongjmp(*activeJump, 1);
  }
  sigaction(signal, &previousAction, nullptr);
}

}  // namespace

bool CallCatchingBusErrors(void (*work)(void* context), void* context) {
  struct sigaction action {};
  action.sa_sigaction = OnBusError;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  if (sigaction(SIGBUS, &action, &previousAction) != 0) {
    work(context);
    return true;
  }
  sigjmp_buf jump;
  bool completed = false;
  if (sigsetjmp(jump, 1) == 0) {
    activeJump = &jump;
    work(context);
    completed = true;
  }
  activeJump = nullptr;
  sigaction(SIGBUS, &previousAction, nullptr);
  return completed;
}

#else

bool CallCatchingBusErrors(void (*work)(void* context), void* context) {
  work(context);
  return true;
}

#endif
