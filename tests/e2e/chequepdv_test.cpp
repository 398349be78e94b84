// The host program itself: the files it refuses before calling the module, a save that fails
// under it, the commands the README shows, and what a whole consultation costs as a process.
#include <algorithm>
#include <filesystem>
#include <sstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "E2e.h"

namespace e2e {
namespace {

// A file the program cannot use is refused before the module runs, with one `chequepdv:` line
// naming it (and its line, where it has one); what the platform accepts is read as meant.
TEST(ChequepdvHost, FilesAreCheckedBeforeTheCall) {
  struct Caso {
    const char *opcao, *arquivo, *texto; // written into the session's directory first
    int saida;
    const char *erro;
  };
  const Caso casos[] = {
      {"--script", "", nullptr, 3, ": a directory"},
      {"--audit", "falta/audit.txt", nullptr, 3, "cannot write the audit trail"},
      {"--pictures", "mensagens.txt", nullptr, 3, "cannot write pictures"},
      {"--store", "t.txt", "1003-000 = 15000\r1009-000 = 0\r", 3, "t.txt:1: CR sem LF"},
      {"--messages", "m.txt", "#\n\n998=a\\q\n", 3, "m.txt:3: escape inválido na coluna 6"},
      {"--script", "s.script", "\xEF\xBB\xBF# ok\n", 0, ""},
      {"--messages", "m.txt", "998=Nenhuma op\xE7\xE3o\n", 0, ""}, // a Windows editor's file
  };
  for (const Caso &c : casos) {
    Session s;
    s.chequeIni = IniSection("Desligada", {{"habilitado", "0"}});
    s.options[c.opcao] = s.dir / c.arquivo;
    if (c.texto) s.dir.Write(c.arquivo, c.texto);
    const Outcome o = s.Run({"consulta"}, "");
    const std::string quem = std::string(c.opcao) + " " + c.arquivo + "\n" + o.Diagnostics();
    EXPECT_EQ(o.run.exitCode, c.saida) << quem;
    if (c.saida == 0) {
      EXPECT_EQ(o.run.err, "") << quem;
      if (c.opcao == std::string("--messages")) {
        EXPECT_EQ(o.Events("pdv_error").at(0)["text"], "Nenhuma opção");
      }
      continue;
    }
    EXPECT_TRUE(o.run.err.starts_with("chequepdv: ") &&
                o.run.err.find(c.erro) != std::string::npos &&
                std::count(o.run.err.begin(), o.run.err.end(), '\n') == 1)
        << quem;
    EXPECT_TRUE(o.Events("call").empty()) << quem;
  }
}

// The module asks for the save and the directory refuses it (read-only: a read-only mount, or
// permissions where the test is not root): the point of sale learns it from the exit status
// and one line on standard error, the summary keeps the values, the old file stays whole.
TEST(ChequepdvHost, FailedSaveIsReportedAndTheOldFileStaysWhole) {
  Session s;
  const std::string dir = s.dir / "ro", velho = "1003-000 = velho\n";
  std::filesystem::create_directory(dir);
  const bool root = geteuid() == 0;
  if (root && mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "no read-only directory can be made here";
  WriteFile(dir + "/transacao.txt", velho);
  if (root ? mount(nullptr, dir.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0
           : chmod(dir.c_str(), 0555) != 0)
    ADD_FAILURE() << "cannot make " << dir << " read-only";
  const std::string demo = SourceDir() + "/share/demo";
  s.options = {{"--dir", demo},
               {"--scenario", demo + "/cenario-consulta70.ini"},
               {"--store", dir + "/transacao.txt"},
               {"--script", demo + "/consulta70-digitada.script"}};
  const Outcome o = s.Run({"consulta"}, "");
  const std::string arquivo = ReadFile(dir + "/transacao.txt");
  root ? umount(dir.c_str()) : chmod(dir.c_str(), 0755);
  EXPECT_EQ(o.run.exitCode, 6) << o.Diagnostics();
  EXPECT_TRUE(o.run.err.starts_with("chequepdv: the transaction file was not saved") &&
              std::count(o.run.err.begin(), o.run.err.end(), '\n') == 1)
      << o.Diagnostics();
  EXPECT_NE(o.run.out.find("the module asked to save it and the save failed"), std::string::npos);
  EXPECT_NE(o.run.out.find("    1009-000 = 0\n"), std::string::npos) << "values kept\n"
                                                                     << o.run.out;
  EXPECT_EQ(arquivo, velho);
}

// Every command the README shows (its indented demo and chequepdv commands, continuation lines
// joined) runs as shown from a checkout whose build/bin is this build; the host program's
// twice, so that none depends on what an earlier run left behind.
TEST(ChequepdvHost, ReadmeCommandsRunAsShown) {
  std::istringstream readme(ReadFile(SourceDir() + "/README.md"));
  std::vector<std::string> comandos;
  for (std::string linha, comando; std::getline(readme, linha);) {
    const bool inicio = linha.starts_with("    scripts/demo.sh") ||
                        linha.starts_with("    build/bin/chequepdv ") ||
                        linha.starts_with("    mkdir -p out && rm -f out/");
    if (comando.empty() && !inicio) continue;
    comando += linha + "\n";
    if (!linha.ends_with("\\")) comandos.push_back(comando), comando.clear();
  }
  ASSERT_GE(comandos.size(), 4u);
  TempDir raiz;
  for (const char *d : {"share", "scripts"})
    std::filesystem::create_directory_symlink(SourceDir() + "/" + d, raiz / d);
  std::filesystem::create_directories(raiz / "build");
  std::filesystem::create_directory_symlink(BinDir(), raiz / "build/bin");
  const std::string build = std::filesystem::path(BinDir()).parent_path().string();
  for (const std::string &c : comandos)
    for (int vez = c.find("demo.sh") == std::string::npos ? 0 : 1; vez < 2; ++vez) {
      const RunResult r = RunProgram(
          "/bin/bash",
          {"-c", "cd '" + raiz.Path() + "' && export CHEQUE_BUILD_DIR='" + build + "' && " + c},
          300000);
      EXPECT_EQ(r.exitCode, 0) << c << "--- stdout\n" << r.out << "--- stderr\n" << r.err;
    }
}

// A scripted code-70 consultation costs the whole process a few milliseconds of CPU.
TEST(ChequepdvHost, ConsultationCostsLittleCpu) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "timed only without the sanitizers";
#endif
  const std::string demo = SourceDir() + "/share/demo";
  TempDir dir;
  double menor = 1e9;
  for (int i = 0; i < 3; ++i) {
    std::filesystem::remove(dir / "t.txt");
    rusage antes{}, depois{};
    getrusage(RUSAGE_CHILDREN, &antes);
    const RunResult r = RunProgram(
        PdvPath(), {"--dir", demo, "--scenario", demo + "/cenario-consulta70.ini", "--store",
                    dir / "t.txt", "--script", demo + "/consulta70-digitada.script", "consulta"});
    getrusage(RUSAGE_CHILDREN, &depois);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto ms = [](const timeval &u, const timeval &s) {
      return (u.tv_sec + s.tv_sec) * 1e3 + (u.tv_usec + s.tv_usec) / 1e3;
    };
    menor =
        std::min(menor, ms(depois.ru_utime, depois.ru_stime) - ms(antes.ru_utime, antes.ru_stime));
  }
  EXPECT_LT(menor, 20.0) << "ms of CPU for one consultation";
}

} // namespace
} // namespace e2e
