// chequepdv: the reference point-of-sale host program. It configures the reference host
// (field store, transaction file, messages, scenario), loads the cheque module by path, hands
// it its window and calls Initialize, one operation and Finalize; the module's own screens meet
// the person at the terminal, or the operator script given (handed over as any host would).
// Afterwards it tells what the point of sale received.
//
// Exit status: 0 when the module's call returned (whatever the operation's outcome);
// 2 bad arguments, 3 unreadable or malformed files, 4 module that cannot be loaded or lacks
// an export, 5 the operator was gone before the screens were done (the script failed or ran
// out, the terminal closed or hung up, no terminal and no script; the call still returned),
// 6 the module asked to save the transaction file and the save failed (or the error for the
// point of sale could not be left), 7 the call went through but the audit trail or the
// transcript lost lines.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "ModuleLibrary.h"
#include "PdvHost.h"
#include "PdvOptions.h"
#include "PdvPrivacy.h"
#include "PdvSummary.h"
#include "SessaoModulo.h"
#include "platform/forms/Forms.h"
#include "platform/operator/Pictures.h"
#include "platform/operator/Privacy.h"
#include "platform/operator/Script.h"
#include "platform/operator/Transcript.h"
#include "platform/system/IniFiles.h"
#include "platform/system/Sistema.h"
#include "platform/text/StrUtils.h"
#ifdef CHEQUEPDV_TROCA
#include "Execucao.h"
#endif

namespace {

enum : int {
  kExitOk = 0,
  kExitUsage = 2,
  kExitFile = 3,
  kExitModule = 4,
  kExitScript = 5,
  kExitSave = 6,
  kExitLog = 7
};

// Room for anything a module may copy into the version buffers (the copies are unbounded).
constexpr size_t kVersionBuffer = 4096;

[[noreturn]] void Die(int status, const std::string &reason) {
  // On the way out: a reason that cannot be written has nowhere else to go.
  (void)std::fflush(stdout);
  (void)std::fprintf(stderr, "chequepdv: %s\n", reason.c_str());
  (void)std::fflush(stderr);
  // Leave at once: this may run deep inside the module's screens, whose frames must not unwind
  // through a half-finished operation.
  std::_Exit(status);
}

std::string SelfPath() {
  return CaminhoExecutavel();
}

bool IsDirectory(const std::string &p) {
  struct stat st {};
  return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string &p) {
  struct stat st {};
  return stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Whether a file can be made in `dir`: tried, since permissions say nothing of a read-only or
// full file system.
bool CanWriteInto(const std::string &dir) {
  const std::string probe =
      dir + "/.chequepdv-" +
      std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  std::FILE *f = std::fopen(probe.c_str(), "wbx");
  if (!f) return false;
  const bool closed = std::fclose(f) == 0;
  (void)std::remove(probe.c_str()); // a probe left behind is an empty hidden file, no harm
  return closed;
}

// Texts from the user's files and the script may hold anything; the transcript takes UTF-8.
std::string CleanUtf8(const std::string &s) {
  return Cp1252ToUtf8(Utf8ToCp1252(s));
}

std::string FileError(const pdv::TErroArquivo &e) {
  std::string where = e.Arquivo();
  if (e.Linha() > 0) where += ":" + std::to_string(e.Linha());
  return where + ": " + CleanUtf8(e.Motivo());
}

// A path the host writes through: a link planted by another user in a shared directory, or a
// loop of links, is refused before anything is written.
void RefuseLinks(const std::string &path) {
  const std::string why = path.empty() ? std::string() : pdv::CaminhoRecusado(path);
  if (!why.empty()) Die(kExitFile, CleanUtf8(why));
}

// A directory the host writes new files into: a link planted there by another user at a name
// a file will take is refused before the call. (A link made after this check is not followed
// either: the picture is not written, see the end of main.)
void RefuseLinksInside(const std::string &dir) {
  std::error_code ec;
  for (const auto &e : std::filesystem::directory_iterator(dir, ec))
    if (e.is_symlink(ec)) RefuseLinks(e.path().string());
}

// Configures the reference host from the options. Dies on unreadable or malformed files.
void ConfigureHost(const TPdvOptions &o) {
  pdv::TPdvHost &host = pdv::TPdvHost::Instancia();
  try {
    // Read with a size limit whatever they are: a FIFO (a shell's <(...)) is welcome, a device
    // that never ends is refused at the limit.
    if (!o.messages.empty()) host.CarregaMensagens(o.messages);
    if (!o.scenario.empty()) host.CarregaCenario(o.scenario);
    if (!o.store.empty()) {
      RefuseLinks(o.store);
      const auto slash = o.store.rfind('/');
      if (slash != std::string::npos && slash > 0 && !IsDirectory(o.store.substr(0, slash)))
        Die(kExitFile, o.store + ": its directory does not exist");
      host.DefineArquivoTransacao(o.store);
      if (access(o.store.c_str(), F_OK) == 0) {
        if (!IsFile(o.store)) Die(kExitFile, o.store + ": not a transaction file");
        host.CarregaArquivoTransacao(o.store);
      }
    }
    RefuseLinks(host.ArquivoErroPdv());
  } catch (const pdv::TErroArquivo &e) {
    Die(kExitFile, FileError(e));
  } catch (const std::exception &e) {
    Die(kExitFile, CleanUtf8(e.what()));
  }
  // What the point of sale supplies on the command line goes over the transaction file.
  try {
    for (const auto &s : o.sets) host.DefineCampoTexto(s);
  } catch (const pdv::TErroArquivo &e) {
    Die(kExitUsage, "--set: " + CleanUtf8(e.Motivo()));
  } catch (const std::exception &e) {
    Die(kExitUsage, "--set: " + CleanUtf8(e.what()));
  }
  if (!o.audit.empty()) {
    RefuseLinks(o.audit);
    // Refused now rather than losing the trail line by line during the call.
    std::FILE *f = OpenPrivateFile(o.audit, true);
    if (!f)
      Die(kExitFile, o.audit + ": cannot write the audit trail (" + PrivateFileError(errno) + ")");
    if (std::fclose(f) != 0)
      Die(kExitFile, o.audit + ": cannot write the audit trail (" + std::strerror(errno) + ")");
    host.DefineArquivoAudit(o.audit);
  }
  if (!o.transcript.empty()) host.DefineEventosCampo(true);
}

bool LoadScript(const TPdvOptions &o) {
  // Without a script the module has its own screens: a person at the process's terminal.
  if (o.script.empty()) return false;
  if (IsDirectory(o.script)) Die(kExitFile, o.script + ": a directory, not an operator script");
  // A FIFO, a terminal or a device is read like a file, up to the same limit.
  std::string text;
  try {
    text = pdv::LeArquivoInteiro(o.script, pdv::kLimiteArquivoTexto);
  } catch (const pdv::TErroArquivo &e) {
    Die(kExitFile, FileError(e));
  }
  // Checked here, so that a malformed script stops the run before the module is called; the
  // module plays it as it would for any host.
  {
    TScriptSource check;
    std::string error;
    if (!check.Load(text, error, o.script)) Die(kExitFile, CleanUtf8(error));
  }
  EntregaRoteiro(o.script, text, o.transcript);
  return true;
}

// What an interrupted call keeps: the signal handler below only writes these, prepared before
// the call, so that it allocates nothing.
struct TRecovery {
  std::string path, other; // NAME.recuperacao, or NAME.recuperacao.PID when that exists
  std::string saved, savedOther, failed; // the lines for standard error
} gRecovery;
volatile std::sig_atomic_t gInCall = 0;

void WriteStderr(const std::string &line) {
  (void)!::write(2, line.data(), line.size());
}

// SIGINT, SIGTERM or SIGQUIT during the call (the terminal's session, when there is one, has
// already given the terminal back): the network's answer is in the store, but the module has
// not asked to save it, so it goes to a file of its own beside the transaction file, which is
// left as it was. Then the signal ends the program as it would have.
void OnInterrupted(int sig) {
  const int saved = errno;
  const pdv::TPdvHost &host = pdv::TPdvHost::Instancia();
  if (gInCall && host.RespostaNaoSalva()) {
    if (pdv::GravaStoreEmergencia(host.Store(), gRecovery.path.c_str()))
      WriteStderr(gRecovery.saved);
    else if (pdv::GravaStoreEmergencia(host.Store(), gRecovery.other.c_str()))
      WriteStderr(gRecovery.savedOther);
    else
      WriteStderr(gRecovery.failed);
  }
  (void)std::signal(sig, SIG_DFL);
  (void)std::raise(sig);
  errno = saved;
}

void KeepAnswersOfAnInterruptedCall() {
  const std::string store = pdv::TPdvHost::Instancia().ArquivoTransacao();
  gRecovery.path = store + ".recuperacao";
  gRecovery.other = gRecovery.path + "." + std::to_string(::getpid());
  const std::string why = "the call was interrupted after the network answered: ";
  const std::string left = " (" + store + " is left as it was)\n";
  gRecovery.saved =
      CleanUtf8("chequepdv: " + why + "the store is kept in " + gRecovery.path + left);
  gRecovery.savedOther =
      CleanUtf8("chequepdv: " + why + "the store is kept in " + gRecovery.other + left);
  gRecovery.failed =
      CleanUtf8("chequepdv: " + why + "the store could not be kept in " + gRecovery.path + left);
  for (const int sig : {SIGINT, SIGTERM
#ifdef SIGQUIT
                        ,
                        SIGQUIT
#endif
       })
    (void)std::signal(sig, OnInterrupted);
}

std::string DefaultModulePath() {
  const std::string self = SelfPath();
  const auto slash = self.rfind('/');
  return (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/" +
         TModuleLibrary::DefaultFileName();
}

void PrintVersion(const TModuleLibrary &m, const char *label) {
  std::string versao(kVersionBuffer, '\0'), modulo(kVersionBuffer, '\0');
  m.ObtemVersao(versao.data(), modulo.data());
  versao.resize(std::char_traits<char>::length(versao.data()));
  modulo.resize(std::char_traits<char>::length(modulo.data()));
  std::printf("%sversao = %s\n%sversao_modulo = %s\n", label, Cp1252ToUtf8(versao).c_str(), label,
              Cp1252ToUtf8(modulo).c_str());
}

#ifdef CHEQUEPDV_TROCA
// atende DIR: the point of sale's file exchange. The module is loaded and initialised once;
// each request gets a fresh store, configured as the options say, and the next script.
int Atende(TPdvOptions o) {
  if (!o.script.empty() || !o.sets.empty())
    Die(kExitUsage, "atende takes its fields from the requests and its scripts from --scripts DIR");
  if (!o.scripts.empty() && !IsDirectory(o.scripts))
    Die(kExitFile, o.scripts + ": not a directory");
  const std::string store = o.store.empty() ? o.atende + "/transacao.txt" : o.store;
  o.store.clear(); // a transaction file left by an earlier run is not a request's
  ConfigureHost(o);
  RefuseLinks(store);
  TModuleLibrary module;
  std::string error;
  if (!module.Load(o.module.empty() ? DefaultModulePath() : o.module, error))
    Die(kExitModule, error);
  module.Initialize();
  const auto hostWindow = static_cast<uint32_t>(Application->Handle);
  troca::TConfigExecucao ex;
  ex.chama = [&module, hostWindow](const std::string &exportacao, int numero) {
    TModuleLibrary::TExecuta call = exportacao == "ExecutaFuncaoADM" ? module.ExecutaFuncaoADM
                                    : exportacao == "ExecutaGenerico"
                                        ? module.ExecutaGenerico
                                        : module.ExecutaConsultaCheque;
    Transcript().Add("call", {{"export", exportacao}, {"operation", numero}});
    call(hostWindow, numero);
  };
  ex.preparaHost = [&o, store] {
    pdv::TPdvHost &host = pdv::TPdvHost::Instancia();
    host.Reinicia();
    if (!o.messages.empty()) host.CarregaMensagens(o.messages);
    if (!o.scenario.empty()) host.CarregaCenario(o.scenario);
    host.DefineArquivoTransacao(store);
    if (!o.audit.empty()) host.DefineArquivoAudit(o.audit);
    if (!o.transcript.empty()) host.DefineEventosCampo(true);
  };
  ex.venezuela = o.venezuela;
  ex.roteiros = troca::RoteirosDaPasta(o.scripts);
  troca::TConfigServico cfg;
  cfg.dir = o.atende;
  cfg.linhaOciosa = isatty(STDOUT_FILENO) != 0;
  const int status = troca::Atende(cfg, troca::Executor(std::move(ex)));
  module.Finalize();
  module.Keep();
  return status;
}
#endif

} // namespace

int main(int argc, char **argv) {
  TPdvOptions o;
  std::string error;
  if (!ParsePdvOptions(argc, argv, o, error)) {
    (void)std::fprintf(stderr, "chequepdv: %s\n(chequepdv --help for the usage)\n", error.c_str());
    return kExitUsage;
  }
  if (o.help) {
    (void)std::fputs(PdvUsage().c_str(), stdout);
    return kExitOk;
  }
  ConfigurePrivacy(o);

  if (!o.dir.empty()) {
    if (!IsDirectory(o.dir)) Die(kExitFile, o.dir + ": not a directory");
    DefineVariavelAmbiente("CHEQUE_DIR", o.dir);
  }
  RefuseLinks(o.transcript);
  if (!o.transcript.empty() && !Transcript().OpenFile(o.transcript))
    Die(kExitFile,
        o.transcript + ": cannot write the transcript (" + PrivateFileError(errno) + ")");
  Application->SetExeName(SelfPath());
#ifdef CHEQUEPDV_TROCA
  if (o.operation == TPdvOperation::Atende) return Atende(o);
#endif

  ConfigureHost(o);
  const bool script = o.operation != TPdvOperation::Versao && LoadScript(o);
  std::unique_ptr<TPictureWriter> pictures;
  if (!o.pictures.empty() && o.operation != TPdvOperation::Versao) {
    RefuseLinks(o.pictures);
    pictures = std::make_unique<TPictureWriter>(o.pictures);
    if (!pictures->Ok() || !IsDirectory(o.pictures) || !CanWriteInto(o.pictures))
      Die(kExitFile, o.pictures + ": cannot write pictures into it");
    RefuseLinksInside(o.pictures);
  }

  TModuleLibrary module;
  const std::string modulePath = o.module.empty() ? DefaultModulePath() : o.module;
  if (!module.Load(modulePath, error)) Die(kExitModule, error);

  TPdvSummary summary;

  module.Initialize();
  if (o.operation == TPdvOperation::Versao) {
    PrintVersion(module, "");
    module.Finalize();
    return kExitOk;
  }

  // The host's main window: the module makes it the owner of its screens during the call and
  // must give the previous owner back.
  const auto hostWindow = static_cast<uint32_t>(Application->Handle);
  const uintptr_t ownerBefore = Application->OwnerWindow();
  TModuleLibrary::TExecuta call = nullptr;
  const char *exportName = "";
  switch (o.operation) {
  case TPdvOperation::Venda:
    call = module.ExecutaVenda, exportName = "ExecutaVenda";
    break;
  case TPdvOperation::PreAutorizacao:
    call = module.ExecutaPreAutorizacao, exportName = "ExecutaPreAutorizacao";
    break;
  case TPdvOperation::Adm:
    call = module.ExecutaFuncaoADM, exportName = "ExecutaFuncaoADM";
    break;
  case TPdvOperation::Consulta:
    call = module.ExecutaConsultaCheque, exportName = "ExecutaConsultaCheque";
    break;
  case TPdvOperation::Generico:
    call = module.ExecutaGenerico, exportName = "ExecutaGenerico";
    break;
  default:
    Die(kExitUsage, "no operation to call");
  }
  Transcript().Add("call", {{"export", exportName}, {"operation", o.number}});
  KeepAnswersOfAnInterruptedCall();
  gInCall = 1;
  call(hostWindow, o.number); // the module gives its terminal back before it returns
  gInCall = 0;
  // A configuration file the module could not read gave it the defaults, as the platform's rule
  // has it; whoever runs the host learns which file and why. A module with a form layer of its
  // own (the Windows DLL) tells it only by its audit lines.
  std::vector<std::string> problemas;
  for (const TIniProblem &p : TakeIniProblems())
    problemas.push_back(CleanUtf8(p.file + ": " + p.why));
  for (const std::string &linha : pdv::TPdvHost::Instancia().TakeProblemasConfiguracao()) {
    std::string texto = CleanUtf8(Cp1252ToUtf8(linha));
    if (std::find(problemas.begin(), problemas.end(), texto) == problemas.end())
      problemas.push_back(std::move(texto));
  }
  for (const std::string &linha : problemas)
    (void)std::fprintf(stderr, "chequepdv: %s\n", linha.c_str());
  const uintptr_t ownerAfter = Application->OwnerWindow();
  const std::string absent = OperadorAusente();
  Transcript().Add("return", {{"export", exportName},
                              {"owner_restored", ownerAfter == ownerBefore},
                              {"script_done", RoteiroConcluido()}});

  const std::string callText = std::string(exportName) + "(" + std::to_string(o.number) + ")";
  // The summary and the notes are for the person at the terminal; the exit status and the
  // transaction file are what the point of sale reads, so a failed write here changes neither.
  (void)std::fputs(summary.Text(callText).c_str(), stdout);
  if (ownerAfter != ownerBefore)
    std::printf("warning: the module left the owner window changed (%llu, was %llu)\n",
                static_cast<unsigned long long>(ownerAfter),
                static_cast<unsigned long long>(ownerBefore));
  if (script && !RoteiroConcluido())
    std::printf("note: the operator script has lines left after line %d\n", RoteiroLinha());
  PrintVersion(module, "after the call: ");

  module.Finalize();
  EncerraRoteiro();
  // The module stays mapped until the process ends: the form layer may still hold callbacks
  // into its code.
  module.Keep();

  // The point of sale reads the transaction file: a save that failed must not pass for a call
  // that went through (the summary above lists the values the store still holds).
  const pdv::TPdvHost &host = pdv::TPdvHost::Instancia();
  (void)std::fflush(stdout);
  // The trail and the transcript are what support reads afterwards: one that lost lines must
  // not pass for whole.
  const size_t lostEvents = Transcript().LostEvents();
  const bool lostPictures = pictures && !pictures->Ok();
  const bool lostLog = host.LinhasAuditPerdidas() > 0 || lostEvents > 0 || lostPictures;
  if (lostPictures)
    (void)std::fprintf(stderr, "chequepdv: %s\n",
                       CleanUtf8(o.pictures + ": not every picture could be written").c_str());
  if (host.LinhasAuditPerdidas() > 0)
    (void)std::fprintf(stderr, "chequepdv: %s\n",
                       CleanUtf8(o.audit + ": " + std::to_string(host.LinhasAuditPerdidas()) +
                                 " audit line(s) could not be written (" + host.FalhaAudit() + ")")
                           .c_str());
  if (lostEvents > 0)
    (void)std::fprintf(stderr, "chequepdv: %s\n",
                       CleanUtf8(o.transcript + ": " + std::to_string(lostEvents) +
                                 " transcript event(s) could not be written")
                           .c_str());
  if (host.UltimoSalvamentoFalhou()) {
    (void)std::fprintf(
        stderr, "chequepdv: %s\n",
        CleanUtf8("the transaction file was not saved: " + host.FalhasSalvamento().back() +
                  " (the old file is left as it was)")
            .c_str());
    return kExitSave;
  }
  // The screens closed without their operator (the script failed or ran out, the terminal
  // closed or hung up, nobody to show them to): the call returned, through its normal saves.
  if (!absent.empty()) (void)std::fprintf(stderr, "chequepdv: %s\n", CleanUtf8(absent).c_str());
  for (const std::string &f : host.FalhasErroPdv())
    (void)std::fprintf(stderr, "chequepdv: %s\n",
                       CleanUtf8("the error for the point of sale was not saved: " + f).c_str());
  if (!host.FalhasErroPdv().empty()) return kExitSave;
  if (!absent.empty()) return kExitScript;
  return lostLog ? kExitLog : kExitOk;
}
