#include "test_forms_util.h"

#include "platform/Cp1252.h"

#include <cstdlib>

namespace {

class ModalTest : public FormsTest {};

TEST_F(ModalTest, TimerDueBeforeTheNextScriptedKeyFiresFirst) {
  TForm *f = NewForm("FrmTimer");
  TEdit *ed = Add<TEdit>(f, nullptr, "ed");
  TTimer *tm = new TTimer(f);
  tm->Interval = 10;
  std::vector<std::string> seen; // "time:text" at each firing
  tm->OnTimer = [&](TObject *) {
    seen.push_back(std::to_string(Application->Now()) + ":" + ed->Text());
    if (seen.size() == 1) tm->SetEnabled(false);
  };
  f->OnShow = [&](TObject *) { tm->SetEnabled(true); };
  const TScriptRun run = RunScript(f, "type a\ntype b\nwait 1000\n");
  // Fired once at 10 ms, before 'a' (at 100 ms); stopped by its handler.
  EXPECT_EQ(seen, std::vector<std::string>{"10:"});
  EXPECT_EQ(ed->Text(), "ab");

  // A repeating timer keeps time with the script: 250 ms apart while the keys come every 100.
  seen.clear();
  tm->Interval = 250;
  tm->OnTimer = [&](TObject *) {
    seen.push_back(std::to_string(Application->Now()) + ":" + ed->Text());
  };
  ed->SetText("");
  const TScriptRun run2 = RunScript(f, "type abcdef\n");
  EXPECT_EQ(seen.size() >= 3u, true);
  EXPECT_EQ(seen[0], "250:ab");
  EXPECT_EQ(seen[1], "500:abcd"); // at the same time as a key, the timer goes first
  EXPECT_NE(run2.error.find("the script ended"), std::string::npos);
  f->Free();
}

TEST_F(ModalTest, ProcessMessagesRunsDueTimersButNeverTakesOperatorInput) {
  TForm *f = NewForm("FrmPm");
  TEdit *ed = Add<TEdit>(f, nullptr, "ed");
  TTimer *tm = new TTimer(f);
  tm->Interval = 50;
  int fired = 0;
  tm->OnTimer = [&](TObject *) { ++fired; };
  std::string textDuringPm;
  ed->OnKeyPress = [&](TObject *, char &k) {
    if (k != 'p') return;
    k = 0;
    tm->SetEnabled(true);
    Application->ProcessMessages(); // not due yet: nothing
    textDuringPm = ed->Text();
  };
  const TScriptRun run = RunScript(f, "type xp\ntype y\n");
  EXPECT_EQ(textDuringPm, "x");
  EXPECT_EQ(ed->Text(), "xy");
  EXPECT_EQ(fired >= 1, true); // fell due at 250, before 'y' at 300
  f->Free();
}

class TFrmB : public TForm {
public:
  explicit TFrmB(TComponent *owner) : TForm(owner) { Name = "FrmB"; }
};

// A form whose button opens a second one modally; each counts its activations.
TEST_F(ModalTest, NestedModalFormReactivatesTheFormBelowWhenItCloses) {
  TForm *a = NewForm("FrmA");
  TBitBtn *open = AddButton(a, nullptr, "btAbre", "&1 - Abre", 0);
  TBitBtn *quit = AddButton(a, nullptr, "btSai", "&9 - Sai", 1);
  quit->ModalResult = mrOk;
  int activationsA = 0, resultB = -1;
  a->OnActivate = [&](TObject *) { ++activationsA; };
  open->OnClick = [&](TObject *) {
    TForm *b = Application->CreateForm<TFrmB>();
    TEdit *ed = Add<TEdit>(b, nullptr, "edB");
    TBitBtn *ok = AddButton(b, nullptr, "btOkB", "&1 - Ok", 1);
    ok->OnClick = [b](TObject *) { b->ModalResult = mrOk; };
    (void)ed;
    resultB = b->ShowModal();
    b->Free();
  };
  const TScriptRun run = RunScript(a, R"(
expect-form FrmA
key Enter
expect-form FrmB
expect-focus edB
type 1
alt 1
expect-form FrmA
expect-focus btAbre
alt 9
)");
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.result, mrOk);
  EXPECT_EQ(resultB, mrOk);
  EXPECT_EQ(activationsA, 2);
  EXPECT_EQ(FormEvents(run),
            (std::vector<std::string>{"FrmA:show", "FrmA:activate", "FrmB:create", "FrmB:show",
                                      "FrmB:activate", "FrmB:close:1", "FrmA:activate",
                                      "FrmB:destroy", "FrmA:close:1"}));
  a->Free();
}

TEST_F(ModalTest, CloseGivesCancelAndAModalFormCannotBeShownTwice) {
  TForm *f = NewForm("FrmClose");
  TBitBtn *bt = AddButton(f, nullptr, "bt", "&9 - Fecha");
  std::string error;
  bt->OnClick = [&](TObject *) {
    try {
      f->ShowModal();
    } catch (const EInvalidOperation &e) {
      error = e.what();
    }
    f->Close();
  };
  const TScriptRun run = RunScript(f, "alt 9\n");
  EXPECT_EQ(run.result, mrCancel);
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(f->IsModal());
  EXPECT_FALSE(f->Visible());
  f->Free();
}

TEST_F(ModalTest, MessageBoxWaitsForTheOperatorsAcknowledgement) {
  TForm *f = NewForm("FrmMsg");
  TBitBtn *bt = AddButton(f, nullptr, "bt", "&1 - Avisa");
  std::vector<int> results;
  bt->OnClick = [&](TObject *) {
    results.push_back(Application->MessageBox("Data inv\xE1lida.", "Erro", 0x40010));
    results.push_back(Application->MessageBox("Segunda", "Aviso", MB_TOPMOST));
    f->ModalResult = mrOk;
  };
  const TScriptRun run = RunScript(f, R"(
key Enter
expect-msgbox Data inválida.
ok
expect-msgbox Segunda
key Enter
)");
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.result, mrOk);
  EXPECT_EQ(results, (std::vector<int>{IDOK, IDOK}));
  const auto boxes = run.Events("msgbox");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0]["text"], "Data inválida.");
  EXPECT_EQ(boxes[0]["caption"], "Erro");
  EXPECT_EQ(boxes[0]["flags"], 0x40010);
  EXPECT_EQ(Application->ActiveMessageBox(), nullptr);
  f->Free();
}

TEST_F(ModalTest, HandlerErrorsReachOnExceptionButNotAfterItsOwnerIsGone) {
  TForm *f = NewForm("FrmErr");
  TBitBtn *bt = AddButton(f, nullptr, "bt", "&1 - Falha");
  TBitBtn *done = AddButton(f, nullptr, "btFim", "&9 - Fim", 1);
  done->ModalResult = mrOk;
  bt->OnClick = [](TObject *) { throw Exception("falhou"); };
  std::vector<std::string> outer, inner;
  auto *screenA = new TComponent(nullptr);
  auto *screenB = new TComponent(nullptr);
  Application->SetExceptionHandler(
      screenA, [&](TObject *, const Exception &e) { outer.push_back(e.Message()); });
  Application->SetExceptionHandler(
      screenB, [&](TObject *, const Exception &e) { inner.push_back(e.Message()); });
  bt->OnKeyPress = [&](TObject *, char &k) {
    if (k == 'd') delete screenB; // the most recent handler's owner goes
    if (k == 'e') delete screenA;
    if (k == 's') throw std::runtime_error("not an Exception");
  };
  const TScriptRun run = RunScript(f, R"(
click bt
type d
alt 1
type e
alt 1
type s
alt 9
)");
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(run.result, mrOk);
  EXPECT_EQ(inner, std::vector<std::string>{"falhou"});
  EXPECT_EQ(outer, (std::vector<std::string>{"falhou"})); // handed back once B was gone
  EXPECT_FALSE(Application->OnException);
  EXPECT_EQ(Application->ExceptionHandlerOwner, nullptr);
  // Every error is in the transcript, handled or not.
  EXPECT_EQ(run.Events("error").size(), 4u);

  // The plain members work the same way: the handler dies with its owner.
  auto *owner = new TComponent(nullptr);
  int calls = 0;
  Application->OnException = [&](TObject *, const Exception &) { ++calls; };
  Application->ExceptionHandlerOwner = owner;
  delete owner;
  EXPECT_FALSE(Application->OnException);
  Application->HandleException(nullptr, Exception("depois"));
  EXPECT_EQ(calls, 0);
  f->Free();
}

TEST_F(ModalTest, ScriptFailureIsNeverSwallowedByHandlers) {
  TForm *f = NewForm("FrmFail");
  TBitBtn *bt = AddButton(f, nullptr, "bt", "&1 - X");
  int handled = 0;
  Application->OnException = [&](TObject *, const Exception &) { ++handled; };
  bt->OnClick = [](TObject *) { throw EScriptFailure("stop"); };
  const TScriptRun run = RunScript(f, "alt 1\nalt 1\n");
  EXPECT_EQ(run.error, "stop");
  EXPECT_EQ(handled, 0);
  EXPECT_TRUE(Application->FormStack().empty());
  f->Free();
}

// CreateForm runs OnCreate after the whole constructor; Free runs OnDestroy while the derived
// members still live.
class TFrmDerived : public TForm {
public:
  explicit TFrmDerived(TComponent *owner) : TForm(owner) {
    Name = "FrmDerived";
    edMeu = Add<TEdit>(this, nullptr, "edMeu");
    OnCreate = [this](TObject *) { log->push_back("create " + edMeu->Name); };
    OnDestroy = [this](TObject *) { log->push_back("destroy " + member); };
  }
  TEdit *edMeu;
  std::string member = "vivo";
  std::vector<std::string> *log = &sharedLog;
  static std::vector<std::string> sharedLog;
};
std::vector<std::string> TFrmDerived::sharedLog;

TEST_F(ModalTest, CreateFormAndFreeRunTheLifecycleHandlers) {
  Transcript().SetKeepInMemory(true);
  TFrmDerived::sharedLog.clear();
  auto *f = Application->CreateForm<TFrmDerived>();
  EXPECT_EQ(f->Owner(), Application);
  EXPECT_EQ(Application->FindComponent("FrmDerived"), f);
  f->Free();
  EXPECT_EQ(Application->FindComponent("FrmDerived"), nullptr);
  EXPECT_EQ(TFrmDerived::sharedLog, (std::vector<std::string>{"create edMeu", "destroy vivo"}));
  std::vector<std::string> whats;
  for (const auto &e : Transcript().Events("form")) whats.push_back(e["what"]);
  EXPECT_EQ(whats, (std::vector<std::string>{"create", "destroy"}));
}

TEST_F(ModalTest, ADisabledFormDropsInputAndNonModalFormsStack) {
  TForm *f = NewForm("FrmOff");
  TEdit *ed = Add<TEdit>(f, nullptr, "ed");
  TBitBtn *bt = AddButton(f, nullptr, "bt", "&1 - Ok", 1);
  TForm *progress = NewForm("FrmProgresso");
  int progressActivations = 0, fActivations = 0;
  progress->OnActivate = [&](TObject *) { ++progressActivations; };
  f->OnActivate = [&](TObject *) { ++fActivations; };
  ed->OnKeyPress = [&](TObject *, char &k) {
    if (k == 'd') f->SetEnabled(false), k = 0;
    if (k == 's') progress->Show(), k = 0;
  };
  bt->OnClick = [&](TObject *) { f->ModalResult = mrOk; };
  const TScriptRun run = RunScript(f, R"(
type as
expect-form FrmProgresso
)");
  EXPECT_EQ(progressActivations, 1);
  progress->Hide();
  EXPECT_EQ(ed->Text(), "a");
  const TScriptRun run2 = RunScript(f, "expect-form FrmOff\ntype bd\ntype c\nalt 1\n");
  EXPECT_NE(run2.error.find("the script ended"), std::string::npos) << run2.error;
  EXPECT_EQ(ed->Text(), "ab");
  f->SetEnabled(true);
  progress->Free();
  f->Free();
  EXPECT_GE(fActivations, 2);
}

TEST_F(ModalTest, ExeDirComesFromTheEnvironmentOrTheExecutable) {
  setenv("CHEQUE_DIR", "/tmp/cheque", 1);
  EXPECT_EQ(Application->ExeDir(), "/tmp/cheque/");
  unsetenv("CHEQUE_DIR");
  Application->SetExeName("/opt/pdv/chequepdv");
  EXPECT_EQ(Application->ExeDir(), "/opt/pdv/");
  Application->SetExeName("");
  EXPECT_NE(Application->ExeName().find("test_platform"), std::string::npos);
  Application->SetOwnerWindow(77);
  EXPECT_EQ(Application->OwnerWindow(), 77u);
  Application->SetOwnerWindow(0);
}

TEST_F(ModalTest, ScreenTextShowsTheFormItsControlsAndTheMessageBox) {
  TForm *f = NewForm("FrmPic");
  f->SetCaption("Consulta");
  TPanel *pn = Add<TPanel>(f, nullptr, "pnCaptura");
  TMaskEdit *ed = Add<TMaskEdit>(f, pn, "edData");
  ed->SetEditMask("!99/99/9999;1;_");
  TLabel *lb = Add<TLabel>(f, pn, "lbData");
  lb->SetCaption("Data:");
  TEdit *hidden = Add<TEdit>(f, pn, "edOculto");
  hidden->SetVisible(false);
  TBitBtn *bt = AddButton(f, nullptr, "btConfirma", "&1 - Confirma");
  bt->SetEnabled(false);
  std::string picture;
  ed->OnKeyPress = [&](TObject *, char &k) {
    if (k == '!') {
      k = 0;
      Application->MessageBox(CP1252("Atenção"), "Erro", 0x40010);
    }
  };
  Application->OnException = nullptr;
  const TScriptRun run = RunScript(f, "type 05!\nok\n");
  picture = run.screen;
  EXPECT_NE(picture.find("Form FrmPic \"Consulta\" modal active"), std::string::npos) << picture;
  EXPECT_NE(picture.find("edData: TMaskEdit \"05/  /    \" shows \"05/__/____\" mask "
                         "\"!99/99/9999;1;_\"  <- focus"),
            std::string::npos)
      << picture;
  EXPECT_NE(picture.find("lbData: TLabel \"Data:\""), std::string::npos) << picture;
  EXPECT_NE(picture.find("btConfirma: TBitBtn \"&1 - Confirma\" disabled"), std::string::npos);
  EXPECT_EQ(picture.find("edOculto"), std::string::npos);
  // While the box was open the failure's picture showed it.
  const TScriptRun run2 = RunScript(f, "type !\n");
  EXPECT_NE(run2.screen.find("Message box \"Erro\" (flags 0x40010): \"Atenção\""),
            std::string::npos)
      << run2.screen;
  f->Free();
}

} // namespace
