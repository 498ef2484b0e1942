#include "tools/sampledata/TextCaption.h"

#include "tools/font/FontBuilder.h"

#include <cstdio>

namespace sampledata {

tools::TextPainter* GlyphPainter() {
    static tools::TextPainter painter;
    static const bool open = painter.Open(tools::kDejaVuSans);
    if (!open) {
        static bool told = false;
        if (!told)
            std::fprintf(stderr, "sample data: cannot open %s: pictures without text\n",
                         tools::kDejaVuSans);
        told = true;
    }
    return open ? &painter : nullptr;
}

void Caption(tools::RgbaImage& image, int32_t x, int32_t y, int32_t w, int32_t h,
             const std::string& text, uint32_t ink) {
    tools::TextPainter* painter = GlyphPainter();
    if (!painter || text.empty())
        return;
    uint32_t size = static_cast<uint32_t>(h) * 3 / 4;
    while (size > 6 && painter->Measure(text, size) > w - 4)
        --size;
    painter->DrawCentred(image, x, y, w, h, size, text, ink);
}

} // namespace sampledata
