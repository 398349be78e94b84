// Guarantee cancellations through the real host program: the ordinary and the Venezuelan
// cancellation from the administrative entry point and from the menu, and the cancellation of
// 7C guarantees with its grid of authorisation numbers. Each session is checked on the
// request the network received (the authorize event), the operator messages shown and the
// saved transaction file. Today is fixed at 15/06/2024.
#include <cstdlib>

#include "E2e.h"

using namespace e2e;

namespace {

const std::string S = "\x04";
const std::string kCmc7 = "341000120180000015012345678901";
// Bank 102, account 0123456789 and digit 1, cheque 000123 and C3 4.
const std::string kDadosVenezuela = "102" + S + "01234567891" + S + "0001234";
const char *kQtdInvalida = "Quantidade de Cheques Inválida. Informe novamente (máx.25).";

// The request as lines: "F=V" (index 0) or "F[i]=V", "F -" when absent, "'text'", "xR" for a
// group repeated R times.
std::vector<std::string> Pedido(const Outcome &o) {
  std::vector<std::string> linhas;
  const auto eventos = o.Events("authorize");
  if (eventos.empty()) return linhas;
  for (const Json &e : eventos.back()["entries"]) {
    if (e.contains("group"))
      linhas.push_back("x" + std::to_string(e["repeat"].get<int>()));
    else if (e.contains("text"))
      linhas.push_back("'" + e["text"].get<std::string>() + "'");
    else
      linhas.push_back(std::to_string(e["field"].get<int>()) +
                       (e["index"] == 0 ? "" : "[" + std::to_string(e["index"].get<int>()) + "]") +
                       (e.contains("value") ? "=" + e["value"].get<std::string>() : " -"));
  }
  return linhas;
}

struct Caso {
  std::string nome;
  std::vector<std::string> operacao;
  std::string chequeIni;
  std::vector<std::string> sets;
  std::string roteiro;
  std::vector<std::string> pedido;            // empty: nothing was authorised
  std::vector<std::string> mensagens;         // message boxes in order
  std::map<std::string, std::string> arquivo; // "" = the field is not in the file
};

// The requests the network receives, by what varies.
std::vector<std::string> PedidoBrasil(const std::string &tipo, const std::string &dados,
                                      const std::string &documento, const std::string &data,
                                      const std::string &motivo) {
  return {"10112=10",          "10171 -",        "10102=10",
          "10158=7",           "'" + tipo + "'", "'" + dados + "'",
          "1013=" + documento, "1020=" + data,   "'CHQ11:" + motivo + "'"};
}
std::vector<std::string> PedidoVenezuela(const std::string &valor, const std::string &tipo,
                                         const std::string &dados, const std::string &documento,
                                         const std::string &rg) {
  return {"10112=96",
          "10171 -",
          "10102=0",
          "10158=7",
          "1003=" + valor,
          "1006 -",
          "1007 -",
          "1046 -",
          "1008 -",
          "1003=" + valor,
          "'" + tipo + "'",
          "'" + dados + "'",
          "1014=" + documento,
          "1020=15062024",
          "'" + rg + "'"};
}
std::vector<std::string> Pedido7C(const std::string &tipoPessoa, const std::string &data,
                                  const std::string &tipoCancelamento,
                                  const std::vector<std::string> &autorizacoes) {
  std::vector<std::string> p = {"10112=143",
                                "10171 -",
                                "''",
                                "10158=3",
                                "10103=1",
                                "'" + tipoPessoa + "'",
                                "1007=52998224725",
                                "1013=123",
                                "1008=" + data,
                                "10213=" + tipoCancelamento,
                                "1046=" + std::to_string(autorizacoes.size()),
                                "x" + std::to_string(autorizacoes.size())};
  for (size_t i = 0; i < autorizacoes.size(); ++i)
    p.push_back("10163" + (i ? "[" + std::to_string(i) + "]" : std::string()) + "=" +
                autorizacoes[i]);
  return p;
}

const std::string kCancela = Option("Cancela", 70, 7, 95);
const std::string kVenezuela = Option("Venezuela", 70, 7, 96);
const std::string k7C =
    Option("Cancela 7C", 124, 3, 143, {{"TipoSaida", "1"}}) + Option("Sem Tela", 99, 1);

// Brazilian typed cheque from the menu: the cheque number's edit follows tmCheque.
Caso Digitado(int tmCheque, const std::string &motivo, const std::string &cheque) {
  return {"digitado tmCheque " + std::to_string(tmCheque),
          {"consulta"},
          Option("Cancela", 70, 7, 95, {{"tmCheque", std::to_string(tmCheque)}}),
          {},
          "expect-form FrmCancGarantia_Mod\nexpect-focus edNumDocumento\ntype 123456789\n"
          "key Enter\nexpect-text edDataTransacao 15/06/2024\nkey Enter\ntype " +
              motivo +
              "\nkey Enter\nexpect-focus edCompensacao\ntype 001\nkey Enter\ntype 237\n"
              "key Enter\ntype 1234\nkey Enter\ntype 12345\nkey Enter\ntype 6\nkey Enter\n"
              "type 1234567\nexpect-text edCheque " +
              cheque + "\nkey Enter\ntype 7\nkey Enter\nexpect-focus btConfirma\nkey Enter\n",
          PedidoBrasil("2", "001" + S + "237" + S + "1234" + S + "123456" + S + cheque + "7",
                       "123456789", "15062024", std::string(3 - motivo.size(), '0') + motivo),
          {},
          {{"1110-0", motivo}, {"1061-0", "2"}, {"1005-0", ""}}};
}

// The 7C cancellation up to the quantity: date, document, person type, CPF (under either
// person type) and cancellation type.
std::string Ate7CQuantidade(const std::string &data, const std::string &tipoDoc,
                            const std::string &tipoCancelamento) {
  return "type 1\nexpect-form FrmGarChq7C_Cnc\nexpect-focus edData\ntype " + data +
         "\nkey Enter\ntype 123\nkey Enter\ntype " + tipoDoc +
         "\nkey Enter\ntype 52998224725\nkey Enter\ntype " + tipoCancelamento +
         "\nkey Enter\nexpect-focus edQtdChq\n";
}

std::vector<Caso> Casos() {
  const std::string n1(18, '1'), n2(18, '2'), n3(18, '3');
  return {
      Digitado(7, "7", "123456"),
      Digitado(6, "7", "123456"),
      Digitado(4, "123", "1234"),
      {"CMC-7 do host",
       {"adm", "6"},
       "",
       {"1005-0=" + kCmc7},
       "expect-form FrmCancGarantia_Mod\ntype 42\nkey Enter\nkey Enter\ntype 123\nkey Enter\n"
       "expect-focus btConfirma\nexpect-disabled edCMC7\nexpect-text edCMC7 " +
           kCmc7 + "\nkey Enter\n",
       PedidoBrasil("0", kCmc7, "42", "15062024", "123"),
       {},
       {{"1005-0", kCmc7}, {"1061-0", "0"}, {"1110-0", "123"}}},
      {"data impossivel, CMC-7 curto",
       {"adm", "6"},
       kCancela,
       {},
       "expect-form FrmCancGarantia_Mod\ntype 42\nkey Enter\ntype 31022024\nkey Enter\n"
       "type 5\nkey Enter\nclick edCMC7\ntype " +
           kCmc7.substr(1) +
           "\nclick btConfirma\nok\nexpect-focus edDataTransacao\n"
           "expect-text edDataTransacao \"  /  /    \"\ntype 10062024\nclick btConfirma\nok\n"
           "expect-focus edCMC7\nexpect-text edCMC7 " +
           kCmc7.substr(1) + "\nkey Home\ntype 3\nclick btConfirma\n",
       PedidoBrasil("0", kCmc7, "42", "10062024", "005"),
       {"M787", "M809"},
       {{"1005-0", kCmc7}}},
      {"Venezuela digitada",
       {"consulta"},
       kVenezuela,
       {},
       "expect-form FrmGarVenez_Cnc\nclick btConfirma\nok\nexpect-focus edValor\ntype 0\n"
       "expect-text edValor 0,00\nclick btConfirma\nok\nexpect-text edValor \"\"\n"
       "type 15.000\nexpect-text edValor 150,00\nkey Enter\nkey Enter\ntype 777\nkey Enter\n"
       "expect-focus edRGGar\ntype 12345678\nkey Enter\nexpect-focus edBanco\ntype 102\n"
       "key Enter\nexpect-focus edConta\ntype 0123456789\nkey Enter\ntype 1\nkey Enter\n"
       "type 000123\nkey Enter\ntype 4\nkey Enter\nkey Enter\n",
       PedidoVenezuela("15000", "2", kDadosVenezuela, "777", "CHQ4:12345678"),
       {"M26", "M790"},
       {{"1003-0", "15000"}, {"1013-0", "777"}, {"1014-0", "777"}}},
      {"Venezuela conta do host, banco pedido",
       {"consulta"},
       kVenezuela,
       {"1003-0=5000", "1029-0=341", "1032-0=0123456789", "1033-0=1", "1034-0=000123", "1035-0=4"},
       "expect-form FrmGarVenez_Cnc\nexpect-disabled edValor\nkey Enter\ntype 55\nkey Enter\n"
       "key Enter\nexpect-focus edBanco\nexpect-text edBanco \"\"\nexpect-disabled edCheque\n"
       "expect-disabled edC3\nclick btConfirma\nok\nexpect-focus edBanco\ntype 102\n"
       "click btConfirma\n",
       PedidoVenezuela("5000", "2", kDadosVenezuela, "55", ""),
       {"M804"},
       {{"1029-0", "341"}}},
      {"Venezuela pelo ADM, CMC-7",
       {"adm", "1"},
       "",
       {"1003-0=100"},
       "expect-form FrmGarVenez_Cnc\nexpect-text edValor 1,00\nkey Enter\ntype 8\nkey Enter\n"
       "key Enter\nclick edCMC7\ntype " +
           kCmc7 + "\nclick btConfirma\n",
       PedidoVenezuela("100", "0", kCmc7, "8", ""),
       {},
       {{"1005-0", kCmc7}, {"1061-0", "0"}}},
      {"7C tres autorizacoes",
       {"consulta"},
       k7C,
       {},
       Ate7CQuantidade("10062024", "1", "1") +
           "type 3\nkey Enter\n"
           "expect-form FrmCncMultiAut\ntype " +
           n1 + "\nkey Enter\nclick btConfirma\nok\nexpect-focus sg_dadoschq_1\ntype " + n2 +
           "\nkey Enter\ntype " + n3 +
           "\nkey Enter\nexpect-focus btConfirma\nkey Enter\nexpect-form FrmGarChq7C_Cnc\n"
           "expect-focus btConfirma\nexpect-disabled edNumAutorizacao\nkey Enter\n",
       Pedido7C("2", "10062024", "1", {n1, n2, n3}),
       {"A linha dos dados do Cheque 2 não foi preenchida."},
       {{"10101-0", "3"}, {"1006-0", "F"}}},
      {"7C uma autorizacao, CPF como pessoa juridica",
       {"consulta"},
       k7C,
       {},
       Ate7CQuantidade("15062024", "2", "0") +
           "type 1\nkey Enter\n"
           "expect-focus edNumAutorizacao\ntype " +
           n1 + "\nkey Enter\nkey Enter\n",
       Pedido7C("1", "15062024", "0", {n1}),
       {},
       {{"1006-0", "J"}, {"10101-0", ""}}},
      {"7C quantidade 30, grade cancelada, data de amanha",
       {"consulta"},
       k7C,
       {},
       Ate7CQuantidade("16062024", "1", "0") +
           "type 30\nkey Enter\nok\nexpect-focus edQtdChq\n"
           "expect-text edQtdChq 1\ntype 2\nkey Enter\nexpect-form FrmCncMultiAut\n"
           "click btRetorna\nexpect-form FrmGarChq7C_Cnc\nexpect-focus edQtdChq\n"
           "expect-enabled edNumAutorizacao\ntype 1\nkey Enter\ntype " +
           n1 +
           "\nclick btConfirma\nok\nexpect-focus edData\nexpect-text edData \"  /  /    \"\n"
           "click btRetorna\nexpect-form FrmRedes_Mnu\ntype 9\n",
       {},
       {kQtdInvalida, "M787"},
       {{"10101-0", "2"}, {"1013-0", ""}, {"10163-0", ""}}},
  };
}

class Hoje {
public:
  Hoje() { setenv("CHEQUE_TODAY", "15/06/2024", 1); }
  ~Hoje() { unsetenv("CHEQUE_TODAY"); }
};

} // namespace

TEST(Cancelamento, SessoesCompletasGravamOPedidoEOArquivo) {
  Hoje hoje;
  std::string mensagens = TestMessages();
  for (int id : {26, 787, 790, 804, 809})
    mensagens += std::to_string(id) + "=M" + std::to_string(id) + "\n";
  for (const Caso &c : Casos()) {
    SCOPED_TRACE(c.nome);
    Session s;
    s.dir.Write("mensagens.txt", mensagens);
    s.chequeIni = c.chequeIni;
    s.sets = c.sets;
    s.extra = {"--unmasked"};
    s.options["--scenario"] =
        s.dir.Write("cenario.ini", "[autorizacao]\n1009-0 = 0\n1027-0 = CANCELADA\n");
    const Outcome o = s.Run(c.operacao, c.roteiro);
    if (o.run.exitCode != 0 || !o.saved) {
      ADD_FAILURE() << o.Diagnostics();
      continue;
    }
    EXPECT_EQ(Pedido(o), c.pedido);
    std::vector<std::string> caixas;
    for (const Json &e : o.Events("msgbox")) caixas.push_back(e["text"].get<std::string>());
    EXPECT_EQ(caixas, c.mensagens);
    for (const auto &[campo, valor] : c.arquivo) {
      const auto it = o.store.find(campo);
      EXPECT_EQ(it == o.store.end() ? "" : it->second, valor) << campo;
    }
    if (!c.pedido.empty()) {
      EXPECT_EQ(o.store.at("1027-0"), "CANCELADA");
    }
    EXPECT_TRUE(AuditMatchesForms(o));
  }
}

TEST(Cancelamento, SessoesDaDemonstracaoCancelam) {
  const std::string demo = SourceDir() + "/share/demo/cancelamento/";
  const std::vector<std::pair<std::string, std::vector<std::string>>> sessoes = {
      {"garantia-digitada", {"consulta"}},
      {"venezuela", {"consulta"}},
      {"garantia-7c", {"consulta"}},
      {"garantia-cmc7-adm", {"--set", "1005-0=" + kCmc7, "adm", "6"}}};
  for (const auto &[script, operacao] : sessoes) {
    SCOPED_TRACE(script);
    Session s;
    s.options["--dir"] = demo;
    s.options["--script"] = demo + script + ".script";
    s.options["--messages"] = SourceDir() + "/share/demo/mensagens.txt";
    s.options["--scenario"] = demo + "cenario.ini";
    const Outcome o = s.Run(operacao, "");
    ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
    EXPECT_EQ(o.Events("authorize").size(), 1u);
    EXPECT_EQ(o.store.at("1027-0"), "GARANTIA CANCELADA");
  }
}
