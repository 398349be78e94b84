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

void DefineQuantidadeChequesConsulta70(uint16_t quantidade) {
  const int i = IndiceEntrada(TrnConsultaCheque70, 10162);
  if (i >= 0) TrnConsultaCheque70.Entradas[i].Repeticao = quantidade;
}
