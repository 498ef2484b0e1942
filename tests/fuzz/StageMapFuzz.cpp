// Feeds random object maps, name tables and boss rows to the stage loader:
// the map's header is checked against its file before a cell is read, a
// name without its end is bounded by its field, a table longer than its
// group loads only what the group holds, and a boss group's part count stays
// within its slots. Input: byte 0 the stage index, byte 1 bit 0 the score
// attack, then four little-endian u16 lengths (enemy picture names, path
// names, bullet picture names, boss rows) and those bytes; the rest is the
// map file.
#include "FuzzScratch.h"
#include "engine/common/Heap.h"
#include "engine/resource/ChildResourceLoader.h"
#include "engine/resource/ResourceLoader.h"
#include "game/core/GameState.h"
#include "game/core/GlobalWork.h"
#include "game/stage/StageFiles.h"
#include "game/stage/StageLoader.h"
#include "game/stage/StageResources.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

struct World {
    std::string root;
    GlobalWork* gw = nullptr;
    Mireku::Resource::ResourceLoader* loader = nullptr;
};

World& Get() {
    static World w = [] {
        World made;
        Mireku::Common::Heap::LockedInitialize();
        made.root = FuzzScratchFolder();
        made.gw = GlobalWork::CreateInstance(made.root.c_str());
        made.loader = Mireku::Resource::ResourceLoader::CreateInstance();
        made.loader->SetMode(Mireku::Resource::ResourceLoader::kLooseFiles);
        made.loader->AddRootFolder(made.root.c_str());
        std::filesystem::create_directories(made.root + "/" + StageFiles::kMapFolder);
        return made;
    }();
    return w;
}

// An exact-size heap copy, so that a read past the table's end is caught.
void Replace(TableBlob& blob, const uint8_t* data, size_t size) {
    if (blob.data)
        Mireku::Common::Heap::LockedFree(blob.data);
    blob = {};
    if (size == 0)
        return;
    blob.data = static_cast<uint8_t*>(Mireku::Common::Heap::LockedAlloc(size));
    std::memcpy(blob.data, data, size);
    blob.size = static_cast<uint32_t>(size);
}

void Touch(uint32_t value) {
    volatile uint32_t sink = value;
    (void)sink;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    World& w = Get();
    if (size < 10)
        return 0;
    GlobalWork& gw = *w.gw;
    gw.stage = data[0] % 24;
    gw.gameType = (data[1] & 1) ? GameState::kScoreAttackType : 0;
    gw.mode = 1;
    size_t at = 10;
    TableBlob* tables[4] = {&gw.tables.enemyTexNames, &gw.tables.enemyFbxNames,
                            &gw.tables.ebssTexNames, &gw.tables.boss[1]};
    for (int t = 0; t < 4; ++t) {
        size_t length = static_cast<size_t>(data[2 + 2 * t] | data[3 + 2 * t] << 8);
        length = length > size - at ? size - at : length;
        Replace(*tables[t], data + at, length);
        at += length;
    }

    // The rest is the stage's map file.
    char name[64];
    std::snprintf(name, sizeof name, StageFiles::kMapName, static_cast<int>(gw.stage + 1));
    const std::string path = w.root + "/" + StageFiles::kMapFolder + "/" +
                             (gw.gameType ? StageFiles::kScoreAttackMapName : name);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(data + at, 1, size - at, f);
    std::fclose(f);

    auto* resources = new StageResources();
    {
        Mireku::Resource::ChildResourceLoader child;
        StageLoader(child, *resources, gw).Load();
    }
    const StageMap map = resources->GetMap();
    // Only cells that exist: a map of width 0 fits any height, and four
    // billion empty rows would hold the run for minutes.
    if (map.HasCells() && map.GetWidth() != 0)
        for (uint32_t r = 0; r < map.GetHeight(); ++r)
            for (uint32_t c = 0; c < map.GetWidth(); ++c)
                Touch(map.GetCell(c, r));
    Touch(map.GetCell(data[0], data[1]));
    Touch(map.GetCell(0xFFFFFFFFu, 0));
    delete resources;
    std::remove(path.c_str());
    return 0;
}
