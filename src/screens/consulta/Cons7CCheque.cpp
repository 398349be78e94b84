#include "screens/consulta/Cons7CCheque.h"

TFrmCon_Chq7C *FrmCon_Chq7C = nullptr;
static TEsqueceForm<TFrmCon_Chq7C, FrmCon_Chq7C> registro;

bool TFrmCon_Chq7C::GravaCamposCodigo() {
  if (!GravaPessoaQuantidadeFuncao() || !Grava(10103, sTipoSaida)) return false;
  PreencheChequeETelefones(Cons7CCheque::DadosCheque, Cons7CCheque::TipoEntradaCheque);
  return true;
}

TFrmCon_Chq7C::TFrmCon_Chq7C(TComponent *AOwner)
    : TFrmCon_ChqCodigo(AOwner, "FrmCon_Chq7C", TrnConsultaCheque7C, true) {}
