#include "ModuloTeste.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cheque/modulo.h"
#include "platform/Transcript.h"

void ModuloTeste::SetUp() {
  char modelo[] = "/tmp/chequemod-XXXXXX";
  ASSERT_NE(mkdtemp(modelo), nullptr);
  dir = modelo;
  setenv("CHEQUE_DIR", dir.c_str(), 1);
  host.Instala();
  // Texts that carry accelerators, as the real message table has them.
  host.SetMessage(330, "&9 - Encerra");
  host.SetMessage(553, "&1 - Confirma");
  host.SetMessage(554, "&9 - Cancela");
  host.SetMessage(802, "Erro ao criar o formulario %s");
  Initialize();
}

void ModuloTeste::TearDown() {
  Finalize();
  unsetenv("CHEQUE_DIR");
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

void ModuloTeste::Escreve(const std::string &nome, const std::string &texto) const {
  std::ofstream(dir + "/" + nome, std::ios::binary) << texto;
}

void ModuloTeste::Apaga(const std::string &nome) const {
  std::error_code ec;
  std::filesystem::remove(dir + "/" + nome, ec);
}

TScriptRun ModuloTeste::Roda(const std::function<void()> &corpo, const std::string &roteiro) {
  return RunScript(
      [&] {
        corpo();
        return 0;
      },
      roteiro);
}

int ModuloTeste::ContaAuditoria(const std::string &linha) const {
  int n = 0;
  for (const std::string &l : Auditoria()) n += l == linha;
  return n;
}

std::vector<std::string> ModuloTeste::Formularios(const TScriptRun &r, const std::string &what) {
  std::vector<std::string> nomes;
  for (const auto &e : r.Events("form"))
    if (e.value("what", "") == what) nomes.push_back(e.value("form", ""));
  return nomes;
}

int ModuloTeste::Resultado(const TScriptRun &r, const std::string &form) {
  int resultado = -1;
  for (const auto &e : r.Events("form"))
    if (e.value("what", "") == "close" && e.value("form", "") == form)
      resultado = e.value("result", -1);
  return resultado;
}

std::string Secao(const std::string &nome, const std::string &chaves) {
  return "[" + nome + "]\r\n" + chaves + "\r\n";
}
