#include "screens/coleta/ColetaDadosMultiplosCMC7.h"

#include <algorithm>

#include "module/ChequeMain.h"
#include "platform/text/StrUtils.h"

TFrmMult_CMC7 *FrmMult_CMC7 = nullptr;

static TEsqueceForm<TFrmMult_CMC7, FrmMult_CMC7> registro;

TFrmMult_CMC7::TFrmMult_CMC7(TComponent *AOwner) : TFrmMult_Mod(AOwner) {
  Name = "FrmMult_CMC7";
  SetCaption("FrmMult_CMC7");
  PrimeiraColunaEditavel = 1;
  lbDescricaoChq1->SetCaption(
      "N.                       CMC-7                           Valor          Data Chq");
  sg_dadoschq_1->FixedCols = 1;
  sg_dadoschq_1->ScrollBars = true;
  sg_dadoschq_1->Width = 430;
}

void TFrmMult_CMC7::FormCreate(TObject *Sender) {
  TFrmMult_Mod::FormCreate(Sender);
  sg_dadoschq_1->ColWidths[0] = 28;
  sg_dadoschq_1->ColWidths[1] = 196;
  sg_dadoschq_1->ColWidths[2] = 96;
  // The grid has one row per cheque; a count outside 1 to 26 still gives at least one row
  // and never more than the 26 cheques that can be sent.
  const int n = std::clamp(LeQuantidadeCheques(), 1, MAX_CHEQUES);
  sg_dadoschq_1->SetRowCount(n);
  for (int r = 0; r < n; ++r) sg_dadoschq_1->SetCell(0, r, IntToStr(r + 1));
}

std::string TFrmMult_CMC7::MascaraColuna(int coluna) const {
  switch (coluna) {
  case 1:
    return "000000000000000000000000000000;1;_";
  case COLUNA_VALOR:
    return "CCCCCCCCCCCC;1;_";
  case COLUNA_DATA:
    return "00/00/0000;1;_";
  default:
    return "";
  }
}

std::vector<std::pair<int, int>> TFrmMult_CMC7::CamposPorCheque() const {
  return {{10165, COLUNA_VALOR}, {10166, COLUNA_DATA}, {10167, 1}};
}
