#include "platform/win32/Win32Renderer.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Panels.h"
#include "platform/forms/StdCtrls.h"

#include <algorithm>
#include <vector>

namespace {

constexpr char kClasse[] = "ChequeTela";
TWin32Renderer *gRenderer = nullptr;

COLORREF Cor(int c) {
  return static_cast<COLORREF>(c) & 0xFFFFFF;
}

void Preenche(HDC dc, const RECT &r, COLORREF cor) {
  HBRUSH b = CreateSolidBrush(cor);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

// A scroll bar in `b`: its two arrows, greyed when there is nothing to scroll, and then the
// thumb at `pos` of `faixa` positions, as long as `mostra` of `total` over the track.
void BarraRolagem(HDC dc, const RECT &b, bool vertical, int pos, int faixa, int mostra, int total) {
  Preenche(dc, b, GetSysColor(COLOR_SCROLLBAR));
  const int lado = vertical ? b.right - b.left : b.bottom - b.top;
  const int comprimento = vertical ? b.bottom - b.top : b.right - b.left;
  const UINT inativo = faixa > 0 ? 0 : DFCS_INACTIVE;
  RECT a1 = b, a2 = b;
  if (vertical) {
    a1.bottom = b.top + lado;
    a2.top = b.bottom - lado;
  } else {
    a1.right = b.left + lado;
    a2.left = b.right - lado;
  }
  DrawFrameControl(dc, &a1, DFC_SCROLL, (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inativo);
  DrawFrameControl(dc, &a2, DFC_SCROLL, (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inativo);
  const int trilho = comprimento - 2 * lado;
  if (faixa <= 0 || trilho <= 0) return;
  const int polegar = std::clamp(trilho * mostra / std::max(1, total), 8, trilho);
  const int em = lado + (trilho - polegar) * std::clamp(pos, 0, faixa) / faixa;
  RECT p = b;
  if (vertical) {
    p.top = b.top + em;
    p.bottom = p.top + polegar;
  } else {
    p.left = b.left + em;
    p.right = p.left + polegar;
  }
  Preenche(dc, p, GetSysColor(COLOR_BTNFACE));
  DrawEdge(dc, &p, EDGE_RAISED, BF_RECT);
}

UINT Alinhamento(const TControl *c) {
  switch (c->Alignment) {
  case taRightJustify:
    return DT_RIGHT;
  case taCenter:
    return DT_CENTER;
  default:
    return DT_LEFT;
  }
}

// The deepest shown control under (x, y), in form coordinates.
const TControl *ControleEm(const TWinControl *pai, int x, int y) {
  for (int i = pai->ControlCount() - 1; i >= 0; --i) {
    const TControl *c = pai->Controls(i);
    if (!c->Visible()) continue;
    if (x < c->Left || y < c->Top || x >= c->Left + c->Width || y >= c->Top + c->Height) continue;
    if (auto *w = dynamic_cast<const TWinControl *>(c))
      if (const TControl *dentro = ControleEm(w, x - c->Left, y - c->Top)) return dentro;
    return c;
  }
  return nullptr;
}

} // namespace

TWin32Renderer::TWin32Renderer(TWin32Keyboard &keyboard) : fTeclado(keyboard) {
  gRenderer = this;
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &TWin32Renderer::Procedimento;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kClasse;
  RegisterClassA(&wc);
  // The application window: hidden, owned by the host's window during a call. The host's
  // services (PIN pad, foreground) receive it as the module's window.
  fAplicacao = CreateWindowExA(WS_EX_TOOLWINDOW, kClasse, Application->Title.c_str(), WS_POPUP, 0,
                               0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
  if (fAplicacao) Application->Handle = reinterpret_cast<uintptr_t>(fAplicacao);
  fObservador = Application->AddRepaintObserver([this] { Sync(); });
  fTeclado.BeforeWait = [this] {
    Sync();
    MostraCaixas();
  };
}

TWin32Renderer::~TWin32Renderer() {
  Application->RemoveRepaintObserver(fObservador);
  fTeclado.BeforeWait = nullptr;
  for (auto &[f, h] : fJanelas) DestroyWindow(h);
  if (fAplicacao) DestroyWindow(fAplicacao);
  for (auto &[k, h] : fFontes) DeleteObject(h);
  if (gRenderer == this) gRenderer = nullptr;
}

HWND TWin32Renderer::WindowOf(const TForm *f) const {
  auto it = fJanelas.find(f);
  return it == fJanelas.end() ? nullptr : it->second;
}

const TForm *TWin32Renderer::FormOf(HWND h) const {
  // Only forms still on the stack: a destroyed form's window may still get a message.
  for (const TForm *f : Application->FormStack())
    if (WindowOf(f) == h) return f;
  return nullptr;
}

void TWin32Renderer::Sync() {
  const auto &pilha = Application->FormStack();
  HWND dono = reinterpret_cast<HWND>(Application->OwnerWindow());
  if (dono && !IsWindow(dono)) dono = nullptr;
  if (fAplicacao) SetWindowLongPtrA(fAplicacao, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(dono));

  // Windows of forms that closed go first, so that focus falls back where it belongs.
  for (auto it = fJanelas.begin(); it != fJanelas.end();) {
    const bool vivo =
        std::find(pilha.begin(), pilha.end(), it->first) != pilha.end() && it->first->Showing_();
    if (vivo) {
      ++it;
      continue;
    }
    if (fAtiva == it->second) fAtiva = nullptr;
    DestroyWindow(it->second);
    it = fJanelas.erase(it);
  }

  for (const TForm *f : pilha) {
    if (!f->Showing_()) continue;
    int x = f->Left, y = f->Top;
    if (f->Position == poScreenCenter) {
      x = (GetSystemMetrics(SM_CXSCREEN) - f->Width) / 2;
      y = (GetSystemMetrics(SM_CYSCREEN) - f->Height) / 2;
    }
    HWND h = WindowOf(f);
    if (!h) {
      DWORD estiloEx = WS_EX_TOPMOST;
      if (f->ToolWindow) estiloEx |= WS_EX_TOOLWINDOW;
      DWORD estilo = WS_POPUP | WS_CLIPCHILDREN;
      if (f->BorderStyle != bsNone) estilo |= WS_CAPTION | WS_BORDER;
      h = CreateWindowExA(estiloEx, kClasse, f->Caption().c_str(), estilo, x, y, f->Width,
                          f->Height, dono ? dono : fAplicacao, nullptr, GetModuleHandleA(nullptr),
                          nullptr);
      if (!h) continue;
      fJanelas[f] = h;
      ShowWindow(h, SW_SHOW);
    } else {
      SetWindowPos(h, HWND_TOPMOST, x, y, f->Width, f->Height, SWP_NOACTIVATE);
    }
    InvalidateRect(h, nullptr, FALSE);
  }

  // The active form's window has the keyboard.
  HWND ativa = pilha.empty() ? nullptr : WindowOf(Application->ActiveForm());
  if (ativa && ativa != fAtiva) {
    fAtiva = ativa;
    SetForegroundWindow(ativa);
    SetFocus(ativa);
  }

  // The host's window is disabled while any screen is up, and gets the focus back after.
  if (!fJanelas.empty() && dono && !fDonoDesabilitado) {
    fDonoDesabilitado = dono;
    EnableWindow(dono, FALSE);
  } else if (fJanelas.empty() && fDonoDesabilitado) {
    HWND antes = fDonoDesabilitado;
    fDonoDesabilitado = nullptr;
    EnableWindow(antes, TRUE);
    SetForegroundWindow(antes);
    SetFocus(antes);
  }
  for (auto &[f, h] : fJanelas) UpdateWindow(h);
}

void TWin32Renderer::MostraCaixas() {
  const TMessageBoxState *caixa = Application->ActiveMessageBox();
  if (!caixa || caixa->Acknowledged) return;
  HWND dono = fAtiva ? fAtiva : reinterpret_cast<HWND>(Application->OwnerWindow());
  if (dono && !IsWindow(dono)) dono = nullptr;
  ::MessageBoxA(dono, caixa->Text.c_str(), caixa->Caption.c_str(), caixa->Flags);
  TOperatorAction ok;
  ok.kind = TOperatorAction::Ack;
  fTeclado.Push(ok);
}

LRESULT CALLBACK TWin32Renderer::Procedimento(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (gRenderer) return gRenderer->Mensagem(h, m, w, l);
  return DefWindowProcA(h, m, w, l);
}

LRESULT TWin32Renderer::Mensagem(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
  case WM_PAINT: {
    PAINTSTRUCT ps;
    BeginPaint(h, &ps);
    EndPaint(h, &ps);
    if (const TForm *f = FormOf(h)) Pinta(h, f);
    return 0;
  }
  case WM_ERASEBKGND:
    return 1;
  case WM_KEYDOWN:
  case WM_CHAR:
  case WM_SYSCHAR:
  case WM_SYSKEYDOWN:
    if (FormOf(h) && fTeclado.Key(m, w)) return 0;
    break;
  case WM_LBUTTONDOWN:
    if (const TForm *f = FormOf(h)) {
      const TControl *c =
          ControleEm(f, static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)));
      if (c && dynamic_cast<const TWinControl *>(c) && c->Enabled() && !c->Name.empty())
        fTeclado.Click(c->Name);
    }
    return 0;
  case WM_CLOSE:
    return 0; // the screens close themselves
  default:
    break;
  }
  return DefWindowProcA(h, m, w, l);
}

HFONT TWin32Renderer::Fonte(const std::string &nome, int tamanho, bool negrito) {
  const std::string chave = nome + "/" + std::to_string(tamanho) + (negrito ? "b" : "");
  auto it = fFontes.find(chave);
  if (it != fFontes.end()) return it->second;
  HFONT f = CreateFontA(-MulDiv(tamanho, 96, 72), 0, 0, 0, negrito ? FW_BOLD : FW_NORMAL, 0, 0, 0,
                        ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, nome.c_str());
  fFontes[chave] = f;
  return f;
}

void TWin32Renderer::Pinta(HWND h, const TForm *f) {
  RECT r;
  GetClientRect(h, &r);
  HDC tela = GetDC(h);
  // Drawn off screen and copied at once: no flicker while the operator types.
  HDC dc = CreateCompatibleDC(tela);
  HBITMAP bmp = CreateCompatibleBitmap(tela, r.right, r.bottom);
  HGDIOBJ antes = SelectObject(dc, bmp);
  Preenche(dc, r, Cor(f->Color));
  SetBkMode(dc, TRANSPARENT);
  for (int i = 0; i < f->ControlCount(); ++i) PintaControle(dc, f->Controls(i), 0, 0, f);
  BitBlt(tela, 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(dc, antes);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(h, tela);
}

void TWin32Renderer::PintaControle(HDC dc, const TControl *c, int x0, int y0, const TForm *f) {
  if (!c->Visible()) return;
  const int x = x0 + c->Left, y = y0 + c->Top;
  RECT r{x, y, x + c->Width, y + c->Height};
  const bool ativo = c->EnabledChain();
  const bool foco = f->ActiveControl() == c && f->Active();
  SelectObject(dc, Fonte(c->Font.Name, c->Font.Size, c->Font.Bold));
  SetTextColor(dc, ativo ? Cor(c->Font.Color) : GetSysColor(COLOR_GRAYTEXT));
  const std::string nome = c->ClassName();

  if (nome == "TImage") return; // pictures of the layout are not drawn
  if (nome == "TLabel") {
    if (!c->Transparent && !c->ParentColor) Preenche(dc, r, Cor(c->Color));
    UINT fmt = Alinhamento(c) | DT_NOPREFIX | (c->WordWrap ? DT_WORDBREAK : DT_SINGLELINE);
    std::string t = c->Caption();
    DrawTextA(dc, t.c_str(), static_cast<int>(t.size()), &r, fmt);
    return;
  }
  if (auto *botao = dynamic_cast<const TButtonControl *>(c)) {
    UINT estado = DFCS_BUTTONPUSH | (ativo ? 0 : DFCS_INACTIVE);
    DrawFrameControl(dc, &r, DFC_BUTTON, estado);
    std::string t = botao->Caption(); // '&' marks the accelerator, drawn underlined
    DrawTextA(dc, t.c_str(), static_cast<int>(t.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (foco) {
      RECT d = r;
      InflateRect(&d, -4, -4);
      DrawFocusRect(dc, &d);
    }
    return;
  }
  if (auto *grade = dynamic_cast<const TStringGrid *>(c)) {
    Preenche(dc, r, RGB(255, 255, 255));
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    int cy = y + 2;
    for (int row = 0; row < grade->RowCount() && cy < r.bottom; ++row) {
      int cx = x + 2;
      for (int col = 0; col < grade->ColCount() && cx < r.right; ++col) {
        const int w = col < static_cast<int>(grade->ColWidths.size()) ? grade->ColWidths[col]
                                                                      : grade->DefaultColWidth;
        RECT cel{cx, cy, std::min<int>(cx + w, r.right - 2),
                 std::min<int>(cy + grade->DefaultRowHeight, r.bottom - 2)};
        const bool fixa = row < grade->FixedRows || col < grade->FixedCols;
        const bool atual = row == grade->Row() && col == grade->Col();
        if (fixa)
          Preenche(dc, cel, GetSysColor(COLOR_BTNFACE));
        else if (atual && foco)
          Preenche(dc, cel, GetSysColor(COLOR_HIGHLIGHT));
        SetTextColor(dc, atual && foco && !fixa ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                                : Cor(c->Font.Color));
        FrameRect(dc, &cel, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        std::string t = atual && grade->EditorMode() ? grade->EditText() : grade->Cell(col, row);
        RECT txt = cel;
        InflateRect(&txt, -3, 0);
        DrawTextA(dc, t.c_str(), static_cast<int>(t.size()), &txt,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        cx += w;
      }
      cy += grade->DefaultRowHeight;
    }
    return;
  }
  if (auto *memo = dynamic_cast<const TMemo *>(c)) {
    Preenche(dc, r, RGB(255, 255, 255));
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    // The bars it asks for stand inside the edge, also when everything fits.
    RECT texto{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    const int bv = GetSystemMetrics(SM_CXVSCROLL), bh = GetSystemMetrics(SM_CYHSCROLL);
    if (memo->VertScrollBar()) texto.right -= bv;
    if (memo->HorzScrollBar()) texto.bottom -= bh;
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    const int n = memo->Lines.Count(), maior = memo->LongestLine();
    const int top = std::clamp(memo->TopLine, 0, std::max(0, n - 1));
    const int esquerda = std::clamp(memo->LeftCol, 0, maior);
    int ly = texto.top + 1;
    for (int i = top; i < n && ly + tm.tmHeight <= texto.bottom; ++i) {
      const std::string &linha = memo->Lines[i];
      const size_t de = static_cast<size_t>(esquerda);
      const std::string t = de < linha.size() ? linha.substr(de) : std::string();
      RECT lr{texto.left + 2, ly, texto.right - 2, ly + tm.tmHeight};
      DrawTextA(dc, t.c_str(), static_cast<int>(t.size()), &lr,
                DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
      ly += tm.tmHeight;
    }
    const int altura = std::max(1, static_cast<int>(tm.tmHeight));
    const int largura = std::max(1, static_cast<int>(tm.tmAveCharWidth));
    const int linhas = std::max(1, static_cast<int>(texto.bottom - texto.top) / altura);
    const int colunas = std::max(1, static_cast<int>(texto.right - texto.left - 4) / largura);
    if (memo->VertScrollBar())
      BarraRolagem(dc, RECT{texto.right, texto.top, texto.right + bv, texto.bottom}, true, top,
                   n - linhas, linhas, n);
    if (memo->HorzScrollBar())
      BarraRolagem(dc, RECT{texto.left, texto.bottom, texto.right, texto.bottom + bh}, false,
                   esquerda, maior - colunas, colunas, maior);
    if (memo->VertScrollBar() && memo->HorzScrollBar())
      Preenche(dc, RECT{texto.right, texto.bottom, texto.right + bv, texto.bottom + bh},
               GetSysColor(COLOR_BTNFACE));
    return;
  }
  if (auto *combo = dynamic_cast<const TComboBox *>(c)) {
    Preenche(dc, r, ativo ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNFACE));
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    RECT seta{r.right - 18, r.top + 2, r.right - 2, r.bottom - 2};
    DrawFrameControl(dc, &seta, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (ativo ? 0 : DFCS_INACTIVE));
    const int i = combo->ItemIndex();
    std::string t = i >= 0 ? combo->Items[i] : combo->Text();
    RECT txt{r.left + 4, r.top, seta.left - 2, r.bottom};
    if (foco) {
      Preenche(dc, txt, GetSysColor(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    DrawTextA(dc, t.c_str(), static_cast<int>(t.size()), &txt,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    return;
  }
  if (auto *edit = dynamic_cast<const TCustomEdit *>(c)) {
    Preenche(dc, r, ativo && !edit->ReadOnly ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNFACE));
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    auto *mask = dynamic_cast<const TMaskEdit *>(c);
    const std::string t = mask ? mask->EditText() : edit->Text();
    RECT txt{r.left + 4, r.top, r.right - 4, r.bottom};
    if (foco && edit->AllSelected() && !t.empty()) {
      SIZE s;
      GetTextExtentPoint32A(dc, t.c_str(), static_cast<int>(t.size()), &s);
      RECT sel{txt.left, r.top + 3, std::min<LONG>(txt.left + s.cx, txt.right), r.bottom - 3};
      Preenche(dc, sel, GetSysColor(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    DrawTextA(dc, t.c_str(), static_cast<int>(t.size()), &txt,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (foco) {
      const int caret = std::clamp(edit->SelStart(), 0, static_cast<int>(t.size()));
      SIZE s{0, 0};
      GetTextExtentPoint32A(dc, t.c_str(), caret, &s);
      RECT linha{txt.left + s.cx, r.top + 4, txt.left + s.cx + 1, r.bottom - 4};
      Preenche(dc, linha, RGB(0, 0, 0));
    }
    return;
  }
  if (auto *painel = dynamic_cast<const TPanel *>(c)) {
    if (!c->ParentColor) Preenche(dc, r, Cor(c->Color));
    if (painel->BevelOuter != bvNone)
      DrawEdge(dc, &r, painel->BevelOuter == bvRaised ? BDR_RAISEDOUTER : BDR_SUNKENOUTER, BF_RECT);
    if (painel->BevelInner != bvNone) {
      RECT d = r;
      InflateRect(&d, -1, -1);
      DrawEdge(dc, &d, painel->BevelInner == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENINNER, BF_RECT);
    }
    const std::string t = c->Caption();
    if (!t.empty())
      DrawTextA(dc, t.c_str(), static_cast<int>(t.size()), &r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  if (auto *w = dynamic_cast<const TWinControl *>(c))
    for (int i = 0; i < w->ControlCount(); ++i) PintaControle(dc, w->Controls(i), x, y, f);
}
