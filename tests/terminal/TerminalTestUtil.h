// A virtual terminal for the tests: a curses screen of a fixed size whose output goes nowhere
// and whose keys come from a pipe the test writes into, and forms built like the module's.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/Cp1252.h"
#include "platform/Forms.h"
#include "platform/StrUtils.h"
#include "platform/terminal/TerminalKeyboard.h"
#include "platform/terminal/TerminalLayout.h"
#include "platform/terminal/TerminalRenderer.h"
#include "platform/terminal/TerminalSession.h"

class TVirtualTerminal {
public:
  explicit TVirtualTerminal(int cols = 80, int lines = 24, const char *type = "xterm") {
    if (pipe(fFds) != 0) throw std::runtime_error("pipe");
    fIn = fdopen(fFds[0], "r");
    fOut = std::fopen("/dev/null", "w");
    TTerminalOptions o;
    o.in = fIn;
    o.out = fOut;
    o.term = type;
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
  const TTerminalLayout &Layout() { return fSession->Renderer().Layout(); }

  // Bytes as the terminal would send them when keys are pressed.
  void Send(const std::string &bytes) {
    if (write(fFds[1], bytes.data(), bytes.size()) != (ssize_t)bytes.size())
      throw std::runtime_error("write");
  }
  void CloseInput() {
    close(fFds[1]);
    fFds[1] = -1;
  }

  // The screen after a repaint, one line of code points per line.
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
inline int CountText(const std::vector<std::u32string> &screen, const std::u32string &text) {
  int n = 0;
  for (const auto &line : screen)
    for (size_t p = line.find(text); p != std::u32string::npos; p = line.find(text, p + 1)) ++n;
  return n;
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

// A form with the base screen's controls: background, title, message line, logo and version.
inline TForm *MakeBaseForm(const char *name, const std::string &title) {
  auto *f = Application->CreateForm<TForm>();
  f->Name = name;
  f->Width = 623;
  f->Height = 422;
  f->KeyPreview = true;
  Make<TImage>(f, f, "ImgFundo", 0, 0, 623, 422);
  auto *t = Make<TLabel>(f, f, "lbTitulo", 40, 6, 361, 22, title);
  t->Font.Name = "Arial";
  t->Font.Bold = true;
  t->Font.Color = kDarkBlue;
  t->Transparent = true;
  t->WordWrap = true;
  auto *m = Make<TLabel>(f, f, "lbMensagem", 15, 404, 407, 19);
  m->Font.Size = 9;
  m->Font.Bold = true;
  m->Font.Color = kDarkBlue;
  auto *logo = Make<TPanel>(f, f, "panelLogo", 496, 373, 70, 45);
  logo->BevelOuter = bvNone;
  Make<TImage>(f, logo, "ImageLogo", 0, 0, 70, 45);
  auto *v =
      Make<TLabel>(f, f, "lbVersao", 192, 53, 407, 22, CP1252("Módulo Cheque - Versão 1.0.0.0"));
  v->Alignment = taRightJustify;
  v->Font.Bold = true;
  v->Font.Color = kDarkBlue;
  return f;
}

inline TLabel *Caption(TForm *f, TWinControl *p, const char *name, int l, int t, int w,
                       const std::string &text) {
  return Make<TLabel>(f, p, name, l, t, w, 15, text);
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
  int tab = 0;
  auto edit = [&](TWinControl *p, const char *name, int l, int t, int w, int max) {
    auto *e = Make<TEdit>(f, p, name, l, t, w, 24);
    e->MaxLength = max;
    e->TabOrder = tab++;
    return e;
  };
  auto mask = [&](TWinControl *p, const char *name, int l, int t, int w, const char *m) {
    auto *e = Make<TMaskEdit>(f, p, name, l, t, w, 24);
    e->SetEditMask(m);
    e->TabOrder = tab++;
    return e;
  };
  auto *lv = Caption(f, cap, "lbValor", 87, 15, 38, CP1252("Valor:"));
  lv->Alignment = taRightJustify;
  edit(cap, "edValor", 132, 11, 101, 12);
  Caption(f, cap, "lbData", 340, 15, 80, CP1252("Data do Cheque:"));
  mask(cap, "edData", 424, 11, 90, "!99/99/9999;1;_");
  auto *proc = Make<TPanel>(f, cap, "pnProcessamento", 15, 45, 550, 121);
  proc->BevelInner = bvLowered;
  proc->BevelWidth = 2;
  proc->SetVisible(false);
  auto *alerta = Make<TLabel>(f, proc, "lbAlerta", 27, 46, 497, 30,
                              CP1252("Aguarde, processando a transação..."));
  alerta->Alignment = taCenter;
  auto *dc = Make<TPanel>(f, cap, "pnDadosCheque", 8, 40, 564, 56);
  dc->BevelOuter = bvNone;
  dc->TabOrder = tab++;
  int saved = tab;
  tab = 0;
  Caption(f, dc, "lbCompensacao", 4, 6, 60, CP1252("Compensação:"));
  edit(dc, "edCompensacao", 66, 2, 40, 3);
  Caption(f, dc, "lbBanco", 112, 6, 40, CP1252("Banco:"));
  edit(dc, "edBanco", 154, 2, 44, 4);
  Caption(f, dc, "lbAgencia", 204, 6, 50, CP1252("Agência:"));
  edit(dc, "edAgencia", 256, 2, 44, 4);
  Caption(f, dc, "lbConta", 4, 34, 60, CP1252("Conta:"));
  edit(dc, "edConta", 66, 30, 100, 0);
  Caption(f, dc, "lbDigito", 170, 34, 8, CP1252("-"));
  edit(dc, "edDigito", 180, 30, 24, 1);
  Caption(f, dc, "lbC2", 210, 34, 20, CP1252("C2:"));
  edit(dc, "edC2", 232, 30, 24, 1);
  Caption(f, dc, "lbCheque", 262, 34, 60, CP1252("Cheque:"));
  edit(dc, "edCheque", 324, 30, 80, 0);
  Caption(f, dc, "lbC3", 410, 34, 20, CP1252("C3:"));
  edit(dc, "edC3", 432, 30, 24, 1);
  tab = saved;
  Caption(f, cap, "lbTipoDoc", 8, 104, 60, CP1252("Tipo Documento:"));
  edit(cap, "edTipoDoc", 74, 100, 24, 1);
  Caption(f, cap, "lbCPFCGC", 104, 104, 60, CP1252("CPF/CNPJ:"));
  mask(cap, "edCPFCGC", 166, 100, 140, "99\\.999\\.999\\/9999\\-99;0;_");
  Caption(f, cap, "lbCodArea", 312, 104, 70, CP1252("Cód. Área:"));
  edit(cap, "edCodArea", 384, 100, 30, 2);
  Caption(f, cap, "lbEmitente", 8, 132, 60, CP1252("Emitente:"));
  edit(cap, "edEmitente", 74, 128, 400, 0)->CharCase = ecUpperCase;
  Caption(f, cap, "lbAberturaCC", 8, 160, 60, CP1252("Abertura da Conta:"));
  mask(cap, "edAberturaCC", 74, 156, 64, "!99/9999;1;_");
  Caption(f, cap, "lbRG", 144, 160, 30, CP1252("RG:"));
  edit(cap, "edRG", 176, 156, 120, 15);
  Caption(f, cap, "lbCodFacilitador", 302, 160, 80, CP1252("Cód. Facilitador:"));
  edit(cap, "edFacilitador", 384, 156, 120, 15);
  Caption(f, cap, "lbDtNascimento", 8, 188, 60, CP1252("Data de Nascimento:"));
  mask(cap, "edDtNascimento", 74, 184, 90, "!99/99/9999;1;_");
  Caption(f, cap, "lbDDD", 170, 188, 30, CP1252("DDD:"));
  edit(cap, "edDDD", 202, 184, 44, 0);
  Caption(f, cap, "lbTelefone", 252, 188, 50, CP1252("Telefone:"));
  edit(cap, "edTelefone", 304, 184, 100, 0);
  auto *bot = Make<TPanel>(f, f, "pnBotoes", 111, 330, 400, 40);
  bot->BevelOuter = bvNone;
  bot->Color = kLightGrey;
  bot->ParentColor = false;
  bot->TabOrder = 2;
  auto *ok = Make<TBitBtn>(f, bot, "btConfirma", 31, 4, 120, 25, "&1 - Confirma");
  ok->TabOrder = 0;
  auto *back = Make<TBitBtn>(f, bot, "btRetorna", 248, 4, 120, 25, "&9 - Retorna");
  back->TabOrder = 1;
  return f;
}
