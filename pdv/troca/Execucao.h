// One operation of the service run through the reference host and the module: the request's
// fields put into a fresh field store, the export called, the outcome read back from the store.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Servico.h"

namespace troca {

struct TConfigExecucao {
  // Calls one of the module's exports ("ExecutaConsultaCheque", "ExecutaFuncaoADM",
  // "ExecutaGenerico") with an operation number.
  std::function<void(const std::string &exportacao, int numero)> chama;
  // Puts the host back as the options configure it (messages, scenario, files), before
  // each operation.
  std::function<void()> preparaHost;
  bool venezuela = false;            // CNC is the Venezuelan cancellation (ADM 1)
  std::vector<std::string> roteiros; // operator scripts, one per operation in turn
};

// The executor the service calls; keeps its place in the scripts.
TExecutor Executor(TConfigExecucao cfg);

// The export and operation number a request runs: CHQ the consultation; CNC the guarantee
// cancellation; ADM by its field 011-000 (6 or 1 the cancellations, 11 the Telecheque rate
// table; the cancellation without it). False with `motivo` when the request names no known one.
bool Exportacao(const std::string &operacao, const TPedido &pedido, bool venezuela,
                std::string &exportacao, int &numero, std::string &motivo);

// The folder's scripts in name order (files only); empty when `dir` is "".
std::vector<std::string> RoteirosDaPasta(const std::string &dir);

} // namespace troca
