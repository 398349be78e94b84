#include "screens/consulta/Cons70ChequeConsulta.h"

#include "host/Host.h"
#include "module/ChequeMain.h"

TFrmCon_Con *FrmCon_Con = nullptr;

namespace {
void Esquece() {
  FrmCon_Con = nullptr;
}
TRegistroUnidade Registro(&Esquece, &Esquece);
} // namespace

TFrmCon_Con::TFrmCon_Con(TComponent *AOwner) : TFrmCon_Chq70(AOwner) {
  Name = "FrmCon_Con";
  SetCaption("FrmCon_Con");
}

void TFrmCon_Con::IniciaCamposForm() {
  TFrmCon_Chq70::IniciaCamposForm();
  lbTitulo->SetCaption(Host().LeMensagens(456));
}
