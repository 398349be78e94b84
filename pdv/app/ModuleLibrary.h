// The module library as the host program sees it: loaded by path, its eight exports resolved
// by name, with the signatures of the exported C contract (cheque/modulo.h).
#pragma once

#include <cstdint>
#include <string>

#include <cheque/modulo.h>

class TModuleLibrary {
public:
  using TInitialize = decltype(&::Initialize);
  using TFinalize = decltype(&::Finalize);
  using TObtemVersao = decltype(&::ObtemVersao);
  using TExecuta = decltype(&::ExecutaConsultaCheque);

  TModuleLibrary() = default;
  ~TModuleLibrary();
  TModuleLibrary(const TModuleLibrary &) = delete;
  TModuleLibrary &operator=(const TModuleLibrary &) = delete;

  // The module's file name on this system (libcheque.so, cheque.dll).
  static const char *DefaultFileName();

  // Loads the file with every export resolved; false with a one-line reason.
  bool Load(const std::string &path, std::string &error);
  void Unload();
  // Forgets the library without closing it: it stays mapped until the process ends.
  void Keep() { fHandle = nullptr; }
  bool Loaded() const { return fHandle != nullptr; }

  TInitialize Initialize = nullptr;
  TFinalize Finalize = nullptr;
  TObtemVersao ObtemVersao = nullptr;
  TExecuta ExecutaVenda = nullptr;
  TExecuta ExecutaPreAutorizacao = nullptr;
  TExecuta ExecutaFuncaoADM = nullptr;
  TExecuta ExecutaConsultaCheque = nullptr;
  TExecuta ExecutaGenerico = nullptr;

private:
  // One system's side (ModuleLibrary_posix.cpp, ModuleLibrary_win32.cpp): open the file
  // (nullptr and the system's reason when it cannot), find an export, close.
  static void *OpenFile(const std::string &path, std::string &why);
  static void *FindSymbol(void *handle, const char *name);
  static void CloseFile(void *handle);

  void *fHandle = nullptr;
};
