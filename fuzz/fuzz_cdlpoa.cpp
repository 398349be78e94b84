// Arbitrary bytes as a CDL POA structured block and as a free-text record: the
// register walk must stay inside the block and store only whole registers of
// the known lengths.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/FakeHost.h"
#include "module/TrataRetorno.h"
#include "platform/Forms.h"
#include "platform/StrUtils.h"

namespace {
// The type code as the walk reads it: at most three characters, ended early by
// a zero byte.
int Tipo(const char *p) {
  return StrToIntDef(std::string(p, 3).c_str(), 0);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const char *bloco = reinterpret_cast<const char *>(data);
  size_t fim = 0;
  for (const TRegistroCDLPoa &r : PercorreRegistrosCDLPoa(bloco, size)) {
    if (r.inicio < fim || r.inicio > size || r.tamanho > size - r.inicio ||
        TamanhoRegistroCDLPoa(Tipo(bloco + r.inicio)) != r.tamanho)
      std::abort();
    fim = r.inicio + r.tamanho;
  }

  TFakeHost host;
  host.Instala();
  TrataRetornoRegistrosCDLPOA(bloco, static_cast<int>(size));
  for (const auto &[chave, valor] : host.Store())
    if (chave.first == 1189 && TamanhoRegistroCDLPoa(Tipo(valor.data())) != valor.size())
      std::abort();

  TMemo memo(nullptr);
  TrataRetornoTexto(bloco, static_cast<int>(size), &memo);
  return 0;
}
