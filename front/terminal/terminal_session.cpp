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
#include <iterator>

#include "front/resources/texts.h"

namespace {

volatile std::sig_atomic_t closeRequested = 0;
SCREEN* terminalScreen = nullptr;

constexpr int kCloseSignals[] = {SIGINT, SIGHUP, SIGTERM};
struct sigaction previousActions[std::size(kCloseSignals)];

void OnCloseSignal(int) {
  closeRequested = 1;
}

void CatchCloseSignals() {
  struct sigaction action {};
  action.sa_handler = OnCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no restart: a waiting read returns and the request is seen
  for (size_t i = 0; i < std::size(kCloseSignals); ++i)
    sigaction(kCloseSignals[i], &action, &previousActions[i]);
}

void ReleaseCloseSignals() {
  for (size_t i = 0; i < std::size(kCloseSignals); ++i)
    sigaction(kCloseSignals[i], &previousActions[i], nullptr);
}

// The terminal's own mode for pasted text: it arrives between ESC[200~ and ESC[201~.
void SetBracketedPaste(bool on) {
  std::fputs(on ? "\033[?2004h" : "\033[?2004l", stdout);
  std::fflush(stdout);
}

}  // namespace

const char* OpenTerminal() {
  if (terminalScreen != nullptr) return nullptr;
  if (isatty(STDIN_FILENO) == 0) return kNoTerminalInputText;
  if (isatty(STDOUT_FILENO) == 0) return kNoTerminalOutputText;
  std::setlocale(LC_CTYPE, "");
  if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) return kNoUtf8LocaleText;

  closeRequested = 0;
  CatchCloseSignals();  // before the terminal library, so that it keeps ours
  terminalScreen = newterm(nullptr, stdout, stdin);
  if (terminalScreen == nullptr) {
    ReleaseCloseSignals();
    return kUnknownTerminalText;
  }
  raw();  // Ctrl+Q and Ctrl+C arrive as keys, not as flow control or a signal
  noecho();
  keypad(stdscr, TRUE);
  set_escdelay(25);
  timeout(200);  // waiting for a key looks at close requests this often
  define_key("\033[200~", kPasteStartKey);
  define_key("\033[201~", kPasteEndKey);
  SetBracketedPaste(true);
  return nullptr;
}

void CloseTerminal() {
  if (terminalScreen == nullptr) return;
  endwin();
  SetBracketedPaste(false);
  delscreen(terminalScreen);
  terminalScreen = nullptr;
  ReleaseCloseSignals();
}

bool TerminalIsOpen() {
  return terminalScreen != nullptr;
}

bool CloseRequested() {
  return closeRequested != 0;
}

void RequestClose() {
  closeRequested = 1;
}

bool TerminalHungUp() {
  pollfd input{STDIN_FILENO, POLLIN, 0};
  return poll(&input, 1, 0) > 0 && (input.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}
