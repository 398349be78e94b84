// The module library as the host program sees it; the system's loader is behind OpenFile,
// FindSymbol and CloseFile.
#include "ModuleLibrary.h"

#include <type_traits>

TModuleLibrary::~TModuleLibrary() {
  Unload();
}

void TModuleLibrary::Unload() {
  if (fHandle) CloseFile(fHandle);
  fHandle = nullptr;
  Initialize = nullptr;
  Finalize = nullptr;
  ObtemVersao = nullptr;
  ExecutaVenda = ExecutaPreAutorizacao = ExecutaFuncaoADM = nullptr;
  ExecutaConsultaCheque = ExecutaGenerico = nullptr;
}

bool TModuleLibrary::Load(const std::string &path, std::string &error) {
  Unload();
  std::string why;
  void *h = OpenFile(path, why);
  if (!h) {
    error = "cannot load the module " + path + ": " + why;
    return false;
  }
  fHandle = h;
  bool ok = true;
  auto resolve = [&](const char *name, auto &slot) {
    if (!ok) return;
    void *sym = FindSymbol(h, name);
    if (!sym) {
      error = "the module " + path + " does not export " + name;
      ok = false;
      return;
    }
    slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(sym);
  };
  resolve("Initialize", Initialize);
  resolve("Finalize", Finalize);
  resolve("ObtemVersao", ObtemVersao);
  resolve("ExecutaVenda", ExecutaVenda);
  resolve("ExecutaPreAutorizacao", ExecutaPreAutorizacao);
  resolve("ExecutaFuncaoADM", ExecutaFuncaoADM);
  resolve("ExecutaConsultaCheque", ExecutaConsultaCheque);
  resolve("ExecutaGenerico", ExecutaGenerico);
  if (!ok) Unload();
  return ok;
}
