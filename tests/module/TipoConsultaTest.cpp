// The consultation-type selection: parsing of the list and the choice written to field 1043.
#include "ModuloTeste.h"
#include "cheque/modulo.h"
#include "module/ChequeMain.h"
#include "screens/menus/MenuCheque.h"
#include "screens/menus/SelecionaTipoConsultaCheque.h"

namespace {

class TipoConsultaTest : public ModuloTeste {
protected:
  void TearDown() override {
    if (FrmRedes_Mnu) FrmRedes_Mnu->Free();
    FrmRedes_Mnu = nullptr;
    ModuloTeste::TearDown();
  }
  // Opens the selection under a menu (created, not shown) whose chosen option has `lista`.
  TScriptRun Seleciona(const std::string &lista, const std::string &roteiro,
                       std::vector<std::string> *itens = nullptr) {
    if (!FrmRedes_Mnu) FrmRedes_Mnu = Application->CreateForm<TFrmRedes_Mnu>();
    FrmRedes_Mnu->SecaoConfiguracao = "Rede";
    FrmRedes_Mnu->ListaTipoConsulta = lista;
    auto *tela = Application->CreateForm<TFrmTipoConsulta_Mod>();
    tela->OnClose = [tela, itens](TObject *) {
      if (itens) *itens = tela->cbTipoConsulta->Items.Items();
    };
    TScriptRun r = RunScript(tela, roteiro);
    tela->Free();
    return r;
  }
};

TEST_F(TipoConsultaTest, SplitstrSeparaUmaEntrada) {
  struct Caso {
    const char *texto;
    int indice;
    const char *codigo, *chave, *descricao, *resultado, *consumido;
  } casos[] = {
      {"01;K1;Simples;02;K2;Completa;", 0, "01", "K1", "Simples", "K1", "01;K1;Simples;"},
      // Everything up to the last ':' of a sub-field is dropped; the result is raw.
      {"X:01;PROD:K1;Tipo:Simples;02;", 1, "01", "K1", "Simples", "PROD:K1",
       "X:01;PROD:K1;Tipo:Simples;"},
      {"a:b:c;d;e:;", 2, "c", "d", "", "d", "a:b:c;d;e:;"},
      // The list ends inside the entry.
      {"01;K1;Simples", 0, "01", "K1", "", "Simples", "01;K1;Simples"},
      {"01;K1;", 0, "01", "K1", "", "", "01;K1;"},
      {"01;K1", 0, "01", "", "", "K1", "01;K1"},
      {"01", 0, "", "", "", "01", "01"},
      {";;;", 0, "", "", "", "", ";;;"},
      {"", 0, "", "", "", "", ""},
      {" 7 ; K 1 ; Desc ;", 99, " 7 ", " K 1 ", " Desc ", " K 1 ", " 7 ; K 1 ; Desc ;"},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.texto);
    LimpaArray();
    Frase.clear();
    EXPECT_EQ(splitstr(c.texto, ';', 3, c.indice), c.resultado);
    EXPECT_EQ(aCodigoConsulta[c.indice], c.codigo);
    EXPECT_EQ(aChaveConsulta[c.indice], c.chave);
    EXPECT_EQ(aDescricaoConsulta[c.indice], c.descricao);
    EXPECT_EQ(Frase, c.consumido);
  }
  // Outside the tables nothing is stored (and nothing is written past them).
  for (int indice : {-1, 100, 1000}) {
    LimpaArray();
    Frase.clear();
    EXPECT_EQ(splitstr("01;K1;D;", ';', 3, indice), "K1");
    for (int i = 0; i < TFrmTipoConsulta_Mod::MAX_TIPOS; ++i)
      EXPECT_TRUE(aCodigoConsulta[i].empty() && aChaveConsulta[i].empty());
  }
}

TEST_F(TipoConsultaTest, ListaMostraOsTiposLigadosEGravaOCodigoEscolhido) {
  Escreve("ClienteTrn.ini",
          Secao("Outra", "K3=1") + Secao("Rede", "K1=1\r\nK2=1\r\nK3=0\r\nK4=2\r\nK5=sim\r\n"
                                                 "PROD=1\r\nK6= 1 "));
  struct Caso {
    const char *nome;
    const char *lista;
    const char *roteiro;
    std::vector<std::string> itens;
    const char *campo1043; // nullptr: not written
    int resultado;
  } casos[] = {
      {"primeiro",
       "01;K1;Simples;02;K2;Completa;03;K3;Desligada;",
       "click btConfirma",
       {"01 - Simples", "02 - Completa"},
       "01",
       mrOk},
      {"tecla 2 desce",
       "01;K1;Simples;02;K2;Completa;",
       "expect-focus cbTipoConsulta\ntype 2\n"
       "type 2\nclick btConfirma",
       {"01 - Simples", "02 - Completa"},
       "02",
       mrOk},
      {"tecla 8 sobe",
       "01;K1;Simples;02;K2;Completa;",
       "type 8\ntype 2\ntype 8\ntype 8\n"
       "click btConfirma",
       {"01 - Simples", "02 - Completa"},
       "01",
       mrOk},
      {"Enter passa ao botao",
       "01;K1;Simples;",
       "key Enter\nexpect-focus btConfirma\nkey Enter",
       {"01 - Simples"},
       "01",
       mrOk},
      {"codigo longo", " 0123 ;K1; Longo ;", "click btConfirma", {"0123 - Longo"}, "01", mrOk},
      {"sem ; final", "05;K1;Simples", "click btConfirma", {"05 - "}, "05", mrOk},
      {"chave com prefixo",
       "07;PROD:K2;Com prefixo;",
       "click btConfirma",
       {"07 - Com prefixo"},
       "07",
       mrOk},
      {"mesma chave duas vezes",
       "01;K1;Um;02;K1;Dois;",
       "key Down\nclick btConfirma",
       {"01 - Um", "02 - Dois"},
       "02",
       mrOk},
      {"cancela", "01;K1;Simples;", "click btRetorna", {"01 - Simples"}, nullptr, mrCancel},
      // Nothing switched on (0, 2, text, missing, another section's): closes by itself.
      {"nada ligado", "03;K3;a;04;K4;b;05;K5;c;08;K8;d;", "", {}, nullptr, mrOk},
      {"lista sem chaves", "01;;a;02", "", {}, nullptr, mrOk},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    host.Store().clear();
    std::vector<std::string> itens;
    const TScriptRun r = Seleciona(c.lista, c.roteiro, &itens);
    EXPECT_EQ(r.error, "") << r.screen;
    EXPECT_TRUE(r.scriptDone);
    EXPECT_EQ(r.result, c.resultado);
    EXPECT_EQ(itens, c.itens);
    if (c.campo1043)
      EXPECT_EQ(host.Get(1043), std::optional<std::string>(c.campo1043));
    else
      EXPECT_FALSE(host.Has(1043));
  }
  // The last entry of the last list had no separator at all: its whole text is the result.
  EXPECT_EQ(Produto, "02");
}

TEST_F(TipoConsultaTest, SemClienteTrnFechaSozinhaSemGravar) {
  const TScriptRun r = Seleciona("01;K1;Simples;", "");
  EXPECT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(r.result, mrOk);
  EXPECT_FALSE(host.Has(1043));
  EXPECT_EQ(host.CountOf("GravaCampoString"), 0);
}

TEST_F(TipoConsultaTest, FalhaAoGravarMantemATelaAberta) {
  Escreve("ClienteTrn.ini", Secao("Rede", "K1=1"));
  host.FailWritesOf(1043);
  const TScriptRun r = Seleciona("01;K1;Simples;", "click btConfirma\nexpect-form "
                                                   "FrmTipoConsulta_Mod\nexpect-enabled "
                                                   "btConfirma\nclick btRetorna");
  EXPECT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(r.result, mrCancel);
  EXPECT_TRUE(r.Events("msgbox").empty());
}

TEST_F(TipoConsultaTest, ListaMaiorQueAsTabelasMostraCemTipos) {
  std::string lista, ligados;
  for (int i = 0; i < 150; ++i) {
    lista += std::to_string(i) + ";K" + std::to_string(i) + ";Tipo " + std::to_string(i) + ";";
    ligados += "K" + std::to_string(i) + "=1\r\n";
  }
  Escreve("ClienteTrn.ini", Secao("Rede", ligados));
  std::vector<std::string> itens;
  const TScriptRun r = Seleciona(lista, "key End\nclick btConfirma", &itens);
  EXPECT_EQ(r.error, "") << r.screen;
  ASSERT_EQ(itens.size(), size_t(TFrmTipoConsulta_Mod::MAX_TIPOS));
  EXPECT_EQ(itens.back(), "99 - Tipo 99");
  EXPECT_EQ(host.Get(1043), std::optional<std::string>("99"));
}

TEST_F(TipoConsultaTest, TipoEscolhidoNoMenuVaiParaOCampo1043) {
  Escreve("Cheque.ini",
          Secao("Consulta", "habilitado=1\r\nCodigoTrn=72\r\nopMenu=01;K1;Simples;02;K2;Completa;"
                            "\r\nopCmc7=2\r\nopBanco=2") +
              Secao("Outra", "habilitado=1\r\nCodigoTrn=74\r\nopCmc7=2\r\nopBanco=2"));
  Escreve("ClienteTrn.ini", Secao("Consulta", "K1=1\r\nK2=1"));
  const TScriptRun r = Roda([] { ExecutaConsultaCheque(1, 0); },
                            "type 1\nexpect-form FrmTipoConsulta_Mod\ntype 2\nclick btConfirma\n"
                            "expect-form FrmCon_Chq72\nclick btRetorna\n"
                            // The other option has no list: no selection, 1043 stays.
                            "type 2\nexpect-form FrmCon_Chq74\nclick btRetorna\ntype 9");
  EXPECT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(host.SavedStore().at({1043, 0}), "02");
  EXPECT_EQ(ContaAuditoria("Criou: FrmTipoConsulta_Mod"), 1);
  EXPECT_EQ(ContaAuditoria("Destruiu: FrmTipoConsulta_Mod"), 1);
}

} // namespace
