// The grid of authorisation numbers: one numbered row per cheque of field 10101 (a count that
// is not a number gives one row, never more than 25), and a cancelled grid writes nothing.
#include "ModuloTeste.h"

#include "screens/cancelamento/CancelamentoMultiplasAutorizacoes.h"

namespace {
class AutorizacoesTest : public ModuloTeste {};
} // namespace

TEST_F(AutorizacoesTest, LinhasPelaQuantidadeEGravacaoSoNaConfirmacao) {
  const std::string numero(18, '7');
  struct Caso {
    const char *quantidade;
    int linhas;
    const char *roteiro;
    int resultado;
  } casos[] = {
      {"x", 1, "type 777777777777777777\nkey Enter\nexpect-focus btConfirma\nkey Enter\n", mrOk},
      {"40", 25, "type 777777777777777777\nclick btRetorna\n", mrCancel},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.quantidade);
    host.Set(10101, 0, c.quantidade);
    host.Store().erase({10163, 0});
    auto *f = Application->CreateForm<TFrmCncMultiAut>();
    EXPECT_EQ(f->sg_dadoschq_1->RowCount(), c.linhas);
    EXPECT_EQ(f->sg_dadoschq_1->Cell(0, c.linhas - 1), std::to_string(c.linhas));
    const TScriptRun r = RunScript(f, c.roteiro);
    EXPECT_EQ(r.error, "") << r.screen;
    EXPECT_EQ(r.result, c.resultado);
    EXPECT_EQ(host.Get(10163, 0), c.resultado == mrOk ? std::optional(numero) : std::nullopt);
    f->Free();
  }
}
