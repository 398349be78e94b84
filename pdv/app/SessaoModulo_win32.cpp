// chequepdv.exe hands its operator script to the module as any host does (CHEQUE_ROTEIRO), and
// its transcript too (CHEQUE_TRANSCRICAO): on Windows the module carries its own copy of the form
// layer, so it appends its events to the file this program writes, each event flushed as it
// happens, and the two kinds of events stay in the order they happened. The module tells how far
// the script went in CHEQUE_ROTEIRO_RELATO when the call returns.
#include "SessaoModulo.h"

#include <cstdio>
#include <cstdlib>

// The form layer first: its key names are enumerators, which <windows.h> also defines as macros.
#include "platform/forms/Forms.h"
#include "platform/operator/Privacy.h"
#include "platform/system/IniFiles.h"
#include "platform/system/Sistema.h"

#include <windows.h>

namespace {

std::string gCopia; // a private copy of a script that is not a regular file

// This program's events take the time of the module's script: the time of the last event in the
// transcript, which the module's events carry. They happen inside the module's calls to the host
// functions, answering what a line of the script did on a screen, whose events come first.
class TRelogioTranscricao final : public TInputSource {
public:
  std::string caminho;
  bool Next(TOperatorAction &, int64_t) override { return false; }
  int64_t Now() const override {
    std::FILE *f = std::fopen(caminho.c_str(), "rb");
    if (!f) return fUltimo;
    std::string fim;
    if (std::fseek(f, 0, SEEK_END) == 0) {
      const long tamanho = std::ftell(f);
      const long de = tamanho > kLeitura ? tamanho - kLeitura : 0;
      if (tamanho > 0 && std::fseek(f, de, SEEK_SET) == 0) {
        fim.resize(size_t(tamanho - de));
        fim.resize(std::fread(fim.data(), 1, fim.size(), f));
      }
    }
    (void)std::fclose(f);
    const size_t ultimo = fim.find_last_not_of('\n');
    if (ultimo == std::string::npos) return fUltimo;
    const size_t barra = fim.rfind('\n', ultimo);
    const size_t linha = barra == std::string::npos ? 0 : barra + 1;
    // Every line starts with its time (the transcript puts `t` first).
    if (fim.compare(linha, 5, "{\"t\":") == 0)
      fUltimo = std::strtoll(fim.c_str() + linha + 5, nullptr, 10);
    return fUltimo;
  }

private:
  static constexpr long kLeitura = 64 * 1024; // longer than any one event
  mutable int64_t fUltimo = 0;
} gRelogio;

struct TRelato {
  bool jogado = false; // the module played a script
  bool concluido = false;
  int linha = 0;
  std::string motivo;
};

TRelato Relato() {
  TRelato r;
  const char *v = std::getenv("CHEQUE_ROTEIRO_RELATO");
  if (!v || !*v) return r;
  char *resto = nullptr;
  r.jogado = true;
  r.linha = int(std::strtol(v, &resto, 10));
  if (*resto == ' ') r.concluido = std::strtol(resto + 1, &resto, 10) != 0;
  if (*resto == ' ') r.motivo = resto + 1;
  return r;
}

} // namespace

void EntregaRoteiro(const std::string &path, const std::string &text,
                    const std::string &transcricao) {
  std::string caminho = path;
  if (!FileExists(path)) {
    char dir[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathA(sizeof dir, dir);
    const std::string copia = std::string(n ? dir : ".\\") + "chequepdv-roteiro-" +
                              std::to_string(GetCurrentProcessId()) + ".txt";
    if (std::FILE *f = OpenPrivateFile(copia, false)) {
      const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
      if (std::fclose(f) == 0 && ok) caminho = gCopia = copia;
    }
  }
  DefineVariavelAmbiente("CHEQUE_ROTEIRO_RELATO", "");
  DefineVariavelAmbiente("CHEQUE_ROTEIRO", caminho);
  if (!transcricao.empty()) {
    DefineVariavelAmbiente("CHEQUE_TRANSCRICAO", transcricao);
    gRelogio.caminho = transcricao;
    Application->SetInputSource(&gRelogio);
  }
}

bool RoteiroConcluido() {
  const TRelato r = Relato();
  return !r.jogado || r.concluido;
}

int RoteiroLinha() {
  return Relato().linha;
}

std::string OperadorAusente() {
  return Relato().motivo;
}

void EncerraRoteiro() {
  Application->SetInputSource(nullptr);
  if (!gCopia.empty()) (void)std::remove(gCopia.c_str());
}
