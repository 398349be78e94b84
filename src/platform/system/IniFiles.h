// INI file reading with the behaviour of the platform's private-profile functions.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The largest configuration file read, the same as the host's limit for its own text files: the
// rest of a larger file is ignored (and reported, see TIniProblem).
constexpr size_t kIniFileLimit = size_t(4) << 20;

// Reads the whole file when constructed (Windows-1252 bytes, CR LF or LF lines). A missing
// file behaves as an empty one, and so does one that cannot be read (not a regular file, no
// permission), which is reported (see TIniProblem). Only a regular file is read, and opening it
// never waits (a FIFO put in a file's place is refused, not waited on). Section and key names
// compare case-insensitively; values are trimmed; only a line whose first non-blank character
// is ';' is a comment (a ';' inside a value belongs to the value). Where a key is repeated in a
// section, the first one counts; where a section is repeated, its keys join the first one.
//
// A file is parsed once and shared by every TIniFile of it until it changes (size, time,
// inode), or until ForgetIniFiles(); a file changed less than a second before it was read is
// read again each time, as its time cannot tell a second change.
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

  struct Data;

private:
  TIniFile() = default;
  std::string fFileName;
  bool fExists = false;
  std::shared_ptr<const Data> fData;
};

// A configuration file that gave the defaults, or only part of what it holds: `file` as it
// was named, `why` in English ("not a regular file (a FIFO)", "cannot be opened: Permission
// denied", "larger than 4194304 bytes: the rest is ignored"). A missing file is no problem.
// Each is reported once when the file is read, that is once per change of the file (or once
// per call when the module forgets the files at the start of each).
struct TIniProblem {
  std::string file, why;
};
// Observers see each problem as it is found; the id removes the observer.
int AddIniProblemObserver(std::function<void(const TIniProblem &)> observer);
void RemoveIniProblemObserver(int id);
// The problems found since the last call (at most the last 32), oldest first.
std::vector<TIniProblem> TakeIniProblems();
// The next TIniFile of each file reads it again.
void ForgetIniFiles();

bool FileExists(const std::string &path);
std::string IncludeTrailingPathDelimiter(const std::string &dir);
std::string ExtractFilePath(const std::string &path); // directory part, with trailing '/'
std::string ExtractFileName(const std::string &path);
