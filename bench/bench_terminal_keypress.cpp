// One key press on the terminal, from the bytes the terminal sends to the screen updated: the
// keyboard reads and decodes it, the form layer dispatches it, the renderer lays the form out,
// draws it and sends what changed. The terminal is virtual (80 x 24, output to /dev/null, keys
// from a pipe); the form is the cheque consultation screen.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/forms/StdCtrls.h"
#include "terminal/VirtualTerminal.h"

namespace {

// The consultation screen shown on the virtual terminal, the focus in its amount edit.
struct TBench {
  TVirtualTerminal vt;
  TForm *form = MakeConsultaForm();
  TEdit *typed = Find<TEdit>(form, "edValor");

  TBench() {
    form->Show();
    typed->SetFocus();
    Application->ProcessMessages();
  }
  ~TBench() {
    form->Hide();
    form->Free();
  }
  // One key: pressed (bytes into the terminal), read, dispatched, drawn.
  bool Press(const std::string &bytes) {
    vt.Send(bytes);
    TOperatorAction a;
    TTerminalKeyboard &kb = vt.Keyboard();
    if (!kb.Next(a, kb.Now() + 1000)) return false;
    Application->Perform(a);
    Application->ProcessMessages(); // the idle point: the renderer draws
    return true;
  }
};

// A digit typed into an edit, then Backspace: the common case.
void BM_TerminalKeyPress(benchmark::State &state) {
  TBench b;
  bool even = true;
  for (auto _ : state) {
    const bool ok = even ? b.Press("7") : b.Press("\x7f");
    if (!ok) return state.SkipWithError("the key did not arrive");
    even = !even;
  }
  if (b.typed->Text().size() > 1) state.SkipWithError("the keys did not reach the edit");
}
BENCHMARK(BM_TerminalKeyPress)->Unit(benchmark::kMicrosecond);

// Tab and Shift+Tab: the focus moves, two controls change on the screen.
void BM_TerminalFocusMove(benchmark::State &state) {
  TBench b;
  bool even = true;
  for (auto _ : state) {
    const bool ok = even ? b.Press("\t") : b.Press("\x1b[Z");
    if (!ok) return state.SkipWithError("the key did not arrive");
    even = !even;
  }
}
BENCHMARK(BM_TerminalFocusMove)->Unit(benchmark::kMicrosecond);

// Only the drawing: layout, every cell, the update sent.
void BM_TerminalRepaint(benchmark::State &state) {
  TBench b;
  for (auto _ : state) b.vt.Session().Repaint();
}
BENCHMARK(BM_TerminalRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
