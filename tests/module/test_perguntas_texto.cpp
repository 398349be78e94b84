// The questions-and-answers text of the second request, built within its 2049
// bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/FakeHost.h"
#include "screens/base/TrnModeloCheque.h"

namespace {

template <class T> T Resposta(const std::string &s) {
  T r{};
  std::memcpy(r.Texto, s.data(), std::min(s.size(), sizeof r.Texto - 1));
  return r;
}

TEST(PerguntasTexto, AnswersFollowTheirQuestionsInOrder) {
  const std::vector<TPergunta> perguntas = {
      TFakeHost::Question("P01 ", "NOME DA MAE", '0', 1, 20),
      TFakeHost::Question("P02 ", "SENHA", '1', 4, 6),
      TFakeHost::Question("P03 ", "CARTAO", '2', 0, 37),
      TFakeHost::Question("P04 ", "CIDADE", '0', 1, 20),
  };
  TRespostasPerguntas r;
  r.Teclado = {Resposta<TRespostaTeclado>("MARIA"), Resposta<TRespostaTeclado>("RECIFE")};
  r.Pinpad = {Resposta<TRespostaPinpad>("1234")};
  r.Cartao = {Resposta<TRespostaCartao>("6012345678901234=2512")};
  char texto[2049];
  EXPECT_EQ(MontaTextoPerguntas(texto, sizeof texto, perguntas, r), 4u);
  EXPECT_STREQ(texto, "PERG:P01 NOME DA MAE,MARIA,0;"
                      "PERG:P02 SENHA,1234,1;"
                      "PERG:P03 CARTAO,6012345678901234=2512,2;"
                      "PERG:P04 CIDADE,RECIFE,0;");
}

TEST(PerguntasTexto, FullSizeFieldsAndOverlongListsStayInsideTheBuffer) {
  // Every piece at its largest: 4-char prefix, 26-char text without terminator,
  // answers that fill their entries without terminator.
  TPergunta p{};
  std::memset(p.Prefixo, 'P', sizeof p.Prefixo);
  std::memset(p.Texto, 'T', sizeof p.Texto);
  p.Tipo = '2';
  TRespostasPerguntas r;
  TRespostaCartao c;
  std::memset(c.Texto, 'C', sizeof c.Texto);
  const std::vector<TPergunta> perguntas(60, p);
  r.Cartao.assign(60, c);
  // Canary bytes after the buffer.
  char area[2049 + 16];
  std::memset(area, 0x5A, sizeof area);
  const size_t n = MontaTextoPerguntas(area, 2049, perguntas, r);
  const std::string entrada =
      "PERG:" + std::string(30, 'P').replace(4, 26, 26, 'T') + "," + std::string(38, 'C') + ",2;";
  EXPECT_EQ(n, 2048 / entrada.size());
  EXPECT_EQ(std::strlen(area), n * entrada.size());
  EXPECT_EQ(std::string(area, entrada.size()), entrada);
  for (size_t i = 2049; i < sizeof area; ++i) EXPECT_EQ(area[i], 0x5A);

  // Fewer answers than questions of a type: the missing answers are empty.
  r.Cartao.clear();
  char texto[2049];
  MontaTextoPerguntas(texto, sizeof texto, {TFakeHost::Question("Q9  ", "X", '3', 0, 1)}, r);
  EXPECT_STREQ(texto, "PERG:Q9  X,,3;");
}

} // namespace
