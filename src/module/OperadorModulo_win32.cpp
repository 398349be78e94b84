// On Windows the module's own windows are its operator's input from the moment it is loaded
// (platform/win32/JanelasSessao.cpp), so a call has nothing more to open.
#include "module/OperadorModulo.h"

struct TOperadorChamada::TTela {};

TOperadorChamada::TTelaPtr TOperadorChamada::AbreTela() {
  return nullptr;
}

bool TOperadorChamada::TelaSemOperador(const TTela &) {
  return false;
}

void TOperadorChamada::TFechaTela::operator()(TTela *tela) const {
  delete tela;
}
