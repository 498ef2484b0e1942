// The emission table of a particle batch and its copy into the points'
// states.
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Resource/DrawDataType4.h"
#include "effects/Core/Resource/EmissionEntry.h"
#include "effects/Core/Unit/CopyEmissionTable.h"
#include "effects/Core/Unit/GenerateEmissionTable.h"
#include "support/effects/RecordBuild.h"
#include "support/effects/XorshiftSteps.h"
#include "tools/effect/DrawDataWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using FulgorCore::DrawDataType4;
using FulgorCore::EmissionEntry;
using FulgorCore::Xorshift128;
using testsupport::Advanced;
using testsupport::Same;
using Batch = testsupport::RecordBuild<DrawDataType4>;

std::vector<uint8_t> BatchPayload(const effecttools::DrawDataType4Value& v) {
    effecttools::ChunkWriter w;
    effecttools::WriteDrawData(w, v);
    return testsupport::PayloadOf(w.Take());
}

// A batch of "CrCt" `count` with group size `group`, direction mode `mode`
// ("CrDT"), no models, speed 2 and a per-member increment (1, 2, 3).
effecttools::DrawDataType4Value BatchValue(uint32_t count, int16_t group, uint32_t mode) {
    effecttools::DrawDataType4Value v;
    v.fields = {{"CrCt", count}, {"CrDT", mode}};
    v.bpCt = group;
    v.floats = {{"MSP1", 2.0f}, {"MSP2", 2.0f}, {"RRX", 1.0f},  {"RRY", 2.0f},
                {"RRZ", 3.0f},  {"RIX2", 9.0f}, {"SIY2", 5.0f}, {"RSZ2", 4.0f}};
    return v;
}

// Draws of one group head without models: twelve vector components, the
// sphere's two and the radius, the speed, the flip and the pattern.
constexpr uint32_t kHeadDraws = 12 + 2 + 1 + 1 + 1 + 1;

TEST(EmissionTable, GroupHeadsAreDrawnAndMembersCopyTheirHeadWithIncrements) {
    Batch batch(BatchPayload(BatchValue(10, 4, 5)));
    ASSERT_TRUE(batch.Built());
    std::vector<EmissionEntry> table(10);
    Xorshift128 random;
    random.Seed(77);
    const Xorshift128 start = random;
    FulgorCore::GenerateEmissionTable(table.data(), 10, nullptr, *batch, random);
    // Entries 0, 4 and 8 are drawn, the others draw nothing.
    EXPECT_TRUE(Same(random, Advanced(start, 3 * kHeadDraws)));
    EXPECT_NE(table[4].random[2][0], table[0].random[2][0]);
    EXPECT_NE(table[8].random[2][0], table[4].random[2][0]);
    for (uint32_t e : {1u, 2u, 3u, 5u, 9u}) {
        const EmissionEntry& head = table[e - e % 4];
        const float m = static_cast<float>(e % 4);
        EXPECT_EQ(table[e].random[2][0], head.random[2][0] + 1.0f * m) << e;
        EXPECT_EQ(table[e].random[2][1], head.random[2][1] + 2.0f * m) << e;
        EXPECT_EQ(table[e].random[2][2], head.random[2][2] + 3.0f * m) << e;
        EXPECT_EQ(table[e].random[0][1], head.random[0][1]) << e;
        EXPECT_EQ(table[e].random[3][2], head.random[3][2]) << e;
        EXPECT_EQ(table[e].position[0], head.position[0]) << e;
        EXPECT_EQ(table[e].birthOffset[0], head.birthOffset[0]) << e;
    }
    // Each vector lies between its minimum and maximum vector.
    for (const EmissionEntry& e : table) {
        EXPECT_GE(e.random[0][1], 0.0f);
        EXPECT_LT(e.random[0][1], 5.0f);
    }
}

TEST(EmissionTable, DirectionModesWithoutADrawGiveTheirAxes) {
    // Mode 6 without a source model, 5, 4 and 3: fixed axes, times speed 2.
    const float expected[4][3] = {{0, 0, 2}, {0, 0, 2}, {0, 2, 0}, {2, 0, 0}};
    const uint32_t modes[4] = {6, 5, 4, 3};
    for (int i = 0; i < 4; ++i) {
        Batch batch(BatchPayload(BatchValue(2, 1, modes[i])));
        ASSERT_TRUE(batch.Built());
        std::vector<EmissionEntry> table(2);
        Xorshift128 random;
        FulgorCore::GenerateEmissionTable(table.data(), 2, nullptr, *batch, random);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(table[1].velocity[c], expected[i][c]) << modes[i];
        EXPECT_EQ(table[0].TargetMode(), 0u) << "no target model";
    }
}

TEST(EmissionTable, FrameCellsOnlyWithTheirFlag) {
    effecttools::DrawDataType4Value v = BatchValue(64, 1, 5);
    v.fields.push_back({"TCDU", 7});
    v.fields.push_back({"TCDV", 3});
    Batch off(BatchPayload(v));
    std::vector<EmissionEntry> table(64);
    Xorshift128 random;
    FulgorCore::GenerateEmissionTable(table.data(), 64, nullptr, *off, random);
    bool patterns = false;
    for (const EmissionEntry& e : table) {
        EXPECT_EQ(e.Cell(), 0u);
        EXPECT_LT(e.Pattern(), 3u);
        patterns = patterns || e.Pattern() != 0;
    }
    EXPECT_TRUE(patterns);
    v.fields.push_back({"bTAR", 1});
    Batch on(BatchPayload(v));
    FulgorCore::GenerateEmissionTable(table.data(), 64, nullptr, *on, random);
    bool cells = false;
    for (const EmissionEntry& e : table) {
        EXPECT_LT(e.Cell(), 21u);
        cells = cells || e.Cell() != 0;
    }
    EXPECT_TRUE(cells);
}

TEST(EmissionTable, BirthOffsetsStepByATenthOfTheBirthStepPerGroup) {
    effecttools::DrawDataType4Value v = BatchValue(6, 2, 5);
    v.fields.push_back({"CrI2", 30});
    Batch batch(BatchPayload(v));
    std::vector<EmissionEntry> table(6);
    Xorshift128 random;
    FulgorCore::GenerateEmissionTable(table.data(), 6, nullptr, *batch, random);
    for (uint32_t e = 0; e < 6; ++e) {
        EXPECT_FLOAT_EQ(table[e].birthOffset[0], -3.0f * static_cast<float>(e / 2)) << e;
        EXPECT_EQ(table[e].birthOffset[1], table[e].birthOffset[0]) << e;
    }
}

// Fault: the group size, pattern count and cell count are divisors from
// the file.
TEST(EmissionTable, ZeroDivisorsGiveIndexZeroAndKeepTheDrawOrder) {
    effecttools::DrawDataType4Value v = BatchValue(3, 0, 5);
    v.fields.push_back({"bTAR", 1});
    v.fields.push_back({"TCDV", 0});
    Batch zero(BatchPayload(v));
    std::vector<EmissionEntry> zeros(3);
    Xorshift128 a;
    FulgorCore::GenerateEmissionTable(zeros.data(), 3, nullptr, *zero, a);
    // Group size 0 acts as 1: every entry is a head of its own, and the
    // pattern and cell draws are still made.
    EXPECT_TRUE(Same(a, Advanced(Xorshift128{}, 3 * (kHeadDraws + 1))));
    v.fields.back() = {"TCDV", 1};
    v.fields.push_back({"TCDU", 1});
    Batch one(BatchPayload(v));
    std::vector<EmissionEntry> ones(3);
    Xorshift128 b;
    FulgorCore::GenerateEmissionTable(ones.data(), 3, nullptr, *one, b);
    for (uint32_t e = 0; e < 3; ++e) {
        EXPECT_EQ(zeros[e].Pattern(), 0u);
        EXPECT_EQ(zeros[e].Cell(), 0u);
        EXPECT_EQ(zeros[e].random[1][0], ones[e].random[1][0]) << e;
        EXPECT_EQ(zeros[e].velocity[2], ones[e].velocity[2]) << e;
    }
}

TEST(CopyEmissionTable, FlagsMoveUpAndTheFieldsOwnBitsStay) {
    EmissionEntry entries[2];
    entries[0].fields = 1u | (5u << 1) | (9u << 4) | (200u << 8);
    entries[0].birthOffset[0] = -1.5f;
    entries[0].birthOffset[1] = -2.5f;
    entries[0].target[2] = 7.0f;
    std::vector<uint8_t> states(3 * 192, 0xFF);
    FulgorCore::CopyEmissionTable(states.data(), 3, entries, 2);
    uint32_t flags;
    float f[5];
    std::memcpy(&flags, states.data(), 4);
    std::memcpy(f, states.data() + 4, 20);
    EXPECT_EQ(flags, 0xFFFC0000u | (1u << 2) | (5u << 3) | (9u << 6) | (200u << 10));
    EXPECT_EQ(f[0], -1.5f);
    EXPECT_EQ(f[1], -2.5f);
    EXPECT_EQ(f[4], 7.0f);
    // The rest of the record is the field's.
    EXPECT_EQ(states[24], 0xFF);
    EXPECT_EQ(states[191], 0xFF);
    // A point past the table gets the empty part.
    std::memcpy(&flags, states.data() + 2 * 192, 4);
    EXPECT_EQ(flags, 0xFFFC0000u);
}

} // namespace
