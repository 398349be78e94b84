// Who plays the operator of the module's screens on Windows, chosen at the first screen: the
// host's operator script (when the host program hands one over, SessaoRoteiro.h) or a person at
// real windows (Win32Renderer, Win32Keyboard). The form layer only sees an input source and
// observers, as with the terminal.
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/Forms.h"
#include "platform/Script.h"
#include "platform/Transcript.h"
#include "platform/win32/SessaoRoteiro.h"
#include "platform/win32/Win32Keyboard.h"
#include "platform/win32/Win32Renderer.h"

#include <windows.h>

namespace {

class TEntradaModulo final : public TInputSource {
public:
  bool Next(TOperatorAction &out, int64_t deadline) override {
    Escolhe();
    return fFonte->Next(out, deadline);
  }
  int64_t Now() const override {
    const_cast<TEntradaModulo *>(this)->Escolhe();
    return fFonte->Now();
  }

  // Decided once, when the first screen needs it: by then the host has everything in place.
  void Escolhe() {
    if (fFonte) return;
    // A script named by the environment: the module plays it at each call (OperadorModulo.h),
    // with no window to show.
    if (const char *roteiro = std::getenv("CHEQUE_ROTEIRO"); roteiro && *roteiro) {
      fFonte = &fSemJanelas;
      return;
    }
    const auto obtem = reinterpret_cast<TObtemSessaoRoteiro>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA(nullptr), CHEQUE_SESSAO_ROTEIRO)));
    TSessaoRoteiro *sessao = obtem ? obtem() : nullptr;
    if (sessao && sessao->tamanho >= sizeof(TSessaoRoteiro) && sessao->roteiro) {
      TomaRoteiro(sessao);
      return;
    }
    fTeclado = std::make_unique<TWin32Keyboard>();
    fJanelas = std::make_unique<TWin32Renderer>(*fTeclado);
    fFonte = fTeclado.get();
  }

  TSessaoRoteiro *Sessao() const { return fSessao; }

private:
  struct TSemJanelas final : TInputSource {
    bool Next(TOperatorAction &, int64_t) override {
      throw EScriptFailure("no operator input: the script named by CHEQUE_ROTEIRO is not playing");
    }
    int64_t Now() const override { return 0; }
  } fSemJanelas;
  TInputSource *fFonte = nullptr;
  TSessaoRoteiro *fSessao = nullptr;
  std::unique_ptr<TScriptSource> fRoteiro;
  std::unique_ptr<TWin32Keyboard> fTeclado;
  std::unique_ptr<TWin32Renderer> fJanelas;

  void TomaRoteiro(TSessaoRoteiro *sessao) {
    fSessao = sessao;
    fRoteiro = std::make_unique<TScriptSource>();
    fRoteiro->OnFailure = [sessao](const std::string &mensagem) {
      sessao->Falha(sessao->host, mensagem.c_str());
    };
    fFonte = fRoteiro.get();
    sessao->modulo = fRoteiro.get();
    sessao->Agora = [](void *m) -> int64_t { return static_cast<TScriptSource *>(m)->Now(); };
    sessao->Concluido = [](void *m) -> int32_t {
      return static_cast<TScriptSource *>(m)->AtEnd() ? 1 : 0;
    };
    sessao->Linha = [](void *m) -> int32_t { return static_cast<TScriptSource *>(m)->Line(); };
    std::string erro;
    if (!fRoteiro->LoadFile(sessao->roteiro, erro)) fRoteiro->Fail(erro);
  }
};

TEntradaModulo *gEntrada = nullptr;

// Installed when the module is loaded, before any screen exists, so that no event of the first
// screen is missed; the events go to the host only when it plays the operator with a script.
struct TArranque {
  TArranque() {
    gEntrada = new TEntradaModulo();
    Application->SetInputSource(gEntrada);
    Transcript().AddObserver([](const TTranscript::Json &evento) {
      gEntrada->Escolhe();
      if (TSessaoRoteiro *s = gEntrada->Sessao(); s && s->Evento)
        s->Evento(s->host, TTranscript::Line(evento).c_str());
    });
  }
} gArranque;

} // namespace
