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
int16_t I16(const std::vector<uint8_t>& b, size_t off) {
    return At<int16_t>(b, off);
}
uint16_t U16(const std::vector<uint8_t>& b, size_t off) {
    return At<uint16_t>(b, off);
}
int32_t I32(const std::vector<uint8_t>& b, size_t off) {
    return At<int32_t>(b, off);
}
uint8_t U8(const std::vector<uint8_t>& b, size_t off) {
    return At<uint8_t>(b, off);
}
int8_t I8(const std::vector<uint8_t>& b, size_t off) {
    return At<int8_t>(b, off);
}
float F32(const std::vector<uint8_t>& b, size_t off) {
    return At<float>(b, off);
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
    for (int m = 0; m < 10; ++m) {
        EXPECT_EQ(I16(b, at + m * 28), base + m * 100) << m;
        EXPECT_EQ(I16(b, at + m * 28 + 2), base + m * 100 + 1) << m;
        for (int c = 0; c < 12; ++c)
            EXPECT_EQ(I16(b, at + m * 28 + 4 + c * 2), base + m * 100 + 2 + c) << m << "," << c;
    }
}

} // namespace

TEST(TableRowLayout, SystemRow) {
    SystemParamRow r{};
    r.extendsOn = 0x1101;
    r.firstExtend = 1000001;
    r.secondExtend = 2000002;
    r.thirdExtend = 3000003;
    r.extendStep = 4000004;
    r.hyperioAmount = 21;
    r.hyperioScore = 2222;
    r.powerUpInvincibility = 241;
    r.rebirthInvincibility = 0xF226;
    const auto b = Written(r);
    EXPECT_EQ(b.size(), 28u);
    EXPECT_EQ(U16(b, 0), 0x1101);
    EXPECT_EQ(I32(b, 4), 1000001);
    EXPECT_EQ(I32(b, 8), 2000002);
    EXPECT_EQ(I32(b, 12), 3000003);
    EXPECT_EQ(I32(b, 16), 4000004);
    EXPECT_EQ(I16(b, 20), 21);
    EXPECT_EQ(I16(b, 22), 2222);
    EXPECT_EQ(I16(b, 24), 241);
    EXPECT_EQ(U16(b, 26), 0xF226);
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
    EXPECT_EQ(b.size(), 128u);
    EXPECT_EQ(U16(b, 2), 102);
    EXPECT_EQ(F32(b, 8), 8.5f);
    EXPECT_EQ(F32(b, 12), 12.25f);
    EXPECT_EQ(F32(b, 16), 16.75f);
    // The gauge readers know these as the 12th, 17th and 58th 16-bit fields.
    EXPECT_EQ(I16(b, 11 * 2), 122);
    EXPECT_EQ(I16(b, 16 * 2), 132);
    EXPECT_EQ(I16(b, 57 * 2), 214);
    // Every other i16 field holds 100 + its offset; the u8 cooldowns too.
    for (size_t off : {20, 24, 26, 28, 30, 34, 38, 42, 44, 48, 50, 52,  54,  58,  60,  62, 64,
                       66, 72, 74, 76, 84, 86, 88, 90, 94, 96, 98, 100, 102, 108, 110, 116})
        EXPECT_EQ(I16(b, off), static_cast<int16_t>(100 + off)) << off;
    for (size_t off : {46, 56, 68, 78})
        EXPECT_EQ(U8(b, off), 100 + off) << off;
    EXPECT_EQ(U16(b, 124), 0xF224);
}

TEST(TableRowLayout, ShotRow) {
    ShotParamRow r{};
    for (int s = 0; s < 3; ++s)
        r.streams[s] = {static_cast<uint16_t>(0xF000 + s), static_cast<int16_t>(10 + s),
                        static_cast<int16_t>(20 + s), static_cast<int16_t>(30 + s)};
    const auto b = Written(r);
    EXPECT_EQ(b.size(), 24u);
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ(U16(b, s * 8 + 0), 0xF000 + s);
        EXPECT_EQ(I16(b, s * 8 + 2), 10 + s);
        EXPECT_EQ(I16(b, s * 8 + 4), 20 + s);
        EXPECT_EQ(I16(b, s * 8 + 6), 30 + s);
    }
}

TEST(TableRowLayout, EnemyRecord) {
    EnemyRecord r{};
    for (int f = 0; f < 8; ++f) {
        r.trackA[f] = {static_cast<int16_t>(f * 4), static_cast<int16_t>(f * 4 + 1),
                       static_cast<int16_t>(f * 4 + 2), static_cast<int16_t>(f * 4 + 3)};
        r.trackB[f] = {static_cast<int16_t>(500 + f * 4), static_cast<int16_t>(501 + f * 4),
                       static_cast<int16_t>(502 + f * 4), static_cast<int16_t>(503 + f * 4)};
        r.frameLengths[f] = static_cast<int8_t>(-1 - f);
    }
    r.hitWidth = 152, r.hitHeight = 154, r.hitOffsetX = -156, r.hitOffsetY = -158;
    r.facePlayer = 160, r.faceMotion = 161, r.spin = 162, r.turnDivisor = 164;
    r.health = 168, r.score = 170, r.barionReward = 0xF172;
    r.speed = -48, r.mirror = 209;
    for (int i = 0; i < 4; ++i)
        r.moveParams[i] = static_cast<int16_t>(210 + 2 * i);
    FillGrid(r.grid, 1000);
    const auto b = Written(r);
    EXPECT_EQ(b.size(), 516u);
    for (int f = 0; f < 8; ++f) {
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(I16(b, 16 + f * 8 + k * 2), f * 4 + k);
            EXPECT_EQ(I16(b, 80 + f * 8 + k * 2), 500 + f * 4 + k);
        }
        EXPECT_EQ(I8(b, 144 + f), -1 - f);
    }
    EXPECT_EQ(I16(b, 152), 152);
    EXPECT_EQ(I16(b, 154), 154);
    EXPECT_EQ(I16(b, 156), -156);
    EXPECT_EQ(I16(b, 158), -158);
    EXPECT_EQ(U8(b, 160), 160);
    EXPECT_EQ(U8(b, 161), 161);
    EXPECT_EQ(U8(b, 162), 162);
    EXPECT_EQ(I16(b, 164), 164);
    EXPECT_EQ(I16(b, 168), 168);
    EXPECT_EQ(I16(b, 170), 170);
    EXPECT_EQ(U16(b, 172), 0xF172);
    EXPECT_EQ(I8(b, 208), -48);
    EXPECT_EQ(U8(b, 209), 209);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(I16(b, 210 + 2 * i), 210 + 2 * i);
    ExpectGrid(b, 236, 1000);
}

TEST(TableRowLayout, BossRecord) {
    BossRecord r{};
    r.partCount = 7;
    r.health = 123456789;
    r.openThreshold = -8;
    r.offsetX = -42;
    r.offsetY = 44;
    FillGrid(r.grid, 2000);
    r.unread326 = 0;
    const auto b = Written(r);
    EXPECT_EQ(b.size(), 328u);
    EXPECT_EQ(I16(b, 0), 7);
    EXPECT_EQ(I32(b, 4), 123456789);
    EXPECT_EQ(I8(b, 8), -8);
    EXPECT_EQ(I16(b, 42), -42);
    EXPECT_EQ(I16(b, 44), 44);
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
    EXPECT_EQ(b.size(), 44u);
    EXPECT_EQ(U16(b, 0), 0xF000);
    for (size_t off : {2, 10, 12, 14, 16, 18, 20, 22, 24, 32, 34})
        EXPECT_EQ(I16(b, off), static_cast<int16_t>(off)) << off;
    for (size_t off : {8, 27, 28, 36, 38, 39})
        EXPECT_EQ(U8(b, off), off) << off;
    EXPECT_EQ(I8(b, 26), -26);
    EXPECT_EQ(I8(b, 37), -37);
    EXPECT_EQ(I16(b, 30), -30);
    EXPECT_EQ(I16(b, 40), -40);
}

TEST(TableRowLayout, BulletRowsAndTheirEffectRows) {
    BulletParamRow r{};
    for (int f = 0; f < 3; ++f) {
        r.blendTrack[f] = {static_cast<int16_t>(f * 4), static_cast<int16_t>(f * 4 + 1),
                           static_cast<int16_t>(f * 4 + 2), static_cast<int16_t>(f * 4 + 3)};
        r.addTrack[f] = {static_cast<int16_t>(-f * 4), static_cast<int16_t>(-f * 4 - 1),
                         static_cast<int16_t>(-f * 4 - 2), static_cast<int16_t>(-f * 4 - 3)};
    }
    r.spin = 66;
    r.spinPeriod = 680;
    const auto b = Written(r);
    EXPECT_EQ(b.size(), 80u);
    for (int f = 0; f < 3; ++f)
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(I16(b, 18 + f * 8 + k * 2), f * 4 + k);
            EXPECT_EQ(I16(b, 42 + f * 8 + k * 2), -f * 4 - k);
        }
    EXPECT_EQ(U8(b, 66), 66);
    EXPECT_EQ(I16(b, 68), 680);

    BulletFxRow fx{};
    fx.number = 0x1234;
    const auto f = Written(fx);
    EXPECT_EQ(f.size(), 80u);
    EXPECT_EQ(I16(f, 0), 0x1234);
}

TEST(TableRowLayout, TimelineEntry) {
    TimelineEntry r{};
    r.frame = 0x01020304;
    r.type = 4;
    r.x = -6;
    r.y = 8;
    r.count = 10;
    r.interval = 0xF00C;
    const auto b = Written(r);
    EXPECT_EQ(b.size(), 16u);
    EXPECT_EQ(I32(b, 0), 0x01020304);
    EXPECT_EQ(I16(b, 4), 4);
    EXPECT_EQ(I16(b, 6), -6);
    EXPECT_EQ(I16(b, 8), 8);
    EXPECT_EQ(I16(b, 10), 10);
    EXPECT_EQ(U16(b, 12), 0xF00C);
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
    EXPECT_EQ(U16(m, 0), 0xBEEF);
}
