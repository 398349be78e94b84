// The service's journal: one row per transaction in an SQLite database beside the folders,
// written in WAL mode with synchronous FULL, so that each state change is on the disk before
// the service acts on it and a power cut leaves the last committed state.
//
//   transacao(id, estado, operacao, identificacao, pedido, resposta, store, nota,
//             entregue, recebido, alterado)
// estado: recebida, executando, respondida, confirmada, desfeita. `entregue` is 1 once the
// response file was renamed into place. Times are UTC, ISO 8601.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace troca {

struct TTransacao {
  int64_t id = 0;
  std::string estado, operacao, identificacao, pedido, resposta, store, nota;
  bool entregue = false;
};

class TDiario {
public:
  // Opens (creates) the database; throws std::runtime_error with SQLite's reason.
  explicit TDiario(const std::string &caminho);
  ~TDiario();
  TDiario(const TDiario &) = delete;
  TDiario &operator=(const TDiario &) = delete;

  // A new transaction in state "recebida"; its id.
  int64_t Recebe(const std::string &operacao, const std::string &identificacao,
                 const std::string &pedido);
  void Estado(int64_t id, const std::string &estado, const std::string &nota = "");
  // The response and the store after the call, committed together with state "respondida"
  // (entregue 0) before the response file is written.
  void Responde(int64_t id, const std::string &resposta, const std::string &store);
  void Entregue(int64_t id);

  std::optional<TTransacao> Le(int64_t id) const;
  // Transactions in one of the states, oldest first.
  std::vector<TTransacao> EmEstado(const std::vector<std::string> &estados) const;
  // The answered transaction that waits for its confirmation, if any (the latest).
  std::optional<TTransacao> Pendente() const;

private:
  sqlite3 *fDb = nullptr;
  void Executa(const char *sql);
};

} // namespace troca
