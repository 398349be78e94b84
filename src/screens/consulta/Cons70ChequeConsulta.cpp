#include "screens/consulta/Cons70ChequeConsulta.h"

#include "host/Host.h"
#include "module/ChequeMain.h"

TFrmCon_Con *FrmCon_Con = nullptr;

static TEsqueceForm<TFrmCon_Con, FrmCon_Con> registro;

TFrmCon_Con::TFrmCon_Con(TComponent *AOwner) : TFrmCon_Chq70(AOwner) {
  Name = "FrmCon_Con";
  SetCaption("FrmCon_Con");
}

void TFrmCon_Con::IniciaCamposForm() {
  TFrmCon_Chq70::IniciaCamposForm();
  lbTitulo->SetCaption(Host().LeMensagens(456));
}
