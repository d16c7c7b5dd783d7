// Reading keys and pastes from the terminal library.
#include "front/terminal/terminal_keys.h"

#include <curses.h>

#include "front/terminal/terminal_session.h"
#include "front/terminal/utf8_text.h"

namespace {

// Our own key codes for the paste brackets, far from the library's codes.
constexpr int kPasteStart = 0x6000;
constexpr int kPasteEnd = 0x6001;

// A paste whose closing bracket has not come after this many empty waits is taken as it stands.
constexpr int kPasteWaits = 25;

KeyEvent Event(Key key) {
  return {key, {}};
}

KeyEvent ReadPaste() {
  KeyEvent paste = Event(Key::kPaste);
  int emptyWaits = 0;
  while (emptyWaits < kPasteWaits && !CloseRequested()) {
    wint_t c = 0;
    const int got = get_wch(&c);
    if (got == ERR) {
      ++emptyWaits;
      if (TerminalHungUp()) RequestClose();
      continue;
    }
    emptyWaits = 0;
    if (got == KEY_CODE_YES) {
      if (static_cast<int>(c) == kPasteEnd) break;
      continue;  // a key sequence inside pasted text means nothing
    }
    paste.text += EncodeUtf8(static_cast<char32_t>(c));
  }
  return paste;
}

KeyEvent FunctionKey(int code) {
  switch (code) {
    case KEY_RESIZE:
      return Event(Key::kResize);
    case KEY_BTAB:
      return Event(Key::kBackTab);
    case KEY_ENTER:
      return Event(Key::kEnter);
    case KEY_LEFT:
      return Event(Key::kLeft);
    case KEY_RIGHT:
      return Event(Key::kRight);
    case KEY_HOME:
      return Event(Key::kHome);
    case KEY_END:
      return Event(Key::kEnd);
    case KEY_BACKSPACE:
      return Event(Key::kBackspace);
    case KEY_DC:
      return Event(Key::kDelete);
    case kPasteStart:
      return ReadPaste();
    default:
      return Event(Key::kNone);
  }
}

KeyEvent CharacterKey(wint_t c) {
  switch (c) {
    case L'\t':
      return Event(Key::kTab);
    case L'\r':
    case L'\n':
      return Event(Key::kEnter);
    case 0x1B:
      return Event(Key::kEscape);
    case 0x08:
    case 0x7F:
      return Event(Key::kBackspace);
    case 0x11:  // Ctrl+Q: the close box
      return Event(Key::kClose);
    case 0x03:  // Ctrl+C, the interrupt key: raw keys bring it here instead of as a signal
      RequestClose();
      return Event(Key::kClose);
    default:
      if (c < 0x20) return Event(Key::kNone);
      return {Key::kText, EncodeUtf8(static_cast<char32_t>(c))};
  }
}

}  // namespace

void DefinePasteKeys() {
  define_key("\033[200~", kPasteStart);
  define_key("\033[201~", kPasteEnd);
}

KeyEvent ReadKey() {
  for (;;) {
    if (CloseRequested()) return Event(Key::kClose);
    wint_t c = 0;
    const int got = get_wch(&c);
    if (got == ERR) {
      if (TerminalHungUp()) RequestClose();
      continue;
    }
    const KeyEvent event = got == KEY_CODE_YES ? FunctionKey(static_cast<int>(c)) : CharacterKey(c);
    if (event.key != Key::kNone) return event;
  }
}
