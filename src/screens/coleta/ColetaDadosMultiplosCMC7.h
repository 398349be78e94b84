// Several cheques of one account read as CMC-7 lines: per cheque the whole line, its amount and
// its date, in one grid whose fixed first column numbers the rows. Written into fields 10165
// (amount), 10166 (date) and 10167 (CMC-7 line), index = cheque from 0.
#pragma once

#include "screens/coleta/ColetaDadosMultiplos.h"

class TFrmMult_CMC7 : public TFrmMult_Mod {
public:
  explicit TFrmMult_CMC7(TComponent *AOwner);

protected:
  void FormCreate(TObject *Sender) override;
  std::string MascaraColuna(int coluna) const override;
  std::vector<std::pair<int, int>> CamposPorCheque() const override;
};

// The live screen, or null (the consultation screen creates it when it is null).
extern TFrmMult_CMC7 *FrmMult_CMC7;
