#include "support/FontTestSupport.h"

#include "tools/font/FontBuilder.h"

#include "sys/dds.h"

#include <filesystem>

namespace {

using Mireku::Renderer::FontDescription;
using Mireku::Renderer::FontGlyph;
using testing_font::Description;
using testing_font::kDejaVu;

TEST(FontDescription, GlyphRecordsRoundTripWithSignedFields) {
    const FontGlyph g{-5, 31, 63, -2, 17, 3, 4095, 2049};
    uint8_t record[8];
    FontDescription::EncodeGlyph(g, record);
    const FontGlyph back = FontDescription::DecodeGlyph(record);
    EXPECT_EQ(back.offsetX, -5);
    EXPECT_EQ(back.offsetY, 31);
    EXPECT_EQ(back.width, 63);
    EXPECT_EQ(back.height, -2);
    EXPECT_EQ(back.page, 17u);
    EXPECT_EQ(back.channel, 3u);
    EXPECT_EQ(back.u, 4095u);
    EXPECT_EQ(back.v, 2049u);
}

TEST(FontDescription, ReadsHeaderMapAndGlyphs) {
    auto d = Description(24, 2, FontDescription::kFlagOutline, "story",
                         {{'A', {1, 2, 10, 20, 1, 2, 30, 40}}, {'B', {0, 0, 12, 20, 0, 0, 0, 0}}});
    FontDescription f;
    ASSERT_TRUE(f.Parse(d.data(), d.size()));
    EXPECT_EQ(f.GetBaseSize(), 24);
    EXPECT_EQ(f.GetPageCount(), 2);
    EXPECT_TRUE(f.HasOutline());
    EXPECT_STREQ(f.GetPageName(), "story");
    EXPECT_EQ(f.GetGlyphTableOffset(), 560u);
    EXPECT_EQ(f.GetGlyphCount(), 2u);
    FontGlyph g;
    ASSERT_TRUE(f.GetGlyph(f.GlyphIndex('A'), g));
    EXPECT_EQ(g.page, 1u);
    EXPECT_EQ(g.channel, 2u);
    EXPECT_EQ(g.u, 30u);
    EXPECT_EQ(f.GlyphIndex('B'), 1);
    EXPECT_EQ(f.GlyphIndex('C'), FontDescription::kNoGlyph);
    EXPECT_EQ(f.GlyphIndex(0x3042), FontDescription::kNoGlyph); // beyond a 256-entry map
}

TEST(FontDescription, WideMapReachesFullWidthCodes) {
    auto d = Description(24, 1, FontDescription::kFlagWideMap, "w",
                         {{0x3042, {0, 0, 24, 24, 0, 0, 0, 0}}});
    FontDescription f;
    ASSERT_TRUE(f.Parse(d.data(), d.size()));
    EXPECT_EQ(f.GetGlyphTableOffset(), 131120u);
    EXPECT_EQ(f.GlyphIndex(0x3042), 0);
}

TEST(FontDescription, MalformedFilesGiveNoFont) {
    auto d = Description(24, 1, 0, "ok", {{'A', {0, 0, 8, 8, 0, 0, 0, 0}}});
    FontDescription f;
    EXPECT_FALSE(f.Parse(d.data(), 47));       // shorter than the header
    EXPECT_FALSE(f.Parse(d.data(), 48 + 511)); // map cut short
    EXPECT_FALSE(f.Parse(nullptr, 1000));
    auto wide = d;
    wide[FontDescription::kFlagsOffset] = FontDescription::kFlagWideMap; // map needs 128 KiB
    EXPECT_FALSE(f.Parse(wide.data(), wide.size()));
    auto zero = d;
    zero[FontDescription::kBaseSizeOffset] = 0;
    EXPECT_FALSE(f.Parse(zero.data(), zero.size()));
    auto unterminated = d;
    std::memset(&unterminated[FontDescription::kNameOffset], 'x', FontDescription::kNameBytes);
    EXPECT_FALSE(f.Parse(unterminated.data(), unterminated.size()));
    EXPECT_FALSE(f.IsValid());
    EXPECT_EQ(f.GlyphIndex('A'), FontDescription::kNoGlyph);
    ASSERT_TRUE(f.Parse(d.data(), d.size()));
}

TEST(FontDescription, OutOfRangeGlyphAndPageIndicesGiveNoGlyph) {
    auto d = Description(24, 1, 0, "p",
                         {{'A', {0, 0, 8, 8, 0, 0, 0, 0}}, {'B', {0, 0, 8, 8, 3, 0, 0, 0}}});
    d[FontDescription::kMapOffset + 2 * 'C'] = 7; // glyph 7 of 2
    d[FontDescription::kMapOffset + 2 * 'C' + 1] = 0;
    FontDescription f;
    ASSERT_TRUE(f.Parse(d.data(), d.size()));
    FontGlyph g;
    EXPECT_TRUE(f.GetGlyph(f.GlyphIndex('A'), g));
    EXPECT_FALSE(f.GetGlyph(f.GlyphIndex('B'), g)); // page 3 of 1
    EXPECT_EQ(f.GlyphIndex('C'), FontDescription::kNoGlyph);
    EXPECT_FALSE(f.GetGlyph(2, g));
    // A trailing partial record is not a glyph.
    d.resize(d.size() - 3);
    ASSERT_TRUE(f.Parse(d.data(), d.size()));
    EXPECT_EQ(f.GetGlyphCount(), 1u);
    EXPECT_EQ(f.GlyphIndex('B'), FontDescription::kNoGlyph);
}

TEST(FontBuilder, MakesADescriptionAndPagesTheReaderAccepts) {
    if (!std::filesystem::exists(kDejaVu))
        GTEST_SKIP() << "fonts-dejavu-core is not installed";
    tools::FontBuildOptions options;
    options.fontPath = kDejaVu;
    options.codes = tools::DefaultFontCodes();
    tools::FontBuildResult result;
    std::string error;
    ASSERT_TRUE(tools::BuildFont(options, result, error)) << error;
    FontDescription f;
    ASSERT_TRUE(f.Parse(result.description.data(), result.description.size()));
    EXPECT_EQ(f.GetBaseSize(), 32);
    EXPECT_TRUE(f.HasOutline());
    EXPECT_STREQ(f.GetPageName(), "script");
    ASSERT_EQ(result.pages.size(), f.GetPageCount());
    FontGlyph a;
    ASSERT_TRUE(f.GetGlyph(f.GlyphIndex('A'), a));
    EXPECT_EQ(a.channel % 2, 0u); // glyph channels 0 and 2, outlines beside them
    sys::DdsImage page;
    ASSERT_TRUE(sys::ParseDds(result.pages[a.page].data(), result.pages[a.page].size(), page));
    // The glyph has coverage in its channel, and the outline covers at least
    // as much in the next one.
    const uint8_t* px = page.Surface(0, 0).data;
    uint32_t glyphSum = 0, outlineSum = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const uint8_t* p = px + ((a.v + y) * page.width + a.u + x) * 4;
            glyphSum += p[a.channel];
            outlineSum += p[a.channel + 1];
        }
    EXPECT_GT(glyphSum, 0u);
    EXPECT_GT(outlineSum, glyphSum);
    EXPECT_EQ(f.GlyphIndex(' '), FontDescription::kNoGlyph);
}

} // namespace
