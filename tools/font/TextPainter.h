// Paints text with a TrueType font into RGBA images, for the sample data's
// pictures and glyph atlases: each glyph's coverage becomes the alpha (and
// scales the colour) of the pixels it touches.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tools {

class FreeTypeFace;

// Width x height pixels, four bytes each (red, green, blue, alpha), row 0 at
// the top.
struct RgbaImage {
    RgbaImage(uint32_t w, uint32_t h, uint32_t rgba = 0)
        : width(w), height(h), pixels(size_t{w} * h * 4) {
        Fill(0, 0, w, h, rgba);
    }
    // rgba: red in the top byte, alpha in the bottom one.
    void Fill(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rgba);
    void Set(int32_t x, int32_t y, uint32_t rgba);
    uint32_t Get(int32_t x, int32_t y) const;

    uint32_t width, height;
    std::vector<uint8_t> pixels;
};

class TextPainter {
public:
    TextPainter();
    ~TextPainter();

    // False when the font cannot be opened.
    bool Open(const std::string& fontPath);

    // The advance of `text` at `pixelSize`, in pixels.
    int32_t Measure(const std::string& text, uint32_t pixelSize);
    // `text` with the top of its cell at `top` and its pen starting at
    // `left`; colour rgba as RgbaImage::Fill takes it.
    void Draw(RgbaImage& image, int32_t left, int32_t top, uint32_t pixelSize,
              const std::string& text, uint32_t rgba);
    // One character centred in the cell (x, y, size x size), as large as
    // the cell holds.
    void DrawInCell(RgbaImage& image, int32_t x, int32_t y, int32_t size, char c, uint32_t rgba);
    // `text` centred in the box (x, y, w, h) at `pixelSize`.
    void DrawCentred(RgbaImage& image, int32_t x, int32_t y, int32_t w, int32_t h,
                     uint32_t pixelSize, const std::string& text, uint32_t rgba);

private:
    std::unique_ptr<FreeTypeFace> face_;
};

} // namespace tools
