// The form layer: forms, controls, focus, keys, masks, grids, timers, message boxes and the
// modal loop, with the names and behaviour the screens are written against. Headless at its
// core: operator input comes from an input source (a script in tests, a terminal for a
// person) and what happens is told to the transcript and to observers (renderers).
//
// Conventions: properties whose change has effects (Text, Caption, Visible, Enabled, masks,
// grid sizes ...) are methods X() / SetX(v); plain data (geometry, Name, Tag, TabOrder,
// MaxLength, fonts, colours, handlers) are public members. Strings are Windows-1252.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/EditMask.h"

using Word = uint16_t;

// Virtual key codes of the non-character keys (the platform's values).
enum : Word {
  VK_BACK = 8,
  VK_TAB = 9,
  VK_RETURN = 13,
  VK_ESCAPE = 27,
  VK_SPACE = 32,
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

// Errors raised by the platform or by handlers. Every event dispatch catches them and hands
// them to Application->OnException.
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

using TNotifyEvent = std::function<void(TObject *Sender)>;
using TKeyPressEvent = std::function<void(TObject *Sender, char &Key)>;
using TKeyEvent = std::function<void(TObject *Sender, Word &Key, TShiftState Shift)>;
using TGetEditEvent = std::function<void(TObject *Sender, int ACol, int ARow, std::string &Value)>;
using TSelectCellEvent =
    std::function<void(TObject *Sender, int ACol, int ARow, bool &CanSelect)>;
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
  TForm *GetParentForm() const; // the form this control lives on (nullptr when none)

  bool Visible() const { return fVisible; }
  virtual void SetVisible(bool v);
  bool Enabled() const { return fEnabled; }
  virtual void SetEnabled(bool v);
  // Visible and enabled here and in every parent up to the form.
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

  // True only for focusable kinds (edits, masked edits, buttons, combo boxes, memos, grids)
  // that are visible and enabled, inside visible and enabled parents, on an enabled form.
  virtual bool IsFocusableKind() const { return false; }
  bool CanFocus() const;
  bool Focused() const;
  // Raises EInvalidOperation when the control cannot take the focus.
  void SetFocus();

  // The control's own key handling, after its OnKeyPress (which may swallow the key).
  virtual void KeyPress(char &Key) { (void)Key; }
  // Non-character keys, after OnKeyDown.
  virtual void KeyDown(Word &Key, TShiftState Shift) {
    (void)Key;
    (void)Shift;
  }
  // Whether the control takes typed characters (edits do, buttons do not): decides whether a
  // plain key is an accelerator.
  virtual bool WantsChars() const { return false; }
  // Whether Tab / Shift+Tab reach the control instead of moving the focus.
  virtual bool WantsTab() const { return false; }
  // Called by the form when the focus leaves: may raise (masked-edit validation), which keeps
  // the focus where it is.
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
  const char *ClassName() const override { return "TImage"; }
};

class TPanel : public TWinControl {
public:
  using TWinControl::TWinControl;
  TBevelCut BevelInner = bvNone;
  TBevelCut BevelOuter = bvRaised;
  const char *ClassName() const override { return "TPanel"; }
};

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
public:
  using TWinControl::TWinControl;
  int MaxLength = 0; // 0 = no limit
  bool ReadOnly = false;
  TEditCharCase CharCase = ecNormal;
  bool Modified = false;

  void SetCaption(const std::string &s) override; // applies CharCase, runs OnChange
  int SelStart() const { return fCaret; }
  void SetSelStart(int pos);
  void Clear() { SetText(""); }
  void SelectAll();

  bool IsFocusableKind() const override { return true; }
  bool WantsChars() const override { return true; }
  void KeyPress(char &Key) override; // insert at the caret, Backspace
  void KeyDown(Word &Key, TShiftState Shift) override; // Left Right Home End Delete
  void DoEnter() override;

protected:
  int fCaret = 0;
  bool fSelectAll = false; // the whole text is selected: the next character replaces it
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
  // Text as the platform reports it (see TEditMask::TextFromBuffer); EditText is the buffer.
  std::string Caption() const override;
  void SetCaption(const std::string &s) override;
  std::string EditText() const; // what the operator sees, blanks included
  void KeyPress(char &Key) override;
  void KeyDown(Word &Key, TShiftState Shift) override;
  // Leaving a changed edit whose required positions are not all filled raises EDBEditError
  // with TEditMask::InvalidInputMessage.
  void ValidateExit() override;
  const char *ClassName() const override { return "TMaskEdit"; }

private:
  TEditMask fMask;
  std::string fBuffer;
};

class TButtonControl : public TWinControl {
public:
  using TWinControl::TWinControl;
  bool IsFocusableKind() const override { return true; }
  void KeyPress(char &Key) override; // Enter or Space clicks
  // The accelerator of the caption ("&1 - Confirma" -> '1'), 0 when none.
  char Accelerator() const;
};

class TBitBtn : public TButtonControl {
public:
  using TButtonControl::TButtonControl;
  int ModalResult = mrNone; // when nonzero, a click sets the form's ModalResult
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
  int IndexOf(const std::string &s) const;
  std::string GetText() const; // lines joined with "\r\n"
  void SetText(const std::string &s);
  const std::vector<std::string> &Items() const { return fItems; }

private:
  std::vector<std::string> fItems;
};

class TComboBox : public TWinControl { // a drop-down list
public:
  using TWinControl::TWinControl;
  TStringList Items;
  int ItemIndex() const { return fItemIndex; }
  void SetItemIndex(int i); // -1 for none; sets Text; runs OnChange when it changes
  std::string Caption() const override;
  bool IsFocusableKind() const override { return true; }
  void KeyDown(Word &Key, TShiftState Shift) override; // Up/Down move the selection
  const char *ClassName() const override { return "TComboBox"; }

private:
  int fItemIndex = -1;
};

class TMemo : public TWinControl {
public:
  using TWinControl::TWinControl;
  TStringList Lines;
  bool ReadOnly = false;
  int TopLine = 0; // first line shown (scrolling)
  std::string Caption() const override { return Lines.GetText(); }
  void SetCaption(const std::string &s) override { Lines.SetText(s); }
  bool IsFocusableKind() const override { return true; }
  bool WantsChars() const override { return !ReadOnly; }
  void KeyDown(Word &Key, TShiftState Shift) override; // Up/Down scroll
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
  void SetColCount(int n);
  int RowCount() const { return fRowCount; }
  void SetRowCount(int n); // keeps the cells that still fit
  int FixedCols = 1;
  int FixedRows = 1;
  std::vector<int> ColWidths; // resized with ColCount; DefaultColWidth for new columns

  std::string Cell(int col, int row) const;
  void SetCell(int col, int row, const std::string &s);
  int Col() const { return fCol; }
  int Row() const { return fRow; }
  void SetCol(int c); // ends any cell editing first (validating its mask)
  void SetRow(int r);
  bool EditorMode() const { return fEditing; }
  std::string EditText() const; // the current cell as being edited (mask blanks included)

  bool IsFocusableKind() const override { return true; }
  bool WantsChars() const override { return (Options & goEditing) != 0; }
  bool WantsTab() const override { return (Options & goTabs) != 0; }
  void KeyPress(char &Key) override; // typing edits the current cell (through its mask)
  void KeyDown(Word &Key, TShiftState Shift) override; // arrows move; Tab when kept
  void ValidateExit() override;
  const char *ClassName() const override { return "TStringGrid"; }

private:
  int fColCount = 5, fRowCount = 5, fCol = 1, fRow = 1;
  std::vector<std::vector<std::string>> fCells; // [row][col]
  bool fEditing = false;
  TEditMask fCellMask;
  std::string fCellBuffer;
  int fCaret = 0;
  void BeginEdit();
  void EndEdit(); // validates the cell mask; raises EDBEditError when incomplete
};

class TTimer : public TComponent {
public:
  using TComponent::TComponent;
  ~TTimer() override;
  int Interval = 1000; // milliseconds
  TNotifyEvent OnTimer;
  bool Enabled() const { return fEnabled; }
  void SetEnabled(bool v); // (re)starts counting from the current time

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
  bool ToolWindow = false;         // no task-bar button
  bool TopMostWindow = false;      // topmost extended style
  uintptr_t OwnerWindow = 0;       // the window that owns this one (0 = the application's)

  TNotifyEvent OnCreate;   // once its controls exist (run by TApplication::CreateForm)
  TNotifyEvent OnShow;
  TNotifyEvent OnActivate; // every time it becomes the active window
  TNotifyEvent OnClose;
  TNotifyEvent OnDestroy;  // run by Free(), before the controls go

  TWinControl *ActiveControl() const { return fActive; }
  void SetActiveControl(TWinControl *c); // moves the focus (OnExit / OnEnter)
  // The next / previous control in tab order from `current` (depth-first through the
  // containers, wrapping, skipping what cannot take the focus). nullptr when none.
  TWinControl *FindNextControl(TWinControl *current, bool forward) const;
  void SelectNext(TWinControl *current, bool forward = true);
  void SelectFirst();
  TWinControl *FirstControl() const; // the first control in tab order that can take focus
  // While a focus change runs OnExit, the control that is receiving the focus.
  TWinControl *Receiving() const { return fReceiving; }

  int ShowModal(); // runs the modal loop until ModalResult != 0; returns it
  void Show();     // non-modal
  void Hide();
  void Close(); // on a modal form, ModalResult = mrCancel
  bool Showing_() const { return fShown; }
  bool IsModal() const { return fModal; }
  const char *ClassName() const override { return "TForm"; }

  // Destroys the form: OnDestroy, the transcript's destroy event, then the object.
  void Free();

  // One key stroke from the operator: the three stages (preview, focused control, form).
  void DispatchChar(char Key, TShiftState Shift = 0);
  void DispatchKey(Word Key, TShiftState Shift = 0);

private:
  TWinControl *fActive = nullptr;
  TWinControl *fReceiving = nullptr;
  bool fShown = false;
  bool fModal = false;
  bool fFreed = false;
  friend class TApplication;
};

// One operator action, as an input source delivers it.
struct TOperatorAction {
  enum Kind { Char, Key, Click, Cell, Ack } kind = Char;
  char ch = 0;                // Char: the Windows-1252 character (with Shift/Alt in shift)
  Word key = 0;               // Key: a virtual key code
  TShiftState shift = 0;
  std::string control;        // Click / Cell: the control's name on the active form
  int col = 0, row = 0;       // Cell
  int line = 0;               // where it came from (script line), for error messages
};

// Where operator input comes from. Next() waits until `deadline` (virtual or real ms; -1 for
// no deadline) for an action. Returns false when the deadline came first. When there will be
// no more input it raises EScriptFailure (never a hang).
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
};

class TApplication : public TComponent {
public:
  TApplication();
  ~TApplication() override;

  std::string Title;
  // Errors raised by handlers during any event dispatch. With none installed the error is
  // recorded in the transcript and the program goes on. `ExceptionHandlerOwner` names the
  // object that installed it: when that object is destroyed, the handler is removed.
  TExceptionEvent OnException;
  TObject *ExceptionHandlerOwner = nullptr;
  void HandleException(TObject *Sender, const std::exception &E);

  template <class T> T *CreateForm(TComponent *owner = nullptr) {
    T *f = new T(owner ? owner : this);
    FormCreated(f);
    return f;
  }
  void FormCreated(TForm *f); // runs OnCreate and writes the transcript's create event

  // Runs pending internal work (timers due at the current time, repaints); never consumes
  // operator input.
  void ProcessMessages();
  // Modal message box: returns IDOK when the operator acknowledges it.
  int MessageBox(const std::string &Text, const std::string &Caption, unsigned Flags);
  const TMessageBoxState *ActiveMessageBox() const; // nullptr when none is open

  TForm *ActiveForm() const; // the topmost shown form
  const std::vector<TForm *> &FormStack() const { return fStack; }

  uintptr_t Handle = 1;          // the application window
  uintptr_t OwnerWindow() const { return fOwnerWindow; }
  void SetOwnerWindow(uintptr_t w) { fOwnerWindow = w; }

  // The directory of the host executable (with trailing '/'), overridden by CHEQUE_DIR.
  std::string ExeDir() const;
  void SetExeName(const std::string &path) { fExeName = path; }
  std::string ExeName() const { return fExeName; }

  void SetInputSource(TInputSource *src) { fInput = src; } // not owned
  TInputSource *InputSource() const { return fInput; }
  int64_t Now() const; // ms on the input source's clock (0 when none)

  // Repaint observers: renderers are told when anything may have changed on screen.
  using TRepaint = std::function<void()>;
  int AddRepaintObserver(TRepaint r);
  void RemoveRepaintObserver(int id);
  void Invalidate(); // something changed: observers will be told at the next idle point

  // Internal: the modal loop, timers and input dispatch.
  int RunModal(TForm *f);
  void RegisterTimer(TTimer *t);
  void UnregisterTimer(TTimer *t);
  void FormGone(TForm *f);

private:
  std::vector<TForm *> fStack;
  std::vector<TTimer *> fTimers;
  std::vector<TMessageBoxState> fBoxes;
  std::vector<std::pair<int, TRepaint>> fRepaint;
  int fNextRepaint = 1;
  bool fDirty = false;
  TInputSource *fInput = nullptr;
  uintptr_t fOwnerWindow = 0;
  std::string fExeName;
  bool FireDueTimers();
  void Dispatch(TOperatorAction &a);
  void Repaint();
};

extern TApplication *Application;

// A text picture of the screen: the active form, its visible controls with their texts,
// enabled state, masks, grid cells and the focus, and any open message box.
std::string ScreenText();
