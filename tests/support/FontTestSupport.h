// Fonts for the text tests: a synthetic description written byte by byte, and
// a scratch folder that the resource loader reads "font/..." from.
#pragma once

#include "engine/renderer/FontDescription.h"
#include "engine/resource/ResourceLoader.h"
#include "support/ScratchFolder.h"
#include "tools/font/FontBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testing_font {

// The TrueType font the font-building tests use.
constexpr const char* kDejaVu = tools::kDejaVuSans;

struct GlyphSpec {
    uint16_t code;
    Mireku::Renderer::FontGlyph glyph;
};

inline std::vector<uint8_t> Description(uint8_t baseSize, uint8_t pages, uint8_t flags,
                                        const char* name, const std::vector<GlyphSpec>& glyphs) {
    using Mireku::Renderer::FontDescription;
    const size_t entries = (flags & FontDescription::kFlagWideMap) ? 65536 : 256;
    const size_t table = FontDescription::kMapOffset + 2 * entries;
    std::vector<uint8_t> d(table + glyphs.size() * FontDescription::kGlyphBytes, 0);
    d[FontDescription::kBaseSizeOffset] = baseSize;
    d[FontDescription::kPageCountOffset] = pages;
    d[FontDescription::kFlagsOffset] = flags;
    std::strncpy(reinterpret_cast<char*>(&d[FontDescription::kNameOffset]), name,
                 FontDescription::kNameBytes - 1);
    std::memset(&d[FontDescription::kMapOffset], 0xFF, 2 * entries);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        d[FontDescription::kMapOffset + 2 * glyphs[i].code] = static_cast<uint8_t>(i);
        d[FontDescription::kMapOffset + 2 * glyphs[i].code + 1] = static_cast<uint8_t>(i >> 8);
        FontDescription::EncodeGlyph(glyphs[i].glyph, &d[table + i * FontDescription::kGlyphBytes]);
    }
    return d;
}

// A scratch root folder with a "font" folder, registered with a fresh loader.
class FontFolder {
public:
    FontFolder() : root_(scratch_.Root()) {
        std::filesystem::create_directories(root_ + "/font");
        loader_ = Mireku::Resource::ResourceLoader::CreateInstance();
        loader_->SetMode(Mireku::Resource::ResourceLoader::kLooseFiles);
        loader_->AddRootFolder(root_.c_str());
    }
    ~FontFolder() { Mireku::Resource::ResourceLoader::DestroyInstance(); }
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream out(root_ + "/font/" + name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

private:
    testsupport::ScratchFolder scratch_;
    std::string root_;
    Mireku::Resource::ResourceLoader* loader_ = nullptr;
};

} // namespace testing_font
