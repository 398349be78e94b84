// Operator scripts: a text file that plays the operator, one action per line, on a virtual
// clock. Used by tests and by the host program to drive whole sessions without a person.
//
//   type TEXT              each character one key press (UTF-8 in the file, typed as
//                          Windows-1252)
//   key NAME [N]           Enter Tab ShiftTab Backspace Delete Escape Space Up Down Left Right
//                          Home End PageUp PageDown F1..F12, N times
//   alt C                  Alt+C (a button accelerator)
//   click NAME             a control of the active form: a button is pressed, anything else
//                          is focused
//   cell NAME COL ROW      a grid's current cell (the grid gets the focus first)
//   ok                     acknowledges the open message box (so does `key Enter`)
//   wait MS                lets MS milliseconds pass
//   expect-form NAME       the active form
//   expect-focus NAME      the focused control of the active form ("none" for no control)
//   expect-text NAME TEXT  the control's text or caption, as the program holds it
//   expect-msgbox TEXT     an open message box with that text
//   expect-enabled NAME / expect-disabled NAME
//
// TEXT is the rest of the line after one blank; enclose it in double quotes to keep blanks at its
// ends. Lines starting with '#' and blank lines are ignored. Every line happens 100 ms after the
// previous one; timers due by then (or at the same time) fire first.
#pragma once

#include "platform/forms/Forms.h"
#include "platform/operator/Transcript.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TScriptSource : public TInputSource {
public:
  static constexpr int kStepMs = 100; // time between two lines
  // After the last line, timers still fire for this long before the run ends as exhausted.
  static constexpr int kGraceMs = 1000;
  // A script file larger than this is refused unread (a device or a pipe named as a script
  // would otherwise be read for ever).
  static constexpr size_t kMaxFileBytes = size_t(4) << 20;

  TScriptSource() = default;
  // Checks the whole script before anything runs. False with "NAME:LINE: message" in `error` for
  // an unknown action or a bad argument. The source keeps the text and reads each line again
  // when its turn comes, so that a script costs about its own size however many key presses its
  // lines make.
  bool Load(std::string utf8Text, std::string &error, const std::string &name = "script");
  bool LoadFile(const std::string &path, std::string &error);
  // The same, raising EScriptFailure on a parse error.
  static std::unique_ptr<TScriptSource> FromText(const std::string &utf8Text,
                                                 const std::string &name = "script");
  static std::unique_ptr<TScriptSource> FromFile(const std::string &path);

  // Called with the message when the run ends in failure (a check that does not hold, an action
  // that cannot apply, the script running out while input is awaited). Without it, or when it
  // returns, the source raises EScriptFailure.
  std::function<void(const std::string &message)> OnFailure;
  [[noreturn]] void Fail(const std::string &message);

  bool Next(TOperatorAction &out, int64_t deadline) override;
  int64_t Now() const override { return fNow; }

  bool AtEnd() const { return !fHave; }
  int Line() const { return fLine; } // line of the last action taken (0 before the first)
  const std::string &Name() const { return fName; }
  // The screen picture taken when the run failed ("" when it has not).
  const std::string &FailureScreen() const { return fFailureScreen; }

private:
  enum class Verb : uint8_t {
    Char,
    Key,
    Type, // one key press a character of the text
    Click,
    Cell,
    Ok,
    Wait,
    ExpectForm,
    ExpectFocus,
    ExpectText,
    ExpectMsgbox,
    ExpectEnabled,
    ExpectDisabled
  };
  // One line of the script.
  struct Step {
    Verb verb = Verb::Char;
    int line = 0;
    char ch = 0;
    Word key = 0;
    TShiftState shift = 0;
    uint32_t count = 1; // key presses: the characters of a Type, the repetitions of a Key
    std::string name;   // control or form (Windows-1252)
    std::string text;   // Windows-1252
    int col = 0, row = 0;
    int64_t ms = 0;
  };
  // The key press a step makes now (a Type's character at fSub).
  struct Press {
    Verb verb = Verb::Char;
    char ch = 0;
    Word key = 0;
    TShiftState shift = 0;
  };
  std::string fText; // the script (UTF-8)
  size_t fAt = 0;    // where the line after fCur starts
  int fAtLine = 0;   // the number of the line before fAt
  Step fCur;         // the next step
  bool fHave = false;
  uint32_t fSub = 0; // key presses of fCur already made
  int64_t fNow = 0;  // the clock
  int64_t fLast = 0; // when the last line happened
  int fLine = 0;
  std::string fName = "script";
  std::string fFailureScreen;
  [[noreturn]] void FailAt(int line, const std::string &message, bool withScreen = false);
  // 1 with the line's step in `s`, 0 for a blank line or a comment, -1 with `why` when malformed.
  static int ParseLine(std::string raw, Step &s, std::string &why);
  bool ReadAhead(); // the next step into fCur; false when no line is left
  Press PressAt(const Step &s) const;
  void Check(const Step &s);
  void Validate(const Step &s, const Press &p);
};

// How the operator script of the last module call went, for the host that asked for it (the
// module plays a script named by the environment; see ModuleOperator in the module).
struct TScriptReport {
  bool played = false; // a script was loaded for the call
  bool done = false;   // every line of it was used
  int line = 0;        // the line of its last action
  std::string failure; // why the run ended early ("" when it did not)
};
TScriptReport &LastScriptReport();

// What a scripted run left behind.
struct TScriptRun {
  int result = 0;          // what the body returned (a form's modal result); 0 when it failed
  std::string error;       // the failure, empty when the run went through
  bool scriptDone = false; // every line of the script was used
  std::vector<TTranscript::Json> events; // the transcript events of the run
  std::string screen;                    // the screen when the run failed, else when it ended
  // The events of one kind, in order.
  std::vector<TTranscript::Json> Events(const std::string &ev) const;
};

// Runs `body` (which shows forms) with `script` as the operator, on a fresh virtual clock, the
// transcript kept in memory. The input source is put back afterwards.
TScriptRun RunScript(const std::function<int()> &body, const std::string &script);
// Shows `form` modally under `script`.
TScriptRun RunScript(TForm *form, const std::string &script);
