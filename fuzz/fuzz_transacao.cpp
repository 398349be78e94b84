// Arbitrary bytes as a transaction file and as a --set argument. A file that is accepted must
// come back the same after being written and read again: the point of sale reads what the host
// saved, so a value the format cannot carry would be lost silently.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "PdvHost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string texto(reinterpret_cast<const char *>(data), size);
  try {
    const pdv::TStore store = pdv::LeTextoTransacao(texto, "fuzz.txt");
    const std::string salvo = pdv::FormataArquivoTransacao(store);
    if (pdv::LeTextoTransacao(salvo, "salvo.txt") != store) std::abort();
  } catch (const pdv::TErroArquivo &) {
  }
  try {
    const auto atribuicao = pdv::LeAtribuicao(texto);
    std::string volta;
    if (!pdv::DesescapaValor(pdv::EscapaValor(atribuicao.second), volta) ||
        volta != atribuicao.second)
      std::abort();
  } catch (const pdv::TErroArquivo &) {
  }
  return 0;
}
