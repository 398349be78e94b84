// Standard controls: labels, edits, masked edits, buttons, combo boxes and memos, and TStringList
// (the items of a combo box, the lines of a memo): what each does with the keys it gets.
#pragma once

#include <string>
#include <vector>

#include "platform/forms/Controls.h"
#include "platform/forms/EditMask.h"

class TLabel : public TControl {
public:
  using TControl::TControl;
  const char *ClassName() const override { return "TLabel"; }
};

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
public:
  using TWinControl::TWinControl;
  int MaxLength = 0; // 0 = no limit
  bool ReadOnly = false;
  TEditCharCase CharCase = ecNormal;
  bool Modified = false; // changed by the operator since the text was last set

  // Applies CharCase, runs OnChange when the text changes; puts the caret at the start and clears
  // Modified, as the platform does when a program sets the text.
  void SetCaption(const std::string &s) override;
  int SelStart() const { return fCaret; }
  void SetSelStart(int pos);
  bool AllSelected() const { return fSelectAll; }
  void Clear() { SetText(""); }
  void SelectAll();

  bool IsFocusableKind() const override { return true; }
  bool WantsChars() const override { return true; }
  // Printable characters replace the selection or go in at the caret (MaxLength, ReadOnly and
  // CharCase honoured); Backspace deletes. Other control characters are ignored.
  void KeyPress(char &Key) override;
  void KeyDown(Word &Key, TShiftState Shift) override; // Left Right Home End Delete
  void DoEnter() override;                             // selects the whole text
  void DoExit() override;

protected:
  int fCaret = 0;
  bool fSelectAll = false; // the whole text is selected: the next character replaces it
  // Left, Right, Home and End within a text of `len` positions; false for any other key.
  bool MoveCaret(Word key, int len);
  void Changed(); // marks Modified, runs OnChange
};

class TEdit : public TCustomEdit {
public:
  using TCustomEdit::TCustomEdit;
  const char *ClassName() const override { return "TEdit"; }
};

class TMaskEdit : public TCustomEdit {
public:
  using TCustomEdit::TCustomEdit;
  const std::string &EditMask() const { return fMask.Mask(); }
  void SetEditMask(const std::string &mask); // reformats the current text
  const TEditMask &Mask() const { return fMask; }
  bool IsMasked() const { return !fMask.Empty(); }
  // Text as the platform reports it (see TEditMask::TextFromBuffer); EditText is the buffer.
  std::string Caption() const override;
  void SetCaption(const std::string &s) override;
  std::string EditText() const; // what the operator sees, blanks included
  // Typing fills only positions the mask accepts and skips literals; Escape puts back the text the
  // edit had when the focus arrived (and clears Modified).
  void KeyPress(char &Key) override;
  void KeyDown(Word &Key, TShiftState Shift) override;
  // Leaving a changed edit whose required positions are not all filled raises EDBEditError with
  // TEditMask::InvalidInputMessage.
  void ValidateExit() override;
  void DoEnter() override;
  const char *ClassName() const override { return "TMaskEdit"; }

private:
  TEditMask fMask;
  std::string fBuffer;
  std::string fEnterBuffer; // for Escape
};

class TButtonControl : public TWinControl {
public:
  using TWinControl::TWinControl;
  bool IsFocusableKind() const override { return true; }
  bool WantsArrows() const override { return false; }
  void KeyPress(char &Key) override; // Enter or Space clicks
  // The accelerator of the caption ("&1 - Confirma" -> '1', upper-cased), 0 when none.
  char Accelerator() const;
};

class TBitBtn : public TButtonControl {
public:
  using TButtonControl::TButtonControl;
  int ModalResult = mrNone; // when nonzero, a click sets the form's ModalResult
  std::string Glyph;        // name of the glyph resource (not drawn by the headless layer)
  void Click() override;
  const char *ClassName() const override { return "TBitBtn"; }
};
using TButton = TBitBtn;

class TStringList {
public:
  int Count() const { return (int)fItems.size(); }
  const std::string &operator[](int i) const { return fItems.at(i); }
  std::string &operator[](int i) { return fItems.at(i); }
  void Add(const std::string &s) { fItems.push_back(s); }
  void Clear() { fItems.clear(); }
  void Delete(int i) { fItems.erase(fItems.begin() + i); }
  int IndexOf(const std::string &s) const; // case-insensitive, -1 when absent
  std::string GetText() const;             // lines joined with "\r\n"
  void SetText(const std::string &s);      // split at CR LF, LF or CR
  const std::vector<std::string> &Items() const { return fItems; }

private:
  std::vector<std::string> fItems;
};

class TComboBox : public TWinControl { // a drop-down list
public:
  using TWinControl::TWinControl;
  TStringList Items;
  int ItemIndex() const { return fItemIndex < Items.Count() ? fItemIndex : -1; }
  // -1 for none (so is an index out of range). As on the platform, a change made by the program
  // does not run OnChange; the operator's changes (keys) do.
  void SetItemIndex(int i);
  std::string Caption() const override;           // the selected item, "" when none
  void SetCaption(const std::string &s) override; // selects the item with that text
  void Clear();                                   // no items, nothing selected
  bool IsFocusableKind() const override { return true; }
  bool WantsChars() const override { return true; }
  // A typed character selects the next item that starts with it.
  void KeyPress(char &Key) override;
  void KeyDown(Word &Key, TShiftState Shift) override; // Up/Down, Home/End move the selection
  const char *ClassName() const override { return "TComboBox"; }

private:
  int fItemIndex = -1;
};

// The scroll bars of a memo. A bar that is asked for is always drawn, greyed while there is
// nothing to scroll that way; a memo with the horizontal bar does not wrap its lines.
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TWinControl {
public:
  using TWinControl::TWinControl;
  TStringList Lines;
  bool ReadOnly = false;
  TScrollStyle ScrollBars = ssNone;
  int TopLine = 0;        // first line shown (scrolling)
  int VisibleLines = 0;   // lines the renderer shows at once (0 = as many as fit)
  int LeftCol = 0;        // first character shown of every line (horizontal scrolling)
  int VisibleColumns = 0; // characters the renderer shows at once (0 = as many as fit)
  bool HorzScrollBar() const { return ScrollBars == ssHorizontal || ScrollBars == ssBoth; }
  bool VertScrollBar() const { return ScrollBars == ssVertical || ScrollBars == ssBoth; }
  int LongestLine() const; // characters
  std::string Caption() const override { return Lines.GetText(); }
  void SetCaption(const std::string &s) override { Lines.SetText(s); }
  bool IsFocusableKind() const override { return true; }
  // An edit window: it takes characters even when read-only (so a typed digit is not an accelerator
  // there).
  bool WantsChars() const override { return true; }
  void KeyPress(char &Key) override; // appends when not read-only
  // Up/Down/PgUp/PgDn/Home/End scroll the lines, Left/Right the columns.
  void KeyDown(Word &Key, TShiftState Shift) override;
  const char *ClassName() const override { return "TMemo"; }
};
