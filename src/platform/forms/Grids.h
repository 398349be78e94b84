// The string grid: cells, the current cell, and editing a cell through its edit mask.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/forms/Controls.h"
#include "platform/forms/EditMask.h"

using TGetEditEvent = std::function<void(TObject *Sender, int ACol, int ARow, std::string &Value)>;
using TSelectCellEvent = std::function<void(TObject *Sender, int ACol, int ARow, bool &CanSelect)>;

enum TGridOption : unsigned {
  goFixedVertLine = 1,
  goFixedHorzLine = 2,
  goVertLine = 4,
  goHorzLine = 8,
  goEditing = 16,
  goTabs = 32,
  goAlwaysShowEditor = 64,
};

class TStringGrid : public TWinControl {
public:
  explicit TStringGrid(TComponent *AOwner);
  unsigned Options = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine;
  int DefaultColWidth = 64;
  int DefaultRowHeight = 24;
  bool ScrollBars = false;
  TGetEditEvent OnGetEditMask;
  TSelectCellEvent OnSelectCell;

  int ColCount() const { return fColCount; }
  void SetColCount(int n); // at least 1
  int RowCount() const { return fRowCount; }
  void SetRowCount(int n); // at least 1; keeps the cells that still fit
  // Plain data: changing them does not move the current cell.
  int FixedCols = 1;
  int FixedRows = 1;
  std::vector<int> ColWidths; // resized with ColCount; DefaultColWidth for new columns

  std::string Cell(int col, int row) const; // "" outside the grid
  void SetCell(int col, int row, const std::string &s);
  int Col() const { return fCol; }
  int Row() const { return fRow; }
  // End any cell editing first (validating its mask, which may raise EDBEditError and then leaves
  // the current cell where it is); OnSelectCell may refuse the move. A cell outside the grid raises
  // EInvalidOperation.
  void SetCol(int c);
  void SetRow(int r);
  void FocusCell(int col, int row); // both at once (one validation, one OnSelectCell)
  bool EditorMode() const { return fEditing; }
  std::string EditText() const; // the current cell as being edited (mask blanks included)
  // Drops the editing of the current cell without validating it: the cell keeps its text.
  void CancelEdit();

  bool IsFocusableKind() const override { return true; }
  bool WantsChars() const override { return (Options & goEditing) != 0; }
  bool WantsTab() const override { return (Options & goTabs) != 0; }
  // Typing edits the current cell (through the mask OnGetEditMask gives); the first typed character
  // replaces the cell's text. Enter ends the editing; Escape abandons it.
  void KeyPress(char &Key) override;
  // Arrows, Home/End and (when kept) Tab / Shift+Tab move the current cell; Delete clears at the
  // caret while editing.
  void KeyDown(Word &Key, TShiftState Shift) override;
  void ValidateExit() override;
  const char *ClassName() const override { return "TStringGrid"; }

private:
  int fColCount = 5, fRowCount = 5, fCol = 1, fRow = 1;
  std::vector<std::vector<std::string>> fCells; // [row][col]
  bool fEditing = false;
  bool fCellModified = false;
  bool fSelectAll = false;
  TEditMask fCellMask;
  std::string fCellBuffer; // the masked buffer, or the plain text without a mask
  std::string fCellOriginal;
  int fCaret = 0;
  void BeginEdit();
  void EndEdit(); // validates the cell mask; raises EDBEditError when incomplete
  void StoreEdit();
  bool Editable(int col, int row) const;
};
