// A program in a tmux session of its own (80 x 24, one server per session: a test never talks
// to the server of another), keys sent as a keyboard sends them and the screen read back.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <unistd.h>

namespace testsupport {

inline std::string Shell(const std::string &cmd) {
  std::string out;
  if (FILE *p = popen((cmd + " 2>&1").c_str(), "r")) {
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    pclose(p);
  }
  return out;
}

inline std::string Quote(const std::string &s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

class TTmux {
public:
  explicit TTmux(const std::string &tag)
      : fSocket("chqtest-" + tag + "-" + std::to_string(getpid())) {}
  ~TTmux() { Shell(Cmd("kill-server")); }
  TTmux(const TTmux &) = delete;
  TTmux &operator=(const TTmux &) = delete;
  std::string Cmd(const std::string &args) const {
    return "LANG=C.UTF-8 tmux -u -L " + fSocket + " " + args;
  }
  // Runs a shell command, then says how it ended ("EXIT=N") and waits.
  void Start(const std::string &command) const {
    Shell(Cmd("new-session -d -x 80 -y 24 -s s " + Quote(command + "; echo EXIT=$?; sleep 60")));
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
  // Why tmux sessions cannot run here ("" when they can).
  static std::string Missing(const std::string &program) {
    if (Shell("command -v tmux").empty()) return "tmux is not installed";
    return access(program.c_str(), X_OK) == 0 ? "" : program + " is not built";
  }

private:
  std::string fSocket;
};

} // namespace testsupport
