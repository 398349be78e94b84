#include "PdvPrivacy.h"

#include "platform/Privacy.h"

void ConfigurePrivacy(const TPdvOptions &options) {
  // The screens name their controls the same way on every form: the CPF/CNPJ, the account and its
  // digit, the CMC-7 line, the grids of several cheques (CMC-7 lines or cheque data) and the
  // answers typed for the network's questions.
  Privacy().SetPersonalControls({"edCPFCGC", "edConta", "edDigito", "edCMC7", "sg_dadoschq_1",
                                 "sg_dadoschq_2", "edPergunta"});
  Privacy().SetMasking(!options.unmasked);
}
