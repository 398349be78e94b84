#include "test_forms_util.h"

#include "platform/StrUtils.h"

namespace {

class KeysTest : public FormsTest {};

// A form with key preview that turns Enter into "next control" and drops 'x', an edit that
// records what reaches its OnKeyPress, and Confirma / Cancela buttons.
struct PreviewForm {
  TForm *f = NewForm("FrmKeys");
  TEdit *ed = Add<TEdit>(f, nullptr, "ed", 0);
  TEdit *ed2 = Add<TEdit>(f, nullptr, "ed2", 1);
  TBitBtn *btOk = AddButton(f, nullptr, "btOk", "&1 - Confirma", 2);
  TBitBtn *btCancel = AddButton(f, nullptr, "btCancel", "&9 - Cancela", 3);
  std::string seenByEdit;
  int okClicks = 0;
  PreviewForm() {
    f->KeyPreview = true;
    f->OnKeyPress = [this](TObject *, char &k) {
      if (k == 'x') k = 0;
      if (k == '\r' && !dynamic_cast<TButtonControl *>(f->ActiveControl())) {
        f->SelectNext(f->ActiveControl(), true);
        k = 0;
      }
    };
    ed->OnKeyPress = [this](TObject *, char &k) { seenByEdit += k; };
    btOk->OnClick = [this](TObject *) { ++okClicks; };
    btCancel->ModalResult = mrCancel;
  }
  ~PreviewForm() { f->Free(); }
};

TEST_F(KeysTest, PreviewSwallowsAndEnterMovesTheFocus) {
  PreviewForm p;
  const TScriptRun run = RunScript(p.f, R"(
type axb
key Backspace
expect-text ed a
key Enter
expect-focus ed2
type 7
key Enter
expect-focus btOk
key Enter
key Space
alt 9
)");
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.result, mrCancel);
  EXPECT_EQ(p.seenByEdit, "ab\b"); // 'x' and Enter never reached the edit
  EXPECT_EQ(p.ed2->Text(), "7");
  EXPECT_EQ(p.okClicks, 2); // Enter and Space on the focused button
}

TEST_F(KeysTest, WithoutPreviewTheFormHandlerIsNotAsked) {
  PreviewForm p;
  p.f->KeyPreview = false;
  const TScriptRun run = RunScript(p.f, "type axb\nexpect-text ed axb\nalt 9\n");
  EXPECT_EQ(run.error, "");
}

TEST_F(KeysTest, AcceleratorsClickFromButtonsOrWithAlt) {
  PreviewForm p;
  TBitBtn *hidden = AddButton(p.f, nullptr, "btHidden", "&5 - Oculto", 4);
  hidden->SetVisible(false);
  int hiddenClicks = 0;
  hidden->OnClick = [&](TObject *) { ++hiddenClicks; };
  const TScriptRun run = RunScript(p.f, R"(
# on an edit a digit is text, not an accelerator
type 1
expect-text ed 1
alt 1
click btOk
# the focused control is a button: plain keys are accelerators
type 5
type 1
expect-focus btOk
type 9
)");
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.result, mrCancel);
  EXPECT_EQ(p.okClicks, 3);
  EXPECT_EQ(hiddenClicks, 0);
  EXPECT_EQ(p.btOk->Accelerator(), '1');
  p.btOk->SetCaption("Fish && &chips");
  EXPECT_EQ(p.btOk->Accelerator(), 'C');
  p.btOk->SetCaption("A && B");
  EXPECT_EQ(p.btOk->Accelerator(), 0);
}

TEST_F(KeysTest, EditsHonourMaxLengthCaseReadOnlyAndSelection) {
  struct Case {
    const char *what;
    int maxLength;
    TEditCharCase charCase;
    bool readOnly;
    const char *initial;
    const char *keys; // script lines
    const char *expected;
  };
  const Case cases[] = {
      {"max length cuts", 3, ecNormal, false, "", "type abcd", "abc"},
      {"upper case", 0, ecUpperCase, false, "", "type ação", "A\xC7\xC3O"},
      {"read-only", 0, ecNormal, true, "fixo", "type abc\nkey Backspace", "fixo"},
      {"entering selects all", 0, ecNormal, false, "123", "type 9", "9"},
      {"caret keys", 0, ecNormal, false, "", "type abd\nkey Left\ntype c\nkey Home\ntype >",
       ">abcd"},
      {"delete", 0, ecNormal, false, "", "type abc\nkey Home\nkey Delete", "bc"},
      {"full edit refuses", 2, ecNormal, false, "", "type ab\nkey Left\ntype z", "ab"},
      {"backspace over selection", 0, ecNormal, false, "old", "key Backspace\ntype n", "n"},
  };
  for (const Case &c : cases) {
    TForm *f = NewForm("FrmEdit");
    TEdit *ed = Add<TEdit>(f, nullptr, "ed");
    ed->MaxLength = c.maxLength;
    ed->CharCase = c.charCase;
    ed->ReadOnly = c.readOnly;
    ed->SetText(c.initial);
    int changes = 0;
    ed->OnChange = [&](TObject *) { ++changes; };
    const TScriptRun run = RunScript(f, c.keys);
    EXPECT_NE(run.error.find("the script ended"), std::string::npos) << c.what;
    EXPECT_EQ(ed->Text(), c.expected) << c.what;
    EXPECT_EQ(ed->Modified, ed->Text() != c.initial) << c.what;
    if (c.readOnly) {
      EXPECT_EQ(changes, 0) << c.what;
    }
    f->Free();
  }
}

TEST_F(KeysTest, SettingTheTextAppliesCaseAndPutsTheCaretAtTheStart) {
  TForm *f = NewForm("FrmText");
  TEdit *ed = Add<TEdit>(f, nullptr, "ed");
  ed->CharCase = ecUpperCase;
  ed->SetText("jo\xE3o");
  EXPECT_EQ(ed->Text(), "JO\xC3O");
  EXPECT_EQ(ed->SelStart(), 0);
  EXPECT_FALSE(ed->Modified);
  f->Free();
}

// A masked date edit and a required six-digit code.
struct MaskForm {
  TForm *f = NewForm("FrmMask");
  TMaskEdit *edData = Add<TMaskEdit>(f, nullptr, "edData", 0);
  TMaskEdit *edCod = Add<TMaskEdit>(f, nullptr, "edCod", 1);
  TEdit *edNext = Add<TEdit>(f, nullptr, "edNext", 2);
  std::vector<std::string> errors;
  MaskForm() {
    edData->SetEditMask("!99/99/9999;1;_");
    edCod->SetEditMask("000000;1;_");
    Application->OnException = [this](TObject *, const Exception &e) {
      errors.push_back(e.Message());
    };
  }
  ~MaskForm() { f->Free(); }
};

TEST_F(KeysTest, DateMaskReadsBlankUntouchedAndFormatsTypedDigits) {
  MaskForm m;
  EXPECT_EQ(m.edData->Text(), "  /  /    ");
  EXPECT_EQ(m.edData->EditText(), "__/__/____");
  const TScriptRun run = RunScript(m.f, R"(
expect-text edData "  /  /    "
type 05a03/2024
expect-text edData 05/03/2024
key Tab
expect-focus edCod
)");
  EXPECT_NE(run.error.find("focus: edCod"), std::string::npos) << run.error;
  EXPECT_EQ(m.edData->EditText(), "05/03/2024");
  EXPECT_TRUE(m.errors.empty());
  // Without save-literals only the typed characters remain.
  m.edData->SetEditMask("!99/99/9999;0;_");
  EXPECT_EQ(m.edData->Text(), "05032024");
}

TEST_F(KeysTest, LeavingAnIncompleteRequiredMaskRaisesAndKeepsTheFocus) {
  MaskForm m;
  m.edCod->SetFocus();
  const TScriptRun run = RunScript(m.f, R"(
type 123
key Tab
expect-focus edCod
click edNext
expect-focus edCod
key Escape
expect-text edCod "      "
key Tab
expect-focus edNext
)");
  EXPECT_NE(run.error.find("focus: edNext"), std::string::npos) << run.error;
  ASSERT_EQ(m.errors.size(), 2u);
  EXPECT_EQ(m.errors[0], "Invalid input value.  Use escape key to abandon changes");
  const auto errors = run.Events("error");
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0]["message"], "Invalid input value.  Use escape key to abandon changes");
  // An optional mask (the date) never refuses; an untouched required one neither.
  m.edNext->SetFocus();
  const TScriptRun run2 =
      RunScript(m.f, "click edCod\nclick edData\ntype 1\nclick edNext\n"
                     "expect-focus edNext\nexpect-text edData \"1 /  /    \"\n");
  EXPECT_NE(run2.error.find("the script ended"), std::string::npos) << run2.error;
  EXPECT_EQ(m.errors.size(), 2u);
}

TEST_F(KeysTest, ChangingTheMaskReformatsTheText) {
  MaskForm m;
  const char *cpf = "999\\.999\\.999\\-99;0;_";
  const char *cnpj = "99\\.999\\.999\\/9999\\-99;0;_";
  m.edCod->SetEditMask(cpf);
  m.edCod->SetText("12345678901");
  EXPECT_EQ(m.edCod->EditText(), "123.456.789-01");
  m.edCod->SetEditMask(cnpj);
  EXPECT_EQ(m.edCod->Text(), "12345678901");
  EXPECT_EQ(m.edCod->EditText(), "12.345.678/901_-__");
  m.edCod->SetEditMask("");
  EXPECT_EQ(m.edCod->Text(), "12345678901");
}

TEST_F(KeysTest, ComboBoxMovesItsSelectionWithArrowsAndInitials) {
  TForm *f = NewForm("FrmCombo");
  TComboBox *cb = Add<TComboBox>(f, nullptr, "cb");
  for (const char *s : {"01 - Simples", "02 - Completa", "03 - Cheque"}) cb->Items.Add(s);
  int changes = 0;
  cb->OnChange = [&](TObject *) { ++changes; };
  cb->SetItemIndex(0);
  EXPECT_EQ(changes, 0); // the program's change is silent
  const TScriptRun run = RunScript(f, R"(
key Down 5
expect-text cb 03 - Cheque
key Up
expect-text cb 02 - Completa
type 0
expect-text cb 03 - Cheque
)");
  EXPECT_NE(run.error.find("the script ended"), std::string::npos);
  EXPECT_EQ(changes, 4);
  cb->SetItemIndex(7);
  EXPECT_EQ(cb->ItemIndex(), -1);
  EXPECT_EQ(cb->Text(), "");
  cb->SetText("02 - completa");
  EXPECT_EQ(cb->ItemIndex(), 1);
  cb->Items.Clear();
  EXPECT_EQ(cb->ItemIndex(), -1);
  f->Free();
}

TEST_F(KeysTest, MemoScrollsAndReadOnlyMemoStillTakesCharacters) {
  TForm *f = NewForm("FrmMemo");
  TMemo *memo = Add<TMemo>(f, nullptr, "memo", 0);
  TBitBtn *bt = AddButton(f, nullptr, "bt", "&1 - Imprime", 1);
  bt->ModalResult = mrOk;
  memo->ReadOnly = true;
  memo->VisibleLines = 2;
  for (int i = 0; i < 5; ++i) memo->Lines.Add("linha " + std::to_string(i));
  const TScriptRun run = RunScript(f, "type 1\nkey Down 9\nkey Up\nalt 1\n");
  EXPECT_EQ(run.result, mrOk);
  EXPECT_EQ(memo->TopLine, 2);
  EXPECT_EQ(memo->Lines.Count(), 5);
  EXPECT_EQ(memo->Text(), "linha 0\r\nlinha 1\r\nlinha 2\r\nlinha 3\r\nlinha 4");
  f->Free();
}

// A two-grid layout as the several-cheques screens use: per-column masks, Tab kept by the grid.
TEST_F(KeysTest, GridEditsCellsThroughTheirMasksAndValidatesOnLeaving) {
  TForm *f = NewForm("FrmGrid");
  TStringGrid *sg = Add<TStringGrid>(f, nullptr, "sg", 0);
  TBitBtn *bt = AddButton(f, nullptr, "bt", "&1 - Ok", 1);
  bt->ModalResult = mrOk;
  sg->SetColCount(3);
  sg->SetRowCount(2);
  sg->FixedCols = 0;
  sg->FixedRows = 0;
  sg->Options |= goEditing | goTabs;
  sg->OnGetEditMask = [](TObject *, int col, int, std::string &mask) {
    if (col == 0) mask = "000000;1;_";
    if (col == 2) mask = "00/00/0000;1;_";
  };
  std::string keysSeen;
  sg->OnKeyPress = [&](TObject *, char &k) {
    if (k == '\t' || k == '\r') keysSeen += k == '\t' ? 'T' : 'E';
    if (k == '\t') k = 0;
    if (k == '\r') {
      sg->SetCol(sg->Col() + 1 < sg->ColCount() ? sg->Col() + 1 : 0);
      k = 0;
    }
  };
  std::vector<std::string> errors;
  Application->OnException = [&](TObject *, const Exception &e) { errors.push_back(e.Message()); };

  const TScriptRun run = RunScript(f, R"(
cell sg 0 0
type 12a3456
key Enter
type livre!
key Tab
type 05032024
cell sg 0 1
type 12
key Enter
key Up
cell sg 1 1
key Escape
key Tab
click bt
)");
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.result, mrOk);
  EXPECT_EQ(sg->Cell(0, 0), "123456");
  EXPECT_EQ(sg->Cell(1, 0), "livre!");
  EXPECT_EQ(sg->Cell(2, 0), "05/03/2024");
  EXPECT_EQ(sg->Cell(0, 1), ""); // Escape gave the cell its text back
  EXPECT_EQ(keysSeen, "ETET");
  // Enter, Up and the cell action on an incomplete code each refused to leave it.
  ASSERT_EQ(errors.size(), 3u);
  for (const auto &e : errors) EXPECT_EQ(e, TEditMask::InvalidInputMessage);
  f->Free();
}

TEST_F(KeysTest, GridMovesWithArrowsAndTabWrapsAcrossRows) {
  TForm *f = NewForm("FrmGrid2");
  TStringGrid *sg = Add<TStringGrid>(f, nullptr, "sg");
  sg->SetColCount(3);
  sg->SetRowCount(3);
  sg->Options |= goTabs;
  // One fixed row and column (the defaults): the current cell starts at 1,1.
  const struct {
    const char *keys;
    int col, row;
  } cases[] = {
      {"key Right", 2, 1},    {"key Right 3", 2, 1},       {"key Down 5", 1, 2},
      {"key Tab", 2, 1},      {"key Tab 2", 1, 2},         {"key Tab 4", 1, 1},
      {"key ShiftTab", 2, 2}, {"key End\nkey Home", 1, 1}, {"key Left\nkey Up", 1, 1},
  };
  for (const auto &c : cases) {
    sg->FocusCell(1, 1);
    const TScriptRun run = RunScript(f, c.keys);
    EXPECT_EQ(sg->Col(), c.col) << c.keys;
    EXPECT_EQ(sg->Row(), c.row) << c.keys;
  }
  EXPECT_THROW(sg->SetCol(3), EInvalidOperation);
  bool refused = false;
  sg->OnSelectCell = [&](TObject *, int, int row, bool &can) {
    if (row == 2) can = false, refused = true;
  };
  sg->FocusCell(1, 1);
  sg->SetRow(2);
  EXPECT_TRUE(refused);
  EXPECT_EQ(sg->Row(), 1);
  // Shrinking keeps what still fits and the current cell inside.
  sg->SetCell(2, 2, "x");
  sg->SetCell(1, 1, "y");
  sg->SetRowCount(2);
  sg->SetColCount(2);
  EXPECT_EQ(sg->Cell(1, 1), "y");
  EXPECT_EQ(sg->Cell(2, 2), "");
  EXPECT_EQ(sg->ColWidths.size(), 2u);
  sg->SetRowCount(0);
  EXPECT_EQ(sg->RowCount(), 1);
  EXPECT_EQ(sg->Row(), 0);
  f->Free();
}

} // namespace
