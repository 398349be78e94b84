// Arbitrary bytes as a CDL POA structured block and as a free-text record: the
// register walk must read only the block, store registers at the lengths of
// their types, and count them as the point of sale expects.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/FakeHost.h"
#include "module/TrataRetorno.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/text/StrUtils.h"

namespace {
// The type code as the walk reads it: at most three characters, ended early by
// a zero byte.
int Tipo(const std::string &registro) {
  return StrToIntDef(registro.substr(0, 3).c_str(), 0);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  // A copy of exactly `size` bytes, so that a read past the block is caught.
  const std::string copia(reinterpret_cast<const char *>(data), size);
  const char *bloco = copia.data();
  const TBlocoCDLPoa achado = PercorreRegistrosCDLPoa(bloco, size);
  size_t fim = 0;
  for (const TRegistroCDLPoa &r : achado.registros) {
    const std::string registro = CopiaRegistroCDLPoa(bloco, size, r);
    if (r.inicio < fim + 3 || r.inicio >= size || registro.size() != r.tamanho ||
        TamanhoRegistroCDLPoa(Tipo(registro)) != r.tamanho)
      std::abort();
    fim = r.inicio + r.tamanho;
  }
  const int n = static_cast<int>(achado.registros.size());
  if (achado.quantidade != 0 && achado.quantidade != n + 1 && achado.quantidade != n) std::abort();

  TFakeHost host;
  host.Instala();
  TrataRetornoRegistrosCDLPOA(bloco, static_cast<int>(size));
  for (const auto &[chave, valor] : host.Store())
    if (chave.first == 1189 && TamanhoRegistroCDLPoa(Tipo(valor)) != valor.size()) std::abort();

  TMemo memo(nullptr);
  TrataRetornoTexto(bloco, static_cast<int>(size), &memo);
  return 0;
}
