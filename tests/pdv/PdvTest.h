// Shared helpers of the reference host's tests.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "PdvHost.h"
#include "platform/operator/Transcript.h"
#include "support/TempDir.h"

namespace pdvtest {

using testsupport::ReadFile, testsupport::TempDir, testsupport::WriteFile;

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
