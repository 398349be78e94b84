// The network menu: the screen of each code, function and network, and the choice of the entry
// mode.
#include "ModuloTeste.h"
#include "module/ChequeMain.h"
#include "platform/Cp1252.h"
#include "screens/menus/MenuCheque.h"

namespace {

class MenuChequeTest : public ModuloTeste {};

TEST_F(MenuChequeTest, TabelaDeTelasPorCodigoFuncaoERede) {
  struct Caso {
    int codigo, funcao, rede;
    const char *tela; // "" = none
  } casos[] = {{70, 7, 96, "FrmGarVenez_Cnc"},
               {70, 7, 95, "FrmCancGarantia_Mod"},
               {70, 7, 0, "FrmCancGarantia_Mod"},
               {70, 2, 96, "FrmCon_Gar"},
               {70, 9, 0, "FrmCon_ConSeq"},
               {70, 1, 96, "FrmCon_Con"},
               {70, 0, 0, "FrmCon_Con"},
               {70, 8, 45, "FrmCon_Con"},
               {72, 7, 96, "FrmCon_Chq72"},
               {74, 3, 0, "FrmCon_Chq74"},
               {78, 1, 0, "FrmCon_Chq78"},
               {124, 1, 0, "FrmCon_Chq7C"},
               {124, 2, 0, "FrmGarChq_7C"},
               {124, 3, 96, "FrmGarChq7C_Cnc"},
               {124, 0, 0, ""},
               {124, 4, 0, ""},
               {124, 7, 96, ""},
               {240, 9, 0, "FrmCon_ChqF0"},
               {0, 0, 0, ""},
               {71, 1, 0, ""}};
  for (const Caso &c : casos) {
    const TTelaMenu *t = ProcuraTelaMenu(c.codigo, c.funcao, c.rede);
    EXPECT_EQ(t ? std::string(t->nomeForm) : std::string(), c.tela)
        << c.codigo << "/" << c.funcao << "/" << c.rede;
  }
}

TEST_F(MenuChequeTest, ModoDeEntradaPelaConfiguracaoEPeloQueOHostTem) {
  const char *nao = CP1252("não");
  struct Caso {
    const char *opCmc7, *opBanco; // nullptr: key absent
    const char *cmc7, *banco;     // Cliente.ini; nullptr: key absent
    const char *campo1005, *campo1029;
    int modo; // -1: the operator is asked
  } casos[] = {
      // Both ways allowed: what the host holds decides, the CMC-7 line first; when it holds
      // neither, the operator is asked.
      {"0", "0", nullptr, nullptr, "", "", -1},
      {"0", "0", nullptr, nullptr, "<34100>", "341", 2},
      {"x", "0", nullptr, nullptr, "", "341", 1}, // not a number: the default 0
      // One way only: never asked, whatever the host holds.
      {"0", "2", nullptr, nullptr, "", "341", 2},
      {"3", "0", nullptr, nullptr, "<34100>", "", 1},
      {"0", "-1", nullptr, nullptr, "", "", 2},
      // The shop's choices, in any case; a missing key means "Sim".
      {"1", "1", "Sim", "sim", "", "", -1},
      {"1", "1", "sIm", nao, "", "341", 2},
      {"1", "1", "Nao", "SIM", "<34100>", "", 1},
      {"1", "1", "S", "S", "<34100>", "341", 0},
      // Neither way: mode 0, nothing asked.
      {"1", "2", nao, nullptr, "", "", 0},
      {"2", "1", nullptr, "nada", "", "", 0},
  };
  for (const Caso &c : casos) {
    auto ou = [](const char *s) { return std::string(s ? s : "-"); };
    SCOPED_TRACE(ou(c.opCmc7) + "/" + ou(c.opBanco) + " " + ou(c.cmc7) + "/" + ou(c.banco) + " [" +
                 c.campo1005 + "][" + c.campo1029 + "]");
    std::string chaves, cliente;
    if (c.opCmc7) chaves += std::string("opCmc7=") + c.opCmc7 + "\r\n";
    if (c.opBanco) chaves += std::string("opBanco=") + c.opBanco + "\r\n";
    if (c.cmc7) cliente += std::string("Cmc7=") + c.cmc7 + "\r\n";
    if (c.banco) cliente += std::string("Banco=") + c.banco + "\r\n";
    Configura(chaves, cliente);
    Escreve("Cliente.ini", Secao("Outra", "Cmc7=Nao\r\nBanco=Nao") + Secao(kSecao, cliente));
    host.Store().clear();
    if (*c.campo1005) host.Set(1005, 0, c.campo1005);
    if (*c.campo1029) host.Set(1029, 0, c.campo1029);
    Menu(7);
    const size_t auditoria = Auditoria().size();
    bool segue = false;
    const TScriptRun r =
        Roda([&] { segue = FrmRedes_Mnu->VerificaSelecionaPrimeiraLinhaCheque_CMC7(); },
             c.modo < 0 ? "expect-form FrmSelTipoDadosChq_Mnu\nclick spOpcao2" : "");
    EXPECT_EQ(r.error, "") << r.screen;
    EXPECT_TRUE(segue);
    EXPECT_EQ(FrmRedes_Mnu->TipoEntrada, c.modo < 0 ? 2 : c.modo);
    EXPECT_EQ(FrmRedes_Mnu->ModalResult, mrNone);
    EXPECT_EQ(AuditoriaDesde(auditoria).size(), c.modo < 0 ? 2u : 0u); // the question, if any
  }
}

} // namespace
