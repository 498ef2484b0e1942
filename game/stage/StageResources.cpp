#include "game/stage/StageResources.h"

#include "engine/common/Heap.h"
#include "game/flow/TextureFile.h"

#include <iterator>

using Mireku::Graphics::Texture;

namespace {

template <uint32_t N> void ReleaseAll(Texture* (&slots)[N]) {
    for (Texture*& t : slots)
        ReleaseTexture(t);
}

Texture* At(Texture* const* slots, uint32_t count, int64_t i) {
    return i >= 0 && i < count ? slots[i] : nullptr;
}

} // namespace

StageResources::~StageResources() {
    Release();
}

void StageResources::Release() {
    ReleaseAll(stageTextures);
    ReleaseAll(enemyTextures);
    ReleaseAll(bulletTextures);
    ReleaseAll(warpTextures);
    ReleaseAll(bossTextures);
    if (map)
        Mireku::Common::Heap::LockedFree(map);
    map = nullptr;
    mapSize = 0;
    for (StagePath& path : paths) {
        if (path.points)
            Mireku::Common::Heap::LockedFree(path.points);
        path = {};
    }
}

Texture* StageResources::GetTexture(int32_t slot) const {
    return At(stageTextures, std::size(stageTextures), slot);
}

Texture* StageResources::GetEnemyTexture(uint16_t slot) const {
    return At(enemyTextures, std::size(enemyTextures), slot);
}

Texture* StageResources::GetBulletTexture(uint16_t slot) const {
    return At(bulletTextures, std::size(bulletTextures), slot);
}

Texture* StageResources::GetWarpTexture(uint16_t slot) const {
    return At(warpTextures, std::size(warpTextures), slot);
}

Texture* StageResources::GetBossTexture(uint16_t slot) const {
    return At(bossTextures, std::size(bossTextures), slot);
}

const StagePath* StageResources::GetPath(uint16_t index) const {
    return index < kPaths ? &paths[index] : nullptr;
}

Texture* StageResources::GetEnemySheet(int32_t k) const {
    if (k < 0)
        return nullptr;
    auto i = static_cast<uint32_t>(k);
    if (i < kEnemyTextures)
        return enemyTextures[i];
    i -= kEnemyTextures;
    if (i < kBulletTextures)
        return bulletTextures[i];
    i -= kBulletTextures;
    return i < kWarpTextures ? warpTextures[i] : nullptr;
}

const StagePath* StageResources::GetEnemyPath(int32_t index) const {
    if (index < 0 || static_cast<uint32_t>(index) >= kPaths)
        return nullptr;
    const StagePath& path = paths[index];
    return path.points && path.pointCount > 0 ? &path : nullptr;
}
