// The transaction file: one value a line, `FIELD-INDEX = VALUE`, ordered by
// field then index, and its atomic save.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <system_error>

#include "ArquivoSistema.h"
#include "PdvHost.h"
#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"

namespace pdv {

namespace {
const char kHex[] = "0123456789ABCDEF";
constexpr std::string_view kBom = "\xEF\xBB\xBF";

int ValorHex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Digito(char c) {
  return c >= '0' && c <= '9';
}

// A non-negative 32-bit decimal number of s[i..) (at least one digit); advances
// i.
bool LeNumero(const std::string &s, size_t &i, int32_t &out) {
  size_t ini = i;
  while (i < s.size() && Digito(s[i])) ++i;
  if (i == ini || i - ini > 10) return false;
  long long v = 0;
  std::from_chars(s.data() + ini, s.data() + i, v);
  if (v > INT32_MAX) return false;
  out = static_cast<int32_t>(v);
  return true;
}

void AppendEscapado(std::string &out, std::string_view bytes) {
  for (unsigned char c : bytes) {
    if (c < 0x20 || c == 0x7F) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else if (c == '\\') {
      out += "\\\\";
    } else {
      out += static_cast<char>(c);
    }
  }
}

// "FIELD-INDEX", blanks, "=", one optional blank, then the escaped value. False
// with `motivo`.
bool LeLinhaValor(const std::string &linha, std::pair<int32_t, int32_t> &chave, std::string &valor,
                  std::string &motivo) {
  size_t i = 0;
  if (!LeNumero(linha, i, chave.first) || i >= linha.size() || linha[i] != '-') {
    motivo = "esperado CAMPO-INDICE = VALOR";
    return false;
  }
  ++i;
  if (!LeNumero(linha, i, chave.second)) {
    motivo = "índice inválido";
    return false;
  }
  while (i < linha.size() && (linha[i] == ' ' || linha[i] == '\t')) ++i;
  if (i >= linha.size() || linha[i] != '=') {
    motivo = "falta o '=' depois de CAMPO-INDICE";
    return false;
  }
  ++i;
  if (i < linha.size() && linha[i] == ' ') ++i;
  // The file escapes every control byte, so a raw one is damage (or another system's line end),
  // never data.
  for (size_t k = i; k < linha.size(); ++k) {
    const unsigned char c = static_cast<unsigned char>(linha[k]);
    if (c < 0x20 || c == 0x7F) {
      motivo = "byte de controle 0x" + std::string{kHex[c >> 4], kHex[c & 15]} + " na coluna " +
               std::to_string(k + 1) + " (escreva-o \\x" + std::string{kHex[c >> 4], kHex[c & 15]} +
               ")";
      return false;
    }
  }
  return DesescapaValor(linha.substr(i), valor, &motivo, i);
}

TGanchoGravacao &Gancho() {
  static TGanchoGravacao gancho;
  return gancho;
}

bool Passo(const char *passo, size_t offset) {
  const TGanchoGravacao &g = Gancho();
  if (g && !g(passo, offset)) {
    errno = EIO;
    return false;
  }
  return true;
}
} // namespace

TErroArquivo::TErroArquivo(std::string arquivo, int linha, const std::string &motivo)
    : std::runtime_error(arquivo + (linha > 0 ? ":" + std::to_string(linha) : std::string()) +
                         ": " + motivo),
      fArquivo(std::move(arquivo)), fLinha(linha), fMotivo(motivo) {}

std::string EscapaValor(const std::string &bytes) {
  std::string out;
  out.reserve(bytes.size() + 8);
  AppendEscapado(out, bytes);
  return out;
}

bool DesescapaValor(const std::string &texto, std::string &bytes, std::string *motivo,
                    size_t coluna) {
  bytes.clear();
  bytes.reserve(texto.size());
  for (size_t i = 0; i < texto.size(); ++i) {
    char c = texto[i];
    if (c != '\\') {
      bytes += c;
      continue;
    }
    if (i + 1 < texto.size() && texto[i + 1] == '\\') {
      bytes += '\\';
      ++i;
      continue;
    }
    if (i + 3 < texto.size() && texto[i + 1] == 'x' && ValorHex(texto[i + 2]) >= 0 &&
        ValorHex(texto[i + 3]) >= 0) {
      bytes += static_cast<char>(ValorHex(texto[i + 2]) * 16 + ValorHex(texto[i + 3]));
      i += 3;
      continue;
    }
    if (motivo)
      *motivo =
          "escape inválido na coluna " + std::to_string(coluna + i + 1) + " (use \\\\ ou \\xHH)";
    return false;
  }
  return true;
}

namespace {
void AppendLinha(std::string &out, const TStore::value_type &v) {
  char num[16];
  auto r = std::to_chars(num, num + sizeof num, v.first.first);
  out.append(num, r.ptr);
  out += '-';
  r = std::to_chars(num, num + sizeof num, v.first.second);
  const auto n = static_cast<size_t>(r.ptr - num);
  if (n < 3) out.append(3 - n, '0');
  out.append(num, n);
  out += " = ";
  AppendEscapado(out, v.second);
  out += '\n';
}
} // namespace

std::string FormataArquivoTransacao(const TStore &store) {
  std::string out;
  size_t total = 0;
  for (const auto &[chave, valor] : store) total += valor.size() + 24;
  out.reserve(total);
  for (const auto &v : store) AppendLinha(out, v);
  return out;
}

bool TFormatador::Proximo(std::string &pedaco) {
  pedaco.clear();
  while (fAt != fStore.end() && pedaco.size() < fBloco) {
    AppendLinha(pedaco, *fAt);
    ++fAt;
  }
  return !pedaco.empty();
}

TStore LeTextoTransacao(const std::string &bytes, const std::string &nome) {
  // The file is Windows-1252. A byte-order mark says an editor saved it as UTF-8: read it back
  // as such, or refuse it, rather than store the UTF-8 bytes as if they were the values.
  std::string convertido;
  const bool bom = bytes.starts_with(kBom);
  if (bom) {
    size_t erro = 0;
    if (!Utf8ToCp1252(bytes.substr(kBom.size()), convertido, erro)) {
      const std::string antes = bytes.substr(kBom.size(), erro);
      throw TErroArquivo(nome, 1 + static_cast<int>(std::count(antes.begin(), antes.end(), '\n')),
                         "salvo em UTF-8 (com BOM) com um caractere que não existe em "
                         "Windows-1252; salve-o em Windows-1252");
    }
  }
  const std::string &texto = bom ? convertido : bytes;
  TStore store;
  // Room for every line and every byte at once (pages never written cost nothing).
  store.Reserva(static_cast<size_t>(std::count(texto.begin(), texto.end(), '\n')), texto.size());
  std::vector<int> linhas; // of each value, to name the line of a repeat
  std::string valor, motivo;
  size_t ini = 0;
  int numero = 0;
  while (ini < texto.size()) {
    const size_t fim = texto.find('\n', ini);
    ++numero;
    std::string linha = texto.substr(ini, fim == std::string::npos ? fim : fim - ini);
    ini = fim == std::string::npos ? texto.size() : fim + 1;
    if (fim != std::string::npos && !linha.empty() && linha.back() == '\r') linha.pop_back();
    // A CR alone is another system's line end: read as one line, its values would be wrong.
    if (const size_t cr = linha.find('\r'); cr != std::string::npos)
      throw TErroArquivo(nome, numero,
                         "CR sem LF na coluna " + std::to_string(cr + 1) +
                             " (as linhas terminam em LF ou CR LF)");
    // Every line the host writes ends with a line feed: a last line without one is most likely
    // a file cut short, whose last value would be read wrong.
    if (fim == std::string::npos)
      throw TErroArquivo(nome, numero,
                         "a última linha não termina em fim de linha (arquivo cortado?)");
    if (linha.empty() || linha[0] == '#') continue;
    std::pair<int32_t, int32_t> chave;
    if (!LeLinhaValor(linha, chave, valor, motivo)) throw TErroArquivo(nome, numero, motivo);
    store.Anexa(chave, valor);
    linhas.push_back(numero);
  }
  if (const auto repetido = store.Ordena())
    throw TErroArquivo(nome, linhas[repetido->first],
                       "valor repetido para " + std::to_string(repetido->second.first) + "-" +
                           std::to_string(repetido->second.second));
  return store;
}

std::string TextoDoUsuario(const std::string &bytes) {
  std::string texto = bytes.starts_with(kBom) ? bytes.substr(kBom.size()) : bytes;
  for (size_t i = 0; i < texto.size();) {
    char32_t cp = 0;
    const int n = cp1252::DecodeUtf8(texto.data(), i, texto.size(), cp);
    if (n == 0) return texto; // not UTF-8: a Windows editor's Windows-1252
    i += static_cast<size_t>(n);
  }
  return Utf8ToCp1252(texto);
}

std::string LeArquivoInteiro(const std::string &path, size_t limite) {
  auto erro = [&](const char *oque) {
    return TErroArquivo(path, 0, std::string(oque) + " (" + std::strerror(errno) + ")");
  };
  const int fd = sistema::AbreParaLer(path);
  if (fd < 0) throw erro("não foi possível abrir o arquivo");
  struct TFecha {
    int fd;
    ~TFecha() { sistema::Fecha(fd); }
  } fecha{fd};
  // Whatever its kind (a device never ends), at most one byte past the limit is read.
  std::string bytes;
  char bloco[65536];
  for (;;) {
    const size_t quero = std::min(sizeof bloco, limite + 1 - bytes.size());
    const long n = sistema::Le(fd, bloco, quero);
    if (n < 0) throw erro("não foi possível ler o arquivo");
    if (n == 0) break;
    bytes.append(bloco, static_cast<size_t>(n));
    if (bytes.size() > limite)
      throw TErroArquivo(path, 0,
                         "arquivo grande demais (mais de " + std::to_string(limite) + " bytes)");
  }
  return bytes;
}

std::pair<std::pair<int32_t, int32_t>, std::string> LeAtribuicao(const std::string &texto) {
  std::pair<int32_t, int32_t> chave;
  std::string valor, motivo;
  if (!LeLinhaValor(texto, chave, valor, motivo)) throw TErroArquivo("--set " + texto, 0, motivo);
  return {chave, std::move(valor)};
}

void DefineGanchoGravacao(TGanchoGravacao gancho) {
  Gancho() = std::move(gancho);
}

namespace {
// Lines into a fixed buffer, written when full: no allocation on the way.
struct TSaidaFixa {
  int fd = -1;
  bool ok = true;
  size_t n = 0;
  char buf[16384];
  void Esvazia() {
    for (size_t feito = 0; ok && feito < n;) {
      const long w = sistema::Escreve(fd, buf + feito, n - feito);
      ok = w > 0;
      feito += ok ? static_cast<size_t>(w) : 0;
    }
    n = 0;
  }
  void Poe(const char *s, size_t k) {
    for (size_t i = 0; i < k; ++i) {
      if (n == sizeof buf) Esvazia();
      buf[n++] = s[i];
    }
  }
  void Numero(int32_t v, size_t minimo) {
    char num[16];
    const auto r = std::to_chars(num, num + sizeof num, v);
    const auto k = static_cast<size_t>(r.ptr - num);
    for (size_t z = k; z < minimo; ++z) Poe("0", 1);
    Poe(num, k);
  }
};
} // namespace

bool GravaStoreEmergencia(const TStore &store, const char *path) noexcept {
  const int fd = sistema::CriaNovo(path);
  if (fd < 0) return false;
  TSaidaFixa s;
  s.fd = fd;
  for (const auto &[chave, valor] : store) {
    s.Numero(chave.first, 0);
    s.Poe("-", 1);
    s.Numero(chave.second, 3);
    s.Poe(" = ", 3);
    for (const char c : valor) {
      const auto u = static_cast<unsigned char>(c);
      if (u < 0x20 || u == 0x7F) {
        const char e[4] = {'\\', 'x', kHex[u >> 4], kHex[u & 15]};
        s.Poe(e, 4);
      } else if (c == '\\') {
        s.Poe("\\\\", 2);
      } else {
        s.Poe(&c, 1);
      }
    }
    s.Poe("\n", 1);
  }
  s.Esvazia();
  const bool ok = s.ok && sistema::Sincroniza(fd);
  return sistema::Fecha(fd) && ok;
}

std::string CaminhoRecusado(const std::string &path) {
  std::string motivo;
  sistema::Destino(path, motivo);
  return motivo;
}

void GravaArquivoAtomico(const std::string &path, const std::string &bytes) {
  const size_t bloco = size_t(1) << 20;
  size_t dado = 0;
  GravaArquivoAtomico(path, [&](std::string &pedaco) {
    pedaco.assign(bytes, dado, bloco);
    dado += pedaco.size();
    return !pedaco.empty();
  });
}

void GravaArquivoAtomico(const std::string &path,
                         const std::function<bool(std::string &pedaco)> &proximo) {
  namespace so = sistema;
  std::string motivo;
  const std::string destino = so::Destino(path, motivo);
  if (destino.empty()) throw std::system_error(errno, std::generic_category(), motivo);
  const std::string dir = so::Diretorio(destino);
  auto falha = [&](const char *onde) {
    throw std::system_error(errno, std::generic_category(), std::string(onde) + " " + path);
  };
  // Saves of one file, from any process, take turns: each one's temporary file is safe from the
  // others, and the file ends as one of them wrote it, whole. The lock is given back last.
  struct TTrava {
    const std::string &destino;
    long long h = -1;
    ~TTrava() {
      if (h >= 0) sistema::Destrava(destino, h);
    }
  } trava{destino};
  // Until the rename, `destino` is untouched; whatever fails (or throws) before it removes the
  // temporary file, so that the directory holds the old file whole and nothing else.
  struct TTemporario {
    std::string nome;
    int fd = -1;
    bool pronto = false;
    ~TTemporario() {
      if (fd >= 0) so::Fecha(fd);
      if (!pronto && !nome.empty()) so::Remove(nome);
    }
  } tmp;
  if (!Passo("open", 0)) falha("open");
  trava.h = so::Trava(destino);
  if (trava.h < 0) falha("lock");
  // In the directory of the file replaced, so that the rename never crosses file systems; one
  // name per file, so that a dead save's leftover is found without looking at its neighbours.
  const std::string nome = destino + ".tmp";
  const int fd = so::CriaTemporario(nome);
  if (fd < 0) falha("open");
  tmp.nome = nome;
  tmp.fd = fd;
  // It may hold a customer's data: owner-only, or the mode of the file it replaces.
  so::CopiaModo(fd, destino);
  size_t feito = 0;
  for (std::string pedaco; proximo(pedaco);) {
    for (size_t p = 0; p < pedaco.size();) {
      if (!Passo("write", feito)) falha("write");
      const long w = so::Escreve(fd, pedaco.data() + p, pedaco.size() - p);
      if (w < 0) falha("write");
      p += static_cast<size_t>(w), feito += static_cast<size_t>(w);
    }
  }
  if (!Passo("sync", feito) || !so::Sincroniza(fd)) falha("fsync");
  if (!Passo("close", feito)) falha("close");
  tmp.fd = -1;
  if (!so::Fecha(fd)) falha("close");
  if (!Passo("rename", feito) || !so::Renomeia(nome, destino)) falha("rename");
  tmp.pronto = true;
  // The new file is in place; until its directory entry reaches the disk, a power cut may still
  // bring back the old one, so the save is not reported done before.
  if (!Passo("dirsync", feito) || !so::SincronizaDiretorio(dir)) falha("fsync of the directory of");
}

} // namespace pdv
