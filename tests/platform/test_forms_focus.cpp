#include "test_forms_util.h"

#include <memory>

namespace {

// ed0 | pnA{ edA2(2) edA1(1) pnInner(3){ edI } } | pnHidden{ edH } | pnOff{ edD } | edOff | bt
// plus a label and a hidden edit directly on the form.
struct TabForm {
  TForm *f = NewForm("FrmTab");
  TEdit *ed0 = Add<TEdit>(f, nullptr, "ed0", 0);
  TPanel *pnA = Add<TPanel>(f, nullptr, "pnA", 1);
  TEdit *edA2 = Add<TEdit>(f, pnA, "edA2", 2);
  TEdit *edA1 = Add<TEdit>(f, pnA, "edA1", 1);
  TPanel *pnInner = Add<TPanel>(f, pnA, "pnInner", 3);
  TEdit *edI = Add<TEdit>(f, pnInner, "edI", 0);
  TPanel *pnHidden = Add<TPanel>(f, nullptr, "pnHidden", 2);
  TEdit *edH = Add<TEdit>(f, pnHidden, "edH", 0);
  TPanel *pnOff = Add<TPanel>(f, nullptr, "pnOff", 3);
  TEdit *edD = Add<TEdit>(f, pnOff, "edD", 0);
  TEdit *edOff = Add<TEdit>(f, nullptr, "edOff", 4);
  TBitBtn *bt = AddButton(f, nullptr, "bt", "&1 - Ok", 5);
  TLabel *lb = Add<TLabel>(f, nullptr, "lb", 6);
  TEdit *edGone = Add<TEdit>(f, nullptr, "edGone", 7);
  TabForm() {
    pnHidden->SetVisible(false);
    pnOff->SetEnabled(false);
    edOff->SetEnabled(false);
    edGone->SetVisible(false);
  }
  ~TabForm() { f->Free(); }
};

class FocusTest : public FormsTest {};

TEST_F(FocusTest, TabOrderWalksNestedContainersSkippingWhatCannotTakeTheFocus) {
  TabForm t;
  const std::vector<std::string> forward = {"ed0", "edA1", "edA2", "edI", "bt"};
  auto name = [](TWinControl *c) { return c ? c->Name : std::string("null"); };
  EXPECT_EQ(name(t.f->FirstControl()), "ed0");
  for (size_t i = 0; i < forward.size(); ++i) {
    TWinControl *cur = dynamic_cast<TWinControl *>(t.f->FindComponent(forward[i]));
    EXPECT_EQ(name(t.f->FindNextControl(cur, true)), forward[(i + 1) % forward.size()])
        << "after " << forward[i];
    EXPECT_EQ(name(t.f->FindNextControl(cur, false)),
              forward[(i + forward.size() - 1) % forward.size()])
        << "before " << forward[i];
  }
  // From a control that cannot take the focus the walk still finds its neighbours.
  EXPECT_EQ(name(t.f->FindNextControl(t.edOff, true)), "bt");
  EXPECT_EQ(name(t.f->FindNextControl(t.edD, false)), "edI");
  EXPECT_EQ(name(t.f->FindNextControl(nullptr, false)), "bt");

  // Showing the hidden panel puts its edit between pnA's and the disabled panel.
  t.pnHidden->SetVisible(true);
  EXPECT_EQ(name(t.f->FindNextControl(t.edI, true)), "edH");
  // A lone focusable control is its own next.
  TForm *lone = NewForm("FrmLone");
  TEdit *only = Add<TEdit>(lone, nullptr, "only");
  EXPECT_EQ(lone->FindNextControl(only, true), only);
  lone->Free();
}

TEST_F(FocusTest, TabAndShiftTabMoveTheFocusAndWrap) {
  TabForm t;
  const TScriptRun run = RunScript(t.f, R"(
expect-focus ed0
key Tab 4
expect-focus bt
key Tab
expect-focus ed0
key ShiftTab
expect-focus bt
key ShiftTab 2
expect-focus edA2
key Escape
)");
  EXPECT_NE(run.error.find("the script ended"), std::string::npos) << run.error;
  EXPECT_EQ(FocusEvents(run), (std::vector<std::string>{"ed0", "edA1", "edA2", "edI", "bt", "ed0",
                                                        "bt", "edI", "edA2"}));
}

TEST_F(FocusTest, CanFocusNeedsAFocusableKindThatIsShowingAndEnabled) {
  TabForm t;
  EXPECT_TRUE(t.ed0->CanFocus());
  EXPECT_TRUE(t.bt->CanFocus());
  EXPECT_FALSE(t.pnA->CanFocus()); // a container
  EXPECT_FALSE(t.edH->CanFocus()); // hidden parent
  EXPECT_FALSE(t.edD->CanFocus()); // disabled parent
  EXPECT_FALSE(t.edOff->CanFocus());
  EXPECT_FALSE(t.edGone->CanFocus());
  TEdit orphan(nullptr); // on no form
  EXPECT_FALSE(orphan.CanFocus());
  try {
    t.edH->SetFocus();
    FAIL() << "SetFocus on a hidden control must raise";
  } catch (const EInvalidOperation &e) {
    EXPECT_STREQ(e.what(), CannotFocusMessage);
  }
  EXPECT_THROW(t.edOff->SetFocus(), EInvalidOperation);
  EXPECT_THROW(orphan.SetFocus(), EInvalidOperation);
}

TEST_F(FocusTest, OnExitSeesTheReceivingControlAndMayMoveTheFocusElsewhere) {
  TForm *f = NewForm("FrmExit");
  TEdit *edA = Add<TEdit>(f, nullptr, "edA", 0);
  TEdit *edB = Add<TEdit>(f, nullptr, "edB", 1);
  TEdit *edC = Add<TEdit>(f, nullptr, "edC", 2);
  TBitBtn *bt = AddButton(f, nullptr, "bt", "Ok", 3);
  std::vector<std::string> log;
  std::string receivingSeen;
  edA->OnExit = [&](TObject *) {
    receivingSeen = f->ActiveControl()->Name + "/" + f->Receiving()->Name;
    log.push_back("exit edA");
    // Leaving towards the button is fine; anywhere else goes to edC instead.
    if (f->ActiveControl() != bt) edC->SetFocus();
  };
  for (TEdit *e : {edA, edB, edC})
    e->OnEnter = [&log, e](TObject *) { log.push_back("enter " + e->Name); };

  const TScriptRun run = RunScript(f, R"(
expect-focus edA
key Tab
expect-focus edC
click edA
click bt
expect-focus bt
)");
  EXPECT_NE(run.error.find("focus: bt"), std::string::npos) << run.error;
  EXPECT_EQ(receivingSeen, "bt/bt");
  // edB never got OnEnter: the nested move to edC won.
  EXPECT_EQ(log, (std::vector<std::string>{"enter edA", "exit edA", "enter edC", "enter edA",
                                           "exit edA"}));
  EXPECT_EQ(FocusEvents(run), (std::vector<std::string>{"edA", "edC", "edA", "bt"}));
  f->Free();
}

TEST_F(FocusTest, FocusAskedBeforeTheFormIsActiveLandsWithItsEventsWhenShown) {
  TForm *f = NewForm("FrmLand");
  TEdit *edA = Add<TEdit>(f, nullptr, "edA", 0);
  TEdit *edB = Add<TEdit>(f, nullptr, "edB", 1);
  int enters = 0;
  edA->OnEnter = [&](TObject *) { ++enters; };
  edB->OnEnter = [&](TObject *) { ++enters; };
  edB->SetFocus(); // recorded only: the form is not shown
  EXPECT_EQ(f->ActiveControl(), edB);
  EXPECT_EQ(enters, 0);
  f->OnShow = [&](TObject *) {
    edA->SetFocus(); // still not active: only the last one counts
    edB->SetFocus();
  };
  const TScriptRun run = RunScript(f, "expect-focus edB\nclick edA\nexpect-focus edA\n");
  EXPECT_EQ(enters, 2); // edB when the form became active, then edA
  EXPECT_EQ(FocusEvents(run), (std::vector<std::string>{"edB", "edA"}));
  f->Free();
}

TEST_F(FocusTest, HidingOrDisablingTheFocusedControlLeavesTheFormWithoutFocus) {
  TForm *f = NewForm("FrmDefocus");
  TPanel *pn = Add<TPanel>(f, nullptr, "pn", 0);
  TEdit *ed = Add<TEdit>(f, pn, "ed", 0);
  TBitBtn *bt = AddButton(f, nullptr, "bt", "&1 - Esconde", 1);
  TBitBtn *bt2 = AddButton(f, nullptr, "bt2", "&2 - Fecha", 2);
  bt->OnClick = [&](TObject *) { pn->SetEnabled(false); };
  bt2->ModalResult = mrOk;
  ed->OnKeyPress = [&](TObject *, char &k) {
    if (k == 'h') pn->SetVisible(false);
  };
  const TScriptRun run = RunScript(f, R"(
type h
expect-focus none
click bt2
)");
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.result, mrOk);
  // An accelerator clicks without taking the focus: the edit inside the panel that the click
  // disables loses it.
  pn->SetVisible(true);
  ed->SetFocus();
  const TScriptRun run2 = RunScript(f, "expect-focus ed\nalt 1\nexpect-focus none\nclick bt2\n");
  EXPECT_EQ(run2.error, "");
  f->Free();
}

TEST_F(FocusTest, ArrowsOnAButtonWalkTheButtonsOfItsPanel) {
  TForm *f = NewForm("FrmMenu");
  TPanel *pn = Add<TPanel>(f, nullptr, "pnMenu", 0);
  AddButton(f, pn, "sp1", "&1 - Um", 0);
  TBitBtn *sp2 = AddButton(f, pn, "sp2", "&2 - Dois", 1);
  AddButton(f, pn, "sp3", "&3 - Tres", 2);
  sp2->SetVisible(false);
  TBitBtn *done = AddButton(f, nullptr, "btFim", "&9 - Fim", 1);
  done->ModalResult = mrOk;
  const TScriptRun run = RunScript(f, R"(
expect-focus sp1
key Down
expect-focus sp3
key Down
expect-focus sp1
key Up
expect-focus sp3
alt 9
)");
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.result, mrOk);
  f->Free();
}

} // namespace
