// The string grid: cells, the current cell, and editing a cell through its edit mask.
#include "platform/forms/Grids.h"
#include "platform/forms/Forms.h"

#include <algorithm>

namespace {
bool Printable(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= 32 && u != 127;
}
} // namespace

TStringGrid::TStringGrid(TComponent *AOwner) : TWinControl(AOwner) {
  fCells.assign(fRowCount, std::vector<std::string>(fColCount));
  ColWidths.assign(fColCount, DefaultColWidth);
}

void TStringGrid::SetColCount(int n) {
  n = std::max(1, n);
  if (fEditing && fCol >= n) CancelEdit();
  fColCount = n;
  for (auto &row : fCells) row.resize(n);
  ColWidths.resize(n, DefaultColWidth);
  fCol = std::min(fCol, n - 1);
  if (Application) Application->Invalidate();
}

void TStringGrid::SetRowCount(int n) {
  n = std::max(1, n);
  if (fEditing && fRow >= n) CancelEdit();
  fRowCount = n;
  fCells.resize(n, std::vector<std::string>(fColCount));
  fRow = std::min(fRow, n - 1);
  if (Application) Application->Invalidate();
}

std::string TStringGrid::Cell(int col, int row) const {
  if (col < 0 || row < 0 || col >= fColCount || row >= fRowCount) return std::string();
  return fCells[row][col];
}

void TStringGrid::SetCell(int col, int row, const std::string &s) {
  if (col < 0 || row < 0 || col >= fColCount || row >= fRowCount) return;
  fCells[row][col] = s;
  if (fEditing && col == fCol && row == fRow) {
    // The editor shows what the program put there; the operator's changes are gone.
    fCellBuffer = fCellMask.Empty() ? s : fCellMask.BufferFromText(s);
    fCellOriginal = s;
    fCellModified = false;
    fSelectAll = true;
    fCaret = fCellMask.Empty() ? (int)s.size() : 0;
  }
  if (Application) Application->Invalidate();
}

bool TStringGrid::Editable(int col, int row) const {
  return (Options & goEditing) && col >= FixedCols && row >= FixedRows && col < fColCount &&
         row < fRowCount;
}

void TStringGrid::BeginEdit() {
  std::string mask;
  if (OnGetEditMask) OnGetEditMask(this, fCol, fRow, mask);
  fCellMask = TEditMask(mask);
  fCellOriginal = Cell(fCol, fRow);
  fCellBuffer = fCellMask.Empty() ? fCellOriginal : fCellMask.BufferFromText(fCellOriginal);
  fCaret = fCellMask.Empty() ? (int)fCellBuffer.size() : 0;
  fSelectAll = true;
  fCellModified = false;
  fEditing = true;
}

void TStringGrid::StoreEdit() {
  fCellModified = true;
  fCells[fRow][fCol] = fCellMask.Empty() ? fCellBuffer : fCellMask.TextFromBuffer(fCellBuffer);
  if (Application) Application->Invalidate();
  if (OnChange) OnChange(this);
}

void TStringGrid::EndEdit() {
  if (!fEditing) return;
  if (!fCellMask.Empty() && fCellModified && !fCellMask.IsComplete(fCellBuffer))
    throw EDBEditError(TEditMask::InvalidInputMessage);
  fEditing = false;
  if (Application) Application->Invalidate();
}

void TStringGrid::CancelEdit() {
  fEditing = false;
  fSelectAll = false;
}

std::string TStringGrid::EditText() const {
  if (!fEditing) return Cell(fCol, fRow);
  return fCellMask.Empty() ? fCellBuffer : fCellMask.DisplayFromBuffer(fCellBuffer);
}

void TStringGrid::FocusCell(int col, int row) {
  if (col < 0 || row < 0 || col >= fColCount || row >= fRowCount)
    throw EInvalidOperation("Grid index out of range");
  if (col == fCol && row == fRow) return;
  EndEdit();
  if (OnSelectCell) {
    bool can = true;
    OnSelectCell(this, col, row, can);
    if (!can) return;
  }
  fCol = col;
  fRow = row;
  if (Application) Application->Invalidate();
}

void TStringGrid::SetCol(int c) {
  FocusCell(c, fRow);
}
void TStringGrid::SetRow(int r) {
  FocusCell(fCol, r);
}

void TStringGrid::KeyPress(char &Key) {
  switch (Key) {
  case VK_TAB: // moving with Tab is the key-down's business
    return;
  case VK_RETURN:
    EndEdit();
    Key = 0;
    return;
  case VK_ESCAPE:
    if (fEditing) {
      fCells[fRow][fCol] = fCellOriginal;
      CancelEdit();
      if (Application) Application->Invalidate();
      Key = 0;
    }
    return;
  default:
    break;
  }
  if (Key != VK_BACK && !Printable(Key)) return;
  if (!Editable(fCol, fRow)) return;
  if (!fEditing) BeginEdit();
  const bool masked = !fCellMask.Empty();
  if (Key == VK_BACK) {
    if (fSelectAll) {
      fCellBuffer = masked ? fCellMask.EmptyBuffer() : std::string();
      fCaret = 0;
    } else if (masked) {
      fCellMask.Backspace(fCellBuffer, fCaret);
    } else if (fCaret > 0) {
      fCellBuffer.erase(--fCaret, 1);
    }
    fSelectAll = false;
    StoreEdit();
    return;
  }
  if (masked) {
    if (fSelectAll) {
      std::string b = fCellMask.EmptyBuffer();
      int caret = 0;
      if (!fCellMask.TypeChar(b, caret, Key)) return;
      fCellBuffer = std::move(b);
      fCaret = caret;
    } else if (!fCellMask.TypeChar(fCellBuffer, fCaret, Key)) {
      return;
    }
  } else {
    if (fSelectAll) {
      fCellBuffer.clear();
      fCaret = 0;
    }
    fCaret = std::clamp(fCaret, 0, (int)fCellBuffer.size());
    // The caret was just clamped to the buffer (the analyser does not follow std::clamp).
    // cppcheck-suppress containerOutOfBounds
    fCellBuffer.insert(fCellBuffer.begin() + fCaret, Key);
    ++fCaret;
  }
  fSelectAll = false;
  StoreEdit();
}

void TStringGrid::KeyDown(Word &Key, TShiftState Shift) {
  const int firstCol = std::min(FixedCols, fColCount - 1);
  const int firstRow = std::min(FixedRows, fRowCount - 1);
  const int bufLen = (int)fCellBuffer.size();
  switch (Key) {
  case VK_TAB: {
    int c = fCol, r = fRow;
    if (Shift & ssShift) {
      if (--c < firstCol) {
        c = fColCount - 1;
        if (--r < firstRow) r = fRowCount - 1;
      }
    } else if (++c >= fColCount) {
      c = firstCol;
      if (++r >= fRowCount) r = firstRow;
    }
    FocusCell(c, r); // the Tab character follows (a screen may swallow it)
    return;
  }
  case VK_LEFT:
    if (fEditing) {
      fCaret = fSelectAll ? 0 : std::max(0, fCaret - 1);
      fSelectAll = false;
    } else if (fCol > firstCol) {
      FocusCell(fCol - 1, fRow);
    }
    break;
  case VK_RIGHT:
    if (fEditing) {
      fCaret = fSelectAll ? bufLen : std::min(bufLen, fCaret + 1);
      fSelectAll = false;
    } else if (fCol + 1 < fColCount) {
      FocusCell(fCol + 1, fRow);
    }
    break;
  case VK_UP:
    if (fRow > firstRow) FocusCell(fCol, fRow - 1);
    break;
  case VK_DOWN:
    if (fRow + 1 < fRowCount) FocusCell(fCol, fRow + 1);
    break;
  case VK_HOME:
    if (fEditing) {
      fCaret = 0;
      fSelectAll = false;
    } else {
      FocusCell(firstCol, fRow);
    }
    break;
  case VK_END:
    if (fEditing) {
      fCaret = bufLen;
      fSelectAll = false;
    } else {
      FocusCell(fColCount - 1, fRow);
    }
    break;
  case VK_DELETE:
    if (!fEditing) return;
    if (fSelectAll) {
      fCellBuffer = fCellMask.Empty() ? std::string() : fCellMask.EmptyBuffer();
      fCaret = 0;
    } else if (!fCellMask.Empty()) {
      fCellMask.Delete(fCellBuffer, fCaret);
    } else if (fCaret < bufLen) {
      fCellBuffer.erase(fCaret, 1);
    }
    fSelectAll = false;
    StoreEdit();
    break;
  default:
    return;
  }
  if (Application) Application->Invalidate();
}

void TStringGrid::ValidateExit() {
  EndEdit();
}
