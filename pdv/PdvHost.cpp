// The reference host's state: the field store, the simulated authoriser, PIN
// pad and BIN lookup, the audit trail and what went to the point of sale.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

#include "PdvHost.h"
#include "platform/Forms.h"
#include "platform/IniFiles.h"
#include "platform/StrUtils.h"
#include "platform/Transcript.h"

namespace pdv {

namespace {
std::string Hex2(uint32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "%02X", v);
  return b;
}

// "dd/mm/yyyy hh:mm:ss" of the wall clock (the audit trail is for people).
std::string Agora() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char b[32];
  std::strftime(b, sizeof b, "%d/%m/%Y %H:%M:%S", &tm);
  return b;
}
} // namespace

TPdvHost &TPdvHost::Instancia() {
  static TPdvHost host;
  return host;
}

TPdvHost::TPdvHost() {
  Reinicia();
}

void TPdvHost::Reinicia() {
  fStore.clear();
  fEventosCampo = false;
  fArquivoTransacao = "transacao.txt";
  fSalvamentos.clear();
  fFalhasSalvamento.clear();
  fMensagens.clear();
  fCenario = std::make_unique<TCenario>(TCenario::Padrao());
  fArquivoAudit.clear();
  fLinhasAudit.clear();
  fErrosPdv.clear();
  fCupomNegada.reset();
  fAutorizacoes = 0;
  fRespostasPinpadUsadas = fCartoesUsados = 0;
  fConsultasBins = 0;
  fEscritorStatus = nullptr;
  // The resolver stays: the module hands it over once, when it is loaded.
}

// ---- Field store

std::optional<std::string> TPdvHost::Campo(int32_t campo, int32_t indice) const {
  auto it = fStore.find({campo, indice});
  if (it == fStore.end()) return std::nullopt;
  return it->second;
}

void TPdvHost::EventoCampo(int32_t campo, int32_t indice, const std::string *valor) {
  if (!fEventosCampo) return;
  TTranscript::Json j = {{"field", campo}};
  if (valor) {
    j["index"] = indice;
    j["value"] = TTranscript::Text(*valor);
  } else {
    j["removed"] = true;
  }
  Transcript().Add("field", std::move(j));
}

uint16_t TPdvHost::GravaCampo(int32_t campo, int32_t indice, std::string valor) {
  if (campo < 0 || indice < 0) return VELKOR_ERRO;
  EventoCampo(campo, indice, &valor);
  fStore[{campo, indice}] = std::move(valor);
  return VELKOR_OK;
}

bool TPdvHost::DefineCampo(int32_t campo, int32_t indice, std::string valor) {
  return GravaCampo(campo, indice, std::move(valor)) == VELKOR_OK;
}

void TPdvHost::RemoveCampo(int32_t campo) {
  auto ini = fStore.lower_bound({campo, INT32_MIN});
  auto fim = fStore.upper_bound({campo, INT32_MAX});
  if (ini == fim) return;
  fStore.erase(ini, fim);
  EventoCampo(campo, 0, nullptr);
}

const std::string *TPdvHost::LeCampo(int32_t campo, int32_t indice) const {
  auto it = fStore.find({campo, indice});
  return it == fStore.end() ? nullptr : &it->second;
}

void TPdvHost::DefineCampoTexto(const std::string &atribuicao) {
  auto [chave, valor] = LeAtribuicao(atribuicao);
  DefineCampo(chave.first, chave.second, std::move(valor));
}

void TPdvHost::Aplica(const std::vector<TOperacao> &operacoes) {
  for (const TOperacao &op : operacoes) {
    if (op.valor)
      GravaCampo(op.campo, op.indice, *op.valor);
    else
      RemoveCampo(op.campo);
  }
}

// ---- Transaction file

void TPdvHost::CarregaArquivoTransacao(const std::string &path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw TErroArquivo(path, 0, "não foi possível abrir o arquivo");
  std::ostringstream ss;
  ss << f.rdbuf();
  for (auto &[chave, valor] : LeTextoTransacao(ss.str(), path)) fStore[chave] = std::move(valor);
}

void TPdvHost::SalvaArquivoTransacao(const std::string &path) const {
  GravaArquivoAtomico(path, FormataArquivoTransacao(fStore));
}

void TPdvHost::GravaArquivo() {
  try {
    SalvaArquivoTransacao(fArquivoTransacao);
    fSalvamentos.push_back(fArquivoTransacao);
    Transcript().Add("save", {{"path", fArquivoTransacao}, {"values", fStore.size()}});
  } catch (const std::exception &e) {
    fFalhasSalvamento.push_back(e.what());
    Transcript().Add("save", {{"path", fArquivoTransacao}, {"error", e.what()}});
  }
}

// ---- Reporting

std::string TPdvHost::ArquivoErroPdv() const {
  return ExtractFilePath(fArquivoTransacao) + "erro_pdv.txt";
}

void TPdvHost::EnviaErroPdv(int32_t codigo, const std::string &texto) {
  fErrosPdv.push_back({codigo, texto});
  Transcript().Add("pdv_error", {{"code", codigo}, {"text", TTranscript::Text(texto)}});
  // The point of sale reads the last error beside the transaction file.
  std::string conteudo =
      "codigo = " + std::to_string(codigo) + "\ntexto = " + EscapaValor(texto) + "\n";
  try {
    GravaArquivoAtomico(ArquivoErroPdv(), conteudo);
  } catch (const std::exception &e) {
    fFalhasSalvamento.push_back(e.what());
  }
}

void TPdvHost::Audit(int32_t tipo, const std::string &texto) {
  std::string linha = Agora() + " " + std::to_string(tipo) + " " + texto;
  fLinhasAudit.push_back(linha);
  Transcript().Add("audit", {{"text", TTranscript::Text(texto)}});
  if (fArquivoAudit.empty()) return;
  if (std::FILE *f = std::fopen(fArquivoAudit.c_str(), "ab")) {
    std::string utf8 = Cp1252ToUtf8(linha) + "\n";
    std::fwrite(utf8.data(), 1, utf8.size(), f);
    std::fclose(f);
  }
}

// ---- Authorisation

void TPdvHost::Status(TChequeHandle rotulo, const std::string &texto) {
  if (fEscritorStatus) {
    fEscritorStatus(rotulo, texto);
    return;
  }
  if (rotulo != 0) reinterpret_cast<TControl *>(rotulo)->SetCaption(texto);
}

int32_t TPdvHost::Autoriza(const TRequestLayout *layout, TChequeHandle rotulo, int32_t modo) {
  int n = ++fAutorizacoes;
  if (!layout) {
    Transcript().Add("authorize", {{"n", n}, {"error", "no layout"}});
    return 255;
  }
  Status(rotulo, Utf8ToCp1252("Conectando ao autorizador..."));
  auto entradas = cheque::layout::DecodificaLayout(*layout, fResolvedor,
                                                   [this](int c, int i, std::string &out) {
                                                     const std::string *v = LeCampo(c, i);
                                                     if (v) out = *v;
                                                     return v != nullptr;
                                                   });
  Status(rotulo, Utf8ToCp1252("Enviando a solicitação..."));
  Transcript().Add(
      "authorize",
      {{"n", n},
       {"code", layout->Codigo},
       {"code_hex", Hex2(layout->Codigo)},
       {"mode", modo},
       {"entries", cheque::layout::EntradasJson<TTranscript::Json>(entradas, &TTranscript::Text)}});
  Status(rotulo, Utf8ToCp1252("Aguardando a resposta..."));
  Aplica(fCenario->OperacoesAutorizacao(n));
  Status(rotulo, Utf8ToCp1252("Resposta recebida."));
  const std::string *r = LeCampo(1009, 0);
  return r ? StrToIntDef(*r, 255) : 255;
}

const TCenario::TServico5 *TPdvHost::Servico5Atual() const {
  if (fAutorizacoes == 0) return nullptr;
  const TCenario::TServico5 *s = fCenario->Servico5(fAutorizacoes);
  return s && !s->perguntas.empty() ? s : nullptr;
}

void TPdvHost::LeituraTimeoutVenezuela() {
  // The time-out data: whatever the scenario's [timeout_venezuela] writes or
  // removes.
  std::vector<TOperacao> ops;
  for (int32_t c : fCenario->timeoutDados.remove) ops.push_back({c, 0, std::nullopt});
  for (const auto &[k, v] : fCenario->timeoutDados.grava) ops.push_back({k.first, k.second, v});
  Aplica(ops);
}

void TPdvHost::ComprovanteTimeoutVenezuela() {
  // The receipt: the two header lines the module left, then the scenario's
  // lines.
  std::vector<std::string> linhas;
  for (int32_t campo : {10218, 10232})
    if (const std::string *v = LeCampo(campo, 0)) linhas.push_back(*v);
  for (const std::string &l : fCenario->timeoutLinhas) linhas.push_back(l);
  RemoveCampo(20018);
  for (size_t i = 0; i < linhas.size(); ++i) GravaCampo(20018, static_cast<int32_t>(i), linhas[i]);
  GravaCampo(20128, 0, std::to_string(linhas.size()));
}

// ---- PIN pad and BIN lookup

uint16_t TPdvHost::Senha() {
  return fCenario->senha;
}

uint16_t TPdvHost::CampoPinpad(int32_t minimo, int32_t maximo) {
  if (fCenario->pinpad != 0) return fCenario->pinpad;
  if (fRespostasPinpadUsadas >= fCenario->respostasPinpad.size())
    return 1; // nothing more to type: no answer
  const std::string &resposta = fCenario->respostasPinpad[fRespostasPinpadUsadas++];
  // The answer is used up even when refused, so that answer N always belongs
  // to the N-th question asked.
  int64_t tamanho = static_cast<int64_t>(resposta.size());
  if (tamanho < minimo || (maximo > 0 && tamanho > maximo)) return 1;
  GravaCampo(10146, 0, resposta);
  return 0;
}

bool TPdvHost::ConsultaBins(int32_t modo, TChequeHandle rotulo) {
  int n = ++fConsultasBins;
  Status(rotulo, Utf8ToCp1252("Consultando a rede de destino..."));
  auto it = fCenario->binsN.find(n);
  const TCenario::TBins *propria = it != fCenario->binsN.end() ? &it->second : nullptr;
  // Mode 1 follows the card read of the question exchange: the card's answer
  // goes to 10104. A card given for this very lookup leaves the [pinpad] list
  // where it is.
  if (modo == 1) {
    if (propria && propria->cartao)
      GravaCampo(10104, 0, *propria->cartao);
    else if (fCartoesUsados < fCenario->cartoes.size())
      GravaCampo(10104, 0, fCenario->cartoes[fCartoesUsados++]);
  }
  const std::optional<std::string> &rede =
      propria && propria->rede ? propria->rede : fCenario->binsRede;
  if (rede) GravaCampo(10112, 0, *rede);
  return propria && propria->ok ? *propria->ok : fCenario->binsOk;
}

} // namespace pdv
