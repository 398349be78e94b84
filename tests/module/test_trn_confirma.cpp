// The base transaction screen run by the operator: the amount, the confirm cycle, the
// network's questions, the Venezuelan refusal receipt and the display of the answer.
#include <string>
#include <vector>

#include "ModuloTeste.h"
#include "module/ChequeMain.h"
#include "screens/base/TrnModeloCheque.h"
#include "screens/consulta/LayoutsConsulta.h"
#include "screens/menus/MenuCheque.h"

namespace {

using Resposta = TFakeHost::TResposta;
using Op = TFakeHost::TOperacao;

TRequestLayout LayoutTeste = cheque::layout::MontaLayout(
    0x72, {cheque::layout::Campo(10112), cheque::layout::Campo(1003), cheque::layout::Campo(1006)});

// The base screen as a transaction screen of its own: it only names its request.
class TFrmTrnTeste : public TFrmTrn_Mod {
public:
  explicit TFrmTrnTeste(TComponent *AOwner) : TFrmTrn_Mod(AOwner) { Name = "FrmTrnTeste"; }
  void IniciaCamposForm() override {
    TFrmTrn_Mod::IniciaCamposForm();
    LayoutRequisicao = &LayoutTeste;
  }
};

class TrnConfirma : public ModuloTeste {
protected:
  void SetUp() override {
    ModuloTeste::SetUp();
    host.SetMessage(556, "&1 - Imprime");
    host.SetMessage(1187, "Digite %s");
    host.SetMessage(1186, "%s: minimo %d");
  }
  // Opens the screen and plays `roteiro`; returns the screen's modal result.
  int Confirma(const std::string &roteiro, TScriptRun *saida = nullptr) {
    int resultado = -1;
    TScriptRun r = Roda(
        [&] {
          auto *tela = Application->CreateForm<TFrmTrnTeste>();
          resultado = tela->ShowModal();
          tela->Free();
        },
        roteiro);
    EXPECT_EQ(r.error, "");
    EXPECT_TRUE(r.scriptDone);
    if (saida) *saida = r;
    return resultado;
  }
  static std::string TextoDaRequisicao(const std::vector<cheque::layout::TEntradaDecodificada> &req,
                                       const std::string &inicio) {
    for (const auto &e : req)
      if (e.tipo == cheque::layout::TEntradaDecodificada::Tipo::Texto &&
          e.valor.rfind(inicio, 0) == 0)
        return e.valor;
    return "";
  }
  static std::string Campo(const std::vector<cheque::layout::TEntradaDecodificada> &req,
                           int campo) {
    for (const auto &e : req)
      if (e.tipo == cheque::layout::TEntradaDecodificada::Tipo::Campo && e.campo == campo)
        return e.valor;
    return "<none>";
  }
};

const char *kConfirmaValor = "key Enter\nexpect-focus btConfirma\nkey Enter\n";

TEST_F(TrnConfirma, AmountRules) {
  host.QueueAuthorization({Op::Grava(1009, 0, "0")});
  TScriptRun r;
  const int resultado = Confirma(std::string("expect-focus edValor\n"
                                             "type 0\n") +
                                     kConfirmaValor +
                                     "expect-msgbox MSG 790\n"
                                     "ok\n"
                                     "expect-focus edValor\n"
                                     "expect-text edValor \"\"\n"
                                     "type 1a2b.5\n"
                                     "expect-text edValor 12,5\n"
                                     "type ,.7x\n"
                                     "expect-text edValor 12,57\n"
                                     "key Backspace 5\n"
                                     "key Enter\n"
                                     "expect-focus btConfirma\n"
                                     "key Enter\n"
                                     "expect-msgbox MSG 26\n"
                                     "ok\n"
                                     "type 3,\n"
                                     "expect-text edValor 3,\n"
                                     "type 9\n" +
                                     kConfirmaValor,
                                 &r);
  EXPECT_EQ(resultado, mrOk);
  ASSERT_EQ(host.Requests().size(), 1u);
  EXPECT_EQ(Campo(host.Requests()[0], 1003), "39");
  EXPECT_EQ(host.Get(10148), std::string(32, '0'));
  // Both messages came in exclamation boxes with the module's caption.
  const auto caixas = r.Events("msgbox");
  ASSERT_EQ(caixas.size(), 2u);
  for (const auto &c : caixas) EXPECT_EQ(c["flags"], 0x40030);
  EXPECT_EQ(host.SaveCount(), 1);
  EXPECT_EQ(host.SavedStore().count({1003, 0}), 1u);
}

TEST_F(TrnConfirma, HostAmountIsShownAndLocked) {
  host.Set(1003, 0, "1.234,50");
  host.QueueAuthorization({Op::Grava(1009, 0, "0")});
  EXPECT_EQ(Confirma("expect-disabled edValor\n"
                     "expect-text edValor 1234,50\n"
                     "expect-focus btConfirma\n"
                     "key Enter\n"),
            mrOk);
  EXPECT_EQ(host.Get(1003), "123450");
}

TEST_F(TrnConfirma, ApprovedAnswerFieldsAndPersonType) {
  struct Caso {
    const char *nome;
    Resposta resposta;
    const char *campo1028; // nullptr: not written
  } casos[] = {
      {"approved with 20130 = 2",
       {Op::Grava(1009, 0, "0"), Op::Grava(20130, 0, "2"), Op::Grava(20020, 0, "AUT998877")},
       "AUT998877"},
      {"approved with 20130 = 0",
       {Op::Grava(1009, 0, "0"), Op::Grava(20130, 0, "0"), Op::Grava(20020, 0, "AUT998877")},
       nullptr},
      {"refused with 20130 = 2",
       {Op::Grava(1009, 0, "5"), Op::Grava(20130, 0, "2"), Op::Grava(20020, 0, "AUT998877")},
       nullptr},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    host.Store().clear();
    host.Set(1006, 0, "1");
    host.QueueAuthorization(c.resposta);
    const int saves = host.SaveCount();
    // No field 20033: the cycle closes as completed and saves the store.
    EXPECT_EQ(Confirma(std::string("type 10\n") + kConfirmaValor), mrOk);
    EXPECT_EQ(host.SaveCount(), saves + 1);
    if (c.campo1028)
      EXPECT_EQ(host.Get(1028), c.campo1028);
    else
      EXPECT_FALSE(host.Has(1028));
    EXPECT_EQ(host.Get(1006), "J");
    EXPECT_EQ(host.SavedStore().at({1006, 0}), "J");
  }
}

TEST_F(TrnConfirma, VenezuelanRefusalReceipt) {
  CodigoRede = "96";
  host.QueueAuthorization({Op::Grava(1009, 0, "5")});
  EXPECT_EQ(Confirma(std::string("type 10\n") + kConfirmaValor), mrOk);
  EXPECT_EQ(host.Get(10218), "       AUTORIZACION DE CHEQUES        ");
  EXPECT_EQ(host.Get(10232), "               CHEQUES                ");
  EXPECT_EQ(host.Get(10218)->size(), 38u);
  EXPECT_EQ(host.Get(10232)->size(), 38u);
  std::vector<std::string> venez;
  for (const std::string &n : host.CallNames())
    if (n.find("Venezuela") != std::string::npos) venez.push_back(n);
  EXPECT_EQ(venez, (std::vector<std::string>{"Leitura_Dados_ServicoQ_Timeout_Venezuela",
                                             "Monta_Comprovante_ServicoQ_Timeout_Venezuela"}));
  EXPECT_FALSE(host.CupomNegada());
  EXPECT_TRUE(ImprimeCupom);

  // The host holds the receipt: it is only named, and the operator prints it from the
  // result screen (network 21 receipt lines).
  host.Store().clear();
  host.ClearCalls();
  ImprimeCupom = false;
  CodigoRede = "57";
  host.QueueAuthorization({Op::Grava(1009, 0, "5"), Op::Grava(20128, 0, "2"),
                           Op::Grava(20018, 0, "CHEQUE RECHAZADO"), Op::Grava(20018, 1, "@"),
                           Op::Grava(10112, 0, "21"), Op::Grava(20033, 0, "x")});
  EXPECT_EQ(Confirma(std::string("type 10\n") + kConfirmaValor +
                     "expect-form FrmImprime_Mod\n"
                     "expect-enabled btImprime\n"
                     "click btImprime\n"),
            mrOk);
  EXPECT_EQ(host.CupomNegada(), 20018);
  EXPECT_FALSE(host.Has(10218));
  EXPECT_EQ(host.CountOf("Leitura_Dados_ServicoQ_Timeout_Venezuela"), 0);
  EXPECT_EQ(host.SaveCount(), 2);

  // Not a Venezuelan network: no receipt.
  host.Store().clear();
  host.ClearCalls();
  CodigoRede = "45";
  host.QueueAuthorization({Op::Grava(1009, 0, "5")});
  Confirma(std::string("type 10\n") + kConfirmaValor);
  EXPECT_FALSE(host.Has(10218));
  EXPECT_EQ(host.CountOf("Leitura_Dados_ServicoQ_Timeout_Venezuela"), 0);
}

// Questions of the three kinds, answered on the keyboard, on the PIN pad and with a card.
class TrnPerguntas : public TrnConfirma {
protected:
  void SetUp() override {
    TrnConfirma::SetUp();
    CodigoRede = "45";
    host.Set(1006, 0, "F");
  }
  void PrimeiraResposta(const char *resultado = "88", const char *servico = "sc01") {
    host.QueueAuthorization({Op::Grava(1009, 0, resultado), Op::Grava(20017, 0, servico),
                             Op::Grava(1027, 0, "RESPONDA AS PERGUNTAS")});
  }
};

TEST_F(TrnPerguntas, AnswersOfTheThreeKindsGoOutInOrder) {
  host.SetQuestions({TFakeHost::Question("P01 ", "NOME DA MAE", '0', 1, 20),
                     TFakeHost::Question("P02 ", "DATA NASC", '1', 26, 26),
                     TFakeHost::Question("P03 ", "CARTAO", '2', 0, 37),
                     TFakeHost::Question("P04 ", "CIDADE", '0', 1, 20)});
  PrimeiraResposta();
  host.QueueAuthorization({Op::Grava(1009, 0, "0"), Op::Grava(20017, 0, "OK")});
  // A PIN-pad answer may fill its whole 26-character entry.
  const std::string pinpad26 = "01011980" + std::string(18, '7');
  host.QueuePinpadAnswer(pinpad26);
  // The card read: the BIN lookup finds network 45 and the PIN pad leaves the card data.
  const std::string cartao = "6012345678901234=25121234567890123456789";
  host.QueueBinAnswer(true, {Op::Grava(10112, 0, "45"), Op::Grava(10104, 0, cartao)});
  EXPECT_EQ(Confirma(std::string("type 10\n") + kConfirmaValor +
                     "expect-form FrmCap_Perg\n"
                     "expect-text lbPergunta1 \"NOME DA MAE\"\n"
                     "expect-text lbPergunta2 CIDADE\n"
                     "expect-focus edPergunta1\n"
                     "type MARIA\n"
                     "key Enter\n"
                     "type RECIFE\n"
                     "key Enter\n"
                     "expect-focus btConfirma\n"
                     "key Enter\n"),
            mrOk);
  ASSERT_EQ(host.RequestCodes().size(), 2u);
  EXPECT_EQ(host.RequestCodes()[0], 0x72u);
  EXPECT_EQ(host.RequestCodes()[1], 0x70u); // answered as a code-70 consultation
  const auto &segunda = host.Requests()[1];
  EXPECT_EQ(TextoDaRequisicao(segunda, "PERG:"), "PERG:P01 NOME DA MAE,MARIA,0;"
                                                 "PERG:P02 DATA NASC," +
                                                     pinpad26 +
                                                     ",1;"
                                                     "PERG:P03 CARTAO," +
                                                     cartao.substr(0, 37) +
                                                     ",2;"
                                                     "PERG:P04 CIDADE,RECIFE,0;");
  EXPECT_EQ(Campo(segunda, 1006), "2"); // person type as the request wants it
  EXPECT_EQ(host.Get(1006), "F");       // and back afterwards
  // The PIN pad question and what was read are cleaned up.
  const auto pinpad = host.CallsOf("ObtemCampoPinpad");
  ASSERT_EQ(pinpad.size(), 1u);
  EXPECT_EQ(pinpad[0].args[1], "DATA NASC");
  EXPECT_EQ(pinpad[0].args[2], "Digite DATA NASC");
  EXPECT_EQ(pinpad[0].args[4], "26");
  EXPECT_EQ(pinpad[0].args[5], "26");
  EXPECT_EQ(host.Get(10146), "");
  EXPECT_EQ(host.Get(10104), "");
  EXPECT_EQ(host.Get(10107), "1");
  EXPECT_EQ(host.Get(10191), "0");
  EXPECT_EQ(host.Get(10227), "1");
  EXPECT_EQ(Struct_Perguntas.size(), 1u);
  EXPECT_EQ(host.SaveCount(), 1);
}

// A host whose keyboard filter drops "5": what it does to a key is what the controls get.
class THostSemCinco : public TFakeHost {
public:
  char ValKeyBoard(char &key) override {
    TFakeHost::ValKeyBoard(key);
    if (key == '5') key = 0;
    return key;
  }
};

TEST_F(TrnPerguntas, TheHostsKeyFilterIsObeyed) {
  THostSemCinco filtro;
  SetHost(&filtro);
  filtro.Set(1006, 0, "F");
  filtro.SetQuestions({TFakeHost::Question("P01 ", "NOME", '0', 1, 20)});
  filtro.QueueAuthorization({Op::Grava(1009, 0, "88"), Op::Grava(20017, 0, "SC")});
  filtro.QueueAuthorization({Op::Grava(1009, 0, "0")});
  // On the transaction screen and on the questions screen alike.
  EXPECT_EQ(Confirma(std::string("type 152\n") + kConfirmaValor +
                     "expect-form FrmCap_Perg\ntype A5B\nkey Enter\n"
                     "expect-focus btConfirma\nkey Enter\n"),
            mrOk);
  const auto &req = filtro.Requests();
  EXPECT_EQ(req.size(), 2u);
  if (req.size() == 2) {
    EXPECT_EQ(Campo(req[0], 1003), "12");
    EXPECT_EQ(TextoDaRequisicao(req[1], "PERG:"), "PERG:P01 NOME,AB,0;");
  }
  SetHost(&host);
}

TEST_F(TrnPerguntas, ExchangeStartsOnlyForItsResultsAndNetwork) {
  struct Caso {
    const char *nome, *rede, *resultado, *servico;
    size_t autorizacoes;
  } casos[] = {
      {"result 1, upper case", "45", "1", "SC", 2}, {"result 88, lower case", "45", "88", "sc", 2},
      {"mixed case", "45", "88", "sC", 2},          {"other result", "45", "5", "SC", 1},
      {"other record", "45", "88", "SX", 1},        {"other network", "46", "88", "SC", 1},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    TFakeHost novo; // each case on a host of its own: unused answers stay queued
    SetHost(&novo);
    CodigoRede = c.rede;
    novo.SetQuestions({TFakeHost::Question("P02 ", "SENHA", '1', 4, 6)});
    novo.QueuePinpadAnswer("1234");
    novo.QueueAuthorization({Op::Grava(1009, 0, c.resultado), Op::Grava(20017, 0, c.servico)});
    novo.QueueAuthorization({Op::Grava(1009, 0, "0")});
    EXPECT_EQ(Confirma(std::string("type 10\n") + kConfirmaValor), mrOk);
    EXPECT_EQ(novo.RequestCodes().size(), c.autorizacoes);
    SetHost(&host);
  }
}

TEST_F(TrnPerguntas, FailedQuestionsEndTheOperationCompleted) {
  struct Caso {
    const char *nome;
    std::vector<TPergunta> perguntas;
    std::function<void(TFakeHost &)> prepara;
    const char *roteiro;
    const char *resultado; // field 1009 afterwards
  } casos[] = {
      {"questions screen cancelled",
       {TFakeHost::Question("P01 ", "NOME", '0', 1, 20)},
       [](TFakeHost &) {},
       "expect-form FrmCap_Perg\nclick btRetorna\n",
       "88"},
      {"PIN pad without an answer",
       {TFakeHost::Question("P02 ", "SENHA", '1', 4, 6)},
       [](TFakeHost &h) { h.FailPinpad(); },
       "",
       "88"},
      {"card of another network",
       {TFakeHost::Question("P03 ", "CARTAO", '2', 0, 37)},
       [](TFakeHost &h) { h.QueueBinAnswer(true, {Op::Grava(10112, 0, "21")}); },
       "",
       "FF"},
      {"BIN lookup failed",
       {TFakeHost::Question("P03 ", "CARTAO", '2', 0, 37)},
       [](TFakeHost &h) { h.QueueBinAnswer(false); },
       "",
       "88"},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    TFakeHost novo;
    // Each case on a host of its own (the PIN pad failure stays).
    SetHost(&novo);
    novo.SetMessage(553, "&1 - Confirma");
    novo.SetMessage(554, "&9 - Cancela");
    novo.Set(1006, 0, "F");
    novo.SetQuestions(c.perguntas);
    c.prepara(novo);
    novo.QueueAuthorization({Op::Grava(1009, 0, "88"), Op::Grava(20017, 0, "SC")});
    novo.QueueAuthorization({Op::Grava(1009, 0, "0")});
    TScriptRun r;
    EXPECT_EQ(Confirma(std::string("type 10\n") + kConfirmaValor + c.roteiro, &r), mrOk);
    EXPECT_EQ(novo.RequestCodes().size(), 1u);
    EXPECT_EQ(novo.SaveCount(), 1);
    EXPECT_EQ(novo.Get(1009), c.resultado);
    if (std::string(c.resultado) == "FF") {
      EXPECT_EQ(novo.Get(1027), "MSG 317");
    }
    SetHost(&host);
  }
}

TEST_F(TrnConfirma, TextAnswerOnTheResultScreen) {
  host.QueueAuthorization({Op::Grava(1009, 0, "0"), Op::Grava(10112, 0, "10"),
                           Op::Grava(20033, 0, "1CHEQUE SEM RESTRICOES@CONSULTA 1234@")});
  TScriptRun r;
  EXPECT_EQ(Confirma(std::string("type 10\n") + kConfirmaValor +
                         "expect-form FrmImprime_Mod\n"
                         "expect-disabled btImprime\n"
                         "expect-focus MemoConsulta\n"
                         "click btRetorna\n",
                     &r),
            mrCancel);
  EXPECT_EQ(host.Get(1009), "FF");
  EXPECT_EQ(host.Get(1027), "MSG 801");
  EXPECT_EQ(host.SaveCount(), 0);
  EXPECT_FALSE(ImprimeCupom);
}

TEST_F(TrnConfirma, CdlPoaAndTelechequeAnswers) {
  // CDL POA: a block of registers, then a free text shown with print offered.
  std::string registro = "006";
  registro.resize(177, 'r');
  registro += '0';
  host.QueueAuthorization({Op::Grava(1009, 0, "0"), Op::Grava(10112, 0, "71"),
                           Op::Grava(20143, 0, "2"),
                           Op::Grava(20033, 0,
                                     "\x12"
                                     "abc" +
                                         registro),
                           Op::Grava(20033, 1,
                                     "\x11"
                                     "CONSULTA OK\n")});
  EXPECT_EQ(Confirma(std::string("type 10\n") + kConfirmaValor +
                     "expect-form FrmImprime_Mod\n"
                     "expect-enabled btImprime\n"
                     "click btImprime\n"),
            mrOk);
  EXPECT_EQ(host.Get(1189, 0), registro);
  EXPECT_EQ(host.SaveCount(), 1);

  // CDL POA without records: completed all the same.
  host.Store().clear();
  ImprimeCupom = false;
  host.QueueAuthorization({Op::Grava(1009, 0, "0"), Op::Grava(10112, 0, "71")});
  EXPECT_EQ(Confirma(std::string("type 10\n") + kConfirmaValor), mrOk);

  // Telecheque: the record is cut into field 1188 and nothing is shown.
  host.Store().clear();
  ImprimeCupom = false;
  std::string tc = "2";
  tc.resize(117, '7');
  host.QueueAuthorization(
      {Op::Grava(1009, 0, "0"), Op::Grava(10112, 0, "117"), Op::Grava(20033, 0, tc)});
  TScriptRun r;
  EXPECT_EQ(Confirma(std::string("type 10\n") + kConfirmaValor, &r), mrOk);
  EXPECT_EQ(host.Get(1188, 0), "2");
  EXPECT_EQ(host.Get(1188, 12), std::string(14, '7'));
  EXPECT_EQ(Formularios(r, "show"), std::vector<std::string>{"FrmTrnTeste"});
}

TEST_F(TrnConfirma, PasswordRefusedClosesCompleted) {
  class TFrmSenha : public TFrmTrnTeste {
  public:
    using TFrmTrnTeste::TFrmTrnTeste;
    void IniciaCamposForm() override {
      captura_senha = true;
      TFrmTrnTeste::IniciaCamposForm();
    }
  };
  host.FailPinpad();
  int resultado = -1;
  TScriptRun r = Roda(
      [&] {
        auto *tela = Application->CreateForm<TFrmSenha>();
        tela->lbTitulo->SetCaption("GARANTIA");
        resultado = tela->ShowModal();
        tela->Free();
      },
      std::string("type 10\n") + kConfirmaValor);
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(resultado, mrOk);
  EXPECT_EQ(host.SaveCount(), 1);
  EXPECT_TRUE(host.Requests().empty());
  const auto senha = host.CallsOf("LerSenha");
  ASSERT_EQ(senha.size(), 1u);
  EXPECT_EQ(senha[0].args[1], "");
  EXPECT_EQ(senha[0].args[2], "Garantia com Senha");
}

} // namespace
