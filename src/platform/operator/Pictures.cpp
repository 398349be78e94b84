#include "platform/operator/Pictures.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string_view>
#include <sys/stat.h>

#include "platform/forms/Grids.h"
#include "platform/forms/Panels.h"
#include "platform/forms/StdCtrls.h"
#include "platform/operator/FontMetrics.h"
#include "platform/operator/Privacy.h"
#include "platform/operator/Transcript.h"
#include "platform/text/StrUtils.h"

namespace {

// SVG numbers always take a full stop: the platform's Format writes the regional decimal
// separator (","), which would turn coordinates into lists.
// printf-style on purpose: the format attribute lets the compiler check every call's arguments
// against its literal format.
std::string Svgf(const char *fmt, ...) // NOLINT(cert-dcl50-cpp): see above
    __attribute__((format(printf, 1, 2)));
std::string Svgf(const char *fmt, ...) { // NOLINT(cert-dcl50-cpp): see the declaration
  va_list args;
  va_start(args, fmt);
  char small[512];
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(small, sizeof small, fmt, copy);
  va_end(copy);
  std::string out;
  if (n >= 0 && size_t(n) < sizeof small) {
    out.assign(small, size_t(n));
  } else if (n > 0) {
    out.resize(size_t(n) + 1);
    (void)std::vsnprintf(out.data(), out.size(), fmt, args); // sized by the first call
    out.resize(size_t(n));
  }
  va_end(args);
  return out;
}

// The platform's colours are 0x00BBGGRR; system colours have the high byte set.
int Plain(int c) {
  if ((c & 0xFF000000) == 0) return c;
  switch (c & 0xFF) {
  case 0x05:
  case 0x0E:
    return 0xFFFFFF;
  case 0x08:
  case 0x12:
    return 0x000000;
  case 0x0D:
    return 0xD77800;
  case 0x10:
    return 0xA0A0A0;
  case 0x11:
    return 0x6D6D6D;
  default:
    return 0xF0F0F0;
  }
}

std::string Css(int c) {
  c = Plain(c);
  char buf[8];
  (void)std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF,
                      (c >> 16) & 0xFF);
  return buf;
}

constexpr int kFace = 0xF0F0F0, kWindow = 0xFFFFFF, kShadow = 0xA0A0A0, kDark = 0x696969,
              kLight = 0xFFFFFF, kGreyText = 0x6D6D6D, kHighlight = 0xD77800, kLines = 0xC0C0C0;
constexpr int kBar = 17; // thickness of a scroll bar

// Windows-1252 text as XML character data (UTF-8, markup escaped, control
// characters as blanks).
std::string Xml(const std::string &cp1252) {
  std::string s;
  for (char ch : cp1252) {
    const unsigned char b = (unsigned char)ch;
    if (b < 32)
      s += ' ';
    else
      s += ch;
  }
  const std::string u = Cp1252ToUtf8(s);
  std::string out;
  out.reserve(u.size());
  for (char ch : u) {
    switch (ch) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    default:
      out += ch;
    }
  }
  return out;
}

double FontPx(const TFont &f) {
  return std::max(1, f.Size) * 96.0 / 72.0;
}
// Average character width of the drawing font, for a memo's columns.
double CharPx(const TFont &f) {
  return FontPx(f) * (f.Bold ? 0.6 : 0.55);
}
// The width of `text` as drawn in `f`.
double TextPx(std::string_view text, const TFont &f) {
  return FontTextWidth(text, FontPx(f), f.Bold);
}

// Every text is drawn in the one narrow font whose widths the pictures know, so that a caption
// laid out for the forms' dialog font fits its box; the form's own font follows for a viewer
// without it (the labels keep their measured length there too).
std::string Family(const std::string &name) {
  std::string n = name.empty() ? "MS Sans Serif" : name;
  std::string fam = std::string("'") + kPictureFont + "', '" + Xml(n) + "'";
  if (SameText(n, "MS Sans Serif")) fam += ", Tahoma";
  return fam + ", Arial, Helvetica, sans-serif";
}

std::string FontAttrs(const TFont &f, int colour, double px = 0) {
  char buf[64];
  (void)std::snprintf(buf, sizeof buf, "%.2f", px > 0 ? px : FontPx(f)); // a few characters
  std::string a = " font-family=\"" + Family(f.Name) + "\" font-size=\"" + buf + "px\"";
  if (f.Bold) a += " font-weight=\"bold\"";
  return a + " fill=\"" + Css(colour) + "\"";
}

class TSvg {
public:
  std::string out;
  int clipId = 0;

  void Rect(int x, int y, int w, int h, int fill, int stroke = -1) {
    if (w <= 0 || h <= 0) return;
    out += Svgf("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\"", x, y, w, h,
                Css(fill).c_str());
    if (stroke >= 0) out += Svgf(" stroke=\"%s\"", Css(stroke).c_str());
    out += "/>\n";
  }
  void Line(int x1, int y1, int x2, int y2, int colour, const char *extra = "") {
    out += Svgf("<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\"%s/>\n", x1, y1, x2, y2,
                Css(colour).c_str(), extra);
  }
  // A 3D edge: raised (light top-left) or sunken (dark top-left), `depth`
  // pixels.
  void Edge(int x, int y, int w, int h, bool raised, int depth = 1) {
    for (int i = 0; i < depth; ++i) {
      const int tl = raised ? kLight : (i == 0 ? kShadow : kDark);
      const int br = raised ? (i == 0 ? kDark : kShadow) : kLight;
      Line(x + i, y + i, x + w - 1 - i, y + i, tl, " shape-rendering=\"crispEdges\"");
      Line(x + i, y + i, x + i, y + h - 1 - i, tl, " shape-rendering=\"crispEdges\"");
      Line(x + i, y + h - 1 - i, x + w - 1 - i, y + h - 1 - i, br,
           " shape-rendering=\"crispEdges\"");
      Line(x + w - 1 - i, y + i, x + w - 1 - i, y + h - 1 - i, br,
           " shape-rendering=\"crispEdges\"");
    }
  }
  // Text whose baseline sits at y; `underline` marks one character (an
  // accelerator).
  void Text(double x, double y, const std::string &text, const TFont &f, int colour,
            const char *anchor = "start", int underline = -1) {
    out +=
        Svgf("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"%s\" xml:space=\"preserve\"", x, y, anchor);
    out += FontAttrs(f, colour) + ">";
    if (underline >= 0 && underline < (int)text.size()) {
      out += Xml(text.substr(0, underline));
      out += "<tspan text-decoration=\"underline\">" + Xml(text.substr(underline, 1)) + "</tspan>";
      out += Xml(text.substr(underline + 1));
    } else {
      out += Xml(text);
    }
    out += "</text>\n";
  }
  // A label's line, anchored at x, fitted into `box` pixels: drawn as it is when it fits, else a
  // little smaller (down to kMinShrink of its size) and whatever is still too wide narrowed to
  // the box, so that it reads whole instead of running into the control beside it. Its length
  // is given too, for a viewer that draws it in another font.
  void FittedText(double x, double y, const std::string &text, const TFont &f, int colour,
                  const char *anchor, double box) {
    constexpr double kMinShrink = 0.85;
    // Sizes rounded down as written, so that the drawn text is not a hair wider than measured.
    double px = std::floor(FontPx(f) * 100) / 100;
    double width = FontTextWidth(text, px, f.Bold);
    double scale = 1;
    if (width > box && width > 0) {
      px = std::floor(px * std::max(kMinShrink, box / width) * 100) / 100;
      width = FontTextWidth(text, px, f.Bold);
      if (width > box) scale = std::floor(std::max(0.0, box) / width * 10000) / 10000;
    }
    out +=
        Svgf("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"%s\" xml:space=\"preserve\"", x, y, anchor);
    if (scale < 1) // narrowed about the anchor, which stays where it is
      out += Svgf(" transform=\"matrix(%.4f 0 0 1 %.2f 0)\"", scale, x * (1 - scale));
    if (width > 0) out += Svgf(" textLength=\"%.2f\" lengthAdjust=\"spacingAndGlyphs\"", width);
    out += FontAttrs(f, colour, px) + ">" + Xml(text) + "</text>\n";
  }
  std::string BeginClip(int x, int y, int w, int h) {
    std::string id = Svgf("c%d", ++clipId); // returned: not const, so it moves
    out += Svgf("<clipPath id=\"%s\"><rect x=\"%d\" y=\"%d\" width=\"%d\" "
                "height=\"%d\"/>"
                "</clipPath>\n<g clip-path=\"url(#%s)\">\n",
                id.c_str(), x, y, std::max(0, w), std::max(0, h), id.c_str());
    return id;
  }
  void EndClip() { out += "</g>\n"; }
};

// The caption of a button without its "&" marks, and the marked character.
std::string Accel(const std::string &caption, int &pos) {
  std::string out;
  pos = -1;
  for (size_t i = 0; i < caption.size(); ++i) {
    char ch = caption[i];
    if (ch == '&' && i + 1 < caption.size()) {
      ch = caption[++i];
      if (ch != '&' && pos < 0) pos = (int)out.size();
    }
    out += ch;
  }
  return out;
}

std::vector<std::string> WrapPx(const std::string &text, double width, const TFont &f) {
  std::vector<std::string> lines;
  std::string para, line;
  auto flushWord = [&](const std::string &word) {
    if (line.empty())
      line = word;
    else if (TextPx(line + " " + word, f) <= width)
      line += " " + word;
    else
      lines.push_back(line), line = word;
  };
  std::string word;
  for (size_t i = 0; i <= text.size(); ++i) {
    const char ch = i < text.size() ? text[i] : '\n';
    if (ch == '\r') continue;
    if (ch == ' ' || ch == '\n') {
      if (!word.empty()) flushWord(word), word.clear();
      if (ch == '\n') lines.push_back(line), line.clear();
    } else {
      word += ch;
    }
  }
  while (!lines.empty() && lines.back().empty() && lines.size() > 1) lines.pop_back();
  return lines;
}

class TPainter {
public:
  TSvg svg;
  const TForm *form = nullptr;

  int Background(const TControl *c) const {
    for (const TControl *p = c; p; p = p->Parent()) {
      if (dynamic_cast<const TForm *>(p)) return p->Color;
      if (!p->ParentColor && !(p->Transparent && dynamic_cast<const TLabel *>(p))) return p->Color;
    }
    return kFace;
  }

  // The box that holds the layout's logo (pictures of the layout are not drawn) is left out
  // whole, as the terminal leaves it out: its plain fill would stand where the operator sees the
  // logo, like a picture that failed to load.
  static bool OnlyPictures(const TWinControl &w) {
    if (!w.Caption().empty() || w.ControlCount() == 0) return false;
    for (int i = 0; i < w.ControlCount(); ++i)
      if (!dynamic_cast<const TImage *>(w.Controls(i))) return false;
    return true;
  }

  bool Focused(const TControl *c) const { return form && form->ActiveControl() == c; }

  void Children(const TWinControl &w, int ox, int oy) {
    for (int i = 0; i < w.ControlCount(); ++i) {
      const TControl *c = w.Controls(i);
      if (c && c->Visible()) Control(*c, ox + c->Left, oy + c->Top);
    }
  }

  void Control(const TControl &c, int x, int y) {
    const int w = c.Width, h = c.Height;
    const int textColour = c.Enabled() ? c.Font.Color : kGreyText;
    if (dynamic_cast<const TImage *>(&c)) return; // pictures of the layout are not drawn
    if (auto *g = dynamic_cast<const TStringGrid *>(&c)) return Grid(*g, x, y);
    if (auto *m = dynamic_cast<const TMemo *>(&c)) return Memo(*m, x, y);
    if (auto *cb = dynamic_cast<const TComboBox *>(&c)) {
      svg.Rect(x, y, w, h, c.Enabled() ? kWindow : kFace);
      svg.Edge(x, y, w, h, false, 2);
      const int bw = std::min(17, w - 4);
      svg.Rect(x + w - 2 - bw, y + 2, bw, h - 4, kFace);
      svg.Edge(x + w - 2 - bw, y + 2, bw, h - 4, true, 1);
      svg.out += Svgf("<path d=\"M%d %d h7 l-3.5 4 z\" fill=\"%s\"/>\n", x + w - 2 - bw / 2 - 4,
                      y + h / 2 - 2, Css(textColour).c_str());
      svg.BeginClip(x + 2, y + 2, w - bw - 6, h - 4);
      svg.Text(x + 4, y + h / 2.0 + FontPx(c.Font) * 0.35, cb->Caption(), c.Font, textColour);
      svg.EndClip();
      if (Focused(&c)) FocusRing(x, y, w, h);
      return;
    }
    if (auto *e = dynamic_cast<const TCustomEdit *>(&c)) {
      auto *me = dynamic_cast<const TMaskEdit *>(&c);
      std::string text = me && !me->Mask().Empty() ? me->EditText() : e->Text();
      if (Privacy().Hides(&c)) text = MaskValue(text);
      const int bg = !c.Enabled() ? kFace : c.ParentColor ? kWindow : c.Color;
      svg.Rect(x, y, w, h, bg);
      svg.Edge(x, y, w, h, false, 2);
      const double base = y + h / 2.0 + FontPx(c.Font) * 0.35;
      svg.BeginClip(x + 2, y + 2, w - 4, h - 4);
      svg.Text(x + 4, base, text, c.Font, textColour);
      if (Focused(&c)) {
        const size_t caret = static_cast<size_t>(std::clamp(e->SelStart(), 0, (int)text.size()));
        const double cx = x + 4 + TextPx(std::string_view(text).substr(0, caret), c.Font);
        svg.out += Svgf("<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\" "
                        "stroke=\"#000000\"/>\n",
                        cx, y + 4, cx, y + h - 4);
      }
      svg.EndClip();
      if (Focused(&c)) FocusRing(x, y, w, h);
      return;
    }
    if (dynamic_cast<const TButtonControl *>(&c)) {
      const int face = c.ParentColor ? kFace : c.Color;
      svg.Rect(x, y, w, h, face);
      if (Focused(&c)) {
        svg.Rect(x, y, w, h, face, 0x000000);
        svg.Edge(x + 1, y + 1, w - 2, h - 2, true, 2);
        svg.out += Svgf("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"none\" "
                        "stroke=\"#000000\" stroke-dasharray=\"1,1\"/>\n",
                        x + 4, y + 4, std::max(0, w - 8), std::max(0, h - 8));
      } else {
        svg.Edge(x, y, w, h, true, 2);
      }
      int pos = -1;
      const std::string text = Accel(c.Caption(), pos);
      const double base = y + h / 2.0 + FontPx(c.Font) * 0.35;
      if (!c.Enabled()) svg.Text(x + w / 2.0 + 1, base + 1, text, c.Font, kLight, "middle", pos);
      svg.Text(x + w / 2.0, base, text, c.Font, textColour, "middle", pos);
      return;
    }
    if (auto *wc = dynamic_cast<const TWinControl *>(&c)) { // panels and other containers
      if (OnlyPictures(*wc)) return;
      if (!c.ParentColor) svg.Rect(x, y, w, h, c.Color);
      if (auto *p = dynamic_cast<const TPanel *>(&c)) {
        int inset = 0;
        if (p->BevelOuter != bvNone) svg.Edge(x, y, w, h, p->BevelOuter == bvRaised, 1), ++inset;
        if (p->BevelInner != bvNone)
          svg.Edge(x + inset, y + inset, w - 2 * inset, h - 2 * inset, p->BevelInner == bvRaised,
                   1);
        if (wc->ControlCount() == 0 && !c.Caption().empty())
          svg.Text(x + w / 2.0, y + h / 2.0 + FontPx(c.Font) * 0.35, c.Caption(), c.Font,
                   textColour, "middle");
      }
      svg.BeginClip(x, y, w, h);
      Children(*wc, x, y);
      svg.EndClip();
      return;
    }
    // Labels.
    if (!c.Transparent && !c.ParentColor) svg.Rect(x, y, w, h, c.Color);
    const double px = FontPx(c.Font);
    std::vector<std::string> lines;
    if (c.WordWrap)
      lines = WrapPx(c.Caption(), w, c.Font);
    else
      lines.push_back(c.Caption());
    const char *anchor = c.Alignment == taRightJustify ? "end"
                         : c.Alignment == taCenter     ? "middle"
                                                       : "start";
    // A disabled label's embossed copy lies a pixel right and down: it is fitted too.
    const double room = w - (c.Enabled() ? 0 : 1);
    const double tx = c.Alignment == taRightJustify ? x + room
                      : c.Alignment == taCenter     ? x + room / 2.0
                                                    : x;
    for (size_t i = 0; i < lines.size(); ++i) {
      const double base = y + px * 0.95 + i * px * 1.2;
      if (!c.Enabled()) svg.FittedText(tx + 1, base + 1, lines[i], c.Font, kLight, anchor, room);
      svg.FittedText(tx, base, lines[i], c.Font, textColour, anchor, room);
    }
  }

  void FocusRing(int x, int y, int w, int h) {
    svg.out +=
        Svgf("<rect x=\"%.1f\" y=\"%.1f\" width=\"%d\" height=\"%d\" fill=\"none\" "
             "stroke=\"%s\" stroke-width=\"1\"/>\n",
             x + 0.5, y + 0.5, std::max(0, w - 1), std::max(0, h - 1), Css(kHighlight).c_str());
  }

  // One scroll bar: two arrow boxes and, when there is something to scroll, the thumb at
  // `pos` of `range` positions over a track that shows `shown` of `total`.
  void ScrollBar(int x, int y, int len, bool vertical, int pos, int range, int shown, int total) {
    const int b = kBar;
    const int w = vertical ? b : len, h = vertical ? len : b;
    svg.Rect(x, y, w, h, 0xEAEAEA);
    for (int end : {0, len - b}) {
      const int ax = vertical ? x : x + end, ay = vertical ? y + end : y;
      svg.Rect(ax, ay, b, b, kFace);
      svg.Edge(ax, ay, b, b, true, 1);
    }
    const int track = len - 2 * b;
    if (range <= 0 || track <= 0) return;
    const int thumb = std::clamp(track * shown / std::max(1, total), 8, track);
    const int at = b + (track - thumb) * std::clamp(pos, 0, range) / range;
    if (vertical) {
      svg.Rect(x, y + at, b, thumb, kFace);
      svg.Edge(x, y + at, b, thumb, true, 1);
    } else {
      svg.Rect(x + at, y, thumb, b, kFace);
      svg.Edge(x + at, y, thumb, b, true, 1);
    }
  }

  void Memo(const TMemo &m, int x, int y) {
    const int w = m.Width, h = m.Height;
    svg.Rect(x, y, w, h, m.ParentColor ? kWindow : m.Color);
    svg.Edge(x, y, w, h, false, 2);
    const bool vbar = m.VertScrollBar(), hbar = m.HorzScrollBar();
    const int tw = w - 4 - (vbar ? kBar : 0), th = h - 4 - (hbar ? kBar : 0);
    const double lh = FontPx(m.Font) * 1.25;
    const int fits = std::max(1, (int)(th / lh));
    const int cols = std::max(1, (int)((tw - 4) / CharPx(m.Font)));
    const int n = m.Lines.Count(), longest = m.LongestLine();
    svg.BeginClip(x + 2, y + 2, tw, th);
    const int top = std::clamp(m.TopLine, 0, std::max(0, n - 1));
    const size_t left = static_cast<size_t>(std::clamp(m.LeftCol, 0, longest));
    for (int i = 0; i < fits + 1 && top + i < n; ++i) {
      const std::string &line = m.Lines[top + i];
      svg.Text(x + 4, y + 2 + lh * (i + 0.8), left < line.size() ? line.substr(left) : "", m.Font,
               m.Enabled() ? m.Font.Color : kGreyText);
    }
    svg.EndClip();
    if (vbar) ScrollBar(x + 2 + tw, y + 2, th, true, top, n - fits, fits, n);
    if (hbar) ScrollBar(x + 2, y + 2 + th, tw, false, (int)left, longest - cols, cols, longest);
    if (vbar && hbar) svg.Rect(x + 2 + tw, y + 2 + th, kBar, kBar, kFace);
    if (Focused(&m)) FocusRing(x, y, w, h);
  }

  void Grid(const TStringGrid &g, int x, int y) {
    const int w = g.Width, h = g.Height;
    const int cellBg = g.ParentColor ? kWindow : g.Color;
    svg.Rect(x, y, w, h, cellBg);
    svg.Edge(x, y, w, h, false, 2);
    svg.BeginClip(x + 2, y + 2, w - 4, h - 4);
    const int rh = g.DefaultRowHeight;
    const bool focused = Focused(&g);
    int cy = y + 2;
    for (int r = 0; r < g.RowCount() && cy < y + h; ++r) {
      int cx = x + 2;
      for (int c = 0; c < g.ColCount(); ++c) {
        const int cw = c < (int)g.ColWidths.size() ? g.ColWidths[c] : g.DefaultColWidth;
        const bool fixed = c < g.FixedCols || r < g.FixedRows;
        const bool current = !fixed && c == g.Col() && r == g.Row();
        int bg = fixed ? kFace : cellBg;
        int fg = g.Enabled() ? g.Font.Color : kGreyText;
        std::string text = g.Cell(c, r);
        if (current && g.EditorMode()) {
          text = g.EditText();
        } else if (current && focused) {
          bg = kHighlight;
          fg = 0xFFFFFF;
        }
        if (!fixed && Privacy().Hides(&g)) text = MaskValue(text);
        svg.Rect(cx, cy, cw, rh, bg);
        if (fixed) svg.Edge(cx, cy, cw, rh, true, 1);
        svg.Text(cx + 2, cy + rh / 2.0 + FontPx(g.Font) * 0.35, text, g.Font, fg);
        if (current && (focused || g.EditorMode()))
          svg.out += Svgf("<rect x=\"%d.5\" y=\"%d.5\" width=\"%d\" "
                          "height=\"%d\" fill=\"none\" "
                          "stroke=\"#000000\" stroke-dasharray=\"1,1\"/>\n",
                          cx, cy, std::max(0, cw - 1), std::max(0, rh - 1));
        cx += cw;
        if (g.Options & (goVertLine | goFixedVertLine)) {
          svg.Line(cx, cy, cx, cy + rh, kLines);
          cx += 1;
        }
      }
      cy += rh;
      if (g.Options & (goHorzLine | goFixedHorzLine)) {
        svg.Line(x + 2, cy, cx, cy, kLines);
        cy += 1;
      }
    }
    svg.EndClip();
  }

  void MessageBox(const TMessageBoxState &box, int sw, int sh) {
    TFont font; // the platform's message font
    font.Name = "MS Sans Serif";
    font.Size = 8;
    const double lh = FontPx(font) * 1.3;
    const int icon = box.Flags & 0xF0;
    TFont bold = font; // the title's
    bold.Bold = true;
    std::vector<std::string> lines = WrapPx(LoggedText(box.Text), sw * 0.7, font);
    int textW = 0;
    for (const auto &l : lines) textW = std::max(textW, (int)TextPx(l, font) + 1);
    const int iconW = icon ? 44 : 0;
    const int w = std::clamp(
        std::max({textW + iconW + 36, (int)TextPx(box.Caption, bold) + 60, 120}), 120, sw - 8);
    const int textH = std::max((int)(lines.size() * lh), icon ? 32 : 0);
    const int h = 22 + 16 + textH + 16 + 23 + 12;
    const int x = (sw - w) / 2, y = (sh - h) / 2;
    // Shadow, window, title bar.
    svg.out += Svgf("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"#000000\" "
                    "fill-opacity=\"0.25\"/>\n",
                    x + 4, y + 4, w, h);
    svg.Rect(x, y, w, h, kFace);
    svg.Edge(x, y, w, h, true, 2);
    svg.out += "<defs><linearGradient id=\"titlebar\" x1=\"0\" x2=\"1\" "
               "y1=\"0\" y2=\"0\">"
               "<stop offset=\"0\" stop-color=\"#000080\"/><stop offset=\"1\" "
               "stop-color=\"#1084D0\"/></linearGradient></defs>\n";
    svg.out += Svgf("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"18\" "
                    "fill=\"url(#titlebar)\"/>\n",
                    x + 3, y + 3, w - 6);
    svg.BeginClip(x + 3, y + 3, w - 6 - 20, 18);
    svg.Text(x + 7, y + 16, box.Caption, bold, 0xFFFFFF);
    svg.EndClip();
    // The window's close box.
    svg.Rect(x + w - 21, y + 5, 16, 14, kFace);
    svg.Edge(x + w - 21, y + 5, 16, 14, true, 1);
    svg.out += Svgf("<path d=\"M%d %d l6 6 M%d %d l-6 6\" stroke=\"#000000\" "
                    "stroke-width=\"1.5\"/>\n",
                    x + w - 16, y + 9, x + w - 10, y + 9);
    const int ix = x + 14, iy = y + 22 + 14;
    if (icon == MB_ICONSTOP) {
      svg.out += Svgf("<circle cx=\"%d\" cy=\"%d\" r=\"15\" fill=\"#E81123\" "
                      "stroke=\"#800000\"/>"
                      "<path d=\"M%d %d l12 12 M%d %d l-12 12\" stroke=\"#FFFFFF\" "
                      "stroke-width=\"3\"/>\n",
                      ix + 16, iy + 16, ix + 10, iy + 10, ix + 22, iy + 10);
    } else if (icon == MB_ICONEXCLAMATION) {
      svg.out += Svgf("<path d=\"M%d %d L%d %d L%d %d Z\" fill=\"#FFD700\" "
                      "stroke=\"#806000\"/>"
                      "<text x=\"%d\" y=\"%d\" text-anchor=\"middle\" font-family=\"Arial, "
                      "sans-serif\" font-size=\"20px\" font-weight=\"bold\" "
                      "fill=\"#000000\">!</text>\n",
                      ix + 16, iy + 1, ix + 32, iy + 30, ix, iy + 30, ix + 16, iy + 27);
    } else if (icon == MB_ICONINFORMATION || icon == 0x20) {
      svg.out += Svgf("<circle cx=\"%d\" cy=\"%d\" r=\"15\" fill=\"#0063B1\"/>"
                      "<text x=\"%d\" y=\"%d\" text-anchor=\"middle\" "
                      "font-family=\"Georgia, "
                      "serif\" font-size=\"20px\" font-weight=\"bold\" "
                      "fill=\"#FFFFFF\">%s</text>\n",
                      ix + 16, iy + 16, ix + 16, iy + 23, icon == 0x20 ? "?" : "i");
    }
    const double tx = x + 18 + iconW;
    const double ty = y + 22 + 16 + std::max(0.0, (textH - lines.size() * lh) / 2);
    for (size_t i = 0; i < lines.size(); ++i)
      svg.Text(tx, ty + lh * (i + 0.75), lines[i], font, 0x000000);
    // The OK button, focused.
    const int bw = 75, bh = 23;
    const int bx = x + (w - bw) / 2, by = y + h - 12 - bh;
    svg.Rect(bx, by, bw, bh, kFace, 0x000000);
    svg.Edge(bx + 1, by + 1, bw - 2, bh - 2, true, 2);
    svg.out += Svgf("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"none\" "
                    "stroke=\"#000000\" stroke-dasharray=\"1,1\"/>\n",
                    bx + 4, by + 4, bw - 8, bh - 8);
    svg.Text(bx + bw / 2.0, by + bh / 2.0 + FontPx(font) * 0.35, "OK", font, 0x000000, "middle");
  }
};

std::string SafeName(const std::string &name) {
  std::string out;
  for (char ch : name) {
    const bool ok = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') ||
                    (ch >= '0' && ch <= '9') || ch == '_' || ch == '-';
    out += ok ? ch : '_';
  }
  return out.empty() ? "form" : out;
}

} // namespace

std::string ScreenSvg(const TForm *form, const TMessageBoxState *box) {
  const int w = form && form->Width > 0 ? form->Width : 623;
  const int h = form && form->Height > 0 ? form->Height : 422;
  TPainter p;
  p.form = form;
  p.svg.out.reserve(16384);
  p.svg.out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  p.svg.out += Svgf("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
                    "viewBox=\"0 0 %d %d\">\n",
                    w, h, w, h);
  if (form) {
    p.svg.out += "<title>" + Xml(form->Name) + "</title>\n";
    p.svg.Rect(0, 0, w, h, form->Color);
    p.Children(*form, 0, 0);
  } else {
    p.svg.Rect(0, 0, w, h, 0x808000);
  }
  if (box) p.MessageBox(*box, w, h);
  p.svg.out += "</svg>\n";
  return p.svg.out;
}

TPictureWriter::TPictureWriter(const std::string &dir) : fDir(dir) {
  if (!fDir.empty() && fDir.back() != '/') fDir += '/';
  // Make the directory and its parents.
  for (size_t i = 1; i <= fDir.size(); ++i) {
    if (i == fDir.size() || fDir[i] == '/') {
      const std::string part = fDir.substr(0, i);
      if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) fOk = false;
    }
  }
  // A form is announced before its show handling runs and a box before it
  // opens: the picture is taken at the next repaint, when the screen has
  // settled.
  fObserver = Transcript().AddObserver([this](const TTranscript::Json &ev) {
    if (!ev.is_object()) return;
    const std::string kind = ev.value("ev", std::string());
    if (kind == "msgbox") {
      fPending.push_back({"msgbox", nullptr});
      return;
    }
    if (kind != "form") return;
    const std::string what = ev.value("what", std::string());
    const std::string name = Utf8ToCp1252(ev.value("form", std::string()));
    if (what == "show") {
      fPending.push_back({name, Application ? Application->ActiveForm() : nullptr});
    } else if (what == "close" || what == "hide" || what == "destroy") {
      // Gone before the screen settled: its picture is taken as it leaves (a
      // form being destroyed is not drawn any more).
      for (size_t i = 0; i < fPending.size(); ++i) {
        if (!fPending[i].form || fPending[i].name != name) continue;
        const TPending p = fPending[i];
        fPending.erase(fPending.begin() + i);
        if (what != "destroy") Write(p.name, p.form, nullptr);
        break;
      }
    }
  });
  if (Application) fRepaint = Application->AddRepaintObserver([this] { Settle(); });
}

TPictureWriter::~TPictureWriter() {
  Transcript().RemoveObserver(fObserver);
  if (fRepaint && Application) Application->RemoveRepaintObserver(fRepaint);
}

void TPictureWriter::Settle() {
  const std::vector<TPending> pending = std::move(fPending);
  fPending.clear();
  for (const auto &p : pending) {
    if (p.form)
      Write(p.name, p.form, nullptr);
    else
      Take(p.name);
  }
}

void TPictureWriter::Take(const std::string &what) {
  const TForm *form = Application ? Application->ActiveForm() : nullptr;
  const TMessageBoxState *box = Application ? Application->ActiveMessageBox() : nullptr;
  Write(what, form, what == "msgbox" ? box : nullptr);
}

void TPictureWriter::Write(const std::string &what, const TForm *form,
                           const TMessageBoxState *box) {
  const std::string path =
      fDir + Svgf("%03d-%s.svg", (int)fFiles.size() + 1, SafeName(what).c_str());
  std::FILE *f = OpenPrivateFile(path, false); // a screen may show a customer's data
  if (!f) {
    fOk = false;
    return;
  }
  const std::string svg = ScreenSvg(form, box);
  const bool ok = std::fwrite(svg.data(), 1, svg.size(), f) == svg.size();
  if (std::fclose(f) != 0 || !ok) fOk = false;
  fFiles.push_back(path);
}
