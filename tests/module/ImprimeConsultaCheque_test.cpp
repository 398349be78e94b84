// The result screen: what each network's answer shows and what the buttons leave.
#include "ModuloTeste.h"
#include "screens/base/ImprimeConsultaCheque.h"
#include "screens/menus/MenuCheque.h"

namespace {

class ImprimeTela : public ModuloTeste {
protected:
  // Shows the screen, plays `roteiro`, and returns the memo lines it showed.
  std::vector<std::string> Mostra(const std::string &roteiro) {
    std::vector<std::string> linhas;
    TScriptRun r = Roda(
        [&] {
          auto *tela = Application->CreateForm<TFrmImprime_Mod>();
          tela->MemoConsulta->Lines.Add("JA PREENCHIDO");
          tela->ShowModal();
          linhas = tela->MemoConsulta->Lines.Items();
          tela->Free();
        },
        roteiro);
    EXPECT_EQ(r.error, "") << r.screen;
    EXPECT_TRUE(r.scriptDone);
    return linhas;
  }
};

TEST_F(ImprimeTela, LinhasPorRede) {
  struct Caso {
    const char *campos;
    bool imprimeAntes;
    std::vector<std::string> linhas;
    bool imprimeHabilitado;
  } casos[] = {
      // clang-format off
      // The record splits at each "@" after the kind byte; text after the last one is not shown.
      {"10112=10|20033=1UM@DOIS@resto", true, {"UM ", "DOIS "}, false},
      {"10112=10|20033=@@a@", true, {" ", "a "}, false},
      {"10112=10", true, {}, true},
      // Network 21: the receipt lines, as many as field 20128 says and the store holds.
      {"10112=21|20128=4|20018=RECIBO|20018[1]=@|20018[2]=TOTAL 10,00|20018[3]=FIM", true, {"RECIBO ", "RECIBO ", " ", "TOTAL 10,00 ", "FIM "}, true},
      {"10112=21|20128=1|20018=@", false, {"1 ", " "}, false},
      {"10112=21|20128=99999|20018=X", true, {"X "}, true},
      // Network 71 keeps what the caller wrote.
      {"10112=71|20033=1A@", true, {"JA PREENCHIDO"}, true},
      // clang-format on
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.campos);
    host.Store().clear();
    Campos(c.campos);
    ImprimeCupom = c.imprimeAntes;
    const std::string estado = c.imprimeHabilitado ? "expect-enabled" : "expect-disabled";
    EXPECT_EQ(Mostra(estado + " btImprime\nexpect-focus MemoConsulta\nclick btRetorna\n"),
              c.linhas);
  }
}

} // namespace
