// Who plays the operator of the module's screens during one call of an export. A host gives
// the module nothing but the host contract, so the module finds its operator itself:
//
//   1. CHEQUE_ROTEIRO names an operator script: the module plays it (a point of sale's own
//      certification tests, the reference host's --script). CHEQUE_TRANSCRICAO, when set,
//      names the transcript the run appends to.
//   2. A host that installed an input source of its own (in-process tests) keeps it.
//   3. Otherwise the module's own screens: on Linux the process's controlling terminal
//      (/dev/tty, so that the point of sale's standard output may go to a log), opened when
//      the first screen waits for a key; on Windows its own windows.
//
// When the operator is gone for good (the script ran out or failed, the terminal closed or
// hung up, the program is closing, or there was no operator at all) every open screen closes
// as not completed, so the chain of screens unwinds through its normal saves.
#pragma once

#include <memory>
#include <string>

class TScriptSource;
class TInputSource;

class TOperadorChamada {
public:
  TOperadorChamada();
  ~TOperadorChamada();
  TOperadorChamada(const TOperadorChamada &) = delete;
  TOperadorChamada &operator=(const TOperadorChamada &) = delete;

  // Why the screens closed without their operator ("" when they did not).
  std::string MotivoEncerramento() const;
  // Nobody could be asked at all: no script and no terminal (or windows) for the screens.
  bool SemOperador() const;

private:
  struct TTela; // the system's own screens (OperadorModulo_posix.cpp / _win32.cpp)
  struct TFechaTela {
    void operator()(TTela *tela) const;
  };
  using TTelaPtr = std::unique_ptr<TTela, TFechaTela>;
  std::unique_ptr<TScriptSource> fRoteiro;
  TTelaPtr fTela;
  TInputSource *fAnterior = nullptr;
  bool fFechavaAntes = false;
  bool fAbriuTranscricao = false;
  std::string fFalhaRoteiro; // the script named could not be loaded

  void CarregaRoteiro(const std::string &caminho);
  static TTelaPtr AbreTela();
  static bool TelaSemOperador(const TTela &tela);
};
