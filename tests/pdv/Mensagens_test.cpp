// Operator messages and the audit trail.
#include <regex>

#include <cheque/host.h>

#include "PdvTest.h"
#include "platform/text/StrUtils.h"

using namespace pdvtest;

namespace {

class MensagensTest : public THostTest {};

std::string Msg(int id) {
  char buf[300];
  LeMensagens(buf, sizeof buf, id);
  return buf;
}

// Every number the module shows has a text; the formats it fills in have exactly the
// directives it passes, and no other text has one that would eat an argument it does not pass.
TEST_F(MensagensTest, EveryNumberTheModuleShowsHasATextWithTheRightDirectives) {
  const int numeros[] = {
      6,    8,    11,   12,   13,   20,   21,   26,   37,   42,   43,   46,   48,   49,   54,
      55,   56,   57,   58,   59,   70,   71,   72,   82,   83,   84,   86,   125,  130,  140,
      145,  261,  277,  281,  317,  327,  330,  456,  465,  546,  553,  554,  556,  564,  566,
      568,  570,  571,  572,  573,  575,  576,  577,  578,  579,  580,  581,  582,  583,  585,
      586,  602,  719,  720,  725,  733,  786,  787,  790,  801,  802,  803,  804,  805,  806,
      807,  808,  809,  814,  856,  993,  998,  1023, 1024, 1055, 1100, 1101, 1102, 1103, 1104,
      1123, 1124, 1125, 1132, 1133, 1134, 1135, 1136, 1137, 1138, 1139, 1166, 1167, 1168, 1171,
      1172, 1173, 1174, 1182, 1186, 1187, 1267, 1474, 1710, 1711, 1712, 1723, 1724, 1725, 1726,
      1727, 1728, 1729, 1730, 1731, 1732, 1733, 1734, 1821};
  for (int n : numeros) EXPECT_FALSE(Trim(pdv::MensagensPadrao().at(n)).empty()) << n;
  const std::map<int, std::string> formatos = {{8, "%s%s"},  {566, "%s%s"},  {802, "%s"},
                                               {1168, "%s"}, {1186, "%s%d"}, {1187, "%s"}};
  for (const auto &[n, texto] : pdv::MensagensPadrao()) {
    std::string diretivas;
    for (size_t p = texto.find('%'); p != std::string::npos; p = texto.find('%', p + 2))
      diretivas += texto.substr(p, 2);
    EXPECT_EQ(diretivas, formatos.count(n) ? formatos.at(n) : "") << n << ": " << texto;
  }
  // The demo file ships the built-in table: loading it changes nothing.
  H().CarregaMensagens(std::string(CHEQUE_SOURCE_DIR) + "/share/demo/mensagens.txt");
  for (const auto &[n, texto] : pdv::MensagensPadrao()) EXPECT_EQ(H().Mensagem(n), texto) << n;
}

TEST_F(MensagensTest, FileOverridesAndMalformedFilesAreRefusedWithTheirLine) {
  H().CarregaMensagensTexto("\xEF\xBB\xBF# comentário\n456=Consulta Especial\r\n"
                            "  999 =Atenção\\x20\n",
                            "m.txt");
  EXPECT_EQ(Msg(456), "Consulta Especial");
  EXPECT_EQ(Msg(999), "Aten\xE7\xE3o ");
  EXPECT_EQ(Msg(553), pdv::MensagensPadrao().at(553));
  const std::pair<const char *, int> casos[] = {
      {"1=a\nsem igual\n", 2}, {"x1=a\n", 1}, {"1=a\n1=b\n", 2},
      {"\n\n5=\\z\n", 3},      {"=a\n", 1},   {"2=b\n1=a\r3=c\r", 2}};
  for (auto [texto, linha] : casos) {
    H().Reinicia();
    EsperaRecusa([&] { H().CarregaMensagensTexto(texto, "m.txt"); }, linha, texto);
    EXPECT_EQ(Msg(1), "[mensagem 1 n\xE3o cadastrada]") << "nothing loaded: " << texto;
  }
}

TEST_F(MensagensTest, AuditLinesAreDatedAndInUtf8AndTheDeniedReceiptFieldIsKept) {
  TempDir dir;
  H().DefineArquivoAudit(dir / "audit.log");
  GravaAudit(0, "Criou: FrmRedes_Mnu", 19);
  GravaAudit(0, "Destruiu: Frm\xC7", 14);
  GravaAudit(0, "cortado aqui", 7);
  const std::string log = ReadFile(dir / "audit.log");
  // "dd/mm/yyyy hh:mm:ss 0 " before the text; a line of another form is missed below.
  const std::regex linha(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d 0 (.*)\n)");
  std::vector<std::string> textos;
  for (std::sregex_iterator i(log.begin(), log.end(), linha), fim; i != fim; ++i)
    textos.push_back((*i)[1]);
  EXPECT_EQ(textos,
            (std::vector<std::string>{"Criou: FrmRedes_Mnu", "Destruiu: Frm\xC3\x87", "cortado"}));
  EXPECT_EQ(Transcript().Events("audit").at(0)["text"], "Criou: FrmRedes_Mnu");
  VelkorSetaCupomNegada(20018);
  EXPECT_EQ(H().CampoCupomNegada(), 20018);
}

} // namespace
