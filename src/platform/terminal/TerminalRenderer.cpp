#include "platform/terminal/TerminalRenderer.h"

#define NCURSES_WIDECHAR 1
#include <ncursesw/curses.h>

#include <algorithm>
#include <cstring>
#include <langinfo.h>

#include "platform/forms/Grids.h"
#include "platform/forms/StdCtrls.h"
#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"

namespace {

// Colours are the platform's 0x00BBGGRR.
constexpr int kBtnFace = 0xF0F0F0;
constexpr int kWindow = 0xFFFFFF;
constexpr int kBlack = 0x000000;
constexpr int kGrey = 0x808080;
constexpr int kShadow = 0xA0A0A0;
constexpr int kTitleBar = 0x800000; // navy
constexpr int kWhite = 0xFFFFFF;
constexpr int kStopRed = 0x0000C0;
constexpr int kWarnYellow = 0x00C0C0;

int R(int c) {
  return c & 0xFF;
}
int G(int c) {
  return (c >> 8) & 0xFF;
}
int B(int c) {
  return (c >> 16) & 0xFF;
}

// The platform's system colours (high byte set) as plain colours.
int PlainColour(int c) {
  if ((c & 0xFF000000) == 0) return c;
  switch (c & 0xFF) {
  case 0x05: // window
  case 0x0E: // highlighted text
    return kWindow;
  case 0x08: // window text
  case 0x12: // button text
    return kBlack;
  case 0x0D: // highlight
    return 0xD77800;
  case 0x10: // button shadow
    return kShadow;
  case 0x11: // grey text
    return 0x6D6D6D;
  default:
    return kBtnFace;
  }
}

bool Utf8Locale() {
  const char *cs = nl_langinfo(CODESET);
  return cs && (std::strcmp(cs, "UTF-8") == 0 || std::strcmp(cs, "utf8") == 0);
}

} // namespace

// What the renderer draws into: a frame of cells, of which only those that differ from the
// frame drawn before reach curses; and the colour pairs, made on demand from the platform's
// colours, nearest to what the terminal has.
class TTerminalSurface {
public:
  struct TCell {
    char32_t ch = 0;
    attr_t attr = 0;
    short pair = -1;
    bool operator==(const TCell &) const = default;
  };
  std::vector<TCell> frame, shown;
  int cols = 0, lines = 0;
  bool utf8 = false, colours = false, poor = true; // as the terminal was at this frame

  // A new frame of the terminal's size; everything is sent again after a resize or a redraw.
  void Begin(bool resend) {
    utf8 = Utf8Locale();
    colours = has_colors();
    poor = !colours || COLORS < 16;
    if (resend || cols != COLS || lines != LINES) {
      cols = COLS, lines = LINES;
      shown.assign(size_t(std::max(0, cols * lines)), TCell{});
    }
    frame.assign(shown.size(), TCell{});
  }
  void Flush() {
    for (int y = 0; y < lines; ++y) {
      for (int x = 0; x < cols; ++x) {
        const size_t i = size_t(y) * size_t(cols) + size_t(x);
        if (frame[i] == shown[i]) continue;
        wchar_t w[2] = {(wchar_t)frame[i].ch, 0};
        cchar_t cc;
        setcchar(&cc, w, frame[i].attr, frame[i].pair < 0 ? 0 : frame[i].pair, nullptr);
        mvwadd_wch(stdscr, y, x, &cc);
        shown[i] = frame[i];
      }
    }
  }
  short Pair(int fg, int bg) {
    if (!colours) return 0;
    const auto key = std::make_pair(fg, bg);
    if (key == fLastKey) return fLastPair;
    auto it = fPairs.find(key);
    if (it == fPairs.end()) it = fPairs.emplace(key, Make(fg, bg)).first;
    fLastKey = key;
    fLastPair = it->second;
    return it->second;
  }
  // Fewer than 16 colours: grey does not exist and dimming stands for it.
  bool Poor() const { return poor; }

private:
  std::map<std::pair<int, int>, short> fPairs;    // platform colours -> curses pair
  std::map<std::pair<short, short>, short> fMade; // terminal colours -> curses pair
  std::pair<int, int> fLastKey{-1, -1};
  short fLastPair = 0;
  int fNext = 1;

  short Make(int fg, int bg) {
    short f = Index(PlainColour(fg)), b = Index(PlainColour(bg));
    if (f == b) f = Index(Luma(PlainColour(bg)) > 128 ? kBlack : kWhite);
    if (f == b) f = (b == COLOR_BLACK) ? COLOR_WHITE : COLOR_BLACK;
    const auto key = std::make_pair(f, b);
    auto it = fMade.find(key);
    if (it != fMade.end()) return it->second;
    if (fNext >= COLOR_PAIRS || fNext >= 0x7FFF) return 0;
    const short p = (short)fNext++;
    init_pair(p, f, b);
    fMade.emplace(key, p);
    return p;
  }

  static int Luma(int c) { return (R(c) * 299 + G(c) * 587 + B(c) * 114) / 1000; }
  static int Dist(int r, int g, int b, int r2, int g2, int b2) {
    return (r - r2) * (r - r2) + (g - g2) * (g - g2) + (b - b2) * (b - b2);
  }
  static short Index(int c) {
    static const int base[16][3] = {{0, 0, 0},       {205, 0, 0},   {0, 205, 0},   {205, 205, 0},
                                    {0, 0, 238},     {205, 0, 205}, {0, 205, 205}, {229, 229, 229},
                                    {127, 127, 127}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                    {92, 92, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    const int r = R(c), g = G(c), b = B(c);
    const int n = COLORS >= 16 ? 16 : 8;
    int best = 0, bestD = INT32_MAX;
    for (int i = 0; i < n; ++i) {
      const int d = Dist(r, g, b, base[i][0], base[i][1], base[i][2]);
      if (d < bestD) best = i, bestD = d;
    }
    if (COLORS >= 256) {
      static const int lv[6] = {0, 95, 135, 175, 215, 255};
      auto near = [](int v) {
        int k = 0;
        for (int i = 1; i < 6; ++i)
          if (std::abs(lv[i] - v) < std::abs(lv[k] - v)) k = i;
        return k;
      };
      const int ri = near(r), gi = near(g), bi = near(b);
      int d = Dist(r, g, b, lv[ri], lv[gi], lv[bi]);
      if (d < bestD) best = 16 + 36 * ri + 6 * gi + bi, bestD = d;
      for (int i = 0; i < 24; ++i) {
        const int v = 8 + 10 * i;
        d = Dist(r, g, b, v, v, v);
        if (d < bestD) best = 232 + i, bestD = d;
      }
    }
    return (short)best;
  }
};

namespace {

struct TStyle {
  int fg = kBlack, bg = kBtnFace;
  attr_t attr = A_NORMAL;
};

class TCanvas {
public:
  TCanvas(TTerminalSurface &surface) : fPal(surface), fUtf8(surface.utf8) {}

  void Put(int x, int y, char32_t cp, const TStyle &s, const TCellRect &clip) {
    if (!clip.Contains(x, y) || x < 0 || y < 0 || x >= fPal.cols || y >= fPal.lines) return;
    if (cp < 32 || cp == 127 || (cp >= 0x80 && cp < 0xA0)) cp = ' ';
    if (!fUtf8 && cp > 126) cp = Ascii(cp);
    fPal.frame[size_t(y) * size_t(fPal.cols) + size_t(x)] = {cp, s.attr, fPal.Pair(s.fg, s.bg)};
  }
  // Windows-1252 text; `underline` marks one character (an accelerator).
  void Text(int x, int y, const std::string &text, const TStyle &s, const TCellRect &clip,
            int underline = -1) {
    for (size_t i = 0; i < text.size(); ++i) {
      TStyle st = s;
      if ((int)i == underline) st.attr |= A_UNDERLINE;
      Put(x + (int)i, y, cp1252::ToCodePoint((unsigned char)text[i]), st, clip);
    }
  }
  void Fill(const TCellRect &r, const TStyle &s, const TCellRect &clip) {
    const TCellRect in = r.Intersect(clip).Intersect(TCellRect{0, 0, fPal.cols, fPal.lines});
    if (in.Empty()) return;
    const TTerminalSurface::TCell cell{' ', s.attr, fPal.Pair(s.fg, s.bg)};
    for (int y = in.y; y < in.Bottom(); ++y) {
      auto row = fPal.frame.begin() + long(y) * fPal.cols;
      std::fill(row + in.x, row + in.Right(), cell);
    }
  }
  void Frame(const TCellRect &r, const TStyle &s, const TCellRect &clip) {
    if (r.w < 2 || r.h < 2) return;
    for (int x = r.x + 1; x < r.Right() - 1; ++x) {
      Put(x, r.y, Line('-'), s, clip);
      Put(x, r.Bottom() - 1, Line('-'), s, clip);
    }
    for (int y = r.y + 1; y < r.Bottom() - 1; ++y) {
      Put(r.x, y, Line('|'), s, clip);
      Put(r.Right() - 1, y, Line('|'), s, clip);
    }
    Put(r.x, r.y, Line('1'), s, clip);
    Put(r.Right() - 1, r.y, Line('2'), s, clip);
    Put(r.x, r.Bottom() - 1, Line('3'), s, clip);
    Put(r.Right() - 1, r.Bottom() - 1, Line('4'), s, clip);
  }
  // Box drawing and symbols, with plain ASCII when the terminal is not UTF-8.
  char32_t Line(char which) const {
    switch (which) {
    case '-':
      return fUtf8 ? U'\u2500' : '-';
    case '|':
      return fUtf8 ? U'\u2502' : '|';
    case '1':
      return fUtf8 ? U'\u250C' : '+';
    case '2':
      return fUtf8 ? U'\u2510' : '+';
    case '3':
      return fUtf8 ? U'\u2514' : '+';
    case '4':
      return fUtf8 ? U'\u2518' : '+';
    case 'v':
      return fUtf8 ? U'\u25BC' : 'v';
    case '#':
      return fUtf8 ? U'\u2588' : '#';
    case '.':
      return fUtf8 ? U'\u2591' : ':';
    default:
      return ' ';
    }
  }

private:
  TTerminalSurface &fPal;
  bool fUtf8;
  static char32_t Ascii(char32_t cp) {
    // Latin letters without their accents, for terminals that cannot show them.
    static const char latin[] = "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYPsaaaaaaaceeeeiiiidnooooo/ouuuuypy";
    if (cp >= 0xC0 && cp <= 0xFF) return (char32_t)latin[cp - 0xC0];
    if (cp == 0xAA) return 'a';
    if (cp == 0xBA) return 'o';
    return '?';
  }
};

} // namespace

TTerminalRenderer::TTerminalRenderer() : fPalette(new TTerminalSurface) {}
TTerminalRenderer::~TTerminalRenderer() {
  delete fPalette;
}

int TTerminalRenderer::BackgroundOf(const TControl *c) const {
  for (const TControl *p = c; p; p = p->Parent()) {
    const unsigned type = ControlType(p);
    if (type & kIsForm) return PlainColour(p->Color);
    const bool ownBg = !p->ParentColor && !(p->Transparent && (type & kIsLabel));
    if (ownBg) return PlainColour(p->Color);
  }
  return kBtnFace;
}

void TTerminalRenderer::Redraw() {
  clearok(curscr, TRUE);
  fResend = true;
}

void TTerminalRenderer::Paint(const TPromptBox *prompt) {
  fCursorX = fCursorY = -1;
  fBox = TCellRect{};
  TForm *form = Application ? Application->ActiveForm() : nullptr;
  fForm = form;
  fPalette->Begin(fResend);
  fResend = false;
  TCanvas cv(*fPalette);
  const TCellRect screen{0, 0, COLS, LINES};
  if (form) {
    fLayout.Update(*form, COLS, LINES);
    DrawForm(*form);
  } else {
    cv.Fill(screen, TStyle{kWhite, kBlack, A_NORMAL}, screen);
  }
  const TMessageBoxState *box = Application ? Application->ActiveMessageBox() : nullptr;
  if (box) DrawMessageBox(*box);
  if (prompt) DrawPrompt(*prompt);
  fPalette->Flush();
  if (fCursorX >= 0 && fCursorY >= 0) {
    curs_set(1);
    wmove(stdscr, fCursorY, fCursorX);
  } else {
    curs_set(0);
    wmove(stdscr, std::max(0, LINES - 1), 0);
  }
  wnoutrefresh(stdscr);
  doupdate();
}

void TTerminalRenderer::DrawForm(const TForm &form) {
  TCanvas cv(*fPalette);
  const TCellRect screen{0, 0, COLS, LINES};
  cv.Fill(screen, TStyle{kBlack, PlainColour(form.Color), A_NORMAL}, screen);
  for (const auto &it : fLayout.Items()) DrawControl(it);
}

void TTerminalRenderer::DrawControl(const TLaidControl &it) {
  TCanvas cv(*fPalette);
  TControl *c = it.control;
  const TCellRect &r = it.rect;
  const TCellRect &clip = it.clip;
  if (clip.Empty()) return;
  const bool focused = fForm && fForm->ActiveControl() == c && !Application->ActiveMessageBox();
  const bool enabled = c->Enabled();
  const int bg = BackgroundOf(c);
  int fg = PlainColour(c->Font.Color);
  attr_t attr = c->Font.Bold ? A_BOLD : A_NORMAL;
  if (!enabled) {
    if (fPalette->Poor())
      attr |= A_DIM;
    else
      fg = kGrey;
  }
  const TStyle plain{fg, bg, attr};

  switch (it.kind) {
  case TLaidKind::Panel: {
    cv.Fill(r, TStyle{kBlack, bg, A_NORMAL}, clip);
    if (it.frame) cv.Frame(r, TStyle{kGrey, bg, A_NORMAL}, clip);
    // A panel shows its caption only when it holds nothing else.
    bool holds = false;
    for (const auto &o : fLayout.Items())
      if (o.parent >= 0 && fLayout.Items()[o.parent].control == c) holds = true;
    const std::string cap = c->Caption();
    if (!holds && !cap.empty()) {
      const int x = r.x + std::max(0, (r.w - (int)cap.size()) / 2);
      cv.Text(x, r.y + r.h / 2, cap, plain, clip);
    }
    break;
  }
  case TLaidKind::Label: {
    const std::string text = c->Caption();
    if (!it.columns.empty()) { // a grid's heading: each word over its column
      const auto words = TTerminalLayout::HeadingWords(text);
      for (size_t i = 0; i < words.size() && i < it.columns.size(); ++i)
        cv.Text(r.x + it.columns[i], r.y, words[i], plain, clip);
      break;
    }
    std::vector<std::string> lines;
    if (r.h > 1) {
      lines = TTerminalLayout::Wrap(text, r.w);
    } else { // one line, as the layout measured it: line breaks read as blanks
      std::string one;
      for (char ch : text)
        if (ch != '\r') one += (ch == '\n' || ch == '\t') ? ' ' : ch;
      lines.push_back(one);
    }
    for (int i = 0; i < (int)lines.size() && i < r.h; ++i) {
      const std::string &line = lines[i];
      int x = r.x;
      if (c->Alignment == taRightJustify)
        x = r.Right() - (int)line.size();
      else if (c->Alignment == taCenter)
        x = r.x + (r.w - (int)line.size()) / 2;
      cv.Text(std::max(r.x, x), r.y + i, line, plain, clip);
    }
    break;
  }
  case TLaidKind::Edit: {
    auto *e = static_cast<TCustomEdit *>(c);
    auto *me = (ControlType(c) & kIsMaskEdit) ? static_cast<TMaskEdit *>(c) : nullptr;
    const std::string text = me && !me->Mask().Empty() ? me->EditText() : e->Text();
    const int fx = it.frame ? r.x + 1 : r.x;
    const int fw = it.frame ? r.w - 2 : r.w;
    if (it.frame) {
      cv.Put(r.x, r.y, '[', TStyle{kGrey, bg, A_NORMAL}, clip);
      cv.Put(r.Right() - 1, r.y, ']', TStyle{kGrey, bg, A_NORMAL}, clip);
    }
    const int ebg = c->ParentColor ? kWindow : PlainColour(c->Color);
    TStyle fs{fg, ebg, attr};
    if (focused) fs.attr |= A_REVERSE | A_BOLD;
    const int caret = std::clamp(e->SelStart(), 0, (int)text.size());
    int first = 0;
    if (focused && caret >= fw) first = caret - fw + 1;
    cv.Fill(TCellRect{fx, r.y, fw, 1}, fs, clip);
    cv.Text(fx, r.y, text.substr(std::min((int)text.size(), first), std::max(0, fw)), fs, clip);
    if (focused) {
      const int cx = fx + caret - first;
      if (clip.Contains(cx, r.y) || (cx == fx + fw && it.frame)) fCursorX = cx, fCursorY = r.y;
    }
    break;
  }
  case TLaidKind::Button: {
    int accel = -1;
    const std::string text = TTerminalLayout::ButtonText(c->Caption(), &accel);
    const int face = c->ParentColor ? kBtnFace : PlainColour(c->Color);
    TStyle fs{fg, face, attr};
    if (focused) fs.attr |= A_REVERSE | A_BOLD;
    cv.Fill(r, fs, clip);
    if (it.frame) {
      cv.Put(r.x, r.y, '<', fs, clip);
      cv.Put(r.Right() - 1, r.y, '>', fs, clip);
    }
    const int x = r.x + std::max(0, (r.w - (int)text.size()) / 2);
    cv.Text(x, r.y, text, fs, clip, accel);
    break;
  }
  case TLaidKind::Combo: {
    auto *cb = static_cast<TComboBox *>(c);
    const int fx = it.frame ? r.x + 1 : r.x;
    const int fw = it.frame ? r.w - 2 : r.w;
    if (it.frame) {
      cv.Put(r.x, r.y, '[', TStyle{kGrey, bg, A_NORMAL}, clip);
      cv.Put(r.Right() - 1, r.y, ']', TStyle{kGrey, bg, A_NORMAL}, clip);
    }
    TStyle fs{fg, c->ParentColor ? kWindow : PlainColour(c->Color), attr};
    if (focused) fs.attr |= A_REVERSE | A_BOLD;
    cv.Fill(TCellRect{fx, r.y, fw, 1}, fs, clip);
    cv.Text(fx, r.y, cb->Caption().substr(0, std::max(0, fw - 1)), fs, clip);
    cv.Put(fx + fw - 1, r.y, cv.Line('v'), fs, clip);
    break;
  }
  case TLaidKind::Memo: {
    auto *m = static_cast<TMemo *>(c);
    // A bar it asks for takes the last column or row even when everything fits; the thumb
    // shows only when there is something to scroll that way.
    const bool vbar = m->VertScrollBar() && r.w > 1, hbar = m->HorzScrollBar() && r.h > 1;
    const int tw = r.w - (vbar ? 1 : 0), th = r.h - (hbar ? 1 : 0);
    m->VisibleLines = th; // its scrolling keys go by what shows
    m->VisibleColumns = tw;
    const int n = m->Lines.Count(), longest = m->LongestLine();
    const int top = std::clamp(m->TopLine, 0, std::max(0, n - th));
    const int left = std::clamp(m->LeftCol, 0, std::max(0, longest - tw));
    TStyle fs{fg, c->ParentColor ? kWindow : PlainColour(c->Color), attr};
    cv.Fill(r, fs, clip);
    for (int i = 0; i < th && top + i < n; ++i) {
      const std::string &line = m->Lines[top + i];
      if (left < (int)line.size()) cv.Text(r.x, r.y + i, line.substr(left, tw), fs, clip);
    }
    const TStyle bs{kGrey, fs.bg, A_NORMAL};
    auto bar = [&](int len, int pos, int range, int x, int y, int dx, int dy) {
      const int thumb = range <= 0 ? -1 : len <= 1 ? 0 : pos * (len - 1) / range;
      for (int i = 0; i < len; ++i)
        cv.Put(x + i * dx, y + i * dy, cv.Line(i == thumb ? '#' : '.'), bs, clip);
    };
    if (vbar) bar(th, top, n - th, r.Right() - 1, r.y, 0, 1);
    if (hbar) bar(tw, left, longest - tw, r.x, r.Bottom() - 1, 1, 0);
    if (focused) fCursorX = r.x, fCursorY = r.y;
    break;
  }
  case TLaidKind::Grid: {
    auto *g = static_cast<TStringGrid *>(c);
    const int rows = g->RowCount(), cols = g->ColCount();
    const int fixedRows = std::clamp(g->FixedRows, 0, rows);
    const int shownFixed = std::min(fixedRows, r.h);
    const int body = std::max(0, r.h - shownFixed);
    int &top = fGridTop[g];
    const int cur = g->Row();
    if (top < fixedRows) top = fixedRows;
    if (cur >= fixedRows && cur < top) top = cur;
    if (cur >= top + body) top = cur - body + 1;
    top = std::clamp(top, fixedRows, std::max(fixedRows, rows - body));
    const int cellBg = c->ParentColor ? kWindow : PlainColour(c->Color);
    const bool vlines = (g->Options & goVertLine) != 0;
    const bool bar = rows > it.visibleRows;
    for (int line = 0; line < r.h; ++line) {
      const int row = line < shownFixed ? line : top + (line - shownFixed);
      if (row >= rows) break;
      int x = r.x;
      for (int col = 0; col < cols && col < (int)it.colWidth.size(); ++col) {
        const int w = it.colWidth[col];
        const bool fixed = col < g->FixedCols || row < fixedRows;
        TStyle cs{fg, fixed ? kBtnFace : cellBg, attr};
        std::string text = g->Cell(col, row);
        const bool current = !fixed && col == g->Col() && row == cur;
        if (current) {
          if (g->EditorMode()) text = g->EditText();
          cs.attr |= focused ? (A_REVERSE | A_BOLD) : A_UNDERLINE;
        }
        cv.Fill(TCellRect{x, r.y + line, w, 1}, cs, clip);
        cv.Text(x, r.y + line, text.substr(0, w), cs, clip);
        if (current && focused) {
          // The caret of a cell being edited: the first blank of its mask, else
          // its end.
          int caret = std::min((int)text.size(), w - 1);
          if (g->EditorMode() && g->OnGetEditMask) {
            std::string mask;
            try {
              g->OnGetEditMask(g, col, row, mask);
            } catch (...) {
              mask.clear();
            }
            const TEditMask em(mask);
            if (!em.Empty()) {
              for (int p = 0; p < (int)text.size() && p < em.Length(); ++p) {
                if (!em.IsLiteral(p) && text[p] == em.BlankChar()) {
                  caret = p;
                  break;
                }
              }
            }
          }
          fCursorX = x + std::max(0, caret), fCursorY = r.y + line;
        }
        x += w;
        if (col + 1 < cols) {
          cv.Put(x, r.y + line, vlines ? cv.Line('|') : ' ', TStyle{kShadow, cellBg, A_NORMAL},
                 clip);
          ++x;
        }
      }
      if (bar) {
        const int thumbLine =
            shownFixed +
            (body <= 1 ? 0 : (top - fixedRows) * (body - 1) / std::max(1, rows - fixedRows - body));
        cv.Put(r.Right() - 1, r.y + line, cv.Line(line == thumbLine ? '#' : '.'),
               TStyle{kGrey, cellBg, A_NORMAL}, clip);
      }
    }
    break;
  }
  }
}

namespace {
// The word a terminal shows in place of a message box's icon.
const char *IconWord(unsigned flags, int &colour) {
  switch (flags & 0xF0) {
  case MB_ICONSTOP:
    colour = kStopRed;
    return "(X) PARE";
  case MB_ICONEXCLAMATION:
    colour = kWarnYellow;
    return CP1252("(!) ATENÇÃO");
  case MB_ICONINFORMATION:
    colour = kTitleBar;
    return CP1252("(i) INFORMAÇÃO");
  case 0x20:
    colour = kTitleBar;
    return "(?) PERGUNTA";
  default:
    return nullptr;
  }
}

// Places a box of `inner` text columns and `lines` text lines in the middle of
// the screen.
TCellRect CentredBox(int inner, int lines) {
  const int w = std::min(COLS, inner + 4);
  const int h = std::min(LINES, lines + 2);
  return TCellRect{std::max(0, (COLS - w) / 2), std::max(0, (LINES - h) / 2), w, h};
}
} // namespace

void TTerminalRenderer::DrawMessageBox(const TMessageBoxState &box) {
  TCanvas cv(*fPalette);
  const TCellRect screen{0, 0, COLS, LINES};
  int iconColour = kBlack;
  const char *icon = IconWord(box.Flags, iconColour);
  // Width: the longest line of the text, the caption, the icon word and the
  // button.
  const int maxInner = std::max(10, COLS - 6);
  int inner = std::max<int>(12, box.Caption.size() + 4);
  for (const auto &l : TTerminalLayout::Wrap(box.Text, 1 << 20))
    inner = std::max<int>(inner, l.size());
  if (icon) inner = std::max<int>(inner, std::strlen(icon));
  inner = std::min(inner, maxInner);
  const auto text = TTerminalLayout::Wrap(box.Text, inner);
  // Lines: blank, icon word, text, blank, button, blank.
  const int lines = 1 + (icon ? 1 : 0) + (int)text.size() + 1 + 1 + 1;
  fBox = CentredBox(inner, lines);
  const TCellRect &r = fBox;
  const TStyle body{kBlack, kBtnFace, A_NORMAL};
  cv.Fill(r, body, screen);
  cv.Frame(r, TStyle{kGrey, kBtnFace, A_NORMAL}, screen);
  // The caption is the title bar.
  const TStyle title{kWhite, kTitleBar, A_BOLD};
  cv.Fill(TCellRect{r.x + 1, r.y, r.w - 2, 1}, title, screen);
  std::string cap = box.Caption.substr(0, std::max(0, r.w - 4));
  cv.Text(r.x + 2, r.y, cap, title, screen);
  int y = r.y + 2;
  if (icon) {
    cv.Text(r.x + 2, y++, icon, TStyle{iconColour, kBtnFace, A_BOLD}, screen);
  }
  for (const auto &l : text) cv.Text(r.x + 2, y++, l, body, screen);
  ++y;
  const std::string ok = "< OK >";
  const int bx = r.x + (r.w - (int)ok.size()) / 2;
  cv.Text(bx, y, ok, TStyle{kBlack, kBtnFace, A_REVERSE | A_BOLD}, screen);
}

void TTerminalRenderer::DrawPrompt(const TPromptBox &p) {
  TCanvas cv(*fPalette);
  const TCellRect screen{0, 0, COLS, LINES};
  const int field = std::max(2, std::min(p.MaxLength + 1, std::max(8, COLS - 10)));
  const std::string hint = CP1252("Enter confirma   Esc cancela");
  int inner = std::max<int>({field + 2, (int)p.Caption.size() + 4, (int)hint.size()});
  for (const auto &l : TTerminalLayout::Wrap(p.Question, 1 << 20))
    inner = std::max<int>(inner, l.size());
  inner = std::min(inner, std::max(10, COLS - 6));
  const auto text = TTerminalLayout::Wrap(p.Question, inner);
  const int lines = 1 + (int)text.size() + 1 + 1 + 1 + 1 + 1;
  fBox = CentredBox(inner, lines);
  const TCellRect &r = fBox;
  const TStyle body{kBlack, kBtnFace, A_NORMAL};
  cv.Fill(r, body, screen);
  cv.Frame(r, TStyle{kGrey, kBtnFace, A_NORMAL}, screen);
  const TStyle title{kWhite, kTitleBar, A_BOLD};
  cv.Fill(TCellRect{r.x + 1, r.y, r.w - 2, 1}, title, screen);
  cv.Text(r.x + 2, r.y, p.Caption.substr(0, std::max(0, r.w - 4)), title, screen);
  int y = r.y + 2;
  for (const auto &l : text) cv.Text(r.x + 2, y++, l, body, screen);
  ++y;
  const int fw = std::min(field, r.w - 6);
  std::string shown = p.Secret ? std::string(p.Answer.size(), '*') : p.Answer;
  if ((int)shown.size() >= fw) shown = shown.substr(shown.size() - fw + 1);
  cv.Put(r.x + 2, y, '[', TStyle{kGrey, kBtnFace, A_NORMAL}, screen);
  cv.Fill(TCellRect{r.x + 3, y, fw, 1}, TStyle{kBlack, kWindow, A_NORMAL}, screen);
  cv.Text(r.x + 3, y, shown, TStyle{kBlack, kWindow, A_BOLD}, screen);
  cv.Put(r.x + 3 + fw, y, ']', TStyle{kGrey, kBtnFace, A_NORMAL}, screen);
  fCursorX = r.x + 3 + (int)shown.size(), fCursorY = y;
  y += 2;
  cv.Text(r.x + 2, y, hint, TStyle{kGrey, kBtnFace, A_NORMAL}, screen);
}

std::vector<std::string> TTerminalRenderer::ScreenLines() const {
  std::vector<std::string> out;
  int cy, cx;
  getyx(stdscr, cy, cx);
  for (int y = 0; y < LINES; ++y) {
    std::string line;
    for (int x = 0; x < COLS; ++x) {
      cchar_t cc;
      wchar_t w[CCHARW_MAX + 1] = {0};
      attr_t a;
      short pair;
      if (mvwin_wch(stdscr, y, x, &cc) == ERR || getcchar(&cc, w, &a, &pair, nullptr) == ERR) {
        line += ' ';
        continue;
      }
      const char32_t cp = w[0] ? (char32_t)w[0] : U' ';
      if (cp < 0x80) {
        line += (char)cp;
      } else if (cp < 0x800) {
        line += (char)(0xC0 | (cp >> 6));
        line += (char)(0x80 | (cp & 0x3F));
      } else if (cp < 0x10000) {
        line += (char)(0xE0 | (cp >> 12));
        line += (char)(0x80 | ((cp >> 6) & 0x3F));
        line += (char)(0x80 | (cp & 0x3F));
      } else {
        line += (char)(0xF0 | (cp >> 18));
        line += (char)(0x80 | ((cp >> 12) & 0x3F));
        line += (char)(0x80 | ((cp >> 6) & 0x3F));
        line += (char)(0x80 | (cp & 0x3F));
      }
    }
    out.push_back(line);
  }
  wmove(stdscr, cy, cx);
  return out;
}

unsigned TTerminalRenderer::CellLook(int x, int y) const {
  int cy, cx;
  getyx(stdscr, cy, cx);
  cchar_t cc;
  wchar_t w[CCHARW_MAX + 1] = {0};
  attr_t a = 0;
  short pair = 0;
  if (mvwin_wch(stdscr, y, x, &cc) != ERR) getcchar(&cc, w, &a, &pair, nullptr);
  wmove(stdscr, cy, cx);
  unsigned look = 0;
  if (a & A_REVERSE) look |= kReverse;
  if (a & A_UNDERLINE) look |= kUnderline;
  if (a & A_DIM) look |= kDim;
  if (a & A_BOLD) look |= kBold;
  return look;
}
