#include "tools/sampledata/GameTableData.h"

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

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace SampleData {

namespace {

constexpr int kStages = 24;
constexpr const char* kDifficulties[3] = {"easy", "normal", "hard"};

// Emitter rows per loop section of an ebss table; second-loop rows are
// numbered from 1 again.
constexpr int kEmitterRowsPerLoop = 24;
constexpr int kBulletRows = 8;
// Rows 79-170 are the middle-size enemies that burst in a chain of
// explosions; 75-78 and 295-302 the large ones.
constexpr int kEnemyTypes = kSampleEnemyTypes;
constexpr int kFirstMiddleType = 79;
constexpr int kMiddleTypes = 92;
// Emitters of the last rows of each loop's section work for the whole of a
// boss fight; the boss parts fire them.
constexpr int kFirstLongEmitter = 21;
constexpr int kLongEmitters = 4;
constexpr int16_t kLongLifetime = 30000;
constexpr int8_t kPartThresholds[3] = {100, 75, 50};
constexpr int kLongBossGroup = 1; // a body of more than 65535 hit points
// The boss comes this long after the timeline's last wave.
constexpr int kBossDelay = 300;
constexpr int kFirstBossType = 280;

class Writer {
public:
    explicit Writer(std::vector<uint8_t>& out, size_t base = 0) : out_(out), base_(base) {}
    template <class T> void Put(size_t offset, T v) {
        if (out_.size() < base_ + offset + sizeof(T))
            out_.resize(base_ + offset + sizeof(T));
        std::memcpy(out_.data() + base_ + offset, &v, sizeof(T));
    }
    void I16(size_t o, int v) { Put<int16_t>(o, static_cast<int16_t>(v)); }
    void U8(size_t o, int v) { Put<uint8_t>(o, static_cast<uint8_t>(v)); }

private:
    std::vector<uint8_t>& out_;
    size_t base_;
};

std::vector<uint8_t> Names(std::initializer_list<const char*> names) {
    std::vector<NameRow> rows;
    for (const char* n : names) {
        NameRow row{};
        std::strncpy(row.text, n, NameRow::kSize - 1);
        rows.push_back(row);
    }
    return TableImage(rows);
}

// Modes: extends on except in the challenge modes; thresholds rise with difficulty.
std::vector<uint8_t> SystemTable() {
    std::vector<SystemParamRow> rows(11);
    for (int m = 0; m < 11; ++m) {
        SystemParamRow& r = rows[m];
        r.extendsOn = (m == 8 || m == 9) ? 0 : 1;
        r.firstExtend = 1000000 + 500000 * (m % 4);
        r.secondExtend = 3000000;
        r.thirdExtend = 6000000;
        r.extendStep = 5000000;
        // Gauge and power values read by the items.
        r.hyperioAmount = 40;
        r.hyperioScore = 1000;
        r.powerUpInvincibility = 90;
        r.rebirthInvincibility = 180;
    }
    return TableImage(rows);
}

std::vector<uint8_t> ShipTable(int variant) {
    std::vector<ShipParamRow> rows(36);
    for (int i = 0; i < 36; ++i) {
        const int ship = i / 6, group = i % 6;
        ShipParamRow& r = rows[i];
        r.deathAttack = 40;
        r.speed = 6.0f + 0.5f * (ship % 3) + variant;
        r.grabusterSpeed = 3.0f;
        r.slowSpeed = 2.5f;
        r.slowEaseFrames = 8;
        r.barionGaugeMax = 1000;
        r.barionDrain = 4;
        r.laserLife = 30;
        r.laserInterval = 4;
        r.laserAttack = 12;
        r.hyperioMax = 600;
        r.hyperioDrain = 3;
        r.grabusterAttack = 25;
        r.sub1Rise = 8, r.sub1Limit = 4, r.sub1Cooldown = 20, r.sub1Attack[0] = 6;
        r.sub1Attack[1] = 3;
        r.sub2MaxSpeed = 48, r.sub2Limit = 8, r.sub2Cooldown = 30, r.sub2Volley = 6;
        r.sub2Attack[0] = 4, r.sub2Attack[1] = 2;
        r.sub3Speed = 10, r.sub3Limit = 3, r.sub3Cooldown = 24, r.sub3Attack = 8;
        r.sub4LaunchSpeed = 9, r.sub4Limit = 2, r.sub4Cooldown = 40, r.sub4Attack[0] = 20;
        r.sub4Attack[1] = 5;
        r.sub5HeadSpeed = 14, r.sub5Limit = 6, r.sub5Attack[0] = 4, r.sub5Attack[1] = 2;
        r.sub5Decoys = 3, r.sub5SpreadWidth = 120, r.sub5SpreadHeight = 60;
        r.shieldAttack = 10;
        r.deathDelay = static_cast<int16_t>(45 + 5 * group); // capped to 30 at load
        r.shieldStepPercent = 25;
        r.shieldHitInterval = 6;
        r.autoShieldInterval = 180;
    }
    return TableImage(rows);
}

std::vector<uint8_t> ShotTable() {
    std::vector<ShotParamRow> rows(24);
    for (int i = 0; i < 24; ++i) {
        const int level = i % 4;
        for (int s = 0; s < 3; ++s) {
            const bool on = s <= level; // more streams at higher power
            ShotStream& stream = rows[i].streams[s];
            stream.attack = static_cast<uint16_t>(8 + 2 * level);
            stream.speed = static_cast<int16_t>(24 - 2 * s);
            stream.limit = 6;
            stream.interval = static_cast<int16_t>(on ? 4 + s : 0);
        }
    }
    return TableImage(rows);
}

// Emitter grid: two mount points with a few emitters numbered from 1 within
// the loop's section of the ebss table.
void Grid(EmitterGrid& grid, int seed) {
    EmitterMount& first = grid.mounts[0];
    first.x = 0;
    first.y = 16;
    first.emitters[0] = static_cast<int16_t>(1 + seed % kEmitterRowsPerLoop);
    first.emitters[1] = static_cast<int16_t>(1 + (seed + 5) % kEmitterRowsPerLoop);
    EmitterMount& second = grid.mounts[1];
    second.x = -24;
    second.y = 8;
    second.emitters[0] = static_cast<int16_t>(1 + (seed + 11) % kEmitterRowsPerLoop);
}

// The class parameters of the large types (row bytes 208-216): 75 three
// speeds, 76 burst length, pause, largest scale and life time, 77 hover time
// and leave speed, 78 hover, chase time and speed with a dive speed.
void LargeParameters(EnemyRecord& r, int type) {
    switch (type) {
    case 75:
        r.speed = 20, r.moveParams[0] = 40, r.moveParams[1] = 80;
        break;
    case 76:
        r.speed = 15;
        r.moveParams[0] = 120, r.moveParams[1] = 30, r.moveParams[2] = 3, r.moveParams[3] = 600;
        break;
    case 77:
        r.speed = 25, r.moveParams[0] = 120, r.moveParams[1] = 50;
        break;
    case 78:
        r.speed = 60, r.moveParams[0] = 90, r.moveParams[1] = 120, r.moveParams[2] = 40;
        break;
    default:
        break;
    }
}

// The class parameters of the small families (row bytes 208-216, percent
// speeds, frames and pixels), in the ranges their classes expect.
void SmallParameters(EnemyRecord& r, int type) {
    switch (type) {
    case 7: // dive speed, turn time (even)
    case 8: // (odd)
        r.moveParams[0] = 70, r.moveParams[1] = static_cast<int16_t>(type == 7 ? 30 : 31);
        break;
    case 9: // the group: first speed, charge threshold, charge speed
        r.speed = 40, r.mirror = 0, r.moveParams[1] = 3, r.moveParams[2] = 70;
        break;
    case 14: // the rings: spin in degrees a frame
    case 15:
        r.speed = 30, r.mirror = 0, r.moveParams[1] = static_cast<int16_t>(type == 14 ? 2 : 0);
        break;
    case 16: // approach distance, halt time, dash speed
    case 17:
        r.speed = 40, r.moveParams[0] = 150, r.moveParams[1] = 30, r.moveParams[2] = 90;
        break;
    case 18: // retreat at half health left, retreat speed
        r.speed = 30, r.moveParams[0] = 50, r.moveParams[1] = 60;
        break;
    case 19: // hover time, dive speed
    case 20:
        r.speed = 40, r.moveParams[0] = 90, r.moveParams[1] = 30;
        break;
    case 21: // fires once 20% of its health is gone
        r.speed = 25, r.moveParams[1] = 80;
        break;
    case 24:
        r.speed = 45;
        break;
    case 31: // approach distance, bob time
    case 32:
    case 33:
        r.speed = 35, r.moveParams[0] = 120, r.moveParams[1] = 100;
        break;
    default:
        break;
    }
}

// The map types: the sheet's frames, a box a little inside the body (none
// for one type), a few hits of health.
void MapParameters(EnemyRecord& r, int type) {
    if (type < kSampleFirstMapType || type > kSampleLastMapType)
        return;
    r = EnemyRecord{};
    for (uint32_t f = 0; f < EnemyRecord::kTrackFrames; ++f)
        r.trackA[f] = SampleMapObjectFrame(type, 0, f);
    r.trackB[0] = SampleMapObjectFrame(type, 1, 0);
    for (int8_t& length : r.frameLengths)
        length = 4;
    const int16_t box = type == kSampleUnhittableMapType ? 0 : 24;
    r.hitWidth = r.hitHeight = box;
    r.health = static_cast<int16_t>(30 + 5 * (type % 8));
    r.score = static_cast<int16_t>(200 + 10 * (type - kSampleFirstMapType));
    r.barionReward = 8;
}

// O001: three speeds, aimed on odd types.
void O001Parameters(EnemyRecord& r, int type) {
    if (!((type >= 264 && type <= 279) || (type >= 295 && type <= 310)))
        return;
    r.speed = 30, r.moveParams[0] = 45, r.moveParams[1] = 60;
    r.moveParams[2] = static_cast<int16_t>(type % 2);
}

// The waves' stand-ins for types 4-7 (now small families): types 34-37
// with those types' old rows and resources, so that a stage's waves play as
// they always did.
constexpr int kFirstWaveStandIn = 34;
constexpr int kWaveStandInShift = 30;
int WaveLook(int type) {
    return type >= kFirstWaveStandIn && type < kFirstWaveStandIn + 4 ? type - kWaveStandInShift
                                                                     : type;
}

std::vector<uint8_t> EnemyTable(int difficulty, int stage) {
    std::vector<EnemyRecord> rows(kEnemyTypes);
    for (int t = 0; t < kEnemyTypes; ++t) {
        EnemyRecord& r = rows[t];
        // Types 34-37 look and play as 4-7 did before those became families.
        const int look = WaveLook(t);
        const uint32_t sheet = SampleEnemySheet(look);
        // Track A: four frames, then an end frame (type 76 all eight: its
        // hit and death frames); track B: two glow frames.
        const uint32_t frames = look == 76 ? 8 : 4;
        for (uint32_t f = 0; f < frames; ++f)
            r.trackA[f] = SampleEnemyFrame(sheet, 0, f);
        for (uint32_t f = 0; f < 2; ++f)
            r.trackB[f] = SampleEnemyFrame(sheet, 1, f);
        for (int8_t& length : r.frameLengths)
            length = 6;
        const int16_t size = static_cast<int16_t>(r.trackA[0].Width());
        r.hitWidth = static_cast<int16_t>(size - 8);
        r.hitHeight = static_cast<int16_t>(size - 8);
        // Facing: the player, the motion, or a spin (one of them of period 0).
        r.facePlayer = static_cast<uint8_t>(look % 5 == 1);
        r.faceMotion = static_cast<uint8_t>(look % 5 == 2);
        r.spin = static_cast<uint8_t>(look % 5 == 3);
        r.turnDivisor = static_cast<int16_t>(look == 13 ? 0 : 60);
        r.health = static_cast<int16_t>((10 + 10 * look) * (difficulty + 1) + stage);
        r.score = static_cast<int16_t>(100 * (look + 1));
        r.barionReward = static_cast<uint16_t>(5 + look);
        r.speed = static_cast<int8_t>(2 + look % 3);
        r.mirror = static_cast<uint8_t>(look % 2);
        r.moveParams[0] = 60, r.moveParams[1] = 90, r.moveParams[2] = 2, r.moveParams[3] = 0;
        LargeParameters(r, t);
        SmallParameters(r, t);
        MapParameters(r, t);
        O001Parameters(r, t);
        // Type 0 fires nothing, so zero ids stay zero after the shift; the map
        // objects fire nothing either, so that a stage stays as quiet as its
        // timeline.
        if (t != 0 && (t < kSampleFirstMapType || t > kSampleLastMapType))
            Grid(r.grid, WaveLook(t) + stage);
    }
    return TableImage(rows);
}

// A part's grid: long-lived emitters, so that it fires for the whole fight.
void PartGrid(EmitterGrid& grid, int seed) {
    EmitterMount& mount = grid.mounts[0];
    mount.x = 0;
    mount.y = 8;
    mount.emitters[0] = static_cast<int16_t>(kFirstLongEmitter + seed % kLongEmitters);
    mount.emitters[1] = static_cast<int16_t>(kFirstLongEmitter + (seed + 2) % kLongEmitters);
}

std::vector<uint8_t> BossTable(int difficulty) {
    std::vector<BossRecord> rows(kSampleBossGroups * BossRecord::kRowsPerGroup);
    for (uint32_t g = 0; g < kSampleBossGroups; ++g) {
        const SampleBossLayout look = BossLayout(g);
        BossRecord& body = rows[g * BossRecord::kRowsPerGroup];
        body.partCount = static_cast<int16_t>(look.parts);
        body.health = g == kLongBossGroup ? 70000 : 12000 * (difficulty + 1);
        body.openThreshold = 100;
        body.offsetX = static_cast<int16_t>((look.bodyWidth - look.coreWidth) / 2);
        body.offsetY = static_cast<int16_t>((look.bodyHeight - look.coreHeight) / 2);
        Grid(body.grid, static_cast<int>(g) * 3); // never run: the parts fire
        for (int i = 1; i <= look.parts; ++i) {
            BossRecord& r = rows[g * BossRecord::kRowsPerGroup + i];
            r.health = 600 + 200 * difficulty;
            r.openThreshold = kPartThresholds[(i - 1) % 3];
            int x = 0, y = 0;
            BossPartOffset(g, i, &x, &y);
            r.offsetX = static_cast<int16_t>(x);
            r.offsetY = static_cast<int16_t>(y);
            // Each part's two pictures in the stage's boss folder.
            for (int pass = 0; pass < 2; ++pass)
                std::snprintf(r.partTextures[pass], BossRecord::kPartTextureNameSize, "part%02d_%c",
                              i % 100, pass == 0 ? 'a' : 'b');
            PartGrid(r.grid, static_cast<int>(g) + i);
        }
    }
    return TableImage(rows);
}

std::vector<uint8_t> EbssTable(int difficulty) {
    std::vector<EmitterParamRow> rows(2 * kEmitterRowsPerLoop);
    for (int i = 0; i < 2 * kEmitterRowsPerLoop; ++i) {
        const int inLoop = i % kEmitterRowsPerLoop;
        EmitterParamRow& r = rows[i];
        r.number = static_cast<uint16_t>(inLoop + 1); // running number within the loop's section
        r.bullet = static_cast<int16_t>(i % kBulletRows);
        r.playSound = inLoop % 4 == 0;
        r.soundId = static_cast<int16_t>(40 + inLoop % 3);
        r.startWait = static_cast<int16_t>(10 + inLoop);
        r.lifetime = inLoop + 1 >= kFirstLongEmitter ? kLongLifetime : 600;
        r.preFireWait = 20;
        r.rest = static_cast<int16_t>(60 - 10 * difficulty);
        r.shotsPerBurst = static_cast<int16_t>(1 + inLoop % 4);
        r.shotGap = 6;
        r.speed = static_cast<int16_t>(3 + difficulty + i / kEmitterRowsPerLoop);
        r.randomDelay = static_cast<int8_t>(inLoop % 5 == 0 ? 30 : 0);
        r.aimed = static_cast<uint8_t>(inLoop % 2);
        r.aimOnce = inLoop % 3 == 0;
        r.direction = 90;
        r.ways = static_cast<int16_t>(1 + 2 * (inLoop % 3));
        r.spread = static_cast<int16_t>(15 * (inLoop % 3));
        r.randomDirection = inLoop % 7 == 0;
        r.speedStep = static_cast<int8_t>(inLoop % 4);
        r.rotating = inLoop % 6 == 1;
        r.rotateBack = inLoop % 12 == 1;
        r.rotationStep = 7;
    }
    return TableImage(rows);
}

std::vector<uint8_t> BulletTable() {
    std::vector<BulletParamRow> rows(kBulletRows);
    for (int b = 0; b < kBulletRows; ++b) {
        BulletParamRow& r = rows[b];
        const int size = 16 + 8 * (b % 3);
        for (int track = 0; track < 2; ++track) {
            TexelRect* frames = track == 0 ? r.blendTrack : r.addTrack;
            const int v = b * 32 + track * 256;
            for (int f = 0; f < 3; ++f)
                frames[f] = {static_cast<int16_t>(f * size), static_cast<int16_t>(v),
                             static_cast<int16_t>(f * size + size - 1),
                             static_cast<int16_t>(v + size - 1)};
        }
        r.spin = static_cast<uint8_t>(b % 2);
        r.spinPeriod = 60;
    }
    return TableImage(rows);
}

std::vector<uint8_t> BulletFxTable() {
    std::vector<BulletFxRow> rows(kBulletRows);
    for (int b = 0; b < kBulletRows; ++b)
        rows[b].number = static_cast<int16_t>(b);
    return TableImage(rows);
}

// Timeline entries: a wave every second, x on the 0-720 screen scale; a
// stage's timeline ends with its boss, type 280 + the stage within its loop.
// After the waves, every family once: each small family alone, O001 of
// each sound group, type 9 groups of 2 and 5, rings of 8, a pair of type 19
// (count 3), two pairs of type 20, both swarms and a generator.
void AppendFamilies(std::vector<TimelineEntry>& rows, int stage) {
    struct Family {
        int16_t type, count;
        uint16_t interval;
    };
    constexpr Family kFamilies[] = {
        {4, 1, 0},   {5, 1, 0},   {6, 1, 0},   {7, 1, 0},  {8, 1, 0},   {16, 1, 0}, {17, 1, 0},
        {18, 1, 0},  {21, 1, 0},  {24, 1, 0},  {31, 1, 0}, {32, 1, 0},  {33, 1, 0}, {264, 1, 0},
        {272, 1, 0}, {296, 1, 0}, {305, 1, 0}, {9, 2, 20}, {9, 5, 15},  {14, 8, 0}, {15, 8, 0},
        {19, 3, 0},  {20, 4, 0},  {77, 1, 0},  {78, 1, 0}, {12, 3, 20},
    };
    int frame = (rows.empty() ? 0 : rows.back().frame) + 60;
    int i = 0;
    for (const Family& f : kFamilies) {
        TimelineEntry e{};
        e.frame = frame;
        e.type = f.type;
        e.x = static_cast<int16_t>(160 + (i * 131 + stage * 17) % 400); // the 0-720 scale
        e.y = static_cast<int16_t>(40 + (i * 37) % 160);
        e.count = f.count;
        e.interval = f.interval;
        rows.push_back(e);
        frame += 70;
        ++i;
    }
}

std::vector<uint8_t> Timeline(int stage, int entries, bool boss, bool withFamilies) {
    std::vector<TimelineEntry> rows(entries);
    for (int e = 0; e < entries; ++e) {
        TimelineEntry& r = rows[e];
        r.frame = 60 + 60 * e + 7 * stage;
        // Every fifth wave is a middle-size enemy; the others types 1-3 and
        // the stand-ins 34-37.
        const int plain = 1 + e % 7 >= 4 ? 1 + e % 7 + kWaveStandInShift : 1 + e % 7;
        r.type = static_cast<int16_t>(
            e % 5 == 4 ? kFirstMiddleType + (e * 13 + stage) % kMiddleTypes : plain);
        r.x = static_cast<int16_t>(120 + (e * 97) % 480);
        // Inside the field, so that enemies that stand where they appear can be hit.
        r.y = static_cast<int16_t>(40 + (e * 53) % 280);
        r.count = static_cast<int16_t>(e % 3 == 2 ? 4 : 1);
        r.interval = static_cast<uint16_t>(e % 3 == 2 ? 12 : 0);
    }
    if (withFamilies)
        AppendFamilies(rows, stage);
    if (boss) {
        TimelineEntry b{};
        b.frame = (entries > 0 ? rows.back().frame : 0) + kBossDelay;
        b.type = static_cast<int16_t>(kFirstBossType + stage % 12);
        b.x = 360; // the body places itself
        b.count = 1;
        rows.push_back(b);
    }
    return TableImage(rows);
}

std::vector<uint8_t> ResIndex(int count, int texCount, int pathCount) {
    std::vector<ResourceIndexEntry> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(
            ResourceIndexEntry::Make(i % texCount, ResourceIndexEntry::kNone,
                                     pathCount ? i % pathCount : ResourceIndexEntry::kNone));
    return TableImage(rows);
}

std::vector<uint8_t> EnemyResIndex() {
    std::vector<ResourceIndexEntry> rows;
    for (int t = 0; t < kEnemyTypes; ++t)
        rows.push_back(SampleEnemyResources(t));
    return TableImage(rows);
}

// Indexed by the cell value itself (0-1023).
std::vector<uint8_t> MapAttributes() {
    std::vector<MapAttributeEntry> rows(1024);
    for (uint32_t v = 1; v <= kSampleMapValues; ++v)
        rows[v].value = static_cast<uint16_t>(kSampleFirstMapType - 1 + static_cast<int>(v));
    rows[kSampleFirstUnlockValue].value = 244;
    rows[kSampleFirstUnlockValue + 1].value = 245;
    return TableImage(rows);
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

} // namespace

std::vector<NamedFile> BuildGameTables() {
    std::vector<NamedFile> files;
    files.push_back({"system_system.tsb", SystemTable()});
    files.push_back({"map_attribute_table.tsb", MapAttributes()});
    files.push_back({"player_o_pc_com.tsb", ShipTable(0)});
    files.push_back({"player_u_pc_com.tsb", ShipTable(1)});
    files.push_back({"player_o_pc_shot.tsb", ShotTable()});
    files.push_back({"player_u_pc_shot.tsb", ShotTable()});
    files.push_back({"enemy_tex_names.tsb", Names({"enemy_s32", "enemy_s48", "enemy_s64"})});
    files.push_back({"enemy_fbx_names.tsb", Names({kSamplePathNames[0], kSamplePathNames[1],
                                                   kSamplePathNames[2], kSamplePathNames[3]})});
    files.push_back({"enemy_res_index.tsb", EnemyResIndex()});
    files.push_back({"ebss_tex_names.tsb", Names({"bullet01", "bullet02"})});
    files.push_back({"ebss_res_index.tsb", ResIndex(kBulletRows, 2, 0)});
    files.push_back({"ttable_common_common.tsb", Timeline(0, 4, false, false)});
    char name[64];
    for (int d = 0; d < 3; ++d) {
        const char* diff = kDifficulties[d];
        std::snprintf(name, sizeof(name), "boss_parameter_boss_%s.tsb", diff);
        files.push_back({name, BossTable(d)});
        std::snprintf(name, sizeof(name), "ebss_%s_ebss.tsb", diff);
        files.push_back({name, EbssTable(d)});
        std::snprintf(name, sizeof(name), "ebss_%s_bullet.tsb", diff);
        files.push_back({name, BulletTable()});
        std::snprintf(name, sizeof(name), "ebss_%s_bulletfx.tsb", diff);
        files.push_back({name, BulletFxTable()});
        for (int s = 1; s <= kStages; ++s) {
            std::snprintf(name, sizeof(name), "enemys_%s_enemy_stage%02d.tsb", diff, s);
            files.push_back({name, EnemyTable(d, s - 1)});
            std::snprintf(name, sizeof(name), "ttable_%s_stage%02d.tsb", diff, s);
            // The first and last stage of each loop keep to their quiet
            // waves (a passive ship lives through them); the others meet
            // every family too.
            const bool families = (s - 1) % 12 != 0 && (s - 1) % 12 != 11;
            files.push_back({name, Timeline(s - 1, 12 + d * 4, true, families)});
        }
    }
    files.push_back({"enemys_challenge_stage.tsb", EnemyTable(1, 0)});
    files.push_back({"ttable_challenge_stage.tsb", Timeline(0, 30, false, false)});
    return files;
}

uint32_t SampleEnemySheet(int type) {
    const bool large = (type >= 75 && type <= 78) || (type >= 295 && type <= 302);
    return large ? 2u : static_cast<uint32_t>(type % 3);
}

TexelRect SampleEnemyFrame(uint32_t sheet, uint32_t track, uint32_t frame) {
    const auto size = static_cast<int16_t>(32 + 16 * (sheet % 3));
    // Track A in rows of four from the top, track B in one row at y 192.
    const auto x = static_cast<int16_t>(static_cast<int>(frame % 4) * size);
    const auto y =
        static_cast<int16_t>(track == 0 ? static_cast<int>(frame / 4) * size : kSampleGlowRow);
    return {x, y, static_cast<int16_t>(x + size - 1), static_cast<int16_t>(y + size - 1)};
}

TexelRect SampleMapObjectFrame(int type, uint32_t track, uint32_t frame) {
    const int i = type - kSampleFirstMapType;
    if (i < 0 || type > kSampleLastMapType || frame >= 8 || (track == 1 && frame != 0))
        return {0, 0, 0, 0};
    const int slot = track == 0 ? static_cast<int>(frame) : 8;
    const auto x = static_cast<int16_t>((i % 3) * 320 + slot * 32);
    const auto y = static_cast<int16_t>((i / 3) * 40);
    return {x, y, static_cast<int16_t>(x + 31), static_cast<int16_t>(y + 31)};
}

ResourceIndexEntry SampleEnemyResources(int type) {
    constexpr int kNone = ResourceIndexEntry::kNone;
    type = WaveLook(type);
    const int texture = type % 10 == 9 ? kNone : static_cast<int>(SampleEnemySheet(type));
    if (type % 50 == 49)
        return ResourceIndexEntry::Make(texture, kNone, kNone); // no path: gone at once
    if (type % 50 == 48)
        return ResourceIndexEntry::Make(texture, kNone, kSampleEmptyPath);
    const int base = type % 2 == 0 ? kSampleDescentPath : kSampleCurvePath;
    const int override = type % 7 == 3 ? kSamplePointPath : kNone;
    return ResourceIndexEntry::Make(texture, override, base);
}

std::vector<uint8_t> SamplePathFile(int n) {
    std::vector<float> points;
    if (n == kSamplePointPath) {
        points = {0.0f, 40.0f}; // a short drop that holds
    } else if (n == kSampleDescentPath || n == kSampleCurvePath) {
        // Three seconds from the spawn point to past the field's bottom; the
        // curve swings left and right once on the way.
        for (int ms = 0; ms < 3000; ++ms) {
            const float t = static_cast<float>(ms);
            points.push_back(n == kSampleCurvePath ? 150.0f * std::sin(t * 6.2831855f / 3000.0f)
                                                   : 0.0f);
            points.push_back(t * 0.24f);
        }
    }
    // The empty path: a file too short for one point holds none (the count
    // is its size / 8). A file of no bytes could not be read from an archive.
    if (points.empty())
        points = {0.0f};
    std::vector<uint8_t> bytes(points.size() * sizeof(float));
    std::memcpy(bytes.data(), points.data(), bytes.size());
    return bytes;
}

SampleBossLayout BossLayout(uint32_t group) {
    const uint32_t k = group < 24 ? group % 12 : group;
    SampleBossLayout look;
    look.bodyWidth = static_cast<int>(256 + 32 * (k % 4));
    look.bodyHeight = static_cast<int>(160 + 32 * (k % 3));
    look.coreWidth = 64;
    look.coreHeight = 48;
    look.partWidth = 48;
    look.partHeight = 48;
    look.parts = static_cast<int>(2 + k % 5);
    return look;
}

void BossPartOffset(uint32_t group, int part, int* x, int* y) {
    const SampleBossLayout look = BossLayout(group);
    // Along the top edge and the bottom edge in turn, clear of the core.
    const int columns = (look.parts + 1) / 2;
    const int column = (part - 1) / 2;
    const int span = look.bodyWidth - 16 - look.partWidth;
    *x = 8 + (columns > 1 ? span * column / (columns - 1) : span / 2);
    *y = part % 2 == 1 ? 8 : look.bodyHeight - look.partHeight - 8;
}

std::vector<uint8_t> BuildDemoReplay(int n) {
    const int ship = (n - 1) % 6;
    std::vector<uint8_t> out(56, 0);
    Writer w(out);
    w.Put<uint64_t>(16, 1000000); // next extend: the normal mode's first threshold
    w.I16(30, 0);                 // Barion gauge
    w.I16(36, 2);                 // lives in stock
    w.Put<int8_t>(38, static_cast<int8_t>(ship));
    w.Put<int8_t>(39, 0);   // power level
    w.U8(41, (n - 1) % 5);  // sub weapon
    w.Put<uint32_t>(48, 0); // stage
    w.Put<uint32_t>(52, 1); // normal mode
    // Input words: shot held throughout, weaving left and right with a few
    // slow stretches and ex-weapon presses.
    uint32_t state = 0x9E3779B9u * static_cast<uint32_t>(n);
    const int frames = 300 + 60 * n;
    for (int f = 0; f < frames; ++f) {
        state = state * 1664525u + 1013904223u;
        uint32_t word = 0x1;
        const int phase = (f / 40) % 4;
        word |= phase == 0 ? 0x40 : phase == 2 ? 0x80 : 0;
        if ((f / 25) % 3 == 1)
            word |= 0x10;
        if ((state >> 28) == 0)
            word |= 0x1000;
        if (f % 150 == 149)
            word |= 0x2;
        out.resize(out.size() + 4);
        std::memcpy(out.data() + out.size() - 4, &word, 4);
    }
    return out;
}

bool WriteDemoReplays(const std::string& replayFolder) {
    std::error_code ec;
    std::filesystem::create_directories(replayFolder, ec);
    bool ok = true;
    for (int n = 1; n <= 4; ++n)
        ok &= WriteFile(replayFolder + "/demo" + std::to_string(n) + ".replay", BuildDemoReplay(n));
    return ok;
}

} // namespace SampleData
