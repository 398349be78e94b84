// The consultation-type selection: parsing of the list and the choice written to field 1043.
#include "screens/menus/SelecionaTipoConsultaCheque.h"

#include <cstdio>

#include "ModuloTeste.h"
#include "module/ChequeMain.h"
#include "screens/menus/MenuCheque.h"

namespace {

class TipoConsultaTest : public ModuloTeste {
protected:
  // Opens the selection under the menu whose chosen option has `lista`; `itens` gets the list
  // as it was when the screen closed.
  TScriptRun Seleciona(const std::string &lista, const std::string &roteiro,
                       std::vector<std::string> &itens) {
    Menu(1);
    FrmRedes_Mnu->ListaTipoConsulta = lista;
    auto *tela = Application->CreateForm<TFrmTipoConsulta_Mod>();
    tela->OnClose = [tela, &itens](TObject *) { itens = tela->cbTipoConsulta->Items.Items(); };
    return Executa(tela, roteiro);
  }
};

TEST_F(TipoConsultaTest, SplitstrSeparaUmaEntrada) {
  struct Caso {
    const char *texto;
    int indice;
    const char *codigo, *chave, *descricao, *resultado;
    const char *consumido = nullptr; // nullptr: the whole text
  } casos[] = {
      {"01;K1;Simples;02;K2;Completa;", 0, "01", "K1", "Simples", "K1", "01;K1;Simples;"},
      // Everything up to the last ':' of a sub-field is dropped; the result is raw.
      {"X:01;PROD:K1;Tipo:Simples;02;", 1, "01", "K1", "Simples", "PROD:K1",
       "X:01;PROD:K1;Tipo:Simples;"},
      {"a:b:c;d;e:;", 2, "c", "d", "", "d"},
      // The list ends inside the entry.
      {"01;K1;Simples", 0, "01", "K1", "", "Simples"},
      {"01;K1", 0, "01", "", "", "K1"},
      {"", 0, "", "", "", ""},
      {" 7 ; K 1 ; Desc ;", 99, " 7 ", " K 1 ", " Desc ", " K 1 "},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.texto);
    LimpaArray();
    Frase.clear();
    EXPECT_EQ(splitstr(c.texto, ';', 3, c.indice), c.resultado);
    EXPECT_EQ(aCodigoConsulta[c.indice], c.codigo);
    EXPECT_EQ(aChaveConsulta[c.indice], c.chave);
    EXPECT_EQ(aDescricaoConsulta[c.indice], c.descricao);
    EXPECT_EQ(Frase, c.consumido ? c.consumido : c.texto);
  }
  // Outside the tables nothing is stored (and nothing is written past them).
  for (int indice : {-1, 100, 1000}) {
    LimpaArray();
    EXPECT_EQ(splitstr("01;K1;D;", ';', 3, indice), "K1");
    for (int i = 0; i < TFrmTipoConsulta_Mod::MAX_TIPOS; ++i)
      EXPECT_TRUE(aCodigoConsulta[i].empty() && aChaveConsulta[i].empty());
  }
}

TEST_F(TipoConsultaTest, ListaMostraOsTiposLigadosEGravaOCodigoEscolhido) {
  const char *duas = "01;K1;Simples;02;K2;Completa;";
  struct Caso {
    const char *lista, *roteiro, *itens; // the items joined by '|'
    const char *campo1043;
    int resultado;
  } casos[] = {
      {"01;K1;Simples;02;K2;Completa;03;K3;Desligada;", "click btConfirma",
       "01 - Simples|02 - Completa", "01", mrOk},
      // 2 moves down, 8 up, on the list; Enter passes to the button.
      {duas, "expect-focus cbTipoConsulta\ntype 2\ntype 2\nclick btConfirma",
       "01 - Simples|02 - Completa", "02", mrOk},
      {duas, "type 8\ntype 2\ntype 8\ntype 8\nkey Enter\nexpect-focus btConfirma\nkey Enter",
       "01 - Simples|02 - Completa", "01", mrOk},
      {" 0123 ;K1; Longo ;", "click btConfirma", "0123 - Longo", "01", mrOk},
      {"05;K1;Simples", "click btConfirma", "05 - ", "05", mrOk},
      {"01;K1;Um;02;K1;Dois;", "key Down\nclick btConfirma", "01 - Um|02 - Dois", "02", mrOk},
      {"01;K1;Simples;", "click btRetorna", "01 - Simples", "<ausente>", mrCancel},
      // Nothing switched on (0, 2, text, missing, another section's): closes by itself.
      {"03;K3;a;04;K4;b;05;K5;c;08;K8;d;", "", "", "<ausente>", mrOk},
      {"01;;a;02", "", "", "<ausente>", mrOk},
  };
  Escreve("ClienteTrn.ini",
          Secao("Outra", "K3=1") + Secao(kSecao, "K1=1\r\nK2=1\r\nK3=0\r\nK4=2\r\nK5=sim\r\n"
                                                 "PROD=1\r\nK6= 1 "));
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.lista + std::string(" / ") + c.roteiro);
    host.Store().clear();
    std::vector<std::string> itens;
    const TScriptRun r = Seleciona(c.lista, c.roteiro, itens);
    EXPECT_EQ(r.error, "") << r.screen;
    EXPECT_TRUE(r.scriptDone);
    EXPECT_EQ(r.result, c.resultado);
    std::string juntos;
    for (const std::string &i : itens) juntos += (juntos.empty() ? "" : "|") + i;
    EXPECT_EQ(juntos, c.itens);
    EXPECT_EQ(Campo(1043), c.campo1043);
  }
  // The last entry of the last list had no separator at all: its whole text is the result.
  EXPECT_EQ(Produto, "02");
}

TEST_F(TipoConsultaTest, ListaMaiorQueAsTabelasEFalhaAoGravar) {
  std::string lista, ligados;
  for (int i = 0; i < 150; ++i) {
    lista += std::to_string(i) + ";K" + std::to_string(i) + ";Tipo " + std::to_string(i) + ";";
    ligados += "K" + std::to_string(i) + "=1\r\n";
  }
  Escreve("ClienteTrn.ini", Secao(kSecao, ligados));
  std::vector<std::string> itens;
  TScriptRun r = Seleciona(lista, "key End\nclick btConfirma", itens);
  EXPECT_EQ(r.error, "") << r.screen;
  ASSERT_EQ(itens.size(), size_t(TFrmTipoConsulta_Mod::MAX_TIPOS));
  EXPECT_EQ(itens.back(), "99 - Tipo 99");
  EXPECT_EQ(Campo(1043), "99");

  // A failed write keeps the screen open, silently.
  host.FailWritesOf(1043);
  r = Seleciona("01;K1;Simples;",
                "click btConfirma\nexpect-form FrmTipoConsulta_Mod\n"
                "expect-enabled btConfirma\nclick btRetorna",
                itens);
  EXPECT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(r.result, mrCancel);
  EXPECT_TRUE(r.Events("msgbox").empty());

  // Without ClienteTrn.ini nothing is switched on: it closes by itself and writes nothing.
  std::remove((dir + "/ClienteTrn.ini").c_str());
  host.ClearCalls();
  r = Seleciona("01;K1;Simples;", "", itens);
  EXPECT_EQ(r.result, mrOk);
  EXPECT_EQ(host.CountOf("GravaCampoString"), 0);
}

} // namespace
