// Where each control of a form goes on a terminal of character cells.
//
// Forms are drawn by their designers in pixels (623 x 422 for a full screen)
// with fonts whose characters are much narrower than a terminal cell, so a
// plain scale would make labels run into their edits. Instead the layout keeps
// what a reader relies on:
//   - controls that share a row in pixels share a line (a label and its edit);
//   - rows keep their top-to-bottom order and controls of a line their
//   left-to-right order;
//   - each control gets the cells its content needs (an edit its maximum
//   length, a button its
//     caption, a grid its columns), never less;
//   - the pixel positions, scaled to the terminal, are where things go when
//   there is room, so a
//     larger terminal spreads the form out the way its designer placed it.
// When the scaled positions do not fit, the scale shrinks towards a packed
// layout; when even that is too wide, edits and buttons lose their brackets.
// Panels with a bevel get a frame.
#pragma once

#include <string>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/forms/Grids.h"

struct TCellRect {
  int x = 0, y = 0, w = 0, h = 0;
  int Right() const { return x + w; }
  int Bottom() const { return y + h; }
  bool Empty() const { return w <= 0 || h <= 0; }
  bool Contains(int cx, int cy) const { return cx >= x && cx < x + w && cy >= y && cy < y + h; }
  TCellRect Intersect(const TCellRect &o) const;
};

enum class TLaidKind { Label, Edit, Button, Panel, Combo, Memo, Grid };

// What a control is, found once per class rather than by a chain of casts at each paint.
enum TControlType : unsigned {
  kIsImage = 1,
  kIsGrid = 2,
  kIsMemo = 4,
  kIsCombo = 8,
  kIsEdit = 16, // an edit, masked or not
  kIsMaskEdit = 32,
  kIsButton = 64,
  kIsWinControl = 128,
  kIsPanel = 256,
  kIsLabel = 512,
  kIsForm = 1024,
};
unsigned ControlType(const TControl *c);

struct TLaidControl {
  TControl *control = nullptr;
  TLaidKind kind = TLaidKind::Label;
  TCellRect rect;            // absolute cells
  TCellRect clip;            // the part of rect inside every parent and the screen
  bool frame = false;        // panels: drawn with a frame; edits, combos, buttons: brackets
  std::vector<int> colWidth; // grids: cells per column
  int visibleRows = 0;       // grids: rows shown at once (the rest scroll)
  std::vector<int> columns;  // a grid's heading: where each of its words starts
  int parent = -1;           // index of the parent item (-1: the form)
};

class TTerminalLayout {
public:
  // Lays out the visible controls of `form` on a screen of cols x lines cells.
  void Build(const TForm &form, int cols, int lines);
  // The same, unless nothing the layout reads has changed since the last Build: a key press
  // that only changes an edit's text or the focus lays nothing out again. False when the
  // layout was kept.
  bool Update(const TForm &form, int cols, int lines);

  // Parents come before their children; inside a parent, controls keep their
  // z-order, and panels laid over their siblings (a processing panel over the
  // entry controls) come last.
  const std::vector<TLaidControl> &Items() const { return fItems; }
  const TLaidControl *Find(const TControl *c) const;
  // False when even the packed layout is larger than the screen (drawing then
  // clips).
  bool Fits() const { return fFits; }
  // Edits and buttons without brackets (a crowded form on a narrow screen).
  bool Compact() const { return fCompact; }
  int Cols() const { return fCols; }
  int Lines() const { return fLines; }

  // Texts as the layout measures them: the caption of a button without its "&"
  // marks and the position of the marked character (-1 when none).
  static std::string ButtonText(const std::string &caption, int *accel = nullptr);
  // The cells a grid column needs (its mask, its longest cell, its pixel
  // width).
  static int GridColumnWidth(TStringGrid &grid, int col, double pxPerCell);
  // The words of a column heading: groups of the text apart by two blanks or more.
  static std::vector<std::string> HeadingWords(const std::string &text);
  // A word-wrapped text cut into lines of at most `width` characters ("\r\n"
  // and "\n" break).
  static std::vector<std::string> Wrap(const std::string &text, int width);

private:
  std::vector<TLaidControl> fItems;
  bool fFits = true;
  bool fCompact = false;
  int fCols = 0, fLines = 0;
  std::string fKey; // what the layout was built from (empty: build again)
  static bool Key(const TForm &form, int cols, int lines, std::string &key);
};
