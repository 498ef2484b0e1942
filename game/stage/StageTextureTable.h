// The stage's fixed texture table: 353 slots, each with its file name and the
// place it is loaded from. Header-only so that the sample-data builder writes
// the same files the stage loader reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace StageTextureTable {

constexpr uint32_t kSlotCount = 353;

// Where a slot's file comes from.
enum class Source : uint8_t {
    kCommon,       // "texture/game/common"
    kNone,         // nothing is loaded
    kMapPicture,   // "stage/map_obj", only when the file exists
    kBackground,   // the stage background's own loader
    kShip,         // the ship's folder "texture/game/player/playerNN"
    kTelop,        // "texture/game/telop"
    kCaption,      // "texture/game/telop", only when the file exists
    kStartCaption, // score attack only: the mode's start caption
};

constexpr const char* kCommonFolder = "texture/game/common";
constexpr const char* kMapFolder = "stage/map_obj";
constexpr const char* kTelopFolder = "texture/game/telop";
constexpr const char* kShipFolder = "texture/game/player/player%02u"; // ship id + 1
constexpr const char* kBackgroundFolder = "stage/stage%02u";          // stage index + 1
constexpr const char* kShortStartCaption = "sa_2_start.dds";          // mode 8
constexpr const char* kLongStartCaption = "sa_5_start.dds";

// A run of slots named by one pattern. A pattern with a number takes
// `number` + (slot - first); a number of kStageNumber takes the stage index
// + 1; kNoNumber leaves the pattern as it is.
struct Range {
    uint16_t first;
    uint16_t last;
    Source source;
    const char* pattern;
    int16_t number;
};
constexpr int16_t kNoNumber = -1;
constexpr int16_t kStageNumber = -2;

inline constexpr Range kRanges[] = {
    {0, 0, Source::kCommon, "gage_b.dds", kNoNumber},
    {1, 1, Source::kCommon, "gage_baryon.dds", kNoNumber},
    {2, 2, Source::kCommon, "gage_baryon_add.dds", kNoNumber},
    {3, 3, Source::kCommon, "gage_baryon_laser_ok.dds", kNoNumber},
    {4, 4, Source::kCommon, "gage_baryon_ok.dds", kNoNumber},
    {5, 5, Source::kCommon, "gage_baryon_shield_hidan.dds", kNoNumber},
    {6, 6, Source::kCommon, "gage_baryon_shield_ok.dds", kNoNumber},
    {7, 14, Source::kCommon, "gage_baryon_s_ani%d.dds", 1},
    {15, 15, Source::kCommon, "gage_grabas.dds", kNoNumber},
    {16, 16, Source::kCommon, "gage_grabas_add.dds", kNoNumber},
    {17, 17, Source::kCommon, "gage_grabas_max.dds", kNoNumber},
    {18, 18, Source::kCommon, "gage_grabas_ok.dds", kNoNumber},
    {19, 19, Source::kCommon, "gage_r.dds", kNoNumber},
    {20, 20, Source::kCommon, "sys_ui1.dds", kNoNumber},
    {21, 21, Source::kCommon, "sys_ui2.dds", kNoNumber},
    {22, 22, Source::kCommon, "sys_sozai1.dds", kNoNumber},
    {23, 23, Source::kCommon, "caution.dds", kNoNumber},
    {24, 24, Source::kCommon, "game_moji1.dds", kNoNumber},
    {25, 25, Source::kCommon, "game_moji2.dds", kNoNumber},
    {26, 26, Source::kCommon, "ef_bonus.dds", kNoNumber},
    {27, 27, Source::kCommon, "ef_boss_core.dds", kNoNumber},
    {28, 28, Source::kCommon, "ef_pc_baku1.dds", kNoNumber},
    {29, 29, Source::kCommon, "ef_pc_baku2.dds", kNoNumber},
    {30, 30, Source::kCommon, "ef_power_up.dds", kNoNumber},
    {31, 31, Source::kCommon, "ef_pc_baku_hamon.dds", kNoNumber},
    {32, 32, Source::kCommon, "ef_pc_baku_tb.dds", kNoNumber},
    {33, 33, Source::kCommon, "ef_teki_baku_tb.dds", kNoNumber},
    {34, 34, Source::kCommon, "ef_pc_hitdown.dds", kNoNumber},
    {35, 35, Source::kCommon, "ef_tama_medal.dds", kNoNumber},
    {36, 36, Source::kCommon, "gura_hit.dds", kNoNumber},
    {37, 37, Source::kCommon, "gura_count.dds", kNoNumber},
    {38, 38, Source::kCommon, "ef_tamakie.dds", kNoNumber},
    {39, 39, Source::kCommon, "ef_teki_att.dds", kNoNumber},
    {40, 40, Source::kCommon, "ef_teki_baku1.dds", kNoNumber},
    {41, 41, Source::kCommon, "ef_teki_baku1_chuugata.dds", kNoNumber},
    {42, 42, Source::kCommon, "ef_teki_baku1b.dds", kNoNumber},
    {43, 43, Source::kCommon, "ef_teki_baku2.dds", kNoNumber},
    {44, 44, Source::kCommon, "ef_boss_baku1.dds", kNoNumber},
    {45, 45, Source::kCommon, "ef_boss_baku_hamon.dds", kNoNumber},
    {46, 46, Source::kCommon, "ef_ice_baku.dds", kNoNumber},
    {47, 47, Source::kCommon, "baryon_hit.dds", kNoNumber},
    {48, 48, Source::kNone, "bg_plate.dds", kNoNumber},
    {49, 49, Source::kMapPicture, "stage%02d_obj.dds", kStageNumber},
    {50, 50, Source::kNone, "bg_hosi.dds", kNoNumber},
    {51, 59, Source::kBackground, "bg_%03d_dummy", 1},
    {60, 69, Source::kBackground, "bg_009_dummy", kNoNumber},
    {70, 74, Source::kCommon, "baryon_s_ef%d.dds", 1},
    {75, 75, Source::kCommon, "baryon_s_ng.dds", kNoNumber},
    {76, 77, Source::kCommon, "baryon_s_ok%d.dds", 1},
    {78, 80, Source::kCommon, "gura_add%d.dds", 1},
    {81, 83, Source::kCommon, "gura_sub%d.dds", 1},
    {84, 84, Source::kCommon, "gura_hamon.dds", kNoNumber},
    {85, 85, Source::kCommon, "pc_muteki.dds", kNoNumber},
    {86, 86, Source::kCommon, "pc_shield01.dds", kNoNumber},
    {87, 89, Source::kShip, "player_eftb%d.dds", 1},
    {90, 90, Source::kShip, "player.dds", kNoNumber},
    {91, 93, Source::kShip, "player_ef%d.dds", 1},
    {94, 94, Source::kShip, "player_shot.dds", kNoNumber},
    {95, 97, Source::kCommon, "barion%02d.dds", 1},
    {98, 99, Source::kCommon, "item_hyp%d.dds", 1},
    {100, 101, Source::kCommon, "item_pow%d.dds", 1},
    {102, 102, Source::kCommon, "subwp_ef.dds", kNoNumber},
    {103, 103, Source::kCommon, "subwp_hit.dds", kNoNumber},
    {104, 105, Source::kCommon, "subwp1_%d.dds", 1},
    {106, 106, Source::kCommon, "subwp1_hit.dds", kNoNumber},
    {107, 107, Source::kCommon, "subwp1_hit_tubu.dds", kNoNumber},
    {108, 108, Source::kCommon, "subwp2_1.dds", kNoNumber},
    {109, 109, Source::kCommon, "h_laser.dds", kNoNumber},
    {110, 111, Source::kCommon, "h_laser_hit%d.dds", 1},
    {112, 112, Source::kCommon, "h_laser_lock.dds", kNoNumber},
    {113, 113, Source::kCommon, "subwp2_hit.dds", kNoNumber},
    {114, 114, Source::kCommon, "subwp2_hit_tubu.dds", kNoNumber},
    {115, 116, Source::kCommon, "subwp3_%d.dds", 1},
    {117, 122, Source::kCommon, "subwp3_shot%d.dds", 1},
    {123, 125, Source::kCommon, "subwp4_%d.dds", 1},
    {126, 131, Source::kCommon, "subwp4_shot%d.dds", 1},
    {132, 133, Source::kCommon, "subwp5_%d.dds", 1},
    {134, 134, Source::kCommon, "subwp5_hit.dds", kNoNumber},
    {135, 135, Source::kCommon, "subwp5_hit_tubu.dds", kNoNumber},
    {136, 137, Source::kCommon, "game_ef_teki_bakuhatu%d_hamon.dds", 1},
    {138, 138, Source::kCommon, "player_hikou_hamon.dds", kNoNumber},
    {139, 139, Source::kCommon, "secret_hamon.dds", kNoNumber},
    {140, 147, Source::kCommon, "secret_hit_ani%d.dds", 1},
    {148, 155, Source::kCommon, "secret_upin_ani%d.dds", 1},
    {156, 158, Source::kTelop, "st_telop_noise_a%d.dds", 1},
    {159, 161, Source::kTelop, "st_telop_noise_b%d.dds", 1},
    {162, 164, Source::kTelop, "st_telop_noise_c%d.dds", 1},
    {165, 165, Source::kCaption, "st_telop%02da.dds", kStageNumber},
    {166, 166, Source::kCaption, "st_telop%02db.dds", kStageNumber},
    {167, 167, Source::kCaption, "st_telop%02dc.dds", kStageNumber},
    {168, 188, Source::kCommon, "lev01_ani_%03d.dds", 0},
    {189, 209, Source::kCommon, "lev02_ani_%03d.dds", 0},
    {210, 230, Source::kCommon, "lev03_ani_%03d.dds", 0},
    {231, 251, Source::kCommon, "lev04_ani_%03d.dds", 0},
    {252, 272, Source::kCommon, "lev05_ani_%03d.dds", 0},
    {273, 282, Source::kCommon, "logo032_%02d.dds", 1},
    {283, 292, Source::kCommon, "logo064_%02d.dds", 1},
    {293, 302, Source::kCommon, "logo128_%02d.dds", 1},
    {303, 312, Source::kCommon, "logo256_%02d.dds", 1},
    {313, 322, Source::kCommon, "logo512_%02d.dds", 1},
    {323, 323, Source::kCommon, "ef_tama_haip.dds", kNoNumber},
    {324, 324, Source::kCommon, "result.dds", kNoNumber},
    {325, 325, Source::kCommon, "result_bikou.dds", kNoNumber},
    {326, 326, Source::kCommon, "result_nodamage.dds", kNoNumber},
    {327, 327, Source::kCommon, "result_nomiss.dds", kNoNumber},
    {328, 328, Source::kCommon, "result_remain.dds", kNoNumber},
    {329, 329, Source::kCommon, "result_suuji.dds", kNoNumber},
    {330, 330, Source::kCommon, "result_suuji_x.dds", kNoNumber},
    {331, 341, Source::kCommon, "sam_%02d.dds", 1},
    {342, 342, Source::kCommon, "sam_time_up.dds", kNoNumber},
    {343, 343, Source::kStartCaption, "dummy.dds", kNoNumber},
    {344, 344, Source::kCommon, "sa_time_count.dds", kNoNumber},
    {345, 346, Source::kCommon, "p_item_score%d.dds", 1},
    {347, 352, Source::kCommon, "p_item_score_kie%d.dds", 1},
};

// The range holding the slot; null past the table.
constexpr const Range* RangeOf(uint32_t slot) {
    for (const Range& r : kRanges)
        if (slot >= r.first && slot <= r.last)
            return &r;
    return nullptr;
}

constexpr Source SourceOf(uint32_t slot) {
    const Range* r = RangeOf(slot);
    return r ? r->source : Source::kNone;
}

// The slot's file name for the 0-based stage index; false past the table.
inline bool FileName(uint32_t slot, uint32_t stage, char* out, size_t size) {
    const Range* r = RangeOf(slot);
    if (!r || size == 0)
        return false;
    int number = 0;
    if (r->number == kStageNumber)
        number = static_cast<int>(stage + 1);
    else if (r->number != kNoNumber)
        number = r->number + static_cast<int>(slot - r->first);
    std::snprintf(out, size, r->pattern, number);
    return true;
}

// The runs cover every slot once, in order.
constexpr bool RunsCoverTheTable() {
    uint32_t next = 0;
    for (const Range& r : kRanges) {
        if (r.first != next || r.last < r.first)
            return false;
        next = r.last + 1u;
    }
    return next == kSlotCount;
}
static_assert(RunsCoverTheTable());

} // namespace StageTextureTable

// Slots the stage objects and the heads-up display draw from by name.
namespace StageTextureSlot {
constexpr int32_t kGaugeBack = 0;
constexpr int32_t kGaugeBarion = 1;
constexpr int32_t kGaugeBarionAdd = 2;
constexpr int32_t kGaugeLaserOk = 3;
constexpr int32_t kGaugeBarionOk = 4;
constexpr int32_t kGaugeShieldHit = 5;
constexpr int32_t kGaugeShieldOk = 6;
constexpr int32_t kGaugeShieldHitFrames = 7; // eight frames
constexpr int32_t kGaugeGrabuster = 15;
constexpr int32_t kGaugeGrabusterAdd = 16;
constexpr int32_t kGaugeGrabusterMax = 17;
constexpr int32_t kGaugeGrabusterOk = 18;
constexpr int32_t kGaugeFrame = 19;
constexpr int32_t kUi1 = 20;
constexpr int32_t kUi2 = 21;
constexpr int32_t kSozai1 = 22;             // "sys_sozai1.dds"
constexpr int32_t kPlayerBomb1 = 28;        // "ef_pc_baku1.dds"
constexpr int32_t kPlayerBomb2 = 29;        // "ef_pc_baku2.dds"
constexpr int32_t kPowerUp = 30;            // "ef_power_up.dds"
constexpr int32_t kPlayerBombRing = 31;     // "ef_pc_baku_hamon.dds"
constexpr int32_t kPlayerDebris = 32;       // "ef_pc_baku_tb.dds"
constexpr int32_t kPlayerHitDown = 34;      // "ef_pc_hitdown.dds"
constexpr int32_t kGrabusterHit = 36;       // "gura_hit.dds"
constexpr int32_t kGrabusterCount = 37;     // "gura_count.dds"
constexpr int32_t kDebris = 33;             // "ef_teki_baku_tb.dds"
constexpr int32_t kExplosion = 40;          // "ef_teki_baku1.dds"
constexpr int32_t kExplosionMiddle = 41;    // "ef_teki_baku1_chuugata.dds"
constexpr int32_t kExplosionB = 42;         // "ef_teki_baku1b.dds"
constexpr int32_t kBossExplosion = 44;      // "ef_boss_baku1.dds"
constexpr int32_t kBossShockWave = 45;      // "ef_boss_baku_hamon.dds"
constexpr int32_t kMapObjectExplosion = 43; // "ef_teki_baku2.dds"
constexpr int32_t kIceExplosion = 46;       // "ef_ice_baku.dds"
constexpr int32_t kMapObjectSheet = 49;     // "stage%02d_obj.dds", the map objects' sheet
constexpr int32_t kFirstBackground = 51;
constexpr int32_t kLastBackground = 69;
constexpr int32_t kBarionShield = 70;      // "baryon_s_ef1.dds"
constexpr int32_t kBarionShieldSpark = 71; // "baryon_s_ef2.dds" to "baryon_s_ef5.dds"
constexpr int32_t kBarionShieldRing = 76;  // "baryon_s_ok1.dds"
constexpr int32_t kBarionShieldCross = 77; // "baryon_s_ok2.dds"
constexpr int32_t kGrabusterAdd = 78;      // "gura_add1.dds" to "gura_add3.dds"
constexpr int32_t kGrabusterSub = 81;      // "gura_sub1.dds" to "gura_sub3.dds"
constexpr int32_t kGrabusterWave = 84;     // "gura_hamon.dds"
constexpr int32_t kInvincible = 85;        // "pc_muteki.dds"
constexpr int32_t kGuard = 86;             // "pc_shield01.dds"
constexpr int32_t kShipBackFire = 87;      // "player_eftb1.dds" to "player_eftb3.dds"
constexpr int32_t kShip = 90;              // "player.dds"
constexpr int32_t kShipExhaust = 91;       // "player_ef1.dds" to "player_ef3.dds"
constexpr int32_t kShipShot = 94;          // "player_shot.dds"
constexpr int32_t kBarionMuzzle = 95;      // "barion01.dds"
constexpr int32_t kBarionRing = 96;        // "barion02.dds"
constexpr int32_t kBarionBeam = 97;        // "barion03.dds"
constexpr int32_t kSubWeaponBodies = 102;  // "subwp_ef.dds"
constexpr int32_t kSub1Flash = 104;        // "subwp1_1.dds"
constexpr int32_t kSub1Column = 105;       // "subwp1_2.dds"
constexpr int32_t kSub1Spark = 106;        // "subwp1_hit.dds"
constexpr int32_t kSub1Particle = 107;     // "subwp1_hit_tubu.dds"
constexpr int32_t kSub2Flash = 108;        // "subwp2_1.dds"
constexpr int32_t kSub2Ribbon = 109;       // "h_laser.dds"
constexpr int32_t kSub2Burst = 110;        // "h_laser_hit1.dds", "h_laser_hit2.dds"
constexpr int32_t kSub2Sight = 112;        // "h_laser_lock.dds"
constexpr int32_t kSub2Spark = 113;        // "subwp2_hit.dds"
constexpr int32_t kSub2Particle = 114;     // "subwp2_hit_tubu.dds"
constexpr int32_t kSub3Explosion = 115;    // "subwp3_1.dds", "subwp3_2.dds"
constexpr int32_t kSub3Launch = 117;       // "subwp3_shot1.dds" to "subwp3_shot6.dds"
constexpr int32_t kSub4Explosion = 123;    // "subwp4_1.dds", "subwp4_2.dds"
constexpr int32_t kSub4Wave = 125;         // "subwp4_3.dds"
constexpr int32_t kSub4Launch = 126;       // "subwp4_shot1.dds" to "subwp4_shot6.dds"
constexpr int32_t kSub5Flash = 132;        // "subwp5_1.dds"
constexpr int32_t kSub5Column = 133;       // "subwp5_2.dds"
constexpr int32_t kSub5Spark = 134;        // "subwp5_hit.dds"
constexpr int32_t kSub5Particle = 135;     // "subwp5_hit_tubu.dds"
constexpr int32_t kExplosionRing = 136;    // "game_ef_teki_bakuhatu1_hamon.dds"
constexpr int32_t kFlyRipple = 138;        // "player_hikou_hamon.dds"
constexpr int32_t kSecretRing = 139;       // "secret_hamon.dds"
constexpr int32_t kSecretHit = 140;        // "secret_hit_ani1.dds" to "secret_hit_ani8.dds"
constexpr int32_t kSecretShow = 148;       // "secret_upin_ani1.dds" to "secret_upin_ani8.dds"
constexpr int32_t kLastSecretShow = 155;
constexpr int32_t kFirstCaption = 165; // captions a, b, c
constexpr int32_t kShotErase = 323;    // "ef_tama_haip.dds"
constexpr int32_t kResult = 324;
constexpr int32_t kResultBonusNote = 325;
constexpr int32_t kResultNoDamage = 326;
constexpr int32_t kResultNoMiss = 327;
constexpr int32_t kResultRemain = 328;
constexpr int32_t kResultDigits = 329;
constexpr int32_t kResultTimes = 330;
constexpr int32_t kFirstRank = 331; // eleven ranks
constexpr int32_t kTimeUp = 342;
constexpr int32_t kStartCaption = 343;
constexpr int32_t kClockDigits = 344;
constexpr int32_t kItemScore = 345;     // "p_item_score1.dds", "p_item_score2.dds"
constexpr int32_t kItemScoreFade = 347; // "p_item_score_kie1.dds" to "p_item_score_kie3.dds"
} // namespace StageTextureSlot
