#include "module/ChequeMain.h"

#include <cstring>

#include "cheque/host.h"
#include "cheque/modulo.h"
#include "module/DadosPessoais.h"
#include "module/OperadorModulo.h"
#include "platform/system/IniFiles.h"
#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"
#include "screens/cancelamento/CancelamentoGarantiaVenezuela.h"
#include "screens/cancelamento/CancelamentoTrnGarantia.h"
#include "screens/menus/MenuCheque.h"
#include "screens/parametros/ObtemParametros.h"

// ---- Module-wide values ----------------------------------------------------------------------

char TITULO_APLICACAO[132];
std::string VERSAO_DO_MODULO;

std::string CodigoRede;
bool ColetaQtdChq = false;
std::string TipoEntChqManual;
bool UtilizaCampoC1 = false;
bool UtilizaCampoC2 = false;
bool NaoUtilizaCampoC3 = false;
bool UtilizaCampoCodOperador = false;
std::string sTipoSaida;

std::vector<TPergunta> Struct_Perguntas;
TRespostasPerguntas RespostasPerguntas;
char Perguntas[2049];

std::string linhas_serv_D;
uint8_t ServicoX_ObtemParametros[1004];

void LimpaPerguntas() {
  Perguntas[0] = '\0';
}

bool AcrescentaPerguntas(const std::string &texto) {
  const size_t usado = std::strlen(Perguntas);
  const size_t copiados = StrLCopy(Perguntas + usado, sizeof Perguntas - usado, texto);
  return copiados == texto.size();
}

void ReiniciaStructPerguntas() {
  Struct_Perguntas.assign(1, TPergunta{});
}

namespace {

// The module's build version, embedded after the host's marker so that the host's GetBuildInfo
// finds it in this file; kept even though nothing in the module reads it.
[[gnu::used]] const char VersaoEmbutida[] = CHEQUE_MARCA_VERSAO CHEQUE_VERSAO_MODULO;

template <class T> void Libera(T &valor) {
  T().swap(valor);
}

// The main unit's own part of Initialize and Finalize.
void InicializaChequeMain() {
  std::memset(TITULO_APLICACAO, 0, sizeof TITULO_APLICACAO);
  VERSAO_DO_MODULO.clear();
  CodigoRede.clear();
  ColetaQtdChq = false;
  TipoEntChqManual.clear();
  UtilizaCampoC1 = UtilizaCampoC2 = NaoUtilizaCampoC3 = UtilizaCampoCodOperador = false;
  sTipoSaida.clear();
  Struct_Perguntas.clear();
  RespostasPerguntas = TRespostasPerguntas();
  std::memset(Perguntas, 0, sizeof Perguntas);
  linhas_serv_D.clear();
  std::memset(ServicoX_ObtemParametros, 0, sizeof ServicoX_ObtemParametros);
}

void FinalizaChequeMain() {
  InicializaChequeMain();
  Libera(VERSAO_DO_MODULO);
  Libera(CodigoRede);
  Libera(TipoEntChqManual);
  Libera(sTipoSaida);
  Libera(Struct_Perguntas);
  Libera(RespostasPerguntas.Teclado);
  Libera(RespostasPerguntas.Pinpad);
  Libera(RespostasPerguntas.Cartao);
  Libera(linhas_serv_D);
}

struct TUnidade {
  TRegistroUnidade::TProc inicializa, finaliza;
};
std::vector<TUnidade> &Unidades() {
  static std::vector<TUnidade> unidades;
  return unidades;
}

// While an entry point runs, the host's window owns the module's application window; the
// previous owner comes back on every way out.
class TDonoJanelaHost {
public:
  explicit TDonoJanelaHost(TJanelaHost janela) : fAnterior(Application->OwnerWindow()) {
    Application->SetOwnerWindow(janela);
  }
  ~TDonoJanelaHost() { Application->SetOwnerWindow(fAnterior); }
  TDonoJanelaHost(const TDonoJanelaHost &) = delete;
  TDonoJanelaHost &operator=(const TDonoJanelaHost &) = delete;

private:
  uintptr_t fAnterior;
};

// A configuration file the module could not read gives it the defaults (or what was read), as
// the platform's rule has it; the audit trail names the file and the cause, so that support
// does not meet only "no consultation enabled". Each call reads its files afresh, so that each
// call's trail names them, also in a point of sale that calls the module again and again.
class TProblemasIni {
public:
  TProblemasIni() {
    ForgetIniFiles();
    fId = AddIniProblemObserver([](const TIniProblem &p) {
      try {
        Host().GravaAudit(0, CP1252("Arquivo de configuração: ") + NomeDeArquivo(p.file) + ": " +
                                 p.why);
      } catch (...) {
        // The reader goes on with the defaults; a host that cannot take the line loses it.
      }
    });
  }
  ~TProblemasIni() { RemoveIniProblemObserver(fId); }
  TProblemasIni(const TProblemasIni &) = delete;
  TProblemasIni &operator=(const TProblemasIni &) = delete;

private:
  // File names are the system's: UTF-8 bytes here, already Windows-1252 on Windows.
  static std::string NomeDeArquivo(const std::string &nome) {
#ifdef _WIN32
    return nome;
#else
    return Utf8ToCp1252(nome);
#endif
  }
  int fId = 0;
};

// One call of an export. Nothing may leave it: the export is called from C or another
// language, where an error would kill the point of sale with its sale open. When the
// operator is gone the screens have unwound through their normal ends already (see
// OperadorModulo.h); an error that got this far ends the operation as if cancelled, the store
// saved as when the first screen closes without completing, and the audit trail keeps the
// error's text for support.
template <class F> void Chamada(bool salvaSeFalhar, F &&f) noexcept {
  try {
    const TProblemasIni problemas;
    TOperadorChamada operador;
    bool falhou = false;
    try {
      f();
    } catch (const std::exception &e) {
      falhou = true;
      Host().GravaAudit(0, std::string("Erro: ") + e.what());
    } catch (...) {
      falhou = true;
      Host().GravaAudit(0, "Erro: desconhecido");
    }
    if (falhou && salvaSeFalhar) Host().VelkorGravaArquivo();
    // Its first line: a failed script's reason goes on with the picture of the screen.
    const std::string completo = operador.MotivoEncerramento();
    const std::string motivo = Utf8ToCp1252(completo.substr(0, completo.find('\n')));
    if (motivo.empty()) return;
    Host().GravaAudit(0, CP1252("Encerrada sem o operador: ") + motivo);
    // A point of sale with nobody to show the screens to learns why nothing happened.
    if (operador.SemOperador())
      Host().EnviaArquivoErroPDV(
          255,
          CP1252("Operação de cheque não concluída: sem terminal nem roteiro para as telas (") +
              motivo + ")");
  } catch (...) {
    // The host's own functions failed while the call was being closed: nothing is left to
    // tell it with.
  }
}

void MostraMensagem(int id) {
  Application->MessageBox(Host().LeMensagens(id), TITULO_APLICACAO,
                          MB_TOPMOST | MB_ICONEXCLAMATION);
}

void InformaErroPDV(int id) {
  Host().EnviaArquivoErroPDV(255, Host().LeMensagens(id));
}

// ---- The screens the entry points open -------------------------------------------------------

// The screens the entry points open, each by its form name.
constexpr TAbreTela AbreGarVenez_Cnc = AbreTela<TFrmGarVenez_Cnc, FrmGarVenez_Cnc>;
constexpr TAbreTela AbreCancGarantia_Mod = AbreTela<TFrmCancGarantia_Mod, FrmCancGarantia_Mod>;

// The Telecheque rate-table load. The screen only shows progress, so it is not modal. The
// load reports its own failures; whatever it gave, the store is saved. A shop whose merchant
// data is incomplete has its result in the store already (the screen's check put it there)
// and sends nothing.
void CarregaTabelaTaxas() {
  if (!FrmObtemPar_Mod)
    FrmObtemPar_Mod =
        cheque_main::CriaComSeguranca([] { return Application->CreateForm<TFrmObtemPar_Mod>(); });
  if (!FrmObtemPar_Mod) {
    MostraErroCriacaoForm("FrmObtemPar_Mod");
    return;
  }
  {
    cheque_main::TLiberaForm<TFrmObtemPar_Mod> libera(FrmObtemPar_Mod);
    if (FrmObtemPar_Mod->DadosEstabelecimentoCompletos()) {
      FrmObtemPar_Mod->Show();
      FrmObtemPar_Mod->Realiza_Consulta_Parametros();
    }
    Host().VelkorGravaArquivo();
  }
  Application->ProcessMessages();
}

} // namespace

TRegistroUnidade::TRegistroUnidade(TProc inicializa, TProc finaliza) {
  Unidades().push_back({inicializa, finaliza});
}

// ---- Files and the module itself -------------------------------------------------------------

std::string CaminhoArquivoIni(const std::string &nome) {
  return IncludeTrailingPathDelimiter(Application->ExeDir()) + nome;
}

// NomeArquivoModulo() asks the system which file holds this code: ArquivoModulo_posix.cpp,
// ArquivoModulo_win32.cpp.

bool VerificaConsultasHabilitadas() {
  // A missing file gives no section; one that cannot be read is named in the audit trail.
  const TIniFile ini(CaminhoArquivoIni("Cheque.ini"));
  for (const std::string &secao : ini.ReadSections())
    if (ini.ReadInteger(secao, "habilitado", 0) == 1) return true;
  return false;
}

// ---- Running a screen ----------------------------------------------------------------------

void cheque_main::ExecutaFormCriado(TForm *form, TForm *chamador) {
  form->ShowModal();
  Application->ProcessMessages();
  if (chamador) {
    if (form->ModalResult == mrOk) {
      chamador->ModalResult = mrOk;
    } else {
      TWinControl *alvo = chamador->ActiveControl();
      if (!alvo || !alvo->CanFocus()) alvo = chamador->FirstControl();
      if (alvo && alvo->CanFocus()) alvo->SetFocus();
    }
  } else if (form->ModalResult == mrCancel) {
    Host().VelkorGravaArquivo();
  }
}

void MostraErroCriacaoForm(const std::string &nomeForm) {
  Application->MessageBox(FormatMsg(Host().LeMensagens(802), {nomeForm}), TITULO_APLICACAO,
                          MB_TOPMOST | MB_ICONEXCLAMATION);
}

bool AbreTelaOuAvisa(TAbreTela abre, TForm *chamador, const char *nomeForm) {
  if (abre(chamador, nomeForm)) return true;
  MostraErroCriacaoForm(nomeForm);
  return false;
}

// ---- Exported entry points -------------------------------------------------------------------

extern "C" {

CHEQUE_EXPORT void CHEQUE_STDCALL Initialize(void) {
  try {
    InicializaChequeMain();
    DeclaraDadosPessoais();
    for (const TUnidade &u : Unidades())
      if (u.inicializa) u.inicializa();
  } catch (...) {
    // Only the module's own values are set here; there is nothing to report.
  }
}

CHEQUE_EXPORT void CHEQUE_STDCALL Finalize(void) {
  try {
    const auto &unidades = Unidades();
    for (auto it = unidades.rbegin(); it != unidades.rend(); ++it)
      if (it->finaliza) it->finaliza();
    FinalizaChequeMain();
    EsqueceDadosPessoais();
  } catch (...) {
  }
}

CHEQUE_EXPORT void CHEQUE_STDCALL ObtemVersao(char *versao, char *versaoModulo) {
  if (versao) std::strcpy(versao, "1.0.0.0");
  if (versaoModulo) std::strcpy(versaoModulo, VERSAO_DO_MODULO.c_str());
}

CHEQUE_EXPORT void CHEQUE_STDCALL ExecutaVenda(TJanelaHost, int32_t) {
  Chamada(false, [] { MostraMensagem(130); });
}

CHEQUE_EXPORT void CHEQUE_STDCALL ExecutaPreAutorizacao(TJanelaHost, int32_t) {
  Chamada(false, [] { MostraMensagem(130); });
}

CHEQUE_EXPORT void CHEQUE_STDCALL ExecutaFuncaoADM(TJanelaHost janela, int32_t operacao) {
  TDonoJanelaHost dono(janela);
  Chamada(true, [operacao] {
    switch (operacao) {
    case 1:
      AbreTelaOuAvisa(AbreGarVenez_Cnc, nullptr, "FrmGarVenez_Cnc");
      break;
    case 6:
      AbreTelaOuAvisa(AbreCancGarantia_Mod, nullptr, "FrmCancGarantia_Mod");
      break;
    default:
      InformaErroPDV(993);
      break;
    }
  });
}

CHEQUE_EXPORT void CHEQUE_STDCALL ExecutaConsultaCheque(TJanelaHost janela, int32_t) {
  TDonoJanelaHost dono(janela);
  Chamada(true, [] {
    if (VerificaConsultasHabilitadas())
      AbreTelaOuAvisa(AbreTela<TFrmRedes_Mnu, FrmRedes_Mnu>, nullptr, "FrmRedes_Mnu");
    else
      InformaErroPDV(998);
  });
}

CHEQUE_EXPORT void CHEQUE_STDCALL ExecutaGenerico(TJanelaHost janela, int32_t operacao) {
  TDonoJanelaHost dono(janela);
  Chamada(true, [operacao] {
    if (operacao == 11)
      CarregaTabelaTaxas();
    else
      InformaErroPDV(327);
  });
}

} // extern "C"
