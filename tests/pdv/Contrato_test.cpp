// The input functions and the out-strings of the C contract.
#include <cstring>
#include <functional>

#include <cheque/host.h>

#include "PdvTest.h"

using namespace pdvtest;

namespace {

using TSaida = std::function<uint32_t(char *, uint32_t)>;

TEST(Contrato, CpfAndCnpjCheckDigits) {
  const struct {
    const char *texto;
    bool cpf, cnpj;
  } casos[] = {
      {"529.982.247-25", true, false},     {"52998224724", false, false}, // last digit wrong
      {"52998224735", false, false},                                      // first digit wrong
      {"11111111111", false, false},                                      // one repeated digit
      {"5299822472", false, false},        {"5299822472a", false, false},
      {"11.222.333/0001-81", false, true}, {"45997418000153", false, true},
      {"11222333000182", false, false},    {"11222333000191", false, false},
      {"00000000000000", false, false},    {"1122233300018", false, false},
  };
  for (const auto &c : casos) {
    EXPECT_EQ(VerificaCPF(c.texto) != 0, c.cpf) << c.texto;
    EXPECT_EQ(VerificaCNPJ(c.texto) != 0, c.cnpj) << c.texto;
  }
  EXPECT_EQ(VerificaCPF(nullptr), 0);
}

TEST(Contrato, KeyFilterLetsDigitsBackspaceAndEnterThrough) {
  for (char k : {'0', '9', '\b', '\r', 'a', ',', ' ', '\x1B'}) {
    char t = k;
    PermiteNumerico_BS_Enter(&t);
    EXPECT_EQ(t, std::isdigit(k) || k == '\b' || k == '\r' ? k : '\0') << int(k);
  }
}

// Each out-string function gives its whole text, never writes past the capacity it was given and
// says how long the whole text was.
TEST(Contrato, NoOutStringOverflowsASmallBuffer) {
  pdv::TPdvHost::Instancia().Reinicia();
  GravaCampoString(1258, 0, "UM NOME BEM COMPRIDO");
  const struct {
    const char *nome;
    TSaida f;
    const char *saida; // the whole text, when this test knows it
  } funcoes[] = {
      {"LeCampo", [](char *b, uint32_t c) { return LeCampo(b, c, 1258, 0); }, nullptr},
      {"LeMensagens", [](char *b, uint32_t c) { return LeMensagens(b, c, 456); }, nullptr},
      {"RemoveFormato", [](char *b, uint32_t c) { return RemoveFormato(b, c, "12.345.678-9"); },
       "123456789"},
      {"Dollar", [](char *b, uint32_t c) { return Dollar(b, c, "123456789"); }, "1234567,89"},
      {"Zeros", [](char *b, uint32_t c) { return PreencherZerosEsquerda(b, c, "7", 12); },
       "000000000007"},
      {"Zeros long", [](char *b, uint32_t c) { return PreencherZerosEsquerda(b, c, "123", 2); },
       "123"},
      {"Copy", [](char *b, uint32_t c) { return CopyString(b, c, "70;CHQ;Consulta", 4, 3); },
       "CHQ"},
      {"Copy past", [](char *b, uint32_t c) { return CopyString(b, c, "abc", 3, 99); }, "c"},
  };
  for (const auto &[nome, f, saida] : funcoes) {
    char cheio[512];
    uint32_t total = f(cheio, sizeof cheio);
    if (saida) {
      EXPECT_EQ(std::string(cheio, total), saida) << nome;
    }
    for (uint32_t cap : {0u, 1u, 2u, 5u, total, total + 1}) {
      char buf[600];
      std::memset(buf, '#', sizeof buf);
      EXPECT_EQ(f(buf + 8, cap), total) << nome << " " << cap;
      for (int i = 0; i < 8; ++i) EXPECT_EQ(buf[i], '#') << nome;
      for (size_t i = 8 + cap; i < sizeof buf; ++i)
        ASSERT_EQ(buf[i], '#') << nome << " cap " << cap << " byte " << i - 8;
      if (cap > 0) {
        size_t n = std::min<size_t>(total, cap - 1);
        EXPECT_EQ(std::string(buf + 8, n), std::string(cheio, n)) << nome;
        EXPECT_EQ(buf[8 + n], '\0') << nome;
      }
    }
  }
  EXPECT_EQ(LeCampo(nullptr, 0, 1258, 0), 20u);
  // The binary read says how much it copied and never writes past its length either.
  const std::string valor("\x01"
                          "abc\0def",
                          8);
  ASSERT_EQ(VelkorGravaCampo(20033, 0, valor.data(), static_cast<uint16_t>(valor.size())),
            VELKOR_OK);
  const struct {
    uint16_t cap, status, lido;
  } casos[] = {
      {0, VELKOR_CORTADO, 0}, {3, VELKOR_CORTADO, 3}, {8, VELKOR_OK, 8}, {100, VELKOR_OK, 8}};
  for (const auto &c : casos) {
    char buf[128];
    std::memset(buf, '#', sizeof buf);
    uint16_t tam = c.cap;
    EXPECT_EQ(VelkorLeCampo(20033, 0, buf, &tam), c.status) << c.cap;
    EXPECT_EQ(tam, c.lido);
    EXPECT_EQ(std::string(buf, c.lido), valor.substr(0, c.lido));
    for (size_t i = c.cap; i < sizeof buf; ++i) ASSERT_EQ(buf[i], '#') << c.cap << " byte " << i;
  }
  uint16_t tam = 50;
  char buf[50];
  EXPECT_EQ(VelkorLeCampo(20033, 1, buf, &tam), VELKOR_AUSENTE);
  EXPECT_EQ(tam, 0);
}

} // namespace
