// Forms and the application: focus among a form's controls, the key stages, accelerators, showing
// and freeing forms; the application with its modal loop, timers, message boxes, error handling
// and the input sources operator actions come from. Headless at its core: what happens is told to
// the transcript and to observers (renderers).
//
// Focus, as on the platform: SetFocus on a control of the active form moves the focus at once
// (OnExit of the old control, then OnEnter of the new one). On a form that is not the active window
// (not shown yet, or under a modal form) it only records the control; the focus lands there, with
// its events, when the form becomes active.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/Controls.h"

class TTimer;

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

using TExceptionEvent = std::function<void(TObject *Sender, const Exception &E)>;

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
