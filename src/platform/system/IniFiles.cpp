#include "platform/system/IniFiles.h"

#include "platform/text/StrUtils.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif
#ifndef O_NOCTTY
#define O_NOCTTY 0
#endif
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
#endif
#ifndef O_BINARY
#define O_BINARY 0
#endif

// Names are looked up by hash on their upper-case form (the case-insensitive comparison of
// Windows-1252 names), so that a file is parsed and read in time linear in its size.
struct TIniFile::Data {
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> values;
    std::unordered_map<std::string, size_t> index; // upper-case key -> values
  };
  std::vector<Section> sections;
  std::unordered_map<std::string, size_t> index; // upper-case name -> sections

  const Section *Find(const std::string &section) const {
    const auto it = index.find(Folded(section));
    return it == index.end() ? nullptr : &sections[it->second];
  }
  const std::string *Value(const std::string &section, const std::string &key) const {
    const Section *s = Find(section);
    if (!s) return nullptr;
    const auto it = s->index.find(Folded(key));
    return it == s->index.end() ? nullptr : &s->values[it->second].second;
  }
  static std::string Folded(std::string_view name) {
    std::string f(name);
    for (char &c : f) c = AnsiUpperChar(c);
    return f;
  }
  void Parse(std::string_view text);
};

namespace {

bool Blank(char c) {
  return static_cast<unsigned char>(c) <= 0x20;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && Blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && Blank(s.back())) s.remove_suffix(1);
  return s;
}

// A value enclosed in a pair of the same quotes loses them, as the platform's profile reader
// does; anything else is kept as written.
std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// ---- Problems -----------------------------------------------------------------------------

std::mutex gMutex; // the cache and the problems (hosts may read from more than one thread)
std::vector<std::pair<int, std::function<void(const TIniProblem &)>>> gObservers;
int gNextObserver = 1;
std::deque<TIniProblem> gProblems;
constexpr size_t kKeptProblems = 32;

void Report(const std::string &file, const std::string &why) {
  TIniProblem p{file, why};
  decltype(gObservers) observers;
  {
    const std::lock_guard<std::mutex> lock(gMutex);
    gProblems.push_back(p);
    if (gProblems.size() > kKeptProblems) gProblems.pop_front();
    observers = gObservers;
  }
  for (const auto &o : observers) o.second(p);
}

const char *KindOf(mode_t m) {
  if (S_ISDIR(m)) return "a directory";
  if (S_ISFIFO(m)) return "a FIFO";
  if (S_ISCHR(m)) return "a character device";
#ifdef S_ISBLK
  if (S_ISBLK(m)) return "a block device";
#endif
#ifdef S_ISSOCK
  if (S_ISSOCK(m)) return "a socket";
#endif
  return "a special file";
}

// ---- The files read ------------------------------------------------------------------------

// What tells one version of a file from another.
struct TIdentity {
  dev_t dev = 0;
  ino_t ino = 0;
  mode_t mode = 0;
  off_t size = 0;
  int64_t mtime = 0, ctime = 0; // ns
  bool operator==(const TIdentity &) const = default;
};

[[maybe_unused]] int64_t Ns(const timespec &t) { // not on Windows: its stat has seconds only
  return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

TIdentity IdentityOf(const struct stat &st) {
#if defined(__APPLE__)
  return {st.st_dev, st.st_ino, st.st_mode, st.st_size, Ns(st.st_mtimespec), Ns(st.st_ctimespec)};
#elif defined(_WIN32)
  return {st.st_dev,
          st.st_ino,
          st.st_mode,
          st.st_size,
          int64_t(st.st_mtime) * 1000000000,
          int64_t(st.st_ctime) * 1000000000};
#else
  return {st.st_dev, st.st_ino, st.st_mode, st.st_size, Ns(st.st_mtim), Ns(st.st_ctim)};
#endif
}

int64_t NowNs() {
  using namespace std::chrono;
  return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

struct TCached {
  TIdentity id;
  std::shared_ptr<const TIniFile::Data> data; // null: the file could not be read
  bool reusable = false; // false: read it again, but do not report the same problem again
  std::string problem;
};
std::unordered_map<std::string, TCached> gCache;

// The file's text, or false when it cannot be read; `problem` says what kept it from being read
// whole.
bool ReadRegular(const std::string &path, std::string &text, struct stat &st,
                 std::string &problem) {
  // Without blocking: a FIFO put in the file's place between the check and the open opens at
  // once and is refused by the check after it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | O_BINARY);
  if (fd < 0) {
    problem = (std::string("cannot be opened: ") + std::strerror(errno));
    return false;
  }
  struct Close {
    int fd;
    ~Close() { (void)::close(fd); }
  } close{fd};
  if (::fstat(fd, &st) != 0) {
    problem = (std::string("cannot be examined: ") + std::strerror(errno));
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    problem = (std::string("not a regular file (") + KindOf(st.st_mode) + ")");
    return false;
  }
  const size_t want = std::min<size_t>(size_t(std::max<off_t>(st.st_size, 0)), kIniFileLimit);
  text.resize(want);
  size_t got = 0;
  // One byte past the limit tells a file that grew since fstat from one that did not.
  char extra = 0;
  while (got < want) {
    const ssize_t n = ::read(fd, &text[got], want - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      problem = (std::string("cannot be read: ") + std::strerror(errno));
      return false;
    }
    if (n == 0) break;
    got += size_t(n);
  }
  text.resize(got);
  ssize_t more = 0;
  if (got == kIniFileLimit) {
    do more = ::read(fd, &extra, 1);
    while (more < 0 && errno == EINTR);
  }
  if (more > 0) {
    // The line the limit cuts is not a line of the file: it is left out with the rest.
    const size_t eol = text.rfind('\n');
    text.resize(eol == std::string::npos ? 0 : eol + 1);
    problem = "larger than " + std::to_string(kIniFileLimit) + " bytes: the rest is ignored";
  }
  return true;
}

} // namespace

void TIniFile::Data::Parse(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  Section *current = nullptr;
  while (!text.empty()) {
    size_t eol = text.find('\n');
    if (eol == std::string_view::npos) eol = text.size();
    const std::string_view line = Trimmed(text.substr(0, eol)); // drops the CR too
    text.remove_prefix(std::min(text.size(), eol + 1));
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.find(']');
      const std::string_view name = Trimmed(
          line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
      const auto [it, added] = index.emplace(Folded(name), sections.size());
      if (added) sections.push_back({std::string(name), {}, {}});
      current = &sections[it->second];
      continue;
    }
    const size_t eq = line.find('=');
    if (!current || eq == std::string_view::npos) continue;
    const std::string_view key = Trimmed(line.substr(0, eq));
    if (key.empty()) continue;
    if (current->index.emplace(Folded(key), current->values.size()).second)
      current->values.emplace_back(std::string(key),
                                   std::string(Unquote(Trimmed(line.substr(eq + 1)))));
  }
}

TIniFile::TIniFile(std::string fileName) : fFileName(std::move(fileName)) {
  struct stat st {};
  if (fFileName.empty() || ::stat(fFileName.c_str(), &st) != 0) {
    const int err = fFileName.empty() ? ENOENT : errno;
    bool known = false;
    {
      const std::lock_guard<std::mutex> lock(gMutex);
      const auto it = gCache.find(fFileName);
      known = it != gCache.end() && it->second.id == TIdentity{};
      if (err == ENOENT || err == ENOTDIR)
        gCache.erase(fFileName); // missing: the defaults
      else
        gCache[fFileName] = {};
    }
    if (err != ENOENT && err != ENOTDIR && !known)
      Report(fFileName, std::string("cannot be examined: ") + std::strerror(err));
    return;
  }
  std::string reported; // the problem reported for this very version of the file
  {
    const std::lock_guard<std::mutex> lock(gMutex);
    const auto it = gCache.find(fFileName);
    if (it != gCache.end() && it->second.id == IdentityOf(st)) {
      if (it->second.reusable) {
        fData = it->second.data;
        fExists = fData != nullptr;
        return;
      }
      reported = it->second.problem;
    }
  }
  const int64_t readAt = NowNs();
  std::string text, problem;
  std::shared_ptr<Data> data;
  if (ReadRegular(fFileName, text, st, problem)) {
    data = std::make_shared<Data>();
    data->Parse(text);
  }
  fData = data;
  fExists = data != nullptr;
  if (!problem.empty() && problem != reported) Report(fFileName, problem);
  // A file changed within a second of the read may change again with the same time and size:
  // it is read again next time. One that cannot be read is read again only when it changes.
  const TIdentity id = IdentityOf(st);
  constexpr int64_t kSecond = 1000000000;
  const bool reusable = !data || (id.mtime < readAt - kSecond && id.ctime < readAt - kSecond);
  const std::lock_guard<std::mutex> lock(gMutex);
  gCache[fFileName] = {id, fData, reusable, problem};
}

TIniFile TIniFile::FromText(const std::string &text) {
  TIniFile f;
  f.fExists = true;
  auto data = std::make_shared<Data>();
  data->Parse(text);
  f.fData = std::move(data);
  return f;
}

std::vector<std::string> TIniFile::ReadSections() const {
  std::vector<std::string> names;
  if (fData)
    for (const Data::Section &s : fData->sections) names.push_back(s.name);
  return names;
}

std::vector<std::string> TIniFile::ReadSection(const std::string &section) const {
  std::vector<std::string> keys;
  if (const Data::Section *s = fData ? fData->Find(section) : nullptr)
    for (const auto &kv : s->values) keys.push_back(kv.first);
  return keys;
}

bool TIniFile::SectionExists(const std::string &section) const {
  return fData && fData->Find(section);
}

bool TIniFile::ValueExists(const std::string &section, const std::string &key) const {
  return fData && fData->Value(section, key);
}

std::string TIniFile::ReadString(const std::string &section, const std::string &key,
                                 const std::string &Default) const {
  const std::string *v = fData ? fData->Value(section, key) : nullptr;
  return v ? *v : Default;
}

int TIniFile::ReadInteger(const std::string &section, const std::string &key, int Default) const {
  return StrToIntHexDef(ReadString(section, key, ""), Default);
}

bool TIniFile::ReadBool(const std::string &section, const std::string &key, bool Default) const {
  return ReadInteger(section, key, Default ? 1 : 0) != 0;
}

int AddIniProblemObserver(std::function<void(const TIniProblem &)> observer) {
  const std::lock_guard<std::mutex> lock(gMutex);
  gObservers.emplace_back(gNextObserver, std::move(observer));
  return gNextObserver++;
}

void RemoveIniProblemObserver(int id) {
  const std::lock_guard<std::mutex> lock(gMutex);
  for (size_t i = 0; i < gObservers.size(); ++i)
    if (gObservers[i].first == id) {
      gObservers.erase(gObservers.begin() + long(i));
      return;
    }
}

std::vector<TIniProblem> TakeIniProblems() {
  const std::lock_guard<std::mutex> lock(gMutex);
  std::vector<TIniProblem> out(gProblems.begin(), gProblems.end());
  gProblems.clear();
  return out;
}

void ForgetIniFiles() {
  const std::lock_guard<std::mutex> lock(gMutex);
  gCache.clear();
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
