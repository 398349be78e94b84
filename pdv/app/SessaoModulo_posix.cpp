#include "SessaoModulo.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "platform/forms/Forms.h"
#include "platform/operator/Privacy.h"
#include "platform/operator/Script.h"
#include "platform/system/IniFiles.h"
#include "platform/system/Sistema.h"

namespace {
std::string gCopia; // a private copy of a script that cannot be read twice (a FIFO)
} // namespace

void EntregaRoteiro(const std::string &path, const std::string &text, const std::string &) {
  std::string caminho = path;
  if (!FileExists(path)) {
    const char *tmp = std::getenv("TMPDIR");
    std::string modelo = std::string(tmp && *tmp ? tmp : "/tmp") + "/chequepdv-roteiro-XXXXXX";
    const int fd = mkstemp(modelo.data()); // owner-only, as the script may hold typed data
    if (fd >= 0) {
      const bool ok = write(fd, text.data(), text.size()) == ssize_t(text.size());
      (void)close(fd);
      if (ok) caminho = gCopia = modelo;
    }
  }
  // The module shares this program's transcript (one form layer in the process).
  DefineVariavelAmbiente("CHEQUE_ROTEIRO", caminho);
}

bool RoteiroConcluido() {
  const TScriptReport &r = LastScriptReport();
  return !r.played || r.done;
}

int RoteiroLinha() {
  return LastScriptReport().line;
}

std::string OperadorAusente() {
  const TScriptReport &r = LastScriptReport();
  return r.failure.empty() ? Application->ClosingReason() : r.failure;
}

void EncerraRoteiro() {
  if (!gCopia.empty()) (void)std::remove(gCopia.c_str());
}
