#include "platform/IniFiles.h"

#include "platform/StrUtils.h"

#include <fstream>
#include <iterator>
#include <sys/stat.h>

TIniFile::TIniFile(std::string fileName) : fFileName(std::move(fileName)) {
  std::ifstream in(fFileName, std::ios::binary);
  if (!in || !FileExists(fFileName)) return;
  fExists = true;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Parse(text);
}

TIniFile TIniFile::FromText(const std::string &text) {
  TIniFile f;
  f.fExists = true;
  f.Parse(text);
  return f;
}

namespace {

// A value enclosed in a pair of the same quotes loses them, as the platform's profile reader
// does; anything else is kept as written.
std::string Unquote(const std::string &v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

} // namespace

void TIniFile::Parse(const std::string &text) {
  size_t pos = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
  Section *current = nullptr;
  while (pos < text.size()) {
    size_t eol = text.find('\n', pos);
    if (eol == std::string::npos) eol = text.size();
    const std::string line = Trim(text.substr(pos, eol - pos)); // drops the CR too
    pos = eol + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.find(']');
      const std::string name =
          Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      current = nullptr;
      for (Section &s : fSections)
        if (SameText(s.name, name)) current = &s;
      if (!current) {
        fSections.push_back({name, {}});
        current = &fSections.back();
      }
      continue;
    }
    const size_t eq = line.find('=');
    if (!current || eq == std::string::npos) continue;
    const std::string key = Trim(line.substr(0, eq));
    if (key.empty()) continue;
    bool known = false;
    for (const auto &kv : current->values) known = known || SameText(kv.first, key);
    if (!known) current->values.emplace_back(key, Unquote(Trim(line.substr(eq + 1))));
  }
}

const TIniFile::Section *TIniFile::Find(const std::string &section) const {
  for (const Section &s : fSections)
    if (SameText(s.name, section)) return &s;
  return nullptr;
}

std::vector<std::string> TIniFile::ReadSections() const {
  std::vector<std::string> names;
  for (const Section &s : fSections) names.push_back(s.name);
  return names;
}

std::vector<std::string> TIniFile::ReadSection(const std::string &section) const {
  std::vector<std::string> keys;
  if (const Section *s = Find(section))
    for (const auto &kv : s->values) keys.push_back(kv.first);
  return keys;
}

bool TIniFile::SectionExists(const std::string &section) const {
  return Find(section);
}

bool TIniFile::ValueExists(const std::string &section, const std::string &key) const {
  if (const Section *s = Find(section))
    for (const auto &kv : s->values)
      if (SameText(kv.first, key)) return true;
  return false;
}

std::string TIniFile::ReadString(const std::string &section, const std::string &key,
                                 const std::string &Default) const {
  if (const Section *s = Find(section))
    for (const auto &kv : s->values)
      if (SameText(kv.first, key)) return kv.second;
  return Default;
}

int TIniFile::ReadInteger(const std::string &section, const std::string &key, int Default) const {
  return StrToIntHexDef(ReadString(section, key, ""), Default);
}

bool TIniFile::ReadBool(const std::string &section, const std::string &key, bool Default) const {
  return ReadInteger(section, key, Default ? 1 : 0) != 0;
}

bool FileExists(const std::string &path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string IncludeTrailingPathDelimiter(const std::string &dir) {
  if (!dir.empty() && dir.back() == '/') return dir;
  return dir + '/';
}

std::string ExtractFilePath(const std::string &path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string &path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
