// Who plays the operator of the module's screens on Windows when a call has no script of its
// own (module/OperadorModulo.h puts a script named by CHEQUE_ROTEIRO in place for the call): a
// person at real windows (Win32Renderer, Win32Keyboard). The form layer only sees an input source
// and observers, as with the terminal.
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/forms/Forms.h"
#include "platform/operator/Script.h"
#include "platform/operator/Transcript.h"
#include "platform/win32/Win32Keyboard.h"
#include "platform/win32/Win32Renderer.h"

#include <windows.h>

namespace {

class TEntradaModulo final : public TInputSource {
public:
  bool Next(TOperatorAction &out, int64_t deadline) override {
    return Fonte()->Next(out, deadline);
  }
  int64_t Now() const override { return const_cast<TEntradaModulo *>(this)->Fonte()->Now(); }

  // The windows are made once, when the first screen of a call without a script needs them.
  TInputSource *Fonte() {
    if (fTeclado) return fTeclado.get();
    // A script named by the environment plays the call with no window to show; this source is
    // only asked between calls.
    if (const char *roteiro = std::getenv("CHEQUE_ROTEIRO"); roteiro && *roteiro)
      return &fSemJanelas;
    fTeclado = std::make_unique<TWin32Keyboard>();
    fJanelas = std::make_unique<TWin32Renderer>(*fTeclado);
    return fTeclado.get();
  }

private:
  struct TSemJanelas final : TInputSource {
    bool Next(TOperatorAction &, int64_t) override {
      throw EScriptFailure("no operator input: the script named by CHEQUE_ROTEIRO is not playing");
    }
    int64_t Now() const override { return 0; }
  } fSemJanelas;
  std::unique_ptr<TWin32Keyboard> fTeclado;
  std::unique_ptr<TWin32Renderer> fJanelas;
};

TEntradaModulo *gEntrada = nullptr;

// Installed when the module is loaded, before any screen exists, so that the windows are there
// for the first event of the first screen.
struct TArranque {
  TArranque() {
    gEntrada = new TEntradaModulo();
    Application->SetInputSource(gEntrada);
    Transcript().AddObserver([](const TTranscript::Json &) { (void)gEntrada->Fonte(); });
  }
} gArranque;

} // namespace
