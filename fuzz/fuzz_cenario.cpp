// Arbitrary bytes as a scenario file (the authoriser, PIN pad and BIN lookup of the reference
// host). `@arquivo:` paths point into a directory that does not exist, so nothing outside is
// read. An accepted scenario is then played: every authorisation it names and the PIN-pad and
// lookup answers.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "PdvHost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string texto(reinterpret_cast<const char *>(data), size);
  try {
    const pdv::TCenario c = pdv::TCenario::LeTexto(texto, "/nonexistent-fuzz-dir/cenario.ini");
    for (int n = 1; n <= 4; ++n) {
      for (const pdv::TOperacao &op : c.OperacoesAutorizacao(n))
        if (op.campo < 0 || op.indice < 0) std::abort();
      (void)c.Servico5(n);
    }
  } catch (const pdv::TErroArquivo &) {
  }
  return 0;
}
