#include "screens/base/ImprimeConsultaCheque.h"

#include "host/Host.h"
#include "platform/text/StrUtils.h"
#include "screens/menus/MenuCheque.h"

std::vector<std::string> LinhasRegistroArroba(const std::string &registro) {
  std::vector<std::string> linhas;
  std::string linha;
  for (size_t i = 1; i < registro.size(); ++i) {
    if (registro[i] != '@') {
      linha += registro[i];
      continue;
    }
    linhas.push_back(linha + " ");
    linha.clear();
  }
  return linhas;
}

TFrmImprime_Mod::TFrmImprime_Mod(TComponent *AOwner) : TFrmMod(AOwner) {
  Name = "FrmImprime_Mod";

  MemoConsulta = NewControl<TMemo>(this, this, "MemoConsulta", 79, 88, 465, 233);
  MemoConsulta->ReadOnly = true;
  // A receipt line wider than the memo is scrolled to, not wrapped.
  MemoConsulta->ScrollBars = ssBoth;
  MemoConsulta->TabOrder = 1;
  std::tie(pnBotoes, btImprime, btRetorna) =
      CriaBotoes("btImprime", "&1 - Imprime", "btRetorna", "&9 - Retorna");
  LigaBotao(btImprime, &TFrmImprime_Mod::btImprimeClick, &TFrmImprime_Mod::btImprimeEnter);
  LigaBotao(btRetorna, &TFrmImprime_Mod::btRetornaClick, &TFrmImprime_Mod::btRetornaEnter);
}

void TFrmImprime_Mod::FormShow(TObject *Sender) {
  TFrmMod::FormShow(Sender);
  btImprime->SetCaption(Host().LeMensagens(556));
  btRetorna->SetCaption(Host().LeMensagens(554));
  const std::string rede = Host().LeCampo(10112, 0);
  if (rede == "71") {
    // The caller filled the memo.
  } else if (rede == "21") {
    MostraCupomRede21();
  } else {
    MostraRegistro();
  }
  btImprime->SetEnabled(ImprimeCupom);
}

void TFrmImprime_Mod::MostraCupomRede21() {
  MemoConsulta->Lines.Clear();
  std::string linha = Host().LeCampo(20128, 0);
  if (linha.empty()) return;
  const int n = StrToIntDef(linha, 0);
  for (int i = 0; i < n; ++i) {
    std::string entrada;
    if (Host().VelkorLeCampo(20018, i, entrada, 8192) != 0) break;
    if (entrada == "@") {
      // An "@" entry repeats the line kept from the entry before and adds an
      // empty line.
      MemoConsulta->Lines.Add(linha + " ");
      MemoConsulta->Lines.Add(" ");
      continue;
    }
    linha = entrada;
    MemoConsulta->Lines.Add(linha + " ");
  }
}

void TFrmImprime_Mod::MostraRegistro() {
  MemoConsulta->Lines.Clear();
  Registro = Host().LeCampo(20033, 0);
  if (Registro.empty()) return;
  ImprimeCupom = false;
  for (const std::string &linha : LinhasRegistroArroba(Registro)) MemoConsulta->Lines.Add(linha);
}

void TFrmImprime_Mod::btImprimeClick(TObject *) {
  ImprimeCupom = true;
  Close();
}

void TFrmImprime_Mod::btRetornaClick(TObject *) {
  Host().GravaCampoString(1009, 0, "FF");
  Host().GravaCampoString(1027, 0, Host().LeMensagens(801));
  ImprimeCupom = false;
  Close();
}

void TFrmImprime_Mod::btImprimeEnter(TObject *) {
  lbMensagem->SetVisible(true);
  lbMensagem->SetCaption(Host().LeMensagens(49));
}

void TFrmImprime_Mod::btRetornaEnter(TObject *) {
  lbMensagem->SetVisible(true);
  lbMensagem->SetCaption(Host().LeMensagens(48));
}
