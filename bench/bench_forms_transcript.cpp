// A million key presses with the transcript written to a file and watched by an observer that
// counts, as the host's summary does: the session's memory must not grow with its length.
// `rss_growth_mb` is the growth of the process's peak resident size over the million keys (the
// bound is that the whole session stays under 60 MB); the time is per million keys.
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/operator/Transcript.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <sys/resource.h>

namespace {

double PeakMb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_maxrss) / 1024.0; // KB on Linux
}

void BM_MillionKeyPresses(benchmark::State &state) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / "bench-transcript.jsonl";
  if (!Transcript().OpenFile(file.string())) return state.SkipWithError("cannot open the file");
  long inputs = 0;
  const int id = Transcript().AddObserver([&](const TTranscript::Json &e) {
    if (e["ev"] == "input") ++inputs;
  });
  TForm *f = new TForm(nullptr);
  f->Name = "FrmBench";
  auto *ed = new TEdit(f);
  ed->Name = "edValor";
  ed->SetParent(f);
  ed->MaxLength = 12; // the keys past it are typed and refused, as an operator's would be
  f->Show();
  TOperatorAction a;
  a.kind = TOperatorAction::Char;
  a.ch = '5';
  const double before = PeakMb();
  for (auto _ : state) {
    for (int i = 0; i < 1000000; ++i) Application->Perform(a);
    ed->SetText("");
  }
  state.counters["rss_growth_mb"] = PeakMb() - before;
  state.counters["peak_mb"] = PeakMb();
  if (inputs != long(state.iterations()) * 1000000) state.SkipWithError("events were not seen");
  f->Free();
  Transcript().RemoveObserver(id);
  Transcript().CloseFile();
  std::filesystem::remove(file);
}
BENCHMARK(BM_MillionKeyPresses)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
