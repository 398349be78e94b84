#include "screens/cancelamento/LayoutsCancelamento.h"

#include <cstring>

#include "module/ChequeMain.h"

namespace CancelamentoTrnGarantia {
char TipoEntradaCheque[2];
char DadosCheque[41];
char MotivoCancelamento[10];
} // namespace CancelamentoTrnGarantia

namespace CancelamentoTrnGarantiaVenezuela {
char TipoEntradaCheque[2];
char DadosCheque[41];
char RGOpcional[20];
} // namespace CancelamentoTrnGarantiaVenezuela

namespace CancelamentoGarantiaCheque7C {
char acTipoPessoa[2];
} // namespace CancelamentoGarantiaCheque7C

using namespace cheque::layout;

TRequestLayout TrnCancelamentoGarantiaCheque =
    MontaLayout(0x70, {
                          Campo(10112),
                          Campo(10171),
                          Campo(10102),
                          Campo(10158),
                          Buffer(CancelamentoTrnGarantia::TipoEntradaCheque),
                          Buffer(CancelamentoTrnGarantia::DadosCheque),
                          Campo(1013),
                          Campo(1020),
                          Buffer(CancelamentoTrnGarantia::MotivoCancelamento),
                      });

TRequestLayout TrnCancelamentoGarantiaChequeVenezuela =
    MontaLayout(0x70, {
                          Campo(10112),
                          Campo(10171),
                          Campo(10102),
                          Campo(10158),
                          Campo(1003).Atributos(4),
                          Campo(1006),
                          Campo(1007),
                          Campo(1046),
                          Campo(1008),
                          Campo(1003).Atributos(4),
                          Buffer(CancelamentoTrnGarantiaVenezuela::TipoEntradaCheque),
                          Buffer(CancelamentoTrnGarantiaVenezuela::DadosCheque),
                          Campo(1014),
                          Campo(1020),
                          Buffer(CancelamentoTrnGarantiaVenezuela::RGOpcional),
                      });

TRequestLayout TrnCancelamentoGarantiaCheque7C =
    MontaLayout(0x7C, {
                          Campo(10112),
                          Campo(10171),
                          Texto(""),
                          Campo(10158),
                          Campo(10103),
                          Buffer(CancelamentoGarantiaCheque7C::acTipoPessoa),
                          Campo(1007),
                          Campo(1013),
                          Campo(1008),
                          Campo(10213),
                          Campo(1046),
                          Grupo(10162, 1, 1), // the authorisation count: field 10163 per cheque
                          Campo(10163),
                      });

void DefineQuantidadeAutorizacoes7C(uint16_t quantidade) {
  const int i = IndiceEntrada(TrnCancelamentoGarantiaCheque7C, 10162);
  if (i >= 0) TrnCancelamentoGarantiaCheque7C.Entradas[i].Repeticao = quantidade;
}

namespace {

// The buffers start empty and the 7C request with one authorisation, at load and at unload.
void ZeraBuffers() {
  using namespace CancelamentoTrnGarantia;
  std::memset(TipoEntradaCheque, 0, sizeof TipoEntradaCheque);
  std::memset(DadosCheque, 0, sizeof DadosCheque);
  std::memset(MotivoCancelamento, 0, sizeof MotivoCancelamento);
  std::memset(CancelamentoTrnGarantiaVenezuela::TipoEntradaCheque, 0,
              sizeof CancelamentoTrnGarantiaVenezuela::TipoEntradaCheque);
  std::memset(CancelamentoTrnGarantiaVenezuela::DadosCheque, 0,
              sizeof CancelamentoTrnGarantiaVenezuela::DadosCheque);
  std::memset(CancelamentoTrnGarantiaVenezuela::RGOpcional, 0,
              sizeof CancelamentoTrnGarantiaVenezuela::RGOpcional);
  std::memset(CancelamentoGarantiaCheque7C::acTipoPessoa, 0,
              sizeof CancelamentoGarantiaCheque7C::acTipoPessoa);
  DefineQuantidadeAutorizacoes7C(1);
}
TRegistroUnidade Registro(&ZeraBuffers, &ZeraBuffers);

} // namespace
