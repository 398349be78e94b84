// The module's own file name, as the dynamic loader mapped it.
#include <dlfcn.h>

#include "module/ChequeMain.h"

std::string NomeArquivoModulo() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void *>(&NomeArquivoModulo), &info) && info.dli_fname)
    return info.dli_fname;
  return std::string();
}
