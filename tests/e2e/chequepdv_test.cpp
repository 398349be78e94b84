// The host program itself: its command line, the files and modules it refuses before calling
// the module, a script that fails, a save that fails under it, the documented commands, and what
// a consultation costs as a process.
#include <algorithm>
#include <filesystem>
#include <future>
#include <poll.h>
#include <pty.h>
#include <set>
#include <sstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "E2e.h"

namespace e2e {
namespace {

const std::string kTwoOptions = Option("Consulta A", 70, 1) + Option("Consulta B", 72, 1);

// What it cannot use stops it before the module is called: arguments with status 2 and a short
// reason (and where the usage is), a file with status 3 and one `chequepdv:` line naming it and
// its line where it has one, a module with status 4. A script that runs out or fails a check
// ends the call with its screens unwound (status 5), as does no script without a terminal;
// what the platform accepts is read as meant.
TEST(Chequepdv, RefusesWhatItCannotUse) {
  struct Case {
    int exit;
    std::string reason; // in the first line of stderr, or in stdout when the exit is 0
    std::vector<std::string> op = {"consulta"}; // after the session's own options
    std::string script = "";
    const char *option = nullptr, *file = nullptr; // the option's file in the directory ...
    const char *text = nullptr;                    // ... written first unless this is null
  };
  TempDir d;
  const auto module = [&](const std::string &path) {
    return std::vector<std::string>{"--module", path, "consulta"};
  };
  // clang-format off
  const Case cases[] = {
      {0, "usage: chequepdv", {"--help"}},
      {0, "versao = 1.0.0.0\nversao_modulo = \n", {"versao"}}, // before any screen
      {0, "", {"consulta"}, "", "--script", "b.script", "\xEF\xBB\xBFtype 9\n"}, // Windows editor
      {2, "", {}},
      {2, "", {"consultar"}},
      {2, "", {"adm"}},
      {2, "", {"adm", "um"}},
      {2, "", {"generico", "11", "12"}},
      {2, "", {"--dir"}},
      {2, "", {"--frobnicate", "x", "consulta"}},
      {2, "", {"--set", "1003=100", "consulta"}},
      {2, "", {"--set", "x-0=100", "consulta"}},
      {2, "", {"--set", "1003-0=\\xZZ", "consulta"}},
      {2, "", {"--script", "outro.script", "consulta"}}, // a second script
      {3, ": a directory", {"consulta"}, "", "--script", ""},
      {3, "cannot write the audit trail", {"consulta"}, "", "--audit", "falta/audit.txt"},
      {3, "cannot write pictures", {"consulta"}, "", "--pictures", "mensagens.txt"},
      {3, "t.txt:1: CR sem LF", {"consulta"}, "", "--store", "t.txt", "1003-000 = 15000\r1009-000 = 0\r"},
      {3, "nada.txt", {"consulta"}, "", "--messages", "nada.txt"},
      {3, "nada.ini", {"consulta"}, "", "--scenario", "nada.ini"},
      {3, "nada.script", {"consulta"}, "", "--script", "nada.script"},
      {3, "r.script:2", {"consulta"}, "", "--script", "r.script", "expect-form FrmRedes_Mnu\nvoar alto\n"},
      {3, "nada", {"consulta"}, "", "--dir", "nada"},
      {4, "cannot load the module", module(d / "nada/libcheque.so")},
      {4, "does not export Initialize", module(kBinDir + "/libchqforms.so")},
      {5, "FrmRedes_Mnu"}, // the menu waits, nothing comes
      {5, "no terminal for the screens", {"consulta"}, "", "--script"}, // and no script
      {5, "sessao.script:1", {"consulta"}, "expect-form FrmCon_Con\n"},
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(&c - cases); // the row
    Session s;
    s.chequeIni = kTwoOptions;
    if (c.option) s.options[c.option] = c.file ? s.dir / c.file : ""; // "": left out
    if (c.text) s.dir.Write(c.file, c.text);
    const Outcome o = s.Run(c.op, c.script);
    EXPECT_EQ(o.run.exitCode, c.exit) << o.Diagnostics();
    if (c.exit == 0) {
      EXPECT_NE(o.run.out.find(c.reason), std::string::npos) << o.run.out;
      EXPECT_EQ(o.run.err, "");
      continue;
    }
    EXPECT_TRUE(o.run.err.starts_with("chequepdv: ") &&
                o.run.err.substr(0, o.run.err.find('\n')).find(c.reason) != std::string::npos)
        << o.run.err;
    if (c.text) {
      EXPECT_EQ(ReadFile(s.dir / c.file), c.text) << "left as it was";
    }
    if (c.exit != 5) {
      EXPECT_FALSE(o.saved);
      EXPECT_LE(Lines(o.run.err), c.exit == 2 ? 2 : 1) << o.run.err; // for 2, where the usage is
      EXPECT_EQ(o.run.out, "");
      EXPECT_TRUE(o.Events("call").empty()) << "the module was not called";
      continue;
    }
    // The operator is gone: the screens unwound through their saves and the call returned.
    EXPECT_TRUE(o.saved);
    EXPECT_EQ(o.Events("return").size(), 1u);
    const auto failures = o.Events("script_failure");
    ASSERT_EQ(failures.size(), c.option ? 0u : 1u);
    if (!c.option) {
      EXPECT_NE(failures[0].value("message", "").find(c.reason), std::string::npos);
    }
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
}

// Paths it must not read or write through are refused before the module runs (status 3, one
// line): a device that never ends in place of a text file, a loop of links as the store, and
// (as root, where the kernel's rule may be off) a link that another user planted in a shared
// sticky directory, for each file the host writes. Nothing is made where the link points.
TEST(Chequepdv, RefusesPathsItMustNotFollow) {
  struct Case {
    std::string option, reason;
    const char *planted = nullptr; // the link's name in the shared directory, else `option`'s
    std::string path = "";         // value
    bool inside = false;           // the option names the shared directory (or the store in it)
  };
  TempDir d;
  symlink("laco.txt", (d / "laco.txt").c_str());
  const std::string shared = d / "partilhado", victim = d / "vitima";
  const bool root = geteuid() == 0;
  const Case cases[] = {
      {"--script", "grande demais", nullptr, "/dev/zero"},
      {"--scenario", "grande demais", nullptr, "/dev/zero"},
      {"--store", "loop of symbolic links", nullptr, d / "laco.txt"},
      {"--store", "another user", "t.txt"},
      {"--store", "another user", "erro_pdv.txt", "", true}, // beside a store of its own
      {"--transcript", "another user", "t.jsonl"},
      {"--audit", "another user", "audit.txt"},
      {"--pictures", "another user", "telas"},
      {"--pictures", "another user", "001-FrmRedes_Mnu.svg", "", true}, // the first picture's
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.option + " " + c.reason + (c.planted ? c.planted : ""));
    Session s;
    s.chequeIni = kTwoOptions;
    s.options[c.option] = c.path;
    if (c.planted) {
      if (!root) continue; // only root can give a link to another user
      std::filesystem::remove_all(victim);
      std::filesystem::remove_all(shared);
      std::filesystem::create_directory(shared);
      chmod(shared.c_str(), 01777);
      const std::string link = shared + "/" + c.planted;
      symlink(victim.c_str(), link.c_str());
      ASSERT_EQ(lchown(link.c_str(), 65534, 65534), 0);
      s.options[c.option] = !c.inside ? link : c.option == "--store" ? shared + "/t.txt" : shared;
    }
    const Outcome o = s.Run({"consulta"}, "type 9\n");
    EXPECT_EQ(o.run.exitCode, 3) << o.Diagnostics();
    EXPECT_TRUE(o.run.err.starts_with("chequepdv: ") && Lines(o.run.err) == 1 &&
                o.run.err.find(c.reason) != std::string::npos)
        << o.run.err;
    EXPECT_FALSE(std::filesystem::exists(victim)) << "nothing made through the link";
    EXPECT_TRUE(o.Events("call").empty());
  }
  if (!root) GTEST_SKIP() << "not root: the links of another user were not tried";
}

// Three runs saving one transaction file at the same time (a large store, so that the saves
// overlap) all go through, and the file ends as one of them wrote it, whole.
TEST(Chequepdv, ConcurrentSavesOfOneFileAllSucceed) {
  TempDir d;
  const std::string demo = kSourceDir + "/share/demo", store = d / "transacao.txt";
  std::string grande;
  for (int i = 0; i < 60000; ++i)
    grande += "20033-" + std::to_string(i) + " = " + std::string(80, 'x') + "\n";
  for (int rodada = 0; rodada < 2; ++rodada) {
    testsupport::WriteFile(store, grande);
    std::vector<std::future<RunResult>> runs;
    for (const char *run : {"1", "2", "3"}) // its mark in the store
      runs.push_back(std::async(std::launch::async, [&, run] {
        return RunProgram(PdvPath(),
                          {"--dir", demo, "--scenario", demo + "/cenario-consulta70.ini", "--store",
                           store, "--set", std::string("99-0=") + run, "--script",
                           demo + "/consulta70-digitada.script", "consulta"});
      }));
    for (auto &r : runs) {
      const RunResult run = r.get();
      EXPECT_EQ(run.exitCode, 0) << run.err;
      EXPECT_EQ(run.err, "");
    }
    const std::string saved = ReadFile(store);
    EXPECT_TRUE(saved.starts_with("99-000 = 1\n") || saved.starts_with("99-000 = 2\n") ||
                saved.starts_with("99-000 = 3\n"))
        << saved.substr(0, 40);
    EXPECT_TRUE(saved.ends_with(std::string(80, 'x') + "\n"));
    EXPECT_EQ(d.Files(), 1u) << "no temporary file or lock left";
  }
}

// An audit trail, a transcript or a picture that cannot be written during the call (a full
// disk, a link at the picture's name): the call goes through, but the status says it (7), one
// line on standard error for each tells what was lost, and the summary does not count the audit
// lines as written.
TEST(Chequepdv, LostAuditLinesAreReported) {
  Session s;
  s.chequeIni = kTwoOptions;
  s.options["--audit"] = "/dev/full";
  const Outcome lost = s.Run({"consulta"}, "type 9\n");
  s.options = {{"--transcript", "/dev/full"}};
  const Outcome semTranscricao = s.Run({"consulta"}, "type 9\n");
  EXPECT_EQ(semTranscricao.run.exitCode, 7);
  EXPECT_TRUE(semTranscricao.run.err.starts_with("chequepdv: /dev/full: ") &&
              Lines(semTranscricao.run.err) == 1 &&
              semTranscricao.run.err.find("transcript event(s)") != std::string::npos)
      << semTranscricao.run.err;
  // A link at a picture's name is not followed: that picture is lost, not written through it.
  const std::string telas = s.dir / "telas", vitima = s.dir / "vitima.svg";
  std::filesystem::create_directory(telas);
  symlink(vitima.c_str(), (telas + "/001-FrmRedes_Mnu.svg").c_str());
  s.options = {{"--pictures", telas}};
  const Outcome semTela = s.Run({"consulta"}, "type 9\n");
  EXPECT_EQ(semTela.run.exitCode, 7);
  EXPECT_EQ(semTela.run.err.find("chequepdv: " + telas + ": not every picture could be written"),
            0u)
      << semTela.run.err;
  EXPECT_FALSE(std::filesystem::exists(vitima));
  const Outcome &o = lost;
  EXPECT_EQ(o.run.exitCode, 7) << o.Diagnostics();
  EXPECT_TRUE(o.run.err.starts_with("chequepdv: /dev/full: ") && Lines(o.run.err) == 1 &&
              o.run.err.find("could not be written") != std::string::npos)
      << o.run.err;
  const size_t n = o.Events("audit").size();
  ASSERT_GT(n, 0u);
  EXPECT_NE(o.run.out.find("audit lines: " + std::to_string(n) + " (" + std::to_string(n) +
                           " of them not written"),
            std::string::npos)
      << o.run.out;
}

// A configuration file the module could not read whole (one past the size limit, read up to
// it; a FIFO, which must not hang the call; a directory) is named with the cause on standard
// error and in the audit trail; the call goes on with what was read, or with the defaults.
TEST(Chequepdv, UnreadableConfigurationIsNamed) {
  struct Case {
    const char *file;
    std::string chequeIni; // "" with a Cheque.ini that is not a file
    bool fifo;             // else a directory, or the oversized Cheque.ini
    std::string script, why;
  };
  const Case cases[] = {
      {"Cheque.ini", kTwoOptions + ";" + std::string(4 << 20, 'x') + "\n", false, "type 9\n",
       "larger than 4194304 bytes: the rest is ignored"},
      {"Cheque.ini", "", true, "", "not a regular file (a FIFO)"},
      {"Cheque.ini", "", false, "", "not a regular file (a directory)"},
      {"Cliente.ini", kTwoOptions, true, "type 1\n", "not a regular file (a FIFO)"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.why);
    Session s;
    s.chequeIni = c.chequeIni;
    const std::string path = s.dir / c.file, audit = s.dir / "audit.txt";
    if (c.fifo) {
      ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    } else if (c.chequeIni.empty()) {
      std::filesystem::create_directory(path);
    }
    s.options["--audit"] = audit;
    const Outcome o = s.Run({"consulta"}, c.script);
    const std::string line = path + ": " + c.why;
    EXPECT_NE(o.run.err.find("chequepdv: " + line + "\n"), std::string::npos) << o.Diagnostics();
    EXPECT_NE(ReadFile(audit).find("Arquivo de configuração: " + line), std::string::npos)
        << ReadFile(audit);
  }
}

// A person at the terminal reaches the result screen of a code-72 consultation and the program
// is ended there (SIGTERM; SIGINT and SIGQUIT take the same road) before the module asked to
// save: the network's answer goes to NAME.recuperacao, owner-only, standard error says so, and
// the transaction file stays as it was.
TEST(Chequepdv, InterruptedCallKeepsTheAnswerBesideTheStore) {
  TempDir d;
  const std::string demo = kSourceDir + "/share/demo", store = d / "transacao.txt";
  testsupport::WriteFile(store, "99-000 = antes\n");
  winsize tamanho{24, 80, 0, 0};
  int terminal = -1;
  const pid_t pid = forkpty(&terminal, nullptr, nullptr, &tamanho);
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("TERM", "xterm", 1);
    dup2(open((d / "err.txt").c_str(), O_WRONLY | O_CREAT, 0600), 2);
    execl(PdvPath().c_str(), "chequepdv", "--dir", (demo + "/codigos").c_str(), "--scenario",
          (demo + "/cenario.ini").c_str(), "--store", store.c_str(), "consulta", nullptr);
    _exit(127);
  }
  std::string tela; // everything drawn, read as it comes so that the program never blocks
  const auto le = [&](int ms) {
    char b[4096];
    for (pollfd p{terminal, POLLIN, 0}; poll(&p, 1, ms) > 0;) {
      const ssize_t n = read(terminal, b, sizeof b);
      if (n <= 0) break;
      tela.append(b, static_cast<size_t>(n));
    }
  };
  for (const char *teclas : {"1", "1", "150,00\r", "\r", "341\r", "0123\r", "456789\r", "1\r",
                             "000101\r", "1\r", "52998224725\r",
                             "\x1b"
                             "1"}) {
    le(300);
    ASSERT_EQ(write(terminal, teclas, strlen(teclas)), static_cast<ssize_t>(strlen(teclas)));
  }
  for (int i = 0; i < 50 && tela.find("CONSULTA REALIZADA") == std::string::npos; ++i) le(200);
  EXPECT_NE(tela.find("CONSULTA REALIZADA"), std::string::npos) << "the result screen";
  kill(pid, SIGTERM);
  int status = 0;
  le(200);
  close(terminal);
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  const std::string recuperado = ReadFile(store + ".recuperacao");
  EXPECT_NE(recuperado.find("99-000 = antes\n"), std::string::npos) << recuperado;
  EXPECT_NE(recuperado.find("\n20033-000 = 0CHEQUE SEM RESTRI"), std::string::npos) << recuperado;
  struct stat st {};
  EXPECT_EQ((stat((store + ".recuperacao").c_str(), &st), st.st_mode & 0777), 0600u);
  EXPECT_EQ(ReadFile(store), "99-000 = antes\n");
  EXPECT_EQ(ReadFile(d / "err.txt"),
            "chequepdv: the call was interrupted after the network answered: the store is kept "
            "in " +
                store + ".recuperacao (" + store + " is left as it was)\n");
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

// Every bundled demo session plays to the end on its own configuration and sends its code (the
// Windows replay plays them too).
TEST(Chequepdv, BundledSessionsPlayToTheEnd) {
  const struct {
    const char *dir, *scenario; // under share/demo
    const char *scripts;        // "NAME CODE ...": a script and the code of its request in hex
  } groups[] = {
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
  for (const auto &g : groups) {
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
      const auto sent = o.Events("authorize");
      EXPECT_EQ(sent.empty() ? 0 : sent.back()["code"].get<int>(), std::stoi(code, nullptr, 16));
    }
  }
}

// The shipped module exports its eight entry points and nothing else (no test machinery).
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

// The indented commands of the README and the docs/ pages that start with one of `inicios`,
// continuation lines joined.
std::vector<std::string> DocumentedCommands(const std::vector<std::string> &inicios) {
  std::string paginas = ReadFile(kSourceDir + "/README.md");
  for (const auto &e : std::filesystem::directory_iterator(kSourceDir + "/docs"))
    if (e.path().extension() == ".md") paginas += ReadFile(e.path().string());
  std::istringstream texto(paginas);
  std::vector<std::string> comandos;
  for (std::string linha, comando; std::getline(texto, linha);) {
    const bool inicio = std::any_of(inicios.begin(), inicios.end(), [&](const std::string &i) {
      return linha.starts_with("    " + i);
    });
    if (comando.empty() && !inicio) continue;
    comando += linha + "\n";
    if (!linha.ends_with("\\")) comandos.push_back(comando), comando.clear();
  }
  return comandos;
}

// Runs each command `vezes` times from a checkout whose build/bin is this build.
void RunAsShown(const std::vector<std::string> &comandos, int vezes) {
  TempDir raiz;
  for (const char *d : {"share", "scripts", "examples", "src", "pdv", "include", "tests"})
    std::filesystem::create_directory_symlink(kSourceDir + "/" + d, raiz / d);
  std::filesystem::create_directories(raiz / "build");
  std::filesystem::create_directory_symlink(kBinDir, raiz / "build/bin");
  const std::string build = std::filesystem::path(kBinDir).parent_path().string();
  for (const std::string &c : comandos)
    for (int vez = 0; vez < vezes; ++vez) {
      const RunResult r = RunProgram(
          "/bin/bash",
          {"-c", "cd '" + raiz.Path() + "' && export CHEQUE_BUILD_DIR='" + build + "' && " + c},
          300000);
      EXPECT_EQ(r.exitCode, 0) << c << "--- stdout\n" << r.out << "--- stderr\n" << r.err;
    }
}

// Every command the README and the docs/ pages show (the demo, the host program, the file
// exchange and the support's queries of its journal, the pictures, the size of the tests) runs
// as shown; all but the demo twice, so that none depends on what an earlier run left behind.
// The build and test commands are CI's own.
TEST(Chequepdv, DocumentedCommandsRunAsShown) {
  const auto demo = DocumentedCommands({"scripts/demo.sh"});
  ASSERT_GE(demo.size(), 2u);
  RunAsShown(demo, 1);
  const auto outros =
      DocumentedCommands({"build/bin/chequepdv ", "mkdir -p out && rm -f out/", "sqlite3 ",
                          "scripts/pictures.sh ", "scripts/test-ratio.sh"});
  ASSERT_GE(outros.size(), 8u);
  RunAsShown(outros, 2);
}

// The benchmarks' commands of the development page run as shown (once: they take a minute).
TEST(Chequepdv, DocumentedBenchmarksRunAsShown) {
#if defined(__SANITIZE_ADDRESS__) || defined(CHEQUE_COVERAGE)
  GTEST_SKIP() << "run only without the sanitizers and the coverage counters";
#endif
  if (!std::filesystem::exists(kBinDir + "/bench_forms_ini"))
    GTEST_SKIP() << "built without the benchmarks (CHEQUE_BENCH=OFF)";
  const auto comandos = DocumentedCommands({"build/bin/bench_"});
  ASSERT_GE(comandos.size(), 5u);
  RunAsShown(comandos, 1);
}

// A scripted code-70 consultation costs the whole process a few milliseconds of CPU.
TEST(Chequepdv, ConsultationCostsLittleCpu) {
#if defined(__SANITIZE_ADDRESS__) || defined(CHEQUE_COVERAGE)
  GTEST_SKIP() << "timed only without the sanitizers and the coverage counters";
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
