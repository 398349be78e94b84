#include "E2e.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace e2e {

std::string BinDir() {
  return CHEQUE_BIN_DIR;
}
std::string SourceDir() {
  return CHEQUE_SOURCE_DIR;
}
std::string PdvPath() {
  // Another program in its place, e.g. one that also runs the Windows build and compares.
  if (const char *outro = std::getenv("CHEQUE_E2E_PDV"); outro && *outro) return outro;
  return BinDir() + "/chequepdv";
}
std::string ModulePath() {
  return BinDir() + "/libcheque.so";
}

std::string ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string &path, const std::string &text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path);
}

bool Exists(const std::string &path) {
  return std::filesystem::exists(path);
}

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "chqe2e-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  fPath = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  if (!std::getenv("CHEQUE_E2E_KEEP")) std::filesystem::remove_all(fPath, ec);
}

std::string TempDir::Write(const std::string &name, const std::string &text) const {
  const std::string path = *this / name;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  WriteFile(path, text);
  return path;
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
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char *> argv;
  for (auto &a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, program.c_str(), &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  RunResult r;
  if (rc != 0) {
    r.err = "cannot start " + program;
    return r;
  }
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const pid_t w = waitpid(pid, &status, WNOHANG);
    if (w == pid) break;
    if (w < 0 && errno != EINTR) break;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      r.err = "[killed after " + std::to_string(timeoutMs) + " ms]\n";
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(status) && r.err.empty()) r.exitCode = WEXITSTATUS(status);
  r.out = ReadFile(outPath);
  r.err += ReadFile(errPath);
  return r;
}

std::vector<Json> ReadTranscript(const std::string &path) {
  std::vector<Json> events;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    events.push_back(Json::parse(line)); // a malformed line fails the test loudly
  }
  return events;
}

std::vector<Json> EventsOf(const std::vector<Json> &events, const std::string &ev) {
  std::vector<Json> out;
  for (const auto &e : events)
    if (e.value("ev", "") == ev) out.push_back(e);
  return out;
}

namespace {
std::string Unescape(const std::string &v) {
  std::string out;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '\\' && i + 1 < v.size() && v[i + 1] == '\\') {
      out += '\\';
      ++i;
    } else if (v[i] == '\\' && i + 3 < v.size() && v[i + 1] == 'x' &&
               std::isxdigit((unsigned char)v[i + 2]) && std::isxdigit((unsigned char)v[i + 3])) {
      out += char(std::stoi(v.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      out += v[i];
    }
  }
  return out;
}
} // namespace

std::map<std::string, std::string> ReadStore(const std::string &path) {
  std::map<std::string, std::string> fields;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto eq = line.find(" = ");
    const auto dash = line.find('-');
    if (line.empty() || line[0] == '#' || eq == std::string::npos || dash > eq) continue;
    const std::string index = line.substr(dash + 1, eq - dash - 1);
    if (index.empty() || index.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string key = line.substr(0, dash) + "-" + std::to_string(std::stol(index));
    fields[key] = Unescape(line.substr(eq + 3));
  }
  return fields;
}

std::string TestMessages() {
  std::string m = "# operator messages of the end-to-end tests\n";
  for (int id : {130, 327, 802, 993, 998})
    m += std::to_string(id) + "=M" + std::to_string(id) + "\n";
  return m;
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

std::string Outcome::Diagnostics() const {
  return "exit " + std::to_string(run.exitCode) + "\n--- stdout\n" + run.out + "--- stderr\n" +
         run.err;
}

Session::Session() {
  dir.Write("mensagens.txt", TestMessages());
}

Outcome Session::Run(const std::vector<std::string> &operation, const std::string &script) {
  if (!chequeIni.empty()) dir.Write("Cheque.ini", chequeIni);
  if (!clienteIni.empty()) dir.Write("Cliente.ini", clienteIni);
  if (!clienteTrnIni.empty()) dir.Write("ClienteTrn.ini", clienteTrnIni);
  if (hasStore)
    dir.Write("transacao.txt", storeText);
  else
    std::filesystem::remove(StorePath());
  const std::string transcript = dir / "transcript.jsonl";
  std::filesystem::remove(transcript);
  std::map<std::string, std::string> opts = {{"--dir", dir.Path()},
                                             {"--messages", dir / "mensagens.txt"},
                                             {"--store", StorePath()},
                                             {"--transcript", transcript},
                                             {"--script", dir.Write("sessao.script", script)}};
  for (const auto &[k, v] : options) opts[k] = v;
  std::vector<std::string> args;
  for (const auto &[k, v] : opts) {
    args.push_back(k);
    args.push_back(v);
  }
  for (const auto &s : sets) {
    args.push_back("--set");
    args.push_back(s);
  }
  if (unmasked) args.push_back("--unmasked");
  args.insert(args.end(), extra.begin(), extra.end());
  args.insert(args.end(), operation.begin(), operation.end());
  Outcome o;
  o.run = RunProgram(PdvPath(), args);
  if (Exists(transcript)) o.events = ReadTranscript(transcript);
  o.saved = Exists(StorePath());
  if (o.saved) o.store = ReadStore(StorePath());
  return o;
}

std::string IniSection(const std::string &name,
                       const std::vector<std::pair<std::string, std::string>> &keys) {
  std::string s = "[" + name + "]\n";
  for (const auto &[k, v] : keys) s += k + "=" + v + "\n";
  return s + "\n";
}

std::string Option(const std::string &name, int code, int function, int network,
                   const std::vector<std::pair<std::string, std::string>> &more) {
  std::vector<std::pair<std::string, std::string>> keys = {{"habilitado", "1"},
                                                           {"CodigoTrn", std::to_string(code)},
                                                           {"TipoFuncao", std::to_string(function)},
                                                           {"CodigoRede", std::to_string(network)},
                                                           {"opCmc7", "2"},
                                                           {"opBanco", "0"}};
  for (const auto &kv : more) {
    bool replaced = false;
    for (auto &k : keys)
      if (k.first == kv.first) k.second = kv.second, replaced = true;
    if (!replaced) keys.push_back(kv);
  }
  return IniSection(name, keys);
}

::testing::AssertionResult AuditMatchesForms(const Outcome &o) {
  std::map<std::string, int> created, destroyed, auditCreated, auditDestroyed;
  for (const auto &e : o.Events("form")) {
    const std::string what = e.value("what", ""), form = e.value("form", "");
    if (what == "create") ++created[form];
    if (what == "destroy") ++destroyed[form];
  }
  for (const auto &e : o.Events("audit")) {
    const std::string text = e.value("text", "");
    if (text.rfind("Criou: ", 0) == 0)
      ++auditCreated[text.substr(7)];
    else if (text.rfind("Destruiu: ", 0) == 0)
      ++auditDestroyed[text.substr(10)];
    else
      return ::testing::AssertionFailure() << "unexpected audit line: " << text;
  }
  if (created != auditCreated)
    return ::testing::AssertionFailure() << "forms created and \"Criou: \" lines differ";
  if (destroyed != auditDestroyed)
    return ::testing::AssertionFailure() << "forms destroyed and \"Destruiu: \" lines differ";
  if (created != destroyed)
    return ::testing::AssertionFailure() << "a form was created and not destroyed";
  return ::testing::AssertionSuccess();
}

} // namespace e2e
