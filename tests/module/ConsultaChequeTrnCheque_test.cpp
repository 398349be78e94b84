// The consultation screen shared by the codes: its configuration, what it pre-fills and locks
// from the host's fields, the quantity of cheques, the checks (their order, messages and where
// they leave the cursor), and the request fields and tagged buffers it writes.
#include "screens/consulta/ConsultaChequeTrnCheque.h"

#include <cstring>

#include "ModuloTeste.h"
#include "module/ChequeMain.h"
#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"
#include "screens/consulta/Cons70ChequeConsulta.h"
#include "screens/consulta/Cons7CGarantiaChq.h"
#include "screens/consulta/LayoutsConsulta.h"

namespace {

using namespace ConsultaChequeTrnCheque;
using TTela = TTelaTeste<TFrmCon_Con>;

class ConsultaChequeTest : public ModuloTeste {
protected:
  // A fresh screen initialised as if shown, without running it; `antes` sets controls first.
  TFrmCon_Con *Inicia(const std::string &antes = "") {
    Libera();
    tela = Application->CreateForm<TFrmCon_Con>();
    Preenche(tela, antes);
    tela->IniciaCamposForm();
    return tela;
  }
  void Libera() {
    if (tela) tela->Free();
    tela = nullptr;
  }
  void TearDown() override {
    Libera();
    ModuloTeste::TearDown();
  }
  TFrmCon_Con *tela = nullptr;
};

// ---- Configuration and what the host supplies ------------------------------------------------

TEST_F(ConsultaChequeTest, PadroesEValoresDoChequeIni) {
  // No section of its own: the defaults.
  Escreve("Cheque.ini", Secao("Outra", "habilitado=1\r\nCodigoRede=33\r\nopBanco=1"));
  Menu(1);
  Inicia();
  EXPECT_EQ(CodigoTrn, 70);
  EXPECT_EQ(sTipoFuncao + TipoConsulta + TipoEntChqManual, "112");
  EXPECT_EQ(CodigoRede + sReservado, "");
  EXPECT_FALSE(ConsultarBin || ColetaQtdChq || UtilizaCampoC1 || UtilizaCampoC2 ||
               NaoUtilizaCampoC3 || UtilizaCampoCodOperador);
  EXPECT_EQ(opDemoPrazos, 1);
  // Compensation code off; everything else on (the shop-decided items default to "Sim").
  Confere(tela, "-edCompensacao|-lbCompensacao|+edBanco|+edCMC7|+edEmitente|+edDtNascimento");
  Confere(tela, "edConta#9|edEmitente#50|edFacilitador#15|~edC1|~edQtdChq|^pnDadosCheque|~pnCMC7");

  Configura("CodigoTrn=0x7C\r\nTipoFuncao=9\r\nCodigoRede=45\r\nConsultarBin=1\r\n"
            "ColetaQtdChq=2\r\nTipoEntChqManual=3\r\nUtilizaCampoC1=1\r\nUtilizaCampoC2=-1\r\n"
            "TipoSaida=7\r\ntmConta=8\r\ntmDigito=2\r\ntmBanco=abc\r\n");
  Inicia();
  EXPECT_EQ(CodigoTrn, 0x7C);
  EXPECT_EQ(sTipoFuncao + "/" + CodigoRede + "/" + TipoEntChqManual + "/" + sTipoSaida, "9/45/3/7");
  EXPECT_EQ(sReservado, "45"); // no Reservado key: the network code
  EXPECT_TRUE(ConsultarBin == 1 && ColetaQtdChq && UtilizaCampoC1 && UtilizaCampoC2);
  // The configured account length includes the digit; a length that is not a number is the
  // default.
  Confere(tela, "edConta#6|edBanco#3|^edC1|^edC2");

  Configura("CodigoRede=10\r\nReservado=99\r\ntmConta=1\r\ntmDigito=1\r\n");
  Inicia();
  EXPECT_EQ(sReservado, "99");
  Confere(tela, "edConta#0"); // no limit
}

TEST_F(ConsultaChequeTest, ItensPelaConfiguracaoEPeloCliente) {
  struct Caso {
    std::string chaves, cliente, antes, estado;
  } casos[] = {
      // The cheque's length decides C3.
      {"tmCheque=7", "", "", "edCheque#6|^+edC3|^+lbC3"},
      {"tmCheque=6", "", "", "edCheque#6|~+edC3|~+lbC3"},
      {"tmCheque=8\r\nNaoUtilizaCampoC3=1", "", "", "edCheque#7|^-edC3|^-lbC3"},
      {"tmCheque=7\r\nopCheque=1", "", "", "edCheque#6|^-edC3|^-lbC3"},
      // Only "NAO", in any case, turns off an item the shop decides (values are trimmed); option
      // 0 does not ask the shop, and an unknown option leaves the item as it was.
      {"opEmitente=2\r\nopRG=0\r\nopNascto=3", "Emitente=nAo\r\nRG=NAO", "!edDtNascimento",
       "-edEmitente|-lbEmitente|+edRG|-edDtNascimento"},
      {"opEmitente=2", "Emitente=NAO ", "", "-edEmitente"},
      {"opEmitente=2", std::string("Emitente=") + CP1252("Não"), "", "+edEmitente"},
      // The quantity: shown with ColetaQtdChq, locked when the host gives it.
      {"ColetaQtdChq=1", "", "", "^+edQtdChq=1|^lbQtdChq"},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.chaves + " " + c.cliente);
    Configura(c.chaves, c.cliente);
    Menu(1);
    Inicia(c.antes);
    Confere(tela, c.estado);
    EXPECT_FALSE(tela->edQtdChq->ReadOnly);
  }
  host.Set(1046, 0, "3");
  Inicia();
  EXPECT_EQ(tela->edQtdChq->Text(), "3");
  EXPECT_TRUE(tela->edQtdChq->ReadOnly);
}

TEST_F(ConsultaChequeTest, PreencheETravaOQueOHostForneceu) {
  const char *cpf = TFrmChq_Trn::MASCARA_CPF, *cnpj = TFrmChq_Trn::MASCARA_CNPJ;
  struct Caso {
    std::string chaves;
    int modo;
    std::string campos, estado;
    const char *mascara = nullptr; // of edCPFCGC
  } casos[] = {
      // A bank from the host means one cheque.
      // clang-format off
      {"UtilizaCampoC1=1\r\nUtilizaCampoC2=1\r\nColetaQtdChq=1", 1, "1029=001|1030=0023|1032=456|1031=7|1257=8|1003=1.234,56",
       "-edBanco=001|-edAgencia=0023|-edConta=456|-edC1=7|-edC2=8|+edDigito=|-edQtdChq|+edCheque|-edValor=1234,56"},
      {"ColetaQtdChq=1", 2, "1005=123456789012345678901234567890", "^pnCMC7|~pnDadosCheque|-edCMC7=123456789012345678901234567890|-edQtdChq"},
      // The date: today when absent, and locked with today when it is no date.
      {"", 1, "", "+edData=15/06/2024"},
      {"", 1, "1008=31022024", "-edData=15/06/2024"},
      {"", 1, "1008=05032023", "-edData=05/03/2023"},
      {"opData=1", 1, "1008=05032023", "-edData=  /  /    "}, // not used: left as configured
      // The area code, cut or padded to two digits; the optional items locked with their values
      // (the facilitator from field 1222 when 1186 is absent).
      {"", 1, "1334=5|1200=052020|1085=01021980|1222=FAC9|1038=011|1258=JOSE",
       "-edCodArea=05|-edAberturaCC=05/2020|-edDtNascimento=01/02/1980|-edFacilitador=FAC9|-edDDD=011|-edEmitente=JOSE|+edTelefone"},
      {"", 1, "1334=119", "-edCodArea=11"},
      // The document and its type; entry mode 0 shows neither cheque panel.
      {"", 0, "1007=11222333000181", "+edTipoDoc=2|-edCPFCGC=11222333000181|~pnDadosCheque|~pnCMC7", cnpj},
      {"", 0, "1007=52998224725", "+edTipoDoc=1|-edCPFCGC=52998224725", cpf},
      {"", 0, "1006=F", "-edTipoDoc=1|+edCPFCGC=", cpf},
      {"", 0, "1006=J", "-edTipoDoc=2|+edCPFCGC=", cnpj},
      {"", 0, "1006=X", "+edTipoDoc=|+edCPFCGC=", cpf},
      {"", 0, "1007=123", "+edTipoDoc=|-edCPFCGC=123", cnpj},
      {"CodigoRede=96", 0, "", "-edTipoDoc=|+edCPFCGC=", cpf},
      // clang-format on
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.chaves + " " + c.campos);
    Prepara(c.chaves, c.modo, c.campos);
    Confere(Inicia(), c.estado);
    EXPECT_EQ(tela->edCPFCGC->EditMask(), c.mascara ? c.mascara : tela->edCPFCGC->EditMask());
  }
}

// ---- The quantity of cheques and the grids it opens ------------------------------------------

// A typed-cheque grid row: number, C3, amount, date.
std::string Linha(const char *n, const char *valor) {
  return std::string("type 00000") + n + "\nkey Enter\ntype " + n + "\nkey Enter\ntype " + valor +
         "\nkey Enter\ntype 0" + n + "022024\nkey Enter\n";
}

TEST_F(ConsultaChequeTest, QuantidadeAbreAGradeOuRecusa) {
  Configura("CodigoRede=12\r\nColetaQtdChq=1\r\ntmCheque=7\r\nNaoUtilizaCampoC3=1");
  Menu(1);
  host.Set(1003, 0, "15000");
  const char *unico = "edCheque|lbCheque|edC3|lbC3|edData|lbData";
  tela = Application->CreateForm<TFrmCon_Con>();
  TScriptRun r = RunScript(
      tela,
      "click edQtdChq\ntype 26\nkey Enter\nexpect-msgbox Quantidade de Cheques Inválida. "
      "Informe novamente (máx.25).\nok\nexpect-focus edQtdChq\nexpect-text edQtdChq 1\n"
      // 25 opens the grid; cancelled, back to the quantity.
      "type 25\nkey Tab\nexpect-form FrmMult_Chq\nclick btRetorna\nexpect-form FrmCon_Con\n"
      "expect-focus edQtdChq\n"
      // Completed, the grid turns the screen's own cheque fields off.
      "type 2\nkey Enter\nexpect-form FrmMult_Chq\n" +
          Linha("1", "10000") + Linha("2", "5000") +
          "click btConfirma\nexpect-form FrmCon_Con\nexpect-focus edBanco\nclick btRetorna\n");
  ASSERT_EQ(r.error, "") << r.screen;
  ConfereCampos("10101=2|10163[1]=000002");
  for (const std::string &n : Partes(unico)) Confere(tela, "-" + n);
  // The quantity back to 1: the screen's own cheque fields again, C3 included.
  tela->edQtdChq->SetText("1");
  char enter = '\r';
  tela->edQtdChqKeyPress(tela->edQtdChq, enter);
  for (const std::string &n : Partes(unico)) Confere(tela, "+" + n);
}

// The 7C guarantee sends the quantity the point of sale gives as its cheque count, also past the
// 26 cheques the grid collects.
TEST_F(ConsultaChequeTest, Garantia7CQuantidadeDoPdvAlemDaGrade) {
  Prepara("ColetaQtdChq=1", 2, "1003=1|1046=30", "", 124, 2);
  auto *g = Application->CreateForm<TFrmGarChq_7C>();
  g->IniciaCamposForm();
  ASSERT_TRUE(g->GravaCamposVelkor());
  g->VerificaAutorizaTransacao();
  EXPECT_NE(Requisicao(host).find(" 1046=30 x30/3 "), std::string::npos) << Requisicao(host);
  g->Free();
}

TEST_F(ConsultaChequeTest, QuantidadeSequencialOuGradeCmc7Cancelada) {
  const std::pair<const char *, const char *> casos[] = {
      // A sequential consultation numbers the cheques itself: no grid.
      {"TipoFuncao=9", "type 3\nkey Enter\nexpect-form FrmCon_Con\nexpect-focus edData\n"},
      {"opCmc7=0", "type 2\nkey Enter\nexpect-form FrmMult_CMC7\nclick btRetorna\n"
                   "expect-form FrmCon_Con\nexpect-focus edQtdChq\nexpect-enabled edCMC7\n"},
  };
  for (const auto &[chaves, roteiro] : casos) {
    Configura(std::string("ColetaQtdChq=1\r\n") + chaves);
    Menu(chaves[0] == 'o' ? 2 : 1);
    const TScriptRun r = Executa(Application->CreateForm<TFrmCon_Con>(),
                                 std::string("click edQtdChq\n") + roteiro + "click btRetorna\n");
    EXPECT_EQ(r.error, "") << r.screen;
  }
  // The document type takes 1 and 2 only.
  char tres = '3';
  Inicia();
  tela->edTipoDoc->OnKeyPress(tela->edTipoDoc, tres);
  EXPECT_EQ(tres, 0);
}

// ---- The checks ------------------------------------------------------------------------------

// Edits that pass every check with the base configuration.
const char *kValido = "edBanco=1|edAgencia=23|edConta=456|edDigito=7|edCheque=123456|edTipoDoc=1|"
                      "edCPFCGC=52998224725|edAberturaCC=05/2020|edDtNascimento=01/02/1980|"
                      "edCMC7=123456789012345678901234567890";

TEST_F(ConsultaChequeTest, OrdemMensagensEFoco) {
  struct Caso {
    std::string chaves, cliente; // added to the base section; Cliente.ini
    int modo;
    const char *campos, *edits; // the host's fields (1003 is always there), edits over kValido
    int mensagem;               // 0: every check passes and the consultation is authorised
    const char *foco;           // where the cursor ends
    bool limpo;                 // the focused edit was emptied
  } casos[] = {
      {"", "", 1, "1003=", "", 26, "edValor", true},
      {"ColetaQtdChq=1", "", 1, "", "edQtdChq=0", 1730, "edQtdChq", true},
      {"ColetaQtdChq=1", "", 1, "1029=001", "edQtdChq=0", 1730, "edData", false},
      {"", "", 1, "", "edData=31/02/2024", 787, "edData", true},
      {"opCompensacao=0", "", 1, "", "", 1023, "edCompensacao", false},
      {"", "", 1, "", "edBanco=", 804, "edBanco", false},
      {"", "", 1, "", "edAgencia=", 805, "edAgencia", false},
      {"UtilizaCampoC1=1", "", 1, "", "edC1= ", 1102, "edC1", false},
      {"", "", 1, "", "edConta=", 806, "edConta", false},
      {"", "", 1, "", "edDigito=", 807, "edDigito", false},
      {"UtilizaCampoC2=1", "", 1, "", "", 1171, "edC2", false},
      {"", "", 1, "", "edCheque=", 808, "edCheque", false},
      {"tmCheque=7", "", 1, "", "", 1172, "edC3", false},
      // The cheque turned off by the quantity is not checked.
      {"", "", 1, "", "!edCheque=", 0, nullptr, false},
      {"", "", 2, "", "edCMC7=12345678901234567890123456789", 809, "edCMC7", false},
      // The CMC-7 line replaces the typed cheque; without it (off or the shop's) it is typed.
      {"", "", 2, "", "edBanco=", 0, nullptr, false},
      {"opCmc7=1", "", 1, "", "edBanco=", 0, nullptr, false},
      {"", "", 1, "", "edTipoDoc=", 856, "edTipoDoc", true},
      {"", "", 1, "", "edCPFCGC=52998224724", 803, "edCPFCGC", true},
      {"", "", 1, "", "!edCPFCGC=", 803, "edCPFCGC", true},
      {"opTipoDoc=1", "", 1, "", "edCPFCGC=", 0, nullptr, false},
      {"opCodArea=0", "", 1, "", "edCodArea=1", 1711, "edCodArea", true},
      {"opCodArea=0", "", 1, "", "!edCodArea", 1711, "edData", false},
      {"", "", 1, "", "edAberturaCC=13/2020", 787, "edAberturaCC", true},
      // An account opened after this month.
      {"", "", 1, "", "edAberturaCC=07/2024", 1267, "edAberturaCC", true},
      {"", "", 1, "", "edAberturaCC=01/2025", 1267, "edAberturaCC", true},
      {"", "", 1, "", "edAberturaCC=06/2024", 0, nullptr, false},
      {"", "", 1, "", "edDtNascimento=", 787, "edDtNascimento", true},
      {"", "Nascto=nao", 1, "", "edDtNascimento=", 0, nullptr, false},
      {"opFacilit=0", "", 1, "", "", 1103, "edFacilitador", true},
      {"opFacilit=0\r\nUtilizaCampoCodOperador=1", "", 1, "", "", 1104, "edFacilitador", true},
      {"opFacilit=2", "", 1, "", "", 0, nullptr, false},
      // Two failures at once: the first in the order is the one reported.
      {"", "", 1, "", "edBanco=|edDtNascimento=", 804, "edBanco", false},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.chaves + " " + c.edits);
    Prepara("CodigoRede=12\r\n" + c.chaves, c.modo, "1003=15000|" + std::string(c.campos),
            c.cliente);
    auto *t = Application->CreateForm<TTela>();
    t->aposIniciar = [&c](TTela &x) { Preenche(&x, std::string(kValido) + "|" + c.edits); };
    std::string roteiro = "click btConfirma\n";
    if (c.mensagem)
      roteiro += "expect-msgbox MSG " + std::to_string(c.mensagem) + "\nok\nexpect-focus " +
                 c.foco + "\nclick btRetorna\n";
    const TScriptRun r = RunScript(t, roteiro);
    EXPECT_EQ(r.error, "") << r.screen;
    EXPECT_EQ(r.result, c.mensagem ? mrCancel : mrOk);
    EXPECT_EQ(host.CountOf("AutorizaTransacao"), c.mensagem ? 0 : 1);
    if (c.mensagem) {
      EXPECT_FALSE(host.Has(1008)); // nothing was written
      auto *foco = dynamic_cast<TCustomEdit *>(t->FindComponent(c.foco));
      ASSERT_NE(foco, nullptr);
      EXPECT_TRUE(foco->Enabled());
      EXPECT_TRUE(!c.limpo || Trim(host.RemoveFormato(foco->Text())).empty()) << foco->Text();
    }
    t->Free();
  }
}

// ---- What the consultation writes ------------------------------------------------------------

TEST_F(ConsultaChequeTest, ConsultaDigitadaEnviaCadaCampoEBufferNaOrdemDoLayout) {
  Configura("CodigoRede=12\r\nUtilizaCampoC1=1\r\nUtilizaCampoC2=1\r\nopCompensacao=0\r\n"
            "tmCheque=7\r\nopCodArea=0\r\nopFacilit=0",
            "TipoServico=05\r\nRetornaDetalhesSCPC=S\r\nHistorico=1\r\nConfigExtra=X1\r\n"
            "DadosCliente=1");
  Menu(1);
  host.Set(1003, 0, "15000");
  const TScriptRun r = Executa(
      Application->CreateForm<TFrmCon_Con>(),
      Digita("edCompensacao=018|edBanco=1|edAgencia=23|edC1=4|edConta=456|edDigito=7|edC2=8|"
             "edCheque=123456|edC3=9|edTipoDoc=2|edCPFCGC=11222333000181|edCodArea=11|"
             "edEmitente=Jose da Silva|edAberturaCC=052020|edRG=1234567|edFacilitador=99|"
             "edDtNascimento=01021980|edDDD=011|edTelefone=5551234") +
          "click btConfirma\n");
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(r.result, mrOk);
  EXPECT_EQ(host.RequestCodes(), std::vector<uint32_t>{0x70});
  // Company as code 70 sends it; only the amounts carry an attribute byte.
  EXPECT_EQ(Requisicao(host),
            "10112=12 10171- 10102=12 10158=1 1003=15000@4.0.0 1006=1 1007=11222333000181 1046=1 "
            "x1/4 10166=15062024 10165=15000@4.0.0 '2' 10167=018~1~23~4567~8~1234569 10146- "
            "'TELD:011' 'TEL:5551234' 'CHQ2:052020' 'CHQ3:JOSE DA SILVA' 'CHQ4:1234567' "
            "'CHQ5:01021980' 'CHQ7:05' 'CHQ8:S' 'CHQ9:1' 'CHQ10:X1' 'RET:1' 'FAC:99' '' "
            "1334=11(CODAREA:)");
  // The saved store: what the point of sale reads (the person type back as a letter).
  EXPECT_EQ(host.SaveCount(), 1);
  ConfereCampos("1006=J|1008=15062024|1214=018|1029=1|1030=23|1031=4|1257=8|1033=7|1034=123456|"
                "1035=9|1038=011|1039=5551234|1085=01021980|1032=456|1044=1234567|1186=99|"
                "1200=052020|1258=JOSE DA SILVA|1334=11|10112=12|10102=12|1046=1|10158=1|"
                "1005=<ausente>",
                true);
}

// GravaCamposVelkor of the consultation screen alone, on a screen initialised as if shown.
TEST_F(ConsultaChequeTest, CamposEBuffersPorCaso) {
  const std::string emitente(60, 'E'), A = "<ausente>";
  struct Caso {
    std::string chaves, cliente;
    int modo, codigo;
    const char *campos; // the host's fields
    std::string edits, esperados;
    std::vector<std::pair<const char *, std::string>> buffers;
    bool resultado = true;
  } casos[] = {
      // clang-format off
      {"", "", 1, 70, "1006=F", "edTipoDoc= ", "1006=" + A + "|1007=|1008=15062024", {}},
      {"", "", 1, 70, "", "", "1085=" + A + "|1200=" + A + "|1038=" + A,
       {{DataNascimento, ""}, {DataAberturaOpcional, ""}, {DDDTelefones, ""}}},
      // The operator code goes in the RG's field.
      {"UtilizaCampoCodOperador=1", "", 1, 70, "", "edRG=RG55|edFacilitador=OP7", "1044=OP7|1186=" + A,
       {{RGOpcional, "CHQ4:RG55"}, {FacilitOpcional, "OPR:OP7"}}},
      {"CodigoRede=57\r\nReservado=33", "", 1, 70, "", "", "10112=57|10102=0", {}},
      {"CodigoRede=45", "", 1, 70, "", "", "10102=45", {}}, // no Reservado: the network
      // Network 10 sends the consultation type.
      {"CodigoRede=10", "TipoServico=01\r\nHistorico=2", 1, 70, "1043= 07 ", "", "",
       {{aTipoServico, "CHQ7:07"}, {aHistorico, ""}, {aDadosCliente, ""}}},
      // Code F0 writes none of the optional items.
      {"CodigoRede=200", "", 1, 0xF0, "",
       "edConta=456|edDDD=11|edTelefone=5551234|edRG=77|edEmitente=X|edFacilitador=9|"
       "edCodArea=11|edDtNascimento=01/02/1980|edAberturaCC=05/2020",
       "1032=" + A + "|1038=" + A + "|1039=" + A + "|1044=" + A + "|1085=" + A + "|1186=" + A +
           "|1200=" + A + "|1258=" + A + "|1334=" + A + "|10112=200",
       {{DDDTelefones, "ANTES"}, {EmitenteOpcional, "ANTES"}}},
      // Long texts go whole to the fields and are cut in the buffers.
      {"tmEmitente=60\r\ntmRG=15", "", 1, 70, "",
       "edEmitente=" + emitente + "|edRG=123456789012345|edFacilitador=123456789012345",
       "1258=" + emitente + "|1044=123456789012345|1186=123456789012345",
       {{EmitenteOpcional, "CHQ3:" + std::string(46, 'E')}, {RGOpcional, "CHQ4:12345678901234"},
        {FacilitOpcional, "FAC:123456789012345"}}},
      {"", "", 2, 70, "", "edCMC7=123456789012345678901234567890",
       "1005=123456789012345678901234567890|1029=" + A, {}},
      // A refused write stops there.
      {"", "", 1, 70, "", "edBanco=1|edAgencia=23|edCheque=5",
       "1029=1|1030=" + A + "|1034=" + A + "|10112=" + A, {}, false},
      // clang-format on
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.chaves + " " + c.edits);
    // The first key of a name counts.
    Prepara(c.chaves + "\r\nCodigoRede=12", c.modo, "1003=15000|" + std::string(c.campos),
            c.cliente, c.codigo);
    std::strcpy(DDDTelefones, "ANTES");
    std::strcpy(EmitenteOpcional, "ANTES");
    auto *t = Application->CreateForm<TFrmChq_Trn>();
    t->IniciaCamposForm();
    Preenche(t, c.edits);
    if (!c.resultado) host.FailWritesOf(1030);
    EXPECT_EQ(t->GravaCamposVelkor(), c.resultado);
    ConfereCampos(c.esperados);
    for (const auto &[buffer, valor] : c.buffers) EXPECT_EQ(std::string(buffer), valor);
    t->Free();
  }
}

} // namespace
