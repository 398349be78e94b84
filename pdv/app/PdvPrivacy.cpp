#include "PdvPrivacy.h"

#include "platform/operator/Privacy.h"

void ConfigurePrivacy(const TPdvOptions &options) {
  // What is personal the module declares when it is initialised; whether to mask is ours.
  Privacy().SetMasking(!options.unmasked);
}
