// The exported entry points, CriaExecutaForm and the module-wide values.
#include <cstring>

#include "ModuloTeste.h"
#include "cheque/modulo.h"
#include "module/ChequeMain.h"
#include "screens/base/ModeloCheque.h"
#include "screens/menus/MenuCheque.h"

namespace {

constexpr TJanelaHost kJanelaHost = 0x7788;
constexpr uintptr_t kDonoAnterior = 0x1234;

class ChequeMainTest : public ModuloTeste {};

TEST_F(ChequeMainTest, EntradaQuebradaDesfazTelasEDevolveODono) {
  Escreve("Cheque.ini", Secao("Rede", "habilitado=1\r\nCodigoTrn=72\r\nopCmc7=2") +
                            Secao("Outra", "habilitado=1\r\nCodigoTrn=74"));
  Application->SetOwnerWindow(kDonoAnterior);
  // A script that runs out inside the screen opened from the menu fails the run: the screens go.
  EXPECT_NE(
      Roda([] { ExecutaConsultaCheque(kJanelaHost, 0); }, "type 1\nexpect-form FrmCon_Chq72").error,
      "");
  EXPECT_EQ(FrmRedes_Mnu, nullptr);
  EXPECT_EQ(Auditoria().size(), 4u);
  // Input that breaks in an unexpected way (a terminal gone wrong) ends the operation inside the
  // module: nothing crosses into the host, the screens are undone and the owner comes back.
  struct TEntradaQuebrada : TInputSource {
    bool Next(TOperatorAction &, int64_t) override { throw std::runtime_error("entrada"); }
    int64_t Now() const override { return 0; }
  } quebrada;
  Application->SetInputSource(&quebrada);
  EXPECT_NO_THROW(ExecutaConsultaCheque(kJanelaHost, 0));
  Application->SetInputSource(nullptr);
  EXPECT_EQ(Application->OwnerWindow(), kDonoAnterior);
  EXPECT_EQ(FrmRedes_Mnu, nullptr);
  EXPECT_EQ(
      AuditoriaDesde(4),
      (std::vector<std::string>{"Criou: FrmRedes_Mnu", "Destruiu: FrmRedes_Mnu", "Erro: entrada"}));
}

TEST_F(ChequeMainTest, VersaoDepoisDaPrimeiraTelaETituloNoBuffer) {
  char versao[64], modulo[64];
  host.SetBuildInfo("4.5.6.7");
  host.SetMessage(1821, "Cheque - Versao ");
  const TScriptRun r = Roda([] { ExecutaFuncaoADM(kJanelaHost, 6); }, "click btRetorna");
  EXPECT_EQ(r.error, "") << r.screen;
  ObtemVersao(versao, modulo);
  EXPECT_STREQ(versao, "1.0.0.0");
  EXPECT_STREQ(modulo, "4.5.6.7");
  EXPECT_STREQ(TITULO_APLICACAO, "Cheque - Versao 4.5.6.7");
  // The version asked for is that of the module's own file, as the loader has it.
  const auto pedidos = host.CallsOf("GetBuildInfo");
  ASSERT_FALSE(pedidos.empty());
  EXPECT_EQ(pedidos[0].args[0], NomeArquivoModulo());
  EXPECT_NE(NomeArquivoModulo(), "");

  // A title longer than its buffer is cut there; the screen shows it whole.
  const std::string longo(300, 'T');
  host.SetMessage(1821, longo);
  TFrmMod *tela = Application->CreateForm<TFrmMod>();
  EXPECT_EQ(tela->lbVersao->Caption(), longo + "4.5.6.7");
  EXPECT_EQ(std::string(TITULO_APLICACAO), longo.substr(0, sizeof TITULO_APLICACAO - 1));
  tela->Free();

  // Unloading forgets the version and the module's values.
  CodigoRede = "45";
  UtilizaCampoC1 = true;
  Struct_Perguntas.resize(3);
  RespostasPerguntas.Cartao.resize(1);
  AcrescentaPerguntas("PERG:x,1,0;");
  ServicoX_ObtemParametros[1003] = 7;
  QualTransacao[3] = 72;
  Finalize();
  EXPECT_TRUE(CodigoRede.empty() && VERSAO_DO_MODULO.empty());
  EXPECT_FALSE(UtilizaCampoC1);
  EXPECT_EQ(Struct_Perguntas.capacity() + RespostasPerguntas.Cartao.capacity(), 0u);
  EXPECT_STREQ(Perguntas, "");
  EXPECT_EQ(ServicoX_ObtemParametros[1003], 0);
  EXPECT_EQ(QualTransacao[3], 0);
  Initialize();
  ObtemVersao(versao, modulo);
  EXPECT_STREQ(modulo, "");
}

TEST_F(ChequeMainTest, PerguntasNuncaPassaDoBuffer) {
  LimpaPerguntas();
  EXPECT_TRUE(AcrescentaPerguntas("PERG:abc,1,0;"));
  const std::string bloco(1100, 'p');
  EXPECT_TRUE(AcrescentaPerguntas(bloco));
  EXPECT_FALSE(AcrescentaPerguntas(bloco)); // 13 + 2200 > 2048: cut
  EXPECT_FALSE(AcrescentaPerguntas("mais"));
  EXPECT_EQ(std::strlen(Perguntas), sizeof Perguntas - 1);
  EXPECT_EQ(std::string(Perguntas, 13), "PERG:abc,1,0;");
  ReiniciaStructPerguntas();
  ASSERT_EQ(Struct_Perguntas.size(), 1u);
  EXPECT_EQ(Struct_Perguntas[0].Tipo, 0);
}

// A screen with a button that opens a second one and buttons that end it either way.
class TTelaAbre : public TFrmMod {
public:
  explicit TTelaAbre(TComponent *AOwner, const char *nome = "FrmTeste") : TFrmMod(AOwner) {
    Name = nome;
    auto botao = [this](const char *nome, int ordem, TNotifyEvent clique) {
      auto *b = new TBitBtn(this);
      b->Name = nome;
      b->SetParent(this);
      b->TabOrder = ordem;
      b->OnClick = std::move(clique);
    };
    botao("btAbre", 0, [this](TObject *) {
      filho = nullptr;
      abriu = CriaExecutaFormCom(
          [] {
            auto *f = new TTelaAbre(Application, "FrmFilho");
            Application->FormCreated(f);
            return f;
          },
          this, filho);
    });
    botao("btOk", 1, [this](TObject *) { ModalResult = mrOk; });
    botao("btCancela", 2, [this](TObject *) { ModalResult = mrCancel; });
  }
  TTelaAbre *filho = reinterpret_cast<TTelaAbre *>(1);
  bool abriu = false;
};

TTelaAbre *TelaAbre = nullptr;

TEST_F(ChequeMainTest, CriaExecutaFormPassaOResultadoAoChamador) {
  struct Caso {
    const char *roteiro;
    int resultado, gravacoes;
  } casos[] = {
      // Completed inside: the caller closes as completed too, nobody saves here.
      {"click btAbre\nexpect-form FrmFilho\nclick btOk", mrOk, 0},
      // Abandoned inside: the caller gets the focus back and stays; abandoned in turn, the
      // entry point's screen has the store saved.
      {"click btAbre\nexpect-form FrmFilho\nclick btCancela\nexpect-form FrmTeste\n"
       "expect-focus btAbre\nclick btCancela",
       mrCancel, 1},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.roteiro);
    const size_t auditoria = Auditoria().size();
    const int gravacoes = host.SaveCount();
    int resultado = -1;
    bool criou = false, abriu = false;
    TTelaAbre *filho = nullptr;
    const TScriptRun r = Roda(
        [&] {
          criou = CriaExecutaFormCom(
              [&] {
                auto *t = Application->CreateForm<TTelaAbre>();
                t->OnClose = [&, t](TObject *) {
                  resultado = t->ModalResult;
                  abriu = t->abriu;
                  filho = t->filho;
                };
                return t;
              },
              nullptr, TelaAbre);
        },
        c.roteiro);
    EXPECT_EQ(r.error, "") << r.screen;
    EXPECT_TRUE(criou && abriu);
    EXPECT_EQ(filho, nullptr);
    EXPECT_EQ(TelaAbre, nullptr);
    EXPECT_EQ(resultado, c.resultado);
    EXPECT_EQ(AuditoriaDesde(auditoria),
              (std::vector<std::string>{"Criou: FrmTeste", "Criou: FrmFilho", "Destruiu: FrmFilho",
                                        "Destruiu: FrmTeste"}));
    EXPECT_EQ(host.SaveCount() - gravacoes, c.gravacoes);
  }
}

TEST_F(ChequeMainTest, TelaQueNaoPodeSerCriadaAvisaComONome) {
  TFrmMod *tela = nullptr;
  EXPECT_FALSE(CriaExecutaFormCom([]() -> TFrmMod * { return nullptr; }, nullptr, tela));
  EXPECT_FALSE(CriaExecutaFormCom([]() -> TFrmMod * { throw Exception("sem memoria para a tela"); },
                                  nullptr, tela));
  EXPECT_EQ(tela, nullptr);

  const TScriptRun r = Roda(
      [] { AbreTelaOuAvisa([](TForm *, const char *) { return false; }, nullptr, "FrmCon_Chq74"); },
      "expect-msgbox Erro ao criar o formulario FrmCon_Chq74\nok");
  EXPECT_EQ(r.error, "") << r.screen;
  ASSERT_EQ(r.Events("msgbox").size(), 1u);
  EXPECT_EQ(r.Events("msgbox")[0]["flags"], 0x40030);
  EXPECT_TRUE(Auditoria().empty());
  EXPECT_EQ(host.SaveCount() + host.CountOf("GravaCampoString"), 0);
}

} // namespace
