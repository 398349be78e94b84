// The host program itself: its command line, the files and modules it refuses before calling
// the module, a script that fails, a save that fails under it, the bundled demo sessions and
// the documented commands, the module's exports, and what a consultation costs as a process.
#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "E2e.h"

namespace e2e {
namespace {

const std::string kTwoOptions = Option("Consulta A", 70, 1) + Option("Consulta B", 72, 1);

// Arguments it cannot use stop it with status 2 and a short reason; a module it cannot use
// with status 4 and one line, before anything is called.
TEST(Chequepdv, CommandLineAndModule) {
  TempDir d;
  const std::string script = d.Write("s.script", "");
  auto module = [&](const std::string &path) {
    return std::vector<std::string>{"--module",     path,          "--script", script,
                                    "--transcript", d / "t.jsonl", "consulta"};
  };
  struct Case {
    std::vector<std::string> args;
    int exit;
    std::string text; // in stdout when the exit is 0, else in stderr
  };
  const Case cases[] = {
      {{"--help"}, 0, "usage: chequepdv"},
      {{"versao"}, 0, "versao = 1.0.0.0\nversao_modulo = \n"}, // before any screen
      {{}, 2, ""},
      {{"consultar"}, 2, ""},
      {{"adm"}, 2, ""},
      {{"adm", "um"}, 2, ""},
      {{"generico", "11", "12"}, 2, ""},
      {{"--dir"}, 2, ""},
      {{"--frobnicate", "x", "consulta"}, 2, ""},
      {{"--set", "1003=100", "consulta"}, 2, ""},
      {{"--set", "x-0=100", "consulta"}, 2, ""},
      {{"--set", "1003-0", "consulta"}, 2, ""},
      {{"--set", "1003--1=5", "consulta"}, 2, ""},
      {{"--set", "1003-0=\\xZZ", "--script", script, "consulta"}, 2, ""},
      {{"--script", script, "--script", script, "consulta"}, 2, ""},
      {{"consulta"}, 2, ""}, // no script, and standard input is not a terminal
      {module(d / "nada/libcheque.so"), 4, "cannot load the module"},
      {module(d.Write("lixo.so", "not a shared library")), 4, "cannot load the module"},
      {module(kBinDir + "/libchqforms.so"), 4, "does not export Initialize"},
  };
  for (const auto &c : cases) {
    std::string joined;
    for (const auto &a : c.args) joined += a + " ";
    SCOPED_TRACE(joined);
    std::vector<std::string> args = {"--dir", d.Path()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::filesystem::remove(d / "t.jsonl");
    const RunResult r = RunProgram(PdvPath(), args);
    EXPECT_EQ(r.exitCode, c.exit) << r.err;
    if (c.exit == 0) {
      EXPECT_NE(r.out.find(c.text), std::string::npos) << r.out;
      continue;
    }
    EXPECT_TRUE(r.err.starts_with("chequepdv: ") && r.err.find(c.text) != std::string::npos)
        << r.err;
    EXPECT_LE(Lines(r.err), c.exit == 2 ? 2 : 1) << r.err; // the reason, and where the usage is
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadFile(d / "t.jsonl").find("\"call\""), std::string::npos) << "nothing called";
  }
}

// A file it cannot use is refused before the module runs (status 3, one `chequepdv:` line
// naming it and its line where it has one); a script that runs out or fails a check stops the
// session (status 5); what the platform accepts is read as meant.
TEST(Chequepdv, FilesAndScripts) {
  struct Case {
    const char *option, *file, *text; // the option's file, written first unless `text` is null
    std::string script;
    int exit;
    std::string reason;
  };
  const Case cases[] = {
      {"--script", "", nullptr, "", 3, ": a directory"},
      {"--audit", "falta/audit.txt", nullptr, "", 3, "cannot write the audit trail"},
      {"--pictures", "mensagens.txt", nullptr, "", 3, "cannot write pictures"},
      {"--store", "t.txt", "1003-000 = 15000\r1009-000 = 0\r", "", 3, "t.txt:1: CR sem LF"},
      {"--store", "t.txt", "1003-000 = 100\nlixo\n", "", 3, "t.txt:2"},
      {"--store", "t.txt", "abc-000 = 1\n", "", 3, "t.txt:1"},
      {"--store", "t.txt", "1003-000 = \\xG1\n", "", 3, "t.txt:1"},
      {"--messages", "m.txt", "#\n\n998=a\\q\n", "", 3, "m.txt:3: escape inválido na coluna 6"},
      {"--messages", "nada.txt", nullptr, "", 3, "nada.txt"},
      {"--scenario", "nada.ini", nullptr, "", 3, "nada.ini"},
      {"--scenario", "c.ini", "[autorizacao]\nsem igual\n", "", 3, "c.ini:2"},
      {"--script", "nada.script", nullptr, "", 3, "nada.script"},
      {"--script", "r.script", "expect-form FrmRedes_Mnu\nvoar alto\n", "", 3, "r.script:2"},
      {"--dir", "nada", nullptr, "", 3, "nada"},
      {nullptr, nullptr, nullptr, "", 5, "FrmRedes_Mnu"}, // the menu waits, nothing comes
      {nullptr, nullptr, nullptr, "type 1\n", 5, "FrmCon_Con"},
      {nullptr, nullptr, nullptr, "expect-form FrmCon_Con\n", 5, "sessao.script:1"},
      {"--script", "b.script", "\xEF\xBB\xBFtype 9\n", "", 0, ""}, // a Windows editor's file
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.reason + " " + c.script);
    Session s;
    s.chequeIni = kTwoOptions;
    if (c.option) s.options[c.option] = s.dir / c.file;
    if (c.text) s.dir.Write(c.file, c.text);
    const Outcome o = s.Run({"consulta"}, c.script);
    EXPECT_EQ(o.run.exitCode, c.exit) << o.Diagnostics();
    if (c.exit == 0) {
      EXPECT_TRUE(Completed(o));
      EXPECT_EQ(o.run.err, "");
      continue;
    }
    EXPECT_TRUE(o.run.err.starts_with("chequepdv: ") &&
                o.run.err.substr(0, o.run.err.find('\n')).find(c.reason) != std::string::npos)
        << o.run.err;
    EXPECT_FALSE(o.saved);
    if (c.exit == 3) {
      EXPECT_EQ(Lines(o.run.err), 1) << o.run.err;
      EXPECT_TRUE(o.Events("call").empty()) << "the module was not called";
      if (c.text && c.option == std::string("--store")) {
        EXPECT_EQ(ReadFile(s.dir / c.file), c.text) << "left as it was";
      }
      continue;
    }
    const auto failures = o.Events("script_failure");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].value("message", "").find(c.reason), std::string::npos);
    EXPECT_TRUE(o.Events("return").empty()) << "the call never returned";
  }
}

// What the point of sale supplies (the transaction file, then --set over it) reaches the
// module and comes back in the saved file, Windows-1252 kept as it is.
TEST(Chequepdv, PointOfSaleFieldsReachTheSavedFile) {
  Session s;
  s.chequeIni = kTwoOptions;
  s.dir.Write("transacao.txt", "1003-000 = 999\n1258-000 = Jo\xE3o da Silva\n");
  s.sets = {"1003-0=1500", "1029-0 = 341", "1027-2=linha\\x0Aquebrada"};
  const Outcome o = s.Run({"consulta"}, "type 9\n");
  ASSERT_TRUE(Completed(o));
  EXPECT_EQ(o.store, (std::map<std::string, std::string>{{"1003-0", "1500"},
                                                         {"1029-0", "341"},
                                                         {"1258-0", "Jo\xE3o da Silva"},
                                                         {"1027-2", "linha\nquebrada"}}));
  // The summary shows what the point of sale received, in UTF-8.
  EXPECT_NE(o.run.out.find("Jo\xC3\xA3o da Silva"), std::string::npos) << o.run.out;
  EXPECT_NE(o.run.out.find(s.StorePath()), std::string::npos) << o.run.out;
}

// The module asks for the save and the directory refuses it (read-only: a read-only mount, or
// permissions where the test is not root): the point of sale learns it from the exit status
// and one line on standard error, the summary keeps the values, the old file stays whole.
TEST(Chequepdv, FailedSaveIsReportedAndTheOldFileStaysWhole) {
  Session s;
  const std::string dir = s.dir / "ro", velho = "1003-000 = velho\n";
  std::filesystem::create_directory(dir);
  const bool root = geteuid() == 0;
  if (root && mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "no read-only directory can be made here";
  s.dir.Write("ro/transacao.txt", velho);
  if (root ? mount(nullptr, dir.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0
           : chmod(dir.c_str(), 0555) != 0)
    ADD_FAILURE() << "cannot make " << dir << " read-only";
  const std::string demo = kSourceDir + "/share/demo";
  s.options = {{"--dir", demo},
               {"--scenario", demo + "/cenario-consulta70.ini"},
               {"--store", dir + "/transacao.txt"},
               {"--script", demo + "/consulta70-digitada.script"}};
  const Outcome o = s.Run({"consulta"}, "");
  const std::string arquivo = ReadFile(dir + "/transacao.txt");
  root ? umount(dir.c_str()) : chmod(dir.c_str(), 0755);
  EXPECT_EQ(o.run.exitCode, 6) << o.Diagnostics();
  EXPECT_TRUE(o.run.err.starts_with("chequepdv: the transaction file was not saved") &&
              Lines(o.run.err) == 1)
      << o.Diagnostics();
  EXPECT_NE(o.run.out.find("the module asked to save it and the save failed"), std::string::npos);
  EXPECT_NE(o.run.out.find("    1009-000 = 0\n"), std::string::npos) << "values kept\n"
                                                                     << o.run.out;
  EXPECT_EQ(arquivo, velho);
}

// Every bundled demo session plays to the end on its own configuration and sends its code.
TEST(Chequepdv, BundledSessionsPlayToTheEnd) {
  struct Group {
    const char *dir, *scenario; // under share/demo
    const char *scripts;        // "NAME CODE ...": a script and the code of its request in hex
  };
  const Group groups[] = {
      {"", "cenario.ini", "consulta 70"},
      {"", "cenario-parametros.ini", "parametros F0"},
      {"", "cenario-consulta70.ini",
       "consulta70-digitada 70 consulta70-cmc7 70 consulta70-garantia 70 consulta70-varios 70 "
       "consulta70-cmc7-varios 70"},
      {"codigos", "cenario.ini",
       "consulta72-digitada 72 consulta72-cmc7 72 consulta74-digitada 74 consulta74-cmc7 74 "
       "consulta78-digitada 78 consulta78-cmc7 78 consulta7c-digitada 7C consulta7c-cmc7 7C "
       "consultaf0-digitada F0 consultaf0-cmc7 F0 garantia7c 7C"},
      {"cancelamento", "cancelamento/cenario.ini",
       "cancelamento/cancelamento 0 cancelamento/garantia-digitada 70 cancelamento/venezuela 70 "
       "cancelamento/garantia-7c 7C cancelamento/garantia-cmc7-adm 70"},
  };
  // What the point of sale supplies to the sessions that need it.
  const std::map<std::string, std::vector<std::string>> operations = {
      {"consulta70-varios", {"--set", "1003-0=30000", "consulta"}},
      {"consulta70-cmc7-varios", {"--set", "1003-0=25000", "consulta"}},
      {"parametros",
       {"--set", "1050-0=000123", "--set", "1051-0=4512", "--set", "1079-0=01", "--set",
        "1080-0=LOJA", "--set", "1095-0=SP", "generico", "11"}},
      {"cancelamento/garantia-cmc7-adm",
       {"--set", "1005-0=341000120180000015012345678901", "adm", "6"}}};
  const std::string demo = kSourceDir + "/share/demo/";
  for (const Group &g : groups) {
    std::istringstream scripts(g.scripts);
    for (std::string script, code; scripts >> script >> code;) {
      SCOPED_TRACE(script);
      Session s;
      s.options = {{"--dir", demo + g.dir},
                   {"--script", demo + script + ".script"},
                   {"--messages", demo + "mensagens.txt"},
                   {"--scenario", demo + g.scenario}};
      const auto op = operations.find(script);
      const Outcome o =
          s.Run(op == operations.end() ? std::vector<std::string>{"consulta"} : op->second, "");
      ASSERT_TRUE(Completed(o));
      EXPECT_TRUE(o.saved);
      const auto sent = o.Events("authorize");
      EXPECT_EQ(sent.empty() ? 0 : sent.back()["code"].get<int>(), std::stoi(code, nullptr, 16));
    }
  }
}

// Every command the README and the docs/ pages show (their indented demo and chequepdv
// commands, continuation lines joined) runs as shown from a checkout whose build/bin is this
// build; the host program's twice, so that none depends on what an earlier run left behind.
TEST(Chequepdv, DocumentedCommandsRunAsShown) {
  std::string paginas = ReadFile(kSourceDir + "/README.md");
  for (const auto &e : std::filesystem::directory_iterator(kSourceDir + "/docs"))
    if (e.path().extension() == ".md") paginas += ReadFile(e.path().string());
  std::istringstream texto(paginas);
  std::vector<std::string> comandos;
  for (std::string linha, comando; std::getline(texto, linha);) {
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
    std::filesystem::create_directory_symlink(kSourceDir + "/" + d, raiz / d);
  std::filesystem::create_directories(raiz / "build");
  std::filesystem::create_directory_symlink(kBinDir, raiz / "build/bin");
  const std::string build = std::filesystem::path(kBinDir).parent_path().string();
  for (const std::string &c : comandos)
    for (int vez = c.find("demo.sh") == std::string::npos ? 0 : 1; vez < 2; ++vez) {
      const RunResult r = RunProgram(
          "/bin/bash",
          {"-c", "cd '" + raiz.Path() + "' && export CHEQUE_BUILD_DIR='" + build + "' && " + c},
          300000);
      EXPECT_EQ(r.exitCode, 0) << c << "--- stdout\n" << r.out << "--- stderr\n" << r.err;
    }
}

TEST(Chequepdv, ModuleExportsExactlyTheEightEntryPoints) {
  const RunResult r =
      RunProgram("/usr/bin/nm", {"-D", "--defined-only", kBinDir + "/libcheque.so"});
  if (r.exitCode != 0) GTEST_SKIP() << "nm cannot be run here: " << r.err;
  std::set<std::string> symbols;
  std::istringstream in(r.out);
  for (std::string addr, type, name; in >> addr >> type >> name;) symbols.insert(name);
  EXPECT_EQ(symbols, (std::set<std::string>{"Initialize", "Finalize", "ObtemVersao", "ExecutaVenda",
                                            "ExecutaPreAutorizacao", "ExecutaFuncaoADM",
                                            "ExecutaConsultaCheque", "ExecutaGenerico"}));
}

// A scripted code-70 consultation costs the whole process a few milliseconds of CPU.
TEST(Chequepdv, ConsultationCostsLittleCpu) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "timed only without the sanitizers";
#endif
  const std::string demo = kSourceDir + "/share/demo";
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
