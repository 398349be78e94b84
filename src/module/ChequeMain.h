// The main unit of the module: the module-wide values that the screens share, the routine
// that runs a screen, the check of enabled consultations and the load / unload of the
// module's units. The exported entry points are declared in cheque/modulo.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/Host.h"
#include "platform/forms/Forms.h"

// ---- Module-wide values (zero, false or empty when the module is loaded) -----------------

// Caption of every message box: operator message 1821 and the module version (set when the
// first screen is created). 132 bytes, terminator included.
extern char TITULO_APLICACAO[132];
// The module's build version as the host reports it for the module's file.
extern std::string VERSAO_DO_MODULO;

// Configuration of the option chosen on the network menu (the consultation screen copies its
// section of Cheque.ini into them).
extern std::string CodigoRede;
extern bool ColetaQtdChq;
extern std::string TipoEntChqManual;
extern bool UtilizaCampoC1;
extern bool UtilizaCampoC2;
extern bool NaoUtilizaCampoC3;
extern bool UtilizaCampoCodOperador;
extern std::string sTipoSaida;

// The questions of the last response and their answers.
extern std::vector<TPergunta> Struct_Perguntas;
extern TRespostasPerguntas RespostasPerguntas;
// The questions and answers as one text ("PERG:" prefix+text "," answer "," type ";" ...),
// 2049 bytes, terminator included.
extern char Perguntas[2049];

// Working values of the Telecheque rate-table load.
extern std::string linhas_serv_D;
extern uint8_t ServicoX_ObtemParametros[1004];

// Empties Perguntas.
void LimpaPerguntas();
// Appends to Perguntas what fits (the text is cut at the buffer's end). False when cut.
bool AcrescentaPerguntas(const std::string &texto);
// Struct_Perguntas back to a single empty question.
void ReiniciaStructPerguntas();

// ---- Files and the module itself ---------------------------------------------------------

// Path of a configuration file in the directory of the host executable.
std::string CaminhoArquivoIni(const std::string &nome);
// The module's own file, as the system's loader has it.
std::string NomeArquivoModulo();

// True when Cheque.ini has a section with "habilitado" = 1.
bool VerificaConsultasHabilitadas();

// ---- Running a screen ----------------------------------------------------------------------

namespace cheque_main {

// Frees a form and empties its variable when it goes out of scope, also when an error is on
// its way out.
template <class T> class TLiberaForm {
public:
  explicit TLiberaForm(T *&variavel) : fVariavel(variavel) {}
  ~TLiberaForm() {
    if (T *form = fVariavel) {
      try {
        form->Free();
      } catch (...) {
        // Destroying a screen has nothing to report; an error here must not replace the
        // one that may be on its way out.
      }
    }
    fVariavel = nullptr;
  }
  TLiberaForm(const TLiberaForm &) = delete;
  TLiberaForm &operator=(const TLiberaForm &) = delete;

private:
  T *&fVariavel;
};

// Steps after the screen was created: show it modally, let pending work run, hand its
// outcome to the caller (or save the store when an entry point's screen was abandoned).
void ExecutaFormCriado(TForm *form, TForm *chamador);

// Runs `cria` and returns what it gave, nullptr when it failed.
template <class F> auto CriaComSeguranca(F &&cria) -> decltype(cria()) {
  try {
    return cria();
  } catch (const EScriptFailure &) {
    throw;
  } catch (const std::exception &) {
    return nullptr;
  }
}

} // namespace cheque_main

// Runs one screen: creates it into `form` (when empty) with `cria`, shows it modally and
// destroys it, leaving `form` empty. With a caller, a screen that completed (result 1) ends
// the caller as well and any other ending gives the caller the focus back. Without one, a
// screen closed with result 2 has the host save its field store. False when the screen
// could not be created.
template <class T, class F> bool CriaExecutaFormCom(F &&cria, TForm *chamador, T *&form) {
  if (!form) form = cheque_main::CriaComSeguranca(cria);
  if (!form) return false;
  cheque_main::TLiberaForm<T> libera(form);
  cheque_main::ExecutaFormCriado(form, chamador);
  return true;
}

template <class T> bool CriaExecutaForm(TForm *chamador, T *&form) {
  return CriaExecutaFormCom([] { return Application->CreateForm<T>(); }, chamador, form);
}

// Shows operator message 802 with the name of a screen that could not be created.
void MostraErroCriacaoForm(const std::string &nomeForm);

// ---- Units ---------------------------------------------------------------------------------

// A unit with module-wide state registers what Initialize and Finalize must do for it:
//   static TRegistroUnidade registro(&InicializaX, &FinalizaX);
// Initialize runs the main unit first and then the registered units in registration order;
// Finalize runs them in reverse and the main unit last.
class TRegistroUnidade {
public:
  using TProc = void (*)();
  TRegistroUnidade(TProc inicializa, TProc finaliza);
};

// Empties a screen's form variable at Initialize and Finalize:
//   static TEsqueceForm<TFrmX, FrmX> registro;
template <class T, T *&Variavel> struct TEsqueceForm {
  static void Esquece() { Variavel = nullptr; }
  TRegistroUnidade registro{&Esquece, &Esquece};
};

// ---- Opening the operation screens -----------------------------------------------------

// How a screen is opened from an entry point or a menu: runs it with CriaExecutaForm and the
// given caller. The name is the screen's form name (for the message when it cannot be made).
using TAbreTela = bool (*)(TForm *chamador, const char *nomeForm);

// The opener of a finished screen class with its form variable.
template <class T, T *&Variavel> bool AbreTela(TForm *chamador, const char *) {
  return CriaExecutaForm<T>(chamador, Variavel);
}

// Opens a screen and, when it cannot be created, tells the operator (message 802).
bool AbreTelaOuAvisa(TAbreTela abre, TForm *chamador, const char *nomeForm);
