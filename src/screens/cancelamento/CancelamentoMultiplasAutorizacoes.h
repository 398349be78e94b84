// The authorisation numbers of a 7C guarantee that covered several cheques: one row per
// cheque (the number of rows comes from field 10101), 18 digits each. Confirmed, every row
// is filled and the numbers go into field 10163, one index per cheque; cancelled, nothing is
// written.
#pragma once

#include "screens/base/ModeloCheque.h"

class TFrmCncMultiAut : public TFrmMod {
public:
  static constexpr int MAX_AUTORIZACOES = 25;
  static constexpr int COLUNA_AUTORIZACAO = 1;

  explicit TFrmCncMultiAut(TComponent *AOwner);

  TPanel *pnCaptura = nullptr;
  TLabel *lbDescricaoChq1 = nullptr;
  TStringGrid *sg_dadoschq_1 = nullptr;
  TPanel *pnBotoes = nullptr;
  TBitBtn *btConfirma = nullptr;
  TBitBtn *btRetorna = nullptr;

  // The row has its authorisation number; if not, the operator is told and put on it.
  bool VerificaLista(TStringGrid *grade, int linha);

protected:
  void FormCreate(TObject *Sender) override;
  void sg_dadoschq_1Enter(TObject *Sender);
  void sg_dadoschq_1KeyPress(TObject *Sender, char &Key);
  void btConfirmaClick(TObject *Sender);
};

extern TFrmCncMultiAut *FrmCncMultiAut;
