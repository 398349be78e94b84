// The transaction file: exact format, binary values, malformed files, atomic
// save.
#include <system_error>

#include "PdvTest.h"

using namespace pdvtest;

namespace {

class TransacaoTest : public THostTest {};

TEST_F(TransacaoTest, FormatIsOrderedByFieldThenIndexWithThreeDigitIndexes) {
  pdv::TStore s;
  s[{20033, 12}] = "doze";
  s[{20033, 2}] = "dois";
  s[{1009, 0}] = "0";
  s[{999, 1000}] = "mil";
  s[{1027, 0}] = " a=b ";
  EXPECT_EQ(pdv::FormataArquivoTransacao(s), "999-1000 = mil\n"
                                             "1009-000 = 0\n"
                                             "1027-000 =  a=b \n"
                                             "20033-002 = dois\n"
                                             "20033-012 = doze\n");
}

TEST_F(TransacaoTest, EscapesOnlyControlBytesDelAndBackslash) {
  EXPECT_EQ(pdv::EscapaValor(std::string("a\0b\x04\n\x11\\\x7F\xE7\xE3\x80", 11)),
            "a\\x00b\\x04\\x0A\\x11\\\\\\x7F\xE7\xE3\x80");
}

TEST_F(TransacaoTest, BinaryValuesSurviveSaveAndLoad) {
  TDirTemp dir;
  // Every byte value once, the bytes the module really sends, accented
  // Windows-1252 letters, and blanks at both ends.
  std::string todos;
  for (int c = 0; c < 256; ++c) todos += static_cast<char>(c);
  const std::vector<std::pair<std::pair<int, int>, std::string>> valores = {
      {{1003, 0}, "12345"},
      {{1027, 0}, std::string("\x00\x04\x0A\x11\x5C", 5)},
      {{1258, 0}, "Jo\xE3o Concei\xE7\xE3o \xC1VILA"},
      {{1189, 3},
       std::string("\x04"
                   "CHQ1:\\x41\r\n",
                   12)},
      {{20033, 0}, todos},
      {{20033, 1}, "  brancos nas pontas  "},
      {{20033, 2}, ""},
  };
  for (const auto &[k, v] : valores) ASSERT_TRUE(H().DefineCampo(k.first, k.second, v));
  H().SalvaArquivoTransacao(dir / "t.txt");

  H().Reinicia();
  H().CarregaArquivoTransacao(dir / "t.txt");
  EXPECT_EQ(H().Store().size(), valores.size());
  for (const auto &[k, v] : valores)
    EXPECT_EQ(H().Campo(k.first, k.second), v) << k.first << "-" << k.second;
  // One value a line: no raw line break inside a value.
  std::string texto = LeArquivo(dir / "t.txt");
  EXPECT_EQ(std::count(texto.begin(), texto.end(), '\n'), (long)valores.size());
}

TEST_F(TransacaoTest, LoadingMergesIntoTheStoreAndAcceptsHandWrittenLines) {
  TDirTemp dir;
  EscreveArquivo(dir / "t.txt", "# fornecido pelo PDV\r\n1003-0=1500\r\n\r\n10112-000  =  45\n");
  H().DefineCampo(1009, 0, "7");
  H().DefineCampo(1003, 0, "1");
  H().CarregaArquivoTransacao(dir / "t.txt");
  EXPECT_EQ(H().Campo(1003), "1500");
  EXPECT_EQ(H().Campo(10112),
            " 45"); // one blank after '=' belongs to the format
  EXPECT_EQ(H().Campo(1009), "7");
}

TEST_F(TransacaoTest, MalformedFileIsRefusedWithItsLineAndNothingLoaded) {
  struct Caso {
    const char *texto;
    int linha;
  };
  const Caso casos[] = {
      {"1009-000 = 0\nlixo\n", 2},
      {"1009-000 0\n", 1},
      {"1009 = 0\n", 1},
      {"-1-000 = 0\n", 1},
      {"1009-x = 0\n", 1},
      {"1009-000 = 0\n1027-000 = a\\qb\n", 2},
      {"\n\n1027-000 = a\\x4\n", 3},
      {"1027-000 = fim\\\n", 1},
      {"1027-000 = \\xZZ\n", 1},
      {"99999999999-000 = 0\n", 1},
      {"1009-000 = 0\n1009-0 = 1\n", 2},
  };
  TDirTemp dir;
  for (const Caso &c : casos) {
    EscreveArquivo(dir / "t.txt", c.texto);
    H().Reinicia();
    H().DefineCampo(1, 0, "antes");
    try {
      H().CarregaArquivoTransacao(dir / "t.txt");
      ADD_FAILURE() << "accepted: " << c.texto;
    } catch (const pdv::TErroArquivo &e) {
      EXPECT_EQ(e.Linha(), c.linha) << c.texto << " -> " << e.what();
      EXPECT_EQ(e.Arquivo(), dir / "t.txt");
      EXPECT_NE(std::string(e.what()).find(":" + std::to_string(c.linha) + ":"), std::string::npos);
    }
    EXPECT_EQ(H().Store().size(), 1u) << c.texto;
  }
}

TEST_F(TransacaoTest, SetArgumentUsesTheSameEscapes) {
  H().DefineCampoTexto("20033-001=linha1\\x0Alinha2");
  EXPECT_EQ(H().Campo(20033, 1), "linha1\nlinha2");
  EXPECT_THROW(H().DefineCampoTexto("20033=x"), pdv::TErroArquivo);
  EXPECT_THROW(H().DefineCampoTexto("1-0=\\"), pdv::TErroArquivo);
}

// A save that fails at any step - before, between or inside the writes, at the
// sync, the close or the rename - leaves the old file whole and no temporary
// file behind.
TEST_F(TransacaoTest, InterruptedSaveLeavesTheOldFileWhole) {
  TDirTemp dir;
  const std::string path = dir / "transacao.txt";
  EscreveArquivo(path, "1009-000 = velho\n");
  // Three values of 700 KB: the writes go in several pieces.
  for (int i = 0; i < 3; ++i)
    H().DefineCampo(20033, i, std::string(700000, static_cast<char>('a' + i)));
  const std::string novo = pdv::FormataArquivoTransacao(H().Store());

  std::vector<std::pair<std::string, size_t>> passos;
  pdv::DefineGanchoGravacao([&](const std::string &p, size_t o) {
    passos.emplace_back(p, o);
    return true;
  });
  H().SalvaArquivoTransacao(dir / "ensaio.txt");
  ASSERT_GE(passos.size(), 5u);
  std::filesystem::remove(dir / "ensaio.txt");

  for (size_t falhar = 0; falhar < passos.size(); ++falhar) {
    for (bool lanca : {false, true}) {
      size_t n = 0;
      pdv::DefineGanchoGravacao([&](const std::string &, size_t) {
        if (n++ != falhar) return true;
        if (lanca) // an abrupt stop in the middle of the save
          throw std::runtime_error("queda");
        return false;
      });
      EXPECT_ANY_THROW(H().SalvaArquivoTransacao(path)) << passos[falhar].first;
      EXPECT_EQ(LeArquivo(path), "1009-000 = velho\n")
          << passos[falhar].first << " " << passos[falhar].second;
      EXPECT_EQ(dir.Arquivos(), 1u);
    }
  }
  pdv::DefineGanchoGravacao(nullptr);
  H().SalvaArquivoTransacao(path);
  EXPECT_EQ(LeArquivo(path), novo);
  EXPECT_EQ(dir.Arquivos(), 1u);
}

TEST_F(TransacaoTest, VelkorGravaArquivoSavesRecordsAndReportsFailure) {
  TDirTemp dir;
  H().DefineArquivoTransacao(dir / "t.txt");
  H().DefineCampo(1009, 0, "0");
  H().GravaArquivo();
  EXPECT_EQ(LeArquivo(dir / "t.txt"), "1009-000 = 0\n");
  ASSERT_EQ(H().Salvamentos().size(), 1u);
  auto ev = Eventos("save");
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0]["path"], dir / "t.txt");

  H().DefineArquivoTransacao(dir / "nao/existe/t.txt");
  H().GravaArquivo();
  EXPECT_EQ(H().FalhasSalvamento().size(), 1u);
  EXPECT_TRUE(Eventos("save").back().contains("error"));
}

} // namespace
