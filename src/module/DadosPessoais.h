// The personal data the module holds, declared to the form layer so that every host's
// transcript, pictures and request log mask the same things: the controls where the operator
// types a customer's document, account, CMC-7 line, identity document or an answer, and how the
// module's request buffers are masked.
#pragma once

#include <string>

// Names the personal controls and the buffer masking (the host decides whether to mask).
void DeclaraDadosPessoais();
// Takes the buffer masking back (at Finalize: the module may be unloaded, and the form layer
// must hold no code of it).
void EsqueceDadosPessoais();

// A module buffer as logs show it: the account ("CHQ1:") and the identity document ("CHQ4:")
// after their tags, the answers of "PERG:" records, a cheque-data text (pieces separated by the
// byte 0x04 or by ';') as field 10167 is masked, and any other long number wherever it stands.
std::string MascaraBuffer(const std::string &texto);
