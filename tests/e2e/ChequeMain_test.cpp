// The module's entry points through the real host program: operations refused with one
// message to the point of sale, and the fixed message of sale and pre-authorisation; every
// call gives the owner window back and opens no screen.
#include "E2e.h"
#include "platform/text/StrUtils.h"

namespace e2e {
namespace {

TEST(EntryPoints, RefusedOrFixedMessageOperations) {
  const std::string dois = Option("Consulta A", 70, 1) + Option("Consulta B", 72, 1);
  struct Case {
    std::vector<std::string> op;
    std::string cheque, script;
    std::string error; // handed to the point of sale with code 255 ("" = none)
    std::string box;   // the one message box ("" = none)
  };
  // No section with "habilitado" exactly 1 (2, text, 0 and a missing key do not count).
  const std::string nenhuma = IniSection("A", {{"habilitado", "2"}, {"CodigoTrn", "70"}}) +
                              IniSection("B", {{"habilitado", "sim"}}) +
                              IniSection("C", {{"habilitado", "0"}}) +
                              IniSection("D", {{"CodigoTrn", "72"}});
  const Case cases[] = {
      {{"consulta"}, nenhuma, "", "Nenhuma opção", ""},
      {{"adm", "2"}, dois, "", "M993", ""},
      {{"generico", "10"}, dois, "", "M327", ""},
      {{"venda", "3"}, dois, "expect-msgbox M130\nok\n", "", "M130"},
      {{"preautorizacao", "3"}, dois, "expect-msgbox M130\nok\n", "", "M130"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.op[0] + " " + c.op[1 % c.op.size()]);
    Session s;
    s.chequeIni = c.cheque;
    const Outcome o = s.Run(c.op, c.script);
    ASSERT_TRUE(Completed(o));
    const auto errors = o.Events("pdv_error");
    ASSERT_EQ(errors.size(), c.error.empty() ? 0u : 1u) << o.Diagnostics();
    if (!c.error.empty()) {
      EXPECT_EQ(errors[0]["code"], 255);
      EXPECT_EQ(errors[0]["text"], c.error);
      EXPECT_NE(o.run.out.find("255 \"" + c.error + "\""), std::string::npos) << o.run.out;
      // The point of sale finds the last error beside the transaction file, in Windows-1252.
      EXPECT_EQ(ReadFile(s.dir / "erro_pdv.txt"),
                "codigo = 255\ntexto = " + Utf8ToCp1252(c.error) + "\n");
    }
    const auto boxes = o.Events("msgbox");
    ASSERT_EQ(boxes.size(), c.box.empty() ? 0u : 1u);
    if (!c.box.empty()) {
      EXPECT_EQ(boxes[0]["text"], c.box);
      EXPECT_EQ(boxes[0]["flags"], 0x40030); // topmost, exclamation, one OK button
    }
    EXPECT_TRUE(o.Forms("create").empty());
    EXPECT_FALSE(o.saved) << "nothing asked the host to save the store";
  }
}

} // namespace
} // namespace e2e
