#include "platform/IniFiles.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// A configuration file the way shops write them: UTF-8 mark from an editor, CR LF lines mixed
// with LF, comments, blanks around names and values, Windows-1252 bytes.
const char kSample[] = "\xEF\xBB\xBF; comment before any section\r\n"
                       "orphan=1\r\n"
                       "[Cheque Telecheque]\r\n"
                       "habilitado = 1 \r\n"
                       "CodigoTrn=0x46\r\n"
                       "opMenu=01;K1;Simples;02;K2;Completa;\r\n"
                       "  ; an indented comment\r\n"
                       "Emitente=  Jos\xE9 da Concei\xE7\xE3o  \r\n"
                       "line without equals sign\r\n"
                       "Vazio=\r\n"
                       "Hexa=0XfF\n"
                       "Negativo=-12\n"
                       "Letras1=1a\n"
                       "Fracao=1.5\n"
                       "Texto=abc\n"
                       "Citado=\" com aspas \"\n"
                       "Igual=a=b\n"
                       "habilitado=2\n"
                       "\n"
                       "[ Serasa ]\n"
                       "HABILITADO=0\n"
                       "[cheque TELECHEQUE]\n"
                       "TipoFuncao=3\n"
                       "[Sem fim\n"
                       "x=y";

class IniFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    char dir[] = "/tmp/ini_test_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    fDir = dir;
    fPath = fDir + "/Cheque.ini";
    std::ofstream(fPath, std::ios::binary) << kSample;
  }
  void TearDown() override {
    std::remove(fPath.c_str());
    rmdir(fDir.c_str());
  }
  std::string fDir, fPath;
};

TEST_F(IniFileTest, ReadsEveryKindOfEntry) {
  const TIniFile ini(fPath);
  ASSERT_TRUE(ini.Exists());
  EXPECT_EQ(ini.ReadSections(),
            (std::vector<std::string>{"Cheque Telecheque", "Serasa", "Sem fim"}));
  EXPECT_EQ(ini.ReadSection("CHEQUE TELECHEQUE"),
            (std::vector<std::string>{"habilitado", "CodigoTrn", "opMenu", "Emitente", "Vazio",
                                      "Hexa", "Negativo", "Letras1", "Fracao", "Texto", "Citado",
                                      "Igual", "TipoFuncao"}));

  const std::string s = "Cheque Telecheque";
  struct {
    std::string section, key, text; // text: ReadString with default "def"
    int integer;                    // ReadInteger with default -99
  } cases[] = {
      {s, "habilitado", "1", 1}, // trimmed; the first of a repeated key counts
      {"cheque telecheque", "HABILITADO", "1", 1},
      {s, "CodigoTrn", "0x46", 0x46},
      {s, "Hexa", "0XfF", 255},
      {s, "Negativo", "-12", -12},
      {s, "opMenu", "01;K1;Simples;02;K2;Completa;", -99}, // ';' belongs to the value
      {s, "Emitente", "Jos\xE9 da Concei\xE7\xE3o", -99},  // bytes as they are
      {s, "Vazio", "", -99},
      {s, "Letras1", "1a", -99},
      {s, "Fracao", "1.5", -99},
      {s, "Texto", "abc", -99},
      {s, "Citado", " com aspas ", -99},
      {s, "Igual", "a=b", -99},
      {s, "TipoFuncao", "3", 3}, // from the repeated section
      {s, "Ausente", "def", -99},
      {s, "line without equals sign", "def", -99},
      {"Serasa", "habilitado", "0", 0},
      {"Sem fim", "x", "y", -99},
      {"Inexistente", "habilitado", "def", -99},
      {"", "orphan", "def", -99}, // before any section: ignored
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.section + "/" + c.key);
    EXPECT_EQ(ini.ReadString(c.section, c.key, "def"), c.text);
    EXPECT_EQ(ini.ReadInteger(c.section, c.key, -99), c.integer);
    EXPECT_EQ(ini.ValueExists(c.section, c.key), c.text != "def");
  }
  EXPECT_TRUE(ini.SectionExists("SERASA"));
  EXPECT_FALSE(ini.SectionExists("Inexistente"));
  EXPECT_TRUE(ini.ReadBool(s, "habilitado", false));
  EXPECT_FALSE(ini.ReadBool("Serasa", "habilitado", true));
  EXPECT_TRUE(ini.ReadBool(s, "Texto", true));
  EXPECT_FALSE(ini.ReadBool(s, "Ausente", false));
}

TEST_F(IniFileTest, MissingFileGivesDefaults) {
  const TIniFile ini(fDir + "/Cliente.ini");
  EXPECT_FALSE(ini.Exists());
  EXPECT_TRUE(ini.ReadSections().empty());
  EXPECT_EQ(ini.ReadString("Cheque Telecheque", "Emitente", "Sim"), "Sim");
  EXPECT_EQ(ini.ReadInteger("Cheque Telecheque", "tmBanco", 3), 3);
  EXPECT_FALSE(FileExists(fDir + "/Cliente.ini"));
  EXPECT_TRUE(FileExists(fPath));
  EXPECT_FALSE(FileExists(fDir)); // a directory is not a file
}

TEST(IniFile, FromTextAndPaths) {
  const TIniFile ini = TIniFile::FromText("[A]\nk=v\n");
  EXPECT_EQ(ini.ReadString("a", "K", ""), "v");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/opt/pdv"), "/opt/pdv/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/opt/pdv/"), "/opt/pdv/");
  EXPECT_EQ(ExtractFilePath("/opt/pdv/chequepdv"), "/opt/pdv/");
  EXPECT_EQ(ExtractFileName("/opt/pdv/chequepdv"), "chequepdv");
  EXPECT_EQ(ExtractFilePath("chequepdv"), "");
  EXPECT_EQ(ExtractFileName("chequepdv"), "chequepdv");
}

} // namespace
