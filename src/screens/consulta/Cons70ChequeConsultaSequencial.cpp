#include "screens/consulta/Cons70ChequeConsultaSequencial.h"

#include "host/Host.h"
#include "module/ChequeMain.h"

TFrmCon_ConSeq *FrmCon_ConSeq = nullptr;

static TEsqueceForm<TFrmCon_ConSeq, FrmCon_ConSeq> registro;

TFrmCon_ConSeq::TFrmCon_ConSeq(TComponent *AOwner) : TFrmCon_Chq70(AOwner) {
  Name = "FrmCon_ConSeq";
  SetCaption("FrmCon_ConSeq");
}

void TFrmCon_ConSeq::IniciaCamposForm() {
  TFrmCon_Chq70::IniciaCamposForm();
  lbTitulo->SetCaption(Host().LeMensagens(1474));
}
