// CDL POA answers: the structured-register walk, the free-text memo and the record loop.
#include "ModuloTeste.h"
#include "module/TrataRetorno.h"
#include "screens/menus/MenuCheque.h"

namespace {

// A register of `tamanho` bytes: type code, a recognisable body, continuation flag last.
std::string Registro(const std::string &tipo, size_t tamanho, char flag) {
  std::string r = tipo;
  while (r.size() < tamanho - 1) r += static_cast<char>('a' + r.size() % 26);
  return r + flag;
}
// The three bytes the walk skips before each register.
std::string P(const std::string &registro) {
  return "#@!" + registro;
}

class CdlPoaTest : public ModuloTeste {};
bool Percorre(const std::string &b) {
  return TrataRetornoRegistrosCDLPOA(b.data(), int(b.size()));
}

TEST_F(CdlPoaTest, PercursoGuardaOQueOBlocoTem) {
  const std::string r001 = Registro("001", 179, '1'), r005 = Registro("005", 150, '1'),
                    r002 = Registro("002", 71, '0'), r004 = Registro("004", 431, '1'),
                    r999 = Registro("999", 313, '0'), r003 = Registro("003", 179, '1'),
                    r006fim = Registro("006", 178, '9');
  struct Caso {
    const char *nome;
    std::string bloco;
    std::vector<std::string> registros; // expected in field 1189, indexes 0 upward
    const char *quantidade;             // expected field 1190, nullptr = not written
  } casos[] = {
      // clang-format off
      {"three registers", P(r001) + P(r005) + P(r002), {r001, r005, r002}, "3"},
      {"type 004 continues like any other", P(r004) + P(r999), {r004, r999}, "2"},
      {"flag not 1 ends the walk at once: no count", P(r006fim) + P(r003), {r006fim}, nullptr},
      {"unknown type first", P(Registro("007", 100, '0')), {}, nullptr},
      // The count is one past the index of the register the walk ended on.
      {"unknown type after two", P(r001) + P(r003) + P("0421xyz"), {r001, r003}, "3"},
      {"block ends inside a register: copied at its length", P(r001) + P(r005.substr(0, 60)), {r001, r005.substr(0, 60) + std::string(90, '\0')}, "2"},
      {"block ends inside the type code", P(r001) + "#@!00", {r001}, "2"},
      // clang-format on
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    host.Store().clear();
    EXPECT_TRUE(Percorre(c.bloco));
    for (size_t k = 0; k < c.registros.size(); ++k)
      EXPECT_EQ(host.Get(1189, int(k)), c.registros[k]);
    EXPECT_FALSE(host.Has(1189, static_cast<int>(c.registros.size())));
    EXPECT_EQ(host.Get(1190),
              c.quantidade ? std::optional<std::string>(c.quantidade) : std::nullopt);
  }
}

TEST_F(CdlPoaTest, BlocoVazioEEscritaRecusadaFalham) {
  EXPECT_FALSE(TrataRetornoRegistrosCDLPOA("", 0));
  const std::string bloco =
      P(Registro("001", 179, '1')) + P(Registro("002", 71, '1')) + P(Registro("005", 150, '0'));
  host.FailWrite(2); // the second register
  EXPECT_FALSE(Percorre(bloco));
  EXPECT_TRUE(host.Has(1189, 0)); // what was stored before stays
  EXPECT_FALSE(host.Has(1189, 1) || host.Has(1190));
  host.Store().clear();
  host.FailWritesOf(1190);
  EXPECT_FALSE(Percorre(bloco));
  EXPECT_TRUE(host.Has(1189, 2));
}

TEST_F(CdlPoaTest, TextoLivreViraLinhasDoMemo) {
  struct Caso {
    std::string mensagem; // field 1027
    std::string texto;
    std::vector<std::string> linhas;
  } casos[] = {
      // clang-format off
      {"  Consulta realizada  ", "linha um\nlinha dois\n", {"Consulta realizada", " ", "linha um", "linha dois"}},
      {"", "a\n\nb\n", {"a", " ", "b"}},
      {"", "ab\ncd", {"ab", "cd"}},
      {"", std::string("ab\0", 3), {"ab"}}, // a final zero byte only ends the line
      // clang-format on
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.texto);
    host.Set(1027, 0, c.mensagem);
    TMemo memo(nullptr);
    memo.Lines.Add("old");
    ASSERT_TRUE(TrataRetornoTexto(c.texto.data(), int(c.texto.size()), &memo));
    EXPECT_EQ(memo.Lines.Items(), c.linhas);
  }
  TMemo memo(nullptr);
  memo.Lines.Add("kept");
  EXPECT_FALSE(TrataRetornoTexto("x", 0, &memo));
  EXPECT_EQ(memo.Lines.Count(), 1);
}

TEST_F(CdlPoaTest, RegistrosDaRespostaGuardadosEOutrosTiposPulados) {
  // No result, a result that is not a number, no records, a count that is not a number.
  for (const char *campos : {"", "1009=FF|20143=1", "1009=0|20143=0", "1009=0|20143=x"}) {
    host.Store().clear();
    Campos(campos);
    EXPECT_FALSE(TrataServicoX_CDLPoa(nullptr)) << campos;
  }
  ImprimeCupom = false;
  host.Set(1009, 0, "0");
  host.Set(20143, 0, "3");
  const std::string r1 = Registro("001", 179, '0');
  host.Set(20033, 0, "\x30ignored kind");
  host.Set(20033, 1, "\x12" + P(r1));
  host.Set(20033, 2, ""); // an empty record is skipped as well
  EXPECT_TRUE(TrataServicoX_CDLPoa(nullptr));
  EXPECT_TRUE(ImprimeCupom);
  EXPECT_EQ(host.Get(1189, 0), r1);

  // A count past the records held stops at the first record missing.
  host.Store().erase({1189, 0});
  host.Set(20143, 0, "9999");
  host.ClearCalls();
  EXPECT_TRUE(TrataServicoX_CDLPoa(nullptr));
  EXPECT_EQ(host.CountOf("VelkorLeCampo"), 5); // the count, records 0 to 2, the missing one
  EXPECT_EQ(host.Get(1189, 0), r1);

  // A register that cannot be stored ends the answer.
  host.Set(20033, 0, "\x12" + P(Registro("002", 71, '0')));
  host.FailWritesOf(1189);
  host.ClearCalls();
  EXPECT_FALSE(TrataServicoX_CDLPoa(nullptr));
  EXPECT_EQ(host.CountOf("VelkorGravaCampo"), 1);
}

} // namespace
