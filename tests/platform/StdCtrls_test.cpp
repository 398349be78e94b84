// Edits, masked edits, combo boxes, memos and grids under the operator's keys.
#include "FormsTest.h"
#include "platform/forms/Grids.h"
#include "platform/forms/StdCtrls.h"

namespace {

class ControlsTest : public FormsTest {};

TEST_F(ControlsTest, EditsHonourMaxLengthCaseReadOnlyAndSelection) {
  const struct {
    const char *what;
    int maxLength;
    TEditCharCase charCase;
    bool readOnly;
    const char *initial, *keys, *expected;
  } cases[] = {
      {"max length cuts", 3, ecNormal, false, "", "type abcd", "abc"},
      {"upper case typed", 0, ecUpperCase, false, "", "type ação", "A\xC7\xC3O"},
      {"upper case set", 0, ecUpperCase, false, "jo\xE3o", "", "JO\xC3O"},
      {"read-only", 0, ecNormal, true, "fixo", "type abc\nkey Backspace", "fixo"},
      {"entering selects all", 0, ecNormal, false, "123", "type 9", "9"},
      {"caret keys", 0, ecNormal, false, "", "type abd\nkey Left\ntype c\nkey Home\ntype >",
       ">abcd"},
      {"delete", 0, ecNormal, false, "", "type abc\nkey Home\nkey Delete", "bc"},
      {"full edit refuses", 2, ecNormal, false, "", "type ab\nkey Left\ntype z", "ab"},
      {"backspace over selection", 0, ecNormal, false, "old", "key Backspace\ntype n", "n"},
  };
  for (const auto &c : cases) {
    TForm *form = NewForm("FrmEdit");
    TEdit *ed = Add<TEdit>(form, nullptr, "ed");
    ed->MaxLength = c.maxLength;
    ed->CharCase = c.charCase;
    ed->ReadOnly = c.readOnly;
    ed->SetText(c.initial);
    const std::string set = ed->Text();
    int changes = 0;
    ed->OnChange = [&](TObject *) { ++changes; };
    EXPECT_TRUE(RanOut(RunScript(form, c.keys))) << c.what;
    EXPECT_EQ(ed->Text(), c.expected) << c.what;
    EXPECT_EQ(ed->Modified, ed->Text() != set) << c.what;
    EXPECT_EQ(changes > 0, ed->Text() != set) << c.what;
    form->Free();
  }
}

TEST_F(ControlsTest, MaskedEditsFormatAndRefuseToLeaveIncomplete) {
  TMaskEdit *edData = Add<TMaskEdit>(f, nullptr, "edData", 0);
  TMaskEdit *edCod = Add<TMaskEdit>(f, nullptr, "edCod", 1);
  Add<TEdit>(f, nullptr, "edNext", 2);
  edData->SetEditMask("!99/99/9999;1;_");
  edCod->SetEditMask("000000;1;_");
  std::vector<std::string> errors;
  Application->OnException = [&](TObject *, const Exception &e) { errors.push_back(e.Message()); };
  EXPECT_EQ(edData->EditText(), "__/__/____");
  // The date is optional: it never refuses. The code is required once touched.
  const TScriptRun run = RunScript(f, R"(
expect-text edData "  /  /    "
type 05a03/2024
key Tab
type 123
key Tab
expect-focus edCod
click edNext
expect-focus edCod
key Escape
expect-text edCod "      "
key Tab
click edData
key End
key Backspace
click edNext
expect-text edData "05/03/202 "
)");
  EXPECT_TRUE(RanOut(run)) << run.error;
  EXPECT_EQ(errors,
            std::vector<std::string>(2, "Invalid input value.  Use escape key to abandon changes"));
  EXPECT_EQ(run.Events("error").size(), 2u);
  edData->SetEditMask("!99/99/9999;0;_"); // without save-literals only the typed characters
  EXPECT_EQ(edData->Text(), "0503202");
  edCod->SetEditMask("999\\.999\\.999\\-99;0;_");
  edCod->SetText("12345678901");
  edCod->SetEditMask("99\\.999\\.999\\/9999\\-99;0;_"); // CPF to CNPJ keeps the digits
  EXPECT_EQ(edCod->Text(), "12345678901");
  EXPECT_EQ(edCod->EditText(), "12.345.678/901_-__");
  edCod->SetEditMask("");
  EXPECT_EQ(edCod->Text(), "12345678901");
}

TEST_F(ControlsTest, ComboBoxAndMemo) {
  TComboBox *cb = Add<TComboBox>(f, nullptr, "cb");
  for (const char *s : {"01 - Simples", "02 - Completa", "03 - Cheque"}) cb->Items.Add(s);
  TMemo *memo = Add<TMemo>(f, nullptr, "memo", 1);
  memo->ReadOnly = true;
  memo->VisibleLines = 2;
  for (int i = 0; i < 5; ++i) memo->Lines.Add("linha " + std::to_string(i));
  int changes = 0;
  cb->OnChange = [&](TObject *) { ++changes; };
  cb->SetItemIndex(0); // the program's change is silent
  const TScriptRun run = RunScript(f, R"(
key Down 5
expect-text cb 03 - Cheque
key Up
expect-text cb 02 - Completa
type 0
expect-text cb 03 - Cheque
click memo
type 1
key Down 9
key Up
)");
  EXPECT_TRUE(RanOut(run)) << run.error;
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(memo->TopLine, 2);
  EXPECT_EQ(memo->Text(), "linha 0\r\nlinha 1\r\nlinha 2\r\nlinha 3\r\nlinha 4");
  cb->SetItemIndex(7);
  EXPECT_EQ(cb->ItemIndex(), -1);
  EXPECT_EQ(cb->Text(), "");
  cb->SetText("02 - completa");
  EXPECT_EQ(cb->ItemIndex(), 1);
  cb->Items.Clear();
  EXPECT_EQ(cb->ItemIndex(), -1);
}

// A grid as the several-cheques screens use it: per-column masks, Tab kept by the grid.
TEST_F(ControlsTest, GridEditsCellsThroughTheirMasksAndValidatesOnLeaving) {
  TStringGrid *sg = Add<TStringGrid>(f, nullptr, "sg", 0);
  AddButton(f, nullptr, "bt", "&1 - Ok", 1)->ModalResult = mrOk;
  sg->SetColCount(3);
  sg->SetRowCount(2);
  sg->FixedCols = sg->FixedRows = 0;
  sg->Options |= goEditing | goTabs;
  sg->OnGetEditMask = [](TObject *, int col, int, std::string &mask) {
    if (col == 0) mask = "000000;1;_";
    if (col == 2) mask = "00/00/0000;1;_";
  };
  std::string keysSeen;
  sg->OnKeyPress = [&](TObject *, char &k) {
    if (k == '\t') keysSeen += 'T', k = 0;
    if (k == '\r') keysSeen += 'E', sg->SetCol((sg->Col() + 1) % sg->ColCount()), k = 0;
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
  EXPECT_EQ(errors, std::vector<std::string>(3, TEditMask::InvalidInputMessage));
}

TEST_F(ControlsTest, GridMovesWithArrowsTabWrapsAndShrinkingKeepsWhatFits) {
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
    RunScript(f, c.keys);
    EXPECT_EQ(sg->Col() * 10 + sg->Row(), c.col * 10 + c.row) << c.keys;
  }
  EXPECT_THROW(sg->SetCol(3), EInvalidOperation);
  sg->OnSelectCell = [&](TObject *, int, int row, bool &can) { can = row != 2; };
  sg->FocusCell(1, 1);
  sg->SetRow(2);
  EXPECT_EQ(sg->Row(), 1);
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
}

} // namespace
