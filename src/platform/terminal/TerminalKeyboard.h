// Operator input from a character terminal: the keys a person presses, turned
// into the actions the form layer takes from its operator script, on the real
// clock.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/Forms.h"

class TTerminalKeyboard : public TInputSource {
public:
  // `fd`: the descriptor curses reads the keys from.
  explicit TTerminalKeyboard(int fd);

  // Waits for a key until `deadline` (ms on Now(); -1 waits for ever), so that
  // timers due before it still fire. Bytes that decode to no key (a broken
  // UTF-8 character, an unknown sequence) are dropped. When the terminal's input
  // is closed for good, OnClosed runs; without it, or when it returns,
  // EScriptFailure is raised.
  bool Next(TOperatorAction &out, int64_t deadline) override;
  // Milliseconds of a monotonic clock.
  int64_t Now() const override;

  // Runs while waiting: the terminal changed size, or the operator asked for a
  // redraw (Ctrl+L).
  std::function<void()> OnResize;
  std::function<void()> OnRedraw;
  // Ctrl+C (a byte of its own: the terminal is in raw mode, so that the key
  // works even where the interrupt signal is ignored). Without it the key is
  // ignored.
  std::function<void()> OnInterrupt;
  // The terminal is gone (see Next).
  std::function<void()> OnClosed;
  // Runs before each wait, so that the screen shows the latest state while the
  // operator looks.
  std::function<void()> BeforeWait;

  // What curses returned for one key (`keyCode`: a KEY_* code rather than a
  // character; `alt`: it came right after an Escape) as an operator action.
  // False for keys that mean nothing to the forms. Characters are Unicode code
  // points and become Windows-1252.
  static bool Decode(bool keyCode, unsigned value, bool alt, TOperatorAction &out);

private:
  int64_t fStart;
  int fFd;
};
