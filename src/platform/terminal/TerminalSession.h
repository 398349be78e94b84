// The terminal interface of the form layer for a person at a keyboard: while a
// session lives, the application's forms are drawn on the terminal and its keys
// are the operator's input.
//
//   if (TTerminalSession::Available()) {
//     TTerminalSession terminal;      // takes over the screen
//     ... run the module ...          // forms are drawn, keys drive them,
//     timers fire
//   }                                 // the terminal is as it was
//
// The terminal is restored when the session ends, also when an exception leaves
// it, when the program is ended by a signal (termination, a crash), by Ctrl+C (the
// session ends the program as the interrupt signal would, even when that signal is
// ignored) or by exit(). A hang-up does not end the program: the operator is gone,
// so the keyboard reports its input closed and the screens unwind (EScriptFailure
// from the keyboard).
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class TTerminalRenderer;
class TTerminalKeyboard;

struct TTerminalOptions {
  std::FILE *in = nullptr;  // keys come from here (nullptr: standard input)
  std::FILE *out = nullptr; // the screen goes here (nullptr: standard output)
  std::string term;         // terminal type (empty: $TERM, else "xterm")
  int cols = 0,
      lines = 0; // a fixed size (a virtual terminal); 0: the terminal's own
  bool handleSignals = true;
};

class TTerminalSession {
public:
  TTerminalSession(); // the program's own terminal
  explicit TTerminalSession(const TTerminalOptions &options);
  ~TTerminalSession();
  TTerminalSession(const TTerminalSession &) = delete;
  TTerminalSession &operator=(const TTerminalSession &) = delete;

  // Whether the program runs on a terminal a person can use (standard input and
  // output are terminals and the terminal type is known).
  static bool Available();
  // A session on the process's controlling terminal (/dev/tty), whatever standard input and
  // output are (a point of sale may log its output to a file). nullptr, with the reason in
  // `why`, when the process has no terminal a person can use.
  static std::unique_ptr<TTerminalSession> OnControllingTerminal(std::string &why);
  // The live session (nullptr when none).
  static TTerminalSession *Current();
  // Puts the terminal back as the program found it now, for a program about to
  // leave without unwinding (harmless when no session runs).
  static void RestoreNow();

  // A virtual terminal (a fixed size) takes a new size, as a real one does when its window
  // is resized; the screen is drawn again.
  void Resize(int cols, int lines);
  // Draws the screen now (the form layer also asks for it whenever something
  // changed).
  void Repaint();
  // What the screen shows: one UTF-8 string per line.
  std::vector<std::string> ScreenLines() const;
  // The same joined with line feeds, blanks at the ends of lines removed.
  std::string ScreenText() const;

  // Asks the operator in a box over the screen (Windows-1252 texts). `secret`
  // shows the answer as asterisks. True with the answer on Enter, false on
  // Escape.
  bool Prompt(const std::string &caption, const std::string &question, bool secret,
              std::string &answer, int maxLength = 32);

  TTerminalRenderer &Renderer();
  TTerminalKeyboard &Keyboard();

private:
  struct Impl;
  void RestoreSignals();
  std::unique_ptr<Impl> fImpl;
};

// A question for the operator in a box over the screen, for the host's own
// dialogues (the customer's password on the PIN pad, a card read, a typed
// PIN-pad answer). Texts are Windows-1252; `secret` shows asterisks; at most
// `maxLength` characters are taken. True with the answer on Enter, false on
// Escape or when no terminal session is running.
bool TerminalPrompt(const std::string &caption, const std::string &question, bool secret,
                    std::string &answer, int maxLength = 32);
