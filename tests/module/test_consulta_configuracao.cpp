// The consultation screen's configuration and what it pre-fills and locks from the host's
// fields.
#include "test_consulta_util.h"

#include "platform/Cp1252.h"
#include "screens/consulta/Cons70ChequeGarantia.h"

namespace {

using namespace ConsultaChequeTrnCheque;

class ConfiguracaoTest : public ConsultaTeste {
protected:
  // A screen initialised as if shown, without running it.
  TFrmCon_Con *Inicia() {
    tela = Application->CreateForm<TFrmCon_Con>();
    tela->IniciaCamposForm();
    return tela;
  }
  void TearDown() override {
    if (tela) tela->Free();
    ConsultaTeste::TearDown();
  }
  TFrmCon_Con *tela = nullptr;
};

TEST_F(ConfiguracaoTest, SecaoAusenteDaOsPadroes) {
  Escreve("Cheque.ini", Secao("Outra", "habilitado=1\r\nCodigoRede=33\r\nopBanco=1"));
  Menu(1);
  Inicia();
  EXPECT_EQ(CodigoTrn, 70);
  EXPECT_EQ(sTipoFuncao, "1");
  EXPECT_EQ(TipoConsulta, "1");
  EXPECT_EQ(ConsultarBin, 0);
  EXPECT_EQ(CodigoRede, "");
  EXPECT_EQ(sReservado, "");
  EXPECT_EQ(TipoEntChqManual, "2");
  EXPECT_FALSE(ColetaQtdChq || UtilizaCampoC1 || UtilizaCampoC2 || NaoUtilizaCampoC3 ||
               UtilizaCampoCodOperador);
  EXPECT_EQ(opDemoPrazos, 1);

  // Compensation code off; everything else on (the shop-decided items default to "Sim").
  EXPECT_FALSE(tela->edCompensacao->Enabled());
  EXPECT_FALSE(tela->lbCompensacao->Enabled());
  for (TControl *c : std::initializer_list<TControl *>{
           tela->edBanco, tela->edAgencia, tela->edConta, tela->edDigito, tela->edCheque,
           tela->edC3, tela->edData, tela->edTipoDoc, tela->edCPFCGC, tela->edCMC7,
           tela->edTelefone, tela->edDDD, tela->edCodArea, tela->edRG, tela->edFacilitador,
           tela->edAberturaCC, tela->edEmitente, tela->edDtNascimento})
    EXPECT_TRUE(c->Enabled()) << c->Name;
  struct Tamanho {
    TCustomEdit *e;
    int maximo;
  } tamanhos[] = {{tela->edCompensacao, 3}, {tela->edBanco, 3},        {tela->edAgencia, 4},
                  {tela->edConta, 9},       {tela->edDigito, 1},       {tela->edCheque, 6},
                  {tela->edEmitente, 50},   {tela->edRG, 9},           {tela->edTelefone, 8},
                  {tela->edDDD, 4},         {tela->edFacilitador, 15}, {tela->edC1, 1}};
  for (const Tamanho &t : tamanhos) EXPECT_EQ(t.e->MaxLength, t.maximo) << t.e->Name;
  for (TControl *c :
       std::initializer_list<TControl *>{tela->edC1, tela->lbC1, tela->edC2, tela->lbC2, tela->edC3,
                                         tela->lbC3, tela->edQtdChq, tela->lbQtdChq})
    EXPECT_FALSE(c->Visible()) << c->Name;
  EXPECT_TRUE(tela->pnDadosCheque->Visible());
  EXPECT_FALSE(tela->pnCMC7->Visible());
}

TEST_F(ConfiguracaoTest, ValoresLidosDoChequeIni) {
  Configura("CodigoTrn=0x7C\r\nTipoFuncao=9\r\nCodigoRede=45\r\nConsultarBin=1\r\n"
            "ColetaQtdChq=2\r\nTipoEntChqManual=3\r\nUtilizaCampoC1=1\r\nUtilizaCampoC2=-1\r\n"
            "TipoSaida=7\r\ntmConta=8\r\ntmDigito=2\r\ntmBanco=abc\r\n");
  Menu(1);
  Inicia();
  EXPECT_EQ(CodigoTrn, 0x7C);
  EXPECT_EQ(sTipoFuncao, "9");
  EXPECT_EQ(CodigoRede, "45");
  EXPECT_EQ(sReservado, "45"); // no Reservado key: the network code
  EXPECT_EQ(ConsultarBin, 1);
  EXPECT_TRUE(ColetaQtdChq && UtilizaCampoC1 && UtilizaCampoC2);
  EXPECT_EQ(TipoEntChqManual, "3");
  EXPECT_EQ(sTipoSaida, "7");
  EXPECT_EQ(tela->edConta->MaxLength, 6); // the configured length includes the digit
  EXPECT_EQ(tela->edBanco->MaxLength, 3); // not a number: the default
  EXPECT_TRUE(tela->edC1->Visible() && tela->edC2->Visible());

  Configura("CodigoRede=10\r\nReservado=99\r\ntmConta=1\r\ntmDigito=1\r\n");
  Menu(1);
  tela->IniciaCamposForm();
  EXPECT_EQ(sReservado, "99");
  EXPECT_EQ(tela->edConta->MaxLength, 0); // no limit
}

TEST_F(ConfiguracaoTest, TamanhoDoChequeDecideOC3) {
  struct Caso {
    const char *chaves;
    int maximo;
    bool visivel, habilitado;
  } casos[] = {
      {"tmCheque=7", 6, true, true},
      {"tmCheque=6", 6, false, true},
      {"tmCheque=8\r\nNaoUtilizaCampoC3=1", 7, true, false},
      {"tmCheque=7\r\nopCheque=1", 6, true, false},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.chaves);
    Configura(c.chaves);
    Menu(1);
    if (!tela) tela = Application->CreateForm<TFrmCon_Con>();
    tela->IniciaCamposForm();
    EXPECT_EQ(tela->edCheque->MaxLength, c.maximo);
    EXPECT_EQ(tela->edC3->Visible(), c.visivel);
    EXPECT_EQ(tela->lbC3->Visible(), c.visivel);
    EXPECT_EQ(tela->edC3->Enabled(), c.habilitado);
    EXPECT_EQ(tela->lbC3->Enabled(), c.habilitado);
  }
}

TEST_F(ConfiguracaoTest, SoNaoEmQualquerCaixaDesligaOItemDoCliente) {
  struct Caso {
    std::string valor;
    bool habilitado;
  } casos[] = {
      {"NAO", false},        {"nao", false}, {"Nao", false}, {"nAo", false}, {"N", true},
      {CP1252("Não"), true}, {"Sim", true},  {"", true},     {"NAO ", false}}; // values are trimmed
                                                                               // when read
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.valor);
    Configura("opEmitente=2\r\nopRG=0\r\nopNascto=3", "Emitente=" + c.valor + "\r\nRG=NAO");
    Menu(1);
    if (!tela) tela = Application->CreateForm<TFrmCon_Con>();
    tela->edDtNascimento->SetEnabled(false);
    tela->IniciaCamposForm();
    EXPECT_EQ(tela->edEmitente->Enabled(), c.habilitado);
    EXPECT_EQ(tela->lbEmitente->Enabled(), c.habilitado);
    EXPECT_TRUE(tela->edRG->Enabled());            // option 0 does not ask the shop
    EXPECT_FALSE(tela->edDtNascimento->Enabled()); // an unknown option leaves it as it was
  }
}

TEST_F(ConfiguracaoTest, QuantidadeDeCheques) {
  Configura("ColetaQtdChq=1");
  Menu(1);
  host.Set(1046, 0, "3");
  Inicia();
  EXPECT_TRUE(tela->edQtdChq->Visible());
  EXPECT_TRUE(tela->lbQtdChq->Visible());
  EXPECT_EQ(tela->edQtdChq->Text(), "3");
  EXPECT_TRUE(tela->edQtdChq->ReadOnly);

  host.Store().erase({1046, 0});
  tela->Free();
  Inicia();
  EXPECT_EQ(tela->edQtdChq->Text(), "1");
  EXPECT_FALSE(tela->edQtdChq->ReadOnly);
  EXPECT_TRUE(tela->edQtdChq->Enabled());
}

TEST_F(ConfiguracaoTest, PreencheETravaOQueOHostForneceu) {
  Configura("UtilizaCampoC1=1\r\nUtilizaCampoC2=1\r\nColetaQtdChq=1");
  Menu(1);
  host.Set(1029, 0, "001");
  host.Set(1030, 0, "0023");
  host.Set(1032, 0, "456");
  host.Set(1031, 0, "7");
  host.Set(1257, 0, "8");
  host.Set(1003, 0, "1.234,56");
  Inicia();
  for (TEdit *e : {tela->edBanco, tela->edAgencia, tela->edConta, tela->edC1, tela->edC2}) {
    EXPECT_FALSE(e->Enabled()) << e->Name;
  }
  EXPECT_EQ(tela->edBanco->Text(), "001");
  EXPECT_EQ(tela->edAgencia->Text(), "0023");
  EXPECT_EQ(tela->edConta->Text(), "456");
  EXPECT_EQ(tela->edC1->Text(), "7");
  EXPECT_EQ(tela->edC2->Text(), "8");
  EXPECT_TRUE(tela->edDigito->Enabled()); // field 1033 absent
  EXPECT_EQ(tela->edDigito->Text(), "");
  EXPECT_FALSE(tela->edQtdChq->Enabled()); // a bank from the host means one cheque
  EXPECT_TRUE(tela->edCheque->Enabled());
  EXPECT_EQ(tela->edValor->Text(), "1234,56");
  EXPECT_FALSE(tela->edValor->Enabled());
}

TEST_F(ConfiguracaoTest, DataDoCheque) {
  struct Caso {
    const char *campo; // nullptr: field 1008 absent
    const char *chaves;
    std::string texto;
    bool habilitado;
  } casos[] = {
      {nullptr, "", "15/06/2024", true},
      {"31022024", "", "15/06/2024", false}, // no such day: today, locked
      {"05032023", "", "05/03/2023", false},
      {"0503", "", "15/06/2024", false},
      {"05032023", "opData=1", "  /  /    ", false}, // date not used: left as configured
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.campo ? c.campo : "ausente");
    Configura(c.chaves);
    Menu(1);
    host.Store().erase({1008, 0});
    if (c.campo) host.Set(1008, 0, c.campo);
    if (tela) tela->Free();
    Inicia();
    EXPECT_EQ(tela->edData->Text(), c.texto);
    EXPECT_EQ(tela->edData->Enabled(), c.habilitado);
  }
}

TEST_F(ConfiguracaoTest, TipoDeDocumentoEMascaraDoCpfCnpj) {
  struct Caso {
    const char *tipo, *documento; // "" = absent
    const char *rede;
    std::string tipoDoc;
    bool tipoHabilitado;
    const char *mascara;
    std::string textoDoc;
    bool docHabilitado;
  } casos[] = {
      {"", "11222333000181", "12", "2", true, TFrmChq_Trn::MASCARA_CNPJ, "11222333000181", false},
      {"", "52998224725", "12", "1", true, TFrmChq_Trn::MASCARA_CPF, "52998224725", false},
      {"F", "", "12", "1", false, TFrmChq_Trn::MASCARA_CPF, "", true},
      {"J", "", "12", "2", false, TFrmChq_Trn::MASCARA_CNPJ, "", true},
      {"X", "", "12", "", true, TFrmChq_Trn::MASCARA_CPF, "", true},
      {"", "123", "12", "", true, TFrmChq_Trn::MASCARA_CNPJ, "123", false},
      {"", "", "96", "", false, TFrmChq_Trn::MASCARA_CPF, "", true},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(std::string(c.tipo) + "/" + c.documento + "/" + c.rede);
    Configura(std::string("CodigoRede=") + c.rede);
    Menu(0);
    host.Store().clear();
    if (*c.tipo) host.Set(1006, 0, c.tipo);
    if (*c.documento) host.Set(1007, 0, c.documento);
    if (tela) tela->Free();
    Inicia();
    EXPECT_EQ(tela->edTipoDoc->Text(), c.tipoDoc);
    EXPECT_EQ(tela->edTipoDoc->Enabled(), c.tipoHabilitado);
    EXPECT_EQ(tela->edCPFCGC->EditMask(), c.mascara);
    EXPECT_EQ(tela->edCPFCGC->Text(), c.textoDoc);
    EXPECT_EQ(tela->edCPFCGC->Enabled(), c.docHabilitado);
    // Entry mode 0: neither cheque panel.
    EXPECT_FALSE(tela->pnDadosCheque->Visible() || tela->pnCMC7->Visible());
  }
}

TEST_F(ConfiguracaoTest, CodigoDeAreaEDemaisCamposDoHost) {
  struct Caso {
    const char *area, *texto;
  } casos[] = {{"5", "05"}, {"119", "11"}, {"21", "21"}};
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.area);
    Configura("");
    Menu(1);
    host.Set(1334, 0, c.area);
    host.Set(1200, 0, "052020");
    host.Set(1085, 0, "01021980");
    host.Set(1222, 0, "FAC9");
    host.Set(1038, 0, "011");
    host.Set(1258, 0, "JOSE");
    if (tela) tela->Free();
    Inicia();
    EXPECT_EQ(tela->edCodArea->Text(), c.texto);
    EXPECT_FALSE(tela->edCodArea->Enabled());
    EXPECT_EQ(tela->edAberturaCC->Text(), "05/2020");
    EXPECT_EQ(tela->edDtNascimento->Text(), "01/02/1980");
    EXPECT_EQ(tela->edFacilitador->Text(), "FAC9"); // 1186 absent: the second source
    EXPECT_EQ(tela->edDDD->Text(), "011");
    EXPECT_EQ(tela->edEmitente->Text(), "JOSE");
    for (TControl *e :
         std::initializer_list<TControl *>{tela->edAberturaCC, tela->edDtNascimento,
                                           tela->edFacilitador, tela->edDDD, tela->edEmitente})
      EXPECT_FALSE(e->Enabled()) << e->Name;
    EXPECT_TRUE(tela->edTelefone->Enabled());
  }
}

TEST_F(ConfiguracaoTest, Rede200TravaBancoEQuantidadeENaoPedeSenha) {
  Configura("CodigoRede=200\r\nColetaQtdChq=1");
  Menu(1, 70, 2);
  auto *gar = Application->CreateForm<TFrmCon_Gar>();
  gar->IniciaCamposForm();
  EXPECT_FALSE(captura_senha);
  EXPECT_FALSE(gar->edBanco->Enabled());
  EXPECT_FALSE(gar->lbBanco->Enabled());
  EXPECT_FALSE(gar->edQtdChq->Enabled());
  EXPECT_FALSE(gar->edTipoDoc->Enabled());
  EXPECT_EQ(gar->lbTitulo->Caption(), "MSG 456");
  gar->Free();

  Configura("CodigoRede=12");
  gar = Application->CreateForm<TFrmCon_Gar>();
  gar->IniciaCamposForm();
  EXPECT_TRUE(captura_senha);
  gar->Free();
}

TEST_F(ConfiguracaoTest, Cmc7DoHostTravaALinhaEAQuantidade) {
  Configura("ColetaQtdChq=1");
  Menu(2);
  host.Set(1005, 0, "123456789012345678901234567890");
  Inicia();
  EXPECT_TRUE(tela->pnCMC7->Visible());
  EXPECT_FALSE(tela->pnDadosCheque->Visible());
  EXPECT_EQ(tela->edCMC7->Text(), "123456789012345678901234567890");
  EXPECT_FALSE(tela->edCMC7->Enabled());
  EXPECT_FALSE(tela->edQtdChq->Enabled());
}

TEST_F(ConfiguracaoTest, DicasETiposDeDocumentoDigitados) {
  Configura("");
  Menu(1);
  host.SetMessage(8, "Tipo %s ou %s");
  tela = Application->CreateForm<TFrmCon_Con>();
  const TScriptRun r = RunScript(tela, "click edTipoDoc\n"
                                       "expect-text lbMensagem Tipo 1 ou 2\n"
                                       "type 1\n"
                                       "type 5\n"
                                       "expect-text edTipoDoc 1\n"
                                       "click edBanco\n"
                                       "expect-text lbMensagem MSG 54\n"
                                       "type 1a2\n"
                                       "expect-text edBanco 12\n"
                                       "click edFacilitador\n"
                                       "expect-text lbMensagem MSG 125\n"
                                       "click btRetorna\n");
  EXPECT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(r.result, mrCancel);
  // The document type chooses the document's mask as it is typed.
  struct Tecla {
    char tecla, resultado;
    const char *mascara;
  } teclas[] = {{'1', '1', TFrmChq_Trn::MASCARA_CPF},  {'\b', '\b', TFrmChq_Trn::MASCARA_CNPJ},
                {'1', '1', TFrmChq_Trn::MASCARA_CPF},  {'3', 0, TFrmChq_Trn::MASCARA_CPF},
                {'2', '2', TFrmChq_Trn::MASCARA_CNPJ}, {'\r', '\r', TFrmChq_Trn::MASCARA_CNPJ}};
  for (const Tecla &t : teclas) {
    char k = t.tecla;
    tela->edTipoDoc->OnKeyPress(tela->edTipoDoc, k);
    EXPECT_EQ(k, t.resultado);
    EXPECT_EQ(tela->edCPFCGC->EditMask(), t.mascara) << int(t.tecla);
  }
}

} // namespace
