#include "platform/terminal/TerminalKeyboard.h"

#define NCURSES_WIDECHAR 1
#include <ncursesw/curses.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/text/Cp1252.h"

namespace {
// How long a control string or a bracketed paste may pause before what came of it is given up,
// in ms: long enough for a terminal that writes a long answer in pieces.
constexpr int kStringWaitMs = 500;
// The longest wait in one poll, in ms: a change of the terminal's size is noticed at least this
// often even when its signal came just before the wait.
constexpr int kSliceMs = 250;
// Parameters larger than this are no key's (and cannot overflow).
constexpr int kMaxParam = 99999;

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

// The key of a "CSI n ~" sequence (VT220 numbering, with the rxvt and Linux console Home/End).
// The Linux console and rxvt send F13-F20 for Shift+F3 ... Shift+F10; 0 for no key.
Word TildeKey(int n, TShiftState &shift) {
  switch (n) {
  case 1:
  case 7:
    return VK_HOME;
  case 2:
    return kVkInsert;
  case 3:
    return VK_DELETE;
  case 4:
  case 8:
    return VK_END;
  case 5:
    return VK_PRIOR;
  case 6:
    return VK_NEXT;
  default:
    break;
  }
  static const int kF[] = {11, 12, 13, 14, 15, 17, 18, 19, 20, 21, 23, 24};
  for (int i = 0; i < 12; ++i)
    if (kF[i] == n) return Word(VK_F1 + i);
  static const int kShiftedF[] = {25, 26, 28, 29, 31, 32, 33, 34};
  for (int i = 0; i < 8; ++i)
    if (kShiftedF[i] == n) {
      shift |= ssShift;
      return Word(VK_F1 + 2 + i);
    }
  return 0;
}

// Xterm's modifier parameter (1 + Shift 1, Alt 2, Ctrl 4, Meta 8; Meta counts as Alt). False for
// a value no terminal sends.
bool Modifiers(int m, TShiftState &shift) {
  if (m <= 1) return true;
  if (m > 16) return false;
  const int bits = m - 1;
  if (bits & 1) shift |= ssShift;
  if (bits & (2 | 8)) shift |= ssAlt;
  if (bits & 4) shift |= ssCtrl;
  return true;
}
} // namespace

// ---------------------------------------------------------------------------------------------

void TTerminalInput::Declare(const std::string &bytes, const TOperatorAction &key) {
  if (bytes.size() >= 2 && bytes[0] == '\x1b') fDeclared.emplace(bytes, key);
}

void TTerminalInput::Feed(const char *bytes, size_t n) {
  for (size_t i = 0; i < n; ++i) Byte((unsigned char)bytes[i]);
}

bool TTerminalInput::Pop(Key &out) {
  if (fKeys.empty()) return false;
  out = std::move(fKeys.front());
  fKeys.pop_front();
  return true;
}

int TTerminalInput::WaitMs() const {
  switch (fState) {
  case Ground:
    return fPaste ? kStringWaitMs : -1;
  case Str:
  case StrEsc:
    return kStringWaitMs;
  default:
    return escapeWaitMs;
  }
}

void TTerminalInput::Reset() {
  fState = Ground;
  fAlt = false;
}

void TTerminalInput::Timeout() {
  if (fPaste) { // the paste's end marker never came
    fPaste = false;
    Reset();
    return;
  }
  const TShiftState alt = fAlt ? TShiftState(ssAlt) : 0;
  if (fState == Esc) {
    fKeys.push_back({Key::Action, KeyAction(VK_ESCAPE, alt)});
  } else if ((fState == Csi || fState == Ss3 || fState == Str) && fSeq.size() == 2 &&
             fSeq[0] == '\x1b') {
    // Escape and the introducer alone: Alt and that character, as typed.
    fKeys.push_back({Key::Action, CharAction(fIntro, ssAlt)});
  }
  Reset();
}

void TTerminalInput::Emit(const TOperatorAction &a) {
  TOperatorAction k = a;
  if (fAlt) k.shift |= ssAlt;
  fKeys.push_back({Key::Action, std::move(k)});
}

void TTerminalInput::EmitKey(Word key, int modifier) {
  TShiftState shift = 0;
  if (!key || !Modifiers(modifier, shift)) return;
  Emit(KeyAction(key, shift));
}

void TTerminalInput::Control(unsigned char c, TShiftState shift) {
  if (fPaste) return; // a pasted line break or tab confirms and moves nothing
  switch (c) {
  case 3:
    fKeys.push_back({Key::Interrupt, {}});
    return;
  case 12:
    fKeys.push_back({Key::Redraw, {}});
    return;
  case '\r':
  case '\n':
    fKeys.push_back({Key::Action, KeyAction(VK_RETURN, shift)});
    return;
  case '\t':
    fKeys.push_back({Key::Action, KeyAction(VK_TAB, shift)});
    return;
  case 8:
  case 127:
    fKeys.push_back({Key::Action, KeyAction(VK_BACK, shift)});
    return;
  case 27:
    fKeys.push_back({Key::Action, KeyAction(VK_ESCAPE, shift)});
    return;
  default:
    return; // other control characters mean nothing to the forms
  }
}

void TTerminalInput::Codepoint(char32_t cp) {
  // C1 controls sent as characters introduce the same sequences as Escape and a letter.
  if (cp >= 0x80 && cp <= 0x9F) {
    static const char kIntro[][2] = {{'\x9b', '['}, {'\x8f', 'O'}, {'\x90', 'P'}, {'\x9d', ']'},
                                     {'\x9e', '^'}, {'\x9f', '_'}, {'\x98', 'X'}};
    for (const auto &k : kIntro)
      if ((unsigned char)k[0] == cp) {
        Begin(k[1]);
        return;
      }
    Reset();
    return;
  }
  const int b = cp1252::FromCodePoint(cp);
  if (b >= 0) {
    const TShiftState alt = fAlt && !fPaste ? TShiftState(ssAlt) : 0;
    fKeys.push_back({Key::Action, CharAction((char)b, alt)});
  }
  Reset();
}

void TTerminalInput::Begin(char intro) {
  fIntro = intro;
  fSeq.assign(1, '\x1b');
  fSeq += intro;
  fCount = 0;
  for (int &p : fParams) p = 0;
  fSub = fInter = fBad = false;
  fPrivate = 0;
  fState = intro == '[' ? Csi : intro == 'O' ? Ss3 : Str;
}

void TTerminalInput::Param(unsigned char b) {
  if (fCount == 0) fCount = 1;
  if (b == ';') {
    fSub = false;
    if (fCount == kMaxParams)
      fBad = true;
    else
      ++fCount;
  } else if (b == ':') {
    fSub = true; // sub-parameters (kitty's event types, colour forms) change no key
  } else if (!fSub) {
    int &p = fParams[fCount - 1];
    p = p * 10 + (b - '0');
    if (p > kMaxParam) {
      p = kMaxParam;
      fBad = true;
    }
  }
}

void TTerminalInput::Byte(unsigned char b) {
  if (fState != Ground && fState != Utf8 && fState != Str && fState != StrEsc && fSeq.size() < 64)
    fSeq += char(b);
  switch (fState) {
  case Ground:
    if (b == 0x1b) {
      fState = Esc;
      fAlt = false;
      fSeq.assign(1, '\x1b');
    } else if (b < 0x20 || b == 0x7f) {
      Control(b, 0);
    } else if (b < 0x80) {
      Codepoint(b);
    } else if (b >= 0xC2 && b <= 0xF4) {
      fUtf8Left = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
      fCp = b & (b >= 0xF0 ? 0x07 : b >= 0xE0 ? 0x0F : 0x1F);
      fUtf8Min = b >= 0xF0 ? 0x10000 : b >= 0xE0 ? 0x800 : 0x80;
      fState = Utf8;
    } else {
      Reset(); // a stray continuation byte or one no character starts with
    }
    return;
  case Utf8:
    if ((b & 0xC0) != 0x80) { // a broken character: dropped, the byte starts anew
      Reset();
      Byte(b);
      return;
    }
    fCp = (fCp << 6) | (b & 0x3F);
    if (--fUtf8Left > 0) return;
    fState = Ground;
    if (fCp >= fUtf8Min && fCp <= 0x10FFFF && !(fCp >= 0xD800 && fCp <= 0xDFFF))
      Codepoint(fCp); // overlong forms and surrogates are no characters
    else
      Reset();
    return;
  case Esc:
    if (b == 0x1b) {
      if (fAlt) fKeys.push_back({Key::Action, KeyAction(VK_ESCAPE, ssAlt)});
      fAlt = !fAlt;
      fSeq.assign(1, '\x1b');
    } else if (b == '[' || b == 'O' || b == ']' || b == 'P' || b == '_' || b == '^' || b == 'X') {
      Begin((char)b);
    } else if (b < 0x20 || b == 0x7f) {
      Reset();
      Control(b, ssAlt);
    } else {
      // Alt and a character: the character, Alt kept for it.
      fState = Ground;
      fAlt = true;
      if (b < 0x80)
        Codepoint(b);
      else
        Byte(b);
    }
    return;
  case Csi:
    if (b >= '0' && b <= ';') {
      if (fInter) fBad = true;
      Param(b);
    } else if (b >= '<' && b <= '?') {
      if (fCount || fPrivate) fBad = true;
      fPrivate = (char)b;
      // rxvt's Shift suffix ends the sequence like a final byte but has the form of an
      // intermediate, so it is taken before them.
      // NOLINTNEXTLINE(bugprone-branch-clone)
    } else if (b == '$' && fCount == 1 && !fPrivate && !fInter && !fBad) {
      EndCsi(b);
    } else if (b >= 0x20 && b <= 0x2F) {
      fInter = true;
    } else if (b == '[' && fSeq.size() == 3) {
      fState = LinuxFn;
    } else if (b >= 0x40 && b <= 0x7E) {
      EndCsi(b);
    } else {
      Reset(); // the sequence is broken off: dropped, the byte starts anew
      Byte(b);
    }
    return;
  case Ss3:
    if ((b >= '0' && b <= '9') || b == ';') {
      Param(b);
    } else if (b >= 0x40 && b <= 0x7E) {
      EndSs3(b);
    } else {
      Reset();
      Byte(b);
    }
    return;
  case Str:
    if (fSeq.size() < 3) fSeq += char(b);
    if (b == 0x07 || b == 0x18 || b == 0x1a)
      Reset();
    else if (b == 0x1b)
      fState = StrEsc;
    return;
  case StrEsc:
    if (b == '\\') {
      Reset();
    } else { // an Escape that ends the string and starts something else
      fState = Esc;
      fAlt = false;
      fSeq.assign(1, '\x1b');
      Byte(b);
    }
    return;
  case LinuxFn: {
    fState = Ground;
    if (!fPaste) {
      const auto d = fDeclared.find(fSeq);
      if (d != fDeclared.end())
        Emit(d->second);
      else if (b >= 'A' && b <= 'E')
        EmitKey(Word(VK_F1 + (b - 'A')), 0);
    }
    fAlt = false;
    return;
  }
  case Mouse:
    if (--fMouseLeft == 0) Reset();
    return;
  }
}

void TTerminalInput::EndCsi(unsigned char final) {
  fState = Ground;
  struct Done {
    TTerminalInput *in;
    ~Done() {
      if (in->fState == Ground) in->fAlt = false;
    }
  } done{this};
  const int p0 = fCount > 0 ? fParams[0] : 0;
  const int p1 = fCount > 1 ? fParams[1] : 0;
  if (fBad || fPrivate || fInter) return; // mouse reports, the terminal's answers
  if (final == 'M' && fCount == 0) {      // an X10 mouse report: three bytes follow
    fState = Mouse;
    fMouseLeft = 3;
    return;
  }
  if (fPaste) {
    if (final == '~' && p0 == 201) fPaste = false;
    return;
  }
  if (const auto d = fDeclared.find(fSeq); d != fDeclared.end()) {
    Emit(d->second);
    return;
  }
  TShiftState shift = 0;
  switch (final) {
  case '~':
    if (p0 == 200 && fCount == 1) {
      fPaste = true;
      return;
    }
    if (p0 == 27 && fCount == 3) { // xterm's modifyOtherKeys: 27 ; modifier ; character
      Other(fParams[2], p1);
      return;
    }
    if (fCount <= 2) {
      const Word key = TildeKey(p0, shift);
      if (key && Modifiers(p1, shift)) Emit(KeyAction(key, shift));
    }
    return;
  case '$': // rxvt: Shift, Ctrl, Ctrl+Shift after the number
  case '^':
  case '@':
    if (fCount == 1) {
      const Word key = TildeKey(p0, shift);
      if (final != '^') shift |= ssShift;
      if (final != '$') shift |= ssCtrl;
      if (key) Emit(KeyAction(key, shift));
    }
    return;
  case 'u': // the "CSI character ; modifier u" keyboard protocol
    if (fCount <= 2) Other(p0, p1);
    return;
  case 'a': // rxvt's Shift+arrows
  case 'b':
  case 'c':
  case 'd':
    if (fCount == 0) {
      static const Word kArrow[] = {VK_UP, VK_DOWN, VK_RIGHT, VK_LEFT};
      Emit(KeyAction(kArrow[final - 'a'], ssShift));
    }
    return;
  default:
    break;
  }
  // "CSI 1 ; modifier letter" (and the letter alone). Row 1 of a cursor-position report looks
  // like F3 with a modifier; only a modifier that a key can have makes it F3.
  if (fCount > 2 || p0 > 1) return;
  Word key = 0;
  switch (final) {
  case 'A':
    key = VK_UP;
    break;
  case 'B':
    key = VK_DOWN;
    break;
  case 'C':
    key = VK_RIGHT;
    break;
  case 'D':
    key = VK_LEFT;
    break;
  case 'H':
    key = VK_HOME;
    break;
  case 'F':
    key = VK_END;
    break;
  case 'P':
  case 'Q':
  case 'S':
    key = Word(VK_F1 + (final == 'S' ? 3 : final - 'P'));
    break;
  case 'R':
    if (fCount == 2 && p1 >= 2) key = Word(VK_F1 + 2);
    break;
  case 'Z':
    key = VK_TAB;
    shift |= ssShift;
    break;
  default:
    return;
  }
  if (key && Modifiers(p1, shift)) Emit(KeyAction(key, shift));
}

void TTerminalInput::Other(int code, int modifier) {
  TShiftState shift = 0;
  if (!Modifiers(modifier, shift)) return;
  const TShiftState alt = shift & ssAlt;
  switch (code) {
  case 13:
  case 9:
  case 27:
  case 8:
  case 127: {
    const Word key = code == 13 ? VK_RETURN : code == 9 ? VK_TAB : code == 27 ? VK_ESCAPE : VK_BACK;
    Emit(KeyAction(key, shift));
    return;
  }
  default:
    break;
  }
  if (code < 32 || code > 0x10FFFF) return;
  if (shift & ssCtrl) {
    // Ctrl and a letter is the control character (Ctrl+C interrupts, Ctrl+L redraws).
    if ((code >= '@' && code <= '_') || (code >= 'a' && code <= 'z')) Control(code & 0x1F, alt);
    return;
  }
  const int b = cp1252::FromCodePoint((char32_t)code);
  if (b >= 0 && !(b >= 0x80 && b < 0xA0 && cp1252::IsUndefined((unsigned char)b)))
    Emit(CharAction((char)b, alt)); // Shift is in the character already
}

void TTerminalInput::EndSs3(unsigned char final) {
  fState = Ground;
  struct Done {
    TTerminalInput *in;
    ~Done() { in->fAlt = false; }
  } done{this};
  if (fPaste || fBad) return;
  if (const auto d = fDeclared.find(fSeq); d != fDeclared.end()) {
    Emit(d->second);
    return;
  }
  // Old xterms put the modifier in SS3 itself ("ESC O 2 P").
  const int mod = fCount > 0 ? fParams[fCount - 1] : 0;
  switch (final) {
  case 'A':
    return EmitKey(VK_UP, mod);
  case 'B':
    return EmitKey(VK_DOWN, mod);
  case 'C':
    return EmitKey(VK_RIGHT, mod);
  case 'D':
    return EmitKey(VK_LEFT, mod);
  case 'H':
    return EmitKey(VK_HOME, mod);
  case 'F':
    return EmitKey(VK_END, mod);
  case 'P':
  case 'Q':
  case 'R':
  case 'S':
    return EmitKey(Word(VK_F1 + (final - 'P')), mod);
  case 'M':
    return EmitKey(VK_RETURN, mod); // the keypad's Enter
  case 'a':                         // rxvt's Ctrl+arrows
  case 'b':
  case 'c':
  case 'd': {
    static const Word kArrow[] = {VK_UP, VK_DOWN, VK_RIGHT, VK_LEFT};
    return Emit(KeyAction(kArrow[final - 'a'], ssCtrl));
  }
  default:
    break;
  }
  // The numeric keypad in application mode types its characters.
  static const char kKeypad[] = "*+,-./0123456789"; // 'j' ... 'y'
  if (final >= 'j' && final <= 'y')
    Emit(CharAction(kKeypad[final - 'j']));
  else if (final == 'X')
    Emit(CharAction('='));
}

// ---------------------------------------------------------------------------------------------

TTerminalKeyboard::TTerminalKeyboard(int fd) : fStart(SteadyMs()), fFd(fd) {
  fInput.escapeWaitMs = std::max(1, get_escdelay());
  // What the terminal's description declares for the keys the forms know.
  const struct {
    const char *cap;
    Word key;
    TShiftState shift;
  } kCaps[] = {{"khome", VK_HOME, 0},       {"kend", VK_END, 0},        {"kich1", kVkInsert, 0},
               {"kdch1", VK_DELETE, 0},     {"kpp", VK_PRIOR, 0},       {"knp", VK_NEXT, 0},
               {"kcuu1", VK_UP, 0},         {"kcud1", VK_DOWN, 0},      {"kcub1", VK_LEFT, 0},
               {"kcuf1", VK_RIGHT, 0},      {"kcbt", VK_TAB, ssShift},  {"kent", VK_RETURN, 0},
               {"kHOM", VK_HOME, ssShift},  {"kEND", VK_END, ssShift},  {"kDC", VK_DELETE, ssShift},
               {"kIC", kVkInsert, ssShift}, {"kLFT", VK_LEFT, ssShift}, {"kRIT", VK_RIGHT, ssShift},
               {"kPRV", VK_PRIOR, ssShift}, {"kNXT", VK_NEXT, ssShift}};
  auto declare = [&](const char *cap, Word key, TShiftState shift) {
    const char *s = tigetstr(cap);
    if (s && s != (char *)-1) fInput.Declare(s, KeyAction(key, shift));
  };
  for (const auto &c : kCaps) declare(c.cap, c.key, c.shift);
  for (int i = 1; i <= 12; ++i) declare(("kf" + std::to_string(i)).c_str(), Word(VK_F1 + i - 1), 0);
  SizeChanged();
}

int64_t TTerminalKeyboard::Now() const {
  return SteadyMs() - fStart;
}

bool TTerminalKeyboard::SizeChanged() {
  winsize ws{};
  if (ioctl(fFd, TIOCGWINSZ, &ws) != 0 || ws.ws_row == 0 || ws.ws_col == 0) return false;
  if (ws.ws_row == fRows && ws.ws_col == fCols) return false;
  const bool first = fRows == 0;
  fRows = ws.ws_row;
  fCols = ws.ws_col;
  if (first) return false;
  if (LINES != fRows || COLS != fCols) resizeterm(fRows, fCols);
  return true;
}

bool TTerminalKeyboard::Next(TOperatorAction &out, int64_t deadline) {
  bool closed = false;
  int64_t lastByte = Now();
  for (;;) {
    if (BeforeWait) BeforeWait();
    TTerminalInput::Key k;
    while (fInput.Pop(k)) {
      if (k.kind == TTerminalInput::Key::Interrupt) {
        if (OnInterrupt) OnInterrupt();
      } else if (k.kind == TTerminalInput::Key::Redraw) {
        if (OnRedraw) OnRedraw();
      } else {
        out = std::move(k.action);
        return true;
      }
    }
    if (closed) {
      if (OnClosed) OnClosed();
      throw EScriptFailure("the terminal's input is closed");
    }
    if (SizeChanged()) {
      if (OnResize) OnResize();
      continue;
    }
    for (;;) {
      const int64_t now = Now();
      if (deadline >= 0 && now >= deadline) return false;
      int64_t wait = deadline < 0 ? kSliceMs : std::min<int64_t>(deadline - now, kSliceMs);
      const int seq = fInput.WaitMs();
      if (seq >= 0) wait = std::max<int64_t>(0, std::min<int64_t>(wait, lastByte + seq - now));
      pollfd p{fFd, POLLIN, 0};
      const int rc = poll(&p, 1, (int)wait);
      if (rc == 0) {
        if (seq >= 0 && Now() >= lastByte + seq) {
          fInput.Timeout();
          break;
        }
        if (SizeChanged()) {
          if (OnResize) OnResize();
          break;
        }
        continue;
      }
      if (rc < 0) {
        if (errno == EINTR) break; // a signal, perhaps the terminal's new size
        closed = true;
        fInput.Timeout();
        break;
      }
      char buf[4096];
      const ssize_t n = read(fFd, buf, sizeof buf);
      if (n > 0) {
        lastByte = Now();
        fInput.Feed(buf, (size_t)n);
      } else if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
        continue;
      } else { // end of file, or a terminal hung up
        closed = true;
        fInput.Timeout();
      }
      break;
    }
  }
}
