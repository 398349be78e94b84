// How far the operator script went. Where the module runs the script in its own copy of the form
// layer (Windows: SessaoModulo_win32.cpp hands it over), the module reports back; elsewhere the
// script is the host program's own.
#pragma once

#include "platform/Script.h"

bool RoteiroConcluido(const TScriptSource &script);
int RoteiroLinha(const TScriptSource &script);
