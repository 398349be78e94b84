// The base transaction screen run by the operator: the amount, the confirm cycle, the network's
// questions and the text of the second request, the Venezuelan refusal receipt, the display of
// the answer and the Telecheque records.
#include "screens/base/TrnModeloCheque.h"

#include <cstring>

#include <gmock/gmock.h>

#include "ModuloTeste.h"
#include "module/ChequeMain.h"
#include "screens/menus/MenuCheque.h"

namespace {

TRequestLayout LayoutTeste = cheque::layout::MontaLayout(
    0x72, {cheque::layout::Campo(10112), cheque::layout::Campo(1003), cheque::layout::Campo(1006)});

// The base screen as a transaction screen of its own: it only names its request.
class TFrmTrnTeste : public TFrmTrn_Mod {
public:
  explicit TFrmTrnTeste(TComponent *AOwner) : TFrmTrn_Mod(AOwner) { Name = "FrmTrnTeste"; }
  void IniciaCamposForm() override {
    captura_senha = senha;
    TFrmTrn_Mod::IniciaCamposForm();
    LayoutRequisicao = &LayoutTeste;
  }
  static inline bool senha = false;
};

// Ten units of money typed and confirmed.
const std::string kDez = "type 10\nkey Enter\nexpect-focus btConfirma\nkey Enter\n";

const auto Q = &TFakeHost::Question;

class TrnModeloTest : public ModuloTeste {
protected:
  void SetUp() override {
    ModuloTeste::SetUp();
    TFrmTrnTeste::senha = false;
    host.SetMessage(1187, "Digite %s");
  }
  // Opens the screen and plays `roteiro`; returns the screen's modal result.
  int Confirma(const std::string &roteiro) { return Mostra<TFrmTrnTeste>(roteiro); }
};

TEST_F(TrnModeloTest, RegrasDoValor) {
  host.QueueAuthorization({Op::Grava(1009, 0, "0")});
  const std::string confirma = "key Enter\nexpect-focus btConfirma\nkey Enter\n";
  EXPECT_EQ(Confirma("expect-focus edValor\ntype 0\n" + confirma +
                     "expect-msgbox MSG 790\nok\nexpect-focus edValor\nexpect-text edValor \"\"\n"
                     "type 1a2b.5\nexpect-text edValor 12,5\n"
                     "type ,.7x\nexpect-text edValor 12,57\nkey Backspace 5\n" +
                     confirma +
                     "expect-msgbox MSG 26\nok\n"
                     "type 3,\nexpect-text edValor 3,\ntype 9\n" +
                     confirma),
            mrOk);
  EXPECT_EQ(Requisicao(host), "10112- 1003=39 1006-");
  EXPECT_EQ(Campo(10148), std::string(32, '0'));
  EXPECT_EQ(host.SaveCount(), 1);
  EXPECT_EQ(Salvo(1003), "39");

  // The amount of the point of sale is shown and locked.
  host.Set(1003, 0, "1.234,50");
  host.QueueAuthorization({Op::Grava(1009, 0, "0")});
  EXPECT_EQ(Confirma("expect-disabled edValor\nexpect-text edValor 1234,50\n"
                     "expect-focus btConfirma\nkey Enter\n"),
            mrOk);
  EXPECT_EQ(Campo(1003), "123450");
}

TEST_F(TrnModeloTest, RespostaAprovadaETipoDePessoa) {
  struct Caso {
    const char *resultado, *campo20130, *campo1028;
  } casos[] = {{"0", "2", "AUT998877"}, {"0", "0", "<ausente>"}, {"5", "2", "<ausente>"}};
  for (const Caso &c : casos) {
    SCOPED_TRACE(std::string(c.resultado) + "/" + c.campo20130);
    host.Store().clear();
    host.Set(1006, 0, "1");
    host.QueueAuthorization({Op::Grava(1009, 0, c.resultado), Op::Grava(20130, 0, c.campo20130),
                             Op::Grava(20020, 0, "AUT998877")});
    const int saves = host.SaveCount();
    // No field 20033: the cycle closes as completed and saves the store.
    EXPECT_EQ(Confirma(kDez), mrOk);
    EXPECT_EQ(host.SaveCount(), saves + 1);
    EXPECT_EQ(Campo(1028), c.campo1028);
    EXPECT_EQ(Salvo(1006), "J");
  }
}

TEST_F(TrnModeloTest, ComprovanteDeRecusaVenezuelano) {
  CodigoRede = "96";
  host.QueueAuthorization({Op::Grava(1009, 0, "5")});
  EXPECT_EQ(Confirma(kDez), mrOk);
  EXPECT_EQ(Campo(10218), "       AUTORIZACION DE CHEQUES        ");
  EXPECT_EQ(Campo(10232), "               CHEQUES                ");
  // The host reads the timeout data before it builds the receipt.
  const auto q = host.CallsOf("ServicoQ");
  ASSERT_EQ(q.size(), 2u);
  EXPECT_EQ(q[0].args[0] + q[1].args[0], "LeituraMonta");
  EXPECT_FALSE(host.CupomNegada());
  EXPECT_TRUE(ImprimeCupom);

  // The host holds the receipt: it is only named, and the operator prints it from the result
  // screen (network 21 receipt lines).
  host.Store().clear();
  host.ClearCalls();
  ImprimeCupom = false;
  CodigoRede = "57";
  host.QueueAuthorization({Op::Grava(1009, 0, "5"), Op::Grava(20128, 0, "2"),
                           Op::Grava(20018, 0, "CHEQUE RECHAZADO"), Op::Grava(20018, 1, "@"),
                           Op::Grava(10112, 0, "21"), Op::Grava(20033, 0, "x")});
  EXPECT_EQ(Confirma(kDez + "expect-form FrmImprime_Mod\nexpect-enabled btImprime\n"
                            "click btImprime\n"),
            mrOk);
  EXPECT_EQ(host.CupomNegada(), 20018);
  EXPECT_FALSE(host.Has(10218));
  EXPECT_EQ(host.SaveCount(), 2);
}

TEST_F(TrnModeloTest, RespostasDosTresTiposVaoNaOrdemDasPerguntas) {
  CodigoRede = "45";
  host.Set(1006, 0, "F");
  host.SetQuestions({Q("P01 ", "NOME DA MAE", '0', 1, 20), Q("P02 ", "DATA NASC", '1', 26, 26),
                     Q("P03 ", "CARTAO", '2', 0, 37), Q("P04 ", "CIDADE", '0', 1, 3)});
  host.QueueAuthorization({Op::Grava(1009, 0, "88"), Op::Grava(20017, 0, "sc01"),
                           Op::Grava(1027, 0, "RESPONDA AS PERGUNTAS")});
  host.QueueAuthorization({Op::Grava(1009, 0, "0"), Op::Grava(20017, 0, "OK")});
  // A PIN-pad answer may fill its whole 26-character entry.
  const std::string pinpad26 = "01011980" + std::string(18, '7');
  host.QueuePinpadAnswer(pinpad26);
  // The card read: the BIN lookup finds network 45 and the PIN pad leaves the card data. Only
  // the keyboard questions take the screen's slots, each as long as its question allows.
  const std::string cartao = "6012345678901234=25121234567890123456789";
  host.QueueBinAnswer(true, {Op::Grava(10112, 0, "45"), Op::Grava(10104, 0, cartao)});
  EXPECT_EQ(Confirma(kDez +
                     "expect-form FrmCap_Perg\nexpect-text lbPergunta1 \"NOME DA MAE\"\n"
                     "expect-text lbPergunta2 CIDADE\nexpect-focus edPergunta1\n"
                     "type MARIA\nkey Enter\ntype RECIFE\nexpect-text edPergunta2 REC\nkey Enter\n"
                     "expect-focus btConfirma\nkey Enter\n"),
            mrOk);
  // Answered as a code-70 consultation.
  EXPECT_EQ(host.RequestCodes(), (std::vector<uint32_t>{0x72, 0x70}));
  using ::testing::HasSubstr;
  EXPECT_THAT(Requisicao(host, 1), HasSubstr("'PERG:P01 NOME DA MAE,MARIA,0;PERG:P02 DATA NASC," +
                                             pinpad26 + ",1;PERG:P03 CARTAO," +
                                             cartao.substr(0, 37) + ",2;PERG:P04 CIDADE,REC,0;'"));
  EXPECT_THAT(Requisicao(host, 1), HasSubstr(" 1006=2 ")); // person type as the request wants it
  EXPECT_EQ(Campo(1006), "F");                             // and back afterwards
  const auto pinpad = host.CallsOf("ObtemCampoPinpad").at(0).args;
  EXPECT_EQ(pinpad[1] + "|" + pinpad[2] + "|" + pinpad[4] + "-" + pinpad[5],
            "DATA NASC|Digite DATA NASC|26-26");
  // The PIN pad question and what was read are cleaned up.
  EXPECT_EQ(Campo(10146) + "|" + Campo(10104) + "|" + Campo(10107) + Campo(10191) + Campo(10227),
            "||101");
  EXPECT_EQ(Struct_Perguntas.size(), 1u);
  EXPECT_EQ(host.SaveCount(), 1);
}

// A first answer asks for the network's questions (network 45, result 1 or 88, service "SC" in
// any case); the answers go in a second request. Questions that cannot be answered close the
// cycle as completed after the first one.
TEST_F(TrnModeloTest, TrocaDePerguntasPorResultadoRedeEServico) {
  const TPergunta nome = Q("P01 ", "NOME", '0', 1, 20), senha = Q("P02 ", "SENHA", '1', 4, 6),
                  cartao = Q("P03 ", "CARTAO", '2', 0, 37);
  auto pinpad = [](TFakeHost &h) { h.QueuePinpadAnswer("1234"); };
  struct Caso {
    const char *rede, *resultado, *servico;
    TPergunta pergunta;
    std::function<void(TFakeHost &)> prepara;
    std::string roteiro;
    size_t autorizacoes;
    const char *campo1009; // afterwards
  } casos[] = {
      {"45", "1", "sC", senha, pinpad, kDez, 2, "0"},
      {"45", "5", "SC", senha, pinpad, kDez, 1, "5"},
      {"45", "88", "SX", senha, pinpad, kDez, 1, "88"},
      {"46", "88", "SC", senha, pinpad, kDez, 1, "88"},
      // clang-format off
      {"45", "88", "SC", nome, [](TFakeHost &) {}, kDez + "expect-form FrmCap_Perg\nclick btRetorna\n", 1, "88"},
      {"45", "88", "SC", senha, [](TFakeHost &h) { h.FailPinpad(); }, kDez, 1, "88"},
      // A card of another network.
      {"45", "88", "SC", cartao, [](TFakeHost &h) { h.QueueBinAnswer(true, {Op::Grava(10112, 0, "21")}); }, kDez, 1, "FF"},
      {"45", "88", "SC", cartao, [](TFakeHost &h) { h.QueueBinAnswer(false); }, kDez, 1, "88"},
      // clang-format on
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(std::string(c.rede) + "/" + c.resultado + "/" + c.servico + " " +
                 c.pergunta.Texto);
    // A host of its own (so that unused answers and failures do not carry over).
    TFakeHost h;
    SetHost(&h);
    h.Set(1006, 0, "F");
    CodigoRede = c.rede;
    h.SetQuestions({c.pergunta});
    c.prepara(h);
    h.QueueAuthorization({Op::Grava(1009, 0, c.resultado), Op::Grava(20017, 0, c.servico)});
    h.QueueAuthorization({Op::Grava(1009, 0, "0")});
    EXPECT_EQ(Confirma(c.roteiro), mrOk);
    EXPECT_EQ(h.RequestCodes().size(), c.autorizacoes);
    EXPECT_EQ(h.SaveCount(), 1);
    EXPECT_EQ(h.Get(1009), c.campo1009);
    EXPECT_EQ(h.Get(1027), std::string(c.campo1009) == "FF" ? std::optional<std::string>("MSG 317")
                                                            : std::nullopt);
    SetHost(&host);
  }
}

TEST_F(TrnModeloTest, RespostaMostradaOuCortadaPelaRede) {
  // A text answer is shown; returning from it refuses the operation (the point of sale finds FF
  // and message 801), no receipt is printed and nothing is saved.
  host.QueueAuthorization({Op::Grava(1009, 0, "0"), Op::Grava(10112, 0, "10"),
                           Op::Grava(20033, 0, "1CHEQUE SEM RESTRICOES@")});
  ImprimeCupom = true;
  EXPECT_EQ(Confirma(kDez + "expect-form FrmImprime_Mod\nclick btRetorna\n"), mrCancel);
  EXPECT_FALSE(ImprimeCupom);
  EXPECT_EQ(Campo(1009) + " " + Campo(1027) + " " + std::to_string(host.SaveCount()),
            "FF MSG 801 0");
  // CDL POA: its registers stored, then its free text shown with print offered.
  host.Store().clear();
  const std::string registro = "006" + std::string(174, 'r') + "0";
  host.QueueAuthorization({Op::Grava(1009, 0, "0"), Op::Grava(10112, 0, "71"),
                           Op::Grava(20143, 0, "2"), Op::Grava(20033, 0, "\x12#@!" + registro),
                           Op::Grava(20033, 1,
                                     "\x11"
                                     "CONSULTA OK\n")});
  EXPECT_EQ(Confirma(kDez + "expect-form FrmImprime_Mod\nexpect-enabled btImprime\n"
                            "click btImprime\n"),
            mrOk);
  EXPECT_EQ(Campo(1189), registro);
  // Telecheque: the record is cut into field 1188 and nothing is shown.
  host.Store().clear();
  host.QueueAuthorization({Op::Grava(1009, 0, "0"), Op::Grava(10112, 0, "117"),
                           Op::Grava(20033, 0, "2" + std::string(116, '7'))});
  EXPECT_EQ(Confirma(kDez), mrOk); // a result screen would outlast the script
  EXPECT_EQ(Campo(1188, 0) + "|" + Campo(1188, 12), "2|" + std::string(14, '7'));
}

TEST_F(TrnModeloTest, SenhaRecusadaEncerraComoConcluida) {
  TFrmTrnTeste::senha = true;
  host.FailPinpad();
  EXPECT_EQ(Confirma(kDez), mrOk);
  EXPECT_EQ(host.SaveCount(), 1);
  EXPECT_TRUE(host.Requests().empty());
  EXPECT_EQ(host.CountOf("LerSenha"), 1);
}

// ---- The questions-and-answers text of the second request, built within its 2049 bytes.

TEST(TextoPerguntas, CamposCheiosListasLongasERespostasQueFaltam) {
  // Every piece at its largest: 4-char prefix, 26-char text without terminator, answers that
  // fill their entries without terminator.
  TPergunta p{};
  std::memset(p.Prefixo, 'P', sizeof p.Prefixo);
  std::memset(p.Texto, 'T', sizeof p.Texto);
  p.Tipo = '2';
  TRespostasPerguntas r;
  TRespostaCartao c;
  std::memset(c.Texto, 'C', sizeof c.Texto);
  r.Cartao.assign(60, c);
  char area[2049 + 16]; // canary bytes after the buffer
  std::memset(area, 0x5A, sizeof area);
  const size_t n = MontaTextoPerguntas(area, 2049, std::vector<TPergunta>(60, p), r);
  const std::string entrada =
      "PERG:PPPP" + std::string(26, 'T') + "," + std::string(38, 'C') + ",2;";
  EXPECT_EQ(n, 2048 / entrada.size());
  EXPECT_EQ(std::strlen(area), n * entrada.size());
  EXPECT_EQ(std::string(area, entrada.size()), entrada);
  EXPECT_EQ(std::string(area + 2049, 16), std::string(16, 0x5A));

  // Fewer answers than questions of a type, or a type of no answers: the answers are empty.
  r.Cartao.resize(1);
  MontaTextoPerguntas(area, 2049, {p, p, Q("Q9  ", "X", '3', 0, 1)}, r);
  EXPECT_EQ(std::string(area), entrada + "PERG:PPPP" + std::string(26, 'T') + ",,2;PERG:Q9  X,,3;");
}

// ---- Telecheque service-X records cut into the items of field 1188.

// A record of `tamanho` bytes: the kind byte and a body whose bytes tell their position.
std::string RegistroTc(char tipo, size_t tamanho) {
  std::string r(1, tipo);
  for (size_t i = 0; r.size() < tamanho; ++i) r += static_cast<char>(0x21 + i % 90);
  return r;
}

// The length of each item; the items follow each other in the body.
using Itens = std::vector<size_t>;
const Itens kTipo1 = {40, 8, 1, 10, 50, 9, 20, 30, 40, 2, 8, 1, 2, 8, 5, 8, 14, 14, 14, 14, 14, 14};
const Itens kTipo2 = {8, 1, 2, 8, 5, 8, 14, 14, 14, 14, 14, 14};

TEST_F(TrnModeloTest, TelechequeCortadoPeloTipoEPeloTamanho) {
  struct Caso {
    char tipo;
    size_t tamanho;
    const Itens &itens;
    size_t escritos; // items after the kind digit
  } casos[] = {{'1', 327, kTipo1, 22},
               {'1', 326, kTipo1, 16},
               {'1', 400, kTipo1, 16},
               {'2', 117, kTipo2, 12},
               {'2', 116, kTipo2, 6}};
  for (const Caso &c : casos) {
    SCOPED_TRACE(std::string(1, c.tipo) + " / " + std::to_string(c.tamanho));
    host.Store().clear();
    host.ClearCalls();
    const std::string registro = RegistroTc(c.tipo, c.tamanho);
    host.Set(20033, 0, registro);
    TrataServicoXTelecheque();
    EXPECT_EQ(Campo(1188, 0), std::string(1, c.tipo));
    for (size_t i = 0, p = 1; i < c.escritos; p += c.itens[i++])
      EXPECT_EQ(Campo(1188, int(i + 1)), registro.substr(p, c.itens[i])) << "index " << i + 1;
    EXPECT_FALSE(host.Has(1188, int(c.escritos + 1)));
    EXPECT_EQ(host.CountOf("GravaCampoString"), int(c.escritos + 1));
  }

  // Kind 1 with a body of 45 bytes: item 1 whole, item 2 cut to five bytes, the rest empty.
  const std::string curto = RegistroTc('1', 46);
  const auto itens = CortaRegistroTelecheque(curto);
  ASSERT_EQ(itens.size(), 17u);
  EXPECT_EQ(itens[1] + "|" + itens[2], curto.substr(1, 40) + "|" + curto.substr(41, 5));
  for (size_t i = 3; i < itens.size(); ++i) EXPECT_EQ(itens[i], "") << i;
  // A zero byte ends the item's text.
  EXPECT_EQ(CortaRegistroTelecheque(std::string("2ab\0cdefgh", 10))[1], "ab");
  for (const std::string &r :
       {std::string("3abc"), std::string("Xabc"), std::string("\x01"), std::string()})
    EXPECT_TRUE(CortaRegistroTelecheque(r).empty());

  // No record at all writes nothing; a failed write does not stop the others.
  host.Store().clear();
  host.ClearCalls();
  TrataServicoXTelecheque();
  EXPECT_EQ(host.CountOf("GravaCampoString"), 0);
  host.Set(20033, 0, RegistroTc('2', 117));
  host.FailWrite(3); // index 2
  TrataServicoXTelecheque();
  EXPECT_FALSE(host.Has(1188, 2));
  EXPECT_TRUE(host.Has(1188, 12));
}

} // namespace
