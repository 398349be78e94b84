#include "platform/text/StrUtils.h"

#include "platform/text/Cp1252.h"

#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 0x20;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// One printf directive, split into its parts so that it can be rebuilt with a length modifier
// that matches the value actually passed.
struct Directive {
  std::string flags, width, precision, length; // precision keeps its '.'
  char conv = 0;
  size_t end = 0; // index just past the directive
};

// Parses the directive that starts at fmt[pos] == '%'. Width and precision come only from
// digits ('*' is not supported: it would need an argument nobody checked).
Directive ParseDirective(const char *fmt, size_t pos) {
  Directive d;
  size_t i = pos + 1;
  while (fmt[i] && std::strchr("-+ #0", fmt[i])) d.flags += fmt[i++];
  while (IsDigit(fmt[i])) d.width += fmt[i++];
  if (fmt[i] == '.') {
    d.precision += fmt[i++];
    while (IsDigit(fmt[i])) d.precision += fmt[i++];
  }
  while (fmt[i] && std::strchr("hlLqjzt", fmt[i])) d.length += fmt[i++];
  d.conv = fmt[i];
  d.end = fmt[i] ? i + 1 : i;
  return d;
}

// Widths and precisions beyond this are cut: they can only come from a broken format.
constexpr size_t kMaxWidthDigits = 4;

std::string Rebuild(const Directive &d, const char *length) {
  std::string s = "%" + d.flags + d.width.substr(0, kMaxWidthDigits);
  if (!d.precision.empty()) s += d.precision.substr(0, kMaxWidthDigits + 1);
  return s + length + d.conv;
}

template <typename T> std::string Print(const std::string &directive, T value) {
  char small[128];
  int n = std::snprintf(small, sizeof small, directive.c_str(), value);
  if (n < 0) return std::string();
  if (static_cast<size_t>(n) < sizeof small) return std::string(small, n);
  std::string out(static_cast<size_t>(n) + 1, '\0');
  (void)std::snprintf(out.data(), out.size(), directive.c_str(), value); // sized by the first call
  out.resize(n);
  return out;
}

// Floating-point output follows the platform's regional settings.
std::string LocalDecimal(std::string s) {
  for (char &c : s)
    if (c == '.') c = DecimalSeparator;
  return s;
}

bool IsIntConv(char c) {
  return c == 'd' || c == 'i';
}
bool IsUnsignedConv(char c) {
  return c == 'u' || c == 'x' || c == 'X' || c == 'o';
}
bool IsFloatConv(char c) {
  return c && std::strchr("fFeEgGaA", c) != nullptr;
}

std::optional<TDate> gFixedToday;

} // namespace

std::string FormatV(const char *fmt, va_list args) {
  std::string out;
  if (!fmt) return out;
  va_list ap;
  va_copy(ap, args);
  for (size_t i = 0; fmt[i];) {
    if (fmt[i] != '%') {
      out += fmt[i++];
      continue;
    }
    const Directive d = ParseDirective(fmt, i);
    const std::string &len = d.length;
    if (d.conv == '%') {
      out += '%';
    } else if (IsIntConv(d.conv) || IsUnsignedConv(d.conv)) {
      long long v;
      if (len == "ll" || len == "q" || len == "j")
        v = va_arg(ap, long long);
      else if (len == "l" || len == "z" || len == "t")
        v = va_arg(ap, long); // NOLINT(bugprone-branch-clone): long is not long long everywhere
      else
        v = va_arg(ap, int);
      if (IsUnsignedConv(d.conv)) {
        unsigned long long u = static_cast<unsigned long long>(v);
        if (len.empty()) u &= 0xFFFFFFFFull; // an int argument printed as unsigned int
        out += Print(Rebuild(d, "ll"), u);
      } else {
        out += Print(Rebuild(d, "ll"), v);
      }
    } else if (IsFloatConv(d.conv)) {
      if (len == "L")
        out += LocalDecimal(Print(Rebuild(d, "L"), va_arg(ap, long double)));
      else
        out += LocalDecimal(Print(Rebuild(d, ""), va_arg(ap, double)));
    } else if (d.conv == 's') {
      const char *s = va_arg(ap, const char *);
      out += Print(Rebuild(d, ""), s ? s : "");
    } else if (d.conv == 'c') {
      out += Print(Rebuild(d, ""), va_arg(ap, int));
    } else if (d.conv == 'p') {
      out += Print(Rebuild(d, ""), va_arg(ap, void *));
    } else if (d.conv == 'n') {
      (void)va_arg(ap, void *); // never written through
    } else {
      out.append(fmt + i, d.end - i); // not a directive: shown as written
    }
    i = d.end;
  }
  va_end(ap);
  return out;
}

// The platform's Format takes printf-style arguments: the module's messages are format strings
// (%s, %d) read at run time, so no parameter pack could check them at compile time.
std::string Format(const char *fmt, ...) { // NOLINT(cert-dcl50-cpp): see above
  va_list ap;
  va_start(ap, fmt);
  std::string s = FormatV(fmt, ap);
  va_end(ap);
  return s;
}

std::string FormatMsg(const std::string &fmt, std::initializer_list<std::string> strs) {
  std::string out;
  auto next = strs.begin();
  const char *f = fmt.c_str();
  for (size_t i = 0; i < fmt.size();) {
    if (f[i] != '%') {
      out += f[i++];
      continue;
    }
    const Directive d = ParseDirective(f, i);
    const char c = d.conv;
    if (c == '%') {
      out += '%';
    } else if (c == 's' || c == 'c' || IsIntConv(c) || IsUnsignedConv(c) || IsFloatConv(c)) {
      if (next != strs.end()) {
        const std::string &arg = *next++;
        if (c == 's') {
          out += Print(Rebuild(d, ""), arg.c_str());
        } else if (c == 'c') {
          Directive asText = d;
          asText.conv = 's';
          asText.precision.clear();
          out += Print(Rebuild(asText, ""), arg.substr(0, 1).c_str());
        } else if (IsFloatConv(c)) {
          out += LocalDecimal(Print(Rebuild(d, ""), StrToFloatDef(arg, 0)));
        } else if (IsUnsignedConv(c)) {
          out += Print(Rebuild(d, "ll"), static_cast<unsigned long long>(StrToInt64Def(arg, 0)));
        } else {
          out += Print(Rebuild(d, "ll"), static_cast<long long>(StrToInt64Def(arg, 0)));
        }
      }
      // A directive with no argument left prints nothing.
    } else {
      out.append(f + i, d.end - i);
    }
    i = d.end;
  }
  return out;
}

namespace {

// Optional sign and decimal digits only, blanks around allowed; false on overflow.
bool ParseInt64(const std::string &s, int64_t &out) {
  const std::string t = Trim(s);
  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  if (i == t.size()) return false;
  uint64_t v = 0;
  const uint64_t limit = negative ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX);
  for (; i < t.size(); ++i) {
    if (!IsDigit(t[i])) return false;
    const unsigned dgt = t[i] - '0';
    if (v > (limit - dgt) / 10) return false;
    v = v * 10 + dgt;
  }
  out = negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
  return true;
}

} // namespace

int64_t StrToInt64Def(const std::string &s, int64_t Default) {
  int64_t v;
  return ParseInt64(s, v) ? v : Default;
}

int StrToIntDef(const std::string &s, int Default) {
  int64_t v;
  if (!ParseInt64(s, v) || v < INT_MIN || v > INT_MAX) return Default;
  return static_cast<int>(v);
}

int StrToIntHexDef(const std::string &s, int Default) {
  const std::string t = Trim(s);
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    if (t.size() - 2 > 8) return Default; // beyond 32 bits
    uint32_t v = 0;
    for (size_t i = 2; i < t.size(); ++i) {
      const char c = t[i];
      unsigned h;
      if (IsDigit(c))
        h = c - '0';
      else if (c >= 'a' && c <= 'f')
        h = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F')
        h = c - 'A' + 10;
      else
        return Default;
      v = (v << 4) | h;
    }
    return static_cast<int>(v); // 0xFFFFFFFF reads as -1, as a 32-bit register would hold it
  }
  return StrToIntDef(t, Default);
}

bool TryStrToFloat(const std::string &s, double &out) {
  const std::string t = Trim(s);
  // Accepted: [sign] digits [, digits] [e [sign] digits], with at least one digit in the
  // mantissa. The "." is not a separator here; a text holding one is not a number.
  std::string c;
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) c += t[i++];
  size_t mantissaDigits = 0;
  while (i < t.size() && IsDigit(t[i])) c += t[i++], ++mantissaDigits;
  if (i < t.size() && t[i] == DecimalSeparator) {
    c += '.', ++i;
    while (i < t.size() && IsDigit(t[i])) c += t[i++], ++mantissaDigits;
  }
  if (mantissaDigits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    c += 'e', ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) c += t[i++];
    size_t expDigits = 0;
    while (i < t.size() && IsDigit(t[i])) c += t[i++], ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != t.size()) return false;
  const char *b = c.c_str();
  if (*b == '+') ++b; // from_chars takes no plus sign
  double v = 0;
  const auto r = std::from_chars(b, c.c_str() + c.size(), v);
  if (r.ec != std::errc() || r.ptr != c.c_str() + c.size()) return false;
  out = v;
  return true;
}

double StrToFloatDef(const std::string &s, double Default) {
  double v;
  return TryStrToFloat(s, v) ? v : Default;
}

std::string IntToStr(int64_t v) {
  return std::to_string(v);
}

bool IsValidDate(int year, int month, int day) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool TryStrToDate(const std::string &s, TDate &out) {
  // Three numbers: day (1-2 digits), month (1-2), year (1-4), each pair separated by one
  // non-digit character and/or blanks.
  size_t i = 0;
  const size_t n = s.size();
  auto skipBlanks = [&] {
    while (i < n && s[i] == ' ') ++i;
  };
  auto number = [&](size_t maxDigits, int &v, size_t &digits) {
    v = 0, digits = 0;
    while (i < n && IsDigit(s[i])) {
      if (++digits > maxDigits) return false;
      v = v * 10 + (s[i++] - '0');
    }
    return digits > 0;
  };
  auto separator = [&] {
    const size_t before = i;
    skipBlanks();
    if (i < n && !IsDigit(s[i])) {
      ++i;
      skipBlanks();
      return true;
    }
    return i > before; // blanks alone separate too
  };
  int d, m, y;
  size_t digits;
  skipBlanks();
  if (!number(2, d, digits) || !separator() || !number(2, m, digits) || !separator() ||
      !number(4, y, digits))
    return false;
  skipBlanks();
  if (i != n) return false;
  if (digits <= 2) {
    // A two-digit year lies within fifty years of the current one.
    const int current = Date().Year;
    y += current - current % 100;
    if (y > current + 50) y -= 100;
  }
  if (!IsValidDate(y, m, d)) return false;
  out = TDate{d, m, y};
  return true;
}

std::string DateToStr(const TDate &d) {
  return FormatDate("dd/mm/yyyy", d);
}

std::string FormatDate(const char *pattern, const TDate &d) {
  std::string out;
  if (!pattern) return out;
  auto starts = [](const char *p, const char *token) {
    for (; *token; ++p, ++token)
      if (!*p || (*p | 0x20) != *token) return false;
    return true;
  };
  char buf[16];
  for (const char *p = pattern; *p;) {
    if (starts(p, "yyyy")) {
      (void)std::snprintf(buf, sizeof buf, "%04d", d.Year % 10000); // bounded by the modulo
      out += buf, p += 4;
    } else if (starts(p, "yy")) {
      (void)std::snprintf(buf, sizeof buf, "%02d", d.Year % 100);
      out += buf, p += 2;
    } else if (starts(p, "mm")) {
      (void)std::snprintf(buf, sizeof buf, "%02d", d.Month % 100);
      out += buf, p += 2;
    } else if (starts(p, "dd")) {
      (void)std::snprintf(buf, sizeof buf, "%02d", d.Day % 100);
      out += buf, p += 2;
    } else {
      out += *p++;
    }
  }
  return out;
}

void SetToday(const TDate &d) {
  gFixedToday = d;
}
void ResetToday() {
  gFixedToday.reset();
}

TDate Date() {
  if (gFixedToday) return *gFixedToday;
  if (const char *env = std::getenv("CHEQUE_TODAY")) {
    // Parsed by hand: TryStrToDate may ask for today's year.
    int d, m, y;
    char tail;
    // NOLINTNEXTLINE(cert-err34-c): at most four digits each, and the count rejects the rest
    if (std::sscanf(env, "%2d/%2d/%4d%c", &d, &m, &y, &tail) == 3 && IsValidDate(y, m, d))
      return TDate{d, m, y};
  }
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return TDate{tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900};
}

std::string TrimLeft(const std::string &s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return s.substr(b);
}

std::string TrimRight(const std::string &s) {
  size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return s.substr(0, e);
}

std::string Trim(const std::string &s) {
  return TrimLeft(TrimRight(s));
}

char AnsiUpperChar(char c) {
  const unsigned char b = static_cast<unsigned char>(c);
  if (b >= 'a' && b <= 'z') return static_cast<char>(b - 0x20);
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 0x20);
  switch (b) {
  case 0x9A:
    return '\x8A'; // š
  case 0x9C:
    return '\x8C'; // œ
  case 0x9E:
    return '\x8E'; // ž
  case 0xFF:
    return '\x9F'; // ÿ
  default:
    return c; // ß and µ have no capital here
  }
}

char AnsiLowerChar(char c) {
  const unsigned char b = static_cast<unsigned char>(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 0x20);
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 0x20);
  switch (b) {
  case 0x8A:
    return '\x9A';
  case 0x8C:
    return '\x9C';
  case 0x8E:
    return '\x9E';
  case 0x9F:
    return '\xFF';
  default:
    return c;
  }
}

bool IsAnsiLetter(char c) {
  const unsigned char b = static_cast<unsigned char>(c);
  if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) return true;
  if (b >= 0xC0) return b != 0xD7 && b != 0xF7;
  switch (b) {
  case 0x8A:
  case 0x8C:
  case 0x8E:
  case 0x9A:
  case 0x9C:
  case 0x9E:
  case 0x9F:
  case 0xAA:
  case 0xB5:
  case 0xBA:
    return true;
  default:
    return false;
  }
}

std::string AnsiUpperCase(const std::string &s) {
  std::string r = s;
  for (char &c : r) c = AnsiUpperChar(c);
  return r;
}

std::string AnsiLowerCase(const std::string &s) {
  std::string r = s;
  for (char &c : r) c = AnsiLowerChar(c);
  return r;
}

bool SameText(const std::string &a, const std::string &b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AnsiUpperChar(a[i]) != AnsiUpperChar(b[i])) return false;
  return true;
}

std::string Cp1252ToUtf8(const std::string &s) {
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  for (char c : s) {
    const char32_t cp = cp1252::ToCodePoint(static_cast<unsigned char>(c));
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

namespace {

// Converts `s`; where a byte is not UTF-8 or a character has no Windows-1252 form, either stops
// (strict: the offset goes to `erro`) or writes '?' and goes on.
bool ConverteUtf8(const std::string &s, std::string &out, size_t *erro) {
  out.clear();
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    char32_t cp = 0;
    const int len = cp1252::DecodeUtf8(s.data(), i, s.size(), cp);
    const int b = len > 0 ? cp1252::FromCodePoint(cp) : -1;
    if (b < 0 && erro) {
      *erro = i;
      return false;
    }
    out += b < 0 ? '?' : static_cast<char>(b);
    i += len > 0 ? static_cast<size_t>(len) : 1;
  }
  return true;
}

} // namespace

std::string Utf8ToCp1252(const std::string &s) {
  std::string out;
  ConverteUtf8(s, out, nullptr);
  return out;
}

bool Utf8ToCp1252(const std::string &s, std::string &out, size_t &erro) {
  return ConverteUtf8(s, out, &erro);
}

size_t StrLCopy(char *dest, size_t capacity, const std::string &src) {
  if (!dest || capacity == 0) return 0;
  const size_t n = src.size() < capacity - 1 ? src.size() : capacity - 1;
  std::memcpy(dest, src.data(), n);
  dest[n] = '\0';
  return n;
}
