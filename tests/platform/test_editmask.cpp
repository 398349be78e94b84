#include "platform/EditMask.h"

#include <gtest/gtest.h>

namespace {

const char *const kCpf = "999\\.999\\.999\\-99;0;_";
const char *const kCnpj = "99\\.999\\.999\\/9999\\-99;0;_";

// Types every character of `keys` from the start of an empty buffer; returns the buffer.
std::string TypeAll(const TEditMask &m, const std::string &keys, int *caretOut = nullptr) {
  std::string buf = m.EmptyBuffer();
  int caret = 0;
  for (char c : keys) m.TypeChar(buf, caret, c);
  if (caretOut) *caretOut = caret;
  return buf;
}

struct MaskCase {
  std::string mask;
  int length;
  std::string untouchedText;
  std::string untouchedDisplay;
  std::string keys; // typed from position 0, refused characters included
  std::string typedText;
  bool completeAfterTyping;
};

TEST(EditMask, MasksOfTheScreens) {
  const MaskCase cases[] = {
      {"!99/99/9999;1;_", 10, "  /  /    ", "__/__/____", "05032024", "05/03/2024", true},
      {"!99/99/9999;1;_", 10, "  /  /    ", "__/__/____", "0a5/0-3x2024", "05/03/2024", true},
      {"!99/9999;1;_", 7, "  /    ", "__/____", "122023", "12/2023", true},
      {"000000;1;_", 6, "      ", "______", "12345", "12345 ", false},
      {"0;1;_", 1, " ", "_", "79", "7", true},
      {"CCCCCCCCCCCC;1;_", 12, "            ", "____________", "1.234,56", "1.234,56    ", false},
      {"CCCCCCCCCCCC;1;_", 12, "            ", "____________", "0000001.234,56", "0000001.234,",
       true},
      {"00/00/0000;1;_", 10, "  /  /    ", "__/__/____", "3102202", "31/02/202 ", false},
      {"000000000000000000000000000000;1;_", 30, std::string(30, ' '), std::string(30, '_'),
       "12345678901234567890123456789012", "123456789012345678901234567890", true},
      {"000000000000000000;1;_", 18, std::string(18, ' '), std::string(18, '_'),
       "12345678901234567", "12345678901234567 ", false},
      {kCpf, 14, "", "___.___.___-__", "123.456.789-09", "12345678909", true},
      {kCpf, 14, "", "___.___.___-__", "1234", "1234", true},
      {kCnpj, 18, "", "__.___.___/____-__", "11222333000181", "11222333000181", true},
  };
  for (const MaskCase &c : cases) {
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
    // Assigning the reported text back gives the same buffer.
    EXPECT_EQ(m.BufferFromText(m.TextFromBuffer(buf)), buf);
  }
}

TEST(EditMask, MaskFieldsAndPositions) {
  const TEditMask date("!99/99/9999;1;_");
  EXPECT_TRUE(date.SaveLiterals());
  EXPECT_EQ(date.BlankChar(), '_');
  EXPECT_EQ(date.Mask(), "!99/99/9999;1;_");
  EXPECT_TRUE(date.IsLiteral(2));
  EXPECT_FALSE(date.IsLiteral(3));
  EXPECT_EQ(date.NextInput(2), 3);
  EXPECT_EQ(date.PrevInput(5), 4);
  EXPECT_EQ(date.NextInput(10), -1);

  const TEditMask bare("00-00"); // no fields: save literals, '_' blanks
  EXPECT_TRUE(bare.SaveLiterals());
  EXPECT_EQ(bare.BlankChar(), '_');
  EXPECT_EQ(bare.DisplayFromBuffer(bare.EmptyBuffer()), "__-__");

  const TEditMask star("99:99;0;*");
  EXPECT_FALSE(star.SaveLiterals());
  EXPECT_EQ(star.DisplayFromBuffer(star.EmptyBuffer()), "**:**");

  // An escaped mask character is a literal; "\;" does not end the mask.
  const TEditMask esc("\\0\\;0;1;_");
  EXPECT_EQ(esc.Length(), 3);
  EXPECT_EQ(esc.DisplayFromBuffer(esc.EmptyBuffer()), "0;_");

  const TEditMask none("");
  EXPECT_TRUE(none.Empty());
  EXPECT_EQ(none.BufferFromText("abc"), "abc");
  EXPECT_EQ(none.TextFromBuffer("abc"), "abc");
  EXPECT_TRUE(none.IsComplete(""));
}

TEST(EditMask, CharacterClassesAndCase) {
  const TEditMask m(">LlAa<Cc<>#9;1;_");
  ASSERT_EQ(m.Length(), 8);
  struct {
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
  EXPECT_EQ(m.Transform(0, 'a'), 'A');
  EXPECT_EQ(m.Transform(1, '\xE7'), '\xC7'); // ç -> Ç
  EXPECT_EQ(m.Transform(4, 'Q'), 'q');
  EXPECT_EQ(m.Transform(6, 'Q'), 'Q'); // "<>" ended the case change
  EXPECT_EQ(m.TextFromBuffer(TypeAll(m, "ab1cXY-3")), "AB1Cxy-3");
}

TEST(EditMask, CaretSkipsLiteralsAndRefusalChangesNothing) {
  const TEditMask m("!99/99/9999;1;_");
  std::string buf = m.EmptyBuffer();
  int caret = 0;
  EXPECT_TRUE(m.TypeChar(buf, caret, '0'));
  EXPECT_EQ(caret, 1);
  EXPECT_TRUE(m.TypeChar(buf, caret, '5'));
  EXPECT_EQ(caret, 3); // past the '/'
  const std::string before = buf;
  EXPECT_FALSE(m.TypeChar(buf, caret, '/'));
  EXPECT_FALSE(m.TypeChar(buf, caret, 'x'));
  EXPECT_EQ(buf, before);
  EXPECT_EQ(caret, 3);
  // A caret put on a literal types into the next input position.
  caret = 5;
  EXPECT_TRUE(m.TypeChar(buf, caret, '2'));
  EXPECT_EQ(m.TextFromBuffer(buf), "05/  /2   ");
  EXPECT_EQ(caret, 7);
  // Full: nothing more fits.
  buf = TypeAll(m, "05032024", &caret);
  EXPECT_EQ(caret, 10);
  EXPECT_FALSE(m.TypeChar(buf, caret, '1'));
  EXPECT_EQ(m.TextFromBuffer(buf), "05/03/2024");
}

TEST(EditMask, BackspaceAndDelete) {
  const TEditMask m("!99/99/9999;1;_");
  int caret = 0;
  std::string buf = TypeAll(m, "0503", &caret);
  ASSERT_EQ(caret, 6);
  m.Backspace(buf, caret); // over the '/' onto the month's second digit
  EXPECT_EQ(caret, 4);
  EXPECT_EQ(m.TextFromBuffer(buf), "05/0 /    ");
  EXPECT_TRUE(m.IsComplete(buf)); // "9" positions are optional
  m.Backspace(buf, caret);
  m.Backspace(buf, caret);
  m.Backspace(buf, caret);
  EXPECT_EQ(caret, 0);
  m.Backspace(buf, caret); // at the start: nothing happens
  EXPECT_EQ(caret, 0);
  EXPECT_TRUE(m.IsBlank(buf));

  buf = TypeAll(m, "05032024");
  m.Delete(buf, 2); // on the literal: clears the next input position
  EXPECT_EQ(m.TextFromBuffer(buf), "05/ 3/2024");
  EXPECT_EQ(m.DisplayFromBuffer(buf), "05/_3/2024");
}

TEST(EditMask, AssignedTextIsReformatted) {
  const TEditMask date("!99/99/9999;1;_");
  struct {
    const char *text, *buffer;
  } cases[] = {
      {"05/03/2024", "05/03/2024"}, {"05032024", "05/03/2024"},      // literals supplied
      {"  /  /    ", "  /  /    "},                                  // the untouched text
      {"", "  /  /    "},           {"05/03/2024999", "05/03/2024"}, // what does not fit is cut
      {"0x/03/2024", "0 /03/2024"}, // refused characters leave the position empty
  };
  for (const auto &c : cases) EXPECT_EQ(date.BufferFromText(c.text), c.buffer) << c.text;

  const TEditMask cpf(kCpf);
  EXPECT_EQ(cpf.DisplayFromBuffer(cpf.BufferFromText("12345678909")), "123.456.789-09");
  EXPECT_EQ(cpf.DisplayFromBuffer(cpf.BufferFromText("123.456.789-09")), "123.456.789-09");
  EXPECT_EQ(cpf.DisplayFromBuffer(cpf.BufferFromText("1234567890912345")), "123.456.789-09");
}

TEST(EditMask, ChangingTheMaskKeepsTheTypedCharacters) {
  const TEditMask cpf(kCpf), cnpj(kCnpj), none("");
  std::string buf = TypeAll(cpf, "12345678909");
  std::string other = cnpj.BufferFromInput(cpf.InputChars(buf));
  EXPECT_EQ(cnpj.DisplayFromBuffer(other), "12.345.678/909_-__");
  EXPECT_EQ(cnpj.TextFromBuffer(other), "12345678909");
  // Back again: the CPF holds the first eleven.
  buf = TypeAll(cnpj, "11222333000181");
  other = cpf.BufferFromInput(cnpj.InputChars(buf));
  EXPECT_EQ(cpf.TextFromBuffer(other), "11222333000");
  // From a plain edit to a mask: the text's acceptable characters in order.
  other = cpf.BufferFromInput(none.InputChars("12a3"));
  EXPECT_EQ(cpf.TextFromBuffer(other), "123");
  // Typed positions with a hole keep their order.
  const TEditMask date("!99/99/9999;1;_");
  buf = date.BufferFromText("05/ 3/2024");
  EXPECT_EQ(cnpj.TextFromBuffer(cnpj.BufferFromInput(date.InputChars(buf))), "0532024");
}

TEST(EditMask, InvalidInputMessageIsThePlatformsText) {
  EXPECT_STREQ(TEditMask::InvalidInputMessage,
               "Invalid input value.  Use escape key to abandon changes");
}

} // namespace
