// The form layer: forms, controls, focus, keys, masks, grids, timers, message boxes and the modal
// loop, with the names and behaviour the screens are written against. Headless at its core:
// operator input comes from an input source (a script in tests, a terminal for a person) and what
// happens is told to the transcript and to observers (renderers).
//
// Conventions: properties whose change has effects (Text, Caption, Visible, Enabled, masks, grid
// sizes ...) are methods X() / SetX(v); plain data (geometry, Name, Tag, TabOrder, MaxLength,
// fonts, colours, handlers) are public members. Strings are Windows-1252.
//
// Focus, as on the platform: SetFocus on a control of the active form moves the focus at once
// (OnExit of the old control, then OnEnter of the new one). On a form that is not the active window
// (not shown yet, or under a modal form) it only records the control; the focus lands there, with
// its events, when the form becomes active.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/forms/EditMask.h"

using Word = uint16_t;

// Virtual key codes of the non-character keys (the platform's values).
enum : Word {
  VK_BACK = 8,
  VK_TAB = 9,
  VK_RETURN = 13,
  VK_ESCAPE = 27,
  VK_SPACE = 32,
  VK_PRIOR = 33,
  VK_NEXT = 34,
  VK_END = 35,
  VK_HOME = 36,
  VK_LEFT = 37,
  VK_UP = 38,
  VK_RIGHT = 39,
  VK_DOWN = 40,
  VK_DELETE = 46,
  VK_F1 = 112,
  VK_F12 = 123,
};
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = unsigned;

// Modal results.
enum : int { mrNone = 0, mrOk = 1, mrCancel = 2 };
// Message box flags (the platform's values) and result.
enum : unsigned {
  MB_OK = 0,
  MB_ICONSTOP = 0x10,
  MB_ICONERROR = 0x10,
  MB_ICONHAND = 0x10,
  MB_ICONEXCLAMATION = 0x30,
  MB_ICONWARNING = 0x30,
  MB_ICONINFORMATION = 0x40,
  MB_TOPMOST = 0x40000,
};
enum : int { IDOK = 1 };

class TObject {
public:
  virtual ~TObject() = default;
};

// Errors raised by the platform or by handlers. Every event dispatch catches them and hands them to
// Application->OnException.
class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string &msg) : std::runtime_error(msg) {}
  std::string Message() const { return what(); }
};
class EInvalidOperation : public Exception {
  using Exception::Exception;
};
class EDBEditError : public Exception { // masked-edit validation
  using Exception::Exception;
};
// The operator script failed or ran out: never swallowed by event dispatch; ends the run.
class EScriptFailure : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The platform's message when focus is asked of a control that cannot take it.
inline constexpr const char *CannotFocusMessage = "Cannot focus a disabled or invisible window";

using TNotifyEvent = std::function<void(TObject *Sender)>;
using TKeyPressEvent = std::function<void(TObject *Sender, char &Key)>;
using TKeyEvent = std::function<void(TObject *Sender, Word &Key, TShiftState Shift)>;
using TGetEditEvent = std::function<void(TObject *Sender, int ACol, int ARow, std::string &Value)>;
using TSelectCellEvent = std::function<void(TObject *Sender, int ACol, int ARow, bool &CanSelect)>;
using TExceptionEvent = std::function<void(TObject *Sender, const Exception &E)>;

class TForm;
class TWinControl;

class TComponent : public TObject {
public:
  explicit TComponent(TComponent *AOwner);
  ~TComponent() override; // destroys the components it owns, last created first
  TComponent(const TComponent &) = delete;
  TComponent &operator=(const TComponent &) = delete;

  std::string Name;
  int Tag = 0;

  TComponent *Owner() const { return fOwner; }
  int ComponentCount() const { return (int)fComponents.size(); }
  TComponent *Components(int i) const { return fComponents.at(i); }
  TComponent *FindComponent(const std::string &name) const; // case-insensitive, owned only
  // Like FindComponent, then among the components of the owned components (depth first), without
  // looking into owned forms.
  TComponent *FindComponentDeep(const std::string &name) const;

private:
  TComponent *fOwner = nullptr;
  std::vector<TComponent *> fComponents;
};

struct TFont {
  std::string Name = "MS Sans Serif";
  int Size = 8;
  bool Bold = false;
  int Color = 0; // 0x00BBGGRR, as the platform's colours
};
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBevelCut { bvNone, bvLowered, bvRaised };

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

class TLabel : public TControl {
public:
  using TControl::TControl;
  const char *ClassName() const override { return "TLabel"; }
};

class TImage : public TControl { // a placeholder picture
public:
  using TControl::TControl;
  bool Stretch = false;
  std::string Picture; // name of the picture resource (not drawn by the headless layer)
  const char *ClassName() const override { return "TImage"; }
};

class TPanel : public TWinControl {
public:
  explicit TPanel(TComponent *AOwner) : TWinControl(AOwner) { TabStop = false; }
  TBevelCut BevelInner = bvNone;
  TBevelCut BevelOuter = bvRaised;
  int BevelWidth = 1;
  const char *ClassName() const override { return "TPanel"; }
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

class TTimer : public TComponent {
public:
  using TComponent::TComponent;
  ~TTimer() override;
  int Interval = 1000; // milliseconds; a timer with an interval of 0 never fires
  TNotifyEvent OnTimer;
  bool Enabled() const { return fEnabled; }
  void SetEnabled(bool v); // (re)starts counting from the current time
  int64_t Due() const { return fDue; }

private:
  bool fEnabled = false;
  int64_t fDue = 0;
  friend class TApplication;
};

enum TFormStyle { fsNormal, fsStayOnTop };
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog };
enum TPosition { poDesigned, poScreenCenter };

class TForm : public TWinControl {
public:
  explicit TForm(TComponent *AOwner);
  ~TForm() override;

  bool KeyPreview = false;
  int ModalResult = mrNone;
  TFormStyle FormStyle = fsNormal;
  TBorderStyle BorderStyle = bsSizeable;
  TPosition Position = poDesigned;
  bool ToolWindow = false;    // no task-bar button
  bool TopMostWindow = false; // topmost extended style
  uintptr_t OwnerWindow = 0;  // the window that owns this one (0 = the application's)

  TNotifyEvent OnCreate; // once its controls exist (run by TApplication::CreateForm)
  TNotifyEvent OnShow;
  TNotifyEvent OnActivate; // every time it becomes the active window
  TNotifyEvent OnClose;    // when it is closed (a modal form: when its loop ends)
  TNotifyEvent OnDestroy;  // run by Free(), before the controls go

  // The focused control; during a focus change already the control receiving the focus (reported so
  // while the old control's OnExit runs).
  TWinControl *ActiveControl() const { return fActive; }
  void SetActiveControl(TWinControl *c); // moves the focus (OnExit / OnEnter)
  // The next / previous control in tab order from `current` (depth-first through the containers,
  // wrapping, skipping what cannot take the focus). nullptr when none.
  TWinControl *FindNextControl(TWinControl *current, bool forward) const;
  void SelectNext(TWinControl *current, bool forward = true);
  void SelectFirst();
  TWinControl *FirstControl() const; // the first control in tab order that can take focus
  // While a focus change runs OnExit, the control that is receiving the focus.
  TWinControl *Receiving() const { return fReceiving; }
  // The form is the active window (the topmost shown form): focus moves take effect at once.
  bool Active() const { return fIsActive; }

  bool CanFocus() const override { return fVisible && fEnabled; }
  void SetVisible(bool v) override; // Show() / Hide()
  // Makes sure the form is the one being typed into; raises when it is hidden or disabled.
  void SetFocus() override;

  int ShowModal(); // runs the modal loop until ModalResult != 0; returns it
  void Show();     // non-modal
  void Hide();
  void Close(); // on a modal form, ModalResult = mrCancel; otherwise Hide
  bool Showing_() const { return fShown; }
  bool IsModal() const { return fModal; }
  const char *ClassName() const override { return "TForm"; }

  // Destroys the form: OnDestroy, the transcript's destroy event, then the object.
  void Free();

  // One character typed by the operator: the form's OnKeyPress (KeyPreview), the focused control's
  // OnKeyPress, the control's own KeyPress, then accelerators; each stage may swallow the key. With
  // ssAlt only the accelerators are looked at.
  void DispatchChar(char Key, TShiftState Shift = 0);
  // One key stroke of a non-character or control key: the form's OnKeyDown (KeyPreview), the
  // focused control's OnKeyDown and KeyDown; Tab / Shift+Tab move the focus unless the control
  // keeps Tab; arrows on a button move the focus within its parent. Enter, Backspace, Escape, Space
  // (and Tab on a control that keeps it) then arrive as characters through DispatchChar, unless a
  // key-down stage swallowed the key (set it to 0).
  void DispatchKey(Word Key, TShiftState Shift = 0);
  // Clicks the visible, enabled button whose caption has accelerator `c` (case-insensitive). False
  // when there is none.
  bool ClickAccelerator(char c);

private:
  TWinControl *fActive = nullptr;  // the active control (what the form reports)
  TWinControl *fFocused = nullptr; // the control that has had OnEnter (holds the focus)
  TWinControl *fReceiving = nullptr;
  unsigned fFocusGen = 0;
  bool fIsActive = false;
  bool fShown = false;
  bool fModal = false;
  bool fFreed = false;
  void FocusControl(TWinControl *c);
  void Activated(); // the form became the active window: the focus lands
  void Deactivated() { fIsActive = false; }
  void ControlGone(TWinControl *c);
  void Defocus(TControl *c); // c (or a container of the focus) was hidden or disabled
  friend class TApplication;
  friend class TControl;
  friend class TWinControl;
};

// One operator action, as an input source delivers it.
struct TOperatorAction {
  enum Kind { Char, Key, Click, Cell, Ack } kind = Char;
  char ch = 0;  // Char: the Windows-1252 character (with Shift/Alt in shift)
  Word key = 0; // Key: a virtual key code
  TShiftState shift = 0;
  std::string control;  // Click / Cell: the control's name on the active form
  int col = 0, row = 0; // Cell
  int line = 0;         // where it came from (script line), for error messages
};

// Where operator input comes from. Next() waits until `deadline` (virtual or real ms; -1 for no
// deadline) for an action. Returns false when the deadline came first. When there will be no more
// input it raises EScriptFailure (never a hang).
class TInputSource {
public:
  virtual ~TInputSource() = default;
  virtual bool Next(TOperatorAction &out, int64_t deadline) = 0;
  // The current time on this source's clock (virtual ms for scripts, real ms otherwise).
  virtual int64_t Now() const = 0;
};

struct TMessageBoxState {
  std::string Text, Caption;
  unsigned Flags = 0;
  bool Acknowledged = false;
};

class TApplication : public TComponent {
public:
  TApplication();
  ~TApplication() override;

  std::string Title;
  // Errors raised by handlers during any event dispatch. With none installed the error is recorded
  // in the transcript and the program goes on. `ExceptionHandlerOwner` names the object that
  // installed it: when that object is destroyed, the handler is removed (the one in force before
  // it, if its owner still lives, comes back).
  TExceptionEvent OnException;
  TObject *ExceptionHandlerOwner = nullptr;
  // Installs a handler on behalf of `owner` (remembering the one it replaces).
  void SetExceptionHandler(TObject *owner, TExceptionEvent handler);
  void HandleException(TObject *Sender, const std::exception &E);
  // Runs f; an error it raises goes to HandleException. EScriptFailure goes through, or starts
  // closing when CloseWhenInputEnds is set.
  template <class F> void Guarded(TObject *sender, F &&f) {
    try {
      f();
    } catch (const EScriptFailure &e) {
      if (!CloseWhenInputEnds) throw;
      BeginClosing(e.what());
    } catch (const std::exception &e) {
      HandleException(sender, e);
    }
  }

  template <class T> T *CreateForm(TComponent *owner = nullptr) {
    T *f = new T(owner ? owner : this);
    FormCreated(f);
    return f;
  }
  void FormCreated(TForm *f); // runs OnCreate and writes the transcript's create event

  // Runs pending internal work (timers due at the current time, repaints); never consumes operator
  // input.
  void ProcessMessages();
  // Modal message box: returns IDOK when the operator acknowledges it (Enter, Space, Escape or the
  // script's `ok`).
  int MessageBox(const std::string &Text, const std::string &Caption, unsigned Flags);
  const TMessageBoxState *ActiveMessageBox() const; // nullptr when none is open

  TForm *ActiveForm() const; // the topmost shown form
  const std::vector<TForm *> &FormStack() const { return fStack; }

  uintptr_t Handle = 1; // the application window
  uintptr_t OwnerWindow() const { return fOwnerWindow; }
  void SetOwnerWindow(uintptr_t w) { fOwnerWindow = w; }

  // The directory of the host executable (with trailing '/'), overridden by CHEQUE_DIR.
  std::string ExeDir() const;
  void SetExeName(const std::string &path) { fExeName = path; }
  std::string ExeName() const; // the running executable when none was set

  void SetInputSource(TInputSource *src) { fInput = src; } // not owned
  TInputSource *InputSource() const { return fInput; }
  int64_t Now() const; // ms on the input source's clock (0 when none)

  // Repaint observers: renderers are told when anything may have changed on screen.
  using TRepaint = std::function<void()>;
  int AddRepaintObserver(TRepaint r);
  void RemoveRepaintObserver(int id);
  void Invalidate(); // something changed: observers will be told at the next idle point

  // One operator action, dispatched to the active form (or the open message box), errors handed to
  // HandleException. Also writes the transcript's input event.
  void Perform(const TOperatorAction &a);
  // One turn of the event loop: due timers, else the next operator action (waiting for it).
  void HandleMessage();

  // The program is closing, or its operator is gone for good: every open modal form closes as
  // cancelled (mrCancel), every open message box counts as acknowledged, and forms and boxes
  // shown from now on close at once, so that the chain of screens unwinds through its normal
  // ends. The first reason given is kept. EndClosing lifts it (the next call may have an
  // operator again); the reason stays readable until the next BeginClosing or ForgetClosing.
  void BeginClosing(const std::string &reason);
  void EndClosing() { fClosing = false; }
  void ForgetClosing() { fClosing = false, fClosingReason.clear(); }
  bool Closing() const { return fClosing; }
  const std::string &ClosingReason() const { return fClosingReason; }
  // When set, operator input that ends (EScriptFailure from the input source, or no source at
  // all) starts closing instead of leaving the modal loop as an error.
  bool CloseWhenInputEnds = false;

  // Internal: the modal loop, timers and input dispatch.
  int RunModal(TForm *f);
  void RegisterTimer(TTimer *t);
  void UnregisterTimer(TTimer *t);
  void FormGone(TForm *f);
  void ObjectGone(TObject *o); // forgets exception handlers installed by o
  void ShowForm(TForm *f);     // non-modal show
  void HideForm(TForm *f);
  // What waits for input now ("form FrmX waits for input (focus: edY)"), for error messages.
  std::string WaitingDescription() const;

private:
  std::vector<TForm *> fStack;
  std::vector<TTimer *> fTimers;
  std::vector<TMessageBoxState> fBoxes;
  std::vector<std::pair<int, TRepaint>> fRepaint;
  std::vector<std::pair<TObject *, TExceptionEvent>> fHandlerStack; // replaced handlers
  int fNextRepaint = 1;
  bool fDirty = false;
  TInputSource *fInput = nullptr;
  uintptr_t fOwnerWindow = 0;
  std::string fExeName;
  bool fClosing = false;
  std::string fClosingReason;
  void CloseOpenForms();
  bool FireDueTimers();
  int64_t NextTimerDue() const;
  void Repaint();
  void ActivateTop();
};

extern TApplication *Application;

// Names of the non-character keys as operator scripts write them ("Enter", "Tab", "F5" ...).
std::string KeyName(Word key);
Word KeyFromName(const std::string &name); // 0 when unknown

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

// A text picture of the screen: the active form, its visible controls with their texts, enabled
// state, masks, grid cells and the focus, and any open message box. UTF-8.
std::string ScreenText();
// The same for one form (shown or not).
std::string FormText(const TForm *f);
