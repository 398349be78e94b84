// The base screen and the base menu: audit lines, the error handler, the option count rule.
#include "ModuloTeste.h"
#include "module/ChequeMain.h"
#include "screens/base/MenuModeloCheque.h"
#include "screens/base/ModeloCheque.h"
#include "screens/consulta/Cons78Cheque.h"
#include "screens/menus/MenuCheque.h"
#include "screens/menus/MenuTipoDadosCheque.h"
#include "screens/menus/SelecionaTipoConsultaCheque.h"

namespace {

class TelaBaseTest : public ModuloTeste {};

TEST_F(TelaBaseTest, CadaTelaDeixaUmaLinhaAoSerCriadaEOutraAoSerDestruida) {
  struct Caso {
    const char *nome;
    std::function<TForm *()> cria;
  } casos[] = {
      {"FrmRedes_Mnu", [] { return Application->CreateForm<TFrmRedes_Mnu>(); }},
      {"FrmSelTipoDadosChq_Mnu", [] { return Application->CreateForm<TFrmSelTipoDadosChq_Mnu>(); }},
      {"FrmTipoConsulta_Mod", [] { return Application->CreateForm<TFrmTipoConsulta_Mod>(); }},
      {"FrmCon_Chq78", [] { return Application->CreateForm<TFrmCon_Chq78>(); }},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    host.ClearCalls();
    const size_t antes = Auditoria().size();
    TForm *tela = c.cria();
    EXPECT_EQ(tela->Name, c.nome);
    EXPECT_EQ(tela->Height, 422);
    EXPECT_EQ(tela->Width, 623);
    EXPECT_EQ(Auditoria().size(), antes + 1);
    tela->Free();
    EXPECT_EQ(std::vector<std::string>(Auditoria().begin() + long(antes), Auditoria().end()),
              (std::vector<std::string>{std::string("Criou: ") + c.nome,
                                        std::string("Destruiu: ") + c.nome}));
    // GravaAudit gets kind 0 and the text.
    for (const auto &chamada : host.CallsOf("GravaAudit")) EXPECT_EQ(chamada.args[0], "0");
  }
}

// A screen with a masked edit, for the error handler.
class TTelaMascara : public TFrmMod {
public:
  explicit TTelaMascara(TComponent *AOwner) : TFrmMod(AOwner) {
    Name = "FrmMascara";
    edData = new TMaskEdit(this);
    edData->Name = "edData";
    edData->SetParent(this);
    edData->SetEditMask("00/00/0000;1;_");
  }
  TMaskEdit *edData;
};

TEST_F(TelaBaseTest, ErroDeMascaraLimpaOControleEOTratadorNaoSobreviveATela) {
  auto *a = Application->CreateForm<TTelaMascara>();
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
    ++construcoes;
    for (int n = 1; n <= NUM_OPCOES; ++n) Opcao(n)->SetVisible(n <= visiveis);
    spEncerra->SetCaption("&9 - Encerra");
    spEncerra->SetVisible(true);
  }
  void VerificaOpcoesHabilitadas() override {
    for (int n : desabilitadas) Opcao(n)->SetEnabled(false);
  }
  int visiveis = 0;
  std::vector<int> desabilitadas;
  std::vector<int> escolhas;
  int construcoes = 0;
};

TMenuTeste *MenuTeste = nullptr;

TEST_F(TelaBaseTest, ContagemDeOpcoesDoMenu) {
  struct Caso {
    const char *nome;
    int visiveis;
    std::vector<int> desabilitadas;
    const char *roteiro;
    std::vector<int> escolhas;
    int resultado;
    bool erro993;
  } casos[] = {
      // Nothing to offer: closes by itself, abandoned, and the point of sale is told.
      {"nenhuma", 0, {}, "", {}, mrCancel, true},
      {"unica desabilitada", 1, {1}, "", {}, mrCancel, true},
      // A single option is chosen 10 ms after the menu shows, without a key.
      {"uma", 1, {}, "type 9", {1}, mrOk, false},
      {"uma habilitada de tres", 3, {1, 3}, "type 9", {2}, mrOk, false},
      // Two or more wait for the operator, the focus on the first one.
      {"duas", 2, {}, "expect-focus spOpcao1\ntype 2\ntype 9", {2}, mrOk, false},
      {"oito", 8, {}, "expect-focus spOpcao1\nkey Tab\nkey Enter\ntype 9", {2}, mrOk, false},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    host.ClearCalls();
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
    if (c.erro993) {
      ASSERT_EQ(host.PdvErrors().size(), erros + 1);
      EXPECT_EQ(host.PdvErrors().back(), (std::pair<int, std::string>(255, "MSG 993")));
    } else {
      EXPECT_EQ(host.PdvErrors().size(), erros);
    }
    // "Encerra" saves the store; an abandoned entry-point screen has it saved too.
    EXPECT_EQ(host.SaveCount() - gravacoes, 1);
  }
}

} // namespace
