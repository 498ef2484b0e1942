// The files of a stage besides its fixed texture table: where the map, the
// enemy, bullet, warp and boss textures and the movement paths are read from,
// and their names. Header-only so that the sample-data builder writes the
// same files the stage loader reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace StageFiles {

constexpr const char* kMapFolder = "stage/map_obj";
constexpr const char* kMapName = "stage%02d_obj.fmf"; // stage index + 1
constexpr const char* kScoreAttackMapName = "stage_sa01_obj.fmf";
// Enemy, bullet and warp textures: "%s.dds" of each name of the name tables.
constexpr const char* kEnemyTextureFolder = "texture/game/enemy";
constexpr const char* kPathFolder = "enemy"; // "%s.path" of each path name
constexpr const char* kBossFolder = "texture/game/boss";
constexpr const char* kBossStageFolder = "texture/game/boss/stage%02d"; // stage % 12 + 1
constexpr const char* kSecondBossFolder = "texture/game/boss/stage12_2";

// The warp-in frames of two enemy families.
constexpr uint32_t kWarpNameCount = 14;
inline constexpr const char* kWarpNames[kWarpNameCount] = {
    "en_zako_s008_warp01.dds", "en_zako_s008_warp02.dds", "en_zako_s008_warp03.dds",
    "en_zako_s008_warp04.dds", "en_zako_s008_warp05.dds", "en_zako_s008_warp06.dds",
    "en_zako_s015_warp01.dds", "en_zako_s015_warp02.dds", "en_zako_s015_warp03.dds",
    "en_zako_s015_warp04.dds", "en_zako_s015_warp05.dds", "en_zako_s015_warp06.dds",
    "en_zako_s015_warp07.dds", "en_zako_s015_warp08.dds"};

// A boss set's own pictures, each taking the next boss slot when it loads.
constexpr uint32_t kBossBodyNameCount = 10;
inline constexpr const char* kBossBodyNames[kBossBodyNameCount] = {
    "mainbody01.dds",     "mainbody02.dds",     "mainbody03.dds",     "mainbody04.dds",
    "mainbody_add01.dds", "mainbody_add02.dds", "mainbody_add03.dds", "mainbody_add04.dds",
    "core_wait.dds",      "core_boot.dds"};
// Slots of a part-texture pass: a pass in which every file loads fills them.
constexpr uint32_t kBossPartSlots = 24;
constexpr uint32_t kSecondBossFirstSlot = 58;
constexpr uint32_t kSecondBossGroup = 25;

// The boss pictures every stage shares (gauges, core and battery glows).
constexpr uint32_t kBossCommonFirstSlot = 116;
constexpr uint32_t kBossCommonCount = 34;

// Common boss picture i (0-33).
inline void BossCommonName(uint32_t i, char* out, size_t size) {
    if (i == 0)
        std::snprintf(out, size, "boss_core_gage_waku.dds");
    else if (i <= 9)
        std::snprintf(out, size, "boss_core_gage_ani%u.dds", i);
    else if (i <= 15) {
        static constexpr const char* kSingles[6] = {
            "battery_gage.dds",      "boss_funsha.dds",        "core_active_add.dds",
            "core_inactive_add.dds", "battery_active_add.dds", "battery_inactive_add.dds"};
        std::snprintf(out, size, "%s", kSingles[i - 10]);
    } else if (i <= 24)
        std::snprintf(out, size, "core_active_ani%02u.dds", i - 15);
    else
        std::snprintf(out, size, "battery_active_ani%02u.dds", i - 24);
}

// The background pictures, stage texture ids 51-59 from the stage's folder
// "stage/stageNN" (the stage texture table's background folder), 51-66 from
// the challenge's folder in the challenge game type.
constexpr const char* kChallengeBackgroundFolder = "stage/stage_score_attack";
constexpr int32_t kFirstBackgroundId = 51;
constexpr int32_t kLastStageBackgroundId = 59;
constexpr int32_t kLastChallengeBackgroundId = 66;

// Background id of stage index `stage` (number stage + 1): "stNN_bg01.dds",
// "stNN_map_main1.dds" to "stNN_map_main3.dds" (52-54), "hosi1.dds" to
// "hosi5.dds" (55-59); false for another id.
inline bool StageBackgroundName(uint32_t stage, int32_t id, char* out, size_t size) {
    const int number = static_cast<int>(stage + 1);
    if (id == kFirstBackgroundId)
        std::snprintf(out, size, "st%02d_bg01.dds", number);
    else if (id >= 52 && id <= 54)
        std::snprintf(out, size, "st%02d_map_main%d.dds", number, id - 51);
    else if (id >= 55 && id <= kLastStageBackgroundId)
        std::snprintf(out, size, "hosi%d.dds", id - 54);
    else
        return false;
    return true;
}

// Background id of the challenge: "sa01_bg01.dds", "sa01_map_main01.dds" to
// "sa01_map_main10.dds" (52-61), "hosi1.dds" to "hosi5.dds" (62-66); false
// for another id.
inline bool ChallengeBackgroundName(int32_t id, char* out, size_t size) {
    if (id == kFirstBackgroundId)
        std::snprintf(out, size, "sa01_bg01.dds");
    else if (id >= 52 && id <= 61)
        std::snprintf(out, size, "sa01_map_main%02d.dds", id - 51);
    else if (id >= 62 && id <= kLastChallengeBackgroundId)
        std::snprintf(out, size, "hosi%d.dds", id - 61);
    else
        return false;
    return true;
}

} // namespace StageFiles
