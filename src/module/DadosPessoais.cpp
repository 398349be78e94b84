#include "module/DadosPessoais.h"

#include <algorithm>

#include "platform/operator/Privacy.h"

namespace {

// A cheque-data text: the pieces of the first line of a cheque (compensation, bank, branch,
// account and digit, cheque), joined by 0x04 or, in the ';' form, by ';' with nothing but
// digits between them.
bool DadosDeCheque(const std::string &s) {
  if (s.find('\x04') != std::string::npos) return true;
  return std::count(s.begin(), s.end(), ';') >= 3 &&
         s.find_first_not_of("0123456789; ") == std::string::npos;
}

} // namespace

void DeclaraDadosPessoais() {
  // The screens name their controls the same way on every form: the CPF/CNPJ, the account and
  // its digit, the CMC-7 line, the grids of several cheques (CMC-7 lines or cheque data), the
  // answers typed for the network's questions and the identity document (RG, the Venezuelan
  // cedula).
  Privacy().SetPersonalControls({"edCPFCGC", "edConta", "edDigito", "edCMC7", "sg_dadoschq_1",
                                 "sg_dadoschq_2", "edPergunta", "edRG", "edRGGar"});
  Privacy().SetBufferMask(&MascaraBuffer);
}

void EsqueceDadosPessoais() {
  Privacy().SetBufferMask(nullptr);
}

std::string MascaraBuffer(const std::string &texto) {
  if (DadosDeCheque(texto)) return MaskValue(texto);
  std::string s = texto;
  for (const char *marca : {"CHQ1:", "CHQ4:"})
    if (s.starts_with(marca)) s = marca + MaskValue(s.substr(5));
  for (size_t ini = s.find("PERG:"); ini != std::string::npos; ini = s.find("PERG:", ini + 5)) {
    const size_t fim = std::min(s.find(';', ini), s.size());
    const size_t tipo = s.rfind(',', fim);
    const size_t resposta =
        tipo == std::string::npos || tipo <= ini ? std::string::npos : s.rfind(',', tipo - 1);
    if (resposta == std::string::npos || resposta < ini) continue;
    s.replace(resposta + 1, tipo - resposta - 1,
              MaskValue(s.substr(resposta + 1, tipo - resposta - 1)));
  }
  return MaskDigitRuns(s);
}
