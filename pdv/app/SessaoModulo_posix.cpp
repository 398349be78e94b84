#include "SessaoModulo.h"

bool RoteiroConcluido(const TScriptSource &script) {
  return script.AtEnd();
}

int RoteiroLinha(const TScriptSource &script) {
  return script.Line();
}
