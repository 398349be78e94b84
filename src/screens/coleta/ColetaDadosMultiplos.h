// The common part of the two several-cheques grids: the operator types, row by row, what
// differs from cheque to cheque of one account (the cheque number or CMC-7 line, the amount and
// the date); every row is checked, the amounts must add up to the transaction amount (field
// 1003), and on confirmation one value per cheque goes into multi-valued fields (index =
// cheque number from 0). The number of cheques comes from field 10101.
//
// Both grids have the amount in column 2 and the date in column 3; what differs (the first
// editable column, the masks, the fields written, how many grids) stays in each screen.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "screens/base/ModeloCheque.h"

class TFrmMult_Mod : public TFrmMod {
public:
  static constexpr int MAX_CHEQUES = 26;
  static constexpr int LINHAS_POR_GRADE = 13;
  static constexpr int COLUNA_VALOR = 2;
  static constexpr int COLUNA_DATA = 3;
  static constexpr int NUM_COLUNAS = 4;

  explicit TFrmMult_Mod(TComponent *AOwner);

  TPanel *pnCaptura = nullptr;
  TLabel *lbDescricaoChq1 = nullptr;
  TStringGrid *sg_dadoschq_1 = nullptr;
  TPanel *pnBotoes = nullptr;
  TBitBtn *btConfirma = nullptr;
  TBitBtn *btRetorna = nullptr;

  // Checks one row of a grid: every data cell filled and a real date. On failure the operator
  // is told, the cursor is put where the correction goes and the result is false.
  bool VerificaLista(TStringGrid *grade, int linha);
  // The amounts of all rows add up to field 1003 (or, without it, to ValorDigitado).
  bool VerificaValoresCheques();
  // Key filter of the amount cells: digits, Backspace, Enter and one decimal separator.
  static void OnlyNumber(const std::string &texto, char &Key);

  // Number of cheques in field 10101 (0 when not a number).
  static int LeQuantidadeCheques();

  // The amount typed on the screen that opened the grid, as shown there. The cheques must
  // add up to it when the point of sale gave no amount (field 1003 empty).
  std::string ValorDigitado;

protected:
  // The first column the operator types in (the CMC-7 grid shows row numbers in column 0).
  int PrimeiraColunaEditavel = 0;

  // Grids in use, in cheque order: cheque i is row i of the first, row i-13 of the second.
  virtual std::vector<TStringGrid *> GradesEmUso() const;
  // Edit mask of a column ("" for none).
  virtual std::string MascaraColuna(int coluna) const = 0;
  // The fields of one cheque in writing order: (field id, grid column).
  virtual std::vector<std::pair<int, int>> CamposPorCheque() const = 0;
  // After the date of the last row of `grade` passed its check.
  virtual void FimDaGrade(TStringGrid *grade);

  // A grid of 13 rows and the four columns, tab order 0 in its panel.
  TStringGrid *CriaGrade(TWinControl *pai, const std::string &nome, int left, int top);
  void FormCreate(TObject *Sender) override;

  void GradeEnter(TStringGrid *grade);
  void GradeKeyPress(TStringGrid *grade, char &Key);
  void GradeGetEditMask(TObject *Sender, int ACol, int ARow, std::string &Value);
  void btConfirmaClick(TObject *Sender);
  void btRetornaClick(TObject *Sender);
  void btConfirmaEnter(TObject *Sender);
  void btRetornaEnter(TObject *Sender);

private:
  using TCheque = std::array<std::string, NUM_COLUNAS>;
  std::array<TCheque, MAX_CHEQUES> fCheques{};

  void PosicionaCursor(TStringGrid *grade, int linha, int coluna);
  void MostraErro(const std::string &texto, const std::string &titulo);
  std::string TextoCelula(TStringGrid *grade, int coluna, int linha) const;
  // Keeps the rows of `grade` as cheques `primeiro` onward.
  void ColetaGrade(TStringGrid *grade, int primeiro);
  void MostraMensagem(int id);
};
