// Whole operator sessions of ExecutaConsultaCheque through the real host program: the network
// menu built from Cheque.ini, its dispatch on code, function and network, the entry-mode rule
// with the data-entry-type menu, and the consultation-type list.
#include "E2e.h"

using namespace e2e;

namespace {

// An option that opens no screen, so that a menu has two options and waits for the operator.
const std::string kNoScreen = Option("Sem Tela", 99, 1);

const char *kCmc7 = "<34100012<0180000015>012345678901:";

// Whether the module's FrmCon_Con is the consultation screen already (it has its cheque
// controls), rather than a stand-in that only says the screen is not available.
bool ConsultationScreenAvailable() {
  static const bool available = [] {
    Session s;
    s.chequeIni = Option("Consulta", 70, 1) + kNoScreen;
    return s.Run({"consulta"}, "type 1\nexpect-form FrmCon_Con\nexpect-text edBanco \"\"\n"
                               "click btRetorna\ntype 9\n")
               .run.exitCode == 0;
  }();
  return available;
}

std::string Join(const std::vector<std::string> &v) {
  std::string s;
  for (const auto &x : v) s += x + " ";
  return s;
}

} // namespace

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
            // Option 8 is bound to the eighth enabled section: its code opens the 72 screen.
            "type 8\nexpect-form FrmCon_Chq72\nclick btRetorna\n"
            "expect-form FrmRedes_Mnu\ntype 9\n";
  Outcome o = s.Run({"consulta"}, script);
  ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
  EXPECT_EQ(o.Forms("create"), (std::vector<std::string>{"FrmRedes_Mnu", "FrmCon_Chq72"}));
  EXPECT_TRUE(AuditMatchesForms(o));
}

TEST(NetworkMenu, SingleOptionOpensItselfTenMillisecondsAfterTheMenuShows) {
  // One enabled section allowing both entry ways: the menu presses the option by itself and
  // the data-entry-type menu comes up, every time the menu becomes active again.
  Session s;
  s.chequeIni = IniSection("Desligada", {{"habilitado", "0"}, {"CodigoTrn", "72"}}) +
                Option("Unica", 70, 1, 0, {{"opCmc7", "0"}, {"opBanco", "0"}});
  Outcome o = s.Run({"consulta"}, "expect-form FrmSelTipoDadosChq_Mnu\n"
                                  "type 1\n"
                                  "expect-form FrmCon_Con\n"
                                  "click btRetorna\n"
                                  "expect-form FrmSelTipoDadosChq_Mnu\n"
                                  "type 9\n");
  ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
  int64_t menuShown = -1, firstChoice = -1;
  for (const auto &e : o.Events("form")) {
    if (e["what"] == "show" && e["form"] == "FrmRedes_Mnu" && menuShown < 0) menuShown = e["t"];
    if (e["what"] == "show" && e["form"] == "FrmSelTipoDadosChq_Mnu" && firstChoice < 0)
      firstChoice = e["t"];
  }
  ASSERT_GE(menuShown, 0);
  EXPECT_EQ(firstChoice - menuShown, 10);
  const auto inputs = o.Events("input");
  ASSERT_FALSE(inputs.empty());
  EXPECT_GT(inputs[0]["t"].get<int64_t>(), firstChoice) << "no key was typed before";
  EXPECT_EQ(o.Forms("create"), (std::vector<std::string>{"FrmRedes_Mnu", "FrmSelTipoDadosChq_Mnu",
                                                         "FrmCon_Con", "FrmSelTipoDadosChq_Mnu"}));
  // "9 - Encerra" on the data-entry-type menu (which saves the store, as every menu's does)
  // leaves without a choice: the network menu closes as completed without opening a screen.
  EXPECT_EQ(o.CloseResult("FrmSelTipoDadosChq_Mnu"), 1);
  EXPECT_EQ(o.CloseResult("FrmRedes_Mnu"), 1);
  EXPECT_EQ(o.Events("save").size(), 1u);
  EXPECT_TRUE(AuditMatchesForms(o));
}

TEST(NetworkMenu, EncerraEndsCompletedAndSavesTheStore) {
  Session s;
  s.chequeIni = Option("Consulta", 70, 1) + kNoScreen;
  s.sets = {"1003-0=1500"};
  Outcome o = s.Run({"consulta"}, "expect-text spEncerra \"&9 - Encerra\"\ntype 9\n");
  ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
  EXPECT_EQ(o.CloseResult("FrmRedes_Mnu"), 1);
  ASSERT_EQ(o.Events("save").size(), 1u);
  ASSERT_TRUE(o.saved);
  EXPECT_EQ(o.store, (std::map<std::string, std::string>{{"1003-0", "1500"}}));
  EXPECT_TRUE(o.Events("pdv_error").empty());
}

TEST(NetworkMenu, DispatchOnCodeFunctionAndNetwork) {
  struct Case {
    int code, function, network;
    std::string form; // "" = nothing opens, the menu keeps waiting
  };
  const Case cases[] = {
      {70, 1, 0, "FrmCon_Con"},
      {70, 0, 0, "FrmCon_Con"},
      {70, 9, 0, "FrmCon_ConSeq"},
      {70, 2, 0, "FrmCon_Gar"},
      {70, 7, 96, "FrmGarVenez_Cnc"},
      {70, 7, 95, "FrmCancGarantia_Mod"},
      {70, 7, 0, "FrmCancGarantia_Mod"},
      {72, 5, 0, "FrmCon_Chq72"},
      {74, 1, 0, "FrmCon_Chq74"},
      {78, 3, 0, "FrmCon_Chq78"},
      {124, 1, 0, "FrmCon_Chq7C"},
      {124, 2, 0, "FrmGarChq_7C"},
      {124, 3, 0, "FrmGarChq7C_Cnc"},
      {124, 4, 0, ""},
      {240, 1, 0, "FrmCon_ChqF0"},
      {99, 1, 0, ""},
      {0, 7, 96, ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::to_string(c.code) + "/" + std::to_string(c.function) + "/" +
                 std::to_string(c.network) + " -> " + c.form);
    Session s;
    s.chequeIni = Option("Escolhida", c.code, c.function, c.network) + kNoScreen;
    const std::string script = c.form.empty()
                                   ? "type 1\nexpect-form FrmRedes_Mnu\ntype 9\n"
                                   : "type 1\nexpect-form " + c.form +
                                         "\nclick btRetorna\nexpect-form FrmRedes_Mnu\ntype 9\n";
    Outcome o = s.Run({"consulta"}, script);
    ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
    std::vector<std::string> expected = {"FrmRedes_Mnu"};
    if (!c.form.empty()) expected.push_back(c.form);
    EXPECT_EQ(o.Forms("create"), expected);
    if (!c.form.empty()) {
      EXPECT_EQ(o.CloseResult(c.form), 2);
    }
    EXPECT_EQ(o.CloseResult("FrmRedes_Mnu"), 1);
    EXPECT_TRUE(o.Events("msgbox").empty());
    EXPECT_TRUE(AuditMatchesForms(o));
  }
}

TEST(NetworkMenu, EntryModeFromOptionsClientChoicesAndSuppliedLines) {
  if (!ConsultationScreenAvailable())
    GTEST_SKIP() << "FrmCon_Con is still a stand-in: the entry mode cannot be seen on it";
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
      {"7", "-1", "", "", true, true, Neither}, // unknown values allow nothing
      {"1", "0", "nao", "", true, true, Typed}, // the shop says no to CMC-7
      {"1", "0", "Sim", "", true, false, Cmc7}, // the shop allows CMC-7
      {"0", "1", "", "NAO", true, true, Cmc7},  // the shop says no to typing
      {"0", "2", "", "", false, true, Cmc7},    // typing not offered: CMC-7 even without it
      {"2", "0", "", "", true, true, Typed},    // CMC-7 not offered
      {"1", "1", "", "", false, true, Typed},   // both default to "Sim"
  };
  for (const auto &c : cases) {
    SCOPED_TRACE("opCmc7=" + c.opCmc7 + " opBanco=" + c.opBanco + " Cmc7=" + c.cmc7 +
                 " Banco=" + c.banco + " 1005=" + std::to_string(c.with1005) +
                 " 1029=" + std::to_string(c.with1029));
    Session s;
    s.chequeIni =
        Option("Consulta", 70, 1, 0, {{"opCmc7", c.opCmc7}, {"opBanco", c.opBanco}}) + kNoScreen;
    std::vector<std::pair<std::string, std::string>> cliente;
    if (!c.cmc7.empty()) cliente.push_back({"Cmc7", c.cmc7});
    if (!c.banco.empty()) cliente.push_back({"Banco", c.banco});
    s.clienteIni = IniSection("Consulta", cliente);
    if (c.with1005) s.sets.push_back(std::string("1005-0=") + kCmc7);
    if (c.with1029) s.sets.push_back("1029-0=341");
    const std::string cmc7 = c.mode == Cmc7 && c.with1005 ? kCmc7 : "";
    const std::string banco = c.mode == Typed && c.with1029 ? "341" : "";
    Outcome o = s.Run({"consulta"}, "type 1\nexpect-form FrmCon_Con\n"
                                    "expect-text edCMC7 \"" +
                                        cmc7 + "\"\n" + "expect-text edBanco \"" + banco + "\"\n" +
                                        "click btRetorna\nexpect-form FrmRedes_Mnu\ntype 9\n");
    ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
    EXPECT_EQ(o.Forms("create"), (std::vector<std::string>{"FrmRedes_Mnu", "FrmCon_Con"}))
        << "no data-entry-type menu";
  }
}

TEST(NetworkMenu, DataEntryTypeMenuWhenBothWaysAndNoLineSupplied) {
  if (!ConsultationScreenAvailable())
    GTEST_SKIP() << "FrmCon_Con is still a stand-in: the entry mode cannot be seen on it";
  struct Case {
    std::string choice;  // key typed on the data-entry-type menu
    std::string enabled; // a control of the consultation screen that can take the focus
  };
  const Case cases[] = {{"1", "edBanco"}, {"2", "edCMC7"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.choice);
    Session s;
    s.chequeIni = Option("Consulta", 70, 1, 0, {{"opCmc7", "0"}, {"opBanco", "0"}}) + kNoScreen;
    Outcome o =
        s.Run({"consulta"}, "type 1\nexpect-form FrmSelTipoDadosChq_Mnu\n"
                            "expect-text spOpcao1 \"&1 - Primeira Linha do Cheque\"\n"
                            "expect-text spOpcao2 \"&2 - CMC-7\"\n"
                            "type " +
                                c.choice + "\nexpect-form FrmCon_Con\n" + "click " + c.enabled +
                                "\n" + "click btRetorna\nexpect-form FrmRedes_Mnu\ntype 9\n");
    ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
    EXPECT_EQ(o.CloseResult("FrmSelTipoDadosChq_Mnu"), 1);
    EXPECT_TRUE(AuditMatchesForms(o));
  }
}

TEST(NetworkMenu, LeavingTheDataEntryTypeMenuClosesTheNetworkMenu) {
  // Encerra on the data-entry-type menu: the network menu closes as completed, no screen.
  Session s;
  s.chequeIni = Option("Consulta", 70, 1, 0, {{"opCmc7", "0"}, {"opBanco", "0"}}) + kNoScreen;
  Outcome o = s.Run({"consulta"}, "type 1\nexpect-form FrmSelTipoDadosChq_Mnu\ntype 9\n");
  ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
  EXPECT_EQ(o.Forms("create"),
            (std::vector<std::string>{"FrmRedes_Mnu", "FrmSelTipoDadosChq_Mnu"}));
  EXPECT_EQ(o.CloseResult("FrmRedes_Mnu"), 1);
  EXPECT_TRUE(o.Events("return").size() == 1u);
  EXPECT_TRUE(AuditMatchesForms(o));
}

TEST(NetworkMenu, ConsultationTypeListWritesField1043) {
  const std::string list = "01;K1;Simples;02;K2;Completa;034;PROD:K3;Especial;";
  struct Case {
    std::string what, clienteTrn, script, field1043; // "" = not written
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
       "expect-form FrmTipoConsulta_Mod\nclick btRetorna\n", ""},
      {"no type switched on: the list closes by itself",
       IniSection("Tipos", {{"K1", "0"}, {"K2", "x"}}), "", ""},
      {"no ClienteTrn.ini", "", "", ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    Session s;
    s.chequeIni = Option("Tipos", 72, 1, 10, {{"opMenu", list}}) + kNoScreen;
    s.clienteTrnIni = c.clienteTrn;
    Outcome o = s.Run({"consulta"}, "type 1\n" + c.script +
                                        "expect-form FrmCon_Chq72\nclick btRetorna\n"
                                        "expect-form FrmRedes_Mnu\ntype 9\n");
    ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
    EXPECT_EQ(o.Forms("create"),
              (std::vector<std::string>{"FrmRedes_Mnu", "FrmTipoConsulta_Mod", "FrmCon_Chq72"}))
        << Join(o.Forms("create"));
    ASSERT_TRUE(o.saved);
    if (c.field1043.empty()) {
      EXPECT_EQ(o.store.count("1043-0"), 0u);
    } else {
      EXPECT_EQ(o.store["1043-0"], c.field1043);
    }
    EXPECT_TRUE(AuditMatchesForms(o));
  }
}

TEST(Demo, BundledSessionsRunAndLeaveTheirStore) {
  struct Case {
    std::string dir, script;
    std::map<std::string, std::string> store;
  };
  const Case cases[] = {
      // The consultation's date is today's: the fields below do not depend on it.
      {"share/demo",
       "share/demo/consulta.script",
       {{"1043-0", "02"},
        {"1003-0", "15000"},
        {"1007-0", "52998224725"},
        {"1009-0", "0"},
        {"1029-0", "341"},
        {"1034-0", "000101"},
        {"10148-0", std::string(32, '0')}}},
      {"share/demo/cancelamento", "share/demo/cancelamento/cancelamento.script", {}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.script);
    Session s;
    s.options["--dir"] = SourceDir() + "/" + c.dir;
    s.options["--script"] = SourceDir() + "/" + c.script;
    s.options["--messages"] = SourceDir() + "/share/demo/mensagens.txt";
    s.options["--scenario"] = SourceDir() + "/share/demo/cenario.ini";
    Outcome o = s.Run({"consulta"}, "");
    ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
    EXPECT_GE(o.Forms("create").size(), 4u);
    EXPECT_TRUE(AuditMatchesForms(o));
    ASSERT_TRUE(o.saved);
    if (c.store.empty()) {
      EXPECT_TRUE(o.store.empty());
    }
    for (const auto &[key, value] : c.store) EXPECT_EQ(o.store[key], value) << key;
    EXPECT_NE(o.run.out.find("what the point of sale received"), std::string::npos);
  }
}
