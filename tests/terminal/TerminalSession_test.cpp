// A person at a terminal: the host program run without a script inside tmux (80 x 24), keys
// sent as a keyboard sends them, the screen read back at each step, and the transaction file
// the point of sale receives. Skipped where tmux or the host program is missing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>

#include "support/TempDir.h"

namespace {

std::string Shell(const std::string &cmd) {
  std::string out;
  if (FILE *p = popen((cmd + " 2>&1").c_str(), "r")) {
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    pclose(p);
  }
  return out;
}

std::string Quote(const std::string &s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// The host program in a tmux session of its own (one server per session: a test never talks
// to the server of another).
class TTmux {
public:
  explicit TTmux(const std::string &tag)
      : fSocket("chqtest-" + tag + "-" + std::to_string(getpid())) {}
  ~TTmux() { Shell(Cmd("kill-server")); }
  std::string Cmd(const std::string &args) const {
    return "LANG=C.UTF-8 tmux -u -L " + fSocket + " " + args;
  }
  // Runs chequepdv on the demo with `args`, then says how it ended and waits.
  void Start(const std::string &prefix, const std::string &args) {
    Shell(Cmd("new-session -d -x 80 -y 24 -s s " +
              Quote(prefix + "cd " + Quote(CHEQUE_SOURCE_DIR) + " && " + Quote(Program()) +
                    " --dir share/demo " + args + " consulta; echo EXIT=$?; sleep 60")));
  }
  std::string Screen() const { return Shell(Cmd("capture-pane -p -t s")); }
  void Keys(const std::string &keys) const { Shell(Cmd("send-keys -t s " + keys)); }
  // Waits until the screen holds `text` (or, with `present` false, no longer holds it).
  bool WaitFor(const std::string &text, bool present = true, int ms = 15000) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
      if ((Screen().find(text) != std::string::npos) == present) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  static std::string Program() { return std::string(CHEQUE_BIN_DIR) + "/chequepdv"; }
  static std::string Missing() {
    if (Shell("command -v tmux").empty()) return "tmux is not installed";
    return access(Program().c_str(), X_OK) == 0 ? "" : Program() + " is not built";
  }

private:
  std::string fSocket;
};

} // namespace

TEST(TerminalSession, InteractiveConsultationOnTheDemo) {
  if (const std::string why = TTmux::Missing(); !why.empty()) GTEST_SKIP() << why;
  const testsupport::TempDir dir;
  const std::string store = dir / "transacao.txt";
  TTmux tmux("demo");
  tmux.Start("", "--messages share/demo/mensagens.txt --scenario share/demo/cenario.ini --store " +
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

// Ctrl+C where the interrupt signal is ignored (as under nohup or in a shell's background job):
// the key still ends the program, and the terminal is given back.
TEST(TerminalSession, CtrlCEndsTheProgramWithSigintIgnored) {
  if (const std::string why = TTmux::Missing(); !why.empty()) GTEST_SKIP() << why;
  TTmux tmux("ctrlc");
  const testsupport::TempDir dir;
  tmux.Start("trap '' INT; ", "--store " + Quote(dir / "transacao.txt"));
  ASSERT_TRUE(tmux.WaitFor("1 - Consulta Cheque")) << tmux.Screen();
  tmux.Keys("C-c");
  ASSERT_TRUE(tmux.WaitFor("EXIT=130", true, 5000)) << tmux.Screen();
  EXPECT_EQ(tmux.Screen().find("Consulta Cheque"), std::string::npos) << tmux.Screen();
}
