#include "game/stage/StageLoader.h"

#include "engine/common/Heap.h"
#include "engine/resource/ChildResourceLoader.h"
#include "engine/resource/ResourceLoader.h"
#include "game/core/GameState.h"
#include "game/core/GlobalWork.h"
#include "game/enemy/background/BackgroundTextureLoader.h"
#include "game/flow/TextureFile.h"
#include "game/stage/StageFiles.h"
#include "game/stage/StageResources.h"
#include "game/stage/StageTextureTable.h"

#include <cstdio>
#include <cstring>

using Mireku::Graphics::Texture;

namespace {

constexpr uint32_t kNameSize = 96;

// "%s<suffix>" of a fixed-size name field that needs no terminator.
void NameFromField(const char* field, size_t fieldSize, const char* suffix, char* out) {
    const size_t length = strnlen(field, fieldSize);
    std::snprintf(out, kNameSize, "%.*s%s", static_cast<int>(length), field, suffix);
}

bool Exists(const char* folder, const char* name) {
    return Mireku::Resource::Exists(folder, name);
}

} // namespace

StageLoader::StageLoader(Mireku::Resource::ChildResourceLoader& loader, StageResources& resources,
                         const GlobalWork& work)
    : loader_(loader), resources_(resources), work_(work) {}

bool StageLoader::IsScoreAttack() const {
    return work_.gameType == GameState::kScoreAttackType;
}

void StageLoader::Load() {
    LoadMap();
    LoadStageTextures();
    LoadEnemyTextures();
    LoadPaths();
    LoadBulletTextures();
    LoadWarpTextures();
    if (!IsScoreAttack())
        LoadAllBossTextures();
}

uint8_t* StageLoader::ReadCopy(const char* folder, const char* name, uint32_t* size) {
    *size = 0;
    if (!loader_.Read(folder, name) || loader_.GetSize() == 0)
        return nullptr;
    auto* copy = static_cast<uint8_t*>(Mireku::Common::Heap::LockedAlloc(loader_.GetSize()));
    if (copy) {
        std::memcpy(copy, loader_.GetData(), loader_.GetSize());
        *size = loader_.GetSize();
    }
    loader_.GetBuffer().Release();
    return copy;
}

void StageLoader::LoadMap() {
    char name[kNameSize];
    if (IsScoreAttack())
        std::snprintf(name, sizeof name, "%s", StageFiles::kScoreAttackMapName);
    else
        std::snprintf(name, sizeof name, StageFiles::kMapName, static_cast<int>(work_.stage + 1));
    resources_.map = ReadCopy(StageFiles::kMapFolder, name, &resources_.mapSize);
}

void StageLoader::LoadStageTextures() {
    using StageTextureTable::Source;
    char name[kNameSize];
    char folder[kNameSize];
    for (uint32_t slot = 0; slot < StageTextureTable::kSlotCount; ++slot) {
        StageTextureTable::FileName(slot, work_.stage, name, sizeof name);
        Texture*& out = resources_.stageTextures[slot];
        switch (StageTextureTable::SourceOf(slot)) {
        case Source::kCommon:
            out = ReadTexture(loader_, StageTextureTable::kCommonFolder, name);
            break;
        case Source::kNone:
            break;
        case Source::kMapPicture:
            if (Exists(StageTextureTable::kMapFolder, name))
                out = ReadTexture(loader_, StageTextureTable::kMapFolder, name);
            break;
        case Source::kBackground:
            std::snprintf(folder, sizeof folder, StageTextureTable::kBackgroundFolder,
                          work_.stage + 1);
            out = LoadStageBackgroundTexture(loader_, folder, slot);
            break;
        case Source::kShip:
            std::snprintf(folder, sizeof folder, StageTextureTable::kShipFolder,
                          static_cast<unsigned>(work_.player.ship + 1));
            out = ReadTexture(loader_, folder, name);
            break;
        case Source::kTelop:
            out = ReadTexture(loader_, StageTextureTable::kTelopFolder, name);
            break;
        case Source::kCaption:
            if (Exists(StageTextureTable::kTelopFolder, name))
                out = ReadTexture(loader_, StageTextureTable::kTelopFolder, name);
            break;
        case Source::kStartCaption:
            if (IsScoreAttack())
                out = ReadTexture(loader_, StageTextureTable::kCommonFolder,
                                  work_.mode == GameState::kShortScoreAttackMode
                                      ? StageTextureTable::kShortStartCaption
                                      : StageTextureTable::kLongStartCaption);
            break;
        }
    }
}

namespace {

// Each name of the table, up to `capacity` of them, as "%s<suffix>".
template <class Load>
void ForEachName(const TableBlob& table, uint32_t capacity, const char* suffix, Load load) {
    const uint32_t count = table.Count<NameRow>();
    char name[kNameSize];
    for (uint32_t i = 0; i < count && i < capacity; ++i) {
        NameFromField(table.At<NameRow>(i)->text, NameRow::kSize, suffix, name);
        load(i, name);
    }
}

} // namespace

void StageLoader::LoadNamedTextures(const TableBlob& names, Texture** slots, uint32_t capacity) {
    ForEachName(names, capacity, ".dds", [&](uint32_t i, const char* name) {
        slots[i] = ReadTexture(loader_, StageFiles::kEnemyTextureFolder, name);
    });
}

void StageLoader::LoadEnemyTextures() {
    LoadNamedTextures(work_.tables.enemyTexNames, resources_.enemyTextures,
                      StageResources::kEnemyTextures);
}

void StageLoader::LoadPaths() {
    ForEachName(work_.tables.enemyFbxNames, StageResources::kPaths, ".path",
                [this](uint32_t i, const char* name) {
                    uint32_t size = 0;
                    uint8_t* data = ReadCopy(StageFiles::kPathFolder, name, &size);
                    StagePath& path = resources_.paths[i];
                    path.points = reinterpret_cast<float*>(data);
                    path.pointCount = size / 8;
                });
}

void StageLoader::LoadBulletTextures() {
    LoadNamedTextures(work_.tables.ebssTexNames, resources_.bulletTextures,
                      StageResources::kBulletTextures);
}

void StageLoader::LoadWarpTextures() {
    for (uint32_t i = 0; i < StageFiles::kWarpNameCount; ++i)
        resources_.warpTextures[i] =
            ReadTexture(loader_, StageFiles::kEnemyTextureFolder, StageFiles::kWarpNames[i]);
}

void StageLoader::LoadAllBossTextures() {
    char folder[kNameSize];
    const uint32_t set = work_.stage % 12;
    std::snprintf(folder, sizeof folder, StageFiles::kBossStageFolder, static_cast<int>(set + 1));
    LoadBossTextures(0, folder, set);
    // The last stage of a loop has a second boss form with its own set.
    if (set == 11)
        LoadBossTextures(StageFiles::kSecondBossFirstSlot, StageFiles::kSecondBossFolder,
                         StageFiles::kSecondBossGroup);
    char name[kNameSize];
    for (uint32_t i = 0; i < StageFiles::kBossCommonCount; ++i) {
        StageFiles::BossCommonName(i, name, sizeof name);
        resources_.bossTextures[StageFiles::kBossCommonFirstSlot + i] =
            ReadTexture(loader_, StageFiles::kBossFolder, name);
    }
}

uint32_t StageLoader::LoadBossTextures(uint32_t firstSlot, const char* folder, uint32_t group) {
    uint32_t slot = firstSlot;
    // A file that loads takes the next slot; a missing one takes none.
    auto take = [&](const char* name) {
        if (slot >= StageResources::kBossTextures)
            return;
        if (Texture* t = ReadTexture(loader_, folder, name))
            resources_.bossTextures[slot++] = t;
    };
    for (const char* name : StageFiles::kBossBodyNames)
        take(name);

    // The group's part count heads its first row; more parts than a pass has
    // slots would run the passes into each other.
    const uint32_t head = group * BossRecord::kRowsPerGroup;
    const BossRecord* body = work_.tables.BossRow(work_.mode, head);
    int32_t parts = body ? body->partCount : 0;
    parts = parts < 0 ? 0
                      : (parts > static_cast<int32_t>(StageFiles::kBossPartSlots)
                             ? static_cast<int32_t>(StageFiles::kBossPartSlots)
                             : parts);
    char name[kNameSize];
    for (uint32_t pass = 0; pass < 2; ++pass) {
        for (int32_t p = 1; p <= parts; ++p) {
            const BossRecord* row = work_.tables.BossRow(work_.mode, head + p);
            if (!row)
                continue;
            NameFromField(row->partTextures[pass], BossRecord::kPartTextureNameSize, ".dds", name);
            take(name);
        }
        slot += StageFiles::kBossPartSlots - static_cast<uint32_t>(parts);
    }
    return slot;
}
