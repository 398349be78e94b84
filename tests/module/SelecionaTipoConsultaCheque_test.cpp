// The consultation-type selection: parsing of the list and the choice written to field 1043.
#include "screens/menus/SelecionaTipoConsultaCheque.h"

#include "ModuloTeste.h"
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
  } casos[] = {
      // Everything up to the last ':' of a sub-field is dropped; the result is raw.
      {"a:b:c;d;e:;", 2, "c", "d", "", "d"},
      // The list ends inside the entry.
      {"01;K1", 0, "01", "", "", "K1"},
      {" 7 ; K 1 ; Desc ;", 99, " 7 ", " K 1 ", " Desc ", " K 1 "}, // the last index
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.texto);
    LimpaArray();
    Frase.clear();
    EXPECT_EQ(splitstr(c.texto, ';', 3, c.indice), c.resultado);
    EXPECT_EQ(aCodigoConsulta[c.indice], c.codigo);
    EXPECT_EQ(aChaveConsulta[c.indice], c.chave);
    EXPECT_EQ(aDescricaoConsulta[c.indice], c.descricao);
    EXPECT_EQ(Frase, c.texto);
  }
  // Outside the tables nothing is stored (and nothing is written past them).
  for (int indice : {-1, 100, 1000}) {
    LimpaArray();
    EXPECT_EQ(splitstr("01;K1;D;", ';', 3, indice), "K1");
    for (int i = 0; i < TFrmTipoConsulta_Mod::MAX_TIPOS; ++i)
      EXPECT_TRUE(aCodigoConsulta[i].empty() && aChaveConsulta[i].empty());
  }
}

TEST_F(TipoConsultaTest, ListaMaiorQueAsTabelasEFalhaAoGravar) {
  std::string lista, ligados;
  for (int i = 0; i < 150; ++i) {
    lista += std::to_string(i) + ";K" + std::to_string(i) + ";Tipo " + std::to_string(i) + ";";
    ligados += "K" + std::to_string(i) + "=1\r\n";
  }
  Escreve("ClienteTrn.ini", Secao(kSecao, ligados));
  std::vector<std::string> itens;
  TScriptRun r = Seleciona(lista, "key End\nkey Enter\nexpect-focus btConfirma\nkey Enter", itens);
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
}

} // namespace
