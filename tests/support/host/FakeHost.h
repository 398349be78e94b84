// A host for the module's in-process tests: an in-memory field store and scripted services.
// It records every call (name and arguments as texts), can be told to fail a write, answers
// authorisations, PIN-pad requests and BIN lookups from queues the test fills.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/Host.h"

class TFakeHost : public IHost {
public:
  struct TChamada {
    std::string nome;              // function name, e.g. "GravaCampoString"
    std::vector<std::string> args; // its arguments as texts (numbers in decimal)
  };
  // One change of the store: a write of `valor`, or (valor empty optional) the removal of
  // every index of the field.
  struct TOperacao {
    int campo = 0;
    int indice = 0;
    std::optional<std::string> valor;
    static TOperacao Grava(int campo, int indice, std::string valor) {
      return {campo, indice, std::move(valor)};
    }
    static TOperacao Remove(int campo) { return {campo, 0, std::nullopt}; }
  };
  using TResposta = std::vector<TOperacao>;
  using TStore = std::map<std::pair<int, int>, std::string>;

  TFakeHost();
  ~TFakeHost() override;

  // Installs itself as the host in force for its lifetime (SetHost), when asked.
  void Instala();

  // ---- Store, as a test sees it
  TStore &Store() { return fStore; }
  void Set(int campo, int indice, const std::string &valor) { fStore[{campo, indice}] = valor; }
  std::optional<std::string> Get(int campo, int indice = 0) const;
  bool Has(int campo, int indice = 0) const { return fStore.count({campo, indice}) != 0; }
  int SaveCount() const { return fSaves; }
  const TStore &SavedStore() const { return fSalvo; } // the store at the last save
  std::optional<int> CupomNegada() const { return fCupomNegada; }

  // ---- Calls
  std::vector<TChamada> CallsOf(const std::string &nome) const;
  int CountOf(const std::string &nome) const;
  std::vector<std::string> CallNames() const;
  void ClearCalls() { fChamadas.clear(); }

  // ---- Failures
  // The n-th write (1-based, GravaCampoString and VelkorGravaCampo counted together from now)
  // fails with VELKOR_ERRO and changes nothing.
  void FailWrite(int n) { fFalhaEscrita.insert(fEscritas + n); }
  // Every write of this field fails.
  void FailWritesOf(int campo) { fCamposQueFalham.insert(campo); }

  // ---- Authorisation: one answer per AutorizaTransacao call, in order; when the queue is
  // empty the default answer applies (initially none: the store is left as it is).
  void QueueAuthorization(TResposta r) { fRespostas.push_back(std::move(r)); }
  void SetDefaultAuthorization(TResposta r) { fRespostaPadrao = std::move(r); }
  // Decoded requests of the authorisations so far, in order.
  const std::vector<std::vector<cheque::layout::TEntradaDecodificada>> &Requests() const {
    return fRequisicoes;
  }
  const std::vector<uint32_t> &RequestCodes() const { return fCodigos; }

  // ---- Service-5 questions (answered by VerificaServico5 / VerificaServico5Perguntas)
  void SetQuestions(std::vector<TPergunta> perguntas, std::string prefixo = "PERG:");
  static TPergunta Question(const std::string &prefixo, const std::string &texto, char tipo,
                            int minimo, int maximo);

  // ---- PIN pad: status of LerSenha / ObtemCampoPinpad (0 = success); answers of
  // ObtemCampoPinpad in order (each leaves field 10146 = typed; when the queue is empty the
  // field is left as it is).
  void FailPinpad(uint16_t status = 1) { fStatusPinpad = status; }
  void QueuePinpadAnswer(std::string resposta) { fRespostasPinpad.push_back(std::move(resposta)); }

  // ---- BIN lookup: per call, a result and the store changes it makes (e.g. 10112, 10104);
  // default: true, no change.
  void QueueBinAnswer(bool ok, TResposta r = {}) { fRespostasBin.push_back({ok, std::move(r)}); }

  // ---- Messages and version
  void SetMessage(int id, std::string texto) { fMensagens[id] = std::move(texto); }
  void SetBuildInfo(std::string versao) { fVersao = std::move(versao); }
  const std::vector<std::pair<int, std::string>> &PdvErrors() const { return fErrosPdv; }
  const std::vector<std::string> &AuditLines() const { return fAudit; }

  // ---- IHost
  uint16_t VelkorGravaCampo(int field, int index, const void *data, uint16_t length) override;
  uint16_t VelkorLeCampo(int field, int index, std::string &out, uint16_t capacity) override;
  void VelkorLimpaCampo(int field) override;
  void VelkorGravaArquivo() override;
  void VelkorSetaCupomNegada(int field) override;
  std::string LeCampo(int field, int index) override;
  uint16_t GravaCampoString(int field, int index, const std::string &text) override;
  std::string LeMensagens(int id) override;
  void EnviaArquivoErroPDV(int code, const std::string &text) override;
  int AutorizaTransacao(const TRequestLayout *layout, THandle statusLabel, int mode) override;
  bool PermiteAlterarDados() override;
  bool VerificaServico5(const std::string &prefix, int mode) override;
  bool VerificaServico5Perguntas(std::vector<TPergunta> &perguntas,
                                 TRespostasPerguntas &respostas) override;
  void Leitura_Dados_ServicoQ_Timeout_Venezuela() override;
  void Monta_Comprovante_ServicoQ_Timeout_Venezuela() override;
  char ValKeyBoard(char &key) override;
  void PermiteNumerico_BS_Enter(char &key) override;
  std::string RemoveFormato(const std::string &text) override;
  std::string Dollar(const std::string &digits) override;
  bool VerificaCPF(const std::string &text) override;
  bool VerificaCNPJ(const std::string &text) override;
  std::string PreencherZerosEsquerda(const std::string &text, int width) override;
  std::string CopyString(const std::string &source, int a, int b) override;
  std::string GetBuildInfo(const std::string &moduleFile) override;
  uint16_t LerSenha(THandle window, const std::string &prompt1, const std::string &prompt2,
                    int mode, char title[128]) override;
  uint16_t ObtemCampoPinpad(THandle window, const std::string &question, const std::string &prompt,
                            char title[128], int minLen, int maxLen) override;
  bool FazConsultaBinsRedeDestino(int mode, THandle statusLabel) override;
  void GravaAudit(int kind, const std::string &text) override;
  void ColocaJanelaEmPrimeiroPlano(THandle window) override;

private:
  void Registra(std::string nome, std::vector<std::string> args);
  uint16_t Escreve(int campo, int indice, std::string valor);
  void Aplica(const TResposta &r);

  bool fInstalado = false;
  TStore fStore, fSalvo;
  int fSaves = 0;
  std::optional<int> fCupomNegada;
  std::vector<TChamada> fChamadas;
  int fEscritas = 0;
  std::set<int> fFalhaEscrita, fCamposQueFalham;
  std::deque<TResposta> fRespostas;
  TResposta fRespostaPadrao;
  std::vector<std::vector<cheque::layout::TEntradaDecodificada>> fRequisicoes;
  std::vector<uint32_t> fCodigos;
  std::vector<TPergunta> fPerguntas;
  std::string fPrefixo = "PERG:";
  uint16_t fStatusPinpad = 0;
  std::deque<std::string> fRespostasPinpad;
  std::deque<std::pair<bool, TResposta>> fRespostasBin;
  std::map<int, std::string> fMensagens;
  std::string fVersao = "1.0.0.0";
  std::vector<std::pair<int, std::string>> fErrosPdv;
  std::vector<std::string> fAudit;
};
