// Request layouts of the guarantee cancellations and the module buffers they send. The
// screens fill the buffers just before they authorise; the host reads their current content
// when it builds the request.
#pragma once

#include <cstdint>

#include "host/Host.h"

// ---- Ordinary cancellation
namespace CancelamentoTrnGarantia {
// "0" CMC-7 line, "2" typed bank data: one character and its terminator.
extern char TipoEntradaCheque[2];
// The cheque as sent: the CMC-7 line or the typed pieces joined by 0x04 (at most 40).
extern char DadosCheque[41];
// "CHQ11:" and the three-digit reason code.
extern char MotivoCancelamento[10];
} // namespace CancelamentoTrnGarantia
extern TRequestLayout TrnCancelamentoGarantiaCheque;

// ---- Venezuelan cancellation
namespace CancelamentoTrnGarantiaVenezuela {
extern char TipoEntradaCheque[2];
extern char DadosCheque[41];
// "CHQ4:" and the identity document, or empty.
extern char RGOpcional[20];
} // namespace CancelamentoTrnGarantiaVenezuela
extern TRequestLayout TrnCancelamentoGarantiaChequeVenezuela;

// ---- Cancellation of 7C guarantees
namespace CancelamentoGarantiaCheque7C {
// The person type as the network codes it: "2" individual, "1" company.
extern char acTipoPessoa[2];
} // namespace CancelamentoGarantiaCheque7C
// Writable: the repeat value of its field-10162 entry is the number of authorisations sent.
extern TRequestLayout TrnCancelamentoGarantiaCheque7C;
void DefineQuantidadeAutorizacoes7C(uint16_t quantidade);
