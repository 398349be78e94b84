// The simulated authoriser: the request decoded from the layout, the scenario's
// answers, the service-5 questions, the PIN pad and the BIN lookup.
#include <cstring>

#include <cheque/host.h>
#include <cheque/layout.h>

#include "PdvTest.h"
#include "platform/Forms.h"

using namespace pdvtest;
using namespace cheque::layout;

namespace {

class AutorizacaoTest : public THostTest {
protected:
  void SetUp() override {
    THostTest::SetUp();
    // What the module does when it is loaded.
    VelkorRegistraResolvedor(&ResolveReferencia);
  }
  TTranscript::Json UltimaRequisicao() {
    auto ev = Eventos("authorize");
    EXPECT_FALSE(ev.empty());
    return ev.empty() ? TTranscript::Json() : ev.back();
  }
};

char gDadosCheque[41];

TEST_F(AutorizacaoTest, LayoutRecordHasTheFixedShape) {
  TRequestLayout l = MontaLayout(0x7C, {Campo(10112), Campo(1003).Atributos(4)});
  const auto *b = reinterpret_cast<const uint8_t *>(&l);
  EXPECT_EQ(b[0], 0x7C);
  EXPECT_EQ(b[407], 0x90);
  // Entry 1 (bytes 17-29): field 1003, attribute byte 4.
  EXPECT_EQ(b[17] | b[18] << 8, 1003);
  EXPECT_EQ(b[23], 4);
  // Entry 2 is the end marker.
  EXPECT_EQ(b[30] | b[31] << 8, 0xFFFF);
  EXPECT_THROW(MontaLayout(0x70, {Campo(1),  Campo(2),  Campo(3),  Campo(4),  Campo(5),  Campo(6),
                                  Campo(7),  Campo(8),  Campo(9),  Campo(10), Campo(11), Campo(12),
                                  Campo(13), Campo(14), Campo(15), Campo(16), Campo(17), Campo(18),
                                  Campo(19), Campo(20), Campo(21), Campo(22), Campo(23), Campo(24),
                                  Campo(25), Campo(26), Campo(27), Campo(28), Campo(29), Campo(30),
                                  Campo(31), Campo(32)}),
               std::length_error);
}

// A repeated group (repeat 3, size 4) sends its four fields at indexes 0, 1 and
// 2, record after record; buffers go with their content at the time of the
// call.
TEST_F(AutorizacaoTest, RequestIsDecodedInEntryOrder) {
  TRequestLayout l =
      MontaLayout(0x70, {Campo(10112), Campo(10171), Texto(""), Buffer(gDadosCheque),
                         Grupo(10162, 1, 4), Campo(10163), Campo(10164), Campo(10165).Atributos(4),
                         Campo(10166), Campo(1334, "CODAREA:"), Campo(1200).Atributos(10)});
  l.Entradas[IndiceEntrada(l, 10162)].Repeticao = 3;
  std::strcpy(gDadosCheque, "CHQ1:001\x04"
                            "237");
  H().DefineCampo(10112, 0, "45");
  for (int i = 0; i < 3; ++i)
    for (int c : {10163, 10164, 10165, 10166})
      H().DefineCampo(c, i, std::to_string(c) + "/" + std::to_string(i));
  H().DefineCampo(10163, 3, "nao vai"); // beyond the repeat value
  H().DefineCampo(1334, 0, "51");

  AutorizaTransacao(&l, 0, 0);
  TTranscript::Json req = UltimaRequisicao();
  EXPECT_EQ(req["code"], 0x70);
  EXPECT_EQ(req["code_hex"], "70");
  const auto &e = req["entries"];
  ASSERT_EQ(e.size(), 5u + 12u + 2u);
  EXPECT_EQ(e[0], (TTranscript::Json{{"field", 10112}, {"index", 0}, {"value", "45"}}));
  EXPECT_EQ(e[1], (TTranscript::Json{{"field", 10171}, {"index", 0}, {"absent", true}}));
  EXPECT_EQ(e[2], (TTranscript::Json{{"text", ""}}));
  EXPECT_EQ(e[3], (TTranscript::Json{{"text", "CHQ1:001\x04"
                                              "237"}}));
  EXPECT_EQ(e[4], (TTranscript::Json{{"group", 10162}, {"repeat", 3}, {"size", 4}}));
  int k = 5;
  for (int i = 0; i < 3; ++i)
    for (int c : {10163, 10164, 10165, 10166}) {
      EXPECT_EQ(e[k]["field"], c);
      EXPECT_EQ(e[k]["index"], i);
      EXPECT_EQ(e[k]["value"], std::to_string(c) + "/" + std::to_string(i));
      EXPECT_EQ(e[k].contains("attr"), c == 10165);
      ++k;
    }
  EXPECT_EQ(e[17], (TTranscript::Json{
                       {"field", 1334}, {"index", 0}, {"value", "51"}, {"label", "CODAREA:"}}));
  EXPECT_EQ(e[18]["attr"], TTranscript::Json::array({10, 0, 0}));

  // The buffer is read again at the next call.
  std::strcpy(gDadosCheque, "CMC7");
  AutorizaTransacao(&l, 0, 0);
  EXPECT_EQ(UltimaRequisicao()["entries"][3]["text"], "CMC7");
  EXPECT_EQ(UltimaRequisicao()["n"], 2);
}

TEST_F(AutorizacaoTest, ReferencesWithoutResolverAreMarkedNotGuessed) {
  TRequestLayout l = MontaLayout(0xF0, {Buffer(gDadosCheque)});
  VelkorRegistraResolvedor(nullptr);
  AutorizaTransacao(&l, 0, 0);
  EXPECT_EQ(UltimaRequisicao()["entries"][0]["bad_reference"], true);
}

TEST_F(AutorizacaoTest, DefaultScenarioApproves) {
  TRequestLayout l = MontaLayout(0x72, {Campo(10112)});
  EXPECT_EQ(AutorizaTransacao(&l, 0, 0), 0);
  EXPECT_EQ(H().Campo(1009), "0");
  EXPECT_FALSE(H().Campo(1027).value_or("").empty());
  std::string r = H().Campo(20033).value_or("");
  EXPECT_EQ(std::count(r.begin(), r.end(), '@'), 2) << r; // a kind byte and two lines
  EXPECT_EQ(r.back(), '@');
}

TEST_F(AutorizacaoTest, NumberedSectionOverridesTheGeneralOne) {
  H().CarregaCenarioTexto(R"(
; every authorisation
[autorizacao]
1009-000 = 0
1027-000 = APROVADA
20033-000 = 0linha@
20017-000 = XX

[Autorizacao 2]
1009-000 = 88
remover = 20033, 20017
20017-000 = SC\x01
1027-000 = Responda às perguntas\x20
)",
                          "cenario.ini");
  TRequestLayout l = MontaLayout(0x70, {Campo(10112)});
  H().DefineCampo(20033, 5, "velho");
  EXPECT_EQ(AutorizaTransacao(&l, 0, 0), 0);
  EXPECT_EQ(H().Campo(20033, 5), "velho");
  EXPECT_EQ(AutorizaTransacao(&l, 0, 0), 88);
  EXPECT_EQ(H().Campo(1009), "88");
  EXPECT_EQ(H().Campo(20017), "SC\x01");
  EXPECT_FALSE(H().Campo(20033, 0));
  EXPECT_FALSE(H().Campo(20033, 5));
  EXPECT_EQ(H().Campo(1027),
            "Responda \xE0s perguntas "); // UTF-8 file, Windows-1252 store
  EXPECT_EQ(AutorizaTransacao(&l, 0, 0), 0);
  EXPECT_EQ(H().Campo(20017), "XX");
}

TEST_F(AutorizacaoTest, MalformedScenarioIsRefusedWithItsLine) {
  struct Caso {
    const char *texto;
    int linha;
  };
  const Caso casos[] = {
      {"1009-000 = 0\n", 1},
      {"[autorizacao]\n1009-000 = 0\n[desconhecida]\n", 3},
      {"[autorizacao]\nsem igual\n", 2},
      {"[autorizacao]\n1009-000 = \\q\n", 2},
      {"[autorizacao]\nchave = 1\n", 2},
      {"[autorizacao 0]\n", 1},
      {"[autorizacao]\n[autorizacao]\n", 2},
      {"[autorizacao]\n1009-000 = 0\n1009-000 = 1\n", 3},
      {"[autorizacao\n", 1},
      {"[autorizacao]\nremover = 20033 x\n", 2},
      {"[pinpad]\nsenha = talvez\n", 2},
      {"[bins]\nresultado = 2\n", 2},
      {"\n[servico5]\npergunta1 = 0001;TEXTO;0;1\n", 3},
      {"[servico5]\npergunta1 = 01;TEXTO;0;1;5\n", 2},
      {"[servico5]\npergunta1 = 0001;UM TEXTO DE PERGUNTA COMPRIDO DEMAIS;0;1;5\n", 2},
      {"[servico5]\npergunta1 = 0001;TEXTO;0;5;1\n", 2},
  };
  for (const Caso &c : casos) {
    try {
      H().CarregaCenarioTexto(c.texto, "c.ini");
      ADD_FAILURE() << "accepted: " << c.texto;
    } catch (const pdv::TErroArquivo &e) {
      EXPECT_EQ(e.Linha(), c.linha) << c.texto << " -> " << e.what();
    }
  }
  // The scenario in force stays the one before.
  TRequestLayout l = MontaLayout(0x70, {Campo(10112)});
  EXPECT_EQ(AutorizaTransacao(&l, 0, 0), 0);
}

TEST_F(AutorizacaoTest, QuestionsPinpadAndBinLookupFollowTheScenario) {
  H().CarregaCenarioTexto(R"([autorizacao 1]
1009-000 = 1
[servico5 1]
pergunta1 = 0001;DATA DE NASCIMENTO;0;8;8
pergunta2 = 0002;SENHA DO CARTAO;1;4;6
pergunta3 = 0003;CARTAO;2;0;37
[pinpad]
resposta1 = 1234
cartao1 = 6000123412341234=2512
[bins]
rede = 45
)",
                          "c.ini");
  EXPECT_EQ(VerificaServico5("PERG:", 0), 0); // no answer yet
  TRequestLayout l = MontaLayout(0x70, {Campo(10112)});
  AutorizaTransacao(&l, 0, 0);
  EXPECT_NE(VerificaServico5("PERG:", 0), 0);
  EXPECT_EQ(VerificaServico5("OUTR:", 0), 0);
  TPergunta p[2];
  int32_t n = 0, t = 0, pp = 0, c = 0;
  EXPECT_NE(VerificaServico5Perguntas(p, 2, &n, &t, &pp, &c), 0);
  EXPECT_EQ(n, 3); // more than the room given: only two copied
  EXPECT_EQ(t, 1);
  EXPECT_EQ(pp, 1);
  EXPECT_EQ(c, 1);
  EXPECT_EQ(std::string(p[0].Prefixo, 4) + p[0].Texto, "0001DATA DE NASCIMENTO");
  EXPECT_EQ(p[1].Tipo, '1');
  int32_t minimo = p[1].TamMinimo, maximo = p[1].TamMaximo; // packed: copy, never bind
  EXPECT_EQ(minimo, 4);
  EXPECT_EQ(maximo, 6);

  char titulo[128] = "Consulta";
  EXPECT_EQ(LerSenha(0, "", "Garantia com Senha", 0, titulo), 0);
  EXPECT_EQ(ObtemCampoPinpad(0, "SENHA DO CARTAO", "Cliente: SENHA", titulo, 4, 6), 0);
  EXPECT_EQ(H().Campo(10146), "1234");
  EXPECT_NE(ObtemCampoPinpad(0, "OUTRA", "", titulo, 1, 2),
            0); // no answer left
  EXPECT_NE(FazConsultaBinsRedeDestino(1, 0), 0);
  EXPECT_EQ(H().Campo(10104), "6000123412341234=2512");
  EXPECT_EQ(H().Campo(10112), "45");

  // The second answer carries no questions.
  AutorizaTransacao(&l, 0, 0);
  EXPECT_EQ(VerificaServico5("PERG:", 0), 0);

  H().CarregaCenarioTexto("[pinpad]\nsenha = 3\nresultado = 2\n[bins]\nresultado = 0\n", "c");
  EXPECT_EQ(LerSenha(0, "", "", 0, titulo), 3);
  EXPECT_EQ(ObtemCampoPinpad(0, "", "", titulo, 0, 0), 2);
  EXPECT_EQ(FazConsultaBinsRedeDestino(0, 0), 0);
}

TEST_F(AutorizacaoTest, VenezuelanTimeoutBuildsAReceipt) {
  H().CarregaCenarioTexto("[timeout_venezuela]\n1009-000 = 99\nlinha2 = SEGUNDA\nlinha1 = "
                          "PRIMEIRA\n",
                          "c.ini");
  H().DefineCampo(10218, 0, "       AUTORIZACION DE CHEQUES        ");
  Leitura_Dados_ServicoQ_Timeout_Venezuela();
  EXPECT_EQ(H().Campo(1009), "99");
  Monta_Comprovante_ServicoQ_Timeout_Venezuela();
  EXPECT_EQ(H().Campo(20128), "3");
  EXPECT_EQ(H().Campo(20018, 0), "       AUTORIZACION DE CHEQUES        ");
  EXPECT_EQ(H().Campo(20018, 1), "PRIMEIRA");
  EXPECT_EQ(H().Campo(20018, 2), "SEGUNDA");
}

TEST_F(AutorizacaoTest, ProgressGoesToTheStatusLabel) {
  std::vector<std::pair<TChequeHandle, std::string>> textos;
  H().DefineEscritorStatus(
      [&](TChequeHandle h, const std::string &t) { textos.emplace_back(h, t); });
  TRequestLayout l = MontaLayout(0x70, {Campo(10112)});
  AutorizaTransacao(&l, 1234, 0);
  ASSERT_GE(textos.size(), 2u);
  for (auto &[h, t] : textos) {
    EXPECT_EQ(h, 1234u);
    EXPECT_FALSE(t.empty());
  }
}

// By default the handle is the screen's message label of the form layer.
TEST_F(AutorizacaoTest, DefaultProgressWriterSetsTheLabelCaption) {
  TLabel rotulo(nullptr);
  TRequestLayout l = MontaLayout(0x70, {Campo(10112)});
  AutorizaTransacao(&l, reinterpret_cast<TChequeHandle>(&rotulo), 0);
  EXPECT_FALSE(rotulo.Caption().empty());
  EXPECT_NE(FazConsultaBinsRedeDestino(1, reinterpret_cast<TChequeHandle>(&rotulo)), 0);
}

TEST_F(AutorizacaoTest, FieldEventsAreOptional) {
  VelkorGravaCampo(1, 0, "a", 1);
  EXPECT_TRUE(Eventos("field").empty());
  H().DefineEventosCampo(true);
  GravaCampoString(1006, 0, "F");
  VelkorLimpaCampo(1006);
  VelkorLimpaCampo(4242); // nothing there: no event
  auto ev = Eventos("field");
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0]["field"], 1006);
  EXPECT_EQ(ev[0]["value"], "F");
  EXPECT_EQ(ev[1]["removed"], true);
  EXPECT_FALSE(H().Campo(1006));
}

} // namespace
