#include "platform/forms/EditMask.h"

#include "platform/text/StrUtils.h"

namespace {

constexpr char kUnfilled = ' ';

bool IsDigitChar(char c) {
  return c >= '0' && c <= '9';
}

bool IsInputKind(char k) {
  switch (k) {
  case '0':
  case '9':
  case '#':
  case 'L':
  case 'l':
  case 'A':
  case 'a':
  case 'C':
  case 'c':
    return true;
  default:
    return false;
  }
}

bool IsRequiredKind(char k) {
  return k == '0' || k == 'L' || k == 'A' || k == 'C';
}

} // namespace

TEditMask::TEditMask(const std::string &mask) : fMask(mask) {
  // The mask proper ends at the first ';' that is not escaped; then come save-literals and
  // the blank character.
  size_t i = 0;
  int caseMode = 0;
  for (; i < mask.size() && mask[i] != ';'; ++i) {
    const char c = mask[i];
    if (c == '\\') {
      if (i + 1 < mask.size()) fSlots.push_back({0, mask[++i], 0});
    } else if (c == '!') {
      // Keeps optional positions as trailing blanks; the buffer is positional already.
    } else if (c == '<' && i + 1 < mask.size() && mask[i + 1] == '>') {
      caseMode = 0, ++i;
    } else if (c == '>') {
      caseMode = 1;
    } else if (c == '<') {
      caseMode = 2;
    } else if (IsInputKind(c)) {
      fSlots.push_back({c, 0, caseMode});
    } else {
      fSlots.push_back({0, c, 0});
    }
  }
  if (i < mask.size()) ++i; // the ';'
  const size_t saveEnd = mask.find(';', i);
  const std::string save =
      mask.substr(i, saveEnd == std::string::npos ? std::string::npos : saveEnd - i);
  if (!save.empty()) fSaveLiterals = save[0] != '0';
  if (saveEnd != std::string::npos && saveEnd + 1 < mask.size()) fBlank = mask[saveEnd + 1];
}

std::string TEditMask::EmptyBuffer() const {
  std::string b(fSlots.size(), kUnfilled);
  for (size_t i = 0; i < fSlots.size(); ++i)
    if (!fSlots[i].kind) b[i] = fSlots[i].literal;
  return b;
}

std::string TEditMask::Normalized(const std::string &buffer) const {
  if (buffer.size() == fSlots.size()) return buffer;
  std::string b = EmptyBuffer();
  for (size_t i = 0; i < fSlots.size() && i < buffer.size(); ++i)
    if (fSlots[i].kind) b[i] = buffer[i];
  return b;
}

std::string TEditMask::BufferFromText(const std::string &text) const {
  if (Empty()) return text;
  if (!fSaveLiterals) return BufferFromInput(text);
  // Position by position. Where the text lacks a literal (digits only, say), the literal is
  // supplied and the text character goes on to the next input position.
  std::string b = EmptyBuffer();
  size_t j = 0;
  for (size_t i = 0; i < fSlots.size() && j < text.size(); ++i) {
    if (!fSlots[i].kind) {
      if (text[j] == fSlots[i].literal) ++j;
      continue;
    }
    const char c = text[j++];
    if (c != kUnfilled && Accepts(int(i), c)) b[i] = Transform(int(i), c);
  }
  return b;
}

std::string TEditMask::BufferFromInput(const std::string &chars) const {
  if (Empty()) return chars;
  std::string b = EmptyBuffer();
  size_t j = 0;
  for (int pos = NextInput(0); pos >= 0 && j < chars.size(); pos = NextInput(pos + 1)) {
    while (j < chars.size() && (chars[j] == kUnfilled || !Accepts(pos, chars[j]))) ++j;
    if (j < chars.size()) b[pos] = Transform(pos, chars[j++]);
  }
  return b;
}

std::string TEditMask::TextFromBuffer(const std::string &buffer) const {
  if (Empty()) return buffer;
  return fSaveLiterals ? Normalized(buffer) : InputChars(buffer);
}

std::string TEditMask::InputChars(const std::string &buffer) const {
  if (Empty()) return buffer;
  std::string out;
  for (size_t i = 0; i < fSlots.size() && i < buffer.size(); ++i)
    if (fSlots[i].kind && buffer[i] != kUnfilled) out += buffer[i];
  return out;
}

std::string TEditMask::DisplayFromBuffer(const std::string &buffer) const {
  if (Empty()) return buffer;
  std::string d = Normalized(buffer);
  for (size_t i = 0; i < fSlots.size(); ++i)
    if (fSlots[i].kind && d[i] == kUnfilled) d[i] = fBlank;
  return d;
}

bool TEditMask::IsLiteral(int pos) const {
  return pos >= 0 && pos < Length() && fSlots[pos].kind == 0;
}

bool TEditMask::Accepts(int pos, char c) const {
  if (pos < 0 || pos >= Length()) return false;
  const unsigned char b = static_cast<unsigned char>(c);
  switch (fSlots[pos].kind) {
  case '0':
  case '9':
    return IsDigitChar(c);
  case '#':
    return IsDigitChar(c) || c == '+' || c == '-';
  case 'L':
  case 'l':
    return IsAnsiLetter(c);
  case 'A':
  case 'a':
    return IsAnsiLetter(c) || IsDigitChar(c);
  case 'C':
  case 'c':
    return b >= 0x20 && b != 0x7F;
  default:
    return false;
  }
}

char TEditMask::Transform(int pos, char c) const {
  if (pos < 0 || pos >= Length()) return c;
  switch (fSlots[pos].caseMode) {
  case 1:
    return AnsiUpperChar(c);
  case 2:
    return AnsiLowerChar(c);
  default:
    return c;
  }
}

int TEditMask::NextInput(int pos) const {
  for (int i = pos < 0 ? 0 : pos; i < Length(); ++i)
    if (fSlots[i].kind) return i;
  return -1;
}

int TEditMask::PrevInput(int pos) const {
  for (int i = pos >= Length() ? Length() - 1 : pos; i >= 0; --i)
    if (fSlots[i].kind) return i;
  return -1;
}

bool TEditMask::TypeChar(std::string &buffer, int &caret, char c) const {
  const int pos = NextInput(caret);
  if (pos < 0 || !Accepts(pos, c)) return false;
  buffer = Normalized(buffer);
  buffer[pos] = Transform(pos, c);
  caret = pos + 1;
  while (caret < Length() && IsLiteral(caret)) ++caret;
  return true;
}

void TEditMask::Backspace(std::string &buffer, int &caret) const {
  if (caret <= 0) return;
  const int pos = PrevInput(caret - 1);
  if (pos < 0) return;
  buffer = Normalized(buffer);
  buffer[pos] = kUnfilled;
  caret = pos;
}

void TEditMask::Delete(std::string &buffer, int caret) const {
  const int pos = NextInput(caret);
  if (pos < 0) return;
  buffer = Normalized(buffer);
  buffer[pos] = kUnfilled;
}

bool TEditMask::IsComplete(const std::string &buffer) const {
  for (size_t i = 0; i < fSlots.size(); ++i)
    if (IsRequiredKind(fSlots[i].kind) && (i >= buffer.size() || buffer[i] == kUnfilled))
      return false;
  return true;
}

bool TEditMask::IsBlank(const std::string &buffer) const {
  for (size_t i = 0; i < fSlots.size() && i < buffer.size(); ++i)
    if (fSlots[i].kind && buffer[i] != kUnfilled) return false;
  return true;
}
