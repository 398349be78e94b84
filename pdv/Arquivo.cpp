// The transaction file: one value a line, `FIELD-INDEX = VALUE`, ordered by
// field then index, and its atomic save.
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "PdvHost.h"

namespace pdv {

namespace {
const char kHex[] = "0123456789ABCDEF";

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

void AppendEscapado(std::string &out, const std::string &bytes) {
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
  return DesescapaValor(linha.substr(i), valor, &motivo);
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

bool DesescapaValor(const std::string &texto, std::string &bytes, std::string *motivo) {
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
      *motivo = "escape inválido na coluna " + std::to_string(i + 1) + " (use \\\\ ou \\xHH)";
    return false;
  }
  return true;
}

std::string FormataArquivoTransacao(const TStore &store) {
  std::string out;
  size_t total = 0;
  for (const auto &[chave, valor] : store) total += valor.size() + 24;
  out.reserve(total);
  char num[16];
  for (const auto &[chave, valor] : store) {
    auto r = std::to_chars(num, num + sizeof num, chave.first);
    out.append(num, r.ptr);
    out += '-';
    r = std::to_chars(num, num + sizeof num, chave.second);
    size_t n = static_cast<size_t>(r.ptr - num);
    if (n < 3) out.append(3 - n, '0');
    out.append(num, n);
    out += " = ";
    AppendEscapado(out, valor);
    out += '\n';
  }
  return out;
}

TStore LeTextoTransacao(const std::string &texto, const std::string &nome) {
  TStore store;
  size_t ini = 0;
  int numero = 0;
  while (ini < texto.size()) {
    size_t fim = texto.find('\n', ini);
    if (fim == std::string::npos) fim = texto.size();
    std::string linha = texto.substr(ini, fim - ini);
    ini = fim + 1;
    ++numero;
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    if (linha.empty() || linha[0] == '#') continue;
    std::pair<int32_t, int32_t> chave;
    std::string valor, motivo;
    if (!LeLinhaValor(linha, chave, valor, motivo)) throw TErroArquivo(nome, numero, motivo);
    if (!store.emplace(chave, std::move(valor)).second)
      throw TErroArquivo(nome, numero,
                         "valor repetido para " + std::to_string(chave.first) + "-" +
                             std::to_string(chave.second));
  }
  return store;
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

void GravaArquivoAtomico(const std::string &path, const std::string &bytes) {
  // Until the rename, `path` is untouched; whatever fails (or throws) before it removes the
  // temporary file, so that the directory holds the old file whole and nothing else.
  struct TTemporario {
    std::string nome;
    int fd = -1;
    bool pronto = false;
    ~TTemporario() {
      if (fd >= 0) ::close(fd);
      if (!pronto && !nome.empty()) ::unlink(nome.c_str());
    }
  } tmp;
  auto falha = [&](const char *onde) {
    throw std::system_error(errno, std::generic_category(), std::string(onde) + " " + path);
  };
  if (!Passo("open", 0)) falha("open");
  std::string nome = path + ".tmpXXXXXX";
  int fd = ::mkstemp(nome.data());
  if (fd < 0) falha("open");
  tmp.nome = nome;
  tmp.fd = fd;
  // Keep the mode of the file being replaced; a new file gets rw-r--r--.
  struct stat st;
  ::fchmod(fd, ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
  size_t feito = 0;
  const size_t bloco = size_t(1) << 20;
  while (feito < bytes.size()) {
    if (!Passo("write", feito)) falha("write");
    ssize_t w = ::write(fd, bytes.data() + feito, std::min(bloco, bytes.size() - feito));
    if (w < 0) {
      if (errno == EINTR) continue;
      falha("write");
    }
    feito += static_cast<size_t>(w);
  }
  if (!Passo("sync", feito) || ::fsync(fd) != 0) falha("fsync");
  if (!Passo("close", feito)) falha("close");
  tmp.fd = -1;
  if (::close(fd) != 0) falha("close");
  if (!Passo("rename", feito) || ::rename(nome.c_str(), path.c_str()) != 0) falha("rename");
  tmp.pronto = true;
}

} // namespace pdv
