// The base screen of every form of the module: full screen, stay-on-top and borderless, with
// the title and message labels, the module's title and version, an audit line when the
// screen is created and destroyed, and the module-wide handler of unexpected errors.
#pragma once

#include <string>

#include "platform/Forms.h"

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
  // The flat grey panel of the buttons.
  TPanel *CriaPainelBotoes(const std::string &nome, int left, int top, int width, int height,
                           int tabOrder);
  // A button with its caption, shown.
  TBitBtn *CriaBotao(TWinControl *pai, const std::string &nome, const std::string &texto, int left,
                     int top, int tabOrder, int width = 120, int height = 25);
  // The standard pair under the capture panel: pnBotoes with "&1 - Confirma" (btConfirma)
  // and "&9 - Cancela" (btRetorna, or the name given).
  struct TBotoesConfirmaCancela {
    TPanel *pnBotoes;
    TBitBtn *btConfirma;
    TBitBtn *btCancela;
  };
  TBotoesConfirmaCancela CriaBotoesConfirmaCancela(const std::string &nomeCancela = "btRetorna",
                                                   int left = 111, int top = 330, int tabOrder = 2);
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
};
