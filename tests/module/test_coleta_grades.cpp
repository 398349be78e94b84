// The several-cheques grids: their size, the row and amount checks, and the fields written
// per cheque.
#include "ModuloTeste.h"

#include "platform/Cp1252.h"
#include "platform/StrUtils.h"
#include "screens/coleta/ColetaDadosMultiplosCMC7.h"
#include "screens/coleta/ColetaDadosMultiplosCheques.h"

namespace {

class GradesTest : public ModuloTeste {
protected:
  void Quantidade(int n, const std::string &total) {
    host.Set(10101, 0, std::to_string(n));
    host.Set(1003, 0, total);
  }
  // Fills a row of a typed-cheque grid: number, C3, amount (as shown), date.
  static void Linha(TStringGrid *g, int r, const std::string &numero, const std::string &c3,
                    const std::string &valor, const std::string &data) {
    g->SetCell(0, r, numero);
    g->SetCell(1, r, c3);
    g->SetCell(2, r, valor);
    g->SetCell(3, r, data);
  }
  static std::string Utf8(const char *cp1252) { return Cp1252ToUtf8(cp1252); }
};

TEST_F(GradesTest, TamanhoDasGradesPelaQuantidade) {
  struct Caso {
    const char *n;
    int linhas1;
    bool segunda;
    int linhas2;
  } casos[] = {{"1", 1, false, 13},  {"13", 13, false, 13}, {"14", 13, true, 1},
               {"26", 13, true, 13}, {"0", 13, true, 13},   {"x", 13, true, 13},
               {"30", 13, true, 13}};
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.n);
    host.Set(10101, 0, c.n);
    auto *f = Application->CreateForm<TFrmMult_Chq>();
    EXPECT_EQ(f->sg_dadoschq_1->RowCount(), c.linhas1);
    EXPECT_EQ(f->pnDadosChq2->Visible(), c.segunda);
    EXPECT_EQ(f->sg_dadoschq_2->RowCount(), c.linhas2);
    EXPECT_EQ(f->sg_dadoschq_1->ColCount(), 4);
    EXPECT_EQ(f->sg_dadoschq_1->FixedCols, 0);
    EXPECT_EQ(f->sg_dadoschq_1->FixedRows, 0);
    EXPECT_EQ(f->sg_dadoschq_2->ColWidths[1], 32);
    EXPECT_EQ(f->sg_dadoschq_2->ColWidths[2], 96);
    EXPECT_EQ(f->lbDescricaoChq2->Caption(), "MSG 1167");
    EXPECT_TRUE(f->btConfirma->Visible() && f->btRetorna->Visible());
    const char *mascaras[] = {"000000;1;_", "0;1;_", "CCCCCCCCCCCC;1;_", "00/00/0000;1;_"};
    for (int col = 0; col < 4; ++col) {
      std::string m;
      f->sg_dadoschq_2->OnGetEditMask(f->sg_dadoschq_2, col, 0, m);
      EXPECT_EQ(m, mascaras[col]);
    }
    f->Free();
  }
  struct CasoCmc7 {
    const char *n;
    int linhas;
  } cmc7[] = {{"4", 4}, {"26", 26}, {"0", 1}, {"40", 26}};
  for (const CasoCmc7 &c : cmc7) {
    SCOPED_TRACE(c.n);
    host.Set(10101, 0, c.n);
    auto *f = Application->CreateForm<TFrmMult_CMC7>();
    EXPECT_EQ(f->sg_dadoschq_1->RowCount(), c.linhas);
    EXPECT_EQ(f->sg_dadoschq_1->FixedCols, 1);
    EXPECT_EQ(f->sg_dadoschq_1->Cell(0, c.linhas - 1), std::to_string(c.linhas));
    EXPECT_EQ(f->sg_dadoschq_1->ColWidths[1], 196);
    std::string m;
    f->sg_dadoschq_1->OnGetEditMask(f->sg_dadoschq_1, 1, 0, m);
    EXPECT_EQ(m, "000000000000000000000000000000;1;_");
    f->Free();
  }
}

TEST_F(GradesTest, DigitaTresChequesEGravaUmValorPorCheque) {
  Quantidade(3, "175,00");
  auto *f = Application->CreateForm<TFrmMult_Chq>();
  const TScriptRun r = RunScript(f, "expect-focus sg_dadoschq_1\n"
                                    "type 000101\nkey Enter\ntype 1\nkey Enter\n"
                                    "type 10000\nkey Enter\ntype 05032024\nkey Enter\n"
                                    "type 000102\nkey Enter\ntype 2\nkey Enter\n"
                                    "type 50,5\ntype ,\ntype .\ntype 0\nkey Enter\n"
                                    "type 06032024\nkey Enter\n"
                                    // Tab moves to the next cell like Enter.
                                    "type 000103\nkey Tab\ntype 3\nkey Tab\n"
                                    "type 24.50\nkey Enter\ntype 07032024\nkey Enter\n"
                                    "expect-focus btConfirma\nkey Enter\n");
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(r.result, mrOk);
  // Amounts are shown formatted once typed; the fields get their digits.
  EXPECT_EQ(f->sg_dadoschq_1->Cell(2, 1), "50,50");
  const char *esperados[3][4] = {{"000101", "1", "10000", "05032024"},
                                 {"000102", "2", "5050", "06032024"},
                                 {"000103", "3", "2450", "07032024"}};
  const int campos[4] = {10163, 10164, 10165, 10166};
  for (int i = 0; i < 3; ++i)
    for (int k = 0; k < 4; ++k) EXPECT_EQ(host.Get(campos[k], i), esperados[i][k]);
  EXPECT_FALSE(host.Has(10163, 3));
  EXPECT_EQ(f->lbMensagem->Caption(), "MSG 46");
  EXPECT_EQ(f->lbTitulo->Caption(), "MSG 456");
  f->Free();
}

struct CasoLinha {
  const char *nome;
  bool cmc7;
  int n;
  std::string total;
  std::function<void(TFrmMult_Mod *)> preenche;
  std::string texto, titulo; // UTF-8
  const char *grade;
  int linha, coluna;
};

TEST_F(GradesTest, ConferenciaDasLinhasEDosValores) {
  auto chq = [](TFrmMult_Mod *f) { return static_cast<TFrmMult_Chq *>(f); };
  const std::string naoPreenchida = "A linha dos dados do Cheque %s não foi preenchida.";
  const std::string incorreta =
      "A linha dos dados do Cheque %s não foi preenchida corretamente.\r\nPreencha-a novamente.";
  auto com = [](const std::string &modelo, const char *n) {
    std::string s = modelo;
    s.replace(s.find("%s"), 2, n);
    return s;
  };
  const CasoLinha casos[] = {
      {"segunda linha vazia", false, 2, "100,00",
       [&](TFrmMult_Mod *f) { Linha(f->sg_dadoschq_1, 0, "000001", "1", "100,00", "01/02/2024"); },
       com(naoPreenchida, "2"), "Erro", "sg_dadoschq_1", 1, 0},
      {"so o valor", false, 1, "100,00",
       [&](TFrmMult_Mod *f) { f->sg_dadoschq_1->SetCell(2, 0, "100,00"); }, com(incorreta, "1"),
       "Erro", "sg_dadoschq_1", 0, 0},
      {"31 de fevereiro", false, 1, "100,00",
       [&](TFrmMult_Mod *f) { Linha(f->sg_dadoschq_1, 0, "000001", "1", "100,00", "31/02/2024"); },
       "A data digitada é inválida.", "Erro - Data Inválida", "sg_dadoschq_1", 0, 3},
      {"soma 15000 contra 15001", false, 2, "150,01",
       [&](TFrmMult_Mod *f) {
         Linha(f->sg_dadoschq_1, 0, "000001", "1", "100,00", "01/02/2024");
         Linha(f->sg_dadoschq_1, 1, "000002", "2", "50,00", "02/02/2024");
       },
       "MSG 1182", "Erro", "sg_dadoschq_1", 0, 0},
      {"linha vazia na segunda grade", false, 14, "1400,00",
       [&](TFrmMult_Mod *f) {
         for (int r = 0; r < 13; ++r)
           Linha(f->sg_dadoschq_1, r, "00000" + std::to_string(r % 10), "1", "100,00",
                 "01/02/2024");
       },
       com(naoPreenchida, "1"), "Erro", "sg_dadoschq_2", 0, 0},
      {"valor que nao e numero na segunda grade", false, 14, "1400,00",
       [&](TFrmMult_Mod *f) {
         for (int r = 0; r < 13; ++r)
           Linha(f->sg_dadoschq_1, r, "00000" + std::to_string(r % 10), "1", "100,00",
                 "01/02/2024");
         Linha(chq(f)->sg_dadoschq_2, 0, "000014", "4", ",", "01/02/2024");
       },
       com(incorreta, "1"), "Erro", "sg_dadoschq_2", 0, 2},
      {"cmc7 sem data", true, 2, "100,00",
       [&](TFrmMult_Mod *f) {
         f->sg_dadoschq_1->SetCell(1, 0, std::string(30, '1'));
         f->sg_dadoschq_1->SetCell(2, 0, "50,00");
         f->sg_dadoschq_1->SetCell(3, 0, "01/02/2024");
         f->sg_dadoschq_1->SetCell(1, 1, std::string(30, '2'));
         f->sg_dadoschq_1->SetCell(2, 1, "50,00");
       },
       com(incorreta, "2"), "Erro", "sg_dadoschq_1", 1, 1},
  };
  for (const CasoLinha &c : casos) {
    SCOPED_TRACE(c.nome);
    host.Store().clear();
    Quantidade(c.n, c.total);
    TFrmMult_Mod *f = c.cmc7 ? static_cast<TFrmMult_Mod *>(Application->CreateForm<TFrmMult_CMC7>())
                             : Application->CreateForm<TFrmMult_Chq>();
    c.preenche(f);
    const TScriptRun r = RunScript(f, std::string("click btConfirma\nok\nexpect-focus ") + c.grade +
                                          "\nclick btRetorna\n");
    ASSERT_EQ(r.error, "") << r.screen;
    const auto caixas = r.Events("msgbox");
    EXPECT_EQ(r.result, mrCancel);
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].value("text", ""), c.texto);
    EXPECT_EQ(caixas[0].value("caption", ""), c.titulo);
    EXPECT_EQ(caixas[0].value("flags", 0u), unsigned(MB_OK | MB_ICONSTOP | MB_TOPMOST));
    auto *g = dynamic_cast<TStringGrid *>(f->FindComponent(c.grade));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->Row(), c.linha);
    EXPECT_EQ(g->Col(), c.coluna);
    EXPECT_FALSE(host.Has(10165, 0)); // nothing written
    f->Free();
  }
}

TEST_F(GradesTest, CatorzeChequesPassamPelaSegundaGrade) {
  Quantidade(14, "14000");
  auto *f = Application->CreateForm<TFrmMult_Chq>();
  for (int r = 0; r < 12; ++r)
    Linha(f->sg_dadoschq_1, r, "0000" + std::to_string(10 + r), "1", "10,00", "01/02/2024");
  // The 13th row is typed: its Enter leaves the first grid for the second.
  const TScriptRun r = RunScript(f, "cell sg_dadoschq_1 0 12\n"
                                    "type 000022\nkey Enter\ntype 2\nkey Enter\n"
                                    "type 1000\nkey Enter\ntype 01022024\nkey Enter\n"
                                    "expect-focus sg_dadoschq_2\n"
                                    "type 000099\nkey Enter\ntype 9\nkey Enter\n"
                                    "type 1000\nkey Enter\ntype 09092023\nkey Enter\n"
                                    "expect-focus btConfirma\n"
                                    "click btConfirma\n");
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(r.result, mrOk);
  EXPECT_EQ(host.Get(10163, 12), "000022");
  EXPECT_EQ(host.Get(10163, 13), "000099");
  EXPECT_EQ(host.Get(10164, 13), "9");
  EXPECT_EQ(host.Get(10165, 13), "1000");
  EXPECT_EQ(host.Get(10166, 13), "09092023");
  EXPECT_FALSE(host.Has(10163, 14));
  f->Free();
}

TEST_F(GradesTest, CancelarNaoGravaNada) {
  Quantidade(1, "100");
  auto *f = Application->CreateForm<TFrmMult_CMC7>();
  const TScriptRun r = RunScript(f, "type 123456789012345678901234567890\nkey Enter\n"
                                    "type 100\nkey Enter\n"
                                    "click btRetorna\n");
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(r.result, mrCancel);
  EXPECT_EQ(f->sg_dadoschq_1->Cell(1, 0), "123456789012345678901234567890");
  EXPECT_EQ(f->sg_dadoschq_1->Cell(2, 0), "1,00");
  EXPECT_FALSE(host.Has(10165, 0) || host.Has(10167, 0));
  f->Free();
}

TEST_F(GradesTest, CmcSeteGravaLinhaValorEData) {
  Quantidade(2, "300");
  auto *f = Application->CreateForm<TFrmMult_CMC7>();
  f->sg_dadoschq_1->SetCell(1, 0, " " + std::string(30, '1'));
  f->sg_dadoschq_1->SetCell(2, 0, "1,00");
  f->sg_dadoschq_1->SetCell(3, 0, "05/03/2024");
  f->sg_dadoschq_1->SetCell(1, 1, std::string(30, '2'));
  f->sg_dadoschq_1->SetCell(2, 1, "2,00");
  f->sg_dadoschq_1->SetCell(3, 1, "06/03/2024");
  const TScriptRun r = RunScript(f, "click btConfirma\n");
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(host.Get(10167, 0), std::string(30, '1'));
  EXPECT_EQ(host.Get(10165, 0), "100");
  EXPECT_EQ(host.Get(10166, 0), "05032024");
  EXPECT_EQ(host.Get(10167, 1), std::string(30, '2'));
  EXPECT_FALSE(host.Has(10163, 0));
  // Written in the order amount, date, line.
  std::vector<std::string> ordem;
  for (const auto &c : host.CallsOf("GravaCampoString")) ordem.push_back(c.args[0]);
  EXPECT_EQ(ordem,
            (std::vector<std::string>{"10165", "10166", "10167", "10165", "10166", "10167"}));
  f->Free();
}

} // namespace
