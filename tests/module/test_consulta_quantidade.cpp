// The quantity of cheques on the consultation screen and the grids it opens.
#include "test_consulta_util.h"

#include "screens/coleta/ColetaDadosMultiplosCheques.h"

namespace {

class QuantidadeTest : public ConsultaTeste {
protected:
  TFrmCon_Con *Tela() { return tela = Application->CreateForm<TFrmCon_Con>(); }
  void TearDown() override {
    if (tela) tela->Free();
    ConsultaTeste::TearDown();
  }
  bool ChequeUnicoHabilitado() const {
    return tela->edCheque->Enabled() && tela->lbCheque->Enabled() && tela->edC3->Enabled() &&
           tela->lbC3->Enabled() && tela->edData->Enabled() && tela->lbData->Enabled();
  }
  bool ChequeUnicoDesabilitado() const {
    return !tela->edCheque->Enabled() && !tela->lbCheque->Enabled() && !tela->edC3->Enabled() &&
           !tela->lbC3->Enabled() && !tela->edData->Enabled() && !tela->lbData->Enabled();
  }
  TFrmCon_Con *tela = nullptr;
};

// Fills a typed-cheque grid of two rows (amounts 100,00 + 50,00) and confirms it.
const char *kGradeDuasLinhas = "expect-form FrmMult_Chq\n"
                               "type 000001\nkey Enter\ntype 1\nkey Enter\ntype 10000\nkey Enter\n"
                               "type 01022024\nkey Enter\n"
                               "type 000002\nkey Enter\ntype 2\nkey Enter\ntype 5000\nkey Enter\n"
                               "type 02022024\nkey Enter\n"
                               "click btConfirma\n"
                               "expect-form FrmCon_Con\n";

TEST_F(QuantidadeTest, AcimaDe25RecusaEVoltaPara1) {
  Configura("CodigoRede=12\r\nColetaQtdChq=1");
  Menu(1);
  const TScriptRun r = RunScript(Tela(), "click edQtdChq\ntype 26\nkey Enter\n"
                                         "expect-msgbox Quantidade de Cheques Inválida. Informe "
                                         "novamente (máx.25).\n"
                                         "ok\nexpect-focus edQtdChq\nexpect-text edQtdChq 1\n"
                                         "click btRetorna\n");
  ASSERT_EQ(r.error, "") << r.screen;
  const auto caixas = r.Events("msgbox");
  ASSERT_EQ(caixas.size(), 1u);
  EXPECT_EQ(caixas[0].value("caption", ""), "Erro - Dados inválidos");
  EXPECT_EQ(caixas[0].value("flags", 0u), unsigned(MB_OK | MB_ICONSTOP | MB_TOPMOST));
  EXPECT_FALSE(host.Has(10101));
}

TEST_F(QuantidadeTest, VinteECincoAbreAGradeECancelarDevolveOsCampos) {
  Configura("CodigoRede=12\r\nColetaQtdChq=1\r\ntmCheque=7");
  Menu(1);
  const TScriptRun r = RunScript(Tela(), "click edQtdChq\ntype 25\nkey Tab\n"
                                         "expect-form FrmMult_Chq\nclick btRetorna\n"
                                         "expect-form FrmCon_Con\nexpect-focus edQtdChq\n"
                                         "click btRetorna\n");
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(Campo(10101), "25");
  EXPECT_TRUE(ChequeUnicoHabilitado());
  EXPECT_EQ(ModuloTeste::Formularios(r, "create"), std::vector<std::string>{"FrmMult_Chq"});
  EXPECT_EQ(FrmMult_Chq, nullptr);
}

TEST_F(QuantidadeTest, SequencialNaoAbreGrade) {
  Configura("CodigoRede=12\r\nColetaQtdChq=1\r\nTipoFuncao=9\r\ntmCheque=7\r\nNaoUtilizaCampoC3=1");
  Menu(1, 70, 9);
  const TScriptRun r = RunScript(Tela(), "click edQtdChq\ntype 3\nkey Enter\n"
                                         "expect-form FrmCon_Con\nexpect-focus edData\n"
                                         "click btRetorna\n");
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_FALSE(host.Has(10101));
  EXPECT_TRUE(tela->edCheque->Enabled() && tela->edData->Enabled());
  EXPECT_FALSE(tela->edC3->Enabled());                        // left out by the section
  EXPECT_TRUE(ModuloTeste::Formularios(r, "create").empty()); // no grid
}

TEST_F(QuantidadeTest, GradeConcluidaDesligaOChequeUnicoEQuantidade1Religa) {
  Configura("CodigoRede=12\r\nColetaQtdChq=1\r\ntmCheque=7\r\nNaoUtilizaCampoC3=1");
  Menu(1);
  host.Set(1003, 0, "15000");
  const TScriptRun r =
      RunScript(Tela(), std::string("click edQtdChq\ntype 2\nkey Enter\n") + kGradeDuasLinhas +
                            "expect-focus edBanco\nclick btRetorna\n");
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(Campo(10101), "2");
  EXPECT_EQ(Campo(10163, 1), "000002");
  EXPECT_TRUE(ChequeUnicoDesabilitado());

  // The quantity back to 1: the screen's own cheque fields again, C3 included.
  tela->edQtdChq->SetText("1");
  char enter = '\r';
  tela->edQtdChqKeyPress(tela->edQtdChq, enter);
  EXPECT_TRUE(ChequeUnicoHabilitado());
}

TEST_F(QuantidadeTest, SairDaQuantidadePeloBotaoNaoAbreGrade) {
  struct Caso {
    const char *nome, *campo1046, *roteiro;
  } casos[] = {
      {"cancelar com 2", nullptr, "click edQtdChq\ntype 2\nclick btRetorna\n"},
      {"quantidade travada", "1", "click edQtdChq\nkey Tab\nclick btRetorna\n"},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    Configura("CodigoRede=12\r\nColetaQtdChq=1");
    Menu(1);
    host.Store().clear();
    if (c.campo1046) host.Set(1046, 0, c.campo1046);
    if (tela) tela->Free();
    const TScriptRun r = RunScript(Tela(), c.roteiro);
    ASSERT_EQ(r.error, "") << r.screen;
    EXPECT_EQ(r.result, mrCancel);
    EXPECT_FALSE(host.Has(10101));
    EXPECT_TRUE(ModuloTeste::Formularios(r, "create").empty()); // no grid
  }
}

TEST_F(QuantidadeTest, GradeCmc7ConcluidaLevaAoTipoDeDocumentoECanceladaAQuantidade) {
  Configura("CodigoRede=12\r\nColetaQtdChq=1");
  Menu(2);
  host.Set(1003, 0, "100");
  const std::string grade = "expect-form FrmMult_CMC7\n"
                            "type 123456789012345678901234567890\nkey Enter\n"
                            "type 50\nkey Enter\ntype 01022024\nkey Enter\n"
                            "type 223456789012345678901234567890\nkey Enter\n"
                            "type 50\nkey Enter\ntype 01022024\nkey Enter\n";
  const TScriptRun r =
      RunScript(Tela(), "click edQtdChq\ntype 2\nkey Enter\n" + grade +
                            "click btRetorna\nexpect-focus edQtdChq\n"
                            "click edData\n" + // leaving the quantity opens the grid again
                            grade +
                            "click btConfirma\nexpect-focus edTipoDoc\nclick btRetorna\n");
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_FALSE(tela->edCMC7->Enabled() || tela->lbCMC7->Enabled() || tela->edData->Enabled());
  EXPECT_EQ(Campo(10167, 1), "223456789012345678901234567890");
}

TEST_F(QuantidadeTest, QuantidadeZeroNaoPassaNaConferencia) {
  Configura("CodigoRede=12\r\nColetaQtdChq=1");
  Menu(1);
  host.Set(1003, 0, "100");
  const TScriptRun r = RunScript(Tela(), "click edQtdChq\ntype 0\nclick btConfirma\n"
                                         "expect-msgbox MSG 1730\nok\n"
                                         "expect-focus edQtdChq\nexpect-text edQtdChq \"\"\n"
                                         "click btRetorna\n");
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_FALSE(host.Has(10101));
}

} // namespace
