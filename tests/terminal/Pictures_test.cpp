// Pictures of the screens: one SVG file per shown form and per message box, in order, drawn at
// the forms' pixels with their colours and captions, and well-formed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <sstream>

#include "platform/forms/Grids.h"
#include "platform/forms/StdCtrls.h"
#include "platform/operator/FontMetrics.h"
#include "platform/operator/Pictures.h"
#include "platform/operator/Script.h"
#include "support/TempDir.h"
#include "terminal/VirtualTerminal.h"

namespace {

// Enough of XML for a viewer to open the file: valid UTF-8, references known, coordinates plain
// numbers ("12,5" would read as a list), no stray '<' or '>', tags with quoted attributes,
// nested and closed under one root. Empty when the text is well formed, else why not.
std::string XmlFault(const std::string &x) {
  for (size_t i = 0, n = 1; i < x.size(); i += n) {
    char32_t cp = 0;
    if ((n = cp1252::DecodeUtf8(x.data(), i, x.size(), cp)) == 0) return "not UTF-8";
  }
  static const std::regex ref("&(?!(amp|lt|gt|quot|apos|#[0-9]+);)"),
      number("\\s(x|y|x1|y1|x2|y2|width|height)=\"(?![-0-9.]+\")"),
      tag("<(/?)([A-Za-z][-\\w.:]*)((\\s+[-\\w.:]+=\"[^\"<]*\")*)\\s*(/?)>|<|>");
  if (std::regex_search(x, ref)) return "bad reference";
  if (std::regex_search(x, number)) return "a coordinate is not a number";
  const std::string body = x.starts_with("<?xml") ? x.substr(x.find("?>") + 2) : x;
  std::vector<std::string> open;
  int roots = 0;
  for (std::sregex_iterator m(body.begin(), body.end(), tag), end; m != end; ++m) {
    const std::string name = (*m)[2];
    if (name.empty()) return "stray " + m->str();
    if ((*m)[1].length() == 0) {
      roots += open.empty();
      if ((*m)[5].length() == 0) open.push_back(name);
    } else if (open.empty() || open.back() != name) {
      return "unbalanced </" + name + ">";
    } else {
      open.pop_back();
    }
  }
  if (!open.empty()) return "unclosed <" + open.back() + ">";
  return roots == 1 ? "" : "roots: " + std::to_string(roots);
}

bool Has(const std::string &svg, const char *text) {
  return svg.find(text) != std::string::npos;
}

// Where each drawn copy of `caption` spans horizontally, measured with the drawing font's
// widths at the size, anchor and narrowing it was drawn with; NaN for a text not in that font.
std::vector<std::pair<double, double>> Drawn(const std::string &svg, const std::string &caption) {
  static const std::regex text("<text(\\s[^>]*)>([^<]*)</text>");
  auto attr = [](const std::string &attrs, const char *name) {
    std::smatch m;
    const std::regex re(std::string("\\s") + name + "=\"([^\"]*)\"");
    return std::regex_search(attrs, m, re) ? m[1].str() : std::string();
  };
  std::string xml = Cp1252ToUtf8(caption);
  for (const auto &[from, to] : {std::pair{"&", "&amp;"}, {"<", "&lt;"}, {">", "&gt;"}})
    for (size_t at = 0; (at = xml.find(from, at)) != std::string::npos; at += 4)
      xml.replace(at, 1, to);
  std::vector<std::pair<double, double>> out;
  for (std::sregex_iterator m(svg.begin(), svg.end(), text), end; m != end; ++m) {
    if ((*m)[2] != xml) continue;
    const std::string a = (*m)[1];
    if (!attr(a, "font-family").starts_with(std::string("'") + kPictureFont + "'")) {
      out.emplace_back(NAN, NAN);
      continue;
    }
    const double w =
        FontTextWidth(caption, std::stod(attr(a, "font-size")), attr(a, "font-weight") == "bold");
    const double x = std::stod(attr(a, "x"));
    const std::string anchor = attr(a, "text-anchor");
    double l = anchor == "end" ? x - w : anchor == "middle" ? x - w / 2 : x, r = l + w;
    double scale = 1, shift = 0;
    (void)std::sscanf(attr(a, "transform").c_str(), "matrix(%lf 0 0 1 %lf 0)", &scale, &shift);
    out.emplace_back(l * scale + shift, r * scale + shift);
  }
  return out;
}

} // namespace

// A form shown, a message box over it and a second form on top: three pictures in that order,
// each of what was on the screen once it had settled.
TEST(Pictures, OneWellFormedPictureForEachShownFormAndBox) {
  const testsupport::TempDir tmp;
  const std::string dir = tmp / "fotos";
  TPictureWriter writer(dir); // makes the directory
  ASSERT_TRUE(writer.Ok());
  TForm *f = MakeConsultaForm();
  f->Name = "FrmFoto";
  f->OnShow = [&](TObject *) {
    Find<TLabel>(f, "lbMensagem")->SetCaption("Confira os dados <antes> & confirme");
    Find<TEdit>(f, "edBanco")->SetText("341");
    Find<TEdit>(f, "edBanco")->SetFocus();
  };
  Make<TStringGrid>(f, f, "sgCheques", 430, 10, 180, 60)->SetCell(1, 1, "ok");
  Find<TBitBtn>(f, "btConfirma")->OnClick = [&](TObject *) {
    Application->MessageBox(CP1252("A data digitada é inválida."), CP1252("Erro - Data Inválida"),
                            MB_ICONSTOP | MB_TOPMOST);
  };
  Find<TBitBtn>(f, "btRetorna")->OnClick = [&](TObject *) {
    TForm *g = MakeBaseForm("FrmOutra", "Outra tela");
    Make<TBitBtn>(g, g, "btFim", 100, 330, 120, 25, "&9 - Retorna")->ModalResult = mrCancel;
    g->ShowModal();
    g->Free();
    f->ModalResult = mrOk;
  };
  const TScriptRun run = RunScript(f, "click btConfirma\nok\nclick btRetorna\nclick btFim\n");
  ASSERT_EQ(run.error, "");
  f->Free();
  ASSERT_EQ(writer.Files(),
            (std::vector<std::string>{dir + "/001-FrmFoto.svg", dir + "/002-msgbox.svg",
                                      dir + "/003-FrmOutra.svg"}));
  std::vector<std::string> svg;
  for (const auto &path : writer.Files()) {
    svg.push_back(testsupport::ReadFile(path));
    EXPECT_EQ(XmlFault(svg.back()), "") << path;
    EXPECT_TRUE(Has(svg.back(), "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"623\" "
                                "height=\"422\""));
  }
  // The form after its show handling: texts escaped and in UTF-8, its colours, the focus; the
  // box over the same form; the second form, not the one under it.
  for (const char *part :
       {"<title>FrmFoto</title>", "Confira os dados &lt;antes&gt; &amp; confirme",
        "Agência:", ">341<", "__/__/____", "fill=\"#DFDFDF\"", "fill=\"#000084\"", ">ok<",
        "<tspan text-decoration=\"underline\">1</tspan> - Confirma"})
    EXPECT_TRUE(Has(svg[0], part)) << part;
  EXPECT_FALSE(Has(svg[0], "Aguarde") || Has(svg[0], "A data digitada"));
  for (const char *part : {"<title>FrmFoto</title>", "Erro - Data Inválida",
                           "A data digitada é inválida.", "#E81123", ">OK<"})
    EXPECT_TRUE(Has(svg[1], part)) << part;
  EXPECT_TRUE(Has(svg[2], "<title>FrmOutra</title>") && Has(svg[2], "Outra tela"));
  EXPECT_FALSE(Has(svg[2], "Telefone"));
}

// Every label's text lies inside its box as drawn, its embossed copy when disabled too: the
// consultation screen's captions (laid out for a narrower dialog font) and harder ones. The box
// that holds only the logo's picture is not drawn.
TEST(Pictures, EveryLabelFitsItsBox) {
  TForm *f = MakeConsultaForm();
  const struct {
    const char *caption;
    int width;
    TAlignment align;
    bool bold, enabled;
  } extra[] = {{"Demonst. de Prazos:", 60, taRightJustify, true, true},
               {"Abertura da Conta Corrente:", 50, taCenter, false, false},
               {"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", 12, taLeftJustify, true, false}};
  int top = 320;
  for (const auto &e : extra) {
    auto *l = Make<TLabel>(f, f, "lbExtra", 500, top += 20, e.width, 15, e.caption);
    l->Alignment = e.align, l->Font.Bold = e.bold;
    l->SetEnabled(e.enabled);
  }
  const std::string svg = ScreenSvg(f, nullptr);
  std::vector<const TControl *> todo(1, f);
  int labels = 0;
  while (!todo.empty()) {
    const auto *w = dynamic_cast<const TWinControl *>(todo.back());
    todo.pop_back();
    for (int i = 0; w && i < w->ControlCount(); ++i) {
      const TControl *c = w->Controls(i);
      if (!c->Visible()) continue;
      todo.push_back(c);
      if (!dynamic_cast<const TLabel *>(c) || c->WordWrap || c->Caption().empty()) continue;
      int left = 0;
      for (const TControl *p = c; p != f; p = p->Parent()) left += p->Left;
      const auto drawn = Drawn(svg, c->Caption());
      EXPECT_EQ(drawn.size(), c->Enabled() ? 1U : 2U) << c->Caption();
      for (const auto &[l, r] : drawn) {
        EXPECT_GE(l, left - 0.01) << c->Caption();
        EXPECT_LE(r, left + c->Width + 0.01) << c->Caption();
      }
      ++labels;
    }
  }
  EXPECT_EQ(labels, 24);
  EXPECT_FALSE(Has(svg, "width=\"70\" height=\"45\""));
  f->Free();
}

// Captions with markup, control characters and every Windows-1252 letter still make a valid
// picture; a directory that cannot be made is reported.
TEST(Pictures, AnyTextMakesAValidPicture) {
  TForm *f = MakeBaseForm("Frm<&>\"'", "");
  std::string all;
  for (int b = 1; b < 256; ++b) all += (char)b;
  Make<TLabel>(f, f, "lbTudo", 10, 100, 600, 15, all);
  Make<TBitBtn>(f, f, "btAmp", 10, 130, 120, 25, "A&&B &Sair");
  auto *memo = Make<TMemo>(f, f, "MemoConsulta", 10, 160, 300, 100);
  memo->Lines.Add("</svg>");
  memo->Lines.Add(all);
  memo->ScrollBars = ssBoth;
  const std::string svg = ScreenSvg(f, nullptr);
  EXPECT_EQ(XmlFault(svg), "");
  // Both bars although two lines fit: the box in the corner between them.
  EXPECT_TRUE(Has(svg, "<rect x=\"291\" y=\"241\" width=\"17\" height=\"17\""));
  EXPECT_TRUE(Has(svg, "A&amp;B <tspan text-decoration=\"underline\">S</tspan>air"));
  TMessageBoxState box;
  box.Text = all;
  box.Caption = "<Erro>";
  box.Flags = MB_ICONEXCLAMATION;
  EXPECT_EQ(XmlFault(ScreenSvg(f, &box)), "");
  EXPECT_EQ(XmlFault(ScreenSvg(nullptr, nullptr)), "");
  f->Free();
  EXPECT_FALSE(TPictureWriter("/proc/no/such/dir").Ok());
  // The checker itself refuses what it is there to catch.
  for (const char *bad : {"<a><b></a></b>", "<a x=\"1,5\"/>", "<a>&nbsp;</a>", "<a/><b/>",
                          "<a b=c/>", "<a>></a>", "<a>\xC3</a>", "<a>"})
    EXPECT_NE(XmlFault(bad), "") << bad;
}
