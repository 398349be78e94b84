// The checks of the consultation screen: their order, their messages and where they leave the
// cursor.
#include "test_consulta_util.h"

#include <utility>

namespace {

using TTela = TTelaTeste<TFrmCon_Con>;

class ValidacaoTest : public ConsultaTeste {};

// A screen that passes every check with the base configuration below.
void Valido(TTela &t) {
  t.edBanco->SetText("1");
  t.edAgencia->SetText("23");
  t.edConta->SetText("456");
  t.edDigito->SetText("7");
  t.edCheque->SetText("123456");
  t.edTipoDoc->SetText("1");
  t.edCPFCGC->SetText("52998224725");
  t.edAberturaCC->SetText("05/2020");
  t.edDtNascimento->SetText("01/02/1980");
  t.edCMC7->SetText("123456789012345678901234567890");
}

struct Caso {
  const char *nome;
  std::string chaves;  // added to the base section of Cheque.ini
  std::string cliente; // Cliente.ini
  int modo;
  std::vector<std::pair<int, std::string>> campos; // the host's fields (1003 is always there)
  std::function<void(TTela &)> ajusta;
  int mensagem;     // 0: every check passes and the consultation is authorised
  const char *foco; // where the cursor ends
  bool limpo;       // the focused edit was emptied
};

TEST_F(ValidacaoTest, OrdemMensagensEFoco) {
  const Caso casos[] = {
      {"valor vazio", "", "", 1, {{1003, ""}}, nullptr, 26, "edValor", true},
      {"quantidade vazia",
       "ColetaQtdChq=1",
       "",
       1,
       {},
       [](TTela &t) { t.edQtdChq->SetText(""); },
       1730,
       "edQtdChq",
       true},
      {"quantidade zero travada",
       "ColetaQtdChq=1",
       "",
       1,
       {{1029, "001"}},
       [](TTela &t) { t.edQtdChq->SetText("0"); },
       1730,
       "edData",
       false},
      {"31 de fevereiro",
       "",
       "",
       1,
       {},
       [](TTela &t) { t.edData->SetText("31/02/2024"); },
       787,
       "edData",
       true},
      {"data incompleta",
       "",
       "",
       1,
       {},
       [](TTela &t) { t.edData->SetText("01/02/20"); },
       787,
       "edData",
       true},
      {"compensacao", "opCompensacao=0", "", 1, {}, nullptr, 1023, "edCompensacao", false},
      {"banco", "", "", 1, {}, [](TTela &t) { t.edBanco->SetText(""); }, 804, "edBanco", false},
      {"agencia",
       "",
       "",
       1,
       {},
       [](TTela &t) { t.edAgencia->SetText(""); },
       805,
       "edAgencia",
       false},
      {"C1 em branco",
       "UtilizaCampoC1=1",
       "",
       1,
       {},
       [](TTela &t) { t.edC1->SetText(" "); },
       1102,
       "edC1",
       false},
      {"conta", "", "", 1, {}, [](TTela &t) { t.edConta->SetText(""); }, 806, "edConta", false},
      {"digito", "", "", 1, {}, [](TTela &t) { t.edDigito->SetText(""); }, 807, "edDigito", false},
      {"C2 vazio", "UtilizaCampoC2=1", "", 1, {}, nullptr, 1171, "edC2", false},
      {"cheque", "", "", 1, {}, [](TTela &t) { t.edCheque->SetText(""); }, 808, "edCheque", false},
      {"C3 vazio", "tmCheque=7", "", 1, {}, nullptr, 1172, "edC3", false},
      {"C3 com cheque travado",
       "tmCheque=7",
       "",
       1,
       {{1034, "654321"}},
       nullptr,
       1172,
       "edC3",
       false},
      {"cheque desligado pela quantidade",
       "",
       "",
       1,
       {},
       [](TTela &t) {
         t.edCheque->SetText("");
         t.edCheque->SetEnabled(false);
       },
       0,
       nullptr,
       false},
      {"CMC-7 com 29",
       "",
       "",
       2,
       {},
       [](TTela &t) { t.edCMC7->SetText(std::string(29, '1')); },
       809,
       "edCMC7",
       false},
      {"CMC-7 com 30 e banco vazio",
       "",
       "",
       2,
       {},
       [](TTela &t) { t.edBanco->SetText(""); },
       0,
       nullptr,
       false},
      {"CMC-7 desligado, banco vazio",
       "opCmc7=1",
       "",
       1,
       {},
       [](TTela &t) { t.edBanco->SetText(""); },
       0,
       nullptr,
       false},
      {"CMC-7 do cliente, conta vazia",
       "opCmc7=2",
       "",
       1,
       {},
       [](TTela &t) { t.edConta->SetText(""); },
       0,
       nullptr,
       false},
      {"tipo de documento",
       "",
       "",
       1,
       {},
       [](TTela &t) { t.edTipoDoc->SetText(""); },
       856,
       "edTipoDoc",
       true},
      {"CPF invalido",
       "",
       "",
       1,
       {},
       [](TTela &t) { t.edCPFCGC->SetText("52998224724"); },
       803,
       "edCPFCGC",
       true},
      {"documento vazio e travado",
       "",
       "",
       1,
       {},
       [](TTela &t) {
         t.edCPFCGC->SetText("");
         t.edCPFCGC->SetEnabled(false);
       },
       803,
       "edCPFCGC",
       true},
      {"CNPJ valido com tipo 1",
       "",
       "",
       1,
       {},
       [](TTela &t) {
         t.edCPFCGC->SetEditMask(TFrmChq_Trn::MASCARA_CNPJ);
         t.edCPFCGC->SetText("11222333000181");
       },
       0,
       nullptr,
       false},
      {"documento nao usado",
       "opTipoDoc=1",
       "",
       1,
       {},
       [](TTela &t) { t.edCPFCGC->SetText(""); },
       0,
       nullptr,
       false},
      {"codigo de area curto",
       "opCodArea=0",
       "",
       1,
       {},
       [](TTela &t) { t.edCodArea->SetText("1"); },
       1711,
       "edCodArea",
       true},
      {"codigo de area travado vazio",
       "opCodArea=0",
       "",
       1,
       {},
       [](TTela &t) { t.edCodArea->SetEnabled(false); },
       1711,
       "edData",
       false},
      {"abertura mes 13",
       "",
       "",
       1,
       {},
       [](TTela &t) { t.edAberturaCC->SetText("13/2020"); },
       787,
       "edAberturaCC",
       true},
      {"abertura vazia",
       "",
       "",
       1,
       {},
       [](TTela &t) { t.edAberturaCC->SetText(""); },
       787,
       "edAberturaCC",
       true},
      {"abertura no mes seguinte",
       "",
       "",
       1,
       {},
       [](TTela &t) { t.edAberturaCC->SetText("07/2024"); },
       1267,
       "edAberturaCC",
       true},
      {"abertura no ano seguinte",
       "",
       "",
       1,
       {},
       [](TTela &t) { t.edAberturaCC->SetText("01/2025"); },
       1267,
       "edAberturaCC",
       true},
      {"abertura no mes corrente",
       "",
       "",
       1,
       {},
       [](TTela &t) { t.edAberturaCC->SetText("06/2024"); },
       0,
       nullptr,
       false},
      {"nascimento vazio",
       "",
       "",
       1,
       {},
       [](TTela &t) { t.edDtNascimento->SetText(""); },
       787,
       "edDtNascimento",
       true},
      {"nascimento desligado pelo cliente",
       "",
       "Nascto=nao",
       1,
       {},
       [](TTela &t) { t.edDtNascimento->SetText(""); },
       0,
       nullptr,
       false},
      {"facilitador", "opFacilit=0", "", 1, {}, nullptr, 1103, "edFacilitador", true},
      {"codigo de operador",
       "opFacilit=0\r\nUtilizaCampoCodOperador=1",
       "",
       1,
       {},
       nullptr,
       1104,
       "edFacilitador",
       true},
      {"facilitador decidido pelo cliente", "opFacilit=2", "", 1, {}, nullptr, 0, nullptr, false},
      // Two failures at once: the first in the order is the one reported.
      {"banco e nascimento",
       "",
       "",
       1,
       {},
       [](TTela &t) {
         t.edBanco->SetText("");
         t.edDtNascimento->SetText("");
       },
       804,
       "edBanco",
       false},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    Configura("CodigoRede=12\r\n" + c.chaves, c.cliente);
    Menu(c.modo);
    host.Store().clear();
    host.ClearCalls();
    host.Set(1003, 0, "15000");
    for (const auto &[campo, valor] : c.campos) host.Set(campo, 0, valor);
    auto *tela = Application->CreateForm<TTela>();
    tela->aposIniciar = [&c](TTela &t) {
      Valido(t);
      if (c.ajusta) c.ajusta(t);
    };
    std::string roteiro = "click btConfirma\n";
    if (c.mensagem)
      roteiro += "expect-msgbox MSG " + std::to_string(c.mensagem) + "\nok\nexpect-focus " +
                 c.foco + "\nclick btRetorna\n";
    const TScriptRun r = RunScript(tela, roteiro);
    EXPECT_EQ(r.error, "") << r.screen;
    EXPECT_EQ(r.Events("msgbox").size(), c.mensagem ? 1u : 0u);
    if (c.mensagem) {
      EXPECT_EQ(r.result, mrCancel);
      EXPECT_EQ(host.CountOf("AutorizaTransacao"), 0);
      EXPECT_FALSE(host.Has(1008)); // nothing was written
      auto *foco = dynamic_cast<TCustomEdit *>(tela->FindComponent(c.foco));
      ASSERT_NE(foco, nullptr);
      EXPECT_TRUE(foco->Enabled());
      if (c.limpo) {
        EXPECT_EQ(Trim(host.RemoveFormato(foco->Text())), "");
      }
    } else {
      EXPECT_EQ(r.result, mrOk);
      EXPECT_EQ(host.CountOf("AutorizaTransacao"), 1);
    }
    tela->Free();
  }
}

} // namespace
