// The example point of sale in C (examples/pdv_exemplo.c), a host that is not chequepdv: it
// gets its call back with a person at the terminal (tmux, its standard output in a file),
// without a terminal, and with the operator script named by the environment.
#include <chrono>
#include <thread>

#include "E2e.h"
#include "support/Tmux.h"

namespace e2e {
namespace {

using testsupport::Quote;

const std::string kExemplo = kBinDir + "/pdv_exemplo";

// The example run from `dir` on the demo configuration, after `env` (shell assignments).
std::string Comando(const TempDir &dir, const std::string &env) {
  return "cd " + Quote(dir.Path()) + " && CHEQUE_DIR=" + Quote(kSourceDir + "/share/demo") + " " +
         env + " " + Quote(kExemplo) + " consulta 15000 >saida.txt";
}

TEST(Exemplo, PersonAtTheTerminalConsultsATypedCheque) {
  if (const std::string why = testsupport::TTmux::Missing(kExemplo); !why.empty())
    GTEST_SKIP() << why;
  const TempDir dir;
  testsupport::TTmux tmux("exemplo");
  tmux.Start(Comando(dir, ""));
  ASSERT_TRUE(tmux.WaitFor("1 - Consulta Cheque")) << tmux.Screen();
  tmux.Keys("1"); // typed first line of the cheque, code 70
  ASSERT_TRUE(tmux.WaitFor("Primeira Linha")) << tmux.Screen();
  tmux.Keys("1");
  ASSERT_TRUE(tmux.WaitFor("Confirma")) << tmux.Screen();
  // The amount came from the point of sale; the person types the rest, field by field.
  for (const char *k :
       {"Enter", "Enter", "341", "Enter", "0123", "Enter", "456789", "Enter", "1", "Enter",
        "000101", "Enter", "5", "Enter", "1", "Enter", "52998224725", "Enter", "M-1"})
    tmux.Keys(k);
  ASSERT_TRUE(tmux.WaitFor("EXIT=")) << tmux.Screen();
  EXPECT_NE(tmux.Screen().find("EXIT=0"), std::string::npos) << tmux.Screen();
  const std::string saida = ReadFile(dir / "saida.txt");
  EXPECT_NE(saida.find("ExecutaConsultaCheque(0) returned\n1003 = 15000\n1009 = 0\n"),
            std::string::npos)
      << saida;
  EXPECT_NE(ReadFile(dir / "transacao.txt").find("1009-000 = 0"), std::string::npos);
}

// No terminal: the call returns at once, the point of sale's error file says why and the store
// is saved as for an abandoned first screen. With the script variable: the bundled script plays
// the consultation and its transcript is written, masked.
TEST(Exemplo, NoTerminalAndTheScriptVariable) {
  struct Caso {
    std::string env, saida, erro;
  };
  const std::string roteiro = kSourceDir + "/examples/consulta.script";
  const Caso casos[] = {
      {"", "1003 = 15000\n", "sem terminal nem roteiro"},
      {"CHEQUE_ROTEIRO=" + Quote(roteiro) + " CHEQUE_TRANSCRICAO=t.jsonl",
       "1009 = 0\n1027 = CONSULTA APROVADA\n", ""},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.env);
    const TempDir dir;
    const RunResult r = RunProgram("/bin/sh", {"-c", Comando(dir, c.env)});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string saida = ReadFile(dir / "saida.txt");
    EXPECT_NE(saida.find(c.saida), std::string::npos) << saida;
    EXPECT_NE(ReadFile(dir / "transacao.txt"), "");
    const std::string erro = ReadFile(dir / "erro_pdv.txt");
    EXPECT_EQ(erro.find("codigo = 255") != std::string::npos, !c.erro.empty()) << erro;
    EXPECT_NE(erro.find(c.erro), std::string::npos) << erro;
    if (c.erro.empty()) {
      const std::string t = ReadFile(dir / "t.jsonl");
      EXPECT_NE(t.find("\"ev\":\"authorize\""), std::string::npos) << t;
      EXPECT_EQ(t.find("52998224725"), std::string::npos) << "the CPF is masked";
    }
  }
}

} // namespace
} // namespace e2e
