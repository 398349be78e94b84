// Forms: focus moves, tab order, the key stages, accelerators, showing and freeing.
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/operator/Transcript.h"
#include "platform/text/StrUtils.h"

namespace {

void CollectTabOrder(const TWinControl *w, std::vector<TWinControl *> &out) {
  for (TWinControl *c : w->TabOrderList()) {
    out.push_back(c);
    CollectTabOrder(c, out);
  }
}

bool IsArrow(Word k) {
  return k == VK_LEFT || k == VK_RIGHT || k == VK_UP || k == VK_DOWN;
}

bool Printable(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= 32 && u != 127;
}

} // namespace

TForm::TForm(TComponent *AOwner) : TWinControl(AOwner) {
  fVisible = false; // until shown
  TabStop = false;
}

TForm::~TForm() {
  fActive = fFocused = fReceiving = nullptr;
  if (!fFreed && Transcript().Active())
    Transcript().Add("form", {{"form", TTranscript::Text(Name)}, {"what", "destroy"}});
  if (Application) Application->FormGone(this);
}

void TForm::Free() {
  if (fModal) throw EInvalidOperation("Cannot free a form while it is shown modally");
  fFreed = true;
  if (fShown && Application) Application->HideForm(this);
  if (Application)
    Application->Guarded(this, [&] {
      if (OnDestroy) OnDestroy(this);
    });
  else if (OnDestroy)
    OnDestroy(this);
  Transcript().Add("form", {{"form", TTranscript::Text(Name)}, {"what", "destroy"}});
  delete this;
}

void TForm::SetVisible(bool v) {
  if (v)
    Show();
  else
    Hide();
}

void TForm::SetFocus() {
  if (!fVisible || !fEnabled) throw EInvalidOperation(CannotFocusMessage);
}

void TForm::SetActiveControl(TWinControl *c) {
  if (c && (c == this || c->GetParentForm() != this || !c->CanFocus()))
    throw EInvalidOperation(CannotFocusMessage);
  if (!fIsActive) {
    fActive = c; // the focus lands there when the form becomes active
    return;
  }
  FocusControl(c);
}

// The focus moves from the control that holds it to c. The old control's validation may refuse
// (nothing changes). Its OnExit runs while the form already reports c, and without the focus, so a
// handler that moves the focus elsewhere wins: c then gets no OnEnter.
void TForm::FocusControl(TWinControl *c) {
  if (c == fFocused) {
    fActive = c;
    return;
  }
  TWinControl *old = fFocused;
  if (old) old->ValidateExit();
  const unsigned gen = ++fFocusGen;
  TWinControl *const previousActive = fActive;
  fActive = c;
  if (old) {
    fFocused = nullptr;
    TWinControl *const savedReceiving = fReceiving;
    fReceiving = c;
    try {
      old->DoExit();
    } catch (...) {
      fReceiving = savedReceiving;
      if (gen == fFocusGen) {
        fActive = previousActive;
        fFocused = old;
      }
      throw;
    }
    fReceiving = savedReceiving;
    if (gen != fFocusGen) return;
  }
  fFocused = c;
  if (Application) Application->Invalidate();
  if (Transcript().Active()) {
    const std::string control = c ? Cp1252ToUtf8(c->Name) : std::string();
    const std::string form = Cp1252ToUtf8(Name);
    Transcript().AddTexts("focus", {{"control", c ? &control : nullptr}, {"form", &form}});
  }
  if (c) c->DoEnter();
}

void TForm::Activated() {
  fIsActive = true;
  TWinControl *target = fActive && fActive->CanFocus() ? fActive : FirstControl();
  FocusControl(target);
}

void TForm::Defocus(TControl *c) {
  auto *w = dynamic_cast<TWinControl *>(c);
  if (!w) return;
  bool changed = false;
  if (fActive && w->ContainsControl(fActive)) fActive = nullptr, changed = true;
  if (fFocused && w->ContainsControl(fFocused)) fFocused = nullptr, changed = true;
  if (changed && fIsActive && Transcript().Active())
    Transcript().Add("focus", {{"form", TTranscript::Text(Name)}, {"control", nullptr}});
}

void TForm::ControlGone(TWinControl *c) {
  if (fActive && c->ContainsControl(fActive)) fActive = nullptr;
  if (fFocused && c->ContainsControl(fFocused)) fFocused = nullptr;
  if (fReceiving && c->ContainsControl(fReceiving)) fReceiving = nullptr;
}

TWinControl *TForm::FindNextControl(TWinControl *current, bool forward) const {
  std::vector<TWinControl *> list;
  CollectTabOrder(this, list);
  const int n = (int)list.size();
  if (n == 0) return nullptr;
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (list[i] == current) start = i;
  if (start < 0) start = forward ? n - 1 : 0;
  int i = start;
  do {
    if (forward) {
      if (++i == n) i = 0;
    } else {
      if (i == 0) i = n;
      --i;
    }
    TWinControl *c = list[i];
    if (c->TabStop && c->CanFocus()) return c;
  } while (i != start);
  return nullptr;
}

void TForm::SelectNext(TWinControl *current, bool forward) {
  if (TWinControl *c = FindNextControl(current, forward)) c->SetFocus();
}

void TForm::SelectFirst() {
  if (TWinControl *c = FirstControl()) c->SetFocus();
}

TWinControl *TForm::FirstControl() const {
  return FindNextControl(nullptr, true);
}

int TForm::ShowModal() {
  return Application->RunModal(this);
}
void TForm::Show() {
  Application->ShowForm(this);
}
void TForm::Hide() {
  Application->HideForm(this);
}

void TForm::Close() {
  if (fModal) {
    ModalResult = mrCancel;
    return;
  }
  if (!fShown) return;
  Application->Guarded(this, [&] {
    if (OnClose) OnClose(this);
  });
  Hide();
}

bool TForm::ClickAccelerator(char c) {
  if (!c) return false;
  const char want = AnsiUpperChar(c);
  std::vector<TWinControl *> list;
  CollectTabOrder(this, list);
  for (TWinControl *w : list) {
    auto *b = dynamic_cast<TButtonControl *>(w);
    if (b && b->Showing() && b->EnabledChain() && b->Accelerator() == want) {
      b->Click();
      return true;
    }
  }
  return false;
}

void TForm::DispatchChar(char Key, TShiftState Shift) {
  if (!fEnabled) return;
  if (Shift & ssAlt) {
    ClickAccelerator(Key);
    return;
  }
  TWinControl *const c = fActive; // the key belongs to the control that had the focus
  if (KeyPreview && OnKeyPress) {
    OnKeyPress(this, Key);
    if (!Key) return;
  }
  if (c) {
    if (c->OnKeyPress) {
      c->OnKeyPress(c, Key);
      if (!Key) return;
    }
    c->KeyPress(Key);
    if (!Key || c->WantsChars()) return;
  }
  if (Printable(Key)) ClickAccelerator(Key);
}

void TForm::DispatchKey(Word Key, TShiftState Shift) {
  if (!fEnabled) return;
  TWinControl *const c = fActive;
  if (KeyPreview && OnKeyDown) {
    OnKeyDown(this, Key, Shift);
    if (!Key) return;
  }
  if (c && c->OnKeyDown) {
    c->OnKeyDown(c, Key, Shift);
    if (!Key) return;
  }
  if (Key == VK_TAB && !(c && c->WantsTab())) {
    SelectNext(c, !(Shift & ssShift));
    return;
  }
  if (c) {
    if (IsArrow(Key) && !c->WantsArrows()) {
      // Arrows on a button walk the controls of the same parent.
      if (TWinControl *p = c->Parent()) {
        const std::vector<TWinControl *> list = p->TabOrderList();
        const int n = (int)list.size();
        int start = 0;
        for (int i = 0; i < n; ++i)
          if (list[i] == c) start = i;
        const bool forward = Key == VK_RIGHT || Key == VK_DOWN;
        for (int k = 1; k <= n; ++k) {
          TWinControl *w = list[((start + (forward ? k : -k)) % n + n) % n];
          if (w->CanFocus()) {
            if (w != c) w->SetFocus();
            break;
          }
        }
      }
      return;
    }
    c->KeyDown(Key, Shift);
    if (!Key) return;
  }
  char ch = 0;
  switch (Key) {
  case VK_RETURN:
    ch = '\r';
    break;
  case VK_BACK:
    ch = '\b';
    break;
  case VK_ESCAPE:
    ch = 27;
    break;
  case VK_SPACE:
    ch = ' ';
    break;
  case VK_TAB:
    ch = '\t';
    break;
  default:
    break;
  }
  if (ch) DispatchChar(ch, Shift & ~ssShift);
}
