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

std::wstring CaminhoLargo(const std::string &caminho) {
  if (caminho.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, caminho.data(), int(caminho.size()), nullptr, 0);
  std::wstring w(size_t(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, caminho.data(), int(caminho.size()), w.data(), n);
  return w;
}

std::string CaminhoEstreito(const wchar_t *caminho) {
  const int n = WideCharToMultiByte(CP_ACP, 0, caminho, -1, nullptr, 0, nullptr, nullptr);
  std::string s(size_t(n > 1 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(CP_ACP, 0, caminho, -1, s.data(), n, nullptr, nullptr);
  return s;
}

std::string CaminhoUtf8(const std::string &caminho) {
  const std::wstring w = CaminhoLargo(caminho);
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(size_t(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}
