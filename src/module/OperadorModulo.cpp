#include "module/OperadorModulo.h"

#include <cstdlib>

#include "platform/forms/Forms.h"
#include "platform/operator/Privacy.h"
#include "platform/operator/Script.h"
#include "platform/operator/Transcript.h"
#include "platform/system/IniFiles.h"
#include "platform/system/Sistema.h"
#include "platform/text/StrUtils.h"

namespace {

std::string Ambiente(const char *nome) {
  const char *v = std::getenv(nome);
  return v ? std::string(v) : std::string();
}

} // namespace

TOperadorChamada::TOperadorChamada() {
  Application->ForgetClosing();
  fFechavaAntes = Application->CloseWhenInputEnds;
  Application->CloseWhenInputEnds = true;
  fAnterior = Application->InputSource();
  LastScriptReport() = TScriptReport{};

  const std::string transcricao = Ambiente("CHEQUE_TRANSCRICAO");
  if (!transcricao.empty() && !Transcript().FileOpen()) {
    // A transcript asked for by the environment is a log for people: it shows no customer's
    // data in clear.
    fAbriuTranscricao = Transcript().OpenFile(transcricao);
    if (fAbriuTranscricao) Privacy().SetMasking(true);
  }
  const std::string roteiro = Ambiente("CHEQUE_ROTEIRO");
  if (!roteiro.empty())
    CarregaRoteiro(roteiro);
  else if (!fAnterior)
    fTela = AbreTela();
}

void TOperadorChamada::CarregaRoteiro(const std::string &caminho) {
  auto fonte = std::make_unique<TScriptSource>();
  std::string erro;
  if (!FileExists(caminho)) erro = caminho + ": not a readable operator script";
  if (erro.empty() && !fonte->LoadFile(caminho, erro) && erro.empty()) erro = caminho;
  TScriptReport &relato = LastScriptReport();
  if (!erro.empty()) {
    // The screens close at once: no guess at an operator the host did not ask for.
    fFalhaRoteiro = erro;
    relato.failure = erro;
    Application->SetInputSource(nullptr);
    return;
  }
  relato.played = true;
  fonte->OnFailure = [](const std::string &mensagem) {
    LastScriptReport().failure = mensagem;
    Transcript().Add("script_failure", {{"message", TTranscript::Text(Utf8ToCp1252(mensagem))}});
  };
  fRoteiro = std::move(fonte);
  Application->SetInputSource(fRoteiro.get());
}

TOperadorChamada::~TOperadorChamada() {
  TScriptReport &relato = LastScriptReport();
  if (fRoteiro) {
    relato.done = fRoteiro->AtEnd();
    relato.line = fRoteiro->Line();
  }
  if (fRoteiro || !fFalhaRoteiro.empty()) {
    // How far the script went, for a host that does not share this process's copy of the form
    // layer (a Windows point of sale's tests): "LINE DONE REASON", DONE 1 when every line was
    // used, REASON why the screens closed without their operator ("" when they did not).
    const std::string motivo =
        relato.failure.empty() ? Application->ClosingReason() : relato.failure;
    DefineVariavelAmbiente("CHEQUE_ROTEIRO_RELATO",
                           std::to_string(relato.line) + (relato.done ? " 1 " : " 0 ") + motivo);
  }
  fTela.reset(); // the terminal is as the point of sale left it
  Application->SetInputSource(fAnterior);
  Application->CloseWhenInputEnds = fFechavaAntes;
  Application->EndClosing();
  if (fAbriuTranscricao) Transcript().CloseFile();
}

std::string TOperadorChamada::MotivoEncerramento() const {
  if (!fFalhaRoteiro.empty()) return fFalhaRoteiro;
  return Application->ClosingReason();
}

bool TOperadorChamada::SemOperador() const {
  if (!fFalhaRoteiro.empty()) return Application->Closing();
  return fTela && TelaSemOperador(*fTela) && Application->Closing();
}
