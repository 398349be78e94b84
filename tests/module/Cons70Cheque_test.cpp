// Consultation code 70: the cheque data it sends, the number of cheques, the CMC-7 entry and
// the guarantee.
#include "ModuloTeste.h"
#include "screens/consulta/Cons70Cheque.h"
#include "screens/consulta/Cons70ChequeGarantia.h"
#include "screens/consulta/LayoutsConsulta.h"

namespace {

using namespace ConsultaChequeTrnCheque;

const std::string S = "\x04";

class Cons70Test : public ModuloTeste {};

TEST_F(Cons70Test, DadosDoChequeNasTresFormas) {
  const TChequeDigitado c{"018", "001", "0023", "4", "456", "7", "8", "123456", "9"};
  const std::string banco = "018" + S + "001" + S + "0023" + S + "4567" + S;
  struct Caso {
    const char *tipo;
    bool c1, c2;
    std::string unico, multiplo; // several: cheque number 000777, C3 "5x"
  } casos[] = {
      {"2", true, true, banco + "8" + S + "1234569", banco + "8" + S + "0007775"},
      {"x", true, false, banco + "1234569", banco + "0007775"}, // any other type: as 2
      {"3", true, true, "018;001;0023;4;4567;8;123456;9", "018;001;0023;4;456;7;000777;5"},
      {"3", false, false, "018;001;0023;4567;123456;9", "018;001;0023;456;7;000777;5"},
      {"1", true, true, banco + "1234569", banco + "0007775"},
  };
  for (const Caso &k : casos) {
    SCOPED_TRACE(std::string(k.tipo) + (k.c1 ? " C1" : "") + (k.c2 ? " C2" : ""));
    EXPECT_EQ(DadosChequeUnico(c, k.tipo, k.c1, k.c2), k.unico);
    EXPECT_EQ(DadosChequeMultiplo(c, k.tipo, k.c1, k.c2, "000777", "5x"), k.multiplo);
  }
}

// GravaCamposVelkor of code 70 alone on an initialised screen.
TEST_F(Cons70Test, CamposDoCodigo70) {
  struct Caso {
    std::string chaves;
    int modo;
    const char *campos, *edits; // the host's fields, the edits
    std::string esperados;
    int quantidade;   // the cheque count of the request afterwards
    char tipoEntrada; // of the first cheque
  } casos[] = {
      // clang-format off
      {"", 1, "", "edQtdChq=x", "1046=1|10158=1|1006=2", 1, '2'},
      {"opTipoDoc=1\r\nTipoFuncao=4", 1, "", "edTipoDoc=2", "1006=J|10158=4", 1, '2'},
      {"", 1, "", "edTipoDoc=2", "1006=1", 1, '2'},
      {"TipoEntChqManual=1", 1, "10163=000011|10164=3", "edQtdChq=2|edBanco=1", "10167=" + S + "1" + S + S + S + "0000113|10167[1]=" + S + "1" + S + S + S, 2, '1'},
      {"TipoEntChqManual=3\r\nUtilizaCampoC1=1", 1, "", "edC1=4|edCheque=9", "10167=;;;4;;9;", 1, '3'},
      // More cheques than the grids hold: the request stops at 26.
      {"", 1, "", "edQtdChq=30", "1046=30|10167[25]=" + S + S + S + S + "|10167[26]=<ausente>", 26, '2'},
      {"", 0, "", "", "10167=<ausente>|1046=1", 1, 0},
      // One CMC-7 cheque: the line, the date and the amount.
      {"", 2, "1008=10062024", "edCMC7=123456789012345678901234567890", "10167=123456789012345678901234567890|10166=10062024|10165=100|1005=123456789012345678901234567890", 1, '0'},
      // clang-format on
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.chaves + " " + c.edits);
    Prepara("CodigoRede=12\r\n" + c.chaves, c.modo, "1003=100|" + std::string(c.campos));
    DefineQuantidadeChequesConsulta70(1);
    Cons70Cheque::TipoEntradaCheque[0] = 0;
    auto *tela = Application->CreateForm<TFrmCon_Chq70>();
    tela->IniciaCamposForm();
    EXPECT_EQ(tela->LayoutRequisicao, &TrnConsultaCheque70);
    Preenche(tela, c.edits);
    EXPECT_TRUE(tela->GravaCamposVelkor());
    ConfereCampos(c.esperados);
    const int i = cheque::layout::IndiceEntrada(TrnConsultaCheque70, 10162);
    EXPECT_EQ(TrnConsultaCheque70.Entradas[i].Repeticao, c.quantidade);
    EXPECT_EQ(Cons70Cheque::TipoEntradaCheque[0], c.tipoEntrada);
    tela->Free();
  }
}

TEST_F(Cons70Test, ChaveDaGarantia) {
  struct Caso {
    const char *cmc7, *banco, *agencia, *conta;
    int tmBanco, tmAgencia, tmConta;
    std::string chave;
  } casos[] = {
      {"", "12345", "23", "456", 3, 4, 10, "123450023000000045"}, // cut at 18
      {"", "1", "2", "3", 0, 0, 0, "123"},
      {"123456789012345678901234567890", "1", "2", "3", 3, 4, 10, "123456789012345678"},
      {" 98765 ", "1", "2", "3", 3, 4, 10, "98765"},
  };
  for (const Caso &c : casos)
    EXPECT_EQ(ChaveGarantia(c.cmc7, c.banco, c.agencia, c.conta, c.tmBanco, c.tmAgencia, c.tmConta),
              c.chave)
        << c.cmc7 << "|" << c.banco;
}

TEST_F(Cons70Test, GarantiaConsultaARedeDestinoEPedeASenha) {
  struct Caso {
    const char *chaves;
    int bins, senhas, autorizacoes;
  } casos[] = {
      {"CodigoRede=12", 0, 1, 1},
      {"CodigoRede=57", 0, 0, 1}, // a network that asks no password
      {"CodigoRede=12\r\nConsultarBin=1", 1, 1, 1},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.chaves);
    Prepara(std::string("opAbertura=1\r\nopNascto=1\r\nopTipoDoc=1\r\nTipoFuncao=2\r\n") + c.chaves,
            1, "1003=100", "", 70, 2);
    const int gravacoes = host.SaveCount();
    if (c.bins) host.QueueBinAnswer(true, {Op::Grava(10112, 0, "12")});
    const TScriptRun r =
        Executa(Application->CreateForm<TFrmCon_Gar>(),
                Digita("edBanco=1|edAgencia=23|edConta=456|edDigito=7|edCheque=123456") +
                    "click btConfirma\n");
    ASSERT_EQ(r.error, "") << r.screen;
    EXPECT_EQ(r.result, mrOk);
    EXPECT_EQ(host.CountOf("FazConsultaBinsRedeDestino"), c.bins);
    EXPECT_EQ(host.CountOf("AutorizaTransacao"), c.autorizacoes);
    const auto senha = host.CallsOf("LerSenha");
    ASSERT_EQ(senha.size(), size_t(c.senhas));
    if (c.senhas) {
      EXPECT_EQ(senha[0].args,
                (std::vector<std::string>{"1", "", "Garantia com Senha", "0", "MSG 456"}));
    }
    EXPECT_EQ(host.SaveCount() - gravacoes, 1);
    EXPECT_EQ(Salvo(10104) + "|" + Salvo(10134),
              "00100230000000456|" + std::string(c.bins ? "2" : "<ausente>"));
  }
  // Network 200 asks no password either and supplies the bank, the quantity and the document
  // type.
  Configura("ColetaQtdChq=1\r\nCodigoRede=200");
  auto *gar = Application->CreateForm<TFrmCon_Gar>();
  gar->IniciaCamposForm();
  EXPECT_FALSE(captura_senha);
  Confere(gar, "-edBanco|-lbBanco|-edQtdChq|-edTipoDoc|lbTitulo=MSG 456");
  gar->Free();
}

TEST_F(Cons70Test, GarantiaGravaChaveMesmoQuandoAEscritaFalha) {
  Configura("CodigoRede=12");
  Menu(2, 70, 2);
  host.Set(1003, 0, "100");
  auto *tela = Application->CreateForm<TFrmCon_Gar>();
  tela->IniciaCamposForm();
  tela->edCMC7->SetText("123456789012345678901234567890");
  host.FailWritesOf(10112);
  EXPECT_FALSE(tela->GravaCamposVelkor());
  // 1005 was not reached: the key is the typed one, of empty edits padded to their lengths.
  ConfereCampos("10107=5|10104=" + std::string(17, '0'));
  tela->Free();
}

} // namespace
