// Sample balance tables and demo replays for the game: every table the game
// state loads from the folder "code", for every mode and stage, with values in
// their meaningful ranges, and the four attract-demo replays.
#pragma once

#include "game/core/tables/GameTables.h"
#include "game/core/tables/TableRow.h"

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

// Demo replay n (1 to 4): a header (ship n - 1, stage 0, a normal game) and a
// few hundred plausible input words.
std::vector<uint8_t> BuildDemoReplay(int n);

// Writes "demo1.replay" to "demo4.replay" into `replayFolder` (created);
// false when a file cannot be written.
bool WriteDemoReplays(const std::string& replayFolder);

} // namespace SampleData
