// Consultations through the real host program, one operator session per row: code 70 (CMC-7
// lines from the grid, a guarantee) and codes 72, 74, 78, 7C and F0 and the 7C
// guarantee. Each row checks the request as the network receives it (decoded from the
// authorize event, in layout order) and what the point of sale finds in the transaction file.
#include "E2e.h"

namespace e2e {
namespace {

const std::string kLinha = "341000120180000015012345678901"; // bank 341, branch 0001 ...
const std::string kCpf = "52998224725", kCnpj = "11222333000181";
const std::vector<std::string> kPdv = {"1003-0=15000", "1008-0=10062024"};
const Keys kPorCmc7 = {{"opCmc7", "0"}, {"opBanco", "2"}};
const Keys kSemDocumento = {{"opTipoDoc", "1"}};
const Keys kVarios = {{"opCmc7", "0"}, {"opBanco", "2"}, {"ColetaQtdChq", "1"}, {"opTipoDoc", "1"}};

// Typed cheque: bank 1, branch 23, the account and digit given, cheque 123456.
std::string Digitado(const std::string &conta = "12345", const std::string &cheque = "123456") {
  return Fill("edBanco=1|edAgencia=23|edConta=" + conta + "|edDigito=6|edCheque=" + cheque);
}
std::string Cmc7(const std::string &tipoDoc, const std::string &documento) {
  return Fill("edCMC7=" + kLinha + "|edTipoDoc=" + tipoDoc + "|edCPFCGC=" + documento);
}
// Several CMC-7 cheques of `valor` from the code-70 grid; with `correcao` the sum does not
// make up the amount, message 1182 says so and the second cheque is retyped.
std::string Varios(int n, const std::string &valor, const std::string &correcao = "") {
  std::string s = "click edQtdChq\ntype " + std::to_string(n) +
                  "\nkey Enter\nexpect-form FrmMult_CMC7\n" + Grid(n, valor) + "click btConfirma\n";
  if (!correcao.empty())
    s += "expect-msgbox M1182\nok\ncell sg_dadoschq_1 2 1\ntype " + correcao +
         "\nkey Enter\nclick btConfirma\n";
  return s + "expect-form FrmCon_Con\nexpect-disabled edCMC7\n";
}

// The code-70 request of `n` cheques from the grid of `valor` each (the second of `segundo` when
// given) and no document: the amount, the group of cheques, thirteen empty texts.
std::string Pedido70(const std::string &total, int n, const std::string &valor,
                     const std::string &segundo = "") {
  const std::string q = std::to_string(n);
  std::string s = "10112=12 10171- 10102=12 10158=1 1003=" + total +
                  "@4.0.0 1006- 1007= 1046=" + q + " 10162x" + q + "/4";
  for (int i = 0; i < n; ++i) {
    const std::string k = i ? "[" + std::to_string(i) + "]" : "";
    s += " 10166" + k + "=0" + std::to_string(i + 1) + "072024 10165" + k + "=" +
         (i == 1 && !segundo.empty() ? segundo : valor) + "@4.0.0 '0' 10167" + k + "=" +
         GridLine(i);
  }
  s += " 10146-";
  for (int i = 0; i < 13; ++i) s += " ''";
  return s + " 1334-";
}

// One session: an option of the code and function (network 12 unless given) with opAbertura
// and opNascto 1, typed entry only, and the keys of `ini` over it; the script once the screen
// is open, then "click btConfirma" and `depois`. `requisicao` "" means nothing may be sent,
// "*" that it is not checked; a field of `arquivo` "-" must be absent.
void Consulta(const std::string &nome, int codigo, int funcao, const std::vector<Keys> &ini,
              const std::vector<std::string> &sets, const std::string &roteiro,
              const std::string &requisicao, const std::map<std::string, std::string> &arquivo,
              const std::string &depois = "", int rede = 12,
              const std::string &cenario = "[autorizacao]\n1009-0 = 0\n") {
  SCOPED_TRACE(nome);
  Keys chaves = {{"opAbertura", "1"}, {"opNascto", "1"}};
  for (const Keys &k : ini) chaves.insert(chaves.end(), k.begin(), k.end());
  Session s;
  // A second option keeps the menu waiting, so a cancelled screen does not open again.
  s.chequeIni = Option("Codigo", codigo, funcao, rede, chaves) + Option("Outra", 99, 1);
  s.sets = sets;
  s.scenario = cenario;
  const Outcome o = s.Run({"consulta"}, "type 1\n" + roteiro + "click btConfirma\n" + depois);
  ASSERT_TRUE(Completed(o));
  EXPECT_EQ(o.CloseResult("FrmRedes_Mnu"), 1);
  const auto autorizacoes = o.Events("authorize");
  if (requisicao != "*") {
    ASSERT_EQ(autorizacoes.size(), requisicao.empty() ? 0u : 1u);
    EXPECT_EQ(autorizacoes.empty() ? "" : Request(autorizacoes[0]), requisicao);
  }
  for (const auto &[chave, valor] : arquivo) EXPECT_EQ(o.Field(chave), valor) << chave;
}

TEST(Consulta70, CadaSessaoEnviaSeusCamposNaOrdemDoLayout) {
  Consulta("quatro cheques da grade, valor do PDV", 70, 1, {kVarios}, {"1003-0=1000"},
           Varios(4, "250"), Pedido70("1000", 4, "250"),
           {{"10101-0", "4"}, {"10167-3", GridLine(3)}, {"1005-0", ""}});
  Consulta("dois cheques, valor digitado na tela", 70, 1, {kVarios}, {},
           "click edValor\ntype 10,00\n" + Varios(2, "500"), Pedido70("1000", 2, "500"),
           {{"10165-0", "500"}, {"10165-1", "500"}});
  Consulta("valor do PDV que os cheques nao fecham", 70, 1, {kVarios}, {"1003-0=1001"},
           Varios(2, "500", "501"), Pedido70("1001", 2, "500", "501"), {{"10165-1", "501"}});
  Consulta("garantia sem rede de destino: grava sem autorizar", 70, 2,
           {{{"ConsultarBin", "1"}}, kSemDocumento}, {"1003-0=5000"},
           Fill("edBanco=1|edAgencia=23|edConta=456|edDigito=7|edCheque=123456"), "",
           {{"10104-0", "00100230000000456"}, {"10107-0", "5"}, {"10134-0", "2"}, {"10158-0", "2"}},
           "", 117, "[autorizacao]\n1009-0 = 0\n[bins]\nresultado = 0\n");
}

TEST(ConsultaCodigos, CadaCodigoEnviaSeusCamposNaOrdemDoLayout) {
  const std::string cab = "10112=12 10171- ", valor = "1003=15000@4.0.0 ", data = "1008=10062024";
  const std::string garantia = cab + "'' 10158=2 10103=1 ";
  const std::string conta60(60, '7');
  const Keys g7c = {{"TipoSaida", "1"}, {"opCmc7", "0"}, {"opBanco", "2"}};
  Consulta("72 digitada", 72, 1, {kSemDocumento}, kPdv, Digitado(),
           cab + valor + "1006=F 1007= 1029=1 1030=23 1034=123456 " + data +
               " 1046=1 '0' 'CHQ1:12345;6' '' '' '' '' '' '' 1334-",
           {{"1006-0", "F"}, {"1032-0", "12345"}});
  Consulta("72 conta de 60", 72, 1, {kSemDocumento, {{"tmConta", "61"}}}, kPdv, Digitado(conta60),
           cab + valor + "1006=F 1007= 1029=1 1030=23 1034=123456 " + data +
               " 1046=1 '0' 'CHQ1:" + conta60.substr(0, 14) + "' '' '' '' '' '' '' 1334-",
           {{"1032-0", conta60}});
  Consulta("72 cmc7", 72, 1, {kPorCmc7}, kPdv, Cmc7("2", kCnpj),
           cab + valor + "1006=J 1007=" + kCnpj + " 1029=341 1030=0001 1034=0000015 " + data +
               " 1046=1 '0' 'CHQ1:3456789;0' '' '' '' '' '' '' 1334-",
           {{"1005-0", kLinha}, {"1006-0", "J"}});
  Consulta("74 digitada", 74, 1, {kSemDocumento}, kPdv, Digitado(),
           cab + valor + "1029=1@0.0.255 1030=23 1034=123456 1006=J 1007= " + data + " 1334-",
           {{"1006-0", "J"}});
  Consulta("78 cmc7", 78, 1, {kPorCmc7, {{"TipoConsulta", "3"}}}, kPdv, Cmc7("1", kCpf),
           cab + "1042- 1043=3 10102=12 1007=" + kCpf + " " + valor + "1044- 1029= 1030= 1034= " +
               data + " 1046- '' '' '' '' '' '' '' 'CMC7:1;" + kLinha + "' '' 1334-",
           {{"1029-0", ""}, {"1043-0", "3"}});
  Consulta("78 digitada", 78, 1, {kSemDocumento}, kPdv, Digitado(),
           cab + "1042- 1043=1 10102=12 1007= " + valor + "1044- 1029=1 1030=23 1034=123456 " +
               data + " 1046- '' '' '' 'CHQ1:12345;6' '' '' '' '' '' 1334-",
           {});
  Consulta("7C digitada, texto de 45 cortado", 124, 1,
           {kSemDocumento, {{"tmConta", "32"}, {"TipoSaida", "5"}}}, kPdv,
           Digitado(std::string(31, '8')) + Fill("edDDD=51|edTelefone=5551234"),
           cab + "'' 10158=1 10103=5 1006=2 1007= '~1~23~" + std::string(31, '8') + "6~1' " +
               valor + "1046=1 " + data + " '51' '5551234' 1334-",
           {{"1006-0", "F"}, {"10103-0", "5"}});
  Consulta("7C cmc7", 124, 1, {kPorCmc7}, kPdv, Cmc7("2", kCnpj),
           cab + "'' 10158=1 10103= 1006=1 1007=" + kCnpj + " '" + kLinha + "' " + valor +
               "1046=1 " + data + " '' '' 1334-",
           {{"1006-0", "J"}});
  Consulta("F0 digitada, modo 3", 240, 1,
           {kSemDocumento, {{"TipoEntChqManual", "3"}, {"tmCheque", "8"}}}, kPdv,
           Digitado("12345", "1234567"),
           cab + "'' 10158=1 " + valor + "1006=2 1007= 1046=1 10162x1/5 " + data + " " + valor +
               "'3' ';1;23;12345;6;123456;7' '' '' '' 1334-",
           {{"1034-0", "1234567"}});
  Consulta("F0 cmc7 com abertura", 240, 1, {kPorCmc7, {{"opAbertura", "0"}}}, kPdv,
           Cmc7("1", kCpf) + Fill("edAberturaCC=052020"),
           cab + "'' 10158=1 " + valor + "1006=2 1007=" + kCpf + " 1046=1 10162x1/5 " + data + " " +
               valor + "'0' '" + kLinha + "' '052020' '' '' 1334-",
           {{"1200-0", "-"}});
  Consulta("garantia 7C, resposta exigida e vazia", 124, 2, {g7c, {{"opDemoPrazos", "0"}}}, kPdv,
           Cmc7("1", kCpf), "", {{"10158-0", "-"}, {"1046-0", "-"}},
           "expect-msgbox M1725\nok\nexpect-focus edDemoPrazos\nclick btRetorna\ntype 9\n");
  Consulta("garantia 7C, prazos nao", 124, 2, {g7c, {{"opDemoPrazos", "2"}, {"DemoPrazos", "nao"}}},
           kPdv, "expect-disabled edDemoPrazos\n" + Cmc7("1", kCpf),
           garantia + "'2' 1007=" + kCpf + " 1200-@10.0.0 10299- 1046=1 10162x1/3 10167=" + kLinha +
               " 10165=15000@4.0.0 10166=10062024",
           {{"10299-0", "-"}});
  Consulta("garantia 7C, prazos Sim, 2 recusado", 124, 2,
           {g7c, {{"opDemoPrazos", "2"}, {"DemoPrazos", "Sim"}}}, kPdv,
           Cmc7("2", kCnpj) + "click edDemoPrazos\ntype 2\nexpect-text edDemoPrazos \"\"\ntype 1\n",
           garantia + "'1' 1007=" + kCnpj + " 1200-@10.0.0 10299=1 1046=1 10162x1/3 10167=" +
               kLinha + " 10165=15000@4.0.0 10166=10062024",
           {{"10299-0", "1"}});
  // The grid opens when the operator leaves the quantity the point of sale gave. An opDemoPrazos
  // other than 0, 1 and 2 asks no terms answer.
  std::string tresCheques;
  for (int i = 0; i < 3; ++i) {
    const std::string n = i ? "[" + std::to_string(i) + "]" : "";
    tresCheques += " 10167" + n + "=" + GridLine(i) + " 10165" + n + "=5000@4.0.0 10166" + n +
                   "=0" + std::to_string(i + 1) + "072024";
  }
  Consulta("garantia 7C, tres cheques, prazos 3", 124, 2,
           {g7c, {{"ColetaQtdChq", "1"}, {"opDemoPrazos", "3"}}}, {kPdv[0], kPdv[1], "1046-0=3"},
           "expect-disabled lbDemoPrazos\nclick edCMC7\nexpect-form FrmMult_CMC7\n" +
               Grid(3, "5000") + "click btConfirma\nexpect-form FrmGarChq_7C\n" +
               Fill("edTipoDoc=1|edCPFCGC=" + kCpf),
           garantia + "'2' 1007=" + kCpf + " 1200-@10.0.0 10299- 1046=3 10162x3/3" + tresCheques,
           {{"1046-0", "3"}, {"10101-0", "3"}});
  // A configured length the items cannot have falls back to the default: the account edit
  // then keeps 9 digits (10 with the check digit).
  for (const auto &[tm, guardado] : std::vector<std::pair<std::string, std::string>>{
           {"2000000000", "123456789"}, {"13", "123456789012"}})
    Consulta("72 tmConta " + tm, 72, 1, {kSemDocumento, {{"tmConta", tm}}}, kPdv,
             Digitado("123456789012345"), "*", {{"1032-0", guardado}});
}

} // namespace
} // namespace e2e
