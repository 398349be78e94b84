// Several typed cheques of one account: per cheque its number, its third check digit C3, its
// amount and its date, in two grids of 13 rows (cheques 1 to 13 and 14 to 26). Written into
// fields 10163 (number), 10164 (C3), 10165 (amount) and 10166 (date), index = cheque from 0.
#pragma once

#include <initializer_list>

#include "screens/coleta/ColetaDadosMultiplos.h"

class TFrmMult_Chq : public TFrmMult_Mod {
public:
  explicit TFrmMult_Chq(TComponent *AOwner);

  TLabel *lb1 = nullptr, *lb2 = nullptr, *lb3 = nullptr, *lb4 = nullptr, *lb5 = nullptr,
         *lb6 = nullptr, *lb7 = nullptr, *lb8 = nullptr, *lb9 = nullptr, *lb10 = nullptr,
         *lb11 = nullptr, *lb12 = nullptr, *lb13 = nullptr;
  TPanel *pnDadosChq2 = nullptr;
  TLabel *lbDescricaoChq2 = nullptr;
  TLabel *lb14 = nullptr, *lb15 = nullptr, *lb16 = nullptr, *lb17 = nullptr, *lb18 = nullptr,
         *lb19 = nullptr, *lb20 = nullptr, *lb21 = nullptr, *lb22 = nullptr, *lb23 = nullptr,
         *lb24 = nullptr, *lb25 = nullptr, *lb26 = nullptr;
  TStringGrid *sg_dadoschq_2 = nullptr;

protected:
  void FormCreate(TObject *Sender) override;
  std::vector<TStringGrid *> GradesEmUso() const override;
  std::string MascaraColuna(int coluna) const override;
  std::vector<std::pair<int, int>> CamposPorCheque() const override;
  void FimDaGrade(TStringGrid *grade) override;

private:
  // The row numbers beside a grid: one right-aligned label per row, "primeiro" onward.
  void CriaNumeros(TWinControl *pai, int primeiro, int top,
                   std::initializer_list<TLabel **> rotulos);
};

// The live screen, or null (the consultation screen creates it when it is null).
extern TFrmMult_Chq *FrmMult_Chq;
