// A scratch directory per test and whole-file reads and writes, byte for byte.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>

namespace testsupport {

// "" when the file cannot be read.
inline std::string ReadFile(const std::string &path) {
  std::ostringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

inline void WriteFile(const std::string &path, const std::string &bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out.write(bytes.data(), std::streamsize(bytes.size())))
    throw std::runtime_error("cannot write " + path);
}

// A fresh directory under the system's temporary directory, removed with everything in it when
// it goes (kept when CHEQUE_TEST_KEEP is set, to look at what a test left).
class TempDir {
public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "chqtest-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    fPath = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    if (!std::getenv("CHEQUE_TEST_KEEP")) std::filesystem::remove_all(fPath, ec);
  }
  const std::string &Path() const { return fPath; }
  std::string operator/(const std::string &name) const { return fPath + "/" + name; }
  // Writes a file in the directory (and the directories on its way) and returns its path.
  std::string Write(const std::string &name, const std::string &bytes) const {
    const std::string path = *this / name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteFile(path, bytes);
    return path;
  }
  size_t Files() const {
    return size_t(std::distance(std::filesystem::directory_iterator(fPath),
                                std::filesystem::directory_iterator()));
  }

private:
  std::string fPath;
};

} // namespace testsupport
