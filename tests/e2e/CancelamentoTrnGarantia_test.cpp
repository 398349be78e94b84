// Guarantee cancellations through the real host program: the ordinary and the Venezuelan
// cancellation from the administrative entry point and from the menu, and the cancellation of
// 7C guarantees with its grid of authorisation numbers. Each session is checked on the
// request the network received (the authorize event), the operator messages shown and the
// saved transaction file. Today is fixed at 15/06/2024.
#include <cstdlib>

#include "E2e.h"

namespace e2e {
namespace {

const std::string S = "~"; // the separator 0x04 as Request shows it
const std::string kCmc7 = "341000120180000015012345678901";
// Bank 102, account 0123456789 and digit 1, cheque 000123 and C3 4.
const std::string kDadosVenezuela = "102" + S + "01234567891" + S + "0001234";

// One session from the entry point `operacao`, checked on the request the network received
// ("" = none), the message boxes in order and the saved file ("-" = the field is absent). The
// network answers with `resultado`.
void Cancela(const std::string &nome, const std::vector<std::string> &operacao,
             const std::string &chequeIni, const std::vector<std::string> &sets,
             const std::string &roteiro, const std::string &pedido,
             const std::vector<std::string> &mensagens,
             const std::map<std::string, std::string> &arquivo, int resultado = 0) {
  SCOPED_TRACE(nome);
  Session s;
  s.chequeIni = chequeIni;
  s.sets = sets;
  s.scenario = "[autorizacao]\n1009-0 = " + std::to_string(resultado) + "\n";
  const Outcome o = s.Run(operacao, roteiro);
  ASSERT_TRUE(Completed(o));
  ASSERT_TRUE(o.saved);
  const auto pedidos = o.Events("authorize");
  EXPECT_EQ(pedidos.empty() ? "" : Request(pedidos.back()), pedido);
  EXPECT_EQ(o.MessageBoxes(), mensagens);
  for (const auto &[campo, valor] : arquivo) EXPECT_EQ(o.Field(campo), valor) << campo;
}

// The requests the network receives, by what varies.
std::string PedidoBrasil(const std::string &tipo, const std::string &dados,
                         const std::string &documento, const std::string &data,
                         const std::string &motivo) {
  return "10112=10 10171- 10102=10 10158=7 '" + tipo + "' '" + dados + "' 1013=" + documento +
         " 1020=" + data + " 'CHQ11:" + motivo + "'";
}
// The network is the module's: empty until a consultation of the session configured one.
std::string PedidoVenezuela(const std::string &rede, const std::string &valor,
                            const std::string &tipo, const std::string &dados,
                            const std::string &documento, const std::string &rg) {
  return "10112=" + rede + " 10171- 10102=0 10158=7 1003=" + valor +
         "@4.0.0 1006- 1007- 1046- 1008- 1003=" + valor + "@4.0.0 '" + tipo + "' '" + dados +
         "' 1014=" + documento + " 1020=15062024 '" + rg + "'";
}
std::string Pedido7C(const std::string &tipoPessoa, const std::string &data,
                     const std::string &tipoCancelamento,
                     const std::vector<std::string> &autorizacoes) {
  const std::string n = std::to_string(autorizacoes.size());
  std::string p = "10112=143 10171- '' 10158=3 10103=1 '" + tipoPessoa +
                  "' 1007=52998224725 1013=123 1008=" + data + " 10213=" + tipoCancelamento +
                  " 1046=" + n + " 10162x" + n + "/1";
  for (size_t i = 0; i < autorizacoes.size(); ++i)
    p += " 10163" + (i ? "[" + std::to_string(i) + "]" : std::string()) + "=" + autorizacoes[i];
  return p;
}

const std::string kCancela = Option("Cancela", 70, 7, 95);
const std::string kVenezuela = Option("Venezuela", 70, 7, 96);
const std::string k7C =
    Option("Cancela 7C", 124, 3, 143, {{"TipoSaida", "1"}}) + Option("Sem Tela", 99, 1);

// Brazilian typed cheque from the menu: the cheque number's edit follows tmCheque.
void Digitado(int tmCheque, const std::string &motivo, const std::string &cheque) {
  Cancela("digitado tmCheque " + std::to_string(tmCheque), {"consulta"},
          Option("Cancela", 70, 7, 95, {{"tmCheque", std::to_string(tmCheque)}}), {},
          "expect-form FrmCancGarantia_Mod\nexpect-focus edNumDocumento\ntype 123456789\n"
          "key Enter\nexpect-text edDataTransacao 15/06/2024\nkey Enter\ntype " +
              motivo +
              "\nkey Enter\nexpect-focus edCompensacao\ntype 001\nkey Enter\ntype 237\n"
              "key Enter\ntype 1234\nkey Enter\ntype 12345\nkey Enter\ntype 6\nkey Enter\n"
              "type 1234567\nexpect-text edCheque " +
              cheque + "\nkey Enter\ntype 7\nkey Enter\nexpect-focus btConfirma\nkey Enter\n",
          PedidoBrasil("2", "001" + S + "237" + S + "1234" + S + "123456" + S + cheque + "7",
                       "123456789", "15062024", std::string(3 - motivo.size(), '0') + motivo),
          {}, {{"1110-0", motivo}, {"1061-0", "2"}, {"1005-0", "-"}});
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

TEST(Cancelamento, SessoesCompletasGravamOPedidoEOArquivo) {
  const std::string n1(18, '1'), n2(18, '2'), n3(18, '3');
  setenv("CHEQUE_TODAY", "15/06/2024", 1);
  Digitado(7, "7", "123456");
  Digitado(4, "123", "1234");
  Cancela("CMC-7 do host", {"adm", "6"}, "", {"1005-0=" + kCmc7},
          "expect-form FrmCancGarantia_Mod\ntype 42\nkey Enter\nkey Enter\ntype 123\nkey Enter\n"
          "expect-focus btConfirma\nexpect-disabled edCMC7\nexpect-text edCMC7 " +
              kCmc7 + "\nkey Enter\n",
          PedidoBrasil("0", kCmc7, "42", "15062024", "123"), {},
          {{"1005-0", kCmc7}, {"1061-0", "0"}, {"1110-0", "123"}});
  Cancela("data impossivel, CMC-7 curto", {"adm", "6"}, kCancela, {},
          "expect-form FrmCancGarantia_Mod\ntype 42\nkey Enter\ntype 31022024\nkey Enter\n"
          "type 5\nkey Enter\nclick edCMC7\ntype " +
              kCmc7.substr(1) +
              "\nclick btConfirma\nok\nexpect-focus edDataTransacao\n"
              "expect-text edDataTransacao \"  /  /    \"\ntype 10062024\nclick btConfirma\nok\n"
              "expect-focus edCMC7\nexpect-text edCMC7 " +
              kCmc7.substr(1) + "\nkey Home\ntype 3\nclick btConfirma\n",
          PedidoBrasil("0", kCmc7, "42", "10062024", "005"), {"M787", "M809"}, {{"1005-0", kCmc7}});
  Cancela("Venezuela digitada", {"consulta"}, kVenezuela, {},
          "expect-form FrmGarVenez_Cnc\nclick btConfirma\nok\nexpect-focus edValor\ntype 0\n"
          "expect-text edValor 0,00\nclick btConfirma\nok\nexpect-text edValor \"\"\n"
          "type 15.000\nexpect-text edValor 150,00\nkey Enter\nkey Enter\ntype 777\nkey Enter\n"
          "expect-focus edRGGar\ntype 12345678\nkey Enter\nexpect-focus edBanco\ntype 102\n"
          "key Enter\nexpect-focus edConta\ntype 0123456789\nkey Enter\ntype 1\nkey Enter\n"
          "type 000123\nkey Enter\ntype 4\nkey Enter\nkey Enter\n",
          PedidoVenezuela("", "15000", "2", kDadosVenezuela, "777", "CHQ4:12345678"),
          {"M26", "M790"}, {{"1003-0", "15000"}, {"1013-0", "777"}, {"1014-0", "777"}});
  // A consultation opened and left first: its network is the one the cancellation sends.
  Cancela(
      "Venezuela depois de uma consulta, conta do host, banco pedido", {"consulta"},
      Option("Consulta", 70, 1, 71) + kVenezuela,
      {"1003-0=5000", "1029-0=341", "1032-0=0123456789", "1033-0=1", "1034-0=000123", "1035-0=4"},
      "type 1\nexpect-form FrmCon_Con\nclick btRetorna\nexpect-form FrmRedes_Mnu\ntype 2\n"
      "expect-form FrmGarVenez_Cnc\nexpect-disabled edValor\nkey Enter\ntype 55\nkey Enter\n"
      "key Enter\nexpect-focus edBanco\nexpect-text edBanco \"\"\nexpect-disabled edCheque\n"
      "expect-disabled edC3\nclick btConfirma\nok\nexpect-focus edBanco\ntype 102\n"
      "click btConfirma\n",
      PedidoVenezuela("71", "5000", "2", kDadosVenezuela, "55", ""), {"M804"}, {{"1029-0", "341"}});
  Cancela("Venezuela pelo ADM, CMC-7", {"adm", "1"}, "", {"1003-0=100"},
          "expect-form FrmGarVenez_Cnc\nexpect-text edValor 1,00\nkey Enter\ntype 8\nkey Enter\n"
          "key Enter\nclick edCMC7\ntype " +
              kCmc7 + "\nclick btConfirma\n",
          PedidoVenezuela("", "100", "0", kCmc7, "8", ""), {},
          {{"1005-0", kCmc7}, {"1061-0", "0"}});
  Cancela("7C tres autorizacoes", {"consulta"}, k7C, {},
          Ate7CQuantidade("10062024", "1", "1") +
              "type 3\nkey Enter\nexpect-form FrmCncMultiAut\ntype " + n1 +
              "\nkey Enter\nclick btConfirma\nok\nexpect-focus sg_dadoschq_1\ntype " + n2 +
              "\nkey Tab\ntype " + n3 +
              "\nkey Enter\nexpect-focus btConfirma\nkey Enter\nexpect-form FrmGarChq7C_Cnc\n"
              "expect-focus btConfirma\nexpect-disabled edNumAutorizacao\nkey Enter\n",
          Pedido7C("2", "10062024", "1", {n1, n2, n3}),
          {"A linha dos dados do Cheque 2 não foi preenchida."},
          {{"10101-0", "3"}, {"1006-0", "F"}});
  // Refused: network 143 of the option is only sent, so the answer is not taken for a
  // Venezuelan network's (no refusal receipt, the result code kept).
  Cancela("7C uma autorizacao recusada, CPF como pessoa juridica", {"consulta"}, k7C, {},
          Ate7CQuantidade("15062024", "2", "0") +
              "type 1\nkey Enter\nexpect-focus edNumAutorizacao\ntype " + n1 +
              "\nkey Enter\nkey Enter\n",
          Pedido7C("1", "15062024", "0", {n1}), {},
          {{"1006-0", "J"}, {"10101-0", "-"}, {"1009-0", "5"}, {"10218-0", "-"}, {"20128-0", "-"}},
          5);
  Cancela("7C quantidade 30, grade cancelada, data de amanha", {"consulta"}, k7C, {},
          Ate7CQuantidade("16062024", "1", "0") +
              "type 30\nkey Enter\nok\nexpect-focus edQtdChq\n"
              "expect-text edQtdChq 1\ntype 2\nkey Enter\nexpect-form FrmCncMultiAut\n"
              "click btRetorna\nexpect-form FrmGarChq7C_Cnc\nexpect-focus edQtdChq\n"
              "expect-enabled edNumAutorizacao\ntype 1\nkey Enter\ntype " +
              n1 +
              "\nclick btConfirma\nok\nexpect-focus edData\nexpect-text edData \"  /  /    \"\n"
              "click btRetorna\nexpect-form FrmRedes_Mnu\ntype 9\n",
          "", {"Quantidade de Cheques Inválida. Informe novamente (máx.25).", "M787"},
          {{"10101-0", "2"}, {"1013-0", "-"}, {"10163-0", "-"}});
  unsetenv("CHEQUE_TODAY");
}

// Retorna pressed while leaving the reason: the typed-cheque panel takes the focus as on any way
// out of the reason, and the press still closes the screen uncompleted.
TEST(Cancelamento, RetornaAoDeixarOMotivoFocaOPainelEFecha) {
  Session s;
  s.chequeIni = kCancela + Option("Sem Tela", 99, 1);
  const Outcome o = s.Run({"consulta"}, "type 1\ntype 42\nkey Enter\nkey Enter\ntype 5\n"
                                        "click btRetorna\nexpect-form FrmRedes_Mnu\ntype 9\n");
  ASSERT_TRUE(Completed(o)); // the menu came back: the screen closed uncompleted
  std::string focos;
  for (const Json &e : o.Events("focus")) focos += e["control"].dump() + " ";
  EXPECT_NE(focos.find("\"edMotivo\" \"edCompensacao\" null"), std::string::npos) << focos;
}

} // namespace
} // namespace e2e
