// Reading a scenario whose authorisation answer is a large rate table: N records of field
// 20033, each a line of the table, as a telecheque rate answer brings them. The reader finds
// repeated keys by hash, so the time grows with the file, not with its square. The same for a
// messages file of N messages (the largest a 4 MiB file holds is about 100,000).
#include <string>

#include <benchmark/benchmark.h>

#include "PdvHost.h"

namespace {

std::string Tabela(int registros) {
  std::string t = "[autorizacao]\n1009-0 = 0\n";
  for (int i = 0; i < registros; ++i)
    t += "20033-" + std::to_string(i) + " = \\x01TAXA " + std::to_string(i % 97) + ";PRAZO " +
         std::to_string(30 + i % 60) + ";VALOR 0," + std::to_string(i % 1000) + "\n";
  return t;
}

void BM_LeCenarioTarifas(benchmark::State &state) {
  const std::string texto = Tabela(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    pdv::TCenario c = pdv::TCenario::LeTexto(texto, "tarifas.ini");
    benchmark::DoNotOptimize(c);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["file_kb"] = static_cast<double>(texto.size()) / 1024;
}
BENCHMARK(BM_LeCenarioTarifas)->Arg(5000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LeMensagens(benchmark::State &state) {
  std::string texto = "# mensagens da loja\n";
  for (int i = 0; i < state.range(0); ++i)
    texto += std::to_string(100000 + i * 7) + "=Mensagem da loja n\xC3\xBAmero " +
             std::to_string(i) + "\n";
  pdv::TPdvHost &h = pdv::TPdvHost::Instancia();
  for (auto _ : state) {
    h.Reinicia();
    h.CarregaMensagensTexto(texto, "mensagens.txt");
  }
  h.Reinicia();
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["file_kb"] = static_cast<double>(texto.size()) / 1024;
}
BENCHMARK(BM_LeMensagens)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
