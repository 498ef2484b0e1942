#include "tools/sampledata/GameTableData.h"

#include "tools/sampledata/ByteWriter.h"

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
constexpr int kEnemyTypes = 8;
constexpr int kBossGroups = 13; // 325 rows, so the second-loop bosses (row 300 on) exist
constexpr int kBossRowsPerGroup = 25;

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
    void I32(size_t o, int32_t v) { Put<int32_t>(o, v); }
    void F32(size_t o, float v) { Put<float>(o, v); }

private:
    std::vector<uint8_t>& out_;
    size_t base_;
};

std::vector<uint8_t> Rows(size_t rows, size_t rowSize) {
    return std::vector<uint8_t>(rows * rowSize, 0);
}

std::vector<uint8_t> Names(std::initializer_list<const char*> names) {
    sampledata::ByteWriter out;
    for (const char* n : names)
        out.Text(n, 32);
    return out.Take();
}

// Modes: extends on except in the challenge modes; thresholds rise with difficulty.
std::vector<uint8_t> SystemTable() {
    auto out = Rows(11, 28);
    for (int m = 0; m < 11; ++m) {
        Writer w(out, m * 28);
        w.Put<uint16_t>(0, (m == 8 || m == 9) ? 0 : 1);
        w.I32(4, 1000000 + 500000 * (m % 4));
        w.I32(8, 3000000);
        w.I32(12, 6000000);
        w.I32(16, 5000000);
        // Gauge and power values read by the items.
        w.I16(20, 10);
        w.I16(22, 1000);
        w.I16(24, 1);
    }
    return out;
}

std::vector<uint8_t> ShipTable(int variant) {
    auto out = Rows(36, 128);
    for (int r = 0; r < 36; ++r) {
        const int ship = r / 6, group = r % 6;
        Writer w(out, r * 128);
        w.Put<uint16_t>(2, 40);                       // death explosion attack
        w.F32(8, 6.0f + 0.5f * (ship % 3) + variant); // speed
        w.F32(12, 3.0f);                              // speed with the Grabuster
        w.F32(16, 2.5f);                              // slow speed
        w.I16(20, 8);                                 // slow ease frames
        w.I16(22, 1000);                              // Barion gauge maximum
        w.I16(24, 4);                                 // drain per frame
        w.I16(26, 30);                                // laser life
        w.I16(28, 4);                                 // frames between emitters
        w.I16(30, 12);                                // laser attack
        w.I16(32, 600);                               // Hyperio maximum
        w.I16(34, 3);                                 // Hyperio drain
        w.I16(38, 25);                                // Grabuster attack
        w.I16(42, 8), w.I16(44, 4), w.U8(46, 20), w.I16(48, 6), w.I16(50, 3);
        w.I16(52, 12), w.I16(54, 8), w.U8(56, 30), w.I16(58, 6), w.I16(60, 4), w.I16(62, 2);
        w.I16(64, 10), w.I16(66, 3), w.U8(68, 24), w.I16(72, 8);
        w.I16(74, 9), w.I16(76, 2), w.U8(78, 40), w.I16(84, 20), w.I16(86, 5);
        w.I16(88, 14), w.I16(90, 6), w.I16(94, 4), w.I16(96, 2);
        w.I16(98, 3), w.I16(100, 120), w.I16(102, 60);
        w.I16(108, 10);             // shield attack
        w.I16(110, 45 + 5 * group); // death delay, capped to 30 at load
        w.I16(114, 25);             // shield step percent
        w.I16(116, 90);             // shield life
        w.Put<uint16_t>(124, 180);  // frames between auto shields
    }
    return out;
}

std::vector<uint8_t> ShotTable() {
    auto out = Rows(24, 24);
    for (int r = 0; r < 24; ++r) {
        const int level = r % 4;
        Writer w(out, r * 24);
        for (int s = 0; s < 3; ++s) {
            const bool on = s <= level; // more streams at higher power
            w.Put<uint16_t>(s * 8 + 0, 8 + 2 * level);
            w.I16(s * 8 + 2, 24 - 2 * s);
            w.I16(s * 8 + 4, 6);
            w.I16(s * 8 + 6, on ? 4 + s : 0);
        }
    }
    return out;
}

// Emitter grid: one mount point with a few emitters numbered from 1 within
// the loop's section of the ebss table.
void Grid(Writer& w, size_t base, int seed) {
    w.I16(base + 0, 0);
    w.I16(base + 2, 16);
    w.I16(base + 4, 1 + seed % kEmitterRowsPerLoop);
    w.I16(base + 6, 1 + (seed + 5) % kEmitterRowsPerLoop);
    w.I16(base + 28 + 0, -24);
    w.I16(base + 28 + 2, 8);
    w.I16(base + 28 + 4, 1 + (seed + 11) % kEmitterRowsPerLoop);
}

std::vector<uint8_t> EnemyTable(int difficulty, int stage) {
    auto out = Rows(kEnemyTypes, 516);
    for (int t = 0; t < kEnemyTypes; ++t) {
        Writer w(out, t * 516);
        const int size = 32 + 16 * (t % 3);
        for (int f = 0; f < 4; ++f) { // track A: four frames, then an end frame
            w.Put<uint16_t>(16 + f * 8 + 0, f * size);
            w.Put<uint16_t>(16 + f * 8 + 2, 0);
            w.Put<uint16_t>(16 + f * 8 + 4, f * size + size - 1);
            w.Put<uint16_t>(16 + f * 8 + 6, size - 1);
        }
        for (int f = 0; f < 8; ++f)
            w.U8(144 + f, 6);
        w.I16(152, size - 8);
        w.I16(154, size - 8);
        w.U8(160, t % 2);
        w.I16(164, 16);
        w.I16(168, (10 + 10 * t) * (difficulty + 1) + stage);
        w.I16(170, 100 * (t + 1));
        w.Put<uint16_t>(172, 5 + t);
        w.U8(208, 2 + t % 3);
        w.U8(209, t % 2);
        w.I16(210, 60), w.I16(212, 90), w.I16(214, 2), w.I16(216, 0);
        if (t != 0) // type 0 fires nothing, so zero ids stay zero after the shift
            Grid(w, 236, t + stage);
    }
    return out;
}

std::vector<uint8_t> BossTable(int difficulty) {
    auto out = Rows(kBossGroups * kBossRowsPerGroup, 328);
    for (int g = 0; g < kBossGroups; ++g) {
        for (int i = 0; i <= 2; ++i) {
            Writer w(out, (g * kBossRowsPerGroup + i) * 328);
            w.I16(0, i == 0 ? 2 : 0);
            w.I32(4, i == 0 ? 3000 * (difficulty + 1) : 600);
            w.U8(8, i == 0 ? 100 : 60 - 20 * i);
            w.I16(42, i == 0 ? 96 : 40 + 100 * (i - 1));
            w.I16(44, i == 0 ? 64 : 120);
            Grid(w, 46, g * 3 + i);
        }
    }
    return out;
}

std::vector<uint8_t> EbssTable(int difficulty) {
    auto out = Rows(2 * kEmitterRowsPerLoop, 44);
    for (int r = 0; r < 2 * kEmitterRowsPerLoop; ++r) {
        const int inLoop = r % kEmitterRowsPerLoop;
        Writer w(out, r * 44);
        w.Put<uint16_t>(0, inLoop + 1); // running number within the loop's section
        w.I16(2, r % kBulletRows);
        w.U8(8, inLoop % 4 == 0);
        w.I16(10, 40 + inLoop % 3);
        w.I16(12, 10 + inLoop);
        w.I16(14, 600);
        w.I16(16, 20);
        w.I16(18, 60 - 10 * difficulty);
        w.I16(20, 1 + inLoop % 4);
        w.I16(22, 6);
        w.I16(24, 3 + difficulty + r / kEmitterRowsPerLoop);
        w.U8(26, inLoop % 5 == 0 ? 30 : 0);
        w.U8(27, inLoop % 2);
        w.U8(28, inLoop % 3 == 0);
        w.I16(30, 90);
        w.I16(32, 1 + 2 * (inLoop % 3));
        w.I16(34, 15 * (inLoop % 3));
        w.U8(36, inLoop % 7 == 0);
        w.U8(37, inLoop % 4);
        w.U8(38, inLoop % 6 == 1);
        w.U8(39, inLoop % 12 == 1);
        w.I16(40, 7);
    }
    return out;
}

std::vector<uint8_t> BulletTable() {
    auto out = Rows(kBulletRows, 80);
    for (int b = 0; b < kBulletRows; ++b) {
        Writer w(out, b * 80);
        const int size = 16 + 8 * (b % 3);
        for (int track = 0; track < 2; ++track)
            for (int f = 0; f < 3; ++f) {
                const size_t o = 18 + track * 24 + f * 8;
                w.I16(o + 0, f * size);
                w.I16(o + 2, b * 32 + track * 256);
                w.I16(o + 4, f * size + size - 1);
                w.I16(o + 6, b * 32 + track * 256 + size - 1);
            }
        w.U8(66, b % 2);
        w.I16(68, 60);
    }
    return out;
}

std::vector<uint8_t> BulletFxTable() {
    auto out = Rows(kBulletRows, 80);
    for (int b = 0; b < kBulletRows; ++b)
        Writer(out, b * 80).I16(0, b);
    return out;
}

// Timeline entries: a wave every second, x on the 0-720 screen scale.
std::vector<uint8_t> Timeline(int stage, int entries) {
    auto out = Rows(entries, 16);
    for (int e = 0; e < entries; ++e) {
        Writer w(out, e * 16);
        w.I32(0, 60 + 60 * e + 7 * stage);
        w.I16(4, 1 + e % (kEnemyTypes - 1));
        w.I16(6, 120 + (e * 97) % 480);
        w.I16(8, -32);
        w.I16(10, e % 3 == 2 ? 4 : 1);
        w.Put<uint16_t>(12, e % 3 == 2 ? 12 : 0);
    }
    return out;
}

std::vector<uint8_t> ResIndex(int count, int texCount, int pathCount) {
    auto out = Rows(count, 4);
    for (int i = 0; i < count; ++i) {
        const uint32_t tex = static_cast<uint32_t>(i % texCount);
        const uint32_t none = 0x3FF; // -1 in ten bits
        const uint32_t base = pathCount ? static_cast<uint32_t>(i % pathCount) : none;
        Writer(out, i * 4).Put<uint32_t>(0, tex | (none << 10) | (base << 20));
    }
    return out;
}

std::vector<uint8_t> MapAttributes() {
    auto out = Rows(1023, 2);
    for (int v = 1; v <= 16; ++v)
        Writer(out, (v - 1) * 2).Put<uint16_t>(0, static_cast<uint16_t>(v));
    Writer(out, 100 * 2).Put<uint16_t>(0, 244);
    Writer(out, 101 * 2).Put<uint16_t>(0, 245);
    return out;
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
    files.push_back({"enemy_tex_names.tsb",
                     Names({"enemy_small01", "enemy_small02", "enemy_mid01", "boss01"})});
    files.push_back({"enemy_fbx_names.tsb", Names({"path_straight", "path_swerve"})});
    files.push_back({"enemy_res_index.tsb", ResIndex(kEnemyTypes, 4, 2)});
    files.push_back({"ebss_tex_names.tsb", Names({"bullet01", "bullet02"})});
    files.push_back({"ebss_res_index.tsb", ResIndex(kBulletRows, 2, 0)});
    files.push_back({"ttable_common_common.tsb", Timeline(0, 4)});
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
            files.push_back({name, Timeline(s - 1, 12 + d * 4)});
        }
    }
    files.push_back({"enemys_challenge_stage.tsb", EnemyTable(1, 0)});
    files.push_back({"ttable_challenge_stage.tsb", Timeline(0, 30)});
    return files;
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
