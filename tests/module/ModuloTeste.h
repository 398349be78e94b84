// What the module's in-process tests share: a scratch directory that stands for the host
// executable's folder (CHEQUE_DIR), the fake host, a freshly initialised module, helpers to
// write configuration files and to run operator scripts, and, for the consultation screens, the
// network menu as they read it and the decoded request as readable lines.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/FakeHost.h"
#include "platform/forms/Forms.h"
#include "platform/operator/Script.h"
#include "support/TempDir.h"

using Op = TFakeHost::TOperacao;

class ModuloTeste : public ::testing::Test {
protected:
  static constexpr const char *kSecao = "Consulta";

  void SetUp() override;
  void TearDown() override;

  // Creates a T, shows it modally while `roteiro` plays, frees it; the modal result. The script
  // must run to its end without an error.
  template <class T> int Mostra(const std::string &roteiro) {
    int resultado = -1;
    TScriptRun r = Roda(
        [&] {
          auto *tela = Application->CreateForm<T>();
          resultado = tela->ShowModal();
          tela->Free();
        },
        roteiro);
    EXPECT_EQ(r.error, "") << r.screen;
    EXPECT_TRUE(r.scriptDone);
    return resultado;
  }

  // Writes a file (text as given, Windows-1252) into the scratch directory.
  void Escreve(const std::string &nome, const std::string &texto) const;
  // Cheque.ini and Cliente.ini with one enabled section "Consulta" each (keys "k=v" lines).
  void Configura(const std::string &cheque, const std::string &cliente = "") const;
  // The network menu as the screens read it (created, not shown): option 1 chosen, with the
  // section "Consulta", the entry mode and the codes.
  void Menu(int modo, int codigo = 70, int funcao = 1);
  // Host fields from "1003=15000|1029[1]=001".
  void Campos(const std::string &itens);
  // Configura and Menu, then a store holding only `campos` and no calls recorded.
  void Prepara(const std::string &cheque, int modo, const std::string &campos,
               const std::string &cliente = "", int codigo = 70, int funcao = 1);
  // Edits of `tela` from "edBanco=1|edAgencia=|!edCheque" (a leading '!' disables the control).
  static void Preenche(TComponent *tela, const std::string &itens);
  // The operator clicking and typing into each edit of "edBanco=1|edAgencia=23", as a script.
  static std::string Digita(const std::string &itens);
  // Checks controls of `tela` against "edBanco=001|-edAgencia|+^edC1|edConta#6": "=" the text,
  // "#" the maximum length; leading '-' disabled, '+' enabled, '~' hidden, '^' visible.
  static void Confere(TComponent *tela, const std::string &itens);
  // Checks host fields against "1006=J|10167[1]=x|1005=<ausente>", in the store now or as it
  // was at the last save.
  void ConfereCampos(const std::string &itens, bool salvo = false) const;

  // Runs `corpo` with `roteiro` as the operator (see platform/operator/Script.h).
  TScriptRun Roda(const std::function<void()> &corpo, const std::string &roteiro) {
    return RunScript(
        [&] {
          corpo();
          return 0;
        },
        roteiro);
  }
  // Shows `tela` under `roteiro`, then frees it.
  TScriptRun Executa(TForm *tela, const std::string &roteiro) {
    const TScriptRun r = RunScript(tela, roteiro);
    tela->Free();
    return r;
  }

  // The n-th request on one line: "F=V" ("F[i]=V" past index 0), "F-" absent, "'T'" a buffer or
  // constant, "xR/G" a repeated group, "@a.b.c" attribute bytes, "(L)" a label; 0x04 shows as
  // "~".
  static std::string Requisicao(const TFakeHost &h, size_t n = 0);
  // A field of the store now, and as it was at the last save ("<ausente>" when absent).
  std::string Campo(int campo, int indice = 0) const {
    return host.Get(campo, indice).value_or("<ausente>");
  }
  std::string Salvo(int campo, int indice = 0) const {
    const auto it = host.SavedStore().find({campo, indice});
    return it == host.SavedStore().end() ? "<ausente>" : it->second;
  }

  TFakeHost host;
  testsupport::TempDir dir; // the module's directory (CHEQUE_DIR)
};

// A Cheque.ini section.
std::string Secao(const std::string &nome, const std::string &chaves);
// The non-empty parts of a "a|b|c" text.
std::vector<std::string> Partes(const std::string &itens);

// A screen whose controls a test sets once IniciaCamposForm has run (as when it is shown).
template <class Base> class TTelaTeste : public Base {
public:
  using Base::Base;
  std::function<void(TTelaTeste &)> aposIniciar;
  void IniciaCamposForm() override {
    Base::IniciaCamposForm();
    if (aposIniciar) aposIniciar(*this);
  }
};
