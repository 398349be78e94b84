// Telecheque service-X records cut into the items of field 1188.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/FakeHost.h"
#include "screens/base/TrnModeloCheque.h"

namespace {

// A record of `tamanho` bytes: the kind byte and a body whose bytes tell their
// position.
std::string Registro(char tipo, size_t tamanho) {
  std::string r(1, tipo);
  for (size_t i = 0; r.size() < tamanho; ++i) r += static_cast<char>(0x21 + i % 90);
  return r;
}

using Itens = std::vector<std::pair<size_t, size_t>>; // body position and length per item
const Itens kTipo1 = {{0, 40},   {40, 8},   {48, 1},   {49, 10}, {59, 50},  {109, 9},
                      {118, 20}, {138, 30}, {168, 40}, {208, 2}, {210, 8},  {218, 1},
                      {219, 2},  {221, 8},  {229, 5},  {234, 8}, {242, 14}, {256, 14},
                      {270, 14}, {284, 14}, {298, 14}, {312, 14}};
const Itens kTipo2 = {{0, 8},   {8, 1},   {9, 2},   {11, 8},  {19, 5},  {24, 8},
                      {32, 14}, {46, 14}, {60, 14}, {74, 14}, {88, 14}, {102, 14}};

TEST(Telecheque, RecordsAreCutByKindAndLength) {
  struct Caso {
    char tipo;
    size_t tamanho;
    const Itens &itens;
    size_t escritos; // items after the kind digit
  } casos[] = {
      {'1', 243, kTipo1, 16}, {'1', 327, kTipo1, 22}, {'1', 326, kTipo1, 16},
      {'1', 400, kTipo1, 16}, {'2', 33, kTipo2, 6},   {'2', 117, kTipo2, 12},
      {'2', 116, kTipo2, 6},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(std::string(1, c.tipo) + " / " + std::to_string(c.tamanho));
    TFakeHost host;
    host.Instala();
    const std::string registro = Registro(c.tipo, c.tamanho);
    host.Set(20033, 0, registro);
    TrataServicoXTelecheque();
    EXPECT_EQ(host.Get(1188, 0), std::string(1, c.tipo));
    const std::string corpo = registro.substr(1);
    for (size_t i = 0; i < c.escritos; ++i)
      EXPECT_EQ(host.Get(1188, int(i + 1)), corpo.substr(c.itens[i].first, c.itens[i].second))
          << "index " << i + 1;
    EXPECT_FALSE(host.Has(1188, int(c.escritos + 1)));
    EXPECT_EQ(host.CountOf("GravaCampoString"), int(c.escritos + 1));
  }
}

TEST(Telecheque, ShortRecordsLeaveTheMissingItemsEmpty) {
  // Kind 1 with a body of 45 bytes: item 1 whole, item 2 cut to five bytes, the
  // rest empty.
  const std::string r = Registro('1', 46);
  const auto itens = CortaRegistroTelecheque(r);
  ASSERT_EQ(itens.size(), 17u);
  EXPECT_EQ(itens[1], r.substr(1, 40));
  EXPECT_EQ(itens[2], r.substr(41, 5));
  for (size_t i = 3; i < itens.size(); ++i) EXPECT_EQ(itens[i], "") << i;

  const auto so = CortaRegistroTelecheque("2");
  ASSERT_EQ(so.size(), 7u);
  EXPECT_EQ(so[0], "2");
  EXPECT_EQ(so[1], "");
  // A zero byte ends the item's text.
  const auto zero = CortaRegistroTelecheque(std::string("2ab\0cdefgh", 10));
  EXPECT_EQ(zero[1], "ab");
}

TEST(Telecheque, OtherKindsAndFailuresWriteNothingMore) {
  for (const std::string &r :
       {std::string("3abc"), std::string("Xabc"), std::string("\x01"), std::string()})
    EXPECT_TRUE(CortaRegistroTelecheque(r).empty());

  TFakeHost host;
  host.Instala();
  TrataServicoXTelecheque(); // no record at all
  EXPECT_EQ(host.CountOf("GravaCampoString"), 0);

  host.Set(20033, 0, Registro('2', 117));
  host.FailWrite(3); // index 2: the routine goes on with the others
  TrataServicoXTelecheque();
  EXPECT_FALSE(host.Has(1188, 2));
  EXPECT_TRUE(host.Has(1188, 12));
}

} // namespace
