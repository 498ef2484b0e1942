// The bitmap-font description ("*.mfd"): header, character map and glyph
// records, read in place from the file's bytes. Every offset and index taken
// from the file is checked against its size; a malformed file gives no font,
// a bad entry gives no glyph.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Mireku::Renderer {

struct FontGlyph {
    int32_t offsetX; // pixels at the base size, signed
    int32_t offsetY;
    int32_t width;
    int32_t height;
    uint32_t page;
    uint32_t channel; // 0-3: red, green, blue, alpha
    uint32_t u;       // texels in the page
    uint32_t v;
};

class FontDescription {
public:
    static constexpr size_t kBaseSizeOffset = 8;
    static constexpr size_t kPageCountOffset = 9;
    static constexpr size_t kFlagsOffset = 12;
    static constexpr size_t kNameOffset = 14;
    static constexpr size_t kNameBytes = 34;
    static constexpr size_t kMapOffset = 48;
    static constexpr uint8_t kFlagOutline = 0x2;
    static constexpr uint8_t kFlagWideMap = 0x4;
    static constexpr uint16_t kNoGlyph = 0xFFFF;
    static constexpr size_t kGlyphBytes = 8;

    // Reads the header; false (and an empty description) when the file is
    // shorter than its header and map, its base size is 0 or its page name
    // has no terminator.
    bool Parse(const uint8_t* data, size_t size);
    void Clear() { *this = FontDescription(); }
    bool IsValid() const { return data_ != nullptr; }

    uint8_t GetBaseSize() const { return baseSize_; }
    uint8_t GetPageCount() const { return pageCount_; }
    bool HasOutline() const { return (flags_ & kFlagOutline) != 0; }
    const char* GetPageName() const { return name_; }
    size_t GetGlyphTableOffset() const { return glyphOffset_; }
    uint32_t GetGlyphCount() const { return glyphCount_; }

    // The glyph index of a UTF-16 code unit, kNoGlyph when there is none
    // (outside the map, unmapped, or past the glyph table).
    uint16_t GlyphIndex(uint16_t code) const;
    // False when the index is out of range or the glyph's page is not one of
    // the font's pages.
    bool GetGlyph(uint16_t index, FontGlyph& out) const;

    // Record layout, for the font tools.
    static void EncodeGlyph(const FontGlyph& glyph, uint8_t out[kGlyphBytes]);
    static FontGlyph DecodeGlyph(const uint8_t record[kGlyphBytes]);

private:
    const uint8_t* data_ = nullptr;
    uint8_t baseSize_ = 0;
    uint8_t pageCount_ = 0;
    uint8_t flags_ = 0;
    char name_[kNameBytes] = {};
    uint32_t mapEntries_ = 0;
    size_t glyphOffset_ = 0;
    uint32_t glyphCount_ = 0;
};

} // namespace Mireku::Renderer
