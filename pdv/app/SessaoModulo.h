// The operator script of a chequepdv run, handed to the module the way any host hands one over
// (CHEQUE_ROTEIRO, read by the module at each call), and what the module reports back about it.
#pragma once

#include <string>

// Hands the script (already read and checked from `path`; `text` is what was read) to the
// module for the call, with the transcript this program writes ("" for none), where the module's
// events join this program's.
void EntregaRoteiro(const std::string &path, const std::string &text,
                    const std::string &transcricao);
// After the call: whether a script was played to its end, and the line of its last action.
bool RoteiroConcluido();
int RoteiroLinha();
// Why the module's screens closed without their operator during the call (the script failed or
// ran out, the terminal closed, nobody to show them to); "" when they did not.
std::string OperadorAusente();
// Removes what EntregaRoteiro left behind.
void EncerraRoteiro();
