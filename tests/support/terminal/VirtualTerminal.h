// A virtual terminal for the tests and the benchmarks: a curses screen of a fixed size whose
// output goes to a scratch file (only its length is looked at: what a repaint sends) and whose
// keys come from a pipe the caller writes into, and forms built like the module's.
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/forms/Panels.h"
#include "platform/forms/StdCtrls.h"
#include "platform/terminal/TerminalKeyboard.h"
#include "platform/terminal/TerminalLayout.h"
#include "platform/terminal/TerminalRenderer.h"
#include "platform/terminal/TerminalSession.h"
#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"

class TVirtualTerminal {
public:
  explicit TVirtualTerminal(int cols = 80, int lines = 24) {
    if (pipe(fFds) != 0) throw std::runtime_error("pipe");
    fIn = fdopen(fFds[0], "r");
    fOut = std::tmpfile();
    if (!fOut) throw std::runtime_error("tmpfile");
    TTerminalOptions o;
    o.in = fIn;
    o.out = fOut;
    o.term = "xterm";
    o.cols = cols;
    o.lines = lines;
    o.handleSignals = false;
    fSession = std::make_unique<TTerminalSession>(o);
  }
  ~TVirtualTerminal() {
    fSession.reset();
    std::fclose(fIn);
    std::fclose(fOut);
    if (fFds[1] >= 0) close(fFds[1]);
  }
  TTerminalSession &Session() { return *fSession; }
  TTerminalKeyboard &Keyboard() { return fSession->Keyboard(); }
  const TTerminalLayout &Layout() { return fSession->Renderer().Layout(); }
  const TLaidControl *Laid(TForm *f, const char *name) {
    return Layout().Find(dynamic_cast<TControl *>(f->FindComponentDeep(name)));
  }

  // Bytes as the terminal would send them when keys are pressed.
  void Send(const std::string &bytes) {
    if (write(fFds[1], bytes.data(), bytes.size()) != (ssize_t)bytes.size())
      throw std::runtime_error("write");
  }
  // Bytes sent to the terminal so far.
  size_t Sent() {
    std::fflush(fOut);
    return size_t(lseek(fileno(fOut), 0, SEEK_END));
  }
  void CloseInput() {
    close(fFds[1]);
    fFds[1] = -1;
  }

  // The screen after a repaint (or as the last repaint left it), one line of code points per line.
  std::vector<std::u32string> Screen() {
    fSession->Repaint();
    return Lines();
  }
  std::vector<std::u32string> Lines() {
    std::vector<std::u32string> out;
    for (const auto &l : fSession->ScreenLines()) out.push_back(U32(l));
    return out;
  }
  unsigned Attr(int x, int y) { return fSession->Renderer().CellLook(x, y); }

  static std::u32string U32(const std::string &utf8) {
    std::u32string out;
    for (size_t i = 0; i < utf8.size();) {
      char32_t cp = 0;
      const int n = cp1252::DecodeUtf8(utf8.data(), i, utf8.size(), cp);
      out += n ? cp : U'?';
      i += n ? n : 1;
    }
    return out;
  }
  // Windows-1252 as it shows on the screen.
  static std::u32string Shown(const std::string &cp1252text) {
    std::u32string out;
    for (char ch : cp1252text) out += cp1252::ToCodePoint((unsigned char)ch);
    return out;
  }

private:
  int fFds[2] = {-1, -1};
  std::FILE *fIn = nullptr, *fOut = nullptr;
  std::unique_ptr<TTerminalSession> fSession;
};

// A form shown on a fresh terminal, hidden and freed at the end of the test.
struct TShown {
  TVirtualTerminal vt;
  TForm *f;
  TShown(TForm *form, int cols = 80, int lines = 24) : vt(cols, lines), f(form) { f->Show(); }
  ~TShown() {
    f->Hide();
    f->Free();
  }
  TCellRect Rect(const char *name) { return vt.Laid(f, name)->rect; }
};

// Where a text is on the screen (x = -1 when it is not).
struct TWhere {
  int x = -1, y = -1;
  bool Found() const { return x >= 0; }
};
inline TWhere FindText(const std::vector<std::u32string> &screen, const std::u32string &text) {
  for (int y = 0; y < (int)screen.size(); ++y) {
    const auto p = screen[y].find(text);
    if (p != std::u32string::npos) return {(int)p, y};
  }
  return {};
}

// The platform's colours used by the module's screens.
constexpr int kDarkBlue = 8650752;
constexpr int kLightGrey = 14671839;

template <class T>
T *Make(TComponent *owner, TWinControl *parent, const char *name, int l, int t, int w, int h,
        const std::string &caption = "") {
  T *c = NewControl<T>(owner, parent, name, l, t, w, h);
  if (!caption.empty()) c->SetCaption(caption);
  return c;
}

template <class T> T *Find(TForm *f, const char *name) {
  return dynamic_cast<T *>(f->FindComponentDeep(name));
}

// A form with the base screen's controls: background, title, message line, logo and version.
inline TForm *MakeBaseForm(const char *name, const std::string &title) {
  auto *f = Application->CreateForm<TForm>();
  f->Name = name;
  f->Width = 623;
  f->Height = 422;
  f->KeyPreview = true;
  Make<TImage>(f, f, "ImgFundo", 0, 0, 623, 422);
  auto *t = Make<TLabel>(f, f, "lbTitulo", 40, 6, 361, 22, title);
  t->Font.Bold = t->WordWrap = t->Transparent = true;
  t->Font.Color = kDarkBlue;
  Make<TLabel>(f, f, "lbMensagem", 15, 404, 407, 19)->Font.Color = kDarkBlue;
  auto *logo = Make<TPanel>(f, f, "panelLogo", 496, 373, 70, 45);
  logo->BevelOuter = bvNone;
  Make<TImage>(f, logo, "ImageLogo", 0, 0, 70, 45);
  Make<TLabel>(f, f, "lbVersao", 192, 53, 407, 22, CP1252("Módulo Cheque - Versão 1.0.0.0"))
      ->Alignment = taRightJustify;
  return f;
}

// The cheque consultation screen as the module lays it out, with the demo's captions.
inline TForm *MakeConsultaForm() {
  TForm *f = MakeBaseForm("FrmTeste_Con", "Consulta de Cheques");
  auto *cap = Make<TPanel>(f, f, "pnCaptura", 24, 106, 580, 210);
  cap->BevelOuter = bvNone;
  cap->BevelInner = bvLowered;
  cap->Color = kLightGrey;
  cap->ParentColor = false;
  cap->TabOrder = 1;
  auto *proc = Make<TPanel>(f, cap, "pnProcessamento", 15, 45, 550, 121);
  proc->SetVisible(false);
  Make<TLabel>(f, proc, "lbAlerta", 27, 46, 497, 30, CP1252("Aguarde, processando a transação..."));
  auto *dc = Make<TPanel>(f, cap, "pnDadosCheque", 8, 40, 564, 56);
  dc->BevelOuter = bvNone;
  // In tab order: each edit's caption (a label "lb..." just before it, 4 pixels lower), its
  // place, and its maximum length or its mask.
  const struct {
    TWinControl *parent;
    const char *caption;
    int labelLeft, labelWidth;
    const char *name;
    int l, t, w, max;
    const char *mask;
  } parts[] = {
      {cap, "Valor:", 87, 38, "edValor", 132, 11, 101, 12, nullptr},
      {cap, "Data do Cheque:", 340, 80, "edData", 424, 11, 90, 0, "!99/99/9999;1;_"},
      {cap, nullptr, 0, 0, "pnDadosCheque", 8, 40, 564, 0, nullptr},
      {dc, CP1252("Compensação:"), 4, 60, "edCompensacao", 66, 2, 40, 3, nullptr},
      {dc, "Banco:", 112, 40, "edBanco", 154, 2, 44, 4, nullptr},
      {dc, CP1252("Agência:"), 204, 50, "edAgencia", 256, 2, 44, 4, nullptr},
      {dc, "Conta:", 4, 60, "edConta", 66, 30, 100, 0, nullptr},
      {dc, "-", 170, 8, "edDigito", 180, 30, 24, 1, nullptr},
      {dc, "C2:", 210, 20, "edC2", 232, 30, 24, 1, nullptr},
      {dc, "Cheque:", 262, 60, "edCheque", 324, 30, 80, 0, nullptr},
      {dc, "C3:", 410, 20, "edC3", 432, 30, 24, 1, nullptr},
      {cap, "Tipo Documento:", 8, 60, "edTipoDoc", 74, 100, 24, 1, nullptr},
      {cap, "CPF/CNPJ:", 104, 60, "edCPFCGC", 166, 100, 140, 0, "99\\.999\\.999\\/9999\\-99;0;_"},
      {cap, CP1252("Cód. Área:"), 312, 70, "edCodArea", 384, 100, 30, 2, nullptr},
      {cap, "Emitente:", 8, 60, "edEmitente", 74, 128, 400, 0, nullptr},
      {cap, "Abertura da Conta:", 8, 60, "edAberturaCC", 74, 156, 64, 0, "!99/9999;1;_"},
      {cap, "RG:", 144, 30, "edRG", 176, 156, 120, 15, nullptr},
      {cap, CP1252("Cód. Facilitador:"), 302, 80, "edFacilitador", 384, 156, 120, 15, nullptr},
      {cap, "Data de Nascimento:", 8, 60, "edDtNascimento", 74, 184, 90, 0, "!99/99/9999;1;_"},
      {cap, "DDD:", 170, 30, "edDDD", 202, 184, 44, 0, nullptr},
      {cap, "Telefone:", 252, 50, "edTelefone", 304, 184, 100, 0, nullptr},
  };
  std::map<TWinControl *, int> tab;
  for (const auto &p : parts) {
    TWinControl *c = dc;
    if (p.caption) {
      const std::string label = std::string("lb") + (p.name + 2);
      Make<TLabel>(f, p.parent, label.c_str(), p.labelLeft, p.t + 4, p.labelWidth, 15, p.caption);
      if (p.mask) {
        auto *m = Make<TMaskEdit>(f, p.parent, p.name, p.l, p.t, p.w, 24);
        m->SetEditMask(p.mask);
        c = m;
      } else {
        auto *e = Make<TEdit>(f, p.parent, p.name, p.l, p.t, p.w, 24);
        e->MaxLength = p.max;
        c = e;
      }
    }
    c->TabOrder = tab[p.parent]++;
  }
  Find<TLabel>(f, "lbValor")->Alignment = taRightJustify;
  auto *bot = Make<TPanel>(f, f, "pnBotoes", 111, 330, 400, 40);
  bot->BevelOuter = bvNone;
  bot->Color = kLightGrey;
  bot->ParentColor = false;
  bot->TabOrder = 2;
  Make<TBitBtn>(f, bot, "btConfirma", 31, 4, 120, 25, "&1 - Confirma")->TabOrder = 0;
  Make<TBitBtn>(f, bot, "btRetorna", 248, 4, 120, 25, "&9 - Retorna")->TabOrder = 1;
  return f;
}
