// The reference host's own C++ side, for the host program and the tests: the
// state behind the C contract of cheque/host.h (field store, messages,
// scenario, audit trail, what went to the point of sale) and the files it reads
// and writes.
//
// Files (documented in the README):
//  - transaction file: `FIELD-INDEX = VALUE` lines, ordered by field then
//    index, the index with at least three digits; bytes below 0x20, 0x7F and
//    '\' written as \xHH and \\, every other byte (Windows-1252) as it is.
//    Saved atomically and durably.
//  - messages file: `ID=TEXT` lines, '#' comments, same escapes in the text.
//  - scenario file: INI ([autorizacao], [autorizacao N], [servico5],
//    [servico5 N], [pinpad], [bins], [bins N], [timeout_venezuela]), values
//    escaped as in the transaction file, or a field's bytes taken from a file
//    (`@arquivo:PATH`).
//  The messages and scenario files are UTF-8, or Windows-1252 when they are not
//  valid UTF-8.
// Malformed files are refused whole with a TErroArquivo naming the file and the
// line.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <cheque/host.h>

#define PDV_API __attribute__((visibility("default")))

namespace pdv {

// A file (or a --set argument) that could not be read: where, and why.
class PDV_API TErroArquivo : public std::runtime_error {
public:
  TErroArquivo(std::string arquivo, int linha, const std::string &motivo);
  const std::string &Arquivo() const { return fArquivo; }
  int Linha() const { return fLinha; } // 1-based; 0 when the error is not about one line
  const std::string &Motivo() const { return fMotivo; }

private:
  std::string fArquivo;
  int fLinha;
  std::string fMotivo;
};

// The field store: (field id, index) -> bytes, ordered by field then index. Kept compact, an
// index of 16 bytes a value and one buffer of all the bytes, so that a store takes about the
// size of its file (a map of strings took eight times as much). A value's view stays valid
// until the store next changes.
class PDV_API TStore {
  struct TEntrada {
    int32_t campo, indice;
    uint32_t ini, tamanho; // in fDados
  };

public:
  using TChave = std::pair<int32_t, int32_t>;
  using value_type = std::pair<TChave, std::string_view>;

  class const_iterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = TStore::value_type;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = value_type;
    const_iterator() = default;
    value_type operator*() const {
      return {{fE->campo, fE->indice}, std::string_view(fDados + fE->ini, fE->tamanho)};
    }
    const_iterator &operator++() {
      ++fE;
      return *this;
    }
    bool operator==(const const_iterator &o) const { return fE == o.fE; }

  private:
    friend class TStore;
    const_iterator(const TEntrada *e, const char *d) : fE(e), fDados(d) {}
    const TEntrada *fE = nullptr;
    const char *fDados = nullptr;
  };

  TStore() = default;
  TStore(std::initializer_list<std::pair<TChave, std::string_view>> valores);
  const_iterator begin() const;
  const_iterator end() const;
  size_t size() const { return fIndice.size(); }
  bool empty() const { return fIndice.empty(); }
  void clear();

  std::optional<std::string_view> Valor(TChave chave) const;
  // Writes a value (a new one, or over the old).
  void Define(TChave chave, std::string_view valor);
  // Removes every index of the field; how many there were.
  size_t RemoveCampo(int32_t campo);
  // Bytes of memory the store holds (its index and its buffer, as allocated).
  size_t Memoria() const;
  bool operator==(const TStore &o) const;

  // Loading: values appended in any order and room made for them ahead, then Ordena once. Ordena
  // gives the position (0-based, in the order appended) and the key of the first value whose
  // key an earlier one had; the store is not to be used then.
  void Reserva(size_t valores, size_t bytes);
  void Anexa(TChave chave, std::string_view valor);
  std::optional<std::pair<size_t, TChave>> Ordena();

private:
  std::vector<TEntrada> fIndice;
  std::string fDados;
  size_t fLixo = 0; // bytes of fDados no value uses any more
  bool fOrdenado = true;
  uint32_t Guarda(std::string_view valor);
  void Compacta();
};

// ---- Transaction file format (pure; usable without a host)

// One value as written in the file (escapes applied).
PDV_API std::string EscapaValor(const std::string &bytes);
// Undoes EscapaValor; false (and `motivo` set) on a bad escape. `coluna`: where
// `texto` starts in its line, so that the error names the line's column.
PDV_API bool DesescapaValor(const std::string &texto, std::string &bytes,
                            std::string *motivo = nullptr, size_t coluna = 0);
// The whole file's text for a store.
PDV_API std::string FormataArquivoTransacao(const TStore &store);
// The same text piece by piece (about `bloco` bytes each, whole lines): false when none is left.
// For a save that must not hold the whole file in memory beside the store.
class PDV_API TFormatador {
public:
  explicit TFormatador(const TStore &store, size_t bloco = size_t(1) << 20)
      : fStore(store), fAt(store.begin()), fBloco(bloco) {}
  bool Proximo(std::string &pedaco);

private:
  const TStore &fStore;
  TStore::const_iterator fAt;
  size_t fBloco;
};
// The same text as the logs and the summary show it: the values that identify the customer
// (the CMC-7 line, the document, the account, the cheque data, the card and the PIN-pad
// answer) masked, unless masking is off.
PDV_API std::string FormataParaLog(const TStore &store);
// Whether a field's values identify the customer (the fields FormataParaLog masks).
PDV_API bool CampoPessoal(int32_t campo);
// Parses a file's bytes; throws TErroArquivo(nome, line, ...) on the first
// malformed line (a raw control byte or a CR without LF in a value, a last line
// without its line end, a byte-order mark before text that is not
// Windows-1252).
PDV_API TStore LeTextoTransacao(const std::string &bytes, const std::string &nome);
// Parses "FIELD-INDEX=VALUE" (blanks around '=' allowed, the value escaped);
// throws TErroArquivo("--set", 0, ...) when malformed.
PDV_API std::pair<std::pair<int32_t, int32_t>, std::string> LeAtribuicao(const std::string &texto);

// ---- Files the shop edits

// Text of a file the shop edits, as Windows-1252: UTF-8 is converted (a
// byte-order mark dropped); a file that is not valid UTF-8 is taken as
// Windows-1252 already, the code page a Windows editor saves.
PDV_API std::string TextoDoUsuario(const std::string &bytes);
// The whole file; TErroArquivo(path, 0, ...) when it cannot be read or holds
// more than `limite` bytes. The same for a FIFO or a device: opening never
// waits for a writer, and no more than `limite` + 1 bytes are ever read.
PDV_API std::string LeArquivoInteiro(const std::string &path, size_t limite);
// What the host reads at most: a transaction file far beyond any real store, and
// the hand-written files.
inline constexpr size_t kLimiteArquivoTransacao = size_t(64) << 20;
inline constexpr size_t kLimiteArquivoTexto = size_t(4) << 20;

// Writes `bytes` over `path` (over the file its symbolic links lead to) so that
// a crash or power cut at any instant leaves the old file or the new one,
// whole: under a lock on PATH.lock (other saves of the same file wait for it),
// a temporary file PATH.tmp in the same directory (owner-only, or the mode of
// the file it replaces) is written and synced, renamed over the file, then the
// directory synced. A PATH.tmp found under the lock was left by a killed save
// and is replaced; no other file of the directory is looked at. On failure the
// old file is left as it was, the temporary file is removed, and
// std::system_error is thrown (after the rename only when the directory could
// not be synced: the new file is in place but may not survive a power cut).
// Links that CaminhoRecusado refuses are not followed (the save fails).
PDV_API void GravaArquivoAtomico(const std::string &path, const std::string &bytes);
// The same with the bytes made piece by piece (`proximo` false when none is left).
PDV_API void GravaArquivoAtomico(const std::string &path,
                                 const std::function<bool(std::string &pedaco)> &proximo);
// Writes the store's transaction-file text to a new file `path` (never over an existing one nor
// through a link), owner-only, synced; false when it cannot. Allocates nothing and calls only
// what a signal handler may call, so that an interrupted call can still keep the store (the
// store must not be changing at the moment).
PDV_API bool GravaStoreEmergencia(const TStore &store, const char *path) noexcept;
// Why the host must not write through `path`, or "": it is a loop of symbolic
// links, or one of its links lies in a world-writable sticky directory (such as
// /tmp) and belongs neither to this user nor to the directory's owner: planted
// by another user, as the kernel's protected-links rule has it.
PDV_API std::string CaminhoRecusado(const std::string &path);

// Test hook: called at each step of GravaArquivoAtomico ("open", "write" once
// per chunk with the byte offset, "sync", "close", "rename", "dirsync");
// returning false makes that step fail as if the system had refused it. nullptr
// (the default) removes the hook.
using TGanchoGravacao = std::function<bool(const std::string &passo, size_t offset)>;
PDV_API void DefineGanchoGravacao(TGanchoGravacao gancho);

// ---- The host

// One change of the store made by the scenario: a write, or (no value) the
// removal of every index of the field.
struct TOperacao {
  int32_t campo = 0;
  int32_t indice = 0;
  std::optional<std::string> valor;
};

// The scenario: how the simulated authoriser, the PIN pad and the BIN lookup
// answer.
struct PDV_API TCenario {
  struct TResposta {
    std::map<std::pair<int32_t, int32_t>, std::string> grava; // FIELD-INDEX keys
    std::vector<int32_t> remove;                              // "remover"
  };
  struct TServico5 {
    std::string prefixo = "PERG:";
    std::vector<TPergunta> perguntas; // in order
  };
  // [bins N]: what the N-th lookup answers differently from [bins].
  struct TBins {
    std::optional<bool> ok;            // resultado
    std::optional<std::string> rede;   // rede -> field 10112
    std::optional<std::string> cartao; // cartao -> field 10104 (mode 1 only)
  };
  std::optional<TResposta> autorizacao;     // [autorizacao]
  std::map<int, TResposta> autorizacaoN;    // [autorizacao N]
  std::optional<TServico5> servico5;        // [servico5]
  std::map<int, TServico5> servico5N;       // [servico5 N]
  uint16_t senha = 0;                       // [pinpad] senha: result of LerSenha
  uint16_t pinpad = 0;                      // [pinpad] resultado: result of ObtemCampoPinpad
  std::vector<std::string> respostasPinpad; // [pinpad] respostaN -> field 10146
  std::vector<std::string> cartoes;         // [pinpad] cartaoN -> field 10104
  bool binsOk = true;                       // [bins] resultado
  std::optional<std::string> binsRede;      // [bins] rede -> field 10112
  std::map<int, TBins> binsN;               // [bins N]
  TResposta timeoutDados;                   // [timeout_venezuela] FIELD-INDEX keys
  std::vector<std::string> timeoutLinhas;   // [timeout_venezuela] linhaN

  // The store changes of the n-th authorisation (1-based): [autorizacao] with
  // [autorizacao n] over it.
  std::vector<TOperacao> OperacoesAutorizacao(int n) const;
  // The service-5 record of the n-th answer (nullptr when it has none).
  const TServico5 *Servico5(int n) const;

  static TCenario Padrao(); // the built-in one
  // `@arquivo:` paths are relative to the directory of `nome` (the current
  // directory when it has none).
  // `texto`: UTF-8, or Windows-1252 when it is not valid UTF-8.
  static TCenario LeTexto(const std::string &texto,
                          const std::string &nome); // throws
};

class PDV_API TPdvHost {
public:
  // The host the C functions serve (one per process).
  static TPdvHost &Instancia();

  // Back to the start: empty store, built-in messages and scenario, default
  // paths, no records of what was sent, no field events.
  void Reinicia();

  // ---- Field store
  const TStore &Store() const { return fStore; }
  std::optional<std::string> Campo(int32_t campo, int32_t indice = 0) const;
  // Writes / removes like the contract does (field events when on). A negative
  // field or index is refused (false).
  bool DefineCampo(int32_t campo, int32_t indice, const std::string &valor);
  void RemoveCampo(int32_t campo); // every index
  // `--set FIELD-INDEX=VALUE` (value escaped as in the transaction file);
  // throws TErroArquivo.
  void DefineCampoTexto(const std::string &atribuicao);
  // Adds `field` events to the transcript for every write (field, index, value)
  // and removal (field, removed). Off by default.
  void DefineEventosCampo(bool ligado) { fEventosCampo = ligado; }

  // ---- Transaction file
  // Loads a transaction file into the store: its values replace those under the
  // same field and index, the rest of the store stays. Throws TErroArquivo;
  // nothing is loaded then.
  void CarregaArquivoTransacao(const std::string &path);
  // Where VelkorGravaArquivo saves (default "transacao.txt" in the current
  // directory).
  void DefineArquivoTransacao(const std::string &path) { fArquivoTransacao = path; }
  const std::string &ArquivoTransacao() const { return fArquivoTransacao; }
  // Saves the store to `path` now (atomic; throws std::system_error).
  void SalvaArquivoTransacao(const std::string &path) const;
  // What VelkorGravaArquivo did, in order: the paths saved, and the failures
  // (as texts). The store keeps its values after a failure, so a later save may
  // still succeed.
  const std::vector<std::string> &Salvamentos() const { return fSalvamentos; }
  const std::vector<std::string> &FalhasSalvamento() const { return fFalhasSalvamento; }
  // How many times the module asked, and whether the last save failed (the
  // transaction file then does not hold what the store holds).
  int PedidosSalvamento() const { return fPedidosSalvamento; }
  bool UltimoSalvamentoFalhou() const { return fUltimoFalhou; }
  // Whether the network answered (an authorisation, the time-out data) since the last save that
  // succeeded: what a call interrupted now would lose.
  bool RespostaNaoSalva() const { return fRespostaNaoSalva; }
  // Failures to leave an error for the point of sale in ArquivoErroPdv().
  const std::vector<std::string> &FalhasErroPdv() const { return fFalhasErroPdv; }

  // ---- Operator messages
  // Loads a messages file over the built-in table. Throws TErroArquivo; nothing
  // loaded then.
  void CarregaMensagens(const std::string &path);
  // `texto`: UTF-8, or Windows-1252 when it is not valid UTF-8.
  void CarregaMensagensTexto(const std::string &texto, const std::string &nome);
  std::string Mensagem(int32_t id) const; // Windows-1252, never empty

  // ---- Scenario
  void CarregaCenario(const std::string &path); // throws TErroArquivo; nothing loaded then
  void CarregaCenarioTexto(const std::string &texto, const std::string &nome);
  const TCenario &Cenario() const { return *fCenario; }

  // ---- Audit trail
  // Lines are appended to this file (UTF-8); "" (the default): the lines go only to the
  // transcript's `audit` events. None is kept in memory: a long session's trail would grow
  // with it.
  void DefineArquivoAudit(const std::string &path) { fArquivoAudit = path; }
  // Lines the file did not take (the disk full, the file gone), and why the first one failed.
  int LinhasAuditPerdidas() const { return fAuditPerdidas; }
  const std::string &FalhaAudit() const { return fFalhaAudit; }
  // The configuration files the module named in the trail as unreadable since the last take
  // (at most 32, Windows-1252, "FILE: WHY"). A module with a form layer of its own (the Windows
  // DLL) reports them only there, so the host learns them from its lines.
  std::vector<std::string> TakeProblemasConfiguracao() {
    return std::exchange(fProblemasConfig, {});
  }

  // ---- What reached the point of sale
  struct TErroPdv {
    int32_t codigo;
    std::string texto; // Windows-1252
  };
  const std::vector<TErroPdv> &ErrosPdv() const { return fErrosPdv; }
  // The file beside the transaction file where EnviaArquivoErroPDV leaves the
  // last error: "erro_pdv.txt" in the transaction file's directory.
  std::string ArquivoErroPdv() const;
  std::optional<int32_t> CampoCupomNegada() const { return fCupomNegada; }
  int Autorizacoes() const { return fAutorizacoes; }

  // How progress texts reach the status label. The default takes a nonzero
  // handle for the address of a control of the form layer (the screen's message
  // label) and sets its caption.
  using TEscritorStatus = std::function<void(TChequeHandle rotulo, const std::string &texto)>;
  void DefineEscritorStatus(TEscritorStatus escritor) { fEscritorStatus = std::move(escritor); }
  // The resolver of layout references (the module hands it over with
  // VelkorRegistraResolvedor). Without one, referenced texts decode as bad
  // references.
  void DefineResolvedor(TResolveReferencia r) { fResolvedor = r; }

  // ---- The contract (the C functions of cheque/host.h call these)
  uint16_t GravaCampo(int32_t campo, int32_t indice, const std::string &valor);
  // A view valid until the store changes; nullopt when absent.
  std::optional<std::string_view> LeCampo(int32_t campo, int32_t indice) const;
  void GravaArquivo();
  void SetaCupomNegada(int32_t campo) { fCupomNegada = campo; }
  void EnviaErroPdv(int32_t codigo, const std::string &texto);
  int32_t Autoriza(const TRequestLayout *layout, TChequeHandle rotulo, int32_t modo);
  const TCenario::TServico5 *Servico5Atual() const;
  void LeituraTimeoutVenezuela();
  void ComprovanteTimeoutVenezuela();
  uint16_t Senha();
  // A scenario answer shorter than `minimo` or longer than `maximo` (0: no
  // limit) is used up and refused, as the PIN pad would refuse it.
  uint16_t CampoPinpad(int32_t minimo, int32_t maximo);
  bool ConsultaBins(int32_t modo, TChequeHandle rotulo);
  void Audit(int32_t tipo, const std::string &texto);

private:
  TPdvHost();
  void Status(TChequeHandle rotulo, const std::string &texto);
  void EventoCampo(int32_t campo, int32_t indice, const std::string *valor);
  void Aplica(const std::vector<TOperacao> &operacoes);

  TStore fStore;
  bool fEventosCampo = false;
  std::string fArquivoTransacao = "transacao.txt";
  std::vector<std::string> fSalvamentos, fFalhasSalvamento, fFalhasErroPdv;
  int fPedidosSalvamento = 0;
  bool fUltimoFalhou = false;
  volatile bool fRespostaNaoSalva = false;             // read by a signal handler
  std::unordered_map<int32_t, std::string> fMensagens; // loaded over the built-in table
  std::unique_ptr<TCenario> fCenario;
  std::string fArquivoAudit;
  int fAuditPerdidas = 0;
  std::string fFalhaAudit;
  std::vector<std::string> fProblemasConfig;
  std::vector<TErroPdv> fErrosPdv;
  std::optional<int32_t> fCupomNegada;
  int fAutorizacoes = 0;
  size_t fRespostasPinpadUsadas = 0, fCartoesUsados = 0;
  int fConsultasBins = 0;
  TEscritorStatus fEscritorStatus;
  TResolveReferencia fResolvedor = nullptr;
};

// The built-in operator message table (Windows-1252 texts), ordered by number.
PDV_API const std::map<int32_t, std::string> &MensagensPadrao();

} // namespace pdv
