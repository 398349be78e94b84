// Arbitrary bytes as an "@"-separated answer record: one line per "@" after the
// kind byte, each line ending with one blank and holding no "@".
#include <cstdint>
#include <cstdlib>
#include <string>

#include "screens/base/ImprimeConsultaCheque.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string registro(reinterpret_cast<const char *>(data), size);
  const auto linhas = LinhasRegistroArroba(registro);
  size_t arrobas = 0;
  for (size_t i = 1; i < registro.size(); ++i) arrobas += registro[i] == '@';
  if (linhas.size() != arrobas) std::abort();
  for (const std::string &l : linhas)
    if (l.empty() || l.back() != ' ' || l.find('@') != std::string::npos) std::abort();
  return 0;
}
