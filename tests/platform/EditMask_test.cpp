#include "platform/EditMask.h"

#include <gtest/gtest.h>

namespace {

const char *const kCpf = "999\\.999\\.999\\-99;0;_";
const char *const kCnpj = "99\\.999\\.999\\/9999\\-99;0;_";
const char *const kDate = "!99/99/9999;1;_";

// Types every character of `keys` from the start of an empty buffer; returns the buffer.
std::string TypeAll(const TEditMask &m, const std::string &keys, int *caretOut = nullptr) {
  std::string buf = m.EmptyBuffer();
  int caret = 0;
  for (char c : keys) m.TypeChar(buf, caret, c);
  if (caretOut) *caretOut = caret;
  return buf;
}

TEST(EditMask, MasksOfTheScreens) {
  const struct {
    std::string mask;
    int length;
    std::string untouchedText, untouchedDisplay;
    std::string keys; // typed from position 0, refused characters included
    std::string typedText;
    bool completeAfterTyping;
  } cases[] = {
      {kDate, 10, "  /  /    ", "__/__/____", "05032024", "05/03/2024", true},
      {kDate, 10, "  /  /    ", "__/__/____", "0a5/0-3x2024", "05/03/2024", true},
      {"000000;1;_", 6, "      ", "______", "12345", "12345 ", false},
      {"0;1;_", 1, " ", "_", "79", "7", true},
      {"CCCCCCCCCCCC;1;_", 12, std::string(12, ' '), std::string(12, '_'), "1.234,56",
       "1.234,56    ", false},
      {"CCCCCCCCCCCC;1;_", 12, std::string(12, ' '), std::string(12, '_'), "0000001.234,56",
       "0000001.234,", true},
      {std::string(30, '0') + ";1;_", 30, std::string(30, ' '), std::string(30, '_'),
       "12345678901234567890123456789012", "123456789012345678901234567890", true},
      {kCpf, 14, "", "___.___.___-__", "123.456.789-09", "12345678909", true},
      {kCpf, 14, "", "___.___.___-__", "1234", "1234", true},
      {kCnpj, 18, "", "__.___.___/____-__", "11222333000181", "11222333000181", true},
      {"00-00", 5, "  -  ", "__-__", "1234", "12-34", true}, // no fields: literals saved, '_'
      {"99:99;0;*", 5, "", "**:**", "12", "12", true},
      {"\\0\\;0;1;_", 3, "0; ", "0;_", "5", "0;5", true}, // escaped: literals, "\;" too
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.mask + " typed " + c.keys);
    const TEditMask m(c.mask);
    EXPECT_EQ(m.Length(), c.length);
    const std::string empty = m.EmptyBuffer();
    EXPECT_EQ(m.TextFromBuffer(empty), c.untouchedText);
    EXPECT_EQ(m.DisplayFromBuffer(empty), c.untouchedDisplay);
    EXPECT_TRUE(m.IsBlank(empty));
    const std::string buf = TypeAll(m, c.keys);
    EXPECT_EQ(buf.size(), size_t(c.length));
    EXPECT_EQ(m.TextFromBuffer(buf), c.typedText);
    EXPECT_EQ(m.IsComplete(buf), c.completeAfterTyping);
    EXPECT_FALSE(m.IsBlank(buf));
    EXPECT_EQ(m.BufferFromText(m.TextFromBuffer(buf)), buf); // the reported text reads back
  }
  const TEditMask none("");
  EXPECT_TRUE(none.Empty());
  EXPECT_EQ(none.BufferFromText("abc"), "abc");
  EXPECT_EQ(none.TextFromBuffer("abc"), "abc");
}

TEST(EditMask, CharacterClassesAndCase) {
  const TEditMask m(">LlAa<Cc<>#9;1;_");
  ASSERT_EQ(m.Length(), 8);
  const struct {
    int pos;
    char c;
    bool accepted;
  } cases[] = {
      {0, 'a', true},  {0, '1', false},  {0, '\xE7', true}, {1, '\xC7', true},
      {1, ' ', false}, {2, '5', true},   {2, '-', false},   {3, 'z', true},
      {4, '/', true},  {4, '\t', false}, {5, ' ', true},    {6, '+', true},
      {6, '-', true},  {6, 'x', false},  {7, '+', false},   {7, '7', true},
  };
  for (const auto &c : cases) EXPECT_EQ(m.Accepts(c.pos, c.c), c.accepted) << c.pos << " " << c.c;
  EXPECT_EQ(m.Transform(1, '\xE7'), '\xC7');                       // ç -> Ç
  EXPECT_EQ(m.TextFromBuffer(TypeAll(m, "ab1cXY-3")), "AB1Cxy-3"); // "<>" ends the case change
}

TEST(EditMask, CaretBackspaceAndDelete) {
  const TEditMask m(kDate);
  std::string buf = m.EmptyBuffer();
  int caret = 0;
  EXPECT_TRUE(m.TypeChar(buf, caret, '0'));
  EXPECT_TRUE(m.TypeChar(buf, caret, '5'));
  EXPECT_EQ(caret, 3); // past the '/'
  EXPECT_FALSE(m.TypeChar(buf, caret, 'x'));
  EXPECT_EQ(caret, 3); // a refused key changes nothing
  caret = 5;           // on a literal: types into the next input position
  EXPECT_TRUE(m.TypeChar(buf, caret, '2'));
  EXPECT_EQ(m.TextFromBuffer(buf), "05/  /2   ");
  EXPECT_EQ(caret, 7);
  buf = TypeAll(m, "05032024", &caret);
  EXPECT_EQ(caret, 10);
  EXPECT_FALSE(m.TypeChar(buf, caret, '1')); // full
  m.Delete(buf, 2);                          // on the literal: clears the next input position
  EXPECT_EQ(m.DisplayFromBuffer(buf), "05/_3/2024");

  buf = TypeAll(m, "0503", &caret);
  m.Backspace(buf, caret); // over the '/' onto the month's second digit
  EXPECT_EQ(caret, 4);
  EXPECT_EQ(m.TextFromBuffer(buf), "05/0 /    ");
  EXPECT_TRUE(m.IsComplete(buf));                      // "9" positions are optional
  for (int i = 0; i < 4; ++i) m.Backspace(buf, caret); // the last one at the start: nothing
  EXPECT_EQ(caret, 0);
  EXPECT_TRUE(m.IsBlank(buf));
}

TEST(EditMask, AssignedTextIsReformatted) {
  const TEditMask date(kDate);
  const struct {
    const char *text, *buffer;
  } cases[] = {
      {"05/03/2024", "05/03/2024"},    {"05032024", "05/03/2024"}, // literals supplied
      {"  /  /    ", "  /  /    "},    {"", "  /  /    "},         // untouched
      {"05/03/2024999", "05/03/2024"},                             // what does not fit is cut
      {"0x/03/2024", "0 /03/2024"}, // refused characters leave the position empty
  };
  for (const auto &c : cases) EXPECT_EQ(date.BufferFromText(c.text), c.buffer) << c.text;
  const TEditMask cpf(kCpf);
  for (const char *text : {"12345678909", "123.456.789-09", "1234567890912345"})
    EXPECT_EQ(cpf.DisplayFromBuffer(cpf.BufferFromText(text)), "123.456.789-09") << text;
}

TEST(EditMask, ChangingTheMaskKeepsTheTypedCharacters) {
  const TEditMask cpf(kCpf), cnpj(kCnpj), none(""), date(kDate);
  std::string other = cpf.BufferFromInput(cnpj.InputChars(TypeAll(cnpj, "11222333000181")));
  EXPECT_EQ(cpf.TextFromBuffer(other), "11222333000"); // the CPF holds the first eleven
  other = cpf.BufferFromInput(none.InputChars("12a3"));
  EXPECT_EQ(cpf.TextFromBuffer(other), "123"); // from a plain edit: what the mask accepts
  other = cnpj.BufferFromInput(date.InputChars(date.BufferFromText("05/ 3/2024")));
  EXPECT_EQ(cnpj.TextFromBuffer(other), "0532024"); // a hole closes up, the order stays
}

} // namespace
