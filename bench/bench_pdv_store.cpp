// Saving the field store: the reference host's atomic save of 5,000 values
// against writing, syncing and renaming the same bytes with plain C stdio; the
// same save in an empty folder and among 100,000 files (a save never looks at
// its neighbours); and what a 48 MB transaction file costs in memory once
// loaded.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include "PdvHost.h"

namespace {

std::string Dir() {
  static std::string dir = [] {
    std::string modelo = (std::filesystem::temp_directory_path() / "pdvbenchXXXXXX").string();
    if (!::mkdtemp(modelo.data())) std::abort();
    static std::string apagar = modelo;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(apagar, ec);
    });
    return modelo;
  }();
  return dir;
}

// 5,000 values shaped like a real store: short texts, per-cheque groups, a few
// response records with control bytes and accented letters.
void PreencheStore() {
  pdv::TPdvHost &h = pdv::TPdvHost::Instancia();
  h.Reinicia();
  int n = 0;
  for (int campo = 1003; n < 4000; ++campo)
    for (int i = 0; i < 25 && n < 4000; ++i, ++n)
      h.DefineCampo(campo, i, "valor " + std::to_string(campo * 31 + i) + " do campo");
  for (int i = 0; n < 5000; ++i, ++n)
    h.DefineCampo(20033, i,
                  std::string("\x01"
                              "Consulta de cheque n\xBA ") +
                      std::to_string(i) +
                      "@CHEQUE SEM RESTRI\xC7\xD5"
                      "ES@\\fim\x0A");
}

void BM_SalvaStore(benchmark::State &state) {
  PreencheStore();
  const std::string path = Dir() + "/transacao.txt";
  for (auto _ : state) pdv::TPdvHost::Instancia().SalvaArquivoTransacao(path);
  state.SetItemsProcessed(state.iterations() * 5000);
}

void BM_StdioMesmosBytes(benchmark::State &state) {
  PreencheStore();
  const std::string bytes = pdv::FormataArquivoTransacao(pdv::TPdvHost::Instancia().Store());
  const std::string path = Dir() + "/stdio.txt", tmp = path + ".tmp";
  for (auto _ : state) {
    std::FILE *f = std::fopen(tmp.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fflush(f);
    ::fsync(fileno(f));
    std::fclose(f);
    std::rename(tmp.c_str(), path.c_str());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
}

// A store of 50 values saved in a folder of state.range(0) other files: the CPU time is what
// the save costs beyond its syncs.
void BM_SalvaEntreVizinhos(benchmark::State &state) {
  pdv::TPdvHost &h = pdv::TPdvHost::Instancia();
  h.Reinicia();
  for (int i = 0; i < 50; ++i) h.DefineCampo(1003 + i, 0, "valor " + std::to_string(i));
  const std::string dir = Dir() + "/vizinhos" + std::to_string(state.range(0));
  std::filesystem::create_directory(dir);
  for (int64_t i = 0; i < state.range(0); ++i)
    std::fclose(std::fopen((dir + "/cupom" + std::to_string(i) + ".txt").c_str(), "wb"));
  for (auto _ : state) h.SalvaArquivoTransacao(dir + "/transacao.txt");
  std::filesystem::remove_all(dir);
}

long ResidenteKb() {
  std::FILE *f = std::fopen("/proc/self/statm", "r");
  long paginas = 0, residentes = 0;
  if (f && std::fscanf(f, "%ld %ld", &paginas, &residentes) != 2) residentes = 0;
  if (f) std::fclose(f);
  return residentes * (::sysconf(_SC_PAGESIZE) / 1024);
}

// A 48 MB transaction file of short values (the worst case for a store's overhead) loaded
// into the host: `store_per_file` is the store's memory over the file's size (at most 2),
// `rss_per_file` what the process grew by.
void BM_CarregaStore48MB(benchmark::State &state) {
  const std::string path = Dir() + "/grande.txt";
  {
    pdv::TStore s;
    for (int campo = 30000, n = 0; n < 48 << 20; ++campo)
      for (int i = 0; i < 1000; ++i) {
        const std::string v = "valor " + std::to_string(campo * 31 + i) + " do campo";
        s.Define({campo, i}, v);
        n += static_cast<int>(v.size()) + 13;
      }
    pdv::GravaArquivoAtomico(path, pdv::FormataArquivoTransacao(s));
  }
  const double arquivo = static_cast<double>(std::filesystem::file_size(path));
  pdv::TPdvHost &h = pdv::TPdvHost::Instancia();
  double store = 0, rss = 0;
  for (auto _ : state) {
    h.Reinicia();
    const long antes = ResidenteKb();
    h.CarregaArquivoTransacao(path);
    rss = static_cast<double>(ResidenteKb() - antes) * 1024;
    store = static_cast<double>(h.Store().Memoria());
  }
  h.Reinicia();
  state.counters["file_mb"] = arquivo / (1 << 20);
  state.counters["store_per_file"] = store / arquivo;
  state.counters["rss_per_file"] = rss / arquivo;
}

BENCHMARK(BM_SalvaStore)->Unit(benchmark::kMicrosecond)->Repetitions(15)->UseRealTime();
BENCHMARK(BM_SalvaEntreVizinhos)->Arg(0)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CarregaStore48MB)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StdioMesmosBytes)->Unit(benchmark::kMicrosecond)->Repetitions(15)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
