// The terminal's keyboard: what the bytes a terminal sends become for the forms, on the real
// clock; and the terminal's own prompt boxes.
#include <gtest/gtest.h>

#include <chrono>

#include "terminal/VirtualTerminal.h"

namespace {

std::string Named(const TOperatorAction &a) {
  std::string got = a.kind == TOperatorAction::Char  ? "C" + std::string(1, a.ch)
                    : a.kind != TOperatorAction::Key ? "?"
                    : a.key == kVkInsert             ? "KInsert"
                                                     : "K" + KeyName(a.key);
  if (a.shift & ssShift) got += "+S";
  if (a.shift & ssAlt) got += "+A";
  if (a.shift & ssCtrl) got += "+C";
  return got;
}

// What terminals send, as xterm, tmux and screen, rxvt and the Linux console send it: "K" + key
// name or "C" + the Windows-1252 character, then "+S" / "+A" / "+C" for Shift / Alt / Ctrl; the
// keys of one row separated by blanks. Each row is followed by a "z", so that a sequence read as
// text shows as typed characters. The terminal's answers, mouse reports and control strings are
// nothing; a paste types its characters but not its line break.
TEST(TerminalKeyboard, BytesBecomeTheScriptsActionsInTime) {
  using Row = std::pair<const char *, const char *>;
  const Row keys[] = {
      {"\r\n\t\x1b[Z", "KEnter KEnter KTab KTab+S"},
      {"\x7f\b", "KBackspace KBackspace"},
      {"\x1bOA\x1b[B\x1bOD\x1b[C", "KUp KDown KLeft KRight"},
      {"\x1bOH\x1b[H\x1b[1~\x1b[7~", "KHome KHome KHome KHome"}, // xterm, tmux, rxvt
      {"\x1bOF\x1b[4~\x1b[8~", "KEnd KEnd KEnd"},
      {"\x1b[2~\x1b[3~\x1b[5~\x1b[6~", "KInsert KDelete KPageUp KPageDown"},
      {"\x1b[1;2H\x1b[1;5F\x1b[3;9~\x1b[5;3~\x1b[6;8~",
       "KHome+S KEnd+C KDelete+A KPageUp+A KPageDown+S+A+C"},
      {"\x1bOP\x1bOS\x1b[15~\x1b[24~", "KF1 KF4 KF5 KF12"},
      {"\x1b[1;2P\x1b[1;6R\x1bO2Q\x1b[15;5~\x1b[24;2~", "KF1+S KF3+S+C KF2+S KF5+C KF12+S"},
      {"\x1b[11~\x1b[23$\x1b[11^\x1b[2@\x1b[8$", "KF1 KF11+S KF1+C KInsert+S+C KEnd+S"}, // rxvt
      {"\x1b[a\x1bOd\x1b[25~\x1b[34~", "KUp+S KLeft+C KF3+S KF10+S"},
      {"\x1b[[A\x1b[[E\x1b[17~", "KF1 KF5 KF6"}, // the Linux console
      {"\x1b[27;5;13~\x1b[13;5u\x1b[27;3;49~\x1b[97;5u", "KEnter+C KEnter+C C1+A"},
      {"\x1b\x1b[A\x1b\r\x1b"
       "1\x1bOM\x1bOq",
       "KUp+A KEnter+A C1+A KEnter C1"},
      {"\xc2\x9b"
       "A\xc3\x28",
       "KUp C("}, // an 8-bit CSI; a broken character
      {"\x1b[24;80R\x1b[?1;2c\x1b[>0;276;0c\x1b[?2004;1$y\x1b[I", ""},
      {"\x1b[<0;10;5M\x1b[<0;10;5m\x1b[M !!\x1b[32;10;5M", ""}, // mouse reports
      {"\x1b[9999999999~\x1b[3;99~\x1b[1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17A", ""},
      {"\x1b]0;t\xc3\xadtulo\x07\x1b]11;rgb:0/0/0\x1b\\\x1bP1$r0m\x1b\\\x1b_a\x1b\\", ""},
      {"\x1b[200~12\r\x1b[A3\x1b[201~", "C1 C2 C3"},
  };
  TVirtualTerminal vt;
  TTerminalKeyboard &kb = vt.Keyboard();
  // The keys read until `last` (or until none comes for `ms`).
  auto read = [&](int ms, const std::string &last = "") {
    std::string got;
    TOperatorAction a;
    while (got.size() < 200 && kb.Next(a, kb.Now() + ms)) {
      got += (got.empty() ? "" : " ") + Named(a);
      if (Named(a) == last) break;
    }
    return got;
  };
  for (const Row &c : keys) {
    vt.Send(std::string(c.first) + "z");
    EXPECT_EQ(read(2000, "Cz"), std::string(c.second) + (*c.second ? " " : "") + "Cz") << c.first;
  }
  // Alone, Escape and Escape with an introducer are the keys typed, after the sequence wait.
  vt.Send("\x1b");
  EXPECT_EQ(read(100), "KEscape");
  vt.Send("\x1b[");
  EXPECT_EQ(read(100), "C[+A");
  // Characters sent in one go come out one by one: here Z, blank, Alt+1, Ctrl+A c, é º €,
  // Alt+ç, → b.
  vt.Send("Z \0331\001c\xc3\xa9\xc2\xba\xe2\x82\xac\033\xc3\xa7\xe2\x86\x92\x62");
  EXPECT_EQ(read(100), "CZ C  C1+A Cc C\xe9 C\xba C\x80 C\xe7+A Cb");
  // Nothing is left over. Next waits no longer than the deadline, so that timers fire while the
  // operator thinks; a closed input ends the run instead of hanging.
  TOperatorAction a;
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_FALSE(kb.Next(a, kb.Now() + 40));
  const auto waited = std::chrono::steady_clock::now() - t0;
  EXPECT_GE(waited, std::chrono::milliseconds(35));
  EXPECT_LT(waited, std::chrono::seconds(1));
  EXPECT_FALSE(kb.Next(a, kb.Now() - 5)); // already past
  vt.CloseInput();
  EXPECT_THROW(kb.Next(a, -1), EScriptFailure);
}

// The host's prompts over a form: asked in a box; a secret shows asterisks; Backspace corrects;
// the length is capped; Enter answers and Escape refuses.
TEST(TerminalKeyboard, PromptsAskInABoxOverTheForm) {
  std::string got = "x";
  EXPECT_FALSE(TerminalPrompt("Senha", "Digite a senha", true, got)); // no terminal
  EXPECT_EQ(got, "x");
  TShown s(MakeConsultaForm());
  TVirtualTerminal &vt = s.vt;
  std::vector<std::u32string> last; // the screen while waiting for the last key
  vt.Keyboard().BeforeWait = [&] { last = vt.Lines(); };
  const struct {
    const char *bytes;
    bool secret;
    int max;
    const char *answer;    // nullptr: refused
    const char32_t *shown; // what the field showed before Enter
  } cases[] = {
      {"4321\r", true, 8, "4321", U"[****"},    {"12\x7f\063\r", false, 8, "13", U"[13"},
      {"123456\r", false, 4, "1234", U"[1234"}, {"S\xc3\xa3o\r", false, 8, "S\xe3o", U"[São"},
      {"99\x1b", true, 8, nullptr, U"[**"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.bytes);
    vt.Send(c.bytes);
    got = "unchanged";
    EXPECT_EQ(TerminalPrompt(CP1252("Garantia com Senha"), CP1252("Senha do cliente:"), c.secret,
                             got, c.max),
              c.answer != nullptr);
    EXPECT_EQ(got, c.answer ? c.answer : "unchanged");
    const TWhere caption = FindText(last, U"Garantia com Senha");
    EXPECT_TRUE(caption.Found());
    EXPECT_GT(FindText(last, U"Senha do cliente:").y, caption.y);
    EXPECT_TRUE(FindText(last, c.shown).Found());
    // The box is gone and the form is back.
    EXPECT_FALSE(FindText(vt.Lines(), U"Garantia com Senha").Found());
    EXPECT_TRUE(FindText(vt.Lines(), U"Telefone:").Found());
  }
}

} // namespace
