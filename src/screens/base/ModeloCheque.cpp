#include "screens/base/ModeloCheque.h"

#include "host/Host.h"
#include "module/ChequeMain.h"
#include "platform/StrUtils.h"

namespace {

void FixaFonteArialNegrito(TControl *c, int tamanho, int cor) {
  c->Font.Name = "Arial";
  c->Font.Bold = true;
  c->Font.Size = tamanho;
  c->Font.Color = cor;
}

} // namespace

TFrmMod::TFrmMod(TComponent *AOwner) : TForm(AOwner) {
  Name = "FrmMod";
  BorderStyle = bsNone;
  FormStyle = fsStayOnTop;
  Position = poScreenCenter;
  Font.Name = "MS Sans Serif";
  Font.Size = 8;
  Width = 630;
  Height = 456;
  TopMostWindow = true;
  OwnerWindow = JANELA_AREA_DE_TRABALHO;

  ImgFundo = new TImage(this);
  ImgFundo->Name = "ImgFundo";
  ImgFundo->SetParent(this);
  ImgFundo->Left = 0;
  ImgFundo->Top = 0;
  ImgFundo->Width = Width;
  ImgFundo->Height = Height;

  lbTitulo = new TLabel(this);
  lbTitulo->Name = "lbTitulo";
  lbTitulo->SetParent(this);
  lbTitulo->Left = 40;
  lbTitulo->Top = 6;
  lbTitulo->Width = 361;
  lbTitulo->Height = 22;
  FixaFonteArialNegrito(lbTitulo, 8, COR_AZUL_ESCURO);
  lbTitulo->Transparent = true;
  lbTitulo->WordWrap = true;

  lbMensagem = new TLabel(this);
  lbMensagem->Name = "lbMensagem";
  lbMensagem->SetParent(this);
  lbMensagem->Left = 15;
  lbMensagem->Top = 404;
  lbMensagem->Width = 407;
  lbMensagem->Height = 19;
  FixaFonteArialNegrito(lbMensagem, 9, COR_AZUL_ESCURO);
  lbMensagem->Transparent = true;

  panelLogo = new TPanel(this);
  panelLogo->Name = "panelLogo";
  panelLogo->SetParent(this);
  panelLogo->Left = 496;
  panelLogo->Top = 373;
  panelLogo->Width = 70;
  panelLogo->Height = 45;
  panelLogo->Color = 0xC0C0C0; // grey
  panelLogo->ParentColor = false;
  panelLogo->BevelInner = bvNone;
  panelLogo->BevelOuter = bvNone;
  panelLogo->TabStop = false;

  ImageLogo = new TImage(this);
  ImageLogo->Name = "ImageLogo";
  ImageLogo->SetParent(panelLogo);
  ImageLogo->Left = 0;
  ImageLogo->Top = 0;
  ImageLogo->Width = panelLogo->Width;
  ImageLogo->Height = panelLogo->Height;
  ImageLogo->Stretch = true;

  lbVersao = new TLabel(this);
  lbVersao->Name = "lbVersao";
  lbVersao->SetParent(this);
  lbVersao->Left = 192;
  lbVersao->Top = 53;
  lbVersao->Width = 407;
  lbVersao->Height = 22;
  lbVersao->Alignment = taRightJustify;
  FixaFonteArialNegrito(lbVersao, 8, COR_AZUL_ESCURO);

  OnCreate = [this](TObject *Sender) { FormCreate(Sender); };
  OnShow = [this](TObject *Sender) { FormShow(Sender); };
  OnDestroy = [this](TObject *Sender) { FormDestroy(Sender); };
}

void TFrmMod::FormCreate(TObject *) {
  Height = 422;
  Width = 623;
  ImgFundo->Width = Width;
  ImgFundo->Height = Height;

  VERSAO_DO_MODULO = Host().GetBuildInfo(NomeArquivoModulo());
  const std::string titulo = Host().LeMensagens(1821) + VERSAO_DO_MODULO;
  lbVersao->SetCaption(titulo);
  StrLCopy(TITULO_APLICACAO, sizeof TITULO_APLICACAO, titulo);

  InstalaTratadorErros();
  ToolWindow = true;
  Host().GravaAudit(0, "Criou: " + Name);
}

void TFrmMod::FormShow(TObject *) {
  Host().ColocaJanelaEmPrimeiroPlano(Application->Handle);
  lbMensagem->SetCaption("");
  SelectFirst();
}

void TFrmMod::FormDestroy(TObject *) {
  Host().GravaAudit(0, "Destruiu: " + Name);
}

// The newest screen's handler is the one in force. The application forgets a handler when the
// screen that installed it is destroyed and brings back the one it had replaced, so an error
// never reaches a screen that no longer exists.
void TFrmMod::InstalaTratadorErros() {
  Application->SetExceptionHandler(
      this, [this](TObject *Sender, const Exception &E) { DataException(Sender, E); });
}

void TFrmMod::DataException(TObject *, const Exception &E) {
  if (E.Message() != TEditMask::InvalidInputMessage) return;
  TForm *ativa = Application->ActiveForm();
  TWinControl *controle = ativa ? ativa->ActiveControl() : ActiveControl();
  if (auto *mascara = dynamic_cast<TMaskEdit *>(controle)) mascara->Clear();
}

TPanel *TFrmMod::CriaPainelCaptura(const std::string &nome, int left, int top, int width,
                                   int height, int tabOrder) {
  TPanel *p = NewControl<TPanel>(this, this, nome, left, top, width, height);
  p->BevelInner = bvLowered;
  p->Color = COR_CINZA_CLARO;
  p->ParentColor = false;
  p->TabOrder = tabOrder;
  return p;
}

TPanel *TFrmMod::CriaPainelBotoes(const std::string &nome, int left, int top, int width, int height,
                                  int tabOrder) {
  TPanel *p = NewControl<TPanel>(this, this, nome, left, top, width, height);
  p->BevelOuter = bvNone;
  p->Color = COR_CINZA_CLARO;
  p->ParentColor = false;
  p->TabOrder = tabOrder;
  return p;
}

TBitBtn *TFrmMod::CriaBotao(TWinControl *pai, const std::string &nome, const std::string &texto,
                            int left, int top, int tabOrder, int width, int height) {
  TBitBtn *b = NewControl<TBitBtn>(this, pai, nome, left, top, width, height);
  b->TabOrder = tabOrder;
  b->SetCaption(texto);
  b->SetVisible(true);
  return b;
}

TFrmMod::TBotoesConfirmaCancela TFrmMod::CriaBotoesConfirmaCancela(const std::string &nomeCancela,
                                                                   int left, int top,
                                                                   int tabOrder) {
  TBotoesConfirmaCancela b{};
  b.pnBotoes = CriaPainelBotoes("pnBotoes", left, top, 400, 40, tabOrder);
  b.btConfirma = CriaBotao(b.pnBotoes, "btConfirma", "&1 - Confirma", 31, 4, 0);
  b.btCancela = CriaBotao(b.pnBotoes, nomeCancela, "&9 - Cancela", 248, 4, 1);
  return b;
}

TLabel *TFrmMod::CriaRotulo(TWinControl *pai, const std::string &nome, int left, int top, int width,
                            int height, const std::string &texto) {
  TLabel *l = NewControl<TLabel>(this, pai, nome, left, top, width, height);
  if (!texto.empty()) l->SetCaption(texto);
  return l;
}
