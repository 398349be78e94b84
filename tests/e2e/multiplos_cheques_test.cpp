// Several CMC-7 cheques through the real host program: the cheques must make up the amount of
// the point of sale, or, when it gave none, the amount the operator typed on the consultation
// screen; what reaches the network is read from the authorize event.
#include "E2e.h"

using namespace e2e;

namespace {

std::string Campo(const Json &autorizacao, int campo, int indice) {
  for (const Json &e : autorizacao["entries"])
    if (e.value("field", -1) == campo && e.value("index", -1) == indice)
      return e.value("value", "<absent>");
  return "<none>";
}

} // namespace

TEST(MultiplosCheques, OsChequesSomamOValorDoPdvOuODigitado) {
  struct Caso {
    const char *nome;
    const char *valorPdv;  // field 1003 given by the point of sale ("" = none)
    const char *valorTela; // typed on the consultation screen ("" = nothing typed)
    const char *correcao;  // second cheque retyped after message 1182 (nullptr = no message)
    const char *enviado;   // field 1003 in the request
  } casos[] = {
      {"amount of the point of sale", "1000", "", nullptr, "1000"},
      {"amount typed on the screen", "", "10,00", nullptr, "1000"},
      {"typed amount not made up", "", "10,01", "501", "1001"},
      {"amount of the point of sale not made up", "1001", "", "501", "1001"},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    Session s;
    s.dir.Write("mensagens.txt", TestMessages() + "1182=M1182\n");
    s.chequeIni = Option("Consulta", 70, 1, 12,
                         {{"opCmc7", "0"},
                          {"opBanco", "2"},
                          {"ColetaQtdChq", "1"},
                          {"opAbertura", "1"},
                          {"opNascto", "1"},
                          {"opTipoDoc", "1"}});
    if (*c.valorPdv) s.sets = {std::string("1003-0=") + c.valorPdv};
    s.options["--scenario"] = s.dir.Write("cenario.ini", "[autorizacao]\n1009-0 = 0\n");
    std::string roteiro = "expect-form FrmCon_Con\n";
    if (*c.valorTela) roteiro += std::string("click edValor\ntype ") + c.valorTela + "\n";
    auto linha = [](char digito, const std::string &data) {
      return "type " + std::string(30, digito) + "\nkey Enter\ntype 500\nkey Enter\ntype " + data +
             "\nkey Enter\n";
    };
    roteiro += "click edQtdChq\ntype 2\nkey Enter\nexpect-form FrmMult_CMC7\n" +
               linha('1', "01072024") + linha('2', "02072024") + "click btConfirma\n";
    if (c.correcao)
      roteiro += std::string("expect-msgbox M1182\nok\ncell sg_dadoschq_1 2 1\ntype ") +
                 c.correcao + "\nkey Enter\nclick btConfirma\n";
    roteiro += "expect-form FrmCon_Con\nclick btConfirma\n";
    const Outcome o = s.Run({"consulta"}, roteiro);
    ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
    const std::string segundo = c.correcao ? c.correcao : "500";
    EXPECT_EQ(o.Events("msgbox").size(), c.correcao ? 1u : 0u);
    const auto autorizacoes = o.Events("authorize");
    ASSERT_EQ(autorizacoes.size(), 1u);
    EXPECT_EQ(Campo(autorizacoes[0], 1003, 0), c.enviado);
    EXPECT_EQ(Campo(autorizacoes[0], 10165, 1), segundo);
    ASSERT_TRUE(o.saved);
    EXPECT_EQ(o.store.at("10165-0"), "500");
    EXPECT_EQ(o.store.at("10165-1"), segundo);
    EXPECT_EQ(o.CloseResult("FrmCon_Con"), 1);
  }
}
