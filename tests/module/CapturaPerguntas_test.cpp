// The questions screen: slots, maximum lengths, the minimum-length check and the copy.
#include "ModuloTeste.h"
#include "module/ChequeMain.h"
#include "screens/coleta/CapturaPerguntas.h"

namespace {

class CapturaPerguntasTest : public ModuloTeste {
protected:
  void SetUp() override {
    ModuloTeste::SetUp();
    host.SetMessage(1186, "%s: minimo %d");
    host.SetMessage(1168, "Responda %s");
  }
  // Opens the screen for `perguntas` with `respostas` keyboard answers and plays `roteiro`.
  int Responde(std::vector<TPergunta> perguntas, size_t respostas, const std::string &roteiro) {
    Struct_Perguntas = std::move(perguntas);
    RespostasPerguntas.Teclado.assign(respostas, TRespostaTeclado{});
    return Mostra<TFrmCap_Perg>(roteiro);
  }
  static std::string Resposta(size_t j) {
    return std::string(RespostasPerguntas.Teclado[j].Texto,
                       strnlen(RespostasPerguntas.Teclado[j].Texto, 24));
  }
  static TPergunta P(const std::string &texto, char tipo, int minimo = 0, int maximo = 20) {
    return TFakeHost::Question("PX  ", texto, tipo, minimo, maximo);
  }
};

TEST_F(CapturaPerguntasTest, DezLinhasNoMaximoETamanhoMinimo) {
  std::vector<TPergunta> doze;
  for (int i = 1; i <= 12; ++i) doze.push_back(P("Q" + std::to_string(i), '0', 2, 30));
  // Slot 3 left short: the box names the question and its minimum, the focus goes back.
  std::string roteiro;
  for (int i = 1; i <= 10; ++i)
    roteiro += (i == 3 ? "" : "type R" + std::to_string(i)) + "\nkey Enter\n";
  roteiro += "expect-focus btConfirma\nkey Enter\nexpect-msgbox \"Q3: minimo 2\"\nok\n"
             "expect-focus edPergunta3\ntype R3\nclick btConfirma\n";
  EXPECT_EQ(Responde(doze, 12, roteiro), mrOk);
  for (size_t j = 0; j < 10; ++j) EXPECT_EQ(Resposta(j), "R" + std::to_string(j + 1));
  EXPECT_EQ(Resposta(10), ""); // questions 11 and 12 are not asked
}

TEST_F(CapturaPerguntasTest, TabelaDeRespostasDecideOQueEConferidoECopiado) {
  // Two questions asked, one answer entry: only the first is checked and copied; an answer
  // longer than an entry holds is cut to 23 characters.
  EXPECT_EQ(Responde({P("A", '0', 0, 40), P("B", '0', 5, 40)}, 1,
                     "type 12345678901234567890123456789\nclick btConfirma\n"),
            mrOk);
  EXPECT_EQ(RespostasPerguntas.Teclado.size(), 1u);
  EXPECT_EQ(Resposta(0), "12345678901234567890123");
  // No answer entries: confirming does nothing; cancel ends the screen.
  EXPECT_EQ(Responde({P("A", '0', 0, 10)}, 0,
                     "click btConfirma\nexpect-form FrmCap_Perg\nclick btRetorna\n"),
            mrCancel);
}

} // namespace
