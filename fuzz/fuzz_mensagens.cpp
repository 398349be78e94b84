// Arbitrary bytes as an operator messages file: refused whole or loaded, never a crash, and
// every message the module may ask for still reads as a text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "PdvHost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  pdv::TPdvHost &host = pdv::TPdvHost::Instancia();
  host.Reinicia();
  try {
    host.CarregaMensagensTexto(std::string(reinterpret_cast<const char *>(data), size),
                               "mensagens.txt");
  } catch (const pdv::TErroArquivo &) {
  }
  for (int32_t id : {0, 8, 456, 802, 1187, 999999})
    if (host.Mensagem(id).empty()) std::abort();
  return 0;
}
