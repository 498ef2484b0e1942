// Everything a stage reads before it starts: the object map, the fixed
// stage textures, the enemy, bullet, warp and boss textures and the enemy
// movement paths. One engine-heap block owned by the director, filled once
// by the stage loader and read-only afterwards; every slot is empty (null)
// until its file has loaded, and users of a slot accept null.
#pragma once

#include "engine/common/BaseObject.h"
#include "game/stage/StageMap.h"

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}

// A movement path: headerless (x, y) f32 offsets from the spawn point, one
// per millisecond of path time.
struct StagePath {
    float* points = nullptr; // owned heap block; null when the file is missing
    uint32_t pointCount = 0; // file size / 8
};

class StageResources : public Mireku::Common::BaseObject {
public:
    static constexpr uint32_t kStageTextures = 353;
    static constexpr uint32_t kEnemyTextures = 48;
    static constexpr uint32_t kBulletTextures = 32;
    static constexpr uint32_t kWarpTextures = 32;
    static constexpr uint32_t kPaths = 256;
    static constexpr uint32_t kBossTextures = 256;

    StageResources() = default;
    // Releases everything (Release).
    ~StageResources() override;
    StageResources(const StageResources&) = delete;
    StageResources& operator=(const StageResources&) = delete;

    // Drops every texture reference once (the last one goes to the resource
    // manager with its release delay) and frees the map and the paths; every
    // slot is empty afterwards.
    void Release();

    // Null for an empty slot or an index outside the group.
    Mireku::Graphics::Texture* GetTexture(int32_t slot) const;
    Mireku::Graphics::Texture* GetEnemyTexture(uint16_t slot) const;
    Mireku::Graphics::Texture* GetBulletTexture(uint16_t slot) const;
    Mireku::Graphics::Texture* GetWarpTexture(uint16_t slot) const;
    Mireku::Graphics::Texture* GetBossTexture(uint16_t slot) const;
    // Null past the 256 records; a record of a missing file has no points.
    const StagePath* GetPath(uint16_t index) const;
    // Texture number k of the enemy resource index: the enemy slots, then
    // the bullet slots, then the warp slots (48, 32, 32) in turn; null for a
    // negative number, one past them all, or an empty slot.
    Mireku::Graphics::Texture* GetEnemySheet(int32_t k) const;
    // A path field of the enemy resource index: null for a negative index,
    // one past the records, and a path without points (a missing or empty
    // file, or a name past the loaded ones): such a path is none.
    const StagePath* GetEnemyPath(int32_t index) const;
    // The object map as read (an empty map when its file is missing).
    StageMap GetMap() const { return StageMap(map, mapSize); }

    // The slots, written by the stage loader.
    uint8_t* map = nullptr; // heap copy of the whole map file
    uint32_t mapSize = 0;
    Mireku::Graphics::Texture* stageTextures[kStageTextures] = {};
    Mireku::Graphics::Texture* enemyTextures[kEnemyTextures] = {};
    Mireku::Graphics::Texture* bulletTextures[kBulletTextures] = {};
    Mireku::Graphics::Texture* warpTextures[kWarpTextures] = {};
    StagePath paths[kPaths] = {};
    Mireku::Graphics::Texture* bossTextures[kBossTextures] = {};
};
