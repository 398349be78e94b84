// The terminal's keyboard: what the bytes a terminal sends become for the forms, on the real
// clock; and the terminal's own prompt boxes.
#include <gtest/gtest.h>

#include <chrono>

#include "terminal/VirtualTerminal.h"

namespace {

// Every key the operator script can name, as an xterm sends it: "K" + key name or "C" + the
// Windows-1252 character, then "+S" / "+A" for Shift / Alt. Alt+1 is a button's accelerator;
// → has no Windows-1252 form and is dropped; Ctrl+A means nothing to the forms; Escape alone
// comes after the sequence wait.
TEST(TerminalKeyboard, BytesBecomeTheScriptsActionsInTime) {
  using Row = std::pair<const char *, const char *>;
  const Row keys[] = {
      {"\r", "KEnter"},       {"\n", "KEnter"},       {"\t", "KTab"},
      {"\x1b[Z", "KTab+S"},   {"\x7f", "KBackspace"}, {"\b", "KBackspace"},
      {"\x1b[3~", "KDelete"}, {"\x1bOA", "KUp"},      {"\x1bOB", "KDown"},
      {"\x1bOD", "KLeft"},    {"\x1bOC", "KRight"},   {"\x1bOH", "KHome"},
      {"\x1bOF", "KEnd"},     {"\x1b[5~", "KPageUp"}, {"\x1b[6~", "KPageDown"},
      {"\x1bOP", "KF1"},      {"\x1b[15~", "KF5"},    {"\x1b[24~", "KF12"},
      {"\x1b[1;2P", "KF1+S"}, {"\x1b", "KEscape"},
  };
  TVirtualTerminal vt;
  TTerminalKeyboard &kb = vt.Keyboard();
  auto expect = [&](const Row &c) {
    vt.Send(c.first);
    TOperatorAction a;
    ASSERT_TRUE(kb.Next(a, kb.Now() + 2000)) << c.second;
    std::string got = a.kind == TOperatorAction::Char  ? "C" + std::string(1, a.ch)
                      : a.kind == TOperatorAction::Key ? "K" + KeyName(a.key)
                                                       : "?";
    if (a.shift & ssShift) got += "+S";
    if (a.shift & ssAlt) got += "+A";
    EXPECT_EQ(got, c.second);
  };
  for (const Row &c : keys) expect(c);
  // Characters sent in one go come out one by one: here Z, blank, Alt+1, Ctrl+A c, é º €,
  // Alt+ç, → b.
  vt.Send("Z \0331\001c\xc3\xa9\xc2\xba\xe2\x82\xac\033\xc3\xa7\xe2\x86\x92\x62");
  for (const char *want : {"CZ", "C ", "C1+A", "Cc", "C\xe9", "C\xba", "C\x80", "C\xe7+A", "Cb"})
    expect({"", want});
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
