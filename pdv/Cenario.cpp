// The scenario file: how the simulated authoriser, PIN pad and BIN lookup
// answer. An INI file (UTF-8, or Windows-1252 as a Windows editor saves it)
// read here with its line numbers, so that a mistake is refused where it is.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unordered_set>

#include "PdvHost.h"
#include "platform/text/StrUtils.h"

namespace pdv {

namespace {

struct TLinhaIni {
  int numero;
  std::string chave; // as written, trimmed
  std::string valor; // trimmed, Windows-1252
  size_t coluna;     // where the value starts in its line (0-based)
};
struct TSecaoIni {
  int numero;
  std::string nome; // lower case, blanks collapsed to one
  std::vector<TLinhaIni> linhas;
};

std::vector<TSecaoIni> LeIni(const std::string &texto, const std::string &nome) {
  std::vector<TSecaoIni> secoes;
  // Repeats are found by hash: a rate table of many thousand records is read in linear time.
  std::unordered_set<std::string> nomesSecao, chavesSecao; // the keys of the current section

  size_t ini = 0;
  int numero = 0;
  while (ini < texto.size()) {
    size_t fim = texto.find('\n', ini);
    if (fim == std::string::npos) fim = texto.size();
    const std::string bruta = texto.substr(ini, fim - ini);
    std::string linha = Trim(bruta);
    ini = fim + 1;
    ++numero;
    // Line ends of CR alone would run the lines after it into this value.
    if (size_t cr = linha.find('\r'); cr != std::string::npos)
      throw TErroArquivo(nome, numero,
                         "CR sem LF na coluna " + std::to_string(bruta.find('\r') + 1) +
                             " (as linhas terminam em LF ou CR LF)");
    if (linha.empty() || linha[0] == ';' || linha[0] == '#') continue;
    if (linha[0] == '[') {
      if (linha.back() != ']') throw TErroArquivo(nome, numero, "falta o ']' da seção");
      std::istringstream partes(linha.substr(1, linha.size() - 2));
      std::string nomeSecao, p;
      while (partes >> p) nomeSecao += (nomeSecao.empty() ? "" : " ") + AnsiLowerCase(p);
      if (!nomesSecao.insert(nomeSecao).second)
        throw TErroArquivo(nome, numero, "seção [" + nomeSecao + "] repetida");
      chavesSecao.clear();
      secoes.push_back({numero, nomeSecao, {}});
      continue;
    }
    size_t igual = linha.find('=');
    if (igual == std::string::npos)
      throw TErroArquivo(nome, numero, "esperado CHAVE = VALOR ou [SEÇÃO]");
    if (secoes.empty()) throw TErroArquivo(nome, numero, "valor fora de uma seção");
    std::string chave = Trim(linha.substr(0, igual));
    if (chave.empty()) throw TErroArquivo(nome, numero, "chave vazia");
    if (!chavesSecao.insert(AnsiUpperCase(chave)).second) // as SameText compares them
      throw TErroArquivo(nome, numero, "chave " + chave + " repetida na seção");
    const size_t recuo = bruta.size() - TrimLeft(bruta).size();
    const std::string depois = linha.substr(igual + 1);
    const size_t coluna = recuo + igual + 1 + (depois.size() - TrimLeft(depois).size());
    secoes.back().linhas.push_back({numero, chave, Trim(depois), coluna});
  }
  return secoes;
}

// Escaped value -> its bytes.
std::string Valor(const TLinhaIni &l, const std::string &nome) {
  std::string bytes, motivo;
  if (!DesescapaValor(l.valor, bytes, &motivo, l.coluna))
    throw TErroArquivo(nome, l.numero, motivo);
  return bytes;
}

// The bytes of a field value kept in a file beside the scenario: taken as they
// are (binary records have no text encoding), within what one field holds.
constexpr size_t kMaxArquivoValor = 8192;
constexpr const char kPrefixoArquivo[] = "@arquivo:";

std::string ValorArquivo(const TLinhaIni &l, const std::string &nome,
                         const std::filesystem::path &dirBase) {
  // File names are UTF-8 on the file system.
  std::string rel = Cp1252ToUtf8(Trim(l.valor.substr(std::strlen(kPrefixoArquivo))));
  if (rel.empty()) throw TErroArquivo(nome, l.numero, "falta o caminho depois de @arquivo:");
  std::filesystem::path path = dirBase / std::filesystem::path(rel);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    throw TErroArquivo(nome, l.numero, "arquivo não encontrado: " + path.string());
  std::ifstream f(path, std::ios::binary);
  if (!f) throw TErroArquivo(nome, l.numero, "não foi possível abrir " + path.string());
  std::string bytes(kMaxArquivoValor + 1, '\0');
  f.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (f.bad()) throw TErroArquivo(nome, l.numero, "não foi possível ler " + path.string());
  bytes.resize(static_cast<size_t>(f.gcount()));
  if (bytes.size() > kMaxArquivoValor)
    throw TErroArquivo(nome, l.numero,
                       path.string() + " passa de " + std::to_string(kMaxArquivoValor) + " bytes");
  return bytes;
}

int Inteiro(const TLinhaIni &l, const std::string &nome, int minimo, int maximo) {
  int64_t v = StrToInt64Def(l.valor, INT64_MIN);
  if (v < minimo || v > maximo)
    throw TErroArquivo(nome, l.numero,
                       "esperado um número de " + std::to_string(minimo) + " a " +
                           std::to_string(maximo) + " em " + l.chave);
  return static_cast<int>(v);
}

// "FIELD-INDEX" -> true and the key.
bool ChaveCampo(const std::string &chave, std::pair<int32_t, int32_t> &out) {
  size_t traco = chave.find('-');
  if (traco == std::string::npos || traco == 0 || traco + 1 >= chave.size() || traco > 10 ||
      chave.size() - traco - 1 > 10)
    return false;
  std::string c = chave.substr(0, traco), i = chave.substr(traco + 1);
  if (c.find_first_not_of("0123456789") != std::string::npos ||
      i.find_first_not_of("0123456789") != std::string::npos)
    return false;
  int64_t vc = StrToInt64Def(c, -1), vi = StrToInt64Def(i, -1);
  if (vc < 0 || vc > INT32_MAX || vi < 0 || vi > INT32_MAX) return false;
  out = {static_cast<int32_t>(vc), static_cast<int32_t>(vi)};
  return true;
}

// "nameN" -> N (>= 1) when the key is `prefixo` followed by digits only.
int Numerada(const std::string &chave, const char *prefixo) {
  size_t n = std::strlen(prefixo);
  if (chave.size() <= n || !SameText(chave.substr(0, n), prefixo)) return 0;
  std::string d = chave.substr(n);
  if (d.size() > 4 || d.find_first_not_of("0123456789") != std::string::npos) return 0;
  return StrToIntDef(d, 0);
}

// Section "name" -> 0, "name N" -> N, anything else -> -1.
int NumeroSecao(const std::string &secao, const std::string &nomeBase) {
  if (secao == nomeBase) return 0;
  if (secao.compare(0, nomeBase.size() + 1, nomeBase + " ") != 0) return -1;
  std::string d = secao.substr(nomeBase.size() + 1);
  if (d.empty() || d.size() > 6 || d.find_first_not_of("0123456789") != std::string::npos)
    return -1;
  int n = StrToIntDef(d, 0);
  return n >= 1 ? n : -1;
}

std::vector<int32_t> ListaCampos(const TLinhaIni &l, const std::string &nome) {
  std::vector<int32_t> campos;
  std::string v = l.valor;
  std::replace(v.begin(), v.end(), ',', ' ');
  std::istringstream ss(v);
  std::string p;
  while (ss >> p) {
    int64_t c = p.find_first_not_of("0123456789") == std::string::npos && p.size() <= 10
                    ? StrToInt64Def(p, -1)
                    : -1;
    if (c < 0 || c > INT32_MAX)
      throw TErroArquivo(nome, l.numero, "número de campo inválido em remover: " + p);
    campos.push_back(static_cast<int32_t>(c));
  }
  return campos;
}

TCenario::TResposta LeResposta(const TSecaoIni &s, const std::string &nome,
                               const std::filesystem::path &dirBase,
                               std::vector<std::string> *linhas = nullptr) {
  TCenario::TResposta r;
  std::map<int, std::string> numeradas;
  for (const TLinhaIni &l : s.linhas) {
    std::pair<int32_t, int32_t> chave;
    if (ChaveCampo(l.chave, chave))
      r.grava[chave] =
          l.valor.starts_with(kPrefixoArquivo) ? ValorArquivo(l, nome, dirBase) : Valor(l, nome);
    else if (SameText(l.chave, "remover"))
      r.remove = ListaCampos(l, nome);
    else if (int n = linhas ? Numerada(l.chave, "linha") : 0; n > 0)
      numeradas[n] = Valor(l, nome);
    else
      throw TErroArquivo(nome, l.numero, "chave desconhecida em [" + s.nome + "]: " + l.chave);
  }
  if (linhas)
    for (auto &[n, t] : numeradas) linhas->push_back(std::move(t));
  return r;
}

// [bins] (cartao refused: one card for every lookup would hide a missing one)
// and [bins N].
TCenario::TBins LeBins(const TSecaoIni &s, const std::string &nome, bool numerada) {
  TCenario::TBins r;
  for (const TLinhaIni &l : s.linhas) {
    if (SameText(l.chave, "resultado"))
      r.ok = Inteiro(l, nome, 0, 1) != 0;
    else if (SameText(l.chave, "rede"))
      r.rede = Valor(l, nome);
    else if (numerada && SameText(l.chave, "cartao"))
      r.cartao = Valor(l, nome);
    else
      throw TErroArquivo(nome, l.numero, "chave desconhecida em [" + s.nome + "]: " + l.chave);
  }
  return r;
}

TCenario::TServico5 LeServico5(const TSecaoIni &s, const std::string &nome) {
  TCenario::TServico5 r;
  std::map<int, TPergunta> perguntas;
  for (const TLinhaIni &l : s.linhas) {
    if (SameText(l.chave, "prefixo")) {
      r.prefixo = Valor(l, nome);
      continue;
    }
    int n = Numerada(l.chave, "pergunta");
    if (n <= 0)
      throw TErroArquivo(nome, l.numero, "chave desconhecida em [" + s.nome + "]: " + l.chave);
    // PREFIX;TEXT;TYPE;MIN;MAX
    std::vector<std::string> partes;
    std::string v = Valor(l, nome), p;
    std::istringstream ss(v);
    while (std::getline(ss, p, ';')) partes.push_back(p);
    if (partes.size() != 5)
      throw TErroArquivo(nome, l.numero, "esperado PREFIXO;TEXTO;TIPO;MINIMO;MAXIMO");
    TPergunta q;
    std::memset(&q, 0, sizeof q);
    if (partes[0].size() != sizeof q.Prefixo)
      throw TErroArquivo(nome, l.numero, "o prefixo da pergunta tem 4 caracteres");
    if (partes[1].empty() || partes[1].size() >= sizeof q.Texto)
      throw TErroArquivo(nome, l.numero, "o texto da pergunta tem de 1 a 25 caracteres");
    if (partes[2].size() != 1)
      throw TErroArquivo(nome, l.numero, "o tipo da pergunta é um caractere (0, 1 ou 2)");
    int64_t mn = StrToInt64Def(partes[3], -1), mx = StrToInt64Def(partes[4], -1);
    if (mn < 0 || mx < mn || mx > 1000)
      throw TErroArquivo(nome, l.numero, "tamanhos mínimo e máximo inválidos");
    std::memcpy(q.Prefixo, partes[0].data(), sizeof q.Prefixo);
    std::memcpy(q.Texto, partes[1].data(), partes[1].size());
    q.Tipo = partes[2][0];
    q.TamMinimo = static_cast<int32_t>(mn);
    q.TamMaximo = static_cast<int32_t>(mx);
    perguntas[n] = q;
  }
  for (auto &[n, q] : perguntas) r.perguntas.push_back(q);
  return r;
}

} // namespace

TCenario TCenario::LeTexto(const std::string &texto, const std::string &nome) {
  TCenario c;
  const std::filesystem::path dirBase = std::filesystem::path(nome).parent_path();
  for (const TSecaoIni &s : LeIni(TextoDoUsuario(texto), nome)) {
    if (int n = NumeroSecao(s.nome, "autorizacao"); n >= 0) {
      TResposta r = LeResposta(s, nome, dirBase);
      if (n == 0)
        c.autorizacao = std::move(r);
      else
        c.autorizacaoN[n] = std::move(r);
    } else if (int n5 = NumeroSecao(s.nome, "servico5"); n5 >= 0) {
      TServico5 r = LeServico5(s, nome);
      if (n5 == 0)
        c.servico5 = std::move(r);
      else
        c.servico5N[n5] = std::move(r);
    } else if (s.nome == "pinpad") {
      std::map<int, std::string> respostas, cartoes;
      for (const TLinhaIni &l : s.linhas) {
        if (SameText(l.chave, "senha"))
          c.senha = static_cast<uint16_t>(Inteiro(l, nome, 0, 65535));
        else if (SameText(l.chave, "resultado"))
          c.pinpad = static_cast<uint16_t>(Inteiro(l, nome, 0, 65535));
        else if (int n = Numerada(l.chave, "resposta"); n > 0)
          respostas[n] = Valor(l, nome);
        else if (int k = Numerada(l.chave, "cartao"); k > 0)
          cartoes[k] = Valor(l, nome);
        else
          throw TErroArquivo(nome, l.numero, "chave desconhecida em [pinpad]: " + l.chave);
      }
      for (auto &[n, t] : respostas) c.respostasPinpad.push_back(std::move(t));
      for (auto &[n, t] : cartoes) c.cartoes.push_back(std::move(t));
    } else if (int nb = NumeroSecao(s.nome, "bins"); nb >= 0) {
      TBins r = LeBins(s, nome, nb > 0);
      if (nb > 0) {
        c.binsN[nb] = std::move(r);
      } else {
        c.binsOk = r.ok.value_or(true);
        c.binsRede = std::move(r.rede);
      }
    } else if (s.nome == "timeout_venezuela") {
      c.timeoutDados = LeResposta(s, nome, dirBase, &c.timeoutLinhas);
    } else {
      throw TErroArquivo(nome, s.numero, "seção desconhecida: [" + s.nome + "]");
    }
  }
  return c;
}

TCenario TCenario::Padrao() {
  TCenario c;
  TResposta r;
  r.grava[{1009, 0}] = "0";
  r.grava[{1027, 0}] = Utf8ToCp1252("CONSULTA APROVADA");
  r.grava[{20033, 0}] = Utf8ToCp1252("0CHEQUE SEM RESTRIÇÕES@CONSULTA REALIZADA COM SUCESSO@");
  c.autorizacao = std::move(r);
  c.timeoutLinhas = {"TRANSACCION NO COMPLETADA", "TIEMPO DE ESPERA AGOTADO"};
  return c;
}

std::vector<TOperacao> TCenario::OperacoesAutorizacao(int n) const {
  const TResposta *geral = autorizacao ? &*autorizacao : nullptr;
  auto it = autorizacaoN.find(n);
  const TResposta *propria = it != autorizacaoN.end() ? &it->second : nullptr;
  std::vector<int32_t> remove;
  std::map<std::pair<int32_t, int32_t>, std::string> grava;
  if (geral) {
    remove = geral->remove;
    grava = geral->grava;
  }
  if (propria) {
    // A field that the N-th section removes loses the general section's values
    // too.
    for (int32_t campo : propria->remove) {
      remove.push_back(campo);
      grava.erase(grava.lower_bound({campo, 0}), grava.upper_bound({campo, INT32_MAX}));
    }
    for (const auto &[k, v] : propria->grava) grava[k] = v;
  }
  std::vector<TOperacao> ops;
  ops.reserve(remove.size() + grava.size());
  for (int32_t campo : remove) ops.push_back({campo, 0, std::nullopt});
  for (const auto &[k, v] : grava) ops.push_back({k.first, k.second, v});
  return ops;
}

const TCenario::TServico5 *TCenario::Servico5(int n) const {
  auto it = servico5N.find(n);
  if (it != servico5N.end()) return &it->second;
  return servico5 ? &*servico5 : nullptr;
}

void TPdvHost::CarregaCenarioTexto(const std::string &texto, const std::string &nome) {
  fCenario = std::make_unique<TCenario>(TCenario::LeTexto(texto, nome));
}

void TPdvHost::CarregaCenario(const std::string &path) {
  CarregaCenarioTexto(LeArquivoInteiro(path, kLimiteArquivoTexto), path);
}

} // namespace pdv
