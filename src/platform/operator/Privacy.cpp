#include "platform/operator/Privacy.h"

#include <cctype>

#include "platform/forms/Forms.h"
#include "platform/text/StrUtils.h"

void TPrivacy::SetPersonalControls(std::vector<std::string> names) {
  for (std::string &n : names) n = AnsiUpperCase(n);
  fNames = std::move(names);
}

bool TPrivacy::IsPersonal(const TControl *c) const {
  if (!c || c->Name.empty() || fNames.empty()) return false;
  const std::string name = AnsiUpperCase(c->Name);
  for (const std::string &n : fNames)
    if (n == name) return true;
  return false;
}

std::string TPrivacy::LoggedBuffer(const std::string &text) const {
  if (!fMasking) return text;
  return fBufferMask ? fBufferMask(text) : MaskDigitRuns(text);
}

TPrivacy &Privacy() {
  static TPrivacy privacy;
  return privacy;
}

namespace {
bool Significant(char c) {
  // Bytes of accented letters count too: a value is masked whatever its script.
  return std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80;
}
} // namespace

std::string MaskValue(const std::string &value) {
  size_t significant = 0;
  for (char c : value) significant += Significant(c);
  const size_t keep = significant >= 8 ? 4 : 0;
  std::string out = value;
  size_t seen = 0;
  for (char &c : out) {
    if (!Significant(c)) continue;
    if (seen++ < significant - keep) c = '*';
  }
  return out;
}

std::string MaskDigitRuns(const std::string &text) {
  std::string out = text;
  size_t i = 0;
  while (i < out.size()) {
    if (!std::isdigit(static_cast<unsigned char>(out[i]))) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < out.size() && std::isdigit(static_cast<unsigned char>(out[j]))) ++j;
    if (j - i >= 7) out.replace(i, j - i, MaskValue(out.substr(i, j - i)));
    i = j;
  }
  return out;
}

std::string LoggedText(const std::string &text) {
  return Privacy().Masking() ? MaskDigitRuns(text) : text;
}
