// The file-exchange service as a point of sale meets it: `chequepdv atende` started once on a
// scratch folder; BM_StatusDoPedido times an ATV and a CHQ request from its rename into req/ to
// the status file's arrival in resp/ (the median must stay under 20 ms), BM_Ocioso measures the
// CPU the waiting service spends over a second (`cpu_ms_por_s`, nothing measurable expected).
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

extern char **environ;

namespace {

namespace fs = std::filesystem;

struct TServico {
  fs::path dir;
  pid_t pid = -1;
  TServico() {
    char modelo[] = "/tmp/bench-troca-XXXXXX";
    dir = mkdtemp(modelo);
    const fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
    std::vector<std::string> args = {(bin / "chequepdv").string(), "atende",
                                     (dir / "tef").string()};
    std::vector<char *> argv;
    for (auto &a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t at;
    posix_spawnattr_init(&at);
    posix_spawnattr_setflags(&at, POSIX_SPAWN_SETSID);
    if (posix_spawn(&pid, argv[0], &fa, &at, argv.data(), environ) != 0) pid = -1;
    posix_spawnattr_destroy(&at);
    posix_spawn_file_actions_destroy(&fa);
    for (int i = 0; i < 500 && !fs::exists(dir / "tef/resp"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ~TServico() {
    if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  // The service's CPU so far (user and system), in clock ticks.
  long Cpu() const {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string campo;
    long utime = 0, stime = 0;
    for (int i = 1; in >> campo && i <= 15; ++i) {
      if (i == 14) utime = std::stol(campo);
      if (i == 15) stime = std::stol(campo);
    }
    return utime + stime;
  }
};

void BM_StatusDoPedido(benchmark::State &state) {
  TServico s;
  const fs::path req = s.dir / "tef/req", resp = s.dir / "tef/resp";
  const int aviso = inotify_init1(IN_CLOEXEC);
  inotify_add_watch(aviso, resp.c_str(), IN_MOVED_TO);
  // ATV is answered by the status alone; CHQ first commits its arrival to the journal, and the
  // module then runs (without an operator it refuses at once) and the response is written.
  const bool chq = state.range(0) == 1;
  const std::string pedido = std::string("000-000 = ") + (chq ? "CHQ" : "ATV") +
                             "\r\n001-000 = 1\r\n003-000 = 100\r\n999-999 = 0\r\n";
  std::vector<double> tempos;
  for (auto _ : state) {
    { std::ofstream(req / "pedido.tmp", std::ios::binary) << pedido; }
    const auto inicio = std::chrono::steady_clock::now();
    fs::rename(req / "pedido.tmp", req / "IntPos.001");
    // The status arrives renamed into place: wait for that rename.
    bool chegou = false;
    alignas(inotify_event) char buf[4096];
    while (!chegou) {
      pollfd p{aviso, POLLIN, 0};
      if (poll(&p, 1, 7000) <= 0) {
        state.SkipWithError("no status within 7 s");
        break;
      }
      const ssize_t n = read(aviso, buf, sizeof buf);
      for (ssize_t i = 0; i < n;) {
        const auto *e = reinterpret_cast<const inotify_event *>(buf + i);
        if (e->len && std::string(e->name) == "IntPos.Sts") chegou = true;
        i += ssize_t(sizeof(inotify_event) + e->len);
      }
    }
    tempos.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count());
    state.SetIterationTime(tempos.back());
    fs::remove(resp / "IntPos.Sts");
    for (int i = 0; chq && i < 5000 && !fs::remove(resp / "IntPos.001"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  close(aviso);
  if (tempos.empty()) return;
  std::sort(tempos.begin(), tempos.end());
  state.counters["mediana_ms"] = tempos[tempos.size() / 2] * 1000;
  state.counters["max_ms"] = tempos.back() * 1000;
}
BENCHMARK(BM_StatusDoPedido)
    ->ArgName("chq")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200);

void BM_Ocioso(benchmark::State &state) {
  TServico s;
  std::this_thread::sleep_for(std::chrono::milliseconds(300)); // past its start
  const long antes = s.Cpu();
  for (auto _ : state) std::this_thread::sleep_for(std::chrono::seconds(1));
  const double ms = double(s.Cpu() - antes) * 1000.0 / double(sysconf(_SC_CLK_TCK));
  state.counters["cpu_ms_por_s"] = ms / double(state.iterations());
}
BENCHMARK(BM_Ocioso)->Unit(benchmark::kSecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
