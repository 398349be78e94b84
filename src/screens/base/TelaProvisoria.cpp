#include "screens/base/TelaProvisoria.h"

#include "module/ChequeMain.h"
#include "platform/Cp1252.h"

TFrmProvisoria::TFrmProvisoria(TComponent *AOwner, const std::string &nomeForm) : TFrmMod(AOwner) {
  Name = nomeForm;
  SetCaption(nomeForm);
  KeyPreview = true;

  pnCaptura = new TPanel(this);
  pnCaptura->Name = "pnCaptura";
  pnCaptura->SetParent(this);
  pnCaptura->Left = 24;
  pnCaptura->Top = 106;
  pnCaptura->Width = 580;
  pnCaptura->Height = 210;
  pnCaptura->BevelInner = bvLowered;
  pnCaptura->Color = COR_CINZA_CLARO;
  pnCaptura->ParentColor = false;
  pnCaptura->TabOrder = 0;

  lbAviso = new TLabel(this);
  lbAviso->Name = "lbAviso";
  lbAviso->SetParent(pnCaptura);
  lbAviso->Left = 27;
  lbAviso->Top = 80;
  lbAviso->Width = 526;
  lbAviso->Height = 40;
  lbAviso->Alignment = taCenter;
  lbAviso->WordWrap = true;
  lbAviso->Font.Name = "Arial";
  lbAviso->Font.Bold = true;
  lbAviso->Font.Size = 9;
  lbAviso->Font.Color = COR_AZUL_ESCURO;
  lbAviso->SetCaption(std::string(CP1252("Tela provisória: ")) + nomeForm +
                      CP1252(" ainda não está disponível neste módulo."));

  pnBotoes = new TPanel(this);
  pnBotoes->Name = "pnBotoes";
  pnBotoes->SetParent(this);
  pnBotoes->Left = 111;
  pnBotoes->Top = 330;
  pnBotoes->Width = 400;
  pnBotoes->Height = 40;
  pnBotoes->BevelOuter = bvNone;
  pnBotoes->Color = COR_CINZA_CLARO;
  pnBotoes->ParentColor = false;
  pnBotoes->TabOrder = 1;

  btRetorna = new TBitBtn(this);
  btRetorna->Name = "btRetorna";
  btRetorna->SetParent(pnBotoes);
  btRetorna->Left = 248;
  btRetorna->Top = 4;
  btRetorna->Width = 120;
  btRetorna->Height = 25;
  btRetorna->TabOrder = 0;
  btRetorna->SetCaption("&9 - Cancela");
  btRetorna->OnClick = [this](TObject *Sender) { btRetornaClick(Sender); };

  OnKeyDown = [this](TObject *Sender, Word &Key, TShiftState Shift) {
    FormKeyDown(Sender, Key, Shift);
  };
  OnKeyPress = [this](TObject *Sender, char &Key) { FormKeyPress(Sender, Key); };
}

void TFrmProvisoria::FormShow(TObject *Sender) {
  TFrmMod::FormShow(Sender);
  lbTitulo->SetCaption(Name);
}

void TFrmProvisoria::btRetornaClick(TObject *) {
  ModalResult = mrCancel;
}

void TFrmProvisoria::FormKeyDown(TObject *, Word &Key, TShiftState) {
  if (Key == VK_ESCAPE) {
    Key = 0;
    ModalResult = mrCancel;
  }
}

void TFrmProvisoria::FormKeyPress(TObject *, char &Key) {
  if (Key == static_cast<char>(VK_ESCAPE)) {
    Key = 0;
    ModalResult = mrCancel;
  }
}

TFrmProvisoria *CriaTelaProvisoria(const std::string &nomeForm) {
  auto *form = new TFrmProvisoria(Application, nomeForm);
  Application->FormCreated(form);
  return form;
}

bool AbreTelaProvisoria(TForm *chamador, const char *nomeForm) {
  TFrmProvisoria *form = nullptr;
  return CriaExecutaFormCom([nomeForm] { return CriaTelaProvisoria(nomeForm); }, chamador, form);
}
