#include "platform/terminal/TerminalLayout.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Panels.h"
#include "platform/forms/StdCtrls.h"

#include <typeinfo>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numeric>

namespace {

// The size every full-screen form is drawn for.
constexpr double kFormWidthPx = 623.0;
constexpr double kFormHeightPx = 422.0;
// Pixels by which two controls may touch without counting as overlapping.
constexpr int kTolerance = 4;
// Rows closer than this (pixels) form a stack: no blank line between them.
constexpr int kTight = 8;
// A label this close (pixels) to the left of a control is its caption and wraps with it.
constexpr int kCaptionGap = 16;
// Scale factors are tried from the designer's proportions (1) down to a packed layout (0).
constexpr int kScaleSteps = 20;
// Lines cut in two when a row is too wide, at most.
constexpr int kMaxWraps = 24;

int Round(double v) {
  return (int)std::lround(v);
}

struct Node {
  TControl *c = nullptr;
  TLaidKind kind = TLaidKind::Panel;
  int parent = -1;
  std::vector<int> kids;
  int L = 0, T = 0, W = 0, H = 0; // pixels, relative to the parent's client area
  bool frame = false;             // bevelled panel: one cell of frame all round
  bool container = false;
  bool floating = false;          // laid over its siblings: placed by its pixels alone
  int wrap = 0;                   // lines below its pixel row (a row too wide for the screen)
  int wrapShift = 0;              // pixels its wrapped part moved left
  int x = 0, y = 0, w = 0, h = 0; // cells, relative to the parent's inside
  std::vector<int> colW;
  int rows = 0;
  struct Ghost {
    int L, T, W, H;
  };
  std::vector<Ghost> ghosts; // hidden controls inside: the room they leave is not kept
  int heads = -1;            // a heading of the grid node `heads`: its words go over the columns
  std::vector<int> columns;  // for a heading: where each word starts (cells from its left)

  double CentreY() const { return T + H / 2.0; }
  double CentreX() const { return L - wrapShift + W / 2.0; }
  bool SingleLine() const {
    return !container && kind != TLaidKind::Memo && kind != TLaidKind::Grid && h == 1;
  }
};

std::string OneLine(const std::string &s) {
  std::string out;
  out.reserve(s.size());
  for (char ch : s) {
    if (ch == '\r') continue;
    out += (ch == '\n' || ch == '\t') ? ' ' : ch;
  }
  return out;
}

double LineHeightPx(const TFont &f) {
  return std::max(1, f.Size) * 96.0 / 72.0 * 1.15;
}

bool HasBevel(const TControl *c) {
  auto *p = dynamic_cast<const TPanel *>(c);
  return p && (p->BevelInner != bvNone || p->BevelOuter != bvNone);
}

int Overlap(int a0, int a1, int b0, int b1) {
  return std::min(a1, b1) - std::max(a0, b0);
}

class TBuilder {
public:
  std::vector<Node> nodes;
  double bX = 0, bY = 0; // cells per pixel on this terminal
  bool compact = false;

  void Collect(int parent, const TWinControl &w) {
    for (int i = 0; i < w.ControlCount(); ++i) {
      TControl *c = w.Controls(i);
      const unsigned type = ControlType(c);
      if (!c || (type & kIsImage)) continue;
      if (!c->Visible()) {
        nodes[parent].ghosts.push_back({c->Left, c->Top, c->Width, c->Height});
        continue;
      }
      Node n;
      n.c = c;
      n.parent = parent;
      n.L = c->Left, n.T = c->Top, n.W = c->Width, n.H = c->Height;
      if (type & kIsGrid)
        n.kind = TLaidKind::Grid;
      else if (type & kIsMemo)
        n.kind = TLaidKind::Memo;
      else if (type & kIsCombo)
        n.kind = TLaidKind::Combo;
      else if (type & kIsEdit)
        n.kind = TLaidKind::Edit;
      else if (type & kIsButton)
        n.kind = TLaidKind::Button;
      else if (type & kIsWinControl)
        n.kind = TLaidKind::Panel, n.container = true;
      else
        n.kind = TLaidKind::Label;
      n.frame = n.container && HasBevel(c);
      const int id = (int)nodes.size();
      nodes.push_back(n);
      if (n.container) {
        Collect(id, *static_cast<TWinControl *>(c));
        // A panel that only holds pictures (a logo) has nothing a terminal can show.
        if (nodes[id].kids.empty() && c->Caption().empty()) {
          nodes.resize(id);
          continue;
        }
      }
      nodes[parent].kids.push_back(id);
    }
  }

  // Panels laid over their siblings are placed by their pixels and drawn last.
  void MarkFloating(int n) {
    auto &kids = nodes[n].kids;
    for (size_t i = 0; i < kids.size(); ++i) {
      Node &a = nodes[kids[i]];
      if (!a.container) continue;
      for (size_t j = 0; j < kids.size() && !a.floating; ++j) {
        if (i == j) continue;
        const Node &b = nodes[kids[j]];
        if (b.container && j > i) continue; // of two panels, the upper one floats
        // Laid over it: the panel covers at least half of the other control, or half of it
        // is covered (a panel that only grazes a neighbour is laid out beside it).
        const int ox = Overlap(a.L, a.L + a.W, b.L, b.L + b.W);
        const int oy = Overlap(a.T, a.T + a.H, b.T, b.T + b.H);
        if (ox > kTolerance && oy > kTolerance) {
          const double area = double(ox) * oy;
          const double smaller = std::min(double(a.W) * a.H, double(b.W) * b.H);
          if (smaller <= 0 || area * 2 >= smaller) a.floating = true;
        }
      }
    }
    for (int k : kids)
      if (nodes[k].container) MarkFloating(k);
  }

  // A label right over a grid whose words are spaced out into as many groups as the grid has
  // columns (or fewer) is the grid's column heading.
  void MarkHeadings(int n) {
    for (int h : nodes[n].kids) {
      Node &lb = nodes[h];
      if (lb.container) MarkHeadings(h);
      if (lb.kind != TLaidKind::Label) continue;
      const size_t groups = TTerminalLayout::HeadingWords(lb.c->Caption()).size();
      if (groups < 2) continue;
      for (int g : nodes[n].kids) {
        const Node &gr = nodes[g];
        if (gr.kind != TLaidKind::Grid || gr.floating) continue;
        const int gap = gr.T - (lb.T + lb.H);
        auto &grid = *static_cast<TStringGrid *>(gr.c);
        if (gap >= -kTolerance && gap < 2 * kTight &&
            Overlap(lb.L, lb.L + lb.W, gr.L, gr.L + gr.W) > 0 &&
            groups <= (size_t)grid.ColCount()) {
          lb.heads = g;
          break;
        }
      }
    }
  }

  int LeafHeight(Node &n, double sY) {
    switch (n.kind) {
    case TLaidKind::Memo:
      return std::max(3, Round(n.H * sY));
    case TLaidKind::Grid: {
      auto &g = *static_cast<TStringGrid *>(n.c);
      int rows = g.RowCount();
      if (g.ScrollBars && n.H > 0) {
        const int fit = n.H / (g.DefaultRowHeight + 1);
        if (fit >= 1) rows = std::min(rows, fit);
      }
      n.rows = std::max(1, rows);
      return n.rows;
    }
    case TLaidKind::Label:
      if (n.c->WordWrap) {
        const double lh = LineHeightPx(n.c->Font);
        if (n.H >= 1.8 * lh) {
          const int maxLines = std::max(1, (int)(n.H / lh));
          const int width = std::max(10, Round(n.W * bX));
          const int lines = (int)TTerminalLayout::Wrap(n.c->Caption(), width).size();
          return std::clamp(lines, 1, maxLines);
        }
      }
      return 1;
    default:
      return 1;
    }
  }

  // The grid row that the line `other` stands beside (the row numbers of a grid): the lines
  // beside a grid follow its rows in order, whatever pixel pitch they were drawn with.
  int RowBeside(const std::vector<int> &kids, int gi, int oi) {
    const Node &g = nodes[kids[gi]];
    const Node &o = nodes[kids[oi]];
    if (o.CentreY() < g.T || o.CentreY() > g.T + g.H) return -1;
    int rank = 0, count = 0;
    for (int k = 0; k < (int)kids.size(); ++k) {
      const Node &n = nodes[kids[k]];
      if (n.floating || !n.SingleLine() || n.CentreY() < g.T || n.CentreY() > g.T + g.H) continue;
      if (Overlap(n.L, n.L + n.W, g.L, g.L + g.W) > kTolerance) continue;
      ++count;
      if (n.CentreY() < o.CentreY() - 1) ++rank;
    }
    if (count <= g.h) return rank;
    auto &grid = *static_cast<TStringGrid *>(g.c);
    return (int)std::floor((o.CentreY() - g.T) / std::max(1, grid.DefaultRowHeight + 1));
  }

  // Lines: rows keep their order, controls of one pixel row share a line, and a label beside a
  // grid stays beside its row.
  void Vertical(int id, double sY) {
    Node &me = nodes[id];
    const std::vector<int> kids = me.kids;
    for (int k : kids) {
      Node &n = nodes[k];
      if (n.container)
        Vertical(k, sY);
      else
        n.h = LeafHeight(n, sY);
    }
    const int m = (int)kids.size();
    auto sameRow = [&](const Node &a, const Node &b) {
      const double limit = std::max(6.0, std::min(a.H, b.H) / 2.0);
      return std::fabs(a.CentreY() - b.CentreY()) <= limit;
    };
    // Classes of controls that share a line.
    std::vector<int> cls(m);
    std::iota(cls.begin(), cls.end(), 0);
    auto find = [&](int i) {
      while (cls[i] != i) i = cls[i] = cls[cls[i]];
      return i;
    };
    for (int i = 0; i < m; ++i) {
      const Node &a = nodes[kids[i]];
      if (a.floating || !a.SingleLine()) continue;
      for (int j = i + 1; j < m; ++j) {
        const Node &b = nodes[kids[j]];
        if (b.floating || !b.SingleLine() || a.wrap != b.wrap) continue;
        if (sameRow(a, b)) cls[find(j)] = find(i);
      }
    }
    struct Edge {
      int from, to, d;
      int gap; // pixels between the two (INT_MAX: not an order)
    };
    std::vector<Edge> edges;
    for (int i = 0; i < m; ++i) {
      const Node &a = nodes[kids[i]];
      if (a.floating) continue;
      for (int j = i + 1; j < m; ++j) {
        const Node &b = nodes[kids[j]];
        if (b.floating || find(i) == find(j)) continue;
        int above = i, below = j;
        const int oy = Overlap(a.T, a.T + a.H, b.T, b.T + b.H);
        const int ox = Overlap(a.L, a.L + a.W, b.L, b.L + b.W);
        // Side by side: apart horizontally, or grazing each other with most of their heights
        // in common (a grid drawn a little wider than its columns).
        const bool beside =
            a.SingleLine() && b.SingleLine()
                ? sameRow(a, b)
                : oy > kTolerance && (ox <= kTolerance || (2 * ox < std::min(a.W, b.W) &&
                                                           2 * oy >= std::min(a.H, b.H)));
        if (beside && a.wrap != b.wrap) {
          // One pixel row cut in two: the wrapped part comes on the lines below.
          if (b.wrap < a.wrap) std::swap(above, below);
        } else if (a.SingleLine() && b.SingleLine()) {
          if (b.CentreY() < a.CentreY()) std::swap(above, below);
        } else if (beside) {
          // Side by side: no order; a line beside a grid row stays on that row.
          const Node *grid = a.kind == TLaidKind::Grid   ? &a
                             : b.kind == TLaidKind::Grid ? &b
                                                         : nullptr;
          const Node *other = grid == &a ? &b : &a;
          if (grid && other->SingleLine()) {
            const int gi = grid == &a ? i : j, oi = grid == &a ? j : i;
            const int k = RowBeside(kids, gi, oi);
            if (k >= 0 && k < grid->h) {
              edges.push_back({find(gi), find(oi), k, INT_MAX});
              edges.push_back({find(oi), find(gi), -k, INT_MAX});
            }
          }
          continue;
        } else if (b.T < a.T) {
          std::swap(above, below);
        }
        const Node &na = nodes[kids[above]], &nb = nodes[kids[below]];
        const int gap = std::max(0, nb.T - (na.T + na.H));
        edges.push_back({find(above), find(below), na.h, gap});
      }
    }
    // Where there is room, a row goes where the scaled pixels put it; a row that sits right
    // under another one (buttons of a menu, the rows of a data-entry panel) follows it on the
    // next line instead, so that rounding leaves no holes in a stack.
    std::vector<bool> tight(m, false);
    for (const Edge &e : edges)
      if (e.gap < kTight) tight[e.to] = true;
    // So does a row under a hidden control (the last options of a menu, a hidden field).
    for (int i = 0; i < m; ++i) {
      const Node &a = nodes[kids[i]];
      for (const auto &g : me.ghosts) {
        const int gap = a.T - (g.T + g.H);
        if (g.T < a.T && gap > -kTolerance && gap < kTight &&
            Overlap(g.L, g.L + g.W, a.L, a.L + a.W) > kTolerance)
          tight[find(i)] = true;
      }
    }
    std::vector<int> y(m, INT_MAX);
    for (int i = 0; i < m; ++i) {
      const Node &a = nodes[kids[i]];
      if (a.floating) continue;
      const int r = find(i);
      y[r] = std::min(y[r], tight[r] ? 0 : std::max(0, Round(a.T * sY)));
    }
    // Longest paths from the lower bounds; a contradiction (a cycle) stops after enough rounds.
    for (int round = 0; round < m + 2; ++round) {
      bool changed = false;
      for (const Edge &e : edges) {
        if (y[e.to] < y[e.from] + e.d) {
          y[e.to] = y[e.from] + e.d;
          changed = true;
        }
      }
      if (!changed) break;
    }
    int content = 0;
    for (int i = 0; i < m; ++i) {
      Node &n = nodes[kids[i]];
      n.y = n.floating ? std::max(0, Round(n.T * sY)) : std::max(0, y[find(i)]);
      content = std::max(content, n.y + n.h);
    }
    if (me.container) {
      const int f = me.frame ? 2 : 0;
      me.h = std::max(content + f, Round(me.H * sY));
      if (me.frame) me.h = std::max(me.h, 2);
      const int inner = me.h - f;
      for (int k : kids) {
        Node &n = nodes[k];
        if (n.floating) n.y = std::max(0, std::min(n.y, inner - n.h));
      }
    } else {
      me.h = content;
    }
  }

  int LeafWidth(Node &n, double sX) {
    switch (n.kind) {
    case TLaidKind::Label: {
      const std::string text = n.c->Caption();
      if (n.h > 1) return std::min((int)text.size(), std::max(10, Round(n.W * bX)));
      return (int)OneLine(text).size();
    }
    case TLaidKind::Edit: {
      auto &e = *static_cast<TCustomEdit *>(n.c);
      auto *me = dynamic_cast<TMaskEdit *>(n.c);
      int c;
      if (me && me->IsMasked()) {
        c = me->Mask().Length();
      } else if (e.MaxLength > 0) {
        c = std::min(e.MaxLength, std::max(8, 2 * Round(n.W * bX)));
      } else {
        c = std::max(4, Round(n.W * bX) - 2);
      }
      // Brackets; packed, the caret after a full field sits on the blank that follows it.
      return compact ? c : c + 2;
    }
    case TLaidKind::Button: {
      const int c = (int)TTerminalLayout::ButtonText(n.c->Caption()).size();
      return compact ? c + 2 : std::max(c + 4, Round(n.W * sX));
    }
    case TLaidKind::Combo: {
      auto &cb = *static_cast<TComboBox *>(n.c);
      int c = std::max(3, (int)cb.Caption().size());
      for (const auto &s : cb.Items.Items()) c = std::max(c, (int)s.size());
      return compact ? c + 1 : c + 3;
    }
    case TLaidKind::Memo:
      return std::max(Round(n.W * sX), std::min(Round(n.W * bX), 20));
    case TLaidKind::Grid: {
      auto &g = *static_cast<TStringGrid *>(n.c);
      n.colW.assign(std::max(0, g.ColCount()), 1);
      int w = 0;
      for (int col = 0; col < g.ColCount(); ++col) {
        n.colW[col] = TTerminalLayout::GridColumnWidth(g, col, bX);
        w += n.colW[col] + (col > 0 ? 1 : 0);
      }
      if (g.RowCount() > n.rows) ++w; // scroll bar
      return std::max(1, w);
    }
    default:
      return 1;
    }
  }

  int LowerX(const Node &n, double sX) {
    const int L = n.L - n.wrapShift;
    if (n.kind == TLaidKind::Label) {
      if (n.c->Alignment == taRightJustify) return std::max(0, Round((L + n.W) * sX) - n.w);
      if (n.c->Alignment == taCenter) return std::max(0, Round((L + n.W / 2.0) * sX) - n.w / 2);
    }
    return std::max(0, Round(L * sX));
  }

  // Non-floating kids of a container in left-to-right order.
  std::vector<int> Order(int id) {
    std::vector<int> order;
    for (int k : nodes[id].kids)
      if (!nodes[k].floating) order.push_back(k);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      const Node &na = nodes[a], &nb = nodes[b];
      if (na.wrap != nb.wrap) return na.wrap < nb.wrap;
      if (na.CentreX() != nb.CentreX()) return na.CentreX() < nb.CentreX();
      return na.L < nb.L;
    });
    return order;
  }

  static bool Meet(const Node &a, const Node &b) { return a.y < b.y + b.h && b.y < a.y + a.h; }

  // Columns: controls whose lines meet keep their left-to-right order with one blank between.
  void Horizontal(int id, double sX) {
    Node &me = nodes[id];
    const std::vector<int> kids = me.kids;
    for (int k : kids) {
      Node &n = nodes[k];
      if (n.container)
        Horizontal(k, sX);
      else
        n.w = LeafWidth(n, sX);
    }
    for (int k : kids) {
      Node &n = nodes[k];
      if (n.heads < 0) continue;
      const Node &g = nodes[n.heads];
      const auto words = TTerminalLayout::HeadingWords(n.c->Caption());
      n.columns.clear();
      int at = 0, w = 0;
      for (size_t i = 0; i < words.size() && i < g.colW.size(); ++i) {
        const int start = std::max(at, i ? w + 1 : 0); // a long word pushes the next one on
        n.columns.push_back(start);
        w = start + (int)words[i].size();
        at += g.colW[i] + 1;
      }
      n.w = w;
    }
    // Buttons of one column (a menu) or one size keep one width.
    for (int a : kids) {
      Node &na = nodes[a];
      if (na.kind != TLaidKind::Button) continue;
      for (int b : kids) {
        const Node &nb = nodes[b];
        if (nb.kind == TLaidKind::Button && nb.W == na.W && std::abs(nb.L - na.L) <= kTolerance)
          na.w = std::max(na.w, nb.w);
      }
    }
    const std::vector<int> order = Order(id);
    int content = 0;
    for (size_t j = 0; j < order.size(); ++j) {
      Node &b = nodes[order[j]];
      int x = LowerX(b, sX);
      for (size_t i = 0; i < j; ++i) {
        const Node &a = nodes[order[i]];
        if (a.w > 0 && Meet(a, b)) x = std::max(x, a.x + a.w + 1);
      }
      b.x = x;
      content = std::max(content, b.x + b.w);
    }
    for (int k : kids) {
      Node &n = nodes[k];
      if (n.heads >= 0) {
        n.x = nodes[n.heads].x; // over its columns
        content = std::max(content, n.x + n.w);
      }
      if (!n.floating) continue;
      n.x = std::max(0, Round(n.L * sX));
      content = std::max(content, n.x + n.w);
    }
    if (me.container) {
      const int f = me.frame ? 2 : 0;
      me.w = std::max(content + f, Round(me.W * sX));
      if (me.frame) me.w = std::max(me.w, 2);
      const int inner = me.w - f;
      for (int k : kids) {
        Node &n = nodes[k];
        if (n.floating) n.x = std::max(0, std::min(n.x, inner - n.w));
      }
    } else {
      me.w = content;
    }
  }

  // Cuts the first line found too wide for `avail` cells in two: the control that crosses the
  // edge (with the caption just before it) and what follows go on a line of their own below.
  bool WrapOne(int id, int avail) {
    const Node &me = nodes[id];
    const std::vector<int> order = Order(id);
    for (size_t j = 0; j < order.size(); ++j) {
      const Node &b = nodes[order[j]];
      if (b.x + b.w <= avail) continue;
      // The first control of its line cannot go any further left.
      size_t first = j;
      for (size_t i = 0; i < j; ++i)
        if (nodes[order[i]].wrap == b.wrap && Meet(nodes[order[i]], b)) {
          first = i;
          break;
        }
      if (first == j) continue;
      // The caption just before it on its line goes with it.
      size_t start = j;
      for (size_t i = j; i-- > first;) {
        const Node &p = nodes[order[i]];
        if (p.wrap != b.wrap || !Meet(p, b)) continue;
        if (p.kind == TLaidKind::Label && b.L - (p.L + p.W) <= kCaptionGap) start = i;
        break;
      }
      if (start == first) continue;
      const int shift = nodes[order[start]].L - nodes[order[first]].L;
      const Node ref = nodes[order[start]];
      for (size_t k = start; k < order.size(); ++k) {
        Node &n = nodes[order[k]];
        if (n.wrap == ref.wrap && Meet(n, ref)) {
          n.wrap += 1;
          n.wrapShift += shift;
        }
      }
      return true;
    }
    for (int k : me.kids) {
      const Node &n = nodes[k];
      if (n.container && !n.floating && WrapOne(k, std::max(1, avail - n.x) - (n.frame ? 2 : 0)))
        return true;
    }
    return false;
  }
};

} // namespace

TCellRect TCellRect::Intersect(const TCellRect &o) const {
  const int l = std::max(x, o.x), t = std::max(y, o.y);
  const int r = std::min(Right(), o.Right()), b = std::min(Bottom(), o.Bottom());
  return TCellRect{l, t, std::max(0, r - l), std::max(0, b - t)};
}

std::string TTerminalLayout::ButtonText(const std::string &caption, int *accel) {
  std::string out;
  if (accel) *accel = -1;
  for (size_t i = 0; i < caption.size(); ++i) {
    char ch = caption[i];
    if (ch == '&' && i + 1 < caption.size()) {
      ++i;
      ch = caption[i];
      if (ch != '&' && accel && *accel < 0) *accel = (int)out.size();
    }
    if (ch == '\r' || ch == '\n' || ch == '\t') ch = ' ';
    out += ch;
  }
  return out;
}

int TTerminalLayout::GridColumnWidth(TStringGrid &grid, int col, double pxPerCell) {
  int mask = 0;
  if (grid.OnGetEditMask && (grid.Options & goEditing) && col >= grid.FixedCols) {
    std::string value;
    try {
      grid.OnGetEditMask(&grid, col, std::max(0, grid.FixedRows), value);
    } catch (...) {
      value.clear();
    }
    if (!value.empty()) mask = TEditMask(value).Length();
  }
  int text = 0;
  for (int r = 0; r < grid.RowCount(); ++r) text = std::max(text, (int)grid.Cell(col, r).size());
  const int px = col < (int)grid.ColWidths.size() ? grid.ColWidths[col] : grid.DefaultColWidth;
  const int byPixels = std::max(1, Round(px * pxPerCell) - 1);
  if (mask == 0 && text == 0) return byPixels;
  return std::max({1, mask, std::min(text, std::max({byPixels, mask, 4}))});
}

std::vector<std::string> TTerminalLayout::HeadingWords(const std::string &text) {
  std::vector<std::string> words;
  std::string cur;
  int blanks = 0;
  for (char ch : text) {
    if (ch == ' ') {
      ++blanks;
      continue;
    }
    if (blanks >= 2 && !cur.empty())
      words.push_back(cur), cur.clear();
    else if (blanks == 1 && !cur.empty())
      cur += ' ';
    blanks = 0;
    cur += ch;
  }
  if (!cur.empty()) words.push_back(cur);
  return words;
}

std::vector<std::string> TTerminalLayout::Wrap(const std::string &text, int width) {
  std::vector<std::string> lines;
  width = std::max(1, width);
  std::string para;
  auto flush = [&](const std::string &p) {
    std::string line;
    size_t i = 0;
    while (i < p.size()) {
      size_t j = p.find(' ', i);
      if (j == std::string::npos) j = p.size();
      std::string word = p.substr(i, j - i);
      i = j + 1;
      while ((int)word.size() > width) { // a word longer than a line is split
        if (!line.empty()) lines.push_back(line), line.clear();
        lines.push_back(word.substr(0, width));
        word.erase(0, width);
      }
      if (line.empty())
        line = word;
      else if ((int)(line.size() + 1 + word.size()) <= width)
        line += ' ' + word;
      else
        lines.push_back(line), line = word;
    }
    lines.push_back(line);
  };
  for (char ch : text) {
    if (ch == '\r') continue;
    if (ch == '\n') {
      flush(para);
      para.clear();
    } else {
      para += ch == '\t' ? ' ' : ch;
    }
  }
  flush(para);
  return lines;
}

const TLaidControl *TTerminalLayout::Find(const TControl *c) const {
  for (const auto &it : fItems)
    if (it.control == c) return &it;
  return nullptr;
}

unsigned ControlType(const TControl *c) {
  if (!c) return 0;
  // One entry per class: a form has a few classes of control.
  static std::vector<std::pair<const std::type_info *, unsigned>> known;
  const std::type_info *t = &typeid(*c);
  for (const auto &k : known)
    if (k.first == t) return k.second;
  unsigned bits = 0;
  if (dynamic_cast<const TImage *>(c)) bits |= kIsImage;
  if (dynamic_cast<const TStringGrid *>(c)) bits |= kIsGrid;
  if (dynamic_cast<const TMemo *>(c)) bits |= kIsMemo;
  if (dynamic_cast<const TComboBox *>(c)) bits |= kIsCombo;
  if (dynamic_cast<const TCustomEdit *>(c)) bits |= kIsEdit;
  if (dynamic_cast<const TMaskEdit *>(c)) bits |= kIsMaskEdit;
  if (dynamic_cast<const TButtonControl *>(c)) bits |= kIsButton;
  if (dynamic_cast<const TWinControl *>(c)) bits |= kIsWinControl;
  if (dynamic_cast<const TPanel *>(c)) bits |= kIsPanel;
  if (dynamic_cast<const TLabel *>(c)) bits |= kIsLabel;
  if (dynamic_cast<const TForm *>(c)) bits |= kIsForm;
  known.emplace_back(t, bits);
  return bits;
}

namespace {

template <class T> void Put(std::string &key, const T &v) {
  key.append(reinterpret_cast<const char *>(&v), sizeof v);
}
void PutText(std::string &key, const std::string &s) {
  Put(key, s.size());
  key += s;
}

// Everything of the controls that Collect and the measures read, in the order they read it;
// false for a form with a grid, whose columns follow its cells and its mask callback.
bool PutControls(std::string &key, const TWinControl &w) {
  Put(key, w.ControlCount());
  for (int i = 0; i < w.ControlCount(); ++i) {
    TControl *c = w.Controls(i);
    const unsigned type = ControlType(c);
    if (!c || (type & kIsImage)) continue;
    Put(key, reinterpret_cast<uintptr_t>(c)), Put(key, type); // which control, not its bytes
    Put(key, c->Visible());
    Put(key, c->Left), Put(key, c->Top), Put(key, c->Width), Put(key, c->Height);
    if (!c->Visible()) continue;
    if (type & kIsGrid) return false;
    Put(key, c->WordWrap), Put(key, c->Font.Size), Put(key, c->Alignment);
    if (type & kIsMaskEdit) {
      auto *me = static_cast<TMaskEdit *>(c);
      Put(key, me->IsMasked());
      Put(key, me->IsMasked() ? me->Mask().Length() : 0);
    }
    if (type & kIsEdit) {
      Put(key, static_cast<TCustomEdit *>(c)->MaxLength); // its text is not measured
    } else if (type & kIsCombo) {
      auto *cb = static_cast<TComboBox *>(c);
      PutText(key, cb->Caption());
      for (const auto &item : cb->Items.Items()) PutText(key, item);
    } else if (!(type & kIsMemo)) { // nor the lines of a memo
      PutText(key, c->Caption());
    }
    if (type & kIsPanel) {
      auto *p = static_cast<TPanel *>(c);
      Put(key, p->BevelInner), Put(key, p->BevelOuter);
    }
    if ((type & kIsWinControl) && !(type & (kIsEdit | kIsButton | kIsCombo | kIsMemo)))
      if (!PutControls(key, *static_cast<TWinControl *>(c))) return false;
  }
  return true;
}

} // namespace

bool TTerminalLayout::Key(const TForm &form, int cols, int lines, std::string &key) {
  key.clear();
  Put(key, reinterpret_cast<uintptr_t>(&form)), Put(key, cols), Put(key, lines);
  return PutControls(key, form);
}

bool TTerminalLayout::Update(const TForm &form, int cols, int lines) {
  std::string key;
  key.reserve(fKey.size());
  const bool keyed = Key(form, cols, lines, key);
  if (keyed && key == fKey) return false;
  Build(form, cols, lines);
  fKey = keyed ? std::move(key) : std::string();
  return true;
}

void TTerminalLayout::Build(const TForm &form, int cols, int lines) {
  fKey.clear();
  fItems.clear();
  fCols = std::max(1, cols);
  fLines = std::max(1, lines);
  TBuilder b;
  b.bX = fCols / kFormWidthPx;
  b.bY = fLines / kFormHeightPx;
  Node root;
  root.c = const_cast<TForm *>(&form);
  root.container = true;
  b.nodes.reserve(64);
  b.nodes.push_back(root);
  b.Collect(0, form);
  b.MarkFloating(0);
  b.MarkHeadings(0);

  // The designer's proportions when they fit; else packed; else rows too wide are cut in
  // two; else edits and buttons lose their brackets.
  auto fitVertical = [&] {
    for (int step = kScaleSteps; step >= 0; --step) {
      b.Vertical(0, b.bY * step / kScaleSteps);
      if (b.nodes[0].h <= fLines) return true;
    }
    return false;
  };
  auto fitHorizontal = [&] {
    for (int step = kScaleSteps; step >= 0; --step) {
      b.Horizontal(0, b.bX * step / kScaleSteps);
      if (b.nodes[0].w <= fCols) return true;
    }
    return false;
  };
  fFits = false;
  for (int compact = 0; compact < 2 && !fFits; ++compact) {
    b.compact = compact != 0;
    for (auto &n : b.nodes) n.wrap = n.wrapShift = 0;
    for (int round = 0; round <= kMaxWraps; ++round) {
      const bool tall = !fitVertical();
      const bool wide = !fitHorizontal();
      if (!tall && !wide) {
        fFits = true;
        break;
      }
      if (tall || !b.WrapOne(0, fCols)) break;
    }
  }
  fCompact = b.compact;

  // Absolute cells in painting order: each control, then what it holds;
  // floating panels after their siblings and everything those hold.
  const TCellRect screen{0, 0, fCols, fLines};
  std::function<void(int, int, TCellRect, TCellRect)> emit = [&](int node, int parentItem,
                                                                 TCellRect inner, TCellRect clip) {
    std::vector<int> kids = b.nodes[node].kids;
    std::stable_partition(kids.begin(), kids.end(), [&](int k) { return !b.nodes[k].floating; });
    for (int k : kids) {
      const Node &n = b.nodes[k];
      TLaidControl it;
      it.control = n.c;
      it.kind = n.kind;
      it.rect = TCellRect{inner.x + n.x, inner.y + n.y, n.w, n.h};
      it.clip = it.rect.Intersect(clip);
      it.frame = n.container ? n.frame
                             : (!fCompact && n.kind != TLaidKind::Label &&
                                n.kind != TLaidKind::Memo && n.kind != TLaidKind::Grid);
      it.colWidth = n.colW;
      it.columns = n.columns;
      it.visibleRows = n.rows;
      it.parent = parentItem;
      fItems.push_back(it);
      if (n.container) {
        const int f = n.frame ? 1 : 0;
        const TCellRect in{it.rect.x + f, it.rect.y + f, it.rect.w - 2 * f, it.rect.h - 2 * f};
        emit(k, (int)fItems.size() - 1, in, in.Intersect(it.clip));
      }
    }
  };
  emit(0, -1, screen, screen);
}
