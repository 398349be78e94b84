// CDL POA answers: the structured-register walk, the free-text memo and the
// record loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/FakeHost.h"
#include "module/TrataRetorno.h"
#include "platform/Forms.h"
#include "screens/menus/MenuCheque.h"

namespace {

// A register of `tamanho` bytes: type code, a recognisable body, continuation
// flag last.
std::string Registro(const std::string &tipo, size_t tamanho, char flag) {
  std::string r = tipo;
  while (r.size() < tamanho - 1) r += static_cast<char>('a' + r.size() % 26);
  r += flag;
  return r;
}
// The three bytes the walk skips before each register.
std::string ComPrefixo(const std::string &registro) {
  return "#@!" + registro;
}

class CDLPoa : public ::testing::Test {
protected:
  void SetUp() override { host.Instala(); }
  TFakeHost host;
};

struct CasoBloco {
  const char *nome;
  std::string bloco;
  bool resultado;
  std::vector<std::string> registros; // expected in field 1189, indexes 0 upward
  const char *quantidade;             // expected field 1190, nullptr = not written
};

TEST_F(CDLPoa, RegisterWalkStoresWhatTheBlockHolds) {
  const std::string r001 = Registro("001", 179, '1'), r005 = Registro("005", 150, '1'),
                    r002 = Registro("002", 71, '0'), r006 = Registro("006", 178, '0'),
                    r004 = Registro("004", 431, '1'), r999 = Registro("999", 313, '0'),
                    r003 = Registro("003", 179, '1');
  const std::vector<CasoBloco> casos = {
      {"three registers",
       ComPrefixo(r001) + ComPrefixo(r005) + ComPrefixo(r002),
       true,
       {r001, r005, r002},
       "3"},
      {"a single register", ComPrefixo(r006), true, {r006}, nullptr},
      {"type 004 continues like any other",
       ComPrefixo(r004) + ComPrefixo(r999),
       true,
       {r004, r999},
       "2"},
      {"flag not 1 ends the walk before trailing data",
       ComPrefixo(Registro("002", 71, '9')) + ComPrefixo(r003),
       true,
       {Registro("002", 71, '9')},
       nullptr},
      {"unknown type first", ComPrefixo(Registro("007", 100, '0')), true, {}, nullptr},
      // The count is one past the index of the register the walk ended on.
      {"unknown type after two",
       ComPrefixo(r001) + ComPrefixo(r003) + ComPrefixo("0421xyz"),
       true,
       {r001, r003},
       "3"},
      {"block ends inside the second register: copied at its length",
       ComPrefixo(r001) + ComPrefixo(r005.substr(0, 60)),
       true,
       {r001, r005.substr(0, 60) + std::string(90, '\0')},
       "2"},
      {"block ends inside the type code", ComPrefixo(r001) + "#@!00", true, {r001}, "2"},
      {"block ends inside the skipped bytes", ComPrefixo(r001) + "#", true, {r001}, "2"},
      {"zero byte inside the type code",
       ComPrefixo(std::string("0\0"
                              "1",
                              3) +
                  "rest"),
       true,
       {},
       nullptr},
  };
  for (const CasoBloco &c : casos) {
    SCOPED_TRACE(c.nome);
    host.Store().clear();
    EXPECT_EQ(TrataRetornoRegistrosCDLPOA(c.bloco.data(), static_cast<int>(c.bloco.size())),
              c.resultado);
    for (size_t k = 0; k < c.registros.size(); ++k)
      EXPECT_EQ(host.Get(1189, int(k)), c.registros[k]);
    EXPECT_FALSE(host.Has(1189, static_cast<int>(c.registros.size())));
    if (c.quantidade)
      EXPECT_EQ(host.Get(1190), c.quantidade);
    else
      EXPECT_FALSE(host.Has(1190));
  }
}

TEST_F(CDLPoa, EmptyBlockAndFailedWritesReportFailure) {
  EXPECT_FALSE(TrataRetornoRegistrosCDLPOA("", 0));
  EXPECT_FALSE(TrataRetornoRegistrosCDLPOA("abc", -1));

  const std::string bloco = ComPrefixo(Registro("001", 179, '1')) +
                            ComPrefixo(Registro("002", 71, '1')) +
                            ComPrefixo(Registro("005", 150, '0'));
  host.FailWrite(2); // the second register
  EXPECT_FALSE(TrataRetornoRegistrosCDLPOA(bloco.data(), int(bloco.size())));
  EXPECT_TRUE(host.Has(1189, 0)); // what was stored before stays
  EXPECT_FALSE(host.Has(1189, 1));
  EXPECT_FALSE(host.Has(1190));

  host.Store().clear();
  host.FailWritesOf(1190);
  EXPECT_FALSE(TrataRetornoRegistrosCDLPOA(bloco.data(), int(bloco.size())));
  EXPECT_TRUE(host.Has(1189, 2));
}

TEST_F(CDLPoa, FreeTextBecomesMemoLines) {
  struct Caso {
    const char *nome;
    std::string mensagem; // field 1027
    std::string texto;
    std::vector<std::string> linhas;
  } casos[] = {
      {"message and two lines",
       "  Consulta realizada  ",
       "linha um\nlinha dois\n",
       {"Consulta realizada", " ", "linha um", "linha dois"}},
      {"two line feeds in a row", "", "a\n\nb\n", {"a", " ", "b"}},
      {"blank message is left out", "   ", "x\n", {"x"}},
      {"last character without a line feed is shown", "", "ab\ncd", {"ab", "cd"}},
      {"a final zero byte only ends the line", "", std::string("ab\0", 3), {"ab"}},
      {"a single line feed", "", "\n", {" "}},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
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

TEST_F(CDLPoa, AnswerWithoutResultOrRecordsIsNotHandled) {
  EXPECT_FALSE(TrataServicoX_CDLPoa(nullptr)); // no field 1009
  host.Set(1009, 0, "FF");
  host.Set(20143, 0, "1");
  EXPECT_FALSE(TrataServicoX_CDLPoa(nullptr)); // not a number: 255
  host.Set(1009, 0, "0");
  host.Set(20143, 0, "0");
  EXPECT_FALSE(TrataServicoX_CDLPoa(nullptr));
  host.Set(20143, 0, "x");
  EXPECT_FALSE(TrataServicoX_CDLPoa(nullptr));
}

TEST_F(CDLPoa, StructuredRecordsAreStoredAndOtherKindsSkipped) {
  ImprimeCupom = false;
  host.Set(1009, 0, "0");
  host.Set(20143, 0, "3");
  const std::string r1 = Registro("001", 179, '0');
  host.Set(20033, 0, std::string("\x30", 1) + "ignored kind");
  host.Set(20033, 1, "\x12" + ComPrefixo(r1));
  host.Set(20033, 2, ""); // an empty record is skipped as well
  EXPECT_TRUE(TrataServicoX_CDLPoa(nullptr));
  EXPECT_TRUE(ImprimeCupom);
  EXPECT_EQ(host.Get(1189, 0), r1);

  // A count past the records held stops at the first record missing.
  host.Store().erase({1189, 0});
  host.Set(20143, 0, "9999");
  host.ClearCalls();
  EXPECT_TRUE(TrataServicoX_CDLPoa(nullptr));
  EXPECT_EQ(host.CountOf("VelkorLeCampo"),
            5); // the count, records 0 to 2, the missing one
  EXPECT_EQ(host.Get(1189, 0), r1);
}

TEST_F(CDLPoa, FailedRegisterStoreEndsTheAnswer) {
  host.Set(1009, 0, "0");
  host.Set(20143, 0, "2");
  host.Set(20033, 0, "\x12" + ComPrefixo(Registro("002", 71, '0')));
  host.Set(20033, 1, "\x12" + ComPrefixo(Registro("003", 179, '0')));
  host.FailWritesOf(1189);
  EXPECT_FALSE(TrataServicoX_CDLPoa(nullptr));
  EXPECT_EQ(host.CountOf("VelkorGravaCampo"), 1);
}

} // namespace
