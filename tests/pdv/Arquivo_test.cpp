// The transaction file: exact format, binary values, malformed files, a save that survives
// failures and kills at any step.
#include <csignal>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "PdvTest.h"

using namespace pdvtest;

namespace {

class TransacaoTest : public THostTest {};

// Ordered by field then index, three-digit indexes, only control bytes, DEL and the backslash
// escaped; every byte value survives a save and a load, one value a line. A load merges into
// the store and takes what a hand or an editor wrote.
TEST_F(TransacaoTest, FormatIsOrderedEscapesOnlyControlBytesAndReadsBack) {
  pdv::TStore s;
  s.Define({20033, 12}, "doze");
  s.Define({20033, 2}, "dois");
  s.Define({999, 1000}, "mil");
  s.Define({1027, 0}, std::string(" a\0b\x04\n\x11\\\x7F\xE7\xE3\x80 ", 13));
  EXPECT_EQ(pdv::FormataArquivoTransacao(s),
            "999-1000 = mil\n"
            "1027-000 =  a\\x00b\\x04\\x0A\\x11\\\\\\x7F\xE7\xE3\x80 \n"
            "20033-002 = dois\n"
            "20033-012 = doze\n");
  TempDir dir;
  std::string todos;
  for (int c = 0; c < 256; ++c) todos += static_cast<char>(c);
  s.Define({20033, 0}, todos);
  s.Define({20033, 1}, "  brancos nas pontas  ");
  s.Define({20033, 3}, "");
  s.Define({1189, 3}, std::string("\x04"
                                  "CHQ1:\\x41\r\n",
                                  12));
  // A value written over, longer each time, leaves stale bytes that the store compacts away; a
  // value copied from the store into it survives the buffer moving.
  pdv::TStore c{{{2, 0}, "curto"}};
  for (int i = 0; i < 60; ++i) c.Define({1, 0}, std::string(100000 + i, char('a' + i % 26)));
  c.Define({3, 0}, *c.Valor({2, 0}));
  EXPECT_EQ(*c.Valor({1, 0}), std::string(100059, 'h'));
  EXPECT_EQ(*c.Valor({3, 0}), "curto");
  EXPECT_LT(c.Memoria(), size_t(3) << 20) << "60 values of 100 KB written over one another";
  for (const auto &[k, v] : s) ASSERT_TRUE(H().DefineCampo(k.first, k.second, std::string(v)));
  H().SalvaArquivoTransacao(dir / "t.txt");
  H().Reinicia();
  H().CarregaArquivoTransacao(dir / "t.txt");
  EXPECT_EQ(H().Store(), s);
  // A byte-order mark: an editor saved it as UTF-8, so the accents are read back as such.
  WriteFile(dir / "t.txt", "\xEF\xBB\xBF# fornecido pelo PDV\r\n1003-0=1500\r\n\r\n"
                           "10112-000  =  45\n1258-0 = Jo\xC3\xA3o\n");
  H().Reinicia();
  H().DefineCampo(1009, 0, "7");
  H().DefineCampo(1003, 0, "1");
  H().CarregaArquivoTransacao(dir / "t.txt");
  EXPECT_EQ(H().Campo(1003), "1500");
  EXPECT_EQ(H().Campo(10112), " 45"); // one blank after '=' belongs to the format
  EXPECT_EQ(H().Campo(1009), "7");
  EXPECT_EQ(H().Campo(1258), "Jo\xE3o");
}

TEST_F(TransacaoTest, MalformedFileIsRefusedWithItsLineAndNothingLoaded) {
  const struct {
    std::string texto;
    int linha;
    std::string motivo = "";
  } casos[] = {
      // Line ends of another system, damage and cuts would otherwise read as wrong values.
      // clang-format off
      {"1003-000 = 15000\r1009-000 = 0\r", 1},
      {std::string("1003-000 = 15\x00" "00\n", 17), 1},
      {"1003-000 = 15000\n1009-000 = 0", 2},
      {"\xEF\xBB\xBF" "1027-000 = \xE2\x86\x92\n", 1}, // UTF-8 with no Windows-1252 form
      {"1009-000 = 0\nlixo\n", 2},
      {"1009-000 0\n", 1},
      {"1009-x = 0\n", 1},
      {"1009-000 = 0\n1027-000 = ab\\q\n", 2, "coluna 14"}, // in the line, not in the value
      {"1027-000 = \\xZZ\n", 1},
      {"99999999999-000 = 0\n", 1},
      {"1009-000 = 0\n1009-0 = 1\n", 2},
      // clang-format on
  };
  TempDir dir;
  for (const auto &c : casos) {
    WriteFile(dir / "t.txt", c.texto);
    H().Reinicia();
    H().DefineCampo(1, 0, "antes");
    try {
      H().CarregaArquivoTransacao(dir / "t.txt");
      ADD_FAILURE() << "accepted: " << c.texto;
    } catch (const pdv::TErroArquivo &e) {
      EXPECT_EQ(e.Linha(), c.linha) << c.texto << " -> " << e.what();
      EXPECT_EQ(e.Arquivo(), dir / "t.txt");
      EXPECT_NE(std::string(e.what()).find(":" + std::to_string(c.linha) + ":"), std::string::npos);
      EXPECT_NE(e.Motivo().find(c.motivo), std::string::npos) << e.what();
    }
    EXPECT_EQ(H().Store().size(), 1u) << c.texto;
  }
}

// A save that fails at any step - before, between or inside the writes, at the sync, the
// close, the rename or the directory's sync - leaves the old file or (only once renamed) the
// new one whole, and no temporary file behind.
TEST_F(TransacaoTest, InterruptedSaveLeavesTheOldOrTheNewFileWhole) {
  TempDir dir;
  const std::string path = dir / "transacao.txt";
  const std::string velho = "1009-000 = velho\n";
  // Three values of 700 KB: the writes go in several pieces.
  for (int i = 0; i < 3; ++i)
    H().DefineCampo(20033, i, std::string(700000, static_cast<char>('a' + i)));
  const std::string novo = pdv::FormataArquivoTransacao(H().Store());
  std::vector<std::string> passos;
  pdv::DefineGanchoGravacao([&](const std::string &p, size_t) {
    passos.push_back(p);
    return true;
  });
  H().SalvaArquivoTransacao(dir / "ensaio.txt");
  ASSERT_GE(passos.size(), 6u);
  EXPECT_EQ(passos.back(), "dirsync");
  std::filesystem::remove(dir / "ensaio.txt");
  for (size_t falhar = 0; falhar < passos.size(); ++falhar) {
    const bool renomeado = passos[falhar] == "dirsync";
    for (bool lanca : {false, true}) {
      WriteFile(path, velho);
      size_t n = 0;
      pdv::DefineGanchoGravacao([&](const std::string &, size_t) {
        if (n++ != falhar) return true;
        if (lanca) throw std::runtime_error("queda"); // an abrupt stop in the middle of the save
        return false;
      });
      EXPECT_ANY_THROW(H().SalvaArquivoTransacao(path)) << passos[falhar];
      EXPECT_EQ(ReadFile(path), renomeado ? novo : velho) << passos[falhar] << " " << falhar;
      EXPECT_EQ(dir.Files(), 1u) << passos[falhar];
    }
  }
  // A save killed halfway leaves its temporary file and lock (nothing unwinds); the next save
  // takes the lock and replaces the leftover. Other files, even of similar names, stay.
  WriteFile(dir / "transacao.txt.tmp", "meio");
  WriteFile(dir / "transacao.txt.lock", "");
  WriteFile(dir / "transacao.txt.tmpAb12", "outro");
  pdv::DefineGanchoGravacao(nullptr);
  H().SalvaArquivoTransacao(path);
  EXPECT_EQ(ReadFile(path), novo);
  EXPECT_EQ(dir.Files(), 2u);
}

// A save killed at any instant leaves the old file or the new one, whole; the next save
// replaces the temporary file and the lock a killed one left.
TEST_F(TransacaoTest, KilledSavesLeaveTheOldOrTheNewFileWhole) {
  TempDir dir;
  const std::string path = dir / "transacao.txt";
  const std::string a(150000, 'a'), b(150000, 'b');
  pdv::GravaArquivoAtomico(path, a);
  std::mt19937 sorteio(1234);
  int cortados = 0; // kills that left a save halfway
  for (int kill = 0; kill < 200; ++kill) {
    const pid_t filho = fork();
    ASSERT_GE(filho, 0);
    if (filho == 0) {
      for (int i = 0;; ++i) pdv::GravaArquivoAtomico(path, i % 2 ? a : b);
    }
    usleep(sorteio() % 3000);
    ::kill(filho, SIGKILL);
    int status = 0;
    waitpid(filho, &status, 0);
    const std::string lido = ReadFile(path);
    ASSERT_TRUE(lido == a || lido == b) << "kill " << kill << ": " << lido.size() << " bytes";
    cortados += dir.Files() > 1;
  }
  EXPECT_GT(cortados, 0);
  pdv::GravaArquivoAtomico(path, a);
  EXPECT_EQ(dir.Files(), 1u);
}

// The save goes where a link leads (the link stays), owner-only for a new file, keeping the
// mode of the file it replaces.
TEST_F(TransacaoTest, SaveFollowsLinksAndKeepsTheMode) {
  TempDir dir;
  std::filesystem::create_directory(dir / "real");
  WriteFile(dir / "velho.txt", "x\n");
  chmod((dir / "velho.txt").c_str(), 0640);
  WriteFile(dir / "real/t.txt", "x\n");
  chmod((dir / "real/t.txt").c_str(), 0604);
  symlink("real/t.txt", (dir / "link.txt").c_str());
  symlink("real/ainda.txt", (dir / "pendente.txt").c_str()); // a file still to be made
  const struct {
    const char *via, *arquivo;
    mode_t modo;
  } casos[] = {{"novo.txt", "novo.txt", 0600},
               {"velho.txt", "velho.txt", 0640},
               {"link.txt", "real/t.txt", 0604},
               {"pendente.txt", "real/ainda.txt", 0600}};
  H().DefineCampo(1009, 0, "0");
  for (const auto &c : casos) {
    H().DefineArquivoTransacao(dir / c.via);
    H().GravaArquivo();
    EXPECT_EQ(ReadFile(dir / c.arquivo), "1009-000 = 0\n") << c.via;
    struct stat st {};
    EXPECT_EQ((stat((dir / c.arquivo).c_str(), &st), st.st_mode & 07777), c.modo) << c.via;
    EXPECT_EQ((lstat((dir / c.via).c_str(), &st), S_ISLNK(st.st_mode)),
              std::string(c.via) != c.arquivo)
        << c.via;
  }
  EXPECT_EQ(H().Salvamentos().size(), 4u);
}

} // namespace
