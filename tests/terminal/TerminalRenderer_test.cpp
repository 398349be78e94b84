// The terminal renderer: what a person sees of a form on a terminal of 80 x 24 and others.
#include <gtest/gtest.h>

#include "platform/forms/Grids.h"
#include "platform/forms/Panels.h"
#include "platform/forms/StdCtrls.h"
#include "terminal/VirtualTerminal.h"

namespace {

using TLook = TTerminalRenderer::TCellLook;
using TScreen = std::vector<std::u32string>;

// Every edit, combo, grid and button of a container in tab order (depth first).
void TabOrder(TWinControl *w, std::vector<TWinControl *> &out) {
  for (TWinControl *c : w->TabOrderList())
    if (c->Visible()) c->IsFocusableKind() ? out.push_back(c) : TabOrder(c, out);
}

// Whatever the size, every visible control of the consultation screen is on the screen, none
// overlaps another, captions read in full where the layout put them, a label sits just before
// its edit, and the tab order reads like text (top to bottom, left to right). The focused edit
// is reversed with the caret after what was typed, masked edits show their blanks, a disabled
// one is dimmed, accents show as themselves, and a long text scrolls to keep the caret inside.
TEST(TerminalRenderer, ConsultationScreenFitsReadsInTabOrderAndShowsTheFocus) {
  const struct { int cols, lines; } sizes[] = {{132, 43}, {64, 22}, {80, 24}};
  TShown s(MakeConsultaForm());
  auto *conta = Find<TEdit>(s.f, "edConta");
  conta->SetText("12345");
  conta->SetEnabled(false);
  auto *emit = Find<TEdit>(s.f, "edEmitente");
  emit->SetText(CP1252("JOSÉ DA CONCEIÇÃO"));
  Find<TEdit>(s.f, "edBanco")->SetFocus();
  for (char c : std::string("341")) s.f->DispatchChar(c);
  for (const auto &sz : sizes) {
    SCOPED_TRACE(std::to_string(sz.cols) + "x" + std::to_string(sz.lines));
    s.vt.Session().Resize(sz.cols, sz.lines);
    const TScreen screen = s.vt.Lines(); // as the resize drew it
    ASSERT_EQ(screen.size(), size_t(sz.lines));
    const TTerminalLayout &lay = s.vt.Layout();
    ASSERT_TRUE(lay.Fits());
    std::vector<const TLaidControl *> leaves;
    for (const auto &it : lay.Items()) {
      const TCellRect in = it.rect.Intersect({0, 0, sz.cols, sz.lines});
      EXPECT_TRUE(in.w == it.rect.w && in.h == it.rect.h) << it.control->Name << " cut";
      EXPECT_TRUE(it.clip.w == it.rect.w && it.clip.h == it.rect.h) << it.control->Name;
      if (it.kind == TLaidKind::Panel) continue;
      for (const auto *other : leaves)
        EXPECT_TRUE(it.rect.Intersect(other->rect).Empty())
            << it.control->Name << " overlaps " << other->control->Name;
      leaves.push_back(&it);
      if (it.kind != TLaidKind::Label) continue;
      const std::u32string text = TVirtualTerminal::Shown(it.control->Caption());
      EXPECT_EQ(screen[it.rect.y].substr(it.rect.x, text.size()), text) << it.control->Name;
    }
    for (const char *name : {"lbTitulo", "lbVersao", "edCompensacao", "edC3", "edFacilitador",
                             "btConfirma", "btRetorna", "lbTelefone"})
      EXPECT_NE(s.vt.Laid(s.f, name), nullptr) << name;
    EXPECT_EQ(s.vt.Laid(s.f, "pnProcessamento"), nullptr);
    EXPECT_FALSE(FindText(screen, U"Aguarde").Found());
    std::vector<TWinControl *> tabs;
    TabOrder(s.f, tabs);
    ASSERT_GE(tabs.size(), 20u);
    for (size_t i = 1; i < tabs.size(); ++i) {
      const TCellRect a = lay.Find(tabs[i - 1])->rect, b = lay.Find(tabs[i])->rect;
      EXPECT_TRUE(b.y > a.y || (b.y == a.y && b.x > a.x))
          << tabs[i - 1]->Name << " then " << tabs[i]->Name;
    }
    for (const char *edit : {"edBanco", "edCPFCGC", "edTelefone", "edFacilitador"}) {
      const TCellRect l = s.Rect(("lb" + std::string(edit + 2)).c_str()), e = s.Rect(edit);
      EXPECT_EQ(l.y, e.y) << edit;
      EXPECT_GT(e.x, l.Right()) << edit;
    }
    EXPECT_LE(FindText(screen, U"Consulta de Cheques").y, 1); // title on top
    EXPECT_GE(s.Rect("lbMensagem").y, sz.lines - 2);          // message line at the bottom
    EXPECT_EQ(FindText(screen, U"9 - Retorna").y, s.Rect("btRetorna").y);
    EXPECT_TRUE(FindText(screen, U"JOSÉ DA CONCEIÇÃO").Found());
  }
  TTerminalRenderer &r = s.vt.Session().Renderer();
  TScreen screen = s.vt.Screen();
  const TCellRect rb = s.Rect("edBanco"), rd = s.Rect("edData"), rc = s.Rect("edConta");
  EXPECT_EQ(screen[rb.y].substr(rb.x, rb.w), U"[341 ]");
  EXPECT_TRUE(s.vt.Attr(rb.x + 1, rb.y) & TLook::kReverse);
  EXPECT_EQ(r.CursorX() * 100 + r.CursorY(), (rb.x + 4) * 100 + rb.y);
  EXPECT_EQ(screen[rd.y].substr(rd.x, rd.w), U"[__/__/____]");
  EXPECT_EQ(screen[rc.y].substr(rc.x + 1, 5), U"12345");
  EXPECT_TRUE(s.vt.Attr(rc.x + 1, rc.y) & TLook::kDim);
  emit->SetFocus();
  emit->SelectAll();
  for (int i = 0; i < 80; ++i) s.f->DispatchChar('A');
  screen = s.vt.Screen();
  const TCellRect re = s.Rect("edEmitente");
  EXPECT_EQ(r.CursorY(), re.y);
  EXPECT_TRUE(r.CursorX() > re.x && r.CursorX() < re.Right());
  EXPECT_EQ(screen[re.y][re.Right() - 1], U']');
  // A key typed into an edit, from the terminal's bytes to the screen, sends only what changed
  // (the character, its look and the caret), and the screen is what a full redraw shows.
  auto *valor = Find<TEdit>(s.f, "edValor");
  valor->SetFocus();
  s.vt.Screen();
  for (const char *key : {"7", "8", "\x7f"}) {
    const size_t before = s.vt.Sent();
    s.vt.Send(key);
    TOperatorAction a;
    ASSERT_TRUE(s.vt.Keyboard().Next(a, s.vt.Keyboard().Now() + 2000));
    Application->Perform(a);
    Application->ProcessMessages();
    EXPECT_LE(s.vt.Sent() - before, 64u) << key;
  }
  EXPECT_EQ(valor->Text(), "7");
  screen = s.vt.Lines();
  s.vt.Session().Renderer().Redraw();
  EXPECT_EQ(s.vt.Screen(), screen);
}

// Message boxes: centred over the form, the caption in the title, the icon's word, the text
// (line breaks kept, long lines wrapped inside the screen) and the OK button.
TEST(TerminalRenderer, MessageBoxIsCentredWithCaptionIconTextAndOk) {
  const struct {
    unsigned flags;
    const char *caption, *text;
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
    TShown s(MakeConsultaForm());
    TScreen seen;
    s.vt.Keyboard().BeforeWait = [&] { seen = s.vt.Lines(); }; // as the repaint left it
    s.vt.Send("\r");
    EXPECT_EQ(Application->MessageBox(Utf8ToCp1252(c.text), Utf8ToCp1252(c.caption), c.flags),
              IDOK);
    s.vt.Keyboard().BeforeWait = nullptr;
    ASSERT_EQ(seen.size(), 24u);
    const TCellRect box = s.vt.Session().Renderer().BoxRect();
    ASSERT_FALSE(box.Empty());
    EXPECT_LE(std::abs(box.x - (80 - box.Right())), 1);
    EXPECT_LE(std::abs(box.y - (24 - box.Bottom())), 1);
    EXPECT_NE(seen[box.y].substr(box.x, box.w).find(TVirtualTerminal::U32(c.caption)),
              std::u32string::npos);
    // The inside of the box as one text, a line break as a blank.
    std::u32string inside;
    for (int y = box.y + 1; y < box.Bottom() - 1; ++y)
      inside += seen[y].substr(box.x, box.w) + U"\n";
    EXPECT_NE(inside.find(c.icon ? c.icon : U"< OK >"), std::u32string::npos);
    EXPECT_NE(inside.find(U"< OK >"), std::u32string::npos);
    EXPECT_EQ(inside.find(U"(X)") == inside.find(U"(!)"), !c.icon); // both absent: no icon
    // Every word of the text is inside the box, in order; a line break starts a new line.
    const std::u32string text = TVirtualTerminal::U32(std::string(c.text) + " ");
    size_t at = 0;
    for (size_t b = 0, e; (e = text.find_first_of(U" \r\n", b)) != text.npos; b = e + 1) {
      if (e == b) continue;
      ASSERT_NE(at = inside.find(text.substr(b, e - b), at), inside.npos) << "missing a word";
      at += e - b;
    }
    EXPECT_TRUE(c.icon || FindText(seen, U"Linha dois").y == FindText(seen, U"Linha um").y + 1);
    EXPECT_TRUE(FindText(seen, U"Consulta de Cheques").Found()); // the form stays under the box
    EXPECT_FALSE(FindText(s.vt.Screen(), U"< OK >").Found());    // and the box goes afterwards
  }
}

// The several-cheques grids: row numbers beside their rows, columns as wide as their masks,
// the current cell marked, an edited cell with its mask blanks, and a long grid scrolled to
// its current row.
TEST(TerminalRenderer, GridsShowRowsColumnsCurrentCellAndScroll) {
  TShown s(MakeBaseForm("FrmTeste_Mult", "Dados dos Cheques"));
  auto *cap = Make<TPanel>(s.f, s.f, "pnCaptura", 8, 96, 300, 250);
  cap->BevelOuter = bvNone;
  auto *head = Make<TLabel>(s.f, cap, "lbDescricaoChq1", 30, 4, 260, 15,
                            "N. Cheque   C3           Valor          Data Chq");
  auto *g = Make<TStringGrid>(s.f, cap, "sg_dadoschq_1", 30, 22, 262, 13 * 17 + 4);
  g->SetColCount(4);
  g->SetRowCount(13);
  g->FixedCols = g->FixedRows = 0;
  g->DefaultRowHeight = 16;
  g->Options |= goEditing;
  g->ColWidths = {64, 32, 96, 64};
  const char *masks[] = {"000000;1;_", "0;1;_", "CCCCCCCCCCCC;1;_", "00/00/0000;1;_"};
  g->OnGetEditMask = [&](TObject *, int col, int, std::string &v) { v = masks[col]; };
  std::vector<TLabel *> rows;
  for (int r = 0; r < 13; ++r)
    rows.push_back(Make<TLabel>(s.f, cap, ("lb" + std::to_string(r + 1)).c_str(), 6, 24 + 17 * r,
                                20, 13, std::to_string(r + 1)));
  g->SetCell(0, 2, "123456");
  g->SetCell(2, 2, "1.500,00");
  g->SetFocus();
  g->FocusCell(3, 4);
  s.f->DispatchChar('1');
  s.f->DispatchChar('2');
  TScreen screen = s.vt.Screen();
  const TTerminalLayout &lay = s.vt.Layout();
  ASSERT_TRUE(lay.Fits());
  const TCellRect lg = lay.Find(g)->rect;
  EXPECT_EQ(lg.h, 13);
  EXPECT_EQ(lay.Find(g)->colWidth, (std::vector<int>{6, 1, 12, 10}));
  for (int r = 0; r < 13; ++r) {
    EXPECT_EQ(lay.Find(rows[r])->rect.y, lg.y + r) << "row " << r + 1;
    EXPECT_LE(lay.Find(rows[r])->rect.Right(), lg.x);
  }
  // The heading's words go over their columns (a word wider than its column pushes the next).
  EXPECT_EQ(lay.Find(head)->rect.y, lg.y - 1);
  EXPECT_EQ(screen[lg.y - 1].substr(lg.x, 30), U"N. Cheque C3 Valor    Data Chq");
  EXPECT_EQ(screen[lg.y + 2].substr(lg.x, 17), U"123456│ │1.500,00");
  const int dateX = lg.x + 6 + 1 + 1 + 1 + 12 + 1;
  EXPECT_EQ(screen[lg.y + 4].substr(dateX, 10), U"12/__/____");
  EXPECT_TRUE(s.vt.Attr(dateX, lg.y + 4) & TLook::kReverse);
  EXPECT_FALSE(s.vt.Attr(lg.x, lg.y + 4) & TLook::kReverse);
  TTerminalRenderer &r = s.vt.Session().Renderer();
  EXPECT_EQ(r.CursorX() * 100 + r.CursorY(), (dateX + 3) * 100 + lg.y + 4);
  // Twenty-six rows in a scrolling grid: the current row is always in sight.
  g->CancelEdit();
  g->SetRowCount(26);
  g->ScrollBars = true;
  g->SetCell(0, 20, "777777");
  g->FocusCell(0, 20);
  screen = s.vt.Screen();
  const TCellRect lg2 = s.vt.Layout().Find(g)->rect;
  EXPECT_EQ(lg2.h, 13);
  const TWhere w = FindText(screen, U"777777");
  EXPECT_TRUE(w.y >= lg2.y && w.y < lg2.Bottom());
  EXPECT_TRUE(s.vt.Attr(w.x, w.y) & TLook::kReverse);
}

// A read-only memo shows the lines from its top line and its left column on, with the scroll
// bars it asks for (a thumb only where there is something to scroll); a combo box shows its
// selected item.
TEST(TerminalRenderer, MemoScrollsAndComboShowsItsItem) {
  TShown s(MakeBaseForm("FrmTeste_Imp", "Resultado"));
  auto *memo = Make<TMemo>(s.f, s.f, "MemoConsulta", 79, 88, 465, 233);
  memo->ReadOnly = true;
  memo->ScrollBars = ssBoth;
  for (int i = 1; i <= 40; ++i)
    memo->Lines.Add(CP1252("Linha de resposta nº ") + std::to_string(i));
  auto *cb = Make<TComboBox>(s.f, s.f, "cbTipo", 79, 330, 200, 24);
  cb->Items.Add("01 - Simples");
  cb->Items.Add("02 - Completa");
  cb->SetItemIndex(1);
  memo->SetFocus();
  TScreen screen = s.vt.Screen();
  const TCellRect lm = s.vt.Layout().Find(memo)->rect;
  ASSERT_GE(lm.h, 8);
  EXPECT_EQ(memo->VisibleLines, lm.h - 1); // the last row is the horizontal bar
  EXPECT_EQ(FindText(screen, U"Linha de resposta nº 1").y, lm.y);
  EXPECT_FALSE(FindText(screen, U"nº 40").Found());
  EXPECT_TRUE(FindText(screen, U"[02 - Completa▼]").Found());
  memo->Lines.Add(std::string(lm.w + 5, '-') + "FIM");
  memo->TopLine = memo->LeftCol = 1000; // as far as they go
  screen = s.vt.Screen();
  EXPECT_EQ(FindText(screen, U"FIM").x, lm.Right() - 4); // the longest line's end, last column
  EXPECT_EQ(FindText(screen, U"º 40").y, lm.Bottom() - 3);
  // One thumb on each bar: at the foot of the vertical one, at the end of the horizontal one.
  EXPECT_EQ(screen[lm.Bottom() - 2][lm.Right() - 1], U'█');
  EXPECT_EQ(screen[lm.Bottom() - 1][lm.Right() - 2], U'█');
}

} // namespace
