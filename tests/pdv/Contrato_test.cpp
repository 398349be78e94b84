// The input functions and the out-strings of the C contract.
#include <cstring>
#include <functional>
#include <random>

#include <cheque/host.h>

#include "PdvTest.h"
#include "platform/StrUtils.h"

using namespace pdvtest;

namespace {

using TSaida = std::function<uint32_t(char *, uint32_t)>;

std::string Chama(const TSaida &f) {
  char buf[512];
  uint32_t n = f(buf, sizeof buf);
  EXPECT_LT(n, sizeof buf);
  return std::string(buf, n);
}

TEST(Contrato, CpfAndCnpjCheckDigits) {
  const struct {
    const char *texto;
    bool cpf, cnpj;
  } casos[] = {
      {"52998224725", true, false},     {"529.982.247-25", true, false},
      {"529982247 25", true, false},                                    // blanks are formatting
      {"52998224724", false, false},                                    // last digit wrong
      {"52998224735", false, false},                                    // first check digit wrong
      {"11111111111", false, false},                                    // one repeated digit
      {"5299822472", false, false},     {"529982247250", false, false}, // 10 and 12 digits
      {"5299822472a", false, false},    {"", false, false},
      {"11222333000181", false, true},  {"11.222.333/0001-81", false, true},
      {"45997418000153", false, true},  {"11222333000182", false, false},
      {"11222333000191", false, false}, {"00000000000000", false, false},
      {"1122233300018", false, false},  {"112223330001811", false, false}, // 13 and 15 digits
      {"11222333OOO181", false, false},                                    // letters O
  };
  for (const auto &c : casos) {
    EXPECT_EQ(VerificaCPF(c.texto) != 0, c.cpf) << c.texto;
    EXPECT_EQ(VerificaCNPJ(c.texto) != 0, c.cnpj) << c.texto;
  }
  EXPECT_EQ(VerificaCPF(nullptr), 0);
}

TEST(Contrato, AmountsFormatsAndKeys) {
  for (auto [entrada, saida] : {std::pair{"", ""},
                                {"5", "0,05"},
                                {"000150", "1,50"},
                                {"1.234,56", "1234,56"},
                                {"abc", ""},
                                {"99999999999", "999999999,99"}})
    EXPECT_EQ(Chama([&](char *b, uint32_t c) { return Dollar(b, c, entrada); }), saida) << entrada;
  for (auto [entrada, saida] : {std::pair{"12/05/2024", "12052024"},
                                {"11.222.333/0001-81", "11222333000181"},
                                {"(51) 3333-4444", "5133334444"},
                                {"__/__/____", ""},
                                {"ABC123", "ABC123"}})
    EXPECT_EQ(Chama([&](char *b, uint32_t c) { return RemoveFormato(b, c, entrada); }), saida)
        << entrada;
  for (char k : {'0', '9', '\b', '\r', 'a', ',', ' ', '\x1B'}) {
    char t = k;
    PermiteNumerico_BS_Enter(&t);
    EXPECT_EQ(t, std::isdigit(k) || k == '\b' || k == '\r' ? k : '\0') << int(k);
  }
  char enter = 13;
  EXPECT_EQ(ValKeyBoard(&enter), 13);
  // What Dollar shows reads back, through RemoveFormato or as a number, as the amount typed.
  std::mt19937 rng(7);
  for (int i = 0; i < 500; ++i) {
    std::string d;
    for (int k = 0, n = 1 + static_cast<int>(rng() % 12); k < n; ++k) d += char('0' + rng() % 10);
    std::string mostrado = Chama([&](char *b, uint32_t c) { return Dollar(b, c, d.c_str()); });
    std::string limpo =
        Chama([&](char *b, uint32_t c) { return RemoveFormato(b, c, mostrado.c_str()); });
    EXPECT_EQ(StrToInt64Def(limpo, -1), StrToInt64Def(d, -2)) << d;
    EXPECT_EQ(Chama([&](char *b, uint32_t c) { return Dollar(b, c, limpo.c_str()); }), mostrado);
    double v = 0;
    ASSERT_TRUE(TryStrToFloat(mostrado, v)) << mostrado;
    EXPECT_NEAR(v * 100, static_cast<double>(StrToInt64Def(d, 0)), 0.5) << d;
  }
}

TEST(Contrato, GetBuildInfoReadsTheEmbeddedVersion) {
  TDirTemp dir;
  std::string conteudo("\x7F"
                       "ELF\0\0lixo",
                       10);
  conteudo += CHEQUE_MARCA_VERSAO "1.2.3.4";
  conteudo += std::string("\0mais", 5);
  EscreveArquivo(dir / "libcheque.so", conteudo);
  EscreveArquivo(dir / "sem.so", "nada aqui");
  for (auto [arquivo, versao] :
       {std::pair{"libcheque.so", "1.2.3.4"}, {"sem.so", ""}, {"falta.so", ""}})
    EXPECT_EQ(
        Chama([&](char *b, uint32_t c) { return GetBuildInfo(b, c, (dir / arquivo).c_str()); }),
        versao)
        << arquivo;
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
      {"LeMensagens?", [](char *b, uint32_t c) { return LeMensagens(b, c, 424242); }, nullptr},
      {"RemoveFormato", [](char *b, uint32_t c) { return RemoveFormato(b, c, "12.345.678-9"); },
       "123456789"},
      {"Dollar", [](char *b, uint32_t c) { return Dollar(b, c, "123456789"); }, "1234567,89"},
      {"Zeros", [](char *b, uint32_t c) { return PreencherZerosEsquerda(b, c, "7", 12); },
       "000000000007"},
      {"Zeros long", [](char *b, uint32_t c) { return PreencherZerosEsquerda(b, c, "123", 2); },
       "123"},
      {"Copy", [](char *b, uint32_t c) { return CopyString(b, c, "70;CHQ;Consulta", 4, 3); },
       "CHQ"},
      {"Copy middle", [](char *b, uint32_t c) { return CopyString(b, c, "abcdefghij", 2, 8); },
       "bcdefghi"},
      {"Copy from 0", [](char *b, uint32_t c) { return CopyString(b, c, "abc", 0, 2); }, "ab"},
      {"Copy past", [](char *b, uint32_t c) { return CopyString(b, c, "abc", 3, 99); }, "c"},
      {"Copy after", [](char *b, uint32_t c) { return CopyString(b, c, "abc", 4, 1); }, ""},
      {"Copy negative", [](char *b, uint32_t c) { return CopyString(b, c, "abc", 1, -1); }, ""},
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
