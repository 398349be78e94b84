// The simulated authoriser and its scenario file: the request decoded from the layout, the
// answers per authorisation, the service-5 questions, the PIN pad and the BIN lookup, binary
// values kept in files, and the files it refuses.
#include <cstring>

#include <cheque/host.h>
#include <cheque/layout.h>

#include "PdvTest.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/text/StrUtils.h"

using namespace pdvtest;
using namespace cheque::layout;

namespace {

char gDadosCheque[41];

class CenarioTest : public THostTest {
protected:
  void SetUp() override {
    THostTest::SetUp();
    VelkorRegistraResolvedor(&ResolveReferencia); // what the module does when it is loaded
  }
  int32_t Autoriza() {
    TRequestLayout l = MontaLayout(0x70, {Campo(10112)});
    return AutorizaTransacao(&l, 0, 0);
  }
  TTranscript::Json UltimaRequisicao() { return Transcript().Events("authorize").back(); }
  // Every index of `campo` in the store, in order.
  std::vector<std::string> Indices(int32_t campo) {
    std::vector<std::string> v;
    for (const auto &[k, valor] : H().Store())
      if (k.first == campo) v.push_back(std::to_string(k.second) + "=" + std::string(valor));
    return v;
  }
};

// A repeated group (repeat 3, size 4) sends its four fields at indexes 0, 1 and 2, record after
// record; buffers go with their content at the time of the call.
TEST_F(CenarioTest, RequestIsDecodedInEntryOrder) {
  TRequestLayout l =
      MontaLayout(0x70, {Campo(10112), Campo(10171), Texto(""), Buffer(gDadosCheque),
                         Grupo(10162, 1, 4), Campo(10163), Campo(10164), Campo(10165).Atributos(4),
                         Campo(10166), Campo(1334, "CODAREA:"), Campo(1200).Atributos(10)});
  const auto *b = reinterpret_cast<const uint8_t *>(&l);
  EXPECT_EQ(b[0], 0x70);
  EXPECT_EQ(b[407], 0x90);                              // the filler
  EXPECT_EQ(b[4 + 13 * 7] | b[5 + 13 * 7] << 8, 10165); // entry 7 (from 0): the field ...
  EXPECT_EQ(b[10 + 13 * 7], 4);                         // ... and its attribute byte
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
  EXPECT_EQ(req["code_hex"], "70");
  // Values, absent fields, texts, groups and attributes as whole sessions decode them are
  // checked end to end; here the entries those sessions do not reach.
  const auto &e = req["entries"];
  ASSERT_EQ(e.size(), 5u + 12u + 2u) << "the record past the repeat is not sent";
  EXPECT_EQ(e[3]["text"], "CHQ1:001\x04"
                          "237");
  EXPECT_EQ(e[4], (TTranscript::Json{{"group", 10162}, {"repeat", 3}, {"size", 4}}));
  EXPECT_EQ(e[16], (TTranscript::Json{{"field", 10166}, {"index", 2}, {"value", "10166/2"}}));
  EXPECT_EQ(e[17]["label"], "CODAREA:");
  EXPECT_EQ(e[18]["attr"], TTranscript::Json::array({10, 0, 0}));
  std::strcpy(gDadosCheque, "CMC7"); // the buffer is read again at the next call
  AutorizaTransacao(&l, 0, 0);
  EXPECT_EQ(UltimaRequisicao()["entries"][3]["text"], "CMC7");
  EXPECT_EQ(UltimaRequisicao()["n"], 2);
  VelkorRegistraResolvedor(nullptr); // references without a resolver are marked, not guessed
  AutorizaTransacao(&l, 0, 0);
  EXPECT_EQ(UltimaRequisicao()["entries"][3]["bad_reference"], true);
  EXPECT_THROW(MontaLayout(0x70, {Campo(1),  Campo(2),  Campo(3),  Campo(4),  Campo(5),  Campo(6),
                                  Campo(7),  Campo(8),  Campo(9),  Campo(10), Campo(11), Campo(12),
                                  Campo(13), Campo(14), Campo(15), Campo(16), Campo(17), Campo(18),
                                  Campo(19), Campo(20), Campo(21), Campo(22), Campo(23), Campo(24),
                                  Campo(25), Campo(26), Campo(27), Campo(28), Campo(29), Campo(30),
                                  Campo(31), Campo(32)}),
               std::length_error); // 31 entries and the end marker fill the record
}

// A hostile repeat value cannot make the host expand millions of entries: a repeat sends at
// most 100 records and the entry that asked for more says how many it asked.
TEST_F(CenarioTest, RepeatValuesAreCutToWhatARequestCanCarry) {
  const struct {
    TItem repete;
    int ultimoIndice; // of field 10163, the last entry: inside the group or after the field
    bool cortado;
  } casos[] = {
      {Grupo(10162, 65535, 1), 99, true},
      {Campo(10102).Repete(65535), 0, true},
      {Grupo(10162, 100, 1), 99, false},
  };
  for (const auto &c : casos) {
    TRequestLayout l = MontaLayout(0x70, {c.repete, Campo(10163)});
    AutorizaTransacao(&l, 0, 0);
    const auto e = UltimaRequisicao()["entries"];
    ASSERT_EQ(e.size(), 101u);
    EXPECT_EQ(e[0].value("repeat_cut", 0), c.cortado ? 65535 : 0);
    EXPECT_EQ(e[100]["field"], 10163);
    EXPECT_EQ(e[100]["index"], c.ultimoIndice);
  }
}

TEST_F(CenarioTest, DefaultApprovesAndANumberedSectionOverridesTheGeneralOne) {
  EXPECT_EQ(Autoriza(), 0);
  EXPECT_EQ(H().Campo(1009), "0");
  H().Reinicia();
  H().CarregaCenarioTexto(R"(
; every authorisation
[autorizacao]
1009-000 = 0
20033-000 = 0linha@
20017-000 = XX
[Autorizacao 2]
1009-000 = 88
remover = 20033, 20017
20017-000 = SC\x01
1027-000 = Responda às perguntas\x20
)",
                          "cenario.ini");
  H().DefineCampo(20033, 5, "velho");
  EXPECT_EQ(Autoriza(), 0);
  EXPECT_EQ(H().Campo(20033, 5), "velho");
  EXPECT_EQ(Autoriza(), 88);
  EXPECT_EQ(H().Campo(20017), "SC\x01");
  EXPECT_FALSE(H().Campo(20033, 0) || H().Campo(20033, 5));
  EXPECT_EQ(H().Campo(1027), "Responda \xE0s perguntas "); // UTF-8 file, Windows-1252 store
  EXPECT_EQ(Autoriza(), 0);
  EXPECT_EQ(H().Campo(20017), "XX");
  // A file a Windows editor saved in its own code page reads as it was meant.
  H().CarregaCenarioTexto("[autorizacao]\n1027-000 = RESTRI\xC7\xC3O\n", "c.ini");
  EXPECT_EQ(H().Cenario().autorizacao->grava.at({1027, 0}), "RESTRI\xC7\xC3O");
}

TEST_F(CenarioTest, MalformedScenarioIsRefusedWithItsLine) {
  const std::pair<const char *, int> casos[] = {
      {"1009-000 = 0\n", 1},
      {"[autorizacao]\n1009-000 = 0\n[desconhecida]\n", 3},
      {"[autorizacao]\nsem igual\n", 2},
      {"[autorizacao]\n  1027-000 =  ab\\q\n", 2},
      {"[autorizacao]\r1009-000 = 0\r1027-000 = A\r", 1},
      {"[autorizacao]\nchave = 1\n", 2},
      {"[autorizacao]\n[autorizacao]\n", 2},
      {"[autorizacao]\n1009-000 = 0\n1009-000 = 1\n", 3},
      {"[autorizacao\n", 1},
      {"[autorizacao]\nremover = 20033 x\n", 2},
      {"[pinpad]\nsenha = talvez\n", 2},
      {"[bins]\ncartao = 1234\n", 2},
      {"\n[servico5]\npergunta1 = 0001;TEXTO;0;1\n", 3},
      {"[servico5]\npergunta1 = 01;TEXTO;0;1;5\n", 2},
      {"[servico5]\npergunta1 = 0001;UM TEXTO DE PERGUNTA COMPRIDO DEMAIS;0;1;5\n", 2},
      {"[servico5]\npergunta1 = 0001;TEXTO;0;5;1\n", 2},
  };
  for (auto [texto, linha] : casos)
    EsperaRecusa([&] { H().CarregaCenarioTexto(texto, "c.ini"); }, linha, texto);
  EXPECT_EQ(Autoriza(), 0); // the scenario in force stays the one before
}

TEST_F(CenarioTest, QuestionsPinpadAndBinLookupFollowTheScenario) {
  H().CarregaCenarioTexto(R"([autorizacao 1]
1009-000 = 1
[servico5 1]
pergunta1 = 0001;DATA DE NASCIMENTO;0;8;8
pergunta2 = 0002;SENHA DO CARTAO;1;4;6
pergunta3 = 0003;CARTAO;2;0;37
[pinpad]
resposta1 = 1234
)",
                          "c.ini");
  EXPECT_EQ(VerificaServico5("PERG:", 0), 0); // no answer yet
  Autoriza();
  EXPECT_NE(VerificaServico5("PERG:", 0), 0);
  EXPECT_EQ(VerificaServico5("OUTR:", 0), 0);
  TPergunta p[2];
  int32_t n = 0, t = 0, pp = 0, c = 0;
  EXPECT_NE(VerificaServico5Perguntas(p, 2, &n, &t, &pp, &c), 0);
  EXPECT_EQ(std::vector<int>({n, t, pp, c}), std::vector<int>({3, 1, 1, 1})); // two copied
  EXPECT_EQ(std::string(p[0].Prefixo, 4) + p[0].Texto, "0001DATA DE NASCIMENTO");
  EXPECT_EQ(p[1].Tipo, '1');
  int32_t minimo = p[1].TamMinimo, maximo = p[1].TamMaximo; // packed: copy, never bind
  EXPECT_EQ(minimo * 10 + maximo, 46);
  char titulo[128] = "Consulta";
  EXPECT_EQ(LerSenha(0, "", "Garantia com Senha", 0, titulo), 0);
  EXPECT_EQ(ObtemCampoPinpad(0, "SENHA DO CARTAO", "Cliente: SENHA", titulo, 4, 6), 0);
  EXPECT_EQ(H().Campo(10146), "1234");
  Autoriza(); // the second answer carries no questions
  EXPECT_EQ(VerificaServico5("PERG:", 0), 0);
  H().CarregaCenarioTexto("[pinpad]\nsenha = 3\nresultado = 2\n", "c");
  EXPECT_EQ(LerSenha(0, "", "", 0, titulo), 3);
  EXPECT_EQ(ObtemCampoPinpad(0, "", "", titulo, 0, 0), 2);
  // Answer N belongs to the N-th question, even when the PIN pad refused it for its length.
  const struct {
    const char *resposta;
    int32_t minimo, maximo;
    bool aceita;
  } casos[] = {{"123", 4, 6, false},        {"1234", 4, 6, true},
               {"123456", 4, 6, true},      {"1234567", 4, 6, false},
               {"12345678901", 0, 0, true}, {"\xE7\xE3", 2, 2, true}}; // 0: no maximum
  H().Reinicia();
  std::string texto = "[pinpad]\n";
  for (size_t i = 0; i < std::size(casos); ++i)
    texto += "resposta" + std::to_string(i + 1) + " = " + Cp1252ToUtf8(casos[i].resposta) + "\n";
  H().CarregaCenarioTexto(texto, "c.ini");
  for (const auto &c : casos) {
    H().DefineCampo(10146, 0, "-");
    EXPECT_EQ(ObtemCampoPinpad(0, "PERGUNTA", "", titulo, c.minimo, c.maximo) == 0, c.aceita)
        << c.resposta << " " << c.minimo << ".." << c.maximo;
    EXPECT_EQ(H().Campo(10146), c.aceita ? c.resposta : "-") << c.resposta;
  }
  EXPECT_NE(ObtemCampoPinpad(0, "PERGUNTA", "", titulo, 0, 0), 0); // none left
}

// Two card questions, the second card from another network: the second lookup answers with its
// own card and network, and the [pinpad] card list is not advanced by it.
TEST_F(CenarioTest, EachBinLookupCanAnswerDifferently) {
  H().CarregaCenarioTexto(R"([pinpad]
cartao1 = 6000111122223333=2512
cartao2 = 6000444455556666=2601
[bins]
rede = 45
[bins 2]
cartao = 4111111111111111=2703
rede = 51
[Bins 3]
resultado = 0
[bins 4]
cartao = NAO LIDO
)",
                          "c.ini");
  const struct {
    int32_t modo;
    bool ok;
    const char *cartao, *rede; // 10104 and 10112 after the call ("-" and "00" before it)
  } chamadas[] = {
      {1, true, "6000111122223333=2512", "45"},
      {1, true, "4111111111111111=2703", "51"},
      {1, false, "6000444455556666=2601", "45"},
      {0, true, "-", "45"}, // the guarantee reads no card
      {1, true, "-", "45"}, // both card lists used up
  };
  for (const auto &c : chamadas) {
    H().DefineCampo(10104, 0, "-");
    H().DefineCampo(10112, 0, "00");
    EXPECT_EQ(FazConsultaBinsRedeDestino(c.modo, 0) != 0, c.ok) << c.cartao;
    EXPECT_EQ(H().Campo(10104), c.cartao);
    EXPECT_EQ(H().Campo(10112), c.rede);
  }
}

TEST_F(CenarioTest, FieldValuesFromFilesAreLoadedByteForByte) {
  TempDir dir;
  std::filesystem::create_directory(dir / "reg");
  // A POA register of 431 bytes with every awkward byte in it: NUL, CR LF, the escape
  // character, a UTF-8 sequence that must not be converted, 0xFF.
  std::string poa = std::string("0CHEQUE\0SEM\r\nRESTRI\xC3\x87\xC3\x95"
                                "ES\\x41@",
                                31);
  poa += std::string(431 - poa.size() - 1, 'P') + "\xFF";
  std::string tele(327, '\x01');
  tele[0] = 'T';
  WriteFile(dir / "poa.bin", poa);
  WriteFile(dir / "reg/tele.bin", tele);
  WriteFile(dir / "limite.bin", std::string(8192, 'L'));
  WriteFile(dir / "grande.bin", std::string(8193, 'G'));
  WriteFile(dir / "vazio.bin", "");
  WriteFile(dir / "c.ini", R"([autorizacao]
1009-000 = 0
20033-000 = @arquivo:poa.bin
[autorizacao 2]
20033-001 = @arquivo: reg/tele.bin
20033-002 = \x40arquivo:poa.bin
20033-003 = @arquivo:limite.bin
[timeout_venezuela]
20019-000 = @arquivo:vazio.bin
)");
  H().CarregaCenario(dir / "c.ini");
  Autoriza();
  EXPECT_EQ(H().Campo(20033, 0), poa);
  EXPECT_FALSE(H().Campo(20033, 1));
  Autoriza();
  EXPECT_EQ(H().Campo(20033, 0), poa);
  EXPECT_EQ(H().Campo(20033, 1), tele);
  EXPECT_EQ(H().Campo(20033, 2), "@arquivo:poa.bin"); // escaped: a plain text
  EXPECT_EQ(H().Campo(20033, 3)->size(), 8192u);
  Leitura_Dados_ServicoQ_Timeout_Venezuela();
  EXPECT_EQ(H().Campo(20019), "");
  const std::pair<const char *, int> casos[] = {
      {"[autorizacao]\n1009-000 = 0\n20033-000 = @arquivo:falta.bin\n", 3},
      {"[autorizacao 2]\n20033-000 = @arquivo:grande.bin\n", 2},
      {"[autorizacao]\n20033-000 = @arquivo:\n", 2},
      {"[timeout_venezuela]\nlinha1 = @arquivo:poa.bin\n20033-000 = @arquivo:x\n", 3},
  };
  for (auto [texto, linha] : casos) {
    WriteFile(dir / "ruim.ini", texto);
    EsperaRecusa([&] { H().CarregaCenario(dir / "ruim.ini"); }, linha, texto);
  }
}

// [autorizacao 2] replaces only the indexes it names: records of the first answer beyond them
// stay in the store unless the section removes the field.
TEST_F(CenarioTest, LaterAuthorisationLeavesIndexesItDoesNotName) {
  const std::string valores = "20033-000 = A0\n20033-001 = A1\n20033-002 = A2\n20143-000 = 3\n";
  const std::string geral = "[autorizacao]\n1009-000 = 0\n" + valores;
  const std::string propria = "[autorizacao]\n1009-000 = 0\n[autorizacao 1]\n" + valores;
  const std::string troca = "[autorizacao 2]\n20033-000 = B0\n20143-000 = 1\n";
  const std::string remove = "[autorizacao 2]\nremover = 20033\n20033-000 = B0\n20143-000 = 1\n";
  const struct {
    std::string cenario;
    std::vector<std::string> esperado; // 20033 after the second authorisation
  } casos[] = {
      {geral + troca, {"0=B0", "1=A1", "2=A2"}},
      {geral + remove, {"0=B0"}},
      {propria + "[autorizacao 2]\nremover = 20033 20143\n", {}},
  };
  for (const auto &c : casos) {
    H().Reinicia();
    H().CarregaCenarioTexto(c.cenario, "c.ini");
    Autoriza();
    EXPECT_EQ(Indices(20033), (std::vector<std::string>{"0=A0", "1=A1", "2=A2"})) << c.cenario;
    Autoriza();
    EXPECT_EQ(Indices(20033), c.esperado) << c.cenario;
    EXPECT_EQ(H().Campo(20143), c.esperado.empty() ? std::nullopt : std::optional("1"));
  }
}

TEST_F(CenarioTest, VenezuelanTimeoutAndProgress) {
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
  // Progress goes to the handle's message label, or to the writer the host program set.
  TLabel rotulo(nullptr);
  TRequestLayout l = MontaLayout(0x70, {Campo(10112)});
  AutorizaTransacao(&l, reinterpret_cast<TChequeHandle>(&rotulo), 0);
  EXPECT_FALSE(rotulo.Caption().empty());
  std::vector<std::pair<TChequeHandle, std::string>> textos;
  H().DefineEscritorStatus(
      [&](TChequeHandle h, const std::string &t) { textos.emplace_back(h, t); });
  AutorizaTransacao(&l, 1234, 0);
  ASSERT_GE(textos.size(), 2u);
  for (auto &[h, t] : textos) EXPECT_TRUE(h == 1234u && !t.empty());
}

} // namespace
