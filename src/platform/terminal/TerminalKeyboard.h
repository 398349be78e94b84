// Operator input from a character terminal: the keys a person presses, turned
// into the actions the form layer takes from its operator script, on the real
// clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>

#include "platform/forms/Forms.h"

// Insert has no use in the forms but is still one key (never typed text).
constexpr Word kVkInsert = 45;

// The bytes a terminal sends, cut into keys. Control sequences (CSI and SS3
// with their parameters and intermediates), control strings (OSC, DCS, APC, PM,
// SOS), mouse reports and the terminal's answers are parsed whole: each
// complete sequence is one key or nothing, never text. Xterm's modifier
// parameters, rxvt's suffixes and the Linux console's function keys are
// understood; a sequence the terminal's description declares wins over them.
// Text is UTF-8 and becomes Windows-1252; a bracketed paste is typed as its
// printable characters only, so that a pasted line break confirms nothing.
class TTerminalInput {
public:
  struct Key {
    enum Kind { Action, Interrupt, Redraw } kind = Action; // Ctrl+C, Ctrl+L
    TOperatorAction action;
  };
  // `bytes` stands for `key` on this terminal (from its description).
  void Declare(const std::string &bytes, const TOperatorAction &key);
  void Feed(const char *bytes, size_t n);
  // Nothing more arrived within WaitMs(): a lone Escape is the Escape key, an
  // introducer alone is Alt and its character, anything else unfinished is dropped.
  void Timeout();
  // How long to wait for the rest of an unfinished sequence (-1: none is).
  int WaitMs() const;
  bool Pop(Key &out);
  bool Empty() const { return fKeys.empty(); }

  int escapeWaitMs = 25;

private:
  enum State { Ground, Utf8, Esc, Csi, Ss3, Str, StrEsc, LinuxFn, Mouse };
  State fState = Ground;
  bool fAlt = false;   // an Escape came before this sequence
  bool fPaste = false; // between the bracketed paste's markers
  char fIntro = 0;     // the sequence's introducer ('[', 'O', ']' ...)
  char32_t fCp = 0, fUtf8Min = 0;
  int fUtf8Left = 0, fMouseLeft = 0;
  std::string fSeq; // the sequence so far, for the declared ones
  static constexpr int kMaxParams = 16;
  int fParams[kMaxParams] = {};
  int fCount = 0;      // parameters seen (the one being read included)
  bool fSub = false;   // in a sub-parameter (after ':'): ignored
  char fPrivate = 0;   // '<', '=', '>' or '?' before the parameters
  bool fInter = false; // intermediate bytes: no key uses them
  bool fBad = false;   // a parameter out of range
  std::map<std::string, TOperatorAction> fDeclared;
  std::deque<Key> fKeys;

  void Byte(unsigned char b);
  void Codepoint(char32_t cp);
  void Control(unsigned char c, TShiftState shift);
  void Begin(char intro);
  void Param(unsigned char b);
  void EndCsi(unsigned char final);
  void EndSs3(unsigned char final);
  void Other(int code, int modifier); // a character or key with its modifier parameter
  void Emit(const TOperatorAction &a);
  void EmitKey(Word key, int modifier);
  void Reset();
};

class TTerminalKeyboard : public TInputSource {
public:
  // `fd`: the descriptor the keys are read from. Sequences the terminal's
  // description declares are taken from the terminal curses set up.
  explicit TTerminalKeyboard(int fd);

  // Waits for a key until `deadline` (ms on Now(); -1 waits for ever), so that
  // timers due before it still fire. Bytes that decode to no key (a broken
  // UTF-8 character, an unknown sequence) are dropped. When the terminal's input
  // is closed for good, OnClosed runs; without it, or when it returns,
  // EScriptFailure is raised.
  bool Next(TOperatorAction &out, int64_t deadline) override;
  // Milliseconds of a monotonic clock.
  int64_t Now() const override;

  // Runs while waiting: the terminal changed size, or the operator asked for a
  // redraw (Ctrl+L).
  std::function<void()> OnResize;
  std::function<void()> OnRedraw;
  // Ctrl+C (a byte of its own: the terminal is in raw mode, so that the key
  // works even where the interrupt signal is ignored). Without it the key is
  // ignored.
  std::function<void()> OnInterrupt;
  // The terminal is gone (see Next).
  std::function<void()> OnClosed;
  // Runs before each wait, so that the screen shows the latest state while the
  // operator looks.
  std::function<void()> BeforeWait;

  TTerminalInput &Input() { return fInput; }

private:
  int64_t fStart;
  int fFd;
  int fRows = 0, fCols = 0; // the terminal's size as last seen
  TTerminalInput fInput;
  bool SizeChanged();
};
