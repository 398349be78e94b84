// The exported entry points, opening screens and the module-wide values.
#include <cstring>

#include "ModuloTeste.h"
#include "cheque/modulo.h"
#include "module/ChequeMain.h"
#include "module/DadosPessoais.h"
#include "screens/base/ModeloCheque.h"
#include "screens/cancelamento/CancelamentoGarantiaVenezuela.h"
#include "screens/cancelamento/CancelamentoTrnGarantia.h"
#include "screens/menus/MenuCheque.h"

namespace {

constexpr TJanelaHost kJanelaHost = 0x7788;
constexpr uintptr_t kDonoAnterior = 0x1234;

class ChequeMainTest : public ModuloTeste {};

TEST_F(ChequeMainTest, EntradaQuebradaDesfazTelasEDevolveODono) {
  Escreve("Cheque.ini", Secao("Rede", "habilitado=1\r\nCodigoTrn=72\r\nopCmc7=2") +
                            Secao("Outra", "habilitado=1\r\nCodigoTrn=74\r\nopCmc7=2"));
  Application->SetOwnerWindow(kDonoAnterior);
  // Leaving a screen opened from the menu gives the menu the focus back; a script that runs out
  // inside the next screen closes every screen as not completed: the chain unwinds through
  // its saves and the call returns.
  const TScriptRun r = Roda([] { ExecutaConsultaCheque(kJanelaHost, 0); },
                            "key Tab\nkey Enter\nexpect-form FrmCon_Chq74\nclick btRetorna\n"
                            "expect-form FrmRedes_Mnu\nexpect-focus spOpcao1\ntype 1\n"
                            "expect-form FrmCon_Chq72");
  EXPECT_NE(r.error.find("ended after line 8 while form FrmCon_Chq72"), std::string::npos);
  EXPECT_EQ(FrmRedes_Mnu, nullptr);
  EXPECT_EQ(host.SaveCount(), 1);
  EXPECT_EQ(host.AuditLines().back(),
            "Encerrada sem o operador: " + r.error.substr(0, r.error.find('\n')));

  // Every export, with its operator gone in each way: the program closing (the keyboard says
  // so), an input that breaks in an unexpected way (a terminal gone wrong), and no operator at
  // all (a script named that cannot be read). Nothing crosses into the host, the screens are
  // undone, the owner comes back, the store is saved as when the first screen is abandoned.
  struct TEntrada : TInputSource {
    bool fechando = false;
    bool Next(TOperatorAction &, int64_t) override {
      if (fechando) throw EScriptFailure("the program is closing");
      throw std::runtime_error("entrada");
    }
    int64_t Now() const override { return 0; }
  } entrada;
  struct Caso {
    void (*chama)();
    int salvamentos;
  };
  const Caso chamadas[] = {
      {[] { ExecutaConsultaCheque(kJanelaHost, 0); }, 1},
      {[] { ExecutaFuncaoADM(kJanelaHost, 6); }, 1},
      {[] { ExecutaFuncaoADM(kJanelaHost, 1); }, 1},
      {[] { ExecutaVenda(kJanelaHost, 0); }, 0},
  };
  const std::string semRoteiro = std::string(CHEQUE_BIN_DIR) + "/nada.script";
  for (const Caso &c : chamadas) {
    for (int modo = 0; modo < 3; ++modo) {
      SCOPED_TRACE(std::to_string(&c - chamadas) + "/" + std::to_string(modo));
      const int salvos = host.SaveCount();
      const size_t erros = host.PdvErrors().size();
      entrada.fechando = modo == 0;
      Application->SetInputSource(&entrada);
      if (modo == 2) setenv("CHEQUE_ROTEIRO", semRoteiro.c_str(), 1);
      EXPECT_NO_THROW(c.chama());
      unsetenv("CHEQUE_ROTEIRO");
      Application->SetInputSource(nullptr);
      EXPECT_EQ(Application->OwnerWindow(), kDonoAnterior);
      EXPECT_TRUE(FrmRedes_Mnu == nullptr && FrmCancGarantia_Mod == nullptr &&
                  FrmGarVenez_Cnc == nullptr);
      EXPECT_EQ(host.SaveCount() - salvos, c.salvamentos);
      const std::string ultima = host.AuditLines().empty() ? "" : host.AuditLines().back();
      const char *esperada[] = {"Encerrada sem o operador: the program is closing", "Erro: entrada",
                                "Encerrada sem o operador: "};
      EXPECT_TRUE(ultima.starts_with(esperada[modo])) << ultima;
      ASSERT_EQ(host.PdvErrors().size() - erros, modo == 2 ? 1u : 0u);
      if (modo == 2) {
        EXPECT_EQ(host.PdvErrors().back().first, 255);
        EXPECT_NE(host.PdvErrors().back().second.find(semRoteiro), std::string::npos);
        // What a host with its own copy of the form layer reads back: line, done, reason.
        EXPECT_STREQ(getenv("CHEQUE_ROTEIRO_RELATO"),
                     ("0 0 " + semRoteiro + ": not a readable operator script").c_str());
      }
    }
  }
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
  EXPECT_EQ(host.CallsOf("GetBuildInfo").at(0).args[0], NomeArquivoModulo());
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
  EXPECT_TRUE(host.AuditLines().empty());
  EXPECT_EQ(host.SaveCount() + host.CountOf("GravaCampoString"), 0);
}

} // namespace

// The module's buffers as the logs show them (the 0x04 form and the identity document go through
// the end-to-end cancellations): the ';' cheque-data text as field 10167 is masked, the account
// after its tag, the answers of the questions; other tags, short codes and the shape stay.
TEST(DadosPessoais, BuffersMascaradosComoOsCampos) {
  const std::pair<std::string, std::string> casos[] = {
      {";341;0123;456789;1;0001;5", ";***;****;******;*;*001;5"},
      {"CHQ1:12345;6", "CHQ1:*****;*"},
      {"PERG:Nome da mae,MARIA,1;PERG:Ano,1970,2;", "PERG:Nome da mae,*****,1;PERG:Ano,****,2;"},
      {"CHQ11:005", "CHQ11:005"},
  };
  for (const auto &[texto, mascarado] : casos) EXPECT_EQ(MascaraBuffer(texto), mascarado);
}
