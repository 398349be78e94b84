// The module library on Windows: LoadLibrary and the eight exports by their plain names.
#include "ModuleLibrary.h"

#include <windows.h>

#include <type_traits>

const char *TModuleLibrary::DefaultFileName() {
  return "cheque.dll";
}

TModuleLibrary::~TModuleLibrary() {
  Unload();
}

void TModuleLibrary::Unload() {
  if (fHandle) FreeLibrary(static_cast<HMODULE>(fHandle));
  fHandle = nullptr;
  Initialize = nullptr;
  Finalize = nullptr;
  ObtemVersao = nullptr;
  ExecutaVenda = ExecutaPreAutorizacao = ExecutaFuncaoADM = nullptr;
  ExecutaConsultaCheque = ExecutaGenerico = nullptr;
}

namespace {

std::string SystemMessage(DWORD code) {
  char buf[512] = {};
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, buf, sizeof buf, nullptr);
  std::string s(buf, n);
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return s.empty() ? "error " + std::to_string(code) : s;
}

} // namespace

bool TModuleLibrary::Load(const std::string &path, std::string &error) {
  Unload();
  // A bare name would make the loader search the system's directories as well.
  const std::string file = path.find_first_of("/\\") == std::string::npos ? ".\\" + path : path;
  HMODULE h = LoadLibraryExA(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!h) {
    error = "cannot load the module " + path + ": " + SystemMessage(GetLastError());
    return false;
  }
  bool ok = true;
  auto resolve = [&](const char *name, auto &slot) {
    if (!ok) return;
    FARPROC sym = GetProcAddress(h, name);
    if (!sym) {
      error = "the module " + path + " does not export " + name;
      ok = false;
      return;
    }
    slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(reinterpret_cast<void *>(sym));
  };
  resolve("Initialize", Initialize);
  resolve("Finalize", Finalize);
  resolve("ObtemVersao", ObtemVersao);
  resolve("ExecutaVenda", ExecutaVenda);
  resolve("ExecutaPreAutorizacao", ExecutaPreAutorizacao);
  resolve("ExecutaFuncaoADM", ExecutaFuncaoADM);
  resolve("ExecutaConsultaCheque", ExecutaConsultaCheque);
  resolve("ExecutaGenerico", ExecutaGenerico);
  fHandle = h;
  if (!ok) {
    Unload();
    return false;
  }
  return true;
}
