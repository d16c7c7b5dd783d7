// Opening and closing the terminal for the dialog, and the signals that close it.
#include "front/terminal/terminal_session.h"

#include <curses.h>
#include <langinfo.h>
#include <poll.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "front/resources/texts.h"

namespace {

volatile std::sig_atomic_t closeRequested = 0;
SCREEN* terminalScreen = nullptr;

constexpr int kCloseSignals[] = {SIGINT, SIGHUP, SIGTERM};
void (*previousHandlers[3])(int) = {};

void OnCloseSignal(int) {
  closeRequested = 1;
}

// Our handler for the signals that close the dialog, or the ones it replaced.
void CatchCloseSignals(bool catching) {
  for (size_t i = 0; i < 3; ++i) {
    const auto previous =
        std::signal(kCloseSignals[i], catching ? OnCloseSignal : previousHandlers[i]);
    if (catching) previousHandlers[i] = previous;
  }
}

}  // namespace

const char* OpenTerminal() {
  if (isatty(STDIN_FILENO) == 0) return kNoTerminalInputText;
  if (isatty(STDOUT_FILENO) == 0) return kNoTerminalOutputText;
  std::setlocale(LC_CTYPE, "");
  if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) return kNoUtf8LocaleText;
  closeRequested = 0;
  CatchCloseSignals(true);  // before the terminal library, so that it keeps ours
  terminalScreen = newterm(nullptr, stdout, stdin);
  if (terminalScreen == nullptr) {
    CatchCloseSignals(false);
    return kUnknownTerminalText;
  }
  raw();  // Ctrl+Q and Ctrl+C arrive as keys, not as flow control or a signal
  noecho();
  keypad(stdscr, TRUE);
  set_escdelay(25);
  timeout(200);  // waiting for a key looks at close requests this often
  define_key("\033[200~", kPasteStartKey);
  define_key("\033[201~", kPasteEndKey);
  std::fputs("\033[?2004h", stdout);  // bracketed paste: pasted text between ESC[200~ and ESC[201~
  std::fflush(stdout);
  return nullptr;
}

void CloseTerminal() {
  endwin();
  std::fputs("\033[?2004l", stdout);
  std::fflush(stdout);
  delscreen(terminalScreen);
  CatchCloseSignals(false);
}

bool CloseRequested() {
  pollfd input{STDIN_FILENO, POLLIN, 0};
  const bool gone = poll(&input, 1, 0) > 0 && (input.revents & (POLLHUP | POLLERR | POLLNVAL));
  return closeRequested != 0 || gone;
}

void RequestClose() {
  closeRequested = 1;
}
