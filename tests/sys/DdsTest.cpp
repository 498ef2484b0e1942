#include "sys/dds.h"
#include "tools/dds/DdsWriter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using sys::DdsFormat;

std::vector<uint8_t> Pixels(size_t n) {
    std::vector<uint8_t> p(n);
    for (size_t i = 0; i < n; ++i)
        p[i] = static_cast<uint8_t>(i * 7 + 1);
    return p;
}

TEST(Dds, ReadsA2DMipChainWithSurfacesInOrder) {
    const size_t bytes = tools::DdsFaceBytes(DdsFormat::R8G8B8A8, 8, 4, 4);
    ASSERT_EQ(bytes, (32u + 8u + 2u + 1u) * 4u);
    auto pixels = Pixels(bytes);
    auto file = tools::WriteDds(DdsFormat::R8G8B8A8, 8, 4, 4, false, pixels.data(), bytes);
    sys::DdsImage image;
    ASSERT_TRUE(sys::ParseDds(file.data(), file.size(), image));
    EXPECT_EQ(image.format, DdsFormat::R8G8B8A8);
    EXPECT_EQ(image.width, 8u);
    EXPECT_EQ(image.height, 4u);
    EXPECT_EQ(image.mipCount, 4u);
    EXPECT_FALSE(image.cube);
    const uint32_t widths[] = {8, 4, 2, 1}, heights[] = {4, 2, 1, 1};
    size_t offset = 128;
    for (uint32_t m = 0; m < 4; ++m) {
        const sys::DdsSurface& s = image.Surface(0, m);
        EXPECT_EQ(s.width, widths[m]);
        EXPECT_EQ(s.height, heights[m]);
        EXPECT_EQ(s.rowPitch, widths[m] * 4);
        EXPECT_EQ(s.data, file.data() + offset);
        offset += s.size;
    }
    EXPECT_EQ(offset, file.size());
}

TEST(Dds, RecognisesEveryFormatInBothHeaderForms) {
    const DdsFormat formats[] = {DdsFormat::R8G8B8A8,
                                 DdsFormat::B8G8R8A8,
                                 DdsFormat::B8G8R8X8,
                                 DdsFormat::A8,
                                 DdsFormat::R10G10B10A2,
                                 DdsFormat::R16Float,
                                 DdsFormat::R32Float,
                                 DdsFormat::R16G16B16A16Float,
                                 DdsFormat::R32G32B32A32Float,
                                 DdsFormat::BC1,
                                 DdsFormat::BC2,
                                 DdsFormat::BC3};
    for (DdsFormat f : formats) {
        for (bool extension : {false, true}) {
            const size_t bytes = tools::DdsFaceBytes(f, 16, 16, 5);
            auto pixels = Pixels(bytes);
            auto file = tools::WriteDds(f, 16, 16, 5, false, pixels.data(), bytes, extension);
            sys::DdsImage image;
            ASSERT_TRUE(sys::ParseDds(file.data(), file.size(), image))
                << static_cast<int>(f) << " " << extension;
            EXPECT_EQ(image.format, f);
            EXPECT_EQ(image.mipCount, 5u);
        }
    }
}

TEST(Dds, BlockFormatsRoundSmallMipsUpToWholeBlocks) {
    const size_t bytes = tools::DdsFaceBytes(DdsFormat::BC1, 8, 8, 4);
    EXPECT_EQ(bytes, (4u + 1u + 1u + 1u) * 8u); // 8x8, 4x4, 2x2 and 1x1 each need a block
    auto pixels = Pixels(bytes);
    auto file = tools::WriteDds(DdsFormat::BC1, 8, 8, 4, false, pixels.data(), bytes);
    sys::DdsImage image;
    ASSERT_TRUE(sys::ParseDds(file.data(), file.size(), image));
    EXPECT_EQ(image.Surface(0, 3).size, 8u);
    EXPECT_EQ(image.Surface(0, 3).width, 1u);
    EXPECT_EQ(image.Surface(0, 0).rowPitch, 16u);
}

TEST(Dds, ReadsCubeMapsFaceByFace) {
    const size_t face = tools::DdsFaceBytes(DdsFormat::BC3, 8, 8, 2);
    auto pixels = Pixels(face * 6);
    for (bool extension : {false, true}) {
        auto file =
            tools::WriteDds(DdsFormat::BC3, 8, 8, 2, true, pixels.data(), pixels.size(), extension);
        sys::DdsImage image;
        ASSERT_TRUE(sys::ParseDds(file.data(), file.size(), image));
        EXPECT_TRUE(image.cube);
        EXPECT_EQ(image.faceCount, 6u);
        EXPECT_EQ(image.Surface(5, 1).data + image.Surface(5, 1).size, file.data() + file.size());
        EXPECT_EQ(image.Surface(1, 0).data, image.Surface(0, 1).data + image.Surface(0, 1).size);
    }
}

// A 4x4 three-level file (or, with `extension`, one level behind the
// extension header) with one word changed: refused, leaving nothing behind.
struct Damage {
    const char* what;
    bool extension;
    std::vector<std::pair<size_t, uint32_t>> words; // offset, new value
};

TEST(Dds, DamagedHeadersAreRefused) {
    const Damage damages[] = {
        {"bad magic", false, {{0, 0x20534444u ^ 1}}},
        {"width past the limit", false, {{16, 0xFFFFFFFFu}}},
        {"width zero", false, {{16, 0}}},
        {"height past the limit", false, {{12, 0x40000000u}}},
        {"four levels of 4x4", false, {{28, 4}}},
        {"every level", false, {{28, 0xFFFFFFFFu}}},
        {"a 16-bit mask in a 32-bit format", false, {{92, 0xF800}}},
        {"header size", false, {{4, 123}}},
        {"pixel-format size", false, {{76, 0}}},
        {"unknown four-character code", false, {{80, 0x4}, {84, 0x41424344u}}},
        {"a volume", false, {{112, 0x200000}}},
        {"a cube of one face", false, {{112, 0x200 | 0x400}}},
        {"an array", true, {{140, 2}}},
        {"a volume extension", true, {{132, 4}}},
        {"an unknown extension format", true, {{128, 200}}},
        {"a cube that is not square", true, {{136, 4}, {12, 2}}},
    };
    for (const Damage& d : damages) {
        const uint32_t mips = d.extension ? 1 : 3;
        const size_t bytes = tools::DdsFaceBytes(DdsFormat::R8G8B8A8, 4, 4, mips);
        auto pixels = Pixels(bytes);
        auto file = tools::WriteDds(DdsFormat::R8G8B8A8, 4, 4, mips, false, pixels.data(), bytes,
                                    d.extension);
        sys::DdsImage image;
        ASSERT_TRUE(sys::ParseDds(file.data(), file.size(), image)) << d.what;
        for (const auto& [offset, value] : d.words)
            tools::PutU32(file, offset, value);
        sys::DdsImage refused;
        EXPECT_FALSE(sys::ParseDds(file.data(), file.size(), refused)) << d.what;
        EXPECT_EQ(refused.format, DdsFormat::Unknown) << d.what;
    }
    sys::DdsImage image;
    EXPECT_FALSE(sys::ParseDds(nullptr, 1000, image));
}

// Exactly sized copies, so that the sanitizer sees any read past the end.
bool ParsesExactly(const std::vector<uint8_t>& file, size_t n) {
    std::vector<uint8_t> exact(file.begin(), file.begin() + n);
    sys::DdsImage image;
    return sys::ParseDds(exact.data(), exact.size(), image);
}

TEST(Dds, HeadersCutShortAreRefusedWithoutReadingPastTheirEnd) {
    const size_t bytes = tools::DdsFaceBytes(DdsFormat::R8G8B8A8, 4, 4, 1);
    auto pixels = Pixels(bytes);
    for (bool extension : {false, true}) {
        auto file =
            tools::WriteDds(DdsFormat::R8G8B8A8, 4, 4, 1, false, pixels.data(), bytes, extension);
        const size_t header = extension ? 148 : 128;
        for (size_t n = 0; n < header; ++n)
            EXPECT_FALSE(ParsesExactly(file, n)) << extension << " " << n;
        EXPECT_FALSE(ParsesExactly(file, file.size() - 1));
        EXPECT_TRUE(ParsesExactly(file, file.size()));
    }
}

TEST(Dds, ATallTexturesMipChainKeepsItsWidthAtOne) {
    // 2 x 16: 2x16, 1x8, 1x4, 1x2, 1x1, four bytes a texel.
    const size_t total = 128 + 32 + 16 + 8 + 4;
    std::vector<uint8_t> pixels = Pixels(total);
    auto file = tools::WriteDds(DdsFormat::R8G8B8A8, 2, 16, 5, false, pixels.data(), total);
    ASSERT_EQ(file.size(), 128 + total);
    sys::DdsImage image;
    ASSERT_TRUE(sys::ParseDds(file.data(), file.size(), image));
    const uint32_t heights[] = {16, 8, 4, 2, 1};
    const uint32_t sizes[] = {128, 32, 16, 8, 4};
    for (uint32_t m = 0; m < 5; ++m) {
        EXPECT_EQ(image.Surface(0, m).width, m == 0 ? 2u : 1u) << m;
        EXPECT_EQ(image.Surface(0, m).height, heights[m]) << m;
        EXPECT_EQ(image.Surface(0, m).size, sizes[m]) << m;
        EXPECT_EQ(image.Surface(0, m).rowPitch, m == 0 ? 8u : 4u) << m;
    }
    EXPECT_EQ(image.Surface(0, 4).data + 4, file.data() + file.size());
    EXPECT_FALSE(ParsesExactly(file, file.size() - 1)) << "the last 1x1 level is needed whole";
}

} // namespace
