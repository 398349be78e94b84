// The host program's side of the scripted session on Windows (platform/win32/SessaoRoteiro.h):
// the module takes the operator script that this program was given, plays it against its own
// forms, and sends its transcript events here, where they join the host's in one transcript with
// the script's clock.
#include "SessaoModulo.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform/Forms.h"
#include "platform/StrUtils.h"
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

void EntregaRoteiro(std::unique_ptr<TScriptSource> script, const std::string &,
                    const std::string &) {
  // The module's windows ask for it through ChequeSessaoRoteiro; a script that fails ends the
  // run at once (the module's copy of the form layer cannot unwind through this one's).
  static std::unique_ptr<TScriptSource> guarda;
  guarda = std::move(script);
  guarda->OnFailure = [](const std::string &message) {
    const std::string m = Cp1252ToUtf8(Utf8ToCp1252(message));
    Transcript().Add("script_failure", {{"message", m}});
    (void)std::fflush(stdout);
    (void)std::fprintf(stderr, "chequepdv: %s\n", m.c_str());
    (void)std::fflush(stderr);
    std::_Exit(5);
  };
  Application->SetInputSource(guarda.get());
}

bool RoteiroConcluido() {
  if (gSessao.Concluido) return gSessao.Concluido(gSessao.modulo) != 0;
  return !gRoteiro || gRoteiro->AtEnd();
}

int RoteiroLinha() {
  if (gSessao.Linha) return gSessao.Linha(gSessao.modulo);
  return gRoteiro ? gRoteiro->Line() : 0;
}

std::string OperadorAusente() {
  return std::string();
}

void EncerraRoteiro() {
  Application->SetInputSource(nullptr);
}
