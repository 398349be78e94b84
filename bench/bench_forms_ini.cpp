// The INI reader on a Cheque.ini of 20,000 keys (about 600 KB) in one section, the way a shop's
// generated configuration may look: parsed from the file, and taken again unchanged as a
// consultation takes it about six times.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/system/IniFiles.h"

namespace {

namespace fs = std::filesystem;

struct TFile {
  fs::path path = fs::temp_directory_path() / "bench-ini-Cheque.ini";
  TFile() {
    std::string text = "[Consulta Cheque]\nhabilitado=1\nCodigoTrn=70\n";
    for (int k = 0; k < 20000; ++k)
      text += "Extra" + std::to_string(k) + "=valor de teste " + std::to_string(k) + "\n";
    text += "[Serasa]\nhabilitado=0\n";
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (f) {
      std::fwrite(text.data(), 1, text.size(), f);
      std::fclose(f);
    }
    // A file changed within the last second is read again each time (its time cannot tell a
    // second change): the measure starts after it.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  }
  ~TFile() { fs::remove(path); }
};

void Reads(benchmark::State &state, const TIniFile &ini) {
  if (ini.ReadInteger("consulta cheque", "EXTRA19999", -1) != -1 ||
      ini.ReadString("Consulta Cheque", "Extra19999", "") != "valor de teste 19999")
    state.SkipWithError("the last key was not read");
  benchmark::DoNotOptimize(ini.ReadInteger("Serasa", "habilitado", 1));
}

// Read and parsed from the file every time.
void BM_IniParse20000Keys(benchmark::State &state) {
  const TFile file;
  for (auto _ : state) {
    ForgetIniFiles();
    const TIniFile ini(file.path.string());
    Reads(state, ini);
  }
}
BENCHMARK(BM_IniParse20000Keys)->Unit(benchmark::kMillisecond);

// The same file unchanged: looked at (stat), not read again.
void BM_IniUnchanged20000Keys(benchmark::State &state) {
  const TFile file;
  ForgetIniFiles();
  for (auto _ : state) {
    const TIniFile ini(file.path.string());
    Reads(state, ini);
  }
}
BENCHMARK(BM_IniUnchanged20000Keys)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
