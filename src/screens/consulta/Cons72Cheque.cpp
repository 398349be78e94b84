#include "screens/consulta/Cons72Cheque.h"

TFrmCon_Chq72 *FrmCon_Chq72 = nullptr;
static TEsqueceForm<TFrmCon_Chq72, FrmCon_Chq72> registro;

bool TFrmCon_Chq72::GravaCamposCodigo() {
  const TPrimeiraLinha linha =
      LidoPorCmc7() ? PrimeiraLinhaCmc7(edCMC7->Text()) : PrimeiraLinhaDigitada();
  if (!Grava(1006, edTipoDoc->Text() == "2" ? "J" : "F") || !Grava(1046, "1") ||
      !GravaPrimeiraLinha(linha))
    return false;
  CopiaBuffer(ContaCorrenteOpcional, linha.conta);
  return true;
}

TFrmCon_Chq72::TFrmCon_Chq72(TComponent *AOwner)
    : TFrmCon_ChqCodigo(AOwner, "FrmCon_Chq72", TrnConsultaCheque72, true) {}
