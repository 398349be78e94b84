// The "@"-separated answer record as result-screen lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "screens/base/ImprimeConsultaCheque.h"

namespace {

TEST(ImprimeLinhas, RecordSplitsAtEachAt) {
  struct Caso {
    const char *nome;
    std::string registro;
    std::vector<std::string> linhas;
  } casos[] = {
      {"two texts", "XCHEQUE OK@SEM RESTRICOES@", {"CHEQUE OK ", "SEM RESTRICOES "}},
      {"text after the last @ is not shown", "Xum@dois", {"um "}},
      {"empty lines", "X@@a@", {" ", " ", "a "}},
      {"only the kind", "X", {}},
      {"empty", "", {}},
      {"kind @ is not a separator", "@a@", {"a "}},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    EXPECT_EQ(LinhasRegistroArroba(c.registro), c.linhas);
  }
}

} // namespace
