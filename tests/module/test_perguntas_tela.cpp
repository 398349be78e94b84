// The questions screen: slots, maximum lengths, the minimum-length check and the copy.
#include <string>
#include <vector>

#include "ModuloTeste.h"
#include "module/ChequeMain.h"
#include "screens/coleta/CapturaPerguntas.h"

namespace {

class PerguntasTela : public ModuloTeste {
protected:
  void SetUp() override {
    ModuloTeste::SetUp();
    host.SetMessage(1186, "%s: minimo %d");
    host.SetMessage(1168, "Responda %s");
  }
  // Opens the screen for `perguntas` with `respostas` keyboard answers and plays `roteiro`.
  int Responde(std::vector<TPergunta> perguntas, size_t respostas, const std::string &roteiro,
               TScriptRun *saida = nullptr) {
    Struct_Perguntas = std::move(perguntas);
    RespostasPerguntas.Teclado.assign(respostas, TRespostaTeclado{});
    int resultado = -1;
    TScriptRun r = Roda(
        [&] {
          auto *tela = Application->CreateForm<TFrmCap_Perg>();
          resultado = tela->ShowModal();
          tela->Free();
        },
        roteiro);
    EXPECT_EQ(r.error, "");
    EXPECT_TRUE(r.scriptDone);
    if (saida) *saida = r;
    return resultado;
  }
  static std::string Resposta(size_t j) {
    return std::string(RespostasPerguntas.Teclado[j].Texto,
                       strnlen(RespostasPerguntas.Teclado[j].Texto, 24));
  }
  static TPergunta P(const std::string &texto, char tipo, int minimo = 0, int maximo = 20) {
    return TFakeHost::Question("PX  ", texto, tipo, minimo, maximo);
  }
};

TEST_F(PerguntasTela, OnlyKeyboardQuestionsTakeSlots) {
  TScriptRun r;
  EXPECT_EQ(Responde({P("NOME", '0', 1, 5), P("SENHA", '1'), P("CIDADE", '0', 0, 3)}, 2,
                     "expect-text lbPergunta1 NOME\n"
                     "expect-text lbPergunta2 CIDADE\n"
                     "expect-focus edPergunta1\n"
                     "expect-text lbMensagem \"Responda NOM\"\n"
                     "type ABCDEFG\n"
                     "expect-text edPergunta1 ABCDE\n"
                     "key Enter\n"
                     "expect-focus edPergunta2\n"
                     "type XYZW\n"
                     "expect-text edPergunta2 XYZ\n"
                     "key Enter\n"
                     "expect-focus btConfirma\n"
                     "key Enter\n",
                     &r),
            mrOk);
  EXPECT_EQ(Resposta(0), "ABCDE");
  EXPECT_EQ(Resposta(1), "XYZ");

  // Slot 3 stays hidden; the slots' maximum lengths come from the questions.
  auto *tela = Application->CreateForm<TFrmCap_Perg>();
  EXPECT_TRUE(tela->edPergunta[1]->Visible());
  EXPECT_FALSE(tela->edPergunta[2]->Visible());
  EXPECT_FALSE(tela->lbPergunta[2]->Visible());
  EXPECT_EQ(tela->edPergunta[0]->MaxLength, 5);
  EXPECT_EQ(tela->edPergunta[1]->MaxLength, 3);
  tela->Free();
}

TEST_F(PerguntasTela, TenSlotsAtMostAndMinimumLengths) {
  std::vector<TPergunta> doze;
  for (int i = 1; i <= 12; ++i) doze.push_back(P("Q" + std::to_string(i), '0', 2, 30));
  std::string roteiro;
  for (int i = 1; i <= 10; ++i) roteiro += "type R" + std::to_string(i) + "\nkey Enter\n";
  // Slot 3 left short: the box names the question and its minimum, the focus goes back.
  roteiro = "type R1\nkey Enter\ntype R2\nkey Enter\nkey Enter\n"
            "type R4\nkey Enter\ntype R5\nkey Enter\ntype R6\nkey Enter\ntype R7\nkey Enter\n"
            "type R8\nkey Enter\ntype R9\nkey Enter\ntype R10\nkey Enter\n"
            "expect-focus btConfirma\nkey Enter\n"
            "expect-msgbox \"Q3: minimo 2\"\nok\n"
            "expect-focus edPergunta3\n"
            "type R3\nclick btConfirma\n";
  TScriptRun r;
  EXPECT_EQ(Responde(doze, 12, roteiro, &r), mrOk);
  for (size_t j = 0; j < 10; ++j) EXPECT_EQ(Resposta(j), "R" + std::to_string(j + 1));
  EXPECT_EQ(Resposta(10), ""); // questions 11 and 12 are not asked
  const auto caixas = r.Events("msgbox");
  ASSERT_EQ(caixas.size(), 1u);
  EXPECT_EQ(caixas[0]["flags"], 0x40000);
}

TEST_F(PerguntasTela, AnswerTableDecidesWhatIsCheckedAndCopied) {
  // Two questions asked, one answer entry: only the first is checked and copied; an answer
  // longer than an entry holds is cut to 23 characters.
  EXPECT_EQ(Responde({P("A", '0', 0, 40), P("B", '0', 5, 40)}, 1,
                     "type 12345678901234567890123456789\nclick btConfirma\n"),
            mrOk);
  EXPECT_EQ(RespostasPerguntas.Teclado.size(), 1u);
  EXPECT_EQ(Resposta(0), "12345678901234567890123");

  // Minimum 0: an empty answer passes.
  EXPECT_EQ(Responde({P("A", '0', 0, 10)}, 1, "click btConfirma\n"), mrOk);
  EXPECT_EQ(Resposta(0), "");

  // No answer entries: confirming does nothing; cancel ends with 2.
  EXPECT_EQ(Responde({P("A", '0', 0, 10)}, 0,
                     "click btConfirma\nexpect-form FrmCap_Perg\nclick btRetorna\n"),
            mrCancel);
}

} // namespace
