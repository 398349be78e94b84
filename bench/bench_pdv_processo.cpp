// A whole scripted code-70 consultation as the point of sale runs it: the host program started
// as a process, the module loaded, the session of share/demo/consulta70-digitada.script played,
// the store saved, the program ended. `cpu_ms` is the CPU the process used (user and system),
// which must stay under 20 ms; the time is wall time, waiting included.
// BM_TeclasComoProcesso plays the same session with N more key presses in the CPF edit (the
// document typed and deleted again, N/22 times): `peak_mb`, the process's peak resident size,
// must stay under 60 MB for a million and not grow with N.
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

#include <benchmark/benchmark.h>

extern char **environ;

namespace {

namespace fs = std::filesystem;

// The checkout: $CHEQUE_SOURCE_DIR, or the first directory above the program holding the demo.
fs::path Checkout() {
  if (const char *d = std::getenv("CHEQUE_SOURCE_DIR")) return d;
  for (fs::path p = fs::read_symlink("/proc/self/exe").parent_path(); !p.empty();
       p = p.parent_path()) {
    if (fs::exists(p / "share/demo/Cheque.ini")) return p;
    if (p == p.parent_path()) break;
  }
  return fs::current_path();
}

struct TRodada {
  double cpuMs = 0, picoMb = 0;
};

// Runs chequepdv on the demo consultation with `script` (the demo's own when empty) and a fresh
// store; false when it could not start or did not complete.
bool Roda(const std::string &script, TRodada &r) {
  const fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
  const fs::path demo = Checkout() / "share/demo";
  const fs::path store = fs::temp_directory_path() / "bench-processo-transacao.txt";
  std::vector<std::string> args = {(bin / "chequepdv").string(),
                                   "--dir",
                                   demo.string(),
                                   "--messages",
                                   (demo / "mensagens.txt").string(),
                                   "--scenario",
                                   (demo / "cenario-consulta70.ini").string(),
                                   "--store",
                                   store.string(),
                                   "--script",
                                   script.empty() ? (demo / "consulta70-digitada.script").string()
                                                  : script,
                                   "consulta"};
  std::vector<char *> argv;
  for (auto &a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  fs::remove(store); // a store left by the previous run would change the session
  pid_t pid = 0;
  const bool iniciou = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&fa);
  if (!iniciou) return false;
  int status = 0;
  rusage uso{};
  wait4(pid, &status, 0, &uso);
  fs::remove(store);
  r.cpuMs = (uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) * 1e3 +
            (uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e3;
  r.picoMb = uso.ru_maxrss / 1024.0;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_ConsultaComoProcesso(benchmark::State &state) {
  double cpuMs = 0;
  for (auto _ : state) {
    TRodada r;
    if (!Roda("", r)) {
      state.SkipWithError("the consultation did not complete");
      break;
    }
    cpuMs += r.cpuMs;
  }
  state.counters["cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ConsultaComoProcesso)->Unit(benchmark::kMillisecond)->UseRealTime();

// The demo session with about `teclas` more key presses before the document: typed whole, then
// deleted with Backspace, again and again.
std::string RoteiroComTeclas(int64_t teclas) {
  std::ifstream in(Checkout() / "share/demo/consulta70-digitada.script");
  std::ostringstream out;
  const std::string documento = "type 52998224725";
  bool achou = false;
  for (std::string linha; std::getline(in, linha);) {
    if (linha == documento && !achou) {
      achou = true;
      out << "expect-focus edCPFCGC\n";
      for (int64_t n = 0; n + 22 <= teclas; n += 22) out << documento << "\nkey Backspace 11\n";
    }
    out << linha << "\n";
  }
  return achou ? out.str() : std::string();
}

void BM_TeclasComoProcesso(benchmark::State &state) {
  const std::string texto = RoteiroComTeclas(state.range(0));
  if (texto.empty()) {
    state.SkipWithError("the demo script no longer types the document");
    return;
  }
  const fs::path script = fs::temp_directory_path() / "bench-processo-teclas.script";
  std::ofstream(script, std::ios::binary) << texto;
  TRodada r;
  for (auto _ : state)
    if (!Roda(script.string(), r)) {
      state.SkipWithError("the consultation did not complete");
      break;
    }
  fs::remove(script);
  state.counters["cpu_ms"] = r.cpuMs;
  state.counters["peak_mb"] = r.picoMb;
  state.counters["script_kb"] = static_cast<double>(texto.size()) / 1024;
}
BENCHMARK(BM_TeclasComoProcesso)
    ->Arg(0)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

BENCHMARK_MAIN();
