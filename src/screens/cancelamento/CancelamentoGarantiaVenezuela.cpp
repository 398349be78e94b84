#include "screens/cancelamento/CancelamentoGarantiaVenezuela.h"

#include "host/Host.h"
#include "screens/cancelamento/LayoutsCancelamento.h"

TFrmGarVenez_Cnc *FrmGarVenez_Cnc = nullptr;

TFrmGarVenez_Cnc::TFrmGarVenez_Cnc(TComponent *AOwner) : TFrmCnc_Trn(AOwner) {
  Name = "FrmGarVenez_Cnc";
  SetCaption("FrmGarVenez_Cnc");
  edRGGar->Height = 21;
  edRGGar->Font.Size = 9;
}

void TFrmGarVenez_Cnc::IniciaCamposForm() {
  TFrmCnc_Trn::IniciaCamposForm();
  lbTitulo->SetCaption(Host().LeMensagens(465));
  LayoutRequisicao = &TrnCancelamentoGarantiaChequeVenezuela;
}
