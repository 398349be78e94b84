// Controls and windowed controls: TControl (geometry, parent, visibility, caption, click) and
// TWinControl (children, tab order, focus, the key stages a control takes part in), and
// NewControl, which builds a control in place. The kinds of control are in StdCtrls.h, Panels.h
// and Grids.h; the form that holds the focus, and when a focus move takes effect, in Forms.h.
#pragma once

#include <string>
#include <vector>

#include "platform/forms/Components.h"

class TForm;
class TWinControl;

class TControl : public TComponent {
public:
  explicit TControl(TComponent *AOwner);
  ~TControl() override;

  int Left = 0, Top = 0, Width = 0, Height = 0;
  int TabOrder = 0;
  std::string Hint;
  TFont Font;
  int Color = 0xF0F0F0;
  bool ParentColor = true;
  bool Transparent = false;
  TAlignment Alignment = taLeftJustify;
  bool WordWrap = false;

  TNotifyEvent OnClick;

  TWinControl *Parent() const { return fParent; }
  void SetParent(TWinControl *p);
  // The form this control lives on (nullptr when none); a form is its own parent form.
  TForm *GetParentForm() const;
  void SetBounds(int left, int top, int width, int height);

  bool Visible() const { return fVisible; }
  virtual void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return fEnabled; }
  virtual void SetEnabled(bool v);
  // Visible and enabled here and in every parent up to the form (the form's own state is not looked
  // at: a form that is not shown yet still has showing controls).
  bool Showing() const;
  bool EnabledChain() const;

  // Caption of labels, panels and buttons; Text of edits. Both name the same text.
  virtual std::string Caption() const { return fText; }
  virtual void SetCaption(const std::string &s);
  std::string Text() const { return Caption(); }
  void SetText(const std::string &s) { SetCaption(s); }

  virtual void Click(); // runs OnClick
  // Kind of control for pictures and the transcript ("TEdit", "TBitBtn" ...).
  virtual const char *ClassName() const { return "TControl"; }

protected:
  std::string fText;
  bool fVisible = true;
  bool fEnabled = true;
  TWinControl *fParent = nullptr;
  friend class TWinControl;
};

class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent *AOwner);
  ~TWinControl() override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TNotifyEvent OnChange;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyDown;
  bool TabStop = true;

  int ControlCount() const { return (int)fControls.size(); }
  TControl *Controls(int i) const { return fControls.at(i); }
  // Children that are windowed controls, ordered by TabOrder (ties in creation order).
  std::vector<TWinControl *> TabOrderList() const;
  // True when c is this control or lies inside it.
  bool ContainsControl(const TControl *c) const;

  // True only for focusable kinds (edits, masked edits, buttons, combo boxes, memos, grids) that
  // are visible and enabled, inside visible and enabled parents up to the form.
  virtual bool IsFocusableKind() const { return false; }
  virtual bool CanFocus() const;
  bool Focused() const; // the active control of its form
  // Raises EInvalidOperation (CannotFocusMessage) when the control cannot take the focus.
  virtual void SetFocus();

  // The control's own key handling, after its OnKeyPress (which may swallow the key).
  virtual void KeyPress(char &Key) { (void)Key; }
  // Non-character keys, after OnKeyDown.
  virtual void KeyDown(Word &Key, TShiftState Shift) {
    (void)Key;
    (void)Shift;
  }
  // Whether the control takes typed characters (edits do, buttons do not): decides whether a plain
  // key is an accelerator.
  virtual bool WantsChars() const { return false; }
  // Whether Tab / Shift+Tab reach the control instead of moving the focus.
  virtual bool WantsTab() const { return false; }
  // Whether the arrow keys reach the control; on a control that does not take them (a button) they
  // move the focus among the controls of the same parent.
  virtual bool WantsArrows() const { return true; }
  // Called by the form when the focus leaves: may raise (masked-edit validation), which keeps the
  // focus where it is.
  virtual void ValidateExit() {}
  virtual void DoEnter();
  virtual void DoExit();
  const char *ClassName() const override { return "TWinControl"; }

private:
  std::vector<TControl *> fControls;
  friend class TControl;
};

// Creates a control of kind T owned by `owner`, inside `parent`, with a name and a position.
template <class T>
T *NewControl(TComponent *owner, TWinControl *parent, const std::string &name, int left = 0,
              int top = 0, int width = 0, int height = 0) {
  T *c = new T(owner);
  c->Name = name;
  c->SetBounds(left, top, width, height);
  if (parent) c->SetParent(parent);
  return c;
}
