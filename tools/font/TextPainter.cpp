#include "tools/font/TextPainter.h"

#include "tools/font/FreeTypeFace.h"

#include <algorithm>

namespace tools {

void RgbaImage::Set(int32_t x, int32_t y, uint32_t rgba) {
    if (x < 0 || y < 0 || x >= static_cast<int32_t>(width) || y >= static_cast<int32_t>(height))
        return;
    uint8_t* p = &pixels[(static_cast<size_t>(y) * width + static_cast<size_t>(x)) * 4];
    p[0] = static_cast<uint8_t>(rgba >> 24);
    p[1] = static_cast<uint8_t>(rgba >> 16);
    p[2] = static_cast<uint8_t>(rgba >> 8);
    p[3] = static_cast<uint8_t>(rgba);
}

uint32_t RgbaImage::Get(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= static_cast<int32_t>(width) || y >= static_cast<int32_t>(height))
        return 0;
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * width + static_cast<size_t>(x)) * 4];
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

void RgbaImage::Fill(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rgba) {
    const int32_t x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int32_t x1 = std::min<int32_t>(x + w, static_cast<int32_t>(width));
    const int32_t y1 = std::min<int32_t>(y + h, static_cast<int32_t>(height));
    for (int32_t py = y0; py < y1; ++py)
        for (int32_t px = x0; px < x1; ++px)
            Set(px, py, rgba);
}

TextPainter::TextPainter() : face_(std::make_unique<FreeTypeFace>()) {}

TextPainter::~TextPainter() = default;

bool TextPainter::Open(const std::string& fontPath) {
    return face_->Open(fontPath.c_str());
}

int32_t TextPainter::Measure(const std::string& text, uint32_t pixelSize) {
    if (!face_->face)
        return 0;
    FT_Set_Pixel_Sizes(face_->face, 0, pixelSize);
    int32_t advance = 0;
    for (unsigned char c : text)
        if (FT_Load_Char(face_->face, c, FT_LOAD_DEFAULT) == 0)
            advance += static_cast<int32_t>((face_->face->glyph->advance.x + 32) >> 6);
    return advance;
}

void TextPainter::Draw(RgbaImage& image, int32_t left, int32_t top, uint32_t pixelSize,
                       const std::string& text, uint32_t rgba) {
    if (!face_->face)
        return;
    FT_Set_Pixel_Sizes(face_->face, 0, pixelSize);
    const int32_t ascender = static_cast<int32_t>(face_->face->size->metrics.ascender >> 6);
    int32_t pen = left;
    for (unsigned char c : text) {
        if (FT_Load_Char(face_->face, c, FT_LOAD_RENDER))
            continue;
        const FT_GlyphSlot slot = face_->face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        for (int32_t y = 0; y < static_cast<int32_t>(bm.rows); ++y) {
            for (int32_t x = 0; x < static_cast<int32_t>(bm.width); ++x) {
                const uint32_t coverage = bm.buffer[y * bm.pitch + x];
                if (coverage == 0)
                    continue;
                const int32_t px = pen + slot->bitmap_left + x;
                const int32_t py = top + ascender - slot->bitmap_top + y;
                // Over what is there: the glyph's coverage blends its colour in.
                const uint32_t under = image.Get(px, py);
                uint32_t out = 0;
                for (int shift = 24; shift >= 0; shift -= 8) {
                    const uint32_t a = (under >> shift) & 0xFF;
                    const uint32_t b = (rgba >> shift) & 0xFF;
                    const uint32_t v = shift == 0 ? std::max(a, b * coverage / 255)
                                                  : (a * (255 - coverage) + b * coverage) / 255;
                    out |= v << shift;
                }
                image.Set(px, py, out);
            }
        }
        pen += static_cast<int32_t>((slot->advance.x + 32) >> 6);
    }
}

void TextPainter::DrawCentred(RgbaImage& image, int32_t x, int32_t y, int32_t w, int32_t h,
                              uint32_t pixelSize, const std::string& text, uint32_t rgba) {
    const int32_t width = Measure(text, pixelSize);
    const int32_t height =
        face_->face
            ? static_cast<int32_t>(
                  (face_->face->size->metrics.ascender - face_->face->size->metrics.descender) >> 6)
            : 0;
    Draw(image, x + (w - width) / 2, y + (h - height) / 2, pixelSize, text, rgba);
}

void TextPainter::DrawInCell(RgbaImage& image, int32_t x, int32_t y, int32_t size, char c,
                             uint32_t rgba) {
    DrawCentred(image, x, y, size, size, static_cast<uint32_t>(size) * 3 / 4, std::string(1, c),
                rgba);
}

} // namespace tools
