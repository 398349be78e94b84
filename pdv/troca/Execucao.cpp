#include "Execucao.h"

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

#include "PdvHost.h"
#include "platform/system/Sistema.h"

namespace troca {

namespace {

std::optional<std::string> LeDoHost(void *, int32_t campo, int32_t indice) {
  return pdv::TPdvHost::Instancia().Campo(campo, indice);
}

std::string SoDigitos(const std::string &s) {
  std::string out;
  for (char c : s)
    if (c >= '0' && c <= '9') out += c;
  return out;
}

} // namespace

bool Exportacao(const std::string &operacao, const TPedido &pedido, bool venezuela,
                std::string &exportacao, int &numero, std::string &motivo) {
  const int cancelamento = venezuela ? 1 : 6;
  if (operacao == "CHQ") {
    exportacao = "ExecutaConsultaCheque", numero = 0;
    return true;
  }
  const std::string funcao = operacao == "ADM" ? pedido.Valor("011-000") : "";
  exportacao = "ExecutaFuncaoADM";
  if (operacao == "CNC" || (operacao == "ADM" && funcao.empty())) {
    numero = cancelamento;
    return true;
  }
  if (operacao == "ADM" && (funcao == "1" || funcao == "6")) {
    numero = funcao == "1" ? 1 : 6;
    return true;
  }
  if (operacao == "ADM" && funcao == "11") {
    exportacao = "ExecutaGenerico", numero = 11;
    return true;
  }
  motivo = "ADM 011-000 DEVE SER 1, 6 OU 11";
  return false;
}

std::vector<std::string> RoteirosDaPasta(const std::string &dir) {
  std::vector<std::string> out;
  if (dir.empty()) return out;
  DIR *d = opendir(dir.c_str());
  if (!d) return out;
  while (const dirent *e = readdir(d)) {
    const std::string p = dir + "/" + e->d_name;
    struct stat st {};
    if (e->d_name[0] != '.' && stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode)) out.push_back(p);
  }
  closedir(d);
  std::sort(out.begin(), out.end());
  return out;
}

TExecutor Executor(TConfigExecucao cfg) {
  auto c = std::make_shared<TConfigExecucao>(std::move(cfg));
  auto proximo = std::make_shared<size_t>(0);
  return [c, proximo](const std::string &operacao, const TPedido &pedido) {
    TSaida s;
    std::string exportacao, motivo;
    int numero = 0;
    if (!Exportacao(operacao, pedido, c->venezuela, exportacao, numero, motivo)) {
      s.resultado.status = "1";
      s.resultado.texto = motivo;
      return s;
    }
    pdv::TPdvHost &host = pdv::TPdvHost::Instancia();
    try {
      c->preparaHost();
    } catch (const std::exception &e) {
      s.resultado.status = "1";
      s.resultado.texto = ParaAscii(e.what(), 40); // a scenario or messages file broken meanwhile
      return s;
    }
    const auto &mapa = operacao == "CHQ" ? MapeamentoConsulta() : MapeamentoCancelamento();
    for (const TMapeamento &m : mapa)
      if (pedido.Tem(m.chave)) {
        const std::string v = pedido.Valor(m.chave);
        host.DefineCampo(m.campo, 0, m.soDigitos ? SoDigitos(v) : v);
      }
    // Each operation plays the next script; past the last, the person at the terminal.
    DefineVariavelAmbiente("CHEQUE_ROTEIRO",
                           *proximo < c->roteiros.size() ? c->roteiros[(*proximo)++] : "");
    const size_t errosAntes = host.ErrosPdv().size();
    c->chama(exportacao, numero);
    std::string falta = "OPERACAO NAO CONCLUIDA";
    if (host.ErrosPdv().size() > errosAntes) falta = host.ErrosPdv().back().texto;
    s.resultado = ResultadoDoStore(LeDoHost, nullptr, falta);
    // The customer's data masked as in the other logs, unless support asked for it in clear.
    s.store = pdv::FormataParaLog(host.Store());
    return s;
  };
}

} // namespace troca
