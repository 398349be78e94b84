// Pictures of the screens: one SVG file per shown form and per message box, in order, drawn at
// the forms' pixels with their colours and captions, and well-formed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "TerminalTestUtil.h"
#include "platform/Pictures.h"
#include "platform/Script.h"

namespace {

std::string ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool ValidUtf8(const std::string &s) {
  for (size_t i = 0; i < s.size();) {
    char32_t cp = 0;
    const int n = cp1252::DecodeUtf8(s.data(), i, s.size(), cp);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

// A small XML checker: one root, tags nested and closed, attributes quoted and not repeated,
// references well formed, no markup characters in text.
bool WellFormed(const std::string &x, std::string &why) {
  if (!ValidUtf8(x)) return why = "not UTF-8", false;
  size_t i = 0;
  if (x.compare(0, 5, "<?xml") == 0) {
    i = x.find("?>");
    if (i == std::string::npos) return why = "prolog", false;
    i += 2;
  }
  std::vector<std::string> open;
  int roots = 0;
  auto isName = [](char c) {
    return isalnum((unsigned char)c) || c == '_' || c == ':' || c == '-' || c == '.';
  };
  auto reference = [&](size_t &p) {
    const size_t semi = x.find(';', p);
    if (semi == std::string::npos || semi - p > 10) return false;
    const std::string ref = x.substr(p + 1, semi - p - 1);
    static const std::set<std::string> named = {"amp", "lt", "gt", "quot", "apos"};
    if (!named.count(ref) && !(ref.size() > 1 && ref[0] == '#')) return false;
    p = semi + 1;
    return true;
  };
  while (i < x.size()) {
    if (x[i] != '<') {
      if (x[i] == '&') {
        if (!reference(i)) return why = "bad reference in text", false;
        continue;
      }
      if (x[i] == '>') return why = "'>' in text", false;
      if (open.empty() && !isspace((unsigned char)x[i]))
        return why = "text outside the root", false;
      ++i;
      continue;
    }
    if (x.compare(i, 4, "<!--") == 0) {
      i = x.find("-->", i);
      if (i == std::string::npos) return why = "comment", false;
      i += 3;
      continue;
    }
    if (x.compare(i, 2, "</") == 0) {
      size_t e = i + 2;
      while (e < x.size() && isName(x[e])) ++e;
      const std::string name = x.substr(i + 2, e - i - 2);
      if (open.empty() || open.back() != name) return why = "unbalanced </" + name + ">", false;
      open.pop_back();
      if (e >= x.size() || x[e] != '>') return why = "end tag", false;
      i = e + 1;
      continue;
    }
    size_t e = i + 1;
    while (e < x.size() && isName(x[e])) ++e;
    const std::string name = x.substr(i + 1, e - i - 1);
    if (name.empty()) return why = "empty tag name", false;
    std::set<std::string> attrs;
    for (;;) {
      while (e < x.size() && isspace((unsigned char)x[e])) ++e;
      if (e >= x.size()) return why = "tag " + name + " not closed", false;
      if (x[e] == '>' || x.compare(e, 2, "/>") == 0) break;
      size_t a = e;
      while (e < x.size() && isName(x[e])) ++e;
      const std::string attr = x.substr(a, e - a);
      if (attr.empty() || !attrs.insert(attr).second) return why = "attribute in " + name, false;
      if (e + 1 >= x.size() || x[e] != '=' || (x[e + 1] != '"' && x[e + 1] != '\''))
        return why = "attribute " + attr + " not quoted", false;
      const char q = x[e + 1];
      e += 2;
      const size_t vstart = e;
      while (e < x.size() && x[e] != q) {
        if (x[e] == '<') return why = "'<' in attribute " + attr, false;
        if (x[e] == '&') {
          if (!reference(e)) return why = "bad reference in attribute " + attr, false;
        } else {
          ++e;
        }
      }
      if (e >= x.size()) return why = "attribute " + attr + " runs on", false;
      // Coordinates are plain numbers with a full stop ("12,5" would be read as a list).
      static const std::set<std::string> numeric = {"x",  "y",  "x1",    "y1",
                                                    "x2", "y2", "width", "height"};
      if (numeric.count(attr)) {
        const std::string v = x.substr(vstart, e - vstart);
        if (v.empty() || v.find_first_not_of("0123456789.-") != std::string::npos)
          return why = "attribute " + attr + " is not a number: " + v, false;
      }
      ++e;
    }
    if (open.empty()) ++roots;
    if (x[e] == '>') {
      open.push_back(name);
      i = e + 1;
    } else {
      i = e + 2;
    }
  }
  if (!open.empty()) return why = "unclosed <" + open.back() + ">", false;
  if (roots != 1) return why = "roots: " + std::to_string(roots), false;
  return true;
}

std::string TempDir() {
  char tmpl[] = "/tmp/chq_pictures_XXXXXX";
  const char *d = mkdtemp(tmpl);
  return d ? d : "/tmp";
}

} // namespace

// A form shown, a message box over it and a second form on top: three pictures in that order,
// each of what was on the screen once it had settled.
TEST(TerminalPictures, OneWellFormedPictureForEachShownFormAndBox) {
  const std::string dir = TempDir() + "/fotos";
  TPictureWriter writer(dir); // makes the directory
  ASSERT_TRUE(writer.Ok());

  TForm *f = MakeConsultaForm();
  f->Name = "FrmFoto";
  auto *msg = dynamic_cast<TLabel *>(f->FindComponentDeep("lbMensagem"));
  auto *banco = dynamic_cast<TEdit *>(f->FindComponentDeep("edBanco"));
  f->OnShow = [&](TObject *) {
    msg->SetCaption(CP1252("Confira os dados <antes> & confirme"));
    banco->SetText("341");
    banco->SetFocus();
  };
  auto *grid = Make<TStringGrid>(f, f, "sgCheques", 430, 10, 180, 60);
  grid->SetCell(1, 1, "ok");
  auto *ok = dynamic_cast<TBitBtn *>(f->FindComponentDeep("btConfirma"));
  ok->OnClick = [&](TObject *) {
    Application->MessageBox(CP1252("A data digitada é inválida."), CP1252("Erro - Data Inválida"),
                            MB_ICONSTOP | MB_TOPMOST);
  };
  auto *back = dynamic_cast<TBitBtn *>(f->FindComponentDeep("btRetorna"));
  back->OnClick = [&](TObject *) {
    TForm *g = MakeBaseForm("FrmOutra", "Outra tela");
    auto *fim = Make<TBitBtn>(g, g, "btFim", 100, 330, 120, 25, "&9 - Retorna");
    fim->ModalResult = mrCancel;
    g->ShowModal();
    g->Free();
    f->ModalResult = mrOk;
  };
  const TScriptRun run = RunScript(f, "click btConfirma\nok\nclick btRetorna\nclick btFim\n");
  ASSERT_EQ(run.error, "");
  EXPECT_EQ(run.result, mrOk);
  f->Free();

  ASSERT_EQ(writer.Files().size(), 3u);
  EXPECT_EQ(writer.Files()[0], dir + "/001-FrmFoto.svg");
  EXPECT_EQ(writer.Files()[1], dir + "/002-msgbox.svg");
  EXPECT_EQ(writer.Files()[2], dir + "/003-FrmOutra.svg");
  std::vector<std::string> svg;
  for (const auto &path : writer.Files()) {
    svg.push_back(ReadFile(path));
    std::string why;
    EXPECT_TRUE(WellFormed(svg.back(), why)) << path << ": " << why;
    EXPECT_NE(svg.back().find("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"623\" "
                              "height=\"422\""),
              std::string::npos);
  }
  // The form after its show handling: texts escaped and in UTF-8, its colours, the focus.
  const std::string &form = svg[0];
  EXPECT_NE(form.find("<title>FrmFoto</title>"), std::string::npos);
  EXPECT_NE(form.find("Confira os dados &lt;antes&gt; &amp; confirme"), std::string::npos);
  EXPECT_NE(form.find("Agência:"), std::string::npos);
  EXPECT_NE(form.find(">341<"), std::string::npos);
  EXPECT_NE(form.find("__/__/____"), std::string::npos);       // mask blanks
  EXPECT_NE(form.find("fill=\"#DFDFDF\""), std::string::npos); // 14671839, the panels
  EXPECT_NE(form.find("fill=\"#000084\""), std::string::npos); // 8650752, the title
  EXPECT_NE(form.find("<tspan text-decoration=\"underline\">1</tspan> - Confirma"),
            std::string::npos);
  EXPECT_NE(form.find(">ok<"), std::string::npos);    // a grid cell
  EXPECT_EQ(form.find("Aguarde"), std::string::npos); // the hidden processing panel
  EXPECT_EQ(form.find("A data digitada"), std::string::npos);
  // The box over the same form, with its caption, text, icon and button.
  const std::string &box = svg[1];
  EXPECT_NE(box.find("<title>FrmFoto</title>"), std::string::npos);
  EXPECT_NE(box.find("Erro - Data Inválida"), std::string::npos);
  EXPECT_NE(box.find("A data digitada é inválida."), std::string::npos);
  EXPECT_NE(box.find("#E81123"), std::string::npos); // the stop icon
  EXPECT_NE(box.find(">OK<"), std::string::npos);
  // The second form, not the one under it.
  EXPECT_NE(svg[2].find("<title>FrmOutra</title>"), std::string::npos);
  EXPECT_NE(svg[2].find("Outra tela"), std::string::npos);
  EXPECT_EQ(svg[2].find("Telefone"), std::string::npos);
  std::error_code ec;
  std::filesystem::remove_all(std::filesystem::path(dir).parent_path(), ec);
}

// Captions with markup, control characters and every Windows-1252 letter still make a valid
// picture; a directory that cannot be made is reported.
TEST(TerminalPictures, AnyTextMakesAValidPicture) {
  TForm *f = MakeBaseForm("Frm<&>\"'", "");
  std::string all;
  for (int b = 1; b < 256; ++b) all += (char)b;
  Make<TLabel>(f, f, "lbTudo", 10, 100, 600, 15, all);
  Make<TBitBtn>(f, f, "btAmp", 10, 130, 120, 25, "A&&B &Sair");
  auto *memo = Make<TMemo>(f, f, "MemoConsulta", 10, 160, 300, 100);
  memo->Lines.Add("</svg>");
  memo->Lines.Add(all);
  const std::string svg = ScreenSvg(f, nullptr);
  std::string why;
  EXPECT_TRUE(WellFormed(svg, why)) << why;
  EXPECT_NE(svg.find("A&amp;B <tspan text-decoration=\"underline\">S</tspan>air"),
            std::string::npos);
  TMessageBoxState box;
  box.Text = all;
  box.Caption = "<Erro>";
  box.Flags = MB_ICONEXCLAMATION;
  const std::string withBox = ScreenSvg(f, &box);
  EXPECT_TRUE(WellFormed(withBox, why)) << why;
  EXPECT_TRUE(WellFormed(ScreenSvg(nullptr, nullptr), why)) << why;
  f->Free();

  TPictureWriter bad("/proc/no/such/dir");
  EXPECT_FALSE(bad.Ok());
}
