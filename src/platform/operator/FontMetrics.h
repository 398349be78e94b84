// The drawing font of the pictures and its advance widths, so that a caption can be fitted to
// its box before it is drawn and a test can measure what was drawn. The table
// (FontMetrics.cpp) is generated from the font file by scripts/font-metrics.py.
#pragma once

#include <cstdint>
#include <string_view>

// The font the pictures name first: Debian's fonts-dejavu-extra, narrower than the dialog font
// the forms were laid out with, so that their captions fit the boxes drawn for them.
inline constexpr const char *kPictureFont = "DejaVu Sans Condensed";
inline constexpr int kFontUnitsPerEm = 2048;

// The advance of Windows-1252 byte `b` in 1/2048 em, regular or bold.
int FontAdvance(unsigned char b, bool bold);

// The width in pixels of Windows-1252 `text` at `px` pixels per em, without kerning (a
// renderer that kerns draws it a fraction of a pixel narrower or wider).
inline double FontTextWidth(std::string_view text, double px, bool bold) {
  std::int64_t units = 0;
  for (char ch : text) units += FontAdvance(static_cast<unsigned char>(ch), bold);
  return static_cast<double>(units) * px / kFontUnitsPerEm;
}
