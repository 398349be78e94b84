// The exported entry points, CriaExecutaForm and the module-wide values.
#include <cstring>

#include "ModuloTeste.h"
#include "cheque/modulo.h"
#include "module/ChequeMain.h"
#include "platform/Transcript.h"
#include "screens/base/ModeloCheque.h"
#include "screens/menus/MenuCheque.h"

namespace {

constexpr TJanelaHost kJanelaHost = 0x7788;
constexpr uintptr_t kDonoAnterior = 0x1234;

class EntradaTest : public ModuloTeste {};

// ---- Refused operations ------------------------------------------------------------------

struct Recusa {
  const char *nome;
  void (*executa)(TJanelaHost, int32_t);
  int32_t operacao;
  int mensagem;
};

TEST_F(EntradaTest, OperacaoSemTelaInformaOPdvEnaoAbreTela) {
  Escreve("Cheque.ini", Secao("Rede", "habilitado=1\r\nCodigoTrn=72"));
  const Recusa casos[] = {
      {"ADM 2", ExecutaFuncaoADM, 2, 993},       {"ADM 0", ExecutaFuncaoADM, 0, 993},
      {"ADM 7", ExecutaFuncaoADM, 7, 993},       {"Generico 10", ExecutaGenerico, 10, 327},
      {"Generico 12", ExecutaGenerico, 12, 327}, {"Generico -1", ExecutaGenerico, -1, 327},
  };
  for (const Recusa &c : casos) {
    SCOPED_TRACE(c.nome);
    host.ClearCalls();
    const size_t errosAntes = host.PdvErrors().size();
    const TScriptRun r = Roda([&] { c.executa(kJanelaHost, c.operacao); }, "");
    EXPECT_EQ(r.error, "") << r.screen;
    ASSERT_EQ(host.PdvErrors().size(), errosAntes + 1);
    EXPECT_EQ(host.PdvErrors().back(),
              (std::pair<int, std::string>(255, "MSG " + std::to_string(c.mensagem))));
    EXPECT_TRUE(r.Events("form").empty());
    EXPECT_EQ(host.CountOf("VelkorGravaArquivo"), 0);
  }
  EXPECT_TRUE(Auditoria().empty());
}

TEST_F(EntradaTest, ConsultaSemSecaoHabilitadaInforma998) {
  struct Caso {
    const char *nome;
    const char *ini; // nullptr: no Cheque.ini at all
  } casos[] = {
      {"sem arquivo", nullptr},
      {"arquivo vazio", ""},
      {"valores diferentes de 1",
       "[A]\r\nhabilitado=0\r\n[B]\r\nhabilitado=2\r\n[C]\r\nhabilitado=-1\r\n"
       "[D]\r\nhabilitado=sim\r\n[E]\r\nCodigoTrn=70\r\n[F]\r\nhabilitado=01x\r\n"},
      {"habilitado em outra chave", "[A]\r\nhabilitada=1\r\n"},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    Apaga("Cheque.ini");
    if (c.ini) Escreve("Cheque.ini", c.ini);
    EXPECT_FALSE(VerificaConsultasHabilitadas());
    const size_t errosAntes = host.PdvErrors().size();
    const TScriptRun r = Roda([] { ExecutaConsultaCheque(kJanelaHost, 0); }, "");
    EXPECT_EQ(r.error, "") << r.screen;
    ASSERT_EQ(host.PdvErrors().size(), errosAntes + 1);
    EXPECT_EQ(host.PdvErrors().back().second, "MSG 998");
    EXPECT_TRUE(r.Events("form").empty());
  }
  EXPECT_TRUE(Auditoria().empty());

  // A later section with exactly 1 (blanks around the value do not matter) is enough.
  Escreve("Cheque.ini", "[A]\r\nhabilitado=0\r\n[B]\r\nhabilitado= 1 \r\n");
  EXPECT_TRUE(VerificaConsultasHabilitadas());
}

TEST_F(EntradaTest, VendaEPreAutorizacaoSoMostramAMensagem130) {
  for (auto executa : {ExecutaVenda, ExecutaPreAutorizacao}) {
    host.ClearCalls();
    Application->SetOwnerWindow(kDonoAnterior);
    const TScriptRun r = Roda([&] { executa(kJanelaHost, 11); }, "expect-msgbox MSG 130\nok");
    EXPECT_EQ(r.error, "") << r.screen;
    EXPECT_TRUE(r.scriptDone);
    const auto caixas = r.Events("msgbox");
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0]["flags"], 0x40030);
    EXPECT_EQ(caixas[0]["caption"], std::string(TITULO_APLICACAO));
    EXPECT_TRUE(r.Events("form").empty());
    EXPECT_TRUE(host.PdvErrors().empty());
    EXPECT_EQ(host.CountOf("VelkorGravaArquivo"), 0);
    EXPECT_EQ(Application->OwnerWindow(), kDonoAnterior);
  }
}

// ---- Screens of the entry points, the owner window ------------------------------------------

// Records the application's owner window whenever a screen is created.
class DonoNaCriacao {
public:
  DonoNaCriacao() {
    fId = Transcript().AddObserver([this](const TTranscript::Json &e) {
      if (e.value("ev", "") == "audit" && e.value("text", "").rfind("Criou: ", 0) == 0)
        donos.push_back(Application->OwnerWindow());
    });
  }
  ~DonoNaCriacao() { Transcript().RemoveObserver(fId); }
  std::vector<uintptr_t> donos;

private:
  int fId;
};

TEST_F(EntradaTest, TelasDasEntradasPertencemAJanelaDoHostEDevolvemODono) {
  Escreve("Cheque.ini", Secao("Rede", "habilitado=1\r\nCodigoTrn=72") +
                            Secao("Outra", "habilitado=1\r\nCodigoTrn=74"));
  struct Caso {
    const char *nome;
    std::function<void()> executa;
    const char *roteiro;
    const char *tela;
    int gravacoes;
  } casos[] = {
      {"ADM 1", [] { ExecutaFuncaoADM(kJanelaHost, 1); },
       "expect-form FrmGarVenez_Cnc\nclick btRetorna", "FrmGarVenez_Cnc", 1},
      {"ADM 6", [] { ExecutaFuncaoADM(kJanelaHost, 6); },
       "expect-form FrmCancGarantia_Mod\nclick btRetorna", "FrmCancGarantia_Mod", 1},
      {"consulta", [] { ExecutaConsultaCheque(kJanelaHost, 99); },
       "expect-form FrmRedes_Mnu\ntype 9", "FrmRedes_Mnu", 1},
      // A host without merchant data: the check saves its result, the entry point saves again.
      {"generico 11", [] { ExecutaGenerico(kJanelaHost, 11); }, "expect-msgbox MSG 1124\nok",
       "FrmObtemPar_Mod", 2},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    host.ClearCalls();
    const size_t auditoria = Auditoria().size();
    const int gravacoes = host.SaveCount();
    Application->SetOwnerWindow(kDonoAnterior);
    DonoNaCriacao dono;
    const TScriptRun r = Roda(c.executa, c.roteiro);
    EXPECT_EQ(r.error, "") << r.screen;
    EXPECT_TRUE(r.scriptDone);
    EXPECT_EQ(Application->OwnerWindow(), kDonoAnterior);
    ASSERT_EQ(dono.donos.size(), 1u);
    EXPECT_EQ(dono.donos[0], kJanelaHost);
    const std::vector<std::string> esperado = {std::string("Criou: ") + c.tela,
                                               std::string("Destruiu: ") + c.tela};
    EXPECT_EQ(std::vector<std::string>(Auditoria().begin() + long(auditoria), Auditoria().end()),
              esperado);
    EXPECT_EQ(host.SaveCount() - gravacoes, c.gravacoes);
    EXPECT_TRUE(host.PdvErrors().empty());
  }
  EXPECT_EQ(FrmRedes_Mnu, nullptr);
}

TEST_F(EntradaTest, ErroQueEncerraOUsoDesfazTelasEDevolveODono) {
  Escreve("Cheque.ini", Secao("Rede", "habilitado=1\r\nCodigoTrn=72\r\nopCmc7=2") +
                            Secao("Outra", "habilitado=1\r\nCodigoTrn=74"));
  Application->SetOwnerWindow(kDonoAnterior);
  // The operator script runs out inside the screen opened from the menu.
  const TScriptRun r =
      Roda([] { ExecutaConsultaCheque(kJanelaHost, 0); }, "type 1\nexpect-form FrmCon_Chq72");
  EXPECT_NE(r.error, "");
  EXPECT_EQ(Application->OwnerWindow(), kDonoAnterior);
  EXPECT_EQ(FrmRedes_Mnu, nullptr);
  EXPECT_EQ(Auditoria(),
            (std::vector<std::string>{"Criou: FrmRedes_Mnu", "Criou: FrmCon_Chq72",
                                      "Destruiu: FrmCon_Chq72", "Destruiu: FrmRedes_Mnu"}));
  EXPECT_EQ(host.SaveCount(), 0);

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
  EXPECT_EQ(Auditoria().back(), "Erro: entrada");
}

// ---- Version --------------------------------------------------------------------------------

TEST_F(EntradaTest, ObtemVersaoAntesEDepoisDaPrimeiraTela) {
  char versao[64], modulo[64];
  std::memset(versao, 'x', sizeof versao);
  std::memset(modulo, 'x', sizeof modulo);
  ObtemVersao(versao, modulo);
  EXPECT_STREQ(versao, "1.0.0.0");
  EXPECT_STREQ(modulo, "");
  EXPECT_STREQ(TITULO_APLICACAO, "");

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

  // Unloading forgets the version.
  Finalize();
  Initialize();
  ObtemVersao(versao, modulo);
  EXPECT_STREQ(modulo, "");
}

TEST_F(EntradaTest, TituloLongoCabeNoBufferDoTitulo) {
  const std::string longo(300, 'T');
  host.SetMessage(1821, longo);
  host.SetBuildInfo("9.9");
  TFrmMod *tela = Application->CreateForm<TFrmMod>();
  EXPECT_EQ(tela->lbVersao->Caption(), longo + "9.9");
  EXPECT_EQ(std::strlen(TITULO_APLICACAO), sizeof TITULO_APLICACAO - 1);
  EXPECT_EQ(std::string(TITULO_APLICACAO), longo.substr(0, sizeof TITULO_APLICACAO - 1));
  tela->Free();
}

// ---- Load and unload ---------------------------------------------------------------------

TEST_F(EntradaTest, FinalizeLiberaOsValoresDoModulo) {
  CodigoRede = "45";
  UtilizaCampoC1 = true;
  VERSAO_DO_MODULO = "1.2";
  Struct_Perguntas.resize(3);
  RespostasPerguntas.Cartao.resize(1);
  AcrescentaPerguntas("PERG:x,1,0;");
  ServicoX_ObtemParametros[1003] = 7;
  QualTransacao[3] = 72;

  Finalize();
  EXPECT_TRUE(CodigoRede.empty() && VERSAO_DO_MODULO.empty());
  EXPECT_FALSE(UtilizaCampoC1);
  EXPECT_EQ(Struct_Perguntas.capacity(), 0u);
  EXPECT_EQ(RespostasPerguntas.Cartao.capacity(), 0u);
  EXPECT_STREQ(Perguntas, "");
  EXPECT_EQ(ServicoX_ObtemParametros[1003], 0);
  EXPECT_EQ(QualTransacao[3], 0); // the units' values go too
  Initialize();
}

TEST_F(EntradaTest, PerguntasNuncaPassaDoBuffer) {
  LimpaPerguntas();
  EXPECT_TRUE(AcrescentaPerguntas("PERG:abc,1,0;"));
  const std::string bloco(1100, 'p');
  EXPECT_TRUE(AcrescentaPerguntas(bloco));
  EXPECT_FALSE(AcrescentaPerguntas(bloco)); // 13 + 2200 > 2048: cut
  EXPECT_EQ(std::strlen(Perguntas), sizeof Perguntas - 1);
  EXPECT_FALSE(AcrescentaPerguntas("mais"));
  EXPECT_EQ(std::strlen(Perguntas), sizeof Perguntas - 1);
  EXPECT_EQ(std::string(Perguntas, 13), "PERG:abc,1,0;");
  ReiniciaStructPerguntas();
  ASSERT_EQ(Struct_Perguntas.size(), 1u);
  EXPECT_EQ(Struct_Perguntas[0].Tipo, 0);
}

// ---- CriaExecutaForm -----------------------------------------------------------------------

// A screen with a button that opens a second one and buttons that end it either way.
class TTelaTeste : public TFrmMod {
public:
  explicit TTelaTeste(TComponent *AOwner, const char *nome = "FrmTeste") : TFrmMod(AOwner) {
    Name = nome;
    auto botao = [this](const char *nome, int ordem, TNotifyEvent clique) {
      auto *b = new TBitBtn(this);
      b->Name = nome;
      b->SetParent(this);
      b->TabOrder = ordem;
      b->SetCaption(nome);
      b->OnClick = std::move(clique);
      return b;
    };
    btAbre = botao("btAbre", 0, [this](TObject *) {
      filho = nullptr;
      abriu = CriaExecutaFormCom(
          [] {
            auto *f = new TTelaTeste(Application, "FrmFilho");
            Application->FormCreated(f);
            return f;
          },
          this, filho);
      filhoDepois = filho;
    });
    botao("btOk", 1, [this](TObject *) { ModalResult = mrOk; });
    botao("btCancela", 2, [this](TObject *) { ModalResult = mrCancel; });
  }
  TBitBtn *btAbre;
  TTelaTeste *filho = nullptr;
  TTelaTeste *filhoDepois = reinterpret_cast<TTelaTeste *>(1);
  bool abriu = false;
};

TTelaTeste *TelaTeste = nullptr;

TEST_F(EntradaTest, CriaExecutaFormPassaOResultadoAoChamador) {
  struct Caso {
    const char *roteiro;
    int resultado;
    std::vector<std::string> auditoria;
    int gravacoes;
  } casos[] = {
      // Completed inside: the caller closes as completed too, nobody saves here.
      {"click btAbre\nexpect-form FrmFilho\nclick btOk",
       mrOk,
       {"Criou: FrmTeste", "Criou: FrmFilho", "Destruiu: FrmFilho", "Destruiu: FrmTeste"},
       0},
      // Abandoned inside: the caller gets the focus back and stays; abandoned in turn, the
      // entry point's screen has the store saved.
      {"click btAbre\nexpect-form FrmFilho\nclick btCancela\nexpect-form FrmTeste\n"
       "expect-focus btAbre\nclick btCancela",
       mrCancel,
       {"Criou: FrmTeste", "Criou: FrmFilho", "Destruiu: FrmFilho", "Destruiu: FrmTeste"},
       1},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.roteiro);
    host.ClearCalls();
    const size_t auditoria = Auditoria().size();
    const int gravacoes = host.SaveCount();
    int resultado = -1;
    bool criou = false, abriu = false;
    TTelaTeste *filhoDepois = nullptr;
    const TScriptRun r = Roda(
        [&] {
          criou = CriaExecutaFormCom(
              [&] {
                auto *t = Application->CreateForm<TTelaTeste>();
                t->OnClose = [&, t](TObject *) {
                  resultado = t->ModalResult;
                  abriu = t->abriu;
                  filhoDepois = t->filhoDepois;
                };
                return t;
              },
              nullptr, TelaTeste);
        },
        c.roteiro);
    EXPECT_EQ(r.error, "") << r.screen;
    EXPECT_TRUE(criou);
    EXPECT_TRUE(abriu);
    EXPECT_EQ(filhoDepois, nullptr);
    EXPECT_EQ(TelaTeste, nullptr);
    EXPECT_EQ(resultado, c.resultado);
    EXPECT_EQ(std::vector<std::string>(Auditoria().begin() + long(auditoria), Auditoria().end()),
              c.auditoria);
    EXPECT_EQ(host.SaveCount() - gravacoes, c.gravacoes);
  }
}

TEST_F(EntradaTest, TelaQueNaoPodeSerCriadaAvisaComONome) {
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
  EXPECT_EQ(host.SaveCount(), 0);
  EXPECT_EQ(host.CountOf("GravaCampoString"), 0);
}

} // namespace
