// Code-70 consultations through the real host program: typed and CMC-7 entry, several cheques
// from the grid, and a guarantee whose destination network is not found. What the network
// received is read from the transcript's authorize events, the outcome from the transaction
// file.
#include "E2e.h"

using namespace e2e;

namespace {

// The consultation screens are opened by the menu (not a stand-in).
bool Consulta70Disponivel() {
  static const bool disponivel = [] {
    Session s;
    s.chequeIni = Option("Consulta", 70, 1) + Option("Outra", 99, 1);
    return s.Run({"consulta"}, "type 1\nexpect-form FrmCon_Con\nexpect-text edBanco \"\"\n"
                               "click btRetorna\ntype 9\n")
               .run.exitCode == 0;
  }();
  return disponivel;
}

// An authoriser that approves and sends no answer to show.
const char *kCenarioAprova = "[autorizacao]\n1009-0 = 0\n1027-0 = APROVADA\n";

// The entries of an authorize event as lines: "F[i]=V", "F[i] ausente", "'text'",
// "grupo F xR/G".
std::vector<std::string> Entradas(const Json &autorizacao) {
  std::vector<std::string> linhas;
  for (const Json &e : autorizacao["entries"]) {
    if (e.contains("group")) {
      linhas.push_back("grupo " + std::to_string(e["group"].get<int>()) + " x" +
                       std::to_string(e["repeat"].get<int>()) + "/" +
                       std::to_string(e["size"].get<int>()));
    } else if (e.contains("text")) {
      linhas.push_back("'" + e["text"].get<std::string>() + "'");
    } else {
      const std::string campo =
          std::to_string(e["field"].get<int>()) + "[" + std::to_string(e["index"].get<int>()) + "]";
      linhas.push_back(e.contains("value") ? campo + "=" + e["value"].get<std::string>()
                                           : campo + " ausente");
    }
  }
  return linhas;
}

std::vector<std::string> Trecho(const std::vector<std::string> &v, size_t de, size_t n) {
  if (de >= v.size()) return {};
  return std::vector<std::string>(v.begin() + long(de),
                                  v.begin() + long(std::min(v.size(), de + n)));
}

const std::string S = "\x04";

} // namespace

TEST(Consulta70, UmChequeDigitadoChegaAoAutorizadorEFicaNoArquivo) {
  if (!Consulta70Disponivel()) GTEST_SKIP() << "the menu still opens a stand-in for FrmCon_Con";
  Session s;
  s.chequeIni =
      Option("Consulta", 70, 1, 12,
             {{"opAbertura", "1"}, {"opNascto", "1"}, {"tmCheque", "7"}, {"UtilizaCampoC2", "1"}});
  s.sets = {"1003-0=15000", "1008-0=10062024"};
  s.options["--scenario"] = s.dir.Write("cenario.ini", kCenarioAprova);
  const Outcome o = s.Run({"consulta"}, "expect-form FrmCon_Con\n"
                                        "click edBanco\ntype 1\nclick edAgencia\ntype 23\n"
                                        "click edConta\ntype 456\nclick edDigito\ntype 7\n"
                                        "click edC2\ntype 8\n"
                                        "click edCheque\ntype 123456\nclick edC3\ntype 9\n"
                                        "click edTipoDoc\ntype 1\n"
                                        "click edCPFCGC\ntype 52998224725\n"
                                        "click edTelefone\ntype 5551234\n"
                                        "click btConfirma\n");
  ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
  const auto autorizacoes = o.Events("authorize");
  ASSERT_EQ(autorizacoes.size(), 1u);
  EXPECT_EQ(autorizacoes[0]["code"], 0x70);
  const auto linhas = Entradas(autorizacoes[0]);
  EXPECT_EQ(Trecho(linhas, 0, 16),
            (std::vector<std::string>{
                "10112[0]=12", "10171[0] ausente", "10102[0]=12", "10158[0]=1", "1003[0]=15000",
                "1006[0]=2", "1007[0]=52998224725", "1046[0]=1", "grupo 10162 x1/4",
                "10166[0]=10062024", "10165[0]=15000", "'2'",
                "10167[0]=" + S + "1" + S + "23" + S + "4567" + S + "8" + S + "1234569",
                "10146[0] ausente", "''", "'TEL:5551234'"}));
  ASSERT_TRUE(o.saved);
  // Back from the network, the person type is a letter again.
  EXPECT_EQ(o.store.at("1006-0"), "F");
  EXPECT_EQ(o.store.at("1029-0"), "1");
  EXPECT_EQ(o.store.at("1035-0"), "9");
  EXPECT_EQ(o.store.at("1257-0"), "8");
  EXPECT_EQ(o.store.at("1039-0"), "5551234");
  EXPECT_EQ(o.store.at("1009-0"), "0");
  EXPECT_EQ(o.CloseResult("FrmCon_Con"), 1);
  EXPECT_EQ(o.CloseResult("FrmRedes_Mnu"), 1);
  EXPECT_TRUE(AuditMatchesForms(o));
}

TEST(Consulta70, QuatroChequesCmc7DaGradeVaoNumaSoRequisicao) {
  if (!Consulta70Disponivel()) GTEST_SKIP() << "the menu still opens a stand-in for FrmCon_Con";
  Session s;
  s.chequeIni = Option("Consulta", 70, 1, 12,
                       {{"opCmc7", "0"},
                        {"opBanco", "2"},
                        {"ColetaQtdChq", "1"},
                        {"opAbertura", "1"},
                        {"opNascto", "1"},
                        {"opTipoDoc", "1"}});
  s.sets = {"1003-0=1000"};
  s.options["--scenario"] = s.dir.Write("cenario.ini", kCenarioAprova);
  std::string grade;
  for (int i = 1; i <= 4; ++i)
    grade += "type " + std::string(30, char('0' + i)) + "\nkey Enter\ntype 250\nkey Enter\n" +
             "type 0" + std::to_string(i) + "072024\nkey Enter\n";
  const Outcome o = s.Run({"consulta"}, "expect-form FrmCon_Con\nclick edQtdChq\ntype 4\n"
                                        "key Enter\nexpect-form FrmMult_CMC7\n" +
                                            grade +
                                            "click btConfirma\nexpect-form FrmCon_Con\n"
                                            "expect-disabled edCMC7\nclick btConfirma\n");
  ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
  const auto autorizacoes = o.Events("authorize");
  ASSERT_EQ(autorizacoes.size(), 1u);
  const auto linhas = Entradas(autorizacoes[0]);
  EXPECT_EQ(Trecho(linhas, 7, 2), (std::vector<std::string>{"1046[0]=4", "grupo 10162 x4/4"}));
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const std::string n = std::to_string(i);
    EXPECT_EQ(Trecho(linhas, 9 + 4 * size_t(i), 4),
              (std::vector<std::string>{"10166[" + n + "]=0" + std::to_string(i + 1) + "072024",
                                        "10165[" + n + "]=250", "'0'",
                                        "10167[" + n + "]=" + std::string(30, char('1' + i))}));
  }
  ASSERT_TRUE(o.saved);
  EXPECT_EQ(o.store.at("10101-0"), "4");
  EXPECT_EQ(o.store.at("10167-3"), std::string(30, '4'));
  EXPECT_EQ(o.store.at("1005-0"), "");
  EXPECT_TRUE(AuditMatchesForms(o));
}

TEST(Consulta70, GarantiaSemRedeDeDestinoGravaOArquivoSemAutorizar) {
  if (!Consulta70Disponivel()) GTEST_SKIP() << "the menu still opens a stand-in for FrmCon_Con";
  Session s;
  s.chequeIni =
      Option("Garantia", 70, 2, 117,
             {{"ConsultarBin", "1"}, {"opAbertura", "1"}, {"opNascto", "1"}, {"opTipoDoc", "1"}});
  s.sets = {"1003-0=5000"};
  s.options["--scenario"] =
      s.dir.Write("cenario.ini", std::string(kCenarioAprova) + "[bins]\nresultado = 0\n");
  const Outcome o = s.Run({"consulta"}, "expect-form FrmCon_Gar\n"
                                        "click edBanco\ntype 1\nclick edAgencia\ntype 23\n"
                                        "click edConta\ntype 456\nclick edDigito\ntype 7\n"
                                        "click edCheque\ntype 123456\nclick btConfirma\n");
  ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
  EXPECT_TRUE(o.Events("authorize").empty());
  ASSERT_TRUE(o.saved);
  EXPECT_EQ(o.store.at("10104-0"), "00100230000000456");
  EXPECT_EQ(o.store.at("10107-0"), "5");
  EXPECT_EQ(o.store.at("10134-0"), "2");
  EXPECT_EQ(o.store.at("10158-0"), "2");
  EXPECT_EQ(o.CloseResult("FrmCon_Gar"), 1);
  EXPECT_TRUE(AuditMatchesForms(o));
}
