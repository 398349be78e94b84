// The form layer's focus, keyboard dispatch, modal loop, timers and error handling.
#include "FormsTest.h"

#include <cstdlib>

namespace {

class FormTest : public FormsTest {};
using Names = std::vector<std::string>;

// ed0 | pnA{ edA2(2) edA1(1) pnInner(3){ edI } } | pnHidden{ edH } | pnOff{ edD } | edOff | bt
// plus a label and a hidden edit directly on the form.
TEST_F(FormTest, TabOrderWalksNestedContainersSkippingWhatCannotTakeTheFocus) {
  TForm *f = NewForm("FrmTab");
  Add<TEdit>(f, nullptr, "ed0", 0);
  TPanel *pnA = Add<TPanel>(f, nullptr, "pnA", 1);
  Add<TEdit>(f, pnA, "edA2", 2);
  Add<TEdit>(f, pnA, "edA1", 1);
  TEdit *edI = Add<TEdit>(f, Add<TPanel>(f, pnA, "pnInner", 3), "edI", 0);
  TPanel *pnHidden = Add<TPanel>(f, nullptr, "pnHidden", 2);
  TEdit *edH = Add<TEdit>(f, pnHidden, "edH", 0);
  TPanel *pnOff = Add<TPanel>(f, nullptr, "pnOff", 3);
  TEdit *edD = Add<TEdit>(f, pnOff, "edD", 0);
  TEdit *edOff = Add<TEdit>(f, nullptr, "edOff", 4);
  TBitBtn *bt = AddButton(f, nullptr, "bt", "&1 - Ok", 5);
  Add<TLabel>(f, nullptr, "lb", 6);
  Add<TEdit>(f, nullptr, "edGone", 7)->SetVisible(false);
  pnHidden->SetVisible(false);
  pnOff->SetEnabled(false);
  edOff->SetEnabled(false);
  const TScriptRun run = RunScript(f, "key Tab 4\nexpect-focus bt\nkey Tab\nkey ShiftTab 3\n");
  EXPECT_TRUE(RanOut(run)) << run.error;
  EXPECT_EQ(EventField(run, "focus", "control"),
            (Names{"ed0", "edA1", "edA2", "edI", "bt", "ed0", "bt", "edI", "edA2"}));
  // From a control that cannot take the focus the walk still finds its neighbours.
  EXPECT_EQ(f->FindNextControl(edOff, true), bt);
  EXPECT_EQ(f->FindNextControl(edD, false), edI);
  EXPECT_EQ(f->FindNextControl(nullptr, false), bt);
  pnHidden->SetVisible(true); // its edit comes between pnA's and the disabled panel
  EXPECT_EQ(f->FindNextControl(edI, true), edH);
  EXPECT_FALSE(pnA->CanFocus() || edD->CanFocus() || edOff->CanFocus());
  pnHidden->SetVisible(false);
  try {
    edH->SetFocus();
    FAIL() << "SetFocus on a hidden control must raise";
  } catch (const EInvalidOperation &e) {
    EXPECT_STREQ(e.what(), CannotFocusMessage);
  }
  TEdit orphan(nullptr); // on no form
  EXPECT_THROW(orphan.SetFocus(), EInvalidOperation);
  f->Free();
}

TEST_F(FormTest, OnExitSeesTheReceivingControlAndMayMoveTheFocusElsewhere) {
  TForm *f = NewForm("FrmExit");
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
  // edB never got OnEnter: the nested move to edC won.
  EXPECT_EQ(log,
            (Names{"enter edA", "exit to edB/edB", "enter edC", "enter edA", "exit to bt/bt"}));
  EXPECT_EQ(EventField(run, "focus", "control"), (Names{"edA", "edC", "edA", "bt"}));
  // Focus asked before the form is active lands, with its events, when it is shown.
  int enters = 0;
  edA->OnExit = nullptr;
  edA->OnEnter = edB->OnEnter = [&](TObject *) { ++enters; };
  edB->SetFocus();
  f->OnShow = [&](TObject *) {
    edA->SetFocus(); // still not active: only the last one counts
    edB->SetFocus();
  };
  EXPECT_EQ(enters, 0);
  EXPECT_TRUE(RanOut(RunScript(f, "expect-focus edB\nclick edA\n")));
  EXPECT_EQ(enters, 2); // edB when the form became active, then edA
  f->Free();
}

// Hiding or disabling the focused control (or its panel) leaves the form without focus; a
// disabled form drops input; a non-modal form shown over another stacks on it.
TEST_F(FormTest, HidingOrDisablingLeavesNoFocusAndADisabledFormDropsInput) {
  TForm *f = NewForm("FrmDefocus");
  TPanel *pn = Add<TPanel>(f, nullptr, "pn", 0);
  TEdit *ed = Add<TEdit>(f, pn, "ed", 0);
  AddButton(f, nullptr, "bt", "&1 - Esconde", 1)->OnClick = [&](TObject *) {
    pn->SetEnabled(false);
  };
  AddButton(f, nullptr, "bt2", "&2 - Fecha", 2)->ModalResult = mrOk;
  TForm *progress = NewForm("FrmProgresso");
  ed->OnKeyPress = [&](TObject *, char &k) {
    if (k == 'h') pn->SetVisible(false);
    if (k == 'd') f->SetEnabled(false), k = 0;
    if (k == 's') progress->Show(), k = 0;
  };
  EXPECT_EQ(RunScript(f, "type h\nexpect-focus none\nclick bt2\n").error, "");
  // An accelerator clicks without taking the focus: the edit in the panel it disables loses it.
  pn->SetVisible(true);
  ed->SetFocus();
  EXPECT_EQ(RunScript(f, "expect-focus ed\nalt 1\nexpect-focus none\nclick bt2\n").error, "");
  pn->SetEnabled(true);
  ed->SetText("");
  ed->SetFocus();
  EXPECT_TRUE(RanOut(RunScript(f, "type as\nexpect-form FrmProgresso\n")));
  progress->Hide();
  EXPECT_TRUE(RanOut(RunScript(f, "expect-form FrmDefocus\ntype bd\ntype c\nalt 2\n")));
  EXPECT_EQ(ed->Text(), "ab");
  progress->Free();
  f->Free();
}

// Key preview that turns Enter into "next control" and drops 'x'; accelerators from a focused
// button or with Alt, never on a hidden button; arrows walk the buttons of their panel.
TEST_F(FormTest, PreviewEnterAcceleratorsAndArrows) {
  TForm *f = NewForm("FrmKeys");
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
  f->Free();
}

TEST_F(FormTest, TimersFireOnTheScriptClockBeforeTheKeysDueWithThem) {
  TForm *f = NewForm("FrmTimer");
  TEdit *ed = Add<TEdit>(f, nullptr, "ed");
  TTimer *tm = new TTimer(f);
  tm->Interval = 10;
  Names seen; // "time:text" at each firing
  tm->OnTimer = [&](TObject *) {
    seen.push_back(std::to_string(Application->Now()) + ":" + ed->Text());
    if (tm->Interval == 10) tm->SetEnabled(false);
  };
  f->OnShow = [&](TObject *) { tm->SetEnabled(true); };
  RunScript(f, "type a\ntype b\nwait 1000\n");
  EXPECT_EQ(seen, Names{"10:"}); // once at 10 ms, before 'a' at 100; stopped by its handler
  // A repeating timer keeps time with the script: 250 ms apart while the keys come every 100.
  // ProcessMessages runs what is due but never takes operator input.
  seen.clear();
  tm->Interval = 250;
  ed->SetText("");
  ed->OnKeyPress = [&](TObject *, char &k) {
    if (k == 'p') Application->ProcessMessages(), k = 0;
  };
  EXPECT_TRUE(RanOut(RunScript(f, "type abpcdef\n")));
  seen.resize(3); // it goes on firing for a while after the last line
  EXPECT_EQ(seen, (Names{"250:ab", "500:abc", "750:abcdef"})); // the timer goes first at a tie
  f->Free();
}

class TFrmB : public TForm {
public:
  explicit TFrmB(TComponent *owner) : TForm(owner) { Name = "FrmB"; }
};

TEST_F(FormTest, NestedModalFormReactivatesTheFormBelowWhenItCloses) {
  TForm *a = NewForm("FrmA");
  int resultB = -1;
  AddButton(a, nullptr, "btAbre", "&1 - Abre", 0)->OnClick = [&](TObject *) {
    TForm *b = Application->CreateForm<TFrmB>();
    Add<TEdit>(b, nullptr, "edB");
    AddButton(b, nullptr, "btOkB", "&1 - Ok", 1)->ModalResult = mrOk;
    resultB = b->ShowModal();
    b->Free();
  };
  AddButton(a, nullptr, "btSai", "&9 - Sai", 1)->ModalResult = mrOk;
  const TScriptRun run = RunScript(a, "key Enter\nexpect-form FrmB\nexpect-focus edB\ntype 1\n"
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
  AddButton(a, nullptr, "btFecha", "&8 - Fecha")->OnClick = [&](TObject *) {
    try {
      a->ShowModal();
    } catch (const EInvalidOperation &e) {
      error = e.what();
    }
    a->Close();
  };
  EXPECT_EQ(RunScript(a, "alt 8\n").result, mrCancel);
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(a->IsModal() || a->Visible());
  a->Free();
}

TEST_F(FormTest, HandlerErrorsReachTheLatestLiveHandlerAndScriptFailuresGoThrough) {
  TForm *f = NewForm("FrmErr");
  TBitBtn *bt = AddButton(f, nullptr, "bt", "&1 - Falha");
  AddButton(f, nullptr, "btFim", "&9 - Fim", 1)->ModalResult = mrOk;
  AddButton(f, nullptr, "btStop", "&8 - Para", 2)->OnClick = [](TObject *) {
    throw EScriptFailure("stop");
  };
  bt->OnClick = [](TObject *) { throw Exception("falhou"); };
  Names seen;
  auto *screenA = new TComponent(nullptr), *screenB = new TComponent(nullptr);
  for (auto [owner, tag] : {std::pair{screenA, "A:"}, {screenB, "B:"}})
    Application->SetExceptionHandler(
        owner, [&seen, tag = std::string(tag)](TObject *, const Exception &e) {
          seen.push_back(tag + e.Message());
        });
  bt->OnKeyPress = [&](TObject *, char &k) {
    if (k == 'd') delete screenB; // the most recent handler's owner goes
    if (k == 'e') delete screenA;
    if (k == 's') throw std::runtime_error("not an Exception");
  };
  const TScriptRun run = RunScript(f, "click bt\ntype d\nalt 1\ntype e\nalt 1\ntype s\nalt 9\n");
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(seen, (Names{"B:falhou", "A:falhou"})); // handed back to A once B was gone
  EXPECT_FALSE(Application->OnException);
  EXPECT_EQ(run.Events("error").size(), 4u); // every error, handled or not
  // A script failure is never swallowed by a handler, and the loop unwinds.
  Application->OnException = [&](TObject *, const Exception &e) { seen.push_back(e.Message()); };
  EXPECT_EQ(RunScript(f, "alt 8\nalt 8\n").error, "stop");
  EXPECT_TRUE(Application->FormStack().empty());
  auto *owner = new TComponent(nullptr); // the plain members: the handler dies with its owner
  Application->ExceptionHandlerOwner = owner;
  delete owner;
  Application->HandleException(nullptr, Exception("depois"));
  EXPECT_EQ(seen.size(), 2u);
  f->Free();
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
  auto *f = Application->CreateForm<TFrmDerived>();
  EXPECT_EQ(Application->FindComponent("FrmDerived"), f);
  f->Free();
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
