// Pictures of the screens: one SVG file per shown form and per message box, in order, drawn at
// the forms' pixels with their colours and captions, and well-formed.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/Pictures.h"
#include "platform/Script.h"
#include "terminal/VirtualTerminal.h"

namespace {

// A small XML checker: valid UTF-8, one root, tags nested and closed, attributes quoted, not
// repeated and free of '<', coordinates plain numbers ("12,5" would read as a list), references
// well formed, no stray '>' in text. Empty when the text is well formed, else why not.
std::string XmlFault(const std::string &x) {
  const auto npos = std::string::npos;
  for (size_t i = 0, n = 1; i < x.size(); i += n) {
    char32_t cp = 0;
    if ((n = cp1252::DecodeUtf8(x.data(), i, x.size(), cp)) == 0) return "not UTF-8";
  }
  static const std::set<std::string> named = {"amp", "lt", "gt", "quot", "apos"},
                                     numeric = {"x",  "y",  "x1",    "y1",
                                                "x2", "y2", "width", "height"};
  for (size_t p = x.find('&'); p != npos; p = x.find('&', p + 1)) {
    const size_t semi = x.find(';', p);
    const std::string ref = semi == npos ? "" : x.substr(p + 1, semi - p - 1);
    if (!named.count(ref) && (ref.size() < 2 || ref[0] != '#')) return "bad reference";
  }
  auto name = [&](size_t &e) { // the name at e, e left past it
    const size_t a = e;
    while (e < x.size() && (isalnum((unsigned char)x[e]) || std::strchr("_:-.", x[e]))) ++e;
    return x.substr(a, e - a);
  };
  std::vector<std::string> open;
  int roots = 0;
  for (size_t i = x.compare(0, 5, "<?xml") == 0 ? x.find("?>") + 2 : 0; i < x.size();) {
    const size_t lt = x.find('<', i);
    const std::string between = x.substr(i, lt == npos ? npos : lt - i);
    if (between.find('>') != npos) return "'>' in text";
    if (open.empty() && between.find_first_not_of(" \n\r\t") != npos)
      return "text outside the root";
    if (lt == npos) break;
    const bool closing = x[lt + 1] == '/';
    size_t e = lt + 1 + closing;
    const std::string tag = name(e);
    std::set<std::string> seen;
    while (true) {
      while (e < x.size() && isspace((unsigned char)x[e])) ++e;
      if (tag.empty() || e >= x.size()) return "tag <" + tag + "> not closed";
      if (x[e] == '>' || (!closing && x.compare(e, 2, "/>") == 0)) break;
      const std::string attr = name(e);
      if (closing || attr.empty() || !seen.insert(attr).second) return "attribute in " + tag;
      const size_t end = e + 1 < x.size() && x[e] == '=' && std::strchr("\"'", x[e + 1])
                             ? x.find(x[e + 1], e + 2)
                             : npos;
      const std::string v = end == npos ? "<" : x.substr(e + 2, end - e - 2);
      if (v.find('<') != npos) return "attribute " + attr + " not quoted or holds '<'";
      if (numeric.count(attr) && (v.empty() || v.find_first_not_of("0123456789.-") != npos))
        return "attribute " + attr + " is not a number: " + v;
      e = end + 1;
    }
    i = e + (x[e] == '/' ? 2 : 1);
    if (!closing) {
      roots += open.empty();
      if (x[e] != '/') open.push_back(tag);
    } else if (open.empty() || open.back() != tag) {
      return "unbalanced </" + tag + ">";
    } else {
      open.pop_back();
    }
  }
  if (!open.empty()) return "unclosed <" + open.back() + ">";
  return roots == 1 ? "" : "roots: " + std::to_string(roots);
}

std::string ReadFile(const std::string &path) {
  std::stringstream ss;
  ss << std::ifstream(path, std::ios::binary).rdbuf();
  return ss.str();
}

bool Has(const std::string &svg, const char *text) {
  return svg.find(text) != std::string::npos;
}

} // namespace

// A form shown, a message box over it and a second form on top: three pictures in that order,
// each of what was on the screen once it had settled.
TEST(Pictures, OneWellFormedPictureForEachShownFormAndBox) {
  char tmpl[] = "/tmp/chq_pictures_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = std::string(tmpl) + "/fotos";
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
    svg.push_back(ReadFile(path));
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
  std::filesystem::remove_all(tmpl);
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
  const std::string svg = ScreenSvg(f, nullptr);
  EXPECT_EQ(XmlFault(svg), "");
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
  for (const char *bad :
       {"<a><b></a></b>", "<a x=\"1,5\"/>", "<a y='1' y='2'/>", "<a>&nbsp;</a>", "<a/><b/>",
        "<a b=c/>", "<a b=\"<\"/>", "<a>></a>", "<a>\xC3</a>", "<a>", "<a b=\"1/>"})
    EXPECT_NE(XmlFault(bad), "") << bad;
}
