// The file-exchange convention of the shop's point of sale: a request file of
// `AAA-BBB = value` lines in req/, a status file and a response file in resp/. The messages,
// their strict reading, their writing in plain ASCII, and the mapping between their fields and
// the field store. Nothing here calls the module or touches a folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace troca {

// A message's fields in file order: ("AAA-BBB", value).
using TCampos = std::vector<std::pair<std::string, std::string>>;

// What a request may hold at most: anything larger is refused unread.
inline constexpr size_t kLimitePedido = size_t(64) << 10;

struct TPedido {
  TCampos campos;
  std::string Valor(const std::string &chave) const; // "" when absent (the first one wins)
  bool Tem(const std::string &chave) const;
  std::string Operacao() const { return Valor("000-000"); }
  std::string Identificacao() const { return Valor("001-000"); }
};

// Reads a request strictly: every line `AAA-BBB = value` (three digits, a dash, three digits,
// one blank each side of '='), CR LF or LF, printable ASCII only, 000-000 first, 001-000 (1 to
// 10 digits) second, `999-999 = 0` last and nothing after it, at most kLimitePedido bytes. On
// a fault: false, `motivo` a short text for the operator (ASCII, at most 40 characters) and
// `lido` what could be read of the fields before it (to echo 000-000 and 001-000).
bool LePedido(const std::string &bytes, TPedido &lido, std::string &motivo);

// The message's text: its lines with CR LF, `999-999 = 0` added last.
std::string FormataMensagem(const TCampos &campos);

// A Windows-1252 text as plain printable ASCII: accented letters lose their accents (ç -> c),
// the rest of the code page becomes its nearest ASCII or a blank; control characters become
// blanks. Cut to `maximo` characters (0: no cut).
std::string ParaAscii(const std::string &cp1252, size_t maximo = 0);

// One request field and the store field it goes to.
struct TMapeamento {
  const char *chave; // "AAA-BBB"
  int32_t campo;
  bool soDigitos; // only the digits are kept (the reader's CMC-7 delimiters go)
};
// Request fields of a consultation (CHQ) and of a cancellation (CNC; also ADM), in table order.
const std::vector<TMapeamento> &MapeamentoConsulta();
const std::vector<TMapeamento> &MapeamentoCancelamento();

// The store as the module left it, read for the response: (field, index) -> bytes.
using TLeitor = std::optional<std::string> (*)(void *ctx, int32_t campo, int32_t indice);

// What the response adds besides the echo and the sequence numbers.
struct TResultado {
  std::string status;             // 009-000
  std::string texto;              // 030-000, ASCII, at most 40 characters
  std::string rede;               // 010-000
  std::string valor;              // 003-000
  std::vector<std::string> cupom; // 029-001 ..., ASCII, at most 40 characters each
};
// The outcome of a call from the store: 1009 (missing or not a number: 255), 1027 (else
// `textoFalta`), 10112, 1003, and the receipt: the refusal receipt 20018 (20128 lines) when
// the host holds one, else the lines of the answer record 20033 (its kind byte dropped, lines
// ended by '@').
TResultado ResultadoDoStore(TLeitor ler, void *ctx, const std::string &textoFalta);

// A text cut into lines of at most `largura` characters (for a receipt line that is longer).
std::vector<std::string> CortaLinhas(const std::string &texto, size_t largura);

} // namespace troca
