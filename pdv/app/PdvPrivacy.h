// Whether this host program keeps personal data out of its logs. What is personal in the
// module's screens and buffers the module declares itself; the host's own fields are masked by
// the host library.
#pragma once

#include "PdvOptions.h"

// Turns masking on (off with --unmasked).
void ConfigurePrivacy(const TPdvOptions &options);
