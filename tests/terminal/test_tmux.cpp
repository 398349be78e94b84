// A person at a terminal: the host program run without a script inside tmux (80 x 24), keys
// sent as a keyboard sends them, the screen read back at each step, and the transaction file
// the point of sale receives. Skipped where tmux or the host program is missing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

std::string Shell(const std::string &cmd) {
  std::string out;
  if (FILE *p = popen((cmd + " 2>&1").c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

std::string Quote(const std::string &s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

class TTmux {
public:
  TTmux() : fSocket("chqtest-" + std::to_string(getpid())) {}
  ~TTmux() { Shell(Cmd("kill-server")); }
  std::string Cmd(const std::string &args) const {
    return "LANG=C.UTF-8 tmux -u -L " + fSocket + " " + args;
  }
  void Start(const std::string &shellCommand) {
    Shell(Cmd("new-session -d -x 80 -y 24 -s s " + Quote(shellCommand)));
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

private:
  std::string fSocket;
};

std::string Program() {
  if (const char *p = std::getenv("CHEQUEPDV")) return p;
  return std::string(CHEQUE_BIN_DIR) + "/chequepdv";
}

} // namespace

TEST(TerminalTmux, InteractiveConsultationOnTheDemo) {
  if (Shell("command -v tmux").empty()) GTEST_SKIP() << "tmux is not installed";
  const std::string pdv = Program();
  if (access(pdv.c_str(), X_OK) != 0) GTEST_SKIP() << pdv << " is not built";
  const std::string src = CHEQUE_SOURCE_DIR;
  const auto dir = std::filesystem::temp_directory_path() / ("chqtmux-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string store = (dir / "transacao.txt").string();

  TTmux tmux;
  tmux.Start("cd " + Quote(src) + " && " + Quote(pdv) +
             " --dir share/demo --messages share/demo/mensagens.txt"
             " --scenario share/demo/cenario.ini --store " +
             Quote(store) + " consulta; echo EXIT=$?; sleep 60");
  // The network menu, drawn on the terminal (or the program refused to start).
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  std::string first;
  do {
    first = tmux.Screen();
    if (first.find("1 - Consulta Cheque") != std::string::npos) break;
    if (first.find("EXIT=") != std::string::npos) {
      if (first.find("operator script") != std::string::npos)
        GTEST_SKIP() << "this host program has no interactive mode";
      FAIL() << "the program ended:\n" << first;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < end);
  ASSERT_NE(first.find("1 - Consulta Cheque"), std::string::npos) << "no menu:\n" << first;
  std::string s = tmux.Screen();
  EXPECT_NE(s.find("Consulta de Cheques"), std::string::npos) << s;
  EXPECT_NE(s.find("8 - Consulta F0"), std::string::npos) << s;
  EXPECT_NE(s.find("9 - Encerra"), std::string::npos) << s;
  EXPECT_NE(s.find("Escolha uma op"), std::string::npos) << s;

  // A broken UTF-8 character, then a mouse report: no key, and the session goes on.
  tmux.Keys("-H c3 1b 5b 4d 61 62 63");
  // "4": the option with a consultation-type list.
  tmux.Keys("4");
  ASSERT_TRUE(tmux.WaitFor("Tipo de Consulta:")) << tmux.Screen();
  EXPECT_NE(tmux.Screen().find("[01 - Simples"), std::string::npos) << tmux.Screen();
  // "2" moves the selection down.
  tmux.Keys("2");
  ASSERT_TRUE(tmux.WaitFor("[02 - Completa")) << tmux.Screen();
  // Alt+1: "1 - Confirma". The consultation screen of code 72 replaces the selection.
  tmux.Keys("M-1");
  ASSERT_TRUE(tmux.WaitFor("Tipo de Consulta:", false)) << tmux.Screen();
  s = tmux.Screen();
  EXPECT_EQ(s.find("1 - Consulta Cheque"), std::string::npos) << s;
  // Alt+9: back to the menu.
  tmux.Keys("M-9");
  ASSERT_TRUE(tmux.WaitFor("1 - Consulta Cheque")) << tmux.Screen();
  // "9 - Encerra": the call ends as completed; the terminal is given back for the summary.
  tmux.Keys("9");
  ASSERT_TRUE(tmux.WaitFor("EXIT=")) << tmux.Screen();
  s = tmux.Screen();
  EXPECT_NE(s.find("EXIT=0"), std::string::npos) << s;
  EXPECT_NE(s.find("FrmTipoConsulta_Mod"), std::string::npos) << s; // the summary
  std::ifstream in(store);
  std::stringstream saved;
  saved << in.rdbuf();
  EXPECT_NE(saved.str().find("1043-000 = 02"), std::string::npos) << saved.str();
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

// Ctrl+C where the interrupt signal is ignored (as under nohup or in a shell's background job):
// the key still ends the program, and the terminal is given back.
TEST(TerminalTmux, CtrlCEndsTheProgramWithSigintIgnored) {
  if (Shell("command -v tmux").empty()) GTEST_SKIP() << "tmux is not installed";
  const std::string pdv = Program();
  if (access(pdv.c_str(), X_OK) != 0) GTEST_SKIP() << pdv << " is not built";
  TTmux tmux;
  tmux.Start(
      "trap '' INT; cd " + Quote(CHEQUE_SOURCE_DIR) + " && " + Quote(pdv) +
      " --dir share/demo --store " +
      Quote(std::filesystem::temp_directory_path() / ("chqtmux-c" + std::to_string(getpid()))) +
      " consulta; echo EXIT=$?; sleep 60");
  ASSERT_TRUE(tmux.WaitFor("1 - Consulta Cheque")) << tmux.Screen();
  tmux.Keys("C-c");
  ASSERT_TRUE(tmux.WaitFor("EXIT=130", true, 5000)) << tmux.Screen();
  EXPECT_EQ(tmux.Screen().find("Consulta Cheque"), std::string::npos) << tmux.Screen();
}
