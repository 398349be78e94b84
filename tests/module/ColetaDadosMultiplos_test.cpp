// The several-cheques grids: their size, the row and amount checks, and the fields written
// per cheque.
#include <sstream>

#include "ModuloTeste.h"
#include "screens/cancelamento/CancelamentoMultiplasAutorizacoes.h"
#include "screens/coleta/ColetaDadosMultiplosCMC7.h"
#include "screens/coleta/ColetaDadosMultiplosCheques.h"

namespace {

class GradesTest : public ModuloTeste {
protected:
  // Rows from "number;C3;amount;date" texts (the CMC-7 grid: "line;amount;date").
  static void Linhas(TStringGrid *g, const std::vector<std::string> &linhas) {
    for (size_t r = 0; r < linhas.size(); ++r) {
      std::stringstream ss(linhas[r]);
      int c = g->FixedCols;
      for (std::string celula; std::getline(ss, celula, ';'); ++c) g->SetCell(c, int(r), celula);
    }
  }
  template <class T> T *Grade(int n, const std::string &total) {
    host.Set(10101, 0, std::to_string(n));
    host.Set(1003, 0, total);
    return Application->CreateForm<T>();
  }
};

TEST_F(GradesTest, TamanhoDasGradesPelaQuantidade) {
  // Rows of the typed grids (the second one shown past 13 cheques), of the CMC-7 grid and of the
  // authorisation numbers: a count that is not a number gives one row, never more than the grids
  // hold.
  struct Caso {
    const char *n;
    int linhas1;
    bool segunda;
    int linhas2, cmc7, autorizacoes;
  } casos[] = {
      {"14", 13, true, 1, 14, 14}, {"x", 13, true, 13, 1, 1}, {"40", 13, true, 13, 26, 25}};
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.n);
    host.Set(10101, 0, c.n);
    auto *f = Application->CreateForm<TFrmMult_Chq>();
    EXPECT_EQ(f->sg_dadoschq_1->RowCount(), c.linhas1);
    EXPECT_EQ(f->pnDadosChq2->Visible(), c.segunda);
    EXPECT_EQ(f->sg_dadoschq_2->RowCount(), c.linhas2);
    f->Free();
    auto *g = Application->CreateForm<TFrmMult_CMC7>();
    EXPECT_EQ(g->sg_dadoschq_1->RowCount(), c.cmc7);
    g->Free();
    auto *a = Application->CreateForm<TFrmCncMultiAut>();
    EXPECT_EQ(a->sg_dadoschq_1->RowCount(), c.autorizacoes);
    a->Free();
  }
}

TEST_F(GradesTest, ChequesDigitadosNasDuasGradesGravamUmValorPorCheque) {
  auto *f = Grade<TFrmMult_Chq>(14, "285,00");
  Linhas(f->sg_dadoschq_1, std::vector<std::string>(11, "000010;1;10,00;01/02/2024"));
  // The 13th row's Enter leaves the first grid for the second.
  const TScriptRun r = RunScript(f, "expect-focus sg_dadoschq_1\ncell sg_dadoschq_1 0 11\n"
                                    "type 000101\nkey Enter\ntype 1\nkey Enter\n"
                                    "type 10000\nkey Enter\ntype 05032024\nkey Enter\n"
                                    "type 000102\nkey Enter\ntype 2\nkey Enter\n"
                                    "type 50,5\ntype ,\ntype .\ntype 0\nkey Enter\n"
                                    "type 06032024\nkey Enter\nexpect-focus sg_dadoschq_2\n"
                                    // Tab moves to the next cell like Enter.
                                    "type 000103\nkey Tab\ntype 3\nkey Tab\n"
                                    "type 24.50\nkey Enter\ntype 07032024\nkey Enter\n"
                                    "expect-focus btConfirma\nkey Enter\n");
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(r.result, mrOk);
  // Amounts are shown formatted once typed; the fields get their digits.
  EXPECT_EQ(f->sg_dadoschq_1->Cell(2, 12), "50,50");
  // The last filled row, then the three typed ones.
  const char *esperados[4][4] = {{"000010", "1", "1000", "01022024"},
                                 {"000101", "1", "10000", "05032024"},
                                 {"000102", "2", "5050", "06032024"},
                                 {"000103", "3", "2450", "07032024"}};
  for (int i = 0; i < 4; ++i)
    for (int k = 0; k < 4; ++k) EXPECT_EQ(Campo(10163 + k, 10 + i), esperados[i][k]);
  EXPECT_FALSE(host.Has(10163, 14));
  f->Free();
}

TEST_F(GradesTest, ConferenciaDasLinhasEDosValores) {
  const std::string naoPreenchida = "A linha dos dados do Cheque %s não foi preenchida.";
  const std::string incorreta =
      "A linha dos dados do Cheque %s não foi preenchida corretamente.\r\nPreencha-a novamente.";
  auto com = [](std::string modelo, const char *n) {
    return modelo.replace(modelo.find("%s"), 2, n);
  };
  const std::vector<std::string> treze(13, "000001;1;100,00;01/02/2024");
  struct Caso {
    bool cmc7;
    int n;
    std::string total;
    std::vector<std::string> linhas1, linhas2;
    std::string texto, titulo; // UTF-8
    const char *grade;
    int linha, coluna;
  } casos[] = {
      // clang-format off
      {false, 2, "100,00", {"000001;1;100,00;01/02/2024"}, {}, com(naoPreenchida, "2"), "Erro", "sg_dadoschq_1", 1, 0},
      {false, 1, "100,00", {";;100,00"}, {}, com(incorreta, "1"), "Erro", "sg_dadoschq_1", 0, 0},
      {false, 1, "100,00", {"000001;1;100,00;31/02/2024"}, {}, "A data digitada é inválida.", "Erro - Data Inválida", "sg_dadoschq_1", 0, 3},
      {false, 14, "1400,00", treze, {}, com(naoPreenchida, "1"), "Erro", "sg_dadoschq_2", 0, 0},
      {false, 14, "1400,00", treze, {"000014;4;,;01/02/2024"}, com(incorreta, "1"), "Erro", "sg_dadoschq_2", 0, 2},
      {true, 2, "100,00", {std::string(30, '1') + ";50,00;01/02/2024", std::string(30, '2') + ";50,00"}, {}, com(incorreta, "2"), "Erro", "sg_dadoschq_1", 1, 1},
      // clang-format on
  };
  for (const auto &c : casos) {
    SCOPED_TRACE(c.texto);
    host.Store().clear();
    TFrmMult_Mod *f = c.cmc7 ? static_cast<TFrmMult_Mod *>(Grade<TFrmMult_CMC7>(c.n, c.total))
                             : Grade<TFrmMult_Chq>(c.n, c.total);
    Linhas(f->sg_dadoschq_1, c.linhas1);
    if (!c.linhas2.empty()) Linhas(static_cast<TFrmMult_Chq *>(f)->sg_dadoschq_2, c.linhas2);
    const TScriptRun r = RunScript(f, std::string("click btConfirma\nok\nexpect-focus ") + c.grade +
                                          "\nclick btRetorna\n");
    ASSERT_EQ(r.error, "") << r.screen;
    EXPECT_EQ(r.result, mrCancel);
    const auto caixas = r.Events("msgbox");
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].value("text", ""), c.texto);
    EXPECT_EQ(caixas[0].value("caption", ""), c.titulo);
    auto *g = dynamic_cast<TStringGrid *>(f->FindComponent(c.grade));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->Row(), c.linha);
    EXPECT_EQ(g->Col(), c.coluna);
    EXPECT_FALSE(host.Has(10165, 0)); // nothing written
    f->Free();
  }
}

TEST_F(GradesTest, Cmc7GravaValorDataELinhaOuNadaQuandoCancelada) {
  auto *f = Grade<TFrmMult_CMC7>(1, "100");
  TScriptRun r = RunScript(f, "type 123456789012345678901234567890\nkey Enter\n"
                              "type 100\nkey Enter\nclick btRetorna\n");
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(r.result, mrCancel);
  EXPECT_EQ(host.CountOf("GravaCampoString"), 0);
  f->Free();

  f = Grade<TFrmMult_CMC7>(2, "300");
  Linhas(f->sg_dadoschq_1, {" " + std::string(30, '1') + ";1,00;05/03/2024",
                            std::string(30, '2') + ";2,00;06/03/2024"});
  r = RunScript(f, "click btConfirma\n");
  ASSERT_EQ(r.error, "") << r.screen;
  // The line trimmed; amount, date and line per cheque and nothing of the typed grid.
  EXPECT_EQ(Campo(10167, 0) + "|" + Campo(10165, 0) + "|" + Campo(10166, 0),
            std::string(30, '1') + "|100|05032024");
  EXPECT_EQ(Campo(10167, 1), std::string(30, '2'));
  EXPECT_EQ(host.CountOf("GravaCampoString"), 6);
  f->Free();
}

} // namespace
