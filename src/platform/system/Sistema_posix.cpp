#include "platform/system/Sistema.h"

#include <cstdlib>
#include <unistd.h>

std::string CaminhoExecutavel() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

std::string CaminhoUtf8(const std::string &caminho) {
  return caminho;
}

void DefineVariavelAmbiente(const std::string &nome, const std::string &valor) {
  setenv(nome.c_str(), valor.c_str(), 1);
}
