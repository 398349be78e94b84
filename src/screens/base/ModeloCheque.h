// The base screen of every form of the module: full screen, stay-on-top and borderless, with
// the title and message labels, the module's title and version, an audit line when the
// screen is created and destroyed, and the module-wide handler of unexpected errors.
#pragma once

#include <span>
#include <string>
#include <tuple>
#include <variant>

#include "platform/forms/Forms.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Panels.h"
#include "platform/forms/StdCtrls.h"

// Colours of the screens (0x00BBGGRR).
constexpr int COR_AZUL_ESCURO = 8650752;  // titles and messages
constexpr int COR_MARINHO = 0x800000;     // menu buttons
constexpr int COR_CINZA_CLARO = 14671839; // panels

// The window the screens say they belong to: the desktop, not the host, so that they stay
// above whatever the host shows. The form layer has no desktop of its own; this handle
// stands for it.
constexpr uintptr_t JANELA_AREA_DE_TRABALHO = 0x10010;

class TFrmMod : public TForm {
public:
  explicit TFrmMod(TComponent *AOwner);

  TImage *ImgFundo = nullptr;
  TLabel *lbTitulo = nullptr;
  TLabel *lbMensagem = nullptr;
  TPanel *panelLogo = nullptr;
  TImage *ImageLogo = nullptr;
  TLabel *lbVersao = nullptr;

  // Unhandled errors of the module's screens: a masked edit whose mask refused its text is
  // cleared; everything else is dropped without a word.
  void DataException(TObject *Sender, const Exception &E);

protected:
  // Bound to OnCreate / OnShow / OnDestroy. A screen that needs more overrides them and calls
  // the base first.
  virtual void FormCreate(TObject *Sender);
  virtual void FormShow(TObject *Sender);
  virtual void FormDestroy(TObject *Sender);

  // Makes this screen's DataException the application's handler of unhandled errors.
  void InstalaTratadorErros();

  // Builders of the parts that screens share, so that a constructor reads like its layout
  // table. Every control is owned by this form; `pai` is its parent.
  //
  // The grey, lowered panel that holds a screen's fields.
  TPanel *CriaPainelCaptura(const std::string &nome, int left, int top, int width, int height,
                            int tabOrder);
  // A flat panel without bevel that groups controls inside another one.
  TPanel *CriaPainel(TWinControl *pai, const std::string &nome, int left, int top, int width,
                     int height, int tabOrder);
  // The flat grey panel of the buttons.
  TPanel *CriaPainelBotoes(const std::string &nome, int left, int top, int width, int height,
                           int tabOrder);
  // A button with its caption, shown.
  TBitBtn *CriaBotao(TWinControl *pai, const std::string &nome, const std::string &texto, int left,
                     int top, int tabOrder, int width = 120, int height = 25);
  // The pair of buttons under the capture panel, in their grey panel pnBotoes: the one that
  // goes on at the left, the one that goes back at the right. Meant for
  // `std::tie(pnBotoes, btConfirma, btRetorna) = ...`.
  using TBotoes = std::tuple<TPanel *, TBitBtn *, TBitBtn *>;
  TBotoes CriaBotoes(const std::string &nomeSegue, const std::string &textoSegue,
                     const std::string &nomeVolta, const std::string &textoVolta, int top = 330);
  // The usual pair: "&1 - Confirma" (btConfirma) and "&9 - Cancela" (btRetorna).
  TBotoes CriaBotoesConfirmaCancela(int top = 330);
  TLabel *CriaRotulo(TWinControl *pai, const std::string &nome, int left, int top, int width,
                     int height, const std::string &texto = {});
  // An edit (TEdit, TMaskEdit) with its tab order and, when not 0, its maximum length.
  template <class E>
  E *CriaEdit(TWinControl *pai, const std::string &nome, int left, int top, int width, int height,
              int tabOrder, int maxLength = 0) {
    E *e = NewControl<E>(this, pai, nome, left, top, width, height);
    e->TabOrder = tabOrder;
    if (maxLength) e->MaxLength = maxLength;
    return e;
  }
  // A row of a layout table: an edit (TEdit or TMaskEdit) and the label that names it, named
  // "lb" and "ed" followed by `nome`. The label's text sits 4 pixels below the edit's top so
  // that both read on one line; labels are 15 high, edits 24.
  struct TCampo {
    TLabel **rotulo;
    std::variant<TEdit **, TMaskEdit **> edit;
    const char *nome;
    int leftRotulo, larguraRotulo;
    int left, top, largura, tabOrder;
    int maxLength = 0;
    const char *texto = ""; // the label's text, when it is not read from the messages later
  };
  // Builds the rows in order, the label of each before its edit.
  void CriaCampos(TWinControl *pai, std::span<const TCampo> campos);
  // The bold Arial of titles, messages and menu buttons.
  static void FonteArialNegrito(TControl *c, int tamanho, int cor);
  // Binds a button's click and, when given, its entry to handlers of this screen (F is the
  // screen's class or one of its bases).
  template <class F>
  void LigaBotao(TBitBtn *b, void (F::*clique)(TObject *),
                 void (F::*entrada)(TObject *) = nullptr) {
    F *f = static_cast<F *>(this);
    b->OnClick = [f, clique](TObject *s) { (f->*clique)(s); };
    if (entrada) b->OnEnter = [f, entrada](TObject *s) { (f->*entrada)(s); };
  }
};

// The key filter of an amount typed as text: digits, backspace and Enter pass; ',' and '.' become
// the decimal separator, once per amount (`texto` is what is typed so far); the rest is dropped.
void FiltraTeclaValor(const std::string &texto, char &Key);
