// Small text, number and date helpers of the platform. Every string is 8-bit Windows-1252;
// conversion to and from UTF-8 happens only at the edges (terminal, files, transcript).
#pragma once

#include <cstdarg>
#include <cstdint>
#include <initializer_list>
#include <string>

// printf-style formatting (%s %d %i %u %x %c %f %% with flags, width and precision).
std::string Format(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char *fmt, va_list args);
// Formatting with a format text that is only known at run time (operator messages such as
// "%s" texts). Each %s takes the next string; %d/%i/%u take the next integer. Directives that
// have no argument left print nothing; nothing is ever read past the given arguments.
std::string FormatMsg(const std::string &fmt, std::initializer_list<std::string> strs);

// Whole text as a decimal integer (optional sign, surrounding blanks allowed), else Default.
int StrToIntDef(const std::string &s, int Default);
int64_t StrToInt64Def(const std::string &s, int64_t Default);
// Hexadecimal with a leading "0x"/"0X" or decimal; else Default (INI integer reading).
int StrToIntHexDef(const std::string &s, int Default);
// Decimal number using the platform's decimal separator (","); false when not a number.
bool TryStrToFloat(const std::string &s, double &out);
double StrToFloatDef(const std::string &s, double Default);
std::string IntToStr(int64_t v);

// The platform's regional settings: decimal separator "," and short date format dd/mm/yyyy.
constexpr char DecimalSeparator = ',';
constexpr const char *ShortDateFormat = "dd/mm/yyyy";

struct TDate {
  int Day = 0, Month = 0, Year = 0;
  friend bool operator==(const TDate &, const TDate &) = default;
};
bool IsValidDate(int year, int month, int day);
// "dd/mm/yyyy" (the separators may be any non-digit; blanks around the parts allowed);
// true only for a real calendar date (31/02/2024 is not).
bool TryStrToDate(const std::string &s, TDate &out);
std::string DateToStr(const TDate &d);                       // "dd/mm/yyyy"
std::string FormatDate(const char *pattern, const TDate &d); // "ddmmyyyy", "mmyyyy", ...
TDate Date(); // today (the application clock's calendar day)
// Today is the system's local date unless fixed: by SetToday (tests) or, for whole programs run
// by tests, by the environment variable CHEQUE_TODAY holding "dd/mm/yyyy".
void SetToday(const TDate &d);
void ResetToday(); // back to the system's date (or CHEQUE_TODAY)

std::string Trim(const std::string &s);
std::string TrimLeft(const std::string &s);
std::string TrimRight(const std::string &s);
// Upper / lower case for Windows-1252, accented letters included (ç -> Ç, ã -> Ã ...).
std::string AnsiUpperCase(const std::string &s);
std::string AnsiLowerCase(const std::string &s);
char AnsiUpperChar(char c);
char AnsiLowerChar(char c);
// Letters of Windows-1252: A-Z, a-z and the accented / national letters (Š Œ Ž š œ ž Ÿ ª µ º
// À-Ö Ø-ö ø-ÿ).
bool IsAnsiLetter(char c);
bool SameText(const std::string &a, const std::string &b); // case-insensitive, Windows-1252

// Windows-1252 <-> UTF-8. Bytes with no Windows-1252 meaning (0x81 0x8D 0x8F 0x90 0x9D) map to
// the C1 code points; UTF-8 characters with no Windows-1252 form become '?'; invalid UTF-8
// bytes become '?'.
std::string Cp1252ToUtf8(const std::string &s);
std::string Utf8ToCp1252(const std::string &s);
// The same, strict: false at the first invalid byte or character with no Windows-1252 form,
// with its byte offset in `erro` (`out` then holds what came before it).
bool Utf8ToCp1252(const std::string &s, std::string &out, size_t &erro);

// Copies src into a fixed buffer of `capacity` bytes (terminator included), cutting what does
// not fit. Returns the number of characters copied. Never writes past capacity.
size_t StrLCopy(char *dest, size_t capacity, const std::string &src);
