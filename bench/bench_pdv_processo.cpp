// A whole scripted code-70 consultation as the point of sale runs it: the host program started
// as a process, the module loaded, the session of share/demo/consulta70-digitada.script played,
// the store saved, the program ended. `cpu_ms` is the CPU the process used (user and system),
// which must stay under 20 ms; the time is wall time, waiting included.
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
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

void BM_ConsultaComoProcesso(benchmark::State &state) {
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
                                   (demo / "consulta70-digitada.script").string(),
                                   "consulta"};
  std::vector<char *> argv;
  for (auto &a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  double cpuMs = 0;
  for (auto _ : state) {
    fs::remove(store); // a store left by the previous run would change the session
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ) != 0) {
      state.SkipWithError("cannot start chequepdv");
      break;
    }
    int status = 0;
    rusage uso{};
    wait4(pid, &status, 0, &uso);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("the consultation did not complete");
      break;
    }
    cpuMs += (uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) * 1e3 +
             (uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e3;
  }
  posix_spawn_file_actions_destroy(&fa);
  fs::remove(store);
  state.counters["cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ConsultaComoProcesso)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
