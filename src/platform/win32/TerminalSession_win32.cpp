// The host program's terminal session on Windows. The module's screens are real windows there,
// which the module opens and feeds with the keyboard itself (JanelasSessao.cpp): a host that has
// no operator script leaves the operator to those windows and has nothing of its own to take
// over. The session and its keyboard exist so that the host program reads the same everywhere;
// the keyboard never delivers a key.
#include "platform/terminal/TerminalSession.h"

#include "platform/terminal/TerminalKeyboard.h"

struct TTerminalSession::Impl {
  TTerminalKeyboard teclado{0};
};

namespace {
TTerminalSession *gAtual = nullptr;
}

TTerminalKeyboard::TTerminalKeyboard(int fd) : fStart(0), fFd(fd) {}

bool TTerminalKeyboard::Next(TOperatorAction &, int64_t) {
  return false;
}

int64_t TTerminalKeyboard::Now() const {
  return fStart;
}

TTerminalSession::TTerminalSession() : fImpl(std::make_unique<Impl>()) {
  gAtual = this;
}

TTerminalSession::~TTerminalSession() {
  if (gAtual == this) gAtual = nullptr;
}

bool TTerminalSession::Available() {
  return true;
}

TTerminalSession *TTerminalSession::Current() {
  return gAtual;
}

void TTerminalSession::RestoreNow() {}

TTerminalKeyboard &TTerminalSession::Keyboard() {
  return fImpl->teclado;
}
