// One operator key press through the whole path a screen sees: the transcript's input event,
// the form's key preview, the edit's OnKeyPress filter and the insertion into the edit.
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/operator/Transcript.h"

#include <benchmark/benchmark.h>

namespace {

struct KeyForm {
  TForm *f = new TForm(nullptr);
  TEdit *ed = new TEdit(f);
  TEdit *ed2 = new TEdit(f);
  KeyForm() {
    f->Name = "FrmBench";
    f->KeyPreview = true;
    // As the transaction screens do: Enter moves on, anything else goes through.
    f->OnKeyPress = [this](TObject *, char &k) {
      if (k == '\r' && !dynamic_cast<TButtonControl *>(f->ActiveControl())) {
        f->SelectNext(f->ActiveControl(), true);
        k = 0;
      }
    };
    ed->Name = "edValor";
    ed->SetParent(f);
    ed->MaxLength = 0;
    ed->OnKeyPress = [](TObject *, char &k) {
      if (k != '\b' && k != '\r' && (k < '0' || k > '9')) k = 0;
    };
    ed2->Name = "edOutro";
    ed2->TabOrder = 1;
    ed2->SetParent(f);
    f->Show(); // the active window, focus on edValor
  }
  ~KeyForm() { f->Free(); }
};

enum class Record { None, File, Memory };

void Run(benchmark::State &state, Record record) {
  if (record == Record::File && !Transcript().OpenFile("/dev/null"))
    state.SkipWithError("no /dev/null");
  Transcript().SetKeepInMemory(record == Record::Memory);
  {
    KeyForm k;
    TOperatorAction a;
    a.kind = TOperatorAction::Char;
    a.ch = '5';
    int n = 0;
    for (auto _ : state) {
      Application->Perform(a);
      if (++n == 32) { // keep the text short: the edit's length is not what is measured
        k.ed->SetText("");
        n = 0;
        if (Transcript().Events().size() > 4096) Transcript().Clear();
      }
    }
    if (k.ed->Text().size() != size_t(n)) state.SkipWithError("the keys did not reach the edit");
  }
  Transcript().CloseFile();
  Transcript().SetKeepInMemory(false);
  Transcript().Clear();
}

void BM_KeyPress_TranscriptToDevNull(benchmark::State &state) {
  Run(state, Record::File);
}
void BM_KeyPress_TranscriptInMemory(benchmark::State &state) {
  Run(state, Record::Memory);
}
void BM_KeyPress_NoTranscript(benchmark::State &state) {
  Run(state, Record::None);
}

BENCHMARK(BM_KeyPress_TranscriptToDevNull)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BM_KeyPress_TranscriptInMemory)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BM_KeyPress_NoTranscript)->Repetitions(10)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
