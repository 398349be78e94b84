// What this host program keeps out of its logs: the module's controls that hold a customer's
// document, account, CMC-7 line or answers. The host's own fields are masked by the host library.
#pragma once

#include "PdvOptions.h"

// Turns masking on (off with --unmasked) and names the personal controls to the form layer.
void ConfigurePrivacy(const TPdvOptions &options);
