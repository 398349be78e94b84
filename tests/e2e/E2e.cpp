#include "E2e.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace e2e {

std::string PdvPath() {
  // Another program in its place, e.g. one that also runs the Windows build and compares.
  if (const char *outro = std::getenv("CHEQUE_E2E_PDV"); outro && *outro) return outro;
  return kBinDir + "/chequepdv";
}

RunResult RunProgram(const std::string &program, const std::vector<std::string> &args,
                     int timeoutMs) {
  TempDir io;
  const std::string outPath = io / "stdout", errPath = io / "stderr";
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&fa, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char *> argv{const_cast<char *>(program.c_str())};
  for (const auto &a : args) argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  // A session of its own: no controlling terminal, so the module never draws on the one the
  // tests were started from.
  posix_spawnattr_t at;
  posix_spawnattr_init(&at);
  posix_spawnattr_setflags(&at, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, program.c_str(), &fa, &at, argv.data(), environ);
  posix_spawnattr_destroy(&at);
  posix_spawn_file_actions_destroy(&fa);
  RunResult r;
  if (rc != 0) return {-1, "", "cannot start " + program};
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (waitpid(pid, &status, WNOHANG) == 0) { // a killed child ends with exit code -1
    if (std::chrono::steady_clock::now() > deadline && r.err.empty())
      kill(pid, SIGKILL), r.err = "[killed after " + std::to_string(timeoutMs) + " ms]\n";
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
  r.out = ReadFile(outPath);
  r.err += ReadFile(errPath);
  return r;
}

int Lines(const std::string &s) {
  return int(std::count(s.begin(), s.end(), '\n')) + (!s.empty() && s.back() != '\n');
}

// The transcript: one JSON object per line.
static std::vector<Json> ReadTranscript(const std::string &path) {
  std::vector<Json> events;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) events.push_back(Json::parse(line)); // a malformed line fails loudly
  return events;
}

std::vector<Json> Outcome::Events(const std::string &ev) const {
  std::vector<Json> out;
  for (const auto &e : events)
    if (e.value("ev", "") == ev) out.push_back(e);
  return out;
}

// The transaction file: lines "FIELD-INDEX = VALUE", keyed "FIELD-INDEX" with the index
// without its leading zeros ("1043-0"), values with their escapes undone (Windows-1252).
static std::map<std::string, std::string> ReadStore(const std::string &path) {
  std::map<std::string, std::string> fields;
  std::istringstream in(ReadFile(path));
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    const size_t dash = l.find('-'), eq = l.find(" = ");
    if (l.empty() || l[0] == '#' || eq == std::string::npos || dash > eq) continue;
    std::string value;
    for (size_t i = eq + 3; i < l.size(); ++i) {
      const bool hex = l.compare(i, 2, "\\x") == 0 && i + 3 < l.size();
      value += hex ? char(std::stoi(l.substr(i + 2, 2), nullptr, 16)) : l[i];
      i += hex ? 3 : l.compare(i, 2, "\\\\") == 0;
    }
    fields[l.substr(0, dash) + "-" + std::to_string(std::stol(l.substr(dash + 1, eq - dash)))] =
        value;
  }
  return fields;
}

// Operator messages the tests recognise: "M<number>" for the numbers that matter here.
static std::string TestMessages() {
  // 998 as a Windows editor writes it: the transcript must show it as meant.
  std::string m = "# operator messages of the end-to-end tests\n998=Nenhuma op\xE7\xE3o\n";
  for (int id : {26, 130, 327, 787, 790, 802, 804, 809, 993, 1055, 1123, 1182, 1725})
    m += std::to_string(id) + "=M" + std::to_string(id) + "\n";
  return m;
}

std::string Request(const Json &authorize) {
  std::string r;
  for (const Json &e : authorize["entries"]) {
    std::string s;
    if (e.contains("group")) {
      s = std::to_string(e["group"].get<int>()) + "x" + std::to_string(e["repeat"].get<int>()) +
          "/" + std::to_string(e["size"].get<int>());
    } else if (e.contains("text")) {
      s = "'" + e["text"].get<std::string>() + "'";
    } else {
      const int i = e["index"].get<int>();
      s = std::to_string(e["field"].get<int>()) + (i ? "[" + std::to_string(i) + "]" : "") +
          (e.contains("value") ? "=" + e["value"].get<std::string>() : "-");
    }
    if (e.contains("attr"))
      s += "@" + std::to_string(e["attr"][0].get<int>()) + "." +
           std::to_string(e["attr"][1].get<int>()) + "." + std::to_string(e["attr"][2].get<int>());
    r += (r.empty() ? "" : " ") + s;
  }
  std::replace(r.begin(), r.end(), '\x04', '~');
  return r;
}

std::vector<std::string> Outcome::Forms(const std::string &what) const {
  std::vector<std::string> names;
  for (const auto &e : Events("form"))
    if (e.value("what", "") == what) names.push_back(e.value("form", ""));
  return names;
}

int Outcome::CloseResult(const std::string &form) const {
  int r = -1;
  for (const auto &e : Events("form"))
    if (e.value("what", "") == "close" && e.value("form", "") == form) r = e.value("result", 0);
  return r;
}

std::vector<std::string> Outcome::MessageBoxes() const {
  std::vector<std::string> texts;
  for (const auto &e : Events("msgbox")) texts.push_back(e.value("text", ""));
  return texts;
}

std::string Outcome::Diagnostics() const {
  // The error output first: it is short and says why, where the summary may be cut off.
  return "exit " + std::to_string(run.exitCode) + "\n--- stderr\n" + run.err + "--- stdout\n" +
         run.out;
}

Session::Session() {
  dir.Write("mensagens.txt", TestMessages());
}

Outcome Session::Run(const std::vector<std::string> &operation, const std::string &script) {
  if (!chequeIni.empty()) dir.Write("Cheque.ini", chequeIni);
  if (!clienteIni.empty()) dir.Write("Cliente.ini", clienteIni);
  if (!clienteTrnIni.empty()) dir.Write("ClienteTrn.ini", clienteTrnIni);
  if (!scenario.empty() && !options.count("--scenario"))
    options["--scenario"] = dir.Write("cenario.ini", scenario);
  const std::string transcript = dir / "transcript.jsonl";
  std::filesystem::remove(transcript);
  std::map<std::string, std::string> opts = {{"--dir", dir.Path()},
                                             {"--messages", dir / "mensagens.txt"},
                                             {"--store", StorePath()},
                                             {"--transcript", transcript},
                                             {"--script", dir.Write("sessao.script", script)}};
  for (const auto &[k, v] : options) v.empty() ? void(opts.erase(k)) : void(opts[k] = v);
  std::vector<std::string> args;
  for (const auto &[k, v] : opts) args.insert(args.end(), {k, v});
  for (const auto &s : sets) args.insert(args.end(), {"--set", s});
  if (unmasked) args.push_back("--unmasked");
  args.insert(args.end(), operation.begin(), operation.end());
  Outcome o{RunProgram(PdvPath(), args), ReadTranscript(transcript), ReadStore(StorePath()),
            std::filesystem::exists(StorePath())};
  return o;
}

std::string IniSection(const std::string &name, const Keys &keys) {
  std::string s = "[" + name + "]\n";
  for (const auto &[k, v] : keys) s += k + "=" + v + "\n";
  return s + "\n";
}

std::string Option(const std::string &name, int code, int function, int network, const Keys &more) {
  std::map<std::string, std::string> keys = {{"opCmc7", "2"}, {"opBanco", "0"}};
  for (const auto &[k, v] : more) keys[k] = v;
  std::string s = "[" + name + "]\nhabilitado=1\nCodigoTrn=" + std::to_string(code) +
                  "\nTipoFuncao=" + std::to_string(function) +
                  "\nCodigoRede=" + std::to_string(network) + "\n";
  for (const auto &[k, v] : keys) s += k + "=" + v + "\n";
  return s + "\n";
}

std::string Fill(const std::string &edits) {
  std::string s;
  std::istringstream in(edits);
  for (std::string item; std::getline(in, item, '|');)
    s += "click " + item.substr(0, item.find('=')) + "\ntype " + item.substr(item.find('=') + 1) +
         "\n";
  return s;
}

std::string GridLine(int i) {
  return std::string(30, char('1' + i));
}

std::string Grid(int count, const std::string &amount) {
  std::string s;
  for (int i = 0; i < count; ++i)
    s += "type " + GridLine(i) + "\nkey Enter\ntype " + amount + "\nkey Enter\ntype 0" +
         std::to_string(i + 1) + "072024\nkey Enter\n";
  return s;
}

::testing::AssertionResult Completed(const Outcome &o) {
  const auto ret = o.Events("return");
  if (o.run.exitCode != 0 || ret.size() != 1 || ret[0]["owner_restored"] != true ||
      ret[0]["script_done"] != true)
    return ::testing::AssertionFailure() << "the call did not return normally\n" << o.Diagnostics();
  std::multiset<std::string> forms, audit;
  std::map<std::string, int> open;
  for (const auto &e : o.Events("form")) {
    const std::string what = e.value("what", ""), form = e.value("form", "");
    if (what == "create") forms.insert("Criou: " + form), ++open[form];
    if (what == "destroy") forms.insert("Destruiu: " + form), --open[form];
  }
  for (const auto &e : o.Events("audit")) audit.insert(e.value("text", ""));
  if (forms != audit) return ::testing::AssertionFailure() << "audit trail and forms differ";
  for (const auto &[form, n] : open)
    if (n != 0) return ::testing::AssertionFailure() << form << " was not destroyed once";
  return ::testing::AssertionSuccess();
}

} // namespace e2e
