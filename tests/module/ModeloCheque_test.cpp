// The base screen and the base menu: the error handler and the option count rule.
#include "ModuloTeste.h"
#include "module/ChequeMain.h"
#include "screens/base/MenuModeloCheque.h"
#include "screens/base/ModeloCheque.h"
#include "screens/consulta/Cons70ChequeConsulta.h"

namespace {

class ModeloChequeTest : public ModuloTeste {};

TEST_F(ModeloChequeTest, ErroDeMascaraLimpaOControleEOTratadorNaoSobreviveATela) {
  auto *a = Application->CreateForm<TFrmCon_Con>(); // its date is a masked edit
  a->edData->SetText("12/05/20");
  a->SetActiveControl(a->edData);
  const std::string digitado = a->edData->Text();
  const std::string vazio = a->edData->Mask().TextFromBuffer(a->edData->Mask().EmptyBuffer());
  ASSERT_NE(digitado, vazio);

  TFrmMod *b = Application->CreateForm<TFrmMod>();
  EXPECT_EQ(Application->ExceptionHandlerOwner, b);
  b->Free();
  // The screen that installed the handler is gone: the one before it takes over again.
  EXPECT_EQ(Application->ExceptionHandlerOwner, a);

  Application->HandleException(nullptr, Exception("Invalid input value. Use escape key"));
  Application->HandleException(nullptr, EInvalidOperation("qualquer outro erro"));
  EXPECT_EQ(a->edData->Text(), digitado);
  Application->HandleException(nullptr, EDBEditError(TEditMask::InvalidInputMessage));
  EXPECT_EQ(a->edData->Text(), vazio);

  a->Free();
  EXPECT_NE(Application->ExceptionHandlerOwner, a);
  EXPECT_NE(Application->ExceptionHandlerOwner, b);
  // Nothing reaches the destroyed screens.
  Application->HandleException(nullptr, EDBEditError(TEditMask::InvalidInputMessage));
}

// A menu whose options are given by the test.
class TMenuTeste : public TFrmMnu_Mod {
public:
  explicit TMenuTeste(TComponent *AOwner) : TFrmMnu_Mod(AOwner) {
    Name = "FrmMenuTeste";
    for (int n = 1; n <= NUM_OPCOES; ++n)
      Opcao(n)->OnClick = [this, n](TObject *) { escolhas.push_back(n); };
  }
  void IniciaFormularioMenu() override {
    for (int n = 1; n <= NUM_OPCOES; ++n) Opcao(n)->SetVisible(n <= visiveis);
    spEncerra->SetCaption("&9 - Encerra");
    spEncerra->SetVisible(true);
  }
  void VerificaOpcoesHabilitadas() override {
    for (int n : desabilitadas) Opcao(n)->SetEnabled(false);
  }
  int visiveis = 0;
  std::vector<int> desabilitadas, escolhas;
};

TMenuTeste *MenuTeste = nullptr;

TEST_F(ModeloChequeTest, ContagemDeOpcoesDoMenu) {
  struct Caso {
    int visiveis;
    std::vector<int> desabilitadas;
    const char *roteiro;
    std::vector<int> escolhas;
    int resultado;
  } casos[] = {
      // Nothing to offer: closes by itself, abandoned, and the point of sale is told (993).
      {1, {1}, "", {}, mrCancel},
      // A single option is chosen without a key.
      {3, {1, 3}, "type 9", {2}, mrOk},
      // Two or more wait for the operator, the focus on the first one.
      {8, {}, "expect-focus spOpcao1\nkey Tab\nkey Enter\ntype 9", {2}, mrOk},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.roteiro);
    const size_t erros = host.PdvErrors().size();
    const int gravacoes = host.SaveCount();
    std::vector<int> escolhas;
    int resultado = 0;
    const TScriptRun r = Roda(
        [&] {
          CriaExecutaFormCom(
              [&] {
                auto *m = Application->CreateForm<TMenuTeste>();
                m->visiveis = c.visiveis;
                m->desabilitadas = c.desabilitadas;
                m->OnClose = [&, m](TObject *) {
                  escolhas = m->escolhas;
                  resultado = m->ModalResult;
                };
                return m;
              },
              nullptr, MenuTeste);
        },
        c.roteiro);
    EXPECT_EQ(r.error, "") << r.screen;
    EXPECT_TRUE(r.scriptDone);
    EXPECT_EQ(escolhas, c.escolhas);
    EXPECT_EQ(resultado, c.resultado);
    ASSERT_EQ(host.PdvErrors().size(), erros + (c.resultado == mrCancel));
    if (c.resultado == mrCancel) {
      EXPECT_EQ(host.PdvErrors().back(), (std::pair<int, std::string>(255, "MSG 993")));
    }
    // "Encerra" saves the store; an abandoned entry-point screen has it saved too.
    EXPECT_EQ(host.SaveCount() - gravacoes, 1);
  }
}

} // namespace
