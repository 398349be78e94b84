// Whole operator sessions of ExecutaConsultaCheque through the real host program: the network
// menu built from Cheque.ini, its dispatch on code, function and network, the entry-mode rule
// with the data-entry-type menu, and the consultation-type list.
#include "E2e.h"

namespace e2e {
namespace {

// An option that opens no screen, so that a menu has two options and waits for the operator.
const std::string kNoScreen = Option("Sem Tela", 99, 1);
const char *kCmc7 = "<34100012<0180000015>012345678901:";
using Names = std::vector<std::string>;

TEST(NetworkMenu, TenEnabledSectionsGiveEightOptionsInFileOrder) {
  Session s;
  s.chequeIni = Option("  Rede 1  ", 99, 1) + IniSection("Desligada", {{"habilitado", "0"}}) +
                IniSection("Texto", {{"habilitado", "sim"}, {"CodigoTrn", "72"}});
  for (int n = 2; n <= 10; ++n)
    s.chequeIni += Option("Rede " + std::to_string(n), n == 8 ? 72 : 99, 1);
  std::string script;
  for (int n = 1; n <= 8; ++n) {
    const std::string k = std::to_string(n);
    script += "expect-text spOpcao" + k + " \"&" + k + " - Rede " + k + "\"\n";
  }
  script += "expect-text spEncerra \"&9 - Encerra\"\n"
            // Options 2 to 7 open nothing (code 99); option 8 is bound to the eighth enabled
            // section: its code opens the 72 screen.
            "type 2\ntype 3\ntype 4\ntype 5\ntype 6\ntype 7\nexpect-form FrmRedes_Mnu\n"
            "type 8\nexpect-form FrmCon_Chq72\nclick btRetorna\n"
            "expect-form FrmRedes_Mnu\ntype 9\n";
  const Outcome o = s.Run({"consulta"}, script);
  ASSERT_TRUE(Completed(o));
}

TEST(NetworkMenu, SingleOptionOpensItself) {
  // One enabled section allowing both entry ways: the menu presses the option by itself (no key
  // is typed before the data-entry-type menu comes up), every time the menu becomes active again;
  // its choice sets the control the consultation screen lets the operator reach.
  Session s;
  s.chequeIni = IniSection("Desligada", {{"habilitado", "0"}, {"CodigoTrn", "72"}}) +
                Option("Unica", 70, 1, 0, {{"opCmc7", "0"}});
  const Outcome o = s.Run({"consulta"}, "expect-form FrmSelTipoDadosChq_Mnu\n"
                                        "expect-text spOpcao1 \"&1 - Primeira Linha do Cheque\"\n"
                                        "expect-text spOpcao2 \"&2 - CMC-7\"\ntype 1\n"
                                        "expect-form FrmCon_Con\nclick edBanco\nclick btRetorna\n"
                                        "expect-form FrmSelTipoDadosChq_Mnu\ntype 2\n"
                                        "expect-form FrmCon_Con\nclick edCMC7\nclick btRetorna\n"
                                        "expect-form FrmSelTipoDadosChq_Mnu\ntype 9\n");
  ASSERT_TRUE(Completed(o));
  const std::string sel = "FrmSelTipoDadosChq_Mnu", con = "FrmCon_Con";
  EXPECT_EQ(o.Forms("create"), (Names{"FrmRedes_Mnu", sel, con, sel, con, sel}));
  // "9 - Encerra" on the data-entry-type menu (which saves the store, as every menu's does)
  // leaves without a choice: the network menu closes as completed without opening a screen.
  EXPECT_EQ(o.CloseResult("FrmSelTipoDadosChq_Mnu"), 1);
  EXPECT_EQ(o.CloseResult("FrmRedes_Mnu"), 1);
  EXPECT_EQ(o.Events("save").size(), 1u);
}

// Each option opens the screen of its code, function and network; leaving that screen brings
// the menu back, and Encerra then closes it as completed with the store saved as it came.
TEST(NetworkMenu, DispatchOnCodeFunctionAndNetwork) {
  struct Case {
    int code, function, network;
    std::string form; // "" = nothing opens, the menu keeps waiting
  };
  const Case cases[] = {
      {70, 1, 0, "FrmCon_Con"},           {70, 9, 0, "FrmCon_ConSeq"},
      {70, 2, 0, "FrmCon_Gar"},           {70, 7, 96, "FrmGarVenez_Cnc"},
      {70, 7, 95, "FrmCancGarantia_Mod"}, {72, 5, 0, "FrmCon_Chq72"},
      {74, 1, 0, "FrmCon_Chq74"},         {78, 3, 0, "FrmCon_Chq78"},
      {124, 1, 0, "FrmCon_Chq7C"},        {124, 2, 0, "FrmGarChq_7C"},
      {124, 3, 0, "FrmGarChq7C_Cnc"},     {124, 4, 0, ""},
      {240, 1, 0, "FrmCon_ChqF0"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::to_string(c.code) + "/" + std::to_string(c.function) + "/" +
                 std::to_string(c.network) + " -> " + c.form);
    Session s;
    s.chequeIni = Option("Escolhida", c.code, c.function, c.network) + kNoScreen;
    s.sets = {"1003-0=1500"};
    const std::string opened =
        c.form.empty() ? "" : "expect-form " + c.form + "\nclick btRetorna\n";
    const Outcome o = s.Run({"consulta"}, "type 1\n" + opened +
                                              "expect-form FrmRedes_Mnu\n"
                                              "expect-text spEncerra \"&9 - Encerra\"\ntype 9\n");
    ASSERT_TRUE(Completed(o));
    EXPECT_EQ(o.Forms("create"),
              (c.form.empty() ? Names{"FrmRedes_Mnu"} : Names{"FrmRedes_Mnu", c.form}));
    EXPECT_EQ(o.CloseResult(c.form), c.form.empty() ? -1 : 2);
    EXPECT_EQ(o.CloseResult("FrmRedes_Mnu"), 1);
    EXPECT_EQ(o.Events("save").size(), 1u);
    EXPECT_EQ(o.Field("1003-0"), "1500");
    EXPECT_TRUE(o.Events("msgbox").empty() && o.Events("pdv_error").empty());
  }
}

TEST(NetworkMenu, EntryModeFromOptionsClientChoicesAndSuppliedLines) {
  // The consultation screen shows what the menu decided: in CMC-7 entry it locks the supplied
  // CMC-7 line into edCMC7, in typed entry the supplied bank into edBanco, otherwise neither.
  enum Mode { Typed, Cmc7, Neither };
  struct Case {
    std::string opCmc7, opBanco, cmc7, banco; // Cheque.ini, Cliente.ini ("" = key absent)
    bool with1005, with1029;
    Mode mode;
  };
  const Case cases[] = {
      {"0", "0", "", "", false, true, Typed},   // both allowed, the host holds the bank
      {"0", "0", "", "", true, true, Cmc7},     // both allowed, the CMC-7 line wins
      {"2", "2", "", "", true, true, Neither},  // neither way configured: nothing asked
      {"1", "0", "nao", "", true, true, Typed}, // the shop says no to CMC-7
      {"1", "0", "Sim", "", true, false, Cmc7}, // the shop allows CMC-7
      {"0", "1", "", "NAO", true, true, Cmc7},  // the shop says no to typing
      {"1", "1", "", "", false, true, Typed},   // both default to "Sim"
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(&c - cases); // the row
    Session s;
    s.chequeIni =
        Option("Consulta", 70, 1, 0, {{"opCmc7", c.opCmc7}, {"opBanco", c.opBanco}}) + kNoScreen;
    Keys cliente;
    if (!c.cmc7.empty()) cliente.push_back({"Cmc7", c.cmc7});
    if (!c.banco.empty()) cliente.push_back({"Banco", c.banco});
    s.clienteIni = IniSection("Consulta", cliente);
    if (c.with1005) s.sets.push_back(std::string("1005-0=") + kCmc7);
    if (c.with1029) s.sets.push_back("1029-0=341");
    const std::string cmc7 = c.mode == Cmc7 && c.with1005 ? kCmc7 : "";
    const std::string banco = c.mode == Typed && c.with1029 ? "341" : "";
    const Outcome o = s.Run({"consulta"}, "type 1\nexpect-form FrmCon_Con\nexpect-text edCMC7 \"" +
                                              cmc7 + "\"\nexpect-text edBanco \"" + banco +
                                              "\"\nclick btRetorna\ntype 9\n");
    ASSERT_TRUE(Completed(o)); // FrmCon_Con right after the choice: no data-entry menu
  }
}

TEST(NetworkMenu, ConsultationTypeListWritesField1043) {
  const std::string list = "01;K1;Simples;02;K2;Completa;034;PROD:K3;Especial;";
  struct Case {
    std::string what, clienteTrn, script, field1043; // "-" = not written
  };
  const Case cases[] = {
      {"choose the second offered type",
       IniSection("Tipos", {{"K1", "1"}, {"K2", "0"}, {"K3", "1"}}),
       "expect-form FrmTipoConsulta_Mod\nexpect-focus cbTipoConsulta\n"
       "expect-text cbTipoConsulta \"01 - Simples\"\n"
       "type 2\nexpect-text cbTipoConsulta \"034 - Especial\"\n"
       "type 2\nexpect-text cbTipoConsulta \"034 - Especial\"\n"
       "click btConfirma\n",
       "03"},
      {"confirm the first", IniSection("Tipos", {{"K1", "1"}, {"K2", "1"}}),
       "expect-form FrmTipoConsulta_Mod\ntype 2\ntype 8\nclick btConfirma\n", "01"},
      {"cancel the list", IniSection("Tipos", {{"K1", "1"}}),
       "expect-form FrmTipoConsulta_Mod\nclick btRetorna\n", "-"},
      {"no type switched on: the list closes by itself",
       IniSection("Tipos", {{"K1", "0"}, {"K2", "x"}}), "", "-"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    Session s;
    s.chequeIni = Option("Tipos", 72, 1, 10, {{"opMenu", list}}) + kNoScreen;
    s.clienteTrnIni = c.clienteTrn;
    const Outcome o = s.Run({"consulta"}, "type 1\n" + c.script +
                                              "expect-form FrmCon_Chq72\nclick btRetorna\n"
                                              "expect-form FrmRedes_Mnu\ntype 9\n");
    ASSERT_TRUE(Completed(o));
    EXPECT_EQ(o.Forms("create"), (Names{"FrmRedes_Mnu", "FrmTipoConsulta_Mod", "FrmCon_Chq72"}));
    ASSERT_TRUE(o.saved);
    EXPECT_EQ(o.Field("1043-0"), c.field1043);
  }
}

} // namespace
} // namespace e2e
