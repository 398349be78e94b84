// The host program calling the module's entry points: operations that are refused, the fixed
// message of sale and pre-authorisation, the version, and everything that must stop the host
// program before or while it calls the module.
#include <cstdlib>
#include <set>
#include <sstream>

#include "E2e.h"

using namespace e2e;

namespace {

const std::string kTwoOptions = Option("Consulta A", 70, 1) + Option("Consulta B", 72, 1);

// Number of lines of a text without its final line break.
int Lines(const std::string &s) {
  int n = 0;
  for (char c : s) n += c == '\n';
  return n + (!s.empty() && s.back() != '\n');
}

} // namespace

TEST(EntryPoints, RefusedOperationsReportOneMessageAndShowNoScreen) {
  struct Case {
    std::vector<std::string> op;
    std::string cheque; // Cheque.ini
    std::string message;
  };
  const Case cases[] = {
      // No section with "habilitado" exactly 1 (2, text, 0 and a missing key do not count).
      {{"consulta"},
       IniSection("A", {{"habilitado", "2"}, {"CodigoTrn", "70"}}) +
           IniSection("B", {{"habilitado", "sim"}}) + IniSection("C", {{"habilitado", "0"}}) +
           IniSection("D", {{"CodigoTrn", "72"}}),
       "M998"},
      {{"consulta"}, "", "M998"}, // no Cheque.ini at all
      {{"adm", "2"}, kTwoOptions, "M993"},
      {{"adm", "0"}, kTwoOptions, "M993"},
      {{"generico", "10"}, kTwoOptions, "M327"},
      {{"generico", "-1"}, kTwoOptions, "M327"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.op[0] + " " + (c.op.size() > 1 ? c.op[1] : "") + " " + c.message);
    Session s;
    s.chequeIni = c.cheque;
    Outcome o = s.Run(c.op, "");
    ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
    const auto errors = o.Events("pdv_error");
    ASSERT_EQ(errors.size(), 1u) << o.Diagnostics();
    EXPECT_EQ(errors[0]["code"], 255);
    EXPECT_EQ(errors[0]["text"], c.message);
    EXPECT_TRUE(o.Forms("create").empty());
    EXPECT_TRUE(o.Events("msgbox").empty());
    EXPECT_TRUE(o.Events("audit").empty());
    EXPECT_FALSE(o.saved) << "nothing asked the host to save the store";
    EXPECT_NE(o.run.out.find("255 \"" + c.message + "\""), std::string::npos) << o.run.out;
    // The point of sale finds the last error beside the transaction file.
    EXPECT_NE(ReadFile(s.dir / "erro_pdv.txt").find(c.message), std::string::npos);
  }
}

TEST(EntryPoints, SaleAndPreAuthorisationOnlyShowMessage130) {
  for (const char *op : {"venda", "preautorizacao"}) {
    SCOPED_TRACE(op);
    Session s;
    s.chequeIni = kTwoOptions;
    Outcome o = s.Run({op, "3"}, "expect-msgbox M130\nok\n");
    ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
    const auto boxes = o.Events("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]["text"], "M130");
    EXPECT_EQ(boxes[0]["flags"], 0x40030); // topmost, exclamation, one OK button
    EXPECT_TRUE(o.Forms("create").empty());
    EXPECT_TRUE(o.Events("pdv_error").empty());
    EXPECT_FALSE(o.saved);
  }
}

TEST(EntryPoints, VersionBeforeAnyScreen) {
  TempDir d;
  RunResult r = RunProgram(PdvPath(), {"--dir", d.Path(), "versao"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "versao = 1.0.0.0\nversao_modulo = \n");
}

TEST(EntryPoints, OwnerWindowIsGivenBackAfterEveryCall) {
  Session s;
  s.chequeIni = kTwoOptions;
  for (const auto &[op, script] :
       std::vector<std::pair<std::vector<std::string>, std::string>>{{{"consulta"}, "type 9\n"},
                                                                     {{"adm", "2"}, ""},
                                                                     {{"venda"}, "ok\n"},
                                                                     {{"generico", "10"}, ""}}) {
    SCOPED_TRACE(op[0]);
    Outcome o = s.Run(op, script);
    ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
    const auto ret = o.Events("return");
    ASSERT_EQ(ret.size(), 1u);
    EXPECT_EQ(ret[0]["owner_restored"], true);
    EXPECT_EQ(ret[0]["script_done"], true);
  }
}

TEST(HostProgram, BadArgumentsStopWithOneLine) {
  TempDir d;
  const std::string script = d.Write("s.script", "");
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"consultar"},
      {"adm"},
      {"adm", "um"},
      {"generico", "11", "12"},
      {"versao", "1"},
      {"--dir"},
      {"--frobnicate", "x", "consulta"},
      {"--set", "1003=100", "consulta"},
      {"--set", "x-0=100", "consulta"},
      {"--set", "1003-0", "consulta"},
      {"--set", "1003--1=5", "consulta"},
      {"--set", "1003-0=\\xZZ", "--script", script, "consulta"}, // bad escape in the value
      {"--script", script, "--script", script, "consulta"},
      {"consulta"}, // no script, standard input is not a terminal
  };
  for (const auto &args : cases) {
    std::string joined;
    for (const auto &a : args) joined += a + " ";
    SCOPED_TRACE(joined);
    std::vector<std::string> all = {"--dir", d.Path()};
    all.insert(all.end(), args.begin(), args.end());
    RunResult r = RunProgram(PdvPath(), all);
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_EQ(r.err.rfind("chequepdv: ", 0), 0u) << r.err;
    EXPECT_LE(Lines(r.err), 2) << r.err; // the reason, and where to find the usage
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
  RunResult help = RunProgram(PdvPath(), {"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("usage: chequepdv"), std::string::npos);
}

TEST(HostProgram, ModuleThatCannotBeUsed) {
  TempDir d;
  const std::string script = d.Write("s.script", "");
  struct Case {
    std::string module, reason;
  };
  std::vector<Case> cases = {
      {d / "nada/libcheque.so", "cannot load the module"},
      {d.Write("lixo.so", "not a shared library"), "cannot load the module"},
      // A real shared library that is not the module.
      {BinDir() + "/libchqforms.so", "does not export Initialize"},
  };
  // A module that lacks one export, built here when a C compiler is at hand.
  const std::string src = d.Write("quase.c", "void Initialize(void) {}\n"
                                             "void Finalize(void) {}\n"
                                             "void ObtemVersao(char *a, char *b) { *a = *b = 0; }\n"
                                             "void ExecutaVenda(unsigned j, int o) {}\n"
                                             "void ExecutaPreAutorizacao(unsigned j, int o) {}\n"
                                             "void ExecutaFuncaoADM(unsigned j, int o) {}\n"
                                             "void ExecutaConsultaCheque(unsigned j, int o) {}\n");
  const std::string cmd = "cc -shared -fPIC -o " + (d / "libquase.so") + " " + src + " 2>/dev/null";
  if (std::system(cmd.c_str()) == 0)
    cases.push_back({d / "libquase.so", "does not export ExecutaGenerico"});
  else
    ADD_FAILURE() << "no C compiler: the missing-export case was not run";
  for (const auto &c : cases) {
    SCOPED_TRACE(c.module);
    RunResult r = RunProgram(PdvPath(), {"--dir", d.Path(), "--module", c.module, "--script",
                                         script, "--transcript", d / "t.jsonl", "consulta"});
    EXPECT_EQ(r.exitCode, 4) << r.err;
    EXPECT_EQ(r.err.rfind("chequepdv: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    EXPECT_EQ(Lines(r.err), 1) << r.err;
    EXPECT_TRUE(EventsOf(ReadTranscript(d / "t.jsonl"), "call").empty()) << "nothing was called";
  }
}

TEST(HostProgram, UnreadableOrMalformedFiles) {
  struct Case {
    std::string what;
    std::string store;              // transaction file content ("" = none)
    std::vector<std::string> extra; // an option and its file, in the session directory
    std::string reason;
  };
  const Case cases[] = {
      {"store without '='", "1003-000 = 100\nlixo\n", {}, "transacao.txt:2"},
      {"store with a bad field", "abc-000 = 1\n", {}, "transacao.txt:1"},
      {"store with a bad escape", "1003-000 = \\xG1\n", {}, "transacao.txt:1"},
      {"missing messages", "", {"--messages", "nada.txt"}, "nada.txt"},
      {"missing scenario", "", {"--scenario", "nada.ini"}, "nada.ini"},
      {"malformed scenario", "", {"--scenario", "cenario.ini"}, "cenario.ini:2"},
      {"missing script", "", {"--script", "nada.script"}, "nada.script"},
      {"bad script line", "", {"--script", "ruim.script"}, "ruim.script:2"},
      {"directory that is not one", "", {"--dir", "nada"}, "nada"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    Session s;
    s.chequeIni = kTwoOptions;
    s.dir.Write("cenario.ini", "[autorizacao]\nsem igual\n");
    s.dir.Write("ruim.script", "expect-form FrmRedes_Mnu\nvoar alto\n");
    if (!c.store.empty()) {
      s.hasStore = true;
      s.storeText = c.store;
    }
    if (!c.extra.empty()) s.options[c.extra[0]] = s.dir / c.extra[1];
    Outcome o = s.Run({"consulta"}, "type 9\n");
    EXPECT_EQ(o.run.exitCode, 3) << o.Diagnostics();
    EXPECT_EQ(o.run.err.rfind("chequepdv: ", 0), 0u) << o.run.err;
    EXPECT_NE(o.run.err.find(c.reason), std::string::npos) << o.run.err;
    EXPECT_TRUE(o.Events("call").empty()) << "the module was not called";
    if (!c.store.empty()) {
      EXPECT_EQ(ReadFile(s.StorePath()), c.store) << "left as it was";
    }
  }
}

TEST(HostProgram, ScriptThatRunsOutOrFailsACheck) {
  struct Case {
    std::string script, inError;
  };
  const Case cases[] = {
      {"", "FrmRedes_Mnu"},                            // the menu waits, nothing comes
      {"type 1\n", "FrmCon_Con"},                      // runs out on the opened screen
      {"expect-form FrmCon_Con\n", "sessao.script:1"}, // a check that does not hold
      {"type 1\nexpect-text spOpcao1 \"&1 - Outra\"\n", "sessao.script:2"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.script);
    Session s;
    s.chequeIni = kTwoOptions;
    Outcome o = s.Run({"consulta"}, c.script);
    EXPECT_EQ(o.run.exitCode, 5) << o.Diagnostics();
    EXPECT_EQ(o.run.err.rfind("chequepdv: ", 0), 0u) << o.run.err;
    const std::string first = o.run.err.substr(0, o.run.err.find('\n'));
    EXPECT_NE(first.find(c.inError), std::string::npos) << o.run.err;
    const auto failures = o.Events("script_failure");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].value("message", "").find(c.inError), std::string::npos);
    EXPECT_TRUE(o.Events("return").empty()) << "the call never returned";
    EXPECT_FALSE(o.saved);
  }
}

TEST(HostProgram, PointOfSaleFieldsReachTheStoreAndTheSavedFile) {
  Session s;
  s.chequeIni = kTwoOptions;
  s.hasStore = true;
  s.storeText = "1003-000 = 999\n1258-000 = Jo\xE3o da Silva\n";
  s.sets = {"1003-0=1500", "1029-0 = 341", "1027-2=linha\\x0Aquebrada"};
  Outcome o = s.Run({"consulta"}, "type 9\n");
  ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
  ASSERT_TRUE(o.saved);
  EXPECT_EQ(o.store["1003-0"], "1500") << "--set goes over the transaction file";
  EXPECT_EQ(o.store["1029-0"], "341");
  EXPECT_EQ(o.store["1258-0"], "Jo\xE3o da Silva") << "Windows-1252 kept as it is";
  EXPECT_EQ(o.store["1027-2"], "linha\nquebrada");
  // The summary shows what the point of sale received, in UTF-8.
  EXPECT_NE(o.run.out.find("Jo\xC3\xA3o da Silva"), std::string::npos) << o.run.out;
  EXPECT_NE(o.run.out.find(s.StorePath()), std::string::npos) << o.run.out;
}

TEST(ModuleLibrary, ExportsExactlyTheEightEntryPoints) {
  if (std::system("command -v nm >/dev/null 2>&1") != 0) GTEST_SKIP() << "nm is not installed";
  TempDir d;
  const std::string out = d / "nm.txt";
  ASSERT_EQ(std::system(("nm -D --defined-only " + ModulePath() + " > " + out).c_str()), 0);
  std::set<std::string> symbols;
  std::istringstream in(ReadFile(out));
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream f(line);
    std::string addr, type, name;
    if (f >> addr >> type >> name) symbols.insert(name);
  }
  const std::set<std::string> expected = {"Initialize",
                                          "Finalize",
                                          "ObtemVersao",
                                          "ExecutaVenda",
                                          "ExecutaPreAutorizacao",
                                          "ExecutaFuncaoADM",
                                          "ExecutaConsultaCheque",
                                          "ExecutaGenerico"};
  EXPECT_EQ(symbols, expected);
}
