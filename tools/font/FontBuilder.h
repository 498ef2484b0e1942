// Makes a bitmap font (".mfd" description and DDS pages) from a TrueType font
// with FreeType. Each glyph is stored in one colour channel of a page; with an
// outline, the channel after it holds the glyph grown by the outline radius.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// The TrueType font the sample data and the font tests draw with (package
// fonts-dejavu-core).
constexpr const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct FontBuildOptions {
    std::string fontPath;
    std::string pageName = "script"; // pages are "<name>_00.dds", "<name>_01.dds", ...
    uint32_t baseSize = 32;          // cell height in pixels; at most 59 with an outline
    uint32_t pageSize = 256;
    bool outline = true;
    uint32_t outlineRadius = 2;
    std::vector<uint16_t> codes; // UTF-16 code units to include
};

struct FontBuildResult {
    std::vector<uint8_t> description;
    std::vector<std::vector<uint8_t>> pages; // DDS files
};

bool BuildFont(const FontBuildOptions& options, FontBuildResult& result, std::string& error);

// Printable ASCII and Latin-1.
std::vector<uint16_t> DefaultFontCodes();

// The file name of page `page` of a font whose pages are called `pageName`:
// "<pageName>_00.dds", "<pageName>_01.dds", ...
std::string FontPageFileName(const std::string& pageName, size_t page);

} // namespace tools
