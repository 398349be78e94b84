// The module's own file name: the DLL that holds this code, under the name the point of sale
// loaded it by.
#include "module/ChequeMain.h"

#include <windows.h>

std::string NomeArquivoModulo() {
  HMODULE modulo = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&NomeArquivoModulo), &modulo))
    return std::string();
  char buf[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameA(modulo, buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}
