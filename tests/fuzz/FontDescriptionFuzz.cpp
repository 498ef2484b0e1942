// libFuzzer target for the bitmap-font description: every code unit's glyph
// is looked up and decoded; nothing may read outside the input.
#include "engine/renderer/FontDescription.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Mireku::Renderer::FontDescription font;
    if (!font.Parse(data, size))
        return 0;
    uint32_t sum = 0;
    for (uint32_t code = 0; code < 65536; ++code) {
        const uint16_t index = font.GlyphIndex(static_cast<uint16_t>(code));
        Mireku::Renderer::FontGlyph glyph;
        if (index != Mireku::Renderer::FontDescription::kNoGlyph && font.GetGlyph(index, glyph))
            sum += glyph.u + glyph.v;
    }
    return static_cast<int>(sum & 0);
}
