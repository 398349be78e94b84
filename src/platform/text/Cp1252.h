// Windows-1252 texts written readable in the source. The source files are UTF-8, the system's
// texts are Windows-1252 bytes: CP1252("A data digitada é inválida.") converts at compile time
// and yields a `const char *` to a zero-terminated array with static storage. A character that
// has no Windows-1252 form, or a malformed UTF-8 sequence, stops the compilation.
#pragma once

#include <cstddef>

namespace cp1252 {

// Code point of each byte 0x80-0x9F. The five bytes with no Windows-1252 meaning keep the C1
// code point of the same value, so that every byte survives a round trip through UTF-8.
inline constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// True for the five bytes of 0x80-0x9F that Windows-1252 leaves undefined.
constexpr bool IsUndefined(unsigned char b) {
  return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

constexpr char32_t ToCodePoint(unsigned char b) {
  return (b >= 0x80 && b <= 0x9F) ? kHighControls[b - 0x80] : char32_t(b);
}

// The Windows-1252 byte of a code point, or -1 when it has none.
constexpr int FromCodePoint(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return int(cp);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == cp) return 0x80 + i;
  return -1;
}

// Decodes one UTF-8 sequence at s[i] (n bytes available). Returns its length, 0 when the bytes
// are not a well-formed sequence (overlong forms and surrogates included).
constexpr int DecodeUtf8(const char *s, size_t i, size_t n, char32_t &cp) {
  const unsigned char b0 = static_cast<unsigned char>(s[i]);
  int len = 0;
  char32_t min = 0;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > n) return 0;
  for (int k = 1; k < len; ++k) {
    const unsigned char b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

// A string literal as a template argument.
template <size_t N> struct Utf8Literal {
  char text[N]{};
  consteval Utf8Literal(const char (&s)[N]) {
    for (size_t i = 0; i < N; ++i) text[i] = s[i];
  }
};

template <size_t N> struct Converted {
  char text[N]{}; // never longer than the UTF-8 source; the rest stays zero
};

template <size_t N> consteval Converted<N> Convert(const Utf8Literal<N> &src) {
  Converted<N> out{};
  const size_t n = N - 1; // without the terminator of the literal
  size_t o = 0;
  for (size_t i = 0; i < n;) {
    char32_t cp = 0;
    const int len = DecodeUtf8(src.text, i, n, cp);
    if (len == 0) throw "CP1252: malformed UTF-8 in the text";
    const int b = FromCodePoint(cp);
    if (b < 0) throw "CP1252: a character of the text has no Windows-1252 form";
    out.text[o++] = static_cast<char>(b);
    i += len;
  }
  return out;
}

template <Utf8Literal S> inline constexpr Converted<sizeof(S.text)> kText = Convert(S);

} // namespace cp1252

#define CP1252(literal)                                                                            \
  (static_cast<const char *>(::cp1252::kText<::cp1252::Utf8Literal(literal)>.text))
