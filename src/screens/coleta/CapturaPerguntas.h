// The questions screen: the network's questions that the operator answers on
// the keyboard, up to ten, one labelled edit per question in the order of the
// question table.
#pragma once

#include "screens/base/ModeloCheque.h"

class TFrmCap_Perg : public TFrmMod {
public:
  static constexpr int kSlots = 10;

  explicit TFrmCap_Perg(TComponent *AOwner);

  void IniciaCamposForm();
  bool ValidaCamposForm();
  bool GravaRespostasPerguntas();

  TPanel *pnCaptura = nullptr;
  TLabel *lbPergunta[kSlots] = {};
  TEdit *edPergunta[kSlots] = {};
  TPanel *pnBotoes = nullptr;
  TBitBtn *btConfirma = nullptr;
  TBitBtn *btRetorna = nullptr;

protected:
  void FormCreate(TObject *Sender) override;
  void FormShow(TObject *Sender) override;
  void FormKeyPress(TObject *Sender, char &Key);
  void edPerguntaEnter(int slot);
  void btConfirmaClick(TObject *Sender);
  void btRetornaClick(TObject *Sender);
  void btConfirmaEnter(TObject *Sender);
  void btRetornaEnter(TObject *Sender);

private:
  // The label and the edit of slot k (1 to 10), found by name.
  TLabel *Rotulo(int k) const;
  TEdit *Resposta(int k) const;
};
