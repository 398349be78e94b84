#include "host/Host.h"

#include <stdexcept>

namespace {
// Plain pointers: constant-initialised, so a registration made by another unit's static
// initialiser is never undone by this unit's initialisation order.
IHost *gHostPadrao = nullptr;
IHost *gHostAtual = nullptr;
} // namespace

IHost &Host() {
  if (gHostAtual) return *gHostAtual;
  if (gHostPadrao) return *gHostPadrao;
  throw std::logic_error("no host: SetHost() was not called and no default is registered");
}

void SetHost(IHost *host) {
  gHostAtual = host;
}

void RegistraHostPadrao(IHost *host) {
  gHostPadrao = host;
}
