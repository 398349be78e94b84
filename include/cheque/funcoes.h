// The host's input functions as plain C++ (Windows-1252 texts): the reference host exports
// them through the C contract and the module's test host uses the very same code, so that
// module tests see the amounts and documents the way a host formats and checks them.
#pragma once

#include <cstdint>
#include <string>

namespace cheque::funcoes {

inline bool Digito(char c) {
  return c >= '0' && c <= '9';
}

// Characters that masks and amount formats add.
inline bool CaractereDeFormato(char c) {
  switch (c) {
  case ' ':
  case '.':
  case ',':
  case '-':
  case '/':
  case '\\':
  case ':':
  case '(':
  case ')':
  case '_':
  case '+':
    return true;
  default:
    return false;
  }
}

inline std::string RemoveFormato(const std::string &texto) {
  std::string s;
  s.reserve(texto.size());
  for (char c : texto)
    if (!CaractereDeFormato(c)) s += c;
  return s;
}

// Digits to an amount: "12345" -> "123,45", "5" -> "0,05", "" -> "". Non-digits are ignored.
inline std::string Dollar(const std::string &texto) {
  std::string d;
  for (char c : texto)
    if (Digito(c)) d += c;
  if (d.empty()) return d;
  size_t z = d.find_first_not_of('0');
  d.erase(0, z == std::string::npos ? d.size() : z);
  while (d.size() < 3) d.insert(d.begin(), '0');
  return d.substr(0, d.size() - 2) + ',' + d.substr(d.size() - 2);
}

// The digits of a document, or "" when it holds anything but digits and formatting.
inline std::string DigitosDocumento(const std::string &texto) {
  std::string d;
  for (char c : texto) {
    if (Digito(c))
      d += c;
    else if (!CaractereDeFormato(c))
      return std::string();
  }
  return d;
}

inline bool UmSoDigito(const std::string &d) {
  return d.find_first_not_of(d[0]) == std::string::npos;
}

// Modulus-11 check digit over d[0..n) with the given weights.
inline int DigitoModulo11(const std::string &d, size_t n, const int *pesos) {
  int soma = 0;
  for (size_t i = 0; i < n; ++i) soma += (d[i] - '0') * pesos[i];
  int r = soma % 11;
  return r < 2 ? 0 : 11 - r;
}

inline bool VerificaCPF(const std::string &texto) {
  std::string d = DigitosDocumento(texto);
  if (d.size() != 11 || UmSoDigito(d)) return false;
  static const int p1[] = {10, 9, 8, 7, 6, 5, 4, 3, 2};
  static const int p2[] = {11, 10, 9, 8, 7, 6, 5, 4, 3, 2};
  return DigitoModulo11(d, 9, p1) == d[9] - '0' && DigitoModulo11(d, 10, p2) == d[10] - '0';
}

inline bool VerificaCNPJ(const std::string &texto) {
  std::string d = DigitosDocumento(texto);
  if (d.size() != 14 || UmSoDigito(d)) return false;
  static const int p1[] = {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
  static const int p2[] = {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
  return DigitoModulo11(d, 12, p1) == d[12] - '0' && DigitoModulo11(d, 13, p2) == d[13] - '0';
}

inline std::string PreencherZerosEsquerda(const std::string &texto, int largura) {
  if (largura <= 0 || texto.size() >= static_cast<size_t>(largura)) return texto;
  return std::string(static_cast<size_t>(largura) - texto.size(), '0') + texto;
}

// `quantidade` characters from position `inicio` (1-based).
inline std::string CopyString(const std::string &fonte, int inicio, int quantidade) {
  if (inicio < 1) inicio = 1;
  if (quantidade <= 0 || static_cast<size_t>(inicio) > fonte.size()) return std::string();
  return fonte.substr(static_cast<size_t>(inicio) - 1, static_cast<size_t>(quantidade));
}

inline char ValKeyBoard(char tecla) {
  return tecla;
}

inline char PermiteNumerico_BS_Enter(char tecla) {
  return (Digito(tecla) || tecla == 8 || tecla == 13) ? tecla : '\0';
}

} // namespace cheque::funcoes
