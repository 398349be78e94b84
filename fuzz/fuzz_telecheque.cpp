// Arbitrary bytes as a Telecheque service-X record (field 20033): every item
// stays within its width and the record's kind decides how many items there
// are.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/FakeHost.h"
#include "screens/base/TrnModeloCheque.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string registro(reinterpret_cast<const char *>(data), size);
  const auto itens = CortaRegistroTelecheque(registro);
  if (!itens.empty()) {
    const bool completo =
        (registro[0] == '1' && size == 327) || (registro[0] == '2' && size == 117);
    const size_t esperado = registro[0] == '1' ? (completo ? 23 : 17) : (completo ? 13 : 7);
    if (itens.size() != esperado || itens[0] != registro.substr(0, 1)) std::abort();
    for (size_t i = 1; i < itens.size(); ++i)
      if (itens[i].size() > 50 || itens[i].find('\0') != std::string::npos) std::abort();
  }

  TFakeHost host;
  host.Instala();
  host.Set(20033, 0, registro);
  TrataServicoXTelecheque();
  return 0;
}
