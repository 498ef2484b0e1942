// Writes the seed corpora of the game-state fuzz targets, each into its own
// folder under the corpus folder, with the game's own writers and the
// sample-data builder:
//   replay       the demo replays; headers that set every field of the
//                starting record, the stage and the mode at their ends;
//                a bare header, a torn last word, a header out of range
//   save_files   the three saves as the game writes them, fields set, the
//                old progress version, a short file, a version word only
//   map_objects  the sample attribute table over the first rows of an 8-bit
//                and a 16-bit sample map, with and without unlocks and rows
//   game_tables  the first rows of one sample table of every row kind
//   enemy_path   the sample paths; one point, a torn point, a path of
//                extreme values
//   make_game_seeds <corpus folder>
#include "game/core/ConfigBlock.h"
#include "game/core/ProgressBlock.h"
#include "game/core/ReplayStream.h"
#include "game/core/SaveImage.h"
#include "game/core/ScoreBlock.h"
#include "game/stage/StageMap.h"
#include "tools/sampledata/GameTableData.h"
#include "tools/sampledata/StageData.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::string g_root;
bool g_ok = true;

void Put(const std::string& target, const std::string& name, const Bytes& bytes) {
    const std::string folder = g_root + "/" + target;
    std::filesystem::create_directories(folder);
    std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    g_ok = g_ok && static_cast<bool>(out);
}

template <class T> void Append(Bytes& out, const T& v) {
    const auto* p = reinterpret_cast<const uint8_t*>(&v);
    out.insert(out.end(), p, p + sizeof v);
}

Bytes Header(const PlayerWork& player, uint32_t stage, uint32_t mode) {
    Bytes out(ReplayStream::kHeaderSize);
    ReplayStream::WriteHeader(out.data(), {player, stage, mode});
    return out;
}

void Replays() {
    for (int n = 1; n <= 4; ++n)
        Put("replay", "demo" + std::to_string(n) + ".replay", SampleData::BuildDemoReplay(n));
    // Every field of the starting record away from 0, at the ends of the
    // ranges the game indexes with: the last stage and mode, ship 5, power 3.
    PlayerWork full{};
    full.score = 123456789;
    full.hiScore = 987654321;
    full.nextExtend = 3000000;
    full.grabusterHits = 41;
    full.continues = 3;
    full.extends = 2;
    full.barionGauge = 750;
    full.hyperioGauge = 60;
    full.invincibleTimer = -1;
    full.lives = 256;
    full.ship = 5;
    full.power = 3;
    full.subWeaponMode = 1;
    full.subWeapon = 4;
    full.invincible = 1;
    full.guard = 1;
    full.down = 1;
    Bytes words = Header(full, 23, 10);
    for (uint32_t f = 0; f < 64; ++f)
        Append(words, (f * 0x9E3779B9u >> 19) & 0x1FFFu); // any of the 13 bits
    Put("replay", "every_field", words);
    PlayerWork first{};
    first.lives = 2;
    Put("replay", "bare_header", Header(first, 0, 0));
    Bytes torn = Header(first, 11, 8);
    Append(torn, uint32_t{0x1});
    torn.push_back(0x40);
    Put("replay", "torn_word", torn);
    PlayerWork wrong = first;
    wrong.ship = 6;
    wrong.power = 4;
    Put("replay", "out_of_range", Header(wrong, 24, 11));
}

void SaveFiles() {
    const std::string folder = g_root + "/save_files";
    std::filesystem::create_directories(folder);
    uint8_t progress[ProgressBlock::kSize];
    ProgressBlock::Reset(progress);
    const uint64_t playTime = 5u * 60 * 60 * 60;
    std::memcpy(progress + ProgressBlock::kOffsetPlayTime, &playTime, 8);
    for (int32_t ship = 0; ship < 6; ++ship)
        ProgressBlock::RecordClear(progress, ship, ship % 2 ? ProgressBlock::kStoryGameType : 3,
                                   static_cast<uint32_t>(4 + ship % 4));
    const uint32_t unlocks = 0x7F;
    std::memcpy(progress + ProgressBlock::kOffsetUnlockBits, &unlocks, 4);
    progress[ProgressBlock::kOffsetUnlockA] = 1;
    progress[ProgressBlock::kOffsetUnlockB] = 1;
    progress[ProgressBlock::kOffsetProgressFlag] = 1;
    g_ok = g_ok && SaveImage::Write((folder + "/data_v2").c_str(), progress, ProgressBlock::kSize,
                                    ProgressBlock::kVersion);
    g_ok = g_ok && SaveImage::Write((folder + "/data_v1").c_str(), progress, ProgressBlock::kSize,
                                    ProgressBlock::kOldVersion);

    uint8_t config[ConfigBlock::kSize];
    ConfigBlock::Reset(config);
    g_ok = g_ok && SaveImage::Write((folder + "/config_v2").c_str(), config, ConfigBlock::kSize,
                                    ConfigBlock::kVersion);
    for (uint32_t action = 0; action < ConfigBlock::kActionCount; ++action)
        ConfigBlock::SetBinding(config, action, action % ConfigBlock::kCodesPerAction,
                                static_cast<int32_t>(action * 7));
    ConfigBlock::WriteU32(config, ConfigBlock::kOffsetPadNumber, 3);
    config[ConfigBlock::kOffsetLives] = 10;
    config[ConfigBlock::kOffsetMusicVolume] = 0;
    config[ConfigBlock::kOffsetSoundVolume] = 255;
    config[ConfigBlock::kOffsetVoiceVolume] = 50;
    config[ConfigBlock::kOffsetStoryLanguage] = 1;
    config[ConfigBlock::kOffsetScreenMode] = 1;
    g_ok = g_ok && SaveImage::Write((folder + "/config_edited").c_str(), config,
                                    ConfigBlock::kSize, ConfigBlock::kVersion);
    // A short file: the defaults stay after its end.
    Put("save_files", "config_short", Bytes(config, config + ConfigBlock::kOffsetLives + 2));

    uint8_t score[ScoreBlock::kSize] = {};
    for (uint32_t table = 0; table < ScoreBlock::kTableCount; ++table)
        for (uint16_t i = 0; i < 3 + table % 18; ++i)
            ScoreBlock::Insert(score, table, 1000u * (i + 1u) * (table + 1), i % 6,
                               {2026, static_cast<uint16_t>(1 + i % 12),
                                static_cast<uint16_t>(1 + i), 23, 59, 58});
    g_ok = g_ok && SaveImage::Write((folder + "/score_v1").c_str(), score, ScoreBlock::kSize,
                                    ScoreBlock::kVersion);
    Put("save_files", "version_only", Bytes{2, 0, 0, 0});
}

Bytes TableNamed(const std::vector<SampleData::NamedFile>& tables, const char* name) {
    for (const SampleData::NamedFile& f : tables)
        if (f.name == name)
            return f.bytes;
    std::fprintf(stderr, "no sample table %s\n", name);
    g_ok = false;
    return {};
}

// The sample map of a stage cut to its first `rows` rows.
Bytes MapRows(uint32_t stage, uint32_t rows) {
    Bytes map = SampleData::BuildStageMap(stage);
    StageMapHeader header;
    std::memcpy(&header, map.data(), sizeof header);
    rows = std::min(rows, header.height);
    header.height = rows;
    std::memcpy(map.data(), &header, sizeof header);
    map.resize(sizeof header + size_t{header.width} * rows * (header.bits / 8));
    return map;
}

void MapObjects(const std::vector<SampleData::NamedFile>& tables) {
    const Bytes attributes = TableNamed(tables, "map_attribute_table.tsb");
    struct Seed {
        const char* name;
        uint32_t stage; // stage 0's sample map has 16 bits a cell, stage 1's 8
        uint8_t unlocks;
        uint8_t halfRows; // enemy rows / 2
    };
    for (const Seed s : {Seed{"eight_bit", 1, 0x00, 128}, Seed{"sixteen_bit", 0, 0x00, 128},
                         Seed{"sixteen_bit_unlocked", 0, 0xFF, 128},
                         Seed{"sixteen_bit_few_rows", 0, 0xFF, 8}}) {
        Bytes seed{s.unlocks, s.halfRows, static_cast<uint8_t>(attributes.size()),
                   static_cast<uint8_t>(attributes.size() >> 8)};
        seed.insert(seed.end(), attributes.begin(), attributes.end());
        const Bytes map = MapRows(s.stage, 40);
        seed.insert(seed.end(), map.begin(), map.end());
        Put("map_objects", s.name, seed);
    }
}

void Tables(const std::vector<SampleData::NamedFile>& tables) {
    // One table of every row kind, cut to its first few kilobytes.
    for (const char* name :
         {"system_system.tsb", "map_attribute_table.tsb", "player_o_pc_com.tsb",
          "player_o_pc_shot.tsb", "enemy_fbx_names.tsb", "enemy_res_index.tsb",
          "ttable_normal_stage01.tsb", "boss_parameter_boss_normal.tsb", "ebss_normal_ebss.tsb",
          "ebss_normal_bullet.tsb", "ebss_normal_bulletfx.tsb", "enemys_normal_enemy_stage01.tsb"}) {
        Bytes bytes = TableNamed(tables, name);
        bytes.resize(std::min<size_t>(bytes.size(), 4096));
        std::string seed = name;
        Put("game_tables", seed.substr(0, seed.size() - 4), bytes);
    }
}

void EnemyPaths() {
    for (int n = 0; n < 4; ++n)
        if (const Bytes path = SampleData::SamplePathFile(n); !path.empty())
            Put("enemy_path", SampleData::kSamplePathNames[n], path);
    Bytes one;
    Append(one, 12.5f);
    Append(one, -40.0f);
    Put("enemy_path", "one_point", one);
    Bytes torn = one;
    Append(torn, 3.0f);
    Put("enemy_path", "torn_point", torn);
    Bytes extreme;
    for (const float v : {0.0f, -0.0f, std::numeric_limits<float>::infinity(), -1e38f,
                          std::numeric_limits<float>::quiet_NaN(), 1e-45f, 3.4e38f, 1.0f})
        Append(extreme, v);
    Put("enemy_path", "extreme_values", extreme);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_game_seeds <corpus folder>\n");
        return 2;
    }
    g_root = argv[1];
    const std::vector<SampleData::NamedFile> tables = SampleData::BuildGameTables();
    Replays();
    SaveFiles();
    MapObjects(tables);
    Tables(tables);
    EnemyPaths();
    return g_ok ? 0 : 1;
}
