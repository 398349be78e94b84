#include "screens/consulta/Cons78Cheque.h"

using namespace ConsultaChequeTrnCheque;

TFrmCon_Chq78 *FrmCon_Chq78 = nullptr;
static TEsqueceForm<TFrmCon_Chq78, FrmCon_Chq78> registro;

bool TFrmCon_Chq78::GravaCamposCodigo() {
  // A CMC-7 line travels whole in the cheque data, and the first-line fields go empty. A
  // typed cheque empties the cheque data: the line of an earlier consultation would name
  // another cheque than the one typed.
  const bool cmc7 = LidoPorCmc7();
  CopiaBuffer(Cons78Cheque::DadosCheque, cmc7 ? "CMC7:1;" + edCMC7->Text() : std::string());
  const TPrimeiraLinha linha = cmc7 ? TPrimeiraLinha{} : PrimeiraLinhaDigitada();
  if (!Grava(1043, TipoConsulta) || !GravaPrimeiraLinha(linha)) return false;
  CopiaBuffer(ContaCorrenteOpcional, linha.conta);
  return true;
}

TFrmCon_Chq78::TFrmCon_Chq78(TComponent *AOwner)
    : TFrmCon_ChqCodigo(AOwner, "FrmCon_Chq78", TrnConsultaCheque78, true) {}
