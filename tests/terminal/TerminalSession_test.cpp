// A person at a terminal: the host program run without a script inside tmux (80 x 24), keys
// sent as a keyboard sends them, the screen read back at each step, and the transaction file
// the point of sale receives. Skipped where tmux or the host program is missing.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/TempDir.h"
#include "support/Tmux.h"

namespace {

using testsupport::Quote, testsupport::TTmux;

std::string Program() {
  return std::string(CHEQUE_BIN_DIR) + "/chequepdv";
}

// chequepdv on the demo (or on `dir` under share/) with `args`, after `prefix` (shell commands).
void StartPdv(const TTmux &tmux, const std::string &prefix, const std::string &args,
              const std::string &dir = "demo") {
  tmux.Start(prefix + "cd " + Quote(CHEQUE_SOURCE_DIR) + " && " + Quote(Program()) +
             " --dir share/" + dir + " " + args + " consulta");
}

} // namespace

TEST(TerminalSession, InteractiveConsultationOnTheDemo) {
  if (const std::string why = TTmux::Missing(Program()); !why.empty()) GTEST_SKIP() << why;
  const testsupport::TempDir dir;
  const std::string store = dir / "transacao.txt";
  TTmux tmux("demo");
  StartPdv(tmux, "",
           "--messages share/demo/mensagens.txt --scenario share/demo/cenario.ini --store " +
               Quote(store));
  // The network menu, drawn on the terminal (or the program refused to start).
  ASSERT_TRUE(tmux.WaitFor("1 - Consulta Cheque")) << tmux.Screen();
  std::string s = tmux.Screen();
  for (const char *text :
       {"Consulta de Cheques", "8 - Consulta F0", "9 - Encerra", "Escolha uma op"})
    EXPECT_NE(s.find(text), std::string::npos) << s;
  // A broken UTF-8 character, then a mouse report: no key, and the session goes on.
  tmux.Keys("-H c3 1b 5b 4d 61 62 63");
  // Keys as tmux sends them and the terminal's answers (a cursor-position report, a device
  // attributes answer, Alt+Delete, a number too long): none picks an option or types a digit.
  tmux.Keys("Home End IC DC PPage NPage F1 S-F3 C-F12 M-DC");
  tmux.Keys("-H 1b 5b 32 34 3b 38 30 52 1b 5b 3f 31 3b 32 63 1b 5b 33 3b 39 7e");
  tmux.Keys("-H 1b 5b 39 39 39 39 39 39 39 39 39 39 7e");
  tmux.Keys("4"); // the option with a consultation-type list
  ASSERT_TRUE(tmux.WaitFor("Tipo de Consulta:")) << tmux.Screen();
  EXPECT_NE(tmux.Screen().find("[01 - Simples"), std::string::npos) << tmux.Screen();
  tmux.Keys("2"); // moves the selection down
  ASSERT_TRUE(tmux.WaitFor("[02 - Completa")) << tmux.Screen();
  // Alt+1: "1 - Confirma". The consultation screen of code 72 replaces the selection.
  tmux.Keys("M-1");
  ASSERT_TRUE(tmux.WaitFor("Tipo de Consulta:", false)) << tmux.Screen();
  EXPECT_EQ(tmux.Screen().find("1 - Consulta Cheque"), std::string::npos);
  tmux.Keys("M-9"); // back to the menu
  ASSERT_TRUE(tmux.WaitFor("1 - Consulta Cheque")) << tmux.Screen();
  // "9 - Encerra": the call ends as completed; the terminal is given back for the summary.
  tmux.Keys("9");
  ASSERT_TRUE(tmux.WaitFor("EXIT=")) << tmux.Screen();
  s = tmux.Screen();
  EXPECT_NE(s.find("EXIT=0"), std::string::npos) << s;
  EXPECT_NE(s.find("FrmTipoConsulta_Mod"), std::string::npos) << s; // the summary
  const std::string saved = testsupport::ReadFile(store);
  EXPECT_NE(saved.find("1043-000 = 02"), std::string::npos) << saved;
}

// Ctrl+C typed ends the program as an interrupt sent from outside would, the terminal given
// back: where the signal is ignored (as under nohup or in a shell's background job) the key
// still ends it; at the result screen of a code-72 consultation, before the module asked to
// save, the point of sale's own handler keeps the network's answer in NAME.recuperacao and
// leaves the transaction file as it was.
TEST(TerminalSession, CtrlCEndsTheProgramAsTheInterruptWould) {
  if (const std::string why = TTmux::Missing(Program()); !why.empty()) GTEST_SKIP() << why;
  struct Case {
    std::string prefix;
    std::vector<std::string> keys; // from the menu to the screen where Ctrl+C is typed
    bool kept;                     // NAME.recuperacao written
  };
  const Case cases[] = {
      {"trap '' INT; ", {}, false},
      {"",
       {"1",     "1", "150,00", "Enter",  "Enter", "341", "Enter", "0123",        "Enter", "456789",
        "Enter", "1", "Enter",  "000101", "Enter", "1",   "Enter", "52998224725", "Enter", "M-1"},
       true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.kept);
    TTmux tmux(c.kept ? "ctrlc-kept" : "ctrlc");
    const testsupport::TempDir dir;
    const std::string store = dir / "transacao.txt", err = dir / "err.txt";
    testsupport::WriteFile(store, "99-000 = antes\n");
    StartPdv(tmux, c.prefix,
             "--scenario share/demo/cenario.ini --store " + Quote(store) + " 2>" + Quote(err),
             "demo/codigos");
    ASSERT_TRUE(tmux.WaitFor("9 - Encerra")) << tmux.Screen();
    for (const std::string &k : c.keys) tmux.Keys(k);
    if (c.kept) {
      ASSERT_TRUE(tmux.WaitFor("CONSULTA REALIZADA")) << tmux.Screen();
    }
    tmux.Keys("C-c");
    ASSERT_TRUE(tmux.WaitFor("EXIT=130", true, 5000)) << tmux.Screen();
    EXPECT_EQ(tmux.Screen().find("Consulta"), std::string::npos) << tmux.Screen();
    EXPECT_EQ(testsupport::ReadFile(store), "99-000 = antes\n");
    const std::string kept = testsupport::ReadFile(store + ".recuperacao");
    EXPECT_EQ(kept.find("\n1009-000 = 0\n") != std::string::npos, c.kept) << kept;
    EXPECT_EQ(testsupport::ReadFile(err),
              c.kept ? "chequepdv: the call was interrupted after the network answered: the store "
                       "is kept in " +
                           store + ".recuperacao (" + store + " is left as it was)\n"
                     : "");
  }
}

// The terminal hangs up while the menu waits (the window closed, the connection dropped): the
// program is not killed; the screens close as not completed, the chain unwinds through its save
// and the call returns, with exit status 5 for the operator gone.
TEST(TerminalSession, HangUpUnwindsTheScreensThroughTheirSave) {
  if (const std::string why = TTmux::Missing(Program()); !why.empty()) GTEST_SKIP() << why;
  const testsupport::TempDir dir;
  const std::string store = dir / "transacao.txt", transcript = dir / "t.jsonl";
  TTmux tmux("hup");
  StartPdv(tmux, "", "--store " + Quote(store) + " --transcript " + Quote(transcript));
  ASSERT_TRUE(tmux.WaitFor("1 - Consulta Cheque")) << tmux.Screen();
  testsupport::Shell(tmux.Cmd("kill-server")); // the shell goes too: the transcript tells
  for (int i = 0; i < 100; ++i) {
    if (testsupport::ReadFile(transcript).find("\"ev\":\"return\"") != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  const std::string events = testsupport::ReadFile(transcript);
  EXPECT_NE(events.find("\"ev\":\"closing\""), std::string::npos) << events;
  EXPECT_NE(events.find("\"form\":\"FrmRedes_Mnu\",\"result\":2"), std::string::npos) << events;
  EXPECT_NE(events.find("\"ev\":\"return\""), std::string::npos) << events;
  EXPECT_TRUE(std::filesystem::exists(store)) << "saved as an abandoned first screen";
}
