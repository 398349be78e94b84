// The result screen on its own: what each network's answer shows and what the buttons leave.
#include <string>
#include <vector>

#include "ModuloTeste.h"
#include "screens/base/ImprimeConsultaCheque.h"
#include "screens/menus/MenuCheque.h"

namespace {

class ImprimeTela : public ModuloTeste {
protected:
  // Shows the screen, plays `roteiro`, and returns the memo lines it showed.
  std::vector<std::string> Mostra(const std::string &roteiro,
                                  const std::vector<std::string> &preenchido = {}) {
    std::vector<std::string> linhas;
    TScriptRun r = Roda(
        [&] {
          auto *tela = Application->CreateForm<TFrmImprime_Mod>();
          for (const std::string &l : preenchido) tela->MemoConsulta->Lines.Add(l);
          tela->ShowModal();
          linhas = tela->MemoConsulta->Lines.Items();
          tela->Free();
        },
        roteiro);
    EXPECT_EQ(r.error, "");
    EXPECT_TRUE(r.scriptDone);
    return linhas;
  }
};

TEST_F(ImprimeTela, DisplayByNetwork) {
  struct Caso {
    const char *nome;
    std::vector<std::pair<std::pair<int, int>, std::string>> campos;
    bool imprimeAntes;
    std::vector<std::string> linhas;
    bool imprimeHabilitado;
  } casos[] = {
      {"record split at @",
       {{{10112, 0}, "10"}, {{20033, 0}, "1UM@DOIS@resto"}},
       true,
       {"UM ", "DOIS "},
       false},
      {"empty record", {{{10112, 0}, "10"}}, true, {}, true},
      {"network 21 receipt lines",
       {{{10112, 0}, "21"},
        {{20128, 0}, "4"},
        {{20018, 0}, "RECIBO"},
        {{20018, 1}, "@"},
        {{20018, 2}, "TOTAL 10,00"},
        {{20018, 3}, "FIM"}},
       true,
       {"RECIBO ", "RECIBO ", " ", "TOTAL 10,00 ", "FIM "},
       true},
      {"network 21 @ first",
       {{{10112, 0}, "21"}, {{20128, 0}, "1"}, {{20018, 0}, "@"}},
       false,
       {"1 ", " "},
       false},
      {"network 21 count not a number",
       {{{10112, 0}, "21"}, {{20128, 0}, "dois"}, {{20018, 0}, "X"}},
       true,
       {},
       true},
      {"network 21 count past the lines held",
       {{{10112, 0}, "21"}, {{20128, 0}, "99999"}, {{20018, 0}, "X"}},
       true,
       {"X "},
       true},
      {"network 71 keeps what the caller wrote",
       {{{10112, 0}, "71"}, {{20033, 0}, "1A@"}},
       true,
       {"JA PREENCHIDO"},
       true},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    host.Store().clear();
    for (const auto &[chave, valor] : c.campos) host.Set(chave.first, chave.second, valor);
    ImprimeCupom = c.imprimeAntes;
    const std::string estado = c.imprimeHabilitado ? "expect-enabled" : "expect-disabled";
    EXPECT_EQ(Mostra(estado + " btImprime\nexpect-focus MemoConsulta\nclick btRetorna\n",
                     {"JA PREENCHIDO"}),
              c.linhas);
  }
}

TEST_F(ImprimeTela, PrintAndReturn) {
  host.SetMessage(556, "&1 - Imprime");
  host.Set(10112, 0, "71");
  ImprimeCupom = true;
  Mostra("expect-text btImprime \"&1 - Imprime\"\nkey Down\nalt 1\n");
  EXPECT_TRUE(ImprimeCupom);
  EXPECT_FALSE(host.Has(1009));

  host.Set(1009, 0, "0");
  Mostra("click btRetorna\n");
  EXPECT_FALSE(ImprimeCupom);
  EXPECT_EQ(host.Get(1009), "FF");
  EXPECT_EQ(host.Get(1027), "MSG 801");
}

} // namespace
