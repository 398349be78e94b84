// The application: the modal loop, timers, message boxes, operator input and error handling.
#include "platform/forms/Forms.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Panels.h"
#include "platform/forms/StdCtrls.h"
#include "platform/operator/Privacy.h"
#include "platform/operator/Transcript.h"
#include "platform/system/Sistema.h"
#include "platform/text/StrUtils.h"

#include <algorithm>
#include <cstdlib>

// Created when the library loads and never destroyed: forms, timers and the transcript may still
// refer to it while the process ends.
TApplication *Application = new TApplication();

namespace {

struct KeyNameEntry {
  const char *name;
  Word key;
};
const KeyNameEntry kKeyNames[] = {
    {"Enter", VK_RETURN},  {"Tab", VK_TAB},       {"Backspace", VK_BACK}, {"Delete", VK_DELETE},
    {"Escape", VK_ESCAPE}, {"Space", VK_SPACE},   {"Up", VK_UP},          {"Down", VK_DOWN},
    {"Left", VK_LEFT},     {"Right", VK_RIGHT},   {"Home", VK_HOME},      {"End", VK_END},
    {"PageUp", VK_PRIOR},  {"PageDown", VK_NEXT},
};

void FormEvent(TForm *f, const char *what, int result = -1) {
  if (!Transcript().Active()) return;
  TTranscript::Json e = {{"form", TTranscript::Text(f->Name)}, {"what", what}};
  if (result >= 0) e["result"] = result;
  Transcript().Add("form", std::move(e));
}

std::string NameOf(const TComponent *c) {
  return c ? c->Name : std::string("(none)");
}

} // namespace

std::string KeyName(Word key) {
  for (const auto &k : kKeyNames)
    if (k.key == key) return k.name;
  if (key >= VK_F1 && key <= VK_F12) return "F" + std::to_string(key - VK_F1 + 1);
  return "#" + std::to_string(key);
}

Word KeyFromName(const std::string &name) {
  for (const auto &k : kKeyNames)
    if (SameText(k.name, name)) return k.key;
  if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
    const int n = StrToIntDef(name.substr(1), 0);
    if (n >= 1 && n <= 12 && name.find_first_not_of("0123456789", 1) == std::string::npos)
      return Word(VK_F1 + n - 1);
  }
  return 0;
}

TApplication::TApplication() : TComponent(nullptr) {}
TApplication::~TApplication() = default;

// ---------------------------------------------------------------------------------------------
// Errors

void TApplication::SetExceptionHandler(TObject *owner, TExceptionEvent handler) {
  if (OnException) fHandlerStack.emplace_back(ExceptionHandlerOwner, OnException);
  OnException = std::move(handler);
  ExceptionHandlerOwner = owner;
}

void TApplication::ObjectGone(TObject *o) {
  if (!o) return;
  if (!fHandlerStack.empty())
    fHandlerStack.erase(std::remove_if(fHandlerStack.begin(), fHandlerStack.end(),
                                       [o](const auto &e) { return e.first == o; }),
                        fHandlerStack.end());
  if (ExceptionHandlerOwner != o) return;
  // The handler of a destroyed object must never run again: the one it replaced comes back.
  if (!fHandlerStack.empty()) {
    ExceptionHandlerOwner = fHandlerStack.back().first;
    OnException = std::move(fHandlerStack.back().second);
    fHandlerStack.pop_back();
  } else {
    ExceptionHandlerOwner = nullptr;
    OnException = nullptr;
  }
}

void TApplication::HandleException(TObject *Sender, const std::exception &E) {
  if (Transcript().Active()) {
    TTranscript::Json e = {{"message", TTranscript::Text(E.what())}};
    if (auto *c = dynamic_cast<TComponent *>(Sender); c && !c->Name.empty())
      e["sender"] = TTranscript::Text(c->Name);
    Transcript().Add("error", std::move(e));
  }
  if (!OnException) return;
  TExceptionEvent handler = OnException; // it may replace itself
  try {
    if (auto *ex = dynamic_cast<const Exception *>(&E))
      handler(Sender, *ex);
    else
      handler(Sender, Exception(E.what()));
  } catch (const EScriptFailure &) {
    throw;
  } catch (const std::exception &again) {
    // An error inside the handler itself is only recorded.
    Transcript().Add("error",
                     {{"message", TTranscript::Text(again.what())}, {"sender", "OnException"}});
  }
}

// ---------------------------------------------------------------------------------------------
// Forms

void TApplication::FormCreated(TForm *f) {
  FormEvent(f, "create");
  Guarded(f, [&] {
    if (f->OnCreate) f->OnCreate(f);
  });
}

TForm *TApplication::ActiveForm() const {
  return fStack.empty() ? nullptr : fStack.back();
}

// The form on top becomes the active window again: the focus lands, then OnActivate.
void TApplication::ActivateTop() {
  TForm *top = ActiveForm();
  if (!top || top->fIsActive) return;
  Guarded(top, [&] { top->Activated(); });
  FormEvent(top, "activate");
  Guarded(top, [&] {
    if (top->OnActivate) top->OnActivate(top);
  });
  fDirty = true;
}

void TApplication::ShowForm(TForm *f) {
  if (f->fShown) {
    // Already shown: it comes to the front.
    if (ActiveForm() == f) return;
    if (TForm *top = ActiveForm()) top->Deactivated();
    fStack.erase(std::remove(fStack.begin(), fStack.end(), f), fStack.end());
    fStack.push_back(f);
    ActivateTop();
    return;
  }
  if (TForm *top = ActiveForm()) top->Deactivated();
  f->fShown = true;
  f->fVisible = true;
  fStack.push_back(f);
  FormEvent(f, "show");
  Guarded(f, [&] {
    if (f->OnShow) f->OnShow(f);
  });
  ActivateTop();
}

void TApplication::HideForm(TForm *f) {
  if (!f->fShown) return;
  if (f->fModal) {
    f->ModalResult = mrCancel;
    return;
  }
  fStack.erase(std::remove(fStack.begin(), fStack.end(), f), fStack.end());
  f->fShown = false;
  f->fVisible = false;
  f->Deactivated();
  FormEvent(f, "hide");
  fDirty = true;
  ActivateTop();
}

void TApplication::FormGone(TForm *f) {
  const bool wasTop = ActiveForm() == f;
  fStack.erase(std::remove(fStack.begin(), fStack.end(), f), fStack.end());
  if (wasTop) ActivateTop();
}

int TApplication::RunModal(TForm *f) {
  if (f->fModal || f->fShown || !f->fEnabled)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (TForm *top = ActiveForm()) top->Deactivated();
  f->ModalResult = mrNone;
  f->fModal = f->fShown = f->fVisible = true;
  fStack.push_back(f);
  auto leave = [&] {
    fStack.erase(std::remove(fStack.begin(), fStack.end(), f), fStack.end());
    f->fModal = f->fShown = f->fVisible = false;
    f->Deactivated();
    fDirty = true;
  };
  try {
    FormEvent(f, "show");
    Guarded(f, [&] {
      if (f->OnShow) f->OnShow(f);
    });
    ActivateTop();
    while (f->ModalResult == mrNone) HandleMessage();
    Guarded(f, [&] {
      if (f->OnClose) f->OnClose(f);
    });
  } catch (...) {
    leave();
    throw;
  }
  const int result = f->ModalResult ? f->ModalResult : mrCancel;
  leave();
  FormEvent(f, "close", result);
  ActivateTop();
  return result;
}

// ---------------------------------------------------------------------------------------------
// The event loop

int64_t TApplication::Now() const {
  return fInput ? fInput->Now() : 0;
}

void TApplication::RegisterTimer(TTimer *t) {
  if (std::find(fTimers.begin(), fTimers.end(), t) == fTimers.end()) fTimers.push_back(t);
}

void TApplication::UnregisterTimer(TTimer *t) {
  fTimers.erase(std::remove(fTimers.begin(), fTimers.end(), t), fTimers.end());
}

int64_t TApplication::NextTimerDue() const {
  int64_t due = -1;
  for (const TTimer *t : fTimers)
    if (t->fEnabled && t->Interval > 0 && (due < 0 || t->fDue < due)) due = t->fDue;
  return due;
}

// Fires every timer due at the current time, earliest first, each once.
bool TApplication::FireDueTimers() {
  const int64_t now = Now();
  bool fired = false;
  for (;;) {
    TTimer *next = nullptr;
    for (TTimer *t : fTimers)
      if (t->fEnabled && t->Interval > 0 && t->fDue <= now && (!next || t->fDue < next->fDue))
        next = t;
    if (!next) break;
    next->fDue = now + next->Interval;
    fired = true;
    fDirty = true;
    Guarded(next, [&] {
      if (next->OnTimer) next->OnTimer(next);
    });
  }
  return fired;
}

void TApplication::ProcessMessages() {
  Repaint();
  FireDueTimers();
  Repaint();
}

void TApplication::HandleMessage() {
  Repaint();
  if (fClosing) {
    CloseOpenForms();
    return;
  }
  if (FireDueTimers()) return;
  try {
    if (!fInput) throw EScriptFailure("no operator input: " + WaitingDescription());
    TOperatorAction a;
    if (fInput->Next(a, NextTimerDue()))
      Perform(a);
    else
      FireDueTimers();
  } catch (const EScriptFailure &e) {
    if (!CloseWhenInputEnds) throw;
    BeginClosing(e.what());
  }
}

void TApplication::BeginClosing(const std::string &reason) {
  if (!fClosing) {
    fClosing = true;
    if (fClosingReason.empty()) fClosingReason = reason;
    if (Transcript().Active())
      // Reasons are UTF-8, as the script's and the keyboard's messages are.
      Transcript().Add("closing",
                       {{"reason", TTranscript::Text(LoggedText(Utf8ToCp1252(reason)))}});
  }
  CloseOpenForms();
}

// Nobody will answer: each waiting loop ends as if its form were closed or its box acknowledged.
void TApplication::CloseOpenForms() {
  for (TForm *f : fStack)
    if (f->fModal && f->ModalResult == mrNone) f->ModalResult = mrCancel;
  for (TMessageBoxState &b : fBoxes) b.Acknowledged = true;
}

std::string TApplication::WaitingDescription() const {
  const TForm *f = ActiveForm();
  std::string s;
  if (!fBoxes.empty())
    s = "a message box \"" + Cp1252ToUtf8(LoggedText(fBoxes.back().Text)) + "\" waits (form " +
        (f ? f->Name : std::string("(none)"));
  else
    s = (f ? "form " + f->Name : std::string("no form")) + " waits";
  s += (fBoxes.empty() ? " for input (focus: " : ", focus: ") +
       (f ? NameOf(f->ActiveControl()) : std::string("(none)")) + ")";
  return s;
}

namespace {
std::string ActionText(const TOperatorAction &a, const TForm *f) {
  switch (a.kind) {
  case TOperatorAction::Char: {
    // A character typed into a control that holds personal data is told, not shown.
    const bool hide = !(a.shift & ssAlt) && f && Privacy().Hides(f->ActiveControl()) &&
                      static_cast<unsigned char>(a.ch) >= ' ';
    std::string c = hide ? std::string("*") : Cp1252ToUtf8(std::string(1, a.ch));
    return (a.shift & ssAlt ? "alt " : "type ") + c;
  }
  case TOperatorAction::Key:
    return std::string("key ") +
           (a.shift & ssShift && a.key == VK_TAB ? "ShiftTab" : KeyName(a.key));
  case TOperatorAction::Click:
    return "click " + Cp1252ToUtf8(a.control);
  case TOperatorAction::Cell:
    return "cell " + Cp1252ToUtf8(a.control) + " " + std::to_string(a.col) + " " +
           std::to_string(a.row);
  case TOperatorAction::Ack:
    return "ok";
  }
  return "";
}
} // namespace

void TApplication::Perform(const TOperatorAction &a) {
  fDirty = true;
  TForm *f = ActiveForm();
  if (Transcript().Active()) {
    const std::string action = ActionText(a, f), form = f ? Cp1252ToUtf8(f->Name) : std::string();
    Transcript().AddTexts("input", {{"action", &action}, {"form", f ? &form : nullptr}});
  }
  if (!fBoxes.empty()) {
    // A message box takes only its acknowledgement.
    const bool ack = a.kind == TOperatorAction::Ack ||
                     (a.kind == TOperatorAction::Key &&
                      (a.key == VK_RETURN || a.key == VK_SPACE || a.key == VK_ESCAPE)) ||
                     (a.kind == TOperatorAction::Char && (a.ch == '\r' || a.ch == ' '));
    if (ack) fBoxes.back().Acknowledged = true;
    return;
  }
  if (!f || !f->fEnabled || a.kind == TOperatorAction::Ack) return;
  Guarded(f, [&] {
    switch (a.kind) {
    case TOperatorAction::Char:
      f->DispatchChar(a.ch, a.shift);
      break;
    case TOperatorAction::Key:
      f->DispatchKey(a.key, a.shift);
      break;
    case TOperatorAction::Click: {
      auto *w = dynamic_cast<TWinControl *>(f->FindComponentDeep(a.control));
      if (!w || w == f) break;
      // Pressing a button moves the focus to it first; when the focus cannot get there (a
      // validation refused, a handler moved it), the button is not pressed.
      if (!w->Focused()) w->SetFocus();
      if (w->Focused() && dynamic_cast<TButtonControl *>(w)) w->Click();
      break;
    }
    case TOperatorAction::Cell: {
      auto *g = dynamic_cast<TStringGrid *>(f->FindComponentDeep(a.control));
      if (!g) break;
      if (!g->Focused()) g->SetFocus();
      if (g->Focused()) g->FocusCell(a.col, a.row);
      break;
    }
    case TOperatorAction::Ack:
      break;
    }
  });
}

// ---------------------------------------------------------------------------------------------
// Message boxes

int TApplication::MessageBox(const std::string &Text, const std::string &Caption, unsigned Flags) {
  if (Transcript().Active())
    Transcript().Add("msgbox", {{"caption", TTranscript::Text(Caption)},
                                {"text", TTranscript::Text(LoggedText(Text))},
                                {"flags", Flags}});
  fBoxes.push_back(TMessageBoxState{Text, Caption, Flags, fClosing});
  const size_t index = fBoxes.size() - 1;
  fDirty = true;
  try {
    while (!fBoxes[index].Acknowledged) HandleMessage();
  } catch (...) {
    fBoxes.resize(index);
    throw;
  }
  fBoxes.resize(index);
  fDirty = true;
  return IDOK;
}

const TMessageBoxState *TApplication::ActiveMessageBox() const {
  return fBoxes.empty() ? nullptr : &fBoxes.back();
}

// ---------------------------------------------------------------------------------------------
// Repaints, paths

int TApplication::AddRepaintObserver(TRepaint r) {
  fRepaint.emplace_back(fNextRepaint, std::move(r));
  return fNextRepaint++;
}

void TApplication::RemoveRepaintObserver(int id) {
  fRepaint.erase(std::remove_if(fRepaint.begin(), fRepaint.end(),
                                [id](const auto &e) { return e.first == id; }),
                 fRepaint.end());
}

void TApplication::Invalidate() {
  fDirty = true;
}

void TApplication::Repaint() {
  if (!fDirty) return;
  fDirty = false;
  if (fRepaint.empty()) return;
  auto observers = fRepaint;
  for (auto &o : observers) o.second();
}

std::string TApplication::ExeName() const {
  if (!fExeName.empty()) return fExeName;
  return CaminhoExecutavel();
}

std::string TApplication::ExeDir() const {
  std::string dir;
  if (const char *env = std::getenv("CHEQUE_DIR"); env && *env) {
    dir = env;
  } else {
    const std::string exe = ExeName();
    const size_t slash = exe.rfind('/');
    dir = slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
  }
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}
