#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(StrUtils, FormatsFollowPrintfWithCommaDecimalsAndNeverReadPastTheArguments) {
  EXPECT_EQ(Format("%s-%d-%05d-%-4s|%x|%c|%%", "ab", -7, 42, "z", 255, 'Q'),
            "ab--7-00042-z   |ff|Q|%");
  EXPECT_EQ(Format("%.2f %lld %u %ld", 1234.5, 9000000000LL, 4000000000u, -5L),
            "1234,50 9000000000 4000000000 -5");
  EXPECT_EQ(Format("%s", std::string(300, 'x').c_str()).size(), 300u);
  const struct {
    const char *fmt;
    std::initializer_list<std::string> args;
    const char *out;
  } cases[] = {
      {"Cheque %s de %s", {"1"}, "Cheque 1 de "},
      {"[%5s][%-3d][%03d]", {"ab", "7", "9"}, "[   ab][7  ][009]"},
      {"%d%%", {"abc"}, "0%"},
      {"100%", {}, "100%"},
      {"%.2f", {"3,5"}, "3,50"},
  };
  for (const auto &c : cases) EXPECT_EQ(FormatMsg(c.fmt, c.args), c.out) << c.fmt;
}

TEST(StrUtils, NumbersFromText) {
  const struct {
    const char *text;
    int dec, hex; // 7: refused
  } ints[] = {{"0XfF", 7, 255},
              {"0xFFFFFFFF", 7, -1},
              {"2147483647", INT32_MAX, INT32_MAX},
              {"-2147483648", INT32_MIN, INT32_MIN}};
  for (const auto &c : ints) {
    EXPECT_EQ(StrToIntDef(c.text, 7), c.dec) << c.text;
    EXPECT_EQ(StrToIntHexDef(c.text, 7), c.hex) << c.text;
  }
  for (const char *text : {"1a", "", "1.5", "0x", "- 1", "2147483648"})
    EXPECT_EQ(std::pair(StrToIntDef(text, 7), StrToIntHexDef(text, 7)), std::pair(7, 7)) << text;
  EXPECT_EQ(StrToInt64Def("9223372036854775807", 0), INT64_MAX);
  EXPECT_EQ(StrToInt64Def("9223372036854775808", 0), 0);
  const struct {
    const char *text;
    double value; // -99: refused
  } decimals[] = {
      {"1,5", 1.5}, {" -0,25 ", -0.25}, {",5", 0.5}, {"3,", 3},  {"1e3", 1000}, {"+2,5", 2.5},
      {"1.5", -99}, {"1,5,0", -99},     {"", -99},   {",", -99}, {"1e", -99},   {"1 000", -99},
  };
  for (const auto &c : decimals) {
    double v = -99;
    EXPECT_EQ(TryStrToFloat(c.text, v), c.value != -99) << c.text;
    EXPECT_DOUBLE_EQ(v, c.value) << c.text;
  }
}

TEST(StrUtils, DatesAreRealCalendarDays) {
  SetToday(TDate{15, 6, 2024});
  const std::pair<const char *, const char *> valid[] = {
      {"29/02/2024", "29/02/2024"},   {"29/02/2000", "29/02/2000"}, {"5/3/2024", "05/03/2024"},
      {" 05-03-2024 ", "05/03/2024"}, {"05/03/24", "05/03/2024"},   {"05/03/80", "05/03/1980"}};
  TDate d;
  for (const auto &[text, date] : valid) {
    EXPECT_TRUE(TryStrToDate(text, d)) << text;
    EXPECT_EQ(DateToStr(d), date) << text;
  }
  for (const char *text :
       {"31/02/2024", "29/02/2023", "29/02/1900", "00/01/2024", "01/13/2024", "31/04/2024",
        "  /  /    ", "05/03/    ", "05032024", "05/03/2024x", "05/03/0000", "005/03/2024"})
    EXPECT_FALSE(TryStrToDate(text, d)) << text;
  EXPECT_EQ(Date(), (TDate{15, 6, 2024}));
  ResetToday();
  EXPECT_TRUE(IsValidDate(Date().Year, Date().Month, Date().Day));
  EXPECT_EQ(FormatDate("ddmmyyyy", TDate{5, 3, 2024}), "05032024");
  EXPECT_EQ(FormatDate("dd.mm.yy", TDate{5, 3, 2024}), "05.03.24");
}

TEST(StrUtils, TrimAndCaseOfWindows1252Letters) {
  EXPECT_EQ(Trim(" \t\r\n\x01 ab c \x1F"), "ab c");
  EXPECT_EQ(TrimLeft("  a ") + TrimRight("  a \r\n"), "a   a");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0"); // the no-break space is a character
  const std::string lower = "abcxyz\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE"
                            "\xEF\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF"
                            "\x9A\x9C\x9E";
  const std::string upper = "ABCXYZ\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE"
                            "\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDA\xDB\xDC\xDD\xDE\x9F"
                            "\x8A\x8C\x8E";
  EXPECT_EQ(AnsiUpperCase(lower), upper);
  EXPECT_EQ(AnsiLowerCase(upper), lower);
  // No case: digits, signs, multiplication/division signs, sharp s, micro, ordinals.
  const std::string caseless = "09 ,.\xD7\xF7\xDF\xB5\xAA\xBA\x80";
  EXPECT_EQ(AnsiUpperCase(caseless) + AnsiLowerCase(caseless), caseless + caseless);
  EXPECT_TRUE(SameText(CP1252("Configuração"), CP1252("CONFIGURAÇÃO")));
  EXPECT_FALSE(SameText("NAO", CP1252("NÃO")));
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    EXPECT_EQ(IsAnsiLetter(c), AnsiUpperChar(c) != AnsiLowerChar(c) || b == 0xDF || b == 0xB5 ||
                                   b == 0xAA || b == 0xBA)
        << b;
  }
}

TEST(StrUtils, Utf8AndWindows1252) {
  int special = 0; // bytes of 0x80-0x9F that stand for another code point
  for (int b = 0x20; b <= 0xFF; ++b) {
    const std::string one(1, static_cast<char>(b));
    const std::string utf8 = Cp1252ToUtf8(one);
    EXPECT_EQ(Utf8ToCp1252(utf8), one) << b;
    if (b >= 0x80 && b <= 0x9F && utf8 != "\xC2" + one) ++special;
  }
  EXPECT_EQ(special, 27);
  EXPECT_EQ(Cp1252ToUtf8("\x80\x83\x81"), "\xE2\x82\xAC\xC6\x92\xC2\x81"); // €, ƒ, undefined
  // No Windows-1252 form, a C1 control it reuses, malformed, overlong, outside the BMP.
  EXPECT_EQ(Utf8ToCp1252("\xE2\x86\x92|\xC2\x80|a\xC3"
                         "b\xFF|\xC0\xAF|\xF0\x9F\x98\x80!"),
            "?|?|a?b?|??|?!");
  EXPECT_STREQ(CP1252("A data digitada é inválida."), "A data digitada \xE9 inv\xE1lida.");
  EXPECT_STREQ(CP1252("Nº ª Ç ç õ € – “”"), "N\xBA \xAA \xC7 \xE7 \xF5 \x80 \x96 \x93\x94");
  static_assert(cp1252::FromCodePoint(0x2192) == -1);
}

TEST(StrUtils, StrLCopyNeverPassesTheCapacity) {
  const struct {
    size_t capacity;
    const char *src;
    size_t copied;
    const char *result;
  } cases[] = {{8, "abc", 3, "abc"},
               {8, "abcdefgh", 7, "abcdefg"},
               {4, "abcdefgh", 3, "abc"},
               {1, "abc", 0, ""},
               {0, "abc", 0, "#"}};
  for (const auto &c : cases) {
    char buf[9] = "########";
    EXPECT_EQ(StrLCopy(buf, c.capacity, c.src), c.copied);
    EXPECT_EQ(std::string(buf, std::strlen(c.result)), c.result) << c.capacity;
    EXPECT_EQ(buf[std::strlen(c.result)], c.capacity ? '\0' : '#');
    for (size_t i = std::max<size_t>(c.capacity, 1); i < 8; ++i)
      EXPECT_EQ(buf[i], '#') << c.capacity;
  }
}

} // namespace
