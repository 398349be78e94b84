// The file-exchange service: waits for the point of sale's requests in DIR/req, answers in
// DIR/resp, one transaction at a time, and keeps the journal DIR/troca.db.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "Troca.h"

namespace troca {

// Runs one operation of the module for a request: fills the store from the request, calls
// the export, and gives the outcome. `store` is the store after the call as the journal keeps
// it.
struct TSaida {
  TResultado resultado;
  std::string store;
};
// `operacao`: "CHQ", "CNC" or "ADM".
using TExecutor = std::function<TSaida(const std::string &operacao, const TPedido &pedido)>;

struct TConfigServico {
  std::string dir;
  bool linhaOciosa = false; // show the idle line (standard output is a terminal)
};

// Serves until SIGTERM or SIGINT (the transaction under way is finished first). The exit
// status: 0 after a signal, 3 when the folders or the journal cannot be used (the reason on
// standard error).
int Atende(const TConfigServico &cfg, const TExecutor &executa);

} // namespace troca
