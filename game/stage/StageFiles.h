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

} // namespace StageFiles
