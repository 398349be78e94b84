// Labels, edits, masked edits, buttons, combo boxes, memos and string lists: what each does with
// the keys it gets.
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/text/StrUtils.h"

#include <algorithm>

namespace {

bool Printable(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= 32 && u != 127;
}

char ApplyCase(TEditCharCase cc, char c) {
  if (cc == ecUpperCase) return AnsiUpperChar(c);
  if (cc == ecLowerCase) return AnsiLowerCase(std::string(1, c))[0];
  return c;
}

std::string ApplyCase(TEditCharCase cc, const std::string &s) {
  if (cc == ecUpperCase) return AnsiUpperCase(s);
  if (cc == ecLowerCase) return AnsiLowerCase(s);
  return s;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TCustomEdit

void TCustomEdit::SetCaption(const std::string &s) {
  const std::string t = ApplyCase(CharCase, s);
  Modified = false;
  if (t == fText) return;
  fText = t;
  fCaret = 0;
  fSelectAll = false;
  if (Application) Application->Invalidate();
  if (OnChange) OnChange(this);
}

void TCustomEdit::SetSelStart(int pos) {
  fCaret = std::clamp(pos, 0, (int)fText.size());
  fSelectAll = false;
}

void TCustomEdit::SelectAll() {
  fSelectAll = true;
  fCaret = (int)fText.size();
}

void TCustomEdit::Changed() {
  Modified = true;
  if (Application) Application->Invalidate();
  if (OnChange) OnChange(this);
}

void TCustomEdit::KeyPress(char &Key) {
  if (Key == VK_BACK) {
    if (ReadOnly) return;
    if (fSelectAll && !fText.empty()) {
      fText.clear();
      fCaret = 0;
      fSelectAll = false;
      Changed();
    } else if (fCaret > 0) {
      fSelectAll = false;
      fText.erase(--fCaret, 1);
      Changed();
    }
    return;
  }
  if (!Printable(Key) || ReadOnly) return; // Enter, Escape, Tab: nothing to insert
  const char c = ApplyCase(CharCase, Key);
  const size_t kept = fSelectAll ? 0 : fText.size();
  if (MaxLength > 0 && kept >= (size_t)MaxLength) return; // full: the key is refused
  if (fSelectAll) {
    fText.clear();
    fCaret = 0;
    fSelectAll = false;
  }
  fCaret = std::clamp(fCaret, 0, (int)fText.size());
  // The caret was just clamped to the text (the analyser does not follow std::clamp).
  // cppcheck-suppress containerOutOfBounds
  fText.insert(fText.begin() + fCaret, c);
  ++fCaret;
  Changed();
}

bool TCustomEdit::MoveCaret(Word key, int len) {
  switch (key) {
  case VK_LEFT:
    fCaret = fSelectAll ? 0 : std::max(0, fCaret - 1);
    break;
  case VK_RIGHT:
    fCaret = fSelectAll ? len : std::min(len, fCaret + 1);
    break;
  case VK_HOME:
    fCaret = 0;
    break;
  case VK_END:
    fCaret = len;
    break;
  default:
    return false;
  }
  fSelectAll = false;
  if (Application) Application->Invalidate();
  return true;
}

void TCustomEdit::KeyDown(Word &Key, TShiftState Shift) {
  (void)Shift;
  const int len = (int)fText.size();
  if (MoveCaret(Key, len)) return;
  switch (Key) {
  case VK_DELETE:
    if (ReadOnly) return;
    if (fSelectAll && len) {
      fText.clear();
      fCaret = 0;
      fSelectAll = false;
      Changed();
    } else if (fCaret < len) {
      fText.erase(fCaret, 1);
      Changed();
    }
    break;
  default:
    return;
  }
  fSelectAll = false;
  if (Application) Application->Invalidate();
}

void TCustomEdit::DoEnter() {
  SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::DoExit() {
  fSelectAll = false;
  TWinControl::DoExit();
}

// ---------------------------------------------------------------------------------------------
// TMaskEdit

void TMaskEdit::SetEditMask(const std::string &mask) {
  const std::string before = Caption();
  fMask = TEditMask(mask);
  if (IsMasked()) {
    fBuffer = fMask.BufferFromText(before);
  } else {
    fText = before;
    fBuffer.clear();
  }
  fCaret = 0;
  fSelectAll = false;
  Modified = false;
  if (Application) Application->Invalidate();
  if (OnChange && Caption() != before) OnChange(this);
}

std::string TMaskEdit::Caption() const {
  return IsMasked() ? fMask.TextFromBuffer(fBuffer) : fText;
}

void TMaskEdit::SetCaption(const std::string &s) {
  if (!IsMasked()) {
    TCustomEdit::SetCaption(s);
    return;
  }
  Modified = false;
  std::string b = fMask.BufferFromText(ApplyCase(CharCase, s));
  if (b == fBuffer) return;
  fBuffer = std::move(b);
  fCaret = 0;
  fSelectAll = false;
  if (Application) Application->Invalidate();
  if (OnChange) OnChange(this);
}

std::string TMaskEdit::EditText() const {
  return IsMasked() ? fMask.DisplayFromBuffer(fBuffer) : fText;
}

void TMaskEdit::KeyPress(char &Key) {
  if (!IsMasked()) {
    TCustomEdit::KeyPress(Key);
    return;
  }
  if (Key == VK_ESCAPE) {
    // Abandon the changes made since the focus arrived.
    if (Modified || fBuffer != fEnterBuffer) {
      const bool changed = fBuffer != fEnterBuffer;
      fBuffer = fEnterBuffer;
      fCaret = 0;
      fSelectAll = true;
      Modified = false;
      if (Application) Application->Invalidate();
      if (changed && OnChange) OnChange(this);
      Key = 0;
    }
    return;
  }
  if (ReadOnly) return;
  if (Key == VK_BACK) {
    const std::string before = fBuffer;
    if (fSelectAll) {
      fBuffer = fMask.EmptyBuffer();
      fCaret = 0;
    } else {
      fMask.Backspace(fBuffer, fCaret);
    }
    fSelectAll = false;
    if (fBuffer != before) Changed();
    return;
  }
  if (!Printable(Key)) return;
  const char c = ApplyCase(CharCase, Key);
  if (fSelectAll) {
    // The selection goes only when the character is taken.
    std::string b = fMask.EmptyBuffer();
    int caret = 0;
    if (!fMask.TypeChar(b, caret, c)) return;
    fBuffer = std::move(b);
    fCaret = caret;
    fSelectAll = false;
    Changed();
    return;
  }
  if (fMask.TypeChar(fBuffer, fCaret, c)) Changed();
}

void TMaskEdit::KeyDown(Word &Key, TShiftState Shift) {
  if (!IsMasked()) {
    TCustomEdit::KeyDown(Key, Shift);
    return;
  }
  if (MoveCaret(Key, fMask.Length())) return;
  if (Key != VK_DELETE || ReadOnly) return;
  const std::string before = fBuffer;
  if (fSelectAll) {
    fBuffer = fMask.EmptyBuffer();
    fCaret = 0;
  } else {
    fMask.Delete(fBuffer, fCaret);
  }
  fSelectAll = false;
  if (fBuffer != before) Changed();
}

void TMaskEdit::ValidateExit() {
  if (IsMasked() && Modified && !fMask.IsComplete(fBuffer))
    throw EDBEditError(TEditMask::InvalidInputMessage);
}

void TMaskEdit::DoEnter() {
  fEnterBuffer = fBuffer;
  TCustomEdit::DoEnter();
  if (IsMasked()) fCaret = 0;
}

// ---------------------------------------------------------------------------------------------
// Buttons

void TButtonControl::KeyPress(char &Key) {
  if (Key == VK_RETURN || Key == ' ') {
    Key = 0;
    Click();
  }
}

char TButtonControl::Accelerator() const {
  const std::string s = Caption();
  for (size_t i = 0; i + 1 < s.size(); ++i) {
    if (s[i] != '&') continue;
    if (s[i + 1] == '&') {
      ++i; // "&&" is a plain ampersand
      continue;
    }
    return AnsiUpperChar(s[i + 1]);
  }
  return 0;
}

void TBitBtn::Click() {
  if (ModalResult != mrNone)
    if (TForm *f = GetParentForm()) f->ModalResult = ModalResult;
  TButtonControl::Click();
}

// ---------------------------------------------------------------------------------------------
// TComboBox

void TComboBox::SetItemIndex(int i) {
  if (i < -1 || i >= Items.Count()) i = -1;
  if (i == fItemIndex) return;
  fItemIndex = i;
  if (Application) Application->Invalidate();
}

std::string TComboBox::Caption() const {
  const int i = ItemIndex();
  return i >= 0 ? Items[i] : std::string();
}

void TComboBox::SetCaption(const std::string &s) {
  SetItemIndex(Items.IndexOf(s));
}

void TComboBox::Clear() {
  Items.Clear();
  fItemIndex = -1;
  if (Application) Application->Invalidate();
}

void TComboBox::KeyPress(char &Key) {
  if (!Printable(Key) || Items.Count() == 0) return;
  const char want = AnsiUpperChar(Key);
  const int n = Items.Count();
  const int from = ItemIndex();
  for (int k = 1; k <= n; ++k) {
    const int i = ((from < 0 ? -1 : from) + k + n) % n;
    if (!Items[i].empty() && AnsiUpperChar(Items[i][0]) == want) {
      if (i != ItemIndex()) {
        SetItemIndex(i);
        if (OnChange) OnChange(this);
      }
      return;
    }
  }
}

void TComboBox::KeyDown(Word &Key, TShiftState Shift) {
  (void)Shift;
  const int n = Items.Count();
  const int cur = ItemIndex();
  int next = cur;
  switch (Key) {
  case VK_UP:
    next = cur > 0 ? cur - 1 : cur;
    break;
  case VK_DOWN:
    next = cur + 1 < n ? cur + 1 : cur;
    break;
  case VK_HOME:
    next = n ? 0 : -1;
    break;
  case VK_END:
    next = n - 1;
    break;
  default:
    return;
  }
  if (next != cur) {
    SetItemIndex(next);
    if (OnChange) OnChange(this);
  }
}

// ---------------------------------------------------------------------------------------------
// TMemo

void TMemo::KeyPress(char &Key) {
  if (ReadOnly) return;
  if (Key == VK_RETURN) {
    Lines.Add("");
  } else if (Key == VK_BACK) {
    if (Lines.Count() == 0) return;
    std::string &last = Lines[Lines.Count() - 1];
    if (last.empty())
      Lines.Delete(Lines.Count() - 1);
    else
      last.pop_back();
  } else if (Printable(Key)) {
    if (Lines.Count() == 0) Lines.Add("");
    Lines[Lines.Count() - 1] += Key;
  } else {
    return;
  }
  if (Application) Application->Invalidate();
  if (OnChange) OnChange(this);
}

int TMemo::LongestLine() const {
  size_t n = 0;
  for (int i = 0; i < Lines.Count(); ++i) n = std::max(n, Lines[i].size());
  return static_cast<int>(n);
}

void TMemo::KeyDown(Word &Key, TShiftState Shift) {
  (void)Shift;
  if (Key == VK_LEFT || Key == VK_RIGHT) {
    // The end of the longest line may come into view, no further.
    const int last = std::max(0, LongestLine() - (VisibleColumns > 0 ? VisibleColumns : 1));
    LeftCol = std::clamp(LeftCol + (Key == VK_RIGHT ? 1 : -1), 0, last);
    if (Application) Application->Invalidate();
    return;
  }
  const int page = VisibleLines > 0 ? VisibleLines : 10;
  const int last = std::max(0, Lines.Count() - (VisibleLines > 0 ? VisibleLines : 1));
  int top = TopLine;
  switch (Key) {
  case VK_UP:
    --top;
    break;
  case VK_DOWN:
    ++top;
    break;
  case VK_PRIOR:
    top -= page;
    break;
  case VK_NEXT:
    top += page;
    break;
  case VK_HOME:
    top = 0;
    break;
  case VK_END:
    top = last;
    break;
  default:
    return;
  }
  TopLine = std::clamp(top, 0, last);
  if (Application) Application->Invalidate();
}

// ---------------------------------------------------------------------------------------------
// TStringList

int TStringList::IndexOf(const std::string &s) const {
  for (size_t i = 0; i < fItems.size(); ++i)
    if (SameText(fItems[i], s)) return (int)i;
  return -1;
}

std::string TStringList::GetText() const {
  std::string out;
  for (size_t i = 0; i < fItems.size(); ++i) {
    if (i) out += "\r\n";
    out += fItems[i];
  }
  return out;
}

void TStringList::SetText(const std::string &s) {
  fItems.clear();
  std::string line;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\r' || c == '\n') {
      fItems.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) fItems.push_back(line);
}
