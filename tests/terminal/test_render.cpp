// The terminal renderer: what a person sees of a form on a terminal of 80 x 24 and others.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "TerminalTestUtil.h"

namespace {

using TLook = TTerminalRenderer::TCellLook;

// Operator input that looks at the screen each time the application waits for a key.
class TProbe : public TInputSource {
public:
  std::vector<std::function<TOperatorAction()>> steps;
  bool Next(TOperatorAction &out, int64_t) override {
    if (fStep >= steps.size()) throw EScriptFailure("the probe has no more steps");
    out = steps[fStep++]();
    return true;
  }
  int64_t Now() const override { return 0; }

private:
  size_t fStep = 0;
};

TOperatorAction Ack() {
  TOperatorAction a;
  a.kind = TOperatorAction::Ack;
  return a;
}

// Every edit, combo, grid and button of a container in tab order (depth first).
void TabOrder(TWinControl *w, std::vector<TWinControl *> &out) {
  for (TWinControl *c : w->TabOrderList()) {
    if (!c->Visible()) continue;
    if (c->IsFocusableKind())
      out.push_back(c);
    else
      TabOrder(c, out);
  }
}

std::vector<std::string> Words(const std::string &text) {
  std::vector<std::string> out(1);
  for (char c : text) {
    if (c == ' ' || c == '\r' || c == '\n') {
      if (!out.back().empty()) out.emplace_back();
    } else {
      out.back() += c;
    }
  }
  return out;
}

bool IsLeaf(const TLaidControl &it) {
  return it.kind != TLaidKind::Panel;
}

struct TFormCloser {
  TForm *f;
  ~TFormCloser() {
    f->Hide();
    f->Free();
  }
};

} // namespace

// Whatever the size, every visible control of the consultation screen is on the screen, none
// overlaps another, captions and edits read in the form's rows, and the tab order reads like
// text (top to bottom, left to right).
TEST(TerminalRender, ConsultationScreenFitsReadsInTabOrderAndNothingOverlaps) {
  const struct { int cols, lines; } sizes[] = {{80, 24}, {100, 30}, {120, 40}, {64, 22}};
  for (const auto &sz : sizes) {
    SCOPED_TRACE(std::to_string(sz.cols) + "x" + std::to_string(sz.lines));
    TVirtualTerminal vt(sz.cols, sz.lines);
    TForm *f = MakeConsultaForm();
    TFormCloser closer{f};
    f->Show();
    const auto screen = vt.Screen();
    const TTerminalLayout &lay = vt.Layout();
    ASSERT_TRUE(lay.Fits());
    const TCellRect whole{0, 0, sz.cols, sz.lines};

    std::vector<const TLaidControl *> leaves;
    for (const auto &it : lay.Items()) {
      SCOPED_TRACE(it.control->Name);
      const TCellRect in = it.rect.Intersect(whole);
      EXPECT_EQ(in.w, it.rect.w) << "cut at the side";
      EXPECT_EQ(in.h, it.rect.h) << "cut at the bottom";
      EXPECT_EQ(it.clip.w, it.rect.w) << "cut by its panel";
      EXPECT_EQ(it.clip.h, it.rect.h) << "cut by its panel";
      if (IsLeaf(it)) leaves.push_back(&it);
    }
    for (size_t i = 0; i < leaves.size(); ++i)
      for (size_t j = i + 1; j < leaves.size(); ++j)
        EXPECT_TRUE(leaves[i]->rect.Intersect(leaves[j]->rect).Empty())
            << leaves[i]->control->Name << " overlaps " << leaves[j]->control->Name;

    // Every visible control is there, hidden ones are not.
    for (const char *name : {"lbTitulo", "lbVersao", "edValor", "edData", "edCompensacao", "edC3",
                             "edTipoDoc", "edCPFCGC", "edEmitente", "edFacilitador", "edTelefone",
                             "btConfirma", "btRetorna", "lbTelefone"})
      EXPECT_NE(lay.Find(dynamic_cast<TControl *>(f->FindComponentDeep(name))), nullptr) << name;
    EXPECT_EQ(lay.Find(dynamic_cast<TControl *>(f->FindComponentDeep("pnProcessamento"))), nullptr);
    EXPECT_FALSE(FindText(screen, U"Aguarde").Found());

    // Captions are where the layout put them, in full.
    for (const auto *it : leaves) {
      if (it->kind != TLaidKind::Label || it->control->Caption().empty()) continue;
      const std::u32string text = TVirtualTerminal::Shown(it->control->Caption());
      const auto &line = screen[it->rect.y];
      EXPECT_EQ(line.substr(it->rect.x, text.size()), text) << it->control->Name;
    }
    // The tab order reads like text.
    std::vector<TWinControl *> tabs;
    TabOrder(f, tabs);
    ASSERT_GE(tabs.size(), 20u);
    for (size_t i = 1; i < tabs.size(); ++i) {
      const TLaidControl *a = lay.Find(tabs[i - 1]), *b = lay.Find(tabs[i]);
      ASSERT_TRUE(a && b);
      EXPECT_TRUE(b->rect.y > a->rect.y || (b->rect.y == a->rect.y && b->rect.x > a->rect.x))
          << tabs[i - 1]->Name << " then " << tabs[i]->Name;
    }
    // A label and the edit it captions share a line, the label just before it (on the
    // smallest screens right before it).
    for (auto [label, edit] : {std::pair{"lbBanco", "edBanco"},
                               {"lbCPFCGC", "edCPFCGC"},
                               {"lbTelefone", "edTelefone"},
                               {"lbCodFacilitador", "edFacilitador"}}) {
      const TLaidControl *l = lay.Find(dynamic_cast<TControl *>(f->FindComponentDeep(label)));
      const TLaidControl *e = lay.Find(dynamic_cast<TControl *>(f->FindComponentDeep(edit)));
      ASSERT_TRUE(l && e);
      EXPECT_EQ(l->rect.y, e->rect.y) << label;
      EXPECT_GT(e->rect.x, l->rect.Right()) << label;
      EXPECT_LE(e->rect.x, l->rect.Right() + (sz.cols <= 80 ? 1 : 8)) << label;
    }
    // Title on top, message line at the bottom.
    EXPECT_LE(FindText(screen, U"Consulta de Cheques").y, 1);
    const TLaidControl *msg =
        lay.Find(dynamic_cast<TControl *>(f->FindComponentDeep("lbMensagem")));
    ASSERT_TRUE(msg);
    EXPECT_GE(msg->rect.y, sz.lines - 2);
  }
}

// A larger terminal spreads the form the way its pixels do; a resize lays it out again.
TEST(TerminalRender, LargerTerminalUsesItsRoomAndResizeRedraws) {
  TVirtualTerminal vt(80, 24);
  TForm *f = MakeConsultaForm();
  TFormCloser closer{f};
  f->Show();
  vt.Screen();
  auto *bt = dynamic_cast<TControl *>(f->FindComponentDeep("btRetorna"));
  const TCellRect small = vt.Layout().Find(bt)->rect;
  vt.Session().Resize(132, 43);
  const auto screen = vt.Lines();
  EXPECT_EQ(vt.Layout().Cols(), 132);
  EXPECT_EQ(screen.size(), 43u);
  const TCellRect large = vt.Layout().Find(bt)->rect;
  EXPECT_GT(large.x, small.x + 20);
  EXPECT_GT(large.y, small.y + 10);
  const TWhere w = FindText(screen, U"9 - Retorna");
  EXPECT_EQ(w.y, large.y);
  vt.Session().Resize(80, 24);
  EXPECT_EQ(vt.Layout().Find(bt)->rect.x, small.x);
}

// The focused edit is drawn reversed with the caret after what was typed; masked edits show
// their blanks; disabled controls are dimmed; a typed accent shows as itself.
TEST(TerminalRender, FocusCaretMaskBlanksAndDisabled) {
  TVirtualTerminal vt(80, 24);
  TForm *f = MakeConsultaForm();
  TFormCloser closer{f};
  f->Show();
  auto *banco = dynamic_cast<TEdit *>(f->FindComponentDeep("edBanco"));
  auto *data = dynamic_cast<TMaskEdit *>(f->FindComponentDeep("edData"));
  auto *emit = dynamic_cast<TEdit *>(f->FindComponentDeep("edEmitente"));
  auto *conta = dynamic_cast<TEdit *>(f->FindComponentDeep("edConta"));
  conta->SetText("12345");
  conta->SetEnabled(false);
  banco->SetFocus();
  for (char c : std::string("341")) f->DispatchChar(c);
  auto screen = vt.Screen();
  const TTerminalLayout &lay = vt.Layout();
  const TCellRect rb = lay.Find(banco)->rect;
  EXPECT_EQ(screen[rb.y].substr(rb.x, rb.w), U"[341 ]");
  for (int x = rb.x + 1; x < rb.Right() - 1; ++x) EXPECT_TRUE(vt.Attr(x, rb.y) & TLook::kReverse);
  EXPECT_FALSE(vt.Attr(rb.x, rb.y) & TLook::kReverse); // the bracket is not the field
  EXPECT_EQ(vt.Session().Renderer().CursorX(), rb.x + 1 + 3);
  EXPECT_EQ(vt.Session().Renderer().CursorY(), rb.y);
  const TCellRect rd = lay.Find(data)->rect;
  EXPECT_EQ(screen[rd.y].substr(rd.x, rd.w), U"[__/__/____]");
  EXPECT_FALSE(vt.Attr(rd.x + 1, rd.y) & TLook::kReverse);
  const TCellRect rc = lay.Find(conta)->rect;
  EXPECT_EQ(screen[rc.y].substr(rc.x + 1, 5), U"12345");
  EXPECT_TRUE(vt.Attr(rc.x + 1, rc.y) & TLook::kDim);
  EXPECT_FALSE(vt.Attr(rb.x + 1, rb.y) & TLook::kDim);

  data->SetFocus();
  for (char c : std::string("0503")) f->DispatchChar(c);
  emit->SetText(CP1252("JOSÉ DA CONCEIÇÃO"));
  screen = vt.Screen();
  EXPECT_EQ(screen[rd.y].substr(rd.x, rd.w), U"[05/03/____]");
  EXPECT_EQ(vt.Session().Renderer().CursorX(), rd.x + 1 + 6);
  EXPECT_TRUE(FindText(screen, U"JOSÉ DA CONCEIÇÃO").Found());
  EXPECT_FALSE(vt.Attr(rb.x + 1, rb.y) & TLook::kReverse);
  // A text longer than its field scrolls so that the caret stays in sight.
  emit->SetFocus();
  emit->SelectAll();
  const std::string longName(80, 'A');
  for (char c : longName) f->DispatchChar(c);
  screen = vt.Screen();
  const TCellRect re = lay.Find(emit)->rect;
  EXPECT_EQ(vt.Session().Renderer().CursorY(), re.y);
  EXPECT_GT(vt.Session().Renderer().CursorX(), re.x);
  EXPECT_LT(vt.Session().Renderer().CursorX(), re.Right());
  EXPECT_EQ(screen[re.y][re.Right() - 1], U']');
}

// A menu: the visible options stack on consecutive lines with one width; hidden ones leave no
// line; the accelerator is underlined; the focused button is reversed.
TEST(TerminalRender, MenuButtonsStackWithAcceleratorsAndFocus) {
  TVirtualTerminal vt(80, 24);
  TForm *f = MakeBaseForm("FrmTeste_Mnu", "Consulta de Cheques");
  TFormCloser closer{f};
  auto *pn = Make<TPanel>(f, f, "pnMenu", 30, 113, 280, 253);
  pn->BevelOuter = bvNone;
  pn->BevelInner = bvLowered;
  const char *captions[] = {"&1 - Consulta Cheque", "&2 - Consulta Sequencial", "&3 - Oculta",
                            "&4 - Garantia Cheque", "&9 - Encerra"};
  std::vector<TBitBtn *> bts;
  for (int i = 0; i < 5; ++i) {
    auto *b = Make<TBitBtn>(f, pn, ("spOpcao" + std::to_string(i + 1)).c_str(), 1, 1 + 28 * i, 277,
                            28, captions[i]);
    b->TabOrder = i;
    b->Font.Bold = true;
    bts.push_back(b);
  }
  bts[2]->SetVisible(false);
  f->Show();
  bts[1]->SetFocus();
  const auto screen = vt.Screen();
  const TTerminalLayout &lay = vt.Layout();
  EXPECT_EQ(lay.Find(bts[2]), nullptr);
  EXPECT_FALSE(FindText(screen, U"Oculta").Found());
  const TCellRect r0 = lay.Find(bts[0])->rect;
  int line = r0.y;
  for (int i : {0, 1, 3, 4}) {
    SCOPED_TRACE(i);
    const TCellRect r = lay.Find(bts[i])->rect;
    EXPECT_EQ(r.y, line++);
    EXPECT_EQ(r.x, r0.x);
    EXPECT_EQ(r.w, r0.w);
    const std::u32string text = TVirtualTerminal::Shown(captions[i] + 1);
    const TWhere w = FindText(screen, text);
    ASSERT_EQ(w.y, r.y);
    EXPECT_EQ(screen[r.y][r.x], U'<');
    EXPECT_EQ(screen[r.y][r.Right() - 1], U'>');
    EXPECT_TRUE(vt.Attr(w.x, w.y) & TLook::kUnderline) << "the accelerator";
    EXPECT_FALSE(vt.Attr(w.x + 2, w.y) & TLook::kUnderline);
    EXPECT_EQ((vt.Attr(w.x + 2, w.y) & TLook::kReverse) != 0, i == 1) << "the focus";
  }
}

// Message boxes: centred over the form, the caption in the title, the icon's word, the text
// (line breaks kept, long lines wrapped inside the screen) and the OK button.
TEST(TerminalRender, MessageBoxIsCentredWithCaptionIconTextAndOk) {
  const struct {
    unsigned flags;
    const char *caption;
    const char *text;
    const char32_t *icon; // nullptr: no icon word
  } cases[] = {
      {MB_ICONSTOP | MB_TOPMOST, "Erro", "A data digitada é inválida.", U"(X) PARE"},
      {0x40030, "Módulo Cheque - Versão 1.0.0.0", "Banco não informado.", U"(!) ATENÇÃO"},
      {MB_TOPMOST, "Consulta", "Linha um\r\nLinha dois", nullptr},
      {MB_ICONSTOP, "Erro",
       "A linha dos dados do Cheque 3 não foi preenchida corretamente. Preencha-a novamente "
       "com todos os dados do cheque, a data inclusive, e confirme outra vez.",
       U"(X) PARE"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.caption);
    TVirtualTerminal vt(80, 24);
    TForm *f = MakeConsultaForm();
    TFormCloser closer{f};
    f->Show();
    TProbe probe;
    std::vector<std::u32string> seen;
    probe.steps.push_back([&] {
      seen = vt.Lines(); // as the application's repaint left it
      return Ack();
    });
    Application->SetInputSource(&probe);
    const std::string text = Utf8ToCp1252(c.text);
    EXPECT_EQ(Application->MessageBox(text, Utf8ToCp1252(c.caption), c.flags), IDOK);
    Application->SetInputSource(&vt.Session().Keyboard());
    ASSERT_EQ(seen.size(), 24u);
    const TCellRect box = vt.Session().Renderer().BoxRect();
    ASSERT_FALSE(box.Empty());
    EXPECT_LE(std::abs(box.x - (80 - box.Right())), 1);
    EXPECT_LE(std::abs(box.y - (24 - box.Bottom())), 1);
    EXPECT_LE(box.w, 80);
    const std::u32string caption = TVirtualTerminal::U32(c.caption);
    EXPECT_NE(seen[box.y].substr(box.x, box.w).find(caption), std::u32string::npos);
    auto inside = [&](const std::u32string &s) {
      for (int y = box.y + 1; y < box.Bottom() - 1; ++y)
        if (seen[y].substr(box.x, box.w).find(s) != std::u32string::npos) return y;
      return -1;
    };
    EXPECT_GT(inside(U"< OK >"), 0);
    if (c.icon) {
      EXPECT_GT(inside(c.icon), 0);
    } else {
      EXPECT_LT(inside(U"(X)"), 0);
      EXPECT_LT(inside(U"(!)"), 0);
    }
    // Every word of the text is inside the box, in order.
    std::u32string all;
    for (int y = box.y + 1; y < box.Bottom() - 1; ++y) all += seen[y].substr(box.x, box.w) + U" ";
    size_t at = 0;
    for (const auto &word : Words(text)) {
      const auto w = TVirtualTerminal::Shown(word);
      if (w.empty()) continue;
      const size_t p = all.find(w, at);
      ASSERT_NE(p, std::u32string::npos) << "missing: " << word;
      at = p + w.size();
    }
    if (std::string(c.text).find("\r\n") != std::string::npos) {
      EXPECT_EQ(inside(U"Linha dois"), inside(U"Linha um") + 1);
    }
    // The form stays under the box; the box is gone afterwards.
    EXPECT_TRUE(FindText(seen, U"Consulta de Cheques").Found());
    EXPECT_FALSE(FindText(vt.Screen(), U"< OK >").Found());
  }
}

// The several-cheques grids: row numbers beside their rows, columns as wide as their masks,
// the current cell marked, an edited cell with its mask blanks, and a long grid scrolled to
// its current row.
TEST(TerminalRender, GridsShowRowsColumnsCurrentCellAndScroll) {
  TVirtualTerminal vt(80, 24);
  TForm *f = MakeBaseForm("FrmTeste_Mult", "Dados dos Cheques");
  TFormCloser closer{f};
  auto *cap = Make<TPanel>(f, f, "pnCaptura", 8, 96, 300, 250);
  cap->BevelOuter = bvNone;
  auto *head = Make<TLabel>(f, cap, "lbDescricaoChq1", 30, 4, 260, 15,
                            "N. Cheque   C3           Valor          Data Chq");
  auto *g = Make<TStringGrid>(f, cap, "sg_dadoschq_1", 30, 22, 262, 13 * 17 + 4);
  g->SetColCount(4);
  g->SetRowCount(13);
  g->FixedCols = 0;
  g->FixedRows = 0;
  g->DefaultRowHeight = 16;
  g->Options |= goEditing;
  g->ColWidths = {64, 32, 96, 64};
  const char *masks[] = {"000000;1;_", "0;1;_", "CCCCCCCCCCCC;1;_", "00/00/0000;1;_"};
  g->OnGetEditMask = [&](TObject *, int col, int, std::string &v) { v = masks[col]; };
  std::vector<TLabel *> rows;
  for (int r = 0; r < 13; ++r)
    rows.push_back(Make<TLabel>(f, cap, ("lb" + std::to_string(r + 1)).c_str(), 6, 24 + 17 * r, 20,
                                13, std::to_string(r + 1)));
  g->SetCell(0, 2, "123456");
  g->SetCell(2, 2, "1.500,00");
  f->Show();
  g->SetFocus();
  g->FocusCell(3, 4);
  f->DispatchChar('1');
  f->DispatchChar('2');
  auto screen = vt.Screen();
  const TTerminalLayout &lay = vt.Layout();
  const TLaidControl *lg = lay.Find(g);
  ASSERT_TRUE(lg);
  ASSERT_TRUE(lay.Fits());
  EXPECT_EQ(lg->rect.h, 13);
  EXPECT_EQ(lg->colWidth, (std::vector<int>{6, 1, 12, 10}));
  for (int r = 0; r < 13; ++r) {
    const TLaidControl *l = lay.Find(rows[r]);
    ASSERT_TRUE(l);
    EXPECT_EQ(l->rect.y, lg->rect.y + r) << "row " << r + 1;
    EXPECT_LT(l->rect.Right(), lg->rect.x + 1);
  }
  // The heading's words go over their columns (a word wider than its column pushes the next).
  const TLaidControl *lh = lay.Find(head);
  ASSERT_TRUE(lh);
  EXPECT_EQ(lh->rect.y, lg->rect.y - 1);
  EXPECT_EQ(lh->rect.x, lg->rect.x);
  EXPECT_EQ(screen[lh->rect.y].substr(lg->rect.x, 30), U"N. Cheque C3 Valor    Data Chq");
  const auto &row2 = screen[lg->rect.y + 2];
  EXPECT_EQ(row2.substr(lg->rect.x, 6), U"123456");
  EXPECT_EQ(row2.substr(lg->rect.x + 6, 1), U"│");
  EXPECT_EQ(row2.substr(lg->rect.x + 9, 8), U"1.500,00");
  const int dateX = lg->rect.x + 6 + 1 + 1 + 1 + 12 + 1;
  const auto &row4 = screen[lg->rect.y + 4];
  EXPECT_EQ(row4.substr(dateX, 10), U"12/__/____");
  EXPECT_TRUE(vt.Attr(dateX, lg->rect.y + 4) & TLook::kReverse);
  EXPECT_FALSE(vt.Attr(lg->rect.x, lg->rect.y + 4) & TLook::kReverse);
  EXPECT_EQ(vt.Session().Renderer().CursorX(), dateX + 3);
  EXPECT_EQ(vt.Session().Renderer().CursorY(), lg->rect.y + 4);

  // Twenty-six rows in a scrolling grid: the current row is always in sight.
  g->CancelEdit();
  g->SetRowCount(26);
  g->ScrollBars = true;
  g->SetCell(0, 20, "777777");
  g->FocusCell(0, 20);
  screen = vt.Screen();
  const TLaidControl *lg2 = vt.Layout().Find(g);
  EXPECT_EQ(lg2->rect.h, 13);
  EXPECT_TRUE(FindText(screen, U"777777").Found());
  const TWhere w = FindText(screen, U"777777");
  EXPECT_GE(w.y, lg2->rect.y);
  EXPECT_LT(w.y, lg2->rect.Bottom());
  EXPECT_TRUE(vt.Attr(w.x, w.y) & TLook::kReverse);
}

// A read-only memo shows the lines from its top line on, with a scroll bar when they do not
// fit; a combo box shows its selected item.
TEST(TerminalRender, MemoScrollsAndComboShowsItsItem) {
  TVirtualTerminal vt(80, 24);
  TForm *f = MakeBaseForm("FrmTeste_Imp", "Resultado");
  TFormCloser closer{f};
  auto *memo = Make<TMemo>(f, f, "MemoConsulta", 79, 88, 465, 233);
  memo->ReadOnly = true;
  for (int i = 1; i <= 40; ++i)
    memo->Lines.Add(CP1252("Linha de resposta nº ") + std::to_string(i));
  auto *cb = Make<TComboBox>(f, f, "cbTipo", 79, 330, 200, 24);
  cb->Items.Add("01 - Simples");
  cb->Items.Add("02 - Completa");
  cb->SetItemIndex(1);
  f->Show();
  memo->SetFocus();
  auto screen = vt.Screen();
  const TLaidControl *lm = vt.Layout().Find(memo);
  ASSERT_TRUE(lm);
  EXPECT_GE(lm->rect.h, 8);
  EXPECT_EQ(memo->VisibleLines, lm->rect.h);
  EXPECT_EQ(FindText(screen, U"Linha de resposta nº 1").y, lm->rect.y);
  EXPECT_FALSE(FindText(screen, U"nº 40").Found());
  memo->TopLine = 40 - lm->rect.h;
  screen = vt.Screen();
  EXPECT_EQ(FindText(screen, U"nº 40").y, lm->rect.Bottom() - 1);
  EXPECT_FALSE(FindText(screen, U"nº 1 ").Found());
  EXPECT_EQ(CountText(screen, U"█"), 1); // the scroll bar's thumb
  EXPECT_TRUE(FindText(screen, U"[02 - Completa▼]").Found());
}
