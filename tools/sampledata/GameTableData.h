// Sample balance tables and demo replays for the game: every table the game
// state loads from the folder "code", for every mode and stage, with values in
// their meaningful ranges, and the four attract-demo replays.
#pragma once

#include "game/core/tables/GameTables.h"
#include "game/core/tables/ResourceIndexEntry.h"
#include "game/core/tables/TableRow.h"
#include "game/core/tables/TexelRect.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace SampleData {

// Every table row is written through this: the row struct the game reads
// with, copied byte for byte, so a layout is written down once.
template <TableRow Row> void AppendRow(std::vector<uint8_t>& image, const Row& row) {
    const size_t at = image.size();
    image.resize(at + sizeof(Row));
    std::memcpy(image.data() + at, &row, sizeof(Row));
}

template <TableRow Row> std::vector<uint8_t> TableImage(const std::vector<Row>& rows) {
    std::vector<uint8_t> image;
    image.reserve(rows.size() * sizeof(Row));
    for (const Row& row : rows)
        AppendRow(image, row);
    return image;
}

struct NamedFile {
    std::string name; // file name inside the folder "code"
    std::vector<uint8_t> bytes;
};

// Every ".tsb" table, by file name.
std::vector<NamedFile> BuildGameTables();

// The tables of BuildGameTables served from memory, by file name; a user
// may change or drop a file before the game state loads them.
class MemoryTables : public TableSource {
public:
    MemoryTables() {
        for (NamedFile& f : BuildGameTables())
            files[f.name] = std::move(f.bytes);
    }
    bool Read(const char* name, const uint8_t** data, uint32_t* size) override {
        const auto it = files.find(name);
        if (it == files.end())
            return false;
        *data = it->second.data();
        *size = static_cast<uint32_t>(it->second.size());
        return true;
    }

    std::map<std::string, std::vector<uint8_t>> files;
};

// The sample boss of a boss group: one body size per boss, the size of its
// core (the hit area, at the body's centre) and of its parts, which the rows
// place on the body. The second loop's groups (12-23) repeat the first
// loop's, whose pictures they load.
struct SampleBossLayout {
    int bodyWidth, bodyHeight;
    int coreWidth, coreHeight;
    int partWidth, partHeight;
    int parts; // 2-6
};
constexpr uint32_t kSampleBossGroups = 26; // 25 the second form
SampleBossLayout BossLayout(uint32_t group);
// Where a part's row places it: its top-left corner on the body sprite.
void BossPartOffset(uint32_t group, int part, int* x, int* y);

// The sample enemy tables: 311 rows (types 0-310) in every table.
constexpr int kSampleEnemyTypes = 311;
// The enemy sheets "enemy_s32", "enemy_s48" and "enemy_s64" (256 x 256):
// frames of 32, 48 and 64 texels, track A in rows of four from the top,
// track B in a row at y 192, each frame a colour of its own.
constexpr int16_t kSampleGlowRow = 192;
// The sheet of a type: the large types (75-78, 295-302) the largest, every
// other type % 3.
uint32_t SampleEnemySheet(int type);
// Frame `frame` of track `track` of a sheet (eight of track A, two of B).
TexelRect SampleEnemyFrame(uint32_t sheet, uint32_t track, uint32_t frame);
// The map objects' sheet "stageNN_obj.dds" (1024 x 1024): the map types
// 200-263, three to a band of 40 texels, each with eight 32 x 32 frames of
// track A and its wreck (track B frame 0) beside them, every frame a colour
// of its own. Type 204 has an empty hit box: drawn, never hit.
constexpr int kSampleFirstMapType = 200;
constexpr int kSampleLastMapType = 263;
constexpr uint32_t kSampleMapSheetSize = 1024;
constexpr int kSampleUnhittableMapType = 204;
TexelRect SampleMapObjectFrame(int type, uint32_t track, uint32_t frame);
// Map cell values 1-64 name the map types 200-263 in "map_attribute_table.tsb";
// 101 and 102 the two unlock types 244 and 245.
constexpr uint32_t kSampleMapValues = 64;
constexpr uint32_t kSampleFirstUnlockValue = 101;
// The paths of "enemy_fbx_names.tsb": a three-second descent, an S-curve of
// the same length, one point, and an empty file.
constexpr const char* kSamplePathNames[4] = {"path_descent", "path_scurve", "path_point",
                                             "path_empty"};
constexpr int kSampleDescentPath = 0;
constexpr int kSampleCurvePath = 1;
constexpr int kSamplePointPath = 2;
constexpr int kSampleEmptyPath = 3;
std::vector<uint8_t> SamplePathFile(int n);
// The resource entry of a type: its sheet (none for types % 10 == 9), the
// descent (even types) or curve as base path, the one-point path as
// override for types % 7 == 3; types % 50 == 48 name the empty path and
// types % 50 == 49 none at all.
ResourceIndexEntry SampleEnemyResources(int type);

// Demo replay n (1 to 4): a header (ship n - 1, stage 0, a normal game) and a
// few hundred plausible input words.
std::vector<uint8_t> BuildDemoReplay(int n);

// Writes "demo1.replay" to "demo4.replay" into `replayFolder` (created);
// false when a file cannot be written.
bool WriteDemoReplays(const std::string& replayFolder);

} // namespace SampleData
