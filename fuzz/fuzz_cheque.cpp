// Arbitrary bytes as the data of a cheque: a CMC-7 line cut into bank, branch, cheque number and
// account, and the pieces of a typed cheque (one per line) joined into the cheque-data text of
// codes 70, 7C and F0, then copied into the module buffers the requests send. The texts never
// outgrow their buffers, which always end with a terminator.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "screens/consulta/Cons70Cheque.h"
#include "screens/consulta/ConsChequeCodigo.h"

namespace {
// The CMC-7 reader of the code screens is theirs alone: reached through a derived class.
struct TLeitor : TFrmCon_ChqCodigo {
  using TFrmCon_ChqCodigo::PrimeiraLinhaCmc7;
};

template <size_t N> void Confere(const char (&buffer)[N]) {
  if (std::memchr(buffer, 0, N) == nullptr) std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string texto(reinterpret_cast<const char *>(data), size);
  const auto linha = TLeitor::PrimeiraLinhaCmc7(texto);
  if (linha.banco.size() > 3 || linha.agencia.size() > 4 || linha.cheque.size() > 7) std::abort();

  std::vector<std::string> partes(11);
  size_t p = 0;
  for (char c : texto) {
    if (c == '\n' && p + 1 < partes.size())
      ++p;
    else
      partes[p] += c;
  }
  const TChequeDigitado cheque{partes[0], partes[1], partes[2], partes[3], partes[4],
                               partes[5], partes[6], partes[7], partes[8]};
  const bool c1 = size % 2, c2 = size % 3 == 0;
  char dados[41];
  CopiaBuffer(dados, DadosChequeUnico(cheque, partes[9], c1, c2));
  Confere(dados);
  CopiaBuffer(dados, DadosChequeMultiplo(cheque, partes[9], c1, c2, partes[10], partes[8]));
  Confere(dados);
  CopiaBuffer(dados, DadosChequeCodigos7CF0(cheque, partes[9], c1));
  Confere(dados);
  const int tipo = TipoEntradaManual(partes[9]);
  (void)tipo;
  return 0;
}
