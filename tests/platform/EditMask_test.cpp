#include "platform/forms/EditMask.h"

#include <gtest/gtest.h>

namespace {

const char *const kCpf = "999\\.999\\.999\\-99;0;_";
const char *const kDate = "!99/99/9999;1;_";

// Types every character of `keys` from the start of an empty buffer; returns the buffer.
std::string TypeAll(const TEditMask &m, const std::string &keys) {
  std::string buf = m.EmptyBuffer();
  int caret = 0;
  for (char c : keys) m.TypeChar(buf, caret, c);
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
      {kDate, 10, "  /  /    ", "__/__/____", "0a5/0-3x2024", "05/03/2024", true},
      {"000000;1;_", 6, "      ", "______", "12345", "12345 ", false},
      {"0;1;_", 1, " ", "_", "79", "7", true},
      {"CCCCCCCCCCCC;1;_", 12, std::string(12, ' '), std::string(12, '_'), "0000001.234,56",
       "0000001.234,", true},
      {kCpf, 14, "", "___.___.___-__", "123.456.789-09", "12345678909", true},
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
  std::string buf = date.BufferFromText("05032024");
  date.Delete(buf, 2); // on the literal: clears the next input position
  EXPECT_EQ(date.DisplayFromBuffer(buf), "05/_3/2024");
  const TEditMask cpf(kCpf);
  for (const char *text : {"12345678909", "123.456.789-09", "1234567890912345"})
    EXPECT_EQ(cpf.DisplayFromBuffer(cpf.BufferFromText(text)), "123.456.789-09") << text;
}

} // namespace
