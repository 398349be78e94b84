// Consultation codes 72, 74, 78, 7C and F0 and the 7C guarantee through the real host program:
// one operator session per row, the request as the network receives it (decoded from the
// authorize event, in layout order) and what the point of sale finds in the transaction file.
#include "E2e.h"

using namespace e2e;

namespace {

using Chaves = std::vector<std::pair<std::string, std::string>>;

// The request on one line: "F=V" ("F[i]=V" past index 0), "F-" absent, "@a.b.c" attribute
// bytes, 'T' a buffer or constant text, "xR/G" a repeated group; the byte 0x04 shows as "~".
std::string Requisicao(const Json &autorizacao) {
  std::string r;
  for (const Json &e : autorizacao["entries"]) {
    std::string s;
    if (e.contains("group")) {
      s = "x" + std::to_string(e["repeat"].get<int>()) + "/" + std::to_string(e["size"].get<int>());
    } else if (e.contains("text")) {
      s = "'" + e["text"].get<std::string>() + "'";
    } else {
      const int i = e["index"].get<int>();
      s = std::to_string(e["field"].get<int>()) + (i ? "[" + std::to_string(i) + "]" : "") +
          (e.contains("value") ? "=" + e["value"].get<std::string>() : "-");
    }
    if (e.contains("attr"))
      s += "@" + std::to_string(e["attr"][0].get<int>()) + "." +
           std::to_string(e["attr"][1].get<int>()) + "." + std::to_string(e["attr"][2].get<int>());
    r += (r.empty() ? "" : " ") + s;
  }
  for (char &c : r)
    if (c == '\x04') c = '~';
  return r;
}

// "click NAME" and "type TEXT" for each pair: the operator fills those edits.
std::string Preenche(const Chaves &edits) {
  std::string s;
  for (const auto &[nome, texto] : edits) s += "click " + nome + "\ntype " + texto + "\n";
  return s;
}

const std::string kLinha = "341000120180000015012345678901"; // bank 341, branch 0001 ...
const std::string kCpf = "52998224725", kCnpj = "11222333000181";
const std::string kConta60(60, '7');

// Typed cheque: bank 1, branch 23, the account and digit given, cheque 123456.
std::string Digitado(const std::string &conta = "12345", const std::string &cheque = "123456") {
  return Preenche({{"edBanco", "1"},
                   {"edAgencia", "23"},
                   {"edConta", conta},
                   {"edDigito", "6"},
                   {"edCheque", cheque}});
}
std::string Cmc7(const std::string &tipoDoc, const std::string &documento) {
  return Preenche({{"edCMC7", kLinha}, {"edTipoDoc", tipoDoc}, {"edCPFCGC", documento}});
}
const Chaves kPorCmc7 = {{"opCmc7", "0"}, {"opBanco", "2"}};
const Chaves kSemDocumento = {{"opTipoDoc", "1"}};

struct Caso {
  const char *nome;
  int codigo, funcao;
  std::vector<Chaves> ini; // keys over an option of network 12, typed entry only
  std::vector<std::string> sets;
  std::string roteiro;                        // once the screen is open; "click btConfirma" follows
  std::string requisicao;                     // empty: nothing may be sent
  std::map<std::string, std::string> arquivo; // "-": absent
  std::string depois = "";                    // after the confirmation
};

Outcome Executa(const Caso &c) {
  Chaves chaves = {{"opAbertura", "1"}, {"opNascto", "1"}};
  for (const Chaves &k : c.ini) chaves.insert(chaves.end(), k.begin(), k.end());
  Session s;
  // A second option keeps the menu waiting, so a cancelled screen does not open again.
  s.chequeIni = Option("Codigo", c.codigo, c.funcao, 12, chaves) + Option("Outra", 99, 1);
  s.sets = {"1003-0=15000", "1008-0=10062024"};
  s.sets.insert(s.sets.end(), c.sets.begin(), c.sets.end());
  s.options["--scenario"] = s.dir.Write("cenario.ini", "[autorizacao]\n1009-0 = 0\n");
  s.dir.Write("mensagens.txt", TestMessages() + "1725=M1725\n");
  s.extra = {"--unmasked"};
  return s.Run({"consulta"}, "type 1\n" + c.roteiro + "click btConfirma\n" + c.depois);
}

void Verifica(const Caso &c) {
  SCOPED_TRACE(c.nome);
  const Outcome o = Executa(c);
  ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
  const auto autorizacoes = o.Events("authorize");
  ASSERT_EQ(autorizacoes.size(), c.requisicao.empty() ? 0u : 1u);
  if (!c.requisicao.empty()) {
    EXPECT_EQ(Requisicao(autorizacoes[0]), c.requisicao);
  }
  for (const auto &[chave, valor] : c.arquivo)
    EXPECT_EQ(o.store.count(chave) ? o.store.at(chave) : "-", valor) << chave;
  EXPECT_TRUE(AuditMatchesForms(o));
}

} // namespace

TEST(ConsultaCodigos, CadaCodigoEnviaSeusCamposNaOrdemDoLayout) {
  const std::string cab = "10112=12 10171- ", valor = "1003=15000@4.0.0 ", data = "1008=10062024";
  const std::string garantia = cab + "'' 10158=2 10103=1 ";
  const Chaves g7c = {{"TipoSaida", "1"}, {"opCmc7", "0"}, {"opBanco", "2"}};
  // Three cheques from the CMC-7 grid, which opens when the operator leaves the quantity.
  std::string grade, tresCheques;
  for (int i = 0; i < 3; ++i) {
    const std::string linha(30, char('1' + i)), n = i ? "[" + std::to_string(i) + "]" : "";
    grade += "type " + linha + "\nkey Enter\ntype 5000\nkey Enter\ntype 0" + std::to_string(i + 1) +
             "072024\nkey Enter\n";
    tresCheques += " 10167" + n + "=" + linha + " 10165" + n + "=5000@4.0.0 10166" + n + "=0" +
                   std::to_string(i + 1) + "072024";
  }
  const Caso casos[] = {
      {"72 digitada",
       72,
       1,
       {kSemDocumento},
       {},
       Digitado(),
       cab + valor + "1006=F 1007= 1029=1 1030=23 1034=123456 " + data +
           " 1046=1 '0' 'CHQ1:12345;6' '' '' '' '' '' '' 1334-",
       {{"1006-0", "F"}, {"1032-0", "12345"}}},
      {"72 conta de 60",
       72,
       1,
       {kSemDocumento, {{"tmConta", "61"}}},
       {},
       Digitado(kConta60),
       cab + valor + "1006=F 1007= 1029=1 1030=23 1034=123456 " + data +
           " 1046=1 '0' 'CHQ1:" + kConta60.substr(0, 14) + "' '' '' '' '' '' '' 1334-",
       {{"1032-0", kConta60}}},
      {"72 cmc7",
       72,
       1,
       {kPorCmc7},
       {},
       Cmc7("2", kCnpj),
       cab + valor + "1006=J 1007=" + kCnpj + " 1029=341 1030=0001 1034=0000015 " + data +
           " 1046=1 '0' 'CHQ1:3456789;0' '' '' '' '' '' '' 1334-",
       {{"1005-0", kLinha}, {"1006-0", "J"}}},
      {"74 digitada",
       74,
       1,
       {kSemDocumento},
       {},
       Digitado(),
       cab + valor + "1029=1@0.0.255 1030=23 1034=123456 1006=J 1007= " + data + " 1334-",
       {{"1006-0", "J"}}},
      {"74 cmc7",
       74,
       1,
       {kPorCmc7},
       {},
       Cmc7("1", kCpf),
       cab + valor + "1029=341@0.0.255 1030=0001 1034=0000015 1006=F 1007=" + kCpf + " " + data +
           " 1334-",
       {}},
      {"78 cmc7",
       78,
       1,
       {kPorCmc7, {{"TipoConsulta", "3"}}},
       {},
       Cmc7("1", kCpf),
       cab + "1042- 1043=3 10102=12 1007=" + kCpf + " " + valor + "1044- 1029= 1030= 1034= " +
           data + " 1046- '' '' '' '' '' '' '' 'CMC7:1;" + kLinha + "' '' 1334-",
       {{"1029-0", ""}, {"1043-0", "3"}}},
      {"78 digitada",
       78,
       1,
       {kSemDocumento},
       {},
       Digitado(),
       cab + "1042- 1043=1 10102=12 1007= " + valor + "1044- 1029=1 1030=23 1034=123456 " + data +
           " 1046- '' '' '' 'CHQ1:12345;6' '' '' '' '' '' 1334-",
       {}},
      {"7C digitada, texto de 45 cortado",
       124,
       1,
       {kSemDocumento, {{"tmConta", "32"}, {"TipoSaida", "5"}}},
       {},
       Digitado(std::string(31, '8')) + Preenche({{"edDDD", "51"}, {"edTelefone", "5551234"}}),
       cab + "'' 10158=1 10103=5 1006=2 1007= '~1~23~" + std::string(31, '8') + "6~1' " + valor +
           "1046=1 " + data + " '51' '5551234' 1334-",
       {{"1006-0", "F"}, {"10103-0", "5"}}},
      {"7C cmc7",
       124,
       1,
       {kPorCmc7},
       {},
       Cmc7("2", kCnpj),
       cab + "'' 10158=1 10103= 1006=1 1007=" + kCnpj + " '" + kLinha + "' " + valor + "1046=1 " +
           data + " '' '' 1334-",
       {{"1006-0", "J"}}},
      {"F0 digitada, modo 3",
       240,
       1,
       {kSemDocumento, {{"TipoEntChqManual", "3"}, {"tmCheque", "8"}}},
       {},
       Digitado("12345", "1234567"),
       cab + "'' 10158=1 " + valor + "1006=2 1007= 1046=1 x1/5 " + data + " " + valor +
           "'3' ';1;23;12345;6;123456;7' '' '' '' 1334-",
       {{"1034-0", "1234567"}}},
      {"F0 cmc7 com abertura",
       240,
       1,
       {kPorCmc7, {{"opAbertura", "0"}}},
       {},
       Cmc7("1", kCpf) + Preenche({{"edAberturaCC", "052020"}}),
       cab + "'' 10158=1 " + valor + "1006=2 1007=" + kCpf + " 1046=1 x1/5 " + data + " " + valor +
           "'0' '" + kLinha + "' '052020' '' '' 1334-",
       {{"1200-0", "-"}}},
      {"garantia 7C, resposta exigida e vazia",
       124,
       2,
       {g7c, {{"opDemoPrazos", "0"}}},
       {},
       Cmc7("1", kCpf),
       "",
       {{"10158-0", "-"}, {"1046-0", "-"}},
       "expect-msgbox M1725\nok\nexpect-focus edDemoPrazos\nclick btRetorna\ntype 9\n"},
      {"garantia 7C, prazos nao",
       124,
       2,
       {g7c, {{"opDemoPrazos", "2"}, {"DemoPrazos", "nao"}}},
       {},
       "expect-disabled edDemoPrazos\n" + Cmc7("1", kCpf),
       garantia + "'2' 1007=" + kCpf + " 1200-@10.0.0 10299- 1046=1 x1/3 10167=" + kLinha +
           " 10165=15000@4.0.0 10166=10062024",
       {{"10299-0", "-"}}},
      {"garantia 7C, prazos Sim, 2 recusado",
       124,
       2,
       {g7c, {{"opDemoPrazos", "2"}, {"DemoPrazos", "Sim"}}},
       {},
       Cmc7("2", kCnpj) + "click edDemoPrazos\ntype 2\nexpect-text edDemoPrazos \"\"\ntype 1\n",
       garantia + "'1' 1007=" + kCnpj + " 1200-@10.0.0 10299=1 1046=1 x1/3 10167=" + kLinha +
           " 10165=15000@4.0.0 10166=10062024",
       {{"10299-0", "1"}}},
      {"garantia 7C, tres cheques",
       124,
       2,
       {g7c, {{"ColetaQtdChq", "1"}}},
       {"1046-0=3"},
       "click edCMC7\nexpect-form FrmMult_CMC7\n" + grade +
           "click btConfirma\nexpect-form FrmGarChq_7C\n" +
           Preenche({{"edTipoDoc", "1"}, {"edCPFCGC", kCpf}}),
       garantia + "'2' 1007=" + kCpf + " 1200-@10.0.0 10299- 1046=3 x3/3" + tresCheques,
       {{"1046-0", "3"}, {"10101-0", "3"}}},
  };
  for (const Caso &c : casos) Verifica(c);
}

// A configured length the items cannot have falls back to the default: the account edit then
// keeps 9 digits (10 with the check digit).
TEST(ConsultaCodigos, TamanhoConfiguradoForaDoLimiteVoltaAoPadrao) {
  const std::string conta = "123456789012345";
  for (const auto &[tm, guardado] :
       std::vector<std::pair<std::string, std::string>>{{"2000000000", "123456789"},
                                                        {"-5", "123456789"},
                                                        {"0", "123456789"},
                                                        {"13", "123456789012"}}) {
    SCOPED_TRACE(tm);
    const Outcome o =
        Executa({"", 72, 1, {kSemDocumento, {{"tmConta", tm}}}, {}, Digitado(conta), "", {}, ""});
    EXPECT_EQ(o.store.count("1032-0") ? o.store.at("1032-0") : "-", guardado);
  }
}

// The bundled demo sessions of these codes still play to the end and send their code.
TEST(ConsultaCodigos, SessoesDeDemonstracaoChegamAoAutorizador) {
  const std::pair<const char *, int> sessoes[] = {
      {"consulta72-digitada", 0x72}, {"consulta72-cmc7", 0x72},     {"consulta74-digitada", 0x74},
      {"consulta74-cmc7", 0x74},     {"consulta78-digitada", 0x78}, {"consulta78-cmc7", 0x78},
      {"consulta7c-digitada", 0x7C}, {"consulta7c-cmc7", 0x7C},     {"consultaf0-digitada", 0xF0},
      {"consultaf0-cmc7", 0xF0},     {"garantia7c", 0x7C}};
  for (const auto &[nome, codigo] : sessoes) {
    SCOPED_TRACE(nome);
    Session s;
    s.options["--dir"] = SourceDir() + "/share/demo/codigos";
    s.options["--script"] = SourceDir() + "/share/demo/" + nome + ".script";
    s.options["--messages"] = SourceDir() + "/share/demo/mensagens.txt";
    s.options["--scenario"] = SourceDir() + "/share/demo/cenario.ini";
    const Outcome o = s.Run({"consulta"}, "");
    ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
    const auto autorizacoes = o.Events("authorize");
    ASSERT_EQ(autorizacoes.size(), 1u);
    EXPECT_EQ(autorizacoes[0]["code"], codigo);
    EXPECT_TRUE(o.saved);
  }
}
