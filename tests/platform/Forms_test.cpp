// The form layer's focus, keyboard dispatch, modal loop, timers and script failures.
#include "FormsTest.h"
#include "platform/forms/Panels.h"
#include "platform/forms/StdCtrls.h"

#include <cstdlib>

namespace {

class FormTest : public FormsTest {};
using Names = std::vector<std::string>;

// ed0 | pnA{ edA2(2) edA1(1) pnInner(3){ edI } } | pnHidden{ edH } | pnOff{ edD } | edOff | bt
// plus a label and a hidden edit directly on the form.
TEST_F(FormTest, TabOrderWalksNestedContainersSkippingWhatCannotTakeTheFocus) {
  Add<TEdit>(f, nullptr, "ed0", 0);
  TPanel *pnA = Add<TPanel>(f, nullptr, "pnA", 1);
  Add<TEdit>(f, pnA, "edA2", 2);
  Add<TEdit>(f, pnA, "edA1", 1);
  Add<TEdit>(f, Add<TPanel>(f, pnA, "pnInner", 3), "edI", 0);
  TPanel *pnHidden = Add<TPanel>(f, nullptr, "pnHidden", 2);
  TEdit *edH = Add<TEdit>(f, pnHidden, "edH", 0);
  TPanel *pnOff = Add<TPanel>(f, nullptr, "pnOff", 3);
  Add<TEdit>(f, pnOff, "edD", 0);
  TEdit *edOff = Add<TEdit>(f, nullptr, "edOff", 4);
  AddButton(f, nullptr, "bt", "&1 - Ok", 5);
  Add<TLabel>(f, nullptr, "lb", 6);
  Add<TEdit>(f, nullptr, "edGone", 7)->SetVisible(false);
  pnHidden->SetVisible(false);
  pnOff->SetEnabled(false);
  edOff->SetEnabled(false);
  const TScriptRun run = RunScript(f, "key Tab 4\nexpect-focus bt\nkey Tab\nkey ShiftTab 3\n");
  EXPECT_TRUE(RanOut(run)) << run.error;
  Names focus;
  for (const auto &e : run.Events("focus")) focus.push_back(e["control"].get<std::string>());
  EXPECT_EQ(focus, (Names{"ed0", "edA1", "edA2", "edI", "bt", "ed0", "bt", "edI", "edA2"}));
  try {
    edH->SetFocus();
    FAIL() << "SetFocus on a hidden control must raise";
  } catch (const EInvalidOperation &e) {
    EXPECT_STREQ(e.what(), CannotFocusMessage);
  }
  TEdit orphan(nullptr); // on no form
  EXPECT_THROW(orphan.SetFocus(), EInvalidOperation);
}

// Leaving a control, OnExit sees where the focus goes and may send it elsewhere; the control it
// skipped never gets OnEnter. Focus asked before the form is active lands when it is shown.
TEST_F(FormTest, OnExitSeesTheReceivingControlAndMayMoveTheFocusElsewhere) {
  TEdit *edA = Add<TEdit>(f, nullptr, "edA", 0);
  TEdit *edB = Add<TEdit>(f, nullptr, "edB", 1);
  TEdit *edC = Add<TEdit>(f, nullptr, "edC", 2);
  TBitBtn *bt = AddButton(f, nullptr, "bt", "Ok", 3);
  Names log;
  edA->OnExit = [&](TObject *) {
    log.push_back("exit to " + f->ActiveControl()->Name + "/" + f->Receiving()->Name);
    if (f->ActiveControl() != bt) edC->SetFocus(); // only the button may follow edA
  };
  for (TEdit *e : {edA, edB, edC})
    e->OnEnter = [&log, e](TObject *) { log.push_back("enter " + e->Name); };
  const TScriptRun run = RunScript(f, "key Tab\nexpect-focus edC\nclick edA\nclick bt\n");
  EXPECT_TRUE(RanOut(run)) << run.error;
  EXPECT_EQ(log,
            (Names{"enter edA", "exit to edB/edB", "enter edC", "enter edA", "exit to bt/bt"}));
  int enters = 0;
  edA->OnExit = nullptr;
  edA->OnEnter = edB->OnEnter = [&](TObject *) { ++enters; };
  f->OnShow = [&](TObject *) {
    edA->SetFocus(); // still not active: only the last one counts
    edB->SetFocus();
  };
  EXPECT_TRUE(RanOut(RunScript(f, "expect-focus edB\nclick edA\n")));
  EXPECT_EQ(enters, 2); // edB when the form became active, then edA
}

// A focused control that is hidden or disabled (also by an accelerator, which takes no focus)
// leaves the form without focus; a disabled form drops the keys that reach it.
TEST_F(FormTest, HidingOrDisablingLeavesNoFocusAndADisabledFormDropsInput) {
  TPanel *pn = Add<TPanel>(f, nullptr, "pn", 0);
  TEdit *ed = Add<TEdit>(f, pn, "ed", 0);
  AddButton(f, nullptr, "bt", "&1 - Esconde", 1)->OnClick = [&](TObject *) {
    pn->SetEnabled(false);
  };
  AddButton(f, nullptr, "bt2", "&2 - Fecha", 2)->ModalResult = mrOk;
  ed->OnKeyPress = [&](TObject *, char &k) {
    if (k == 'h') pn->SetVisible(false);
    if (k == 'd') f->SetEnabled(false), k = 0;
  };
  EXPECT_EQ(RunScript(f, "type h\nexpect-focus none\nclick bt2\n").error, "");
  pn->SetVisible(true);
  ed->SetFocus();
  EXPECT_EQ(RunScript(f, "expect-focus ed\nalt 1\nexpect-focus none\nclick bt2\n").error, "");
  pn->SetEnabled(true);
  ed->SetText("");
  ed->SetFocus();
  EXPECT_TRUE(RanOut(RunScript(f, "type abd\ntype c\nalt 2\n")));
  EXPECT_EQ(ed->Text(), "ab");
}

// Key preview that turns Enter into "next control" and drops 'x'; accelerators from a focused
// button or with Alt, never on a hidden button; arrows walk the buttons of their panel.
TEST_F(FormTest, PreviewEnterAcceleratorsAndArrows) {
  TEdit *ed = Add<TEdit>(f, nullptr, "ed", 0);
  TEdit *ed2 = Add<TEdit>(f, nullptr, "ed2", 1);
  TPanel *pn = Add<TPanel>(f, nullptr, "pnBotoes", 2);
  TBitBtn *btOk = AddButton(f, pn, "btOk", "&1 - Confirma", 0);
  TBitBtn *hidden = AddButton(f, pn, "btHidden", "&5 - Oculto", 1);
  AddButton(f, pn, "btCancel", "&9 - Cancela", 2)->ModalResult = mrCancel;
  hidden->SetVisible(false);
  std::string seenByEdit;
  int okClicks = 0;
  f->KeyPreview = true;
  f->OnKeyPress = [&](TObject *, char &k) {
    if (k == 'x') k = 0;
    if (k == '\r' && !dynamic_cast<TButtonControl *>(f->ActiveControl()))
      f->SelectNext(f->ActiveControl(), true), k = 0;
  };
  ed->OnKeyPress = [&](TObject *, char &k) { seenByEdit += k; };
  btOk->OnClick = [&](TObject *) { ++okClicks; };
  hidden->OnClick = [&](TObject *) { okClicks += 100; };
  const TScriptRun run = RunScript(f, R"(
type axb1
key Backspace
expect-text ed ab
key Enter
type 7
key Enter
expect-focus btOk
key Enter
key Space
alt 1
type 5
type 1
key Down
expect-focus btCancel
key Down
expect-focus btOk
key Up
type 9
)");
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.result, mrCancel);
  EXPECT_EQ(seenByEdit, "ab1\b"); // 'x' and Enter never reached the edit; '1' was text there
  EXPECT_EQ(ed2->Text(), "7");
  EXPECT_EQ(okClicks, 4); // Enter, Space, Alt+1 and '1' on the focused button
  f->KeyPreview = false;  // without preview the form's handler is not asked
  ed->SetFocus();
  EXPECT_EQ(RunScript(f, "key End\ntype x\nexpect-text ed abx\nalt 9\n").error, "");
  btOk->SetCaption("Fish && &chips");
  EXPECT_EQ(btOk->Accelerator(), 'C');
  btOk->SetCaption("A && B");
  EXPECT_EQ(btOk->Accelerator(), 0);
}

// A repeating timer keeps time with the script: 250 ms apart while the keys come every 100, and
// first when both are due. ProcessMessages runs what is due but never takes operator input.
TEST_F(FormTest, TimersFireOnTheScriptClockAndProcessMessagesTakesNoKeys) {
  TEdit *ed = Add<TEdit>(f, nullptr, "ed");
  TTimer *tm = new TTimer(f);
  tm->Interval = 250;
  Names seen; // "time:text" at each firing
  tm->OnTimer = [&](TObject *) {
    seen.push_back(std::to_string(Application->Now()) + ":" + ed->Text());
  };
  f->OnShow = [&](TObject *) { tm->SetEnabled(true); };
  ed->OnKeyPress = [&](TObject *, char &k) {
    if (k == 'p') Application->ProcessMessages(), k = 0;
  };
  EXPECT_TRUE(RanOut(RunScript(f, "type abpcdef\n")));
  seen.resize(3); // it goes on firing for a while after the last line
  EXPECT_EQ(seen, (Names{"250:ab", "500:abc", "750:abcdef"}));
}

class TFrmB : public TForm {
public:
  explicit TFrmB(TComponent *owner) : TForm(owner) { Name = "FrmB"; }
};

TEST_F(FormTest, NestedModalFormReactivatesTheFormBelowWhenItCloses) {
  f->Name = "FrmA";
  int resultB = -1;
  AddButton(f, nullptr, "btAbre", "&1 - Abre", 0)->OnClick = [&](TObject *) {
    TForm *b = Application->CreateForm<TFrmB>();
    Add<TEdit>(b, nullptr, "edB");
    AddButton(b, nullptr, "btOkB", "&1 - Ok", 1)->ModalResult = mrOk;
    resultB = b->ShowModal();
    b->Free();
  };
  AddButton(f, nullptr, "btSai", "&9 - Sai", 1)->ModalResult = mrOk;
  const TScriptRun run = RunScript(f, "key Enter\nexpect-form FrmB\nexpect-focus edB\ntype 1\n"
                                      "alt 1\nexpect-form FrmA\nexpect-focus btAbre\nalt 9\n");
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.result, mrOk);
  EXPECT_EQ(resultB, mrOk);
  Names events;
  for (const auto &e : run.Events("form"))
    events.push_back(e["form"].get<std::string>() + ":" + e["what"].get<std::string>());
  EXPECT_EQ(events,
            (Names{"FrmA:show", "FrmA:activate", "FrmB:create", "FrmB:show", "FrmB:activate",
                   "FrmB:close", "FrmA:activate", "FrmB:destroy", "FrmA:close"}));
  EXPECT_EQ(run.Events("form")[5]["result"], mrOk);
  // Close gives Cancel; a modal form cannot be shown twice.
  std::string error;
  AddButton(f, nullptr, "btFecha", "&8 - Fecha")->OnClick = [&](TObject *) {
    try {
      f->ShowModal();
    } catch (const EInvalidOperation &e) {
      error = e.what();
    }
    f->Close();
  };
  EXPECT_EQ(RunScript(f, "alt 8\n").result, mrCancel);
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(f->IsModal() || f->Visible());
}

// A script failure is never taken for an error of the program: no handler sees it and the
// modal loop unwinds.
TEST_F(FormTest, ScriptFailuresGoPastTheErrorHandler) {
  AddButton(f, nullptr, "btStop", "&8 - Para")->OnClick = [](TObject *) {
    throw EScriptFailure("stop");
  };
  int handled = 0;
  Application->OnException = [&](TObject *, const Exception &) { ++handled; };
  EXPECT_EQ(RunScript(f, "alt 8\nalt 8\n").error, "stop");
  EXPECT_EQ(handled, 0);
  EXPECT_TRUE(Application->FormStack().empty());
}

// CreateForm runs OnCreate after the whole constructor; Free runs OnDestroy while the derived
// members still live.
class TFrmDerived : public TForm {
public:
  explicit TFrmDerived(TComponent *owner) : TForm(owner) {
    Name = "FrmDerived";
    edMeu = Add<TEdit>(this, nullptr, "edMeu");
    OnCreate = [this](TObject *) { log.push_back("create " + edMeu->Name); };
    OnDestroy = [this](TObject *) { log.push_back("destroy " + member); };
  }
  TEdit *edMeu;
  std::string member = "vivo";
  static Names log;
};
Names TFrmDerived::log;

TEST_F(FormTest, LifecycleHandlersAndWhereTheModuleLives) {
  auto *d = Application->CreateForm<TFrmDerived>();
  EXPECT_EQ(Application->FindComponent("FrmDerived"), d);
  d->Free();
  EXPECT_EQ(Application->FindComponent("FrmDerived"), nullptr);
  EXPECT_EQ(TFrmDerived::log, (Names{"create edMeu", "destroy vivo"}));
  setenv("CHEQUE_DIR", "/tmp/cheque", 1);
  EXPECT_EQ(Application->ExeDir(), "/tmp/cheque/");
  unsetenv("CHEQUE_DIR");
  Application->SetExeName("/opt/pdv/chequepdv");
  EXPECT_EQ(Application->ExeDir(), "/opt/pdv/");
  Application->SetExeName("");
  EXPECT_NE(Application->ExeName().find("test_platform"), std::string::npos);
}

} // namespace
