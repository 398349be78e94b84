// A host for the module's in-process tests: an in-memory field store and scripted services.
// It records the calls tests look at (name and arguments as texts: the store's reads and
// writes, authorisations, PIN pad, BIN lookup, version, the Venezuelan receipt as "ServicoQ"), can
// be told to fail a write, answers authorisations, PIN-pad requests and BIN lookups from queues the
// test fills. The input functions are the reference host's own code.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <cheque/funcoes.h>

#include "host/Host.h"

namespace fn = cheque::funcoes;

class TFakeHost : public IHost {
public:
  struct TChamada {
    std::string nome;              // function name, e.g. "GravaCampoString"
    std::vector<std::string> args; // its arguments as texts (numbers in decimal)
  };
  // One write to the store.
  struct TOperacao {
    int campo = 0;
    int indice = 0;
    std::string valor;
    static TOperacao Grava(int campo, int indice, std::string valor) {
      return {campo, indice, std::move(valor)};
    }
  };
  using TResposta = std::vector<TOperacao>;
  using TStore = std::map<std::pair<int, int>, std::string>;

  ~TFakeHost() override {
    if (fInstalado) SetHost(nullptr);
  }
  // Installs itself as the host in force for its lifetime (SetHost), when asked.
  void Instala() {
    SetHost(this);
    fInstalado = true;
  }

  // ---- Store, as a test sees it
  TStore &Store() { return fStore; }
  void Set(int campo, int indice, const std::string &valor) { fStore[{campo, indice}] = valor; }
  std::optional<std::string> Get(int campo, int indice = 0) const {
    const auto it = fStore.find({campo, indice});
    return it == fStore.end() ? std::nullopt : std::optional(it->second);
  }
  bool Has(int campo, int indice = 0) const { return fStore.count({campo, indice}) != 0; }
  int SaveCount() const { return fSaves; }
  const TStore &SavedStore() const { return fSalvo; } // the store at the last save
  std::optional<int> CupomNegada() const { return fCupomNegada; }

  // ---- Recorded calls
  std::vector<TChamada> CallsOf(const std::string &nome) const;
  int CountOf(const std::string &nome) const { return static_cast<int>(CallsOf(nome).size()); }
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
  void SetQuestions(std::vector<TPergunta> perguntas) { fPerguntas = std::move(perguntas); }
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
  void VelkorLimpaCampo(int field) override {
    fStore.erase(fStore.lower_bound({field, INT32_MIN}), fStore.upper_bound({field, INT32_MAX}));
  }
  void VelkorGravaArquivo() override {
    ++fSaves;
    fSalvo = fStore;
  }
  void VelkorSetaCupomNegada(int field) override { fCupomNegada = field; }
  std::string LeCampo(int field, int index) override { return Get(field, index).value_or(""); }
  uint16_t GravaCampoString(int field, int index, const std::string &text) override {
    Registra("GravaCampoString", {std::to_string(field), std::to_string(index), text});
    return Escreve(field, index, text);
  }
  std::string LeMensagens(int id) override {
    const auto it = fMensagens.find(id);
    return it != fMensagens.end() ? it->second : "MSG " + std::to_string(id);
  }
  void EnviaArquivoErroPDV(int code, const std::string &text) override {
    fErrosPdv.emplace_back(code, text);
  }
  int AutorizaTransacao(const TRequestLayout *layout, THandle statusLabel, int mode) override;
  bool PermiteAlterarDados() override { return true; }
  bool VerificaServico5(const std::string &prefix, int) override {
    return !fPerguntas.empty() && prefix == "PERG:";
  }
  bool VerificaServico5Perguntas(std::vector<TPergunta> &perguntas,
                                 TRespostasPerguntas &respostas) override;
  void Leitura_Dados_ServicoQ_Timeout_Venezuela() override { Registra("ServicoQ", {"Leitura"}); }
  void Monta_Comprovante_ServicoQ_Timeout_Venezuela() override { Registra("ServicoQ", {"Monta"}); }
  char ValKeyBoard(char &key) override { return key = fn::ValKeyBoard(key); }
  void PermiteNumerico_BS_Enter(char &key) override { key = fn::PermiteNumerico_BS_Enter(key); }
  std::string RemoveFormato(const std::string &text) override { return fn::RemoveFormato(text); }
  std::string Dollar(const std::string &digits) override { return fn::Dollar(digits); }
  bool VerificaCPF(const std::string &text) override { return fn::VerificaCPF(text); }
  bool VerificaCNPJ(const std::string &text) override { return fn::VerificaCNPJ(text); }
  std::string PreencherZerosEsquerda(const std::string &text, int width) override {
    return fn::PreencherZerosEsquerda(text, width);
  }
  std::string CopyString(const std::string &source, int a, int b) override {
    return fn::CopyString(source, a, b);
  }
  std::string GetBuildInfo(const std::string &moduleFile) override {
    Registra("GetBuildInfo", {moduleFile});
    return fVersao;
  }
  uint16_t LerSenha(THandle window, const std::string &prompt1, const std::string &prompt2,
                    int mode, char title[128]) override;
  uint16_t ObtemCampoPinpad(THandle window, const std::string &question, const std::string &prompt,
                            char title[128], int minLen, int maxLen) override;
  bool FazConsultaBinsRedeDestino(int mode, THandle statusLabel) override;
  void GravaAudit(int, const std::string &text) override { fAudit.push_back(text); }
  void ColocaJanelaEmPrimeiroPlano(THandle) override {}

private:
  void Registra(std::string nome, std::vector<std::string> args) {
    fChamadas.push_back({std::move(nome), std::move(args)});
  }
  uint16_t Escreve(int campo, int indice, std::string valor);
  void Aplica(const TResposta &r) {
    for (const TOperacao &op : r) fStore[{op.campo, op.indice}] = op.valor;
  }

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
  uint16_t fStatusPinpad = 0;
  std::deque<std::string> fRespostasPinpad;
  std::deque<std::pair<bool, TResposta>> fRespostasBin;
  std::map<int, std::string> fMensagens;
  std::string fVersao = "1.0.0.0";
  std::vector<std::pair<int, std::string>> fErrosPdv;
  std::vector<std::string> fAudit;
};
