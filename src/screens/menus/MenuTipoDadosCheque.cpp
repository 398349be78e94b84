#include "screens/menus/MenuTipoDadosCheque.h"

#include "host/Host.h"
#include "screens/menus/MenuCheque.h"

TFrmSelTipoDadosChq_Mnu::TFrmSelTipoDadosChq_Mnu(TComponent *AOwner) : TFrmMnu_Mod(AOwner) {
  Name = "FrmSelTipoDadosChq_Mnu";
  SetCaption("FrmSelTipoDadosChq_Mnu");
  AjustaLarguraMenu(160, 159);
  spOpcao1->SetCaption("&1 - Primeira Linha Cheque");
  spOpcao2->SetCaption("&2 - CMC-7");
  spOpcao1->OnClick = [this](TObject *s) { spOpcao1Click(s); };
  spOpcao2->OnClick = [this](TObject *s) { spOpcao2Click(s); };
}

void TFrmSelTipoDadosChq_Mnu::IniciaFormularioMenu() {
  spOpcao1->SetVisible(true);
  spOpcao2->SetVisible(true);
  spEncerra->SetVisible(true);
  spOpcao1->SetCaption("&1 - " + Host().LeMensagens(1173));
  spOpcao2->SetCaption("&2 - " + Host().LeMensagens(1174));
  spEncerra->SetCaption(Host().LeMensagens(330));
  lbTitulo->SetCaption(Host().LeMensagens(456));
  Tag = 0;
}

void TFrmSelTipoDadosChq_Mnu::VerificaOpcoesHabilitadas() {}

void TFrmSelTipoDadosChq_Mnu::Escolhe(int16_t tipoEntrada) {
  if (FrmRedes_Mnu) FrmRedes_Mnu->TipoEntrada = tipoEntrada;
  ModalResult = mrOk;
  Tag = 1;
}

void TFrmSelTipoDadosChq_Mnu::spOpcao1Click(TObject *) {
  Escolhe(1);
}
void TFrmSelTipoDadosChq_Mnu::spOpcao2Click(TObject *) {
  Escolhe(2);
}
