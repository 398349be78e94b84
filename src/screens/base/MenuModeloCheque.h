// The base menu: a column of eight option buttons and a close button. A menu with exactly one
// option chooses it by itself, a menu without options closes; the concrete menu builds its
// buttons in IniciaFormularioMenu and hides what it must in VerificaOpcoesHabilitadas.
#pragma once

#include "screens/base/ModeloCheque.h"

class TFrmMnu_Mod : public TFrmMod {
public:
  static constexpr int NUM_OPCOES = 8;

  explicit TFrmMnu_Mod(TComponent *AOwner);

  TPanel *pnMenu = nullptr;
  TBitBtn *spOpcao1 = nullptr, *spOpcao2 = nullptr, *spOpcao3 = nullptr, *spOpcao4 = nullptr,
          *spOpcao5 = nullptr, *spOpcao6 = nullptr, *spOpcao7 = nullptr, *spOpcao8 = nullptr;
  TBitBtn *spEncerra = nullptr;
  TTimer *TClique = nullptr;

  // Option button n (1 to 8).
  TBitBtn *Opcao(int n) const;

  // Virtual operations, in slot order.
  virtual void IniciaFormularioMenu() = 0;
  virtual void VerificaOpcoesHabilitadas() = 0;

  // Counts the options that can be chosen; one is chosen 10 ms later, none closes the menu.
  void VerificaSomente1Opcao();

  // Set while the menu is still settling a choice, before the screen of the choice opens.
  // The screens it shows on the way (a selection, another menu) hand the activation back to
  // it when they close; that must neither rebuild it (what the choice settled would be reset)
  // nor count its options again (a single option would be chosen a second time).
  bool EscolhaEmAndamento = false;

protected:
  void FormShow(TObject *Sender) override;
  virtual void FormActivate(TObject *Sender);
  void spEncerraClick(TObject *Sender);
  void TCliqueTimer(TObject *Sender);

  // Sets the width of the panel and of the nine buttons.
  void AjustaLarguraMenu(int painel, int botoes);
};
