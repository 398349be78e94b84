#include "platform/terminal/TerminalKeyboard.h"

#define NCURSES_WIDECHAR 1
#include <ncursesw/curses.h>

#include <chrono>
#include <climits>
#include <poll.h>
#include <sys/ioctl.h>

#include "platform/Cp1252.h"

namespace {
constexpr unsigned kCtrlC = 3;
constexpr unsigned kCtrlL = 12;
// How long an Escape waits for the character it may prefix (Alt+character), in
// ms.
constexpr int kAltWindowMs = 0;

int64_t SteadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

TOperatorAction CharAction(char ch, TShiftState shift = 0) {
  TOperatorAction a;
  a.kind = TOperatorAction::Char;
  a.ch = ch;
  a.shift = shift;
  return a;
}

TOperatorAction KeyAction(Word key, TShiftState shift = 0) {
  TOperatorAction a;
  a.kind = TOperatorAction::Key;
  a.key = key;
  a.shift = shift;
  return a;
}

// True when the terminal's input has nothing more to give (closed pipe, hung-up
// terminal). Curses also reports a failed read when the bytes it took decode to
// no character; the bytes after them are still waiting then.
bool InputClosed(int fd) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, 0) <= 0) return false;
  int waiting = 0;
  if (ioctl(fd, FIONREAD, &waiting) == 0 && waiting > 0) return false;
  // Readable with nothing to read: end of file.
  return (p.revents & (POLLHUP | POLLERR | POLLNVAL | POLLIN)) != 0;
}
} // namespace

TTerminalKeyboard::TTerminalKeyboard(int fd) : fStart(SteadyMs()), fFd(fd) {}

int64_t TTerminalKeyboard::Now() const {
  return SteadyMs() - fStart;
}

bool TTerminalKeyboard::Decode(bool keyCode, unsigned v, bool alt, TOperatorAction &out) {
  if (keyCode) {
    switch (v) {
    case KEY_ENTER:
      out = KeyAction(VK_RETURN);
      return true;
    case KEY_BACKSPACE:
      out = KeyAction(VK_BACK);
      return true;
    case KEY_PPAGE:
      out = KeyAction(VK_PRIOR);
      return true;
    case KEY_NPAGE:
      out = KeyAction(VK_NEXT);
      return true;
    case KEY_BTAB:
      out = KeyAction(VK_TAB, ssShift);
      return true;
    case KEY_DC:
      out = KeyAction(VK_DELETE);
      return true;
    case KEY_UP:
      out = KeyAction(VK_UP);
      return true;
    case KEY_DOWN:
      out = KeyAction(VK_DOWN);
      return true;
    case KEY_LEFT:
      out = KeyAction(VK_LEFT);
      return true;
    case KEY_RIGHT:
      out = KeyAction(VK_RIGHT);
      return true;
    case KEY_HOME:
    case KEY_A1:
    case KEY_FIND:
      out = KeyAction(VK_HOME);
      return true;
    case KEY_END:
    case KEY_C1:
    case KEY_SELECT:
    case KEY_LL:
      out = KeyAction(VK_END);
      return true;
    default:
      if (v >= (unsigned)KEY_F(1) && v <= (unsigned)KEY_F(12)) {
        out = KeyAction(Word(VK_F1 + (v - KEY_F(1))));
        return true;
      }
      // Shift+F1 ... Shift+F12 arrive as F13 ... F24 on most terminals.
      if (v >= (unsigned)KEY_F(13) && v <= (unsigned)KEY_F(24)) {
        out = KeyAction(Word(VK_F1 + (v - KEY_F(13))), ssShift);
        return true;
      }
      return false;
    }
  }
  switch (v) {
  case '\r':
  case '\n':
    out = KeyAction(VK_RETURN);
    return true;
  case '\t':
    out = KeyAction(VK_TAB);
    return true;
  case 8:
  case 127:
    out = KeyAction(VK_BACK);
    return true;
  case 27:
    out = KeyAction(VK_ESCAPE);
    return true;
  default:
    break;
  }
  if (v < 32) return false; // other control characters mean nothing to the forms
  const int b = cp1252::FromCodePoint((char32_t)v);
  if (b < 0 || (b >= 0x7F && b < 0xA0 && cp1252::IsUndefined((unsigned char)b))) return false;
  out = CharAction((char)b, alt ? TShiftState(ssAlt) : TShiftState(0));
  return true;
}

bool TTerminalKeyboard::Next(TOperatorAction &out, int64_t deadline) {
  for (;;) {
    if (BeforeWait) BeforeWait();
    const int64_t now = Now();
    if (deadline >= 0 && now >= deadline) return false;
    const int64_t wait = deadline < 0 ? -1 : std::min<int64_t>(deadline - now, INT_MAX);
    wtimeout(stdscr, (int)wait);
    wint_t ch = 0;
    const int rc = wget_wch(stdscr, &ch);
    if (rc == ERR) {
      if (deadline >= 0 && Now() >= deadline) return false;
      if (InputClosed(fFd)) {
        if (OnClosed) OnClosed();
        throw EScriptFailure("the terminal's input is closed");
      }
      continue; // a signal woke us up
    }
    bool keyCode = rc == KEY_CODE_YES;
    unsigned v = (unsigned)ch;
    if (keyCode && v == KEY_RESIZE) {
      if (OnResize) OnResize();
      continue;
    }
    if (!keyCode && v == kCtrlC) {
      if (OnInterrupt) OnInterrupt();
      continue;
    }
    if (!keyCode && v == kCtrlL) {
      if (OnRedraw) OnRedraw();
      continue;
    }
    bool alt = false;
    if (!keyCode && v == 27) {
      // Alt+character arrives as Escape and the character at once; curses has
      // already waited for the rest of a function-key sequence, so whatever
      // follows now belongs to this key.
      wtimeout(stdscr, kAltWindowMs);
      wint_t next = 0;
      const int rc2 = wget_wch(stdscr, &next);
      if (rc2 == OK && next >= 32 && next != 127) {
        alt = true;
        v = (unsigned)next;
      } else if (rc2 == OK) {
        unget_wch(next); // Escape, then a key of its own
      } else if (rc2 == KEY_CODE_YES) {
        // A key code cannot be given back: the Escape before it is dropped.
        keyCode = true;
        v = (unsigned)next;
        if (v == KEY_RESIZE) {
          if (OnResize) OnResize();
          continue;
        }
      }
    }
    if (Decode(keyCode, v, alt, out)) return true;
  }
}
