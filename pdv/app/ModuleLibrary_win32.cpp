// The module library on Windows: LoadLibrary and the eight exports by their plain names.
#include "ModuleLibrary.h"

#include <windows.h>

const char *TModuleLibrary::DefaultFileName() {
  return "cheque.dll";
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

void *TModuleLibrary::OpenFile(const std::string &path, std::string &why) {
  // A bare name would make the loader search the system's directories as well.
  const std::string file = path.find_first_of("/\\") == std::string::npos ? ".\\" + path : path;
  HMODULE h = LoadLibraryExA(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!h) why = SystemMessage(GetLastError());
  return h;
}

void *TModuleLibrary::FindSymbol(void *handle, const char *name) {
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void TModuleLibrary::CloseFile(void *handle) {
  FreeLibrary(static_cast<HMODULE>(handle));
}
