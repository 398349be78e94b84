// The terminal's keyboard: what the bytes a terminal sends become for the forms, on the real
// clock; forms driven by keys; and the terminal's own prompt boxes.
#include <gtest/gtest.h>

#include <chrono>

#include "TerminalTestUtil.h"

namespace {

TOperatorAction Char(char c, TShiftState shift = 0) {
  TOperatorAction a;
  a.kind = TOperatorAction::Char;
  a.ch = c;
  a.shift = shift;
  return a;
}

TOperatorAction Key(Word k, TShiftState shift = 0) {
  TOperatorAction a;
  a.kind = TOperatorAction::Key;
  a.key = k;
  a.shift = shift;
  return a;
}

std::string Describe(const TOperatorAction &a) {
  if (a.kind == TOperatorAction::Char)
    return "char " + std::to_string((unsigned char)a.ch) + " shift " + std::to_string(a.shift);
  if (a.kind == TOperatorAction::Key)
    return "key " + KeyName(a.key) + " shift " + std::to_string(a.shift);
  return "other";
}

} // namespace

// Every key the operator script can name, as an xterm sends it.
TEST(TerminalKeys, BytesBecomeTheScriptsActions) {
  const struct {
    const char *bytes;
    TOperatorAction want;
  } cases[] = {
      {"\r", Key(VK_RETURN)},
      {"\n", Key(VK_RETURN)},
      {"\t", Key(VK_TAB)},
      {"\x1b[Z", Key(VK_TAB, ssShift)},
      {"\x7f", Key(VK_BACK)},
      {"\b", Key(VK_BACK)},
      {"\x1b[3~", Key(VK_DELETE)},
      {"\x1bOA", Key(VK_UP)},
      {"\x1bOB", Key(VK_DOWN)},
      {"\x1bOD", Key(VK_LEFT)},
      {"\x1bOC", Key(VK_RIGHT)},
      {"\x1bOH", Key(VK_HOME)},
      {"\x1bOF", Key(VK_END)},
      {"\x1b[5~", Key(VK_PRIOR)},
      {"\x1b[6~", Key(VK_NEXT)},
      {"\x1bOP", Key(VK_F1)},
      {"\x1b[15~", Key(VK_F1 + 4)},
      {"\x1b[24~", Key(VK_F12)},
      {"\x1b[1;2P", Key(VK_F1, ssShift)},
      {"a", Char('a')},
      {"Z", Char('Z')},
      {"7", Char('7')},
      {" ", Char(' ')},
      {"\xc3\xa9", Char('\xe9')},     // é
      {"\xc3\x87", Char('\xc7')},     // Ç
      {"\xe2\x82\xac", Char('\x80')}, // €
      {"\xc2\xba", Char('\xba')},     // º
      {"\x1b"
       "1",
       Char('1', ssAlt)}, // Alt+1: a button's accelerator
      {"\x1bx", Char('x', ssAlt)},
      {"\x1b\xc3\xa7", Char('\xe7', ssAlt)}, // Alt+ç
      {"\xe2\x86\x92"
       "b",
       Char('b')}, // → has no Windows-1252 form: dropped
      {"\x01"
       "c",
       Char('c')},              // Ctrl+A means nothing to the forms
      {"\x1b", Key(VK_ESCAPE)}, // Escape alone, after the sequence wait
  };
  TVirtualTerminal vt(80, 24);
  TTerminalKeyboard &kb = vt.Session().Keyboard();
  for (const auto &c : cases) {
    SCOPED_TRACE(Describe(c.want));
    vt.Send(c.bytes);
    TOperatorAction got;
    ASSERT_TRUE(kb.Next(got, kb.Now() + 2000));
    EXPECT_EQ(got.kind, c.want.kind);
    EXPECT_EQ(got.shift, c.want.shift);
    if (c.want.kind == TOperatorAction::Char) {
      EXPECT_EQ(got.ch, c.want.ch);
    } else {
      EXPECT_EQ(got.key, c.want.key);
    }
  }
  // Nothing left over.
  TOperatorAction extra;
  EXPECT_FALSE(kb.Next(extra, kb.Now() + 30));
}

// Next waits no longer than the deadline, so that timers fire while the operator thinks; a
// closed input ends the run instead of hanging.
TEST(TerminalKeys, DeadlineTimersAndClosedInput) {
  TVirtualTerminal vt(80, 24);
  TTerminalKeyboard &kb = vt.Session().Keyboard();
  const auto t0 = std::chrono::steady_clock::now();
  TOperatorAction a;
  EXPECT_FALSE(kb.Next(a, kb.Now() + 40));
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
          .count();
  EXPECT_GE(ms, 35);
  EXPECT_LT(ms, 1000);
  EXPECT_FALSE(kb.Next(a, kb.Now() - 5)); // already past

  // A modal form closed by its own timer, with nobody typing.
  TForm *f = MakeBaseForm("FrmTeste_Timer", "Espera");
  auto *t = new TTimer(f);
  t->Interval = 30;
  int fired = 0;
  t->OnTimer = [&](TObject *) {
    ++fired;
    t->SetEnabled(false);
    f->ModalResult = mrOk;
  };
  f->OnShow = [&](TObject *) { t->SetEnabled(true); };
  const auto t1 = std::chrono::steady_clock::now();
  EXPECT_EQ(f->ShowModal(), mrOk);
  EXPECT_EQ(fired, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - t1, std::chrono::seconds(2));
  f->Free();

  vt.CloseInput();
  EXPECT_THROW(kb.Next(a, -1), EScriptFailure);
}

// A whole form driven from the terminal: typing, Tab, Shift+Tab, End, Backspace and an Alt
// accelerator reach the controls through the form layer, and the screen follows.
TEST(TerminalKeys, KeysDriveAModalForm) {
  TVirtualTerminal vt(80, 24);
  TForm *f = MakeConsultaForm();
  auto *valor = dynamic_cast<TEdit *>(f->FindComponentDeep("edValor"));
  auto *data = dynamic_cast<TMaskEdit *>(f->FindComponentDeep("edData"));
  auto *ok = dynamic_cast<TBitBtn *>(f->FindComponentDeep("btConfirma"));
  ok->ModalResult = mrOk;
  valor->SetFocus();
  std::vector<std::u32string> screenBeforeOk;
  vt.Session().Keyboard().BeforeWait = [&] { screenBeforeOk = vt.Lines(); };
  vt.Send("150"
          "\t"
          "05032024"
          "\x1b[Z" // Shift+Tab: back to the amount
          "\x1bOF" // End
          "\x7f"   // Backspace
          "\x1b"
          "1"); // Alt+1: "&1 - Confirma"
  EXPECT_EQ(f->ShowModal(), mrOk);
  vt.Session().Keyboard().BeforeWait = nullptr;
  EXPECT_EQ(valor->Text(), "15");
  EXPECT_EQ(data->Text(), "05/03/2024");
  EXPECT_TRUE(FindText(screenBeforeOk, U"[15          ]").Found());
  EXPECT_TRUE(FindText(screenBeforeOk, U"[05/03/2024]").Found());
  f->Free();
}

// The host's prompts: asked in a box over the screen; a secret shows asterisks; Backspace
// corrects; the length is capped; Enter answers and Escape refuses.
TEST(TerminalKeys, PromptsAskInABox) {
  std::string answer = "x";
  EXPECT_FALSE(TerminalPrompt("Senha", "Digite a senha", true, answer)); // no terminal
  EXPECT_EQ(answer, "x");

  const struct {
    const char *bytes;
    bool secret;
    int max;
    bool ok;
    std::string answer;
    const char32_t *shown; // what the field showed before Enter
  } cases[] = {
      {"4321\r", true, 8, true, "4321", U"****"},
      {"12\x7f"
       "3\r",
       false, 8, true, "13", U"13"},
      {"123456\r", false, 4, true, "1234", U"1234"},
      {"S\xc3\xa3o\r", false, 8, true, "S\xe3o", U"São"},
      {"99\x1b", true, 8, false, "", U"**"},
  };
  TVirtualTerminal vt(80, 24);
  TForm *f = MakeConsultaForm();
  f->Show();
  for (const auto &c : cases) {
    SCOPED_TRACE(c.bytes);
    std::vector<std::u32string> last;
    vt.Session().Keyboard().BeforeWait = [&] { last = vt.Lines(); };
    vt.Send(c.bytes);
    std::string got = "unchanged";
    const bool ok = TerminalPrompt(CP1252("Garantia com Senha"), CP1252("Senha do cliente:"),
                                   c.secret, got, c.max);
    vt.Session().Keyboard().BeforeWait = nullptr;
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(got, c.ok ? c.answer : std::string("unchanged"));
    const TWhere cap = FindText(last, U"Garantia com Senha");
    const TWhere q = FindText(last, U"Senha do cliente:");
    ASSERT_TRUE(cap.Found());
    ASSERT_TRUE(q.Found());
    EXPECT_GT(q.y, cap.y);
    EXPECT_TRUE(FindText(last, std::u32string(U"[") + c.shown).Found());
    if (c.secret) {
      EXPECT_FALSE(FindText(last, U"[4321").Found());
    }
    // The box is gone and the form is back.
    const auto after = vt.Lines();
    EXPECT_FALSE(FindText(after, U"Garantia com Senha").Found());
    EXPECT_TRUE(FindText(after, U"Telefone:").Found());
  }
  f->Hide();
  f->Free();
}
