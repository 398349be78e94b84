// Shared helpers of the reference host's tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "PdvHost.h"
#include "platform/Transcript.h"

namespace pdvtest {

// A fresh directory under /tmp, removed with everything in it at the end of the test.
class TDirTemp {
public:
  TDirTemp() {
    std::string modelo = (std::filesystem::temp_directory_path() / "pdvtestXXXXXX").string();
    fPath = ::mkdtemp(modelo.data()) ? modelo : std::string();
  }
  ~TDirTemp() {
    std::error_code ec;
    std::filesystem::remove_all(fPath, ec);
  }
  std::string operator/(const std::string &nome) const { return fPath + "/" + nome; }
  size_t Arquivos() const {
    size_t n = 0;
    for ([[maybe_unused]] auto &e : std::filesystem::directory_iterator(fPath)) ++n;
    return n;
  }

private:
  std::string fPath;
};

inline std::string LeArquivo(const std::string &path) {
  std::ostringstream ss;
  ss << std::ifstream(path, std::ios::binary).rdbuf();
  return ss.str();
}

inline void EscreveArquivo(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Every test starts from a clean host and an empty in-memory transcript.
class THostTest : public ::testing::Test {
protected:
  void SetUp() override {
    pdv::TPdvHost::Instancia().Reinicia();
    Transcript().SetKeepInMemory(true);
    Transcript().Clear();
  }
  void TearDown() override {
    pdv::TPdvHost::Instancia().Reinicia();
    pdv::DefineGanchoGravacao(nullptr);
  }
  pdv::TPdvHost &H() { return pdv::TPdvHost::Instancia(); }
  std::vector<TTranscript::Json> Eventos(const std::string &ev) const {
    return Transcript().Events(ev);
  }
  // `carrega` must refuse its file with an error at `linha`; the line of the message, or "".
  template <class F> void EsperaRecusa(F carrega, int linha, const std::string &contexto) {
    try {
      carrega();
      ADD_FAILURE() << "accepted: " << contexto;
    } catch (const pdv::TErroArquivo &e) {
      EXPECT_EQ(e.Linha(), linha) << contexto << " -> " << e.what();
    }
  }
};

} // namespace pdvtest
