// Consultation code 70: the cheque data it sends, the number of cheques, the CMC-7 entry and
// the guarantee.
#include "test_consulta_util.h"

#include "screens/consulta/Cons70Cheque.h"
#include "screens/consulta/Cons70ChequeConsultaSequencial.h"
#include "screens/consulta/Cons70ChequeGarantia.h"

namespace {

using namespace ConsultaChequeTrnCheque;

const std::string S = "\x04";

class Consulta70Test : public ConsultaTeste {};

TEST_F(Consulta70Test, DadosDoChequeNasTresFormas) {
  const TChequeDigitado c{"018", "001", "0023", "4", "456", "7", "8", "123456", "9"};
  struct Caso {
    const char *tipo;
    bool c1, c2;
    std::string unico, multiplo; // several: cheque number 000777, C3 "5x"
  } casos[] = {
      {"2", true, true, "018" + S + "001" + S + "0023" + S + "4567" + S + "8" + S + "1234569",
       "018" + S + "001" + S + "0023" + S + "4567" + S + "8" + S + "0007775"},
      {"2", false, false, "018" + S + "001" + S + "0023" + S + "4567" + S + "1234569",
       "018" + S + "001" + S + "0023" + S + "4567" + S + "0007775"},
      {"", false, true, "018" + S + "001" + S + "0023" + S + "4567" + S + "8" + S + "1234569",
       "018" + S + "001" + S + "0023" + S + "4567" + S + "8" + S + "0007775"},
      {"x", true, false, "018" + S + "001" + S + "0023" + S + "4567" + S + "1234569",
       "018" + S + "001" + S + "0023" + S + "4567" + S + "0007775"},
      {"3", true, true, "018;001;0023;4;4567;8;123456;9", "018;001;0023;4;456;7;000777;5"},
      {"3", false, false, "018;001;0023;4567;123456;9", "018;001;0023;456;7;000777;5"},
      {"1", true, true, "018" + S + "001" + S + "0023" + S + "4567" + S + "1234569",
       "018" + S + "001" + S + "0023" + S + "4567" + S + "0007775"},
  };
  for (const Caso &k : casos) {
    SCOPED_TRACE(std::string(k.tipo) + (k.c1 ? " C1" : "") + (k.c2 ? " C2" : ""));
    EXPECT_EQ(DadosChequeUnico(c, k.tipo, k.c1, k.c2), k.unico);
    EXPECT_EQ(DadosChequeMultiplo(c, k.tipo, k.c1, k.c2, "000777", "5x"), k.multiplo);
  }
}

TEST_F(Consulta70Test, TresChequesDigitadosVaoNoGrupoDoLayout) {
  Configura("CodigoRede=12\r\nColetaQtdChq=1\r\nopAbertura=1\r\nopNascto=1\r\nopTipoDoc=1");
  Menu(1);
  host.Set(1003, 0, "30000");
  std::string grade = "expect-form FrmMult_Chq\n";
  for (int i = 1; i <= 3; ++i)
    grade += "type 00000" + std::to_string(i) + "\nkey Enter\ntype " + std::to_string(i) +
             "\nkey Enter\ntype 10000\nkey Enter\ntype 0" + std::to_string(i) +
             "022024\nkey Enter\n";
  const TScriptRun r = Executa(Application->CreateForm<TFrmCon_Con>(),
                               "click edQtdChq\ntype 3\nkey Enter\n" + grade +
                                   "click btConfirma\nexpect-focus edBanco\n"
                                   "type 1\nclick edAgencia\ntype 23\nclick edConta\ntype 456\n"
                                   "click edDigito\ntype 7\nclick btConfirma\n");
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(r.result, mrOk);
  const std::vector<std::string> linhas = Requisicao();
  ASSERT_GE(linhas.size(), 22u);
  const std::vector<std::string> inicio(linhas.begin(), linhas.begin() + 22);
  EXPECT_EQ(inicio,
            (std::vector<std::string>{"10112[0]=12",
                                      "10171[0] ausente",
                                      "10102[0]=12",
                                      "10158[0]=1",
                                      "1003[0]=30000",
                                      "1006[0] ausente",
                                      "1007[0]=",
                                      "1046[0]=3",
                                      "grupo 10162 x3/4",
                                      "10166[0]=01022024",
                                      "10165[0]=10000",
                                      "'2'",
                                      "10167[0]=" + S + "1" + S + "23" + S + "4567" + S + "0000011",
                                      "10166[1]=02022024",
                                      "10165[1]=10000",
                                      "'2'",
                                      "10167[1]=" + S + "1" + S + "23" + S + "4567" + S + "0000022",
                                      "10166[2]=03022024",
                                      "10165[2]=10000",
                                      "'2'",
                                      "10167[2]=" + S + "1" + S + "23" + S + "4567" + S + "0000033",
                                      "10146[0] ausente"}));
  EXPECT_EQ(Salvo(10101), "3");
  EXPECT_EQ(Salvo(1046), "3");
}

TEST_F(Consulta70Test, QuatroChequesCmc7PelaGrade) {
  Configura("CodigoRede=12\r\nColetaQtdChq=1\r\nopAbertura=1\r\nopNascto=1\r\nopTipoDoc=1");
  Menu(2);
  host.Set(1003, 0, "400");
  std::string grade = "expect-form FrmMult_CMC7\n";
  for (int i = 1; i <= 4; ++i)
    grade += "type " + std::string(30, char('0' + i)) + "\nkey Enter\ntype 100\nkey Enter\ntype 0" +
             std::to_string(i) + "032024\nkey Enter\n";
  const TScriptRun r = Executa(Application->CreateForm<TFrmCon_Con>(),
                               "click edQtdChq\ntype 4\nkey Enter\n" + grade +
                                   "click btConfirma\nexpect-form FrmCon_Con\n"
                                   "click btConfirma\n");
  ASSERT_EQ(r.error, "") << r.screen;
  const std::vector<std::string> linhas = Requisicao();
  ASSERT_GE(linhas.size(), 26u);
  EXPECT_EQ(linhas[7], "1046[0]=4");
  EXPECT_EQ(linhas[8], "grupo 10162 x4/4");
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const std::string n = std::to_string(i);
    EXPECT_EQ(linhas[9 + 4 * i], "10166[" + n + "]=0" + std::to_string(i + 1) + "032024");
    EXPECT_EQ(linhas[10 + 4 * i], "10165[" + n + "]=100");
    EXPECT_EQ(linhas[11 + 4 * i], "'0'");
    EXPECT_EQ(linhas[12 + 4 * i], "10167[" + n + "]=" + std::string(30, char('1' + i)));
  }
  // The code-70 part wrote only these after the common fields: the grid holds the cheques.
  std::vector<std::string> depoisDe1005;
  bool apos = false;
  for (const auto &c : host.CallsOf("GravaCampoString")) {
    if (apos) depoisDe1005.push_back(c.args[0]);
    if (c.args[0] == "1005") apos = true;
  }
  EXPECT_EQ(depoisDe1005, (std::vector<std::string>{"1046", "10158"}));
}

TEST_F(Consulta70Test, UmChequeCmc7LevaALinhaADataEOValor) {
  Configura("CodigoRede=12\r\nopAbertura=1\r\nopNascto=1\r\nopTipoDoc=1");
  Menu(2);
  host.Set(1003, 0, "2500");
  host.Set(1008, 0, "10062024");
  const TScriptRun r = Executa(Application->CreateForm<TFrmCon_Con>(),
                               "click edCMC7\ntype 123456789012345678901234567890\n"
                               "click btConfirma\n");
  ASSERT_EQ(r.error, "") << r.screen;
  const std::vector<std::string> linhas = Requisicao();
  ASSERT_GE(linhas.size(), 13u);
  EXPECT_EQ(std::vector<std::string>(linhas.begin() + 8, linhas.begin() + 13),
            (std::vector<std::string>{"grupo 10162 x1/4", "10166[0]=10062024", "10165[0]=2500",
                                      "'0'", "10167[0]=123456789012345678901234567890"}));
  EXPECT_EQ(Salvo(1005), "123456789012345678901234567890");
}

// GravaCamposVelkor of code 70 alone on an initialised screen.
TEST_F(Consulta70Test, CamposDoCodigo70) {
  struct Caso {
    const char *nome;
    std::string chaves;
    int modo;
    std::vector<std::pair<int, std::string>> campos; // host fields (per cheque at index i)
    std::function<void(TFrmCon_Chq70 &)> ajusta;
    std::vector<std::pair<std::pair<int, int>, std::string>> esperados;
    int quantidade; // the cheque count of the request afterwards
    char tipoEntrada;
  } casos[] = {
      {"quantidade que nao e numero",
       "",
       1,
       {},
       [](TFrmCon_Chq70 &t) { t.edQtdChq->SetText("x"); },
       {{{1046, 0}, "1"}, {{10158, 0}, "1"}, {{1006, 0}, "2"}},
       1,
       '2'},
      {"documento nao usado",
       "opTipoDoc=1\r\nTipoFuncao=4",
       1,
       {},
       [](TFrmCon_Chq70 &t) { t.edTipoDoc->SetText("2"); },
       {{{1006, 0}, "J"}, {{10158, 0}, "4"}},
       1,
       '2'},
      {"empresa",
       "",
       1,
       {},
       [](TFrmCon_Chq70 &t) { t.edTipoDoc->SetText("2"); },
       {{{1006, 0}, "1"}},
       1,
       '2'},
      {"tipo manual 1 com dois cheques",
       "TipoEntChqManual=1",
       1,
       {{10163, "000011"}, {10164, "3"}},
       [](TFrmCon_Chq70 &t) {
         t.edQtdChq->SetText("2");
         t.edBanco->SetText("1");
       },
       {{{10167, 0}, S + "1" + S + S + S + "0000113"}, {{10167, 1}, S + "1" + S + S + S}},
       2,
       '1'},
      {"tipo manual 3 com C1",
       "TipoEntChqManual=3\r\nUtilizaCampoC1=1",
       1,
       {},
       [](TFrmCon_Chq70 &t) {
         t.edC1->SetText("4");
         t.edCheque->SetText("9");
       },
       {{{10167, 0}, ";;;4;;9;"}},
       1,
       '3'},
      {"mais cheques do que as grades",
       "",
       1,
       {},
       [](TFrmCon_Chq70 &t) { t.edQtdChq->SetText("30"); },
       {{{1046, 0}, "30"}, {{10167, 25}, S + S + S + S}, {{10167, 26}, "<ausente>"}},
       26,
       '2'},
      {"sem forma de entrada",
       "",
       0,
       {},
       nullptr,
       {{{10167, 0}, "<ausente>"}, {{1046, 0}, "1"}},
       1,
       0},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    Configura("CodigoRede=12\r\n" + c.chaves);
    Menu(c.modo);
    host.Store().clear();
    host.Set(1003, 0, "100");
    for (const auto &[campo, valor] : c.campos) host.Set(campo, 0, valor);
    DefineQuantidadeChequesConsulta70(1);
    Cons70Cheque::TipoEntradaCheque[0] = 0;
    auto *tela = Application->CreateForm<TFrmCon_Chq70>();
    tela->IniciaCamposForm();
    EXPECT_EQ(tela->LayoutRequisicao, &TrnConsultaCheque70);
    if (c.ajusta) c.ajusta(*tela);
    EXPECT_TRUE(tela->GravaCamposVelkor());
    for (const auto &[chave, valor] : c.esperados)
      EXPECT_EQ(Campo(chave.first, chave.second), valor)
          << chave.first << "[" << chave.second << "]";
    const int i = cheque::layout::IndiceEntrada(TrnConsultaCheque70, 10162);
    EXPECT_EQ(TrnConsultaCheque70.Entradas[i].Repeticao, c.quantidade);
    EXPECT_EQ(Cons70Cheque::TipoEntradaCheque[0], c.tipoEntrada);
    tela->Free();
  }
}

TEST_F(Consulta70Test, ChaveDaGarantia) {
  struct Caso {
    const char *cmc7, *banco, *agencia, *conta;
    int tmBanco, tmAgencia, tmConta;
    std::string chave;
  } casos[] = {
      {"", "1", "23", "456", 3, 4, 10, "00100230000000456"},
      {"  ", "001", "0023", "0000000456", 3, 4, 10, "00100230000000456"},
      {"", "12345", "23", "456", 3, 4, 10, "123450023000000045"}, // cut at 18
      {"", "1", "2", "3", 0, 0, 0, "123"},
      {"123456789012345678901234567890", "1", "2", "3", 3, 4, 10, "123456789012345678"},
      {" 98765 ", "1", "2", "3", 3, 4, 10, "98765"},
  };
  for (const Caso &c : casos)
    EXPECT_EQ(ChaveGarantia(c.cmc7, c.banco, c.agencia, c.conta, c.tmBanco, c.tmAgencia, c.tmConta),
              c.chave)
        << c.cmc7 << "|" << c.banco;
}

const char *kGarantiaDigitada = "click edBanco\ntype 1\nclick edAgencia\ntype 23\n"
                                "click edConta\ntype 456\nclick edDigito\ntype 7\n"
                                "click edCheque\ntype 123456\nclick btConfirma\n";

TEST_F(Consulta70Test, GarantiaPedeSenhaEGravaAChave) {
  Configura("CodigoRede=12\r\nopAbertura=1\r\nopNascto=1\r\nopTipoDoc=1\r\nTipoFuncao=2");
  Menu(1, 70, 2);
  host.Set(1003, 0, "100");
  const TScriptRun r = Executa(Application->CreateForm<TFrmCon_Gar>(), kGarantiaDigitada);
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(r.result, mrOk);
  const auto senha = host.CallsOf("LerSenha");
  ASSERT_EQ(senha.size(), 1u);
  EXPECT_EQ(senha[0].args,
            (std::vector<std::string>{"1", "", "Garantia com Senha", "0", "MSG 456"}));
  EXPECT_EQ(host.CountOf("AutorizaTransacao"), 1);
  EXPECT_EQ(host.CountOf("FazConsultaBinsRedeDestino"), 0);
  EXPECT_EQ(Salvo(10107), "5");
  EXPECT_EQ(Salvo(10104), "00100230000000456");
  EXPECT_EQ(Salvo(10158), "2");
}

TEST_F(Consulta70Test, GarantiaSemRedeDestinoFechaSemAutorizar) {
  Configura("CodigoRede=12\r\nopAbertura=1\r\nopNascto=1\r\nopTipoDoc=1\r\nConsultarBin=1");
  Menu(1, 70, 2);
  host.Set(1003, 0, "100");
  host.QueueBinAnswer(false, {TFakeHost::TOperacao::Grava(1027, 0, "SEM REDE")});
  const TScriptRun r = Executa(Application->CreateForm<TFrmCon_Gar>(), kGarantiaDigitada);
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(r.result, mrOk);
  EXPECT_EQ(host.CountOf("AutorizaTransacao"), 0);
  EXPECT_EQ(host.CountOf("LerSenha"), 0);
  const auto bin = host.CallsOf("FazConsultaBinsRedeDestino");
  ASSERT_EQ(bin.size(), 1u);
  EXPECT_EQ(bin[0].args, (std::vector<std::string>{"0", "1"}));
  EXPECT_EQ(host.SaveCount(), 1);
  EXPECT_EQ(Salvo(10134), "2");
  EXPECT_EQ(Salvo(10104), "00100230000000456");
  EXPECT_EQ(Salvo(1027), "SEM REDE");
  EXPECT_EQ(Salvo(1029), "1");

  // Found: the password and the authorisation follow.
  host.ClearCalls();
  host.Store().clear();
  host.Set(1003, 0, "100");
  const TScriptRun r2 = Executa(Application->CreateForm<TFrmCon_Gar>(), kGarantiaDigitada);
  ASSERT_EQ(r2.error, "") << r2.screen;
  EXPECT_EQ(host.CountOf("FazConsultaBinsRedeDestino"), 1);
  EXPECT_EQ(host.CountOf("LerSenha"), 1);
  EXPECT_EQ(host.CountOf("AutorizaTransacao"), 1);
}

TEST_F(Consulta70Test, GarantiaGravaChaveMesmoQuandoAEscritaFalha) {
  Configura("CodigoRede=12");
  Menu(2, 70, 2);
  host.Set(1003, 0, "100");
  auto *tela = Application->CreateForm<TFrmCon_Gar>();
  tela->IniciaCamposForm();
  tela->edCMC7->SetText("123456789012345678901234567890");
  host.FailWritesOf(10112);
  EXPECT_FALSE(tela->GravaCamposVelkor());
  EXPECT_EQ(Campo(10107), "5");
  // 1005 was not reached: the key is the typed one, of empty edits padded to their lengths.
  EXPECT_EQ(Campo(10104), std::string(17, '0'));
  tela->Free();
}

TEST_F(Consulta70Test, TitulosDasTelas) {
  Configura("CodigoRede=57");
  Menu(1);
  auto *seq = Application->CreateForm<TFrmCon_ConSeq>();
  seq->IniciaCamposForm();
  EXPECT_EQ(seq->lbTitulo->Caption(), "MSG 1474");
  EXPECT_EQ(seq->Name, "FrmCon_ConSeq");
  seq->Free();
  auto *gar = Application->CreateForm<TFrmCon_Gar>();
  gar->IniciaCamposForm();
  EXPECT_FALSE(captura_senha); // network 57 is never asked for the password
  gar->Free();
}

} // namespace
