// Arbitrary bytes as a request layout record, decoded the way the reference host builds the
// request: field entries, buffers by handle (some unknown), repeated groups with any repeat value.
// The decoded entries stay within the repeat cap, and turn into valid transcript JSON.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <cheque/layout.h>

#include "platform/operator/Transcript.h"

namespace {
const char *Resolve(uint32_t handle) {
  static const char *const textos[] = {nullptr, "", "CODAREA:", "CHQ1:12345;6", "\x04\xff"};
  return handle < sizeof textos / sizeof *textos ? textos[handle] : nullptr;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  TRequestLayout layout;
  std::memset(&layout, 0, sizeof layout);
  std::memcpy(&layout, data, size < sizeof layout ? size : sizeof layout);
  const auto entradas = cheque::layout::DecodificaLayout(
      layout, &Resolve, [](int campo, int indice, std::string &out) {
        if ((campo + indice) % 3 == 0) return false;
        out = std::to_string(campo) + "-" + std::to_string(indice);
        return true;
      });
  // Whatever the repeat values ask, each of the 31 entries is sent at most the decoder's cap
  // times (plus the group openers): a hostile layout cannot make the host hang or run out of
  // memory.
  if (entradas.size() > size_t(CHEQUE_LAYOUT_ENTRADAS) * (CHEQUE_LAYOUT_REPETICAO_MAX + 1))
    std::abort();
  const auto json = cheque::layout::EntradasJson<TTranscript::Json>(entradas, &TTranscript::Text);
  if (json.size() != entradas.size()) std::abort();
  (void)json.dump(); // the transcript takes only valid UTF-8: this throws otherwise
  return 0;
}
