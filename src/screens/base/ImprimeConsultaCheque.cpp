#include "screens/base/ImprimeConsultaCheque.h"

#include "host/Host.h"
#include "platform/StrUtils.h"
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

  MemoConsulta = new TMemo(this);
  MemoConsulta->Name = "MemoConsulta";
  MemoConsulta->SetParent(this);
  MemoConsulta->Left = 79, MemoConsulta->Top = 88;
  MemoConsulta->Width = 465, MemoConsulta->Height = 233;
  MemoConsulta->ReadOnly = true;
  MemoConsulta->TabOrder = 1;

  pnBotoes = new TPanel(this);
  pnBotoes->Name = "pnBotoes";
  pnBotoes->SetParent(this);
  pnBotoes->Left = 111, pnBotoes->Top = 330, pnBotoes->Width = 400, pnBotoes->Height = 40;
  pnBotoes->BevelOuter = bvNone;
  pnBotoes->Color = COR_CINZA_CLARO;
  pnBotoes->ParentColor = false;
  pnBotoes->TabOrder = 2;

  btImprime = new TBitBtn(this);
  btImprime->Name = "btImprime";
  btImprime->SetParent(pnBotoes);
  btImprime->Left = 31, btImprime->Top = 4, btImprime->Width = 120, btImprime->Height = 25;
  btImprime->TabOrder = 0;
  btImprime->SetCaption("&1 - Imprime");

  btRetorna = new TBitBtn(this);
  btRetorna->Name = "btRetorna";
  btRetorna->SetParent(pnBotoes);
  btRetorna->Left = 248, btRetorna->Top = 4, btRetorna->Width = 120, btRetorna->Height = 25;
  btRetorna->TabOrder = 1;
  btRetorna->SetCaption("&9 - Retorna");

  btImprime->OnClick = [this](TObject *s) { btImprimeClick(s); };
  btRetorna->OnClick = [this](TObject *s) { btRetornaClick(s); };
  btImprime->OnEnter = [this](TObject *s) { btImprimeEnter(s); };
  btRetorna->OnEnter = [this](TObject *s) { btRetornaEnter(s); };
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
