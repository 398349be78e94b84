// Draws the form layer on a character terminal: the active form full-screen,
// the open message box over it, and the terminal's own prompt boxes. Everything
// is drawn into the curses virtual screen and sent with one update, so only the
// cells that changed reach the terminal.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/forms/Grids.h"
#include "platform/terminal/TerminalLayout.h"

class TTerminalSurface;

// A box that the terminal itself asks with (passwords, card reads, PIN-pad
// answers).
struct TPromptBox {
  std::string Caption;  // Windows-1252
  std::string Question; // Windows-1252, may hold line breaks
  std::string Answer;   // what was typed so far (Windows-1252)
  bool Secret = false;  // shown as asterisks
  int MaxLength = 32;
};

class TTerminalRenderer {
public:
  TTerminalRenderer();
  ~TTerminalRenderer();
  TTerminalRenderer(const TTerminalRenderer &) = delete;
  TTerminalRenderer &operator=(const TTerminalRenderer &) = delete;

  // Draws the application's screen (and `prompt` over it, when given) and
  // updates the terminal.
  void Paint(const TPromptBox *prompt = nullptr);
  // The terminal changed size (or was garbled): the next paint sends everything again.
  void Redraw();

  // The form drawn last and where its controls went.
  const TForm *Form() const { return fForm; }
  const TTerminalLayout &Layout() const { return fLayout; }
  // Where the message box or prompt went (empty when none).
  TCellRect BoxRect() const { return fBox; }

  // What the screen shows: one UTF-8 string per line, trailing blanks kept.
  std::vector<std::string> ScreenLines() const;
  // How one cell is drawn (a TCellLook mask): what tells the focus, accelerators and disabled
  // controls apart.
  enum TCellLook : unsigned { kReverse = 1, kUnderline = 2, kDim = 4, kBold = 8 };
  unsigned CellLook(int x, int y) const;
  // Where the terminal's cursor was left (-1 when hidden): the caret of the focused edit.
  int CursorX() const { return fCursorX; }
  int CursorY() const { return fCursorY; }

private:
  TTerminalSurface *fPalette;
  bool fResend = true;
  TTerminalLayout fLayout;
  const TForm *fForm = nullptr;
  TCellRect fBox;
  std::map<const TStringGrid *, int> fGridTop; // first body row shown, per grid
  int fCursorX = -1, fCursorY = -1;

  void DrawForm(const TForm &form);
  void DrawControl(const TLaidControl &it);
  void DrawMessageBox(const TMessageBoxState &box);
  void DrawPrompt(const TPromptBox &p);
  int BackgroundOf(const TControl *c) const;
};
