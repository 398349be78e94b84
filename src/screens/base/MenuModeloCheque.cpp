#include "screens/base/MenuModeloCheque.h"

#include "host/Host.h"
#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"

TFrmMnu_Mod::TFrmMnu_Mod(TComponent *AOwner) : TFrmMod(AOwner) {
  Name = "FrmMnu_Mod";

  pnMenu = CriaPainelCaptura("pnMenu", 30, 113, 142, 253, 0);

  static const char *const legendas[NUM_OPCOES] = {CP1252("&1 - Opção 1"), CP1252("&2 - Opção 2"),
                                                   CP1252("&3 - Opção 3"), CP1252("&4 - Opção 4"),
                                                   CP1252("&5 - Opção 5"), CP1252("&6 - Opção 6"),
                                                   CP1252("&7 - Opção 7"), CP1252("&8 - Opção 8")};
  TBitBtn **botoes[NUM_OPCOES + 1] = {&spOpcao1, &spOpcao2, &spOpcao3, &spOpcao4, &spOpcao5,
                                      &spOpcao6, &spOpcao7, &spOpcao8, &spEncerra};
  for (int i = 0; i <= NUM_OPCOES; ++i) {
    TBitBtn *b =
        CriaBotao(pnMenu, i < NUM_OPCOES ? "spOpcao" + IntToStr(i + 1) : "spEncerra",
                  i < NUM_OPCOES ? legendas[i] : "&9 - Encerra", 1, 1 + 28 * i, i, 140, 28);
    FonteArialNegrito(b, 9, COR_MARINHO);
    b->SetVisible(false);
    *botoes[i] = b;
  }
  spEncerra->OnClick = [this](TObject *Sender) { spEncerraClick(Sender); };

  TClique = new TTimer(this);
  TClique->Name = "TClique";
  TClique->Interval = 10;
  TClique->SetEnabled(false);
  TClique->OnTimer = [this](TObject *Sender) { TCliqueTimer(Sender); };

  OnActivate = [this](TObject *Sender) { FormActivate(Sender); };
}

TBitBtn *TFrmMnu_Mod::Opcao(int n) const {
  switch (n) {
  case 1:
    return spOpcao1;
  case 2:
    return spOpcao2;
  case 3:
    return spOpcao3;
  case 4:
    return spOpcao4;
  case 5:
    return spOpcao5;
  case 6:
    return spOpcao6;
  case 7:
    return spOpcao7;
  case 8:
    return spOpcao8;
  default:
    return nullptr;
  }
}

void TFrmMnu_Mod::AjustaLarguraMenu(int painel, int botoes) {
  pnMenu->Width = painel;
  for (int n = 1; n <= NUM_OPCOES; ++n) Opcao(n)->Width = botoes;
  spEncerra->Width = botoes;
}

void TFrmMnu_Mod::FormShow(TObject *Sender) {
  TFrmMod::FormShow(Sender);
  lbMensagem->SetVisible(true);
  lbMensagem->SetCaption(Host().LeMensagens(21));
}

void TFrmMnu_Mod::FormActivate(TObject *) {
  if (EscolhaEmAndamento) return;
  IniciaFormularioMenu();
  VerificaOpcoesHabilitadas();
  VerificaSomente1Opcao();
}

void TFrmMnu_Mod::VerificaSomente1Opcao() {
  SelectFirst();
  // Walk the focus through the controls that can take it until it reaches the close button:
  // hidden or disabled options are skipped by the walk itself. The close button must be able
  // to take the focus; should it not, the walk stops after one round instead of going on.
  int opcoes = 0;
  const int limite = ComponentCount() + 1;
  while (!spEncerra->Focused() && opcoes <= limite) {
    TWinControl *atual = ActiveControl();
    if (!atual) break;
    ++opcoes;
    SelectNext(atual, true);
    if (ActiveControl() == atual) break;
  }
  if (opcoes == 0 || opcoes == 1) {
    Tag = opcoes;
    TClique->SetEnabled(true);
  } else {
    SelectFirst();
  }
}

void TFrmMnu_Mod::TCliqueTimer(TObject *) {
  TClique->SetEnabled(false);
  if (ModalResult != mrNone) return; // already closing: nothing is chosen any more
  SelectFirst();
  if (Tag == 0) {
    Close();
    Host().EnviaArquivoErroPDV(255, Host().LeMensagens(993));
  } else if (Tag == 1) {
    if (TWinControl *focado = ActiveControl()) focado->Click();
  }
}

void TFrmMnu_Mod::spEncerraClick(TObject *) {
  ModalResult = mrOk;
  Host().VelkorGravaArquivo();
}
