#include "platform/system/Sistema.h"

#include <windows.h>

#include <cstdlib>

std::string CaminhoExecutavel() {
  char buf[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) return std::string();
  std::string caminho(buf, n);
  // The callers cut paths at '/', which Windows accepts as well.
  for (char &c : caminho)
    if (c == '\\') c = '/';
  return caminho;
}

void DefineVariavelAmbiente(const std::string &nome, const std::string &valor) {
  // Through the C runtime, whose copy of the environment every library of the process reads
  // with getenv; the system's copy too, for what the process starts.
  _putenv_s(nome.c_str(), valor.c_str());
  SetEnvironmentVariableA(nome.c_str(), valor.c_str());
}
