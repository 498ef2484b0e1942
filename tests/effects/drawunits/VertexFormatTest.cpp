// The vertex formats' texture words: the strip coordinates written per
// point, their copy into the vertices, and the colour packing.
#include "effects/drawunits/VertexFormat.h"
#include "effects/drawunits/PackColor.h"
#include "effects/drawunits/ScatterTexCoords.h"
#include "effects/render/StripTexCoords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

namespace Renderer = FulgorCore::Renderer;

// Layer 1: u = m0 u + 0.1234, v = 2 v + 0.5; layer 2: u = 2 u, v = v - 0.25.
constexpr float kTransforms[16] = {1, 0, 0, 0.1234f, 0, 2, 0, 0.5f, 2, 0, 0, 0, 0, 1, 0, -0.25f};

TEST(VertexFormat, StripTextureWordsRunAlongTheStrip) {
    using Words = std::vector<int16_t>;
    const struct {
        const char* name;
        void (*write)(uint16_t*, const float*, uint32_t);
        uint32_t points;
        Words words; // per point edge A's pairs, (the centre's,) edge B's
    } rows[] = {
        {"one point stays at v = -0.5",
         Renderer::WriteStripTexCoords<2>,
         1,
         {623, -500, 1000, -750, -376, -500, -1000, -750}},
        {"three points step v by 0.5",
         Renderer::WriteStripTexCoords<2>,
         3,
         {623, -500, 1000, -750, -376, -500, -1000, -750, //
          623, 500,  1000, -250, -376, 500,  -1000, -250, //
          623, 1500, 1000, 250,  -376, 1500, -1000, 250}},
        {"the centre line adds u = 0 between the edges",
         Renderer::WriteStripTexCoords<1, FulgorCore::CentreLine>,
         1,
         {623, -500, 123, -500, -376, -500}},
        {"no point writes nothing", Renderer::WriteStripTexCoords<2>, 0, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<uint16_t> out(row.words.size() + 4, 0xCDCD);
        row.write(out.data(), kTransforms, row.points);
        for (size_t i = 0; i < row.words.size(); ++i)
            EXPECT_EQ(static_cast<int16_t>(out[i]), row.words[i]) << i;
        EXPECT_EQ(out[row.words.size()], 0xCDCD) << "written past the strip";
    }
}

TEST(VertexFormat, ScatterFillsTheTextureWordsAndLeavesTheSpareBytes) {
    const struct {
        uint32_t n;
        uint32_t stride;
        uint32_t perPoint;
        void (*scatter)(void*, const uint32_t*, uint32_t);
    } rows[] = {
        {0, 32, 2, Renderer::ScatterTexCoords<0>},
        {1, 36, 2, Renderer::ScatterTexCoords<1>},
        {3, 44, 2, Renderer::ScatterTexCoords<3>},
        {5, 52, 2, Renderer::ScatterTexCoords<5>},
        {5, 52, 3, Renderer::ScatterTexCoords<5, FulgorCore::CentreLine>},
    };
    constexpr uint32_t kPoints = 2;
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "N " << row.n << ", " << row.perPoint << " per point");
        const uint32_t vertices = kPoints * row.perPoint;
        std::vector<uint8_t> bytes((vertices + 1) * row.stride, 0xCD);
        std::vector<uint32_t> words(vertices * row.n);
        for (uint32_t i = 0; i < words.size(); ++i)
            words[i] = 0x10000u * (i + 1) + i;
        row.scatter(bytes.data(), words.data(), kPoints);
        for (uint32_t v = 0; v <= vertices; ++v) {
            const uint8_t* vertex = &bytes[v * row.stride];
            for (uint32_t b = 0; b < row.stride; ++b) {
                const bool word = v < vertices && b >= 28 && b < 28 + 4 * row.n;
                if (!word) {
                    EXPECT_EQ(vertex[b], 0xCD) << "vertex " << v << " byte " << b;
                    continue;
                }
                uint32_t got = 0;
                std::memcpy(&got, vertex + 28 + (b - 28) / 4 * 4, 4);
                EXPECT_EQ(got, words[v * row.n + (b - 28) / 4]) << "vertex " << v;
            }
        }
    }
}

TEST(VertexFormat, ColoursPackToThousandthsWithinTen) {
    const struct {
        float in[4];
        uint16_t out[4];
    } rows[] = {
        {{1, 1, 1, 1}, {1000, 1000, 1000, 1000}},
        {{10, 12.5f, -3, NAN}, {10000, 10000, 0, 0}},
        {{0.0005f, 0.0015f, 0.9999f, 2.5f}, {0, 1, 999, 2500}},
    };
    for (const auto& row : rows) {
        uint16_t out[4];
        FulgorCore::PackFloat4ToU16(out, row.in);
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(out[c], row.out[c]) << row.in[c];
    }
}

} // namespace
