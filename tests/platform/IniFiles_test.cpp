#include "platform/system/IniFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/TempDir.h"

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

TEST(IniFile, ReadsEveryKindOfEntryAndDefaultsForTheRest) {
  const testsupport::TempDir dir;
  const std::string path = dir.Write("Cheque.ini", kSample);
  const TIniFile ini(path);
  ASSERT_TRUE(ini.Exists());
  EXPECT_EQ(ini.ReadSections(),
            (std::vector<std::string>{"Cheque Telecheque", "Serasa", "Sem fim"}));
  EXPECT_EQ(ini.ReadSection("CHEQUE TELECHEQUE"),
            (std::vector<std::string>{"habilitado", "CodigoTrn", "opMenu", "Emitente", "Vazio",
                                      "Citado", "Igual", "TipoFuncao"}));
  const std::string s = "Cheque Telecheque";
  const struct {
    std::string section, key, text; // text: ReadString with default "def"
    int integer;                    // ReadInteger with default -99
  } cases[] = {
      {"cheque telecheque", "HABILITADO", "1", 1}, // trimmed; the first of a repeated key counts
      {s, "CodigoTrn", "0x46", 0x46},
      {s, "opMenu", "01;K1;Simples;02;K2;Completa;", -99}, // ';' belongs to the value
      {s, "Emitente", "Jos\xE9 da Concei\xE7\xE3o", -99},  // bytes as they are
      {s, "Vazio", "", -99},
      {s, "Citado", " com aspas ", -99},
      {s, "Igual", "a=b", -99},
      {s, "TipoFuncao", "3", 3}, // from the repeated section
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
  EXPECT_FALSE(ini.ReadBool("Serasa", "habilitado", true));

  const TIniFile missing(dir / "Cliente.ini");
  EXPECT_FALSE(missing.Exists());
  EXPECT_EQ(missing.ReadString(s, "Emitente", "Sim"), "Sim");
  EXPECT_TRUE(FileExists(path));
  EXPECT_FALSE(FileExists(dir.Path())); // a directory is not a file
  EXPECT_EQ(TIniFile::FromText("[A]\nk=v\n").ReadString("a", "K", ""), "v");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/opt/pdv") + ExtractFileName("/opt/pdv/chequepdv"),
            "/opt/pdv/chequepdv");
  EXPECT_EQ(ExtractFilePath("/opt/pdv/chequepdv") + "|" + ExtractFilePath("chequepdv"),
            "/opt/pdv/|");
}

// What cannot be read whole gives the defaults (or what came before the limit) at once, and says
// which file and why, once while the file stays as it is; a file rewritten at once with the same
// size is read again.
TEST(IniFile, SpecialAndLargeFilesGiveTheDefaultsAndSayWhy) {
  const testsupport::TempDir dir;
  ASSERT_EQ(mkfifo((dir / "Cliente.ini").c_str(), 0600), 0);
  std::string big = "[A]\nfirst=1\n";
  while (big.size() < kIniFileLimit - 10) big += "; filler line of a comment\n";
  big.resize(kIniFileLimit - 10, ';');
  big += "\ncut=3456789\nlast=2\n"; // the limit falls inside "cut"
  TakeIniProblems();
  const struct {
    std::string path, why; // why: "" no problem
    const char *key;       // read in section A with default "def"
    const char *value;
  } cases[] = {
      {dir / "Cliente.ini", "not a regular file (a FIFO)", "first", "def"},
      {dir.Path(), "not a regular file (a directory)", "first", "def"},
      {dir / "Nenhum.ini", "", "first", "def"},
      {dir.Write("Grande.ini", big), "larger than 4194304 bytes: the rest is ignored", "first",
       "1"},
      {dir / "Grande.ini", "", "cut", "def"}, // read already, not reported again
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.path);
    const TIniFile ini(c.path);
    EXPECT_EQ(ini.ReadString("A", c.key, "def"), c.value);
    std::string said;
    for (const TIniProblem &p : TakeIniProblems()) said += p.file + ": " + p.why + "\n";
    EXPECT_EQ(said, c.why.empty() ? "" : c.path + ": " + c.why + "\n");
  }
  EXPECT_EQ(TIniFile(dir / "Grande.ini").ReadString("A", "last", "def"), "def");
  const std::string path = dir.Write("Cheque.ini", "[A]\nk=1\n");
  EXPECT_EQ(TIniFile(path).ReadString("A", "k", ""), "1");
  dir.Write("Cheque.ini", "[A]\nk=2\n");
  EXPECT_EQ(TIniFile(path).ReadString("A", "k", ""), "2");
}

} // namespace
