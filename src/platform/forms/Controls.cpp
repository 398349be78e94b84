// Controls and containers: parents, visibility, tab order, focus.
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent *AOwner) : TComponent(AOwner) {}

TControl::~TControl() {
  if (fParent) {
    auto &list = fParent->fControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    fParent = nullptr;
  }
}

void TControl::SetParent(TWinControl *p) {
  if (p == fParent) return;
  if (p && p == this) throw EInvalidOperation("A control cannot be its own parent");
  if (fParent) {
    if (TForm *f = GetParentForm(); f && f != this)
      if (auto *w = dynamic_cast<TWinControl *>(this)) f->ControlGone(w);
    auto &list = fParent->fControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  fParent = p;
  if (p) p->fControls.push_back(this);
  if (Application) Application->Invalidate();
}

TForm *TControl::GetParentForm() const {
  const TControl *c = this;
  while (c->fParent) c = c->fParent;
  return dynamic_cast<TForm *>(const_cast<TControl *>(c));
}

void TControl::SetBounds(int left, int top, int width, int height) {
  Left = left, Top = top, Width = width, Height = height;
}

void TControl::SetVisible(bool v) {
  if (v == fVisible) return;
  fVisible = v;
  if (!v)
    if (TForm *f = GetParentForm(); f && f != this) f->Defocus(this);
  if (Application) Application->Invalidate();
}

void TControl::SetEnabled(bool v) {
  if (v == fEnabled) return;
  fEnabled = v;
  if (!v)
    if (TForm *f = GetParentForm(); f && f != this) f->Defocus(this);
  if (Application) Application->Invalidate();
}

// The walk stops below the form: whether the form itself is shown does not matter here.
bool TControl::Showing() const {
  for (const TControl *c = this; c; c = c->fParent) {
    if (!c->fParent && dynamic_cast<const TForm *>(c)) break;
    if (!c->fVisible) return false;
  }
  return true;
}

bool TControl::EnabledChain() const {
  for (const TControl *c = this; c; c = c->fParent) {
    if (!c->fParent && dynamic_cast<const TForm *>(c)) break;
    if (!c->fEnabled) return false;
  }
  return true;
}

void TControl::SetCaption(const std::string &s) {
  if (s == fText) return;
  fText = s;
  if (Application) Application->Invalidate();
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

// ---------------------------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent *AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  if (TForm *f = GetParentForm(); f && f != this) f->ControlGone(this);
  // Children owned by someone else go with their owner; the others go with their parent.
  std::vector<TControl *> children;
  children.swap(fControls);
  for (TControl *c : children) {
    c->fParent = nullptr;
    if (!c->Owner()) delete c;
  }
}

std::vector<TWinControl *> TWinControl::TabOrderList() const {
  std::vector<TWinControl *> list;
  for (TControl *c : fControls)
    if (auto *w = dynamic_cast<TWinControl *>(c)) list.push_back(w);
  std::stable_sort(list.begin(), list.end(), [](const TWinControl *a, const TWinControl *b) {
    return a->TabOrder < b->TabOrder;
  });
  return list;
}

bool TWinControl::ContainsControl(const TControl *c) const {
  for (; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

bool TWinControl::CanFocus() const {
  return IsFocusableKind() && GetParentForm() && Showing() && EnabledChain();
}

bool TWinControl::Focused() const {
  const TForm *f = GetParentForm();
  return f && f != this && f->ActiveControl() == this;
}

void TWinControl::SetFocus() {
  TForm *f = GetParentForm();
  if (!f || f == this || !CanFocus()) throw EInvalidOperation(CannotFocusMessage);
  f->SetActiveControl(this);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}
