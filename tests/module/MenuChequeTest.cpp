// The network and transaction menu, its dispatch and the choice of the entry mode.
#include "screens/menus/MenuCheque.h"
#include "ModuloTeste.h"
#include "cheque/modulo.h"
#include "module/ChequeMain.h"
#include "platform/Cp1252.h"
#include "platform/Transcript.h"
#include "screens/menus/MenuTipoDadosCheque.h"

namespace {

class MenuChequeTest : public ModuloTeste {
protected:
  // A menu created but not shown, as the screens opened from it see it.
  TFrmRedes_Mnu *CriaMenu() {
    FrmRedes_Mnu = Application->CreateForm<TFrmRedes_Mnu>();
    return FrmRedes_Mnu;
  }
  void LiberaMenu() {
    if (FrmRedes_Mnu) FrmRedes_Mnu->Free();
    FrmRedes_Mnu = nullptr;
  }
  void TearDown() override {
    LiberaMenu();
    ModuloTeste::TearDown();
  }
};

// Records the entry mode of the menu when each screen opened from it is created.
class ModoNaCriacao {
public:
  ModoNaCriacao() {
    fId = Transcript().AddObserver([this](const TTranscript::Json &e) {
      const std::string texto = e.value("text", "");
      if (e.value("ev", "") == "audit" && texto.rfind("Criou: ", 0) == 0 &&
          texto != "Criou: FrmRedes_Mnu" && FrmRedes_Mnu)
        modos.emplace_back(texto.substr(7), FrmRedes_Mnu->TipoEntrada);
    });
  }
  ~ModoNaCriacao() { Transcript().RemoveObserver(fId); }
  std::vector<std::pair<std::string, int>> modos;

private:
  int fId;
};

TEST_F(MenuChequeTest, OpcoesSaoAsSecoesHabilitadasNaOrdemDoArquivo) {
  std::string ini;
  for (int i = 1; i <= 10; ++i) {
    // A disabled section before every enabled one must not leave a gap.
    ini += Secao("Desligada " + std::to_string(i), "habilitado=0\r\nCodigoTrn=99");
    ini += Secao("  Rede " + std::to_string(i) + " ",
                 "habilitado=1\r\nCodigoTrn=" + std::to_string(70 + i) + "\r\nTipoFuncao=" +
                     std::to_string(i) + "\r\nCodigoRede=" + std::to_string(100 + i));
  }
  Escreve("Cheque.ini", ini);
  TFrmRedes_Mnu *menu = CriaMenu();
  menu->TipoEntrada = 2;
  menu->IniciaFormularioMenu();
  EXPECT_EQ(menu->TipoEntrada, 0);
  EXPECT_EQ(menu->lbTitulo->Caption(), "MSG 456");
  EXPECT_TRUE(menu->spEncerra->Visible());
  EXPECT_EQ(menu->spEncerra->Caption(), "&9 - Encerra");
  for (int n = 1; n <= 8; ++n) {
    SCOPED_TRACE(n);
    EXPECT_TRUE(menu->Opcao(n)->Visible());
    EXPECT_EQ(menu->Opcao(n)->Caption(), "&" + std::to_string(n) + " - Rede " + std::to_string(n));
    EXPECT_EQ(QualTransacao[n], 70 + n);
    EXPECT_EQ(TipoFuncao[n], n);
    EXPECT_EQ(aCodRede[n], 100 + n);
  }
  EXPECT_EQ(menu->pnMenu->Width, 280);
  EXPECT_EQ(menu->spOpcao1->Width, 277);
}

TEST_F(MenuChequeTest, MenosSecoesDeixamAsOutrasOpcoesEscondidas) {
  Escreve("Cheque.ini", Secao("A", "habilitado=1") + Secao("B", "habilitado=0") +
                            Secao("C", "habilitado=1") + Secao("D", "habilitado=2"));
  TFrmRedes_Mnu *menu = CriaMenu();
  menu->IniciaFormularioMenu();
  EXPECT_EQ(menu->spOpcao1->Caption(), "&1 - A");
  EXPECT_EQ(menu->spOpcao2->Caption(), "&2 - C");
  EXPECT_TRUE(menu->spOpcao1->Visible() && menu->spOpcao2->Visible());
  for (int n = 3; n <= 8; ++n) EXPECT_FALSE(menu->Opcao(n)->Visible()) << n;
}

TEST_F(MenuChequeTest, EncerraTerminaComoConcluidoEGravaOArquivo) {
  Escreve("Cheque.ini",
          Secao("A", "habilitado=1\r\nCodigoTrn=72") + Secao("B", "habilitado=1\r\nCodigoTrn=74"));
  const TScriptRun r =
      Roda([] { ExecutaConsultaCheque(1, 0); }, "expect-form FrmRedes_Mnu\nexpect-focus spOpcao1\n"
                                                "expect-text lbMensagem MSG 21\nclick spEncerra");
  EXPECT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(Formularios(r, "close"), std::vector<std::string>{"FrmRedes_Mnu"});
  ASSERT_EQ(Resultado(r, "FrmRedes_Mnu"), mrOk);
  EXPECT_EQ(host.SaveCount(), 1);
  EXPECT_TRUE(host.PdvErrors().empty());
}

TEST_F(MenuChequeTest, OpcaoUnicaAbreSuaTelaSozinha) {
  Escreve("Cheque.ini", Secao("Desligada", "habilitado=0") +
                            Secao(" Unica ", "habilitado=1\r\nCodigoTrn=72\r\nopCmc7=2"));
  // The screen opens with no key typed; abandoned, the menu comes back, still with its
  // single option, and opens it again.
  const TScriptRun r =
      Roda([] { ExecutaConsultaCheque(1, 0); },
           "expect-form FrmCon_Chq72\nclick btRetorna\nexpect-form FrmCon_Chq72\nclick btRetorna");
  // The script ends while the menu keeps reopening its single option.
  EXPECT_NE(r.error, "");
  EXPECT_TRUE(r.scriptDone);
  const auto criados = Formularios(r, "create");
  ASSERT_GE(criados.size(), 3u);
  EXPECT_EQ(criados[0], "FrmRedes_Mnu");
  EXPECT_EQ(criados[1], "FrmCon_Chq72");
  EXPECT_EQ(criados[2], "FrmCon_Chq72");
  int64_t mostrou = -1, abriu = -1;
  for (const auto &e : r.Events("form")) {
    if (e["what"] == "show" && e["form"] == "FrmRedes_Mnu" && mostrou < 0) mostrou = e["t"];
    if (e["what"] == "create" && e["form"] == "FrmCon_Chq72" && abriu < 0) abriu = e["t"];
  }
  EXPECT_EQ(abriu - mostrou, 10);
  EXPECT_EQ(r.Events("input").front()["action"], "click btRetorna");
  // Every screen that was created was destroyed.
  EXPECT_EQ(ContaAuditoria("Criou: FrmCon_Chq72"), ContaAuditoria("Destruiu: FrmCon_Chq72"));
  EXPECT_EQ(ContaAuditoria("Destruiu: FrmRedes_Mnu"), 1);
  EXPECT_EQ(Transacao, 1);
  EXPECT_EQ(FrmRedes_Mnu, nullptr);
}

TEST_F(MenuChequeTest, TabelaDeTelasPorCodigoFuncaoERede) {
  struct Caso {
    int codigo, funcao, rede;
    const char *tela; // "" = none
  } casos[] = {
      {70, 7, 96, "FrmGarVenez_Cnc"},
      {70, 7, 95, "FrmCancGarantia_Mod"},
      {70, 7, 0, "FrmCancGarantia_Mod"},
      {70, 2, 96, "FrmCon_Gar"},
      {70, 9, 0, "FrmCon_ConSeq"},
      {70, 1, 96, "FrmCon_Con"},
      {70, 0, 0, "FrmCon_Con"},
      {70, 8, 45, "FrmCon_Con"},
      {72, 0, 0, "FrmCon_Chq72"},
      {72, 7, 96, "FrmCon_Chq72"},
      {74, 3, 0, "FrmCon_Chq74"},
      {78, 1, 0, "FrmCon_Chq78"},
      {124, 1, 0, "FrmCon_Chq7C"},
      {124, 2, 0, "FrmGarChq_7C"},
      {124, 3, 96, "FrmGarChq7C_Cnc"},
      {124, 0, 0, ""},
      {124, 4, 0, ""},
      {124, 7, 96, ""},
      {240, 0, 0, "FrmCon_ChqF0"},
      {240, 9, 0, "FrmCon_ChqF0"},
      {0, 0, 0, ""},
      {71, 1, 0, ""},
      {0x7C, 1, 0, "FrmCon_Chq7C"},
      {0xF0, 1, 0, "FrmCon_ChqF0"},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(std::to_string(c.codigo) + "/" + std::to_string(c.funcao) + "/" +
                 std::to_string(c.rede));
    const TTelaMenu *t = ProcuraTelaMenu(c.codigo, c.funcao, c.rede);
    EXPECT_EQ(t ? std::string(t->nomeForm) : std::string(), c.tela);
  }
}

TEST_F(MenuChequeTest, MenuAbreATelaDoCodigoFuncaoERedeDaOpcao) {
  Escreve("Cheque.ini",
          Secao("Cancela Venezuela", "habilitado=1\r\nCodigoTrn=70\r\nTipoFuncao=7\r\n"
                                     "CodigoRede=96\r\nopCmc7=2\r\nopBanco=2") +
              Secao("Cancela", "habilitado=1\r\nCodigoTrn=70\r\nTipoFuncao=7\r\n"
                               "CodigoRede=95\r\nopCmc7=2\r\nopBanco=2") +
              Secao("Sem tela", "habilitado=1\r\nCodigoTrn=124\r\nTipoFuncao=4\r\n"
                                "opCmc7=2\r\nopBanco=2"));
  const TScriptRun r = Roda([] { ExecutaConsultaCheque(1, 0); },
                            "type 1\nexpect-form FrmGarVenez_Cnc\nclick btRetorna\n"
                            "expect-form FrmRedes_Mnu\nexpect-focus spOpcao1\n"
                            "type 2\nexpect-form FrmCancGarantia_Mod\nclick btRetorna\n"
                            // Nothing serves the third option: the menu stays and waits.
                            "type 3\nexpect-form FrmRedes_Mnu\nexpect-focus spOpcao1\n"
                            "type 9");
  EXPECT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(Auditoria(),
            (std::vector<std::string>{"Criou: FrmRedes_Mnu", "Criou: FrmGarVenez_Cnc",
                                      "Destruiu: FrmGarVenez_Cnc", "Criou: FrmCancGarantia_Mod",
                                      "Destruiu: FrmCancGarantia_Mod", "Destruiu: FrmRedes_Mnu"}));
  EXPECT_EQ(Transacao, 3);
  EXPECT_EQ(QualTransacao[3], 124);
  // Screens abandoned inside the menu are not the entry point's: only "Encerra" saves.
  EXPECT_EQ(host.SaveCount(), 1);
  EXPECT_TRUE(host.PdvErrors().empty());
}

// ---- Entry mode ------------------------------------------------------------------------------

struct CasoModo {
  const char *opCmc7, *opBanco; // nullptr: key absent
  const char *cmc7, *banco;     // Cliente.ini; nullptr: key absent
  const char *campo1005, *campo1029;
  int modo; // -1: the operator is asked
};

TEST_F(MenuChequeTest, ModoDeEntradaPelaConfiguracaoEPeloQueOHostTem) {
  const char *nao = CP1252("não");
  const CasoModo casos[] = {
      // Both ways allowed: what the host holds decides, the CMC-7 line first.
      {"0", "0", nullptr, nullptr, "", "", -1},
      {"0", "0", nullptr, nullptr, "", "341", 1},
      {"0", "0", nullptr, nullptr, "<34100>", "", 2},
      {"0", "0", nullptr, nullptr, "<34100>", "341", 2},
      {nullptr, nullptr, nullptr, nullptr, "", "", -1},
      {"x", "0", nullptr, nullptr, "", "341", 1}, // not a number: the default 0
      // One way only: never asked, whatever the host holds.
      {"0", "2", nullptr, nullptr, "", "341", 2},
      {"2", "0", nullptr, nullptr, "<34100>", "", 1},
      {"0", "1", nullptr, "Nao", "", "341", 2},
      {"1", "0", "NAO", nullptr, "<34100>", "", 1},
      {"3", "0", nullptr, nullptr, "<34100>", "", 1},
      {"0", "-1", nullptr, nullptr, "", "", 2},
      // The shop's choices, in any case; a missing key means "Sim".
      {"1", "1", "Sim", "sim", "", "", -1},
      {"1", "1", nullptr, nullptr, "", "341", 1},
      {"1", "1", "sIm", nao, "", "341", 2},
      {"1", "1", "Nao", "SIM", "<34100>", "", 1},
      {"1", "1", "S", "S", "<34100>", "341", 0},
      // Neither way: mode 0, nothing asked.
      {"2", "2", nullptr, nullptr, "<34100>", "341", 0},
      {"1", "2", nao, nullptr, "", "", 0},
      {"2", "1", nullptr, "nada", "", "", 0},
  };
  for (const CasoModo &c : casos) {
    const std::string nome = std::string(c.opCmc7 ? c.opCmc7 : "-") + "/" +
                             (c.opBanco ? c.opBanco : "-") + " " + (c.cmc7 ? c.cmc7 : "-") + "/" +
                             (c.banco ? c.banco : "-") + " [" + c.campo1005 + "][" + c.campo1029 +
                             "]";
    SCOPED_TRACE(nome);
    std::string chaves = "habilitado=1";
    if (c.opCmc7) chaves += std::string("\r\nopCmc7=") + c.opCmc7;
    if (c.opBanco) chaves += std::string("\r\nopBanco=") + c.opBanco;
    Escreve("Cheque.ini", Secao("Rede X", chaves));
    std::string cliente;
    if (c.cmc7) cliente += std::string("Cmc7=") + c.cmc7 + "\r\n";
    if (c.banco) cliente += std::string("Banco=") + c.banco + "\r\n";
    Escreve("Cliente.ini", Secao("Outra", "Cmc7=Nao\r\nBanco=Nao") + Secao("Rede X", cliente));
    host.Store().clear();
    if (*c.campo1005) host.Set(1005, 0, c.campo1005);
    if (*c.campo1029) host.Set(1029, 0, c.campo1029);

    TFrmRedes_Mnu *menu = CriaMenu();
    menu->SecaoConfiguracao = "Rede X";
    menu->TipoEntrada = 7;
    const size_t auditoria = Auditoria().size();
    bool segue = false;
    if (c.modo >= 0) {
      segue = menu->VerificaSelecionaPrimeiraLinhaCheque_CMC7();
      EXPECT_EQ(menu->TipoEntrada, c.modo);
      EXPECT_EQ(Auditoria().size(), auditoria); // no screen asked anything
    } else {
      const TScriptRun r = Roda([&] { segue = menu->VerificaSelecionaPrimeiraLinhaCheque_CMC7(); },
                                "expect-form FrmSelTipoDadosChq_Mnu\nclick spOpcao2");
      EXPECT_EQ(r.error, "") << r.screen;
      EXPECT_EQ(menu->TipoEntrada, 2);
      EXPECT_EQ(std::vector<std::string>(Auditoria().begin() + long(auditoria), Auditoria().end()),
                (std::vector<std::string>{"Criou: FrmSelTipoDadosChq_Mnu",
                                          "Destruiu: FrmSelTipoDadosChq_Mnu"}));
    }
    EXPECT_TRUE(segue);
    EXPECT_EQ(menu->ModalResult, mrNone);
    LiberaMenu();
  }
}

TEST_F(MenuChequeTest, MenuDoTipoDeDadosDefineOModoOuEncerraOMenuDeRedes) {
  Escreve("Cheque.ini", Secao("Rede", "habilitado=1"));
  struct Caso {
    const char *roteiro;
    bool segue;
    int modo;
    int resultadoRedes;
    int gravacoes;
  } casos[] = {
      {"expect-focus spOpcao1\ntype 1", true, 1, mrNone, 0},
      {"key Down\nkey Enter", true, 2, mrNone, 0},
      // Closing it chooses nothing: the entry mode stays, the network menu ends completed.
      {"type 9", false, 5, mrOk, 1},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.roteiro);
    TFrmRedes_Mnu *menu = CriaMenu();
    menu->SecaoConfiguracao = "Rede";
    menu->TipoEntrada = 5;
    const int gravacoes = host.SaveCount();
    bool segue = !c.segue;
    std::string op1, op2;
    host.SetMessage(1173, "Primeira linha");
    host.SetMessage(1174, "Leitura CMC-7");
    const TScriptRun r = Roda([&] { segue = menu->VerificaSelecionaPrimeiraLinhaCheque_CMC7(); },
                              "expect-form FrmSelTipoDadosChq_Mnu\nexpect-text spOpcao1 &1 - "
                              "Primeira linha\nexpect-text spOpcao2 &2 - Leitura CMC-7\n" +
                                  std::string(c.roteiro));
    EXPECT_EQ(r.error, "") << r.screen;
    EXPECT_EQ(segue, c.segue);
    EXPECT_EQ(menu->TipoEntrada, c.modo);
    EXPECT_EQ(menu->ModalResult, c.resultadoRedes);
    EXPECT_EQ(host.SaveCount() - gravacoes, c.gravacoes);
    LiberaMenu();
  }
}

TEST_F(MenuChequeTest, ModoEscolhidoChegaATelaAberta) {
  // Two options, so that the menu waits; the first allows both ways and the host holds no
  // line, so the operator is asked.
  Escreve("Cheque.ini", Secao("Rede 72", "habilitado=1\r\nCodigoTrn=72\r\nopCmc7=0\r\nopBanco=0") +
                            Secao("Rede 74", "habilitado=1\r\nCodigoTrn=74\r\nopCmc7=2\r\n"
                                             "opBanco=0"));
  ModoNaCriacao modo;
  const TScriptRun r = Roda([] { ExecutaConsultaCheque(1, 0); },
                            "type 1\nexpect-form FrmSelTipoDadosChq_Mnu\ntype 2\n"
                            "expect-form FrmCon_Chq72\nclick btRetorna\n"
                            "type 1\nexpect-form FrmSelTipoDadosChq_Mnu\ntype 1\n"
                            "expect-form FrmCon_Chq72\nclick btRetorna\n"
                            "type 2\nexpect-form FrmCon_Chq74\nclick btRetorna\n"
                            "type 9");
  EXPECT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(modo.modos, (std::vector<std::pair<std::string, int>>{
                            {"FrmSelTipoDadosChq_Mnu", 0},
                            {"FrmCon_Chq72", 2},
                            {"FrmSelTipoDadosChq_Mnu", 0},
                            {"FrmCon_Chq72", 1},
                            {"FrmCon_Chq74", 1},
                        }));
  EXPECT_EQ(FrmRedes_Mnu, nullptr);
}

TEST_F(MenuChequeTest, CancelarOTipoDeDadosEncerraOMenuSemAbrirTela) {
  Escreve("Cheque.ini", Secao("Rede", "habilitado=1\r\nCodigoTrn=72"));
  const TScriptRun r =
      Roda([] { ExecutaConsultaCheque(1, 0); }, "expect-form FrmSelTipoDadosChq_Mnu\ntype 9");
  EXPECT_EQ(r.error, "") << r.screen;
  EXPECT_TRUE(r.scriptDone);
  EXPECT_EQ(ContaAuditoria("Criou: FrmCon_Chq72"), 0);
  EXPECT_EQ(Formularios(r, "close"),
            (std::vector<std::string>{"FrmSelTipoDadosChq_Mnu", "FrmRedes_Mnu"}));
  EXPECT_EQ(Resultado(r, "FrmRedes_Mnu"), mrOk);
  EXPECT_EQ(host.SaveCount(), 1);
}

} // namespace
