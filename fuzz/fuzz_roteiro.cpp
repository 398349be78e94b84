// Arbitrary bytes as an operator script: parsed whole before anything runs, or refused with
// "NAME:LINE: message" naming a line of the script.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/operator/Script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string texto(reinterpret_cast<const char *>(data), size);
  TScriptSource roteiro;
  std::string erro;
  if (!roteiro.Load(texto, erro, "fuzz")) {
    if (erro.rfind("fuzz:", 0) != 0) std::abort();
    const int linha = std::atoi(erro.c_str() + 5);
    size_t linhas = 1;
    for (char c : texto) linhas += c == '\n';
    if (linha < 0 || size_t(linha) > linhas) std::abort();
  }
  return 0;
}
