// The Telecheque rate-table load through the real host program (generico 11): what the
// network is asked for, and what the point of sale finds in the saved transaction file.
#include <sstream>

#include "E2e.h"

namespace e2e {
namespace {

TEST(TabelaTaxas, CargaDeixaOResultadoNoArquivoDoPdv) {
  const std::string mil(1000, '7');
  struct Caso {
    std::string embranco; // merchant fields the point of sale leaves blank
    std::string resposta; // the [autorizacao] lines
    std::string roteiro;
    std::string campos;  // "F=V;F=;F": value, empty value, absent
    std::string erroPdv; // "-": nothing goes to the point of sale
  };
  const Caso casos[] = {
      {"1050 1080", "", "expect-msgbox M1123\nok", "1009=FF;1027=M1123;10112;1204", "-"},
      {"", "1009-0=0\n20033-0=3 \\x09 1,99 2,49 \\x20\\x00X", "", "1009=FF;1027=;1204=1,99 2,49",
       "-"},
      {"", "1009-0=0\n20013-0=OK\n20033-0=21,99", "ok", "1009=FF;1027=OK;1204;1106=T 7", "-"},
      {"", "1009-0=255", "", "1009=255;1027=M1055;1204", ""},
      {"", "1009-0=5\n20013-0=RECUSADA\n20033-0=31", "ok", "1009=5;1027;1204", "RECUSADA"},
      {"", "1009-0=0\n20033-0=3" + mil + std::string(9000, 'X'), "", "1204=" + mil, "-"},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.embranco + " " + c.resposta.substr(0, 60));
    Session s;
    s.scenario = "[autorizacao]\n" + c.resposta + "\n";
    for (const char *f : {"1051", "1079", "1050", "1080", "1095"})
      s.sets.push_back(f +
                       std::string(c.embranco.find(f) == std::string::npos ? "-0=L" : "-0=\\x20"));
    s.sets.push_back("1106-0=T 7");
    const Outcome o = s.Run({"generico", "11"}, c.roteiro);
    EXPECT_TRUE(Completed(o));
    EXPECT_TRUE(o.saved) << "the store is saved on every path";
    std::istringstream campos(c.campos);
    for (std::string item; std::getline(campos, item, ';');) {
      const size_t igual = item.find('=');
      EXPECT_EQ(o.Field(item.substr(0, igual) + "-0"),
                igual == std::string::npos ? "-" : item.substr(igual + 1))
          << item;
    }
    const auto erros = o.Events("pdv_error");
    EXPECT_EQ(erros.empty() ? "-" : erros.back().value("text", "?"), c.erroPdv);
    if (!erros.empty()) {
      EXPECT_EQ(erros.back()["code"], 255);
    }
    const auto pedidos = o.Events("authorize");
    EXPECT_EQ(pedidos.size(), c.embranco.empty() ? 1u : 0u);
    EXPECT_EQ(o.Forms("show").size(), pedidos.size()) << "progress only for a load made";
    if (pedidos.size() != 1) continue;
    EXPECT_EQ(pedidos[0]["code_hex"], "F0");
    EXPECT_EQ(Request(pedidos[0]), "10112=117 10171- '0'");
  }
}

} // namespace
} // namespace e2e
