#include "platform/win32/Win32Keyboard.h"

#include <algorithm>

namespace {

TShiftState ShiftAgora() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) & 0x8000) s |= ssShift;
  if (GetKeyState(VK_CONTROL) & 0x8000) s |= ssCtrl;
  if (GetKeyState(VK_MENU) & 0x8000) s |= ssAlt;
  return s;
}

} // namespace

TWin32Keyboard::TWin32Keyboard() : fInicio(GetTickCount64()) {}

int64_t TWin32Keyboard::Now() const {
  return static_cast<int64_t>(GetTickCount64() - fInicio);
}

bool TWin32Keyboard::Decode(WPARAM vk, TShiftState shift, TOperatorAction &out) {
  switch (vk) {
  // Enter, Backspace, Escape, Space and Tab go the key-down way; the form layer turns them into
  // characters itself, so their WM_CHAR is dropped (Key()).
  case VK_RETURN:
  case VK_BACK:
  case VK_ESCAPE:
  case VK_SPACE:
  case VK_TAB:
  case VK_PRIOR:
  case VK_NEXT:
  case VK_END:
  case VK_HOME:
  case VK_LEFT:
  case VK_UP:
  case VK_RIGHT:
  case VK_DOWN:
  case VK_DELETE:
    break;
  default:
    if (vk >= VK_F1 && vk <= VK_F12) break;
    return false;
  }
  out = TOperatorAction{};
  out.kind = TOperatorAction::Key;
  out.key = static_cast<Word>(vk);
  out.shift = shift & (ssShift | ssCtrl);
  return true;
}

bool TWin32Keyboard::Key(UINT msg, WPARAM wParam) {
  TOperatorAction a;
  switch (msg) {
  case WM_KEYDOWN:
    if (!Decode(wParam, ShiftAgora(), a)) return false;
    fFila.push_back(a);
    return true;
  case WM_CHAR: {
    const auto c = static_cast<unsigned char>(wParam);
    if (c < 0x20 || c == 0x20) return true; // these keys came as key-downs
    a.kind = TOperatorAction::Char;
    a.ch = static_cast<char>(c);
    fFila.push_back(a);
    return true;
  }
  case WM_SYSCHAR: // Alt+character: a button's accelerator
    a.kind = TOperatorAction::Char;
    a.ch = static_cast<char>(wParam);
    a.shift = ssAlt;
    fFila.push_back(a);
    return true;
  case WM_SYSKEYDOWN:
    // Alt+F4 and the system menu would close a screen behind the form layer's back.
    return wParam != VK_F4 ? false : true;
  default:
    return false;
  }
}

void TWin32Keyboard::Click(const std::string &control) {
  TOperatorAction a;
  a.kind = TOperatorAction::Click;
  a.control = control;
  fFila.push_back(a);
}

bool TWin32Keyboard::Next(TOperatorAction &out, int64_t deadline) {
  for (;;) {
    if (BeforeWait) BeforeWait();
    if (!fFila.empty()) {
      out = fFila.front();
      fFila.pop_front();
      return true;
    }
    const int64_t agora = Now();
    if (deadline >= 0 && agora >= deadline) return false;
    const DWORD espera =
        deadline < 0 ? INFINITE : static_cast<DWORD>(std::min<int64_t>(deadline - agora, 60000));
    MsgWaitForMultipleObjects(0, nullptr, FALSE, espera, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // The point of sale is closing: no operator will answer these screens any more.
        PostQuitMessage(static_cast<int>(msg.wParam));
        throw EScriptFailure("the program is closing while a screen waits for the operator");
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}
