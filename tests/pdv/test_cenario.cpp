// Scenario features that shape a whole run: answers per BIN lookup, binary
// field values kept in files, several authorisations writing one field, and
// the answer lengths the PIN pad accepts.
#include <cheque/host.h>
#include <cheque/layout.h>

#include "PdvTest.h"
#include "platform/StrUtils.h"

using namespace pdvtest;
using namespace cheque::layout;

namespace {

class CenarioTest : public THostTest {
protected:
  void SetUp() override {
    THostTest::SetUp();
    VelkorRegistraResolvedor(&ResolveReferencia);
  }
  int32_t Autoriza() {
    TRequestLayout l = MontaLayout(0x70, {Campo(10112)});
    return AutorizaTransacao(&l, 0, 0);
  }
  // Every index of `campo` in the store, in order.
  std::vector<std::string> Indices(int32_t campo) {
    std::vector<std::string> v;
    for (const auto &[k, valor] : H().Store())
      if (k.first == campo) v.push_back(std::to_string(k.second) + "=" + valor);
    return v;
  }
  void EsperaRecusa(const std::string &texto, const std::string &nome, int linha) {
    try {
      H().CarregaCenarioTexto(texto, nome);
      ADD_FAILURE() << "accepted: " << texto;
    } catch (const pdv::TErroArquivo &e) {
      EXPECT_EQ(e.Linha(), linha) << texto << " -> " << e.what();
    }
  }
};

// Two card questions, the second card from another network: the second lookup
// answers with its own card and network, and the [pinpad] card list is not
// advanced by it.
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
  struct Chamada {
    int32_t modo;
    bool ok;
    const char *cartao; // 10104 after the call (the test leaves "-" before it)
    const char *rede;   // 10112 after the call (the test leaves "00" before it)
  };
  const Chamada chamadas[] = {
      {1, true, "6000111122223333=2512", "45"},
      {1, true, "4111111111111111=2703", "51"},
      {1, false, "6000444455556666=2601", "45"},
      {0, true, "-", "45"}, // the guarantee lookup reads no card
      {1, true, "-", "45"}, // both card lists used up
  };
  for (size_t i = 0; i < std::size(chamadas); ++i) {
    const Chamada &c = chamadas[i];
    H().DefineCampo(10104, 0, "-");
    H().DefineCampo(10112, 0, "00");
    EXPECT_EQ(FazConsultaBinsRedeDestino(c.modo, 0) != 0, c.ok) << "lookup " << i + 1;
    EXPECT_EQ(H().Campo(10104), c.cartao) << "lookup " << i + 1;
    EXPECT_EQ(H().Campo(10112), c.rede) << "lookup " << i + 1;
  }
  // A new run counts from 1 again.
  H().Reinicia();
  H().CarregaCenarioTexto("[bins 1]\nresultado = 0\n", "c.ini");
  EXPECT_EQ(FazConsultaBinsRedeDestino(1, 0), 0);
  EXPECT_NE(FazConsultaBinsRedeDestino(1, 0), 0);

  EsperaRecusa("[bins]\ncartao = 1234\n", "c.ini", 2);
  EsperaRecusa("[bins 0]\nrede = 45\n", "c.ini", 1);
  EsperaRecusa("[bins 2]\nrede = 45\n\n[bins 2]\n", "c.ini", 4);
  EsperaRecusa("[bins 2]\nresultado = sim\n", "c.ini", 2);
  EsperaRecusa("[bins 2]\nsenha = 1\n", "c.ini", 2);
}

TEST_F(CenarioTest, FieldValuesFromFilesAreLoadedByteForByte) {
  TDirTemp dir;
  std::filesystem::create_directory(dir / "reg");
  // A POA register of 431 bytes with every awkward byte in it: NUL, CR LF, the
  // escape character, a UTF-8 sequence that must not be converted, 0xFF.
  std::string poa = std::string("0CHEQUE\0SEM\r\nRESTRI\xC3\x87\xC3\x95"
                                "ES\\x41@",
                                31);
  poa += std::string(431 - poa.size() - 1, 'P') + "\xFF";
  std::string tele(327, '\x01');
  tele[0] = 'T';
  EscreveArquivo(dir / "poa.bin", poa);
  EscreveArquivo(dir / "reg/tele.bin", tele);
  EscreveArquivo(dir / "limite.bin", std::string(8192, 'L'));
  EscreveArquivo(dir / "vazio.bin", "");
  EscreveArquivo(dir / "c.ini", R"([autorizacao]
1009-000 = 0
20033-000 = @arquivo:poa.bin
20143-000 = 1
[autorizacao 2]
20033-001 = @arquivo: reg/tele.bin
20033-002 = \x40arquivo:poa.bin
20033-003 = @arquivo:limite.bin
[timeout_venezuela]
20019-000 = @arquivo:vazio.bin
)");
  H().CarregaCenario(dir / "c.ini");
  ASSERT_EQ(poa.size(), 431u);
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

  // The value also survives the transaction file.
  H().SalvaArquivoTransacao(dir / "t.txt");
  H().Reinicia();
  H().CarregaArquivoTransacao(dir / "t.txt");
  EXPECT_EQ(H().Campo(20033, 0), poa);

  EscreveArquivo(dir / "grande.bin", std::string(8193, 'G'));
  struct Caso {
    const char *texto;
    int linha;
  };
  const Caso casos[] = {
      {"[autorizacao]\n1009-000 = 0\n20033-000 = @arquivo:falta.bin\n", 3},
      {"[autorizacao 2]\n20033-000 = @arquivo:grande.bin\n", 2},
      {"[timeout_venezuela]\n\n20033-000 = @arquivo:reg\n", 3}, // a directory
      {"[autorizacao]\n20033-000 = @arquivo:\n", 2},
      {"[timeout_venezuela]\nlinha1 = @arquivo:poa.bin\n20033-000 = @arquivo:x\n", 3},
  };
  for (const Caso &c : casos) {
    EscreveArquivo(dir / "ruim.ini", c.texto);
    try {
      H().CarregaCenario(dir / "ruim.ini");
      ADD_FAILURE() << "accepted: " << c.texto;
    } catch (const pdv::TErroArquivo &e) {
      EXPECT_EQ(e.Linha(), c.linha) << c.texto << " -> " << e.what();
      EXPECT_EQ(e.Arquivo(), dir / "ruim.ini");
    }
  }
}

// [autorizacao 2] replaces only the indexes it names: records of the first
// answer beyond them stay in the store unless the section removes the field.
TEST_F(CenarioTest, LaterAuthorisationLeavesIndexesItDoesNotName) {
  const char *primeiraGeral = "[autorizacao]\n1009-000 = 0\n"
                              "20033-000 = A0\n20033-001 = A1\n20033-002 = A2\n20143-000 = 3\n";
  const char *primeiraPropria = "[autorizacao]\n1009-000 = 0\n[autorizacao 1]\n"
                                "20033-000 = A0\n20033-001 = A1\n20033-002 = A2\n20143-000 = 3\n";
  struct Caso {
    const char *primeira;
    const char *segunda;
    std::vector<std::string> esperado; // 20033 after the second authorisation
  };
  const Caso casos[] = {
      {primeiraPropria,
       "[autorizacao 2]\n20033-000 = B0\n20143-000 = 1\n",
       {"0=B0", "1=A1", "2=A2"}},
      {primeiraPropria,
       "[autorizacao 2]\nremover = 20033\n20033-000 = B0\n20143-000 = 1\n",
       {"0=B0"}},
      {primeiraGeral, "[autorizacao 2]\n20033-000 = B0\n20143-000 = 1\n", {"0=B0", "1=A1", "2=A2"}},
      {primeiraGeral,
       "[autorizacao 2]\nremover = 20033\n20033-000 = B0\n20143-000 = 1\n",
       {"0=B0"}},
      {primeiraPropria, "[autorizacao 2]\nremover = 20033 20143\n", {}},
  };
  for (const Caso &c : casos) {
    H().Reinicia();
    H().CarregaCenarioTexto(std::string(c.primeira) + c.segunda, "c.ini");
    Autoriza();
    EXPECT_EQ(Indices(20033), (std::vector<std::string>{"0=A0", "1=A1", "2=A2"})) << c.segunda;
    Autoriza();
    EXPECT_EQ(Indices(20033), c.esperado) << c.primeira << c.segunda;
    EXPECT_EQ(H().Campo(20143), c.esperado.empty() ? std::nullopt : std::optional("1"))
        << c.segunda;
  }
}

// A file a Windows editor saved in its own code page reads as it was meant; line
// ends of CR alone and bad escapes are refused where they are.
TEST_F(CenarioTest, EncodingAndLineEnds) {
  H().CarregaCenarioTexto("[autorizacao]\n1027-000 = RESTRI\xC7\xC3O\n", "c.ini");
  EXPECT_EQ(H().Cenario().autorizacao->grava.at({1027, 0}), "RESTRI\xC7\xC3O");
  EsperaRecusa("[autorizacao]\r1009-000 = 0\r1027-000 = A\r", "c.ini", 1);
  EsperaRecusa("[autorizacao]\n  1027-000 =  ab\\q\n", "c.ini", 2);
}

// Answer N belongs to the N-th question, even when the PIN pad refused it.
TEST_F(CenarioTest, PinpadRefusesAnswersOutsideTheQuestionLengths) {
  struct Caso {
    const char *resposta;
    int32_t minimo, maximo;
    bool aceita;
  };
  const Caso casos[] = {
      {"123", 4, 6, false},
      {"1234", 4, 6, true},
      {"123456", 4, 6, true},
      {"1234567", 4, 6, false},
      {"", 0, 0, true},
      {"", 1, 0, false},
      {"12345678901", 0, 0, true},
      {"12345678901", 1, 10, false},
      {"\xE7\xE3", 2, 2, true},
  };
  std::string texto = "[pinpad]\n";
  for (size_t i = 0; i < std::size(casos); ++i)
    texto += "resposta" + std::to_string(i + 1) + " = " + Cp1252ToUtf8(casos[i].resposta) + "\n";
  H().CarregaCenarioTexto(texto, "c.ini");
  char titulo[128] = "Consulta";
  for (const Caso &c : casos) {
    H().DefineCampo(10146, 0, "-");
    uint16_t r = ObtemCampoPinpad(0, "PERGUNTA", "", titulo, c.minimo, c.maximo);
    EXPECT_EQ(r == 0, c.aceita) << c.resposta << " " << c.minimo << ".." << c.maximo;
    EXPECT_EQ(H().Campo(10146), c.aceita ? c.resposta : "-") << c.resposta;
  }
  EXPECT_NE(ObtemCampoPinpad(0, "PERGUNTA", "", titulo, 0, 0), 0); // none left
}

} // namespace
