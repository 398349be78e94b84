#include "Troca.h"

#include <charconv>

namespace troca {

namespace {

bool Digito(char c) {
  return c >= '0' && c <= '9';
}

bool ChaveValida(const std::string &s) {
  return s.size() == 7 && s[3] == '-' && Digito(s[0]) && Digito(s[1]) && Digito(s[2]) &&
         Digito(s[4]) && Digito(s[5]) && Digito(s[6]);
}

// Windows-1252 0x80-0xFF as plain ASCII, one entry each (at most two characters): the
// accented letters without their accent, the typographic signs as their plain ones.
constexpr const char *kAscii[128] = {
    "E", " ", ",", "f",  "\"", ".", "+",  "+", "^",  "%",  "S", "<", "OE", " ", "Z", " ",
    " ", "'", "'", "\"", "\"", "*", "-",  "-", "~",  "TM", "s", ">", "oe", " ", "z", "Y",
    " ", "!", "c", "L",  "o",  "Y", "|",  "S", "\"", "C",  "a", "<", "-",  "-", "R", "-",
    "o", "+", "2", "3",  "'",  "u", "P",  ".", ",",  "1",  "o", ">", " ",  " ", " ", "?",
    "A", "A", "A", "A",  "A",  "A", "AE", "C", "E",  "E",  "E", "E", "I",  "I", "I", "I",
    "D", "N", "O", "O",  "O",  "O", "O",  "x", "O",  "U",  "U", "U", "U",  "Y", " ", "ss",
    "a", "a", "a", "a",  "a",  "a", "ae", "c", "e",  "e",  "e", "e", "i",  "i", "i", "i",
    "d", "n", "o", "o",  "o",  "o", "o",  "/", "o",  "u",  "u", "u", "u",  "y", " ", "y",
};

static_assert(
    [] {
      for (const char *a : kAscii)
        if (!a) return false;
      return true;
    }(),
    "every byte of the code page has its ASCII");

std::string Digitos(const std::string &s) {
  std::string out;
  for (char c : s)
    if (Digito(c)) out += c;
  return out;
}

bool Inteiro(const std::string &s, long long &n) {
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  return !s.empty() && ec == std::errc() && p == s.data() + s.size();
}

} // namespace

std::string TPedido::Valor(const std::string &chave) const {
  for (const auto &[k, v] : campos)
    if (k == chave) return v;
  return {};
}

bool TPedido::Tem(const std::string &chave) const {
  for (const auto &c : campos)
    if (c.first == chave) return true;
  return false;
}

bool LePedido(const std::string &bytes, TPedido &lido, std::string &motivo) {
  lido = {};
  if (bytes.size() > kLimitePedido) {
    motivo = "PEDIDO MAIOR QUE 64 KB";
    return false;
  }
  if (bytes.empty()) {
    motivo = "PEDIDO VAZIO";
    return false;
  }
  size_t pos = 0;
  int linha = 0;
  bool fim = false;
  while (pos < bytes.size()) {
    ++linha;
    const std::string n = std::to_string(linha);
    size_t nl = bytes.find('\n', pos);
    if (nl == std::string::npos) nl = bytes.size(); // the last line may lack its line end
    size_t ate = nl;
    if (ate > pos && bytes[ate - 1] == '\r') --ate;
    const std::string texto = bytes.substr(pos, ate - pos);
    pos = nl + 1;
    if (fim) {
      motivo = "LINHA " + n + " APOS 999-999";
      return false;
    }
    for (unsigned char c : texto)
      if (c < 0x20 || c > 0x7E) {
        motivo = "LINHA " + n + ": CARACTERE NAO ASCII";
        return false;
      }
    if (texto.size() < 10 || !ChaveValida(texto.substr(0, 7)) || texto.compare(7, 3, " = ") != 0) {
      motivo = "LINHA " + n + " MAL FORMADA";
      return false;
    }
    std::string chave = texto.substr(0, 7), valor = texto.substr(10);
    if (linha == 1 && chave != "000-000") {
      motivo = "000-000 NAO E A PRIMEIRA LINHA";
      return false;
    }
    if (linha == 2 && chave != "001-000") {
      motivo = "001-000 NAO E A SEGUNDA LINHA";
      return false;
    }
    if (chave == "001-000" && (valor.empty() || valor.size() > 10 || Digitos(valor) != valor)) {
      motivo = "001-000 INVALIDO";
      return false;
    }
    if (chave == "999-999") {
      if (valor != "0") {
        motivo = "999-999 DIFERENTE DE 0";
        return false;
      }
      fim = true;
      continue;
    }
    lido.campos.emplace_back(std::move(chave), std::move(valor));
  }
  if (linha < 2) {
    motivo = "SEM 001-000";
    return false;
  }
  if (!fim) {
    motivo = "SEM 999-999 NO FIM";
    return false;
  }
  return true;
}

std::string FormataMensagem(const TCampos &campos) {
  std::string out;
  for (const auto &[k, v] : campos) out.append(k).append(" = ").append(v).append("\r\n");
  return out + "999-999 = 0\r\n";
}

std::string ParaAscii(const std::string &cp1252, size_t maximo) {
  std::string out;
  for (unsigned char c : cp1252) {
    if (c >= 0x80)
      out += kAscii[c - 0x80];
    else
      out += (c < 0x20 || c == 0x7F) ? ' ' : char(c);
  }
  if (maximo && out.size() > maximo) out.resize(maximo);
  return out;
}

const std::vector<TMapeamento> &MapeamentoConsulta() {
  static const std::vector<TMapeamento> t = {
      {"003-000", 1003, true},  {"005-000", 1005, true},  {"006-000", 1006, false},
      {"007-000", 1007, true},  {"008-000", 1008, true},  {"033-000", 1029, false},
      {"034-000", 1030, false}, {"035-000", 1031, false}, {"036-000", 1032, false},
      {"037-000", 1033, false}, {"038-000", 1034, false}, {"039-000", 1035, false},
      {"042-000", 1214, false}, {"150-001", 1038, false}, {"150-002", 1039, false},
      {"202-003", 1044, false}, {"202-005", 1046, false},
  };
  return t;
}

const std::vector<TMapeamento> &MapeamentoCancelamento() {
  // The cheque as for a consultation, and the original's document number (its NSU) and date.
  static const std::vector<TMapeamento> t = [] {
    std::vector<TMapeamento> v = MapeamentoConsulta();
    v.push_back({"012-000", 1013, false});
    v.push_back({"022-000", 1020, true});
    return v;
  }();
  return t;
}

std::vector<std::string> CortaLinhas(const std::string &texto, size_t largura) {
  std::vector<std::string> out;
  if (texto.empty()) return {std::string()};
  for (size_t i = 0; i < texto.size(); i += largura) out.push_back(texto.substr(i, largura));
  return out;
}

TResultado ResultadoDoStore(TLeitor ler, void *ctx, const std::string &textoFalta) {
  TResultado r;
  long long codigo = 0;
  const std::string st = ler(ctx, 1009, 0).value_or("");
  r.status = Inteiro(st, codigo) ? std::to_string(codigo) : "255";
  r.texto = ParaAscii(ler(ctx, 1027, 0).value_or(""), 40);
  if (r.texto.find_first_not_of(' ') == std::string::npos) r.texto = ParaAscii(textoFalta, 40);
  r.rede = ParaAscii(ler(ctx, 10112, 0).value_or(""));
  r.valor = ParaAscii(ler(ctx, 1003, 0).value_or(""));
  // 029-001 to 029-999: a receipt past that is cut (no receipt comes near it).
  auto linha = [&r](const std::string &t) {
    for (auto &l : CortaLinhas(ParaAscii(t), 40))
      if (r.cupom.size() < 999) r.cupom.push_back(l);
  };
  long long n = 0;
  if (Inteiro(ler(ctx, 20128, 0).value_or(""), n) && n > 0) {
    for (int32_t i = 0; i < n && i < 1000; ++i) {
      const auto l = ler(ctx, 20018, i);
      if (!l) break;
      linha(*l == "@" ? std::string() : *l);
    }
  } else if (const auto reg = ler(ctx, 20033, 0); reg && reg->size() > 1) {
    std::string atual;
    for (size_t i = 1; i < reg->size(); ++i) {
      if ((*reg)[i] != '@') {
        atual += (*reg)[i];
        continue;
      }
      linha(atual);
      atual.clear();
    }
  }
  return r;
}

} // namespace troca
