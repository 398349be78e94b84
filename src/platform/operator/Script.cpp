#include "platform/operator/Script.h"
#include "platform/forms/Grids.h"
#include "platform/operator/Privacy.h"
#include "platform/operator/ScreenText.h"
#include "platform/text/StrUtils.h"

#include <fstream>
#include <sstream>
#include <utility>

namespace {

bool ParseCount(const std::string &s, int64_t max, int64_t &out) {
  if (s.empty() || s.size() > 9 || s.find_first_not_of("0123456789") != std::string::npos)
    return false;
  out = std::stoll(s);
  return out <= max;
}

std::vector<std::string> Words(const std::string &s) {
  std::vector<std::string> out;
  std::istringstream in(s);
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// The rest of a line as a text: double quotes around it keep blanks at its ends.
std::string Unquote(const std::string &s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

std::string Quoted(const std::string &cp1252) {
  return "\"" + Cp1252ToUtf8(cp1252) + "\"";
}

// The line of `text` that starts at `at` (without its LF); `at` moves to the next one.
std::string TakeLine(const std::string &text, size_t &at) {
  size_t end = text.find('\n', at);
  if (end == std::string::npos) end = text.size();
  std::string line = text.substr(at, end - at);
  at = end + 1;
  return line;
}

} // namespace

int TScriptSource::ParseLine(std::string raw, Step &s, std::string &why) {
  auto fail = [&why](const std::string &msg) {
    why = msg;
    return -1;
  };
  if (!raw.empty() && raw.back() == '\r') raw.pop_back();
  // Line ends of CR alone would make the rest of the script text typed by this line.
  if (const size_t cr = raw.find('\r'); cr != std::string::npos)
    return fail("a CR without LF at column " + std::to_string(cr + 1) +
                " (lines end in LF or CR LF)");
  const size_t b = raw.find_first_not_of(" \t");
  if (b == std::string::npos || raw[b] == '#') return 0;
  const size_t e = raw.find_first_of(" \t", b);
  const std::string verb = raw.substr(b, e == std::string::npos ? std::string::npos : e - b);
  // The rest after exactly one blank (texts keep what follows verbatim).
  const std::string rest = e == std::string::npos ? std::string() : raw.substr(e + 1);
  const std::vector<std::string> args = Words(rest);
  const int line = s.line;
  s = Step{};
  s.line = line;
  if (verb == "type") {
    s.text = Utf8ToCp1252(Unquote(rest));
    if (s.text.empty()) return fail("type needs a text");
    s.verb = Verb::Type;
    s.count = uint32_t(s.text.size());
  } else if (verb == "key") {
    if (args.empty() || args.size() > 2) return fail("usage: key NAME [N]");
    s.verb = Verb::Key;
    if (SameText(args[0], "ShiftTab") || SameText(args[0], "Shift+Tab")) {
      s.key = VK_TAB;
      s.shift = ssShift;
    } else {
      s.key = KeyFromName(args[0]);
      if (!s.key) return fail("unknown key \"" + args[0] + "\"");
    }
    int64_t n = 1;
    if (args.size() == 2 && (!ParseCount(args[1], 1000, n) || n < 1))
      return fail("bad number \"" + args[1] + "\" (1 to 1000)");
    s.count = uint32_t(n);
  } else if (verb == "alt") {
    if (args.size() != 1) return fail("usage: alt C");
    const std::string c = Utf8ToCp1252(args[0]);
    if (c.size() != 1) return fail("alt takes one character");
    s.verb = Verb::Char;
    s.ch = c[0];
    s.shift = ssAlt;
  } else if (verb == "click") {
    if (args.size() != 1) return fail("usage: click NAME");
    s.verb = Verb::Click;
    s.name = Utf8ToCp1252(args[0]);
  } else if (verb == "cell") {
    if (args.size() != 3) return fail("usage: cell NAME COL ROW");
    int64_t col = 0, row = 0;
    if (!ParseCount(args[1], 100000, col)) return fail("bad number \"" + args[1] + "\"");
    if (!ParseCount(args[2], 100000, row)) return fail("bad number \"" + args[2] + "\"");
    s.verb = Verb::Cell;
    s.name = Utf8ToCp1252(args[0]);
    s.col = int(col), s.row = int(row);
  } else if (verb == "ok") {
    if (!args.empty()) return fail("usage: ok");
    s.verb = Verb::Ok;
  } else if (verb == "wait") {
    if (args.size() != 1) return fail("usage: wait MS");
    if (!ParseCount(args[0], 100000000, s.ms)) return fail("bad number \"" + args[0] + "\"");
    s.verb = Verb::Wait;
  } else if (verb == "expect-form" || verb == "expect-focus" || verb == "expect-enabled" ||
             verb == "expect-disabled") {
    if (args.size() != 1) return fail("usage: " + verb + " NAME");
    s.verb = verb == "expect-form"      ? Verb::ExpectForm
             : verb == "expect-focus"   ? Verb::ExpectFocus
             : verb == "expect-enabled" ? Verb::ExpectEnabled
                                        : Verb::ExpectDisabled;
    s.name = Utf8ToCp1252(args[0]);
  } else if (verb == "expect-text") {
    if (args.empty()) return fail("usage: expect-text NAME TEXT");
    const size_t nb = rest.find_first_not_of(" \t");
    const size_t ne = rest.find_first_of(" \t", nb);
    s.verb = Verb::ExpectText;
    s.name = Utf8ToCp1252(rest.substr(nb, ne == std::string::npos ? std::string::npos : ne - nb));
    s.text = ne == std::string::npos ? std::string() : Utf8ToCp1252(Unquote(rest.substr(ne + 1)));
  } else if (verb == "expect-msgbox") {
    s.verb = Verb::ExpectMsgbox;
    s.text = Utf8ToCp1252(Unquote(rest));
  } else {
    return fail("unknown action \"" + verb + "\"");
  }
  return 1;
}

bool TScriptSource::ReadAhead() {
  while (fAt < fText.size()) {
    fCur.line = ++fAtLine;
    std::string why;
    if (ParseLine(TakeLine(fText, fAt), fCur, why) > 0) return true;
  }
  return false;
}

bool TScriptSource::Load(std::string utf8Text, std::string &error, const std::string &name) {
  fName = name;
  fText.clear();
  fHave = false;
  fSub = 0;
  // Editors on Windows start UTF-8 files with a byte-order mark.
  const size_t start = utf8Text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  // Every line is checked now, so that a malformed one stops the run before anything happens.
  Step s;
  std::string why;
  int lineNo = 0;
  for (size_t at = start; at < utf8Text.size();) {
    s.line = ++lineNo;
    if (ParseLine(TakeLine(utf8Text, at), s, why) < 0) {
      error = fName + ":" + std::to_string(lineNo) + ": " + why;
      return false;
    }
  }
  fText = std::move(utf8Text);
  fAt = start;
  fAtLine = 0;
  fHave = ReadAhead();
  error.clear();
  return true;
}

bool TScriptSource::LoadFile(const std::string &path, std::string &error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot read the script";
    return false;
  }
  // Read in pieces up to the limit, whatever the file is: its size says nothing for a device.
  std::string text;
  char piece[8192];
  while (in.read(piece, sizeof piece) || in.gcount() > 0) {
    text.append(piece, size_t(in.gcount()));
    if (text.size() > kMaxFileBytes) {
      error = path + ": too large for an operator script (more than " +
              std::to_string(kMaxFileBytes) + " bytes)";
      return false;
    }
  }
  return Load(std::move(text), error, path);
}

TScriptReport &LastScriptReport() {
  static TScriptReport report;
  return report;
}

std::unique_ptr<TScriptSource> TScriptSource::FromText(const std::string &utf8Text,
                                                       const std::string &name) {
  auto src = std::make_unique<TScriptSource>();
  std::string error;
  if (!src->Load(utf8Text, error, name)) throw EScriptFailure(error);
  return src;
}

std::unique_ptr<TScriptSource> TScriptSource::FromFile(const std::string &path) {
  auto src = std::make_unique<TScriptSource>();
  std::string error;
  if (!src->LoadFile(path, error)) throw EScriptFailure(error);
  return src;
}

void TScriptSource::Fail(const std::string &message) {
  fFailureScreen = ScreenText();
  if (OnFailure) OnFailure(message);
  throw EScriptFailure(message);
}

void TScriptSource::FailAt(int line, const std::string &message, bool withScreen) {
  std::string m = fName + ":" + std::to_string(line) + ": " + message;
  if (withScreen) m += "\n" + ScreenText();
  Fail(m);
}

TScriptSource::Press TScriptSource::PressAt(const Step &s) const {
  Press p{s.verb, s.ch, s.key, s.shift};
  if (s.verb != Verb::Type) return p;
  const char c = s.text[fSub];
  if (c == '\t') {
    p.verb = Verb::Key;
    p.key = VK_TAB;
  } else if (c == '\r' || c == '\n') {
    p.verb = Verb::Key;
    p.key = VK_RETURN;
  } else {
    p.verb = Verb::Char;
    p.ch = c;
  }
  return p;
}

bool TScriptSource::Next(TOperatorAction &out, int64_t deadline) {
  for (;;) {
    if (AtEnd()) {
      // Timers may still move things on for a while; then the run cannot go on.
      if (deadline >= 0 && deadline <= fLast + kGraceMs) {
        fNow = std::max(fNow, deadline);
        return false;
      }
      std::string m = fName + ": the script ended";
      if (fLine) m += " after line " + std::to_string(fLine);
      m += " while " + Application->WaitingDescription() + "\n" + ScreenText();
      Fail(m);
    }
    if (fCur.verb == Verb::Wait) {
      fLast += fCur.ms;
      fLine = fCur.line;
      fHave = ReadAhead();
      continue;
    }
    // Every key press happens a step's time after the one before, those of one line too.
    const int64_t due = fLast + kStepMs;
    if (deadline >= 0 && deadline <= due) {
      fNow = std::max(fNow, deadline);
      return false;
    }
    fNow = fLast = due;
    fLine = fCur.line;
    const Press p = PressAt(fCur);
    // The line is used up before it is checked, as the report of a failed run counts it.
    Step used;
    const Step *sp = &fCur;
    if (++fSub >= fCur.count) {
      fSub = 0;
      used = std::move(fCur);
      sp = &used;
      fHave = ReadAhead();
    }
    const Step &s = *sp;
    switch (s.verb) {
    case Verb::ExpectForm:
    case Verb::ExpectFocus:
    case Verb::ExpectText:
    case Verb::ExpectMsgbox:
    case Verb::ExpectEnabled:
    case Verb::ExpectDisabled:
      Check(s);
      continue;
    default:
      break;
    }
    Validate(s, p);
    out = TOperatorAction{};
    out.line = s.line;
    out.shift = p.shift;
    switch (p.verb) {
    case Verb::Char:
      out.kind = TOperatorAction::Char;
      out.ch = p.ch;
      break;
    case Verb::Key:
      out.kind = TOperatorAction::Key;
      out.key = p.key;
      break;
    case Verb::Click:
      out.kind = TOperatorAction::Click;
      out.control = s.name;
      break;
    case Verb::Cell:
      out.kind = TOperatorAction::Cell;
      out.control = s.name;
      out.col = s.col;
      out.row = s.row;
      break;
    default:
      out.kind = TOperatorAction::Ack;
      break;
    }
    return true;
  }
}

// An action that cannot apply to what is on the screen ends the run.
void TScriptSource::Validate(const Step &s, const Press &p) {
  const TMessageBoxState *box = Application->ActiveMessageBox();
  if (p.verb == Verb::Ok) {
    if (!box) FailAt(s.line, "ok: no message box is open", true);
    return;
  }
  if (box) {
    const bool acks = p.verb == Verb::Key &&
                      (p.key == VK_RETURN || p.key == VK_SPACE || p.key == VK_ESCAPE) && !p.shift;
    if (!acks)
      FailAt(s.line,
             "a message box is open (" + Quoted(LoggedText(box->Text)) + "): use ok or key Enter",
             true);
    return;
  }
  TForm *f = Application->ActiveForm();
  if (!f) FailAt(s.line, "no form is shown");
  if (s.verb != Verb::Click && s.verb != Verb::Cell) return;
  TComponent *c = f->FindComponentDeep(s.name);
  const std::string what = s.verb == Verb::Click ? "click" : "cell";
  if (!c) FailAt(s.line, what + ": no control " + Quoted(s.name) + " on " + f->Name, true);
  auto *w = dynamic_cast<TWinControl *>(c);
  if (!w || !w->CanFocus())
    FailAt(s.line,
           what + ": " + Quoted(s.name) + " cannot take the focus (" +
               (w && w->IsFocusableKind() ? "hidden or disabled" : "not a focusable control") + ")",
           true);
  if (s.verb == Verb::Cell) {
    auto *g = dynamic_cast<TStringGrid *>(c);
    if (!g) FailAt(s.line, "cell: " + Quoted(s.name) + " is not a grid");
    if (s.col >= g->ColCount() || s.row >= g->RowCount())
      FailAt(s.line, "cell: " + std::to_string(s.col) + "," + std::to_string(s.row) +
                         " is outside the grid (" + std::to_string(g->ColCount()) + " x " +
                         std::to_string(g->RowCount()) + ")");
  }
}

void TScriptSource::Check(const Step &s) {
  TForm *f = Application->ActiveForm();
  auto mismatch = [&](const std::string &verb, const std::string &expected,
                      const std::string &found) {
    FailAt(s.line, verb + ": expected " + Quoted(expected) + ", found " + Quoted(found), true);
  };
  if (s.verb == Verb::ExpectMsgbox) {
    const TMessageBoxState *box = Application->ActiveMessageBox();
    if (!box) FailAt(s.line, "expect-msgbox: no message box is open", true);
    if (box->Text != s.text) mismatch("expect-msgbox", LoggedText(s.text), LoggedText(box->Text));
    return;
  }
  if (s.verb == Verb::ExpectForm) {
    const std::string found = f ? f->Name : std::string("(none)");
    if (!f || !SameText(f->Name, s.name)) mismatch("expect-form", s.name, found);
    return;
  }
  if (!f) FailAt(s.line, "no form is shown");
  if (s.verb == Verb::ExpectFocus) {
    const TWinControl *a = f->ActiveControl();
    const std::string found = a ? a->Name : std::string("none");
    if (!SameText(found, s.name)) mismatch("expect-focus", s.name, found);
    return;
  }
  TControl *c =
      SameText(f->Name, s.name) ? f : dynamic_cast<TControl *>(f->FindComponentDeep(s.name));
  if (!c) FailAt(s.line, "no control " + Quoted(s.name) + " on " + f->Name, true);
  switch (s.verb) {
  case Verb::ExpectText:
    if (c->Caption() != s.text) {
      // The failure goes to stderr and the transcript: a personal control's value (and the value
      // the script expected in it) is masked there as everywhere else.
      const bool hide = Privacy().Hides(c);
      auto shown = [hide](const std::string &text) { return hide ? MaskValue(text) : text; };
      mismatch("expect-text " + Cp1252ToUtf8(s.name) + (hide ? " (masked)" : ""), shown(s.text),
               shown(c->Caption()));
    }
    break;
  case Verb::ExpectEnabled:
    if (!c->Enabled()) FailAt(s.line, "expect-enabled: " + Quoted(s.name) + " is disabled", true);
    break;
  case Verb::ExpectDisabled:
    if (c->Enabled()) FailAt(s.line, "expect-disabled: " + Quoted(s.name) + " is enabled", true);
    break;
  default:
    break;
  }
}

// ---------------------------------------------------------------------------------------------

std::vector<TTranscript::Json> TScriptRun::Events(const std::string &ev) const {
  std::vector<TTranscript::Json> out;
  for (const auto &e : events)
    if (e.value("ev", "") == ev) out.push_back(e);
  return out;
}

TScriptRun RunScript(const std::function<int()> &body, const std::string &script) {
  TScriptRun run;
  TTranscript &t = Transcript();
  const bool keep = t.KeepInMemory();
  if (!keep) t.Clear();
  t.SetKeepInMemory(true);
  const size_t first = t.Events().size();
  TInputSource *const previous = Application->InputSource();
  std::unique_ptr<TScriptSource> src;
  Application->ForgetClosing();
  try {
    src = TScriptSource::FromText(script);
    Application->SetInputSource(src.get());
    run.result = body();
  } catch (const EScriptFailure &e) {
    run.error = e.what();
  }
  // A body that unwinds its screens when the operator is gone (a module's export) returns.
  if (run.error.empty()) run.error = Application->ClosingReason();
  if (!run.error.empty()) run.result = 0;
  run.screen = src && !run.error.empty() && !src->FailureScreen().empty() ? src->FailureScreen()
                                                                          : ScreenText();
  run.scriptDone = src && src->AtEnd();
  Application->SetInputSource(previous);
  run.events.assign(t.Events().begin() + long(std::min(first, t.Events().size())),
                    t.Events().end());
  t.SetKeepInMemory(keep);
  return run;
}

TScriptRun RunScript(TForm *form, const std::string &script) {
  return RunScript([form] { return form->ShowModal(); }, script);
}
