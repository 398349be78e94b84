#include "screens/coleta/ColetaDadosMultiplos.h"

#include <algorithm>

#include "host/Host.h"
#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"

namespace {

constexpr unsigned kFlagsErro = MB_OK | MB_ICONSTOP | MB_TOPMOST;

} // namespace

TFrmMult_Mod::TFrmMult_Mod(TComponent *AOwner) : TFrmMod(AOwner) {
  Name = "FrmMult_Mod";

  pnCaptura = CriaPainelCaptura("pnCaptura", 24, 90, 580, 260, 1);
  lbDescricaoChq1 = CriaRotulo(pnCaptura, "lbDescricaoChq1", 40, 8, 260, 16);
  sg_dadoschq_1 = CriaGrade(pnCaptura, "sg_dadoschq_1", 40, 26);
  std::tie(pnBotoes, btConfirma, btRetorna) =
      CriaBotoesConfirmaCancela(356); // above lbMensagem (top 404)

  sg_dadoschq_1->OnEnter = [this](TObject *) { GradeEnter(sg_dadoschq_1); };
  sg_dadoschq_1->OnKeyPress = [this](TObject *, char &Key) { GradeKeyPress(sg_dadoschq_1, Key); };
  LigaBotao(btConfirma, &TFrmMult_Mod::btConfirmaClick, &TFrmMult_Mod::btConfirmaEnter);
  LigaBotao(btRetorna, &TFrmMult_Mod::btRetornaClick, &TFrmMult_Mod::btRetornaEnter);
}

TStringGrid *TFrmMult_Mod::CriaGrade(TWinControl *pai, const std::string &nome, int left, int top) {
  auto *g = NewControl<TStringGrid>(this, pai, nome, left, top, 320, 16 * LINHAS_POR_GRADE + 4);
  g->SetColCount(NUM_COLUNAS);
  g->FixedRows = 0;
  g->FixedCols = 0;
  g->SetRowCount(LINHAS_POR_GRADE);
  g->DefaultRowHeight = 16;
  // The grid keeps Tab: it moves from cell to cell, and the key-press handler drops the
  // character that follows.
  g->Options = goVertLine | goHorzLine | goEditing | goTabs;
  g->ScrollBars = false;
  g->TabOrder = 0;
  g->OnGetEditMask = [this](TObject *s, int c, int r, std::string &v) {
    GradeGetEditMask(s, c, r, v);
  };
  return g;
}

void TFrmMult_Mod::FormCreate(TObject *Sender) {
  TFrmMod::FormCreate(Sender);
  btConfirma->SetVisible(true);
  btRetorna->SetVisible(true);
}

int TFrmMult_Mod::LeQuantidadeCheques() {
  return StrToIntDef(Trim(Host().LeCampo(10101, 0)), 0);
}

std::vector<TStringGrid *> TFrmMult_Mod::GradesEmUso() const {
  return {sg_dadoschq_1};
}

void TFrmMult_Mod::FimDaGrade(TStringGrid *grade) {
  SelectNext(grade, true);
}

void TFrmMult_Mod::MostraMensagem(int id) {
  lbMensagem->SetVisible(true);
  lbMensagem->SetCaption(Host().LeMensagens(id));
}

// ---- Grid events ------------------------------------------------------------------------------

void TFrmMult_Mod::GradeEnter(TStringGrid *grade) {
  grade->SetRow(0);
  grade->SetCol(PrimeiraColunaEditavel);
  MostraMensagem(1166);
  if (grade == sg_dadoschq_1) lbTitulo->SetCaption(Host().LeMensagens(456));
}

void TFrmMult_Mod::GradeGetEditMask(TObject *, int ACol, int, std::string &Value) {
  Value = MascaraColuna(ACol);
}

void TFrmMult_Mod::OnlyNumber(const std::string &texto, char &Key) {
  FiltraTeclaValor(texto, Key);
}

std::string TFrmMult_Mod::TextoCelula(TStringGrid *grade, int coluna, int linha) const {
  // A cell holds its text as typed so far (mask blanks as spaces), also while it is edited.
  return grade->Cell(coluna, linha);
}

void TFrmMult_Mod::GradeKeyPress(TStringGrid *grade, char &Key) {
  if (Key == VK_TAB) {
    Key = 0;
    return;
  }
  const int col = grade->Col();
  const int lin = grade->Row();
  if (col == COLUNA_VALOR) OnlyNumber(TextoCelula(grade, col, lin), Key);
  if (Key != VK_RETURN) return;
  Key = 0;

  if (col == COLUNA_VALOR) {
    const std::string valor = Trim(TextoCelula(grade, col, lin));
    if (!valor.empty()) grade->SetCell(col, lin, Host().Dollar(Host().RemoveFormato(valor)));
  }
  if (col != COLUNA_DATA) {
    grade->SetCol(col + 1);
    return;
  }
  if (!VerificaLista(grade, lin)) return;
  if (lin + 1 < grade->RowCount()) {
    grade->SetRow(lin + 1);
    grade->SetCol(PrimeiraColunaEditavel);
    return;
  }
  FimDaGrade(grade);
}

// ---- Checks -----------------------------------------------------------------------------------

void TFrmMult_Mod::MostraErro(const std::string &texto, const std::string &titulo) {
  Application->MessageBox(texto, titulo, kFlagsErro);
}

void TFrmMult_Mod::PosicionaCursor(TStringGrid *grade, int linha, int coluna) {
  if (grade->CanFocus()) grade->SetFocus();
  grade->SetRow(linha);
  grade->SetCol(coluna);
}

bool TFrmMult_Mod::VerificaLista(TStringGrid *grade, int linha) {
  const std::string numero = IntToStr(linha + 1);
  int preenchidas = 0, total = 0;
  for (int c = PrimeiraColunaEditavel; c < NUM_COLUNAS; ++c, ++total)
    if (!Trim(TextoCelula(grade, c, linha)).empty()) ++preenchidas;

  if (preenchidas == 0) {
    MostraErro(std::string("A linha dos dados do Cheque ") + numero +
                   CP1252(" não foi preenchida."),
               "Erro");
    PosicionaCursor(grade, linha, PrimeiraColunaEditavel);
    return false;
  }
  if (preenchidas < total) {
    MostraErro(std::string("A linha dos dados do Cheque ") + numero +
                   CP1252(" não foi preenchida corretamente.") + "\r\n" + "Preencha-a novamente.",
               "Erro");
    PosicionaCursor(grade, linha, PrimeiraColunaEditavel);
    return false;
  }
  TDate data;
  if (!TryStrToDate(Trim(TextoCelula(grade, COLUNA_DATA, linha)), data)) {
    MostraErro(CP1252("A data digitada é inválida."), CP1252("Erro - Data Inválida"));
    PosicionaCursor(grade, linha, COLUNA_DATA);
    return false;
  }
  return true;
}

bool TFrmMult_Mod::VerificaValoresCheques() {
  // Without an amount from the point of sale the request will carry the one the operator
  // typed, so that is the one the cheques must make up.
  std::string valor = Host().LeCampo(1003, 0);
  if (Trim(valor).empty()) valor = ValorDigitado;
  const int64_t total = StrToInt64Def(Host().RemoveFormato(valor), 0);
  int64_t soma = 0;
  for (TStringGrid *grade : GradesEmUso()) {
    for (int r = 0; r < grade->RowCount(); ++r) {
      const std::string digitos = Host().RemoveFormato(Trim(TextoCelula(grade, COLUNA_VALOR, r)));
      const int64_t valor = StrToInt64Def(digitos, -1);
      if (digitos.empty() || valor < 0) {
        // An amount that is not a number cannot be added up: the operator retypes that row.
        MostraErro(std::string("A linha dos dados do Cheque ") + IntToStr(r + 1) +
                       CP1252(" não foi preenchida corretamente.") + "\r\n" +
                       "Preencha-a novamente.",
                   "Erro");
        PosicionaCursor(grade, r, COLUNA_VALOR);
        return false;
      }
      soma += valor;
    }
  }
  if (soma == total) return true;
  Application->MessageBox(Host().LeMensagens(1182), "Erro", kFlagsErro);
  PosicionaCursor(sg_dadoschq_1, 0, PrimeiraColunaEditavel);
  return false;
}

// ---- Confirmation -----------------------------------------------------------------------------

void TFrmMult_Mod::ColetaGrade(TStringGrid *grade, int primeiro) {
  for (int r = 0; r < grade->RowCount() && primeiro + r < MAX_CHEQUES; ++r) {
    TCheque &cheque = fCheques[primeiro + r];
    for (int c = PrimeiraColunaEditavel; c < NUM_COLUNAS; ++c) {
      const std::string texto = Trim(TextoCelula(grade, c, r));
      if (texto.empty()) continue;
      if (c == COLUNA_VALOR) {
        cheque[c] = Host().RemoveFormato(texto);
      } else if (c == COLUNA_DATA) {
        TDate data;
        if (TryStrToDate(texto, data)) cheque[c] = FormatDate("ddmmyyyy", data);
      } else {
        cheque[c] = texto;
      }
    }
  }
}

void TFrmMult_Mod::btConfirmaClick(TObject *) {
  // Every row of every grid is checked before the amounts are added up, so that an amount
  // cell of the second grid left empty is reported as its row, not as a wrong total.
  const std::vector<TStringGrid *> grades = GradesEmUso();
  for (TStringGrid *grade : grades)
    for (int r = 0; r < grade->RowCount(); ++r)
      if (!VerificaLista(grade, r)) return;
  if (!VerificaValoresCheques()) return;

  fCheques = {};
  int primeiro = 0;
  for (TStringGrid *grade : grades) {
    ColetaGrade(grade, primeiro);
    primeiro += grade->RowCount();
  }

  const int n = std::min(LeQuantidadeCheques(), MAX_CHEQUES);
  const std::vector<std::pair<int, int>> campos = CamposPorCheque();
  for (int i = 0; i < n; ++i)
    for (const auto &[campo, coluna] : campos)
      Host().GravaCampoString(campo, i, fCheques[i][coluna]);
  ModalResult = mrOk;
}

void TFrmMult_Mod::btRetornaClick(TObject *) {
  ModalResult = mrCancel;
}

void TFrmMult_Mod::btConfirmaEnter(TObject *) {
  MostraMensagem(46);
}

void TFrmMult_Mod::btRetornaEnter(TObject *) {
  MostraMensagem(48);
}
