// INI file reading with the behaviour of the platform's private-profile functions.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Reads the whole file when constructed (Windows-1252 bytes, CR LF or LF lines). A missing
// file behaves as an empty one. Section and key names compare case-insensitively; values are
// trimmed; only a line whose first non-blank character is ';' is a comment (a ';' inside a
// value belongs to the value). Where a key is repeated in a section, the first one counts;
// where a section is repeated, its keys join the first one.
class TIniFile {
public:
  explicit TIniFile(std::string fileName);
  const std::string &FileName() const { return fFileName; }
  bool Exists() const { return fExists; }

  std::vector<std::string> ReadSections() const; // in file order, as written
  std::vector<std::string> ReadSection(const std::string &section) const; // key names
  bool SectionExists(const std::string &section) const;
  bool ValueExists(const std::string &section, const std::string &key) const;
  std::string ReadString(const std::string &section, const std::string &key,
                         const std::string &Default) const;
  // Decimal, or hexadecimal with a leading "0x"; anything else gives Default.
  int ReadInteger(const std::string &section, const std::string &key, int Default) const;
  bool ReadBool(const std::string &section, const std::string &key, bool Default) const;

  // Parses text already in memory (used by the reader itself and by tests).
  static TIniFile FromText(const std::string &text);

private:
  TIniFile() = default;
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> values;
  };
  const Section *Find(const std::string &section) const;
  void Parse(const std::string &text);
  std::string fFileName;
  bool fExists = false;
  std::vector<Section> fSections;
};

bool FileExists(const std::string &path);
std::string IncludeTrailingPathDelimiter(const std::string &dir);
std::string ExtractFilePath(const std::string &path); // directory part, with trailing '/'
std::string ExtractFileName(const std::string &path);
