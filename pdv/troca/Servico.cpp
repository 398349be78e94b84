#include "Servico.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <thread>

#include "Diario.h"
#include "Pasta.h"
#include "PdvHost.h"

namespace troca {

namespace {

volatile std::sig_atomic_t gParar = 0;

// How long a request that cannot be read yet (a scanner holding it, a lock) is tried again.
constexpr auto kEsperaLeitura = std::chrono::seconds(5);
constexpr int kEsperaTrocaMs = 5000;
const char *const kPedido = "IntPos.001";
const char *const kStatus = "IntPos.Sts";

// Removes every entry of `dir` named `nome` whatever its case.
void RemoveTodos(const std::string &dir, const char *nome) {
  for (std::string p; !(p = pasta::Procura(dir, nome)).empty();)
    if (!pasta::Remove(p, kEsperaTrocaMs)) break;
}

std::string Agora(const char *formato) {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[16];
  return std::strftime(buf, sizeof buf, formato, &tm) ? buf : "";
}

// The response file's fields, ordered by field and index as the point of sale lists them.
TCampos Ordena(TCampos c) {
  std::stable_sort(c.begin(), c.end(),
                   [](const auto &a, const auto &b) { return a.first < b.first; });
  return c;
}

class TServico {
public:
  TServico(const TConfigServico &cfg, const TExecutor &executa)
      : fCfg(cfg), fExecuta(executa), fReq(cfg.dir + "/req"), fResp(cfg.dir + "/resp") {}
  int Roda();

private:
  const TConfigServico &fCfg;
  const TExecutor &fExecuta;
  std::string fReq, fResp;
  std::unique_ptr<TDiario> fDiario;
  // Transactions undone without the point of sale knowing yet: told in the next response.
  std::vector<int64_t> fAnunciar;
  int fAtendidos = 0;
  bool fLinhaMostrada = false;

  void Recupera();
  void Processa(const std::string &caminho);
  void Transacao(const TPedido &pedido, const std::string &bytes);
  bool LeComEspera(const std::string &caminho, std::string &bytes, std::string &motivo);
  void EscreveStatus(const TPedido &pedido);
  void EscreveResposta(int64_t id, const std::string &texto);
  void Responde(int64_t id, TCampos campos, const std::string &store);
  void Refusa(const TPedido &lido, const std::string &bytes, const std::string &motivo);
  void LinhaOciosa();
};

void TServico::LinhaOciosa() {
  if (!fCfg.linhaOciosa) return;
  (void)std::printf("\r\033[Kchequepdv atende %s: waiting for the point of sale (%d answered)",
                    fCfg.dir.c_str(), fAtendidos);
  (void)std::fflush(stdout);
  fLinhaMostrada = true;
}

// The status file says the request was taken; it is not kept across a power cut (the point of
// sale that misses it asks again), so it is renamed into place without syncing.
void TServico::EscreveStatus(const TPedido &pedido) {
  TCampos c = {{"000-000", pedido.Operacao()}, {"001-000", pedido.Identificacao()}};
  const std::string texto = FormataMensagem(c);
  const std::string tmp = fResp + "/IntPos.Sts.tmp";
  RemoveTodos(fResp, kStatus);
  if (!pasta::PoeNoLugar(tmp, fResp + "/" + kStatus, texto))
    throw std::runtime_error(fResp + "/" + kStatus + ": " + std::strerror(errno));
}

// The response is durable before it is in place: written whole under another name, synced,
// renamed, the folder synced; only then is it marked delivered.
void TServico::EscreveResposta(int64_t id, const std::string &texto) {
  RemoveTodos(fResp, kPedido);
  pdv::GravaArquivoAtomico(fResp + "/" + kPedido, texto);
  fDiario->Entregue(id);
}

void TServico::Responde(int64_t id, TCampos campos, const std::string &store) {
  for (int64_t d : fAnunciar) {
    campos.emplace_back("027-001", std::to_string(d));
    campos.emplace_back("030-001", "TRANSACAO " + std::to_string(d) + " DESFEITA");
    break; // one at a time can be pending: the last one told
  }
  const std::string texto = FormataMensagem(Ordena(std::move(campos)));
  fDiario->Responde(id, texto, store);
  fAnunciar.clear();
  EscreveResposta(id, texto);
}

void TServico::Refusa(const TPedido &lido, const std::string &bytes, const std::string &motivo) {
  const int64_t id = fDiario->Recebe(lido.Operacao(), lido.Identificacao(), bytes);
  EscreveStatus(lido);
  TCampos c = {
      {"000-000", lido.Operacao()},       {"001-000", lido.Identificacao()}, {"009-000", "1"},
      {"030-000", ParaAscii(motivo, 40)}, {"012-000", std::to_string(id)},   {"729-000", "1"}};
  Responde(id, std::move(c), "");
}

bool TServico::LeComEspera(const std::string &caminho, std::string &bytes, std::string &motivo) {
  const auto limite = std::chrono::steady_clock::now() + kEsperaLeitura;
  for (;;) {
    if (pasta::Tamanho(caminho) > static_cast<long long>(kLimitePedido)) {
      // Its first lines still name the operation and the point of sale to answer.
      motivo = "PEDIDO MAIOR QUE 64 KB";
      bytes = pasta::Inicio(caminho, 4096);
      return false;
    }
    try {
      bytes = pdv::LeArquivoInteiro(caminho, kLimitePedido);
      return true;
    } catch (const pdv::TErroArquivo &e) {
      if (errno == ENOENT) return false; // gone: the point of sale took it back
      if (std::chrono::steady_clock::now() >= limite) {
        motivo = "PEDIDO ILEGIVEL";
        return false;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

void TServico::Processa(const std::string &caminho) {
  std::string bytes, motivo;
  const bool lido = LeComEspera(caminho, bytes, motivo);
  // A request that stays would be taken again and again.
  if (!pasta::Remove(caminho, kEsperaTrocaMs))
    throw std::runtime_error(caminho + ": cannot delete the request (" + std::strerror(errno) +
                             ")");
  if (!lido && motivo.empty()) return;
  // A response the point of sale left unread belongs to a transaction it gave up on.
  RemoveTodos(fResp, kPedido);
  TPedido pedido;
  std::string ignorado;
  if (lido && LePedido(bytes, pedido, motivo))
    Transacao(pedido, bytes);
  else if (lido)
    Refusa(pedido, bytes, motivo);
  else
    Refusa((LePedido(bytes, pedido, ignorado), pedido), bytes, motivo);
  ++fAtendidos;
}

void TServico::Transacao(const TPedido &pedido, const std::string &bytes) {
  const std::string op = pedido.Operacao();
  if (op == "ATV") return EscreveStatus(pedido);
  if (op == "CNF" || op == "NCN") {
    const auto p = fDiario->Pendente();
    const std::string token = pedido.Valor("027-000");
    if (p && (token.empty() || token == std::to_string(p->id)))
      fDiario->Estado(p->id, op == "CNF" ? "confirmada" : "desfeita",
                      op == "CNF" ? "" : "desfeita pelo PDV");
    return EscreveStatus(pedido);
  }
  if (op != "CHQ" && op != "CNC" && op != "ADM")
    return Refusa(pedido, bytes, "OPERACAO " + op + " DESCONHECIDA");

  const int64_t id = fDiario->Recebe(op, pedido.Identificacao(), bytes);
  // Another transaction begins: the one the point of sale never confirmed is undone.
  if (const auto p = fDiario->Pendente(); p && p->id != id) {
    fDiario->Estado(p->id, "desfeita", "sem confirmacao antes da transacao " + std::to_string(id));
    fAnunciar.push_back(p->id);
  }
  EscreveStatus(pedido);
  fDiario->Estado(id, "executando");
  if (fLinhaMostrada) {
    (void)std::printf("\r\033[K");
    (void)std::fflush(stdout);
    fLinhaMostrada = false;
  }
  const TSaida s = fExecuta(op, pedido);
  const TResultado &r = s.resultado;
  TCampos c = {{"000-000", op},
               {"001-000", pedido.Identificacao()},
               {"009-000", r.status},
               {"012-000", std::to_string(id)},
               {"022-000", Agora("%d%m%Y")},
               {"023-000", Agora("%H%M%S")},
               {"027-000", std::to_string(id)},
               {"028-000", std::to_string(r.cupom.size())},
               {"030-000", r.texto},
               {"729-000", r.status == "0" ? "2" : "1"}};
  if (pedido.Tem("002-000")) c.emplace_back("002-000", pedido.Valor("002-000"));
  if (!r.valor.empty()) c.emplace_back("003-000", r.valor);
  if (!r.rede.empty()) c.emplace_back("010-000", r.rede);
  for (size_t i = 0; i < r.cupom.size(); ++i) {
    std::string n = std::to_string(i + 1);
    c.emplace_back("029-" + std::string(n.size() < 3 ? 3 - n.size() : 0, '0') + n, r.cupom[i]);
  }
  Responde(id, std::move(c), s.store);
}

// What a power cut or a kill left: a transaction under way is undone and the point of sale,
// still waiting, gets a response that says so; an answer it has not read yet is put in place
// again whole; an answer it read but never confirmed is undone and told in the next response.
void TServico::Recupera() {
  const std::string presente = pasta::Procura(fResp, kPedido);
  for (const TTransacao &t : fDiario->EmEstado({"recebida", "executando", "respondida"})) {
    const bool confirmar = t.resposta.find("\r\n729-000 = 2\r\n") != std::string::npos;
    if (t.estado == "respondida" && !t.entregue) {
      EscreveResposta(t.id, t.resposta);
    } else if (t.estado == "respondida") {
      if (confirmar && presente.empty()) {
        fDiario->Estado(t.id, "desfeita", "sem confirmacao ao reiniciar");
        fAnunciar.assign(1, t.id);
      }
    } else {
      TCampos c = {{"000-000", t.operacao},
                   {"001-000", t.identificacao},
                   {"009-000", "1"},
                   {"012-000", std::to_string(t.id)},
                   {"030-000", "TRANSACAO INTERROMPIDA - DESFEITA"},
                   {"729-000", "1"}};
      const std::string texto = FormataMensagem(Ordena(std::move(c)));
      fDiario->Responde(t.id, texto, t.store);
      fDiario->Estado(t.id, "desfeita", "interrompida ao reiniciar");
      EscreveResposta(t.id, texto);
    }
  }
}

int TServico::Roda() {
  if (!pasta::CriaPasta(fCfg.dir) || !pasta::CriaPasta(fReq) || !pasta::CriaPasta(fResp)) {
    (void)std::fprintf(stderr, "chequepdv: %s: cannot make req/ and resp/ (%s)\n", fCfg.dir.c_str(),
                       std::strerror(errno));
    return 3;
  }
  try {
    const std::string db = fCfg.dir + "/troca.db";
    // The journal holds the customers' requests: the owner's only.
    pasta::CriaPrivado(db);
    fDiario = std::make_unique<TDiario>(db);
    Recupera();
  } catch (const std::exception &e) {
    (void)std::fprintf(stderr, "chequepdv: %s\n", e.what());
    return 3;
  }
  pasta::AoPedirParada(&gParar);
  if (fCfg.linhaOciosa) pasta::PreparaTerminal();
  pasta::TAviso aviso(fReq);
  int status = 0;
  while (!gParar) {
    const std::string caminho = pasta::Procura(fReq, kPedido);
    if (caminho.empty()) {
      LinhaOciosa();
      aviso.Espera();
      continue;
    }
    try {
      Processa(caminho);
    } catch (const std::exception &e) {
      // The folders or the journal failed under the service: nothing can be answered.
      (void)std::fprintf(stderr, "chequepdv: %s\n", e.what());
      status = 3;
      break;
    }
  }
  if (fLinhaMostrada) (void)std::printf("\n");
  return status;
}

} // namespace

int Atende(const TConfigServico &cfg, const TExecutor &executa) {
  TServico s(cfg, executa);
  return s.Roda();
}

} // namespace troca
