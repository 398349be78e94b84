// The platform's edit-mask engine, without any control: what a masked edit or a grid cell
// does with its text. A mask is "mask;save-literals;blank":
//   0 digit required    9 digit optional     # digit, + or - optional
//   L letter required   l letter optional    A letter/digit required   a letter/digit optional
//   C any char required c any char optional  \ next char is a literal
//   > upper case from here   < lower case from here   <> no case change   ! keep optional
//   blanks leading (affects nothing here beyond being accepted)
//   anything else: a literal separator shown as it is.
// save-literals: "1" (default) keeps the literals in Text; "0" keeps only the characters in
// mask positions. blank: the character shown in unfilled positions (default '_').
#pragma once

#include <string>
#include <vector>

class TEditMask {
public:
  TEditMask() = default;
  explicit TEditMask(const std::string &mask);

  bool Empty() const { return fSlots.empty(); }
  const std::string &Mask() const { return fMask; }
  bool SaveLiterals() const { return fSaveLiterals; }
  char BlankChar() const { return fBlank; }
  int Length() const { return (int)fSlots.size(); } // positions, literals included

  // The edit buffer: one character per position; unfilled input positions hold ' '.
  std::string EmptyBuffer() const;
  // Puts a text into the buffer the way the platform does when Text is assigned: with
  // save-literals the text is matched position by position, otherwise its characters fill the
  // input positions in order. Characters a position does not accept are dropped.
  std::string BufferFromText(const std::string &text) const;
  // Text as the control reports it: with save-literals the whole buffer (unfilled positions
  // as blanks ' '), otherwise only the characters typed into input positions.
  std::string TextFromBuffer(const std::string &buffer) const;
  // What the operator sees: unfilled input positions show the blank character.
  std::string DisplayFromBuffer(const std::string &buffer) const;
  // The characters of the filled input positions, in order (the whole text without a mask).
  std::string InputChars(const std::string &buffer) const;
  // A buffer whose input positions take the given characters in order; a character the next
  // position refuses is skipped. Used when the mask changes: NewMask.BufferFromInput(
  // OldMask.InputChars(buffer)) keeps what the operator typed.
  std::string BufferFromInput(const std::string &chars) const;

  bool IsLiteral(int pos) const;
  bool Accepts(int pos, char c) const;   // c is acceptable at input position pos
  char Transform(int pos, char c) const; // case conversion of the position
  // Next input position at or after pos (-1 when none); previous at or before pos.
  int NextInput(int pos) const;
  int PrevInput(int pos) const;

  // Types c at caret position `caret` (skipping literals). On success writes the character,
  // moves the caret past it (and past following literals) and returns true; a character the
  // position refuses changes nothing and returns false.
  bool TypeChar(std::string &buffer, int &caret, char c) const;
  // Backspace: clears the input position before the caret and moves the caret there.
  void Backspace(std::string &buffer, int &caret) const;
  // Delete: clears the input position at the caret.
  void Delete(std::string &buffer, int caret) const;

  // True when every required position (0 L A C) is filled.
  bool IsComplete(const std::string &buffer) const;
  bool IsBlank(const std::string &buffer) const; // no input position filled

  // The exact message the platform gives when an incomplete masked text is left.
  static constexpr const char *InvalidInputMessage =
      "Invalid input value.  Use escape key to abandon changes";

private:
  struct Slot {
    char kind;    // mask character, or 0 for a literal
    char literal; // the literal character
    int caseMode; // 0 none, 1 upper, 2 lower
  };
  std::string fMask;
  bool fSaveLiterals = true;
  char fBlank = '_';
  std::vector<Slot> fSlots;
  // The buffer cut or padded to one character per position, literals in place.
  std::string Normalized(const std::string &buffer) const;
};
