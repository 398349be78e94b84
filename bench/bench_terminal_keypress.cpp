// One key press on the terminal, from the bytes the terminal sends to the screen updated: the
// keyboard reads and decodes it, the form layer dispatches it, the renderer lays the form out,
// draws it and sends what changed. The terminal is virtual (80 x 24, output to /dev/null, keys
// from a pipe); the form is as busy as the cheque consultation screen.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "platform/Forms.h"
#include "platform/terminal/TerminalKeyboard.h"
#include "platform/terminal/TerminalSession.h"

namespace {

template <class T>
T *Add(TForm *f, TWinControl *p, const std::string &name, int l, int t, int w, int h,
       const std::string &caption = "") {
  T *c = NewControl<T>(f, p, name, l, t, w, h);
  if (!caption.empty()) c->SetCaption(caption);
  return c;
}

// Title, version, message line, a bevelled panel with seven rows of captions and edits (some
// masked) and two buttons: the shape of the consultation screen.
TForm *BusyForm(TEdit *&typed) {
  auto *f = new TForm(nullptr);
  f->Name = "FrmBench";
  f->Width = 623;
  f->Height = 422;
  Add<TLabel>(f, f, "lbTitulo", 40, 6, 361, 22, "Consulta de Cheques");
  Add<TLabel>(f, f, "lbVersao", 192, 53, 407, 22, "Versao 1.0.0.0")->Alignment = taRightJustify;
  Add<TLabel>(f, f, "lbMensagem", 15, 404, 407, 19, "Digite o valor do cheque.");
  auto *pn = Add<TPanel>(f, f, "pnCaptura", 24, 106, 580, 210);
  pn->BevelInner = bvLowered;
  int tab = 0;
  for (int row = 0; row < 7; ++row) {
    for (int col = 0; col < 3; ++col) {
      const std::string id = std::to_string(row) + std::to_string(col);
      Add<TLabel>(f, pn, "lb" + id, 8 + 190 * col, 15 + 28 * row, 60, 15, "Campo " + id + ":");
      if (col == 1) {
        auto *m = Add<TMaskEdit>(f, pn, "ed" + id, 74 + 190 * col, 11 + 28 * row, 90, 24);
        m->SetEditMask("!99/99/9999;1;_");
        m->TabOrder = tab++;
      } else {
        auto *e = Add<TEdit>(f, pn, "ed" + id, 74 + 190 * col, 11 + 28 * row, 100, 24);
        e->MaxLength = 12;
        e->TabOrder = tab++;
        if (!typed) typed = e;
      }
    }
  }
  auto *bt = Add<TPanel>(f, f, "pnBotoes", 111, 330, 400, 40);
  bt->BevelOuter = bvNone;
  Add<TBitBtn>(f, bt, "btConfirma", 31, 4, 120, 25, "&1 - Confirma");
  Add<TBitBtn>(f, bt, "btRetorna", 248, 4, 120, 25, "&9 - Cancela")->TabOrder = 1;
  return f;
}

struct TBench {
  int fds[2] = {-1, -1};
  std::FILE *in = nullptr, *out = nullptr;
  std::unique_ptr<TTerminalSession> session;
  TForm *form = nullptr;
  TEdit *typed = nullptr;

  TBench() {
    if (pipe(fds) != 0) return;
    in = fdopen(fds[0], "r");
    out = std::fopen("/dev/null", "w");
    TTerminalOptions o;
    o.in = in;
    o.out = out;
    o.term = "xterm-256color";
    o.cols = 80;
    o.lines = 24;
    o.handleSignals = false;
    session = std::make_unique<TTerminalSession>(o);
    form = BusyForm(typed);
    form->Show();
    typed->SetFocus();
    Application->ProcessMessages();
  }
  ~TBench() {
    if (form) {
      form->Hide();
      form->Free();
    }
    session.reset();
    if (in) std::fclose(in);
    if (out) std::fclose(out);
    if (fds[1] >= 0) close(fds[1]);
  }
  // One key: pressed (bytes into the terminal), read, dispatched, drawn.
  bool Press(const char *bytes, size_t n) {
    if (write(fds[1], bytes, n) != (ssize_t)n) return false;
    TOperatorAction a;
    TTerminalKeyboard &kb = session->Keyboard();
    if (!kb.Next(a, kb.Now() + 1000)) return false;
    Application->Perform(a);
    Application->ProcessMessages(); // the idle point: the renderer draws
    return true;
  }
};

// A digit typed into an edit, then Backspace: the common case.
void BM_TerminalKeyPress(benchmark::State &state) {
  TBench b;
  if (!b.session) return state.SkipWithError("no pipe");
  bool even = true;
  for (auto _ : state) {
    const bool ok = even ? b.Press("7", 1) : b.Press("\x7f", 1);
    if (!ok) return state.SkipWithError("the key did not arrive");
    even = !even;
  }
  if (b.typed->Text().size() > 1) state.SkipWithError("the keys did not reach the edit");
}
BENCHMARK(BM_TerminalKeyPress)->Unit(benchmark::kMicrosecond);

// Tab and Shift+Tab: the focus moves, two controls change on the screen.
void BM_TerminalFocusMove(benchmark::State &state) {
  TBench b;
  if (!b.session) return state.SkipWithError("no pipe");
  bool even = true;
  for (auto _ : state) {
    const bool ok = even ? b.Press("\t", 1) : b.Press("\x1b[Z", 3);
    if (!ok) return state.SkipWithError("the key did not arrive");
    even = !even;
  }
}
BENCHMARK(BM_TerminalFocusMove)->Unit(benchmark::kMicrosecond);

// Only the drawing: layout, every cell, the update sent.
void BM_TerminalRepaint(benchmark::State &state) {
  TBench b;
  if (!b.session) return state.SkipWithError("no pipe");
  for (auto _ : state) b.session->Repaint();
}
BENCHMARK(BM_TerminalRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
