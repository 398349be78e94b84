#include "screens/consulta/Cons74Cheque.h"

TFrmCon_Chq74 *FrmCon_Chq74 = nullptr;
static TEsqueceForm<TFrmCon_Chq74, FrmCon_Chq74> registro;

bool TFrmCon_Chq74::GravaCamposCodigo() {
  // Unlike code 72, a blank document type goes as a company.
  return Grava(1006, edTipoDoc->Text() == "1" ? "F" : "J") &&
         GravaPrimeiraLinha(LidoPorCmc7() ? PrimeiraLinhaCmc7(edCMC7->Text())
                                          : PrimeiraLinhaDigitada());
}

TFrmCon_Chq74::TFrmCon_Chq74(TComponent *AOwner)
    : TFrmCon_ChqCodigo(AOwner, "FrmCon_Chq74", TrnConsultaCheque74, true) {}
