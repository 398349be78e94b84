#include "screens/consulta/LayoutsConsulta.h"

#include "module/ChequeMain.h"

char DDDTelefones[36];
char Telefones[36];
char DataNascimento[20];
char ContaCorrenteOpcional[20];
char RGOpcional[20];
char FacilitOpcional[20];
char DataAberturaOpcional[12];
char EmitenteOpcional[52];
char aTipoServico[32];
char aRetornaDetalhesSCPC[32];
char aHistorico[32];
char aConfigExtra[32];
char aDadosCliente[32];

namespace Cons70Cheque {
char TipoEntradaCheque[2];
} // namespace Cons70Cheque

using namespace cheque::layout;

TRequestLayout TrnConsultaCheque70 =
    MontaLayout(0x70, {
                          Campo(10112),
                          Campo(10171),
                          Campo(10102),
                          Campo(10158),
                          Campo(1003).Atributos(4),
                          Campo(1006),
                          Campo(1007),
                          Campo(1046),
                          Grupo(10162, 1,
                                4), // the cheque count: the next four entries per cheque
                          Campo(10166),
                          Campo(10165).Atributos(4),
                          Buffer(Cons70Cheque::TipoEntradaCheque),
                          Campo(10167),
                          Campo(10146),
                          Buffer(DDDTelefones),
                          Buffer(Telefones),
                          Buffer(DataAberturaOpcional),
                          Buffer(EmitenteOpcional),
                          Buffer(RGOpcional),
                          Buffer(DataNascimento),
                          Buffer(aTipoServico),
                          Buffer(aRetornaDetalhesSCPC),
                          Buffer(aHistorico),
                          Buffer(aConfigExtra),
                          Buffer(aDadosCliente),
                          Buffer(FacilitOpcional),
                          Buffer(Perguntas),
                          Campo(1334, "CODAREA:"),
                      });

void DefineQuantidadeCheques(TRequestLayout &layout, uint16_t quantidade) {
  const int i = IndiceEntrada(layout, 10162);
  if (i >= 0) layout.Entradas[i].Repeticao = quantidade;
}

void DefineQuantidadeChequesConsulta70(uint16_t quantidade) {
  DefineQuantidadeCheques(TrnConsultaCheque70, quantidade);
}

// ---- Codes 72, 74, 78, 7C and F0, and the 7C guarantee -------------------------------------

namespace Cons78Cheque {
char DadosCheque[48];
char CtrlConsultasAnt[4];
} // namespace Cons78Cheque
namespace Cons7CCheque {
char DadosCheque[41];
char TipoEntradaCheque[2];
} // namespace Cons7CCheque
namespace ConsF0Cheque {
char DadosCheque[41];
char TipoEntradaCheque[2];
} // namespace ConsF0Cheque
namespace Cons7CGarantiaChq {
char acTipoPessoa[8];
} // namespace Cons7CGarantiaChq

namespace {
const char kCodArea[] = "CODAREA:";
const char kVazio[] = "";
} // namespace

// clang-format off
TRequestLayout TrnConsultaCheque72 = MontaLayout(0x72, {
    Campo(10112), Campo(10171), Campo(1003).Atributos(4), Campo(1006), Campo(1007),
    Campo(1029), Campo(1030), Campo(1034), Campo(1008), Campo(1046), Texto("0"),
    Buffer(ContaCorrenteOpcional), Buffer(DDDTelefones), Buffer(Telefones),
    Buffer(DataAberturaOpcional), Buffer(EmitenteOpcional), Buffer(RGOpcional),
    Buffer(DataNascimento), Campo(1334, kCodArea),
});

TRequestLayout TrnConsultaCheque74 = MontaLayout(0x74, {
    Campo(10112), Campo(10171), Campo(1003).Atributos(4), Campo(1029).Atributos(0, 0, 0xFF),
    Campo(1030), Campo(1034), Campo(1006), Campo(1007), Campo(1008), Campo(1334, kCodArea),
});

TRequestLayout TrnConsultaCheque78 = MontaLayout(0x78, {
    Campo(10112), Campo(10171), Campo(1042), Campo(1043), Campo(10102).Repete(1),
    Campo(1007), Campo(1003).Atributos(4), Campo(1044), Campo(1029), Campo(1030),
    Campo(1034), Campo(1008), Campo(1046), Buffer(Cons78Cheque::CtrlConsultasAnt),
    Buffer(DDDTelefones), Buffer(Telefones), Buffer(ContaCorrenteOpcional),
    Buffer(DataAberturaOpcional), Buffer(EmitenteOpcional), Buffer(DataNascimento),
    Buffer(Cons78Cheque::DadosCheque), Buffer(aDadosCliente), Campo(1334, kCodArea),
});

TRequestLayout TrnConsultaCheque7C = MontaLayout(0x7C, {
    Campo(10112), Campo(10171), Texto(kVazio), Campo(10158), Campo(10103), Campo(1006),
    Campo(1007), Buffer(Cons7CCheque::DadosCheque), Campo(1003).Atributos(4), Campo(1046),
    Campo(1008), Buffer(DDDTelefones), Buffer(Telefones), Campo(1334, kCodArea),
});

TRequestLayout TrnConsultaChequeF0 = MontaLayout(0xF0, {
    Campo(10112), Campo(10171), Texto(kVazio), Campo(10158), Campo(1003).Atributos(4),
    Campo(1006), Campo(1007), Campo(1046),
    Grupo(10162, 1, 5), // the cheque count: the next five entries per cheque
    Campo(1008), Campo(1003).Atributos(4), Buffer(ConsF0Cheque::TipoEntradaCheque),
    Buffer(ConsF0Cheque::DadosCheque), Buffer(DataAberturaOpcional),
    Buffer(DDDTelefones), Buffer(Telefones), Campo(1334, kCodArea),
});

TRequestLayout TrnGarantiaCheque7C = MontaLayout(0x7C, {
    Campo(10112), Campo(10171), Texto(kVazio), Campo(10158), Campo(10103),
    Buffer(Cons7CGarantiaChq::acTipoPessoa), Campo(1007), Campo(1200).Atributos(10),
    Campo(10299), Campo(1046),
    Grupo(10162, 1, 3), // the cheque count: the next three entries per cheque
    Campo(10167), Campo(10165).Atributos(4), Campo(10166),
});
// clang-format on
