// What the module's in-process tests share: a scratch directory that stands for the host
// executable's folder (CHEQUE_DIR), the fake host, a freshly initialised module, and helpers
// to write configuration files and to run operator scripts.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/FakeHost.h"
#include "platform/Forms.h"
#include "platform/Script.h"

class ModuloTeste : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a file (text as given, Windows-1252) into the scratch directory.
  void Escreve(const std::string &nome, const std::string &texto) const;
  void Apaga(const std::string &nome) const;

  // Runs `corpo` with `roteiro` as the operator (see platform/Script.h).
  TScriptRun Roda(const std::function<void()> &corpo, const std::string &roteiro);

  // Audit lines written so far.
  const std::vector<std::string> &Auditoria() const { return host.AuditLines(); }
  int ContaAuditoria(const std::string &linha) const;
  // Names of the forms of the "form" events of a run with the given "what".
  static std::vector<std::string> Formularios(const TScriptRun &r, const std::string &what);
  // The modal result the form closed with last in the run (-1 when it did not close).
  static int Resultado(const TScriptRun &r, const std::string &form);

  TFakeHost host;
  std::string dir;
};

// A Cheque.ini section.
std::string Secao(const std::string &nome, const std::string &chaves);
