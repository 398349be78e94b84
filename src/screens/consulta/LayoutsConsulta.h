// Request layouts of the consultation codes and the module buffers they send.
// The buffers are filled by the cheque consultation screen (and its code
// screens) just before they authorise; the host reads their current content
// when it builds the request. The code-70 layout is also the one the network's
// questions are answered with, whatever screen is open.
#pragma once

#include "host/Host.h"

// ---- Buffers of the cheque consultation screen (capacity in bytes, terminator
// included) ----
extern char DDDTelefones[36];
extern char Telefones[36];
extern char DataNascimento[20];
extern char ContaCorrenteOpcional[20];
extern char RGOpcional[20];
extern char FacilitOpcional[20];
extern char DataAberturaOpcional[12];
extern char EmitenteOpcional[52];
extern char aTipoServico[32];
extern char aRetornaDetalhesSCPC[32];
extern char aHistorico[32];
extern char aConfigExtra[32];
extern char aDadosCliente[32];

// ---- Code 70
// ---------------------------------------------------------------------------------
namespace Cons70Cheque {
// How the cheque data was entered ("0" CMC-7 line, else the manual entry type):
// one character and its terminator.
extern char TipoEntradaCheque[2];
} // namespace Cons70Cheque

// The code-70 request. Writable: the repeat value of its field-10162 entry is
// the number of cheques sent, 1 as loaded, set by the screens that send
// several.
extern TRequestLayout TrnConsultaCheque70;
// Sets that number of cheques.
void DefineQuantidadeChequesConsulta70(uint16_t quantidade);
// Sets the repeat value of the field-10162 entry (the number of cheques) of any layout that
// has one.
void DefineQuantidadeCheques(TRequestLayout &layout, uint16_t quantidade);

// ---- Codes 72, 74, 78, 7C and F0, and the 7C guarantee -----------------------------------
namespace Cons78Cheque {
// "CMC7:1;" and the line of a cheque read as its CMC-7 line; empty for a typed cheque.
extern char DadosCheque[48];
// Control of earlier consultations: always sent empty.
extern char CtrlConsultasAnt[4];
} // namespace Cons78Cheque
namespace Cons7CCheque {
extern char DadosCheque[41];
extern char TipoEntradaCheque[2];
} // namespace Cons7CCheque
namespace ConsF0Cheque {
extern char DadosCheque[41];
extern char TipoEntradaCheque[2];
} // namespace ConsF0Cheque
namespace Cons7CGarantiaChq {
// The issuer's person type sent by the guarantee: "1" company, "2" individual, or empty.
extern char acTipoPessoa[8];
} // namespace Cons7CGarantiaChq

extern TRequestLayout TrnConsultaCheque72;
extern TRequestLayout TrnConsultaCheque74;
extern TRequestLayout TrnConsultaCheque78;
extern TRequestLayout TrnConsultaCheque7C;
// Writable like code 70's: the number of cheques sent is its field-10162 repeat value.
extern TRequestLayout TrnConsultaChequeF0;
extern TRequestLayout TrnGarantiaCheque7C;
