// Text the sample data's pictures carry, painted with the builder's one
// text painter in its font (DejaVu Sans) into RGBA pictures.
#pragma once

#include "tools/font/TextPainter.h"

#include <cstdint>
#include <string>

namespace sampledata {

// The painter of the pictures' glyphs; null when the font cannot be opened
// (told once on stderr: the pictures then show their flat colours only).
tools::TextPainter* GlyphPainter();

// `text` centred in the box, as large as fits: three quarters of its
// height at most, smaller when the text is wider than the box. Ink as
// tools::RgbaImage::Fill takes it.
void Caption(tools::RgbaImage& image, int32_t x, int32_t y, int32_t w, int32_t h,
             const std::string& text, uint32_t ink);

} // namespace sampledata
