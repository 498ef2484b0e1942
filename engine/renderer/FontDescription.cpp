#include "engine/renderer/FontDescription.h"
#include "sys/bytes.h"

#include <cstring>

namespace Mireku::Renderer {

namespace {

// Sign-extends the low `bits` bits of v.
int32_t Signed(uint32_t v, uint32_t bits) {
    const uint32_t mask = (1u << bits) - 1;
    const uint32_t sign = 1u << (bits - 1);
    v &= mask;
    return static_cast<int32_t>(v ^ sign) - static_cast<int32_t>(sign);
}

} // namespace

bool FontDescription::Parse(const uint8_t* data, size_t size) {
    Clear();
    if (!data || size < kMapOffset)
        return false;
    const uint8_t flags = data[kFlagsOffset];
    const uint32_t entries = (flags & kFlagWideMap) ? 65536u : 256u;
    const size_t glyphs = kMapOffset + size_t{2} * entries;
    if (size < glyphs || data[kBaseSizeOffset] == 0)
        return false;
    const void* end = std::memchr(data + kNameOffset, 0, kNameBytes);
    if (!end)
        return false;
    std::memcpy(name_, data + kNameOffset, kNameBytes);
    data_ = data;
    baseSize_ = data[kBaseSizeOffset];
    pageCount_ = data[kPageCountOffset];
    flags_ = flags;
    mapEntries_ = entries;
    glyphOffset_ = glyphs;
    glyphCount_ = static_cast<uint32_t>((size - glyphs) / kGlyphBytes);
    return true;
}

uint16_t FontDescription::GlyphIndex(uint16_t code) const {
    if (!data_ || code >= mapEntries_)
        return kNoGlyph;
    const uint8_t* p = data_ + kMapOffset + size_t{2} * code;
    const uint16_t index = static_cast<uint16_t>(p[0] | p[1] << 8);
    return index < glyphCount_ ? index : kNoGlyph;
}

bool FontDescription::GetGlyph(uint16_t index, FontGlyph& out) const {
    if (!data_ || index >= glyphCount_)
        return false;
    out = DecodeGlyph(data_ + glyphOffset_ + size_t{kGlyphBytes} * index);
    return out.page < pageCount_;
}

FontGlyph FontDescription::DecodeGlyph(const uint8_t record[kGlyphBytes]) {
    const uint32_t w0 = sys::LoadU32(record);
    const uint32_t w1 = sys::LoadU32(record + 4);
    FontGlyph g;
    g.offsetX = Signed(w0, 6);
    g.offsetY = Signed(w0 >> 6, 6);
    g.width = Signed(w0 >> 12, 7);
    g.height = Signed(w0 >> 19, 7);
    g.page = w1 & 0x3F;
    g.channel = (w1 >> 6) & 0x3;
    g.u = (w1 >> 8) & 0xFFF;
    g.v = (w1 >> 20) & 0xFFF;
    return g;
}

void FontDescription::EncodeGlyph(const FontGlyph& g, uint8_t out[kGlyphBytes]) {
    const uint32_t w0 = (static_cast<uint32_t>(g.offsetX) & 0x3F) |
                        (static_cast<uint32_t>(g.offsetY) & 0x3F) << 6 |
                        (static_cast<uint32_t>(g.width) & 0x7F) << 12 |
                        (static_cast<uint32_t>(g.height) & 0x7F) << 19;
    const uint32_t w1 =
        (g.page & 0x3F) | (g.channel & 0x3) << 6 | (g.u & 0xFFF) << 8 | (g.v & 0xFFF) << 20;
    sys::StoreU32(out, w0);
    sys::StoreU32(out + 4, w1);
}

} // namespace Mireku::Renderer
