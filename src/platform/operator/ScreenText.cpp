// A text picture of the screen, for readable test failures and for simple renderers.
#include "platform/operator/ScreenText.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Panels.h"
#include "platform/forms/StdCtrls.h"
#include "platform/operator/Privacy.h"
#include "platform/text/StrUtils.h"

#include <cstdio>

namespace {

std::string Q(const std::string &cp1252) {
  std::string out = "\"";
  for (char c : Cp1252ToUtf8(cp1252)) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '"')
      out += "\\\"";
    else
      out += c;
  }
  return out + "\"";
}

void Describe(const TControl *c, const TForm *form, int depth, std::string &out) {
  if (!c->Visible()) return;
  std::string line(size_t(depth) * 2, ' ');
  line += (c->Name.empty() ? std::string("(unnamed)") : c->Name) + ": " + c->ClassName();
  const auto *grid = dynamic_cast<const TStringGrid *>(c);
  const auto *memo = dynamic_cast<const TMemo *>(c);
  const auto *mask = dynamic_cast<const TMaskEdit *>(c);
  const bool hide = Privacy().Hides(c);
  auto V = [hide](const std::string &text) { return Q(hide ? MaskValue(text) : text); };
  if (grid) {
    line += " " + std::to_string(grid->ColCount()) + "x" + std::to_string(grid->RowCount()) +
            ", cell " + std::to_string(grid->Col()) + "," + std::to_string(grid->Row());
    if (grid->EditorMode()) line += " editing " + V(grid->EditText());
  } else if (memo) {
    line += " " + std::to_string(memo->Lines.Count()) + " lines";
    if (memo->TopLine) line += " from " + std::to_string(memo->TopLine);
  } else if (!dynamic_cast<const TPanel *>(c) && !dynamic_cast<const TImage *>(c)) {
    line += " " + V(c->Caption());
  }
  if (mask && mask->IsMasked())
    line += " shows " + V(mask->EditText()) + " mask " + Q(mask->EditMask());
  if (auto *e = dynamic_cast<const TCustomEdit *>(c)) {
    if (e->ReadOnly) line += " read-only";
    if (e->MaxLength) line += " max " + std::to_string(e->MaxLength);
  }
  if (auto *cb = dynamic_cast<const TComboBox *>(c))
    line += " [" + std::to_string(cb->Items.Count()) + " items, index " +
            std::to_string(cb->ItemIndex()) + "]";
  if (!c->Enabled()) line += " disabled";
  if (auto *w = dynamic_cast<const TWinControl *>(c); w && form && form->ActiveControl() == w)
    line += "  <- focus";
  out += line + "\n";
  const std::string inner(size_t(depth + 1) * 2, ' ');
  if (grid) {
    for (int r = 0; r < grid->RowCount(); ++r) {
      out += inner + std::to_string(r) + ":";
      for (int col = 0; col < grid->ColCount(); ++col) {
        const bool fixed = col < grid->FixedCols || r < grid->FixedRows;
        out += " " + (fixed ? Q(grid->Cell(col, r)) : V(grid->Cell(col, r)));
      }
      out += "\n";
    }
  }
  if (memo) {
    for (int i = 0; i < memo->Lines.Count(); ++i)
      out += inner + "| " + Cp1252ToUtf8(memo->Lines[i]) + "\n";
  }
  if (auto *w = dynamic_cast<const TWinControl *>(c))
    for (int i = 0; i < w->ControlCount(); ++i) Describe(w->Controls(i), form, depth + 1, out);
}

} // namespace

std::string FormText(const TForm *f) {
  std::string out = "Form " + f->Name + " " + Q(f->Caption());
  if (f->IsModal()) out += " modal";
  if (f->Active()) out += " active";
  if (!f->Enabled()) out += " disabled";
  out += "\n";
  for (int i = 0; i < f->ControlCount(); ++i) Describe(f->Controls(i), f, 1, out);
  return out;
}

std::string ScreenText() {
  std::string out;
  const TForm *top = Application->ActiveForm();
  if (!top) {
    out = "No form is shown\n";
  } else {
    out = FormText(top);
    const auto &stack = Application->FormStack();
    if (stack.size() > 1) {
      out += "Below:";
      for (size_t i = stack.size() - 1; i-- > 0;) out += " " + stack[i]->Name;
      out += "\n";
    }
  }
  if (const TMessageBoxState *box = Application->ActiveMessageBox()) {
    char flags[16];
    (void)std::snprintf(flags, sizeof flags, "0x%X", box->Flags); // at most 10 characters
    out += "Message box " + Q(box->Caption) + " (flags " + flags +
           "): " + Q(LoggedText(box->Text)) + "\n";
  }
  return out;
}
