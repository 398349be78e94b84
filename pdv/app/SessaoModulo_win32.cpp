// The host program's side of the scripted session on Windows (platform/win32/SessaoRoteiro.h):
// the module takes the operator script that this program was given, plays it against its own
// forms, and sends its transcript events here, where they join the host's in one transcript with
// the script's clock.
#include "SessaoModulo.h"

#include <windows.h>

#include "platform/Forms.h"
#include "platform/Transcript.h"
#include "platform/win32/SessaoRoteiro.h"

namespace {

TSessaoRoteiro gSessao{};
TScriptSource *gRoteiro = nullptr;
std::string gCaminho;

// The host's events carry the time of the script the module plays.
class TRelogioModulo final : public TInputSource {
public:
  bool Next(TOperatorAction &, int64_t) override { return false; }
  int64_t Now() const override { return gSessao.Agora ? gSessao.Agora(gSessao.modulo) : 0; }
} gRelogio;

void Evento(void *, const char *linha) {
  TTranscript::Json e = TTranscript::Json::parse(linha, nullptr, false);
  if (!e.is_object() || !e.contains("ev")) return;
  const std::string ev = e["ev"].get<std::string>();
  e.erase("ev");
  e.erase("t");
  Transcript().Add(ev, std::move(e));
}

void Falha(void *, const char *mensagem) {
  // The script's own failure path: the transcript's event and the program's exit status.
  if (gRoteiro) gRoteiro->Fail(mensagem);
}

} // namespace

extern "C" __declspec(dllexport) TSessaoRoteiro *ChequeSessaoRoteiro(void) {
  if (gSessao.tamanho) return &gSessao;
  gRoteiro = dynamic_cast<TScriptSource *>(Application->InputSource());
  if (!gRoteiro) return nullptr; // a person at the module's windows
  gCaminho = gRoteiro->Name();
  gSessao.tamanho = sizeof gSessao;
  gSessao.roteiro = gCaminho.c_str();
  gSessao.Evento = &Evento;
  gSessao.Falha = &Falha;
  Application->SetInputSource(&gRelogio);
  return &gSessao;
}

bool RoteiroConcluido(const TScriptSource &script) {
  return gSessao.Concluido ? gSessao.Concluido(gSessao.modulo) != 0 : script.AtEnd();
}

int RoteiroLinha(const TScriptSource &script) {
  return gSessao.Linha ? gSessao.Linha(gSessao.modulo) : script.Line();
}
