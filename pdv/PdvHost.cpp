// The reference host's state: the field store, the simulated authoriser, PIN
// pad and BIN lookup, the audit trail and what went to the point of sale.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

#include "PdvHost.h"
#include "platform/forms/Forms.h"
#include "platform/operator/Privacy.h"
#include "platform/operator/Transcript.h"
#include "platform/system/IniFiles.h"
#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"

namespace pdv {

namespace {
std::string Hex2(uint32_t v) {
  char b[16];
  const int n = std::snprintf(b, sizeof b, "%02X", v);
  return std::string(b, n > 0 ? static_cast<size_t>(n) : 0);
}

// "dd/mm/yyyy hh:mm:ss" of the wall clock (the audit trail is for people).
std::string Agora() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char b[32];
  return std::string(b, std::strftime(b, sizeof b, "%d/%m/%Y %H:%M:%S", &tm));
}
} // namespace

// Fields whose values identify the customer or open the account: the CMC-7 line, the CPF/CNPJ,
// the account number, the cheque data (a CMC-7 line or bank, agency and account), the card or
// guarantee key and the PIN-pad answer. The logs show them masked.
bool CampoPessoal(int32_t campo) {
  switch (campo) {
  case 1005:
  case 1007:
  case 1032:
  case 10104:
  case 10146:
  case 10167:
    return true;
  default:
    return false;
  }
}

std::string FormataParaLog(const TStore &store) {
  if (!Privacy().Masking()) return FormataArquivoTransacao(store);
  std::string out;
  for (const auto &[chave, valor] : store) {
    // One value at a time, so that a large store is not copied whole.
    const std::string mascarado = CampoPessoal(chave.first) ? MaskValue(std::string(valor)) : "";
    out += FormataArquivoTransacao(
        TStore{{chave, CampoPessoal(chave.first) ? std::string_view(mascarado) : valor}});
  }
  return out;
}

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
  fFalhasErroPdv.clear();
  fPedidosSalvamento = 0;
  fUltimoFalhou = false;
  fMensagens.clear();
  fCenario = std::make_unique<TCenario>(TCenario::Padrao());
  fArquivoAudit.clear();
  fAuditPerdidas = 0;
  fFalhaAudit.clear();
  fErrosPdv.clear();
  fCupomNegada.reset();
  fAutorizacoes = 0;
  fRespostaNaoSalva = false;
  fRespostasPinpadUsadas = fCartoesUsados = 0;
  fConsultasBins = 0;
  fEscritorStatus = nullptr;
  // The resolver stays: the module hands it over once, when it is loaded.
}

// ---- Field store

std::optional<std::string> TPdvHost::Campo(int32_t campo, int32_t indice) const {
  const auto v = fStore.Valor({campo, indice});
  if (!v) return std::nullopt;
  return std::string(*v);
}

void TPdvHost::EventoCampo(int32_t campo, int32_t indice, const std::string *valor) {
  if (!fEventosCampo) return;
  TTranscript::Json j = {{"field", campo}};
  if (valor) {
    j["index"] = indice;
    const bool mascara = Privacy().Masking() && CampoPessoal(campo);
    j["value"] = TTranscript::Text(mascara ? MaskValue(*valor) : *valor);
  } else {
    j["removed"] = true;
  }
  Transcript().Add("field", std::move(j));
}

uint16_t TPdvHost::GravaCampo(int32_t campo, int32_t indice, const std::string &valor) {
  if (campo < 0 || indice < 0) return VELKOR_ERRO;
  EventoCampo(campo, indice, &valor);
  fStore.Define({campo, indice}, valor);
  return VELKOR_OK;
}

bool TPdvHost::DefineCampo(int32_t campo, int32_t indice, const std::string &valor) {
  return GravaCampo(campo, indice, valor) == VELKOR_OK;
}

void TPdvHost::RemoveCampo(int32_t campo) {
  if (fStore.RemoveCampo(campo) > 0) EventoCampo(campo, 0, nullptr);
}

std::optional<std::string_view> TPdvHost::LeCampo(int32_t campo, int32_t indice) const {
  return fStore.Valor({campo, indice});
}

void TPdvHost::DefineCampoTexto(const std::string &atribuicao) {
  const auto [chave, valor] = LeAtribuicao(atribuicao);
  DefineCampo(chave.first, chave.second, valor);
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
  TStore lido = LeTextoTransacao(LeArquivoInteiro(path, kLimiteArquivoTransacao), path);
  // The usual case, a store still empty, takes the file's as it is: no second copy.
  if (fStore.empty()) {
    fStore = std::move(lido);
    return;
  }
  for (const auto &[chave, valor] : lido) fStore.Define(chave, valor);
}

void TPdvHost::SalvaArquivoTransacao(const std::string &path) const {
  // Piece by piece: the file's text is never held whole beside the store.
  TFormatador formatador(fStore);
  GravaArquivoAtomico(path, [&](std::string &pedaco) { return formatador.Proximo(pedaco); });
}

void TPdvHost::GravaArquivo() {
  ++fPedidosSalvamento;
  fUltimoFalhou = true;
  try {
    SalvaArquivoTransacao(fArquivoTransacao);
    fUltimoFalhou = false;
    fRespostaNaoSalva = false;
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
    fFalhasErroPdv.push_back(e.what());
  }
}

void TPdvHost::Audit(int32_t tipo, const std::string &textoRecebido) {
  // The audit trail is free text: whatever long number a module writes into it is masked.
  const std::string texto = LoggedText(textoRecebido);
  Transcript().Add("audit", {{"text", TTranscript::Text(texto)}});
  static const std::string kConfiguracao = CP1252("Arquivo de configuração: ");
  if (texto.starts_with(kConfiguracao) && fProblemasConfig.size() < 32)
    fProblemasConfig.push_back(texto.substr(kConfiguracao.size()));
  if (fArquivoAudit.empty()) return;
  const std::string linha = Agora() + " " + std::to_string(tipo) + " " + texto;
  // The trail is the support's, not the sale's: a line that cannot be written does not stop
  // the call, but it is counted, so that nobody takes the file for the whole trail.
  const std::string utf8 = Cp1252ToUtf8(linha) + "\n";
  std::FILE *f = OpenPrivateFile(fArquivoAudit, true);
  bool ok = f && std::fwrite(utf8.data(), 1, utf8.size(), f) == utf8.size();
  ok = f && std::fclose(f) == 0 && ok; // a full disk often shows only when the line is flushed
  if (!ok && fAuditPerdidas++ == 0) fFalhaAudit = std::strerror(errno);
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
                                                     const auto v = LeCampo(c, i);
                                                     if (v) out = *v;
                                                     return v.has_value();
                                                   });
  if (Privacy().Masking())
    for (auto &e : entradas) {
      using T = cheque::layout::TEntradaDecodificada::Tipo;
      if (e.tipo == T::Texto) e.valor = Privacy().LoggedBuffer(e.valor); // as the module says
      if (e.tipo == T::Campo && CampoPessoal(e.campo)) e.valor = MaskValue(e.valor);
    }
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
  fRespostaNaoSalva = true;
  Status(rotulo, Utf8ToCp1252("Resposta recebida."));
  const auto r = LeCampo(1009, 0);
  return r ? StrToIntDef(std::string(*r), 255) : 255;
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
  fRespostaNaoSalva = true;
}

void TPdvHost::ComprovanteTimeoutVenezuela() {
  // The receipt: the two header lines the module left, then the scenario's
  // lines.
  std::vector<std::string> linhas;
  for (int32_t campo : {10218, 10232})
    if (const auto v = LeCampo(campo, 0)) linhas.emplace_back(*v);
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
