// Operator input from the Windows keyboard (and mouse) of the module's windows: the window
// messages turned into the actions the form layer takes from an operator script, on the real
// clock. The windows' procedure hands their messages in through Key() and Click().
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

// The form layer first: the system's header defines some of its names (VK_*, MB_*) as macros.
#include "platform/forms/Forms.h"

#include <windows.h>

class TWin32Keyboard : public TInputSource {
public:
  TWin32Keyboard();

  // Pumps the thread's messages until an action comes or `deadline` (ms on Now(); -1 for ever)
  // passes, so that timers due before it still fire.
  bool Next(TOperatorAction &out, int64_t deadline) override;
  int64_t Now() const override;

  // Runs before each wait: the windows catch up with the forms, open message boxes are shown.
  std::function<void()> BeforeWait;

  // A keyboard message of one of the module's windows. True when it was taken.
  bool Key(UINT msg, WPARAM wParam);
  // A click on the named control of the active form.
  void Click(const std::string &control);
  // An action decided elsewhere (a message box the operator closed).
  void Push(const TOperatorAction &a) { fFila.push_back(a); }

  // The key-down message of a non-character key as an action; false for keys that arrive as
  // characters.
  static bool Decode(WPARAM vk, TShiftState shift, TOperatorAction &out);

private:
  std::deque<TOperatorAction> fFila;
  uint64_t fInicio;
};
