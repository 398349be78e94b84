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
