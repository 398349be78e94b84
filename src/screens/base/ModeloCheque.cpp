#include "screens/base/ModeloCheque.h"

#include <type_traits>

#include "host/Host.h"
#include "module/ChequeMain.h"
#include "platform/text/StrUtils.h"

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

  ImgFundo = NewControl<TImage>(this, this, "ImgFundo", 0, 0, Width, Height);
  lbTitulo = CriaRotulo(this, "lbTitulo", 40, 6, 361, 22);
  FonteArialNegrito(lbTitulo, 8, COR_AZUL_ESCURO);
  lbTitulo->Transparent = true;
  lbTitulo->WordWrap = true;
  lbMensagem = CriaRotulo(this, "lbMensagem", 15, 404, 407, 19);
  FonteArialNegrito(lbMensagem, 9, COR_AZUL_ESCURO);
  lbMensagem->Transparent = true;

  panelLogo = NewControl<TPanel>(this, this, "panelLogo", 496, 373, 70, 45);
  panelLogo->Color = 0xC0C0C0; // grey
  panelLogo->ParentColor = false;
  panelLogo->BevelInner = bvNone;
  panelLogo->BevelOuter = bvNone;
  panelLogo->TabStop = false;
  ImageLogo =
      NewControl<TImage>(this, panelLogo, "ImageLogo", 0, 0, panelLogo->Width, panelLogo->Height);
  ImageLogo->Stretch = true;

  lbVersao = CriaRotulo(this, "lbVersao", 192, 53, 407, 22);
  lbVersao->Alignment = taRightJustify;
  FonteArialNegrito(lbVersao, 8, COR_AZUL_ESCURO);

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

TPanel *TFrmMod::CriaPainel(TWinControl *pai, const std::string &nome, int left, int top, int width,
                            int height, int tabOrder) {
  TPanel *p = NewControl<TPanel>(this, pai, nome, left, top, width, height);
  p->BevelOuter = bvNone;
  p->TabOrder = tabOrder;
  return p;
}

TPanel *TFrmMod::CriaPainelBotoes(const std::string &nome, int left, int top, int width, int height,
                                  int tabOrder) {
  TPanel *p = CriaPainel(this, nome, left, top, width, height, tabOrder);
  p->Color = COR_CINZA_CLARO;
  p->ParentColor = false;
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

TFrmMod::TBotoes TFrmMod::CriaBotoes(const std::string &nomeSegue, const std::string &textoSegue,
                                     const std::string &nomeVolta, const std::string &textoVolta,
                                     int top) {
  TPanel *painel = CriaPainelBotoes("pnBotoes", 111, top, 400, 40, 2);
  return {painel, CriaBotao(painel, nomeSegue, textoSegue, 31, 4, 0),
          CriaBotao(painel, nomeVolta, textoVolta, 248, 4, 1)};
}

TFrmMod::TBotoes TFrmMod::CriaBotoesConfirmaCancela(int top) {
  return CriaBotoes("btConfirma", "&1 - Confirma", "btRetorna", "&9 - Cancela", top);
}

TLabel *TFrmMod::CriaRotulo(TWinControl *pai, const std::string &nome, int left, int top, int width,
                            int height, const std::string &texto) {
  TLabel *l = NewControl<TLabel>(this, pai, nome, left, top, width, height);
  if (!texto.empty()) l->SetCaption(texto);
  return l;
}

void TFrmMod::CriaCampos(TWinControl *pai, std::span<const TCampo> campos) {
  for (const TCampo &c : campos) {
    const std::string nome = c.nome;
    *c.rotulo = CriaRotulo(pai, "lb" + nome, c.leftRotulo, c.top + 4, c.larguraRotulo, 15, c.texto);
    std::visit(
        [&](auto **edit) {
          using E = std::remove_pointer_t<std::remove_reference_t<decltype(*edit)>>;
          *edit =
              CriaEdit<E>(pai, "ed" + nome, c.left, c.top, c.largura, 24, c.tabOrder, c.maxLength);
        },
        c.edit);
  }
}

void TFrmMod::FonteArialNegrito(TControl *c, int tamanho, int cor) {
  c->Font.Name = "Arial";
  c->Font.Bold = true;
  c->Font.Size = tamanho;
  c->Font.Color = cor;
}

void FiltraTeclaValor(const std::string &texto, char &Key) {
  const bool digito = Key >= '0' && Key <= '9';
  if (!digito && Key != VK_BACK && Key != VK_RETURN && Key != ',' && Key != '.') {
    Key = 0;
    return;
  }
  if (Key == ',' || Key == '.') {
    Key = DecimalSeparator;
    if (texto.find(DecimalSeparator) != std::string::npos) Key = 0;
  }
}
