// Each row struct against the file layout: a row with distinct field values is
// written through the sample-data builder's own row writer, behind a zero row,
// and read back at the byte offsets the layouts give.
#include "game/core/tables/BossRecord.h"
#include "game/core/tables/BulletFxRow.h"
#include "game/core/tables/BulletParamRow.h"
#include "game/core/tables/EmitterParamRow.h"
#include "game/core/tables/EnemyRecord.h"
#include "game/core/tables/MapAttributeEntry.h"
#include "game/core/tables/NameRow.h"
#include "game/core/tables/ResourceIndexEntry.h"
#include "game/core/tables/ShipParamRow.h"
#include "game/core/tables/ShotParamRow.h"
#include "game/core/tables/SystemParamRow.h"
#include "game/core/tables/TimelineEntry.h"
#include "tools/sampledata/GameTableData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// The second of two rows written by the builder: the offsets below are
// relative to it, so a wrong row size shows as well as a wrong offset.
template <class Row> std::vector<uint8_t> Written(const Row& row) {
    std::vector<uint8_t> image;
    SampleData::AppendRow(image, Row{});
    SampleData::AppendRow(image, row);
    EXPECT_EQ(image.size(), 2 * sizeof(Row));
    return std::vector<uint8_t>(image.begin() + sizeof(Row), image.end());
}

template <class T> T At(const std::vector<uint8_t>& b, size_t off) {
    T v{};
    EXPECT_LE(off + sizeof(T), b.size());
    if (off + sizeof(T) <= b.size())
        std::memcpy(&v, b.data() + off, sizeof(T));
    return v;
}

// A field of the file layout: its byte offset, its type and the value stored.
enum Kind { kI8, kU8, kI16, kU16, kI32, kF32 };
struct Field {
    size_t offset;
    Kind kind;
    double value;
};
double Read(const std::vector<uint8_t>& b, size_t off, Kind kind) {
    switch (kind) {
    case kI8:
        return At<int8_t>(b, off);
    case kU8:
        return At<uint8_t>(b, off);
    case kI16:
        return At<int16_t>(b, off);
    case kU16:
        return At<uint16_t>(b, off);
    case kI32:
        return At<int32_t>(b, off);
    case kF32:
        return At<float>(b, off);
    }
    return 0;
}
void ExpectFields(const std::vector<uint8_t>& b, size_t size, std::initializer_list<Field> fields) {
    EXPECT_EQ(b.size(), size);
    for (const Field& f : fields)
        EXPECT_EQ(Read(b, f.offset, f.kind), f.value) << "offset " << f.offset;
}
// Fields of one type that each hold base + their offset.
void ExpectOffsets(const std::vector<uint8_t>& b, Kind kind, double base,
                   std::initializer_list<size_t> offsets) {
    for (size_t off : offsets)
        EXPECT_EQ(Read(b, off, kind), base + static_cast<double>(off)) << "offset " << off;
}

// Fills a grid with values that differ per mount and cell.
void FillGrid(EmitterGrid& grid, int base) {
    for (int m = 0; m < 10; ++m) {
        grid.mounts[m].x = static_cast<int16_t>(base + m * 100);
        grid.mounts[m].y = static_cast<int16_t>(base + m * 100 + 1);
        for (int c = 0; c < 12; ++c)
            grid.mounts[m].emitters[c] = static_cast<int16_t>(base + m * 100 + 2 + c);
    }
}
// A grid at `at`: 10 rows of 28 bytes, i16 x, i16 y, 12 i16 emitter numbers.
void ExpectGrid(const std::vector<uint8_t>& b, size_t at, int base) {
    for (int m = 0; m < 10; ++m)
        for (int k = 0; k < 14; ++k)
            EXPECT_EQ(At<int16_t>(b, at + m * 28 + k * 2), base + m * 100 + k) << m << "," << k;
}
// Tracks of four-corner texel rectangles at `at`: frame f, corner k holds
// sign * (base + f * 4 + k).
template <size_t N> void FillTrack(TexelRect (&track)[N], int base, int sign) {
    for (size_t f = 0; f < N; ++f) {
        const auto v = [&](int k) {
            return static_cast<int16_t>(sign * (base + static_cast<int>(f) * 4 + k));
        };
        track[f] = {v(0), v(1), v(2), v(3)};
    }
}
void ExpectTrack(const std::vector<uint8_t>& b, size_t at, size_t frames, int base, int sign) {
    for (size_t f = 0; f < frames; ++f)
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(At<int16_t>(b, at + f * 8 + k * 2),
                      sign * (base + static_cast<int>(f) * 4 + k))
                << at << ":" << f << "," << k;
}

} // namespace

TEST(TableRowLayout, SystemRow) {
    SystemParamRow r{};
    r.extendsOn = 0x1101, r.firstExtend = 1000001, r.secondExtend = 2000002;
    r.thirdExtend = 3000003, r.extendStep = 4000004, r.hyperioAmount = 21;
    r.hyperioScore = 2222, r.powerUpInvincibility = 241, r.rebirthInvincibility = 0xF226;
    ExpectFields(Written(r), 28,
                 {{0, kU16, 0x1101},
                  {4, kI32, 1000001},
                  {8, kI32, 2000002},
                  {12, kI32, 3000003},
                  {16, kI32, 4000004},
                  {20, kI16, 21},
                  {22, kI16, 2222},
                  {24, kI16, 241},
                  {26, kU16, 0xF226}});
}

TEST(TableRowLayout, ShipRow) {
    ShipParamRow r{};
    r.deathAttack = 102;
    r.speed = 8.5f, r.grabusterSpeed = 12.25f, r.slowSpeed = 16.75f;
    r.slowEaseFrames = 120, r.barionGaugeMax = 122, r.barionDrain = 124, r.laserLife = 126;
    r.laserInterval = 128, r.laserAttack = 130, r.hyperioMax = 132, r.hyperioDrain = 134;
    r.grabusterAttack = 138;
    r.sub1Rise = 142, r.sub1Limit = 144, r.sub1Cooldown = 146, r.sub1Attack[0] = 148;
    r.sub1Attack[1] = 150;
    r.sub2MaxSpeed = 152, r.sub2Limit = 154, r.sub2Cooldown = 156, r.sub2Volley = 158;
    r.sub2Attack[0] = 160, r.sub2Attack[1] = 162;
    r.sub3Speed = 164, r.sub3Limit = 166, r.sub3Cooldown = 168, r.sub3Attack = 172;
    r.sub4LaunchSpeed = 174, r.sub4Limit = 176, r.sub4Cooldown = 178, r.sub4Attack[0] = 184;
    r.sub4Attack[1] = 186;
    r.sub5HeadSpeed = 188, r.sub5Limit = 190, r.sub5Attack[0] = 194, r.sub5Attack[1] = 196;
    r.sub5Decoys = 198, r.sub5SpreadWidth = 200, r.sub5SpreadHeight = 202;
    r.shieldAttack = 208, r.deathDelay = 210, r.shieldStepPercent = 214, r.shieldHitInterval = 216;
    r.autoShieldInterval = 0xF224;
    const auto b = Written(r);
    // The gauge readers know 122, 132 and 214 as the 12th, 17th and 58th
    // 16-bit fields (offsets 22, 32, 114).
    ExpectFields(b, 128,
                 {{2, kU16, 102},
                  {8, kF32, 8.5},
                  {12, kF32, 12.25},
                  {16, kF32, 16.75},
                  {11 * 2, kI16, 122},
                  {16 * 2, kI16, 132},
                  {57 * 2, kI16, 214},
                  {124, kU16, 0xF224}});
    // Every other i16 field holds 100 + its offset; the u8 cooldowns too.
    ExpectOffsets(b, kI16, 100,
                  {20, 24, 26, 28, 30, 34, 38, 42, 44, 48, 50, 52,  54,  58,  60,  62, 64,
                   66, 72, 74, 76, 84, 86, 88, 90, 94, 96, 98, 100, 102, 108, 110, 116});
    ExpectOffsets(b, kU8, 100, {46, 56, 68, 78});
}

TEST(TableRowLayout, ShotRow) {
    ShotParamRow r{};
    for (int s = 0; s < 3; ++s)
        r.streams[s] = {static_cast<uint16_t>(0xF000 + s), static_cast<int16_t>(10 + s),
                        static_cast<int16_t>(20 + s), static_cast<int16_t>(30 + s)};
    const auto b = Written(r);
    for (int s = 0; s < 3; ++s)
        ExpectFields(b, 24,
                     {{s * 8u, kU16, double(0xF000 + s)},
                      {s * 8u + 2, kI16, 10.0 + s},
                      {s * 8u + 4, kI16, 20.0 + s},
                      {s * 8u + 6, kI16, 30.0 + s}});
}

TEST(TableRowLayout, EnemyRecord) {
    EnemyRecord r{};
    FillTrack(r.trackA, 0, 1);
    FillTrack(r.trackB, 500, 1);
    for (int f = 0; f < 8; ++f)
        r.frameLengths[f] = static_cast<int8_t>(-1 - f);
    r.hitWidth = 152, r.hitHeight = 154, r.hitOffsetX = -156, r.hitOffsetY = -158;
    r.facePlayer = 160, r.faceMotion = 161, r.spin = 162, r.turnDivisor = 164;
    r.health = 168, r.score = 170, r.barionReward = 0xF172;
    r.speed = -48, r.mirror = 209;
    for (int i = 0; i < 4; ++i)
        r.moveParams[i] = static_cast<int16_t>(210 + 2 * i);
    FillGrid(r.grid, 1000);
    const auto b = Written(r);
    ExpectTrack(b, 16, 8, 0, 1);
    ExpectTrack(b, 80, 8, 500, 1);
    for (int f = 0; f < 8; ++f)
        EXPECT_EQ(At<int8_t>(b, 144 + f), -1 - f);
    ExpectFields(b, 516,
                 {{152, kI16, 152},
                  {154, kI16, 154},
                  {156, kI16, -156},
                  {158, kI16, -158},
                  {160, kU8, 160},
                  {161, kU8, 161},
                  {162, kU8, 162},
                  {164, kI16, 164},
                  {168, kI16, 168},
                  {170, kI16, 170},
                  {172, kU16, 0xF172},
                  {208, kI8, -48},
                  {209, kU8, 209}});
    ExpectOffsets(b, kI16, 0, {210, 212, 214, 216});
    ExpectGrid(b, 236, 1000);
}

TEST(TableRowLayout, BossRecord) {
    BossRecord r{};
    r.partCount = 7, r.health = 123456789, r.openThreshold = -8, r.offsetX = -42, r.offsetY = 44;
    FillGrid(r.grid, 2000);
    r.unread326 = 0;
    const auto b = Written(r);
    ExpectFields(
        b, 328,
        {{0, kI16, 7}, {4, kI32, 123456789}, {8, kI8, -8}, {42, kI16, -42}, {44, kI16, 44}});
    ExpectGrid(b, 46, 2000);
}

TEST(TableRowLayout, EmitterRow) {
    EmitterParamRow r{};
    r.number = 0xF000;
    r.bullet = 2, r.playSound = 8, r.soundId = 10, r.startWait = 12, r.lifetime = 14;
    r.preFireWait = 16, r.rest = 18, r.shotsPerBurst = 20, r.shotGap = 22, r.speed = 24;
    r.randomDelay = -26, r.aimed = 27, r.aimOnce = 28, r.direction = -30, r.ways = 32;
    r.spread = 34, r.randomDirection = 36, r.speedStep = -37, r.rotating = 38;
    r.rotateBack = 39, r.rotationStep = -40;
    const auto b = Written(r);
    ExpectFields(
        b, 44,
        {{0, kU16, 0xF000}, {26, kI8, -26}, {37, kI8, -37}, {30, kI16, -30}, {40, kI16, -40}});
    ExpectOffsets(b, kI16, 0, {2, 10, 12, 14, 16, 18, 20, 22, 24, 32, 34});
    ExpectOffsets(b, kU8, 0, {8, 27, 28, 36, 38, 39});
}

TEST(TableRowLayout, BulletRowsAndTheirEffectRows) {
    BulletParamRow r{};
    FillTrack(r.blendTrack, 0, 1);
    FillTrack(r.addTrack, 0, -1);
    r.spin = 66;
    r.spinPeriod = 680;
    const auto b = Written(r);
    ExpectTrack(b, 18, 3, 0, 1);
    ExpectTrack(b, 42, 3, 0, -1);
    ExpectFields(b, 80, {{66, kU8, 66}, {68, kI16, 680}});
    BulletFxRow fx{};
    fx.number = 0x1234;
    ExpectFields(Written(fx), 80, {{0, kI16, 0x1234}});
}

TEST(TableRowLayout, TimelineEntry) {
    TimelineEntry r{};
    r.frame = 0x01020304, r.type = 4, r.x = -6, r.y = 8, r.count = 10, r.interval = 0xF00C;
    ExpectFields(Written(r), 16,
                 {{0, kI32, 0x01020304},
                  {4, kI16, 4},
                  {6, kI16, -6},
                  {8, kI16, 8},
                  {10, kI16, 10},
                  {12, kU16, 0xF00C}});
    EXPECT_FALSE(r.IsEnd());
    r.type = -1; // 0xFFFF read as u16 ends the list
    EXPECT_TRUE(r.IsEnd());
}

TEST(TableRowLayout, ResourceIndexEntryPacksThreeSigned10BitIndices) {
    const auto b = Written(ResourceIndexEntry::Make(5, ResourceIndexEntry::kNone, 300));
    ASSERT_EQ(b.size(), 4u);
    EXPECT_EQ(At<uint32_t>(b, 0), 5u | 0x3FFu << 10 | 300u << 20);

    ResourceIndexEntry e{};
    std::memcpy(&e, b.data(), 4);
    EXPECT_EQ(e.Texture(), 5);
    EXPECT_EQ(e.OverridePath(), -1);
    EXPECT_EQ(e.BasePath(), 300);
    // Bits 0-9 hold the texture, with the sign in bit 9.
    e.bits = 0x3FEu | 0x200u << 10 | 0x1FFu << 20 | 0xC0000000u;
    EXPECT_EQ(e.Texture(), -2);
    EXPECT_EQ(e.OverridePath(), -512);
    EXPECT_EQ(e.BasePath(), 511);
}

TEST(TableRowLayout, NamesAndMapAttributes) {
    NameRow n{};
    std::memcpy(n.text, "enemy_small01", 14);
    const auto b = Written(n);
    ASSERT_EQ(b.size(), 32u);
    EXPECT_STREQ(reinterpret_cast<const char*>(b.data()), "enemy_small01");

    const auto m = Written(MapAttributeEntry{0xBEEF});
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(At<uint16_t>(m, 0), 0xBEEF);
}
