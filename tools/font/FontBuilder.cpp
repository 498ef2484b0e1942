#include "tools/font/FontBuilder.h"

#include "engine/renderer/FontDescription.h"
#include "tools/dds/DdsWriter.h"
#include "tools/font/FreeTypeFace.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tools {

namespace {

using Mireku::Renderer::FontDescription;
using Mireku::Renderer::FontGlyph;

// Places glyph cells on pages, layer by layer (a layer is one channel, or a
// channel pair with an outline), in rows.
class PageAllocator {
public:
    PageAllocator(uint32_t pageSize, uint32_t layers) : size_(pageSize), layers_(layers) {}

    void Place(uint32_t w, uint32_t h, uint32_t& page, uint32_t& layer, uint32_t& x, uint32_t& y) {
        if (x_ + w > size_) {
            x_ = 0;
            y_ += rowHeight_;
            rowHeight_ = 0;
        }
        if (y_ + h > size_) {
            x_ = y_ = rowHeight_ = 0;
            if (++layer_ == layers_) {
                layer_ = 0;
                ++page_;
            }
        }
        page = page_, layer = layer_, x = x_, y = y_;
        x_ += w;
        rowHeight_ = std::max(rowHeight_, h);
    }
    uint32_t PageCount() const { return page_ + 1; }

private:
    uint32_t size_, layers_;
    uint32_t page_ = 0, layer_ = 0, x_ = 0, y_ = 0, rowHeight_ = 0;
};

struct Cell {
    uint16_t code;
    FontGlyph glyph;
    std::vector<uint8_t> coverage; // width x height
    std::vector<uint8_t> outline;
};

std::vector<uint8_t> Dilate(const std::vector<uint8_t>& src, int w, int h, int radius) {
    std::vector<uint8_t> out(src.size(), 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t m = 0;
            for (int dy = -radius; dy <= radius; ++dy) {
                for (int dx = -radius; dx <= radius; ++dx) {
                    const int sx = x + dx, sy = y + dy;
                    if (dx * dx + dy * dy > radius * radius + radius || sx < 0 || sy < 0 ||
                        sx >= w || sy >= h)
                        continue;
                    m = std::max(m, src[static_cast<size_t>(sy * w + sx)]);
                }
            }
            out[static_cast<size_t>(y * w + x)] = m;
        }
    }
    return out;
}

} // namespace

std::vector<uint16_t> DefaultFontCodes() {
    std::vector<uint16_t> codes;
    for (uint16_t c = 0x21; c < 0x7F; ++c)
        codes.push_back(c);
    for (uint16_t c = 0xA1; c <= 0xFF; ++c)
        codes.push_back(c);
    return codes;
}

std::string FontPageFileName(const std::string& pageName, size_t page) {
    char number[16];
    std::snprintf(number, sizeof number, "_%02u.dds", static_cast<unsigned>(page));
    return pageName + number;
}

bool BuildFont(const FontBuildOptions& options, FontBuildResult& result, std::string& error) {
    const int b = static_cast<int>(options.baseSize);
    const int pad = options.outline ? static_cast<int>(options.outlineRadius) : 0;
    if (b <= 0 || b + 2 * pad > 63 || options.pageSize < 64 || options.pageSize > 4096 ||
        options.pageName.size() >= FontDescription::kNameBytes) {
        error = "font size, page size or page name out of range";
        return false;
    }
    FreeTypeFace ft;
    if (!ft.Open(options.fontPath.c_str())) {
        error = "cannot open " + options.fontPath;
        return false;
    }
    // Scale so that ascender plus descender fill the cell height.
    FT_Set_Pixel_Sizes(ft.face, 0, static_cast<FT_UInt>(b));
    int ascender = static_cast<int>(ft.face->size->metrics.ascender >> 6);
    int descender = static_cast<int>(-(ft.face->size->metrics.descender >> 6));
    if (ascender + descender > b) {
        FT_Set_Pixel_Sizes(ft.face, 0, static_cast<FT_UInt>(b * b / (ascender + descender)));
        ascender = static_cast<int>(ft.face->size->metrics.ascender >> 6);
    }

    const bool wide = std::any_of(options.codes.begin(), options.codes.end(),
                                  [](uint16_t c) { return c > 0xFF; });
    const uint32_t mapEntries = wide ? 65536 : 256;
    std::vector<Cell> cells;
    for (uint16_t code : options.codes) {
        if (code >= mapEntries || FT_Get_Char_Index(ft.face, code) == 0 ||
            FT_Load_Char(ft.face, code, FT_LOAD_RENDER))
            continue;
        const FT_GlyphSlot slot = ft.face->glyph;
        const int advance = static_cast<int>((slot->advance.x + 32) >> 6);
        Cell cell;
        cell.code = code;
        const int w = std::clamp(advance + 2 * pad, 1, 63);
        const int h = b + 2 * pad;
        cell.coverage.assign(static_cast<size_t>(w * h), 0);
        const FT_Bitmap& bm = slot->bitmap;
        for (int y = 0; y < static_cast<int>(bm.rows); ++y) {
            for (int x = 0; x < static_cast<int>(bm.width); ++x) {
                const int cx = pad + slot->bitmap_left + x;
                const int cy = pad + ascender - slot->bitmap_top + y;
                if (cx < 0 || cy < 0 || cx >= w || cy >= h)
                    continue;
                cell.coverage[static_cast<size_t>(cy * w + cx)] = bm.buffer[y * bm.pitch + x];
            }
        }
        if (options.outline)
            cell.outline = Dilate(cell.coverage, w, h, pad);
        const int cellAdvance = code < 0x100 ? b / 2 : b;
        cell.glyph = FontGlyph{std::clamp((cellAdvance - w) / 2, -32, 31), -pad, w, h, 0, 0, 0, 0};
        cells.push_back(std::move(cell));
    }
    if (cells.empty() || cells.size() >= FontDescription::kNoGlyph) {
        error = "no glyphs";
        return false;
    }

    PageAllocator pages(options.pageSize, options.outline ? 2 : 4);
    for (Cell& c : cells) {
        uint32_t page, layer, x, y;
        pages.Place(static_cast<uint32_t>(c.glyph.width), static_cast<uint32_t>(c.glyph.height),
                    page, layer, x, y);
        c.glyph.page = page;
        c.glyph.channel = options.outline ? layer * 2 : layer;
        c.glyph.u = x;
        c.glyph.v = y;
    }
    if (pages.PageCount() > 63) {
        error = "too many pages";
        return false;
    }

    const size_t glyphTable = FontDescription::kMapOffset + 2 * size_t{mapEntries};
    std::vector<uint8_t>& d = result.description;
    d.assign(glyphTable + cells.size() * FontDescription::kGlyphBytes, 0);
    d[FontDescription::kBaseSizeOffset] = static_cast<uint8_t>(b);
    d[FontDescription::kPageCountOffset] = static_cast<uint8_t>(pages.PageCount());
    d[FontDescription::kFlagsOffset] =
        static_cast<uint8_t>((options.outline ? FontDescription::kFlagOutline : 0) |
                             (wide ? FontDescription::kFlagWideMap : 0));
    std::memcpy(&d[FontDescription::kNameOffset], options.pageName.c_str(),
                options.pageName.size() + 1);
    std::memset(&d[FontDescription::kMapOffset], 0xFF, 2 * size_t{mapEntries});

    const size_t pageBytes = size_t{options.pageSize} * options.pageSize * 4;
    std::vector<std::vector<uint8_t>> pixels(pages.PageCount(), std::vector<uint8_t>(pageBytes));
    for (size_t i = 0; i < cells.size(); ++i) {
        const Cell& c = cells[i];
        d[FontDescription::kMapOffset + 2 * size_t{c.code}] = static_cast<uint8_t>(i);
        d[FontDescription::kMapOffset + 2 * size_t{c.code} + 1] = static_cast<uint8_t>(i >> 8);
        FontDescription::EncodeGlyph(c.glyph, &d[glyphTable + i * FontDescription::kGlyphBytes]);
        std::vector<uint8_t>& page = pixels[c.glyph.page];
        for (int y = 0; y < c.glyph.height; ++y) {
            for (int x = 0; x < c.glyph.width; ++x) {
                const size_t src = static_cast<size_t>(y * c.glyph.width + x);
                const size_t dst = ((c.glyph.v + y) * size_t{options.pageSize} + c.glyph.u + x) * 4;
                page[dst + c.glyph.channel] = c.coverage[src];
                if (options.outline)
                    page[dst + c.glyph.channel + 1] = c.outline[src];
            }
        }
    }
    result.pages.clear();
    for (const auto& p : pixels)
        result.pages.push_back(WriteDds(sys::DdsFormat::R8G8B8A8, options.pageSize,
                                        options.pageSize, 1, false, p.data(), p.size()));
    return true;
}

} // namespace tools
