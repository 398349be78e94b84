#include "ModuleLibrary.h"

#include <dlfcn.h>
#include <type_traits>

const char *TModuleLibrary::DefaultFileName() {
  return "libcheque.so";
}

TModuleLibrary::~TModuleLibrary() {
  Unload();
}

void TModuleLibrary::Unload() {
  if (fHandle) dlclose(fHandle);
  fHandle = nullptr;
  Initialize = nullptr;
  Finalize = nullptr;
  ObtemVersao = nullptr;
  ExecutaVenda = ExecutaPreAutorizacao = ExecutaFuncaoADM = nullptr;
  ExecutaConsultaCheque = ExecutaGenerico = nullptr;
}

bool TModuleLibrary::Load(const std::string &path, std::string &error) {
  Unload();
  // A name without '/' would make the loader search the library path instead of the file.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  void *h = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    const char *why = dlerror();
    error = "cannot load the module " + path + ": " + (why ? why : "unknown reason");
    return false;
  }
  bool ok = true;
  auto resolve = [&](const char *name, auto &slot) {
    if (!ok) return;
    dlerror();
    void *sym = dlsym(h, name);
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
  fHandle = h;
  if (!ok) {
    Unload();
    return false;
  }
  return true;
}
