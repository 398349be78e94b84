// Operator scripts: parsing, failures that name their line, the clock, and Windows-1252 text.
#include "FormsTest.h"

#include "platform/forms/Grids.h"
#include "platform/forms/StdCtrls.h"
#include "platform/operator/Privacy.h"
#include "platform/text/Cp1252.h"

#include <cstdio>
#include <fstream>

namespace {

class ScriptTest : public FormsTest {};

TEST_F(ScriptTest, ParseErrorsAndFailuresNameTheLineTheFormAndWhatWasFound) {
  f->Name = "FrmAcoes";
  TEdit *ed = Add<TEdit>(f, nullptr, "ed", 0);
  Add<TEdit>(f, nullptr, "edOff", 1)->SetEnabled(false);
  Add<TLabel>(f, nullptr, "lb")->SetCaption(CP1252("Rótulo"));
  Add<TStringGrid>(f, nullptr, "sg", 2);
  AddButton(f, nullptr, "bt", "&1 - Msg", 3)->OnClick = [](TObject *) {
    Application->MessageBox("Oi", "Info", 0);
  };
  const struct {
    const char *script, *expected;
  } cases[] = {
      {"# comment\n\n  fly away\n", "script:3: unknown action \"fly\""}, // a bad line: nothing runs
      {"key Tab 0", "script:1: bad number \"0\""},
      {"wait 10ms", "script:1: bad number \"10ms\""},
      {"cell sg 1", "script:1: usage: cell NAME COL ROW"},
      {"type a\nclick nada", "script:2: click: no control \"nada\" on FrmAcoes"},
      {"click edOff", "script:1: click: \"edOff\" cannot take the focus (hidden or disabled)"},
      {"cell ed 1 1", "script:1: cell: \"ed\" is not a grid"},
      {"cell sg 9 1", "script:1: cell: 9,1 is outside the grid (5 x 5)"},
      {"ok", "script:1: ok: no message box is open"},
      {"click bt\ntype x", "script:2: a message box is open (\"Oi\")"},
      {"expect-text lb Rotulo", "expected \"Rotulo\", found \"Rótulo\""},
      {"expect-msgbox Oi", "script:1: expect-msgbox: no message box is open"},
      {"key Tab", "the script ended after line 1 while form FrmAcoes waits for input (focus: sg)"},
      {"alt 1", "a message box \"Oi\" waits (form FrmAcoes"},
      {"expect-text lb Rótulo\nexpect-text FrmAcoes \"\"\nexpect-enabled ed\nexpect-disabled "
       "edOff\nexpect-form frmacoes\nalt 1\nexpect-msgbox Oi\nok\nalt 1\nkey Enter\nalt 1\nkey "
       "Escape",
       "the script ended after line 12"},
  };
  for (const auto &c : cases) {
    ed->SetText("abc");
    ed->SetFocus();
    const TScriptRun run = RunScript(f, c.script);
    EXPECT_NE(run.error.find(c.expected), std::string::npos) << c.script << "\n" << run.error;
    EXPECT_TRUE(Application->FormStack().empty()); // the loop unwound
  }
  // Typed text is UTF-8 in the script and Windows-1252 in the program.
  ed->SetText("");
  const TScriptRun run = RunScript(f, "type \" ação €\"\nexpect-text ed \" ação €\"\n");
  EXPECT_TRUE(RanOut(run)) << run.error;
  EXPECT_EQ(ed->Text(), " a\xE7\xE3o \x80");
  EXPECT_EQ(run.Events("input")[2]["action"], "type ç");
  // The owner of the source hears of a failure, with the screen it happened on.
  auto src = TScriptSource::FromText("expect-focus nada\n", "demo.script");
  std::string told;
  src->OnFailure = [&](const std::string &m) { told = m; };
  Application->SetInputSource(src.get());
  EXPECT_THROW(f->ShowModal(), EScriptFailure);
  EXPECT_EQ(told.rfind("demo.script:1: expect-focus: expected \"nada\", found \"ed\"", 0), 0u)
      << told;
  EXPECT_NE(src->FailureScreen().find("ed: TEdit"), std::string::npos);
  // While masking is on, a long number in a box is masked in the transcript, in a failure and in
  // the screen text that goes with it.
  AddButton(f, nullptr, "btConta", "&2 - Conta", 4)->OnClick = [](TObject *) {
    Application->MessageBox("Conta 0123456789", "Info", 0);
  };
  Privacy().SetMasking(true);
  const TScriptRun masked = RunScript(f, "alt 2\nexpect-msgbox Conta 0123456789 0\n");
  Privacy().SetMasking(false);
  EXPECT_NE(masked.error.find("expected \"Conta ******6789 0\", found \"Conta ******6789\""),
            std::string::npos)
      << masked.error;
  EXPECT_EQ(masked.screen.find("0123456789"), std::string::npos) << masked.screen;
  ASSERT_EQ(masked.Events("msgbox").size(), 1u);
  EXPECT_EQ(masked.Events("msgbox")[0]["text"], "Conta ******6789");
}

TEST_F(ScriptTest, ScriptsLoadFromFilesAndTimeAdvancesPerKeyPress) {
  const std::string path = ::testing::TempDir() + "script_test.txt";
  std::ofstream(path, std::ios::binary)
      << "# a comment\r\ntype 1\t2\r\nwait 500\r\n\r\nkey Left 2\r\n# the end\r\n";
  TScriptSource src;
  std::string error;
  ASSERT_TRUE(src.LoadFile(path, error)) << error;
  f->Show();
  TOperatorAction a;
  ASSERT_TRUE(src.Next(a, -1));
  EXPECT_EQ(a.kind, TOperatorAction::Char);
  EXPECT_EQ(a.line, 2);
  EXPECT_EQ(src.Now(), 100);
  EXPECT_FALSE(src.Next(a, 150)); // a timer due at 150 comes before the tab at 200
  EXPECT_EQ(src.Now(), 150);
  // A line's key presses one by one, a step's time apart; the script is used up with the last.
  const struct {
    TOperatorAction::Kind kind;
    char ch;
    Word key;
    int line;
    int64_t now;
  } presses[] = {{TOperatorAction::Key, 0, VK_TAB, 2, 200},
                 {TOperatorAction::Char, '2', 0, 2, 300},
                 {TOperatorAction::Key, 0, VK_LEFT, 5, 900},
                 {TOperatorAction::Key, 0, VK_LEFT, 5, 1000}};
  for (const auto &p : presses) {
    EXPECT_FALSE(src.AtEnd());
    ASSERT_TRUE(src.Next(a, -1));
    EXPECT_EQ(a.kind, p.kind);
    EXPECT_EQ(a.kind == TOperatorAction::Char ? Word(a.ch) : a.key, p.ch ? Word(p.ch) : p.key);
    EXPECT_EQ(a.line, p.line);
    EXPECT_EQ(src.Now(), p.now);
  }
  EXPECT_TRUE(src.AtEnd());
  // After the last line timers still fire for a while, then the run ends.
  EXPECT_FALSE(src.Next(a, 1800));
  EXPECT_THROW(src.Next(a, 5000), EScriptFailure);
  std::remove(path.c_str());
  EXPECT_FALSE(src.LoadFile(path, error));
  EXPECT_NE(error.find("cannot read"), std::string::npos);
  EXPECT_EQ(KeyFromName("enter"), VK_RETURN);
  EXPECT_EQ(KeyFromName("F12"), VK_F12);
  EXPECT_EQ(KeyFromName("F13"), 0);
}

} // namespace
