// Saving the field store: the reference host's atomic save of 5,000 values
// against writing, syncing and renaming the same bytes with plain C stdio.
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

BENCHMARK(BM_SalvaStore)->Unit(benchmark::kMicrosecond)->Repetitions(15)->UseRealTime();
BENCHMARK(BM_StdioMesmosBytes)->Unit(benchmark::kMicrosecond)->Repetitions(15)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
