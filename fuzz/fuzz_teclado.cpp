// Arbitrary bytes from a terminal, fed in pieces cut where the input says, with the waits for
// the rest of a sequence running out in between: every key that comes out is one the forms
// know, a character is never a control character, and the parser always comes back to rest.
#include <cstdint>
#include <cstdlib>

#include "platform/terminal/TerminalKeyboard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  TTerminalInput in;
  TOperatorAction home;
  home.kind = TOperatorAction::Key;
  home.key = VK_HOME;
  in.Declare("\x1b[1~", home);
  size_t i = 0;
  while (i < size) {
    // The first byte of each piece says how long it is and whether the wait runs out after it.
    const size_t n = (data[i] & 0x3f) + 1;
    const bool wait = data[i] & 0x40;
    ++i;
    const size_t len = std::min(n, size - i);
    in.Feed(reinterpret_cast<const char *>(data + i), len);
    i += len;
    if (wait) in.Timeout();
  }
  in.Timeout();
  if (in.WaitMs() >= 0) std::abort();
  TTerminalInput::Key k;
  while (in.Pop(k)) {
    if (k.kind != TTerminalInput::Key::Action) continue;
    const TOperatorAction &a = k.action;
    if (a.kind == TOperatorAction::Char && (unsigned char)a.ch < 32) std::abort();
    if (a.kind == TOperatorAction::Key &&
        !(a.key == VK_BACK || a.key == VK_TAB || a.key == VK_RETURN || a.key == VK_ESCAPE ||
          (a.key >= VK_PRIOR && a.key <= VK_DOWN) || a.key == VK_DELETE || a.key == kVkInsert ||
          (a.key >= VK_F1 && a.key <= VK_F12)))
      std::abort();
    if (a.kind != TOperatorAction::Char && a.kind != TOperatorAction::Key) std::abort();
  }
  return 0;
}
