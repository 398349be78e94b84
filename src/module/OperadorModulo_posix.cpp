// The module's own screens on Linux: the process's controlling terminal, opened when a screen
// first needs it (a call that shows nothing, such as an operation the module does not know,
// leaves the point of sale's terminal alone).
#include "module/OperadorModulo.h"

#include "platform/forms/Forms.h"
#include "platform/terminal/TerminalKeyboard.h"
#include "platform/terminal/TerminalSession.h"

struct TOperadorChamada::TTela final : TInputSource {
  std::unique_ptr<TTerminalSession> sessao;
  std::string semTerminal; // why there is none, once tried
  bool tentou = false;

  TInputSource *Abre() {
    if (!tentou) {
      tentou = true;
      // The session puts its keyboard in our place as the operator's input.
      sessao = TTerminalSession::OnControllingTerminal(semTerminal);
    }
    return sessao ? &sessao->Keyboard() : nullptr;
  }
  bool Next(TOperatorAction &out, int64_t deadline) override {
    if (TInputSource *teclado = Abre()) return teclado->Next(out, deadline);
    throw EScriptFailure(semTerminal);
  }
  int64_t Now() const override {
    // Timers count on the clock of the input that will wake them: the terminal's, from the
    // moment a screen is up (the transcript asks the time before that too).
    auto *eu = const_cast<TTela *>(this);
    if (!sessao && Application->FormStack().empty() && !Application->ActiveMessageBox()) return 0;
    TInputSource *teclado = eu->Abre();
    return teclado ? teclado->Now() : 0;
  }
};

TOperadorChamada::TTelaPtr TOperadorChamada::AbreTela() {
  TTelaPtr tela(new TTela());
  Application->SetInputSource(tela.get());
  return tela;
}

bool TOperadorChamada::TelaSemOperador(const TTela &tela) {
  return tela.tentou && !tela.sessao;
}

void TOperadorChamada::TFechaTela::operator()(TTela *tela) const {
  delete tela;
}
